// format.js - how the page writes a figure: one notation rule for every
// output, so that figures side by side read alike.
//
//   whole numbers below 1e15 in full            64, 2147483647
//   otherwise six significant digits,
//     in decimals from 0.001 up to 1e6          0.00843943, 12.0306
//     in exponent form outside that range       3.4311e-5, 2.0254e-8, 1.23457e+6
(function (root) {
  "use strict";
  const SMALLEST_DECIMAL = 1e-3;
  const LARGEST_DECIMAL = 1e6;

  function readable(x) {
    if (!Number.isFinite(x) || (Number.isInteger(x) && Math.abs(x) < 1e15)) return String(x);
    const rounded = Number(x.toPrecision(6));
    const size = Math.abs(rounded);
    if (size >= SMALLEST_DECIMAL && size < LARGEST_DECIMAL) return String(rounded);
    return rounded.toExponential(5).replace(/\.?0+e/, "e");
  }

  // The double itself, written shortest round-trip.
  const exact = (x) => (Object.is(x, -0) ? "-0" : String(x));

  root.MoravelFormat = { readable, exact, SMALLEST_DECIMAL, LARGEST_DECIMAL };
})(typeof self !== "undefined" ? self : this);
