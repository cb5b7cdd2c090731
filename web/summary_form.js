// The summary statistics form: n, each variable's mean and SD, the correlation
// matrix (typing below the diagonal fills the mirror above) and the case's
// scores. It writes the text of a summary file, which goes through the same
// reader as a file does, so its checks and messages are the reader's.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  const byId = (id) => document.getElementById(id);
  let variables = 0; // k + 1 of the grid on show
  const kept = new Map(); // typed values by cell id, across rebuilds

  function labelOf(v) {
    return v === 1 ? "Criterion (Y)" : "Predictor (X) " + (v - 1);
  }

  // The number of predictors typed, when it is one the core accepts; else 1.
  function predictorsWanted() {
    const text = byId("predictors").value.trim();
    return /^[1-5]$/.test(text) ? Number(text) : 1;
  }

  function input(id, label, extra) {
    const field = document.createElement("input");
    field.type = "text";
    field.id = id;
    field.inputMode = "decimal";
    field.autocomplete = "off";
    field.setAttribute("aria-label", label);
    field.setAttribute("aria-describedby", "summary-message");
    field.value = kept.get(id) || "";
    Object.assign(field, extra || {});
    return field;
  }

  function cell(tag, content) {
    const element = document.createElement(tag);
    if (content instanceof Node) element.appendChild(content);
    else if (content !== undefined) element.textContent = content;
    return element;
  }

  function headRow(texts) {
    const row = document.createElement("tr");
    for (const text of texts) {
      const th = cell("th", text);
      th.scope = "col";
      row.appendChild(th);
    }
    return row;
  }

  function build() {
    const wanted = predictorsWanted() + 1;
    if (wanted === variables && byId("summary-n")) return;
    const host = byId("summary-form");
    for (const field of host.querySelectorAll("input")) if (!field.readOnly) kept.set(field.id, field.value);
    variables = wanted;
    host.textContent = "";

    const nField = document.createElement("div");
    nField.className = "field";
    const nLabel = cell("label", "Sample size (n) of the normative sample");
    nLabel.htmlFor = "summary-n";
    nField.append(nLabel, input("summary-n", "Sample size (n)"));
    host.appendChild(nField);
    nField.querySelector("input").removeAttribute("aria-label");

    // Means, SDs and the case's scores, a row for each variable.
    const stats = document.createElement("table");
    stats.className = "summary-grid";
    stats.appendChild(cell("caption", "Means, standard deviations and the case's scores"));
    stats.createTHead().appendChild(headRow(["Variable", "Mean", "SD", "Case's score"]));
    const statsBody = stats.createTBody();
    for (let v = 1; v <= variables; v++) {
      const row = statsBody.insertRow();
      const th = cell("th", labelOf(v));
      th.scope = "row";
      row.appendChild(th);
      row.appendChild(cell("td", input("summary-mean-" + v, "Mean of " + labelOf(v))));
      row.appendChild(cell("td", input("summary-sd-" + v, "SD of " + labelOf(v))));
      row.appendChild(cell("td", input("summary-case-" + v, "Case's score on " + labelOf(v))));
    }

    // The correlation matrix: below the diagonal typed, the rest shown.
    const corr = document.createElement("table");
    corr.className = "summary-grid";
    corr.appendChild(cell("caption", "Correlations (type those below the diagonal)"));
    const heads = [""];
    for (let v = 1; v <= variables; v++) heads.push(labelOf(v));
    corr.createTHead().appendChild(headRow(heads));
    const corrBody = corr.createTBody();
    for (let i = 1; i <= variables; i++) {
      const row = corrBody.insertRow();
      const th = cell("th", labelOf(i));
      th.scope = "row";
      row.appendChild(th);
      for (let j = 1; j <= variables; j++) {
        const id = "summary-r-" + i + "-" + j;
        const label = "Correlation of " + labelOf(i) + " with " + labelOf(j);
        let field;
        if (j < i) field = input(id, label);
        else if (j === i) field = input(id, label, { readOnly: true, tabIndex: -1, value: "1" });
        else field = input(id, label, { readOnly: true, tabIndex: -1, value: kept.get("summary-r-" + j + "-" + i) || "" });
        row.appendChild(cell("td", field));
      }
    }

    const blocks = [stats, corr].map((table) => {
      const block = document.createElement("div");
      block.className = "summary-block";
      block.appendChild(table);
      return block;
    });
    host.append(...blocks);
  }

  function value(id) {
    const field = byId(id);
    return field ? field.value.trim() : "";
  }

  // The lines of the summary file the form stands for.
  function lines() {
    const row = (prefix) => {
      const values = [];
      for (let v = 1; v <= variables; v++) values.push(value(prefix + v));
      return values.join(" ");
    };
    const result = [value("summary-n"), row("summary-mean-"), row("summary-sd-")];
    for (let i = 1; i <= variables; i++) {
      const values = [];
      for (let j = 1; j <= variables; j++)
        values.push(i === j ? "1" : value("summary-r-" + Math.max(i, j) + "-" + Math.min(i, j)));
      result.push(values.join(" "));
    }
    result.push(row("summary-case-"));
    return result;
  }

  // The form's cell that line `line` (and entry `entry`) of its text stands
  // for; without an entry, the line's first empty cell or its first cell.
  function cellFor(line, entry) {
    const k1 = variables;
    const ids = [];
    if (line === 1) ids.push("summary-n");
    else if (line === 2 || line === 3 || line === k1 + 4) {
      const prefix = line === 2 ? "summary-mean-" : line === 3 ? "summary-sd-" : "summary-case-";
      for (let v = 1; v <= k1; v++) ids.push(prefix + v);
    } else if (line >= 4 && line <= k1 + 3) {
      const i = line - 3;
      for (let j = 1; j <= k1; j++) ids.push("summary-r-" + Math.max(i, j) + "-" + Math.min(i, j));
    }
    if (ids.length === 0) return null;
    if (entry && ids[entry - 1]) return byId(ids[entry - 1]);
    const empty = ids.find((id) => value(id) === "");
    return byId(empty || ids[0]);
  }

  P.summaryForm = {
    onEdit: null,
    build,
    text: () => lines().join("\n") + "\n",
    isEmpty: () => Array.from(byId("summary-form").querySelectorAll("input:not([readonly])"))
      .every((field) => field.value.trim() === ""),

    // Marks the cell a reader's refusal names ("Line 3 ..., entry 2: ...").
    // The cells as typed: { n, means, sds, cases, r }, r[i][j] below the diagonal.
    cells() {
      const column = (prefix) => Array.from({ length: variables }, (_, v) => value(prefix + (v + 1)));
      const r = [];
      for (let i = 1; i <= variables; i++) {
        const row = [];
        for (let j = 1; j < i; j++) row.push(value("summary-r-" + i + "-" + j));
        r.push(row);
      }
      return { n: value("summary-n"), means: column("summary-mean-"), sds: column("summary-sd-"),
        cases: column("summary-case-"), r };
    },

    // Shows a refusal of the form beside the cell it names (`cell`: an id, or
    // "correlations" for the whole grid) and returns the cell to focus.
    markCell(cell, message) {
      const host = byId("summary-form");
      for (const field of host.querySelectorAll("[aria-invalid]")) field.removeAttribute("aria-invalid");
      const grid = cell === "correlations";
      const fields = grid ? Array.from(host.querySelectorAll("input[id^=summary-r-]:not([readonly])")) : [byId(cell)];
      if (!fields[0]) return null;
      for (const field of fields) field.setAttribute("aria-invalid", "true");
      // The message goes right after the cell's group: n's field or its table.
      const group = fields[0].closest(".summary-block, .field");
      const box = byId("summary-message");
      group.after(box);
      P.showMessage("summary-message", message);
      return fields[0];
    },

    // The message goes back below the summary file's chooser.
    restoreMessagePlace() {
      byId("summary-status").after(byId("summary-message"));
    },

    // Empties every typed cell and forgets what was typed.
    clear() {
      kept.clear();
      for (const field of byId("summary-form").querySelectorAll("input")) {
        field.removeAttribute("aria-invalid");
        if (!field.readOnly || !/^summary-r-(\d+)-\1$/.test(field.id)) field.value = "";
      }
    },

    markRefusal(text) {
      for (const field of byId("summary-form").querySelectorAll("[aria-invalid]")) field.removeAttribute("aria-invalid");
      const match = /^Lines? (\d+)(?: of the summary file)?(?:, entry (\d+))?/.exec(text) ||
        /ends before line (\d+)/.exec(text);
      if (!match) return null;
      const target = cellFor(Number(match[1]), match[2] ? Number(match[2]) : 0);
      if (target) target.setAttribute("aria-invalid", "true");
      return target;
    },

    wire() {
      const host = byId("summary-form");
      host.addEventListener("input", (event) => {
        const match = /^summary-r-(\d+)-(\d+)$/.exec(event.target.id);
        if (match) {
          const mirror = byId("summary-r-" + match[2] + "-" + match[1]);
          if (mirror) mirror.value = event.target.value;
        }
        event.target.removeAttribute("aria-invalid");
        P.clearMessage("summary-message");
        if (P.summaryForm.onEdit) P.summaryForm.onEdit();
      });
    },
  };
})(window.Pavona);
