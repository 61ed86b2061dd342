// Writes the contact-centre figures of the second interface for the points
// read from standard input, one per line: A h p n lines t ("inf" for an
// endless patience).  Each answer line holds the status and, when it is 0,
// the eleven figures in the record's order, with 17 significant digits.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "moravel/api.h"

int main() {
  char p_text[64];
  double A, h, t;
  int n, lines;
  while (std::scanf("%lf %lf %63s %d %d %lf", &A, &h, p_text, &n, &lines, &t) == 6) {
    const double p = std::strcmp(p_text, "inf") == 0 ? HUGE_VAL : std::strtod(p_text, nullptr);
    moravel_contact_centre_result r;
    const moravel_status status = moravel_contact_centre(A, h, p, n, lines, t, &r);
    std::printf("%d", static_cast<int>(status));
    if (status == MORAVEL_OK) {
      for (double x :
           {r.wait_probability, r.blocked_probability, r.abandon_probability,
            r.abandon_within_answer_time, r.service_level, r.service_level_excluding_short_abandons,
            r.mean_answer_wait, r.mean_wait, r.queue_length, r.occupancy, r.carried}) {
        std::printf(" %.17g", x);
      }
    }
    std::printf("\n");
  }
  return 0;
}
