// The worksheet's entries and the checks the window runs while they are typed:
// the predictors field (lenient parse, strict integer, capped at 12), the
// sample size (character filter, 6 characters at most) and the notes (250
// characters, a line break counting two). The texts come from the core.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  // As the state file: the texts of the two entries, nothing else.
  const storageKey = "pavona.entries";

  const predictors = () => document.getElementById("predictors");
  const controls = () => document.getElementById("controls");
  const notes = () => document.getElementById("notes");

  function predictorsInput() {
    const message = P.engine.predictorsTyped(predictors().value);
    if (message) P.showMessage("predictors-message", message, predictors());
    else P.clearMessage("predictors-message", predictors());
    P.onPredictorsChanged && P.onPredictorsChanged();
  }

  function predictorsKeyUp() {
    const capped = P.engine.predictorsCapped(predictors().value);
    if (!capped) return;
    predictors().value = capped.text;
    predictorsInput();
    P.showMessage("predictors-message", capped.message, predictors());
    predictors().select();
  }

  // Every insertion into the sample size (a key, a paste, a drop) passes the
  // filter; one refused character refuses the whole insertion.
  function controlsBeforeInput(event) {
    if (!event.inputType.startsWith("insert")) return;
    let text = event.data;
    if (text == null && event.dataTransfer) text = event.dataTransfer.getData("text/plain");
    if (text == null) return;
    let entered = "";
    for (const key of text) {
      const outcome = P.engine.sampleSizeKey(key);
      if (!outcome.key) {
        event.preventDefault();
        P.showMessage("controls-message", outcome.message, controls());
        return;
      }
      entered += outcome.key;
    }
    if (entered !== text) {
      event.preventDefault();
      const field = controls();
      field.setRangeText(entered, field.selectionStart, field.selectionEnd, "end");
      field.dispatchEvent(new Event("input", { bubbles: true }));
    }
  }

  function controlsInput() {
    const field = controls();
    if (field.value.length > 6) {
      const outcome = P.engine.sampleSizeTruncated(field.value);
      field.value = outcome.text;
      field.select();
      P.showMessage("controls-message", outcome.message, field);
      return;
    }
    P.clearMessage("controls-message", field);
  }

  // What was just typed beyond the limit goes, before the cursor first.
  function notesInput() {
    const field = notes();
    const limit = P.engine.maxNotesLength();
    let text = field.value;
    let cursor = field.selectionStart;
    while (text.length > 0 && P.engine.notesLength(text) > limit) {
      if (cursor === 0) cursor = text.length;
      text = text.slice(0, cursor - 1) + text.slice(cursor);
      cursor -= 1;
    }
    if (text !== field.value) {
      field.value = text;
      field.setSelectionRange(cursor, cursor);
    }
    showNotesCount();
  }

  function showNotesCount() {
    P.setStatus("notes-count",
      P.engine.notesLength(notes().value) + " of " + P.engine.maxNotesLength() +
      " characters (a line break counts as two)");
  }

  P.entries = {
    predictors: () => predictors().value,
    controls: () => controls().value,
    notes: () => notes().value,
    limits: () => document.querySelector('input[name="limits"]:checked').value,

    save() {
      try {
        localStorage.setItem(storageKey,
          JSON.stringify({ predictors: predictors().value, controls: controls().value }));
      } catch (e) {
        // Storage refused (private window, quota): the entries are not remembered.
      }
    },

    forget() {
      try { localStorage.removeItem(storageKey); } catch (e) { /* nothing stored */ }
    },

    // Restores the two entries and puts the focus where the window puts it.
    restore() {
      let saved = null;
      try { saved = JSON.parse(localStorage.getItem(storageKey) || "null"); } catch (e) { saved = null; }
      const plain = (v) => typeof v === "string" && v.length <= 6 ? v : "";
      if (saved && typeof saved === "object") {
        predictors().value = plain(saved.predictors);
        controls().value = plain(saved.controls);
      }
      if (predictors().value) predictorsInput();
      (predictors().value ? controls() : predictors()).focus();
    },

    clear() {
      predictors().value = "";
      controls().value = "";
      notes().value = "";
      for (const id of ["predictors-message", "controls-message", "notes-message"])
        P.clearMessage(id, document.getElementById(id.replace("-message", "")));
      P.entries.forget();
      showNotesCount();
      P.onPredictorsChanged && P.onPredictorsChanged();
      predictors().focus();
    },

    wire() {
      predictors().addEventListener("input", predictorsInput);
      predictors().addEventListener("keyup", predictorsKeyUp);
      controls().addEventListener("beforeinput", controlsBeforeInput);
      controls().addEventListener("input", controlsInput);
      notes().addEventListener("input", notesInput);
      showNotesCount();
    },
  };
})(window.Pavona);
