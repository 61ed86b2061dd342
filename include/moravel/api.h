/*
 * moravel/api.h - libMoravel's second C interface: every formula, model and
 * simulation of moravel.h at full precision, with a status for every call,
 * and the solvers that answer the dimensioning questions.
 *
 * Compared with moravel.h:
 *  - results are doubles written into memory the caller provides, never a
 *    rounded text: the figure a moravel.h export writes as "%.6g" text is
 *    here the double it was written from, computed by the same code, so
 *    printf("%.6g") of these doubles gives the old text character for
 *    character;
 *  - nothing is shared between calls: any number of threads may call any
 *    of these functions at once;
 *  - every call returns a moravel_status.  MORAVEL_OK (0) means the results
 *    were written.  Any other code names the argument refused, and
 *    moravel_status_message() gives its text; nothing is written then (the
 *    array entry points excepted, see below).  An input refused here never
 *    gives a NaN, and no exception ever leaves the library;
 *  - the multi-rate simulation takes a seed;
 *  - the scalar formulas and single-service models have array entry points:
 *    n points in, n results out, in one call.
 *
 * Units as in moravel.h: traffic in erlangs (arrival rate x mean holding
 * time); demands and link capacities in allocation units; simulated time in
 * mean holding times.  Counts are int32_t, seeds uint32_t.
 *
 * Arguments.  Each function named after a moravel.h export takes that
 * export's arguments in the same order (the simulation of link subsets
 * takes a policy code instead of the keyword, and a seed), followed by the
 * result pointers.  Result pointers must not be NULL unless said otherwise.
 *
 * Refusals common to the functions below:
 *  - a count of servers below 1 (MORAVEL_ERROR_SERVERS) or of 2147483647
 *    (MORAVEL_ERROR_SERVERS_TOO_MANY: the recursions need V + 1);
 *  - a traffic that is negative, NaN or infinite (MORAVEL_ERROR_TRAFFIC);
 *  - a NULL argument or result pointer (MORAVEL_ERROR_NULL_POINTER);
 *  - memory running out (MORAVEL_ERROR_OUT_OF_MEMORY).
 * Each function lists its further refusals.
 */
#ifndef MORAVEL_API_H
#define MORAVEL_API_H

#include <stddef.h>
#include <stdint.h>

#include "export.h"

#ifdef __cplusplus
#define MORAVEL_NOEXCEPT noexcept
extern "C" {
#else
#define MORAVEL_NOEXCEPT
#endif

/* ---- Status ------------------------------------------------------------ */

typedef enum moravel_status {
  MORAVEL_OK = 0,
  MORAVEL_ERROR_NULL_POINTER = 1,               /* an argument or result pointer is NULL */
  MORAVEL_ERROR_OUT_OF_MEMORY = 2,              /* memory ran out */
  MORAVEL_ERROR_INTERNAL = 3,                   /* an unexpected failure inside the library */
  MORAVEL_ERROR_SERVERS = 4,                    /* servers must be at least 1 */
  MORAVEL_ERROR_SERVERS_TOO_MANY = 5,           /* servers must be below 2147483647 */
  MORAVEL_ERROR_TRAFFIC = 6,                    /* traffic must be finite and not negative */
  MORAVEL_ERROR_TRAFFIC_NOT_POSITIVE = 7,       /* traffic must be above 0 */
  MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS = 8,  /* delay system: A < V */
  MORAVEL_ERROR_SOURCES = 9,                    /* sources must be at least 1 */
  MORAVEL_ERROR_SOURCE_TRAFFIC = 10,            /* traffic per source in [0, 1) */
  MORAVEL_ERROR_DIRECT_FORM_SERVERS = 11,       /* direct form: 0 <= V <= 170 */
  MORAVEL_ERROR_RATIO_SERVERS = 12,             /* ratio: 0 <= V - i <= 170 */
  MORAVEL_ERROR_OVERFLOW = 13,                  /* the result leaves the range of a double */
  MORAVEL_ERROR_ASSEMBLY_TIMES = 14,            /* x and y must be finite and above 0 */
  MORAVEL_ERROR_ASSEMBLY_Z = 15,                /* z must be finite and not negative */
  MORAVEL_ERROR_ASSEMBLY_MULTIPLIER = 16,       /* n must not be negative */
  MORAVEL_ERROR_ASSEMBLED_LOAD = 17,            /* the assembled load is not finite */
  MORAVEL_ERROR_HOLDING_TIME = 18,              /* mean holding time must be finite and above 0 */
  MORAVEL_ERROR_THRESHOLD = 19,                 /* waiting-time threshold finite, not negative */
  MORAVEL_ERROR_CALLS = 20,                     /* calls must be at least 1 */
  MORAVEL_ERROR_CLASSES = 21,                   /* classes must be at least 1 */
  MORAVEL_ERROR_DEMAND = 22,                    /* demands: whole numbers of at least 1 unit */
  MORAVEL_ERROR_LINKS = 23,                     /* links must be at least 1 */
  MORAVEL_ERROR_LINK_UNITS = 24,                /* units per link must be at least 1 */
  MORAVEL_ERROR_GROUP_SIZE = 25,                /* links x units per link below 2^31 */
  MORAVEL_ERROR_SUBSET = 26,                    /* 1 <= g <= k */
  MORAVEL_ERROR_SUBSET_COUNT = 27,              /* C(k, g) below 2^31 */
  MORAVEL_ERROR_TOTAL_TRAFFIC = 28,             /* simulation: summed traffic finite, above 0 */
  MORAVEL_ERROR_POLICY = 29,                    /* unknown link-choice policy code */
  MORAVEL_ERROR_TARGET = 30,                    /* target must be above 0 and below 1 */
  MORAVEL_ERROR_TARGET_WAIT = 31,               /* target mean wait must be finite and above 0 */
  MORAVEL_ERROR_SERVERS_NOT_BELOW_SOURCES = 32, /* Engset traffic: V < N */
  MORAVEL_ERROR_DEMAND_EXCEEDS_LINK = 33,       /* a class wider than a link: no size serves it */
  MORAVEL_ERROR_UNREACHABLE = 34,               /* no size within 32 bits meets the target */
  MORAVEL_ERROR_MODEL_LIMIT = 35,               /* beyond the sizes a model or solver computes */
  MORAVEL_ERROR_EVERY_TRAFFIC_MEETS = 36,     /* every traffic taken meets the target: no largest */
  MORAVEL_ERROR_PATIENCE = 40,                /* mean patience above 0 (+inf: never hang up) */
  MORAVEL_ERROR_LINES = 41,                   /* lines 0 (no limit) or at least the agents */
  MORAVEL_ERROR_LINES_TOO_MANY = 42,          /* lines - agents at most 10000000 */
  MORAVEL_ERROR_RETRY_SHARE = 43,             /* retry shares in [0, 1] */
  MORAVEL_ERROR_REDIAL_TIME = 44,             /* mean redial time finite and above 0 */
  MORAVEL_ERROR_RETRIALS_DIVERGE = 45,        /* retries grow without bound */
  MORAVEL_ERROR_GOAL = 46,                    /* unknown contact-centre goal code */
  MORAVEL_ERROR_OCCUPANCY = 47,               /* highest occupancy in (0, 1] */
  MORAVEL_ERROR_PATIENCE_DISTRIBUTION = 48,   /* simulation: a listed distribution, 1..100 phases */
  MORAVEL_ERROR_RUN_LENGTH = 49,              /* simulation: warm-up >= 0, replications >= 1 */
  MORAVEL_ERROR_DEGREES_OF_FREEDOM = 50,      /* degrees of freedom must be at least 1 */
  MORAVEL_ERROR_LEVEL = 51,                   /* confidence level above 0 and below 1 */
  MORAVEL_ERROR_FIRST_SEED = 52,              /* first seed at least 1 (0 is the clock's) */
  MORAVEL_ERROR_REPLICATIONS = 53,            /* an estimate needs at least 2 values */
  MORAVEL_ERROR_SAMPLE = 54,                  /* the values must be finite */
  MORAVEL_ERROR_NOT_PROBABILITY = 55,         /* a value is not a probability in [0, 1] */
  MORAVEL_ERROR_DIRECT_FORM_UNREACHABLE = 56, /* no V up to 170 meets the target */
  MORAVEL_ERROR_CALLS_OFFERED = 60,           /* calls offered finite and not negative */
  MORAVEL_ERROR_INTERVAL_MINUTES = 61,        /* interval length finite and above 0 */
  MORAVEL_ERROR_SHRINKAGE = 62,               /* shrinkage in [0, 1) */
  MORAVEL_ERROR_NO_TARGET = 63,               /* a plan needs a goal */
  MORAVEL_ERROR_SERVICE_LEVEL_BASIS = 64,     /* unknown service-level basis */
  MORAVEL_ERROR_SERVICE_LEVEL_TARGET = 65,    /* service level: 0 (none) or in (0, 1) */
  MORAVEL_ERROR_ABANDONMENT_TARGET = 66,      /* abandonment: 0 (none) or in (0, 1) */
  MORAVEL_ERROR_WAIT_PROBABILITY_TARGET = 67, /* probability of waiting: 0 or in (0, 1) */
  MORAVEL_ERROR_SCHEDULED_TOO_MANY = 68       /* agents to schedule beyond 2^31 - 1 */
} moravel_status;

/*! The static English text of a status code ("servers must be at least 1"),
 *  never NULL; "unknown status code" for a value not listed above. */
MORAVEL_API const char* moravel_status_message(int32_t status) MORAVEL_NOEXCEPT;

/* ---- Result records ---------------------------------------------------- */

/*! A loss system's two figures, in the order moravel.h writes them. */
typedef struct moravel_loss_result {
  double loss;    /* loss probability (call congestion for finite sources) */
  double carried; /* carried traffic [erlang] */
} moravel_loss_result;

/*! The delay system's five figures, in the order moravel.h writes them. */
typedef struct moravel_wait_result {
  double wait_probability;     /* C, the probability that a call waits */
  double wait_exceeds;         /* probability that the wait exceeds t */
  double mean_wait;            /* mean wait over all calls [unit of h] */
  double mean_wait_of_waiting; /* mean wait of the calls that wait [unit of h] */
  double queue_length;         /* mean number of calls in the queue */
} moravel_wait_result;

/* ---- Scalar formulas --------------------------------------------------- */

/*! Erlang B by recursion, as PalmTable().  servers >= 1, traffic >= 0. */
MORAVEL_API moravel_status moravel_erlang_b(int32_t servers, double traffic,
                                            double* loss) MORAVEL_NOEXCEPT;

/*! Erlang C, as ErlangFormula2().  servers >= 1, 0 <= traffic < servers
 *  (MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS otherwise: no steady state). */
MORAVEL_API moravel_status moravel_erlang_c(int32_t servers, double traffic,
                                            double* wait_probability) MORAVEL_NOEXCEPT;

/*! Engset call congestion, as EngsetTable().  sources >= 1, servers >= 1,
 *  0 <= traffic_per_source < 1 (MORAVEL_ERROR_SOURCE_TRAFFIC).  With
 *  servers >= sources no call is lost: the loss is a zero, negative when
 *  servers - sources is odd and the traffic above 0, as EngsetTable()
 *  gives it. */
MORAVEL_API moravel_status moravel_engset(int32_t sources, int32_t servers,
                                          double traffic_per_source, double* loss) MORAVEL_NOEXCEPT;

/*! Erlang B in direct form, as E().  0 <= servers <= 170
 *  (MORAVEL_ERROR_DIRECT_FORM_SERVERS: 171! overflows); E(0, A) = 1.  A
 *  traffic whose powers overflow (A^V beyond 1.8e308) gives
 *  MORAVEL_ERROR_OVERFLOW: moravel_erlang_b() has no such limit. */
MORAVEL_API moravel_status moravel_erlang_b_direct(int32_t servers, double traffic,
                                                   double* loss) MORAVEL_NOEXCEPT;

/*! E(V, A) / E(V - i, A), as Hi().  V and V - i in 0 .. 170
 *  (MORAVEL_ERROR_DIRECT_FORM_SERVERS, MORAVEL_ERROR_RATIO_SERVERS);
 *  traffic above 0 (MORAVEL_ERROR_TRAFFIC_NOT_POSITIVE: E(n, 0) = 0);
 *  MORAVEL_ERROR_OVERFLOW when either value leaves the normal doubles:
 *  infinite or NaN (A^V beyond 1.8e308), or 0 or subnormal (below
 *  2.2e-308: E(170, 0.8) is 0, where the ratio is 0.0047).  Hi() itself
 *  still divides what it gets. */
MORAVEL_API moravel_status moravel_erlang_b_ratio(int32_t servers, double traffic, int32_t fewer,
                                                  double* ratio) MORAVEL_NOEXCEPT;

/* ---- Single-service models --------------------------------------------- */

/*! Erlang loss system, as M_M_V_L_an().  servers >= 1, traffic >= 0.
 *  The carried traffic never exceeds the servers: where the loss is above
 *  1/2, (1 - B) A would lose its digits (and give 0 once B rounds to 1),
 *  so it is taken as A V / (V + A B(V - 1)) there, and differs from
 *  M_M_V_L_an()'s by rounding (1e20 erlangs on 10 servers: 10, not 0). */
MORAVEL_API moravel_status moravel_loss(int32_t servers, double traffic,
                                        moravel_loss_result* result) MORAVEL_NOEXCEPT;

/*! Engset loss system, as Mi_M_V_L_an(): loss as moravel_engset(), carried
 *  traffic N b (1 - B) / ((1 - B) b + 1) with b = a / (1 - a), at most
 *  servers. */
MORAVEL_API moravel_status
moravel_loss_finite_sources(int32_t sources, int32_t servers, double traffic_per_source,
                            moravel_loss_result* result) MORAVEL_NOEXCEPT;

/*! Erlang loss system on the load A = (n / (1/x + 1/y)) (z/y + 1), as
 *  M_G_V_L_an().  x, y finite and above 0 (MORAVEL_ERROR_ASSEMBLY_TIMES);
 *  z finite and not negative (MORAVEL_ERROR_ASSEMBLY_Z); n >= 0
 *  (MORAVEL_ERROR_ASSEMBLY_MULTIPLIER); servers >= 1; a load that comes
 *  out infinite gives MORAVEL_ERROR_ASSEMBLED_LOAD.  Carried traffic as
 *  moravel_loss(). */
MORAVEL_API moravel_status moravel_loss_assembled(double x, double y, double z, int32_t servers,
                                                  int32_t n,
                                                  moravel_loss_result* result) MORAVEL_NOEXCEPT;

/*! Priority classes sharing the servers, as M_M_V_L_PRA_an(): classes >= 1
 *  (MORAVEL_ERROR_CLASSES); traffic[classes], highest priority first, each
 *  finite and not negative, their sum finite (MORAVEL_ERROR_TRAFFIC).
 *  Writes loss[classes] and carried[classes] [erlang]; a class j >= 1
 *  offering 0 erlangs gets loss 0 and carried traffic 0.  Class j loses
 *  (S B(S) - S' B(S')) / a_j, S' and S the traffic of the classes above it
 *  and with it.  Where that difference keeps fewer than 32 bits (a class
 *  far below the others, even below an ulp of them: {100, 1e-17} on 10
 *  servers, 0.99883 for the second class), it is computed by a recursion
 *  without subtraction instead, in the legacy text too; within a relative
 *  1e-8 of 60-digit values on a grid of classes from 1e-300 erlangs up. */
MORAVEL_API moravel_status moravel_loss_priority(int32_t classes, int32_t servers,
                                                 const double* traffic, double* loss,
                                                 double* carried) MORAVEL_NOEXCEPT;

/*! Erlang delay system, as M_M_V_W_FF_R_an().  threshold t and
 *  holding_time h in one unit: h finite and above 0
 *  (MORAVEL_ERROR_HOLDING_TIME), t finite and not negative
 *  (MORAVEL_ERROR_THRESHOLD); servers >= 1; 0 <= traffic < servers
 *  (MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS); MORAVEL_ERROR_OVERFLOW when
 *  h / (servers - traffic), which bounds the waits, passes half the largest
 *  double. */
MORAVEL_API moravel_status moravel_wait(double threshold, double holding_time, int32_t servers,
                                        double traffic,
                                        moravel_wait_result* result) MORAVEL_NOEXCEPT;

/* ---- Array entry points -------------------------------------------------
 * Point j takes element j of every input array and writes element j of the
 * result array; each point gives the bits of its single-point function.
 * The points are taken in order and the call stops at the first refused
 * one: the results before it are written, the others untouched, and its
 * index goes to *refused_index (which may be NULL; it is left alone when
 * every point is accepted).  n = 0 writes nothing and accepts NULL arrays;
 * NULL arrays with n > 0 give MORAVEL_ERROR_NULL_POINTER before any point.
 * The Erlang B based ones (erlang_b, erlang_c, loss, loss_assembled, wait)
 * run four points' recursions side by side, several times faster per point
 * than single calls, with the same bits.  The result array may overlap the
 * input arrays (written in place, or shifted): an input that overlaps it
 * is copied first (MORAVEL_ERROR_OUT_OF_MEMORY if that fails). */

MORAVEL_API moravel_status moravel_erlang_b_array(size_t n, const int32_t* servers,
                                                  const double* traffic, double* loss,
                                                  size_t* refused_index) MORAVEL_NOEXCEPT;
MORAVEL_API moravel_status moravel_erlang_c_array(size_t n, const int32_t* servers,
                                                  const double* traffic, double* wait_probability,
                                                  size_t* refused_index) MORAVEL_NOEXCEPT;
MORAVEL_API moravel_status moravel_engset_array(size_t n, const int32_t* sources,
                                                const int32_t* servers,
                                                const double* traffic_per_source, double* loss,
                                                size_t* refused_index) MORAVEL_NOEXCEPT;
MORAVEL_API moravel_status moravel_erlang_b_direct_array(size_t n, const int32_t* servers,
                                                         const double* traffic, double* loss,
                                                         size_t* refused_index) MORAVEL_NOEXCEPT;
MORAVEL_API moravel_status moravel_erlang_b_ratio_array(size_t n, const int32_t* servers,
                                                        const double* traffic, const int32_t* fewer,
                                                        double* ratio,
                                                        size_t* refused_index) MORAVEL_NOEXCEPT;
MORAVEL_API moravel_status moravel_loss_array(size_t n, const int32_t* servers,
                                              const double* traffic, moravel_loss_result* results,
                                              size_t* refused_index) MORAVEL_NOEXCEPT;
MORAVEL_API moravel_status moravel_loss_finite_sources_array(
    size_t n, const int32_t* sources, const int32_t* servers, const double* traffic_per_source,
    moravel_loss_result* results, size_t* refused_index) MORAVEL_NOEXCEPT;
MORAVEL_API moravel_status moravel_loss_assembled_array(size_t n, const double* x, const double* y,
                                                        const double* z, const int32_t* servers,
                                                        const int32_t* multiplier,
                                                        moravel_loss_result* results,
                                                        size_t* refused_index) MORAVEL_NOEXCEPT;
MORAVEL_API moravel_status moravel_wait_array(size_t n, const double* threshold,
                                              const double* holding_time, const int32_t* servers,
                                              const double* traffic, moravel_wait_result* results,
                                              size_t* refused_index) MORAVEL_NOEXCEPT;

/* ---- Single-service simulations -----------------------------------------
 * Seeds as in moravel.h: any seed but 0 repeats the run exactly (and gives
 * the bits of M_M_V_L_im() and M_M_V_W_FF_R_im() with that seed); 0 seeds
 * from the monotonic clock.  calls >= 1 (MORAVEL_ERROR_CALLS); traffic
 * finite and above 0 (MORAVEL_ERROR_TRAFFIC, MORAVEL_ERROR_TRAFFIC_NOT_POSITIVE).
 * Time runs in mean holding times, unless the calls' arrival instants
 * could pass the largest double (calls x 37 / traffic above 9e307: 1e-305
 * erlangs over 10^5 calls); then it runs in mean inter-arrival times, which
 * decides every call as exact arithmetic would (in M_M_V_L_im() and
 * M_M_V_W_FF_R_im() too, which lost every call from the overflow on). */

/*! Replays `calls` calls through a loss system, as M_M_V_L_im().  The
 *  carried traffic, the share of calls carried times the traffic, is capped
 *  at servers (M_M_V_L_im() writes it uncapped): with fewer calls than
 *  servers, or all calls arriving within a holding time (1.79e308 erlangs),
 *  it would otherwise pass them. */
MORAVEL_API moravel_status moravel_simulate_loss(double traffic, int32_t servers, int32_t calls,
                                                 uint32_t seed,
                                                 moravel_loss_result* result) MORAVEL_NOEXCEPT;

/*! Replays `calls` calls through a delay system, as M_M_V_W_FF_R_im():
 *  threshold in mean holding times, finite and not negative; traffic below
 *  servers (MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS). */
MORAVEL_API moravel_status moravel_simulate_wait(double traffic, int32_t servers, int32_t calls,
                                                 double threshold, uint32_t seed,
                                                 moravel_wait_result* result) MORAVEL_NOEXCEPT;

/* ---- Multi-service link groups ------------------------------------------
 * classes M >= 1 (MORAVEL_ERROR_CLASSES); traffic[M] finite and not
 * negative; demand[M] whole numbers of units, at least 1 and finite
 * (MORAVEL_ERROR_DEMAND; a demand wider than a link is accepted and that
 * class is blocked); links k >= 1 (MORAVEL_ERROR_LINKS); units per link
 * f >= 1 (MORAVEL_ERROR_LINK_UNITS); k f below 2^31
 * (MORAVEL_ERROR_GROUP_SIZE); traffic x demand of each class within the
 * doubles (MORAVEL_ERROR_OVERFLOW).  Results: blocking[M] and carried[M]
 * [units], every blocking of 1e-300 or more within a relative 1e-9 of
 * the exact-count value, however large the counts and the traffic.  A
 * class wider than a link gets blocking 1 and carried 0 exactly.  No class
 * carries more than the k f units of the group, and a full group carries
 * them, at any traffic.  A group beyond the models' evaluation limits (V =
 * k f above 2^24 units, tables above 1 GiB or work above 2^28 steps, at
 * most some 15 s, as VM_VMl_V_L_an() in moravel.h details) gives
 * MORAVEL_ERROR_MODEL_LIMIT at once, before anything is allocated;
 * MORAVEL_ERROR_OVERFLOW remains the guard against any figure outside the
 * doubles or a blocking outside [0, 1]. */

/*! Calls carried on one link of a group of k, as VM_VMl_V_L_an(). */
MORAVEL_API moravel_status moravel_link_group(const double* traffic, int32_t classes,
                                              const double* demand, int32_t links,
                                              int32_t link_units, double* blocking,
                                              double* carried) MORAVEL_NOEXCEPT;

/*! Each call offered to a subset of g links, as VM_VMl_VDg_L_an():
 *  1 <= g <= k (MORAVEL_ERROR_SUBSET). */
MORAVEL_API moravel_status moravel_link_subset(const double* traffic, int32_t classes,
                                               const double* demand, int32_t links,
                                               int32_t link_units, int32_t subset_links,
                                               double* blocking, double* carried) MORAVEL_NOEXCEPT;

/*! How a simulated call chooses among the links of its subset that fit it
 *  (passed as an int32_t, so that any value can be refused). */
typedef enum moravel_link_policy {
  MORAVEL_MOST_FREE = 1,   /* "МаксСвоб": most free units, lowest position on a tie */
  MORAVEL_FEWEST_FREE = 2, /* "МинСвоб": fewest free units, lowest position on a tie */
  MORAVEL_RANDOM_FREE = 3  /* "ПервСвоб": a link drawn uniformly */
} moravel_link_policy;

/*! Simulates `calls` calls through the group of moravel_link_subset(), as
 *  VM_VMl_VDg_L_im() with the policy's keyword; also calls >= 1, C(k, g)
 *  below 2^31 (MORAVEL_ERROR_SUBSET_COUNT), traffics summing to a finite
 *  value above 0 (MORAVEL_ERROR_TOTAL_TRAFFIC) and a policy listed above
 *  (MORAVEL_ERROR_POLICY).  A run beyond the limits of VM_VMl_VDg_L_im()
 *  (k above 2^24 links, calls and k f both above 2^26, calls x g above
 *  2^37 link reads: some 7 to 14 minutes) gives MORAVEL_ERROR_MODEL_LIMIT
 *  at once.  The carried traffics are VM_VMl_VDg_L_im()'s, except that
 *  together they never exceed the k f units of the group: a run much
 *  shorter than a holding time (extreme traffic, few calls) takes a few
 *  calls that stand for more than the group holds, and then every class's
 *  figure is scaled down in proportion.
 *
 *  Seeds.  The run seeds, in this order, the engine of the inter-arrival
 *  times, that of the holding times, the run's engine (classes, then
 *  subsets) and, under MORAVEL_RANDOM_FREE, the placement engine.  seed 0
 *  seeds each from the platform's random device, as VM_VMl_VDg_L_im():
 *  every run differs.  Any other seed s seeds them with s, S(s), S(S(s))
 *  and S(S(S(s))), where S is the second seed of the single-service
 *  simulations, S(s) = U(M(s) + 1) with M the 32-bit finaliser of
 *  MurmurHash3, U its inverse and + 1 stepping along 1 .. 2^32 - 1, 1 (see
 *  moravel.h).  S runs through all 2^32 - 1 nonzero words in one cycle, so
 *  the four seeds differ, and the run repeats exactly for a given s. */
MORAVEL_API moravel_status moravel_simulate_link_subset(const double* traffic, int32_t classes,
                                                        const double* demand, int32_t links,
                                                        int32_t link_units, int32_t subset_links,
                                                        int32_t calls, int32_t policy,
                                                        uint32_t seed, double* blocking,
                                                        double* carried) MORAVEL_NOEXCEPT;

/* ---- Solvers: the least size for a target loss ---------------------------
 * target in (0, 1) (MORAVEL_ERROR_TARGET).  Each answer is exact on the
 * values the models above compute: the least size whose loss is at most
 * the target, found by running the model's recursion upward once (servers)
 * or by galloping and bisection (links).  The loss at that size goes to
 * *loss when loss is not NULL. */

/*! Least servers V >= 1 with Erlang B(V, traffic) <= target.  Linear in the
 *  answer, which is at least A (1 - target): MORAVEL_ERROR_UNREACHABLE when
 *  that is beyond 2^31 - 2 (traffic beyond about 2.1e9 erlangs),
 *  MORAVEL_ERROR_MODEL_LIMIT when A (1 - target) (1 - 1e-3) passes 2^28
 *  (2.7e8 erlangs at 1%). */
MORAVEL_API moravel_status moravel_erlang_b_servers(double traffic, double target, int32_t* servers,
                                                    double* loss) MORAVEL_NOEXCEPT;

/*! Least servers V >= 1 with Engset(sources, V, traffic_per_source) <=
 *  target; V = sources always meets it (no call lost).
 *  MORAVEL_ERROR_MODEL_LIMIT when the least possible answer, N b (1 - t) /
 *  (1 + b (1 - t)) (1 - 1e-3) with b = a / (1 - a), passes 2^28 / 3. */
MORAVEL_API moravel_status moravel_engset_servers(int32_t sources, double traffic_per_source,
                                                  double target, int32_t* servers,
                                                  double* loss) MORAVEL_NOEXCEPT;

/*! Least servers for the assembled load of moravel_loss_assembled(), as
 *  moravel_erlang_b_servers(). */
MORAVEL_API moravel_status moravel_loss_assembled_servers(double x, double y, double z, int32_t n,
                                                          double target, int32_t* servers,
                                                          double* loss) MORAVEL_NOEXCEPT;

/*! Least links k >= 1 of link_units units for which every class's blocking
 *  in moravel_link_group() is at most target; blocking[classes] (may be
 *  NULL) gets the blocking at that k.  A class wider than a link gives
 *  MORAVEL_ERROR_DEMAND_EXCEEDS_LINK; MORAVEL_ERROR_OVERFLOW when the
 *  model's figures stop being sound (see above) before the target is met.
 *  The search starts from the fewest links whose units could carry (1 -
 *  target) of the offered units and evaluates the model at about
 *  2 log2(k - start) sizes beyond, relying on the blocking falling as
 *  links are added.  Bound: the evaluations of one search together take at
 *  most 2^27 of the models' estimated steps (some 1.5 s on an idle core of
 *  a 2-core Xeon, a few times that on a shared one); where the answer needs
 *  more, or the model declines a size (its limits above),
 *  MORAVEL_ERROR_MODEL_LIMIT, and the evaluation that would pass the budget
 *  is never begun. */
MORAVEL_API moravel_status moravel_link_group_links(const double* traffic, int32_t classes,
                                                    const double* demand, int32_t link_units,
                                                    double target, int32_t* links,
                                                    double* blocking) MORAVEL_NOEXCEPT;

/*! As moravel_link_group_links() for moravel_link_subset(), each call
 *  offered to subset_links >= 1 links: the least k >= subset_links, from
 *  the same start (a subset carries no more than the group), within the
 *  same bound. */
MORAVEL_API moravel_status moravel_link_subset_links(const double* traffic, int32_t classes,
                                                     const double* demand, int32_t link_units,
                                                     int32_t subset_links, double target,
                                                     int32_t* links,
                                                     double* blocking) MORAVEL_NOEXCEPT;

/* ---- Solvers: the largest traffic for a target loss ----------------------
 * The answer A is exact on the computed values: loss(A) <= target <
 * loss(A'), where A' is the next double above A.  Found by a bracketed
 * secant search (on the logarithm of the loss) that ends with the two
 * neighbouring doubles, halving the bracket in the order of the doubles
 * where the secant stalls.  Each evaluation runs the model's recursion of
 * V steps.  A search plans 16 evaluations, plus log2(1 / (1 - target)) for
 * a target above 1/2 (a loss near 1 is flat across runs of doubles that
 * only halving closes); one whose planned evaluations would pass 2^28
 * steps is refused at once with MORAVEL_ERROR_MODEL_LIMIT (at targets up
 * to 1/2: V above 2^24 = 16777216 servers or agents, above 5592405 for
 * Engset, whose steps cost three), and one that passes 2^29 steps is
 * stopped with it.  On the development machine (2-core Xeon, about 7.5 ns
 * of CPU an Erlang step) a call takes at most about 2 s of CPU as planned
 * and never more than about 4 s; bench/solver_bounds_bench.cpp holds it.
 * MORAVEL_ERROR_EVERY_TRAFFIC_MEETS when every traffic the model takes
 * meets the target, so there is no largest. */

/*! Largest offered traffic that `servers` servers carry at Erlang B loss at
 *  most target (20 servers at 1%: 12.0306 erlangs).  Starts from an
 *  asymptotic root: V - c sqrt(V) for small losses, V / (1 - target) for
 *  large ones (Laplace's method on B's integral form); 8 to 16 evaluations
 *  for targets from 1e-300 to 0.9 at V from 10^3 to 10^6. */
MORAVEL_API moravel_status moravel_erlang_b_traffic(int32_t servers, double target,
                                                    double* traffic) MORAVEL_NOEXCEPT;

/*! Largest traffic per source (below 1) at Engset loss at most target;
 *  servers < sources (MORAVEL_ERROR_SERVERS_NOT_BELOW_SOURCES: otherwise no
 *  call is ever lost).  MORAVEL_ERROR_EVERY_TRAFFIC_MEETS when every traffic
 *  below 1 meets the target. */
MORAVEL_API moravel_status moravel_engset_traffic(int32_t sources, int32_t servers, double target,
                                                  double* traffic_per_source) MORAVEL_NOEXCEPT;

/* ---- Solvers: call-centre staffing ---------------------------------------
 * The delay system of moravel_wait(): traffic A in erlangs (finite, not
 * negative), handling_time h (finite, above 0) and answer_time t (finite,
 * not negative) in one unit, e.g. seconds.  Each solver finds the least
 * number of agents V > A meeting its target, by running the Erlang B
 * recursion upward once (linear in the answer); the figures it reports are
 * those moravel_staffing_figures() gives for that V, bit for bit.
 * MORAVEL_ERROR_UNREACHABLE when no V below 2^31 - 1 meets the target
 * (traffic at or above 2^31 - 2); MORAVEL_ERROR_MODEL_LIMIT, at once, for
 * traffic above 2^28 erlangs (the recursion then passes 2^28 steps), and
 * for a run that passes 2^29; MORAVEL_ERROR_OVERFLOW as for moravel_wait(). */

/*! The figures a planner reads for V agents. */
typedef struct moravel_staffing {
  int32_t agents;              /* V */
  double wait_probability;     /* C(V, A): probability that a call waits */
  double service_level;        /* 1 - P(wait > t): answered within t */
  double mean_speed_of_answer; /* mean wait over all calls [unit of h] */
  double occupancy;            /* A / V: share of time an agent is busy */
} moravel_staffing;

/*! The figures for `agents` agents: agents >= 1 and traffic below agents
 *  (MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS). */
MORAVEL_API moravel_status moravel_staffing_figures(int32_t agents, double traffic,
                                                    double handling_time, double answer_time,
                                                    moravel_staffing* figures) MORAVEL_NOEXCEPT;

/*! Least agents with a service level (probability of an answer within
 *  answer_time) of at least target, target in (0, 1).  20 erlangs, 180 s
 *  handling, 80% within 20 s: 24 agents. */
MORAVEL_API moravel_status
moravel_agents_for_service_level(double traffic, double handling_time, double answer_time,
                                 double target, moravel_staffing* figures) MORAVEL_NOEXCEPT;

/*! Least agents with a mean speed of answer (mean wait over all calls, in
 *  the unit of handling_time) of at most target_wait, finite and above 0
 *  (MORAVEL_ERROR_TARGET_WAIT). */
MORAVEL_API moravel_status moravel_agents_for_mean_wait(double traffic, double handling_time,
                                                        double answer_time, double target_wait,
                                                        moravel_staffing* figures) MORAVEL_NOEXCEPT;

/*! Least agents with a probability of waiting of at most target, in (0, 1). */
MORAVEL_API moravel_status
moravel_agents_for_wait_probability(double traffic, double handling_time, double answer_time,
                                    double target, moravel_staffing* figures) MORAVEL_NOEXCEPT;

/*! The largest traffic that `agents` agents answer at a service level of at
 *  least target (target in (0, 1)): SL(traffic) >= target > SL at the next
 *  double above it.  agents >= 1; handling_time and answer_time as above.
 *  figures (may be NULL) receives moravel_staffing_figures() at that
 *  traffic.  24 agents, 180 s handling, 80% within 20 s: 20.0938
 *  erlangs.  MORAVEL_ERROR_EVERY_TRAFFIC_MEETS when every traffic below the
 *  agents meets the target; MORAVEL_ERROR_MODEL_LIMIT as for the traffic
 *  solvers above. */
MORAVEL_API moravel_status moravel_traffic_for_service_level(
    int32_t agents, double handling_time, double answer_time, double target, double* traffic,
    moravel_staffing* figures) MORAVEL_NOEXCEPT;

/* ---- Solvers: the least size, by search ----------------------------------
 * The models without a recursion that visits every size: the answer is
 * exact on the model's computed values, as for the solvers above. */

/*! Least servers V in 1 .. 170 with moravel_erlang_b_direct(V, traffic) <=
 *  target, target in (0, 1): every V from 1 is tried in turn.
 *  MORAVEL_ERROR_DIRECT_FORM_UNREACHABLE when none up to 170 meets it;
 *  MORAVEL_ERROR_OVERFLOW when traffic^V leaves the doubles first. */
MORAVEL_API moravel_status moravel_erlang_b_direct_servers(double traffic, double target,
                                                           int32_t* servers,
                                                           double* loss) MORAVEL_NOEXCEPT;

/*! Least servers V >= 1 at which every class of moravel_loss_priority() has
 *  a loss of at most target; loss[classes] (may be NULL) gets each class's
 *  loss at V.  Each class's loss falls as servers are added; the search
 *  gallops and bisects over about 2 log2(V) evaluations of the model.
 *  MORAVEL_ERROR_UNREACHABLE when no V below 2^31 - 1 meets the target;
 *  MORAVEL_ERROR_OVERFLOW when a class's figures leave the doubles first;
 *  MORAVEL_ERROR_MODEL_LIMIT when the search would take more than the
 *  solvers' step budget (about 2^28 recursion steps, two seconds). */
MORAVEL_API moravel_status moravel_loss_priority_servers(int32_t classes, const double* traffic,
                                                         double target, int32_t* servers,
                                                         double* loss) MORAVEL_NOEXCEPT;

/* ---- Studies: replications and their estimates ---------------------------
 * What a host needs to replicate a simulation and report each figure as an
 * estimate, computed once here so that every host gives the same bits. */

/*! A figure over the replications of a simulation. */
typedef struct moravel_estimate_result {
  double mean;           /* the mean of the values */
  double standard_error; /* sqrt(s^2 / n), s^2 the sample variance over n - 1 */
  double ci_low;         /* lower end of the confidence interval */
  double ci_high;        /* upper end of the confidence interval */
} moravel_estimate_result;

/*! The two-sided quantile t of Student's t distribution with
 *  degrees_of_freedom >= 1 (MORAVEL_ERROR_DEGREES_OF_FREEDOM): P(|T| <= t)
 *  = level, level in (0, 1) (MORAVEL_ERROR_LEVEL).  12.7062 for 1 degree
 *  of freedom at 0.95, 2.00958 for 49; within a relative 1e-13 up to 1000
 *  degrees of freedom and 1e-10 up to 10^5. */
MORAVEL_API moravel_status moravel_student_t_quantile(int32_t degrees_of_freedom, double level,
                                                      double* quantile) MORAVEL_NOEXCEPT;

/*! The seeds of n replications: run r (from 0) gets ((first_seed - 1 + r)
 *  mod (2^32 - 1)) + 1, so first_seed, first_seed + 1, ... up to 2^32 - 1,
 *  then on from 1: never 0, which would seed from the clock.  first_seed
 *  at least 1 (MORAVEL_ERROR_FIRST_SEED).  n = 0 writes nothing and
 *  accepts a NULL seeds. */
MORAVEL_API moravel_status moravel_replication_seeds(uint32_t first_seed, size_t n,
                                                     uint32_t* seeds) MORAVEL_NOEXCEPT;

/*! The estimate of one figure from its n >= 2 replications
 *  (MORAVEL_ERROR_REPLICATIONS), values[n] finite (MORAVEL_ERROR_SAMPLE):
 *  the mean (of a compensated sum), the standard error, and the interval
 *  mean -/+ t * standard error, t the quantile of
 *  moravel_student_t_quantile(n - 1, level).  With probability nonzero the
 *  values must be probabilities by the rule of moravel_check_probability()
 *  (MORAVEL_ERROR_NOT_PROBABILITY) and the interval is clipped to [0, 1]:
 *  its part beyond a bound holds no possible value. */
MORAVEL_API moravel_status moravel_estimate(size_t n, const double* values, int32_t probability,
                                            double level,
                                            moravel_estimate_result* estimate) MORAVEL_NOEXCEPT;

/*! MORAVEL_OK when value may be read as a probability: 0 <= value <= 1 +
 *  1e-9, the tolerance the library gives a blocking summed from an
 *  occupancy distribution; MORAVEL_ERROR_NOT_PROBABILITY otherwise (NaN
 *  included).  A host that searches on a model's figure checks it so. */
MORAVEL_API moravel_status moravel_check_probability(double value) MORAVEL_NOEXCEPT;

/* ---- The interface described ---------------------------------------------
 * The machine-readable description of this interface, a JSON text (UTF-8)
 * built into the library: every entry point with its arguments (C type,
 * unit, the statuses that refuse each, its spelling in each host), its
 * results and records, every status code with its message, the link
 * policies, and which host shows what.  README.md, "The interface
 * description", gives its format.  A host reads it from the library it
 * loaded, never from a copy of its own. */

/*! The description's text; static, never NULL. */
MORAVEL_API const char* moravel_interface_description(void) MORAVEL_NOEXCEPT;

/* ---- Contact centres: impatient callers, lines, retries -------------------
 * The M/M/n+M queue: calls arrive at random (Poisson) with A erlangs of
 * offered traffic, are handled by n agents in exponential times of mean h,
 * wait first come first served, and hang up when their wait passes an
 * exponential patience of mean p (same unit as h).  With lines = L, a call
 * that finds all L lines busy (n talking, L - n waiting) gets a busy tone
 * and is blocked (M/M/n/L+M); lines = MORAVEL_NO_LINE_LIMIT (0) means no
 * limit.  p = +inf gives callers who never hang up: the delay system of
 * moravel_wait() without a limit (A < n needed then, as there), computed
 * by its arithmetic, so that wait_probability, mean_wait (and
 * mean_answer_wait), queue_length and 1 - wait_exceeds (service_level)
 * are moravel_wait()'s bits; the finite queue M/M/n/L with a limit.
 * With impatience or a limit there is a steady state at any traffic, far
 * above n included.
 *
 * Arguments, in this order of refusal: traffic A finite and >= 0
 * (MORAVEL_ERROR_TRAFFIC); handling_time h finite and > 0
 * (MORAVEL_ERROR_HOLDING_TIME); patience p > 0, +inf allowed, NaN refused
 * (MORAVEL_ERROR_PATIENCE); agents n in 1 .. 2147483646
 * (MORAVEL_ERROR_SERVERS, MORAVEL_ERROR_SERVERS_TOO_MANY); lines 0 or
 * L >= n (MORAVEL_ERROR_LINES) with L - n <= 10000000
 * (MORAVEL_ERROR_LINES_TOO_MANY); answer_time t finite and >= 0, unit of h
 * (MORAVEL_ERROR_THRESHOLD); without a limit and with p = +inf, A < n
 * (MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS).  MORAVEL_ERROR_OVERFLOW when
 * h / p is not a finite double above 0 (h far above p, or p finite and
 * far above h) or a figure would leave the doubles.
 *
 * Figures, each a share of all offered calls unless said otherwise:
 *  - wait_probability: finds every agent busy and a line free, so queues;
 *  - blocked_probability: finds every line busy (0 without a limit);
 *  - abandon_probability: hangs up before an answer;
 *  - abandon_within_answer_time: hangs up after waiting at most t;
 *  - service_level: answered after waiting at most t, over ALL offered
 *    calls (the calls that hang up or are blocked count against it);
 *  - service_level_excluding_short_abandons: answered after waiting at
 *    most t, over the offered calls less those that hung up after waiting
 *    at most t (blocked calls stay in the denominator);
 *  - mean_answer_wait: mean wait of the answered calls, the ASA [unit of h];
 *  - mean_wait: mean wait of all offered calls, 0 for a blocked one, the
 *    time until hanging up for an abandoned one [unit of h];
 *  - queue_length: mean number of calls waiting (A mean_wait / h);
 *  - occupancy: carried traffic over n;
 *  - carried: carried traffic, A times the share answered [erlang].
 *
 * Method.  The queue seen by an arriving call is written in the time
 * domain: with u in mean handling times and theta = h / p, every figure is
 * an integral over u >= 0 of g(u) = exp(-n u) sum_{i < L - n} X(u)^i / i!,
 * X(u) = A (1 - e^{-theta u}) / theta (the sum is e^{X(u)} without a
 * limit), times a kernel: 1 (waits), e^{-theta u} (answered after u),
 * u e^{-theta u} (their waits), (1 - e^{-theta u}) / theta (time waiting),
 * and the same cut at t.  These are the incomplete-gamma sums
 * sum_j x^j / ((a+1)...(a+j)), x = A / theta, a = n / theta, turned into
 * integrals whose weight g has a single peak: they are summed by adaptive
 * Gauss-Kronrod quadrature of the weight relative to its peak,
 * exp(Psi(u) - Psi(u*)), a difference evaluated in closed form without a
 * limit (through expm1 and log1p, so that the terms of size x ~ 1e9 never
 * meet) and from the gamma tails (series and continued fraction, each in
 * logarithms on the side of the median where it does not cancel) with one.
 * Nothing is summed term by term, so a patience of 1e4 h against 1e5
 * erlangs costs as little as a short one.  exp, expm1, log, log1p and
 * log k! are the library's own, in plain IEEE arithmetic, so that the
 * figures are the same bits on every platform (natively, on the page,
 * on Windows); only the delay system's service level (p = +inf, no limit)
 * keeps moravel_wait()'s exp, the platform's.  The agents' side is the Erlang
 * B recursion to n - 1 agents, which gives B(n) and (1 - B(n)) / B(n)
 * without a difference; the last line's share is one more kernel, the
 * ratio of the sum's next term X^(L-n) / (L-n)! to the sum, so that it
 * comes out in the scale of the others.  Every figure of 1e-300 or more
 * agrees with 50-digit references computed two other ways to a relative
 * 1e-12 (the worst found, 5.6e-14) over n 1 .. 1e5, A 0 .. 1e5 erlangs,
 * p 1e-3 h .. 1e4 h, t 0 .. 100 h and L - n up to 1e6 (tests/precision).
 * One evaluation costs the recursion (as moravel_wait()) plus about two
 * hundred quadrature nodes of two exponentials each; with a line limit a
 * node also takes a gamma tail, up to about sqrt(L - n) steps. */

/*! Value of `lines` for no limit on the calls waiting. */
#define MORAVEL_NO_LINE_LIMIT 0

/*! The figures of a contact centre, as described above. */
typedef struct moravel_contact_centre_result {
  double wait_probability;
  double blocked_probability;
  double abandon_probability;
  double abandon_within_answer_time;
  double service_level;
  double service_level_excluding_short_abandons;
  double mean_answer_wait; /* [unit of h] */
  double mean_wait;        /* [unit of h] */
  double queue_length;
  double occupancy;
  double carried; /* [erlang] */
} moravel_contact_centre_result;

/*! The steady state of a contact centre.  20 erlangs, h = 180 s,
 *  p = 120 s, 20 agents, no line limit, t = 20 s: waits 0.482759, abandons
 *  0.0977110, 1.30281 calls waiting, 0.706453 of all offered calls
 *  answered within 20 s, occupancy 0.902289. */
MORAVEL_API moravel_status moravel_contact_centre(
    double traffic, double handling_time, double patience, int32_t agents, int32_t lines,
    double answer_time, moravel_contact_centre_result* result) MORAVEL_NOEXCEPT;

/*! A contact centre whose blocked and abandoned callers try again.
 *  attempt: the figures every attempt meets, first attempts and retries
 *  alike, at the total offered traffic; the rest, per caller, the final
 *  outcome after all retries. */
typedef struct moravel_retrial_result {
  moravel_contact_centre_result attempt;
  double offered_total;       /* first attempts plus retries [erlang] */
  double retry_traffic;       /* retries alone [erlang] */
  double attempts_per_caller; /* offered_total / A */
  double answered_share;      /* callers answered in the end */
  double blocked_share;       /* callers who give up after a busy tone */
  double abandoned_share;     /* callers who give up after hanging up */
  double redialling;          /* mean number of callers waiting to redial */
} moravel_retrial_result;

/*! The usual fixed-point treatment of retries, an approximation: a share
 *  rb of the blocked attempts and ra of the abandoned ones try again after
 *  a mean redial time (unit of h), whatever they met before; the retries
 *  are taken as further Poisson traffic, so that the total offered
 *  traffic T solves T = A + T (rb P_blocked(T) + ra P_abandon(T)).  The
 *  left side less the right grows with T (every outcome's rate does), so
 *  the root is bracketed by doubling from A and narrowed by bisection with
 *  secant steps to a relative 1e-13, in at most 200 model evaluations.  It
 *  ignores that callers redial in bursts and that a retry is more likely
 *  to meet a busy centre, so it understates the retries when they are
 *  many (a simulation measures the difference).  The arguments of
 *  moravel_contact_centre(), then rb and ra in [0, 1]
 *  (MORAVEL_ERROR_RETRY_SHARE) and redial_time finite and > 0
 *  (MORAVEL_ERROR_REDIAL_TIME).  MORAVEL_ERROR_RETRIALS_DIVERGE when no
 *  total below 1e15 erlangs balances (the agents and the callers who give
 *  up cannot take the traffic, as with rb = ra = 1 and A at or above what
 *  n agents carry), and the refusals of moravel_contact_centre() for a
 *  total that the model refuses (a delay system driven to n). */
MORAVEL_API moravel_status moravel_contact_centre_retrials(
    double traffic, double handling_time, double patience, int32_t agents, int32_t lines,
    double answer_time, double blocked_retry_share, double abandoned_retry_share,
    double redial_time, moravel_retrial_result* result) MORAVEL_NOEXCEPT;

/* ---- Contact centres: staffing ------------------------------------------
 * The goals (passed as an int32_t, so that any value can be refused): */
typedef enum moravel_contact_goal {
  MORAVEL_GOAL_SERVICE_LEVEL = 1,                          /* service_level >= target, in (0, 1) */
  MORAVEL_GOAL_SERVICE_LEVEL_EXCLUDING_SHORT_ABANDONS = 2, /* that level >= target */
  MORAVEL_GOAL_MEAN_ANSWER_WAIT = 3,    /* mean_answer_wait <= target [unit of h] */
  MORAVEL_GOAL_ABANDON_PROBABILITY = 4, /* abandon_probability <= target */
  MORAVEL_GOAL_WAIT_PROBABILITY = 5     /* wait_probability <= target */
} moravel_contact_goal;

/*! The least agents n for which moravel_contact_centre() meets the goal
 *  and gives an occupancy of at most max_occupancy (1 for no bound), the
 *  other arguments as there; with a line limit the agents stay at or below
 *  it.  goal a code above (MORAVEL_ERROR_GOAL); target in (0, 1)
 *  (MORAVEL_ERROR_TARGET), or for the mean answer wait finite and above 0
 *  (MORAVEL_ERROR_TARGET_WAIT); max_occupancy in (0, 1]
 *  (MORAVEL_ERROR_OCCUPANCY); lines 0 or 1 .. 10000000
 *  (MORAVEL_ERROR_LINES, MORAVEL_ERROR_LINES_TOO_MANY).  Exact on the
 *  computed figures: n meets the goal and n - 1 does not (the figures
 *  improve as agents are added).  The search gallops from the traffic's
 *  integer part and bisects, about 2 log2 |n - A| evaluations that share
 *  one run of the Erlang B recursion.  *figures (may be NULL) receives the
 *  figures at n, bit for bit.  MORAVEL_ERROR_UNREACHABLE when no count up
 *  to the lines meets it, as a highest occupancy below the traffic's share
 *  of the agents may make it; MORAVEL_ERROR_MODEL_LIMIT when the search
 *  would pass 2^24 = 16777216 agents (the other solvers' bound). */
MORAVEL_API moravel_status moravel_contact_centre_agents(
    double traffic, double handling_time, double patience, int32_t lines, double answer_time,
    int32_t goal, double target, double max_occupancy, int32_t* agents,
    moravel_contact_centre_result* figures) MORAVEL_NOEXCEPT;

/*! The largest traffic at which `agents` agents meet the goal (and the
 *  highest occupancy): it meets it and the next double above does not.
 *  Arguments and refusals as moravel_contact_centre_agents(), with agents
 *  >= 1 and lines 0 or at least the agents.  In effect a bisection in the
 *  order of the doubles on the goal's verdict, at most 200 evaluations of
 *  the model.  MORAVEL_ERROR_EVERY_TRAFFIC_MEETS when every traffic up to
 *  1e15 erlangs meets it (callers who hang up keep the answered calls'
 *  waits bounded, so a generous ASA does); MORAVEL_ERROR_MODEL_LIMIT above
 *  2^24 agents. */
MORAVEL_API moravel_status moravel_contact_centre_traffic(
    int32_t agents, double handling_time, double patience, int32_t lines, double answer_time,
    int32_t goal, double target, double max_occupancy, double* traffic,
    moravel_contact_centre_result* figures) MORAVEL_NOEXCEPT;

/* ---- Contact-centre simulation --------------------------------------------
 * A call-by-call replay of the centres above, to check the models and to
 * go where they do not: patience that is not exponential, and redials as
 * they are rather than as a fixed point.  First attempts arrive as a
 * Poisson stream of A erlangs, n agents answer them first come, first
 * served, each handling time exponential; a caller who finds every agent
 * busy waits, and hangs up when the wait would pass its patience (it stays
 * when they are equal); with L lines an attempt that finds L callers in
 * the centre gets a busy tone; a share of the blocked and of the abandoned
 * attempts redial after an exponential time, and a redial that fails may
 * redial again, with the same share.
 *
 * Units: time in mean handling times (A is the arrival rate of first
 * attempts per mean handling time): the model's figures with h = 1, and
 * seconds after multiplying by h.
 *
 * The replay decides each attempt as it arrives.  First come, first served,
 * a caller who finds the agents busy is taken at the instant the earliest
 * of them frees once every earlier attempt is placed, and one who hangs up
 * takes no agent: one pass in arrival order over the agents' free instants
 * (the calendar of moravel_simulate_loss()) is the centre exactly, and a
 * busy tone needs only the count of callers still waiting.  Each attempt
 * costs constant time on average whatever n. */

/*! How long callers wait before they hang up (passed as an int32_t). */
typedef enum moravel_patience_distribution {
  MORAVEL_PATIENCE_EXPONENTIAL = 1,   /* memoryless, mean `patience`: the models' */
  MORAVEL_PATIENCE_DETERMINISTIC = 2, /* every caller waits exactly `patience` */
  MORAVEL_PATIENCE_ERLANG = 3         /* `patience_phases` exponential phases of mean
                                         patience / phases: coefficient of variation
                                         1 / sqrt(phases), between the two above */
} moravel_patience_distribution;

/*! The centre simulated.  Times in mean handling times. */
typedef struct moravel_contact_centre_setup {
  double traffic;                /* A [erlang]: finite, above 0 */
  int32_t agents;                /* n: 1 .. 2147483646 */
  int32_t lines;                 /* L: n .. 2147483647, or MORAVEL_NO_LINE_LIMIT */
  int32_t patience_distribution; /* a moravel_patience_distribution */
  int32_t patience_phases;       /* Erlang: 1 .. 100 (ignored otherwise) */
  double patience;               /* mean patience: above 0, +inf for callers who
                                    never hang up */
  double answer_time;            /* t of the service levels: finite, not negative */
  double blocked_retry_share;    /* share of blocked attempts that redial: 0 .. 1 */
  double abandoned_retry_share;  /* share of abandoned attempts that redial: 0 .. 1 */
  double redial_time;            /* mean time from failure to redial: finite, above
                                    0 (ignored when both shares are 0) */
} moravel_contact_centre_setup;

/*! One run's estimates, laid out as moravel_retrial_result.  `attempt`
 *  holds moravel_contact_centre()'s figures over every attempt of the
 *  counted callers, `first_attempt` over their first attempts (its queue
 *  length, carried traffic and occupancy are the first attempts' share);
 *  the time averages (queue length, callers redialling) by Little's law,
 *  A times a caller's mean time in that state.  Without redials the two
 *  agree and each caller makes one attempt. */
typedef struct moravel_contact_centre_estimate {
  moravel_contact_centre_result attempt;
  moravel_contact_centre_result first_attempt;
  double offered_total;       /* first attempts plus redials [erlang] */
  double retry_traffic;       /* redials alone [erlang] */
  double attempts_per_caller; /* offered_total / A */
  double answered_share;      /* callers answered at some attempt */
  double blocked_share;       /* callers who gave up after a busy tone */
  double abandoned_share;     /* callers who gave up after hanging up */
  double redialling;          /* mean number of callers waiting to redial */
  uint32_t seed;              /* the run's seed: the one given, or the clock's for 0,
                                 with which the run repeats */
} moravel_contact_centre_estimate;

/*! Replays the centre: `warmup_calls` first attempts that fill it from
 *  empty and are not counted, then `calls` counted callers (calls >= 1,
 *  MORAVEL_ERROR_CALLS; warmup_calls >= 0, MORAVEL_ERROR_RUN_LENGTH), each
 *  with all its attempts.  With redials the run goes on offering uncounted
 *  first attempts until every counted caller has been answered or has
 *  stopped; a redial and a first attempt at the same instant are taken
 *  first attempt first.  Ratios with nothing to count are 0 (the mean
 *  answer wait when no attempt was answered).
 *
 *  Refusals, in this order: centre or result NULL
 *  (MORAVEL_ERROR_NULL_POINTER); traffic (MORAVEL_ERROR_TRAFFIC,
 *  MORAVEL_ERROR_TRAFFIC_NOT_POSITIVE); agents (MORAVEL_ERROR_SERVERS,
 *  MORAVEL_ERROR_SERVERS_TOO_MANY); lines below the agents
 *  (MORAVEL_ERROR_LINES: any L from n up is simulated); the distribution
 *  code or phases (MORAVEL_ERROR_PATIENCE_DISTRIBUTION); the mean patience
 *  (MORAVEL_ERROR_PATIENCE); answer_time (MORAVEL_ERROR_THRESHOLD); a share
 *  outside [0, 1] or NaN (MORAVEL_ERROR_RETRY_SHARE); with a share above 0,
 *  a redial time not finite and above 0 (MORAVEL_ERROR_REDIAL_TIME); calls;
 *  warmup_calls; and traffic at or above the agents when every caller is
 *  answered in the end, so that no steady state exists: patience infinite
 *  or every abandoned attempt redialling, and no line limit or every
 *  blocked attempt redialling (MORAVEL_ERROR_TRAFFIC_NOT_BELOW_SERVERS).
 *
 *  Work bound: at most 64 (warmup_calls + calls) attempts, each a few draws
 *  (patience_phases more for an Erlang patience) and constant time on
 *  average; a run that would pass it stops with MORAVEL_ERROR_MODEL_LIMIT
 *  and writes nothing.  Only redialling that does not settle gets there:
 *  shares near 1 with most attempts failing, or redial times so long that
 *  the uncounted first attempts pile up while the counted callers wait.
 *  Memory: a few slots per busy agent (as moravel_simulate_loss()), 8
 *  bytes per caller waiting at once when lines are set, 24 per caller
 *  waiting to redial.
 *
 *  Seeds.  A run draws from four MT19937 engines seeded with s, S(s),
 *  S(S(s)) and S(S(S(s))), S the second seed of the single-service
 *  simulations (see moravel_simulate_link_subset()): the gaps between
 *  first attempts; one handling time per attempt, in the order of the
 *  attempts; the patience of each attempt that waits (no draw when
 *  patience is infinite or deterministic); and for each failed attempt
 *  whose share is above 0, a uniform u (it redials when u < share), then
 *  its redial time.  Each time is m (-ln(1 - u)), u a multiple of 2^-53 in
 *  [0, 1), so never infinite.  seed 0 takes the seed from the monotonic
 *  clock (read again while it reads 0) and reports it in result->seed; any
 *  seed repeats the run bit for bit. */
MORAVEL_API moravel_status moravel_simulate_contact_centre(
    const moravel_contact_centre_setup* centre, int32_t calls, int32_t warmup_calls, uint32_t seed,
    moravel_contact_centre_estimate* result) MORAVEL_NOEXCEPT;

/*! `replications` (>= 1, MORAVEL_ERROR_RUN_LENGTH) independent runs of
 *  moravel_simulate_contact_centre(), written to results[0 ..
 *  replications - 1].  Replication 0 has seed s (the clock's for 0),
 *  replication r the seed S^4 of replication r - 1's: the runs take the
 *  seed sequence s, S(s), S(S(s)), ... four words each, so the first 2^30
 *  replications share no engine seed, and each gives the bits of the
 *  single run with its seed.  The mean of a figure over R replications,
 *  with the standard error (their standard deviation / sqrt(R)) and
 *  Student's t with R - 1 degrees of freedom, gives its confidence
 *  interval.  Refusals as above, checked before any run;
 *  MORAVEL_ERROR_MODEL_LIMIT stops at the first run that passes its bound,
 *  the earlier results written. */
MORAVEL_API moravel_status moravel_simulate_contact_centre_replications(
    const moravel_contact_centre_setup* centre, int32_t calls, int32_t warmup_calls, uint32_t seed,
    int32_t replications, moravel_contact_centre_estimate* results) MORAVEL_NOEXCEPT;

/* ---- A day's plan ---------------------------------------------------------
 * A day (or any run of equal intervals) as a contact centre plans it: per
 * interval, calls offered, mean handling time and mean patience; for the
 * day, the targets, the length of an interval and the shrinkage (the share
 * of an agent's scheduled time spent off the phones).  Times are in
 * seconds, the interval in minutes.
 *
 * Per interval i: the offered traffic A = calls x handling_time / (60 x
 * interval_minutes); the least agents (n >= 1) of moravel_contact_centre()
 * without a line limit, with that patience (+inf: the delay system, n > A)
 * whose figures meet every target given; the agents to schedule, the least
 * whole S with S (1 - shrinkage) >= agents needed, the shrinkage taken as
 * the decimal it was written as (0.3 is 3/10: 21 agents at 0.3 are 30
 * scheduled, where 21 / (1 - 0.3) in doubles is 30.000000000000004), in
 * exact integer arithmetic; and the
 * figures of moravel_contact_centre() at the agents needed, bit for bit
 * (waits in seconds).  An interval whose traffic is 0 (no calls) needs no
 * agent: its figures are those of an empty queue (service levels 1, every
 * other figure 0).
 *
 * Every figure improves as agents are added, so each goal given is met
 * from its own least count on: the agents needed are the largest of
 * moravel_contact_centre_agents()'s answers for the goals given, each with
 * the highest occupancy (the answer of the plain search upward from n = 1
 * on all targets at once).
 *
 * Targets: each 0 means "no such target"; at least one goal (service
 * level, mean answer wait, abandonment, probability of waiting) must be
 * given (MORAVEL_ERROR_NO_TARGET); the highest occupancy only bounds them.
 * An interval meets the targets when every one given holds. */

/*! Which calls a service level counts: over every offered call (those who
 *  hang up or are blocked count against it), or over the offered calls
 *  less those who hung up within the answer time. */
typedef enum moravel_service_level_basis {
  MORAVEL_SERVICE_LEVEL_OFFERED = 0,
  MORAVEL_SERVICE_LEVEL_EXCLUDING_SHORT_ABANDONS = 1
} moravel_service_level_basis;

typedef struct moravel_day_plan_targets {
  double answer_time;          /* t of the service level [s], finite and >= 0
                                  (MORAVEL_ERROR_THRESHOLD); also the t of the
                                  figures reported */
  double service_level;        /* answered within t: at least; (0, 1)
                                  (MORAVEL_ERROR_SERVICE_LEVEL_TARGET) */
  int32_t service_level_basis; /* a moravel_service_level_basis
                                  (MORAVEL_ERROR_SERVICE_LEVEL_BASIS) */
  double mean_answer_wait;     /* ASA, mean wait of answered calls [s]: at most;
                                  finite and > 0 (MORAVEL_ERROR_TARGET_WAIT) */
  double abandonment;          /* share hanging up: at most; (0, 1)
                                  (MORAVEL_ERROR_ABANDONMENT_TARGET) */
  double wait_probability;     /* share that waits: at most; (0, 1)
                                  (MORAVEL_ERROR_WAIT_PROBABILITY_TARGET) */
  double occupancy;            /* highest occupancy; (0, 1]
                                  (MORAVEL_ERROR_OCCUPANCY) */
} moravel_day_plan_targets;

/*! One interval of the plan. */
typedef struct moravel_day_plan_interval {
  double traffic;        /* offered [erlang] */
  int32_t agents_needed; /* 0 only without traffic */
  int32_t agents_scheduled;
  moravel_contact_centre_result figures; /* at agents_needed; waits in s */
} moravel_day_plan_interval;

/*! The day.  Sums in interval order; with c the calls of an interval:
 *  answered calls c (1 - abandon_probability), abandoned calls c
 *  abandon_probability; handling_time sum(c h) / sum(c); traffic, and the
 *  figures' carried traffic and queue length, means over the intervals
 *  (all equally long); the shares of offered calls (wait, blocked,
 *  abandon, abandon within t, service level) and the mean wait weighted by
 *  c; the service level excluding short abandons weighted by c (1 -
 *  abandon_within_answer_time), its denominator; the mean answer wait by
 *  the answered calls; occupancy = the carried traffic over the agents
 *  needed, each summed over the intervals.  A day without calls has the
 *  figures of an empty interval. */
typedef struct moravel_day_plan_totals {
  double calls;
  double handling_time; /* [s] */
  double traffic;       /* [erlang] */
  double answered_calls;
  double abandoned_calls;
  int64_t agent_intervals_needed;
  int64_t agent_intervals_scheduled;
  double scheduled_agent_hours; /* agent_intervals_scheduled x minutes / 60 */
  int32_t peak_agents_scheduled;
  moravel_contact_centre_result figures;
} moravel_day_plan_totals;

/*! Plans `count` intervals: calls[count], handling_time[count] and
 *  patience[count] (patience may be NULL: every caller waits for ever).
 *  Writes intervals[count] and *totals.
 *
 *  Refusals, in this order: NULL pointers (arrays with count > 0, targets,
 *  intervals, totals); the targets as listed with moravel_day_plan_targets;
 *  interval_minutes finite and > 0 (MORAVEL_ERROR_INTERVAL_MINUTES);
 *  shrinkage in [0, 1) (MORAVEL_ERROR_SHRINKAGE); then the intervals in
 *  order, the first refused one stopping the call with its index in
 *  *refused_index (which may be NULL; it is left alone for any other
 *  outcome): calls finite and >= 0 (MORAVEL_ERROR_CALLS_OFFERED); handling
 *  time finite and > 0 (MORAVEL_ERROR_HOLDING_TIME); patience > 0, +inf
 *  allowed (MORAVEL_ERROR_PATIENCE); a traffic that is not finite
 *  (MORAVEL_ERROR_TRAFFIC); figures the model cannot compute
 *  (MORAVEL_ERROR_OVERFLOW, as for moravel_contact_centre()); no agents
 *  meeting the targets (MORAVEL_ERROR_UNREACHABLE: a highest occupancy
 *  below what the traffic allows), or a search beyond the staffing
 *  solvers' 2^24 agents (MORAVEL_ERROR_MODEL_LIMIT); agents
 *  to schedule beyond 2^31 - 1 (MORAVEL_ERROR_SCHEDULED_TOO_MANY).  The
 *  intervals before a refused one are written, *totals is not.  count = 0
 *  gives totals of an empty day. */
MORAVEL_API moravel_status moravel_day_plan(size_t count, const double* calls,
                                            const double* handling_time, const double* patience,
                                            const moravel_day_plan_targets* targets,
                                            double interval_minutes, double shrinkage,
                                            moravel_day_plan_interval* intervals,
                                            moravel_day_plan_totals* totals,
                                            size_t* refused_index) MORAVEL_NOEXCEPT;

/** The offered traffic [erlang] of a call volume: `calls` calls in an
 *  interval of `interval_minutes` minutes, each held `handling_time` seconds
 *  on average, offer calls x handling_time / (60 x interval_minutes)
 *  erlangs, the traffic moravel_day_plan() gives each interval.  400 calls
 *  in 30 minutes of 180 s each are 40 erlangs.  Refused: calls not finite or
 *  negative (MORAVEL_ERROR_CALLS_OFFERED), an interval not finite and above
 *  0 (MORAVEL_ERROR_INTERVAL_MINUTES), a handling time not finite and above
 *  0 (MORAVEL_ERROR_HOLDING_TIME), a product beyond the doubles
 *  (MORAVEL_ERROR_OVERFLOW). */
MORAVEL_API moravel_status moravel_offered_traffic(double calls, double interval_minutes,
                                                   double handling_time,
                                                   double* traffic) MORAVEL_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif /* MORAVEL_API_H */
