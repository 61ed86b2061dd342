// The library as a host sees it: loaded by file name through the dynamic
// loader, every export of both interfaces looked up by name, and nothing
// else exported: the names the interface description lists.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "moravel/interface_table.h"

namespace {

// Both lists come from the interface description (src/api/interface.json).
using moravel::described::kApiExports;
constexpr auto& kExports = moravel::described::kLegacyExports;

struct Closer {
  void operator()(void* handle) const { dlclose(handle); }
};

TEST(DynamicLoading, EveryExportIsFoundByName) {
  std::unique_ptr<void, Closer> library(dlopen(MORAVEL_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL));
  ASSERT_NE(library, nullptr) << dlerror();
  for (const char* name : kExports) {
    EXPECT_NE(dlsym(library.get(), name), nullptr) << name;
  }
  for (const char* name : kApiExports) {
    EXPECT_NE(dlsym(library.get(), name), nullptr) << name;
  }
  // Call through the looked-up addresses, as a host without the header does.
  using Scalar = double (*)(std::int32_t, double);
  using Text = const char* (*)(std::int32_t, double);
  auto palm = reinterpret_cast<Scalar>(dlsym(library.get(), "PalmTable"));
  auto loss = reinterpret_cast<Text>(dlsym(library.get(), "M_M_V_L_an"));
  ASSERT_NE(palm, nullptr);
  ASSERT_NE(loss, nullptr);
  EXPECT_EQ(palm(1, 1.0), 0.5);
  EXPECT_STREQ(loss(10, 5.0), "0.0183846 4.90808");
}

TEST(DynamicLoading, InternalNamesStayHidden) {
  std::unique_ptr<void, Closer> library(dlopen(MORAVEL_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL));
  ASSERT_NE(library, nullptr) << dlerror();
  EXPECT_EQ(dlsym(library.get(), "_ZN7moravel9PalmTableEid"), nullptr);
}

TEST(SymbolTable, HoldsExactlyTheExports) {
  const std::string command = std::string("nm -D --defined-only ") + MORAVEL_LIBRARY_FILE;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> defined;
  char line[512];
  while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
    char address[64], type[8], name[400];
    if (std::sscanf(line, "%63s %7s %399s", address, type, name) == 3) defined.insert(name);
  }
  ASSERT_FALSE(defined.empty()) << "nm printed nothing";
  std::set<std::string> expected(std::begin(kExports), std::end(kExports));
  expected.insert(std::begin(kApiExports), std::end(kApiExports));
  EXPECT_EQ(defined, expected);
}

}  // namespace
