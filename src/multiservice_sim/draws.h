// The random draws of the link-subset simulation: where the engines get
// their seeds, exponential times, weighted and equal-weight choices, and
// uniform integers below a bound.
#ifndef MORAVEL_MULTISERVICE_SIM_DRAWS_H
#define MORAVEL_MULTISERVICE_SIM_DRAWS_H

#include <cmath>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "random/mt19937.h"
#include "random/uniform.h"

namespace moravel {

// Gives the 32-bit seed of each engine the simulation creates.  The export
// reads the platform's random device; tests pass a fixed sequence, so that
// a run can be replayed.
using SeedSource = std::function<std::uint32_t()>;

// Exponential times of one rate from an engine of their own:
// -ln(1 - u) / rate with u = CanonicalUniform, so 1 - u is never 0.  Drawn
// one at a time, the values are those of the whole list drawn at once.
class ExponentialTimes {
 public:
  ExponentialTimes(std::uint32_t seed, double rate) : engine_(seed), rate_(rate) {}

  double Next() { return -(std::log(1.0 - CanonicalUniform(engine_)) / rate_); }

 private:
  Mt19937 engine_;
  double rate_;
};

// An index drawn with probabilities proportional to given weights.  The
// weights are normalised by their sum (unless it is exactly 1) and summed
// into a cumulative table q; a draw takes u = CanonicalUniform and returns
// the first j <= m - 2 with q_j >= u, else m - 1.  The last entry is never
// compared, so rounding in the sums cannot push the index past m - 1.  An
// empty list of weights counts as the single weight 1.
class WeightedChoice {
 public:
  explicit WeightedChoice(std::span<const double> weights);

  std::int32_t Draw(Mt19937& engine) const { return IndexOf(CanonicalUniform(engine)); }
  std::int32_t IndexOf(double u) const;

 private:
  std::vector<double> cumulative_;
};

// WeightedChoice over `count` weights of 1.0, giving the same index for
// every u, without its table of `count` entries.
//
// The table is q_0 = w, q_j = q_(j-1) + w with w = 1/count, each sum rounded.
// Inside one binade [2^e, 2^(e+1)) every q_j is a multiple of the binade's
// spacing, and adding w rounds the same way for all of them (a halfway w
// rounds to even, which settles after one step), so the table is a short
// chain of arithmetic runs q_j = start + i * step, exact in doubles: a few
// per binade, at most a few hundred in all.  A draw searches the runs.
class EqualWeightChoice {
 public:
  explicit EqualWeightChoice(std::int32_t count);

  std::int32_t Draw(Mt19937& engine) const { return IndexOf(CanonicalUniform(engine)); }
  std::int32_t IndexOf(double u) const;

 private:
  struct Run {
    std::int32_t first;   // index of the run's first entry
    std::int32_t length;  // entries in the run
    double start;         // q_first
    double step;          // q_(first+i) = start + i * step, exactly
    double last;          // q_(first+length-1)
  };
  std::vector<Run> runs_;  // cover the compared entries 0 .. count - 2
  std::int32_t count_;
};

// r uniform in 0 .. n - 1 (n >= 1) from 32-bit outputs: the high word of
// x * n, rejecting the low words below (2^32 - n) mod n so that every r
// is equally likely (Lemire's multiply-and-reject).
template <class Engine>
std::uint32_t UniformIndex(Engine& engine, std::uint32_t n) {
  std::uint64_t product = std::uint64_t{engine()} * n;
  auto low = static_cast<std::uint32_t>(product);
  if (low < n) {
    const std::uint32_t threshold = (0u - n) % n;
    while (low < threshold) {
      product = std::uint64_t{engine()} * n;
      low = static_cast<std::uint32_t>(product);
    }
  }
  return static_cast<std::uint32_t>(product >> 32);
}

}  // namespace moravel

#endif
