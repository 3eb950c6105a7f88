#include "core/dxf_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tabulon {
namespace {

struct NumberCase {
    double value;
    const char* text;
};

class DxfNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(DxfNumberTest, WritesGeneralFormat) {
    EXPECT_EQ(DxfNumber(GetParam().value), GetParam().text) << "value " << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DxfNumberTest,
    ::testing::Values(
        // Whole numbers and short fractions.
        NumberCase{0, "0"}, NumberCase{-0.0, "0"}, NumberCase{1.0, "1"}, NumberCase{-12.5, "-12.5"},
        NumberCase{24, "24"}, NumberCase{256, "256"}, NumberCase{-3, "-3"},
        // Products that are not exact in binary come back as the short decimal.
        NumberCase{14 * 0.43, "6.02"}, NumberCase{11 * 0.27, "2.97"}, NumberCase{0.1 + 0.2, "0.3"},
        NumberCase{1.0 / 3.0, "0.333333333333333"}, NumberCase{2.0 / 3.0, "0.666666666666667"},
        NumberCase{-1.0 / 3.0, "-0.333333333333333"}, NumberCase{123456.789012345678, "123456.789012346"},
        // The fixed range ends at 0.0001 and below 1e15.
        NumberCase{0.0001, "0.0001"}, NumberCase{0.00012345, "0.00012345"}, NumberCase{0.00001, "1E-5"},
        NumberCase{0.00005, "5E-5"}, NumberCase{-1.25e-7, "-1.25E-7"}, NumberCase{999999999999999.0, "999999999999999"},
        NumberCase{1e15, "1E15"}, NumberCase{1.5e15, "1.5E15"}, NumberCase{1e20, "1E20"}, NumberCase{-2e300, "-2E300"},
        // Rounding to 15 digits can carry into the next power of ten, or into the fixed range.
        NumberCase{9999999999999999.0, "1E16"}, NumberCase{0.99999999999999999, "1"},
        NumberCase{0.000099999999999999999, "0.0001"}, NumberCase{1.0000000000000002, "1"},
        // The fixed range starts at 0.0001 after rounding: the double just below it rounds up into it.
        NumberCase{0.000099999999999999991, "0.0001"}, NumberCase{-0.000099999999999999991, "-0.0001"},
        // Residues of sums that should have been zero stay visible: nothing is rounded to zero.
        NumberCase{0.1 + 0.2 - 0.3, "5.55111512312578E-17"},
        NumberCase{std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"}));

TEST(DxfNumber, NonFiniteValuesAreSpelledOut) {
    EXPECT_EQ(DxfNumber(std::nan("")), "NAN");
    EXPECT_EQ(DxfNumber(INFINITY), "INF");
    EXPECT_EQ(DxfNumber(-INFINITY), "-INF");
}

TEST(DxfNumber, DecimalSeparatorIsTheCallersForDisplay) {
    EXPECT_EQ(DxfNumber(-12.5, ','), "-12,5");
    EXPECT_EQ(DxfNumber(1.25e-7, ','), "1,25E-7");
    EXPECT_EQ(DxfNumber(0.43), "0.43");  // the file form never follows the locale
}

TEST(DxfNumber, RoundTripsThroughFifteenDigits) {
    // Any value printed and read back agrees with it to 15 significant digits.
    for (double v : {6.02, 2.97, 1.0 / 7.0, 12345.6789, 3.14159265358979, 1e-300, 7.77e14}) {
        double back = std::stod(DxfNumber(v));
        EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << DxfNumber(v);
    }
}

}  // namespace
}  // namespace tabulon
