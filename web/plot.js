// plot.js - curves of a probability against traffic as plain SVG: linear x,
// logarithmic y (one grid line per decade).
(function (root) {
  "use strict";
  const NS = "http://www.w3.org/2000/svg";
  const COLOURS = ["#1f5fa8", "#c4501b", "#2e8b57", "#8e44ad", "#b8860b", "#d6336c"];
  const FLOOR = 1e-300;

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

  // series: [{name, points: [[x, y], ...]}]; marker: [x, y] or null.
  function draw(svg, series, options) {
    while (svg.firstChild) svg.removeChild(svg.firstChild);
    const width = 640, height = 360;
    const left = 62, right = 16, top = 14, bottom = 44;
    const plotted = series.map((s) => ({
      name: s.name,
      points: s.points.filter(([x, y]) => Number.isFinite(x) && Number.isFinite(y) && y > FLOOR),
    }));
    const all = plotted.flatMap((s) => s.points);
    if (options.marker && options.marker[1] > FLOOR) all.push(options.marker);
    if (all.length === 0) {
      svg.appendChild(element("text", { x: width / 2, y: height / 2, "text-anchor": "middle" },
                              "nothing to plot: every value is 0"));
      return;
    }
    const xs = all.map((p) => p[0]);
    const ys = all.map((p) => p[1]);
    const xLo = Math.min(...xs), xHi = Math.max(...xs);
    let dLo = Math.floor(Math.log10(Math.min(...ys)));
    let dHi = Math.ceil(Math.log10(Math.max(...ys)));
    if (dHi <= dLo) dHi = dLo + 1;
    const decadeStep = Math.max(1, Math.ceil((dHi - dLo) / 10));
    const X = (x) => left + (xHi > xLo ? (x - xLo) / (xHi - xLo) : 0.5) * (width - left - right);
    const Y = (y) => top + (dHi - Math.log10(y)) / (dHi - dLo) * (height - top - bottom);

    for (let d = dLo; d <= dHi; d += decadeStep) {
      const y = Y(Math.pow(10, d));
      svg.appendChild(element("line", { class: "grid", x1: left, x2: width - right, y1: y, y2: y }));
      svg.appendChild(element("text", { x: left - 6, y: y + 4, "text-anchor": "end" }, "1e" + d));
    }
    for (const x of linearTicks(xLo, xHi)) {
      const px = X(x);
      svg.appendChild(element("line", { class: "grid", x1: px, x2: px, y1: top, y2: height - bottom }));
      svg.appendChild(element("text", { x: px, y: height - bottom + 16, "text-anchor": "middle" },
                              String(x)));
    }
    svg.appendChild(element("line", { class: "axis", x1: left, x2: left, y1: top, y2: height - bottom }));
    svg.appendChild(element("line", { class: "axis", x1: left, x2: width - right,
                                      y1: height - bottom, y2: height - bottom }));
    svg.appendChild(element("text", { x: (left + width - right) / 2, y: height - 8,
                                      "text-anchor": "middle" }, options.xLabel));
    svg.appendChild(element("text", { x: 14, y: (top + height - bottom) / 2, "text-anchor": "middle",
                                      transform: `rotate(-90 14 ${(top + height - bottom) / 2})` },
                            options.yLabel));

    plotted.forEach((s, i) => {
      if (s.points.length === 0) return;
      const colour = COLOURS[i % COLOURS.length];
      const path = s.points.map(([x, y]) => `${X(x).toFixed(1)},${Y(y).toFixed(1)}`).join(" ");
      svg.appendChild(element("polyline", { class: "curve", points: path, stroke: colour }));
      if (plotted.length > 1) {
        svg.appendChild(element("text", { x: width - right - 6,
                                          y: height - bottom - 8 - 14 * (plotted.length - 1 - i),
                                          "text-anchor": "end", style: `fill: ${colour}` }, s.name));
      }
    });
    if (options.marker && options.marker[1] > FLOOR) {
      const [mx, my] = options.marker;
      svg.appendChild(element("circle", { cx: X(mx), cy: Y(my), r: 4, fill: "#b3261e" }));
    }
  }

  root.MoravelPlot = { draw };
})(typeof self !== "undefined" ? self : this);
