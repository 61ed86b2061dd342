// worker.js - the page's computations off its main thread: loads the
// library and calc.js, and answers each request with calc.js's snapshots,
// tagged with the request's job number.  The page terminates this worker
// when newer input arrives while a job runs, and starts a fresh one.
"use strict";
importScripts("moravel_wasm.js", "moravel.js", "format.js", "calc.js");

const library = Moravel.load();

self.onmessage = async (event) => {
  const { job, request } = event.data;
  const moravel = await library;
  MoravelCalc.run(moravel, request, (snapshot) => self.postMessage({ job, snapshot }));
};
