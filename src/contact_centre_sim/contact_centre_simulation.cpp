#include "contact_centre_sim/contact_centre_simulation.h"

#include "contact_centre_sim/exponential_stream.h"
#include "contact_centre_sim/patience.h"
#include "contact_centre_sim/redial_draws.h"
#include "contact_centre_sim/redial_orbit.h"
#include "contact_centre_sim/run_seeds.h"
#include "contact_centre_sim/waiting_callers.h"
#include "simulation/server_calendar.h"

namespace moravel {
namespace {

struct CallerTally {
  std::int64_t answered = 0;
  std::int64_t gave_up_blocked = 0;
  std::int64_t gave_up_abandoned = 0;
  double redialling_time = 0.0;  // summed in the order of the failures
};

class Replay {
 public:
  Replay(const CentreSetup& centre, std::uint32_t seed)
      : centre_(centre),
        seeds_(SeedsOfRun(seed)),
        arrivals_(seeds_.arrival),
        holdings_(seeds_.holding),
        patiences_(seeds_.patience),
        redials_(seeds_.redial, centre.redial_time),
        patience_(centre),
        agents_(centre.agents, centre.traffic, 1.0) {}

  bool Run(std::int64_t calls, std::int64_t warmup);
  // Run for a centre whose callers never redial: every attempt is a first
  // attempt, in arrival order, and each caller's end is its attempt's.
  // The same draws from each stream in the same order, so the same bits.
  void RunFirstAttempts(std::int64_t calls, std::int64_t warmup);

  const CallTally& attempts() const { return attempts_; }
  const CallTally& first_attempts() const { return first_attempts_; }
  const CallerTally& callers() const { return callers_; }

 private:
  // Places one attempt arriving at `arrival` and says how it ended;
  // `queued` gets its time in the queue and `failed_at` the instant of a
  // busy tone or an abandonment.
  AttemptEnd Place(double arrival, double* queued, double* failed_at);

  const CentreSetup& centre_;
  RunSeeds seeds_;
  ExponentialStream arrivals_;
  ExponentialStream holdings_;
  ExponentialStream patiences_;
  RedialDraws redials_;
  Patience patience_;
  ServerCalendar agents_;
  WaitingCallers waiting_;
  RedialOrbit orbit_;
  CallTally attempts_;
  CallTally first_attempts_;
  CallerTally callers_;
};

AttemptEnd Replay::Place(double arrival, double* queued, double* failed_at) {
  const double holding = holdings_.Next();
  *queued = 0.0;
  if (centre_.LinesLimited()) {
    if (agents_.FreeBefore(arrival)) {
      agents_.Occupy(holding + arrival);
      return AttemptEnd::kAnsweredAtOnce;
    }
    if (centre_.agents + waiting_.Count(arrival) >= static_cast<std::int64_t>(centre_.lines)) {
      *failed_at = arrival;
      return AttemptEnd::kBlocked;
    }
  }
  // Without lines a caller who finds no agent free always waits: the
  // look for a free agent and the taking of the earliest are one pass.
  double start = 0.0;
  if (centre_.LinesLimited()) {
    start = agents_.TakeEarliestFree();
  } else if (agents_.FreeBeforeElseTakeEarliest(arrival, &start)) {
    agents_.Occupy(holding + arrival);
    return AttemptEnd::kAnsweredAtOnce;
  }
  const double patience = patience_.Draw(patiences_);
  const double wait = start - arrival;
  if (wait <= patience) {
    agents_.Occupy(start + holding);
    if (centre_.LinesLimited()) waiting_.AddStart(start);
    *queued = wait;
    return AttemptEnd::kAnsweredLater;
  }
  agents_.Occupy(start);  // not taken after all
  *failed_at = arrival + patience;
  if (centre_.LinesLimited()) waiting_.AddAbandonment(*failed_at);
  *queued = patience;
  return AttemptEnd::kAbandoned;
}

void Replay::RunFirstAttempts(std::int64_t calls, std::int64_t warmup) {
  const std::int64_t end_counted = warmup + calls;
  const double rate = centre_.traffic;
  double next_fresh = 0.0 + arrivals_.Next() / rate;
  for (std::int64_t fresh = 0; fresh < end_counted; ++fresh) {
    const double arrival = next_fresh;
    next_fresh = next_fresh + arrivals_.Next() / rate;
    double queued;
    double failed_at = 0.0;
    const AttemptEnd end = Place(arrival, &queued, &failed_at);
    if (fresh >= warmup) attempts_.Record(end, queued, centre_.answer_time);
  }
  first_attempts_ = attempts_;
  callers_.answered = attempts_.answered();
  callers_.gave_up_blocked = attempts_.blocked();
  callers_.gave_up_abandoned = attempts_.abandoned();
}

bool Replay::Run(std::int64_t calls, std::int64_t warmup) {
  // Without redials no attempt comes back, and at most `calls + warmup`
  // are offered, far within the bound below.
  if (!centre_.Redials()) {
    RunFirstAttempts(calls, warmup);
    return true;
  }
  const std::int64_t end_counted = warmup + calls;
  const std::int64_t bound = kAttemptsPerCallerBound * end_counted;
  const double rate = centre_.traffic;
  std::int64_t fresh = 0;     // first attempts offered so far
  std::int64_t in_orbit = 0;  // counted callers waiting to redial
  std::int64_t offered = 0;   // attempts offered so far
  double next_fresh = 0.0 + arrivals_.Next() / rate;
  while (fresh < end_counted || in_orbit > 0) {
    if (++offered > bound) return false;
    double arrival;
    bool counted;
    bool first;
    if (orbit_.empty() || !(orbit_.Next().instant < next_fresh)) {
      arrival = next_fresh;
      counted = fresh >= warmup && fresh < end_counted;
      first = true;
      ++fresh;
      next_fresh = next_fresh + arrivals_.Next() / rate;
    } else {
      arrival = orbit_.Next().instant;
      counted = orbit_.Next().counted;
      first = false;
      orbit_.Pop();
      if (counted) --in_orbit;
    }
    double queued;
    double failed_at = 0.0;
    const AttemptEnd end = Place(arrival, &queued, &failed_at);
    if (counted) {
      attempts_.Record(end, queued, centre_.answer_time);
      if (first) first_attempts_.Record(end, queued, centre_.answer_time);
    }
    if (end == AttemptEnd::kAnsweredAtOnce || end == AttemptEnd::kAnsweredLater) {
      if (counted) ++callers_.answered;
      continue;
    }
    const bool blocked = end == AttemptEnd::kBlocked;
    const double share = blocked ? centre_.blocked_retry_share : centre_.abandoned_retry_share;
    if (share > 0.0 && redials_.Redials(share)) {
      const double redial = redials_.RedialTime();
      orbit_.Schedule(failed_at + redial, counted);
      if (counted) {
        ++in_orbit;
        callers_.redialling_time += redial;
      }
    } else if (counted) {
      ++(blocked ? callers_.gave_up_blocked : callers_.gave_up_abandoned);
    }
  }
  return true;
}

}  // namespace

std::optional<ContactCentreEstimate> SimulateContactCentre(const CentreSetup& centre,
                                                           std::int64_t calls, std::int64_t warmup,
                                                           std::uint32_t seed) {
  Replay replay(centre, seed);
  if (!replay.Run(calls, warmup)) return std::nullopt;
  const double callers = static_cast<double>(calls);
  const double A = centre.traffic;
  ContactCentreEstimate e;
  e.attempt = replay.attempts().Figures(A, centre.agents, calls);
  e.first_attempt = replay.first_attempts().Figures(A, centre.agents, calls);
  e.attempts_per_caller = static_cast<double>(replay.attempts().offered()) / callers;
  e.offered_total = A * e.attempts_per_caller;
  e.retry_traffic = A * (static_cast<double>(replay.attempts().offered() - calls) / callers);
  e.answered_share = static_cast<double>(replay.callers().answered) / callers;
  e.blocked_share = static_cast<double>(replay.callers().gave_up_blocked) / callers;
  e.abandoned_share = static_cast<double>(replay.callers().gave_up_abandoned) / callers;
  e.redialling = A * (replay.callers().redialling_time / callers);
  e.seed = seed;
  return e;
}

}  // namespace moravel
