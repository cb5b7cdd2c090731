// The analyses run in Web Workers, never on the page's main thread, so that
// the page stays responsive. Each worker is made from a Blob of the page's
// own script text: a page opened from its folder (file://) may not start a
// worker from a file, and nothing is fetched.
"use strict";
window.Pavona = window.Pavona || {};

(function (P) {
  // The body of each worker: the core, and calls of it by name.
  function workerMain() {
    const ready = createPavonaCore();
    self.onmessage = async (event) => {
      const { id, call, args } = event.data;
      let reply;
      try {
        const core = await ready;
        reply = { id, result: core[call](...args) };
      } catch (error) {
        reply = { id, error: String((error && error.message) || error) };
      }
      self.postMessage(reply);
    };
  }

  let url = null;
  function workerUrl() {
    if (!url) {
      // The factory's own text; the one name it takes from its script's scope is declared.
      const text = "var _scriptDir;\nvar createPavonaCore = " + window.createPavonaCore.toString() +
        ";\n(" + workerMain.toString() + ")();\n";
      url = URL.createObjectURL(new Blob([text], { type: "text/javascript" }));
    }
    return url;
  }

  class Stopped extends Error {}

  class WorkerClient {
    constructor() {
      this.worker = new Worker(workerUrl());
      this.pending = new Map();
      this.next = 1;
      this.worker.onmessage = (event) => {
        const waiting = this.pending.get(event.data.id);
        if (!waiting) return;
        this.pending.delete(event.data.id);
        if ("error" in event.data) waiting.reject(new Error(event.data.error));
        else waiting.resolve(event.data.result);
      };
      this.worker.onerror = (event) => {
        event.preventDefault();
        this.fail(new Error(event.message || "The calculator stopped."));
      };
    }

    call(name, ...args) {
      return new Promise((resolve, reject) => {
        const id = this.next++;
        this.pending.set(id, { resolve, reject });
        this.worker.postMessage({ id, call: name, args });
      });
    }

    fail(error) {
      for (const waiting of this.pending.values()) waiting.reject(error);
      this.pending.clear();
    }

    end() {
      this.worker.terminate();
      this.fail(new Stopped("stopped"));
    }
  }

  // The worker of single analyses, made at once so that its core is ready
  // by the time the first entries are typed; a new one after a failure.
  let analyser = null;
  P.workers = {
    Stopped,
    WorkerClient,
    start() { analyser = analyser || new WorkerClient(); },
    async analyse(request) {
      P.workers.start();
      try {
        return await analyser.call("analyse", request);
      } catch (error) {
        analyser.end();
        analyser = null;
        throw error;
      }
    },
    // How many workers a series is shared among.
    count: () => Math.max(1, Math.min(navigator.hardwareConcurrency || 2, 8)),
  };
})(window.Pavona);
