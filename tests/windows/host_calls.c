/*
 * host_calls: a host that loads libMoravel by name, as a spreadsheet macro
 * or a lab program does, looks up every export of both C interfaces with
 * the platform's loader (LoadLibraryA and GetProcAddress on Windows, dlopen
 * and dlsym elsewhere) and calls each one on generated inputs.
 *
 * Usage: host_calls LIBRARY [POINTS]
 *
 * One line per call: the function's name, its inputs, "->", its status (for
 * the moravel_ functions) and its results.  Every double, input or result,
 * is written as 0x followed by its 64 bits in 16 hexadecimal digits; a text
 * result stands between '[' and ']'.  The inputs come from a fixed integer
 * generator, so the same program built for two platforms writes two files
 * that agree line for line wherever the library's arithmetic agrees.
 *
 * The fifteen exports are called here; the calls of the second interface
 * are written from the interface description into host_calls_entry_points.c
 * (host_calls_generate.py), which this file includes, with the input
 * generators below that its rules name.
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

/* Points of an array entry point, and items of a per-class or per-run
   array (classes, replications, intervals and runs are generated up to
   kMaxItems). */
enum { kMaxPoints = 4096, kMaxItems = 8 };

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

/* Mostly ordinary values, one call in eight odd. */
static int Rare(void) { return Next() % 8u == 0; }

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

/* Ordinary values in [low, low + scale), one call in eight odd. */
static double Usually(double low, double scale) { return Rare() ? Odd() : low + Fraction(scale); }

/* Counts: mostly valid, now and then zero or negative. */
static int32_t Count(int32_t low, int32_t high) {
  return Rare() ? Between(-1, low - 1 > -1 ? low - 1 : -1) : Between(low, high);
}

static int32_t Servers(void) {
  switch (Next() % 16u) {
    case 0: return Between(-2, 0);
    case 1: return Between(160, 180);
    case 2:
    case 3: return Between(200, 3000);
    default: return Between(1, 60);
  }
}
static int32_t Fewer(int32_t servers) {
  return Rare() ? Between(-2, 200) : Between(0, servers > 0 ? servers : 2);
}
static int32_t Sources(int32_t servers) {
  return Rare() ? Between(-1, 3) : (servers > 0 ? servers : 1) + Between(0, 200);
}
static int32_t Lines(int32_t agents) {
  return Rare() ? Between(-1, 2) : (agents > 0 ? agents : 1) + Between(0, 20);
}
static int32_t Classes(void) { return Count(1, 4); }
static int32_t Links(void) { return Count(1, 8); }
static int32_t SubsetLinks(int32_t links) {
  return Rare() ? Between(-1, 9) : Between(1, links > 0 ? links : 1);
}
static int32_t LinkUnits(void) { return Count(1, 60); }
static double Demand(int32_t units) {
  return Rare() ? Odd() : (double)Between(1, units > 1 ? units : 2);
}
static int32_t Calls(void) { return Count(1, 3000); }
static int32_t WarmupCalls(void) { return Rare() ? -1 : Between(0, 300); }
static int32_t Replications(void) { return Count(1, 4); }
static int32_t Multiplier(void) { return Rare() ? Between(-2, 0) : Between(1, 30); }
static int32_t Code(int32_t low, int32_t high) {
  return Rare() ? Between(low - 2, high + 2) : Between(low, high);
}
static int32_t Phases(void) { return Rare() ? Between(-1, 101) : Between(1, 8); }
static int32_t DegreesOfFreedom(void) { return Rare() ? Between(-1, 0) : Between(1, 400); }
static uint32_t Seed(void) { return (uint32_t)Next() | 1u; } /* 0 would be the clock's */
static uint32_t FirstSeed(void) { return Rare() ? 0u : (uint32_t)Next(); }
static size_t ShortCount(void) { return (size_t)Between(0, kMaxItems); }

/* Traffic scaled by the servers (or agents, or units) it is offered to. */
static double Traffic(int32_t servers) {
  return Usually(0.0, 1.6 * (servers > 0 ? servers : 4) + 1.0);
}
static double SourceTraffic(void) { return Usually(0.0, 1.0); }
static double Target(void) {
  static const double targets[] = {0.001, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.8, 0.9};
  if (Rare()) return Rare() ? Odd() : 1.0;
  return targets[Next() % (sizeof targets / sizeof targets[0])];
}
static double Level(void) {
  static const double levels[] = {0.5, 0.8, 0.9, 0.95, 0.99, 0.999};
  return Rare() ? Odd() : levels[Next() % (sizeof levels / sizeof levels[0])];
}
static double Probability(void) { return Usually(0.0, 1.0); }
static double Share(void) { return Usually(0.0, 1.0); }
static double Shrinkage(void) { return Usually(0.0, 0.5); }
static double HoldingTime(void) { return Usually(1.0, 600.0); }
static double AssembledTime(void) { return Usually(0.125, 8.0); }
static double Spread(void) { return Usually(0.0, 4.0); }
static double Threshold(void) { return Usually(0.0, 3.0); }
static double AnswerTime(void) { return Usually(0.5, 60.0); }
static double Patience(void) { return Usually(0.05, 300.0); }
static double Minutes(void) {
  static const double minutes[] = {15.0, 30.0, 60.0};
  return Rare() ? Odd() : minutes[Next() % 3u];
}
static double CallsPerInterval(void) { return Usually(0.0, 400.0); }

/* Values every function refuses at once. */
static double Refused(void) {
  static const double refused[] = {-1.0, INFINITY, -INFINITY, NAN};
  return refused[Next() % 4u];
}

/* The searches over links and priority servers: small groups, and odd
   inputs that are refused at once rather than searched to the end. */
static int32_t SearchClasses(void) { return Rare() ? 0 : Between(1, 2); }
static double SearchTraffic(void) { return Rare() ? Refused() : 0.5 + Fraction(4.0); }
static double SearchDemand(int32_t units) {
  return Rare() ? Refused() : (double)Between(1, units > 3 ? units / 2 : 1);
}
static int32_t SearchUnits(void) { return Rare() ? Between(-1, 0) : Between(1, 20); }
static int32_t SearchSubset(void) { return Rare() ? Between(-1, 0) : Between(1, 2); }
static double CentreTraffic(int32_t agents) {
  return Rare() ? Refused() : Fraction(1.6 * (agents > 0 ? agents : 4) + 1.0);
}
static double CentrePatience(void) {
  if (Rare()) return Next() % 2u ? INFINITY : Refused();
  return 0.05 + Fraction(300.0);
}
static double SearchTarget(void) { return Rare() ? Refused() : 0.01 * Between(1, 20); }

/* ---- writing ------------------------------------------------------------ */

static void Bits(double x) {
  uint64_t bits;
  memcpy(&bits, &x, sizeof bits);
  printf(" 0x%016" PRIx64, bits);
}

static void Int(int64_t n) { printf(" %" PRId64, n); }

/* A text on one line: a line end is written as "\n". */
static void Text(const char* text) {
  if (text == NULL) {
    printf(" [(null)]");
    return;
  }
  printf(" [");
  for (; *text != '\0'; ++text) {
    if (*text == '\n') {
      printf("\\n");
    } else {
      putchar(*text);
    }
  }
  printf("]");
}

static void Null(void) { printf(" NULL"); }

static void Begin(const char* name) { printf("%s", name); }
static void Arrow(void) { printf(" ->"); }
static void End(void) { printf("\n"); }

static void Status(int status) { printf(" status %d", status); }

/* How many items of an array a count names (none for a negative one). */
static size_t Shown(int64_t count, int64_t capacity) {
  return count < 0 ? 0 : (size_t)(count < capacity ? count : capacity);
}

static void Show_double_array(const double* values, size_t n) {
  printf(" {");
  for (size_t i = 0; i < n; ++i) Bits(values[i]);
  printf(" }");
}

static void Show_int32_t_array(const int32_t* values, size_t n) {
  printf(" {");
  for (size_t i = 0; i < n; ++i) Int(values[i]);
  printf(" }");
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

/* ---- the fifteen exports ------------------------------------------------ */

static __typeof__(&PalmTable) PalmTable_;
static __typeof__(&ErlangFormula2) ErlangFormula2_;
static __typeof__(&EngsetTable) EngsetTable_;
static __typeof__(&E) E_;
static __typeof__(&Hi) Hi_;
static __typeof__(&M_M_V_L_an) M_M_V_L_an_;
static __typeof__(&Mi_M_V_L_an) Mi_M_V_L_an_;
static __typeof__(&M_G_V_L_an) M_G_V_L_an_;
static __typeof__(&M_M_V_L_PRA_an) M_M_V_L_PRA_an_;
static __typeof__(&M_M_V_W_FF_R_an) M_M_V_W_FF_R_an_;
static __typeof__(&M_M_V_L_im) M_M_V_L_im_;
static __typeof__(&M_M_V_W_FF_R_im) M_M_V_W_FF_R_im_;
static __typeof__(&VM_VMl_V_L_an) VM_VMl_V_L_an_;
static __typeof__(&VM_VMl_VDg_L_an) VM_VMl_VDg_L_an_;
static __typeof__(&VM_VMl_VDg_L_im) VM_VMl_VDg_L_im_;

static void LookUpExports(void) {
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
}

/* One line: the name, the inputs already written by the caller, the result. */
#define LINE(name, inputs, result) \
  do {                             \
    Begin(#name);                  \
    inputs;                        \
    Arrow();                       \
    result;                        \
    End();                         \
  } while (0)

/* The scalar formulas and the single-service models. */
static void Formulas(int points) {
  for (int p = 0; p < points; ++p) {
    const int32_t V = Servers(), n = Multiplier();
    const int32_t N = Sources(V), i = Fewer(V);
    const double A = Traffic(V), a = SourceTraffic();
    const double x = AssembledTime(), y = AssembledTime(), z = Spread();
    const double t = Threshold(), h = HoldingTime();
    const int32_t direct =
        V > 170 && p % 4 == 0 ? Between(0, 171) : V; /* the direct form's range */
    LINE(PalmTable, (Int(V), Bits(A)), Bits(PalmTable_(V, A)));
    LINE(ErlangFormula2, (Int(V), Bits(A)), Bits(ErlangFormula2_(V, A)));
    LINE(EngsetTable, (Int(N), Int(V), Bits(a)), Bits(EngsetTable_(N, V, a)));
    LINE(E, (Int(direct), Bits(A)), Bits(E_(direct, A)));
    LINE(Hi, (Int(direct), Bits(A), Int(i)), Bits(Hi_(direct, A, i)));
    LINE(M_M_V_L_an, (Int(V), Bits(A)), Text(M_M_V_L_an_(V, A)));
    LINE(Mi_M_V_L_an, (Int(N), Int(V), Bits(a)), Text(Mi_M_V_L_an_(N, V, a)));
    LINE(M_G_V_L_an, (Bits(x), Bits(y), Bits(z), Int(V), Int(n)), Text(M_G_V_L_an_(x, y, z, V, n)));
    LINE(M_M_V_W_FF_R_an, (Bits(t), Bits(h), Int(V), Bits(A)), Text(M_M_V_W_FF_R_an_(t, h, V, A)));
    {
      double traffic[kMaxItems];
      const int32_t classes = Classes();
      for (int c = 0; c < kMaxItems; ++c) traffic[c] = Traffic(V / 2);
      LINE(M_M_V_L_PRA_an, (Int(classes), Int(V), Show_double_array(traffic, Shown(classes, 4))),
           Text(M_M_V_L_PRA_an_(classes, V, traffic)));
    }
  }
}

/* The seeded simulations, and the self-seeded link-subset one with the
   link-group models. */
static void Simulations(int points) {
  static const char* const policies[] = {
      "\xD0\x9C\xD0\xB0\xD0\xBA\xD1\x81\xD0\xA1\xD0\xB2\xD0\xBE\xD0\xB1",
      "\xD0\x9C\xD0\xB8\xD0\xBD\xD0\xA1\xD0\xB2\xD0\xBE\xD0\xB1",
      "\xD0\x9F\xD0\xB5\xD1\x80\xD0\xB2\xD0\xA1\xD0\xB2\xD0\xBE\xD0\xB1"};
  for (int p = 0; p < points; ++p) {
    const int32_t V = Rare() ? Between(-1, 0) : Between(1, 40), N = Calls();
    const double A = Rare() ? Odd() : Fraction(1.3 * (V > 0 ? V : 2)) + 0.001, t = Threshold();
    const uint32_t seed = Seed();
    double a[kMaxItems], demand[kMaxItems];
    const int32_t M = Rare() ? 0 : Between(1, 4), k = Links(), f = LinkUnits();
    const int32_t g = SubsetLinks(k), policy = Between(1, 3);
    for (int c = 0; c < kMaxItems; ++c) {
      a[c] = Usually(0.01, 0.4 * (k > 0 ? k : 1) * (f > 0 ? f : 1));
      demand[c] = Demand(f);
    }
    LINE(M_M_V_L_im, (Bits(A), Int(V), Int(N), Int(seed)), Text(M_M_V_L_im_(A, V, N, seed)));
    LINE(M_M_V_W_FF_R_im, (Bits(A), Int(V), Int(N), Bits(t), Int(seed)),
         Text(M_M_V_W_FF_R_im_(A, V, N, t, seed)));
    LINE(VM_VMl_V_L_an,
         (Show_double_array(a, (size_t)M), Int(M), Show_double_array(demand, (size_t)M), Int(k),
          Int(f)),
         Text(VM_VMl_V_L_an_(a, M, demand, k, f)));
    LINE(VM_VMl_VDg_L_an,
         (Show_double_array(a, (size_t)M), Int(M), Show_double_array(demand, (size_t)M), Int(k),
          Int(f), Int(g)),
         Text(VM_VMl_VDg_L_an_(a, M, demand, k, f, g)));
    LINE(VM_VMl_VDg_L_im,
         (Show_double_array(a, (size_t)M), Int(M), Show_double_array(demand, (size_t)M), Int(k),
          Int(f), Int(g), Int(N), Int(policy)),
         Figures(VM_VMl_VDg_L_im_(a, M, demand, k, f, g, N, policies[policy - 1])));
  }
}

/* The calls of the second interface, from the interface description. */
#include "host_calls_entry_points.c"

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
  LookUpExports();
  LookUpEntryPoints();
  if (missing != 0) return 1;
  Formulas(points);
  Simulations(points / 4 > 0 ? points / 4 : 1);
  CallEntryPoints(points);
  return fflush(stdout) == 0 && !ferror(stdout) ? 0 : 1;
}
