// C entry points of the scalar formulas: plain forwards, nothing to catch.
#include "moravel.h"

#include "formulas/engset.h"
#include "formulas/erlang_direct.h"
#include "formulas/erlang_loss.h"

extern "C" {

MORAVEL_API double PalmTable(int32_t V, double A) { return moravel::PalmTable(V, A); }

MORAVEL_API double ErlangFormula2(int32_t V, double A) { return moravel::ErlangFormula2(V, A); }

MORAVEL_API double EngsetTable(int32_t N, int32_t V, double a) {
  return moravel::EngsetTable(N, V, a);
}

MORAVEL_API double E(int32_t V, double A) { return moravel::E(V, A); }

MORAVEL_API double Hi(int32_t V, double A, int32_t i) { return moravel::Hi(V, A, i); }

}  // extern "C"
