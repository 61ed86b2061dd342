// The library as a host sees it: loaded by file name through the dynamic
// loader, every export of both interfaces looked up by name, and nothing
// else exported.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>

namespace {

constexpr std::array<const char*, 15> kExports = {
    "PalmTable",      "ErlangFormula2",  "EngsetTable",   "E",
    "Hi",             "M_M_V_L_an",      "Mi_M_V_L_an",   "M_G_V_L_an",
    "M_M_V_L_PRA_an", "M_M_V_W_FF_R_an", "M_M_V_L_im",    "M_M_V_W_FF_R_im",
    "VM_VMl_V_L_an",  "VM_VMl_VDg_L_an", "VM_VMl_VDg_L_im"};

// The status-returning interface of moravel/api.h.
constexpr std::array<const char*, 42> kApiExports = {
    "moravel_status_message", "moravel_erlang_b", "moravel_erlang_c", "moravel_engset",
    "moravel_erlang_b_direct", "moravel_erlang_b_ratio", "moravel_loss",
    "moravel_loss_finite_sources", "moravel_loss_assembled", "moravel_loss_priority",
    "moravel_wait", "moravel_erlang_b_array", "moravel_erlang_c_array", "moravel_engset_array",
    "moravel_erlang_b_direct_array", "moravel_erlang_b_ratio_array", "moravel_loss_array",
    "moravel_loss_finite_sources_array", "moravel_loss_assembled_array", "moravel_wait_array",
    "moravel_simulate_loss", "moravel_simulate_wait", "moravel_link_group", "moravel_link_subset",
    "moravel_simulate_link_subset", "moravel_erlang_b_servers", "moravel_engset_servers",
    "moravel_loss_assembled_servers", "moravel_link_group_links", "moravel_link_subset_links",
    "moravel_erlang_b_traffic", "moravel_engset_traffic", "moravel_staffing_figures",
    "moravel_agents_for_service_level", "moravel_agents_for_mean_wait",
    "moravel_agents_for_wait_probability", "moravel_traffic_for_service_level",
    "moravel_contact_centre", "moravel_contact_centre_retrials",
    "moravel_contact_centre_agents", "moravel_contact_centre_traffic",
    "moravel_day_plan"};

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
  std::set<std::string> expected(kExports.begin(), kExports.end());
  expected.insert(kApiExports.begin(), kApiExports.end());
  EXPECT_EQ(defined, expected);
}

}  // namespace
