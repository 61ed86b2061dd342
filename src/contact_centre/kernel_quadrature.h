// Adaptive Gauss-Kronrod (7/15 points) of several kernels against one
// smooth, single-peaked weight, on the same nodes.
#ifndef MORAVEL_CONTACT_CENTRE_KERNEL_QUADRATURE_H
#define MORAVEL_CONTACT_CENTRE_KERNEL_QUADRATURE_H

#include <array>
#include <cstddef>
#include <functional>
#include <vector>

namespace moravel::contact {

inline constexpr std::size_t kKernels = 7;
using KernelValues = std::array<double, kKernels>;

// integrand(u, values) writes the kernels times the weight at u.  Returns
// the integrals over each piece [cuts[i], cuts[i + 1]], summed, after
// bisecting the piece with the largest estimated error (relative to each
// kernel's own total) until every estimate is below `tolerance` of its
// total, or `max_pieces` pieces are in use.
KernelValues IntegrateKernels(const std::function<void(double, KernelValues&)>& integrand,
                              const std::vector<double>& cuts, double tolerance,
                              std::size_t max_pieces);

}  // namespace moravel::contact

#endif
