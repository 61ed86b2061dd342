/* A plain C host built against an installed libMoravel with the flags of
 * `pkg-config --cflags --libs moravel`, through both headers. */
#include <moravel.h>
#include <moravel/api.h>
#include <stdio.h>
#include <string.h>

int main(void) {
  const double classes[3] = {2.0, 3.0, 4.0};
  moravel_loss_result loss;
  int32_t servers = 0;
  if (strcmp(Mi_M_V_L_an(10, 5, 0.2), "0.0165659 1.97341") != 0) return 1;
  if (strcmp(M_M_V_L_PRA_an(3, 10, classes),
             "3.81902e-05 1.99992 0.0306155 2.90815 0.354937 2.58025 ") != 0)
    return 2;
  if (E(0, 2.0) != 1.0 || EngsetTable(2, 1, 0.5) != 0.5) return 3;
  if (moravel_loss(1, 1.0, &loss) != MORAVEL_OK || loss.loss != 0.5) return 4;
  if (moravel_erlang_b_servers(50.0, 0.01, &servers, NULL) != MORAVEL_OK || servers != 64) return 5;
  printf("C host through pkg-config: %s\n", M_G_V_L_an(1.0, 1.0, 1.0, 5, 2));
  return 0;
}
