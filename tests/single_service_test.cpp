// The single-service analytic models and the result text they return.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "formulas/erlang_loss.h"
#include "moravel.h"

namespace {

struct TextCase {
  const char* name;
  std::string (*call)();
  const char* text;
};

class ResultTexts : public ::testing::TestWithParam<TextCase> {};

TEST_P(ResultTexts, MatchExactly) { EXPECT_EQ(GetParam().call(), GetParam().text); }

const double kTwoClasses[] = {5.0, 3.0};
const double kOneClass[] = {5.0};
const double kZeroMiddle[] = {2.0, 0.0, 3.0};

INSTANTIATE_TEST_SUITE_P(
    Models, ResultTexts,
    ::testing::Values(
        TextCase{"Loss_10_5", [] { return std::string(M_M_V_L_an(10, 5.0)); }, "0.0183846 4.90808"},
        TextCase{"Loss_1_1", [] { return std::string(M_M_V_L_an(1, 1.0)); }, "0.5 0.5"},
        TextCase{"Loss_0_3", [] { return std::string(M_M_V_L_an(0, 3.0)); }, "0 3"},
        TextCase{"Loss_5_0", [] { return std::string(M_M_V_L_an(5, 0.0)); }, "0 0"},
        TextCase{"Loss_big", [] { return std::string(M_M_V_L_an(1, 1234567.0)); },
                 "0.999999 0.999999"},
        TextCase{"Finite_10_5", [] { return std::string(Mi_M_V_L_an(10, 5, 0.2)); },
                 "0.0165659 1.97341"},
        TextCase{"Finite_2_1", [] { return std::string(Mi_M_V_L_an(2, 1, 0.5)); }, "0.5 0.666667"},
        TextCase{"Finite_5_0", [] { return std::string(Mi_M_V_L_an(5, 0, 0.3)); }, "0 1.5"},
        TextCase{"Finite_3_4", [] { return std::string(Mi_M_V_L_an(3, 4, 0.2)); }, "-0 0.6"},
        TextCase{"Finite_a1", [] { return std::string(Mi_M_V_L_an(5, 3, 1.0)); }, "-nan -nan"},
        TextCase{"Assembled_2", [] { return std::string(M_G_V_L_an(1.0, 1.0, 1.0, 5, 2)); },
                 "0.0366972 1.92661"},
        TextCase{"Assembled_5_4", [] { return std::string(M_G_V_L_an(2.0, 3.0, 1.5, 4, 3)); },
                 "0.42865 3.08529"},
        TextCase{"Assembled_x0", [] { return std::string(M_G_V_L_an(0.0, 1.0, 1.0, 3, 2)); },
                 "0 0"},
        TextCase{"Assembled_n0", [] { return std::string(M_G_V_L_an(1.0, 1.0, 1.0, 3, 0)); },
                 "0 0"},
        TextCase{"Assembled_y0z0", [] { return std::string(M_G_V_L_an(1.0, 0.0, 0.0, 3, 2)); },
                 "-nan -nan"},
        TextCase{"Priority_none", [] { return std::string(M_M_V_L_PRA_an(0, 10, kOneClass)); }, ""},
        TextCase{"Priority_one", [] { return std::string(M_M_V_L_PRA_an(1, 10, kOneClass)); },
                 "0.0183846 4.90808 "},
        TextCase{"Priority_two", [] { return std::string(M_M_V_L_PRA_an(2, 10, kTwoClasses)); },
                 "0.0183846 4.90808 0.293789 2.11863 "},
        TextCase{"Priority_negative", [] { return std::string(M_M_V_L_PRA_an(-1, 10, kOneClass)); },
                 ""},
        TextCase{"Priority_null", [] { return std::string(M_M_V_L_PRA_an(2, 10, nullptr)); }, ""},
        TextCase{"Priority_null_none", [] { return std::string(M_M_V_L_PRA_an(0, 10, nullptr)); },
                 ""},
        TextCase{"Priority_no_servers",
                 [] { return std::string(M_M_V_L_PRA_an(2, 0, kTwoClasses)); }, "0 5 0 3 "},
        TextCase{"Priority_idle_class",
                 [] { return std::string(M_M_V_L_PRA_an(3, 2, kZeroMiddle)); },
                 "0.4 1.2 0 0 0.859459 0.421622 "},
        TextCase{"Wait_1_1_10_5", [] { return std::string(M_M_V_W_FF_R_an(1.0, 1.0, 10, 5.0)); },
                 "0.0361054 0.000243276 0.00722107 0.2 0.0361054"},
        TextCase{"Wait_t0", [] { return std::string(M_M_V_W_FF_R_an(0.0, 1.0, 10, 5.0)); },
                 "0.0361054 0.0361054 0.00722107 0.2 0.0361054"},
        TextCase{"Wait_2_3_2_1", [] { return std::string(M_M_V_W_FF_R_an(2.0, 3.0, 2, 1.0)); },
                 "0.333333 0.171139 1 3 0.333333"},
        TextCase{"Wait_60_180_30_20",
                 [] { return std::string(M_M_V_W_FF_R_an(60.0, 180.0, 30, 20.0)); },
                 "0.0249505 0.000890082 0.449108 18 0.0499009"},
        TextCase{"Wait_A_equals_V", [] { return std::string(M_M_V_W_FF_R_an(1.0, 1.0, 2, 2.0)); },
                 "1 1 inf inf inf"},
        TextCase{"Wait_overload", [] { return std::string(M_M_V_W_FF_R_an(1.0, 1.0, 1, 2.0)); },
                 "2 5.43656 -2 -1 -4"},
        TextCase{"Wait_h0", [] { return std::string(M_M_V_W_FF_R_an(1.0, 0.0, 10, 5.0)); },
                 "0.0361054 0 0 0 0.0361054"},
        TextCase{"Wait_no_servers", [] { return std::string(M_M_V_W_FF_R_an(1.0, 1.0, 0, 2.0)); },
                 "-0 -0 0 -0.5 0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResultText, SecondCallReplacesTheFirstText) {
  const char* first = M_M_V_L_an(10, 5.0);
  ASSERT_STREQ(first, "0.0183846 4.90808");
  const char* second = M_M_V_L_an(1, 1.0);
  EXPECT_STREQ(second, "0.5 0.5");
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

TEST(ResultText, EmptyTextIsAValidPointer) {
  const char* text = M_M_V_L_PRA_an(0, 10, nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text[0], '\0');
}

TEST(ResultText, NumberFormatIsPercentPointSixG) {
  const double classes[] = {1234567.0, 0.00001};
  // With no servers every class carries all it offers: the text shows the
  // offered values themselves, in exponent form at both ends.
  EXPECT_STREQ(M_M_V_L_PRA_an(2, 0, classes), "0 1.23457e+06 0 1e-05 ");
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
