// The page's plot draws the figures the core gives it and nothing of its own:
// the axes' ends, ticks and labels, the captions and the legend texts come
// from the plot object; summary statistics give the t chart alone.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { join, resolve } from "node:path";
import { launch, openPage } from "./browser.mjs";

const data = resolve(process.env.PAVONA_TEST_DATA || "tests/data");
let chromium;
const foreign = [];

before(async () => { chromium = await launch(); });
after(async () => { await chromium.close(); });

async function withPage(body) {
  const opened = await openPage(chromium.browser, foreign);
  try {
    await body(opened.page);
    assert.deepEqual(opened.errors, [], "no script errors on the page");
    assert.deepEqual(foreign, [], "nothing fetched from elsewhere");
  } finally {
    await opened.close();
  }
}

const axis = (title, low, high, ticks, labels) => ({ title, low, high, ticks, labels });

// Odd ends, uneven ticks and made-up texts: only drawing what is given passes.
const given = {
  title: "given title",
  scores: {
    caption: "scores caption",
    x: axis("x title", 7, 41, [7, 19, 30, 41], ["7", "19", "30.0", "41"]),
    y: axis("y title", 7, 41, [7, 24, 41], ["7y", "24y", "41y"]),
    legend: [{ mark: "controls", text: "given controls" }, { mark: "case", text: "given case" },
      { mark: "equalScores", text: "given equal" }, { mark: "interval", text: "given interval" }],
  },
  controls: { predicted: [10, 20, 30], obtained: [12, 18, 31] },
  case: { predicted: 25, obtained: 14 },
  interval: { low: 15, high: 35, lowOpen: false, highOpen: false, capHalfWidth: 0.75 },
  discrepancy: {
    caption: "t caption",
    x: axis("t title", -4, 4, [-3, 0, 3], ["-3t", "0t", "3t"]),
    y: axis("density title", 0, 0.45, [0, 0.15, 0.3, 0.45], ["0d", ".15d", ".30d", ".45d"]),
    legend: [{ mark: "density", text: "given density" }, { mark: "caseT", text: "given t" },
      { mark: "tail", text: "given tail" }],
  },
  t: -2.5,
  tailBelow: true,
  density: { x: [-4, -2.5, 0, 4], y: [0.02, 0.04, 0.32, 0.02] },
  tail: { x: [-4, -2.5], y: [0.02, 0.04] },
  caseTTop: 0.335,
  tailArea: "12.111900%",
};

// Each chart's caption, texts and where each text stands.
function drawn(page) {
  return page.$$eval("#plot svg", (charts) => charts.map((svg) => ({
    id: svg.id,
    caption: svg.querySelector("title").textContent,
    texts: Array.from(svg.querySelectorAll("text"), (t) => ({
      text: t.textContent, x: Number(t.getAttribute("x")), y: Number(t.getAttribute("y")),
      anchor: t.getAttribute("text-anchor") })),
  })));
}

// The labels stand at the ticks: spaced as the ticks are, not evenly.
function assertLabelsAtTicks(chart, given, coordinate) {
  const at = given.labels.map((label) => {
    const found = chart.texts.find((t) => t.text === label);
    assert.ok(found, "label " + label + " drawn");
    return found[coordinate];
  });
  const first = given.ticks[0];
  const span = given.ticks[given.ticks.length - 1] - first;
  given.ticks.forEach((tick, i) =>
    assert.ok(Math.abs((at[i] - at[0]) / (at[at.length - 1] - at[0]) - (tick - first) / span) < 0.01,
      "label " + given.labels[i] + " at its tick"));
}

test("the charts draw the axes, captions and legends they are given", () => withPage(async (page) => {
  await page.evaluate((plot) => window.Pavona.plot.show(plot), given);
  const [scores, discrepancy] = await drawn(page);
  assert.equal(scores.id, "chart-scores");
  assert.equal(scores.caption, "scores caption");
  assertLabelsAtTicks(scores, given.scores.x, "x");
  assertLabelsAtTicks(scores, given.scores.y, "y");
  assertLabelsAtTicks(discrepancy, given.discrepancy.x, "x");
  assertLabelsAtTicks(discrepancy, given.discrepancy.y, "y");
  assert.equal(discrepancy.caption, "t caption");
  for (const [chart, frame] of [[scores, given.scores], [discrepancy, given.discrepancy]])
    for (const text of [frame.x.title, frame.y.title, ...frame.legend.map((e) => e.text)])
      assert.ok(chart.texts.some((t) => t.text === text), text + " drawn");
  assert.ok(discrepancy.texts.some((t) => t.text === "12.111900%"));
  assert.equal(await page.$eval("#plot-heading", (e) => e.textContent), "given title");

  // Without scores, the t chart alone, in the picture too.
  await page.evaluate((plot) => window.Pavona.plot.show(Object.assign({}, plot, { scores: null })), given);
  assert.deepEqual((await drawn(page)).map((c) => c.id), ["chart-discrepancy"]);
  const svg = await page.evaluate(() => window.Pavona.plot.pictureSvg());
  assert.match(svg, /^<\?xml[^]*<svg[^>]* width="480"/);
}));

test("summary statistics from a file get the t chart", () => withPage(async (page) => {
  await page.$eval("#predictors", (e) => { e.value = ""; });
  await page.type("#predictors", "1");
  await page.click("#source-summary");
  const [chooser] = await Promise.all([page.waitForFileChooser(), page.click("#summary-file")]);
  await chooser.accept([join(data, "worked_example_summary.txt")]);
  await page.waitForFunction(() => document.getElementById("summary-status").textContent !== "");
  await page.click("#continue");
  await page.waitForSelector("#plot svg");
  const charts = await drawn(page);
  assert.deepEqual(charts.map((c) => c.id), ["chart-discrepancy"]);
  // The core's labels reach the page: the density axis (the labels anchored
  // at their end) is labelled at several distinct ticks.
  const densityLabels = charts[0].texts.filter((t) => t.anchor === "end").map((t) => t.text);
  assert.ok(densityLabels.length >= 3 && new Set(densityLabels).size === densityLabels.length, densityLabels.join(" "));
  const report = await page.$eval("#report", (e) => e.textContent);
  const tail = charts[0].texts.find((t) => /^\d+\.\d{6}%$/.test(t.text));
  assert.ok(tail && report.includes("more extreme than the case = " + tail.text), "the tail is the report's percentage");
}));
