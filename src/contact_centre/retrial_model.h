// Callers who try again: the fixed point of the retried traffic over the
// contact-centre model.
#ifndef MORAVEL_CONTACT_CENTRE_RETRIAL_MODEL_H
#define MORAVEL_CONTACT_CENTRE_RETRIAL_MODEL_H

#include <cstdint>

#include "contact_centre/abandonment_model.h"

namespace moravel::contact {

struct RetrialFigures {
  ContactCentreFigures attempt;  // at the total offered traffic
  double offered_total;
  double retry_traffic;
  double attempts_per_caller;
  double answered_share;
  double blocked_share;
  double abandoned_share;
  double redialling;
};

enum class RetrialOutcome {
  kSolved,
  kDiverges,           // no total below kLargestRetriedTraffic balances
  kModelRefusesTotal,  // the delay system (p = +inf, no limit) reached n
  kOverflow,           // the model's figures left the doubles
};

inline constexpr double kLargestRetriedTraffic = 1e15;

// Inputs as ContactCentreModel(), already checked; shares rb, ra in [0, 1];
// redial time finite and above 0 (unit of h).  T = A + T (rb Pb(T) + ra
// Pa(T)) by bracketing and Illinois-rule secant steps on the increasing
// F(T) = T (1 - rb Pb(T) - ra Pa(T)) - A.
RetrialOutcome RetrialModel(double A, double h, double p, std::int32_t n, std::int64_t places,
                            double t, double rb, double ra, double redial, RetrialFigures& out);

}  // namespace moravel::contact

#endif
