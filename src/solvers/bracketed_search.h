// The largest double at which a nondecreasing function stays at or below a
// target, from a bracket.
#ifndef MORAVEL_SOLVERS_BRACKETED_SEARCH_H
#define MORAVEL_SOLVERS_BRACKETED_SEARCH_H

#include <cmath>

namespace moravel {

// Given lo < hi with F(lo) <= target < F(hi) (flo = F(lo), fhi = F(hi)),
// narrows the bracket until lo and hi are neighbouring doubles and returns
// lo: then F(lo) <= target < F(next double above lo).  The invariant holds
// at every step, so the answer has that property even where rounding makes
// F step up and down by an ulp.
//
// Each step proposes the secant point of F - target across the bracket
// (regula falsi), halving the value kept at the end that stayed put twice
// in a row (the Illinois rule, which restores superlinear convergence), and
// bisects instead when the proposal is not strictly inside or when three
// steps have not halved the bracket.  The secant lands within a few ulps of
// the answer after a dozen steps or so; a step of at least 1/1024 of the
// bracket then brings the far end in, and a few halvings close it.
template <class Function>
double LargestAtOrBelow(Function&& F, double target, double lo, double flo, double hi, double fhi) {
  double glo = flo - target;  // <= 0
  double ghi = fhi - target;  // > 0
  int kept = 0;               // -1: lo moved last, +1: hi moved last
  double width_before = hi - lo;
  for (int step = 1;; ++step) {
    const double middle = lo + (hi - lo) / 2;
    if (!(middle > lo && middle < hi)) return lo;  // neighbours
    const double width = hi - lo;
    double x = lo + width * (-glo / (ghi - glo));
    // A secant point next to an end (as when F(lo) is the target itself)
    // would move that end by an ulp; stepping at least width / 1024 inside
    // makes the far end jump to the answer instead.
    const double least = width / 1024;
    if (!(x >= lo + least)) x = lo + least;
    if (!(x <= hi - least)) x = hi - least;
    const bool slow = step % 3 == 0 && width > width_before / 2;
    if (step % 3 == 0) width_before = width;
    if (slow || !(x > lo && x < hi)) x = middle;
    const double gx = F(x) - target;
    if (gx <= 0.0) {
      lo = x;
      glo = gx;
      if (kept == -1) ghi /= 2;
      kept = -1;
    } else {
      hi = x;
      ghi = gx;
      if (kept == 1) glo /= 2;
      kept = 1;
    }
  }
}

}  // namespace moravel

#endif
