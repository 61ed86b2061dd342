// A plain, slow transcription of the multi-service link-group and
// link-subset models, line for line, with nothing cached: every acceptance
// factor and every arrangement count is recomputed where it is used.  The
// differential tests hold the library's tabulated code to it, bit for bit.
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
double Arrangements(std::int32_t x, std::int32_t k, std::int32_t hi, std::int32_t lo);
double AcceptanceFactor(std::int32_t x, std::int32_t d, std::int32_t k, std::int32_t f);
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
