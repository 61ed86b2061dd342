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
// refusedAt: the message slot that must show the library's message, worded
// with the field's name (see refusalText), and shows: that text written out,
// where a case pins it; the
// link panel's per-class outputs are written "row:N:KIND".

// The contact-centre figures in the record's order, as the page names them.
const CT_FIGURES = ["wait", "blocked", "abandon", "abandon-short", "sl", "sl-excluding", "asa", "mean-wait",
                    "queue", "occupancy", "carried"];
const CT_LEAST = ["ct-out-least", ...CT_FIGURES.map((k) => "ct-out-s-" + k)];
const CT_RETRIALS = ["ct-out-total", "ct-out-retry-traffic", "ct-out-attempts", "ct-out-answered",
                     "ct-out-gave-up-blocked", "ct-out-gave-up-abandoned", "ct-out-redialling"];
// A day's plan of n intervals: each interval's figures, then the day's.
function dayOutputs(n) {
  const figures = ["sl", "sl-excluding", "asa", "abandon", "occupancy"];
  const rows = [];
  for (let j = 0; j < n; ++j) rows.push(...["traffic", "needed", "scheduled", ...figures].map((k) => `ct-day-${j}-${k}`));
  return [...rows, "ct-day-total-calls", "ct-day-total-traffic", "ct-day-total-needed", "ct-day-total-scheduled",
          "ct-out-day-hours", "ct-out-day-peak", "ct-out-day-answered", "ct-out-day-abandoned",
          ...figures.map((k) => "ct-day-total-" + k)];
}

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
    request: "eb_loss 0 5", refusedAt: "eb-servers-msg", shows: "Servers V must be at least 1" },
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
    request: "ec_service 24 24 180 20", refusedAt: "ec-traffic-msg",
    shows: "Traffic A must be below the number of servers" },
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
  { name: "Engset, traffic given per idle source", panel: "engset",
    inputs: [["en-find", "loss"], ["en-form", "idle"], ["en-sources", "10"], ["en-servers", "5"], ["en-traffic", "0.3"]],
    request: `en_loss 10 5 ${0.3 / (1 + 0.3)}`, outputs: ["en-out-servers", "en-out-traffic", "en-out-loss", "en-out-carried"] },
  { name: "Engset refuses a traffic per source of 1", panel: "engset",
    inputs: [["en-find", "loss"], ["en-form", "offered"], ["en-sources", "20"], ["en-servers", "5"], ["en-traffic", "1"]],
    request: "en_loss 20 5 1", refusedAt: "en-traffic-msg",
    shows: "Offered traffic per source a must be at least 0 and below 1" },
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
  { name: "Call centre, service level typed 80", panel: "call-centre",
    inputs: [["cc-calls", "400"], ["cc-interval", "30"], ["cc-handling", "180"], ["cc-answer", "20"], ["cc-service", "80"]],
    request: "cc 400 30 180 20 0.8",
    outputs: ["cc-out-traffic", "cc-out-agents", "cc-out-service", "cc-out-asa", "cc-out-occupancy", "cc-out-wait"] },
  { name: "Call centre, service level typed 80%", panel: "call-centre",
    inputs: [["cc-calls", "400"], ["cc-interval", "30"], ["cc-handling", "180"], ["cc-answer", "20"], ["cc-service", "80%"]],
    request: "cc 400 30 180 20 0.8",
    outputs: ["cc-out-traffic", "cc-out-agents", "cc-out-service", "cc-out-asa", "cc-out-occupancy", "cc-out-wait"] },
  { name: "Call centre, decimal commas", panel: "call-centre",
    inputs: [["cc-calls", "1234,5"], ["cc-interval", "15"], ["cc-handling", "263,7"], ["cc-answer", "15"], ["cc-service", "0,95"]],
    request: "cc 1234.5 15 263.7 15 0.95",
    outputs: ["cc-out-traffic", "cc-out-agents", "cc-out-service", "cc-out-asa", "cc-out-occupancy", "cc-out-wait"] },
  { name: "Erlang C, service level 95,5 %", panel: "erlang-c",
    inputs: [["ec-find", "servers"], ["ec-traffic", "12,5"], ["ec-holding", "180"], ["ec-answer", "20"], ["ec-service", "95,5%"]],
    request: "ec_servers 12.5 180 20 0.955", outputs: ["ec-out-servers", "ec-out-wait", "ec-out-service", "ec-out-asa", "ec-out-occupancy"] },
  { name: "Call centre refuses a service level of 1", panel: "call-centre",
    inputs: [["cc-calls", "400"], ["cc-interval", "30"], ["cc-handling", "180"], ["cc-answer", "20"], ["cc-service", "1"]],
    request: "cc 400 30 180 20 1", refusedAt: "cc-service-msg" },
  { name: "Call centre refuses a negative answer time", panel: "call-centre",
    inputs: [["cc-calls", "400"], ["cc-interval", "30"], ["cc-handling", "180"], ["cc-answer", "-1"], ["cc-service", "0.8"]],
    request: "cc 400 30 180 -1 0.8", refusedAt: "cc-answer-msg" },

  { name: "Contact centre, the worked example", panel: "contact-centre",
    inputs: [["ct-mode", "one"], ["ct-target-kind", "sl-offered"], ["ct-calls", "200"], ["ct-interval", "30"],
             ["ct-handling", "180"], ["ct-patience", "120"], ["ct-agents", "20"], ["ct-lines", ""], ["ct-answer", "20"],
             ["ct-retry-blocked", ""], ["ct-retry-abandoned", ""], ["ct-target", "80"], ["ct-occupancy", ""]],
    request: "ct 200 30 180 120 20 0 20", outputs: ["ct-out-traffic", ...CT_FIGURES.map((k) => "ct-out-" + k)],
    also: [{ request: "ct_agents 200 30 180 120 0 20 sl-offered 0.8 1", outputs: CT_LEAST },
           { request: "ct_traffic 20 180 120 0 20 sl-offered 0.8 1", outputs: ["ct-out-largest"] }] },
  { name: "Contact centre: callers who never hang up, lines, retries", panel: "contact-centre",
    inputs: [["ct-mode", "one"], ["ct-target-kind", "sl-excluding"], ["ct-calls", "200"], ["ct-interval", "30"],
             ["ct-handling", "180"], ["ct-patience", "∞"], ["ct-agents", "22"], ["ct-lines", "25"], ["ct-answer", "20"],
             ["ct-retry-blocked", "50%"], ["ct-retry-abandoned", "30"], ["ct-redial", "300"], ["ct-target", "0.8"],
             ["ct-occupancy", "85%"]],
    request: "ct 200 30 180 inf 22 25 20", outputs: ["ct-out-traffic", ...CT_FIGURES.map((k) => "ct-out-" + k)],
    also: [{ request: "ct_retrials 200 30 180 inf 22 25 20 0.5 0.3 300",
             outputs: [...CT_FIGURES.map((k) => "ct-out-r-" + k), ...CT_RETRIALS] },
           { request: "ct_agents 200 30 180 inf 25 20 sl-excluding 0.8 0.85", outputs: CT_LEAST },
           { request: "ct_traffic 22 180 inf 25 20 sl-excluding 0.8 0.85", outputs: ["ct-out-largest"] }] },
  { name: "Contact centre in overload, an ASA target, decimal commas", panel: "contact-centre",
    inputs: [["ct-mode", "one"], ["ct-target-kind", "asa"], ["ct-calls", "1234,5"], ["ct-interval", "15"],
             ["ct-handling", "263,7"], ["ct-patience", "90,5"], ["ct-agents", "300"], ["ct-lines", "330"], ["ct-answer", "15"],
             ["ct-retry-blocked", "0.8"], ["ct-retry-abandoned", "0.5"], ["ct-redial", "120"], ["ct-target", "12,5"],
             ["ct-occupancy", ""]],
    request: "ct 1234.5 15 263.7 90.5 300 330 15", outputs: ["ct-out-traffic", ...CT_FIGURES.map((k) => "ct-out-" + k)],
    also: [{ request: "ct_retrials 1234.5 15 263.7 90.5 300 330 15 0.8 0.5 120",
             outputs: [...CT_FIGURES.map((k) => "ct-out-r-" + k), ...CT_RETRIALS] },
           { request: "ct_agents 1234.5 15 263.7 90.5 330 15 asa 12.5 1", outputs: CT_LEAST },
           { request: "ct_traffic 300 263.7 90.5 330 15 asa 12.5 1", outputs: ["ct-out-largest"] }] },
  { name: "Contact centre refuses a patience of 0", panel: "contact-centre",
    inputs: [["ct-mode", "one"], ["ct-calls", "200"], ["ct-interval", "30"], ["ct-handling", "180"], ["ct-patience", "0"],
             ["ct-agents", "20"], ["ct-lines", ""], ["ct-answer", "20"], ["ct-retry-blocked", ""], ["ct-retry-abandoned", ""]],
    request: "ct 200 30 180 0 20 0 20", refusedAt: "ct-patience-msg" },
  { name: "Contact centre refuses fewer lines than agents", panel: "contact-centre",
    inputs: [["ct-mode", "one"], ["ct-calls", "200"], ["ct-interval", "30"], ["ct-handling", "180"], ["ct-patience", "120"],
             ["ct-agents", "20"], ["ct-lines", "10"], ["ct-answer", "20"], ["ct-retry-blocked", ""], ["ct-retry-abandoned", ""]],
    request: "ct 200 30 180 120 20 10 20", refusedAt: "ct-lines-msg" },
  { name: "Contact centre refuses callers who never hang up at the agents' capacity", panel: "contact-centre",
    inputs: [["ct-mode", "one"], ["ct-calls", "200"], ["ct-interval", "30"], ["ct-handling", "180"], ["ct-patience", ""],
             ["ct-agents", "20"], ["ct-lines", ""], ["ct-answer", "20"], ["ct-retry-blocked", ""], ["ct-retry-abandoned", ""]],
    request: "ct 200 30 180 inf 20 0 20", refusedAt: "ct-calls-msg",
    shows: "Calls per interval must be below the number of servers" },
  { name: "Contact centre refuses a retry share of 150 %", panel: "contact-centre",
    inputs: [["ct-mode", "one"], ["ct-calls", "200"], ["ct-interval", "30"], ["ct-handling", "180"], ["ct-patience", "120"],
             ["ct-agents", "20"], ["ct-lines", ""], ["ct-answer", "20"], ["ct-retry-blocked", "0.2"],
             ["ct-retry-abandoned", "150%"], ["ct-redial", "300"]],
    request: "ct_retrials 200 30 180 120 20 0 20 0.2 1.5 300", refusedAt: "ct-retry-abandoned-msg" },
  { name: "Contact centre refuses a highest occupancy of 150 %", panel: "contact-centre",
    inputs: [["ct-mode", "one"], ["ct-target-kind", "sl-offered"], ["ct-calls", "200"], ["ct-interval", "30"],
             ["ct-handling", "180"], ["ct-patience", "120"], ["ct-agents", "20"], ["ct-lines", ""], ["ct-answer", "20"],
             ["ct-retry-blocked", ""], ["ct-retry-abandoned", ""], ["ct-target", "80"], ["ct-occupancy", "150%"]],
    request: "ct_agents 200 30 180 120 0 20 sl-offered 0.8 1.5", refusedAt: "ct-occupancy-msg" },
  { name: "Contact centre refuses a service-level target of 100 %", panel: "contact-centre",
    inputs: [["ct-mode", "one"], ["ct-target-kind", "sl-offered"], ["ct-calls", "200"], ["ct-interval", "30"],
             ["ct-handling", "180"], ["ct-patience", "120"], ["ct-agents", "20"], ["ct-lines", ""], ["ct-answer", "20"],
             ["ct-retry-blocked", ""], ["ct-retry-abandoned", ""], ["ct-target", "100%"], ["ct-occupancy", ""]],
    request: "ct_agents 200 30 180 120 0 20 sl-offered 1 1", refusedAt: "ct-target-msg" },
  { name: "Contact centre: no largest traffic when every traffic meets the target", panel: "contact-centre",
    inputs: [["ct-mode", "one"], ["ct-target-kind", "asa"], ["ct-calls", "200"], ["ct-interval", "30"],
             ["ct-handling", "180"], ["ct-patience", "120"], ["ct-agents", "20"], ["ct-lines", ""], ["ct-answer", "20"],
             ["ct-retry-blocked", ""], ["ct-retry-abandoned", ""], ["ct-target", "100000"], ["ct-occupancy", ""]],
    request: "ct_traffic 20 180 120 0 20 asa 100000 1", refusedAt: "ct-largest-msg",
    shows: "every traffic the model takes meets the target: there is no largest one" },
  { name: "Day plan refuses a highest occupancy of 150 %", panel: "contact-centre",
    inputs: [["ct-mode", "day"], ["ct-target-kind", "sl-offered"], ["ct-interval", "30"], ["ct-answer", "20"],
             ["ct-target", "80%"], ["ct-occupancy", "150%"], ["ct-shrinkage", "30%"], ["ct-day", "08:00;200;180;120"]],
    request: "ct_day 30 20 sl-offered 0.8 1.5 0.3 1 200 180 120", refusedAt: "ct-occupancy-msg",
    shows: "Highest occupancy must be above 0 and at most 1" },
  { name: "Day plan", panel: "contact-centre",
    inputs: [["ct-mode", "day"], ["ct-target-kind", "sl-offered"], ["ct-interval", "30"], ["ct-answer", "20"],
             ["ct-target", "80%"], ["ct-occupancy", ""], ["ct-shrinkage", "30%"],
             ["ct-day", "interval;calls;handling time;patience\n08:00;120;180;120\n08:30;200;180;120\n09:00;310;175;120\n09:30;260;185;120"]],
    request: "ct_day 30 20 sl-offered 0.8 0 0.3 4 120 200 310 260 180 180 175 185 120 120 120 120",
    outputs: dayOutputs(4) },
  { name: "Day plan pasted from a spreadsheet: tabs, decimal commas, no patience", panel: "contact-centre",
    inputs: [["ct-mode", "day"], ["ct-target-kind", "abandon"], ["ct-interval", "15"], ["ct-answer", "30"],
             ["ct-target", "5%"], ["ct-occupancy", "0,9"], ["ct-shrinkage", "35"],
             ["ct-day", "7:00\t40,5\t210\n7:15\t55\t205,5\n7:30\t0\t200\n"]],
    request: "ct_day 15 30 abandon 0.05 0.9 0.35 3 40.5 55 0 210 205.5 200 none",
    outputs: dayOutputs(3) },
  { name: "Contact centre refuses an interval of 0 minutes", panel: "contact-centre",
    inputs: [["ct-mode", "one"], ["ct-calls", "200"], ["ct-interval", "0"], ["ct-handling", "180"], ["ct-patience", "120"],
             ["ct-agents", "20"], ["ct-lines", ""], ["ct-answer", "20"]],
    request: "ct_day 0 20 sl-offered 0.8 0 0.3 1 200 180 120", refusedAt: "ct-interval-msg",
    shows: "Interval must be finite and above 0 minutes" },
  { name: "Day plan refuses an interval of 0 minutes", panel: "contact-centre",
    inputs: [["ct-mode", "day"], ["ct-target-kind", "sl-offered"], ["ct-interval", "0"], ["ct-answer", "20"],
             ["ct-target", "80%"], ["ct-occupancy", ""], ["ct-shrinkage", "30%"], ["ct-day", "08:00;200;180;120"]],
    request: "ct_day 0 20 sl-offered 0.8 0 0.3 1 200 180 120", refusedAt: "ct-interval-msg" },
  { name: "Day plan refuses a shrinkage of 100 %", panel: "contact-centre",
    inputs: [["ct-mode", "day"], ["ct-target-kind", "sl-offered"], ["ct-interval", "30"], ["ct-answer", "20"],
             ["ct-target", "80%"], ["ct-occupancy", ""], ["ct-shrinkage", "100%"], ["ct-day", "08:00;200;180;120"]],
    request: "ct_day 30 20 sl-offered 0.8 0 1 1 200 180 120", refusedAt: "ct-shrinkage-msg" },
  { name: "Day plan: a refused interval is named by its line", panel: "contact-centre",
    inputs: [["ct-mode", "day"], ["ct-target-kind", "sl-offered"], ["ct-interval", "30"], ["ct-answer", "20"],
             ["ct-target", "80%"], ["ct-occupancy", ""], ["ct-shrinkage", "30%"],
             ["ct-day", "08:00;120;180;120\n08:30;200;0;120"]],
    request: "ct_day 30 20 sl-offered 0.8 0 0.3 2 120 200 180 0 120 120", refusedAt: "ct-day-msg",
    refusalPrefix: "line 2 (08:30): " },

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
  { name: "Link group, one class with a decimal comma", panel: "links",
    inputs: [["lk-model", "group"], ["lk-links", "4"], ["lk-units", "10"], ["lk-target", "0,01"]],
    classes: [["12,5", "1"]],
    request: "lk_group 4 10 1 12.5 1", outputs: ["row:1:blocking", "row:1:carried"],
    also: { request: "lk_group_links 10 0.01 1 12.5 1", outputs: ["lk-out-links", "row:1:kblocking"] } },
  { name: "Link group refuses a demand of 1.5", panel: "links",
    inputs: [["lk-model", "group"], ["lk-links", "4"], ["lk-units", "10"], ["lk-target", "0.01"]],
    classes: [["5", "1.5"]],
    request: "lk_group 4 10 1 5 1.5", refusedAt: "lk-classes-msg",
    shows: "each demand must be a whole number of at least 1 unit" },
  { name: "Link subset refuses g above k", panel: "links",
    inputs: [["lk-model", "subset"], ["lk-links", "4"], ["lk-units", "10"], ["lk-subset", "5"], ["lk-target", "0.01"]],
    classes: [["5", "1"]],
    request: "lk_subset 4 10 5 1 5 1", refusedAt: "lk-subset-msg",
    shows: "Links per call g must be at least 1 and at most the number of links" },
  { name: "Link group: a class wider than a link has no link count", panel: "links",
    inputs: [["lk-model", "group"], ["lk-links", "4"], ["lk-units", "10"], ["lk-target", "0.01"]],
    classes: [["5", "1"], ["3", "20"]],
    request: "lk_group 4 10 2 5 3 1 20", outputs: ["row:1:blocking", "row:2:blocking", "row:1:carried", "row:2:carried"],
    also: { request: "lk_group_links 10 0.01 2 5 3 1 20", refusedAt: "lk-classes-msg",
            shows: "a class needs more units than a link has: no number of links serves it" } },
];

// The page's own refusal of text that is not a number.
const pageRefusals = [
  { name: "text that is not a number", panel: "erlang-b",
    inputs: [["eb-find", "loss"], ["eb-servers", "ten"], ["eb-traffic", "5"]],
    slot: "eb-servers-msg", message: "not a number" },
  { name: "hexadecimal is not a number", panel: "erlang-b",
    inputs: [["eb-find", "loss"], ["eb-servers", "0x10"], ["eb-traffic", "5"]],
    slot: "eb-servers-msg", message: "not a number" },
  { name: "a thousands separator is ambiguous", panel: "erlang-b",
    inputs: [["eb-find", "loss"], ["eb-servers", "10"], ["eb-traffic", "1,000"]],
    slot: "eb-traffic-msg",
    message: '"1,000" is ambiguous: write it without a thousands separator, or with a decimal point' },
  { name: "a count must be whole", panel: "erlang-b",
    inputs: [["eb-find", "loss"], ["eb-servers", "2147483648"], ["eb-traffic", "5"]],
    slot: "eb-servers-msg", message: "must be a whole number within 32 bits" },
  { name: "an interval of 0 minutes", panel: "call-centre",
    inputs: [["cc-calls", "400"], ["cc-interval", "0"], ["cc-handling", "180"], ["cc-answer", "20"], ["cc-service", "0.8"]],
    slot: "cc-interval-msg", message: "Interval must be finite and above 0 minutes" },
  { name: "a day's cell that is not a number, named by line and column", panel: "contact-centre",
    inputs: [["ct-mode", "day"], ["ct-target-kind", "sl-offered"], ["ct-interval", "30"], ["ct-answer", "20"],
             ["ct-target", "80%"], ["ct-day", "interval;calls;handling time\n08:00;120;180\n08:30;lots;180"]],
    slot: "ct-day-msg", message: "line 3, column 2 (calls): not a number" },
  { name: "a day's line with too few cells", panel: "contact-centre",
    inputs: [["ct-mode", "day"], ["ct-day", "08:00;120;180\n08:30;200"]],
    slot: "ct-day-msg", message: "line 2, column 3 (handling time): missing" },
  { name: "a day's line with too many cells", panel: "contact-centre",
    inputs: [["ct-mode", "day"], ["ct-day", "08:00;120;180;120;9"]],
    slot: "ct-day-msg", message: "line 1: 5 cells, at most 4" },
  { name: "a day without intervals", panel: "contact-centre",
    inputs: [["ct-mode", "day"], ["ct-day", "interval;calls;handling time"]],
    slot: "ct-day-msg", message: "paste at least one interval" },
  { name: "a patience that is not a number", panel: "contact-centre",
    inputs: [["ct-mode", "one"], ["ct-patience", "never"]],
    slot: "ct-patience-msg", message: "not a number" },
  { name: "a class's traffic, named in the table's slot", panel: "links",
    inputs: [["lk-model", "group"], ["lk-links", "4"], ["lk-units", "10"], ["lk-target", "0.01"]],
    classes: [["5", "1"], ["x", "2"]],
    slot: "lk-classes-msg", message: "class 2: not a number" },
];

// ---- The library's refusals, as the page words them ------------------------------
// The interface description of the source tree: each status's subject and
// message.  The native library's text must be the two together, and the page
// must put its field's name (the label up to a unit or a note) in place of
// the subject, or before a message that has none.

const DESCRIPTION = JSON.parse(fs.readFileSync(path.join(__dirname, "..", "..", "src", "api", "interface.json"), "utf8"));
const STATUSES = new Map(DESCRIPTION.statuses.map((s) => [s.code, s]));

// Every page field and panel the description names is on the page: a
// refusal of an argument always has its field to stand beside.
function describedFieldsExist() {
  const html = fs.readFileSync(path.join(site, "index.html"), "utf8");
  const named = new Set();
  for (const entry of DESCRIPTION.entry_points) {
    for (const argument of entry.arguments) (argument.page || []).forEach((id) => named.add(id));
    (entry.hosts.page.shows || []).filter((id) => id.startsWith("panel-")).forEach((id) => named.add(id));
  }
  for (const record of DESCRIPTION.records) {
    for (const field of record.fields) (field.page || []).forEach((id) => named.add(id));
  }
  for (const id of named) expect(html.includes(`id="${id}"`), `the description names page field ${id}, not on the page`);
  expect(named.size > 40, `the description names ${named.size} page fields`);
}

// An entry point the page has never heard of: described under a new host
// name (a second description of an existing C function), moravel.js makes
// its function with no edit, giving the same bits and the same refusals.
async function newlyDescribed() {
  const create = require(path.join(path.resolve(site), "moravel_wasm.js"));
  const Moravel = require(path.join(path.resolve(site), "moravel.js"));
  const moravel = await Moravel.load(async () => {
    const wasm = await create();
    const described = JSON.parse(wasm.UTF8ToString(wasm._moravel_interface_description()));
    for (const [cName, host] of [["moravel_erlang_b_traffic", "new_largest_traffic"],
                                 ["moravel_link_group_links", "new_least_links"],
                                 ["moravel_loss_finite_sources", "new_loss_finite"]]) {
      const entry = JSON.parse(JSON.stringify(described.entry_points.find((e) => e.c_name === cName)));
      entry.host_name = host;
      described.entry_points.push(entry);
    }
    const text = Buffer.from(JSON.stringify(described), "utf8");
    const at = wasm._malloc(text.length + 1);
    wasm.HEAPU8.set(text, at);
    wasm.HEAPU8[at + text.length] = 0;
    wasm._moravel_interface_description = () => at;
    return wasm;
  });
  const same = (x, y) => JSON.stringify(x) === JSON.stringify(y);
  expect(Object.is(moravel.newLargestTraffic(20, 0.01), moravel.erlangBTraffic(20, 0.01)),
         "a newly described entry point: the largest traffic differs");
  expect(same(moravel.newLeastLinks([5, 3], [1, 2], 10, 0.01), moravel.linkGroupLinks([5, 3], [1, 2], 10, 0.01)),
         "a newly described entry point: the least links differ");
  expect(same(moravel.newLossFinite(20, 5, 0.2), moravel.lossFinite(20, 5, 0.2)),
         "a newly described entry point: the loss record differs");
  const refusal = (call) => { try { call(); return null; } catch (e) { return [e.status, e.message, e.reason, e.fields]; } };
  const refused = refusal(() => moravel.newLossFinite(20, 5, 1));
  expect(refused !== null && same(refused, refusal(() => moravel.lossFinite(20, 5, 1))) &&
         same(refused, [10, "traffic per source must be at least 0 and below 1", "must be at least 0 and below 1",
                        ["en-traffic"]]),
         `a newly described entry point refuses as ${JSON.stringify(refused)}`);
}

async function refusalText(page, slot, expected) {
  const described = STATUSES.get(expected.status);
  const whole = described.subject ? `${described.subject} ${described.message}` : described.message;
  expect(expected.message === whole, `status ${expected.status}: the library says "${expected.message}", ` +
                                     `the description "${whole}"`);
  const label = await page.evaluate((id) => {
    const found = document.querySelector(`label[for="${id}"]`);
    return found ? found.textContent.trim() : "";
  }, slot.replace(/-msg$/, ""));
  const name = label.split(/ \(| \[|,/)[0];
  if (!name) return expected.message;
  return name + (described.subject ? " " : ": ") + described.message;
}

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

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".png": "image/png",
                ".svg": "image/svg+xml" };
const notFound = [];

function serve(root) {
  const server = http.createServer((request, response) => {
    const file = path.join(root, path.normalize(decodeURIComponent(new URL(request.url, "http://x").pathname)));
    if (!file.startsWith(root) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      const index = path.join(root, "index.html");
      if (request.url === "/" && fs.existsSync(index)) {
        response.writeHead(200, { "content-type": TYPES[".html"] });
        return response.end(fs.readFileSync(index));
      }
      notFound.push(request.url);
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
  if (await page.$eval(selector, (el) => el.tagName === "TEXTAREA")) {
    // A table is pasted, tabs and all: one input event.
    await page.$eval(selector, (el, text) => {
      el.focus();
      el.value = text;
      el.dispatchEvent(new InputEvent("input", { bubbles: true, inputType: "insertFromPaste" }));
    }, value);
    return;
  }
  await page.click(selector, { clickCount: 3 });
  await page.keyboard.press("Backspace");
  if (value !== "") await page.type(selector, value);
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

const SELECTS = ["eb-find", "ec-find", "en-find", "lk-model", "en-form", "ct-mode", "ct-target-kind"];

async function fill(page, c) {
  await page.click(`#tabs button[data-panel="${c.panel}"]`);
  for (const [id, value] of c.inputs) {
    if (SELECTS.includes(id)) await type(page, id, value);
  }
  if (c.classes) await setClasses(page, c.classes);
  for (const [id, value] of c.inputs) {
    if (!SELECTS.includes(id)) await type(page, id, value);
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

async function compare(page, name, expected, outputs, refusedAt, prefix = "", shows = undefined) {
  if (refusedAt) {
    expect(expected.status !== undefined, `${name}: the native library accepted the input`);
    if (expected.status === undefined) return;
    const shown = await page.$eval("#" + refusedAt, (el) => el.textContent);
    const message = prefix ? prefix + expected.message : await refusalText(page, refusedAt, expected);
    expect(shown === message, `${name}: "${shown}" beside ${refusedAt}, expected "${message}"`);
    if (shows !== undefined) expect(shown === shows, `${name}: "${shown}" beside ${refusedAt}, expected "${shows}"`);
    return;
  }
  if (expected.status !== undefined) {
    failures.push(`${name}: the native library refused: ${expected.message}`);
    return;
  }
  for (let j = 0; j < outputs.length; ++j) {
    const shown = await read(page, outputs[j]);
    const want = Number(expected.values[j]);
    // A figure missing: what the page says instead.
    const said = shown !== null ? "" : " (the page says: " + await page.evaluate(() =>
      Array.from(document.querySelectorAll(".panel:not([hidden]) .msg, #status"), (el) => el.textContent)
        .filter((t) => t).join(" | ")) + ")";
    expect(shown !== null && Object.is(Number(shown), want),
           `${name}: ${outputs[j]} is ${shown}, the native library gives ${expected.values[j]}${said}`);
  }
}

// ---- Keystrokes while large models compute ------------------------------------
// Every input, change, key and click handler of the page is timed in the page
// (performance.now() around the handler), and every long task of its main
// thread is recorded: a keystroke's cost is what its handlers took.

const KEYSTROKE_LIMIT_MS = 100;

async function instrument(page) {
  await page.evaluateOnNewDocument(() => {
    window.handlerMs = [];
    window.longTasks = [];
    const original = EventTarget.prototype.addEventListener;
    const timedTypes = ["input", "change", "keydown", "keyup", "keypress", "click", "beforeinput"];
    EventTarget.prototype.addEventListener = function (type, listener, options) {
      if (typeof listener !== "function" || !timedTypes.includes(type)) {
        return original.call(this, type, listener, options);
      }
      return original.call(this, type, function (event) {
        const start = performance.now();
        try { return listener.call(this, event); } finally { window.handlerMs.push(performance.now() - start); }
      }, options);
    };
    new PerformanceObserver((list) => {
      for (const entry of list.getEntries()) window.longTasks.push(entry.duration);
    }).observe({ type: "longtask", buffered: true });
  });
}

// Types `text` into the field one key at a time (after clearing it) and
// returns the handler time of each key, in ms.
async function typeTimed(page, selector, text, append = false) {
  if (append) {
    await page.$eval(selector, (el) => { el.focus(); el.setSelectionRange(el.value.length, el.value.length); });
  } else {
    await page.click(selector, { clickCount: 3 });
    await page.keyboard.press("Backspace");
  }
  const times = [];
  for (const key of text) {
    await page.evaluate(() => { window.handlerMs = []; });
    await page.keyboard.type(key);
    times.push(await page.evaluate(() => window.handlerMs.reduce((s, x) => s + x, 0)));
  }
  return times;
}

const typing = [
  { name: "20 links of 1000 units, classes 15000x1 and 500x10: traffic 15000",
    address: "p=links&lk-model=group&lk-links=20&lk-units=1000&lk-subset=2&lk-target=0.01&lk-class-traffic=15000;500&lk-class-demand=1;10",
    selector: "#lk-classes tr:nth-child(1) input[aria-label=traffic]", text: "15000" },
  { name: "link subset, g = 10: traffic 15000",
    address: "p=links&lk-model=subset&lk-links=20&lk-units=1000&lk-subset=10&lk-target=0.01&lk-class-traffic=15000;500&lk-class-demand=1;10",
    selector: "#lk-classes tr:nth-child(1) input[aria-label=traffic]", text: "15000" },
  { name: "a demand of 2000",
    address: "p=links&lk-model=group&lk-links=20&lk-units=1000&lk-subset=2&lk-target=0.01&lk-class-traffic=15000;500&lk-class-demand=1;10",
    selector: "#lk-classes tr:nth-child(2) input[aria-label=demand]", text: "2000" },
  { name: "Erlang B, 10^7 servers",
    address: "p=erlang-b&eb-find=loss&eb-servers=10&eb-traffic=9000000&eb-loss=0.01",
    selector: "#eb-servers", text: "10000000" },
  { name: "Erlang B, 2147483647 servers",
    address: "p=erlang-b&eb-find=loss&eb-servers=10&eb-traffic=9000000&eb-loss=0.01",
    selector: "#eb-servers", text: "2147483647" },
  { name: "Erlang B, 2000000000 servers",
    address: "p=erlang-b&eb-find=loss&eb-servers=10&eb-traffic=9000000&eb-loss=0.01",
    selector: "#eb-servers", text: "2000000000" },
];

// Contact centres: 10^5 agents with retries, and a day of 48 intervals
// (the benchmark's) to which a row is typed.
const DAY_48 = fs.readFileSync(path.join(__dirname, "../../bench/day_plan_48.csv"), "utf8").trimEnd();
const contactTyping = [
  { name: "contact centre, 10^5 agents with retries: calls 1000000",
    address: "p=contact-centre&ct-mode=one&ct-calls=10&ct-interval=30&ct-handling=180&ct-patience=120" +
             "&ct-agents=100000&ct-lines=&ct-answer=20&ct-retry-blocked=50&ct-retry-abandoned=50&ct-redial=300" +
             "&ct-target-kind=sl-offered&ct-target=80&ct-occupancy=&ct-shrinkage=30",
    selector: "#ct-calls", text: "1000000" },
  { name: "day plan of 48 intervals: a row typed",
    address: "p=contact-centre&ct-mode=day&ct-interval=30&ct-answer=20&ct-target-kind=sl-offered&ct-target=80" +
             "&ct-occupancy=&ct-shrinkage=30&ct-day=" + encodeURIComponent(DAY_48),
    selector: "#ct-day", text: "\n23:59,31,180,120", append: true },
];

async function keystrokes(browser, origin, stray) {
  const page = await browser.newPage();
  await instrument(page);
  page.on("pageerror", (error) => stray.push("page error: " + error.message));
  for (const t of [...contactTyping, ...typing]) {
    await page.goto("about:blank");
    await page.goto(`${origin}/index.html#${t.address}`);
    await page.waitForSelector("body[data-ready=true]");
    await idle(page);
    await page.evaluate(() => { window.longTasks = []; });
    const times = await typeTimed(page, t.selector, t.text, t.append);
    if (t.append) {
      // The answer to the last key, the pause in typing included.
      const typed = Date.now();
      await idle(page);
      const rows = await page.$$eval("#ct-day-rows tr", (trs) => trs.length);
      expect(rows === 50, `${t.name}: ${rows} rows shown, expected 49 intervals and the day`);
      console.log(`${t.name}: the plan shown ${Date.now() - typed} ms after the last key`);
    }
    const longest = await page.evaluate(() => Math.max(0, ...window.longTasks));
    const worst = Math.max(...times);
    console.log(`keystrokes, ${t.name}: ${times.map((x) => x.toFixed(1)).join(" ")} ms ` +
                `(worst ${worst.toFixed(1)} ms; longest main-thread task ${longest.toFixed(0)} ms)`);
    expect(worst < KEYSTROKE_LIMIT_MS, `${t.name}: a keystroke took ${worst.toFixed(1)} ms`);
    expect(longest < KEYSTROKE_LIMIT_MS, `${t.name}: a main-thread task took ${longest.toFixed(0)} ms`);
  }
  // The last one (2000000000 servers) is a long computation: the page says
  // it is working, and new input overtakes it.
  await page.waitForFunction(() => document.body.dataset.state === "working", { timeout: 5000 });
  const said = await page.$eval("#status", (el) => el.textContent);
  expect(said === "Computing… (change any input to overtake this)", `while working the page says "${said}"`);
  const before = Date.now();
  const times = await typeTimed(page, "#eb-servers", "10");
  await idle(page, 10000);
  const expected = nativeAnswers(["eb_loss 10 9000000"])[0];
  await compare(page, "overtaking a long computation", expected,
                ["eb-out-servers", "eb-out-traffic", "eb-out-loss", "eb-out-carried"]);
  console.log(`overtaking: keystrokes ${times.map((x) => x.toFixed(1)).join(" ")} ms, ` +
              `answer for 10 servers after ${Date.now() - before} ms`);
  await page.close();
}

// What a 48-interval day plan costs in the page's module: the median of 21
// calls of moravel.js's dayPlan, timed in the page.
async function dayPlanTime(browser, origin, stray) {
  const page = await open(browser, origin + "/index.html", origin, stray);
  const rows = DAY_48.split("\n").slice(1).map((line) => line.split(",").map(Number));
  const ms = await page.evaluate(async (rows) => {
    const moravel = await Moravel.load();
    const targets = { answerTime: 20, serviceLevel: 0.8 };
    const times = [];
    for (let j = 0; j < 21; ++j) {
      const start = performance.now();
      moravel.dayPlan(rows.map((r) => r[1]), rows.map((r) => r[2]), rows.map((r) => r[3]), targets, 30, 0.3);
      times.push(performance.now() - start);
    }
    return times.sort((a, b) => a - b)[10];
  }, rows);
  console.log(`a day plan of ${rows.length} intervals in the page's module: ${ms.toFixed(2)} ms (median of 21)`);
  expect(rows.length === 48 && ms < 100, `a day plan of ${rows.length} intervals took ${ms.toFixed(1)} ms`);
  await page.close();
}

// ---- Plots ------------------------------------------------------------------------

async function plots(page) {
  const axis = () => page.$eval("#plot", (svg) => [svg.dataset.yScale, svg.dataset.yLow, svg.dataset.yHigh].join(" "));
  // A loss target of 0.01: the axis stops three decades below it, though
  // the curve goes down to 1e-50.
  await fill(page, cases.find((c) => c.name === "Erlang B servers"));
  expect(await axis() === "log -5 0", `Erlang B plot axis: ${await axis()}, expected log -5 0`);
  // A link group whose blocking falls to 1e-20 at a tenth of its traffic:
  // still three decades below the target of 0.01.
  await fill(page, cases.find((c) => c.name === "Link group, two classes"));
  expect(await axis() === "log -5 -2", `link group plot axis: ${await axis()}, expected log -5 -2`);
  // Without a target (the loss is what is found): down to 1e-8, though the
  // curve goes down to 1e-10; and no lower than the curve goes (1e-6).
  await fill(page, cases.find((c) => c.name === "Erlang B loss"));
  expect(await axis() === "log -8 0", `Erlang B plot axis without a target: ${await axis()}, expected log -8 0`);
  await fill(page, cases.find((c) => c.name === "Engset loss"));
  expect(await axis() === "log -6 0", `Engset plot axis: ${await axis()}, expected log -6 0`);
  // The call centre: the service level against agents, with the target.
  await fill(page, cases.find((c) => c.name === "Call centre"));
  expect(await axis() === "linear 0 1", `call-centre plot axis: ${await axis()}, expected linear 0 1`);
  const plot = await page.$eval("#plot", (svg) => ({
    series: Array.from(svg.querySelectorAll("polyline"), (l) => l.dataset.series),
    reference: svg.querySelectorAll(".reference").length,
    title: document.querySelector("#plot-title").textContent,
  }));
  expect(plot.series.length === 1 && plot.series[0] === "service level" && plot.reference === 1,
         `call-centre plot: ${JSON.stringify(plot)}`);
  expect(plot.title === "Call centre: service level against agents, 40 erlangs", `call-centre plot title: ${plot.title}`);

  // The contact centre: both service levels against the agents, the target as a line.
  await fill(page, cases.find((c) => c.name === "Contact centre, the worked example"));
  const shape = async () => page.$eval("#plot", (svg) => ({
    series: Array.from(new Set(Array.from(svg.querySelectorAll("polyline"), (l) => l.dataset.series))),
    reference: svg.querySelectorAll(".reference").length,
    ticks: Array.from(svg.querySelectorAll("text"), (t) => t.textContent),
    title: document.querySelector("#plot-title").textContent,
  }));
  expect(await axis() === "linear 0 1", `contact-centre plot axis: ${await axis()}, expected linear 0 1`);
  let drawn = await shape();
  expect(drawn.series.join("|") === "over all offered calls|over the offered calls less those who hung up within t" && drawn.reference === 1,
         `contact-centre plot: ${JSON.stringify(drawn.series)}, ${drawn.reference} reference lines`);
  expect(drawn.title === "Contact centre: service level against agents, 20 erlangs", `contact-centre plot title: ${drawn.title}`);
  // An ASA target: the ASA against the agents, on seconds from 0.
  await fill(page, cases.find((c) => c.name === "Contact centre in overload, an ASA target, decimal commas"));
  drawn = await shape();
  expect(/^linear 0 \d+$/.test(await axis()) && drawn.series.join("|") === "ASA" && drawn.reference === 1,
         `ASA plot: ${await axis()}, ${JSON.stringify(drawn.series)}, ${drawn.reference} reference lines`);
  expect(drawn.title === "Contact centre: mean wait of answered calls against agents, 361.708 erlangs",
         `ASA plot title: ${drawn.title}`);
  // A day's plan: the agents needed and to schedule, interval by interval, named.
  await fill(page, cases.find((c) => c.name === "Day plan"));
  drawn = await shape();
  expect(drawn.series.join("|") === "needed|to schedule" && ["08:00", "08:30", "09:00", "09:30"].every((l) => drawn.ticks.includes(l)),
         `day-plan plot: ${JSON.stringify(drawn)}`);
  expect(drawn.title === "Contact centre: agents by interval, 4 intervals", `day-plan plot title: ${drawn.title}`);
}

// The worked example as the page writes it.
async function workedExample(page) {
  await fill(page, cases.find((c) => c.name === "Contact centre, the worked example"));
  for (const [id, text] of [["ct-out-traffic", "20"], ["ct-out-wait", "0.482759"], ["ct-out-abandon", "0.097711"],
                            ["ct-out-queue", "1.30281"], ["ct-out-sl", "0.706453"], ["ct-out-occupancy", "0.902289"]]) {
    const shown = await page.$eval("#" + id, (el) => el.textContent);
    expect(shown === text, `worked example: ${id} shows "${shown}", expected "${text}"`);
  }
}

// ---- Notation, labels, fields, layout, icon ---------------------------------------

const notation = [
  [0.000034311, "3.4311e-5"], [2.0254e-8, "2.0254e-8"], [0.001, "0.001"], [0.000999999, "9.99999e-4"],
  [0.0084394266, "0.00843943"], [12.030612345, "12.0306"], [999999.4, "999999"], [1234567.8, "1.23457e+6"],
  [64, "64"], [2147483647, "2147483647"], [1e15, "1e+15"], [1, "1"], [0, "0"], [-0.5, "-0.5"],
];

const labels = [
  ["cc-interval", "Interval (minutes)"], ["cc-handling", "Mean handling time (seconds)"],
  ["cc-answer", "Answer-time target (seconds)"], ["ec-holding", "Mean holding time (seconds)"],
  ["ec-answer", "Answer time (seconds)"], ["en-traffic", "Offered traffic per source a [erlang]"],
  ["ct-interval", "Interval (minutes)"], ["ct-handling", "Mean handling time (seconds)"],
  ["ct-patience", "Mean patience (seconds)"], ["ct-answer", "Answer time t (seconds)"],
  ["ct-redial", "Mean redial time (seconds)"], ["ct-lines", "Lines L (blank: no limit)"],
  ["ct-retry-blocked", "Share of busy-tone callers who retry"],
  ["ct-retry-abandoned", "Share of callers who hung up and retry"],
];

async function details(page, origin) {
  for (const [x, text] of notation) {
    const shown = await page.evaluate((v) => MoravelFormat.readable(v), x);
    expect(shown === text, `${x} is written ${shown}, expected ${text}`);
  }
  for (const [id, text] of labels) {
    const shown = await page.$eval(`label[for="${id}"]`, (el) => el.textContent.trim());
    expect(shown === text, `the label of ${id} is "${shown}", expected "${text}"`);
  }
  for (const id of ["cc-service-hint", "ec-service-hint"]) {
    const shown = await page.$eval("#" + id, (el) => el.textContent);
    expect(shown === "0.8, 80 and 80% all mean 80 %", `${id}: "${shown}"`);
  }
  const patienceHint = await page.$eval("#ct-patience-hint", (el) => el.textContent);
  expect(patienceHint === "blank or ∞: callers who never hang up", `ct-patience-hint: "${patienceHint}"`);
  // The two service levels, each named by the calls it counts.
  const rows = await page.$$eval("#panel-contact-centre table.figures th[scope=row]", (ths) => ths.map((th) => th.textContent));
  for (const name of ["Service level: answered within t, over all offered calls",
                      "Service level: answered within t, over the offered calls less those who hung up within t"]) {
    expect(rows.includes(name), `the contact-centre figures name "${name}": ${rows.join(" | ")}`);
  }
  const dayTitles = await page.$$eval("#panel-contact-centre table.day-plan th", (ths) => ths.map((th) => th.textContent));
  for (const name of ["Service level, all offered calls", "Service level, offered less hung up within t", "ASA (seconds)"]) {
    expect(dayTitles.includes(name), `the day plan's columns name "${name}": ${dayTitles.join(" | ")}`);
  }
  // The target's label follows its kind.
  await page.click('#tabs button[data-panel="contact-centre"]');
  for (const [kind, label] of [["asa", "Mean wait of answered calls, at most (seconds)"],
                               ["abandon", "Share hanging up, at most"], ["wait", "Probability of waiting, at most"],
                               ["sl-excluding", "Service level, at least"], ["sl-offered", "Service level, at least"]]) {
    await type(page, "ct-target-kind", kind);
    const shown = await page.$eval("#ct-target-label", (el) => el.textContent);
    expect(shown === label, `the target ${kind} is labelled "${shown}", expected "${label}"`);
  }
  await idle(page);
  await page.click('#tabs button[data-panel="engset"]');
  await type(page, "en-form", "idle");
  const idleLabel = await page.$eval('label[for="en-traffic"]', (el) => el.textContent.trim());
  expect(idleLabel === "Traffic per idle source b [erlang]", `the idle form's label is "${idleLabel}"`);
  await type(page, "en-form", "offered");
  // The g field shows in the subset model only.
  await page.click('#tabs button[data-panel="links"]');
  for (const [model, shown] of [["group", false], ["subset", true], ["group", false]]) {
    await type(page, "lk-model", model);
    const visible = await page.$eval("#lk-subset-field", (el) => getComputedStyle(el).display !== "none");
    expect(visible === shown, `in the ${model} model the g field is ${visible ? "shown" : "hidden"}`);
  }
  await idle(page);
  // The icon a static host is asked for.
  const icon = await page.$eval('link[rel="icon"]', (el) => el.href);
  const answer = await fetch(icon);
  expect(answer.status === 200 && icon.startsWith(origin), `the icon ${icon} answers ${answer.status}`);
}

// Every panel at 390 px: nothing wider than the screen.
async function narrow(browser, origin, stray) {
  const page = await open(browser, origin + "/index.html", origin, stray);
  await page.setViewport({ width: 390, height: 844 });
  await fill(page, cases.find((c) => c.name === "Link subset, three classes"));
  for (const panel of ["links", "erlang-b", "erlang-c", "engset", "call-centre", "contact-centre", "day plan"]) {
    if (panel === "day plan") await fill(page, cases.find((c) => c.name === "Day plan"));
    else await page.click(`#tabs button[data-panel="${panel}"]`);
    await idle(page);
    const wide = await page.evaluate(() => {
      const over = Array.from(document.querySelectorAll("main *"))
        .filter((el) => el.getClientRects().length > 0 && el.getBoundingClientRect().right > 390.5)
        .map((el) => el.id || el.tagName.toLowerCase());
      return { scroll: document.documentElement.scrollWidth, over: over.slice(0, 5) };
    });
    expect(wide.scroll <= 390 && wide.over.length === 0,
           `at 390 px the ${panel} panel is ${wide.scroll} px wide (${wide.over.join(", ")})`);
  }
  await page.close();
}

// ---- Limits -------------------------------------------------------------------------
// The page's own timings, and what it says when a stage runs past its limit
// (the limits shortened here so that the test need not wait for them).

async function limits(browser, origin, stray) {
  const page = await open(browser, origin + "/index.html", origin, stray);
  const timings = await page.evaluate(() => JSON.stringify(window.MoravelPage.timings));
  expect(timings === '{"pause":150,"working":200,"linkSearch":10000,"job":60000}', `the page's timings: ${timings}`);
  const reopen = async (address) => {
    await page.goto("about:blank");
    await page.goto(`${origin}/index.html#${address}`);
    await page.waitForSelector("body[data-ready=true]");
    await idle(page);
  };
  // 10^7 servers: one evaluation takes far more than a plot's budget allows.
  await reopen("p=erlang-b&eb-find=loss&eb-servers=10000000&eb-traffic=9000000&eb-loss=0.01");
  const note = await page.$eval("#plot-note", (el) => el.textContent);
  expect(/^The plot is left out: one evaluation took \d+ ms, and the plot would need at least 8\.$/.test(note),
         `10^7 servers: plot note "${note}"`);
  // A least-links search past its limit (shortened to 0.2 s) is stopped.
  await reopen("p=links&lk-model=group&lk-links=20&lk-units=1000&lk-subset=2&lk-target=0.01&lk-class-traffic=15000;500&lk-class-demand=1;200");
  await page.evaluate(() => { window.MoravelPage.timings.linkSearch = 200; });
  await type(page, "lk-target", "0.001");
  await idle(page);
  const stopped = await page.$eval("#lk-target-msg", (el) => el.textContent);
  expect(stopped === "the least-links search was stopped after 0.2 s: try a larger blocking target or fewer units",
         `a long link search: "${stopped}"`);
  const shown = await page.$eval("#lk-classes tr:nth-child(1) output", (el) => el.dataset.value ?? null);
  expect(shown !== null, "a stopped link search keeps the figures it had");
  // Any other stage past its limit (shortened to 0.1 s).
  await reopen("p=erlang-b&eb-find=loss&eb-servers=10&eb-traffic=5&eb-loss=0.01");
  await page.evaluate(() => { window.MoravelPage.timings.job = 100; });
  await type(page, "eb-servers", "200000000");
  await idle(page);
  const gaveUp = await page.$eval("#eb-msg", (el) => el.textContent);
  expect(gaveUp === "stopped after 0.1 s without an answer: change an input to try again", `a long job: "${gaveUp}"`);
  await page.close();
}

// ---- Opened from a file ----------------------------------------------------------
// A browser makes no worker for a file:// page: the page computes for
// itself after the pause, with the same figures.

async function fromFile(browser) {
  const page = await browser.newPage();
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  const c = cases.find((x) => x.name === "Link subset, three classes");
  await page.goto(`file://${path.resolve(site)}/index.html#p=links&lk-model=subset&lk-links=6&lk-units=30` +
                  "&lk-subset=3&lk-target=0.001&lk-class-traffic=40;12.5;4&lk-class-demand=1;3;6");
  await page.waitForSelector("body[data-ready=true]");
  await idle(page);
  await compare(page, "opened from a file", c.expected, c.outputs);
  await compare(page, "opened from a file (links)", c.also.expected, c.also.outputs);
  // An address written before decimal commas were read: classes separated by ",".
  const g = cases.find((x) => x.name === "Link group, two classes");
  await page.goto("about:blank");
  await page.goto(`file://${path.resolve(site)}/index.html#p=links&lk-model=group&lk-links=4&lk-units=10` +
                  "&lk-target=0.01&lk-traffic=5,3&lk-demand=1,2");
  await page.waitForSelector("body[data-ready=true]");
  await idle(page);
  await compare(page, "an older address", g.expected, g.outputs);
  // The contact centre's worked example, computed in the page.
  const w = cases.find((x) => x.name === "Contact centre, the worked example");
  await page.goto("about:blank");
  await page.goto(`file://${path.resolve(site)}/index.html#p=contact-centre&ct-mode=one&ct-calls=200&ct-interval=30` +
                  "&ct-handling=180&ct-patience=120&ct-agents=20&ct-lines=&ct-answer=20&ct-target-kind=sl-offered&ct-target=80");
  await page.waitForSelector("body[data-ready=true]");
  await idle(page);
  await compare(page, "the worked example from a file", w.expected, w.outputs);
  for (const m of w.more) await compare(page, "the worked example from a file (staffing)", m.expected, m.outputs);
  expect(errors.length === 0, "page errors from a file: " + errors.join(", "));
  await page.close();
}

async function main() {
  for (const [name, value] of [["site", site], ["native", native], ["chromium", chromium]]) {
    if (!value) throw new Error(`--${name} is needed`);
  }
  // A case's further requests: one ("also") or several.
  for (const c of cases) c.more = c.also ? [].concat(c.also) : [];
  const requests = cases.flatMap((c) => [c.request, ...c.more.map((m) => m.request)]);
  const answers = nativeAnswers(requests);
  let next = 0;
  for (const c of cases) {
    c.expected = answers[next++];
    for (const m of c.more) m.expected = answers[next++];
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
    describedFieldsExist();
    await newlyDescribed();
    const page = await open(browser, origin + "/index.html", origin, stray);
    for (const c of cases) {
      await fill(page, c);
      await compare(page, c.name, c.expected, c.outputs, c.refusedAt, c.refusalPrefix, c.shows);
      for (const [j, m] of c.more.entries()) {
        await compare(page, `${c.name} (further figures ${j + 1})`, m.expected, m.outputs, m.refusedAt, "", m.shows);
      }
      if (!c.refusedAt) {
        // The address holds the inputs: a fresh page opened on it shows the same figures.
        const address = await page.evaluate(() => location.href);
        const reopened = await open(browser, address, origin, stray);
        await compare(reopened, c.name + " (reopened)", c.expected, c.outputs, c.refusedAt);
        for (const [j, m] of c.more.entries()) {
          await compare(reopened, `${c.name} (further figures ${j + 1}, reopened)`, m.expected, m.outputs, m.refusedAt);
        }
        await reopened.close();
      }
    }
    for (const r of pageRefusals) {
      await fill(page, r);
      const shown = await page.$eval("#" + r.slot, (el) => el.textContent);
      expect(shown === r.message, `${r.name}: "${shown}" beside ${r.slot}, expected "${r.message}"`);
    }
    await workedExample(page);
    await plots(page);
    await details(page, origin);
    await narrow(browser, origin, stray);
    await keystrokes(browser, origin, stray);
    await dayPlanTime(browser, origin, stray);
    await limits(browser, origin, stray);
    await fromFile(browser);
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
  expect(notFound.length === 0, "requests the site cannot answer: " + notFound.join(", "));

  for (const failure of failures) console.log("FAILED " + failure);
  console.log(`${passed} passed, ${failures.length} failed`);
  process.exitCode = failures.length === 0 ? 0 : 1;
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
