// Where the control sample comes from: raw data (a file chosen or dropped, or
// rows pasted) or summary statistics (the form or a summary file). The page
// reads files locally; their bytes go to the core unchanged.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  // The file chosen last for each kind of data, until the user types instead.
  const chosen = { raw: null, summary: null };

  const byId = (id) => document.getElementById(id);

  function isSummary() {
    return byId("source-summary").checked;
  }

  function showSource() {
    const summary = isSummary();
    byId("raw-section").hidden = summary;
    byId("summary-section").hidden = !summary;
    // Published norms give n themselves.
    byId("controls-field").hidden = summary;
    if (summary) P.summaryForm.build();
  }

  function describe(file) {
    const size = file.size < 1024 ? file.size + " bytes" : Math.ceil(file.size / 1024) + " KB";
    return file.name + " (" + size + ")";
  }

  async function take(kind, file) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    chosen[kind] = { name: file.name, bytes };
    if (kind === "raw") {
      byId("data-text").value = "";
      P.clearMessage("data-message", byId("data-file"));
      P.setStatus("data-status", "Data from the file " + describe(file) + ".");
    } else {
      P.clearMessage("summary-message", byId("summary-file"));
      P.setStatus("summary-status", "Summary statistics from the file " + describe(file) + ".");
    }
  }

  function wireDrop() {
    let depth = 0;
    const hasFiles = (event) => event.dataTransfer && Array.from(event.dataTransfer.types).includes("Files");
    document.addEventListener("dragenter", (event) => {
      if (!hasFiles(event)) return;
      depth += 1;
      document.body.classList.add("dragging");
    });
    document.addEventListener("dragleave", (event) => {
      if (!hasFiles(event)) return;
      depth = Math.max(0, depth - 1);
      if (depth === 0) document.body.classList.remove("dragging");
    });
    document.addEventListener("dragover", (event) => {
      if (hasFiles(event)) event.preventDefault();
    });
    document.addEventListener("drop", (event) => {
      if (!hasFiles(event)) return;
      event.preventDefault();
      depth = 0;
      document.body.classList.remove("dragging");
      const file = event.dataTransfer.files[0];
      if (file) take(isSummary() ? "summary" : "raw", file);
    });
  }

  P.dataSource = {
    isSummary,

    // The bytes the core reads, or null when nothing was given. For the form,
    // the text it builds (see summary_form.js).
    bytes() {
      const encode = (text) => new TextEncoder().encode(text);
      if (isSummary()) {
        if (chosen.summary) return chosen.summary.bytes;
        return P.summaryForm.isEmpty() ? null : encode(P.summaryForm.text());
      }
      if (chosen.raw) return chosen.raw.bytes;
      const pasted = byId("data-text").value;
      return pasted.trim() === "" ? null : encode(pasted);
    },

    // The name the data are shown by.
    name() {
      const file = isSummary() ? chosen.summary : chosen.raw;
      if (file) return file.name;
      return isSummary() ? "summary statistics form" : "pasted rows";
    },

    // Whether the raw data are rows pasted into the box rather than a file.
    pasted: () => !isSummary() && !chosen.raw,

    // Forgets the chosen files and the pasted rows.
    clear() {
      chosen.raw = null;
      chosen.summary = null;
      byId("data-file").value = "";
      byId("summary-file").value = "";
      byId("data-text").value = "";
      P.setStatus("data-status", "");
      P.setStatus("summary-status", "");
      P.clearMessage("data-message", byId("data-text"));
      byId("data-file").removeAttribute("aria-invalid");
      P.clearMessage("summary-message", byId("summary-file"));
    },

    // Whether the summary figures came from the form (for placing a refusal).
    fromForm: () => isSummary() && !chosen.summary,

    wire() {
      byId("source-raw").addEventListener("change", showSource);
      byId("source-summary").addEventListener("change", showSource);
      byId("data-file").addEventListener("change", (event) => {
        if (event.target.files[0]) take("raw", event.target.files[0]);
      });
      byId("summary-file").addEventListener("change", (event) => {
        if (event.target.files[0]) take("summary", event.target.files[0]);
      });
      // Typing rows in place of the file: the rows are used from then on.
      byId("data-text").addEventListener("input", () => {
        if (chosen.raw) {
          chosen.raw = null;
          byId("data-file").value = "";
        }
        P.clearMessage("data-message", byId("data-text"));
        P.setStatus("data-status", "");
      });
      P.summaryForm.onEdit = () => {
        if (chosen.summary) {
          chosen.summary = null;
          byId("summary-file").value = "";
        }
        P.setStatus("summary-status", "");
      };
      wireDrop();
      showSource();
    },
  };
})(window.Pavona);
