// libFuzzer harness over the status-returning interface of moravel/api.h.
//
// Each input picks one function and its arguments, drawn as for the export
// harness.  It fails on any sanitizer report and on a broken promise of
// the interface: a status without its own message; MORAVEL_OK with a
// result that is NaN or infinite, or a probability outside [0, 1]; a
// refusal that wrote a result; an array call that wrote past its refused
// point.
//
// Work per input is bounded as in the export harness: calls that would be
// accepted and run long are skipped, their refusals still exercised.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_inputs.h"
#include "moravel/api.h"

namespace {

using namespace moravel::fuzz;

constexpr double kLinearBudget = 20000;  // servers, agents or sources a call may run through
constexpr double kUnset = -12345.0;      // what a refused call must leave in its results

[[noreturn]] void Fail(const char* what, int selector) {
  std::fprintf(stderr, "FAULT in case %d: %s\n", selector, what);
  std::abort();
}

// Checks the status and, when it is MORAVEL_OK, every figure: finite, and
// within [0, 1] for the probabilities; otherwise every figure untouched.
class Verdict {
 public:
  Verdict(int selector, moravel_status status) : selector_(selector), status_(status) {
    if (std::strcmp(moravel_status_message(status), "unknown status code") == 0) {
      Fail("status without a message", selector);
    }
  }
  bool ok() const { return status_ == MORAVEL_OK; }
  const Verdict& Figure(double x) const {
    if (ok() ? !std::isfinite(x) : x != kUnset) Fail(ok() ? "not finite" : "written", selector_);
    return *this;
  }
  const Verdict& Probability(double p) const {
    Figure(p);
    if (ok() && !(p >= 0.0 && p <= 1.0 + 1e-9)) Fail("not a probability", selector_);
    return *this;
  }

 private:
  int selector_;
  moravel_status status_;
};

bool Affordable(double size) { return !(size > kLinearBudget); }

// A multi-rate group small enough to evaluate, or a refused shape.
bool GroupAffordable(std::int32_t k, std::int32_t f) {
  const std::int64_t V = static_cast<std::int64_t>(k) * f;
  return k < 1 || f < 1 || V > kMax || (V <= 600 && k <= 600);
}

double Sum(const Classes& c) {
  double sum = 0.0;
  for (double x : c.values) sum += std::fabs(x);
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int selector = in.ConsumeIntegralInRange<int>(0, 17);
  double x = kUnset;
  moravel_loss_result loss{kUnset, kUnset};
  moravel_wait_result w{kUnset, kUnset, kUnset, kUnset, kUnset};
  moravel_staffing s{0, kUnset, kUnset, kUnset, kUnset};
  std::int32_t answer = -1;
  switch (selector) {
    case 0: {
      const std::int32_t V = Count(in);
      const double A = Real(in);
      if (Affordable(V)) Verdict(selector, moravel_erlang_b(V, A, &x)).Probability(x);
      break;
    }
    case 1: {
      const std::int32_t V = Count(in);
      const double A = Real(in);
      if (Affordable(V)) Verdict(selector, moravel_erlang_c(V, A, &x)).Probability(x);
      break;
    }
    case 2: {
      const std::int32_t N = Count(in), V = Count(in);
      const double a = Real(in);
      if (Affordable(V)) Verdict(selector, moravel_engset(N, V, a, &x)).Probability(x);
      break;
    }
    case 3: {
      const std::int32_t V = Count(in);
      const double A = Real(in);
      Verdict(selector, moravel_erlang_b_direct(V, A, &x)).Probability(x);
      break;
    }
    case 4: {
      const std::int32_t V = Count(in), i = Count(in);
      const double A = Real(in);
      Verdict(selector, moravel_erlang_b_ratio(V, A, i, &x)).Figure(x);
      break;
    }
    case 5: {
      const std::int32_t V = Count(in), N = Count(in);
      const double a = Real(in);
      if (!Affordable(V)) break;
      const moravel_status status = in.ConsumeBool() ? moravel_loss(V, a, &loss)
                                                     : moravel_loss_finite_sources(N, V, a, &loss);
      Verdict(selector, status).Probability(loss.loss).Figure(loss.carried);
      break;
    }
    case 6: {
      const double x0 = Real(in), y = Real(in), z = Real(in);
      const std::int32_t V = Count(in), n = Count(in);
      if (!Affordable(V)) break;
      Verdict(selector, moravel_loss_assembled(x0, y, z, V, n, &loss))
          .Probability(loss.loss)
          .Figure(loss.carried);
      break;
    }
    case 7: {
      const Classes a = MakeClasses(in, false);
      const std::int32_t V = Count(in);
      if (!Affordable(V)) break;
      std::vector<double> lost(a.values.size(), kUnset), carried(a.values.size(), kUnset);
      const Verdict verdict(
          selector, moravel_loss_priority(a.count, V, a.data(), lost.data(), carried.data()));
      for (std::size_t i = 0; i < lost.size(); ++i) verdict.Figure(lost[i]).Figure(carried[i]);
      break;
    }
    case 8: {
      const double t = Real(in), h = Real(in), A = Real(in);
      const std::int32_t V = Count(in);
      if (!Affordable(V)) break;
      Verdict(selector, moravel_wait(t, h, V, A, &w))
          .Probability(w.wait_probability)
          .Probability(w.wait_exceeds)
          .Figure(w.mean_wait)
          .Figure(w.mean_wait_of_waiting)
          .Figure(w.queue_length);
      break;
    }
    case 9: {  // the array entry points, with each refusal's index
      const auto n = in.ConsumeIntegralInRange<std::size_t>(0, 12);
      std::vector<std::int32_t> V(n), N(n);
      std::vector<double> A(n), t(n), h(n), out(n, kUnset);
      for (std::size_t j = 0; j < n; ++j) {
        V[j] = Count(in), N[j] = Count(in), A[j] = Real(in), t[j] = Real(in), h[j] = Real(in);
        if (!Affordable(V[j])) V[j] = 1;
      }
      std::size_t refused = n;
      std::vector<moravel_wait_result> waits(n, w);
      const int which = in.ConsumeIntegralInRange<int>(0, 2);
      const moravel_status status =
          which == 0   ? moravel_erlang_b_array(n, V.data(), A.data(), out.data(), &refused)
          : which == 1 ? moravel_engset_array(n, N.data(), V.data(), A.data(), out.data(), &refused)
                       : moravel_wait_array(n, t.data(), h.data(), V.data(), A.data(), waits.data(),
                                            &refused);
      if (which == 2) {
        for (std::size_t j = 0; j < n; ++j) out[j] = waits[j].wait_probability;
      }
      const std::size_t written = status == MORAVEL_OK ? n : refused;
      if (written > n) Fail("refused index out of range", selector);
      for (std::size_t j = 0; j < n; ++j) {
        Verdict(selector, j < written ? MORAVEL_OK : status).Probability(out[j]);
      }
      break;
    }
    case 10: {
      const double A = Real(in), t = Real(in);
      const std::int32_t V = Count(in), N = Count(in);
      const auto seed = in.ConsumeIntegral<std::uint32_t>();
      if (!Affordable(V) || N > 2000) break;
      if (in.ConsumeBool()) {
        Verdict(selector, moravel_simulate_loss(A, V, N, seed, &loss))
            .Probability(loss.loss)
            .Figure(loss.carried);
      } else {
        Verdict(selector, moravel_simulate_wait(A, V, N, t, seed, &w))
            .Probability(w.wait_probability)
            .Figure(w.mean_wait)
            .Figure(w.queue_length);
      }
      break;
    }
    case 11:
    case 12: {
      const Classes a = MakeClasses(in, false);
      const Classes t = MakeClasses(in, true);
      const std::int32_t k = Count(in), f = Count(in), g = Count(in), N = Count(in);
      const std::int32_t policy = in.ConsumeIntegralInRange<std::int32_t>(-1, 4);
      const auto seed = in.ConsumeIntegral<std::uint32_t>();
      if (!GroupAffordable(k, f)) break;
      std::vector<double> demands = t.values;
      demands.resize(a.values.size(), 1.0);
      const double* t_data = t.null ? nullptr : demands.data();
      std::vector<double> blocking(a.values.size(), kUnset), carried(blocking);
      moravel_status status;
      if (selector == 11) {
        status = in.ConsumeBool() ? moravel_link_group(a.data(), a.count, t_data, k, f,
                                                       blocking.data(), carried.data())
                                  : moravel_link_subset(a.data(), a.count, t_data, k, f, g,
                                                        blocking.data(), carried.data());
      } else {
        if (N > 500) break;
        status = moravel_simulate_link_subset(a.data(), a.count, t_data, k, f, g, N, policy, seed,
                                              blocking.data(), carried.data());
      }
      const Verdict verdict(selector, status);
      for (std::size_t i = 0; i < blocking.size(); ++i) {
        verdict.Probability(blocking[i]).Figure(carried[i]);
      }
      break;
    }
    case 13: {
      const double A = Real(in), a = Real(in), target = Real(in);
      const std::int32_t N = Count(in);
      if (in.ConsumeBool()) {
        if (!Affordable(A)) break;
        Verdict(selector, moravel_erlang_b_servers(A, target, &answer, &x)).Probability(x);
      } else {
        if (!Affordable(N)) break;
        Verdict(selector, moravel_engset_servers(N, a, target, &answer, &x)).Probability(x);
      }
      break;
    }
    case 14: {
      const std::int32_t V = Count(in), N = Count(in);
      const double target = Real(in);
      if (!Affordable(V)) break;
      const moravel_status status = in.ConsumeBool() ? moravel_erlang_b_traffic(V, target, &x)
                                                     : moravel_engset_traffic(N, V, target, &x);
      Verdict(selector, status).Figure(x);
      break;
    }
    case 15: {
      const double A = Real(in), h = Real(in), t = Real(in), target = Real(in);
      const std::int32_t agents = Count(in);
      const int goal = in.ConsumeIntegralInRange<int>(0, 3);
      if (!Affordable(A) || (goal == 3 && !Affordable(agents))) break;
      const moravel_status status =
          goal == 0   ? moravel_agents_for_service_level(A, h, t, target, &s)
          : goal == 1 ? moravel_agents_for_mean_wait(A, h, t, target, &s)
          : goal == 2 ? moravel_agents_for_wait_probability(A, h, t, target, &s)
                      : moravel_staffing_figures(agents, A, h, t, &s);
      Verdict(selector, status)
          .Probability(s.wait_probability)
          .Probability(s.service_level)
          .Figure(s.mean_speed_of_answer)
          .Probability(s.occupancy);
      break;
    }
    case 16:
    case 17: {
      const Classes a = MakeClasses(in, false);
      const Classes t = MakeClasses(in, true);
      const std::int32_t f = Count(in), g = Count(in);
      const double target = Real(in);
      // Little traffic on small links at a modest target: an answer of a
      // few tens of links.
      if (Sum(a) > 20.0 || f > 10 || g > 10 || (target > 0.0 && target < 1e-3)) break;
      std::vector<double> demands = t.values;
      demands.resize(a.values.size(), 1.0);
      const double* t_data = t.null ? nullptr : demands.data();
      std::vector<double> blocking(a.values.size(), kUnset);
      const moravel_status status =
          selector == 16 ? moravel_link_group_links(a.data(), a.count, t_data, f, target, &answer,
                                                    blocking.data())
                         : moravel_link_subset_links(a.data(), a.count, t_data, f, g, target,
                                                     &answer, blocking.data());
      const Verdict verdict(selector, status);
      for (double b : blocking) verdict.Probability(b);
      break;
    }
  }
  return 0;
}
