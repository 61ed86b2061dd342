// calc.js - what each panel of the calculator computes, apart from the page:
// it reads the inputs' text, calls the library through moravel.js and
// returns plain records (figures, a refusal, a plot), so that it runs in the
// page's Web Worker (worker.js) as well as in the page itself.
//
//   MoravelCalc.run(moravel, request, post)      // after format.js
//
// request: {panel, values: {id: text}, classes: [{index}]}, a class's traffic and
// demand under values["lk-traffic-" + index] and values["lk-demand-" + index].
// post(snapshot) is called after each stage (the figures, the plot, the
// least-links search) with everything known so far; the last snapshot has
// done: true.  A stage whose cost grows with the input is bounded by the
// time the figures themselves took, so that a large model draws a coarser
// plot, or none, rather than running for minutes.
(function (root) {
  "use strict";

  // The library's status codes by name (SERVERS: 4), from the module's
  // description of its interface: set by run().
  let S = null;

  // What a plot may cost, in multiples of one evaluation of the model at
  // the inputs: a plot of n points costs about n evaluations, so it gets
  // as many points as PLOT_BUDGET_MS allows, and none below MIN_POINTS.
  const PLOT_BUDGET_MS = 1000;
  const MIN_POINTS = 8;
  // The lowest probability a log axis shows: a few decades below the
  // target where there is one, else FLOOR_WITHOUT_TARGET.
  const DECADES_BELOW_TARGET = 3;
  const FLOOR_WITHOUT_TARGET = 1e-8;

  class FieldError extends Error {
    constructor(field, message) {
      super(message);
      this.field = field;
    }
  }

  // ---- Reading numbers as people type them ---------------------------------

  const DECIMAL = /^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$/;

  // A number as typed: a decimal point or a decimal comma ("12,5"), an
  // exponent.  "1,000" could be a thousand or one, so it is refused rather
  // than guessed; hexadecimal, "Infinity" and the like are not numbers here.
  function parseNumber(text) {
    let t = text.trim();
    if (t === "") throw new Error("enter a number");
    if (/^[+-]?[1-9]\d{0,2},\d{3}$/.test(t)) {
      throw new Error(`"${t}" is ambiguous: write it without a thousands separator, or with a decimal point`);
    }
    if (/^[^.,]*,[^.,]*$/.test(t)) t = t.replace(",", ".");
    if (!DECIMAL.test(t)) throw new Error("not a number");
    return Number(t);
  }

  // A share typed as a fraction (0.8), a percentage (80%), or, for a
  // service level, a bare number above 1 and up to 100 read as a percentage
  // (80): a service level of 0.8 % is never what is meant.  Anything else
  // goes to the library as it stands, which judges the range.
  function parseShare(text, barePercent) {
    const t = text.trim();
    if (t.endsWith("%")) return parseNumber(t.slice(0, -1)) / 100;
    const x = parseNumber(t);
    return barePercent && x > 1 && x <= 100 ? x / 100 : x;
  }

  function parsePatience(text) {
    const t = text.trim();
    return t === "" || t === "∞" || /^inf$/i.test(t) ? Infinity : parseNumber(t);
  }

  // A day's table as pasted: one interval a line, cells separated by tabs
  // (a spreadsheet's copy), else by semicolons, else by commas (where a
  // comma separates, a decimal comma cannot be told apart, so write a
  // decimal point).  Cells: label, calls, handling time, patience
  // (optional; blank: never hang up).  A first line whose calls are not a
  // number is a line of titles.  A cell that is not read names its line
  // and column; nothing is planned from a partly read table.
  const DAY_COLUMNS = ["label", "calls", "handling time", "patience"];
  function parseDay(text) {
    const rows = [];
    const lines = text.split(/\r\n|\n|\r/);
    lines.forEach((line, j) => {
      if (line.trim() === "") return;
      const sep = line.includes("\t") ? "\t" : line.includes(";") ? ";" : ",";
      const cells = line.split(sep).map((c) => c.trim());
      const at = (k) => `line ${j + 1}, column ${k + 1} (${DAY_COLUMNS[k]})`;
      if (rows.length === 0 && j === lines.findIndex((l) => l.trim() !== "")) {
        try { parseNumber(cells[1] === undefined ? "" : cells[1]); } catch (error) { return; }  // titles
      }
      if (cells.length < 3) throw new Error(`${at(cells.length)}: missing`);
      if (cells.length > 4) throw new Error(`line ${j + 1}: ${cells.length} cells, at most 4`);
      const number = (k, parse) => {
        try { return parse(cells[k]); } catch (error) { throw new Error(`${at(k)}: ${error.message}`); }
      };
      rows.push({ line: j + 1, label: cells[0], calls: number(1, parseNumber),
                  handling: number(2, parseNumber),
                  patience: cells.length === 4 ? number(3, parsePatience) : Infinity,
                  hasPatience: cells.length === 4 });
    });
    if (rows.length === 0) throw new Error("paste at least one interval");
    return rows;
  }

  function reader(values) {
    const text = (id) => (values[id] === undefined ? "" : String(values[id]));
    const wrap = (id, parse) => {
      try { return parse(text(id)); } catch (error) { throw new FieldError(id, error.message); }
    };
    return {
      text,
      real: (id) => wrap(id, parseNumber),
      whole: (id) => wrap(id, (t) => {
        const x = parseNumber(t);
        if (!Number.isInteger(x) || x < -2147483648 || x > 2147483647) {
          throw new Error("must be a whole number within 32 bits");
        }
        return x;
      }),
      probability: (id) => wrap(id, (t) => parseShare(t, false)),
      serviceLevel: (id) => wrap(id, (t) => parseShare(t, true)),
      // A share that may be left blank (0: none).
      optionalShare: (id) => wrap(id, (t) => (t.trim() === "" ? 0 : parseShare(t, true))),
      // A count that may be left blank (0).
      optionalWhole: (id) => (text(id).trim() === "" ? 0 : wholeOf(id)),
      // A mean patience: blank, "∞" or "inf" for callers who never hang up.
      patience: (id) => wrap(id, parsePatience),
    };
    function wholeOf(id) {
      return wrap(id, (t) => {
        const x = parseNumber(t);
        if (!Number.isInteger(x) || x < -2147483648 || x > 2147483647) {
          throw new Error("must be a whole number within 32 bits");
        }
        return x;
      });
    }
  }

  // ---- Helpers -------------------------------------------------------------

  function sweep(lo, hi, n) {
    return Array.from({ length: n }, (_, j) => lo + (hi - lo) * j / (n - 1));
  }
  const zip = (xs, ys) => xs.map((x, j) => [x, ys[j]]);
  const now = () => (typeof performance !== "undefined" ? performance.now() : Date.now());

  // The points a plot may have after one evaluation took `ms`.
  function affordable(ms, most) {
    return Math.min(most, Math.floor(PLOT_BUDGET_MS / Math.max(ms, 1e-3)));
  }

  // The lowest value of a log axis, for a target that may not be readable;
  // a target field that is not an input (the loss being found) is no target.
  function floorFor(read, id, isInput = true) {
    if (!isInput) return FLOOR_WITHOUT_TARGET;
    try {
      const target = read.probability(id);
      if (target > 0 && target < 1) return target / Math.pow(10, DECADES_BELOW_TARGET);
    } catch (error) { /* no target to go by */ }
    return FLOOR_WITHOUT_TARGET;
  }

  // The timed evaluation of `body`, as [result, milliseconds].
  function timed(body) {
    const start = now();
    const result = body();
    return [result, now() - start];
  }

  function leftOut(ms) {
    return `The plot is left out: one evaluation took ${Math.round(ms)} ms, and the plot would ` +
           `need at least ${MIN_POINTS}.`;
  }

  // ---- Panels --------------------------------------------------------------
  // Each panel's figures(read, result) fills result.outputs and returns what
  // the later stages need; plot(state) returns a plot or a note; links(...)
  // (the link panel only) the least-links search.

  function delayPlot(moravel, V, A, waitProbability, ms) {
    const n = affordable(ms, 60);
    if (n < MIN_POINTS) return { note: leftOut(ms) };
    const traffic = sweep(0.05 * V, 0.99 * V, n);
    return {
      title: `Erlang C: probability of waiting against traffic, ${V} servers`,
      xLabel: "offered traffic [erlang]", yLabel: "probability of waiting",
      series: [{ name: "wait", points: zip(traffic, moravel.erlangCArray(traffic.map(() => V), traffic)) }],
      marker: [A, waitProbability], floor: FLOOR_WITHOUT_TARGET,
    };
  }

  const panels = {
    "erlang-b": {
      prefix: "eb", beside: "eb-loss",
      figures(moravel, read, out) {
        const find = read.text("eb-find");
        let V, A;
        if (find === "loss") {
          V = read.whole("eb-servers");
          A = read.real("eb-traffic");
        } else if (find === "servers") {
          A = read.real("eb-traffic");
          V = moravel.erlangBServers(A, read.probability("eb-loss")).servers;
        } else {
          V = read.whole("eb-servers");
          A = moravel.erlangBTraffic(V, read.probability("eb-loss"));
        }
        const [result, ms] = timed(() => moravel.loss(V, A));
        Object.assign(out, { "eb-out-servers": V, "eb-out-traffic": A, "eb-out-loss": result.loss,
                             "eb-out-carried": result.carried });
        return { V, A, result, ms };
      },
      plot(moravel, read, { V, A, result, ms }) {
        const n = affordable(ms, 60);
        if (n < MIN_POINTS) return { note: leftOut(ms) };
        const traffic = sweep(0.05 * V, 1.5 * V, n);
        return {
          title: `Erlang B: loss against traffic, ${V} servers`,
          xLabel: "offered traffic [erlang]", yLabel: "loss probability",
          series: [{ name: "loss", points: zip(traffic, moravel.erlangBArray(traffic.map(() => V), traffic)) }],
          marker: [A, result.loss], floor: floorFor(read, "eb-loss", read.text("eb-find") !== "loss"),
        };
      },
    },

    "erlang-c": {
      prefix: "ec", beside: "ec-service",
      figures(moravel, read, out) {
        const find = read.text("ec-find");
        const h = read.real("ec-holding"), t = read.real("ec-answer");
        let A, figures, ms;
        if (find === "traffic") {
          let largest;
          [largest, ms] = timed(() => moravel.trafficForServiceLevel(read.whole("ec-servers"), h, t,
                                                                      read.serviceLevel("ec-service")));
          ({ traffic: A, figures } = largest);
        } else {
          A = read.real("ec-traffic");
          [figures, ms] = timed(() => (find === "service"
            ? moravel.staffing(read.whole("ec-servers"), A, h, t)
            : moravel.agentsForServiceLevel(A, h, t, read.serviceLevel("ec-service"))));
        }
        Object.assign(out, {
          "ec-out-servers": figures.agents, "ec-out-traffic": A, "ec-out-wait": figures.waitProbability,
          "ec-out-service": figures.serviceLevel, "ec-out-asa": figures.meanSpeedOfAnswer,
          "ec-out-occupancy": figures.occupancy,
        });
        return { A, figures, ms };
      },
      plot(moravel, read, { A, figures, ms }) {
        return delayPlot(moravel, figures.agents, A, figures.waitProbability, ms);
      },
    },

    engset: {
      prefix: "en", beside: "en-loss",
      figures(moravel, read, out) {
        const find = read.text("en-find");
        // The library takes the offered traffic per source a; a traffic per
        // idle source b is a / (1 - a), so a = b / (1 + b).
        const perIdle = read.text("en-form") === "idle";
        const offered = () => {
          const x = read.real("en-traffic");
          return perIdle ? x / (1 + x) : x;
        };
        const N = read.whole("en-sources");
        let V, a;
        if (find === "loss") {
          V = read.whole("en-servers");
          a = offered();
        } else if (find === "servers") {
          a = offered();
          V = moravel.engsetServers(N, a, read.probability("en-loss")).servers;
        } else {
          V = read.whole("en-servers");
          a = moravel.engsetTraffic(N, V, read.probability("en-loss"));
        }
        const [result, ms] = timed(() => moravel.lossFinite(N, V, a));
        Object.assign(out, { "en-out-servers": V, "en-out-traffic": a, "en-out-idle": a / (1 - a),
                             "en-out-loss": result.loss, "en-out-carried": result.carried });
        return { N, V, a, result, ms };
      },
      plot(moravel, read, { N, V, a, result, ms }) {
        const n = affordable(ms, 60);
        if (n < MIN_POINTS) return { note: leftOut(ms) };
        const traffic = sweep(0.01, 0.95, n);
        return {
          title: `Engset: call congestion against offered traffic per source, ${N} sources, ${V} servers`,
          xLabel: "offered traffic per source a [erlang]", yLabel: "call congestion",
          series: [{ name: "loss",
                     points: zip(traffic, moravel.engsetArray(traffic.map(() => N), traffic.map(() => V), traffic)) }],
          marker: [a, result.loss], floor: floorFor(read, "en-loss", read.text("en-find") !== "loss"),
        };
      },
    },

    "call-centre": {
      prefix: "cc", beside: "cc-service",
      figures(moravel, read, out) {
        const calls = read.real("cc-calls"), minutes = read.real("cc-interval");
        const h = read.real("cc-handling"), t = read.real("cc-answer");
        const target = read.serviceLevel("cc-service");
        const A = moravel.offeredTraffic(calls, minutes, h);
        const [staff, ms] = timed(() => moravel.agentsForServiceLevel(A, h, t, target));
        Object.assign(out, {
          "cc-out-traffic": A, "cc-out-agents": staff.agents, "cc-out-service": staff.serviceLevel,
          "cc-out-asa": staff.meanSpeedOfAnswer, "cc-out-occupancy": staff.occupancy,
          "cc-out-wait": staff.waitProbability,
        });
        return { A, h, t, target, staff, ms };
      },
      // What a staffing planner reads: the service level against the agents,
      // from the fewest that keep the queue stable to a few past the answer.
      plot(moravel, read, { A, h, t, target, staff, ms }) {
        const most = 40;
        const first = Math.floor(A) + 1;
        const last = Math.max(staff.agents + Math.max(3, Math.ceil(0.25 * (staff.agents - first))), first + 4);
        const step = Math.max(1, Math.ceil((last - first + 1) / most));
        const agents = [];
        for (let n = first; n <= last; n += step) agents.push(n);
        if (!agents.includes(staff.agents)) agents.push(staff.agents);
        agents.sort((x, y) => x - y);
        if (affordable(ms, agents.length) < Math.min(MIN_POINTS, agents.length)) return { note: leftOut(ms) };
        const level = [];
        for (const n of agents) {
          try { level.push([n, moravel.staffing(n, A, h, t).serviceLevel]); } catch (error) { /* unstable */ }
        }
        return {
          title: `Call centre: service level against agents, ${root.MoravelFormat.readable(A)} erlangs`,
          xLabel: "agents", yLabel: `share answered within ${t} s`, scale: "linear",
          series: [{ name: "service level", points: level }],
          reference: { y: target, label: "target" },
          marker: [staff.agents, staff.serviceLevel],
        };
      },
    },

    // The contact centre: impatient callers, lines, retries, the least
    // agents for a target, and a day's plan.  Times in seconds, the
    // interval in minutes.
    "contact-centre": {
      prefix: "ct", beside: "ct-target",
      // The goal of the staffing solvers: {goal, target, maxOccupancy}.
      goal(moravel, read) {
        const kind = read.text("ct-target-kind");
        const target = kind === "asa" ? read.real("ct-target") : read.serviceLevel("ct-target");
        const occupancy = read.text("ct-occupancy").trim() === "" ? 1 : read.optionalShare("ct-occupancy");
        return { goal: moravel.codes.goal[kind], target, maxOccupancy: occupancy };
      },

      // The output names of a moravel_contact_centre_result's figures.
      keys: { waitProbability: "wait", blockedProbability: "blocked", abandonProbability: "abandon",
              abandonWithinAnswerTime: "abandon-short", serviceLevel: "sl",
              serviceLevelExcludingShortAbandons: "sl-excluding", meanAnswerWait: "asa",
              meanWait: "mean-wait", queueLength: "queue", occupancy: "occupancy", carried: "carried" },

      put(out, prefix, figures) {
        for (const [field, key] of Object.entries(this.keys)) out[prefix + key] = figures[field];
      },

      targets(moravel, read) {
        const kind = read.text("ct-target-kind");
        const targets = { answerTime: read.real("ct-answer"), occupancy: read.optionalShare("ct-occupancy") };
        if (kind === "asa") {
          targets.meanAnswerWait = read.real("ct-target");
        } else {
          const x = read.serviceLevel("ct-target");
          if (kind === "sl-offered" || kind === "sl-excluding") {
            targets.serviceLevel = x;
            targets.serviceLevelBasis = moravel.codes.service_level_basis[kind];
          } else if (kind === "abandon") {
            targets.abandonment = x;
          } else {
            targets.waitProbability = x;
          }
        }
        return targets;
      },

      figures(moravel, read, out, classes, snapshot) {
        const minutes = read.real("ct-interval");
        if (read.text("ct-mode") === "day") return this.day(moravel, read, out, snapshot, minutes);
        const calls = read.real("ct-calls"), h = read.real("ct-handling");
        const p = read.patience("ct-patience");
        const t = read.real("ct-answer");
        // The traffic the library's day plan gives such an interval.
        const A = moravel.offeredTraffic(calls, minutes, h);
        out["ct-out-traffic"] = A;
        const n = read.whole("ct-agents"), L = read.optionalWhole("ct-lines");
        // The least agents for the target, and the largest traffic the n
        // agents carry at it, with the panel's lines.
        let least = null, goal = null;
        try {
          goal = this.goal(moravel, read);
          least = moravel.contactCentreAgents(A, h, p, L, t, goal.goal, goal.target, goal.maxOccupancy);
          out["ct-out-least"] = least.agents;
          this.put(out, "ct-out-s-", least.figures);
        } catch (error) {
          snapshot.refusals.push(refusal(moravel, error, "ct", "ct-target"));
        }
        if (goal) {
          try {
            out["ct-out-largest"] = moravel.contactCentreTraffic(n, h, p, L, t, goal.goal, goal.target,
                                                                 goal.maxOccupancy).traffic;
          } catch (error) {
            snapshot.refusals.push(refusal(moravel, error, "ct", "ct-largest"));
          }
        }
        const [result, ms] = timed(() => moravel.contactCentre(A, h, p, n, L, t));
        this.put(out, "ct-out-", result);
        const rb = read.optionalShare("ct-retry-blocked"), ra = read.optionalShare("ct-retry-abandoned");
        if (rb !== 0 || ra !== 0) {
          try {
            const redial = read.real("ct-redial");
            const r = moravel.contactCentreRetrials(A, h, p, n, L, t, rb, ra, redial);
            this.put(out, "ct-out-r-", r.attempt);
            Object.assign(out, { "ct-out-total": r.offeredTotal, "ct-out-retry-traffic": r.retryTraffic,
                                 "ct-out-attempts": r.attemptsPerCaller, "ct-out-answered": r.answeredShare,
                                 "ct-out-gave-up-blocked": r.blockedShare,
                                 "ct-out-gave-up-abandoned": r.abandonedShare,
                                 "ct-out-redialling": r.redialling });
          } catch (error) {
            const refused = refusal(moravel, error, "ct");
            // Which share the library refused: the busy-tone one alone, or else the other.
            if (refused.status === S.RETRY_SHARE) {
              try { moravel.contactCentreRetrials(A, h, p, n, L, t, rb, 0, 1); refused.field = "ct-retry-abandoned"; }
              catch (again) { refused.field = "ct-retry-blocked"; }
            }
            snapshot.refusals.push(refused);
          }
        }
        return { mode: "one", A, h, p, n, L, t, result, least, goal, ms, kind: read.text("ct-target-kind") };
      },

      day(moravel, read, out, snapshot, minutes) {
        let rows;
        try { rows = parseDay(read.text("ct-day")); } catch (error) { throw new FieldError("ct-day", error.message); }
        const withPatience = rows.some((r) => r.hasPatience);
        let plan;
        try {
          plan = moravel.dayPlan(rows.map((r) => r.calls), rows.map((r) => r.handling),
                                 withPatience ? rows.map((r) => r.patience) : null, this.targets(moravel, read),
                                 minutes, read.optionalShare("ct-shrinkage"));
        } catch (error) {
          if (error instanceof moravel.MoravelError && error.index !== undefined) {
            const row = rows[error.index];
            throw new FieldError("ct-day", `line ${row.line} (${row.label}): ${error.message}`);
          }
          throw error;
        }
        snapshot.dayRows = rows.map((r) => ({ label: r.label }));
        const figures = (prefix, f) => {
          out[prefix + "sl"] = f.serviceLevel;
          out[prefix + "sl-excluding"] = f.serviceLevelExcludingShortAbandons;
          out[prefix + "asa"] = f.meanAnswerWait;
          out[prefix + "abandon"] = f.abandonProbability;
          out[prefix + "occupancy"] = f.occupancy;
        };
        plan.intervals.forEach((x, j) => {
          const prefix = `ct-day-${j}-`;
          Object.assign(out, { [prefix + "calls"]: rows[j].calls, [prefix + "traffic"]: x.traffic,
                               [prefix + "needed"]: x.agentsNeeded, [prefix + "scheduled"]: x.agentsScheduled });
          figures(prefix, x.figures);
        });
        const d = plan.totals;
        Object.assign(out, { "ct-day-total-calls": d.calls, "ct-day-total-traffic": d.traffic,
                             "ct-day-total-needed": d.agentIntervalsNeeded,
                             "ct-day-total-scheduled": d.agentIntervalsScheduled,
                             "ct-out-day-hours": d.scheduledAgentHours, "ct-out-day-peak": d.peakAgentsScheduled,
                             "ct-out-day-answered": d.answeredCalls, "ct-out-day-abandoned": d.abandonedCalls });
        figures("ct-day-total-", d.figures);
        return { mode: "day", rows, plan };
      },

      plot(moravel, read, state) {
        return state.mode === "day" ? this.dayPlot(state) : this.agentsPlot(moravel, state);
      },

      // The agents a day needs and schedules, interval by interval: a step
      // from each interval's start (x = 1, 2, ..., named by its label) to
      // the next.
      dayPlot({ rows, plan }) {
        const steps = (agents) => plan.intervals.flatMap((x, j) => [[j + 1, agents(x)], [j + 2, agents(x)]]);
        const needed = steps((x) => x.agentsNeeded);
        const scheduled = steps((x) => x.agentsScheduled);
        return {
          title: `Contact centre: agents by interval, ${rows.length} intervals`,
          xLabel: "interval", yLabel: "agents", scale: "linear",
          yMax: scheduled.reduce((m, q) => Math.max(m, q[1]), 1), xLabels: rows.map((r) => r.label),
          series: [{ name: "needed", points: needed }, { name: "to schedule", points: scheduled }],
          marker: null,
        };
      },

      // What a staffing planner reads: the service level (both conventions),
      // or the ASA where that is the target, against the agents around the
      // ones given and the least for the target.
      agentsPlot(moravel, { A, h, p, n, L, t, result, least, goal, ms, kind }) {
        const most = 40;
        const lo = Math.min(n, least ? least.agents : n), hi = Math.max(n, least ? least.agents : n);
        const pad = Math.max(3, Math.ceil(0.25 * (hi - lo)), Math.ceil(0.1 * hi));
        const first = Math.max(1, lo - pad), last = hi + pad;
        const step = Math.max(1, Math.ceil((last - first + 1) / most));
        const agents = [];
        for (let k = first; k <= last; k += step) agents.push(k);
        if (!agents.includes(n)) agents.push(n);
        agents.sort((x, y) => x - y);
        if (affordable(ms, agents.length) < Math.min(MIN_POINTS, agents.length)) return { note: leftOut(ms) };
        const points = [];
        for (const k of agents) {
          try { points.push([k, moravel.contactCentre(A, h, p, k, L, t)]); } catch (error) { /* no steady state, or beyond the lines */ }
        }
        const traffic = root.MoravelFormat.readable(A);
        if (kind === "asa") {
          const series = points.map(([k, f]) => [k, f.meanAnswerWait]);
          return {
            title: `Contact centre: mean wait of answered calls against agents, ${traffic} erlangs`,
            xLabel: "agents", yLabel: "ASA [s]", scale: "linear",
            yMax: Math.max(1e-9, ...series.map((q) => q[1]).filter(Number.isFinite)),
            series: [{ name: "ASA", points: series }],
            reference: goal ? { y: goal.target, label: "target" } : null,
            marker: [n, result.meanAnswerWait],
          };
        }
        return {
          title: `Contact centre: service level against agents, ${traffic} erlangs`,
          xLabel: "agents", yLabel: `share answered within ${t} s`, scale: "linear",
          series: [{ name: "over all offered calls", points: points.map(([k, f]) => [k, f.serviceLevel]) },
                   { name: "over the offered calls less those who hung up within t",
                     points: points.map(([k, f]) => [k, f.serviceLevelExcludingShortAbandons]) }],
          reference: goal && (kind === "sl-offered" || kind === "sl-excluding") ? { y: goal.target, label: "target" } : null,
          marker: [n, kind === "sl-excluding" ? result.serviceLevelExcludingShortAbandons : result.serviceLevel],
        };
      },
    },

    links: {
      prefix: "lk", beside: "lk-target",
      figures(moravel, read, out, classes) {
        const subset = read.text("lk-model") === "subset";
        if (classes.length === 0) throw new FieldError("lk-classes", "add at least one class");
        // A class's own field is named in the message: the table has one slot.
        const ofClass = (id, j) => {
          try { return read.real(id); } catch (error) {
            throw new FieldError(id, `class ${j + 1}: ${error.message}`);
          }
        };
        const a = classes.map((c, j) => ofClass("lk-traffic-" + c.index, j));
        const t = classes.map((c, j) => ofClass("lk-demand-" + c.index, j));
        const k = read.whole("lk-links"), f = read.whole("lk-units");
        const g = subset ? read.whole("lk-subset") : 0;
        const model = (traffic) => (subset ? moravel.linkSubset(traffic, t, k, f, g)
                                           : moravel.linkGroup(traffic, t, k, f));
        const [result, ms] = timed(() => model(a));
        classes.forEach((c, j) => {
          out["lk-out-blocking-" + c.index] = result.blocking[j];
          out["lk-out-carried-" + c.index] = result.carried[j];
        });
        return { subset, a, t, k, f, g, model, ms };
      },
      plot(moravel, read, { subset, a, k, f, g, model, ms }, classes) {
        // The curves scale every class's traffic together.
        const n = affordable(ms, 20);
        if (n < MIN_POINTS) return { note: leftOut(ms) };
        const total = a.reduce((s, x) => s + x, 0);
        const curves = classes.map((c, j) => ({ name: "class " + (j + 1), points: [] }));
        for (const s of sweep(0.1, 2, n)) {
          let point;
          try { point = model(a.map((x) => x * s)); } catch (error) { continue; }
          curves.forEach((curve, j) => curve.points.push([s * total, point.blocking[j]]));
        }
        return {
          title: `${subset ? "Link subset" : "Link group"}: blocking against total traffic, k = ${k}, f = ${f}` +
                 (subset ? `, g = ${g}` : ""),
          xLabel: "total offered traffic, every class scaled alike [erlang]", yLabel: "blocking",
          series: curves, marker: null, floor: floorFor(read, "lk-target"),
        };
      },
      // The least links: the last stage, since its cost is the hardest to
      // foresee; the page stops it after a while (app.js).
      links(moravel, read, { subset, a, t, f, g }, classes, snapshot) {
        if (read.text("lk-target").trim() === "") return;
        try {
          const target = read.probability("lk-target");
          const least = subset ? moravel.linkSubsetLinks(a, t, f, g, target)
                               : moravel.linkGroupLinks(a, t, f, target);
          snapshot.outputs["lk-out-links"] = least.links;
          classes.forEach((c, j) => { snapshot.outputs["lk-out-kblocking-" + c.index] = least.blocking[j]; });
        } catch (error) {
          snapshot.refusals.push(refusal(moravel, error, "lk", "lk-target"));
        }
      },
    },
  };

  // A refusal as {field, message}: the page's own, or the library's, with
  // its status, subject and reason (the message without the subject), so
  // that the page words it with the field's name (app.js).  Its field is
  // the one the page set, else the first of the fields of `prefix`'s panel
  // that the description names for the refused arguments, else `beside`:
  // where the panel shows a refusal that is about no one argument (a
  // target no size meets).
  function refusal(moravel, error, prefix, beside = null) {
    if (error instanceof FieldError) return { field: error.field, message: error.message };
    if (error instanceof moravel.MoravelError) {
      const own = (error.fields || []).find((id) => id.startsWith(prefix + "-"));
      return { field: error.field || own || beside, message: error.message, status: error.status,
               subject: error.subject, reason: error.reason };
    }
    if (error instanceof RangeError) return { field: null, message: error.message };
    throw error;
  }

  // The library's refusal `name` (a status without MORAVEL_ERROR_) of what
  // the page computes itself, beside `field`.
  function run(moravel, request, post) {
    S = moravel.status;
    const panel = panels[request.panel];
    const read = reader(request.values);
    const classes = request.classes || [];
    const snapshot = { outputs: {}, refusals: [], plot: null, note: "", stage: "figures", done: false };
    let state;
    try {
      state = panel.figures(moravel, read, snapshot.outputs, classes, snapshot);
    } catch (error) {
      snapshot.refusals.push(refusal(moravel, error, panel.prefix, panel.beside));
      snapshot.done = true;
      post(snapshot);
      return;
    }
    snapshot.stage = "plot";
    post(snapshot);
    const drawn = panel.plot(moravel, read, state, classes);
    if (drawn.note) snapshot.note = drawn.note;
    else snapshot.plot = drawn;
    if (panel.links) {
      snapshot.stage = "links";
      post(snapshot);
      panel.links(moravel, read, state, classes, snapshot);
    }
    snapshot.stage = "done";
    snapshot.done = true;
    post(snapshot);
  }

  root.MoravelCalc = { run, parseNumber, parseShare, panels,
                       PLOT_BUDGET_MS, MIN_POINTS, DECADES_BELOW_TARGET, FLOOR_WITHOUT_TARGET };
})(typeof self !== "undefined" ? self : this);
