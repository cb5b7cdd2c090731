// A series of cases: the case rows are shared out among the page's workers
// in runs, shown as a table in input order as they come back (rounded as the
// report rounds), and saved as pavona-cli's CSV at full precision.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  const byId = (id) => document.getElementById(id);
  // Cases a worker is handed at once: small enough for progress and Stop to
  // follow closely, large enough that messages cost nothing beside them.
  const runLength = 10;
  // The table shows a page of rows at a time: every row added to a table of
  // thousands makes the browser lay all of them out again, which holds the
  // page up. The CSV holds every row.
  const pageRows = 250;
  const shownMessages = 1000;
  let rows = []; // every row shown so far, in order
  let firstShown = 0; // the index of the page's first row

  let header = "";
  let parts = new Map(); // the CSV and rows of each run done, by its first case
  let current = null; // the series running: { workers, stopped }

  const number = (n) => n.toLocaleString("en-US");

  function progress(done, total) {
    const bar = byId("series-progress");
    bar.max = Math.max(total, 1);
    bar.value = done;
    P.setStatus("series-status", number(done) + " of " + number(total) + " cases done");
  }

  function showHeader(columns) {
    const table = byId("series");
    table.textContent = "";
    const head = table.createTHead().insertRow();
    for (const name of columns) {
      const th = document.createElement("th");
      th.scope = "col";
      th.textContent = name;
      head.appendChild(th);
    }
    table.createTBody();
  }

  function addRow(body, shown) {
    const row = body.insertRow();
    row.insertCell().textContent = String(shown.number);
    for (let i = 0; i < 14; i++) row.insertCell().textContent = shown.figures[i] || "";
    row.insertCell().textContent = shown.error;
  }

  function showPagePosition() {
    const last = Math.min(rows.length, firstShown + pageRows);
    P.setStatus("series-page", rows.length === 0 ? "" :
      "Rows " + number(firstShown + 1) + " to " + number(last) + " of " + number(rows.length));
    byId("series-previous").disabled = firstShown === 0;
    byId("series-next").disabled = firstShown + pageRows >= rows.length;
    byId("series-pages").hidden = rows.length <= pageRows;
  }

  function showPage(first) {
    firstShown = Math.max(0, first);
    const body = byId("series").tBodies[0];
    if (!body) return;
    body.textContent = "";
    for (const shown of rows.slice(firstShown, firstShown + pageRows)) addRow(body, shown);
    showPagePosition();
  }

  function showRows(part) {
    const body = byId("series").tBodies[0];
    for (const shown of part.rows) {
      rows.push(shown);
      // Only rows on the page in view go into the table.
      if (rows.length - 1 < firstShown + pageRows && rows.length - 1 >= firstShown) addRow(body, shown);
    }
    showPagePosition();
    const list = byId("series-messages");
    for (const message of part.messages) {
      if (list.children.length >= shownMessages) break;
      const item = document.createElement("li");
      item.textContent = message;
      list.appendChild(item);
    }
  }

  function end(state) {
    for (const worker of state.workers) worker.end();
    state.workers = [];
    byId("series-stop").hidden = true;
    if (current === state) current = null;
  }

  // Runs the series of the request's data: resolves once it has ended,
  // stopped or failed.
  async function run(request) {
    P.series.clear();
    const state = { workers: [], stopped: false };
    current = state;
    for (let i = 0; i < P.workers.count(); i++) state.workers.push(new P.workers.WorkerClient());
    byId("series-section").hidden = false;
    byId("series-heading").textContent = "Series of cases";
    byId("series-stop").hidden = false;
    byId("series-progress").hidden = false;
    progress(0, 0);
    let opened;
    try {
      const openings = state.workers.map((worker) => worker.call("seriesOpen", request));
      opened = await openings[0];
      await Promise.all(openings);
    } catch (error) {
      if (!state.stopped) P.showMessage("series-message", { text: error.message, kind: "error" });
      end(state);
      return;
    }
    if (state.stopped) {
      end(state);
      return;
    }
    if (!opened.ok) {
      P.showMessage("series-message", opened.message);
      end(state);
      return;
    }
    const total = opened.cases;
    header = opened.header.join(",") + "\n";
    showHeader(opened.header);
    progress(0, total);
    let next = 1; // the first case not yet handed out
    let shown = 1; // the first case not yet in the table
    let done = 0;
    async function drive(worker) {
      while (!state.stopped && next <= total) {
        const from = next;
        const to = Math.min(total, from + runLength - 1);
        next = to + 1;
        const part = await worker.call("seriesCases", from, to);
        if (state.stopped) return;
        parts.set(from, part);
        done += part.rows.length;
        scheduleShow();
      }
    }
    // The table grows at most once a frame, however many runs came back.
    let scheduled = false;
    function scheduleShow() {
      if (scheduled) return;
      scheduled = true;
      requestAnimationFrame(showReady);
    }
    function showReady() {
      scheduled = false;
      if (state.cleared || state.finished) return;
      while (parts.has(shown)) {
        const ready = parts.get(shown);
        showRows(ready);
        shown += Math.max(ready.rows.length, 1);
      }
      progress(done, total);
    }
    try {
      await Promise.all(state.workers.map(drive));
    } catch (error) {
      if (!(error instanceof P.workers.Stopped))
        P.showMessage("series-message", { text: error.message, kind: "error" });
    }
    if (state.cleared) {
      end(state);
      return;
    }
    showReady();
    state.finished = true;
    if (state.stopped) {
      // The runs done after a gap are kept too: each row names its case.
      for (const from of [...parts.keys()].sort((a, b) => a - b)) if (from >= shown) showRows(parts.get(from));
      P.setStatus("series-status", "Stopped: " + number(done) + " of " + number(total) + " cases done.");
    } else if (opened.failure) {
      // The series stopped at a row it could not read: the rows before it stand.
      P.showMessage("series-message", { text: opened.failure, kind: "error" });
    }
    // Refused case rows are said above the table, not only in its last column.
    let refused = 0;
    for (const part of parts.values()) refused += part.rows.filter((row) => row.error).length;
    if (refused > 0 && !state.stopped)
      P.setStatus("series-status", number(done) + " of " + number(total) + " cases done; " + number(refused) +
        (refused === 1 ? " case row was" : " case rows were") + " not analysed: see the last column.");
    byId("series-heading").textContent = "Series of cases (" + done + ")";
    end(state);
  }

  function csv() {
    let text = header;
    for (const from of [...parts.keys()].sort((a, b) => a - b)) text += parts.get(from).csv;
    return text;
  }

  P.series = {
    run,
    running: () => current !== null,
    stop() {
      if (!current) return;
      current.stopped = true;
      for (const worker of current.workers) worker.end();
    },
    clear() {
      if (current) current.cleared = true;
      P.series.stop();
      header = "";
      parts = new Map();
      rows = [];
      firstShown = 0;
      P.setStatus("series-page", "");
      byId("series-pages").hidden = true;
      byId("series").textContent = "";
      byId("series-messages").textContent = "";
      P.clearMessage("series-message");
      P.setStatus("series-status", "");
      byId("series-section").hidden = true;
    },
    wire() {
      byId("save-csv").addEventListener("click", () => P.download("series.csv", csv(), "text/csv"));
      byId("series-stop").addEventListener("click", () => P.series.stop());
      byId("series-previous").addEventListener("click", () => showPage(firstShown - pageRows));
      byId("series-next").addEventListener("click", () => showPage(firstShown + pageRows));
    },
  };
})(window.Pavona);
