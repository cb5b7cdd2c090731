// Continue: the entries and the data go to the core in one request; the report,
// the plot and a series come back, or a refusal shown beside its field.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  const byId = (id) => document.getElementById(id);

  // The page's own text for a run without data (the window asks for a file at
  // this point instead).
  const NoData = {
    raw: "Choose the data file, drop it on the page, or paste its rows, then press Continue again.",
    summary: "Type the summary statistics or choose a summary file, then press Continue again.",
  };

  const fieldMessages = {
    predictors: ["predictors-message", "predictors"],
    controls: ["controls-message", "controls"],
    notes: ["notes-message", "notes"],
    data: ["data-message", null],
    summary: ["summary-message", null],
    run: ["run-message", null],
  };

  function clearRunMessages() {
    for (const [message, field] of Object.values(fieldMessages))
      P.clearMessage(message, field ? byId(field) : null);
    byId("run-warnings").textContent = "";
  }

  function showRefusal(field, message, cell) {
    // A refusal of the summary form, beside its cell.
    if (cell) {
      const target = P.summaryForm.markCell(cell, message);
      if (target) {
        target.focus();
        return;
      }
    }
    P.summaryForm.restoreMessagePlace();
    // The data's refusals concern whichever kind of data was given.
    if (field === "data" && P.dataSource.isSummary()) field = "summary";
    const [messageId, fieldId] = fieldMessages[field] || fieldMessages.run;
    let target = fieldId ? byId(fieldId) : null;
    if (field === "data") target = byId("data-text").value.trim() ? byId("data-text") : byId("data-file");
    if (field === "summary")
      target = (P.dataSource.fromForm() && P.summaryForm.markRefusal(message.text)) || byId("summary-file");
    P.showMessage(messageId, message, fieldId ? target : null);
    if (target) target.focus();
    else byId("continue").focus();
  }

  // Runs go one after another, each after the report of the one before.
  let queue = Promise.resolve();
  // Counts the Clear Data presses: a run that was under way when the data
  // were cleared shows nothing of the patient cleared.
  let patient = 0;

  function run(event) {
    event.preventDefault();
    queue = queue.then(analyse, analyse);
  }

  async function analyse() {
    clearRunMessages();
    const summary = P.dataSource.isSummary();
    const bytes = P.dataSource.bytes();
    const request = {
      predictors: P.entries.predictors(),
      controls: summary ? "" : P.entries.controls(),
      limits: P.entries.limits(),
      notes: P.entries.notes(),
      summary,
      data: bytes || new Uint8Array(0),
      name: P.dataSource.name(),
      pasted: P.dataSource.pasted(),
      form: P.dataSource.fromForm() ? P.summaryForm.cells() : null,
      viewerHasText: P.report.hasText(),
    };
    // The entries are checked first, as the window checks them before it asks for a file.
    if (!bytes) {
      const checked = P.engine.analyse(Object.assign({}, request, { data: new Uint8Array(0) }));
      if (!checked.ok && (checked.field === "predictors" || checked.field === "controls" || checked.field === "notes")) {
        showRefusal(checked.field, checked.message);
        return;
      }
      if (!summary) P.entries.save();
      showRefusal("data", { text: NoData[summary ? "summary" : "raw"], kind: "information" });
      return;
    }
    // A new run replaces the series of the one before.
    P.series.clear();
    const started = performance.now();
    const asked = patient;
    let outcome;
    try {
      outcome = await P.workers.analyse(request);
    } catch (error) {
      if (asked === patient) showRefusal("run", { text: error.message, kind: "error" });
      return;
    }
    if (asked !== patient) return;
    P.lastRunMilliseconds = performance.now() - started;
    if (!outcome.ok) {
      // As the window: the entries are remembered once they pass their checks.
      if (!summary && outcome.field !== "predictors" && outcome.field !== "controls") P.entries.save();
      showRefusal(outcome.field, outcome.message, outcome.cell);
      return;
    }
    if (!summary) P.entries.save();
    if (outcome.loaded) {
      const unread = outcome.unread ? " " + outcome.unread : "";
      P.setStatus(summary ? "summary-status" : "data-status", outcome.loaded.trim() + "." + unread);
    }
    P.setStatus("data-rows", outcome.rows || "");
    for (const warning of outcome.warnings) {
      const item = document.createElement("li");
      item.textContent = warning;
      byId("run-warnings").appendChild(item);
    }
    P.keyResults.show(outcome.key);
    P.report.append(outcome.report);
    if (outcome.plot) P.plot.show(outcome.plot);
    else P.plot.clear();
    byId("results").scrollIntoView({ block: "start" });
    byId("report").focus({ preventScroll: true });
    // The answer is on show; the series follows without holding it up.
    if (outcome.series) P.series.run(request);
  }

  // Clear Data: nothing of the patient stays for the next one.
  function clearData() {
    patient += 1;
    P.series.clear();
    P.keyResults.clear();
    P.dataSource.clear();
    P.summaryForm.clear();
    clearRunMessages();
    P.setStatus("data-rows", "");
    P.entries.clear();
  }

  async function start() {
    P.summaryForm.wire();
    P.dataSource.wire();
    P.report.wire();
    P.plot.wire();
    P.series.wire();
    P.onPredictorsChanged = () => { if (P.dataSource.isSummary()) P.summaryForm.build(); };
    byId("clear-data").addEventListener("click", clearData);
    try {
      await P.engineReady;
    } catch (error) {
      P.setStatus("engine-status", error.message);
      return;
    }
    P.workers.start();
    P.entries.wire();
    byId("worksheet").addEventListener("submit", run);
    byId("continue").disabled = false;
    P.setStatus("engine-status", "");
    byId("missing-files").hidden = true;
    P.setStatus("version", "Version " + P.engine.version());
    P.entries.restore();
    P.readyMilliseconds = performance.now();
    document.documentElement.dataset.ready = "true";
  }

  document.addEventListener("DOMContentLoaded", start);
})(window.Pavona);
