// The calls of bench/web_calls_bench.cpp through the WebAssembly module and
// web/moravel.js, as the calculator page makes them: nanoseconds per call,
// the best of five runs of at least 0.2 s each.
//
//   node bench/wasm_bench.js build/wasm/web/site
"use strict";
const path = require("node:path");

const site = path.resolve(process.argv[2] || "build/wasm/web/site");
const Moravel = require(path.join(site, "moravel.js"));

function time(call) {
  let best = Infinity;
  for (let run = 0; run < 5; ++run) {
    let n = 0;
    const start = process.hrtime.bigint();
    let elapsed = 0n;
    do {
      for (let j = 0; j < 100; ++j) call();
      n += 100;
      elapsed = process.hrtime.bigint() - start;
    } while (elapsed < 200000000n);
    best = Math.min(best, Number(elapsed) / n);
  }
  return best;
}

Moravel.load(require(path.join(site, "moravel_wasm.js"))).then((m) => {
  const calls = {
    BM_ErlangB: () => m.erlangB(100, 80.0),
    BM_ErlangBServers: () => m.erlangBServers(50.0, 0.01),
    BM_ErlangBTraffic: () => m.erlangBTraffic(20, 0.01),
    BM_Engset: () => m.lossFinite(20, 5, 0.2),
    BM_AgentsForServiceLevel: () => m.agentsForServiceLevel(20.0, 180.0, 20.0, 0.8),
    BM_LinkGroup: () => m.linkGroup([5.0, 3.0], [1.0, 2.0], 4, 10),
    BM_LinkSubsetLinks: () => m.linkSubsetLinks([40.0, 12.5, 4.0], [1.0, 3.0, 6.0], 30, 3, 0.001),
  };
  for (const [name, call] of Object.entries(calls)) {
    console.log(`${name.padEnd(28)} ${time(call).toFixed(1).padStart(10)} ns`);
  }
});
