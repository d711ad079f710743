// Rounding, fixed-point formatting and the field conversion, in any locale.
#include <cfloat>
#include <clocale>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "core/model/numfmt.h"

using namespace tarn;

TEST(Round, HalvesGoToEvenAndItSaturates) {
    EXPECT_EQ(Round(0.5L), 0);
    EXPECT_EQ(Round(1.5L), 2);
    EXPECT_EQ(Round(2.5L), 2);
    EXPECT_EQ(Round(-0.5L), 0);
    EXPECT_EQ(Round(-1.5L), -2);
    EXPECT_EQ(Round(-2.5L), -2);
    EXPECT_EQ(Round(2.4999L), 2);
    EXPECT_EQ(Round(-7.6L), -8);
    EXPECT_EQ(Round(1e20L), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(Round(-1e20L), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(Round(std::numeric_limits<long double>::quiet_NaN()), 0);
    EXPECT_EQ(Round(std::numeric_limits<long double>::infinity()),
              std::numeric_limits<std::int32_t>::max());
}

TEST(Str, FixedPointWithWidth) {
    EXPECT_EQ(Str(6.247L, 6, 3), " 6.247");
    EXPECT_EQ(Str(0.0L, 6, 2), "  0.00");
    EXPECT_EQ(Str(-1.677f, 5, 3), "-1.677");
    EXPECT_EQ(Str(123456.0L, 3, 1), "123456.0");
    EXPECT_EQ(Str(0.0625L, 1, 3), "0.063");  // an exact binary tie rounds away from zero
    EXPECT_EQ(Str(-0.0625L, 1, 3), "-0.063");
    EXPECT_EQ(Str(2.5L, 1, 0), "3");
    EXPECT_EQ(Str(0.1f, 1, 1), "0.1");
    EXPECT_EQ(Str(9.9996L, 1, 3), "10.000");
    EXPECT_EQ(Str(-0.0001L, 6, 3), " 0.000");
    EXPECT_EQ(Str(std::numeric_limits<long double>::infinity(), 6, 3), "   Inf");
    EXPECT_EQ(Str(-std::numeric_limits<long double>::infinity(), 6, 3), "  -Inf");
    EXPECT_EQ(Str(std::numeric_limits<long double>::quiet_NaN(), 4, 1), " NaN");
    EXPECT_EQ(Str(static_cast<long double>(FLT_MAX), 1, 0),
              "340282346638528859811704183484516925440");
    EXPECT_EQ(Str(7LL, 2), " 7");
    EXPECT_EQ(Str(-12LL, 2), "-12");
}

TEST(Str, FieldTextCutsDecimalsNeverIntegerDigits) {
    EXPECT_EQ(DimensionText(0.0f), "0.000");
    EXPECT_EQ(DimensionText(8.0f), "8.000");
    EXPECT_EQ(DimensionText(16.0f), "16.000");
    EXPECT_EQ(DimensionText(-1.677f), "-1.677");
    EXPECT_EQ(FieldText(1234567.5L), "1234567.50");
    EXPECT_EQ(FieldText(123456789.5L), "123456789");
    EXPECT_EQ(FieldText(12345678901.0L), "12345678901");
}

TEST(ParseNumber, LongestValidPrefix) {
    EXPECT_EQ(ParseNumber("3-4"), 3.0L);
    EXPECT_EQ(ParseNumber("1.2."), ParseNumber("1.2"));
    EXPECT_EQ(ParseNumber("-"), 0.0L);
    EXPECT_EQ(ParseNumber(""), 0.0L);
    EXPECT_EQ(ParseNumber("."), 0.0L);
    EXPECT_EQ(ParseNumber("  -2.5"), -2.5L);
    EXPECT_EQ(ParseNumber("+4"), 4.0L);
    EXPECT_EQ(ParseNumber(".75"), 0.75L);
    EXPECT_EQ(ParseNumber("5."), 5.0L);
    EXPECT_EQ(ParseNumber("1e3"), 1000.0L);
    EXPECT_EQ(ParseNumber("1e"), 1.0L);
    EXPECT_EQ(ParseNumber("2E-2x"), ParseNumber("0.02"));
    EXPECT_EQ(ParseField("1.5"), 1.5f);
}

TEST(ParseNumber, BeyondTheFloatRangeSaturates) {
    EXPECT_EQ(ParseField("1e39"), FLT_MAX);
    EXPECT_EQ(ParseField("-1e39"), -FLT_MAX);
    EXPECT_EQ(ParseField("1e99999"), FLT_MAX);
    EXPECT_EQ(ParseField("-1e99999"), -FLT_MAX);
    EXPECT_EQ(ParseField("1e-99999"), 0.0f);
    EXPECT_TRUE(std::isfinite(ParseField("99999999999999999999999999999999999999999999")));
}

TEST(Locale, GermanLocaleChangesNothing) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(Str(1.5L, 6, 3), " 1.500");
    EXPECT_EQ(Str(0.0625L, 1, 3), "0.063");
    EXPECT_EQ(ParseNumber("1.25"), 1.25L);
    EXPECT_EQ(ParseNumber("1,25"), 1.0L);
    EXPECT_EQ(DimensionText(6.207f), "6.207");
    std::setlocale(LC_ALL, saved.c_str());
}
