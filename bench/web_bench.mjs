// Measures the browser edition in headless Chromium: the size of the site
// folder, the time from opening index.html to a page ready to analyse, and the
// time of one analysis of n = 499 controls, k = 5 predictors and a case 3 SD
// below its prediction (the data from build/write_bench_data 499 5 -30).
//
//   node bench/web_bench.mjs [RUNS]
//
// PAVONA_WEB_BUILD (default build-web) and PAVONA_BUILD (default build) name
// the two build folders.
import { spawnSync } from "node:child_process";
import { readdirSync, statSync } from "node:fs";
import { join, resolve } from "node:path";
import { launch, openPage, site } from "../tests/web/browser.mjs";

const runs = Number(process.argv[2] || 30);
const native = resolve(process.env.PAVONA_BUILD || "build");

function folderBytes(folder) {
  let total = 0;
  for (const entry of readdirSync(folder, { withFileTypes: true })) {
    const path = join(folder, entry.name);
    total += entry.isDirectory() ? folderBytes(path) : statSync(path).size;
  }
  return total;
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

const written = spawnSync(join(native, "write_bench_data"), ["499", "5", "-30"], { encoding: "utf8" });
if (written.status !== 0) throw new Error("write_bench_data failed: " + written.stderr);
const rows = written.stdout;

const chromium = await launch();
const foreign = [];
const ready = [];
const analyses = [];
const continues = [];
try {
  for (let i = 0; i < Math.min(runs, 10); i++) {
    const opened = await openPage(chromium.browser, foreign);
    ready.push(await opened.page.evaluate(() => window.Pavona.readyMilliseconds));
    await opened.close();
  }
  const opened = await openPage(chromium.browser, foreign);
  const page = opened.page;
  // The core alone, as Continue calls it.
  const times = await page.evaluate((text, count) => {
    const request = { predictors: "5", controls: "499", limits: "two-sided", notes: "", summary: false,
      data: new TextEncoder().encode(text), name: "bench data", viewerHasText: false };
    const times = [];
    for (let i = 0; i < count; i++) {
      const started = performance.now();
      const outcome = window.Pavona.engine.analyse(request);
      times.push(performance.now() - started);
      if (!outcome.ok) throw new Error(outcome.message.text);
    }
    return times;
  }, rows, runs);
  analyses.push(...times);
  // The whole Continue: the request, the report, the plot and the table drawn.
  await page.type("#predictors", "5");
  await page.type("#controls", "499");
  await page.$eval("#data-text", (e, text) => { e.value = text; }, rows);
  for (let i = 0; i < Math.min(runs, 10); i++) {
    const took = await page.evaluate(() => {
      const started = performance.now();
      document.getElementById("continue").click();
      return performance.now() - started;
    });
    continues.push(took);
  }
  await opened.close();
} finally {
  await chromium.close();
}

const mb = (bytes) => (bytes / 1048576).toFixed(2) + " MB";
console.log("site folder:                 " + mb(folderBytes(site)) + " (" + folderBytes(site) + " bytes)");
console.log("open to ready (median of " + ready.length + "):  " + median(ready).toFixed(1) + " ms");
console.log("one analysis, core (median of " + analyses.length + "): " + median(analyses).toFixed(2) +
  " ms (min " + Math.min(...analyses).toFixed(2) + ", max " + Math.max(...analyses).toFixed(2) + ")");
// The browser compiles the core quickly at first and better once it has run:
// the first analyses of a fresh page are the slow ones.
console.log("  the first: " + analyses[0].toFixed(2) + " ms; after 10 to warm up, median of " +
  Math.max(analyses.length - 10, 0) + ": " + median(analyses.slice(10)).toFixed(2) + " ms");
console.log("Continue to report and plot (median of " + continues.length + "): " + median(continues).toFixed(2) + " ms");
if (foreign.length) console.log("requests outside the site: " + foreign.join(", "));
