#include "reference/contact_centre_reference.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "random/mt19937.h"
#include "random/second_seed.h"
#include "random/uniform.h"

namespace moravel::reference {

ExactCentre BirthDeathCentre(double A, std::int32_t n, std::int32_t L, double p, double t) {
  using R = long double;
  const R a = A;
  const R theta = std::isinf(p) ? 0.0L : 1.0L / static_cast<R>(p);
  // Unnormalised weights q_x, x callers in the centre; without lines the
  // chain is cut where the weights fall below 1e-60 of their largest.
  std::vector<R> q{1.0L};
  R largest = 1.0L;
  for (std::int64_t x = 1;; ++x) {
    if (L != 0 && x > L) break;
    const R deaths = std::min<std::int64_t>(x, n) + (x > n ? static_cast<R>(x - n) * theta : 0.0L);
    q.push_back(q.back() * a / deaths);
    largest = std::max(largest, q.back());
    if (L == 0 && x > n && q.back() < 1e-60L * largest) break;
  }
  const std::int64_t K = static_cast<std::int64_t>(q.size()) - 1;
  R total = 0.0L;
  for (R w : q) total += w;
  std::vector<R> pi(q.size());
  for (std::size_t x = 0; x < q.size(); ++x) pi[x] = q[x] / total;

  ExactCentre e{};
  const std::int64_t last_admitted = L != 0 ? static_cast<std::int64_t>(L) - 1 : K;
  e.blocked_probability = L != 0 ? pi[static_cast<std::size_t>(L)] : 0.0L;
  R at_once = 0.0L, waiting = 0.0L, queue = 0.0L, busy = 0.0L;
  for (std::int64_t x = 0; x <= K; ++x) {
    const R w = pi[static_cast<std::size_t>(x)];
    if (x < n) at_once += w;
    if (x >= n && x <= last_admitted) waiting += w;
    queue += static_cast<R>(std::max<std::int64_t>(x - n, 0)) * w;
    busy += static_cast<R>(std::min<std::int64_t>(x, n)) * w;
  }
  e.wait_probability = waiting;
  e.queue_length = queue;
  e.abandon_probability = theta * queue / a;
  e.mean_wait = queue / a;
  e.occupancy = busy / static_cast<R>(n);

  // A caller finding j waiting (j = 0 .. J) passes stages k = j .. 0 of
  // rates n + k theta while its patience runs at rate theta.
  const std::int64_t J = last_admitted - n;
  R answered_wait = 0.0L, answered = at_once;
  for (std::int64_t j = 0; j <= J; ++j) {
    R p_answer = 1.0L, mean = 0.0L;
    for (std::int64_t k = 0; k <= j; ++k) {
      const R out = n + static_cast<R>(k + 1) * theta;
      p_answer *= (n + static_cast<R>(k) * theta) / out;
      mean += 1.0L / out;
    }
    const R w = pi[static_cast<std::size_t>(n + j)];
    answered += w * p_answer;
    answered_wait += w * p_answer * mean;
  }
  e.mean_answer_wait = answered_wait / answered;
  e.carried = a * answered;

  // Uniformised: from k, to k - 1 (or answered from 0) with (n + k theta)
  // / Lambda, abandoned with theta / Lambda.
  R answered_by_t = 0.0L, abandoned_by_t = 0.0L;
  if (J >= 0 && t > 0.0) {
    const R Lambda = n + static_cast<R>(J + 1) * theta;
    const R mean_jumps = Lambda * static_cast<R>(t);
    const std::int64_t M =
        static_cast<std::int64_t>(mean_jumps + 30.0L * std::sqrt(mean_jumps) + 100.0L);
    std::vector<R> v(static_cast<std::size_t>(J + 1));
    for (std::int64_t k = 0; k <= J; ++k)
      v[static_cast<std::size_t>(k)] = pi[static_cast<std::size_t>(n + k)];
    R ans = 0.0L, ab = 0.0L, weight = std::exp(-mean_jumps), mass = weight;
    for (std::int64_t m = 1; m <= M; ++m) {
      R moved_in = 0.0L;
      for (std::int64_t k = J; k >= 0; --k) {
        const R here = v[static_cast<std::size_t>(k)];
        const R forward = here * (n + static_cast<R>(k) * theta) / Lambda;
        ab += here * theta / Lambda;
        v[static_cast<std::size_t>(k)] = here - forward - here * theta / Lambda + moved_in;
        moved_in = forward;
      }
      ans += moved_in;  // forward from k = 0: answered
      weight *= mean_jumps / static_cast<R>(m);
      mass += weight;
      answered_by_t += weight * ans;
      abandoned_by_t += weight * ab;
    }
    (void)mass;
  }
  e.abandon_within_answer_time = abandoned_by_t;
  e.service_level = at_once + answered_by_t;
  e.service_level_excluding_short_abandons = e.service_level / (1.0L - abandoned_by_t);
  return e;
}

namespace {

class Draws {
 public:
  explicit Draws(std::uint32_t seed) : engine_(seed) {}
  double Uniform() { return CanonicalUniform(engine_); }
  double Exponential() { return -std::log(1.0 - Uniform()); }

 private:
  Mt19937 engine_;
};

struct Pending {
  double instant;
  std::uint64_t order;
  bool counted;
};

struct Counts {
  std::int64_t offered = 0, waited = 0, abandoned = 0, blocked = 0, within = 0,
               abandoned_within = 0;
  double answered_wait = 0.0, queue_time = 0.0;
};

double Share(std::int64_t count, std::int64_t total) {
  return total == 0 ? 0.0 : static_cast<double>(count) / static_cast<double>(total);
}

CallFigures FiguresOf(const Counts& c, double A, std::int32_t n, std::int64_t calls) {
  CallFigures f;
  const std::int64_t answered = c.offered - c.abandoned - c.blocked;
  f.wait_probability = Share(c.waited, c.offered);
  f.blocked_probability = Share(c.blocked, c.offered);
  f.abandon_probability = Share(c.abandoned, c.offered);
  f.abandon_within_answer_time = Share(c.abandoned_within, c.offered);
  f.service_level = Share(c.within, c.offered);
  f.service_level_excluding_short_abandons = Share(c.within, c.offered - c.abandoned_within);
  f.mean_answer_wait = answered == 0 ? 0.0 : c.answered_wait / static_cast<double>(answered);
  f.mean_wait = c.offered == 0 ? 0.0 : c.queue_time / static_cast<double>(c.offered);
  f.queue_length = A * (c.queue_time / static_cast<double>(calls));
  f.carried = A * (static_cast<double>(answered) / static_cast<double>(calls));
  f.occupancy = f.carried / static_cast<double>(n);
  return f;
}

}  // namespace

ContactCentreEstimate ContactCentreReplay(const CentreSetup& centre, std::int64_t calls,
                                          std::int64_t warmup, std::uint32_t seed) {
  Draws arrivals(seed);
  Draws holdings(SecondSeed(seed));
  Draws patiences(SecondSeed(SecondSeed(seed)));
  Draws redials(SecondSeed(SecondSeed(SecondSeed(seed))));
  std::vector<double> servers(static_cast<std::size_t>(centre.agents), 0.0);
  std::vector<double> leaving;  // the leaving instants of the callers waiting (with lines)
  std::vector<Pending> orbit;
  std::uint64_t scheduled = 0;
  Counts all, first;
  std::int64_t answered_callers = 0, gave_up_blocked = 0, gave_up_abandoned = 0;
  double redialling_time = 0.0;

  auto patience_of = [&]() {
    const double m = centre.patience;
    if (std::isinf(m)) return m;
    switch (centre.patience_distribution) {
      case PatienceDistribution::kDeterministic: return m;
      case PatienceDistribution::kErlang: {
        double sum = patiences.Exponential();
        for (std::int32_t k = 1; k < centre.patience_phases; ++k)
          sum = sum + patiences.Exponential();
        return (m / centre.patience_phases) * sum;
      }
      case PatienceDistribution::kExponential: break;
    }
    return m * patiences.Exponential();
  };

  const std::int64_t end_counted = warmup + calls;
  std::int64_t fresh = 0, in_orbit = 0;
  double next_fresh = 0.0 + arrivals.Exponential() / centre.traffic;
  while (fresh < end_counted || in_orbit > 0) {
    auto earliest =
        std::min_element(orbit.begin(), orbit.end(), [](const Pending& x, const Pending& y) {
          return x.instant < y.instant || (x.instant == y.instant && x.order < y.order);
        });
    double a;
    bool counted, is_first;
    if (earliest == orbit.end() || !(earliest->instant < next_fresh)) {
      a = next_fresh;
      counted = fresh >= warmup && fresh < end_counted;
      is_first = true;
      ++fresh;
      next_fresh = next_fresh + arrivals.Exponential() / centre.traffic;
    } else {
      a = earliest->instant;
      counted = earliest->counted;
      is_first = false;
      orbit.erase(earliest);
      if (counted) --in_orbit;
    }
    const double h = holdings.Exponential();
    auto server = std::min_element(servers.begin(), servers.end());
    // 0: at once, 1: answered later, 2: abandoned, 3: blocked
    int end;
    double queued = 0.0, failed_at = 0.0;
    if (*server < a) {
      *server = h + a;
      end = 0;
    } else {
      // Callers still waiting: those leaving at or after the arrival.
      leaving.erase(std::remove_if(leaving.begin(), leaving.end(), [a](double x) { return x < a; }),
                    leaving.end());
      const auto in_queue = static_cast<std::int64_t>(leaving.size());
      if (centre.lines != 0 && centre.agents + in_queue >= centre.lines) {
        end = 3;
        failed_at = a;
      } else {
        const double patience = patience_of();
        const double wait = *server - a;
        if (wait <= patience) {
          end = 1;
          queued = wait;
          if (centre.lines != 0) leaving.push_back(*server);
          *server = *server + h;
        } else {
          end = 2;
          queued = patience;
          failed_at = a + patience;
          if (centre.lines != 0) leaving.push_back(failed_at);
        }
      }
    }
    for (Counts* c : {&all, &first}) {
      if (!counted || (c == &first && !is_first)) continue;
      ++c->offered;
      if (end == 0) ++c->within;
      if (end == 1) {
        ++c->waited;
        c->within += queued <= centre.answer_time ? 1 : 0;
        c->answered_wait += queued;
        c->queue_time += queued;
      }
      if (end == 2) {
        ++c->waited;
        ++c->abandoned;
        c->abandoned_within += queued <= centre.answer_time ? 1 : 0;
        c->queue_time += queued;
      }
      if (end == 3) ++c->blocked;
    }
    if (end <= 1) {
      if (counted) ++answered_callers;
      continue;
    }
    const double share = end == 3 ? centre.blocked_retry_share : centre.abandoned_retry_share;
    if (share > 0.0 && redials.Uniform() < share) {
      const double redial = centre.redial_time * redials.Exponential();
      orbit.push_back({failed_at + redial, scheduled++, counted});
      if (counted) {
        ++in_orbit;
        redialling_time += redial;
      }
    } else if (counted) {
      ++(end == 3 ? gave_up_blocked : gave_up_abandoned);
    }
  }
  const double callers = static_cast<double>(calls);
  const double A = centre.traffic;
  ContactCentreEstimate e;
  e.attempt = FiguresOf(all, A, centre.agents, calls);
  e.first_attempt = FiguresOf(first, A, centre.agents, calls);
  e.attempts_per_caller = static_cast<double>(all.offered) / callers;
  e.offered_total = A * e.attempts_per_caller;
  e.retry_traffic = A * (static_cast<double>(all.offered - calls) / callers);
  e.answered_share = static_cast<double>(answered_callers) / callers;
  e.blocked_share = static_cast<double>(gave_up_blocked) / callers;
  e.abandoned_share = static_cast<double>(gave_up_abandoned) / callers;
  e.redialling = A * (redialling_time / callers);
  e.seed = seed;
  return e;
}

}  // namespace moravel::reference
