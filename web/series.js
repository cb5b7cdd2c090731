// A series of cases: pavona-cli's CSV shown as a table, and saved as it is.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  const byId = (id) => document.getElementById(id);
  let csv = "";

  // RFC 4180 fields: only the error column is ever quoted.
  function parse(text) {
    const rows = [];
    let row = [];
    let field = "";
    let quoted = false;
    for (let i = 0; i < text.length; i++) {
      const c = text[i];
      if (quoted) {
        if (c === '"' && text[i + 1] === '"') { field += '"'; i++; }
        else if (c === '"') quoted = false;
        else field += c;
      } else if (c === '"') quoted = true;
      else if (c === ",") { row.push(field); field = ""; }
      else if (c === "\n") { row.push(field); rows.push(row); row = []; field = ""; }
      else if (c !== "\r") field += c;
    }
    if (field !== "" || row.length > 0) { row.push(field); rows.push(row); }
    return rows;
  }

  P.series = {
    show(series) {
      csv = series.csv;
      const rows = parse(csv);
      const table = byId("series");
      table.textContent = "";
      const head = table.createTHead().insertRow();
      for (const name of rows[0]) {
        const th = document.createElement("th");
        th.scope = "col";
        th.textContent = name;
        head.appendChild(th);
      }
      const body = table.createTBody();
      for (const values of rows.slice(1)) {
        const row = body.insertRow();
        for (const value of values) row.insertCell().textContent = value;
      }
      byId("series-heading").textContent = "Series of cases (" + series.cases + ")";
      byId("series-section").hidden = false;
    },
    clear() {
      csv = "";
      byId("series").textContent = "";
      byId("series-section").hidden = true;
    },
    wire() {
      byId("save-csv").addEventListener("click", () => P.download("series.csv", csv, "text/csv"));
    },
  };
})(window.Pavona);
