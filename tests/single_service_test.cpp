// The single-service analytic models and the result text they return
// (input outside their meaning: bad_input_test).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "formulas/erlang_loss.h"
#include "moravel.h"
#include "support/text_rows.h"

namespace {

using moravel::testing::ExpectTexts;
using moravel::testing::TextRow;

TEST(ResultTexts, MatchExactly) {
  const double two_classes[] = {5.0, 3.0}, one_class[] = {5.0}, idle_middle[] = {2.0, 0.0, 3.0};
  // With no servers every class carries all it offers: the text shows the
  // offered values themselves, in exponent form at both ends.
  const double far_apart[] = {1234567.0, 0.00001};
  const TextRow rows[] = {
      TEXT_ROW(M_M_V_L_an(10, 5.0), "0.0183846 4.90808"),
      TEXT_ROW(M_M_V_L_an(1, 1.0), "0.5 0.5"),
      TEXT_ROW(M_M_V_L_an(0, 3.0), "0 3"),
      TEXT_ROW(M_M_V_L_an(5, 0.0), "0 0"),
      TEXT_ROW(M_M_V_L_an(1, 1234567.0), "0.999999 0.999999"),
      TEXT_ROW(Mi_M_V_L_an(10, 5, 0.2), "0.0165659 1.97341"),
      TEXT_ROW(Mi_M_V_L_an(2, 1, 0.5), "0.5 0.666667"),
      TEXT_ROW(Mi_M_V_L_an(5, 0, 0.3), "0 1.5"),
      TEXT_ROW(Mi_M_V_L_an(3, 4, 0.2), "-0 0.6"),
      TEXT_ROW(M_G_V_L_an(1.0, 1.0, 1.0, 5, 2), "0.0366972 1.92661"),
      TEXT_ROW(M_G_V_L_an(2.0, 3.0, 1.5, 4, 3), "0.42865 3.08529"),
      TEXT_ROW(M_G_V_L_an(0.0, 1.0, 1.0, 3, 2), "0 0"),
      TEXT_ROW(M_G_V_L_an(1.0, 1.0, 1.0, 3, 0), "0 0"),
      TEXT_ROW(M_M_V_L_PRA_an(1, 10, one_class), "0.0183846 4.90808 "),
      TEXT_ROW(M_M_V_L_PRA_an(2, 10, two_classes), "0.0183846 4.90808 0.293789 2.11863 "),
      TEXT_ROW(M_M_V_L_PRA_an(0, 10, nullptr), ""),  // a valid pointer to an empty text
      TEXT_ROW(M_M_V_L_PRA_an(2, 0, two_classes), "0 5 0 3 "),
      TEXT_ROW(M_M_V_L_PRA_an(2, 0, far_apart), "0 1.23457e+06 0 1e-05 "),
      TEXT_ROW(M_M_V_L_PRA_an(3, 2, idle_middle), "0.4 1.2 0 0 0.859459 0.421622 "),
      TEXT_ROW(M_M_V_W_FF_R_an(1.0, 1.0, 10, 5.0),
               "0.0361054 0.000243276 0.00722107 0.2 0.0361054"),
      TEXT_ROW(M_M_V_W_FF_R_an(0.0, 1.0, 10, 5.0), "0.0361054 0.0361054 0.00722107 0.2 0.0361054"),
      TEXT_ROW(M_M_V_W_FF_R_an(2.0, 3.0, 2, 1.0), "0.333333 0.171139 1 3 0.333333"),
      TEXT_ROW(M_M_V_W_FF_R_an(60.0, 180.0, 30, 20.0),
               "0.0249505 0.000890082 0.449108 18 0.0499009"),
      TEXT_ROW(M_M_V_W_FF_R_an(1.0, 0.0, 10, 5.0), "0.0361054 0 0 0 0.0361054"),
      TEXT_ROW(M_M_V_W_FF_R_an(1.0, 1.0, 0, 2.0), "-0 -0 0 -0.5 0"),
  };
  ExpectTexts(rows);
}

TEST(ResultText, ScalarCallsLeaveTheTextAlone) {
  const char* text = M_M_V_L_an(2, 1.0);
  const std::string before = text;
  (void)PalmTable(30, 20.0);
  (void)ErlangFormula2(10, 5.0);
  (void)EngsetTable(10, 5, 0.2);
  (void)E(5, 3.0);
  (void)Hi(5, 3.0, 2);
  EXPECT_EQ(before, text);
}

TEST(PriorityModel, LostTrafficAddsUpToTheAggregate) {
  const double classes[] = {2.0, 3.0, 4.0, 1.5};
  const std::string text = M_M_V_L_PRA_an(4, 10, classes);
  double values[8];
  ASSERT_EQ(std::sscanf(text.c_str(), "%lf %lf %lf %lf %lf %lf %lf %lf", &values[0], &values[1],
                        &values[2], &values[3], &values[4], &values[5], &values[6], &values[7]),
            8);
  double lost = 0.0, offered = 0.0;
  for (int j = 0; j < 4; ++j) {
    lost += classes[j] * values[2 * j];
    offered += classes[j];
  }
  EXPECT_NEAR(lost, moravel::PalmTable(10, offered) * offered, 1e-5);
}

}  // namespace
