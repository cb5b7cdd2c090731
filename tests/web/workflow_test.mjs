// The page as a clinician uses it, one workflow a test: patients one after
// another, a too small N, a series off the main thread, the summary form,
// and the small things around the report.
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync, writeFileSync, mkdtempSync, rmSync, copyFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { pathToFileURL } from "node:url";
import { spawnSync } from "node:child_process";
import { sharedBrowser, cli, cliRun, typeEntries, giveData, reportText, runContinue, seriesEnded, site }
  from "./browser.mjs";

const data = resolve(process.env.PAVONA_TEST_DATA || "tests/data");
const workedExample = join(data, "worked_example.txt");
const exampleLines = readFileSync(workedExample, "utf8").trim().split(/\r?\n/);

const shared = sharedBrowser("pavona-workflow-test-");
const { scratch, foreign, withPage } = shared;

const text = (page, selector) => page.$eval(selector, (e) => e.textContent);
const shown = (page, selector) => page.$eval(selector, (e) => !e.hidden && e.textContent.trim() !== "");
const reports = (page) => page.$$eval("#report .run", (runs) => runs.length);
async function waitReports(page, count) {
  await page.waitForFunction((c) => document.querySelectorAll("#report .run").length === c, {}, count);
}

function writeScratch(name, lines) {
  const path = join(scratch, name);
  writeFileSync(path, lines.join("\n") + "\n");
  return path;
}

test("one patient after another: Clear Data forgets the patient, the newest report is in view", () => withPage(async (page, opened) => {
  // The first patient, from a file, with notes.
  await typeEntries(page, { k: 1, n: 10, notes: ["Patient A"] });
  await giveData(page, "file", workedExample);
  await runContinue(page);
  await waitReports(page, 1);
  assert.match(await text(page, "#key-results"), /-1\.7778 on 8 df/);

  await page.click("#clear-data");
  const cleared = await page.evaluate(() => ({
    entries: [predictors.value, controls.value, notes.value],
    file: document.getElementById("data-file").value,
    pasted: document.getElementById("data-text").value,
    status: document.getElementById("data-status").textContent,
    key: document.getElementById("key-results").hidden,
  }));
  assert.deepEqual(cleared, { entries: ["", "", ""], file: "", pasted: "", status: "", key: true });

  // The next patient's entries with no data: the page asks for data, and
  // analyses nothing of the first patient's.
  await typeEntries(page, { k: 1, n: 10, notes: ["Patient B"] });
  await runContinue(page);
  await page.waitForSelector("#data-message:not([hidden])");
  assert.equal(await reports(page), 1);

  // The summary form is forgotten too.
  await page.click("#source-summary");
  await page.type("#summary-n", "20");
  await page.type("#summary-r-2-1", "0.5");
  await page.click("#clear-data");
  assert.deepEqual(await page.$$eval("#summary-form input:not([readonly])", (f) => f.map((e) => e.value).join("")), "");
  await page.click("#source-raw");

  // The second patient: the box shows the newest report's first line at its top.
  await typeEntries(page, { k: 1, n: 10, notes: ["Patient B"] });
  await giveData(page, "paste", workedExample);
  await runContinue(page);
  await waitReports(page, 2);
  const view = await page.$eval("#report", (box) => {
    const newest = box.querySelectorAll(".run")[1];
    return { top: box.scrollTop, at: newest.offsetTop, first: newest.textContent.split("\n")[0] };
  });
  assert.equal(view.top, view.at);
  assert.match(view.first, /^_+$/, "the newest report starts with the separator");
  assert.match(await reportText(page), /Patient A[\s\S]*Patient B/);

  // A run under way when the data are cleared shows nothing of that patient.
  await page.evaluate(async () => {
    document.getElementById("continue").click();
    await new Promise((r) => setTimeout(r, 0));
    document.getElementById("clear-data").click();
  });
  await new Promise((r) => setTimeout(r, 2000));
  assert.equal(await reports(page), 2);
  assert.equal(await page.$eval("#key-results", (e) => e.hidden), true);

  // Leaving the page with reports on it asks first.
  await page.reload();
  await page.waitForSelector("html[data-ready=true]");
  assert.deepEqual(opened.dialogs, ["beforeunload"]);
}));

test("a too small N: the page says which row is the case and what follows it", () => withPage(async (page) => {
  await typeEntries(page, { k: 1, n: 9 });
  await giveData(page, "file", workedExample);
  await runContinue(page);
  await waitReports(page, 1);
  assert.match(await text(page, "#data-rows"),
    /^The case is row 10, the row after the 9 controls; 1 more row follows it, analysed as a further case in the series table below\./);
  await seriesEnded(page);
  assert.equal(await page.$$eval("#series tbody tr", (rows) => rows.length), 2);
  // With the right N, nothing is said.
  await typeEntries(page, { k: 1, n: 10 });
  await runContinue(page);
  await waitReports(page, 2);
  assert.equal(await text(page, "#data-rows"), "");
}));

test("a series runs in workers: progress, Stop keeps the rows done, figures as the report rounds them", () => withPage(async (page, opened) => {
  // Many case rows, the first one typed as 58.5761: enough that the series
  // is still running when Stop is pressed.
  const Rows = 5000;
  const cases = [];
  for (let i = 0; i < Rows; i++) cases.push((58.5761 + (i % 7)).toFixed(4) + " " + (20 + (i % 11)));
  const file = writeScratch("long_series.txt", [...exampleLines.slice(0, 10), ...cases]);
  await typeEntries(page, { k: 1, n: 10 });
  await giveData(page, "file", file);
  await runContinue(page);
  // The report comes before the series is done, and the page answers meanwhile.
  await waitReports(page, 1);
  await page.waitForFunction(() => document.getElementById("series-progress").value > 0);
  assert.equal(await page.$eval("#series-stop", (b) => b.hidden), false);
  await page.type("#notes", "typed while the series runs");
  assert.equal(await page.$eval("#notes", (e) => e.value), "typed while the series runs");
  await page.click("#series-stop");
  await seriesEnded(page);
  const stopped = await page.evaluate(() => ({
    done: document.getElementById("series-progress").value,
    total: document.getElementById("series-progress").max,
    rows: document.querySelectorAll("#series tbody tr").length,
    first: [...document.querySelectorAll("#series tbody tr:first-child td")].map((c) => c.textContent),
    status: document.getElementById("series-status").textContent,
  }));
  assert.equal(stopped.total, Rows);
  assert.ok(stopped.done > 0 && stopped.done < Rows, stopped.status);
  // The table shows a page of 250 rows at a time.
  assert.equal(stopped.rows, Math.min(stopped.done, 250));
  assert.match(stopped.status, /^Stopped/);
  assert.equal(stopped.first[1], "58.5761");
  // The CSV keeps the figures at full precision, the rows done and no others.
  const csv = (await opened.download("#save-csv", "series.csv")).toString("utf8").trim().split("\n");
  assert.equal(csv.length, stopped.done + 1);
  assert.match(csv[1], /^1,58\.57610000000000000/);
}));

test("a series that stops at a row it cannot read says so and keeps the rows before it", () => withPage(async (page) => {
  // The third case row goes on past the reader's 32 MB cap.
  const file = join(scratch, "endless_row.txt");
  writeFileSync(file, [...exampleLines, "45 25", "46 26 " + " ".repeat(33 << 20), "47 27"].join("\n") + "\n");
  const expected = cliRun({ k: 1, n: 10, extra: ["--cases", "all", "--csv"] }, file);
  assert.equal(expected.status, 1);
  await typeEntries(page, { k: 1, n: 10 });
  await giveData(page, "file", file);
  await runContinue(page);
  await seriesEnded(page);
  assert.equal(await page.$$eval("#series tbody tr", (rows) => rows.length), 2);
  assert.equal(await text(page, "#series-message") + "\n", expected.stderr.split("\n").filter((l) => !/^Case/.test(l)).join("\n"));
}));

test("the bindings refuse a kind of limits they do not know", () => withPage(async (page) => {
  const outcome = await page.evaluate(async (rows) => {
    const data = new TextEncoder().encode(rows);
    return window.Pavona.workers.analyse({ predictors: "1", controls: "10", limits: "sideways", notes: "",
      summary: false, data, name: "rows", pasted: true, viewerHasText: false });
  }, exampleLines.join("\n") + "\n");
  assert.equal(outcome.ok, false);
  assert.match(outcome.message.text, /'sideways'/);
}));

test("the summary form speaks of its cells and puts the focus on the one refused", async (t) => {
  // The worked example's summary statistics, each case changing one cell.
  const good = [["#summary-n", "10"], ["#summary-mean-1", "50"], ["#summary-mean-2", "20"],
    ["#summary-sd-1", "10"], ["#summary-sd-2", "5"], ["#summary-r-2-1", "0.5"],
    ["#summary-case-1", "40"], ["#summary-case-2", "30"]];
  const cases = [
    { name: "a decimal comma", cell: "#summary-r-2-1", typed: "0,6", message: /^The correlation between Criterion \(Y\) and Predictor \(X\) 1 must be a number, not '0,6'\. A comma/ },
    { name: "a word as n", cell: "#summary-n", typed: "abc", message: /^n must be a number, not 'abc'\.$/ },
    { name: "n too small", cell: "#summary-n", typed: "2", message: /^n must be a whole number from k \+ 2 = 3/ },
    { name: "an empty case score", cell: "#summary-case-2", typed: "", message: /^The case's score on Predictor \(X\) 1 is missing/ },
    { name: "a correlation above 1", cell: "#summary-r-2-1", typed: "1.5", message: /^The correlation between Criterion \(Y\) and Predictor \(X\) 1 must lie between -1 and 1, not 1\.5\.$/ },
  ];
  for (const c of cases) {
    await t.test(c.name, () => withPage(async (page) => {
      await typeEntries(page, { k: 1 });
      await page.click("#source-summary");
      for (const [id, value] of good) {
        const typed = id === c.cell ? c.typed : value;
        if (typed) await page.type(id, typed);
      }
      await runContinue(page);
      await page.waitForSelector("#summary-message:not([hidden])");
      const message = await text(page, "#summary-message");
      assert.match(message, c.message);
      assert.doesNotMatch(message, /line|file/i);
      assert.equal(await page.evaluate(() => "#" + document.activeElement.id), c.cell);
      assert.equal(await page.$eval(c.cell, (e) => e.getAttribute("aria-invalid")), "true");
      assert.equal(await page.$eval("#predictors", (e) => e.getAttribute("aria-invalid")), null);
    }));
  }
  await t.test("a matrix that is not positive definite, at the correlation grid", () => withPage(async (page) => {
    // Two predictors correlating perfectly.
    const cells = [["#summary-n", "10"], ["#summary-r-2-1", "0.5"], ["#summary-r-3-1", "0.5"], ["#summary-r-3-2", "1"]];
    for (let v = 1; v <= 3; v++) cells.push(["#summary-mean-" + v, "20"], ["#summary-sd-" + v, "5"], ["#summary-case-" + v, "30"]);
    await typeEntries(page, { k: 2 });
    await page.click("#source-summary");
    for (const [id, value] of cells) await page.type(id, value);
    await runContinue(page);
    await page.waitForSelector("#summary-message:not([hidden])");
    assert.match(await text(page, "#summary-message"), /^Analysis cannot proceed as the correlation matrix is not positive definite/);
    assert.equal(await page.evaluate(() => document.activeElement.id), "summary-r-2-1");
    assert.equal(await page.evaluate(() => !!document.getElementById("summary-message").previousElementSibling.querySelector("#summary-r-3-2")), true);
    assert.equal(await page.$eval("#predictors-message", (e) => e.hidden), true);
  }));
});

test("the small things around the report", async (t) => {
  await t.test("Copy, Save and Print with no report say there is nothing", () => withPage(async (page) => {
    for (const [button, word] of [["#copy-report", "copy"], ["#save-report", "save"], ["#print-report", "print"]]) {
      await page.click(button);
      assert.equal(await text(page, "#report-status"), "There is no report to " + word + ".");
    }
  }));
  await t.test("the version is pavona-cli's", () => withPage(async (page) => {
    const version = spawnSync(cli, ["--version"], { encoding: "utf8" }).stdout.trim().split(" ").pop();
    assert.equal(await text(page, "#version"), "Version " + version);
  }));
  await t.test("a spreadsheet's export is refused with the advice to paste its cells", () => withPage(async (page) => {
    const file = writeScratch("export.csv", exampleLines.map((l) => l.trim().split(/\s+/).join(",")));
    assert.match(await page.$eval("#data-file", (e) => e.accept), /\.csv/);
    await typeEntries(page, { k: 1, n: 10 });
    await giveData(page, "file", file);
    await runContinue(page);
    await page.waitForSelector("#data-message:not([hidden])");
    const expected = cliRun({ k: 1, n: 10 }, file).stderr.trim();
    const message = await text(page, "#data-message");
    assert.ok(message.startsWith(expected), message);
    assert.match(message.slice(expected.length), /paste them into the box/);
  }));
  await t.test("an invalid entry is marked at once, with no box to click", () => withPage(async (page) => {
    await page.type("#predictors", "1x");
    const message = await text(page, "#predictors-message");
    assert.match(message, /highlighted/);
    assert.doesNotMatch(message, /'OK'/);
  }));
  await t.test("the print-out: its date and time, the report in blocks, then the plot", () => withPage(async (page) => {
    await typeEntries(page, { k: 1, n: 10 });
    await giveData(page, "file", workedExample);
    await runContinue(page);
    await page.waitForSelector("#plot svg");
    await page.emulateMediaType("print");
    await page.evaluate(() => window.dispatchEvent(new Event("beforeprint")));
    const printed = await page.evaluate(() => {
      const visible = (id) => getComputedStyle(document.getElementById(id)).display !== "none";
      const blocks = [...document.querySelectorAll("#report .block")];
      return {
        heading: visible("print-heading") && document.getElementById("print-heading").textContent,
        plot: visible("plot-section"),
        plotAfter: !!(document.getElementById("report").compareDocumentPosition(document.getElementById("plot-section")) & Node.DOCUMENT_POSITION_FOLLOWING),
        kept: blocks.length > 1 && blocks.every((b) => getComputedStyle(b).breakInside === "avoid"),
        lastBlock: blocks[blocks.length - 1].textContent,
      };
    });
    assert.match(printed.heading, /^Printed .*\d{4}/);
    assert.deepEqual([printed.plot, printed.plotAfter, printed.kept], [true, true, true]);
    assert.match(printed.lastBlock, /^ OUTPUTS: RESULTS FROM ANALYSIS OF THE INDIVIDUAL CASE[\s\S]*confidence limits on the percentage/);
  }));
  await t.test("index.html without its files, or without JavaScript, says to open the whole folder", async () => {
    const alone = mkdtempSync(join(scratch, "alone-"));
    copyFileSync(join(site, "index.html"), join(alone, "index.html"));
    const context = await shared.session.browser.createBrowserContext();
    try {
      const page = await context.newPage();
      await page.goto(pathToFileURL(join(alone, "index.html")).href);
      assert.match(await page.$eval("#missing-files", (e) => (e.hidden ? "" : e.textContent)), /whole Pavona folder/);
      const noScript = await context.newPage();
      await noScript.setJavaScriptEnabled(false);
      await noScript.goto(pathToFileURL(join(site, "index.html")).href);
      assert.match(await noScript.evaluate(() => document.body.innerText), /needs JavaScript/);
    } finally {
      await context.close();
    }
  });
});

test("the workflows asked for nothing outside the page's folder", () => {
  assert.deepEqual(foreign, []);
});
