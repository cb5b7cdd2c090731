// The browser edition's page in headless Chromium, against the native
// pavona-cli: the same report for the same entries and data, whichever way
// the data arrive, and the page's own duties (saving, the plot, refusals
// beside their fields, the keyboard, nothing fetched from elsewhere).
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { sharedBrowser, cliRun, typeEntries, giveData, reportText, runContinue, seriesEnded } from "./browser.mjs";

const data = resolve(process.env.PAVONA_TEST_DATA || "tests/data");
const shared = sharedBrowser("pavona-page-test-");
const { scratch, foreign, withPage } = shared;

test("the raw data give pavona-cli's report, from the file chooser or pasted rows", async (t) => {
  const cases = [
    { name: "file chooser, one-sided lower, notes", via: "file", file: "worked_example.txt", k: 1, n: 10, limits: "lower", notes: ["Case 17, seen 2024-03-02", "second line"] },
    { name: "pasted tab-separated rows, two-sided", via: "paste", file: "worked_example.txt", k: 1, n: 10 },
    { name: "file chooser, five predictors, upper", via: "file", file: "five_predictors.txt", k: 5, n: 12, limits: "upper" },
  ];
  for (const c of cases) {
    await t.test(c.name, () => withPage(async (page) => {
      const file = join(data, c.file);
      const expected = cliRun(c, file);
      assert.equal(expected.status, 0, expected.stderr);
      await typeEntries(page, c);
      await giveData(page, c.via, file);
      await runContinue(page);
      await page.waitForFunction(() => document.getElementById("report").textContent !== "");
      assert.equal(await reportText(page), expected.stdout);
      assert.equal(await page.$$eval("#plot svg", (s) => s.length), 2);
    }));
  }
});

test("what the data held beyond the entries is said after the load message", async (t) => {
  const lines = readFileSync(join(data, "worked_example.txt"), "utf8").trim().split(/\r?\n/);
  // A third column, and n one short: the last row is then a second case,
  // which the series table analyses, so only the column is named.
  const wide = join(scratch, "wide.txt");
  writeFileSync(wide, lines.map((line) => line + " 7").join("\n") + "\n");
  for (const n of [10, 9]) {
    await t.test("n = " + n, () => withPage(async (page) => {
      await typeEntries(page, { k: 1, n });
      await giveData(page, "paste", wide);
      await runContinue(page);
      await page.waitForFunction(() => document.getElementById("report").textContent !== "");
      const status = await page.$eval("#data-status", (e) => e.textContent);
      assert.match(status, /successfully\. Column 3 was not read\.$/);
    }));
  }
});

test("a second run follows the first after the viewer's separator", () => withPage(async (page) => {
  const file = join(data, "worked_example.txt");
  const lines = readFileSync(file, "utf8").trim().split(/\r?\n/);
  // The same case twice: pavona-cli's series of the two, without the heading
  // it gives each case, is the viewer's text after two runs.
  const twice = join(scratch, "twice.txt");
  writeFileSync(twice, [...lines, lines[lines.length - 1]].join("\n") + "\n");
  const expected = cliRun({ k: 1, n: 10, extra: ["--cases", "2"] }, twice);
  assert.equal(expected.status, 0, expected.stderr);
  await typeEntries(page, { k: 1, n: 10 });
  await giveData(page, "file", file);
  await runContinue(page);
  // Pressed again at once, as a key press would: the first report may be
  // landing and scrolling the page, which a pointer click cannot aim through.
  await page.$eval("#continue", (button) => button.click());
  // Runs are queued in a worker: wait for the second report's heading.
  await page.waitForFunction(() => document.getElementById("report").textContent.split("Pavona.exe: Builds").length === 3);
  assert.equal(await reportText(page), expected.stdout.replace(/ Case \d+ \(line \d+ of the file\)\n\n/g, ""));
}));

test("Save writes the report with CR LF line ends; the plot saves as PNG and SVG", () => withPage(async (page, opened) => {
  const file = join(data, "worked_example.txt");
  await typeEntries(page, { k: 1, n: 10 });
  await giveData(page, "file", file);
  await runContinue(page);
  await page.waitForSelector("#plot svg");
  const expected = cliRun({ k: 1, n: 10 }, file).stdout;
  const saved = await opened.download("#save-report", "results.txt");
  assert.equal(saved.toString("utf8"), expected.slice(0, -1).replace(/\n/g, "\r\n"));
  const png = await opened.download("#save-png", "plot.png");
  assert.deepEqual([...png.subarray(0, 8)], [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
  const svg = (await opened.download("#save-svg", "plot.svg")).toString("utf8");
  assert.match(svg, /<svg[^>]*xmlns="http:\/\/www.w3.org\/2000\/svg"/);
  assert.match(svg, /Case's t = -1\.7778/);
}));

test("a refusal is shown beside the field it concerns, in pavona-cli's words", async (t) => {
  const cases = [
    { name: "too many predictors", k: 9, n: 10, field: "#predictors-message" },
    { name: "k against n", k: 3, n: 4, field: "#predictors-message" },
    { name: "sample size not a number", k: 1, n: "", field: "#controls-message" },
    { name: "sample size above 499", k: 1, n: 500, field: "#controls-message" },
    { name: "a title line in the data", k: 1, n: 10, file: "title_line.txt", field: "#data-message", paste: true },
    { name: "a short row", k: 1, n: 10, file: "short_row.txt", field: "#data-message" },
    { name: "no variance", k: 1, n: 5, file: "zero_variance.txt", field: "#data-message" },
    { name: "collinear predictors", k: 2, n: 6, file: "collinear.txt", field: "#predictors-message" },
  ];
  for (const c of cases) {
    await t.test(c.name, () => withPage(async (page) => {
      const file = join(data, c.file || "worked_example.txt");
      const expected = cliRun(c, file);
      assert.equal(expected.status, 1);
      await typeEntries(page, c);
      await giveData(page, "file", file);
      await runContinue(page);
      await page.waitForSelector(c.field + ":not([hidden])");
      const shown = await page.$eval(c.field, (e) => e.textContent) + "\n";
      // A spreadsheet's export: the page adds that its cells can be pasted.
      if (c.paste) assert.match(shown.slice(expected.stderr.length - 1), /^ .*paste/);
      assert.equal(c.paste ? shown.slice(0, expected.stderr.length - 1) + "\n" : shown, expected.stderr);
      assert.equal(await reportText(page), "");
    }));
  }
});

test("the entries are checked while they are typed, as on the worksheet", async (t) => {
  // What is typed, what the field then holds, and whether a message shows beside it.
  const cases = [
    { field: "#predictors", typed: "13", holds: "12", message: true },
    { field: "#predictors", typed: "2.", holds: "2.", message: true },
    { field: "#predictors", typed: "3", holds: "3", message: false },
    { field: "#controls", typed: "1a", holds: "1", message: true },
    { field: "#controls", typed: "2,5", holds: "2.5", message: false },
    { field: "#controls", typed: "1234567", holds: "123456", message: true },
  ];
  await withPage(async (page) => {
    for (const c of cases) {
      await t.test(c.field + " " + c.typed, async () => {
        await page.$eval(c.field, (e) => { e.value = ""; e.dispatchEvent(new Event("input")); });
        await page.type(c.field, c.typed);
        assert.equal(await page.$eval(c.field, (e) => e.value), c.holds);
        const shown = await page.$eval(c.field + "-message", (e) => !e.hidden && e.textContent !== "");
        assert.equal(shown, c.message);
      });
    }
    await t.test("notes stop at 250 characters, a line break counting two", async () => {
      await page.type("#notes", "x".repeat(120) + "\n" + "y".repeat(140));
      const notes = await page.$eval("#notes", (e) => e.value);
      assert.equal(notes, "x".repeat(120) + "\n" + "y".repeat(128));
    });
  });
});

test("summary statistics typed into the form or read from a file give pavona-cli's report", async (t) => {
  const file = join(data, "worked_example_summary.txt");
  const expected = cliRun({ k: 1, summary: true, limits: "upper" }, file);
  assert.equal(expected.status, 0, expected.stderr);
  const [n, means, sds, , r, scores] = readFileSync(file, "utf8").trim().split(/\r?\n/).map((l) => l.trim().split(/\s+/));
  const ways = {
    "typed into the form": async (page) => {
      await page.type("#summary-n", n[0]);
      for (let v = 1; v <= 2; v++) {
        await page.type("#summary-mean-" + v, means[v - 1]);
        await page.type("#summary-sd-" + v, sds[v - 1]);
        await page.type("#summary-case-" + v, scores[v - 1]);
      }
      await page.type("#summary-r-2-1", r[0]);
      assert.equal(await page.$eval("#summary-r-1-2", (e) => e.value), r[0], "the mirror fills in");
    },
    "read from a summary file": async (page) => {
      const [chooser] = await Promise.all([page.waitForFileChooser(), page.click("#summary-file")]);
      await chooser.accept([file]);
      await page.waitForFunction(() => document.getElementById("summary-status").textContent !== "");
    },
  };
  for (const [name, give] of Object.entries(ways)) {
    await t.test(name, () => withPage(async (page) => {
      await typeEntries(page, { k: 1, limits: "upper" });
      await page.click("#source-summary");
      await give(page);
      await runContinue(page);
      await page.waitForFunction(() => document.getElementById("report").textContent !== "");
      assert.equal(await reportText(page), expected.stdout);
    }));
  }
  await t.test("a bad entry in the form is marked", () => withPage(async (page) => {
    await typeEntries(page, { k: 1 });
    await page.click("#source-summary");
    for (const [id, value] of [["#summary-n", "10"], ["#summary-mean-1", "50"], ["#summary-mean-2", "20"],
      ["#summary-sd-1", "10"], ["#summary-sd-2", "0"], ["#summary-r-2-1", "0.5"],
      ["#summary-case-1", "40"], ["#summary-case-2", "30"]])
      await page.type(id, value);
    await runContinue(page);
    await page.waitForSelector("#summary-message:not([hidden])");
    assert.equal(await page.$eval("#summary-message", (e) => e.textContent),
      "The standard deviation of Predictor (X) 1 must be greater than 0.");
    assert.equal(await page.$eval("#summary-sd-2", (e) => e.getAttribute("aria-invalid")), "true");
  }));
});

test("a series of cases gives pavona-cli's CSV as a table and a download", () => withPage(async (page, opened) => {
  const lines = readFileSync(join(data, "worked_example.txt"), "utf8").trim().split(/\r?\n/);
  const series = join(scratch, "series.txt");
  writeFileSync(series, [...lines, "45 25", "50 x"].join("\n") + "\n");
  const expected = cliRun({ k: 1, n: 10, extra: ["--cases", "all", "--csv"] }, series);
  await typeEntries(page, { k: 1, n: 10 });
  await giveData(page, "file", series);
  await runContinue(page);
  await seriesEnded(page);
  assert.equal(await page.$$eval("#series tbody tr", (rows) => rows.length), 3);
  assert.match(await page.$eval("#series-status", (e) => e.textContent), /; 1 case row was not analysed/);
  assert.equal((await opened.download("#save-csv", "series.csv")).toString("utf8"), expected.stdout);
}));

test("the keyboard alone reaches every control in order and runs the analysis", () => withPage(async (page) => {
  const file = join(data, "worked_example.txt");
  const expected = cliRun({ k: 1, n: 10 }, file);
  // The page opens with the focus in the first entry, as the worksheet does.
  const focused = () => page.evaluate(() => document.activeElement.id || document.activeElement.name);
  const order = [await focused()];
  for (let i = 0; i < 11; i++) {
    await page.keyboard.press("Tab");
    order.push(await focused());
  }
  assert.deepEqual(order, ["predictors", "controls", "limits", "notes", "source-raw", "data-file",
    "data-text", "continue", "clear-data", "save-report", "copy-report", "print-report"]);
  await page.focus("#predictors");
  await page.keyboard.type("1");
  await page.keyboard.press("Tab");
  await page.keyboard.type("10");
  for (let i = 0; i < 5; i++) await page.keyboard.press("Tab");
  assert.equal(await page.evaluate(() => document.activeElement.id), "data-text");
  const rows = readFileSync(file, "utf8").trim().split(/\r?\n/);
  for (const row of rows) {
    await page.keyboard.type(row.trim());
    await page.keyboard.press("Enter");
  }
  await page.keyboard.press("Tab");
  await page.keyboard.press("Enter");
  await page.waitForFunction(() => document.getElementById("report").textContent !== "");
  assert.equal(await reportText(page), expected.stdout);
}));

test("the page keeps only the two entries, and fits 1280 x 800 at 200% zoom", () => withPage(async (page) => {
  await typeEntries(page, { k: 1, n: 10, notes: ["private"] });
  await giveData(page, "paste", join(data, "worked_example.txt"));
  await runContinue(page);
  await page.waitForFunction(() => document.getElementById("report").textContent !== "");
  const stored = await page.evaluate(() => Object.entries(localStorage));
  assert.deepEqual(stored, [["pavona.entries", JSON.stringify({ predictors: "1", controls: "10" })]]);
  await page.reload();
  await page.waitForSelector("html[data-ready=true]");
  assert.deepEqual(await page.evaluate(() => [predictors.value, controls.value, notes.value, document.activeElement.id]),
    ["1", "10", "", "controls"]);
  // 200% zoom on a 1280 x 800 screen leaves a 640 x 400 CSS pixel viewport.
  await page.setViewport({ width: 640, height: 400, deviceScaleFactor: 2 });
  await page.click("#source-summary");
  assert.equal(await page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth), true);
}));

test("the page asked for nothing outside its own folder", () => {
  assert.deepEqual(foreign, []);
});
