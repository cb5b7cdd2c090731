// Messages beside the field they concern, in place of the window's boxes.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  // `message` is { text, kind } as the core gives it; its CR line breaks
  // (the boxes' own) become line breaks on the page.
  P.showMessage = function (id, message, field) {
    const box = document.getElementById(id);
    box.textContent = message.text.replace(/\r\n?/g, "\n");
    box.className = "message " + (message.kind || "error");
    box.hidden = false;
    if (field) field.setAttribute("aria-invalid", "true");
  };

  P.clearMessage = function (id, field) {
    const box = document.getElementById(id);
    box.hidden = true;
    box.textContent = "";
    if (field) field.removeAttribute("aria-invalid");
  };

  P.setStatus = function (id, text) {
    document.getElementById(id).textContent = text;
  };
})(window.Pavona);
