// Tables of expected texts: a call as written, the text it gave (a double
// as the result text writes it, an export's text as it stands) and the
// text expected.
#ifndef MORAVEL_TESTS_SUPPORT_TEXT_ROWS_H
#define MORAVEL_TESTS_SUPPORT_TEXT_ROWS_H

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "support/bits.h"

namespace moravel::testing {

struct TextRow {
  const char* call;
  std::string got;
  const char* expected;
};

inline std::string Shown(double value) { return Text(value); }
inline std::string Shown(const char* text) { return text == nullptr ? "(null)" : text; }
inline std::string Shown(const std::string& text) { return text; }

// Which NaN an operation on two NaNs or on infinities gives is the
// compiler's choice of operand order; the Windows build's differs in sign.
inline void ExpectTexts(std::span<const TextRow> rows) {
  for (const TextRow& row : rows) {
#if defined(_WIN32)
    const std::string expected = row.expected;
    if ((expected == "nan" || expected == "-nan") && (row.got == "nan" || row.got == "-nan")) {
      continue;
    }
#endif
    EXPECT_EQ(row.got, row.expected) << row.call;
  }
}

}  // namespace moravel::testing

// A row of `call`, written where the call is evaluated: the text is taken
// before the next row's call can replace an export's result text.
#define TEXT_ROW(call, expected) \
  ::moravel::testing::TextRow { #call, ::moravel::testing::Shown(call), expected }

#endif
