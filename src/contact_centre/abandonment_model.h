// A contact centre with impatient callers: the M/M/n+M queue, optionally
// with L lines (M/M/n/L+M), and the delay system when callers never hang up.
#ifndef MORAVEL_CONTACT_CENTRE_ABANDONMENT_MODEL_H
#define MORAVEL_CONTACT_CENTRE_ABANDONMENT_MODEL_H

#include <cstdint>
#include <optional>

namespace moravel::contact {

// The figures, each over all offered calls unless said otherwise; waits in
// the unit of the handling time.
struct ContactCentreFigures {
  double wait_probability;                        // finds every agent busy and a line free: queues
  double blocked_probability;                     // finds every line busy (0 without a limit)
  double abandon_probability;                     // hangs up before an answer
  double abandon_within_answer_time;              // hangs up after waiting at most t
  double service_level;                           // answered after waiting at most t
  double service_level_excluding_short_abandons;  // the same over offered less abandoned within t
  double mean_answer_wait;                        // mean wait of answered calls (ASA)
  double mean_wait;     // mean wait of all calls: 0 for blocked, until hang-up for abandoned
  double queue_length;  // mean number of calls waiting
  double occupancy;     // carried traffic over agents
  double carried;       // carried traffic [erlang]: A x P(answered)
};

// The queue places beyond the agents that lines may add at most: the
// blocking term takes one step per place.
inline constexpr std::int64_t kLargestQueuePlaces = 10000000;
// `places` for no limit on the calls waiting.
inline constexpr std::int64_t kUnlimitedPlaces = -1;

// A erlangs (finite, >= 0), handling time h (finite, > 0), patience p (> 0,
// +inf for callers who never hang up), n >= 1 agents, `places` = L - n
// places to wait (kUnlimitedPlaces for no limit, else 0 .. kLargestQueuePlaces:
// 0 is the loss system), answer time
// t (finite, >= 0, unit of h).  Without a limit and with p = +inf, A < n:
// the delay system, whose figures are WaitingFromLoss()'s bits.
// nullopt when a figure leaves the doubles (an abandonment rate h / p that
// is not a finite positive double, or waits beyond them).
std::optional<ContactCentreFigures> ContactCentreModel(double A, double h, double p, std::int32_t n,
                                                       std::int64_t places, double t);

// The same from B = B(n - 1, A), the Erlang B value for one agent fewer,
// as a search running the recursion upward has it:
// ContactCentreModel(A, h, p, n, places, t) is
// ContactCentreFromLoss(A, h, p, n, places, t, PalmTable(n - 1, A)).
std::optional<ContactCentreFigures> ContactCentreFromLoss(double A, double h, double p,
                                                          std::int32_t n, std::int64_t places,
                                                          double t, double B);

}  // namespace moravel::contact

#endif
