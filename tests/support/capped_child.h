// Calls that must answer at once, without allocating their way out: run in
// a forked child whose address space is capped at 1 GiB.
#ifndef MORAVEL_TESTS_SUPPORT_CAPPED_CHILD_H
#define MORAVEL_TESTS_SUPPORT_CAPPED_CHILD_H

#if !defined(_WIN32)  // address-space caps and forked children are POSIX
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>

namespace moravel::testing {

// Fails the test unless `answers_right()` returns true in a child whose
// address space is capped at 1 GiB and which an alarm ends after `seconds`
// (none for 0).  Skipped where the cap would starve the address sanitizer.
template <class Check>
void ExpectRightUnderAddressCap(unsigned seconds, Check answers_right) {
#if defined(__SANITIZE_ADDRESS__)
  static_cast<void>(seconds), static_cast<void>(answers_right);
  GTEST_SKIP() << "the address sanitizer needs more address space than the cap leaves";
#else
  const auto child = [&] {
    const rlimit cap{1u << 30, 1u << 30};
    setrlimit(RLIMIT_AS, &cap);
    if (seconds != 0) alarm(seconds);
    std::exit(answers_right() ? 0 : 1);
  };
  EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
#endif
}

}  // namespace moravel::testing

#endif
#endif
