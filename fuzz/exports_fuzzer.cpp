// libFuzzer harness over the fifteen C exports.
//
// Each input picks one export and its arguments: counts biased toward the
// edges (0, 1, negatives, near 2^31, products that overflow 32 bits),
// doubles including NaN, infinities, negative zero and subnormals, class
// arrays of 0 to 8 entries (or a null pointer), and policy keywords with
// their prefixes and other bytes.  It fails on any sanitizer report, on a
// null text, on a text that is not the export's layout of blank-separated
// numbers, and on a scalar export that answers twice differently.
//
// Work per input is bounded: a call whose arguments are valid and would run
// long (a linear formula over 2^30 servers, a simulation of 2^31 calls) is
// skipped; the refusals and edge values around them are still exercised.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "fuzz_inputs.h"
#include "moravel.h"

namespace {

using namespace moravel::fuzz;

constexpr std::int64_t kLinearBudget = 20000;  // servers, calls x log, units ...

std::string Keyword(FuzzedDataProvider& in) {
  static const std::array<std::string, 3> kKeywords = {"МаксСвоб", "МинСвоб", "ПервСвоб"};
  switch (in.ConsumeIntegralInRange<int>(0, 4)) {
    case 0:
    case 1: return kKeywords[in.ConsumeIntegralInRange<std::size_t>(0, 2)];
    case 2: {  // a prefix, or the keyword with a byte added
      std::string k = kKeywords[in.ConsumeIntegralInRange<std::size_t>(0, 2)];
      const auto cut = in.ConsumeIntegralInRange<std::size_t>(0, k.size());
      return in.ConsumeBool() ? k.substr(0, cut)
                              : k + static_cast<char>(in.ConsumeIntegral<char>() | 1);
    }
    case 3: return "\xcc\xe0\xea\xf1\xd1\xe2\xee\xe1";  // the first keyword in CP1251
    default: {
      std::string bytes = in.ConsumeRandomLengthString(24);
      return std::string(bytes.c_str());  // up to the first zero byte, as C reads it
    }
  }
}

[[noreturn]] void Fail(const char* what, const char* text) {
  std::fprintf(stderr, "FAULT: %s: \"%s\"\n", what, text == nullptr ? "(null)" : text);
  std::abort();
}

// Checks a text against its layout: `count` numbers (or the empty text when
// `may_be_empty`), single blanks, a blank after every number when
// `per_class`, none after the last otherwise.
void CheckText(const char* text, std::size_t count, bool per_class, bool may_be_empty) {
  if (text == nullptr) Fail("null result", text);
  if (*text == '\0') {
    if (may_be_empty || count == 0) return;
    Fail("unexpected empty text", text);
  }
  std::size_t numbers = 0;
  const char* p = text;
  while (*p != '\0') {
    char* end = nullptr;
    std::strtod(p, &end);
    if (end == p || (*end != ' ' && *end != '\0')) Fail("not a number", text);
    ++numbers;
    p = end;
    if (*p == ' ') {
      ++p;
      if (*p == ' ') Fail("double blank", text);
      if (*p == '\0' && !per_class) Fail("trailing blank", text);
    } else if (per_class) {
      Fail("missing trailing blank", text);
    }
  }
  if (numbers != count) Fail("wrong number count", text);
}

void CheckScalar(double first, double second) {
  if (std::bit_cast<std::uint64_t>(first) != std::bit_cast<std::uint64_t>(second)) {
    Fail("scalar export not repeatable", "");
  }
}

bool Linear(std::int32_t V) { return V <= 0 || V == kMax || V <= kLinearBudget; }

// Whether a multi-service group is cheap enough to evaluate or simulate:
// refused shapes (negative, overflowing) are always cheap.
bool GroupAffordable(std::int32_t k, std::int32_t f) {
  if (k < 0 || f < 0) return true;
  const std::int64_t V = static_cast<std::int64_t>(k) * f;
  if (V > kMax) return true;
  return V <= 600 && k <= 600;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int selector = in.ConsumeIntegralInRange<int>(0, 14);
  switch (selector) {
    case 0: {
      const std::int32_t V = Count(in);
      const double A = Real(in);
      if (Linear(V)) CheckScalar(PalmTable(V, A), PalmTable(V, A));
      break;
    }
    case 1: {
      const std::int32_t V = Count(in);
      const double A = Real(in);
      if (Linear(V)) CheckScalar(ErlangFormula2(V, A), ErlangFormula2(V, A));
      break;
    }
    case 2: {
      const std::int32_t N = Count(in), V = Count(in);
      const double a = Real(in);
      if (Linear(V)) CheckScalar(EngsetTable(N, V, a), EngsetTable(N, V, a));
      break;
    }
    case 3: {
      const std::int32_t V = Count(in);
      const double A = Real(in);
      CheckScalar(E(V, A), E(V, A));
      break;
    }
    case 4: {
      const std::int32_t V = Count(in);
      const double A = Real(in);
      const std::int32_t i = Count(in);
      CheckScalar(Hi(V, A, i), Hi(V, A, i));
      break;
    }
    case 5: {
      const std::int32_t V = Count(in);
      const double A = Real(in);
      if (Linear(V)) CheckText(M_M_V_L_an(V, A), 2, false, false);
      break;
    }
    case 6: {
      const std::int32_t N = Count(in), V = Count(in);
      const double a = Real(in);
      if (Linear(V)) CheckText(Mi_M_V_L_an(N, V, a), 2, false, false);
      break;
    }
    case 7: {
      const double x = Real(in), y = Real(in), z = Real(in);
      const std::int32_t V = Count(in), n = Count(in);
      if (Linear(V)) CheckText(M_G_V_L_an(x, y, z, V, n), 2, false, false);
      break;
    }
    case 8: {
      const Classes a = MakeClasses(in, false);
      const std::int32_t V = Count(in);
      if (Linear(V)) {
        const bool refused = a.count <= 0 || a.null;
        CheckText(M_M_V_L_PRA_an(a.count, V, a.data()), refused ? 0 : 2 * a.values.size(), true,
                  refused);
      }
      break;
    }
    case 9: {
      const double t = Real(in), h = Real(in);
      const std::int32_t V = Count(in);
      const double A = Real(in);
      if (Linear(V)) CheckText(M_M_V_W_FF_R_an(t, h, V, A), 5, false, false);
      break;
    }
    case 10: {
      const double A = Real(in);
      const std::int32_t V = Count(in), N = Count(in);
      const auto seed = in.ConsumeIntegral<std::uint32_t>();
      if (Linear(V) && N <= 2000) CheckText(M_M_V_L_im(A, V, N, seed), 2, false, true);
      break;
    }
    case 11: {
      const double A = Real(in);
      const std::int32_t V = Count(in), N = Count(in);
      const double t = Real(in);
      const auto seed = in.ConsumeIntegral<std::uint32_t>();
      if (Linear(V) && N <= 2000) CheckText(M_M_V_W_FF_R_im(A, V, N, t, seed), 5, false, true);
      break;
    }
    case 12:
    case 13:
    case 14: {
      const Classes a = MakeClasses(in, false);
      const Classes t = MakeClasses(in, true);
      const std::int32_t k = Count(in), f = Count(in), g = Count(in);
      if (!GroupAffordable(k, f)) break;
      // Both arrays must hold at least the count passed with the traffic.
      std::vector<double> demands = t.values;
      demands.resize(a.values.size(), 1.0);
      const double* t_data = t.null ? nullptr : demands.data();
      const std::size_t classes = a.values.size();
      if (selector == 12) {
        CheckText(VM_VMl_V_L_an(a.data(), a.count, t_data, k, f), 2 * classes, true, true);
      } else if (selector == 13) {
        CheckText(VM_VMl_VDg_L_an(a.data(), a.count, t_data, k, f, g), 2 * classes, true, true);
      } else {
        const std::int32_t N = Count(in);
        const std::string policy = Keyword(in);
        const bool null_policy = in.ConsumeIntegralInRange<int>(0, 15) == 0;
        if (N > 500) break;
        CheckText(VM_VMl_VDg_L_im(a.data(), a.count, t_data, k, f, g, N,
                                  null_policy ? nullptr : policy.c_str()),
                  2 * classes, true, true);
      }
      break;
    }
  }
  return 0;
}
