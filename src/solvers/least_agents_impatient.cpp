#include "solvers/least_agents_impatient.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace moravel {
namespace {

constexpr std::int32_t kLargestAgents = 2147483646;

}  // namespace

bool MeetsTargets(const contact::ContactCentreFigures& f, const StaffingTargets& targets) {
  const double level =
      targets.excluding_short_abandons ? f.service_level_excluding_short_abandons : f.service_level;
  return (targets.service_level == 0.0 || level >= targets.service_level) &&
         (targets.mean_answer_wait == 0.0 || f.mean_answer_wait <= targets.mean_answer_wait) &&
         (targets.abandonment == 0.0 || f.abandon_probability <= targets.abandonment) &&
         (targets.wait_probability == 0.0 || f.wait_probability <= targets.wait_probability) &&
         (targets.occupancy == 0.0 || f.occupancy <= targets.occupancy);
}

ImpatientStaffing LeastAgentsImpatient(double A, double h, double p, double t,
                                       const StaffingTargets& targets, std::int32_t hint) {
  ImpatientStaffing answer;
  const bool patient = p == std::numeric_limits<double>::infinity();
  if (!(A < static_cast<double>(kLargestAgents))) return answer;
  // Without hang-ups the queue has a steady state only above the traffic.
  const std::int32_t least = patient ? static_cast<std::int32_t>(std::floor(A)) + 1 : 1;
  bool overflow = false;
  double carried = 0.0;  // of the last evaluation
  // Evaluates n, keeping the figures of the least n found to meet.
  const auto meets = [&](std::int32_t n) {
    const auto f = contact::ContactCentreModel(A, h, p, n, contact::kUnlimitedPlaces, t);
    if (!f) {
      overflow = true;
      return false;
    }
    carried = f->carried;
    if (!MeetsTargets(*f, targets)) return false;
    answer.agents = n;
    answer.figures = *f;
    return true;
  };
  const auto start = std::clamp(hint > 0 ? hint : static_cast<std::int32_t>(std::ceil(A)), least,
                                kLargestAgents);
  std::int32_t fails = least - 1;  // the largest n known to fail (least - 1: none below)
  std::int32_t met;                // the least n known to meet
  if (meets(start)) {
    met = start;
    for (std::int64_t step = 1; met > least; step *= 2) {
      const auto below = static_cast<std::int32_t>(std::max<std::int64_t>(met - step, least));
      if (!meets(below)) {
        fails = below;
        break;
      }
      met = below;
    }
  } else {
    if (overflow) return {StaffingOutcome::kOverflow};
    fails = start;
    for (std::int64_t step = 1;; step *= 2) {
      if (fails == kLargestAgents) return answer;  // kUnreachable
      // The carried traffic grows with the agents, so no n below
      // carried(fails) / occupancy meets a highest occupancy: when that
      // passes the largest count (with room for rounding), none does.
      if (targets.occupancy > 0.0 &&
          carried / targets.occupancy > static_cast<double>(kLargestAgents) * (1.0 + 1e-9)) {
        return answer;
      }
      const auto above = static_cast<std::int32_t>(std::min<std::int64_t>(fails + step, kLargestAgents));
      if (meets(above)) {
        met = above;
        break;
      }
      fails = above;
    }
  }
  while (met - fails > 1) {
    const std::int32_t middle = fails + (met - fails) / 2;
    if (meets(middle)) {
      met = middle;
    } else {
      fails = middle;
    }
  }
  // The figures kept are those of the last n that met, which is `met`.
  if (answer.agents != met) meets(met);
  if (overflow) return {StaffingOutcome::kOverflow};
  answer.outcome = StaffingOutcome::kFound;
  return answer;
}

}  // namespace moravel
