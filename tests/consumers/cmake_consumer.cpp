// A C++ host built against an installed libMoravel through
// find_package(Moravel CONFIG) and the imported target Moravel::Moravel,
// through both headers.
#include <moravel.h>
#include <moravel/api.h>

#include <cstdio>
#include <string>

int main() {
  const std::string loss = M_M_V_L_an(10, 5.0);  // copied before the next model call
  const std::string wait = M_M_V_W_FF_R_an(1.0, 1.0, 10, 5.0);
  if (loss != "0.0183846 4.90808") return 1;
  if (wait != "0.0361054 0.000243276 0.00722107 0.2 0.0361054") return 2;
  if (PalmTable(1, 1.0) != 0.5 || Hi(5, 3.0, 0) != 1.0) return 3;
  double offered = 0.0;
  if (moravel_erlang_b_traffic(20, 0.01, &offered) != MORAVEL_OK) return 4;
  if (std::string(moravel_status_message(MORAVEL_ERROR_SERVERS)) != "servers must be at least 1") {
    return 5;
  }
  std::printf("C++ host through find_package: %s\n", loss.c_str());
  return 0;
}
