// The largest double at which a nondecreasing function stays at or below a
// target, from a bracket.
#ifndef MORAVEL_SOLVERS_BRACKETED_SEARCH_H
#define MORAVEL_SOLVERS_BRACKETED_SEARCH_H

#include <cmath>
#include <cstdint>
#include <optional>

#include "numeric/double_bits.h"

namespace moravel {

// How the secant reads the function's values: as they are, or by their
// logarithms (for losses that span hundreds of decades across a bracket,
// where the logarithm is nearly straight and the values are not).
enum class SecantScale { kLinear, kLogarithmic };

// The double halfway between two doubles 0 <= lo < hi in their ordering:
// the middle of their bit patterns, which are ordered as the values are.
// Halving this way closes any bracket in at most 64 steps, however many
// decades it spans.
inline double MiddleDouble(double lo, double hi) {
  const auto a = BitsOfDouble(lo + 0.0);  // -0 as +0
  const auto b = BitsOfDouble(hi);
  return DoubleOfBits(a + (b - a) / 2);
}

// Given 0 <= lo < hi with F(lo) <= target < F(hi) (flo = F(lo), fhi =
// F(hi)), narrows the bracket until lo and hi are neighbouring doubles and
// returns lo: then F(lo) <= target < F(next double above lo).  The
// invariant holds at every step, so the answer has that property even where
// rounding makes F step up and down by an ulp.  nullopt once F has been
// called `most_evaluations` times without closing the bracket.
//
// Each step proposes the secant point of F - target across the bracket
// (regula falsi, on the logarithms of F and the target when asked and both
// ends' values are positive), halving the value kept at the end that stayed
// put twice in a row (the Illinois rule, which restores superlinear
// convergence), and halves the bracket in the ordering of the doubles
// instead when the proposal is not strictly inside or when three steps have
// not halved that ordering's width.  The secant lands within a few ulps of
// the answer after some steps; a step of at least 1/1024 of the bracket
// then brings the far end in, and a few halvings close it.
template <class Function>
std::optional<double> LargestAtOrBelow(Function&& F, double target, double lo, double flo,
                                       double hi, double fhi, SecantScale scale,
                                       long most_evaluations) {
  const bool logarithmic = scale == SecantScale::kLogarithmic;
  const auto along = [&](double value) {
    return logarithmic && flo > 0.0 ? std::log(value) - std::log(target) : value - target;
  };
  double glo = along(flo);  // <= 0
  double ghi = along(fhi);  // > 0
  bool glo_logarithmic = logarithmic && flo > 0.0;
  int kept = 0;  // -1: lo moved last, +1: hi moved last
  const auto order_width = [](double l, double h) {
    return BitsOfDouble(h) - BitsOfDouble(l + 0.0);
  };
  std::uint64_t width_before = order_width(lo, hi);
  for (long step = 1;; ++step) {
    if (order_width(lo, hi) <= 1) return lo;  // neighbours
    if (step > most_evaluations) return std::nullopt;
    // Both ends' values on the same scale: the logarithmic one once F(lo)
    // is positive.
    if (logarithmic && !glo_logarithmic && flo > 0.0) {
      glo = std::log(flo) - std::log(target);
      ghi = std::log(fhi) - std::log(target);
      glo_logarithmic = true;
    }
    const double width = hi - lo;
    double x = lo + width * (-glo / (ghi - glo));
    // A secant point next to an end (as when F(lo) is the target itself)
    // would move that end by an ulp; stepping at least width / 1024 inside
    // makes the far end jump to the answer instead.
    const double least = width / 1024;
    if (!(x >= lo + least)) x = lo + least;
    if (!(x <= hi - least)) x = hi - least;
    const std::uint64_t now = order_width(lo, hi);
    const bool slow = step % 3 == 0 && now > width_before / 2;
    if (step % 3 == 0) width_before = now;
    // Ends whose values are a few ulps apart (a loss that the doubles
    // resolve more coarsely than its argument, flat across runs of
    // neighbouring doubles) give the secant nothing to go on.
    const bool flat = fhi - flo <= 4 * (std::nextafter(fhi, HUGE_VAL) - fhi);
    if (slow || flat || !(x > lo && x < hi)) x = MiddleDouble(lo, hi);
    const double fx = F(x);
    const double gx = glo_logarithmic ? std::log(fx) - std::log(target) : fx - target;
    if (fx <= target) {
      lo = x;
      flo = fx;
      glo = gx < 0.0 ? gx : 0.0;  // log rounding must not cross the target
      if (kept == -1) ghi /= 2;
      kept = -1;
    } else {
      hi = x;
      fhi = fx;
      ghi = gx > 0.0 ? gx : 0x1p-1000;
      if (kept == 1) glo /= 2;
      kept = 1;
    }
  }
}

}  // namespace moravel

#endif
