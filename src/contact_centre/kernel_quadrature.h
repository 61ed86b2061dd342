// Adaptive Gauss-Kronrod (7/15 points) of several kernels against one
// smooth, single-peaked weight, on the same nodes.
#ifndef MORAVEL_CONTACT_CENTRE_KERNEL_QUADRATURE_H
#define MORAVEL_CONTACT_CENTRE_KERNEL_QUADRATURE_H

#include <array>
#include <cstddef>
#include <algorithm>
#include <cmath>
#include <vector>

namespace moravel::contact {

inline constexpr std::size_t kKernels = 8;
using KernelValues = std::array<double, kKernels>;

namespace detail {

// The 15-point Kronrod extension of the 7-point Gauss rule: abscissae
// (positive half, the centre last), Kronrod weights, Gauss weights of the
// odd-indexed abscissae and the centre.
inline constexpr double kNodes[8] = {
    0.991455371120812639206854697526329, 0.949107912342758524526189684047851,
    0.864864423359769072789712788640926, 0.741531185599394439863864773280788,
    0.586087235467691130294144845693013, 0.405845151377397166906606412076961,
    0.207784955007898467600689403773245, 0.0};
inline constexpr double kKronrod[8] = {
    0.022935322010529224963732008058970, 0.063092092629978553290700663189204,
    0.104790010322250183839876322541518, 0.140653259715525918745189590510238,
    0.169004726639267902826583426598550, 0.190350578064785409913256402421014,
    0.204432940075298892414161999234649, 0.209482141084727828012999174891714};
inline constexpr double kGauss[4] = {
    0.129484966168869693270611432679082, 0.279705391489276667901467771423780,
    0.381830050505118944950369775488975, 0.417959183673469387755102040816327};

struct Piece {
  double lo, hi;
  KernelValues value;
  KernelValues error;
};

template <class Integrand>
Piece Evaluate(const Integrand& integrand, double lo, double hi) {
  Piece piece{lo, hi, {}, {}};
  const double centre = 0.5 * (lo + hi);
  const double half = 0.5 * (hi - lo);
  KernelValues kronrod{}, gauss{}, f{};
  integrand(centre, f);
  for (std::size_t k = 0; k < kKernels; ++k) {
    kronrod[k] = kKronrod[7] * f[k];
    gauss[k] = kGauss[3] * f[k];
  }
  for (int j = 0; j < 7; ++j) {
    KernelValues left{}, right{};
    integrand(centre - half * kNodes[j], left);
    integrand(centre + half * kNodes[j], right);
    for (std::size_t k = 0; k < kKernels; ++k) {
      const double pair = left[k] + right[k];
      kronrod[k] += kKronrod[j] * pair;
      if (j % 2 == 1) gauss[k] += kGauss[j / 2] * pair;
    }
  }
  for (std::size_t k = 0; k < kKernels; ++k) {
    piece.value[k] = kronrod[k] * half;
    // The difference of the two rules overstates the Kronrod rule's error
    // on smooth integrands by far; QUADPACK's damping of it is kept.
    const double raw = std::fabs((kronrod[k] - gauss[k]) * half);
    const double scale = std::fabs(piece.value[k]);
    const double ratio = 200.0 * raw / scale;
    piece.error[k] = scale > 0.0 ? scale * std::min(1.0, ratio * std::sqrt(ratio)) : raw;
  }
  return piece;
}

}  // namespace detail

// integrand(u, values) writes the kernels times the weight at u.  Returns
// the integrals over each piece [cuts[i], cuts[i + 1]], summed, after
// bisecting the piece with the largest estimated error (relative to each
// kernel's own total) until every estimate is below `tolerance` of its
// total, or `max_pieces` pieces are in use.
template <class Integrand>
KernelValues IntegrateKernels(const Integrand& integrand, const std::vector<double>& cuts,
                              double tolerance, std::size_t max_pieces) {
  std::vector<detail::Piece> pieces;
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    if (cuts[i + 1] > cuts[i]) pieces.push_back(detail::Evaluate(integrand, cuts[i], cuts[i + 1]));
  }
  KernelValues total{}, error{};
  for (const detail::Piece& p : pieces) {
    for (std::size_t k = 0; k < kKernels; ++k) {
      total[k] += p.value[k];
      error[k] += p.error[k];
    }
  }
  for (;;) {
    // The kernel whose summed error weighs most against its total, and
    // that kernel's worst piece.
    double worst = 0.0;
    std::size_t worst_kernel = 0;
    for (std::size_t k = 0; k < kKernels; ++k) {
      if (total[k] == 0.0) continue;
      const double weight = error[k] / std::fabs(total[k]);
      if (weight > worst) {
        worst = weight;
        worst_kernel = k;
      }
    }
    std::size_t worst_piece = 0;
    for (std::size_t i = 1; i < pieces.size(); ++i) {
      if (pieces[i].error[worst_kernel] > pieces[worst_piece].error[worst_kernel]) worst_piece = i;
    }
    if (worst <= tolerance || pieces.size() >= max_pieces) return total;
    const detail::Piece split = pieces[worst_piece];
    const double middle = 0.5 * (split.lo + split.hi);
    if (!(middle > split.lo && middle < split.hi)) return total;
    pieces[worst_piece] = detail::Evaluate(integrand, split.lo, middle);
    pieces.push_back(detail::Evaluate(integrand, middle, split.hi));
    // The totals afresh (not by differences, which would leave rounding).
    total.fill(0.0);
    error.fill(0.0);
    for (const detail::Piece& p : pieces) {
      for (std::size_t k = 0; k < kKernels; ++k) {
        total[k] += p.value[k];
        error[k] += p.error[k];
      }
    }
  }
}

}  // namespace moravel::contact

#endif
