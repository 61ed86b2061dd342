// The status-returning interface gives the doubles the legacy exports write:
// on generated inputs, each of the ten text exports' text equals the
// interface's results written as "%.6g" in the export's layout.
//
// VM_VMl_VDg_L_im seeds itself from the random device.  This executable
// replaces the device's draw (std::random_device::_M_getval, which
// libstdc++'s operator() calls out of line) by a scripted sequence, so that
// the legacy export runs with the engine seeds that the interface derives
// from a seed: s, S(s), S(S(s)), ... with S = SecondSeed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "moravel.h"
#include "moravel/api.h"
#include "random/second_seed.h"
#include "support/bits.h"

namespace {

std::uint32_t next_device_value = 0;  // 0: the device is not scripted

}  // namespace

// The scripted device: the next value of the seed sequence, when a test has
// set one; the platform's own source is never read in this executable.
std::random_device::result_type std::random_device::_M_getval() {
  const std::uint32_t value = next_device_value;
  next_device_value = moravel::SecondSeed(next_device_value);
  return value;
}

namespace {

using moravel::testing::Bits;
using moravel::testing::Text;

constexpr int kCases = 200;

// Numbers with one blank between them, as the two- and five-number exports
// write them.
std::string Separated(std::initializer_list<double> numbers) {
  std::string text;
  for (double x : numbers) text += (text.empty() ? "" : " ") + Text(x);
  return text;
}

// Per-class pairs, every number followed by a blank.
// The first, third, fifth ... number of a text of numbers and blanks.
std::string EveryOther(const std::string& text) {
  std::string kept;
  bool keep = true;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ' ') {
      if (keep && i > start) kept += text.substr(start, i - start) + " ";
      keep = !keep;
      start = i + 1;
    }
  }
  return kept;
}

std::string PerClass(const std::vector<double>& first, const std::vector<double>& second) {
  std::string text;
  for (std::size_t i = 0; i < first.size(); ++i)
    text += Text(first[i]) + " " + Text(second[i]) + " ";
  return text;
}

class Inputs {
 public:
  explicit Inputs(std::uint64_t seed) : engine_(seed) {}
  std::int32_t Count(std::int32_t lo, std::int32_t hi) {
    return std::uniform_int_distribution<std::int32_t>(lo, hi)(engine_);
  }
  double Real(double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(engine_);
  }
  // Zero one time in ten, else uniform in (0, hi).
  double Traffic(double hi) { return Count(0, 9) == 0 ? 0.0 : Real(0.0, hi); }
  std::uint32_t Seed() { return static_cast<std::uint32_t>(Count(1, 1 << 30)) * 3u + 1u; }

 private:
  std::mt19937_64 engine_;
};

// A group of classes on k links of f units; demands up to f + 1 so that
// some classes are wider than a link.
struct Group {
  std::vector<double> a, t;
  std::int32_t k, f, g;
};

Group MakeGroup(Inputs& in) {
  Group group;
  const std::int32_t M = in.Count(1, 3);
  group.k = in.Count(1, 4);
  group.f = in.Count(1, 10);
  group.g = in.Count(1, group.k);
  for (std::int32_t i = 0; i < M; ++i) {
    group.a.push_back(in.Traffic(6.0));
    group.t.push_back(in.Count(1, group.f + 1));
  }
  return group;
}

TEST(LegacyText, SingleServiceModels) {
  Inputs in(1);
  for (int c = 0; c < kCases; ++c) {
    const std::int32_t V = in.Count(1, 150);
    const double A = in.Traffic(200.0);
    moravel_loss_result loss;
    ASSERT_EQ(moravel_loss(V, A, &loss), MORAVEL_OK);
    EXPECT_EQ(M_M_V_L_an(V, A), Separated({loss.loss, loss.carried})) << V << " " << A;

    const std::int32_t N = in.Count(1, 100);
    const double a = in.Count(0, 9) == 0 ? 0.0 : in.Real(0.0, 0.99);
    ASSERT_EQ(moravel_loss_finite_sources(N, V, a, &loss), MORAVEL_OK);
    EXPECT_EQ(Mi_M_V_L_an(N, V, a), Separated({loss.loss, loss.carried})) << N << " " << V;

    const double x = in.Real(0.01, 100.0), y = in.Real(0.01, 100.0), z = in.Traffic(100.0);
    const std::int32_t n = in.Count(0, 20);
    ASSERT_EQ(moravel_loss_assembled(x, y, z, V, n, &loss), MORAVEL_OK);
    EXPECT_EQ(M_G_V_L_an(x, y, z, V, n), Separated({loss.loss, loss.carried}));

    std::vector<double> classes(static_cast<std::size_t>(in.Count(1, 5)));
    for (double& traffic : classes) traffic = in.Traffic(20.0);
    const auto M = static_cast<std::int32_t>(classes.size());
    std::vector<double> lost(classes.size()), carried(classes.size());
    ASSERT_EQ(moravel_loss_priority(M, V, classes.data(), lost.data(), carried.data()), MORAVEL_OK);
    EXPECT_EQ(M_M_V_L_PRA_an(M, V, classes.data()), PerClass(lost, carried));

    const double t = in.Traffic(100.0), h = in.Real(0.1, 300.0);
    const double below = in.Real(0.0, static_cast<double>(V));
    moravel_wait_result w;
    ASSERT_EQ(moravel_wait(t, h, V, below, &w), MORAVEL_OK);
    EXPECT_EQ(M_M_V_W_FF_R_an(t, h, V, below),
              Separated({w.wait_probability, w.wait_exceeds, w.mean_wait, w.mean_wait_of_waiting,
                         w.queue_length}));
  }
}

TEST(LegacyText, SingleServiceSimulations) {
  Inputs in(2);
  for (int c = 0; c < kCases; ++c) {
    const std::int32_t V = in.Count(1, 40);
    const std::int32_t N = in.Count(1, 3000);
    const std::uint32_t seed = in.Seed();
    const double A = in.Real(0.05, 60.0);
    moravel_loss_result loss;
    ASSERT_EQ(moravel_simulate_loss(A, V, N, seed, &loss), MORAVEL_OK);
    // The second interface caps the estimated carried traffic at V (short,
    // overloaded runs pass it); the legacy text writes it uncapped.
    const double uncapped = (1.0 - loss.loss) * A;
    EXPECT_EQ(Bits(loss.carried), Bits(std::min(uncapped, static_cast<double>(V))));
    EXPECT_EQ(M_M_V_L_im(A, V, N, seed), Separated({loss.loss, uncapped}));

    const double below = in.Real(0.05, static_cast<double>(V));
    const double t = in.Traffic(3.0);
    moravel_wait_result w;
    ASSERT_EQ(moravel_simulate_wait(below, V, N, t, seed, &w), MORAVEL_OK);
    EXPECT_EQ(M_M_V_W_FF_R_im(below, V, N, t, seed),
              Separated({w.wait_probability, w.wait_exceeds, w.mean_wait, w.mean_wait_of_waiting,
                         w.queue_length}));
  }
}

TEST(LegacyText, LinkGroupModels) {
  Inputs in(3);
  for (int c = 0; c < kCases; ++c) {
    const Group group = MakeGroup(in);
    const auto M = static_cast<std::int32_t>(group.a.size());
    std::vector<double> blocking(group.a.size()), carried(group.a.size());
    ASSERT_EQ(moravel_link_group(group.a.data(), M, group.t.data(), group.k, group.f,
                                 blocking.data(), carried.data()),
              MORAVEL_OK);
    EXPECT_EQ(VM_VMl_V_L_an(group.a.data(), M, group.t.data(), group.k, group.f),
              PerClass(blocking, carried));
    ASSERT_EQ(moravel_link_subset(group.a.data(), M, group.t.data(), group.k, group.f, group.g,
                                  blocking.data(), carried.data()),
              MORAVEL_OK);
    EXPECT_EQ(VM_VMl_VDg_L_an(group.a.data(), M, group.t.data(), group.k, group.f, group.g),
              PerClass(blocking, carried));
  }
}

TEST(LegacyText, LinkSubsetSimulation) {
  // The legacy keywords of the three policies, by policy code.
  const char* const keywords[] = {nullptr, "МаксСвоб", "МинСвоб", "ПервСвоб"};
  Inputs in(4);
  int scaled = 0;
  for (int c = 0; c < kCases; ++c) {
    Group group = MakeGroup(in);
    group.a[0] = in.Real(0.1, 6.0);  // some traffic to simulate
    const auto M = static_cast<std::int32_t>(group.a.size());
    const std::int32_t N = in.Count(1, 2000);
    const std::int32_t policy = in.Count(1, 3);
    const std::uint32_t seed = in.Seed();
    std::vector<double> blocking(group.a.size()), carried(group.a.size());
    ASSERT_EQ(
        moravel_simulate_link_subset(group.a.data(), M, group.t.data(), group.k, group.f, group.g,
                                     N, policy, seed, blocking.data(), carried.data()),
        MORAVEL_OK);
    next_device_value = seed;
    const std::string legacy = VM_VMl_VDg_L_im(group.a.data(), M, group.t.data(), group.k, group.f,
                                               group.g, N, keywords[policy]);
    // Where the estimates a t (1 - E) together pass the group's units, the
    // second interface scales them down to the units and the legacy text
    // keeps them: there only the blockings are the same.
    double total = 0.0;
    for (const double C : carried) total += C;
    const double capacity = static_cast<double>(group.k) * group.f;
    if (total < capacity * (1.0 - 1e-12)) {
      EXPECT_EQ(legacy, PerClass(blocking, carried)) << "seed " << seed << " policy " << policy;
    } else {
      ++scaled;
      EXPECT_EQ(EveryOther(legacy), EveryOther(PerClass(blocking, carried)))
          << "seed " << seed << " policy " << policy;
    }
  }
  EXPECT_LT(scaled, kCases / 2);  // most runs stay within their group
}

}  // namespace
