#include "contact_centre/contact_staffing.h"

#include <cmath>
#include <limits>
#include <vector>

#include "formulas/erlang_loss.h"
#include "solvers/bracketed_search.h"

namespace moravel::contact {
namespace {

constexpr std::int32_t kLargestAgents = 2147483646;
constexpr double kLargestTraffic = 1e15;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

std::int64_t Places(std::int32_t lines, std::int32_t n) {
  return lines == 0 ? kUnlimitedPlaces : std::int64_t{lines} - n;
}

// The delay system (no hang-ups, no limit) has figures only above A.
bool HasSteadyState(double A, double p, std::int32_t lines, std::int32_t n) {
  return !(p == kInfinity && lines == 0) || A < static_cast<double>(n);
}

}  // namespace

bool MeetsGoal(const ContactCentreFigures& f, ContactGoal goal, double target,
               double max_occupancy) {
  if (!(f.occupancy <= max_occupancy)) return false;
  switch (goal) {
    case ContactGoal::kServiceLevel: return f.service_level >= target;
    case ContactGoal::kServiceLevelExcludingShortAbandons:
      return f.service_level_excluding_short_abandons >= target;
    case ContactGoal::kMeanAnswerWait: return f.mean_answer_wait <= target;
    case ContactGoal::kAbandonProbability: return f.abandon_probability <= target;
    case ContactGoal::kWaitProbability: return f.wait_probability <= target;
  }
  return false;
}

ContactAgents LeastContactAgents(double A, double h, double p, std::int32_t lines, double t,
                                 ContactGoal goal, double target, double max_occupancy) {
  const std::int32_t most = lines == 0 ? kLargestAgents : lines;
  bool beyond_limit = false;
  // B(k) for k = 0 .. the largest count reached, by the recursion upward.
  std::vector<double> loss{1.0};
  auto loss_below = [&](std::int32_t n) {  // B(n - 1)
    while (static_cast<std::int32_t>(loss.size()) < n) {
      loss.push_back(ErlangLossStep(loss.back(), A, static_cast<std::int32_t>(loss.size())));
    }
    return loss[static_cast<std::size_t>(n - 1)];
  };
  bool overflow = false;
  ContactCentreFigures last{};
  auto meets = [&](std::int32_t n) {
    if (n > kLargestSearchedAgents) {
      beyond_limit = true;
      return false;
    }
    if (!HasSteadyState(A, p, lines, n)) return false;
    const auto f = ContactCentreFromLoss(A, h, p, n, Places(lines, n), t, loss_below(n));
    if (!f) {
      overflow = true;
      return false;
    }
    last = *f;
    return MeetsGoal(*f, goal, target, max_occupancy);
  };
  // Gallop from the traffic's integer part, then bisect (failing, meeting].
  const double start = std::floor(A);
  std::int64_t guess = start < 1.0 ? 1 : start > most ? most : static_cast<std::int64_t>(start);
  std::int64_t failing = 0, meeting = 0;
  if (meets(static_cast<std::int32_t>(guess))) {
    meeting = guess;
    for (std::int64_t step = 1;; step *= 2) {
      const std::int64_t n = meeting - step < 1 ? 1 : meeting - step;
      if (n == meeting) break;
      if (meets(static_cast<std::int32_t>(n))) {
        meeting = n;
        if (n == 1) break;
      } else {
        failing = n;
        break;
      }
    }
  } else {
    failing = guess;
    for (std::int64_t step = 1;; step *= 2) {
      if (beyond_limit) return {StaffingOutcome::kModelLimit, 0, {}};
      if (failing == most) {
        return {overflow ? StaffingOutcome::kOverflow : StaffingOutcome::kUnreachable, 0, {}};
      }
      const std::int64_t n = most - failing > step ? failing + step : most;
      if (meets(static_cast<std::int32_t>(n))) {
        meeting = n;
        break;
      }
      failing = n;
    }
  }
  while (meeting - failing > 1) {
    const std::int64_t middle = failing + (meeting - failing) / 2;
    if (meets(static_cast<std::int32_t>(middle))) {
      meeting = middle;
    } else {
      failing = middle;
    }
  }
  meets(static_cast<std::int32_t>(meeting));
  return {StaffingOutcome::kFound, static_cast<std::int32_t>(meeting), last};
}

ContactTraffic LargestContactTraffic(std::int32_t n, double h, double p, std::int32_t lines,
                                     double t, ContactGoal goal, double target,
                                     double max_occupancy) {
  if (n > kLargestSearchedAgents) return {StaffingOutcome::kModelLimit, 0.0, {}};
  const std::int64_t places = Places(lines, n);
  bool overflow = false;
  // 0 where the goal is met, 1 where not: nondecreasing in A, so the search
  // ends on the last traffic that meets it.
  auto F = [&](double A) {
    if (!HasSteadyState(A, p, lines, n)) return 1.0;
    const auto f = ContactCentreModel(A, h, p, n, places, t);
    if (!f) {
      overflow = true;
      return 1.0;
    }
    return MeetsGoal(*f, goal, target, max_occupancy) ? 0.0 : 1.0;
  };
  double hi = 1.0;
  while (F(hi) == 0.0) {
    hi *= 2.0;
    if (hi > kLargestTraffic) return {StaffingOutcome::kEveryTrafficMeets, 0.0, {}};
  }
  if (overflow) return {StaffingOutcome::kOverflow, 0.0, {}};
  const auto found = LargestAtOrBelow(F, 0.5, 0.0, F(0.0), hi, 1.0, SecantScale::kLinear, 200);
  if (!found) return {StaffingOutcome::kModelLimit, 0.0, {}};
  const double answer = *found;
  const auto f = ContactCentreModel(answer, h, p, n, places, t);
  if (!f || !MeetsGoal(*f, goal, target, max_occupancy)) {
    return {f ? StaffingOutcome::kModelLimit : StaffingOutcome::kOverflow, 0.0, {}};
  }
  return {StaffingOutcome::kFound, answer, *f};
}

}  // namespace moravel::contact
