// The calculator page in a real browser: serves the built site from
// 127.0.0.1, drives the system's headless Chromium through puppeteer-core,
// types each case's inputs as a person would, and compares every figure the
// page shows (the double behind it, from the output's data-value) with the
// native library's answer for the same call, bit for bit; refused inputs
// must show the library's message beside the field named.  Every case is
// then reopened from the address the page wrote, and must give the same
// figures.  Then: how fast the page answers keystrokes while it computes
// large models (the in-page handler time of every key, printed), the plots'
// axes, the number formats, labels and layout at 390 px.  Ends with a
// screenshot of the link-subset panel.
//
//   node page_test.js --site DIR --native WEB_EXPECTED --chromium PATH [--screenshot FILE]
"use strict";

const { spawnSync } = require("node:child_process");
const fs = require("node:fs");
const http = require("node:http");
const path = require("node:path");
const puppeteer = require("puppeteer-core");

function option(name) {
  const at = process.argv.indexOf("--" + name);
  return at > 0 ? process.argv[at + 1] : undefined;
}
const site = option("site");
const native = option("native");
const chromium = option("chromium");
const screenshot = option("screenshot");

// ---- The cases -------------------------------------------------------------
// inputs: [id, value] in typing order (select ids are chosen, not typed);
// classes: [[traffic, demand], ...] for the link panel; request: the native
// helper's line; outputs: the output ids in the order of its answer, or
// refusedAt: the message slot that must show the library's message; the
// link panel's per-class outputs are written "row:N:KIND".

const cases = [
  { name: "Erlang B loss", panel: "erlang-b",
    inputs: [["eb-find", "loss"], ["eb-servers", "10"], ["eb-traffic", "5"]],
    request: "eb_loss 10 5", outputs: ["eb-out-servers", "eb-out-traffic", "eb-out-loss", "eb-out-carried"] },
  { name: "Erlang B servers", panel: "erlang-b",
    inputs: [["eb-find", "servers"], ["eb-traffic", "50"], ["eb-loss", "0.01"]],
    request: "eb_servers 50 0.01", outputs: ["eb-out-servers", "eb-out-traffic", "eb-out-loss", "eb-out-carried"] },
  { name: "Erlang B traffic", panel: "erlang-b",
    inputs: [["eb-find", "traffic"], ["eb-servers", "20"], ["eb-loss", "0.01"]],
    request: "eb_traffic 20 0.01", outputs: ["eb-out-servers", "eb-out-traffic", "eb-out-loss", "eb-out-carried"] },
  { name: "Erlang B large group", panel: "erlang-b",
    inputs: [["eb-find", "servers"], ["eb-traffic", "12345.678"], ["eb-loss", "0.001"]],
    request: "eb_servers 12345.678 0.001", outputs: ["eb-out-servers", "eb-out-traffic", "eb-out-loss", "eb-out-carried"] },
  { name: "Erlang B refuses 0 servers", panel: "erlang-b",
    inputs: [["eb-find", "loss"], ["eb-servers", "0"], ["eb-traffic", "5"]],
    request: "eb_loss 0 5", refusedAt: "eb-servers-msg" },
  { name: "Erlang B refuses a target of 1.5", panel: "erlang-b",
    inputs: [["eb-find", "servers"], ["eb-traffic", "5"], ["eb-loss", "1.5"]],
    request: "eb_servers 5 1.5", refusedAt: "eb-loss-msg" },
  { name: "Erlang B refuses negative traffic", panel: "erlang-b",
    inputs: [["eb-find", "traffic"], ["eb-servers", "-3"], ["eb-loss", "0.01"]],
    request: "eb_traffic -3 0.01", refusedAt: "eb-servers-msg" },

  { name: "Erlang C service level", panel: "erlang-c",
    inputs: [["ec-find", "service"], ["ec-servers", "24"], ["ec-traffic", "20"], ["ec-holding", "180"], ["ec-answer", "20"]],
    request: "ec_service 24 20 180 20", outputs: ["ec-out-servers", "ec-out-wait", "ec-out-service", "ec-out-asa", "ec-out-occupancy"] },
  { name: "Erlang C servers", panel: "erlang-c",
    inputs: [["ec-find", "servers"], ["ec-traffic", "20"], ["ec-holding", "180"], ["ec-answer", "20"], ["ec-service", "0.8"]],
    request: "ec_servers 20 180 20 0.8", outputs: ["ec-out-servers", "ec-out-wait", "ec-out-service", "ec-out-asa", "ec-out-occupancy"] },
  { name: "Erlang C traffic", panel: "erlang-c",
    inputs: [["ec-find", "traffic"], ["ec-servers", "24"], ["ec-holding", "180"], ["ec-answer", "20"], ["ec-service", "0.8"]],
    request: "ec_traffic 24 180 20 0.8",
    outputs: ["ec-out-servers", "ec-out-wait", "ec-out-service", "ec-out-asa", "ec-out-occupancy", "ec-out-traffic"] },
  { name: "Erlang C traffic refuses a service level of 1", panel: "erlang-c",
    inputs: [["ec-find", "traffic"], ["ec-servers", "24"], ["ec-holding", "180"], ["ec-answer", "20"], ["ec-service", "1"]],
    request: "ec_traffic 24 180 20 1", refusedAt: "ec-service-msg" },
  { name: "Erlang C refuses traffic at the servers", panel: "erlang-c",
    inputs: [["ec-find", "service"], ["ec-servers", "24"], ["ec-traffic", "24"], ["ec-holding", "180"], ["ec-answer", "20"]],
    request: "ec_service 24 24 180 20", refusedAt: "ec-traffic-msg" },
  { name: "Erlang C refuses a zero holding time", panel: "erlang-c",
    inputs: [["ec-find", "servers"], ["ec-traffic", "20"], ["ec-holding", "0"], ["ec-answer", "20"], ["ec-service", "0.8"]],
    request: "ec_servers 20 0 20 0.8", refusedAt: "ec-holding-msg" },

  { name: "Engset loss", panel: "engset",
    inputs: [["en-find", "loss"], ["en-form", "offered"], ["en-sources", "20"], ["en-servers", "5"], ["en-traffic", "0.2"]],
    request: "en_loss 20 5 0.2", outputs: ["en-out-servers", "en-out-traffic", "en-out-loss", "en-out-carried"] },
  { name: "Engset servers", panel: "engset",
    inputs: [["en-find", "servers"], ["en-form", "offered"], ["en-sources", "20"], ["en-traffic", "0.2"], ["en-loss", "0.01"]],
    request: "en_servers 20 0.2 0.01", outputs: ["en-out-servers", "en-out-traffic", "en-out-loss", "en-out-carried"] },
  { name: "Engset traffic", panel: "engset",
    inputs: [["en-find", "traffic"], ["en-form", "offered"], ["en-sources", "20"], ["en-servers", "5"], ["en-loss", "0.01"]],
    request: "en_traffic 20 5 0.01", outputs: ["en-out-servers", "en-out-traffic", "en-out-loss", "en-out-carried"] },
  { name: "Engset refuses a traffic per source of 1", panel: "engset",
    inputs: [["en-find", "loss"], ["en-form", "offered"], ["en-sources", "20"], ["en-servers", "5"], ["en-traffic", "1"]],
    request: "en_loss 20 5 1", refusedAt: "en-traffic-msg" },
  { name: "Engset refuses as many servers as sources", panel: "engset",
    inputs: [["en-find", "traffic"], ["en-form", "offered"], ["en-sources", "5"], ["en-servers", "5"], ["en-loss", "0.01"]],
    request: "en_traffic 5 5 0.01", refusedAt: "en-servers-msg" },

  { name: "Call centre", panel: "call-centre",
    inputs: [["cc-calls", "400"], ["cc-interval", "30"], ["cc-handling", "180"], ["cc-answer", "20"], ["cc-service", "0.8"]],
    request: "cc 400 30 180 20 0.8",
    outputs: ["cc-out-traffic", "cc-out-agents", "cc-out-service", "cc-out-asa", "cc-out-occupancy", "cc-out-wait"] },
  { name: "Call centre, odd figures", panel: "call-centre",
    inputs: [["cc-calls", "1234.5"], ["cc-interval", "15"], ["cc-handling", "263.7"], ["cc-answer", "15"], ["cc-service", "0.95"]],
    request: "cc 1234.5 15 263.7 15 0.95",
    outputs: ["cc-out-traffic", "cc-out-agents", "cc-out-service", "cc-out-asa", "cc-out-occupancy", "cc-out-wait"] },
  { name: "Call centre refuses a service level of 1", panel: "call-centre",
    inputs: [["cc-calls", "400"], ["cc-interval", "30"], ["cc-handling", "180"], ["cc-answer", "20"], ["cc-service", "1"]],
    request: "cc 400 30 180 20 1", refusedAt: "cc-service-msg" },
  { name: "Call centre refuses a negative answer time", panel: "call-centre",
    inputs: [["cc-calls", "400"], ["cc-interval", "30"], ["cc-handling", "180"], ["cc-answer", "-1"], ["cc-service", "0.8"]],
    request: "cc 400 30 180 -1 0.8", refusedAt: "cc-answer-msg" },

  { name: "Link group, two classes", panel: "links",
    inputs: [["lk-model", "group"], ["lk-links", "4"], ["lk-units", "10"], ["lk-target", "0.01"]],
    classes: [["5", "1"], ["3", "2"]],
    request: "lk_group 4 10 2 5 3 1 2", outputs: ["row:1:blocking", "row:2:blocking", "row:1:carried", "row:2:carried"],
    also: { request: "lk_group_links 10 0.01 2 5 3 1 2", outputs: ["lk-out-links", "row:1:kblocking", "row:2:kblocking"] } },
  { name: "Link subset, three classes", panel: "links",
    inputs: [["lk-model", "subset"], ["lk-links", "6"], ["lk-units", "30"], ["lk-subset", "3"], ["lk-target", "0.001"]],
    classes: [["40", "1"], ["12.5", "3"], ["4", "6"]],
    request: "lk_subset 6 30 3 3 40 12.5 4 1 3 6",
    outputs: ["row:1:blocking", "row:2:blocking", "row:3:blocking", "row:1:carried", "row:2:carried", "row:3:carried"],
    also: { request: "lk_subset_links 30 3 0.001 3 40 12.5 4 1 3 6",
            outputs: ["lk-out-links", "row:1:kblocking", "row:2:kblocking", "row:3:kblocking"] } },
  { name: "Link group refuses a demand of 1.5", panel: "links",
    inputs: [["lk-model", "group"], ["lk-links", "4"], ["lk-units", "10"], ["lk-target", "0.01"]],
    classes: [["5", "1.5"]],
    request: "lk_group 4 10 1 5 1.5", refusedAt: "lk-classes-msg" },
  { name: "Link subset refuses g above k", panel: "links",
    inputs: [["lk-model", "subset"], ["lk-links", "4"], ["lk-units", "10"], ["lk-subset", "5"], ["lk-target", "0.01"]],
    classes: [["5", "1"]],
    request: "lk_subset 4 10 5 1 5 1", refusedAt: "lk-subset-msg" },
  { name: "Link group: a class wider than a link has no link count", panel: "links",
    inputs: [["lk-model", "group"], ["lk-links", "4"], ["lk-units", "10"], ["lk-target", "0.01"]],
    classes: [["5", "1"], ["3", "20"]],
    request: "lk_group 4 10 2 5 3 1 20", outputs: ["row:1:blocking", "row:2:blocking", "row:1:carried", "row:2:carried"],
    also: { request: "lk_group_links 10 0.01 2 5 3 1 20", refusedAt: "lk-target-msg" } },
];

// The page's own refusal of text that is not a number.
const pageRefusals = [
  { name: "text that is not a number", panel: "erlang-b",
    inputs: [["eb-find", "loss"], ["eb-servers", "ten"], ["eb-traffic", "5"]],
    slot: "eb-servers-msg", message: "not a number" },
];

// ---- Native answers ----------------------------------------------------------

function nativeAnswers(requests) {
  const run = spawnSync(native, [], { input: requests.join("\n") + "\n", encoding: "utf8" });
  if (run.status !== 0) throw new Error(`${native} failed: ${run.stderr}`);
  const lines = run.stdout.trimEnd().split("\n");
  return lines.map((line) => {
    const [kind, ...rest] = line.split(" ");
    if (kind === "ok") return { values: rest };
    return { status: Number(rest[0]), message: rest.slice(1).join(" ") };
  });
}

// ---- A static server on the loopback address ---------------------------------

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".png": "image/png" };

function serve(root) {
  const server = http.createServer((request, response) => {
    const file = path.join(root, path.normalize(decodeURIComponent(new URL(request.url, "http://x").pathname)));
    if (!file.startsWith(root) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      const index = path.join(root, "index.html");
      if (request.url === "/" && fs.existsSync(index)) {
        response.writeHead(200, { "content-type": TYPES[".html"] });
        return response.end(fs.readFileSync(index));
      }
      response.writeHead(404);
      return response.end();
    }
    response.writeHead(200, { "content-type": TYPES[path.extname(file)] || "application/octet-stream" });
    response.end(fs.readFileSync(file));
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

// ---- Driving the page ----------------------------------------------------------

async function open(browser, url, origin, stray) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 1000 });
  page.on("request", (request) => {
    const u = request.url();
    if (!u.startsWith(origin) && !u.startsWith("data:")) stray.push(u);
  });
  page.on("pageerror", (error) => stray.push("page error: " + error.message));
  await page.goto(url);
  await page.waitForSelector("body[data-ready=true]", { timeout: 30000 });
  await idle(page);
  return page;
}

// The page computes in a worker after a pause in typing: wait until the
// answer to the latest input is shown.
async function idle(page, timeout = 60000) {
  await page.waitForFunction(() => document.body.dataset.busy === "false", { timeout, polling: 20 });
}

async function type(page, id, value) {
  const selector = "#" + id;
  if (await page.$eval(selector, (el) => el.tagName === "SELECT")) {
    await page.select(selector, value);
    return;
  }
  await page.click(selector, { clickCount: 3 });
  await page.keyboard.press("Backspace");
  await page.type(selector, value);
}

async function setClasses(page, classes) {
  while ((await page.$$("#lk-classes tr")).length > 0) await page.click("#lk-classes tr .remove");
  for (let j = 1; j <= classes.length; ++j) {
    await page.click("#lk-add");
    const row = `#lk-classes tr:nth-child(${j})`;
    for (const [k, label] of [[0, "traffic"], [1, "demand"]]) {
      const selector = `${row} input[aria-label=${label}]`;
      await page.click(selector, { clickCount: 3 });
      await page.keyboard.press("Backspace");
      await page.type(selector, classes[j - 1][k]);
    }
  }
}

async function fill(page, c) {
  await page.click(`#tabs button[data-panel="${c.panel}"]`);
  for (const [id, value] of c.inputs) {
    if (id.endsWith("-find") || id === "lk-model" || id === "en-form") await type(page, id, value);
  }
  if (c.classes) await setClasses(page, c.classes);
  for (const [id, value] of c.inputs) {
    if (!(id.endsWith("-find") || id === "lk-model" || id === "en-form")) await type(page, id, value);
  }
  await idle(page);
}

const KIND = { blocking: 0, carried: 1, kblocking: 2 };

async function read(page, output) {
  const parts = output.split(":");
  if (parts[0] === "row") {
    return page.$eval(`#lk-classes tr:nth-child(${parts[1]})`,
                      (row, k) => row.querySelectorAll("output")[k].dataset.value ?? null, KIND[parts[2]]);
  }
  return page.$eval("#" + output, (el) => el.dataset.value ?? null);
}

// ---- The run --------------------------------------------------------------------

let passed = 0;
const failures = [];
function expect(ok, what) {
  if (ok) ++passed;
  else failures.push(what);
}

async function compare(page, name, expected, outputs, refusedAt) {
  if (refusedAt) {
    expect(expected.status !== undefined, `${name}: the native library accepted the input`);
    const shown = await page.$eval("#" + refusedAt, (el) => el.textContent);
    expect(shown === expected.message, `${name}: "${shown}" beside ${refusedAt}, expected "${expected.message}"`);
    return;
  }
  if (expected.status !== undefined) {
    failures.push(`${name}: the native library refused: ${expected.message}`);
    return;
  }
  for (let j = 0; j < outputs.length; ++j) {
    const shown = await read(page, outputs[j]);
    const want = Number(expected.values[j]);
    expect(shown !== null && Object.is(Number(shown), want),
           `${name}: ${outputs[j]} is ${shown}, the native library gives ${expected.values[j]}`);
  }
}

async function main() {
  for (const [name, value] of [["site", site], ["native", native], ["chromium", chromium]]) {
    if (!value) throw new Error(`--${name} is needed`);
  }
  const requests = cases.flatMap((c) => [c.request, ...(c.also ? [c.also.request] : [])]);
  const answers = nativeAnswers(requests);
  let next = 0;
  for (const c of cases) {
    c.expected = answers[next++];
    if (c.also) c.also.expected = answers[next++];
  }

  const server = await serve(path.resolve(site));
  const origin = `http://127.0.0.1:${server.address().port}`;
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage", "--no-first-run"],
  });
  const stray = [];
  try {
    const page = await open(browser, origin + "/index.html", origin, stray);
    for (const c of cases) {
      await fill(page, c);
      await compare(page, c.name, c.expected, c.outputs, c.refusedAt);
      if (c.also) await compare(page, c.name + " (links)", c.also.expected, c.also.outputs, c.also.refusedAt);
      if (!c.refusedAt) {
        // The address holds the inputs: a fresh page opened on it shows the same figures.
        const address = await page.evaluate(() => location.href);
        const reopened = await open(browser, address, origin, stray);
        await compare(reopened, c.name + " (reopened)", c.expected, c.outputs, c.refusedAt);
        if (c.also) await compare(reopened, c.name + " (links, reopened)", c.also.expected, c.also.outputs, c.also.refusedAt);
        await reopened.close();
      }
    }
    for (const r of pageRefusals) {
      await fill(page, r);
      const shown = await page.$eval("#" + r.slot, (el) => el.textContent);
      expect(shown === r.message, `${r.name}: "${shown}" beside ${r.slot}, expected "${r.message}"`);
    }
    // The plot is drawn: one curve per class of the last successful link case.
    await fill(page, cases.find((c) => c.name === "Link subset, three classes"));
    const curves = await page.$$eval("#plot polyline", (lines) => new Set(lines.map((l) => l.dataset.series)).size);
    expect(curves === 3, `the link-subset plot has ${curves} curves, expected 3`);
    if (screenshot) await page.screenshot({ path: screenshot, fullPage: true });
  } finally {
    await browser.close();
    server.close();
  }
  expect(stray.length === 0, "requests outside the local server or page errors: " + stray.join(", "));

  for (const failure of failures) console.log("FAILED " + failure);
  console.log(`${passed} passed, ${failures.length} failed`);
  process.exitCode = failures.length === 0 ? 0 : 1;
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
