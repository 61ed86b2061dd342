// The contact-centre models in WebAssembly against the native library, bit
// for bit, on a seeded scan of inputs: agents 1 .. 1e5, traffic from far
// below to far above them, patience from 1e-3 to 1e4 handling times and
// none, no line limit or up to 1e6 places beyond the agents, answer times
// up to three handling times; the model and, on a part of the points, the
// model with retries and the staffing search.  A refusal must be the same
// refusal.  The one exception: callers who never hang up with no line
// limit are the delay system, whose service level is moravel_wait()'s
// 1 - C e^{-(n - A) t / h} with the platform's exp, so it may differ in the
// last bit between platforms as moravel_wait() does.
//
//   node contact_centre_bits_test.js --site DIR --native WEB_EXPECTED
"use strict";

const { spawnSync } = require("node:child_process");
const path = require("node:path");

function option(name) {
  const at = process.argv.indexOf("--" + name);
  return at > 0 ? process.argv[at + 1] : undefined;
}
const site = path.resolve(option("site") || "build/wasm/web/site");
const native = option("native");
if (!native) throw new Error("--native is needed");

const POINTS = 2500;
const RETRIAL_EVERY = 10;  // every tenth point also with retries
const AGENTS_EVERY = 25;   // every 25th also the staffing search

// A small seeded generator (mulberry32), so that the scan is the same on
// every run.
function generator(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

const FIGURES = ["waitProbability", "blockedProbability", "abandonProbability", "abandonWithinAnswerTime",
                 "serviceLevel", "serviceLevelExcludingShortAbandons", "meanAnswerWait", "meanWait",
                 "queueLength", "occupancy", "carried"];
const RETRIAL_TOTALS = ["offeredTotal", "retryTraffic", "attemptsPerCaller", "answeredShare",
                        "blockedShare", "abandonedShare", "redialling"];

function points() {
  const random = generator(20261207);
  const logUniform = (lo, hi) => Math.exp(Math.log(lo) + random() * (Math.log(hi) - Math.log(lo)));
  const out = [];
  for (let j = 0; j < POINTS; ++j) {
    const n = Math.max(1, Math.round(logUniform(1, 1e5)));
    const h = [180, 1, 263.7, 30][Math.floor(random() * 4)];
    // The page's traffic: calls in an interval of `minutes`, as web_expected computes it.
    const minutes = 30;
    const load = logUniform(1e-3, 3);
    const calls = Math.round(load * n * minutes * 60 / h * 1000) / 1000;
    const p = random() < 0.15 ? Infinity : h * logUniform(1e-3, 1e4);
    const lines = random() < 0.6 ? 0 : n + Math.round(logUniform(1, 1e6)) - 1;
    const t = random() < 0.1 ? 0 : Math.round(random() * 3 * h * 100) / 100;
    out.push({ calls, minutes, h, p, n, lines, t });
  }
  return out;
}

function text(x) {
  return x === Infinity ? "inf" : String(x);
}

function nativeAnswers(requests) {
  const run = spawnSync(native, [], { input: requests.join("\n") + "\n", encoding: "utf8",
                                      maxBuffer: 1 << 28 });
  if (run.status !== 0) throw new Error(`${native} failed: ${run.stderr}`);
  return run.stdout.trimEnd().split("\n").map((line) => {
    const [kind, ...rest] = line.split(" ");
    return kind === "ok" ? { values: rest.map(Number) } : { status: Number(rest[0]) };
  });
}

const Moravel = require(path.join(site, "moravel.js"));

Moravel.load(require(path.join(site, "moravel_wasm.js"))).then((m) => {
  const scan = points();
  const requests = [];
  const calls = [];
  scan.forEach((q, j) => {
    const common = `${q.calls} ${q.minutes} ${q.h} ${text(q.p)}`;
    const A = (q.calls * q.h) / (q.minutes * 60);
    const delay = q.p === Infinity && q.lines === 0;
    requests.push(`ct ${common} ${q.n} ${q.lines} ${q.t}`);
    calls.push({ name: `ct ${common} ${q.n} ${q.lines} ${q.t}`, delay, skipFirst: 1,
                 page: () => { const r = m.contactCentre(A, q.h, q.p, q.n, q.lines, q.t);
                               return FIGURES.map((k) => r[k]); } });
    if (j % RETRIAL_EVERY === 0) {
      const args = `${q.n} ${q.lines} ${q.t} 0.5 0.3 ${2 * q.h}`;
      requests.push(`ct_retrials ${common} ${args}`);
      calls.push({ name: `ct_retrials ${common} ${args}`, delay, skipFirst: 0,
                   page: () => { const r = m.contactCentreRetrials(A, q.h, q.p, q.n, q.lines, q.t, 0.5, 0.3, 2 * q.h);
                                 return [...FIGURES.map((k) => r.attempt[k]), ...RETRIAL_TOTALS.map((k) => r[k])]; } });
    }
    if (j % AGENTS_EVERY === 0 && A < 2e4) {
      const args = `${q.lines} ${q.t} sl-offered 0.8 1`;
      requests.push(`ct_agents ${common} ${args}`);
      calls.push({ name: `ct_agents ${common} ${args}`, delay: false, skipFirst: 0,
                   page: () => { const r = m.contactCentreAgents(A, q.h, q.p, q.lines, q.t, m.GOAL_SERVICE_LEVEL, 0.8, 1);
                                 return [r.agents, ...FIGURES.map((k) => r.figures[k])]; } });
    }
  });
  const answers = nativeAnswers(requests);
  if (answers.length !== calls.length) throw new Error(`${answers.length} answers to ${calls.length} requests`);
  let compared = 0;
  let refused = 0;
  let exempt = 0;
  let exemptDiffering = 0;
  const failures = [];
  calls.forEach((c, j) => {
    const want = answers[j];
    let got;
    try {
      got = c.page();
    } catch (error) {
      if (!(error instanceof Moravel.MoravelError)) throw error;
      if (want.status !== error.status) failures.push(`${c.name}: the page refuses with ${error.status}, native ${want.status}`);
      ++refused;
      return;
    }
    if (want.status !== undefined) {
      failures.push(`${c.name}: the native library refuses with ${want.status}, the page answers`);
      return;
    }
    const values = want.values.slice(c.skipFirst);
    values.forEach((x, k) => {
      const serviceLevel = k === 4 || k === 5;
      if (c.delay && serviceLevel) {
        ++exempt;
        if (!Object.is(got[k], x)) ++exemptDiffering;
        return;
      }
      ++compared;
      if (!Object.is(got[k], x)) failures.push(`${c.name}: figure ${k} is ${got[k]} on the page, ${x} natively`);
    });
  });
  for (const f of failures.slice(0, 20)) console.log("FAILED " + f);
  console.log(`${calls.length} calls, ${compared} figures compared bit for bit, ${refused} refusals alike, ` +
              `${exempt} delay-system service levels left to the platform's exp (${exemptDiffering} of them differ)`);
  console.log(`${compared + refused - failures.length} passed, ${failures.length} failed`);
  process.exit(failures.length === 0 ? 0 : 1);
});
