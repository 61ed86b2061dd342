/* The public headers must compile as C and the library link from C. */
#include <stdio.h>
#include <string.h>

#include "moravel.h"
#include "moravel/api.h"

int main(void) {
  const double traffic[2] = {5.0, 3.0};
  const double demand[2] = {1.0, 2.0};
  double blocking[2], carried[2];
  moravel_wait_result wait;
  moravel_staffing staffing;
  if (PalmTable(1, 1.0) != 0.5) return 1;
  if (strcmp(M_M_V_L_an(10, 5.0), "0.0183846 4.90808") != 0) return 2;
  if (strcmp(M_M_V_L_PRA_an(2, 10, traffic), "0.0183846 4.90808 0.293789 2.11863 ") != 0) return 3;
  if (moravel_wait(2.0, 3.0, 2, 1.0, &wait) != MORAVEL_OK || wait.mean_wait_of_waiting != 3.0) {
    return 4;
  }
  if (moravel_link_group(traffic, 2, demand, 2, 5, blocking, carried) != MORAVEL_OK) return 5;
  if (moravel_simulate_link_subset(traffic, 2, demand, 2, 5, 1, 1000, MORAVEL_FEWEST_FREE, 7u,
                                   blocking, carried) != MORAVEL_OK) {
    return 6;
  }
  if (moravel_agents_for_service_level(20.0, 180.0, 20.0, 0.8, &staffing) != MORAVEL_OK ||
      staffing.agents != 24) {
    return 7;
  }
  if (moravel_loss(0, 1.0, NULL) != MORAVEL_ERROR_NULL_POINTER) return 8;
  {
    moravel_contact_centre_setup centre = {0};
    moravel_contact_centre_estimate estimate;
    centre.traffic = 20.0;
    centre.agents = 20;
    centre.patience_distribution = MORAVEL_PATIENCE_EXPONENTIAL;
    centre.patience = 2.0 / 3.0;
    centre.answer_time = 1.0 / 9.0;
    if (moravel_simulate_contact_centre(&centre, 1000, 100, 7u, &estimate) != MORAVEL_OK ||
        estimate.seed != 7u || estimate.attempts_per_caller != 1.0 ||
        estimate.attempt.carried <= 0.0) {
      return 9;
    }
  }
  puts("C host: ok");
  return 0;
}
