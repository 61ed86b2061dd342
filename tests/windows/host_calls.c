/*
 * host_calls: a host that loads libMoravel by name, as a spreadsheet macro
 * or a lab program does, looks up every export of both C interfaces with
 * the platform's loader (LoadLibraryA and GetProcAddress on Windows, dlopen
 * and dlsym elsewhere) and calls each one on generated inputs.
 *
 * Usage: host_calls LIBRARY [POINTS]
 *
 * One line per call: the function's name, its inputs, its status (for the
 * moravel_ functions) and its results.  Every double, input or result, is
 * written as 0x followed by its 64 bits in 16 hexadecimal digits; a text
 * result stands between '[' and ']'.  The inputs come from a fixed integer
 * generator, so the same program built for two platforms writes two files
 * that agree line for line wherever the library's arithmetic agrees.
 *
 * The self-seeded simulation VM_VMl_VDg_L_im differs from run to run: its
 * line gives only the number of figures in its text and whether each one
 * reads as a number.
 *
 * Exit status: 0 when every export was found, 1 otherwise, 2 on bad usage.
 */
#include <inttypes.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "moravel.h"
#include "moravel/api.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
typedef HMODULE Library;
static Library OpenLibrary(const char* name) { return LoadLibraryA(name); }
static void* Find(Library library, const char* name) {
  /* A FARPROC is a function pointer: copy its bits, as every host does. */
  FARPROC address = GetProcAddress(library, name);
  void* pointer;
  memcpy(&pointer, &address, sizeof pointer);
  return pointer;
}
#else
#include <dlfcn.h>
typedef void* Library;
static Library OpenLibrary(const char* name) { return dlopen(name, RTLD_NOW | RTLD_LOCAL); }
static void* Find(Library library, const char* name) { return dlsym(library, name); }
#endif

static Library library;
static int missing = 0;

static void* Lookup(const char* name) {
  void* address = Find(library, name);
  if (address == NULL) {
    printf("missing %s\n", name);
    ++missing;
  }
  return address;
}

/* The export `name`, typed as its declaration in the headers.  The loader
   answers with an object pointer; its bits are the function's address. */
#define LOOKUP(name)                              \
  do {                                            \
    void* address_ = Lookup(#name);               \
    memcpy(&name##_, &address_, sizeof address_); \
  } while (0)
#define DECLARE(name) static __typeof__(&name) name##_

/* ---- generated inputs --------------------------------------------------- */

static uint64_t state = 0x6d6f726176656cULL;

/* splitmix64: integer arithmetic only, the same on every platform. */
static uint64_t Next(void) {
  uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

static int32_t Between(int32_t low, int32_t high) {
  return low + (int32_t)(Next() % (uint64_t)(high - low + 1));
}

/* A fraction in [0, scale) on a grid of 2^-20: exact on every platform. */
static double Fraction(double scale) { return scale * (double)(Next() % 1048576u) / 1048576.0; }

/* Inputs outside the usual range: zeros, extremes, infinities, NaN. */
static double Odd(void) {
  static const double odd[] = {0.0, -0.0, 1e-310, 1e-300, -1.0, 1e300, 1.7976931348623157e308};
  switch (Next() % 10u) {
    case 0: return INFINITY;
    case 1: return -INFINITY;
    case 2: return NAN;
    default: return odd[Next() % (sizeof odd / sizeof odd[0])];
  }
}

/* Values every function refuses at once. */
static double Refused(void) {
  static const double refused[] = {-1.0, INFINITY, -INFINITY, NAN};
  return refused[Next() % 4u];
}

/* Mostly ordinary values, one call in eight odd. */
static int Rare(void) { return Next() % 8u == 0; }

static int32_t Servers(void) {
  switch (Next() % 16u) {
    case 0: return Between(-2, 0);
    case 1: return Between(160, 180);
    case 2:
    case 3: return Between(200, 3000);
    default: return Between(1, 60);
  }
}

static double Traffic(int32_t servers) {
  if (Rare()) return Odd();
  return Fraction(1.6 * (servers > 0 ? servers : 4) + 1.0);
}

/* ---- writing ------------------------------------------------------------ */

static void Bits(double x) {
  uint64_t bits;
  memcpy(&bits, &x, sizeof bits);
  printf(" 0x%016" PRIx64, bits);
}

static void Int(int64_t n) { printf(" %" PRId64, n); }

static void Text(const char* text) { printf(" [%s]", text == NULL ? "(null)" : text); }

static void Begin(const char* name) { printf("%s", name); }
static void Arrow(void) { printf(" ->"); }
static void End(void) { printf("\n"); }

static void Status(int status) { printf(" status %d", status); }

static void Array(const double* values, int32_t n) {
  printf(" {");
  for (int32_t i = 0; i < n; ++i) Bits(values[i]);
  printf(" }");
}

/* ---- the fifteen exports ------------------------------------------------ */

DECLARE(PalmTable);
DECLARE(ErlangFormula2);
DECLARE(EngsetTable);
DECLARE(E);
DECLARE(Hi);
DECLARE(M_M_V_L_an);
DECLARE(Mi_M_V_L_an);
DECLARE(M_G_V_L_an);
DECLARE(M_M_V_L_PRA_an);
DECLARE(M_M_V_W_FF_R_an);
DECLARE(M_M_V_L_im);
DECLARE(M_M_V_W_FF_R_im);
DECLARE(VM_VMl_V_L_an);
DECLARE(VM_VMl_VDg_L_an);
DECLARE(VM_VMl_VDg_L_im);

/* ---- the second interface ----------------------------------------------- */

DECLARE(moravel_status_message);
DECLARE(moravel_erlang_b);
DECLARE(moravel_erlang_c);
DECLARE(moravel_engset);
DECLARE(moravel_erlang_b_direct);
DECLARE(moravel_erlang_b_ratio);
DECLARE(moravel_loss);
DECLARE(moravel_loss_finite_sources);
DECLARE(moravel_loss_assembled);
DECLARE(moravel_loss_priority);
DECLARE(moravel_wait);
DECLARE(moravel_erlang_b_array);
DECLARE(moravel_erlang_c_array);
DECLARE(moravel_engset_array);
DECLARE(moravel_erlang_b_direct_array);
DECLARE(moravel_erlang_b_ratio_array);
DECLARE(moravel_loss_array);
DECLARE(moravel_loss_finite_sources_array);
DECLARE(moravel_loss_assembled_array);
DECLARE(moravel_wait_array);
DECLARE(moravel_simulate_loss);
DECLARE(moravel_simulate_wait);
DECLARE(moravel_link_group);
DECLARE(moravel_link_subset);
DECLARE(moravel_simulate_link_subset);
DECLARE(moravel_erlang_b_servers);
DECLARE(moravel_engset_servers);
DECLARE(moravel_loss_assembled_servers);
DECLARE(moravel_link_group_links);
DECLARE(moravel_link_subset_links);
DECLARE(moravel_erlang_b_traffic);
DECLARE(moravel_engset_traffic);
DECLARE(moravel_staffing_figures);
DECLARE(moravel_agents_for_service_level);
DECLARE(moravel_agents_for_mean_wait);
DECLARE(moravel_agents_for_wait_probability);
DECLARE(moravel_traffic_for_service_level);

static void LookUpAll(void) {
  LOOKUP(PalmTable);
  LOOKUP(ErlangFormula2);
  LOOKUP(EngsetTable);
  LOOKUP(E);
  LOOKUP(Hi);
  LOOKUP(M_M_V_L_an);
  LOOKUP(Mi_M_V_L_an);
  LOOKUP(M_G_V_L_an);
  LOOKUP(M_M_V_L_PRA_an);
  LOOKUP(M_M_V_W_FF_R_an);
  LOOKUP(M_M_V_L_im);
  LOOKUP(M_M_V_W_FF_R_im);
  LOOKUP(VM_VMl_V_L_an);
  LOOKUP(VM_VMl_VDg_L_an);
  LOOKUP(VM_VMl_VDg_L_im);
  LOOKUP(moravel_status_message);
  LOOKUP(moravel_erlang_b);
  LOOKUP(moravel_erlang_c);
  LOOKUP(moravel_engset);
  LOOKUP(moravel_erlang_b_direct);
  LOOKUP(moravel_erlang_b_ratio);
  LOOKUP(moravel_loss);
  LOOKUP(moravel_loss_finite_sources);
  LOOKUP(moravel_loss_assembled);
  LOOKUP(moravel_loss_priority);
  LOOKUP(moravel_wait);
  LOOKUP(moravel_erlang_b_array);
  LOOKUP(moravel_erlang_c_array);
  LOOKUP(moravel_engset_array);
  LOOKUP(moravel_erlang_b_direct_array);
  LOOKUP(moravel_erlang_b_ratio_array);
  LOOKUP(moravel_loss_array);
  LOOKUP(moravel_loss_finite_sources_array);
  LOOKUP(moravel_loss_assembled_array);
  LOOKUP(moravel_wait_array);
  LOOKUP(moravel_simulate_loss);
  LOOKUP(moravel_simulate_wait);
  LOOKUP(moravel_link_group);
  LOOKUP(moravel_link_subset);
  LOOKUP(moravel_simulate_link_subset);
  LOOKUP(moravel_erlang_b_servers);
  LOOKUP(moravel_engset_servers);
  LOOKUP(moravel_loss_assembled_servers);
  LOOKUP(moravel_link_group_links);
  LOOKUP(moravel_link_subset_links);
  LOOKUP(moravel_erlang_b_traffic);
  LOOKUP(moravel_engset_traffic);
  LOOKUP(moravel_staffing_figures);
  LOOKUP(moravel_agents_for_service_level);
  LOOKUP(moravel_agents_for_mean_wait);
  LOOKUP(moravel_agents_for_wait_probability);
  LOOKUP(moravel_traffic_for_service_level);
}

enum { kMaxPoints = 4096, kMaxClasses = 4 };

static void Loss(const moravel_loss_result* r) {
  Bits(r->loss);
  Bits(r->carried);
}

static void Wait(const moravel_wait_result* r) {
  Bits(r->wait_probability);
  Bits(r->wait_exceeds);
  Bits(r->mean_wait);
  Bits(r->mean_wait_of_waiting);
  Bits(r->queue_length);
}

static void Staffing(const moravel_staffing* s) {
  Int(s->agents);
  Bits(s->wait_probability);
  Bits(s->service_level);
  Bits(s->mean_speed_of_answer);
  Bits(s->occupancy);
}

/* Erlang loss and delay, Engset, direct form and ratio: the scalar
   exports, their moravel_ twins, and the same points through the arrays. */
static void Formulas(int points) {
  static int32_t V[kMaxPoints], N[kMaxPoints], I[kMaxPoints];
  static double A[kMaxPoints], a[kMaxPoints], out[kMaxPoints];
  for (int p = 0; p < points; ++p) {
    V[p] = Servers();
    A[p] = Traffic(V[p]);
    N[p] = Rare() ? Between(-1, 3) : V[p] + Between(0, 200);
    a[p] = Rare() ? Odd() : Fraction(1.0);
    I[p] = Rare() ? Between(-2, 200) : Between(0, V[p] > 0 ? V[p] : 2);
    if (p % 4 == 0 && V[p] > 170) V[p] = Between(0, 171); /* the direct form's range */
  }
  for (int p = 0; p < points; ++p) {
    double r;
    Begin("PalmTable");
    Int(V[p]);
    Bits(A[p]);
    Arrow();
    Bits(PalmTable_(V[p], A[p]));
    End();
    Begin("ErlangFormula2");
    Int(V[p]);
    Bits(A[p]);
    Arrow();
    Bits(ErlangFormula2_(V[p], A[p]));
    End();
    Begin("EngsetTable");
    Int(N[p]);
    Int(V[p]);
    Bits(a[p]);
    Arrow();
    Bits(EngsetTable_(N[p], V[p], a[p]));
    End();
    Begin("E");
    Int(V[p]);
    Bits(A[p]);
    Arrow();
    Bits(E_(V[p], A[p]));
    End();
    Begin("Hi");
    Int(V[p]);
    Bits(A[p]);
    Int(I[p]);
    Arrow();
    Bits(Hi_(V[p], A[p], I[p]));
    End();
    r = -1.0;
    Begin("moravel_erlang_b");
    Int(V[p]);
    Bits(A[p]);
    Arrow();
    Status(moravel_erlang_b_(V[p], A[p], &r));
    Bits(r);
    End();
    r = -1.0;
    Begin("moravel_erlang_c");
    Int(V[p]);
    Bits(A[p]);
    Arrow();
    Status(moravel_erlang_c_(V[p], A[p], &r));
    Bits(r);
    End();
    r = -1.0;
    Begin("moravel_engset");
    Int(N[p]);
    Int(V[p]);
    Bits(a[p]);
    Arrow();
    Status(moravel_engset_(N[p], V[p], a[p], &r));
    Bits(r);
    End();
    r = -1.0;
    Begin("moravel_erlang_b_direct");
    Int(V[p]);
    Bits(A[p]);
    Arrow();
    Status(moravel_erlang_b_direct_(V[p], A[p], &r));
    Bits(r);
    End();
    r = -1.0;
    Begin("moravel_erlang_b_ratio");
    Int(V[p]);
    Bits(A[p]);
    Int(I[p]);
    Arrow();
    Status(moravel_erlang_b_ratio_(V[p], A[p], I[p], &r));
    Bits(r);
    End();
  }
  /* The arrays stop at the first refused point: write what they wrote. */
  size_t refused;
#define ARRAY_LINE(name, call)                                     \
  do {                                                             \
    memset(out, 0, sizeof out);                                    \
    refused = (size_t)-1;                                          \
    Begin(#name);                                                  \
    Int(points);                                                   \
    Arrow();                                                       \
    Status(call);                                                  \
    Int(refused == (size_t)-1 ? -1 : (int64_t)refused);            \
    Array(out, refused == (size_t)-1 ? points : (int32_t)refused); \
    End();                                                         \
  } while (0)
  ARRAY_LINE(moravel_erlang_b_array, moravel_erlang_b_array_((size_t)points, V, A, out, &refused));
  ARRAY_LINE(moravel_erlang_c_array, moravel_erlang_c_array_((size_t)points, V, A, out, &refused));
  ARRAY_LINE(moravel_engset_array, moravel_engset_array_((size_t)points, N, V, a, out, &refused));
  ARRAY_LINE(moravel_erlang_b_direct_array,
             moravel_erlang_b_direct_array_((size_t)points, V, A, out, &refused));
  ARRAY_LINE(moravel_erlang_b_ratio_array,
             moravel_erlang_b_ratio_array_((size_t)points, V, A, I, out, &refused));
#undef ARRAY_LINE
  /* Only the valid points, so that every array runs to its end. */
  int valid = 0;
  for (int p = 0; p < points; ++p) {
    if (V[p] >= 1 && V[p] <= 170 && isfinite(A[p]) && A[p] >= 0.0 && A[p] < V[p]) {
      V[valid] = V[p];
      A[valid] = A[p];
      ++valid;
    }
  }
  refused = (size_t)-1;
  memset(out, 0, sizeof out);
  Begin("moravel_erlang_c_array(valid)");
  Int(valid);
  Arrow();
  Status(moravel_erlang_c_array_((size_t)valid, V, A, out, &refused));
  Array(out, valid);
  End();
  refused = (size_t)-1;
  memset(out, 0, sizeof out);
  Begin("moravel_erlang_b_direct_array(valid)");
  Int(valid);
  Arrow();
  Status(moravel_erlang_b_direct_array_((size_t)valid, V, A, out, &refused));
  Array(out, valid);
  End();
}

/* The single-service models: loss, finite sources, assembled load,
   priority classes, the waiting system. */
static void SingleService(int points) {
  static int32_t V[kMaxPoints], N[kMaxPoints], n[kMaxPoints];
  static double A[kMaxPoints], a[kMaxPoints], x[kMaxPoints], y[kMaxPoints], z[kMaxPoints];
  static double t[kMaxPoints], h[kMaxPoints];
  static moravel_loss_result loss[kMaxPoints];
  static moravel_wait_result wait[kMaxPoints];
  for (int p = 0; p < points; ++p) {
    V[p] = Servers();
    A[p] = Traffic(V[p]);
    N[p] = Rare() ? Between(-1, 3) : V[p] + Between(0, 100);
    a[p] = Rare() ? Odd() : Fraction(1.0);
    x[p] = Rare() ? Odd() : Fraction(8.0) + 0.125;
    y[p] = Rare() ? Odd() : Fraction(8.0) + 0.125;
    z[p] = Rare() ? Odd() : Fraction(4.0);
    n[p] = Rare() ? Between(-2, 0) : Between(1, 40);
    t[p] = Rare() ? Odd() : Fraction(3.0);
    h[p] = Rare() ? Odd() : Fraction(300.0) + 1.0;
  }
  for (int p = 0; p < points; ++p) {
    moravel_loss_result r = {-1.0, -1.0};
    moravel_wait_result w = {-1.0, -1.0, -1.0, -1.0, -1.0};
    Begin("M_M_V_L_an");
    Int(V[p]);
    Bits(A[p]);
    Arrow();
    Text(M_M_V_L_an_(V[p], A[p]));
    End();
    Begin("moravel_loss");
    Int(V[p]);
    Bits(A[p]);
    Arrow();
    Status(moravel_loss_(V[p], A[p], &r));
    Loss(&r);
    End();
    Begin("Mi_M_V_L_an");
    Int(N[p]);
    Int(V[p]);
    Bits(a[p]);
    Arrow();
    Text(Mi_M_V_L_an_(N[p], V[p], a[p]));
    End();
    Begin("moravel_loss_finite_sources");
    Int(N[p]);
    Int(V[p]);
    Bits(a[p]);
    Arrow();
    Status(moravel_loss_finite_sources_(N[p], V[p], a[p], &r));
    Loss(&r);
    End();
    Begin("M_G_V_L_an");
    Bits(x[p]);
    Bits(y[p]);
    Bits(z[p]);
    Int(V[p]);
    Int(n[p]);
    Arrow();
    Text(M_G_V_L_an_(x[p], y[p], z[p], V[p], n[p]));
    End();
    Begin("moravel_loss_assembled");
    Bits(x[p]);
    Bits(y[p]);
    Bits(z[p]);
    Int(V[p]);
    Int(n[p]);
    Arrow();
    Status(moravel_loss_assembled_(x[p], y[p], z[p], V[p], n[p], &r));
    Loss(&r);
    End();
    Begin("M_M_V_W_FF_R_an");
    Bits(t[p]);
    Bits(h[p]);
    Int(V[p]);
    Bits(A[p]);
    Arrow();
    Text(M_M_V_W_FF_R_an_(t[p], h[p], V[p], A[p]));
    End();
    Begin("moravel_wait");
    Bits(t[p]);
    Bits(h[p]);
    Int(V[p]);
    Bits(A[p]);
    Arrow();
    Status(moravel_wait_(t[p], h[p], V[p], A[p], &w));
    Wait(&w);
    End();
    {
      double traffic[kMaxClasses], lost[kMaxClasses], carried[kMaxClasses];
      int32_t classes = Rare() ? Between(-1, 0) : Between(1, kMaxClasses);
      int32_t shown = classes > 0 ? classes : 0;
      for (int c = 0; c < kMaxClasses; ++c) {
        traffic[c] = Rare() ? Odd() : Fraction(0.5 * (V[p] > 0 ? V[p] : 2));
        lost[c] = carried[c] = -1.0;
      }
      Begin("M_M_V_L_PRA_an");
      Int(classes);
      Int(V[p]);
      Array(traffic, shown);
      Arrow();
      Text(M_M_V_L_PRA_an_(classes, V[p], traffic));
      End();
      Begin("moravel_loss_priority");
      Int(classes);
      Int(V[p]);
      Array(traffic, shown);
      Arrow();
      Status(moravel_loss_priority_(classes, V[p], traffic, lost, carried));
      Array(lost, shown);
      Array(carried, shown);
      End();
    }
  }
  size_t refused;
#define ARRAY_LINE(name, call, show)                                          \
  do {                                                                        \
    refused = (size_t)-1;                                                     \
    Begin(#name);                                                             \
    Int(points);                                                              \
    Arrow();                                                                  \
    Status(call);                                                             \
    Int(refused == (size_t)-1 ? -1 : (int64_t)refused);                       \
    for (int p = 0; p < (refused == (size_t)-1 ? points : (int)refused); ++p) \
      show(&(name##_results)[p]);                                             \
    End();                                                                    \
  } while (0)
  moravel_loss_result* moravel_loss_array_results = loss;
  moravel_loss_result* moravel_loss_finite_sources_array_results = loss;
  moravel_loss_result* moravel_loss_assembled_array_results = loss;
  moravel_wait_result* moravel_wait_array_results = wait;
  ARRAY_LINE(moravel_loss_array, moravel_loss_array_((size_t)points, V, A, loss, &refused), Loss);
  ARRAY_LINE(moravel_loss_finite_sources_array,
             moravel_loss_finite_sources_array_((size_t)points, N, V, a, loss, &refused), Loss);
  ARRAY_LINE(moravel_loss_assembled_array,
             moravel_loss_assembled_array_((size_t)points, x, y, z, V, n, loss, &refused), Loss);
  ARRAY_LINE(moravel_wait_array, moravel_wait_array_((size_t)points, t, h, V, A, wait, &refused),
             Wait);
#undef ARRAY_LINE
}

/* The seeded single-service simulations and their twins. */
static void Simulations(int points) {
  for (int p = 0; p < points; ++p) {
    int32_t V = Rare() ? Between(-1, 0) : Between(1, 40);
    double A = Rare() ? Odd() : Fraction(1.3 * (V > 0 ? V : 2)) + 0.001;
    int32_t N = Rare() ? Between(-1, 0) : Between(1, 20000);
    double t = Rare() ? Odd() : Fraction(2.0);
    uint32_t seed = (uint32_t)Next() | 1u;
    moravel_loss_result r = {-1.0, -1.0};
    moravel_wait_result w = {-1.0, -1.0, -1.0, -1.0, -1.0};
    Begin("M_M_V_L_im");
    Bits(A);
    Int(V);
    Int(N);
    Int(seed);
    Arrow();
    Text(M_M_V_L_im_(A, V, N, seed));
    End();
    Begin("moravel_simulate_loss");
    Bits(A);
    Int(V);
    Int(N);
    Int(seed);
    Arrow();
    Status(moravel_simulate_loss_(A, V, N, seed, &r));
    Loss(&r);
    End();
    Begin("M_M_V_W_FF_R_im");
    Bits(A);
    Int(V);
    Int(N);
    Bits(t);
    Int(seed);
    Arrow();
    Text(M_M_V_W_FF_R_im_(A, V, N, t, seed));
    End();
    Begin("moravel_simulate_wait");
    Bits(A);
    Int(V);
    Int(N);
    Bits(t);
    Int(seed);
    Arrow();
    Status(moravel_simulate_wait_(A, V, N, t, seed, &w));
    Wait(&w);
    End();
  }
}

/* How many figures a text holds, and whether each reads as a number. */
static void Figures(const char* text) {
  int figures = 0, numbers = 0;
  const char* p = text;
  while (*p != '\0') {
    char* end;
    while (*p == ' ') ++p;
    if (*p == '\0') break;
    (void)strtod(p, &end);
    ++figures;
    if (end != p && (*end == ' ' || *end == '\0')) ++numbers;
    while (*p != ' ' && *p != '\0') ++p;
  }
  printf(" figures %d numbers %d", figures, numbers);
}

/* The link groups: both models, the simulation, their twins. */
static void LinkGroups(int points) {
  static const char* const policies[] = {
      "\xD0\x9C\xD0\xB0\xD0\xBA\xD1\x81\xD0\xA1\xD0\xB2\xD0\xBE\xD0\xB1",
      "\xD0\x9C\xD0\xB8\xD0\xBD\xD0\xA1\xD0\xB2\xD0\xBE\xD0\xB1",
      "\xD0\x9F\xD0\xB5\xD1\x80\xD0\xB2\xD0\xA1\xD0\xB2\xD0\xBE\xD0\xB1"};
  for (int p = 0; p < points; ++p) {
    double a[kMaxClasses], t[kMaxClasses], blocking[kMaxClasses], carried[kMaxClasses];
    int32_t M = Rare() ? 0 : Between(1, kMaxClasses);
    int32_t k = Rare() ? Between(-1, 0) : Between(1, 8);
    int32_t f = Rare() ? Between(-1, 0) : Between(1, 60);
    int32_t g = Rare() ? Between(-1, 9) : Between(1, k > 0 ? k : 1);
    int32_t N = Between(1, 3000);
    int32_t policy = Between(1, 3);
    uint32_t seed = (uint32_t)Next() | 1u;
    for (int c = 0; c < kMaxClasses; ++c) {
      a[c] = Rare() ? Odd() : Fraction(0.4 * (k > 0 ? k : 1) * (f > 0 ? f : 1)) + 0.01;
      t[c] = Rare() ? Odd() : (double)Between(1, f > 1 ? f : 2);
      blocking[c] = carried[c] = -1.0;
    }
    Begin("VM_VMl_V_L_an");
    Array(a, M);
    Int(M);
    Array(t, M);
    Int(k);
    Int(f);
    Arrow();
    Text(VM_VMl_V_L_an_(a, M, t, k, f));
    End();
    Begin("moravel_link_group");
    Array(a, M);
    Int(M);
    Array(t, M);
    Int(k);
    Int(f);
    Arrow();
    Status(moravel_link_group_(a, M, t, k, f, blocking, carried));
    Array(blocking, M);
    Array(carried, M);
    End();
    Begin("VM_VMl_VDg_L_an");
    Array(a, M);
    Int(M);
    Array(t, M);
    Int(k);
    Int(f);
    Int(g);
    Arrow();
    Text(VM_VMl_VDg_L_an_(a, M, t, k, f, g));
    End();
    Begin("moravel_link_subset");
    Array(a, M);
    Int(M);
    Array(t, M);
    Int(k);
    Int(f);
    Int(g);
    Arrow();
    Status(moravel_link_subset_(a, M, t, k, f, g, blocking, carried));
    Array(blocking, M);
    Array(carried, M);
    End();
    Begin("VM_VMl_VDg_L_im");
    Array(a, M);
    Int(M);
    Array(t, M);
    Int(k);
    Int(f);
    Int(g);
    Int(N);
    Int(policy);
    Arrow();
    Figures(VM_VMl_VDg_L_im_(a, M, t, k, f, g, N, policies[policy - 1]));
    End();
    Begin("moravel_simulate_link_subset");
    Array(a, M);
    Int(M);
    Array(t, M);
    Int(k);
    Int(f);
    Int(g);
    Int(N);
    Int(policy);
    Int(seed);
    Arrow();
    Status(moravel_simulate_link_subset_(a, M, t, k, f, g, N, policy, seed, blocking, carried));
    Array(blocking, M);
    Array(carried, M);
    End();
  }
}

static double Target(void) {
  static const double targets[] = {0.001, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.8, 0.9};
  if (Rare()) return Rare() ? Odd() : 1.0;
  return targets[Next() % (sizeof targets / sizeof targets[0])];
}

/* The dimensioning solvers and the staffing figures. */
static void Solvers(int points) {
  for (int p = 0; p < points; ++p) {
    double A = Rare() ? Odd() : Fraction(120.0);
    double target = Target();
    int32_t V = Rare() ? Between(-1, 0) : Between(1, 120);
    int32_t N = Rare() ? Between(-1, 0) : Between(1, 400);
    double a = Rare() ? Odd() : Fraction(0.9);
    double x = Fraction(4.0) + 0.25, y = Fraction(4.0) + 0.25, z = Fraction(2.0);
    int32_t n = Between(0, 30);
    double h = Rare() ? Odd() : Fraction(600.0) + 10.0;
    double answer = Rare() ? Odd() : Fraction(60.0);
    double wait_target = Rare() ? Odd() : Fraction(30.0) + 0.5;
    int32_t servers = -7;
    double value = -1.0;
    moravel_staffing s = {-7, -1.0, -1.0, -1.0, -1.0};
    Begin("moravel_erlang_b_servers");
    Bits(A);
    Bits(target);
    Arrow();
    Status(moravel_erlang_b_servers_(A, target, &servers, &value));
    Int(servers);
    Bits(value);
    End();
    servers = -7;
    value = -1.0;
    Begin("moravel_engset_servers");
    Int(N);
    Bits(a);
    Bits(target);
    Arrow();
    Status(moravel_engset_servers_(N, a, target, &servers, &value));
    Int(servers);
    Bits(value);
    End();
    servers = -7;
    value = -1.0;
    Begin("moravel_loss_assembled_servers");
    Bits(x);
    Bits(y);
    Bits(z);
    Int(n);
    Bits(target);
    Arrow();
    Status(moravel_loss_assembled_servers_(x, y, z, n, target, &servers, &value));
    Int(servers);
    Bits(value);
    End();
    value = -1.0;
    Begin("moravel_erlang_b_traffic");
    Int(V);
    Bits(target);
    Arrow();
    Status(moravel_erlang_b_traffic_(V, target, &value));
    Bits(value);
    End();
    value = -1.0;
    Begin("moravel_engset_traffic");
    Int(N);
    Int(V);
    Bits(target);
    Arrow();
    Status(moravel_engset_traffic_(N, V, target, &value));
    Bits(value);
    End();
    Begin("moravel_staffing_figures");
    Int(V);
    Bits(A);
    Bits(h);
    Bits(answer);
    Arrow();
    Status(moravel_staffing_figures_(V, A, h, answer, &s));
    Staffing(&s);
    End();
    s.agents = -7;
    Begin("moravel_agents_for_service_level");
    Bits(A);
    Bits(h);
    Bits(answer);
    Bits(target);
    Arrow();
    Status(moravel_agents_for_service_level_(A, h, answer, target, &s));
    Staffing(&s);
    End();
    s.agents = -7;
    Begin("moravel_agents_for_mean_wait");
    Bits(A);
    Bits(h);
    Bits(answer);
    Bits(wait_target);
    Arrow();
    Status(moravel_agents_for_mean_wait_(A, h, answer, wait_target, &s));
    Staffing(&s);
    End();
    s.agents = -7;
    Begin("moravel_agents_for_wait_probability");
    Bits(A);
    Bits(h);
    Bits(answer);
    Bits(target);
    Arrow();
    Status(moravel_agents_for_wait_probability_(A, h, answer, target, &s));
    Staffing(&s);
    End();
    s.agents = -7;
    value = -1.0;
    Begin("moravel_traffic_for_service_level");
    Int(V);
    Bits(h);
    Bits(answer);
    Bits(target);
    Arrow();
    Status(moravel_traffic_for_service_level_(V, h, answer, target, &value, &s));
    Bits(value);
    Staffing(&s);
    End();
  }
}

/* The least links for a blocking target of every class. */
static void LinkSolvers(int points) {
  for (int p = 0; p < points; ++p) {
    double a[kMaxClasses], t[kMaxClasses];
    int32_t M = Rare() ? 0 : Between(1, 2);
    int32_t f = Rare() ? Between(-1, 0) : Between(1, 20);
    int32_t g = Rare() ? Between(-1, 0) : Between(1, 2);
    double target = Rare() ? Refused() : 0.01 * Between(1, 20);
    int32_t links = -7;
    double blocking = -1.0;
    /* Searches over the number of links may legitimately run long on a
       class that offers next to nothing: ordinary groups, or refusals. */
    for (int c = 0; c < kMaxClasses; ++c) {
      a[c] = Rare() ? Refused() : Fraction(4.0) + 0.5;
      t[c] = Rare() ? Refused() : (double)Between(1, f > 3 ? f / 2 : 1);
    }
    Begin("moravel_link_group_links");
    Array(a, M);
    Int(M);
    Array(t, M);
    Int(f);
    Bits(target);
    Arrow();
    Status(moravel_link_group_links_(a, M, t, f, target, &links, &blocking));
    Int(links);
    Bits(blocking);
    End();
    links = -7;
    blocking = -1.0;
    Begin("moravel_link_subset_links");
    Array(a, M);
    Int(M);
    Array(t, M);
    Int(f);
    Int(g);
    Bits(target);
    Arrow();
    Status(moravel_link_subset_links_(a, M, t, f, g, target, &links, &blocking));
    Int(links);
    Bits(blocking);
    End();
  }
}

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    fprintf(stderr, "usage: host_calls LIBRARY [POINTS]\n");
    return 2;
  }
  int points = argc == 3 ? atoi(argv[2]) : 100;
  if (points < 1 || points > kMaxPoints) {
    fprintf(stderr, "host_calls: POINTS must be 1 to %d\n", (int)kMaxPoints);
    return 2;
  }
#if defined(_WIN32)
  /* The same bytes on every platform: no carriage returns. */
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  library = OpenLibrary(argv[1]);
  if (library == NULL) {
    fprintf(stderr, "host_calls: cannot load %s\n", argv[1]);
    return 1;
  }
  LookUpAll();
  if (missing != 0) return 1;
  for (int32_t status = -1; status <= 36; ++status) {
    Begin("moravel_status_message");
    Int(status);
    Arrow();
    Text(moravel_status_message_(status));
    End();
  }
  Formulas(points);
  SingleService(points);
  Simulations(points / 4 > 0 ? points / 4 : 1);
  LinkGroups(points / 2 > 0 ? points / 2 : 1);
  Solvers(points / 2 > 0 ? points / 2 : 1);
  LinkSolvers(points / 4 > 0 ? points / 4 : 1);
  return fflush(stdout) == 0 && !ferror(stdout) ? 0 : 1;
}
