// The study core of the status-returning interface: the t quantile, the
// replication seeds, the estimates and the probability rule, and the
// solvers that search a model's sizes against a plain search.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "moravel/api.h"
#include "support/bits.h"

namespace {

TEST(StudentTQuantile, KnownValuesAndRefusals) {
  double t = 0.0;
  ASSERT_EQ(moravel_student_t_quantile(1, 0.95, &t), MORAVEL_OK);
  EXPECT_NEAR(t, 12.706204736174707, 1e-12);
  ASSERT_EQ(moravel_student_t_quantile(49, 0.95, &t), MORAVEL_OK);
  EXPECT_NEAR(t, 2.0095752371292397, 1e-13);
  ASSERT_EQ(moravel_student_t_quantile(9, 0.99, &t), MORAVEL_OK);
  EXPECT_NEAR(t, 3.2498355415921263, 1e-13);
  // A level near 1 needs a quantile far out: the doubling finds it.
  ASSERT_EQ(moravel_student_t_quantile(1, 1.0 - 1e-9, &t), MORAVEL_OK);
  EXPECT_NEAR(t / 636619772.36751, 1.0, 1e-6);
  struct Refusal {
    std::int32_t dof;
    double level;
    moravel_status status;
  };
  const Refusal refusals[] = {
      {0, 0.95, MORAVEL_ERROR_DEGREES_OF_FREEDOM},
      {-1, 0.95, MORAVEL_ERROR_DEGREES_OF_FREEDOM},
      {1, 0.0, MORAVEL_ERROR_LEVEL},
      {1, 1.0, MORAVEL_ERROR_LEVEL},
      {1, NAN, MORAVEL_ERROR_LEVEL},
      {1, -0.5, MORAVEL_ERROR_LEVEL},
  };
  for (const Refusal& r : refusals) {
    EXPECT_EQ(moravel_student_t_quantile(r.dof, r.level, &t), r.status) << r.dof << " " << r.level;
  }
  EXPECT_EQ(moravel_student_t_quantile(1, 0.95, nullptr), MORAVEL_ERROR_NULL_POINTER);
}

TEST(ReplicationSeeds, CountOnAndWrapPastTheLastWord) {
  struct Case {
    std::uint32_t first;
    std::vector<std::uint32_t> seeds;
  };
  const Case cases[] = {
      {1, {1, 2, 3}},
      {4294967294u, {4294967294u, 4294967295u, 1, 2}},
      {4294967295u, {4294967295u, 1}},
  };
  for (const Case& c : cases) {
    std::vector<std::uint32_t> seeds(c.seeds.size());
    ASSERT_EQ(moravel_replication_seeds(c.first, seeds.size(), seeds.data()), MORAVEL_OK);
    EXPECT_EQ(seeds, c.seeds) << c.first;
  }
  std::uint32_t seed = 7;
  EXPECT_EQ(moravel_replication_seeds(0, 1, &seed), MORAVEL_ERROR_FIRST_SEED);
  EXPECT_EQ(seed, 7u);
  EXPECT_EQ(moravel_replication_seeds(1, 0, nullptr), MORAVEL_OK);
  EXPECT_EQ(moravel_replication_seeds(1, 1, nullptr), MORAVEL_ERROR_NULL_POINTER);
}

TEST(Estimate, MeanErrorAndInterval) {
  const double values[] = {0.25, 0.5, 0.75};
  moravel_estimate_result e{};
  ASSERT_EQ(moravel_estimate(3, values, 0, 0.95, &e), MORAVEL_OK);
  double t = 0.0;
  ASSERT_EQ(moravel_student_t_quantile(2, 0.95, &t), MORAVEL_OK);
  EXPECT_EQ(e.mean, 0.5);
  EXPECT_EQ(e.standard_error, std::sqrt(0.125 / 2.0 / 3.0));
  EXPECT_EQ(e.ci_low, 0.5 - t * e.standard_error);
  EXPECT_EQ(e.ci_high, 0.5 + t * e.standard_error);
  // The compensated sums keep the mean of values of very different sizes
  // that plain summation loses.
  const double cancelling[] = {1e16, 1.0, -1e16, 1.0};
  ASSERT_EQ(moravel_estimate(4, cancelling, 0, 0.95, &e), MORAVEL_OK);
  EXPECT_EQ(e.mean, 0.5);
  // The interval of a probability stays inside [0, 1]; the same values
  // taken as no probability reach below 0.
  const double low[] = {0.0, 0.0, 0.0001};
  const double high[] = {1.0, 1.0, 0.9999};
  ASSERT_EQ(moravel_estimate(3, low, 1, 0.95, &e), MORAVEL_OK);
  EXPECT_EQ(e.ci_low, 0.0);
  EXPECT_GT(e.ci_high, e.mean);
  ASSERT_EQ(moravel_estimate(3, high, 1, 0.95, &e), MORAVEL_OK);
  EXPECT_EQ(e.ci_high, 1.0);
  ASSERT_EQ(moravel_estimate(3, low, 0, 0.95, &e), MORAVEL_OK);
  EXPECT_LT(e.ci_low, 0.0);
}

TEST(Estimate, Refusals) {
  const double good[] = {0.1, 0.2};
  const double nan[] = {0.1, NAN};
  const double inf[] = {0.1, INFINITY};
  const double above[] = {0.1, 1.0 + 2e-9};
  const double huge[] = {1e308, -1e308};
  moravel_estimate_result e{};
  struct Case {
    std::size_t n;
    const double* values;
    std::int32_t probability;
    double level;
    moravel_status status;
  };
  const Case cases[] = {
      {1, good, 0, 0.95, MORAVEL_ERROR_REPLICATIONS},
      {0, good, 0, 0.95, MORAVEL_ERROR_REPLICATIONS},
      {2, nan, 0, 0.95, MORAVEL_ERROR_SAMPLE},
      {2, inf, 0, 0.95, MORAVEL_ERROR_SAMPLE},
      {2, above, 1, 0.95, MORAVEL_ERROR_NOT_PROBABILITY},
      {2, above, 0, 0.95, MORAVEL_OK},
      {2, good, 0, 1.0, MORAVEL_ERROR_LEVEL},
      {2, huge, 0, 0.95, MORAVEL_ERROR_OVERFLOW},
      {2, nullptr, 0, 0.95, MORAVEL_ERROR_NULL_POINTER},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(moravel_estimate(c.n, c.values, c.probability, c.level, &e), c.status) << c.n;
  }
  EXPECT_EQ(moravel_estimate(2, good, 0, 0.95, nullptr), MORAVEL_ERROR_NULL_POINTER);
}

TEST(CheckProbability, ToleranceAboveOneOnly) {
  struct Case {
    double value;
    moravel_status status;
  };
  const Case cases[] = {
      {0.0, MORAVEL_OK},
      {-0.0, MORAVEL_OK},
      {1.0, MORAVEL_OK},
      {1.0 + 1e-9, MORAVEL_OK},
      {1.0 + 1.001e-9, MORAVEL_ERROR_NOT_PROBABILITY},
      {-1e-300, MORAVEL_ERROR_NOT_PROBABILITY},
      {NAN, MORAVEL_ERROR_NOT_PROBABILITY},
      {INFINITY, MORAVEL_ERROR_NOT_PROBABILITY},
  };
  for (const Case& c : cases) EXPECT_EQ(moravel_check_probability(c.value), c.status) << c.value;
}

// The least V a plain search calling moravel_erlang_b_direct finds, or its
// refusal.
moravel_status PlainDirectSearch(double A, double target, std::int32_t& V, double& loss) {
  for (V = 1; V <= 170; ++V) {
    const moravel_status s = moravel_erlang_b_direct(V, A, &loss);
    if (s != MORAVEL_OK) return s;
    if (loss <= target) return MORAVEL_OK;
  }
  return MORAVEL_ERROR_DIRECT_FORM_UNREACHABLE;
}

TEST(ErlangBDirectServers, AgreesWithAPlainSearch) {
  int answered = 0;
  for (const double A : {0.0, 1e-3, 0.5, 1.0, 5.0, 12.0306, 50.0, 100.0, 150.0, 170.0, 1e300}) {
    for (const double target : {0.5, 0.1, 0.01, 1e-3, 1e-6, 1e-12, 1e-30}) {
      std::int32_t expected_v = 0, got_v = 0;
      double expected_loss = 0.0, got_loss = 0.0;
      const moravel_status expected = PlainDirectSearch(A, target, expected_v, expected_loss);
      ASSERT_EQ(moravel_erlang_b_direct_servers(A, target, &got_v, &got_loss), expected)
          << A << " " << target;
      if (expected != MORAVEL_OK) continue;
      ++answered;
      EXPECT_EQ(got_v, expected_v) << A << " " << target;
      EXPECT_EQ(moravel::testing::Bits(got_loss), moravel::testing::Bits(expected_loss))
          << A << " " << target;
    }
  }
  EXPECT_GT(answered, 40);
  std::int32_t V = 0;
  EXPECT_EQ(moravel_erlang_b_direct_servers(-1.0, 0.1, &V, nullptr), MORAVEL_ERROR_TRAFFIC);
  EXPECT_EQ(moravel_erlang_b_direct_servers(1.0, 1.0, &V, nullptr), MORAVEL_ERROR_TARGET);
  EXPECT_EQ(moravel_erlang_b_direct_servers(1.0, 0.1, nullptr, nullptr),
            MORAVEL_ERROR_NULL_POINTER);
  EXPECT_EQ(moravel_erlang_b_direct_servers(50.0, 1e-300, &V, nullptr),
            MORAVEL_ERROR_DIRECT_FORM_UNREACHABLE);
  EXPECT_EQ(moravel_erlang_b_direct_servers(200.0, 1e-3, &V, nullptr), MORAVEL_ERROR_OVERFLOW);
}

TEST(LossPriorityServers, AgreesWithAPlainSearch) {
  const std::vector<std::vector<double>> classes = {
      {5.0}, {5.0, 1.0}, {10.0, 3.0, 0.5}, {0.0, 2.0}, {2.0, 0.0}, {30.0, 30.0}, {1e-3, 1e-3}};
  for (const auto& a : classes) {
    const auto M = static_cast<std::int32_t>(a.size());
    for (const double target : {0.3, 0.05, 0.01, 1e-4}) {
      std::vector<double> loss(a.size()), carried(a.size()), expected(a.size());
      std::int32_t V = 1;
      for (;; ++V) {
        ASSERT_EQ(moravel_loss_priority(M, V, a.data(), loss.data(), carried.data()), MORAVEL_OK);
        bool meets = true;
        for (const double E : loss) meets = meets && E <= target;
        if (meets) break;
      }
      expected = loss;
      std::int32_t got = 0;
      std::vector<double> got_loss(a.size());
      ASSERT_EQ(moravel_loss_priority_servers(M, a.data(), target, &got, got_loss.data()),
                MORAVEL_OK);
      EXPECT_EQ(got, V) << a[0] << " " << target;
      for (std::size_t j = 0; j < a.size(); ++j) {
        EXPECT_EQ(moravel::testing::Bits(got_loss[j]), moravel::testing::Bits(expected[j]));
      }
    }
  }
  const double a[] = {1.0, -1.0};
  const double big[] = {1e308, 1e308};
  std::int32_t V = 0;
  EXPECT_EQ(moravel_loss_priority_servers(0, a, 0.1, &V, nullptr), MORAVEL_ERROR_CLASSES);
  EXPECT_EQ(moravel_loss_priority_servers(2, a, 0.1, &V, nullptr), MORAVEL_ERROR_TRAFFIC);
  EXPECT_EQ(moravel_loss_priority_servers(2, big, 0.1, &V, nullptr), MORAVEL_ERROR_TRAFFIC);
  EXPECT_EQ(moravel_loss_priority_servers(1, a, 0.0, &V, nullptr), MORAVEL_ERROR_TARGET);
  EXPECT_EQ(moravel_loss_priority_servers(1, a, 0.1, nullptr, nullptr), MORAVEL_ERROR_NULL_POINTER);
  // Traffic no count of servers within the step budget carries: refused, not searched for minutes.
  const double huge[] = {1e9, 1.0};
  EXPECT_EQ(moravel_loss_priority_servers(2, huge, 0.01, &V, nullptr), MORAVEL_ERROR_MODEL_LIMIT);
}

}  // namespace
