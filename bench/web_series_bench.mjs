// A series of 5,000 cases in the page (headless Chromium, opened from its
// folder) against pavona-cli --cases all --jobs 2 on the same file: the time
// to finish, and the longest task the page's main thread ran meanwhile.
// A measurement, not a test:
//
//   node bench/web_series_bench.mjs [ROWS]
//
// with PAVONA_WEB_BUILD (default build-web) and PAVONA_CLI (default
// build/pavona-cli).
import { spawnSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { launch, openPage, cli, typeEntries, giveData, seriesEnded } from "../tests/web/browser.mjs";

const rows = Number(process.argv[2] || 5000);
const data = resolve(process.env.PAVONA_TEST_DATA || "tests/data");
const scratch = mkdtempSync(join(tmpdir(), "pavona-web-bench-"));
const controls = readFileSync(join(data, "worked_example.txt"), "utf8").trim().split(/\r?\n/).slice(0, 10);
const cases = [];
for (let i = 0; i < rows; i++) cases.push((40 + (i % 37) * 0.731).toFixed(3) + " " + (15 + (i % 23) * 0.53).toFixed(2));
const file = join(scratch, "series.txt");
writeFileSync(file, [...controls, ...cases].join("\n") + "\n");

try {
  const started = process.hrtime.bigint();
  const native = spawnSync(cli, ["--predictors", "1", "--controls", "10", "--cases", "all", "--jobs", "2", "--csv", file],
    { encoding: "utf8", maxBuffer: 1 << 30 });
  const nativeSeconds = Number(process.hrtime.bigint() - started) / 1e9;
  if (native.status !== 0) throw new Error("pavona-cli: " + native.stderr);

  const chromium = await launch();
  const foreign = [];
  try {
    const opened = await openPage(chromium.browser, foreign);
    const page = opened.page;
    // Long tasks of the main thread (50 ms or more), and the longest gap
    // between animation frames, from the click on.
    await page.evaluate(() => {
      window.benchLongest = 0;
      window.benchTasks = [];
      new PerformanceObserver((list) => {
        for (const entry of list.getEntries()) {
          window.benchLongest = Math.max(window.benchLongest, entry.duration);
          window.benchTasks.push([Math.round(entry.startTime), Math.round(entry.duration)]);
        }
      }).observe({ type: "longtask" });
      window.benchGap = 0;
      let last = performance.now();
      const frame = (now) => {
        window.benchGap = Math.max(window.benchGap, now - last);
        last = now;
        if (!window.benchDone) requestAnimationFrame(frame);
      };
      requestAnimationFrame(frame);
    });
    await typeEntries(page, { k: 1, n: 10 });
    await giveData(page, "file", file);
    const clicked = Date.now();
    await page.evaluate(() => { window.benchClicked = Math.round(performance.now()); });
    await page.click("#continue");
    await page.waitForFunction(() => document.querySelectorAll("#report .run").length === 1, { timeout: 0 });
    const reportSeconds = (Date.now() - clicked) / 1000;
    // Polled from here: one call waiting for minutes would pass the protocol's timeout.
    for (;;) {
      const ended = await page.evaluate(() => document.getElementById("series-stop").hidden &&
        /\(\d+\)$/.test(document.getElementById("series-heading").textContent));
      if (ended) break;
      await new Promise((r) => setTimeout(r, 200));
    }
    const pageSeconds = (Date.now() - clicked) / 1000;
    const measured = await page.evaluate(() => {
      window.benchDone = true;
      return {
        longest: window.benchLongest, gap: window.benchGap, tasks: window.benchTasks,
        clicked: window.benchClicked,
        rows: Number(/\((\d+)\)$/.exec(document.getElementById("series-heading").textContent)[1]),
        workers: Math.max(1, Math.min(navigator.hardwareConcurrency || 2, 8)),
      };
    });
    console.log(`series of ${rows} cases`);
    console.log(`pavona-cli --cases all --jobs 2: ${nativeSeconds.toFixed(2)} s`);
    console.log(`page (${measured.workers} workers): report after ${reportSeconds.toFixed(2)} s, ` +
      `series of ${measured.rows} rows after ${pageSeconds.toFixed(2)} s`);
    console.log(`longest main-thread task while it ran: ${measured.longest.toFixed(0)} ms ` +
      `(none of 50 ms or more if 0); longest gap between frames: ${measured.gap.toFixed(0)} ms`);
    if (process.env.PAVONA_BENCH_TASKS)
      console.log("long tasks [start ms, duration ms] after the click at " + measured.clicked + " ms: " +
        JSON.stringify(measured.tasks));
    await opened.close();
  } finally {
    await chromium.close();
  }
} finally {
  rmSync(scratch, { recursive: true, force: true });
}
