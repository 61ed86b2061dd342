// plot.js - curves as plain SVG: linear x; y either logarithmic (one grid
// line per decade, for probabilities that span decades) or linear from 0
// to 1 (a service level).
//
// A log axis reaches down only to what matters: options.floor, the lowest
// value a reader needs (a few decades below the target), unless the values
// or the marker stop above it; it never spans more than MAX_DECADES.  A
// curve below the axis leaves the plot there and comes back where it rises.
// The svg's data-y-scale, data-y-low and data-y-high say what was drawn
// (decades for a log axis).
(function (root) {
  "use strict";
  const NS = "http://www.w3.org/2000/svg";
  const COLOURS = ["#1f5fa8", "#c4501b", "#2e8b57", "#8e44ad", "#b8860b", "#d6336c"];
  const FLOOR = 1e-300;
  const MAX_DECADES = 12;

  function element(name, attributes, text) {
    const node = document.createElementNS(NS, name);
    for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, value);
    if (text !== undefined) node.textContent = text;
    return node;
  }

  // Up to six round steps across [lo, hi].
  function linearTicks(lo, hi) {
    const span = hi - lo;
    if (!(span > 0)) return [lo];
    const raw = span / 5;
    const power = Math.pow(10, Math.floor(Math.log10(raw)));
    const step = [1, 2, 5, 10].map((m) => m * power).find((s) => s >= raw);
    const ticks = [];
    for (let x = Math.ceil(lo / step) * step; x <= hi + step * 1e-9; x += step) {
      ticks.push(Number(x.toPrecision(12)));
    }
    return ticks;
  }

  // series: [{name, points: [[x, y], ...]}]; options: title, xLabel, yLabel,
  // scale ("log", the default, or "linear": 0 to 1, or to yMax where given),
  // floor, marker [x, y] or null, reference {y, label} (a horizontal line,
  // such as a target), xLabels (names of the x positions 1, 2, ...).
  function draw(svg, series, options) {
    while (svg.firstChild) svg.removeChild(svg.firstChild);
    const width = 640, height = 360;
    const left = 62, right = 16, top = 14, bottom = 44;
    const linear = options.scale === "linear";
    const usable = (y) => Number.isFinite(y) && (linear || y > FLOOR);
    const plotted = series.map((s) => ({
      name: s.name,
      points: s.points.filter(([x, y]) => Number.isFinite(x) && usable(y)),
    }));
    const all = plotted.flatMap((s) => s.points);
    const marker = options.marker && usable(options.marker[1]) ? options.marker : null;
    if (marker) all.push(marker);
    if (all.length === 0) {
      svg.appendChild(element("text", { x: width / 2, y: height / 2, "text-anchor": "middle" },
                              "nothing to plot: every value is 0"));
      return;
    }
    const xs = all.map((p) => p[0]);
    const ys = all.map((p) => p[1]);
    const xLo = Math.min(...xs), xHi = Math.max(...xs);
    let yLo, yHi, ticks, Y, label;
    if (linear) {
      // A share from 0 to 1, or counts and times from 0 to options.yMax.
      yLo = 0;
      yHi = options.yMax > 0 ? options.yMax : 1;
      ticks = options.yMax > 0 ? linearTicks(0, yHi) : [0, 0.2, 0.4, 0.6, 0.8, 1];
      if (ticks[ticks.length - 1] < yHi) {
        yHi = ticks[ticks.length - 1] + (ticks[1] - ticks[0]);
        ticks.push(yHi);
      }
      Y = (y) => top + (yHi - y) / (yHi - yLo) * (height - top - bottom);
      label = String;
    } else {
      yHi = Math.ceil(Math.log10(Math.max(...ys)));
      yLo = Math.floor(Math.log10(Math.min(...ys)));
      if (options.floor > 0) yLo = Math.max(yLo, Math.floor(Math.log10(options.floor)));
      if (marker) yLo = Math.min(yLo, Math.floor(Math.log10(marker[1])));
      yLo = Math.max(yLo, yHi - MAX_DECADES);
      if (yHi <= yLo) yHi = yLo + 1;
      const decadeStep = Math.max(1, Math.ceil((yHi - yLo) / 10));
      ticks = [];
      for (let d = yLo; d <= yHi; d += decadeStep) ticks.push(d);
      Y = (y) => top + (yHi - Math.log10(y)) / (yHi - yLo) * (height - top - bottom);
      label = (d) => "1e" + d;
    }
    svg.dataset.yScale = linear ? "linear" : "log";
    svg.dataset.yLow = String(yLo);
    svg.dataset.yHigh = String(yHi);
    const inside = (y) => (linear ? y >= yLo && y <= yHi : Math.log10(y) >= yLo - 1e-12);
    const X = (x) => left + (xHi > xLo ? (x - xLo) / (xHi - xLo) : 0.5) * (width - left - right);

    for (const d of ticks) {
      const y = linear ? Y(d) : Y(Math.pow(10, d));
      svg.appendChild(element("line", { class: "grid", x1: left, x2: width - right, y1: y, y2: y }));
      svg.appendChild(element("text", { x: left - 6, y: y + 4, "text-anchor": "end" }, label(d)));
    }
    // Whole x positions may carry names (options.xLabels[x - 1]), at most
    // about eight of them written.
    const names = options.xLabels;
    const xTicks = names ? [] : linearTicks(xLo, xHi);
    if (names) {
      const every = Math.max(1, Math.ceil(names.length / 8));
      for (let x = 1; x <= names.length; x += every) xTicks.push(x);
    }
    for (const x of xTicks) {
      const px = X(x);
      svg.appendChild(element("line", { class: "grid", x1: px, x2: px, y1: top, y2: height - bottom }));
      svg.appendChild(element("text", { x: px, y: height - bottom + 16, "text-anchor": "middle" },
                              names ? names[x - 1] : String(x)));
    }
    svg.appendChild(element("line", { class: "axis", x1: left, x2: left, y1: top, y2: height - bottom }));
    svg.appendChild(element("line", { class: "axis", x1: left, x2: width - right,
                                      y1: height - bottom, y2: height - bottom }));
    svg.appendChild(element("text", { x: (left + width - right) / 2, y: height - 8,
                                      "text-anchor": "middle" }, options.xLabel));
    svg.appendChild(element("text", { x: 14, y: (top + height - bottom) / 2, "text-anchor": "middle",
                                      transform: `rotate(-90 14 ${(top + height - bottom) / 2})` },
                            options.yLabel));
    if (options.reference && inside(options.reference.y)) {
      const y = Y(options.reference.y);
      svg.appendChild(element("line", { class: "reference", x1: left, x2: width - right, y1: y, y2: y }));
      svg.appendChild(element("text", { x: left + 6, y: y - 4 }, options.reference.label));
    }

    plotted.forEach((s, i) => {
      if (s.points.length === 0) return;
      const colour = COLOURS[i % COLOURS.length];
      // One polyline for each run of points on the axis.
      const runs = [[]];
      for (const [x, y] of s.points) {
        if (inside(y)) runs[runs.length - 1].push(`${X(x).toFixed(1)},${Y(y).toFixed(1)}`);
        else if (runs[runs.length - 1].length > 0) runs.push([]);
      }
      for (const run of runs.filter((r) => r.length > 0)) {
        svg.appendChild(element("polyline", { class: "curve", points: run.join(" "), stroke: colour,
                                              "data-series": s.name }));
      }
      if (plotted.length > 1) {
        svg.appendChild(element("text", { x: width - right - 6,
                                          y: height - bottom - 8 - 14 * (plotted.length - 1 - i),
                                          "text-anchor": "end", style: `fill: ${colour}` }, s.name));
      }
    });
    if (marker) {
      const [mx, my] = marker;
      svg.appendChild(element("circle", { cx: X(mx), cy: Y(my), r: 4, fill: "#b3261e" }));
    }
  }

  root.MoravelPlot = { draw };
})(typeof self !== "undefined" ? self : this);
