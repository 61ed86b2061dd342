// Writes the contact-centre models' own elementary functions for the
// arguments read from standard input, one per line: a name (exp, expm1,
// log, log1p, logfactorial) and the argument in C's hexadecimal form.
// Each answer line holds the value in the same form.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "contact_centre/elementary_functions.h"
#include "contact_centre/gamma_tails.h"

int main() {
  char name[32];
  char argument[64];
  while (std::scanf("%31s %63s", name, argument) == 2) {
    const double x = std::strtod(argument, nullptr);
    double y = 0.0;
    if (std::strcmp(name, "exp") == 0) {
      y = moravel::contact::Exp(x);
    } else if (std::strcmp(name, "expm1") == 0) {
      y = moravel::contact::Expm1(x);
    } else if (std::strcmp(name, "log") == 0) {
      y = moravel::contact::Log(x);
    } else if (std::strcmp(name, "log1p") == 0) {
      y = moravel::contact::Log1p(x);
    } else if (std::strcmp(name, "logfactorial") == 0) {
      y = moravel::contact::LogFactorial(x);
    } else {
      std::fprintf(stderr, "unknown function %s\n", name);
      return 2;
    }
    std::printf("%a\n", y);
  }
  return 0;
}
