/*
 * moravel.h - the C interface of libMoravel, a library of teletraffic
 * calculations: Erlang loss and delay, Engset, single-service loss and
 * waiting models, multi-rate link groups, and call-by-call simulations.
 *
 * Units: traffic in erlangs (arrival rate x mean holding time); demands and
 * capacities in allocation units; simulated time in mean holding times.
 *
 * moravel/api.h, exported by the same library, gives these results as
 * full-precision doubles with a status code for every call, from any number
 * of threads at once, and adds dimensioning solvers: new hosts should use it.
 *
 * Two kinds of export:
 *  - scalar formulas return one double; they are pure and may be called
 *    from any thread at any time;
 *  - models and simulations return a pointer to the library's result text:
 *    numbers in printf "%.6g" form separated by single blanks.  The text is
 *    one per process.  The pointer is never NULL (an empty text when nothing
 *    is written) and stays valid until the next text-returning call or until
 *    the library is unloaded: copy it before the next such call.  Calls of
 *    text-returning exports must be serialised by the host (one at a time in
 *    the process, across all ten of them).
 *
 * The library checks few arguments: out-of-range values give the IEEE
 * infinities, NaNs or negative zeros that the arithmetic gives, written like
 * any other number ("inf", "-inf", "nan", "-nan", "-0").  Only inputs that
 * would read or write out of bounds, allocate absurd sizes or loop without
 * end are refused, with the empty text.  No exception ever leaves an export.
 *
 * Bad input, export by export ("" is the empty text):
 *   PalmTable        V <= 0 or V = 2^31-1: 0.  A < 0, +-inf, NaN: what the
 *                    recursion gives (-inf, NaN).  Huge V: linear time.
 *   ErlangFormula2   V = 0: -0 (A > 0) or NaN (A = 0); V < 0: 0; A > V: > 1.
 *   EngsetTable      V <= 0 or V = 2^31-1: 0; V >= N >= 1: +-0; a = 1: NaN;
 *                    N <= 0: the recursion's number, of either sign.
 *   E, Hi            V < 0: +-inf or NaN; V >= 171: 0 or NaN; any V returns
 *                    at once.  Hi: V - i < 0 gives 0; A = 0 gives 0 when
 *                    V - i < 1 (1 for V = i = 0), NaN otherwise.
 *   M_M_V_L_an, Mi_M_V_L_an, M_G_V_L_an, M_M_V_W_FF_R_an: never "", the
 *                    numbers as computed ("-nan -nan", "1 1 inf inf inf").
 *   M_M_V_L_PRA_an   N <= 0 or a NULL: "".  Class j >= 1 with 0 erl: "0 0".
 *   M_M_V_L_im       V < 0 or N <= 0: "".  V = 0: "1 0".
 *   M_M_V_W_FF_R_im  V <= 0 or N <= 0: "".  A >= V: not clamped.
 *                    Both: A < 0, -0, NaN or inf completes at once.
 *   VM_VMl_V_L_an, VM_VMl_VDg_L_an: M <= 0, NULL a or t, a demand < 0 or
 *                    NaN, k < 0, f < 0, k*f beyond 32 bits, a group beyond
 *                    the evaluation limits (below): "".  Subset model also
 *                    g < 0 or g > k: "".  Demand wider than a link: "1 0"
 *                    for that class, exactly.
 *   VM_VMl_VDg_L_im  M <= 0, N <= 0, NULL a, t or policy, k, f or g < 0,
 *                    g > k, k*f beyond 32 bits, C(k, g) >= 2^31, a demand
 *                    < 0 or NaN, a traffic < 0 or not finite, all traffic
 *                    0: "".  With f >= 1 and g >= 1 also k > 2^24, N and
 *                    k*f both > 2^26, or N*g > 2^37: "" at once, nothing
 *                    allocated.  Unknown keyword or g = 0: "1 0" for every
 *                    class; a demand wider than a link: "1 0" for that
 *                    class; with calls or without.  A keyword without its
 *                    terminating zero byte cannot be guarded against: it
 *                    is read up to the first zero byte.
 */
#ifndef MORAVEL_H
#define MORAVEL_H

#include <stdint.h>

#include "moravel/export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Scalar formulas ------------------------------------------------- */

/*! PalmTable() : Erlang loss formula B(V, A) by the recursion
 *  B(i) = A*B(i-1) / (i + A*B(i-1)), B(0) = 1.
 *  V: servers; A: offered traffic [erlang].
 *  @return : the loss probability; 0 for V <= 0 and for V = 2147483647. */
MORAVEL_API double PalmTable(int32_t V, double A);

/*! ErlangFormula2() : Erlang delay formula C(V, A) = B / (1 - (A/V)(1 - B)).
 *  V: servers; A: offered traffic [erlang].
 *  @return : the probability of waiting; not clamped (above 1 for A > V,
 *  -0 for V = 0 with A > 0, NaN for V = 0 with A = 0). */
MORAVEL_API double ErlangFormula2(int32_t V, double A);

/*! EngsetTable() : Engset call congestion for N sources on V servers.
 *  N: sources; V: servers; a: offered traffic per source [erlang].
 *  @return : the probability that a call attempt is lost; 0 for V <= 0,
 *  (+/-)0 for V >= N, NaN for a = 1. */
MORAVEL_API double EngsetTable(int32_t N, int32_t V, double a);

/*! E() : Erlang loss formula in direct form (A^V/V!) / sum_k A^k/k!.
 *  V: servers; A: offered traffic [erlang].
 *  @return : 1 for V = 0; an infinity or NaN for V < 0; 0 or NaN once V!
 *  overflows (V >= 171).  PalmTable() has no such limit. */
MORAVEL_API double E(int32_t V, double A);

/*! Hi() : the ratio E(V, A) / E(V - i, A).
 *  V: servers; A: offered traffic [erlang]; i: servers fewer in the divisor.
 *  @return : the ratio; 0 when V - i < 0. */
MORAVEL_API double Hi(int32_t V, double A, int32_t i);

/* ---- Single-service analytic models ---------------------------------- */

/*! M_M_V_L_an() : Erlang loss system.  V: servers; A: traffic [erlang].
 *  @return : "B Y": loss probability, carried traffic [erlang]. */
MORAVEL_API const char* M_M_V_L_an(int32_t V, double A);

/*! Mi_M_V_L_an() : Engset loss system.  N: sources; V: servers;
 *  a: traffic per source [erlang].
 *  @return : "B Y": call congestion, carried traffic [erlang]. */
MORAVEL_API const char* Mi_M_V_L_an(int32_t N, int32_t V, double a);

/*! M_G_V_L_an() : Erlang loss system on an assembled load
 *  A = (n / (1/x + 1/y)) * (z/y + 1).  x, y: times in one unit; z: a time
 *  in the unit of y; V: servers; n: whole-number multiplier.
 *  @return : "B Y": loss probability, carried traffic [erlang]. */
MORAVEL_API const char* M_G_V_L_an(double x, double y, double z, int32_t V, int32_t n);

/*! M_M_V_L_PRA_an() : N Poisson classes of falling priority on V servers.
 *  a: N offered traffics [erlang], highest priority first.
 *  @return : "E0 Y0 E1 Y1 ... " (each number followed by a blank): loss
 *  probability and carried traffic [erlang] per class.  Empty text for
 *  N <= 0 or a NULL a.  A class j >= 1 offering 0 erlangs reports "0 0".
 *  A class far below the ones above it (the difference of the aggregates'
 *  losses keeping fewer than 32 bits) takes its loss from a recursion
 *  without subtraction, as moravel_loss_priority() details. */
MORAVEL_API const char* M_M_V_L_PRA_an(int32_t N, int32_t V, const double* a);

/*! M_M_V_W_FF_R_an() : Erlang delay system, unlimited FIFO queue.
 *  t: waiting-time threshold, in the unit of h; h: mean holding time;
 *  V: servers; A: traffic [erlang].
 *  @return : "C P(W>t) W Wq Lq": probability of waiting, probability that
 *  the wait exceeds t, mean wait of all calls and of waiting calls [unit of
 *  h], mean queue length.  Not clamped for A >= V. */
MORAVEL_API const char* M_M_V_W_FF_R_an(double t, double h, int32_t V, double A);

/* ---- Single-service simulations -------------------------------------- */

/*! M_M_V_L_im() : replays N calls of A erlangs through V servers that start
 *  free at time 0; time runs in mean holding times.  A call arriving exactly
 *  as the earliest server frees is lost.
 *  seed: the inter-arrival times come from an MT19937 engine seeded with
 *  seed, the holding times from a second one seeded with
 *  SecondSeed(seed) = U(M(seed) + 1), where M is the 32-bit finaliser of
 *  MurmurHash3 (x ^= x >> 16; x *= 0x85ebca6b; x ^= x >> 13;
 *  x *= 0xc2b2ae35; x ^= x >> 16), U its inverse, and + 1 steps along
 *  1, 2, ..., 2^32 - 1, 1: never 0, never seed itself.  Any seed but 0
 *  repeats the run exactly; 0 seeds both engines from the monotonic clock
 *  (two different readings), so every run differs.
 *  @return : "B Y" as M_M_V_L_an(), estimated.  Empty text for V < 0 or
 *  N <= 0; "1 0" for V = 0 (every call lost).  A < 0, -0 or NaN: no call
 *  can arrive after a server frees, so all are lost ("1 -0" for A < 0),
 *  settled without drawing; A = +0 puts every arrival at +inf (the first V
 *  calls carried); A = +inf puts them at 0 (all lost; carried 0 * inf is
 *  NaN).  A tiny A > 0 whose N arrival instants could pass the largest
 *  double (N x 37 / A above 9e307) is replayed with time in mean
 *  inter-arrival times (1e-305 erlangs, 10^5 calls: "0 1e-305"). */
MORAVEL_API const char* M_M_V_L_im(double A, int32_t V, int32_t N, uint32_t seed);

/*! M_M_V_W_FF_R_im() : replays N calls of A erlangs through V servers with
 *  an unlimited FIFO queue; t in mean holding times; seed and SecondSeed as
 *  for M_M_V_L_im().  A call arriving exactly as a server frees counts as
 *  waiting (with a zero wait).
 *  @return : the five numbers of M_M_V_W_FF_R_an() with h = 1: the first
 *  measured, the others derived from it and from M = V - A (not clamped:
 *  infinite for A = V, negative for A > V).  Empty text for V <= 0 (no call
 *  could ever be served) or N <= 0.  A < 0, -0 or NaN: every call waits,
 *  settled without drawing.  Tiny A as for M_M_V_L_im(). */
MORAVEL_API const char* M_M_V_W_FF_R_im(double A, int32_t V, int32_t N, double t, uint32_t seed);

/* ---- Multi-service link groups --------------------------------------- */

/*! VM_VMl_V_L_an() : M classes on k links of f allocation units each; a
 *  call of class i needs t[i] units on one link.
 *  a: M traffics [erlang]; t: M demands [units], whole numbers as doubles
 *  (a fraction is truncated where units are counted).
 *  @return : "E0 C0 E1 C1 ... ": blocking and carried traffic [units] per
 *  class.  A class wider than a link gets E = 1 and C = 0 exactly.  C is
 *  (t a)(1 - E), or where 1 - E < 2^-20 (cancellation: E rounds to 1 at
 *  extreme traffic while a full group still carries its units) t a times
 *  the accepting share sum sigma(V - n) Q[n] counted directly; never more
 *  than the k*f units of the group.  Empty text for M < 0, NULL arrays with
 *  M > 0, negative or NaN demands, k < 0, f < 0, k*f beyond 32 bits, when
 *  memory runs out, and for groups beyond the evaluation limits:
 *  V = k*f above 16777216 units, or, with D distinct demands and D' of
 *  them between 1 and f, tables of (V+1)(16 D + 32 D' + 160) bytes above
 *  1 GiB or V M + k V (1 + 2 D') steps above 2^28 (at most some 15 s on
 *  a 2-core Xeon, where a step of the wide counts takes 35-50 ns).
 *  While every arrangement count stays below 2^53 and the occupancy
 *  recursion below the largest double, the figures are those of the
 *  plain double-precision algorithm, bit for bit, except that a refusing
 *  share 1 - sigma below 2^-20 is counted directly as B / N (1 - sigma
 *  would keep only sigma's last bits); beyond, the counts are
 *  built from positive sums and the recursion runs with a wide exponent,
 *  and every blocking of 1e-300 or more stays within a relative 1e-9 of
 *  the exact-count value.  NaN or infinite traffic gives NaN. */
MORAVEL_API const char* VM_VMl_V_L_an(const double* a, int32_t M, const double* t, int32_t k,
                                      int32_t f);

/*! VM_VMl_VDg_L_an() : as VM_VMl_V_L_an(), each call offered to a subset of
 *  g of the k links; a class wider than a link gets E = 1 exactly.  Also
 *  empty text for g < 0 or g > k (g = 0 gives what the formula gives); the
 *  limits add (V+1) 100 bytes and k V + D' g V steps. */
MORAVEL_API const char* VM_VMl_VDg_L_an(const double* a, int32_t M, const double* t, int32_t k,
                                        int32_t f, int32_t g);

/*! VM_VMl_VDg_L_im() : simulates N calls through the group of
 *  VM_VMl_VDg_L_an(), each placed on a link of a random g-subset by the
 *  zero-terminated UTF-8 keyword policy: "МаксСвоб" (most free units),
 *  "МинСвоб" (fewest free units that fit) or "ПервСвоб" (a random fitting
 *  link).  Any other keyword, the empty one included, loses every call.
 *  Seeded from the platform's random device: every run differs; under
 *  "ПервСвоб" the positions come from one engine per run (seeded from the
 *  device) rather than a freshly seeded engine per arrival, which places
 *  calls with the same distribution.  A demand in [0, 1) is always
 *  admitted and holds no unit; a demand above f is never admitted.
 *  E_i = calls lost / calls offered.  A class that no link can take (a
 *  demand above f, g = 0 or an unknown keyword) gets E = 1 whether or not
 *  it drew a call; a class that could be taken but drew no call (a short
 *  run, a tiny traffic) gets E = 0, C = a t.  C = a t (1 - E), and exactly
 *  0 whenever E = 1 (also where a t overflows).  Memory: 4 bytes per link
 *  and 16 per call in progress; the time per call does not grow with f.
 *  @return : "E0 C0 E1 C1 ... " as VM_VMl_VDg_L_an(), estimated.  Empty text
 *  for M <= 0, N <= 0, NULL a, t or policy, k < 0, f < 0, g < 0, g > k, k*f
 *  beyond 32 bits, C(k, g) >= 2^31, a negative or NaN demand, a negative or
 *  non-finite traffic, or traffics summing to 0 or overflowing; and, when
 *  f >= 1 and g >= 1, beyond the size limits, at once and with nothing
 *  allocated: k > 2^24 links, N and k*f both > 2^26 (the calls that could
 *  be in progress together), or N*g > 2^37 (link reads: some 7 to 14
 *  minutes at the limit). */
MORAVEL_API const char* VM_VMl_VDg_L_im(const double* a, int32_t M, const double* t, int32_t k,
                                        int32_t f, int32_t g, int32_t N, const char* policy);

#ifdef __cplusplus
}
#endif

#endif /* MORAVEL_H */
