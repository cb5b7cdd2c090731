// The report as the results viewer keeps it: each run's report follows the
// previous one (the core puts the separator between them), and Save writes it
// with CR LF line ends and no line end after the last line, as the viewer does.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  const byId = (id) => document.getElementById(id);
  // The lines of every report so far, each ended by "\n", as pavona-cli prints them.
  let text = "";

  function show() {
    byId("report").textContent = text;
  }

  // The viewer's text: the lines joined by line breaks, with none after the last.
  function viewerText() {
    return text.endsWith("\n") ? text.slice(0, -1) : text;
  }

  async function copy() {
    try {
      await navigator.clipboard.writeText(viewerText());
    } catch (e) {
      // Without the clipboard interface (older browsers, some file:// pages).
      const area = document.createElement("textarea");
      area.value = viewerText();
      area.setAttribute("readonly", "");
      area.style.position = "fixed";
      area.style.opacity = "0";
      document.body.appendChild(area);
      area.select();
      document.execCommand("copy");
      area.remove();
    }
    P.setStatus("report-status", "The report was copied.");
  }

  P.report = {
    hasText: () => text.length > 0,
    append(reportText) {
      text += reportText;
      show();
      P.setStatus("report-status", "");
    },
    clear() {
      text = "";
      show();
      P.setStatus("report-status", "");
    },
    savedBytes: () => viewerText().replace(/\n/g, "\r\n"),

    wire() {
      byId("save-report").addEventListener("click", () =>
        P.download("results.txt", P.report.savedBytes(), "text/plain"));
      byId("copy-report").addEventListener("click", copy);
      byId("print-report").addEventListener("click", () => window.print());
      byId("clear-results").addEventListener("click", () => {
        P.report.clear();
        P.plot.clear();
        P.series.clear();
      });
    },
  };
})(window.Pavona);
