// The answer first: the key figures of the newest run above the report, as
// the core rounds them (the report's own rounding), with its plain sentence.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  const byId = (id) => document.getElementById(id);

  P.keyResults = {
    // `key` is { figures: [{ label, value }], direction }.
    show(key) {
      byId("key-direction").textContent = key.direction;
      const list = byId("key-figures");
      list.textContent = "";
      for (const figure of key.figures) {
        const term = document.createElement("dt");
        term.textContent = figure.label;
        const value = document.createElement("dd");
        value.textContent = figure.value;
        list.append(term, value);
      }
      byId("key-results").hidden = false;
    },
    clear() {
      byId("key-direction").textContent = "";
      byId("key-figures").textContent = "";
      byId("key-results").hidden = true;
    },
  };
})(window.Pavona);
