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
  const double* a = nullptr;   // offered traffic per class, borrowed
  std::vector<double> E;       // loss probability per class
  std::vector<double> Y;       // carried traffic per class [erlang]
  std::int32_t V = 0;
  std::int32_t N = 0;
  std::vector<double> R;       // E0, Y0, E1, Y1, ... as written
};

// nullopt when the classes cannot be read: N < 0, or a == nullptr with N > 0.
// A class j >= 1 offering no traffic reports loss 0 and carried traffic 0.
std::optional<PriorityResults> PriorityModel(std::int32_t N, std::int32_t V, const double* a);

}  // namespace moravel

#endif
