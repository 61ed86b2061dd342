/* The public header must compile as C and the library link from C. */
#include <stdio.h>
#include <string.h>

#include "moravel.h"

int main(void) {
  const double traffic[2] = {5.0, 3.0};
  if (PalmTable(1, 1.0) != 0.5) return 1;
  if (strcmp(M_M_V_L_an(10, 5.0), "0.0183846 4.90808") != 0) return 2;
  if (strcmp(M_M_V_L_PRA_an(2, 10, traffic), "0.0183846 4.90808 0.293789 2.11863 ") != 0) return 3;
  puts("C host: ok");
  return 0;
}
