// The calculator itself: the C++ core compiled to WebAssembly, embedded in
// pavona-core.js so that the page also works opened straight from its folder.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  let core = null;

  // Resolves once the core can answer; every other script waits for it.
  P.engineReady = (async function () {
    if (typeof window.createPavonaCore !== "function")
      throw new Error("The calculator's file pavona-core.js is missing from the page's folder.");
    core = await window.createPavonaCore();
    return core;
  })();

  P.engine = {
    // { predictors, controls, limits, notes, summary, data (Uint8Array), viewerHasText }
    analyse: (request) => core.analyse(request),
    predictorsTyped: (text) => core.predictorsTyped(text),
    predictorsCapped: (text) => core.predictorsCapped(text),
    sampleSizeKey: (key) => core.sampleSizeKey(key),
    sampleSizeTruncated: (text) => core.sampleSizeTruncated(text),
    notesLength: (text) => core.notesLength(text),
    maxNotesLength: () => core.maxNotesLength,
    version: () => core.version,
  };
})(window.Pavona);
