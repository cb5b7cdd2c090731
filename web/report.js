// The report as the results viewer keeps it: each run's report follows the
// previous one (the core puts the separator between them), and Save writes it
// with CR LF line ends and no line end after the last line, as the viewer does.
// On the page each run's report is a part of its own, made of its blocks
// (a section each), so that the newest can be scrolled to and a printed
// block is kept on one page.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  const byId = (id) => document.getElementById(id);
  // The lines of every report so far, each ended by "\n", as pavona-cli prints them.
  let text = "";

  // A report's lines in blocks: a new block at each section's heading.
  function blocks(reportText) {
    const lines = reportText.split(/(?<=\n)/);
    const result = [];
    for (const line of lines) {
      if (result.length === 0 || /^ (INPUTS|OUTPUTS)/.test(line)) result.push("");
      result[result.length - 1] += line;
    }
    return result;
  }

  // The viewer's text: the lines joined by line breaks, with none after the last.
  function viewerText() {
    return text.endsWith("\n") ? text.slice(0, -1) : text;
  }

  async function copy() {
    if (!text) {
      P.setStatus("report-status", "There is no report to copy.");
      return;
    }
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

  function save() {
    if (!text) {
      P.setStatus("report-status", "There is no report to save.");
      return;
    }
    P.download("results.txt", P.report.savedBytes(), "text/plain");
  }

  function print() {
    if (!text) {
      P.setStatus("report-status", "There is no report to print.");
      return;
    }
    window.print();
  }

  // The print-out is headed with the date and time of printing.
  function headPrintout() {
    byId("print-heading").textContent = "Printed " + new Date().toLocaleString(undefined,
      { dateStyle: "long", timeStyle: "short" });
  }

  P.report = {
    hasText: () => text.length > 0,
    // Appends one run's report and scrolls the box to its first line.
    append(reportText) {
      text += reportText;
      const part = document.createElement("span");
      part.className = "run";
      for (const block of blocks(reportText)) {
        const span = document.createElement("span");
        span.className = "block";
        span.textContent = block;
        part.appendChild(span);
      }
      const box = byId("report");
      box.appendChild(part);
      box.scrollTop = part.offsetTop;
      P.setStatus("report-status", "");
    },
    clear() {
      text = "";
      byId("report").textContent = "";
      P.setStatus("report-status", "");
    },
    savedBytes: () => viewerText().replace(/\n/g, "\r\n"),

    wire() {
      byId("save-report").addEventListener("click", save);
      byId("copy-report").addEventListener("click", copy);
      byId("print-report").addEventListener("click", print);
      window.addEventListener("beforeprint", headPrintout);
      // Leaving or reloading the page would lose the report: the browser asks first.
      window.addEventListener("beforeunload", (event) => {
        if (!text) return;
        event.preventDefault();
        event.returnValue = "";
      });
      byId("clear-results").addEventListener("click", () => {
        P.report.clear();
        P.keyResults.clear();
        P.plot.clear();
        P.series.clear();
      });
    },
  };
})(window.Pavona);
