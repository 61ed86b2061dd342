// A plain, slow transcription of the multi-service link-group and
// link-subset models, line for line, with nothing cached: every acceptance
// factor and every arrangement count is recomputed where it is used.  The
// differential tests hold the library's tabulated code to it, bit for bit.
//
// A class wider than a link has blocking 1 and carries 0; where 1 - E is
// below 2^-20 the carried traffic is t a times the accepting share summed
// directly; no class carries more than the k f units of the group.
//
// Only for groups inside the domain the tests generate: k, f >= 0, demands
// >= 0 and below 2^31, arrangement counts below 2^31 (the acceptance factor
// converts them to 32-bit integers here, as the literal algorithm does).
#ifndef MORAVEL_TESTS_REFERENCE_MULTISERVICE_REFERENCE_H
#define MORAVEL_TESTS_REFERENCE_MULTISERVICE_REFERENCE_H

#include <cstdint>
#include <string>
#include <vector>

namespace moravel::reference {

double Binomial(std::int32_t n, std::int32_t k);
// The placements of x units on k links of lo..hi units each, counted one by
// one (exact below 2^64: for the small groups that check the counts).
std::uint64_t EnumeratedPlacements(int x, int k, int lo, int hi);
double Arrangements(std::int32_t x, std::int32_t k, std::int32_t hi, std::int32_t lo);
double AcceptanceFactor(std::int32_t x, std::int32_t d, std::int32_t k, std::int32_t f);
// 1 - AcceptanceFactor, or B / N itself where that is below 2^-20 (1 - sigma
// would have lost its digits); 1 when d > f or N = 0.
double RefusingShare(std::int32_t x, std::int32_t d, std::int32_t k, std::int32_t f);
std::vector<double> OccupancyDistribution(const double* a, const double* t, std::int32_t M,
                                          std::int32_t k, std::int32_t f);

struct ClassResults {
  std::vector<double> E;
  std::vector<double> C;
};

ClassResults LinkGroupModel(const double* a, std::int32_t M, const double* t, std::int32_t k,
                            std::int32_t f);
ClassResults LinkSubsetModel(const double* a, std::int32_t M, const double* t, std::int32_t k,
                             std::int32_t f, std::int32_t g);

// The result texts: E0, " ", C0, " ", E1, ... in a default-format stream.
std::string LinkGroupText(const double* a, std::int32_t M, const double* t, std::int32_t k,
                          std::int32_t f);
std::string LinkSubsetText(const double* a, std::int32_t M, const double* t, std::int32_t k,
                           std::int32_t f, std::int32_t g);

}  // namespace moravel::reference

#endif
