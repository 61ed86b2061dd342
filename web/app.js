// app.js - the calculator page: keeps the panels' inputs, hands them to a
// Web Worker (worker.js, running calc.js) after a pause in typing, and
// shows what comes back: the figures, the refusals beside their fields, a
// plot; the inputs are kept in the address.
//
// The main thread never computes a model: a keystroke only restarts the
// pause.  Input that arrives while a job runs overtakes it: the worker is
// terminated and a fresh one started, so that stale work costs nothing.
// Where no worker can be made (a page opened from a file:// address) the
// same calc.js runs in the page after the pause.
//
// Every figure is shown in the notation of format.js; its element's
// data-value (and tooltip) holds the double itself, written shortest
// round-trip, so that the exact result can be read back.
(function () {
  "use strict";

  const $ = (id) => document.getElementById(id);
  const { readable, exact } = MoravelFormat;
  let current = "erlang-b";
  let calculations = 0;

  // The page's timings, in ms (window.MoravelPage.timings, where the
  // browser test reads them and shortens the limits):
  //   pause       the pause in typing before a computation starts
  //   working     after this long a running job says so
  //   linkSearch  how long the least-links search may run before it is stopped
  //   job         how long any other stage may run
  const timings = { pause: 150, working: 200, linkSearch: 10000, job: 60000 };
  window.MoravelPage = { timings };

  // ---- Writing results -----------------------------------------------------

  function put(id, x) {
    const out = $(id);
    if (!out || out.dataset.value === exact(x)) return;   // shown already
    out.textContent = readable(x);
    out.dataset.value = exact(x);
    out.title = exact(x);
  }

  // Clears the panel's outputs but those about to be written (`keep`).
  function clearPanel(panel, keep = {}) {
    panel.querySelectorAll("output").forEach((out) => {
      if (out.id in keep || !out.dataset.value) return;
      out.textContent = "";
      delete out.dataset.value;
      out.removeAttribute("title");
    });
    panel.querySelectorAll(".msg").forEach((msg) => { msg.textContent = ""; });
    panel.querySelectorAll("[aria-invalid]").forEach((input) => input.removeAttribute("aria-invalid"));
  }

  // The name a reader sees for a field: its label, or the column of a class.
  function fieldName(field) {
    const label = document.querySelector(`label[for="${field}"]`);
    if (label) return label.textContent.trim();
    return "";
  }

  // A field's name in the library's sentences: its label without the unit
  // or the note after it ("Mean holding time (seconds)": "Mean holding time").
  function argumentName(field) {
    return fieldName(field).split(/ \(| \[|,/)[0];
  }

  // The text of a refusal: the library's reason after the field's name,
  // which takes the place of the library's subject ("Servers V must be at
  // least 1"), or comes before a reason that names no argument ("Links k:
  // ..."); the page's own message as it stands.
  function refusalText(refusal) {
    const name = refusal.status !== undefined && refusal.field ? argumentName(refusal.field) : "";
    if (!name) return refusal.message;
    return name + (refusal.subject ? " " : ": ") + refusal.reason;
  }

  // Shows a refusal beside its field; in a slot that several fields share,
  // the message names the field.
  function refuse(refusal, prefix) {
    const field = refusal.field;
    const own = field && $(field + "-msg");
    const slot = own || (field && $(prefix + "-classes-msg")) || $(prefix + "-msg");
    const text = refusalText(refusal);
    const name = !own && field && text === refusal.message ? fieldName(field) : "";
    slot.textContent = name ? `${name}: ${text}` : text;
    if (field && $(field)) $(field).setAttribute("aria-invalid", "true");
  }

  // What the panel shows now, so that a job's later stages, which repeat
  // the figures of its first, do not write them again.
  let shownFigures = "";

  function show(snapshot) {
    const panel = $("panel-" + current);
    const figures = JSON.stringify([current, snapshot.outputs, snapshot.refusals, snapshot.dayRows]);
    if (figures !== shownFigures) {
      shownFigures = figures;
      if (current === "contact-centre") dayRows(snapshot.dayRows || []);
      clearPanel(panel, snapshot.outputs);
      for (const [id, x] of Object.entries(snapshot.outputs)) put(id, x);
      for (const refusal of snapshot.refusals) refuse(refusal, panel.dataset.prefix);
    }
    $("plot-note").textContent = snapshot.note;
    const plot = snapshot.plot;
    $("plot-section").hidden = !plot && !snapshot.note;
    $("plot").hidden = !plot;
    if (plot) {
      $("plot-title").textContent = plot.title;
      MoravelPlot.draw($("plot"), plot.series, plot);
    } else {
      $("plot-title").textContent = "Plot";
    }
  }

  // The rows of a day's plan, one an interval and the day's, for the
  // figures to fill.
  const DAY_KEYS = ["calls", "traffic", "needed", "scheduled", "sl", "sl-excluding", "asa", "abandon", "occupancy"];
  const DAY_TITLES = ["Calls", "Traffic [erlang]", "Agents needed", "Agents to schedule",
                      "Service level, all offered calls", "Service level, offered less hung up within t",
                      "ASA (seconds)", "Hanging up", "Occupancy"];

  // The rows of a day's plan are kept between jobs: a row typed or removed
  // adds or removes one row of outputs, and the others only change their
  // labels, so that typing into a long day does not rebuild its table.
  function dayRow(body, before) {
    const row = body.insertRow(before ? before.sectionRowIndex : -1);
    const name = row.insertCell();
    name.dataset.label = "Interval";
    DAY_KEYS.forEach((key, k) => {
      const cell = row.insertCell();
      cell.dataset.label = DAY_TITLES[k];
      cell.appendChild(document.createElement("output"));
    });
    return row;
  }

  function nameRow(row, label, prefix) {
    if (row.cells[0].textContent !== label) row.cells[0].textContent = label;
    DAY_KEYS.forEach((key, k) => { row.cells[k + 1].firstChild.id = prefix + key; });
  }

  function dayRows(rows) {
    const body = $("ct-day-rows");
    if (rows.length === 0) {
      body.textContent = "";
      return;
    }
    let total = body.querySelector("tr.total");
    if (!total) {
      total = dayRow(body, null);
      total.className = "total";
      nameRow(total, "Day", "ct-day-total-");
    }
    while (body.rows.length - 1 > rows.length) body.deleteRow(body.rows.length - 2);
    while (body.rows.length - 1 < rows.length) dayRow(body, total);
    rows.forEach((r, j) => nameRow(body.rows[j], r.label, `ct-day-${j}-`));
  }

  // ---- The request -------------------------------------------------------------

  function classRows() {
    return Array.from($("lk-classes").rows, (row) => Number(row.dataset.index));
  }

  function request() {
    const values = {};
    inputsOf($("panel-" + current)).forEach((input) => { values[input.id] = input.value; });
    const classes = current !== "links" ? [] : classRows().map((i) => {
      values["lk-traffic-" + i] = $("lk-traffic-" + i).value;
      values["lk-demand-" + i] = $("lk-demand-" + i).value;
      return { index: i };
    });
    return { panel: current, values, classes };
  }

  // ---- Running jobs ------------------------------------------------------------

  let worker = null;       // null where no worker can be made
  let canUseWorker = typeof Worker !== "undefined";
  let running = null;      // the job number in flight, or null
  let jobs = 0;
  let pause = null;
  let workingTimer = null;
  let limitTimer = null;
  let inPage = null;       // the library in the page, loaded only without a worker

  function status(text, state) {
    $("status").textContent = text;
    document.body.dataset.state = state;
  }

  function spawn() {
    try {
      worker = new Worker("worker.js");
    } catch (error) {
      canUseWorker = false;
      worker = null;
      return;
    }
    worker.onmessage = (event) => receive(event.data.job, event.data.snapshot);
    worker.onerror = (event) => {
      event.preventDefault();
      if (running === null) return;
      // A worker that cannot start (no worker scripts from this address):
      // the page computes for itself from now on.
      stopWorker();
      canUseWorker = false;
      const job = running;
      running = null;
      start(job);
    };
  }

  function stopWorker() {
    if (worker) worker.terminate();
    worker = null;
  }

  function stopTimers() {
    clearTimeout(workingTimer);
    clearTimeout(limitTimer);
  }

  // Called on every input: the page answers at once, the work waits for a
  // pause in typing.
  function schedule() {
    if (running !== null) {
      // Stale work: drop it now rather than after the pause.
      stopWorker();
      running = null;
      stopTimers();
    }
    clearTimeout(pause);
    status("", "pending");
    document.body.dataset.busy = "true";
    pause = setTimeout(() => start(++jobs), timings.pause);
  }

  function start(job) {
    pause = null;
    running = job;
    const req = request();
    updateAddress();
    stopTimers();
    workingTimer = setTimeout(() => {
      if (running === job) status("Computing… (change any input to overtake this)", "working");
    }, timings.working);
    limitTimer = setTimeout(() => stopJob(job, timings.job), timings.job);
    if (canUseWorker && !worker) spawn();
    if (worker) {
      worker.postMessage({ job, request: req });
      return;
    }
    // No worker: compute here, after the pause.
    const go = (moravel) => {
      if (running === job) MoravelCalc.run(moravel, req, (snapshot) => receive(job, snapshot));
    };
    if (inPage) go(inPage);
    else Moravel.load().then((moravel) => { inPage = moravel; go(moravel); });
  }

  // Stops a job that ran too long, keeping what it has shown.
  function stopJob(job, limit) {
    if (running !== job) return;
    stopWorker();
    running = null;
    stopTimers();
    const seconds = limit / 1000;
    shownFigures = "";   // the message below is no job's figures: the next job writes them all
    if (lastStage === "links") {
      $("lk-target-msg").textContent =
        `the least-links search was stopped after ${seconds} s: try a larger blocking target or fewer units`;
    } else {
      $(($("panel-" + current).dataset.prefix) + "-msg").textContent =
        `stopped after ${seconds} s without an answer: change an input to try again`;
    }
    finish("stopped");
  }

  let lastStage = "";

  function receive(job, snapshot) {
    if (job !== running) return;
    lastStage = snapshot.stage;
    show(snapshot);
    if (snapshot.stage === "links" && !snapshot.done) {
      clearTimeout(limitTimer);
      limitTimer = setTimeout(() => stopJob(job, timings.linkSearch), timings.linkSearch);
      if (document.body.dataset.state === "working") {
        status("Searching for the least links… (change any input to overtake this)", "working");
      }
    }
    if (snapshot.done) {
      running = null;
      stopTimers();
      finish("idle");
    }
  }

  function finish(state) {
    status("", state);
    document.body.dataset.busy = "false";
    document.body.dataset.calculations = String(++calculations);
  }

  // ---- What the main thread does at once -------------------------------------

  // Disables the input of the figure to be found, shows the fields of the
  // model chosen and the labels that follow a choice.
  const PANELS = ["erlang-b", "erlang-c", "engset", "call-centre", "contact-centre", "links"];
  const FOUND = {
    "erlang-b": ["eb-find", { loss: "eb-loss", servers: "eb-servers", traffic: "eb-traffic" }],
    "erlang-c": ["ec-find", { service: "ec-service", servers: "ec-servers", traffic: "ec-traffic" }],
    engset: ["en-find", { loss: "en-loss", servers: "en-servers", traffic: "en-traffic" }],
  };

  const TARGET_LABELS = {
    "sl-offered": "Service level, at least", "sl-excluding": "Service level, at least",
    asa: "Mean wait of answered calls, at most (seconds)", abandon: "Share hanging up, at most",
    wait: "Probability of waiting, at most",
  };

  function arrange() {
    for (const [find, names] of Object.values(FOUND)) {
      const value = $(find).value;
      for (const [choice, id] of Object.entries(names)) $(id).disabled = choice === value;
    }
    $("lk-subset-field").hidden = $("lk-model").value !== "subset";
    const mode = $("ct-mode").value;
    $("panel-contact-centre").querySelectorAll("[data-mode]").forEach((el) => {
      el.hidden = el.dataset.mode !== mode;
    });
    $("ct-target-label").textContent = TARGET_LABELS[$("ct-target-kind").value];
    const idle = $("en-form").value === "idle";
    $("en-traffic-label").textContent = idle ? "Traffic per idle source b [erlang]"
                                             : "Offered traffic per source a [erlang]";
  }

  // ---- Classes of the link panel ------------------------------------------

  let nextClass = 0;

  function addClass(traffic, demand) {
    const i = nextClass++;
    const row = $("lk-classes").insertRow();
    row.dataset.index = String(i);
    row.innerHTML =
      `<td class="class-name" data-label="Class"></td>` +
      `<td data-label="Traffic [erlang]"><input id="lk-traffic-${i}" inputmode="decimal" aria-label="traffic"></td>` +
      `<td data-label="Demand [units]"><input id="lk-demand-${i}" inputmode="numeric" aria-label="demand"></td>` +
      `<td data-label="Blocking"><output id="lk-out-blocking-${i}"></output></td>` +
      `<td data-label="Carried [units]"><output id="lk-out-carried-${i}"></output></td>` +
      `<td data-label="Blocking at the least links"><output id="lk-out-kblocking-${i}"></output></td>` +
      `<td><button type="button" class="remove" title="Remove this class">×</button></td>`;
    $("lk-traffic-" + i).value = traffic;
    $("lk-demand-" + i).value = demand;
    row.querySelector(".remove").addEventListener("click", () => {
      row.remove();
      numberClasses();
      schedule();
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
    return Array.from(panel.querySelectorAll("input[id], select[id], textarea[id]"))
      .filter((input) => !/^lk-(traffic|demand)-/.test(input.id));
  }

  function addressOfInputs() {
    const params = new URLSearchParams();
    params.set("p", current);
    inputsOf($("panel-" + current)).forEach((input) => params.set(input.id, input.value));
    if (current === "links") {
      const rows = classRows();
      params.set("lk-class-traffic", rows.map((i) => $("lk-traffic-" + i).value).join(";"));
      params.set("lk-class-demand", rows.map((i) => $("lk-demand-" + i).value).join(";"));
    }
    return "#" + params.toString();
  }

  function updateAddress() {
    const address = addressOfInputs();
    $("share").href = address;
    if (location.hash !== address) history.replaceState(null, "", address);
  }

  function applyAddress(hash) {
    const params = new URLSearchParams(hash.replace(/^#/, ""));
    const panel = params.get("p");
    if (PANELS.includes(panel)) current = panel;
    for (const [key, value] of params) {
      const input = $(key);
      if (input && ["INPUT", "SELECT", "TEXTAREA"].includes(input.tagName)) input.value = value;
    }
    // The classes, separated by ";" (a decimal comma may be inside one);
    // addresses written before decimal commas were read used "," and other names.
    if (params.has("lk-class-traffic")) {
      setClasses(params.get("lk-class-traffic").split(";"), (params.get("lk-class-demand") || "").split(";"));
    } else if (params.has("lk-traffic")) {
      setClasses(params.get("lk-traffic").split(","), (params.get("lk-demand") || "").split(","));
    }
  }

  // ---- Panels ----------------------------------------------------------------

  function showPanel(name) {
    current = name;
    document.querySelectorAll(".panel").forEach((panel) => { panel.hidden = panel.id !== "panel-" + name; });
    document.querySelectorAll("#tabs button").forEach((button) => {
      button.setAttribute("aria-selected", String(button.dataset.panel === name));
    });
    $("plot-section").hidden = true;
  }

  function begin() {
    setClasses(["5", "3"], ["1", "2"]);
    if (location.hash.length > 1) applyAddress(location.hash);
    showPanel(current);
    arrange();
    $("loading").hidden = true;

    const main = document.querySelector("main");
    main.addEventListener("input", (event) => {
      if (event.target.closest(".panel")) { arrange(); schedule(); }
    });
    main.addEventListener("change", (event) => {
      if (event.target.tagName === "SELECT") { arrange(); schedule(); }
    });
    $("tabs").addEventListener("click", (event) => {
      const name = event.target.dataset && event.target.dataset.panel;
      if (name) { showPanel(name); schedule(); }
    });
    $("lk-add").addEventListener("click", () => { addClass("1", "1"); schedule(); });
    window.addEventListener("hashchange", () => {
      if (location.hash === $("share").getAttribute("href")) return;
      applyAddress(location.hash);
      showPanel(current);
      arrange();
      schedule();
    });
    document.body.dataset.ready = "true";
    schedule();
  }

  try {
    begin();
  } catch (error) {
    $("loading").textContent = "The page could not start: " + error.message;
  }
})();
