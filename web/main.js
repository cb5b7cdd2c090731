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

  function showRefusal(field, message) {
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

  function run(event) {
    event.preventDefault();
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
    const started = performance.now();
    const outcome = P.engine.analyse(request);
    P.lastRunMilliseconds = performance.now() - started;
    if (!outcome.ok) {
      // As the window: the entries are remembered once they pass their checks.
      if (!summary && outcome.field !== "predictors" && outcome.field !== "controls") P.entries.save();
      showRefusal(outcome.field, outcome.message);
      return;
    }
    if (!summary) P.entries.save();
    if (outcome.loaded) {
      const unread = outcome.unread ? " " + outcome.unread : "";
      P.setStatus(summary ? "summary-status" : "data-status", outcome.loaded.trim() + "." + unread);
    }
    for (const warning of outcome.warnings) {
      const item = document.createElement("li");
      item.textContent = warning;
      byId("run-warnings").appendChild(item);
    }
    P.report.append(outcome.report);
    if (outcome.plot) P.plot.show(outcome.plot);
    else P.plot.clear();
    if (outcome.series) P.series.show(outcome.series);
    else P.series.clear();
    byId("report").focus();
    byId("report").scrollIntoView({ block: "start" });
  }

  async function start() {
    P.summaryForm.wire();
    P.dataSource.wire();
    P.report.wire();
    P.plot.wire();
    P.series.wire();
    P.onPredictorsChanged = () => { if (P.dataSource.isSummary()) P.summaryForm.build(); };
    byId("clear-data").addEventListener("click", () => P.entries.clear());
    try {
      await P.engineReady;
    } catch (error) {
      P.setStatus("engine-status", error.message);
      return;
    }
    P.entries.wire();
    byId("worksheet").addEventListener("submit", run);
    byId("continue").disabled = false;
    P.setStatus("engine-status", "");
    P.entries.restore();
    P.readyMilliseconds = performance.now();
    document.documentElement.dataset.ready = "true";
  }

  document.addEventListener("DOMContentLoaded", start);
})(window.Pavona);
