// The status-returning interface: full-precision values of the library's
// kernels, the refusals and their messages, the array entry points and the
// seeded multi-rate simulation.
#include "moravel/api.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "formulas/engset.h"
#include "formulas/erlang_direct.h"
#include "formulas/erlang_loss.h"
#include "random/second_seed.h"
#include "random/seed_sequence.h"
#include "support/bits.h"

namespace {

using moravel::testing::Bits;
using moravel::testing::kInf;
using moravel::testing::kNaN;

TEST(Api, ScalarsAreTheKernelsBits) {
  std::mt19937_64 engine(31);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int c = 0; c < 500; ++c) {
    const auto V = static_cast<std::int32_t>(1 + c % 170);
    const double A = 2.0 * V * unit(engine);
    double x = 0.0;
    ASSERT_EQ(moravel_erlang_b(V, A, &x), MORAVEL_OK);
    EXPECT_EQ(Bits(x), Bits(moravel::PalmTable(V, A)));
    if (A < V) {
      ASSERT_EQ(moravel_erlang_c(V, A, &x), MORAVEL_OK);
      EXPECT_EQ(Bits(x), Bits(moravel::ErlangFormula2(V, A)));
    }
    const std::int32_t N = 1 + c % 200;
    const double a = unit(engine);
    ASSERT_EQ(moravel_engset(N, V, a, &x), MORAVEL_OK);
    EXPECT_EQ(Bits(x), Bits(moravel::EngsetTable(N, V, a)));
    const double small = 40.0 * unit(engine) + 0.01;
    ASSERT_EQ(moravel_erlang_b_direct(V, small, &x), MORAVEL_OK);
    EXPECT_EQ(Bits(x), Bits(moravel::E(V, small)));
    // The ratio is refused when either value has left the normal doubles.
    const std::int32_t fewer = c % (V + 1);
    const bool normal =
        std::isnormal(moravel::E(V, small)) && std::isnormal(moravel::E(V - fewer, small));
    ASSERT_EQ(moravel_erlang_b_ratio(V, small, fewer, &x),
              normal ? MORAVEL_OK : MORAVEL_ERROR_OVERFLOW);
    if (normal) {
      EXPECT_EQ(Bits(x), Bits(moravel::Hi(V, small, fewer)));
    }
  }
}

TEST(Api, EveryStatusHasItsOwnMessage) {
  std::set<std::string> messages;
  for (std::int32_t code = MORAVEL_OK; code <= MORAVEL_ERROR_EVERY_TRAFFIC_MEETS; ++code) {
    const std::string message = moravel_status_message(code);
    EXPECT_NE(message, "unknown status code") << code;
    EXPECT_TRUE(messages.insert(message).second) << message;
  }
  EXPECT_STREQ(moravel_status_message(MORAVEL_ERROR_SERVERS), "servers must be at least 1");
  EXPECT_STREQ(moravel_status_message(-1), "unknown status code");
  EXPECT_STREQ(moravel_status_message(MORAVEL_ERROR_EVERY_TRAFFIC_MEETS + 1),
               "unknown status code");
}

// A refused call returns its code and writes nothing.
TEST(Api, Refusals) {
  const double a[] = {2.0, 1.0}, t[] = {1.0, 2.0}, half[] = {1.0, 1.5}, zero_demand[] = {1.0, 0.0};
  const double negative[] = {2.0, -1.0}, idle[] = {0.0, 0.0}, huge[] = {1e308, 1e308};
  const double ones[] = {1.0, 1.0};
  double x = -1.0;
  double pair[2] = {-1.0, -1.0}, other[2] = {-1.0, -1.0};
  moravel_loss_result loss{-1.0, -1.0};
  moravel_wait_result wait{-1.0, -1.0, -1.0, -1.0, -1.0};
  struct Case {
    moravel_status got, expected;
  } cases[] = {
      {moravel_erlang_b(0, 1.0, &x), MORAVEL_ERROR_SERVERS},
      {moravel_erlang_b(2147483647, 1.0, &x), MORAVEL_ERROR_SERVERS_TOO_MANY},
      {moravel_erlang_b(10, -1.0, &x), MORAVEL_ERROR_TRAFFIC},
      {moravel_erlang_b(10, kNaN, &x), MORAVEL_ERROR_TRAFFIC},
      {moravel_erlang_b(10, kInf, &x), MORAVEL_ERROR_TRAFFIC},
      {moravel_erlang_b(10, 1.0, nullptr), MORAVEL_ERROR_NULL_POINTER},
      {moravel_erlang_c(10, 10.0, &x), MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS},
      {moravel_erlang_c(-3, 1.0, &x), MORAVEL_ERROR_SERVERS},
      {moravel_engset(0, 1, 0.5, &x), MORAVEL_ERROR_SOURCES},
      {moravel_engset(5, 3, 1.0, &x), MORAVEL_ERROR_SOURCE_TRAFFIC},
      {moravel_engset(5, 3, -0.1, &x), MORAVEL_ERROR_SOURCE_TRAFFIC},
      {moravel_erlang_b_direct(171, 10.0, &x), MORAVEL_ERROR_DIRECT_FORM_SERVERS},
      {moravel_erlang_b_direct(-1, 2.0, &x), MORAVEL_ERROR_DIRECT_FORM_SERVERS},
      {moravel_erlang_b_direct(170, 100.0, &x), MORAVEL_ERROR_OVERFLOW},
      {moravel_erlang_b_ratio(5, 3.0, 6, &x), MORAVEL_ERROR_RATIO_SERVERS},
      {moravel_erlang_b_ratio(100, 3.0, -80, &x), MORAVEL_ERROR_RATIO_SERVERS},
      {moravel_erlang_b_ratio(3, 0.0, 1, &x), MORAVEL_ERROR_TRAFFIC_NOT_POSITIVE},
      {moravel_erlang_b_ratio(4, 1e-300, 2, &x), MORAVEL_ERROR_OVERFLOW},  // 0 / 0
      {moravel_loss(0, 3.0, &loss), MORAVEL_ERROR_SERVERS},
      {moravel_loss_finite_sources(5, 3, 1.0, &loss), MORAVEL_ERROR_SOURCE_TRAFFIC},
      {moravel_loss_assembled(0.0, 1.0, 1.0, 3, 2, &loss), MORAVEL_ERROR_ASSEMBLY_TIMES},
      {moravel_loss_assembled(1.0, kInf, 1.0, 3, 2, &loss), MORAVEL_ERROR_ASSEMBLY_TIMES},
      {moravel_loss_assembled(1.0, 1.0, -1.0, 3, 2, &loss), MORAVEL_ERROR_ASSEMBLY_Z},
      {moravel_loss_assembled(1.0, 1.0, 1.0, 3, -2, &loss), MORAVEL_ERROR_ASSEMBLY_MULTIPLIER},
      {moravel_loss_assembled(1.0, 1e-310, 1.0, 3, 2, &loss), MORAVEL_ERROR_ASSEMBLED_LOAD},
      {moravel_loss_priority(0, 10, a, pair, other), MORAVEL_ERROR_CLASSES},
      {moravel_loss_priority(2, 10, nullptr, pair, other), MORAVEL_ERROR_NULL_POINTER},
      {moravel_loss_priority(2, 10, negative, pair, other), MORAVEL_ERROR_TRAFFIC},
      {moravel_loss_priority(2, 10, huge, pair, other), MORAVEL_ERROR_TRAFFIC},
      {moravel_wait(1.0, 1.0, 2, 2.0, &wait), MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS},
      {moravel_wait(1.0, 0.0, 10, 5.0, &wait), MORAVEL_ERROR_HOLDING_TIME},
      {moravel_wait(-1.0, 1.0, 10, 5.0, &wait), MORAVEL_ERROR_THRESHOLD},
      {moravel_wait(1.0, 1e308, 10, 9.99, &wait), MORAVEL_ERROR_OVERFLOW},  // waits past 1e310
      {moravel_simulate_loss(0.0, 10, 100, 1u, &loss), MORAVEL_ERROR_TRAFFIC_NOT_POSITIVE},
      {moravel_simulate_loss(5.0, 0, 100, 1u, &loss), MORAVEL_ERROR_SERVERS},
      {moravel_simulate_loss(5.0, 10, 0, 1u, &loss), MORAVEL_ERROR_CALLS},
      {moravel_simulate_wait(5.0, 5, 100, 0.0, 1u, &wait), MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS},
      {moravel_simulate_wait(2.0, 5, 100, kNaN, 1u, &wait), MORAVEL_ERROR_THRESHOLD},
      {moravel_link_group(a, 0, t, 2, 5, pair, other), MORAVEL_ERROR_CLASSES},
      {moravel_link_group(a, 2, half, 2, 5, pair, other), MORAVEL_ERROR_DEMAND},
      {moravel_link_group(a, 2, zero_demand, 2, 5, pair, other), MORAVEL_ERROR_DEMAND},
      {moravel_link_group(negative, 2, t, 2, 5, pair, other), MORAVEL_ERROR_TRAFFIC},
      {moravel_link_group(a, 2, t, 0, 5, pair, other), MORAVEL_ERROR_LINKS},
      {moravel_link_group(a, 2, t, 2, 0, pair, other), MORAVEL_ERROR_LINK_UNITS},
      {moravel_link_group(a, 2, t, 65536, 32768, pair, other), MORAVEL_ERROR_GROUP_SIZE},
      {moravel_link_group(a, 2, t, 2, 5, nullptr, other), MORAVEL_ERROR_NULL_POINTER},
      {moravel_link_group(huge, 2, t, 2, 5, pair, other), MORAVEL_ERROR_OVERFLOW},  // 2e308 units
      {moravel_link_subset(a, 2, t, 2, 5, 3, pair, other), MORAVEL_ERROR_SUBSET},
      {moravel_link_subset(a, 2, t, 2, 5, 0, pair, other), MORAVEL_ERROR_SUBSET},
      {moravel_simulate_link_subset(a, 2, t, 2, 5, 1, 100, 0, 1u, pair, other),
       MORAVEL_ERROR_POLICY},
      {moravel_simulate_link_subset(a, 2, t, 2, 5, 1, 100, 4, 1u, pair, other),
       MORAVEL_ERROR_POLICY},
      {moravel_simulate_link_subset(a, 2, t, 2, 5, 1, 0, 1, 1u, pair, other), MORAVEL_ERROR_CALLS},
      {moravel_simulate_link_subset(idle, 2, t, 2, 5, 1, 100, 1, 1u, pair, other),
       MORAVEL_ERROR_TOTAL_TRAFFIC},
      {moravel_simulate_link_subset(huge, 2, ones, 2, 5, 1, 100, 1, 1u, pair, other),
       MORAVEL_ERROR_TOTAL_TRAFFIC},
      {moravel_simulate_link_subset(a, 2, t, 40, 1, 20, 100, 1, 1u, pair, other),
       MORAVEL_ERROR_SUBSET_COUNT},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].got, cases[i].expected) << "case " << i;
  }
  EXPECT_EQ(x, -1.0);
  EXPECT_EQ(loss.loss, -1.0);
  EXPECT_EQ(wait.wait_probability, -1.0);
  EXPECT_EQ(pair[0], -1.0);
  EXPECT_EQ(other[1], -1.0);
}

// Groups whose figures the models cannot hold in doubles (about 710
// erlangs in all overflow the unnormalised occupancy sums; 8 links of 100
// units take the inclusion-exclusion counts far past 2^53) give either
// sound figures or MORAVEL_ERROR_OVERFLOW, never a NaN or a blocking
// outside [0, 1].
TEST(Api, FiguresAreSoundOrRefused) {
  const double a[] = {800.0}, t[] = {1.0}, b[] = {200.0, 20.0}, d[] = {1.0, 5.0};
  double blocking[2] = {0.5, 0.5}, carried[2];
  for (const moravel_status status : {moravel_link_group(a, 1, t, 1, 1000, blocking, carried),
                                      moravel_link_subset(b, 2, d, 8, 100, 4, blocking, carried),
                                      moravel_link_group(b, 2, d, 23, 23, blocking, carried)}) {
    if (status == MORAVEL_OK) {
      for (double E : blocking) EXPECT_TRUE(E >= 0.0 && E <= 1.0) << E;
    } else {
      EXPECT_EQ(status, MORAVEL_ERROR_OVERFLOW);
    }
  }
}

// Every array entry point gives each point the bits of its single call,
// into separate arrays and with its results written over one of its inputs,
// in place or shifted.  `array(input, results)` takes that input apart from
// the rest; `point(j, result)` is the single call for point j.
template <class Result, class Array, class Point>
void ExpectEachPointsBits(const char* name, const std::vector<double>& input, Array&& array,
                          Point&& point) {
  const std::size_t n = input.size();
  std::vector<Result> single(n);
  for (std::size_t j = 0; j < n; ++j) ASSERT_EQ(point(j, &single[j]), MORAVEL_OK) << name << j;
  std::vector<Result> apart(n);
  ASSERT_EQ(array(input.data(), apart.data()), MORAVEL_OK) << name;
  EXPECT_EQ(std::memcmp(apart.data(), single.data(), n * sizeof(Result)), 0) << name;
  for (const std::size_t shift : {0, 1, 5}) {  // results over input[shift ..], in doubles
    std::vector<Result> shared(n + shift);
    double* over = reinterpret_cast<double*>(shared.data()) + shift;
    std::memcpy(over, input.data(), n * sizeof(double));
    ASSERT_EQ(array(over, shared.data()), MORAVEL_OK) << name << " shift " << shift;
    EXPECT_EQ(std::memcmp(shared.data(), single.data(), n * sizeof(Result)), 0)
        << name << " shift " << shift;
  }
}

TEST(Api, ArraysGiveEachPointsBits) {
  std::mt19937_64 engine(32);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  constexpr std::size_t n = 400;  // more than one chunk of points
  std::vector<std::int32_t> V(n), N(n), fewer(n), multiplier(n);
  std::vector<double> A(n), a(n), x(n), y(n), z(n), threshold(n), holding(n), small(n);
  for (std::size_t j = 0; j < n; ++j) {
    V[j] = static_cast<std::int32_t>(1 + j % 150);
    N[j] = static_cast<std::int32_t>(1 + j % 97);
    fewer[j] = static_cast<std::int32_t>(j % (V[j] + 1));
    multiplier[j] = static_cast<std::int32_t>(j % 9);
    A[j] = V[j] * unit(engine);  // below V, for the delay system too
    small[j] = 30.0 * unit(engine) + 0.1;
    a[j] = 0.99 * unit(engine);
    x[j] = 0.1 + unit(engine), y[j] = 0.1 + unit(engine), z[j] = unit(engine);
    threshold[j] = unit(engine), holding[j] = 0.5 + unit(engine);
  }
  ExpectEachPointsBits<double>(
      "erlang_b", A,
      [&](const double* in, double* out) {
        return moravel_erlang_b_array(n, V.data(), in, out, nullptr);
      },
      [&](std::size_t j, double* out) { return moravel_erlang_b(V[j], A[j], out); });
  ExpectEachPointsBits<double>(
      "erlang_c", A,
      [&](const double* in, double* out) {
        return moravel_erlang_c_array(n, V.data(), in, out, nullptr);
      },
      [&](std::size_t j, double* out) { return moravel_erlang_c(V[j], A[j], out); });
  ExpectEachPointsBits<double>(
      "engset", a,
      [&](const double* in, double* out) {
        return moravel_engset_array(n, N.data(), V.data(), in, out, nullptr);
      },
      [&](std::size_t j, double* out) { return moravel_engset(N[j], V[j], a[j], out); });
  ExpectEachPointsBits<double>(
      "direct", small,
      [&](const double* in, double* out) {
        return moravel_erlang_b_direct_array(n, V.data(), in, out, nullptr);
      },
      [&](std::size_t j, double* out) { return moravel_erlang_b_direct(V[j], small[j], out); });
  ExpectEachPointsBits<double>(
      "ratio", small,
      [&](const double* in, double* out) {
        return moravel_erlang_b_ratio_array(n, V.data(), in, fewer.data(), out, nullptr);
      },
      [&](std::size_t j, double* out) {
        return moravel_erlang_b_ratio(V[j], small[j], fewer[j], out);
      });
  ExpectEachPointsBits<moravel_loss_result>(
      "loss", A,
      [&](const double* in, auto* out) {
        return moravel_loss_array(n, V.data(), in, out, nullptr);
      },
      [&](std::size_t j, auto* out) { return moravel_loss(V[j], A[j], out); });
  ExpectEachPointsBits<moravel_loss_result>(
      "loss_finite_sources", a,
      [&](const double* in, auto* out) {
        return moravel_loss_finite_sources_array(n, N.data(), V.data(), in, out, nullptr);
      },
      [&](std::size_t j, auto* out) { return moravel_loss_finite_sources(N[j], V[j], a[j], out); });
  ExpectEachPointsBits<moravel_loss_result>(
      "loss_assembled", y,
      [&](const double* in, auto* out) {
        return moravel_loss_assembled_array(n, x.data(), in, z.data(), V.data(), multiplier.data(),
                                            out, nullptr);
      },
      [&](std::size_t j, auto* out) {
        return moravel_loss_assembled(x[j], y[j], z[j], V[j], multiplier[j], out);
      });
  ExpectEachPointsBits<moravel_wait_result>(
      "wait", holding,
      [&](const double* in, auto* out) {
        return moravel_wait_array(n, threshold.data(), in, V.data(), A.data(), out, nullptr);
      },
      [&](std::size_t j, auto* out) {
        return moravel_wait(threshold[j], holding[j], V[j], A[j], out);
      });
}

TEST(Api, ArraysStopAtTheFirstRefusedPoint) {
  const std::int32_t V[] = {10, 20, 0, 30};
  const double A[] = {5.0, 10.0, 1.0, 15.0};
  double loss[] = {-1.0, -1.0, -1.0, -1.0};
  std::size_t refused = 99;
  EXPECT_EQ(moravel_erlang_b_array(4, V, A, loss, &refused), MORAVEL_ERROR_SERVERS);
  EXPECT_EQ(refused, 2u);
  EXPECT_EQ(Bits(loss[1]), Bits(moravel::PalmTable(20, 10.0)));
  EXPECT_EQ(loss[2], -1.0);
  EXPECT_EQ(loss[3], -1.0);
  // All accepted: the index is left alone; no index asked for is fine too.
  EXPECT_EQ(moravel_erlang_b_array(2, V, A, loss, &refused), MORAVEL_OK);
  EXPECT_EQ(refused, 2u);
  EXPECT_EQ(moravel_erlang_b_array(4, V, A, loss, nullptr), MORAVEL_ERROR_SERVERS);
  // Past the first chunk of points: the ones before the refusal are
  // written, each with the single call's bits, and no later one.
  std::vector<std::int32_t> servers(700, 40);
  std::vector<double> traffic(700, 30.0), many(700, -1.0);
  for (std::size_t j = 0; j < servers.size(); ++j) servers[j] += static_cast<std::int32_t>(j % 5);
  traffic[333] = -1.0;
  EXPECT_EQ(moravel_erlang_b_array(700, servers.data(), traffic.data(), many.data(), &refused),
            MORAVEL_ERROR_TRAFFIC);
  EXPECT_EQ(refused, 333u);
  for (std::size_t j = 0; j < 333; ++j) {
    EXPECT_EQ(Bits(many[j]), Bits(moravel::PalmTable(servers[j], traffic[j]))) << j;
  }
  for (std::size_t j = 333; j < 700; ++j) EXPECT_EQ(many[j], -1.0) << j;
  // Missing arrays are refused before any point; n = 0 needs none.
  EXPECT_EQ(moravel_erlang_b_array(4, V, nullptr, loss, &refused), MORAVEL_ERROR_NULL_POINTER);
  EXPECT_EQ(moravel_wait_array(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
            MORAVEL_OK);
}

struct Run {
  std::vector<double> blocking, carried;
  bool operator==(const Run&) const = default;
};

Run SimulateSubset(std::int32_t policy, std::uint32_t seed) {
  const double a[] = {3.0, 1.0, 0.5}, t[] = {1.0, 2.0, 3.0};
  Run run{std::vector<double>(3), std::vector<double>(3)};
  EXPECT_EQ(moravel_simulate_link_subset(a, 3, t, 4, 3, 2, 20000, policy, seed, run.blocking.data(),
                                         run.carried.data()),
            MORAVEL_OK);
  return run;
}

TEST(Api, SeededLinkSubsetRunsRepeat) {
  for (std::int32_t policy : {MORAVEL_MOST_FREE, MORAVEL_FEWEST_FREE, MORAVEL_RANDOM_FREE}) {
    EXPECT_EQ(SimulateSubset(policy, 17u), SimulateSubset(policy, 17u)) << policy;
    EXPECT_NE(SimulateSubset(policy, 17u), SimulateSubset(policy, 18u)) << policy;
    // From the random device: two runs share no seed.
    EXPECT_NE(SimulateSubset(policy, 0u), SimulateSubset(policy, 0u)) << policy;
  }
}

TEST(Api, SeedSequenceStartsWithTheSingleServiceSeeds) {
  for (std::uint32_t seed : {1u, 2u, 17u, 0x80000000u, 0xffffffffu}) {
    moravel::SeedSequence seeds(seed);
    const std::uint32_t first = seeds(), second = seeds(), third = seeds(), fourth = seeds();
    EXPECT_EQ(first, seed);
    EXPECT_EQ(second, moravel::SecondSeed(seed));
    EXPECT_EQ(third, moravel::SecondSeed(second));
    EXPECT_EQ(fourth, moravel::SecondSeed(third));
    const std::set<std::uint32_t> distinct{first, second, third, fourth, 0u};
    EXPECT_EQ(distinct.size(), 5u);
  }
}

}  // namespace
