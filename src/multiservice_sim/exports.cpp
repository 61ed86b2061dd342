// C entry point of the multi-service link-subset simulation.
#include <random>
#include <vector>

#include "channel/result_channel.h"
#include "moravel.h"
#include "multiservice_sim/link_subset_simulation.h"

extern "C" {

MORAVEL_API const char* VM_VMl_VDg_L_im(const double* a, int32_t M, const double* t, int32_t k,
                                        int32_t f, int32_t g, int32_t N, const char* policy) {
  return moravel::RunTextExport([&](moravel::ResultWriter& out) {
    // Every engine is seeded from the platform's random device, so runs
    // cannot be repeated; "ПервСвоб" therefore draws its positions from one
    // engine per run rather than seeding a fresh one per arrival, which
    // places calls with the same distribution.
    std::random_device device;
    const auto results = moravel::SimulateLinkSubsetSystem(
        a, M, t, k, f, g, N, policy, [&device] { return static_cast<std::uint32_t>(device()); },
        moravel::RandomPlacementSeeding::kOneEnginePerRun);
    if (!results) return;
    std::vector<double> numbers;
    numbers.reserve(2 * results->E.size());
    for (std::size_t i = 0; i < results->E.size(); ++i) {
      numbers.push_back(results->E[i]);
      numbers.push_back(results->C[i]);
    }
    out.WriteEachFollowedByBlank(numbers);
  });
}

}  // extern "C"
