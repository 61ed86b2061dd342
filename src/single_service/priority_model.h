// Loss system of V servers shared by Poisson classes of falling priority.
#ifndef MORAVEL_SINGLE_SERVICE_PRIORITY_MODEL_H
#define MORAVEL_SINGLE_SERVICE_PRIORITY_MODEL_H

#include <cstdint>
#include <optional>
#include <vector>

namespace moravel {

// Classes 0..j together behave as one Erlang loss system offered their
// summed traffic, so class j loses what that aggregate loses beyond the
// loss of classes 0..j-1.
struct PriorityResults {
  const double* a = nullptr;  // offered traffic per class, borrowed
  std::vector<double> E;      // loss probability per class
  std::vector<double> Y;      // carried traffic per class [erlang]
  std::int32_t V = 0;
  std::int32_t N = 0;
  std::vector<double> R;  // E0, Y0, E1, Y1, ... as written
};

// The loss probability of a class offering A2 - A1 erlangs below classes
// that offer A1 (0 <= A1 < A2, finite): (A2 B(V, A2) - A1 B(V, A1)) /
// (A2 - A1), computed without subtracting the two losses, so that it keeps
// its digits when A2 - A1 is far below A1 (even below an ulp of it, where
// A2 - A1 is the difference of the doubles).
double LossBelowHigherClasses(std::int32_t V, double A1, double A2);

// nullopt when the classes cannot be read: N < 0, or a == nullptr with N > 0.
// A class j >= 1 offering no traffic reports loss 0 and carried traffic 0.
std::optional<PriorityResults> PriorityModel(std::int32_t N, std::int32_t V, const double* a);

}  // namespace moravel

#endif
