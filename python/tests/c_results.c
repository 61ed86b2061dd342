/*
 * c_results: calls libMoravel's exports from C, for the Python binding's
 * tests to compare against, bit for bit.
 *
 * Usage: c_results LIBRARY < requests
 *
 * Each request line is an export name followed by its arguments in the C
 * order: whole numbers in decimal, doubles in any form strtod reads (the
 * tests use C99 hexadecimal floats, which are exact), an array as its length
 * followed by that many doubles, the policy keyword as hexadecimal bytes
 * ("-" for the empty keyword).  Each answer is one line: the bits of a
 * scalar result as 16 hexadecimal digits, a text result between '[' and ']',
 * a record of moravel/api.h as its status in decimal, then the bits of each
 * of its doubles (16 hexadecimal digits each, blank-separated),
 * "missing" when the library lacks the export, "bad request" otherwise.
 */
#include <dlfcn.h>
#include <inttypes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kMaxArguments = 10, kMaxArray = 4096, kMaxLine = 1 << 20 };

typedef struct {
  const char* name;
  const char* arguments; /* i int32, u uint32, d double, a array, p policy */
  char result;           /* 'D' double, 'T' text, 'R' a record of doubles */
} Export;

static const Export kExports[] = {
    {"PalmTable", "id", 'D'},
    {"ErlangFormula2", "id", 'D'},
    {"EngsetTable", "iid", 'D'},
    {"E", "id", 'D'},
    {"Hi", "idi", 'D'},
    {"M_M_V_L_an", "id", 'T'},
    {"Mi_M_V_L_an", "iid", 'T'},
    {"M_G_V_L_an", "dddii", 'T'},
    {"M_M_V_L_PRA_an", "iia", 'T'},
    {"M_M_V_W_FF_R_an", "ddid", 'T'},
    {"M_M_V_L_im", "diiu", 'T'},
    {"M_M_V_W_FF_R_im", "diidu", 'T'},
    {"VM_VMl_V_L_an", "aiaii", 'T'},
    {"VM_VMl_VDg_L_an", "aiaiii", 'T'},
    {"VM_VMl_VDg_L_im", "aiaiiiip", 'T'},
    {"moravel_contact_centre", "dddiid", 'R'},
    {"moravel_contact_centre_retrials", "dddiidddd", 'R'},
};

typedef struct {
  int32_t i[kMaxArguments];
  uint32_t u[kMaxArguments];
  double d[kMaxArguments];
  double* a[kMaxArguments];
  char* p[kMaxArguments];
} Arguments;

static double arrays[2][kMaxArray];
static char policy[1024];

static int ReadArguments(const char* kinds, Arguments* out) {
  int array = 0;
  for (int n = 0; kinds[n] != '\0'; ++n) {
    char* token = strtok(NULL, " \n");
    if (token == NULL) return 0;
    switch (kinds[n]) {
      case 'i': out->i[n] = (int32_t)strtoll(token, NULL, 10); break;
      case 'u': out->u[n] = (uint32_t)strtoull(token, NULL, 10); break;
      case 'd': out->d[n] = strtod(token, NULL); break;
      case 'a': {
        long length = strtol(token, NULL, 10);
        if (length < 0 || length > kMaxArray || array > 1) return 0;
        for (long j = 0; j < length; ++j) {
          char* value = strtok(NULL, " \n");
          if (value == NULL) return 0;
          arrays[array][j] = strtod(value, NULL);
        }
        out->a[n] = arrays[array++];
        break;
      }
      case 'p': {
        size_t length = 0;
        if (strcmp(token, "-") != 0) {
          for (const char* c = token; c[0] != '\0' && c[1] != '\0'; c += 2) {
            unsigned byte = 0;
            if (length + 1 >= sizeof policy || sscanf(c, "%2x", &byte) != 1) return 0;
            policy[length++] = (char)byte;
          }
        }
        policy[length] = '\0';
        out->p[n] = policy;
        break;
      }
      default: return 0;
    }
  }
  return 1;
}

typedef double (*D_id)(int32_t, double);
typedef double (*D_iid)(int32_t, int32_t, double);
typedef double (*D_idi)(int32_t, double, int32_t);
typedef const char* (*T_id)(int32_t, double);
typedef const char* (*T_iid)(int32_t, int32_t, double);
typedef const char* (*T_dddii)(double, double, double, int32_t, int32_t);
typedef const char* (*T_iia)(int32_t, int32_t, const double*);
typedef const char* (*T_ddid)(double, double, int32_t, double);
typedef const char* (*T_diiu)(double, int32_t, int32_t, uint32_t);
typedef const char* (*T_diidu)(double, int32_t, int32_t, double, uint32_t);
typedef const char* (*T_aiaii)(const double*, int32_t, const double*, int32_t, int32_t);
typedef const char* (*T_aiaiii)(const double*, int32_t, const double*, int32_t, int32_t, int32_t);
typedef const char* (*T_aiaiiiip)(const double*, int32_t, const double*, int32_t, int32_t, int32_t,
                                  int32_t, const char*);

typedef int32_t (*R_dddiid)(double, double, double, int32_t, int32_t, double, double*);
typedef int32_t (*R_dddiidddd)(double, double, double, int32_t, int32_t, double, double, double,
                               double, double*);

/* dlsym gives an object pointer; ISO C converts it to a function pointer only
 * through its bytes. */
typedef void (*AnyFunction)(void);

static void Answer(AnyFunction symbol, const Export* e, const Arguments* x) {
  const char* k = e->arguments;
  if (e->result == 'D') {
    double value = 0.0;
    if (strcmp(k, "id") == 0) {
      value = ((D_id)symbol)(x->i[0], x->d[1]);
    } else if (strcmp(k, "iid") == 0) {
      value = ((D_iid)symbol)(x->i[0], x->i[1], x->d[2]);
    } else {
      value = ((D_idi)symbol)(x->i[0], x->d[1], x->i[2]);
    }
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    printf("%016" PRIx64 "\n", bits);
    return;
  }
  if (e->result == 'R') {
    /* moravel_contact_centre_result: 11 doubles; moravel_retrial_result: 18. */
    double record[18] = {0};
    int32_t status = 0;
    int count = 11;
    if (strcmp(k, "dddiid") == 0) {
      status = ((R_dddiid)symbol)(x->d[0], x->d[1], x->d[2], x->i[3], x->i[4], x->d[5], record);
    } else {
      status = ((R_dddiidddd)symbol)(x->d[0], x->d[1], x->d[2], x->i[3], x->i[4], x->d[5], x->d[6],
                                     x->d[7], x->d[8], record);
      count = 18;
    }
    printf("%" PRId32, status);
    for (int n = 0; n < count; ++n) {
      uint64_t bits;
      memcpy(&bits, &record[n], sizeof bits);
      printf(" %016" PRIx64, bits);
    }
    printf("\n");
    return;
  }
  const char* text = "";
  if (strcmp(k, "id") == 0) {
    text = ((T_id)symbol)(x->i[0], x->d[1]);
  } else if (strcmp(k, "iid") == 0) {
    text = ((T_iid)symbol)(x->i[0], x->i[1], x->d[2]);
  } else if (strcmp(k, "dddii") == 0) {
    text = ((T_dddii)symbol)(x->d[0], x->d[1], x->d[2], x->i[3], x->i[4]);
  } else if (strcmp(k, "iia") == 0) {
    text = ((T_iia)symbol)(x->i[0], x->i[1], x->a[2]);
  } else if (strcmp(k, "ddid") == 0) {
    text = ((T_ddid)symbol)(x->d[0], x->d[1], x->i[2], x->d[3]);
  } else if (strcmp(k, "diiu") == 0) {
    text = ((T_diiu)symbol)(x->d[0], x->i[1], x->i[2], x->u[3]);
  } else if (strcmp(k, "diidu") == 0) {
    text = ((T_diidu)symbol)(x->d[0], x->i[1], x->i[2], x->d[3], x->u[4]);
  } else if (strcmp(k, "aiaii") == 0) {
    text = ((T_aiaii)symbol)(x->a[0], x->i[1], x->a[2], x->i[3], x->i[4]);
  } else if (strcmp(k, "aiaiii") == 0) {
    text = ((T_aiaiii)symbol)(x->a[0], x->i[1], x->a[2], x->i[3], x->i[4], x->i[5]);
  } else {
    text = ((T_aiaiiiip)symbol)(x->a[0], x->i[1], x->a[2], x->i[3], x->i[4], x->i[5], x->i[6],
                                x->p[7]);
  }
  printf("[%s]\n", text);
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s LIBRARY < requests\n", argv[0]);
    return 2;
  }
  void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (library == NULL) {
    fprintf(stderr, "c_results: %s\n", dlerror());
    return 2;
  }
  static char line[kMaxLine];
  while (fgets(line, sizeof line, stdin) != NULL) {
    const char* name = strtok(line, " \n");
    const Export* entry = NULL;
    for (size_t n = 0; name != NULL && n < sizeof kExports / sizeof kExports[0]; ++n) {
      if (strcmp(kExports[n].name, name) == 0) entry = &kExports[n];
    }
    Arguments arguments;
    memset(&arguments, 0, sizeof arguments);
    if (entry == NULL || !ReadArguments(entry->arguments, &arguments)) {
      puts("bad request");
    } else {
      void* symbol = dlsym(library, entry->name);
      if (symbol == NULL) {
        puts("missing");
      } else {
        AnyFunction function;
        memcpy(&function, &symbol, sizeof function);
        Answer(function, entry, &arguments);
      }
    }
    fflush(stdout);
  }
  return 0;
}
