// app.js - the calculator page: reads the panel's inputs, calls the library
// through moravel.js, shows the figures, the refusals beside their fields,
// a plot, and keeps the inputs in the address.
//
// Every figure is shown rounded to six significant digits; its element's
// data-value (and tooltip) holds the double itself, written shortest
// round-trip, so that the exact result can be read back.
(function () {
  "use strict";

  const $ = (id) => document.getElementById(id);
  let moravel = null;
  let current = "erlang-b";
  let calculations = 0;

  // The library's status codes (moravel/api.h) that the page places beside
  // a field.
  const S = {
    SERVERS: 4, SERVERS_TOO_MANY: 5, TRAFFIC: 6, TRAFFIC_NOT_POSITIVE: 7, NOT_BELOW_SERVERS: 8,
    SOURCES: 9, SOURCE_TRAFFIC: 10, OVERFLOW: 13, HOLDING_TIME: 18, THRESHOLD: 19,
    CLASSES: 21, DEMAND: 22, LINKS: 23, LINK_UNITS: 24, GROUP_SIZE: 25, SUBSET: 26,
    SUBSET_COUNT: 27, TARGET: 30, NOT_BELOW_SOURCES: 32, DEMAND_EXCEEDS_LINK: 33,
    UNREACHABLE: 34, MODEL_LIMIT: 35,
  };

  // An input that the page itself refuses before the library sees it.
  class FieldError extends Error {
    constructor(field, message) {
      super(message);
      this.field = field;
    }
  }

  // ---- Reading inputs ------------------------------------------------------

  function real(id) {
    const text = $(id).value.trim();
    if (text === "") throw new FieldError(id, "enter a number");
    const x = Number(text);
    if (Number.isNaN(x)) throw new FieldError(id, "not a number");
    return x;
  }

  function whole(id) {
    const x = real(id);
    if (!Number.isInteger(x) || x < -2147483648 || x > 2147483647) {
      throw new FieldError(id, "must be a whole number within 32 bits");
    }
    return x;
  }

  // ---- Writing results -----------------------------------------------------

  const exact = (x) => (Object.is(x, -0) ? "-0" : String(x));

  function readable(x) {
    if (!Number.isFinite(x) || (Number.isInteger(x) && Math.abs(x) < 1e15)) return String(x);
    return String(Number(x.toPrecision(6)));
  }

  function put(id, x) {
    const out = $(id);
    out.textContent = readable(x);
    out.dataset.value = exact(x);
    out.title = exact(x);
  }

  function clearPanel(panel) {
    panel.querySelectorAll("output").forEach((out) => {
      out.textContent = "";
      delete out.dataset.value;
      out.removeAttribute("title");
    });
    panel.querySelectorAll(".msg").forEach((msg) => { msg.textContent = ""; });
    panel.querySelectorAll("[aria-invalid]").forEach((input) => input.removeAttribute("aria-invalid"));
  }

  // Shows a refusal beside its field: the page's own for text that is not
  // a number, the library's static message for anything the library refuses.
  // `fields` maps a status code to the field it names.
  function refuse(error, prefix, fields) {
    let field = null;
    if (error instanceof FieldError) field = error.field;
    else if (error instanceof moravel.MoravelError) field = fields[error.status] || null;
    else if (!(error instanceof RangeError)) throw error;
    const slot = (field && $(field + "-msg")) || (field && $(prefix + "-classes-msg")) || $(prefix + "-msg");
    slot.textContent = error.message;
    if (field && $(field)) $(field).setAttribute("aria-invalid", "true");
  }

  // ---- Panels --------------------------------------------------------------

  // Disables the input of the figure to be found.
  function markFound(prefix, find, names) {
    for (const [value, id] of Object.entries(names)) $(prefix + "-" + id).disabled = value === find;
  }

  const panels = {
    "erlang-b": {
      prefix: "eb",
      fields: { [S.SERVERS]: "eb-servers", [S.SERVERS_TOO_MANY]: "eb-servers", [S.TRAFFIC]: "eb-traffic",
                [S.TARGET]: "eb-loss", [S.UNREACHABLE]: "eb-loss" },
      calculate() {
        const find = $("eb-find").value;
        markFound("eb", find, { loss: "loss", servers: "servers", traffic: "traffic" });
        let V, A;
        if (find === "loss") {
          V = whole("eb-servers");
          A = real("eb-traffic");
        } else if (find === "servers") {
          A = real("eb-traffic");
          V = moravel.erlangBServers(A, real("eb-loss")).servers;
        } else {
          V = whole("eb-servers");
          A = moravel.erlangBTraffic(V, real("eb-loss"));
        }
        const result = moravel.loss(V, A);
        put("eb-out-servers", V);
        put("eb-out-traffic", A);
        put("eb-out-loss", result.loss);
        put("eb-out-carried", result.carried);
        const traffic = sweep(0.05 * V, 1.5 * V, 60);
        return {
          title: `Erlang B: loss against traffic, ${V} servers`,
          xLabel: "offered traffic [erlang]", yLabel: "loss probability",
          series: [{ name: "loss", points: zip(traffic, moravel.erlangBArray(traffic.map(() => V), traffic)) }],
          marker: [A, result.loss],
        };
      },
    },

    "erlang-c": {
      prefix: "ec",
      fields: { [S.SERVERS]: "ec-servers", [S.SERVERS_TOO_MANY]: "ec-servers", [S.TRAFFIC]: "ec-traffic",
                [S.NOT_BELOW_SERVERS]: "ec-traffic", [S.HOLDING_TIME]: "ec-holding",
                [S.THRESHOLD]: "ec-answer", [S.TARGET]: "ec-service", [S.UNREACHABLE]: "ec-service" },
      calculate() {
        const find = $("ec-find").value;
        markFound("ec", find, { service: "service", servers: "servers", traffic: "traffic" });
        const h = real("ec-holding"), t = real("ec-answer");
        let A, figures;
        if (find === "traffic") {
          figures = moravel.trafficForServiceLevel(whole("ec-servers"), h, t, real("ec-service"));
          A = figures.traffic;
        } else {
          A = real("ec-traffic");
          figures = find === "service"
            ? moravel.staffingFigures(whole("ec-servers"), A, h, t)
            : moravel.agentsForServiceLevel(A, h, t, real("ec-service"));
        }
        put("ec-out-servers", figures.agents);
        put("ec-out-traffic", A);
        put("ec-out-wait", figures.waitProbability);
        put("ec-out-service", figures.serviceLevel);
        put("ec-out-asa", figures.meanSpeedOfAnswer);
        put("ec-out-occupancy", figures.occupancy);
        return delayPlot(figures.agents, A, figures.waitProbability);
      },
    },

    engset: {
      prefix: "en",
      fields: { [S.SOURCES]: "en-sources", [S.SERVERS]: "en-servers", [S.SERVERS_TOO_MANY]: "en-servers",
                [S.NOT_BELOW_SOURCES]: "en-servers", [S.SOURCE_TRAFFIC]: "en-traffic",
                [S.TARGET]: "en-loss", [S.UNREACHABLE]: "en-loss" },
      calculate() {
        const find = $("en-find").value;
        markFound("en", find, { loss: "loss", servers: "servers", traffic: "traffic" });
        const N = whole("en-sources");
        let V, a;
        if (find === "loss") {
          V = whole("en-servers");
          a = real("en-traffic");
        } else if (find === "servers") {
          a = real("en-traffic");
          V = moravel.engsetServers(N, a, real("en-loss")).servers;
        } else {
          V = whole("en-servers");
          a = moravel.engsetTraffic(N, V, real("en-loss"));
        }
        const result = moravel.lossFiniteSources(N, V, a);
        put("en-out-servers", V);
        put("en-out-traffic", a);
        put("en-out-loss", result.loss);
        put("en-out-carried", result.carried);
        const traffic = sweep(0.01, 0.95, 60);
        return {
          title: `Engset: call congestion against traffic per source, ${N} sources, ${V} servers`,
          xLabel: "traffic per idle source [erlang]", yLabel: "call congestion",
          series: [{ name: "loss",
                     points: zip(traffic, moravel.engsetArray(traffic.map(() => N), traffic.map(() => V), traffic)) }],
          marker: [a, result.loss],
        };
      },
    },

    "call-centre": {
      prefix: "cc",
      fields: { [S.TRAFFIC]: "cc-calls", [S.HOLDING_TIME]: "cc-handling", [S.THRESHOLD]: "cc-answer",
                [S.TARGET]: "cc-service", [S.UNREACHABLE]: "cc-service" },
      calculate() {
        const calls = real("cc-calls"), minutes = real("cc-interval");
        const h = real("cc-handling"), t = real("cc-answer"), target = real("cc-service");
        if (!(minutes > 0 && Number.isFinite(minutes))) {
          throw new FieldError("cc-interval", "interval must be finite and above 0");
        }
        if (!(h > 0 && Number.isFinite(h))) {
          throw new moravel.MoravelError(S.HOLDING_TIME, moravel.statusMessage(S.HOLDING_TIME));
        }
        // Offered traffic: calls per second times the mean handling time.
        const A = (calls * h) / (minutes * 60);
        const staff = moravel.agentsForServiceLevel(A, h, t, target);
        put("cc-out-traffic", A);
        put("cc-out-agents", staff.agents);
        put("cc-out-service", staff.serviceLevel);
        put("cc-out-asa", staff.meanSpeedOfAnswer);
        put("cc-out-occupancy", staff.occupancy);
        put("cc-out-wait", staff.waitProbability);
        return delayPlot(staff.agents, A, staff.waitProbability);
      },
    },

    links: {
      prefix: "lk",
      fields: { [S.CLASSES]: "lk-classes", [S.TRAFFIC]: "lk-classes", [S.DEMAND]: "lk-classes",
                [S.LINKS]: "lk-links", [S.LINK_UNITS]: "lk-units", [S.GROUP_SIZE]: "lk-units",
                [S.SUBSET]: "lk-subset", [S.SUBSET_COUNT]: "lk-subset" },
      targetFields: { [S.TARGET]: "lk-target", [S.DEMAND_EXCEEDS_LINK]: "lk-target",
                      [S.UNREACHABLE]: "lk-target", [S.OVERFLOW]: "lk-target", [S.MODEL_LIMIT]: "lk-target" },
      calculate() {
        const subset = $("lk-model").value === "subset";
        $("lk-subset-field").hidden = !subset;
        const rows = classRows();
        if (rows.length === 0) throw new FieldError("lk-classes", "add at least one class");
        // A class's own field is named in the message: the table has one slot.
        const ofClass = (id, j) => {
          try { return real(id); } catch (error) {
            throw new FieldError(id, `class ${j + 1}: ${error.message}`);
          }
        };
        const a = rows.map((i, j) => ofClass("lk-traffic-" + i, j));
        const t = rows.map((i, j) => ofClass("lk-demand-" + i, j));
        const k = whole("lk-links"), f = whole("lk-units");
        const g = subset ? whole("lk-subset") : 0;
        const model = (traffic) => (subset ? moravel.linkSubset(traffic, t, k, f, g)
                                           : moravel.linkGroup(traffic, t, k, f));
        const result = model(a);
        rows.forEach((i, j) => {
          put("lk-out-blocking-" + i, result.blocking[j]);
          put("lk-out-carried-" + i, result.carried[j]);
        });
        if ($("lk-target").value.trim() !== "") {
          try {
            const target = real("lk-target");
            const least = subset ? moravel.linkSubsetLinks(a, t, f, g, target)
                                 : moravel.linkGroupLinks(a, t, f, target);
            put("lk-out-links", least.links);
            rows.forEach((i, j) => put("lk-out-kblocking-" + i, least.blocking[j]));
          } catch (error) {
            refuse(error, "lk", this.targetFields);
          }
        }
        // The curves scale every class's traffic together; large groups
        // would make the plot slow, so it stops at 20000 units.
        if (k * f > 20000) return null;
        const total = a.reduce((s, x) => s + x, 0);
        const scales = sweep(0.1, 2, 20);
        const curves = rows.map((i, j) => ({ name: "class " + (j + 1), points: [] }));
        for (const s of scales) {
          let point;
          try { point = model(a.map((x) => x * s)); } catch (error) { continue; }
          curves.forEach((curve, j) => curve.points.push([s * total, point.blocking[j]]));
        }
        return {
          title: `${subset ? "Link subset" : "Link group"}: blocking against total traffic, k = ${k}, f = ${f}` +
                 (subset ? `, g = ${g}` : ""),
          xLabel: "total offered traffic, every class scaled alike [erlang]", yLabel: "blocking",
          series: curves,
          marker: null,
        };
      },
    },
  };

  function sweep(lo, hi, n) {
    return Array.from({ length: n }, (_, j) => lo + (hi - lo) * j / (n - 1));
  }

  const zip = (xs, ys) => xs.map((x, j) => [x, ys[j]]);

  function delayPlot(V, A, waitProbability) {
    const traffic = sweep(0.05 * V, 0.99 * V, 60);
    return {
      title: `Erlang C: probability of waiting against traffic, ${V} servers`,
      xLabel: "offered traffic [erlang]", yLabel: "probability of waiting",
      series: [{ name: "wait", points: zip(traffic, moravel.erlangCArray(traffic.map(() => V), traffic)) }],
      marker: [A, waitProbability],
    };
  }

  // ---- Classes of the link panel ------------------------------------------

  let nextClass = 0;

  function classRows() {
    return Array.from($("lk-classes").rows, (row) => Number(row.dataset.index));
  }

  function addClass(traffic, demand) {
    const i = nextClass++;
    const row = $("lk-classes").insertRow();
    row.dataset.index = String(i);
    row.innerHTML =
      `<td class="class-name"></td>` +
      `<td><input id="lk-traffic-${i}" inputmode="decimal" aria-label="traffic"></td>` +
      `<td><input id="lk-demand-${i}" inputmode="numeric" aria-label="demand"></td>` +
      `<td><output id="lk-out-blocking-${i}"></output></td>` +
      `<td><output id="lk-out-carried-${i}"></output></td>` +
      `<td><output id="lk-out-kblocking-${i}"></output></td>` +
      `<td><button type="button" class="remove" title="Remove this class">×</button></td>`;
    $("lk-traffic-" + i).value = traffic;
    $("lk-demand-" + i).value = demand;
    row.querySelector(".remove").addEventListener("click", () => {
      row.remove();
      numberClasses();
      calculate();
    });
    numberClasses();
  }

  function numberClasses() {
    Array.from($("lk-classes").rows).forEach((row, j) => {
      row.querySelector(".class-name").textContent = String(j + 1);
    });
  }

  function setClasses(traffic, demand) {
    $("lk-classes").innerHTML = "";
    traffic.forEach((a, j) => addClass(a, demand[j] === undefined ? "1" : demand[j]));
  }

  // ---- The address ---------------------------------------------------------

  function inputsOf(panel) {
    return Array.from(panel.querySelectorAll("input[id], select[id]"))
      .filter((input) => !/^lk-(traffic|demand)-/.test(input.id));
  }

  function addressOfInputs() {
    const params = new URLSearchParams();
    params.set("p", current);
    inputsOf($("panel-" + current)).forEach((input) => params.set(input.id, input.value));
    if (current === "links") {
      const rows = classRows();
      params.set("lk-traffic", rows.map((i) => $("lk-traffic-" + i).value).join(","));
      params.set("lk-demand", rows.map((i) => $("lk-demand-" + i).value).join(","));
    }
    return "#" + params.toString();
  }

  function applyAddress(hash) {
    const params = new URLSearchParams(hash.replace(/^#/, ""));
    const panel = params.get("p");
    if (panel && panels[panel]) current = panel;
    for (const [key, value] of params) {
      const input = $(key);
      if (input && (input.tagName === "INPUT" || input.tagName === "SELECT")) input.value = value;
    }
    if (params.has("lk-traffic")) {
      setClasses(params.get("lk-traffic").split(","), (params.get("lk-demand") || "").split(","));
    }
  }

  // ---- Calculation ---------------------------------------------------------

  function showPanel(name) {
    current = name;
    document.querySelectorAll(".panel").forEach((panel) => { panel.hidden = panel.id !== "panel-" + name; });
    document.querySelectorAll("#tabs button").forEach((button) => {
      button.setAttribute("aria-selected", String(button.dataset.panel === name));
    });
  }

  function calculate() {
    const entry = panels[current];
    const panel = $("panel-" + current);
    clearPanel(panel);
    let plot = null;
    try {
      plot = entry.calculate();
    } catch (error) {
      refuse(error, entry.prefix, entry.fields);
    }
    $("plot-section").hidden = !plot;
    if (plot) {
      $("plot-title").textContent = plot.title;
      MoravelPlot.draw($("plot"), plot.series, plot);
    }
    const address = addressOfInputs();
    $("share").href = address;
    if (location.hash !== address) history.replaceState(null, "", address);
    document.body.dataset.calculations = String(++calculations);
  }

  async function start() {
    moravel = await Moravel.load();
    setClasses(["5", "3"], ["1", "2"]);
    if (location.hash.length > 1) applyAddress(location.hash);
    showPanel(current);
    $("loading").hidden = true;
    calculate();

    document.querySelector("main").addEventListener("input", (event) => {
      if (event.target.closest(".panel")) calculate();
    });
    document.querySelector("main").addEventListener("change", (event) => {
      if (event.target.tagName === "SELECT") calculate();
    });
    $("tabs").addEventListener("click", (event) => {
      const name = event.target.dataset && event.target.dataset.panel;
      if (name) { showPanel(name); calculate(); }
    });
    $("lk-add").addEventListener("click", () => { addClass("1", "1"); calculate(); });
    window.addEventListener("hashchange", () => {
      applyAddress(location.hash);
      showPanel(current);
      calculate();
    });
    document.body.dataset.ready = "true";
  }

  start().catch((error) => {
    $("loading").textContent = "The library could not be loaded: " + error.message;
  });
})();
