// Debian's Chromium, headless, driven by puppeteer-core, on the browser
// edition's page opened straight from its folder (file://). Every request
// outside the page's folder is refused and recorded.
import { createRequire } from "node:module";
import { before, after } from "node:test";
import assert from "node:assert/strict";
import { mkdtempSync, rmSync, readdirSync, readFileSync, existsSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { pathToFileURL } from "node:url";
import { spawnSync } from "node:child_process";

// PAVONA_WEB_BUILD: the Emscripten build folder (site/ and npm/node_modules).
export const webBuild = resolve(process.env.PAVONA_WEB_BUILD || "build-web");
export const site = join(webBuild, "site");
export const chromium = process.env.PAVONA_CHROMIUM || "/usr/bin/chromium";
export const cli = resolve(process.env.PAVONA_CLI || "build/pavona-cli");

const require = createRequire(join(webBuild, "npm", "package.json"));
const puppeteer = require("puppeteer-core");

export const chromiumArgs = [
  "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync",
];

export async function launch() {
  const profile = mkdtempSync(join(tmpdir(), "pavona-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: [...chromiumArgs, "--user-data-dir=" + profile],
    defaultViewport: { width: 1280, height: 800 },
  });
  return {
    browser,
    async close() {
      await browser.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

export const pageUrl = pathToFileURL(join(site, "index.html")).href;
const siteUrl = pathToFileURL(site).href + "/";

// The page's own files, and what the page makes in memory, are allowed.
export function ownRequest(url) {
  return url.startsWith(siteUrl) || url.startsWith("data:") || url.startsWith("blob:");
}

// A page on index.html, ready to analyse, in a browser context of its own
// (its own local storage), with its downloads going to a folder of their
// own. `foreign` collects the requests that were refused.
export async function openPage(browser, foreign) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setRequestInterception(true);
  page.on("request", (request) => {
    if (ownRequest(request.url())) request.continue();
    else {
      foreign.push(request.url());
      request.abort();
    }
  });
  const downloads = mkdtempSync(join(tmpdir(), "pavona-downloads-"));
  const session = await page.createCDPSession();
  await session.send("Browser.setDownloadBehavior",
    { behavior: "allow", downloadPath: downloads, browserContextId: context.id });
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  // The browser's own prompts (the leave-page one) are recorded and accepted.
  const dialogs = [];
  page.on("dialog", (dialog) => {
    dialogs.push(dialog.type());
    dialog.accept().catch(() => {});
  });
  await page.goto(pageUrl);
  await page.waitForSelector("html[data-ready=true]", { timeout: 20000 });
  return {
    page,
    errors,
    dialogs,
    // The bytes of the file a click downloads.
    async download(selector, name) {
      await page.click(selector);
      const path = join(downloads, name);
      for (let i = 0; i < 200; i++) {
        if (existsSync(path) && !readdirSync(downloads).some((f) => f.endsWith(".crdownload")))
        {
          const bytes = readFileSync(path);
          rmSync(path);
          return bytes;
        }
        await new Promise((r) => setTimeout(r, 50));
      }
      throw new Error("No download " + name + " after clicking " + selector);
    },
    async close() {
      await context.close();
      rmSync(downloads, { recursive: true, force: true });
    },
  };
}

// pavona-cli's output for the page's entries.
export function cliRun({ k, n, limits = "two-sided", notes = [], summary = false, extra = [] }, file) {
  const args = ["--predictors", String(k)];
  if (summary) args.push("--summary");
  else args.push("--controls", String(n));
  args.push("--limits", limits, ...extra);
  for (const line of notes) args.push("--notes", line);
  args.push(file);
  const run = spawnSync(cli, args, { encoding: "utf8" });
  return { status: run.status, stdout: run.stdout, stderr: run.stderr };
}

export async function typeEntries(page, { k, n, limits = "two-sided", notes = [] }) {
  await page.$eval("#predictors", (e) => { e.value = ""; });
  await page.type("#predictors", String(k));
  if (n !== undefined) {
    await page.$eval("#controls", (e) => { e.value = ""; });
    await page.type("#controls", String(n));
  }
  await page.click(`input[name=limits][value=${limits}]`);
  if (notes.length) await page.$eval("#notes", (e, text) => {
    e.value = text;
    e.dispatchEvent(new Event("input"));
  }, notes.join("\n"));
}

export async function giveData(page, via, file) {
  if (via === "file") {
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click("#data-file")]);
    await chooser.accept([file]);
    await page.waitForFunction(() => document.getElementById("data-status").textContent !== "");
  } else {
    // Rows copied from a spreadsheet: tab-separated, CR LF line ends.
    const rows = readFileSync(file, "utf8").trim().split(/\r?\n/).map((r) => r.trim().split(/\s+/).join("\t"));
    await page.$eval("#data-text", (e, text) => {
      e.value = text;
      e.dispatchEvent(new Event("input"));
    }, rows.join("\r\n") + "\r\n");
  }
}

export const reportText = (page) => page.$eval("#report", (e) => e.textContent);

export async function runContinue(page) {
  await page.click("#continue");
}


// Waits until a series has ended: its Stop button gone, its count in the heading.
export async function seriesEnded(page) {
  await page.waitForFunction(() => {
    const section = document.getElementById("series-section");
    return !section.hidden && document.getElementById("series-stop").hidden &&
      /\(\d+\)$/.test(document.getElementById("series-heading").textContent);
  }, { timeout: 120000 });
}

// One Chromium for a test file, a scratch folder it removes, the foreign
// requests its pages made, and a page for each test that fails on a script error.
export function sharedBrowser(prefix) {
  const shared = { session: null, foreign: [], scratch: mkdtempSync(join(tmpdir(), prefix)) };
  before(async () => { shared.session = await launch(); });
  after(async () => {
    await shared.session.close();
    rmSync(shared.scratch, { recursive: true, force: true });
  });
  shared.withPage = async (body) => {
    const opened = await openPage(shared.session.browser, shared.foreign);
    try {
      await body(opened.page, opened);
      assert.deepEqual(opened.errors, [], "no script errors on the page");
    } finally {
      await opened.close();
    }
  };
  return shared;
}
