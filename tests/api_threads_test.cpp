// The status-returning interface shares nothing between calls: threads that
// call every kind of function at once get the bits a lone thread gets.  The
// tsan preset runs this under ThreadSanitizer, which reports any data race
// among the calls.
#include <gtest/gtest.h>

#include <cstdint>
#include <latch>
#include <thread>
#include <vector>

#include "moravel/api.h"
#include "support/bits.h"

namespace {

using moravel::testing::Bits;

// Calls every group of the interface with inputs that depend on `variant`,
// and collects the bits of every figure (and each status) in call order.
std::vector<std::uint64_t> Battery(int variant) {
  std::vector<std::uint64_t> out;
  const auto keep = [&out](double x) { out.push_back(Bits(x)); };
  const auto status = [&out](moravel_status s) { out.push_back(static_cast<std::uint64_t>(s)); };
  const double A = 5.0 + variant;
  const std::int32_t V = 8 + variant;

  double x = 0.0;
  status(moravel_erlang_b(V, A, &x)), keep(x);
  status(moravel_erlang_c(V, A, &x)), keep(x);
  status(moravel_engset(20, V, 0.2, &x)), keep(x);
  status(moravel_erlang_b_direct(V, A, &x)), keep(x);
  status(moravel_erlang_b_ratio(V, A, 2, &x)), keep(x);

  moravel_loss_result loss;
  status(moravel_loss(V, A, &loss)), keep(loss.loss), keep(loss.carried);
  status(moravel_loss_finite_sources(30, V, 0.3, &loss)), keep(loss.loss), keep(loss.carried);
  status(moravel_loss_assembled(1.0, 2.0, 0.5, V, 3, &loss)), keep(loss.loss), keep(loss.carried);
  const double classes[3] = {A, 2.0, 1.0};
  double lost[3], carried[3];
  status(moravel_loss_priority(3, V, classes, lost, carried));
  for (int i = 0; i < 3; ++i) keep(lost[i]), keep(carried[i]);
  moravel_wait_result wait;
  status(moravel_wait(20.0, 180.0, V, A, &wait));
  keep(wait.wait_probability), keep(wait.wait_exceeds), keep(wait.mean_wait);

  std::vector<std::int32_t> servers(100);
  std::vector<double> traffic(100), losses(100);
  for (int j = 0; j < 100; ++j) servers[j] = 1 + j, traffic[j] = 0.5 * j + variant;
  status(moravel_erlang_b_array(100, servers.data(), traffic.data(), losses.data(), nullptr));
  for (double value : losses) keep(value);
  std::vector<moravel_loss_result> results(100);
  status(moravel_loss_array(100, servers.data(), traffic.data(), results.data(), nullptr));
  for (const auto& r : results) keep(r.carried);

  status(moravel_simulate_loss(A, V, 20000, 11u + variant, &loss)), keep(loss.loss);
  status(moravel_simulate_wait(A, V, 20000, 0.5, 11u + variant, &wait));
  keep(wait.wait_probability);

  const double a[2] = {2.0 + variant, 1.0}, t[2] = {1.0, 2.0};
  double blocking[2], carried_units[2];
  status(moravel_link_group(a, 2, t, 3, 5, blocking, carried_units));
  keep(blocking[0]), keep(blocking[1]);
  status(moravel_link_subset(a, 2, t, 3, 5, 2, blocking, carried_units));
  keep(blocking[0]), keep(blocking[1]);
  status(moravel_simulate_link_subset(a, 2, t, 3, 5, 2, 20000, MORAVEL_RANDOM_FREE, 5u + variant,
                                      blocking, carried_units));
  keep(blocking[0]), keep(blocking[1]);
  // Seed 0 reads the random device: only its status is repeatable.
  status(moravel_simulate_link_subset(a, 2, t, 3, 5, 2, 1000, MORAVEL_MOST_FREE, 0u, blocking,
                                      carried_units));

  std::int32_t size = 0;
  status(moravel_erlang_b_servers(10.0 * A, 0.01, &size, &x)), out.push_back(size), keep(x);
  status(moravel_engset_servers(40, 0.3, 0.01, &size, &x)), out.push_back(size);
  status(moravel_link_group_links(a, 2, t, 5, 0.01, &size, blocking)), out.push_back(size);
  status(moravel_link_subset_links(a, 2, t, 5, 2, 0.01, &size, blocking)), out.push_back(size);
  status(moravel_erlang_b_traffic(V, 0.01, &x)), keep(x);
  status(moravel_engset_traffic(40, V, 0.01, &x)), keep(x);
  moravel_staffing staffing;
  status(moravel_agents_for_service_level(2 * A, 180.0, 20.0, 0.8, &staffing));
  out.push_back(static_cast<std::uint64_t>(staffing.agents)), keep(staffing.service_level);
  status(moravel_agents_for_mean_wait(2 * A, 180.0, 20.0, 10.0, &staffing));
  out.push_back(static_cast<std::uint64_t>(staffing.agents));
  status(moravel_agents_for_wait_probability(2 * A, 180.0, 20.0, 0.2, &staffing));
  out.push_back(static_cast<std::uint64_t>(staffing.agents));
  status(moravel_loss(0, A, &loss));  // a refusal, also without shared state
  return out;
}

TEST(ApiThreads, EveryFunctionGivesTheLoneThreadsBits) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 3;
  std::vector<std::vector<std::uint64_t>> expected;
  for (int t = 0; t < kThreads; ++t) expected.push_back(Battery(t));
  for (const auto& bits : expected) ASSERT_EQ(bits.size(), expected[0].size());

  std::vector<int> mismatches(kThreads, 0);
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      for (int round = 0; round < kRounds; ++round) {
        // Every thread runs every variant, in a rotated order.
        for (int v = 0; v < kThreads; ++v) {
          const int variant = (t + v) % kThreads;
          if (Battery(variant) != expected[static_cast<std::size_t>(variant)]) ++mismatches[t];
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace
