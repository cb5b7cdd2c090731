// Files the page hands to the browser's downloads; nothing is sent anywhere.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  P.download = function (name, data, type) {
    const blob = data instanceof Blob ? data : new Blob([data], { type });
    const url = URL.createObjectURL(blob);
    const link = document.createElement("a");
    link.href = url;
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 1000);
  };
})(window.Pavona);
