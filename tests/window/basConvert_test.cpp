// The window's conversions: the countdown text, rounding into 16 bits, and
// reading numbers and truth values from the configuration.
#include <gtest/gtest.h>

#include <cmath>

#include "window/basConvert.h"

using namespace basConvert;

struct TimeCase {
    int seconds;
    const char* text;
};
class FormatTimeTable : public ::testing::TestWithParam<TimeCase> {};

TEST_P(FormatTimeTable, GivesTheCountdownText) {
    EXPECT_EQ(FormatTime(static_cast<std::int16_t>(GetParam().seconds)), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(EveryRow, FormatTimeTable,
                         ::testing::Values(TimeCase{0, "00:00"}, TimeCase{5, "00:05"}, TimeCase{59, "00:59"},
                                           TimeCase{60, "01:00"}, TimeCase{90, "01:30"}, TimeCase{599, "09:59"},
                                           TimeCase{600, "10:00"}, TimeCase{5999, "99:59"},
                                           TimeCase{6000, "100:00"}, TimeCase{32767, "546:07"},
                                           TimeCase{-5, "00:-5"}, TimeCase{-59, "00:-59"}, TimeCase{-60, "-1:00"},
                                           TimeCase{-65, "-1:-5"}, TimeCase{-32768, "-546:-8"}));

TEST(FormatClock, PadsEachPartToTwoDigits) {
    EXPECT_EQ(FormatClock(0, 0, 0), "00:00:00");
    EXPECT_EQ(FormatClock(9, 5, 3), "09:05:03");
    EXPECT_EQ(FormatClock(21, 0, 0), "21:00:00");
}

struct RoundCase {
    double value;
    int rounded;
};
class RoundHalfEven : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEven, GoesToTheNearestAndHalvesToEven) {
    EXPECT_EQ(RoundInt16(GetParam().value), GetParam().rounded);
}
// Halves both ways and on both signs: truncation or half-up would fail some row.
INSTANTIATE_TEST_SUITE_P(Halves, RoundHalfEven,
                         ::testing::Values(RoundCase{90.5, 90}, RoundCase{91.5, 92}, RoundCase{0.5, 0},
                                           RoundCase{1.5, 2}, RoundCase{2.5, 2}, RoundCase{-0.5, 0},
                                           RoundCase{-1.5, -2}, RoundCase{-2.5, -2}, RoundCase{2.4999, 2},
                                           RoundCase{2.5001, 3}, RoundCase{-2.6, -3}, RoundCase{3157.5, 3158},
                                           RoundCase{32767.4, 32767}, RoundCase{-32768.5, -32768}));

class RoundOverflow : public ::testing::TestWithParam<double> {};
TEST_P(RoundOverflow, IsAnError) {
    EXPECT_THROW(RoundInt16(GetParam()), OverflowError);
    EXPECT_FALSE(TryRoundInt16(GetParam()).has_value());
}
INSTANTIATE_TEST_SUITE_P(OutsideSixteenBits, RoundOverflow,
                         ::testing::Values(32767.5, 32768.0, -32768.6, -40000.0, 1e300, INFINITY, NAN));

TEST(RoundPosition, RoundsHalfToEvenBeyondSixteenBits) {
    EXPECT_EQ(RoundPosition(57599.5), 57600);
    EXPECT_EQ(RoundPosition(57600.5), 57600);
    EXPECT_EQ(RoundPosition(-40000.5), -40000);
    EXPECT_THROW(RoundPosition(NAN), OverflowError);
}

struct NumberCase {
    const char* text;
    double value;
};
class AcceptedNumbers : public ::testing::TestWithParam<NumberCase> {};
TEST_P(AcceptedNumbers, Parse) {
    const auto value = ParseNumber(GetParam().text);
    ASSERT_TRUE(value.has_value()) << GetParam().text;
    EXPECT_DOUBLE_EQ(*value, GetParam().value);
}
INSTANTIATE_TEST_SUITE_P(Forms, AcceptedNumbers,
                         ::testing::Values(NumberCase{"180", 180}, NumberCase{"  180  ", 180},
                                           NumberCase{"\t10", 10}, NumberCase{"+5", 5}, NumberCase{"-5", -5},
                                           NumberCase{"90.5", 90.5}, NumberCase{".5", 0.5}, NumberCase{"5.", 5},
                                           NumberCase{"1e2", 100}, NumberCase{"1E+2", 100},
                                           NumberCase{"2.5e-1", 0.25}, NumberCase{"007", 7}));

class RejectedNumbers : public ::testing::TestWithParam<const char*> {};
TEST_P(RejectedNumbers, AreNotNumbers) { EXPECT_FALSE(ParseNumber(GetParam()).has_value()) << GetParam(); }
INSTANTIATE_TEST_SUITE_P(Forms, RejectedNumbers,
                         ::testing::Values("", "   ", "1,5", "&H10", "0x10", "NaN", "nan", "inf", "-inf",
                                           "Infinity", "1e309", "-1e309", "1e", "e5", ".", "+", "-", "1 0",
                                           "12abc", "abc", "1.2.3", "--1", "１８０"));

struct TruthCase {
    const char* text;
    int truth;  // 1 on, 0 off, -1 not a truth value
};
class TruthValues : public ::testing::TestWithParam<TruthCase> {};
TEST_P(TruthValues, Read) {
    const auto truth = ParseTruth(GetParam().text);
    if (GetParam().truth < 0) {
        EXPECT_FALSE(truth.has_value()) << GetParam().text;
    } else {
        ASSERT_TRUE(truth.has_value()) << GetParam().text;
        EXPECT_EQ(*truth, GetParam().truth == 1) << GetParam().text;
    }
}
INSTANTIATE_TEST_SUITE_P(Forms, TruthValues,
                         ::testing::Values(TruthCase{"True", 1}, TruthCase{"tRUE", 1}, TruthCase{"FALSE", 0},
                                           TruthCase{"false", 0}, TruthCase{"1", 1}, TruthCase{"-1", 1},
                                           TruthCase{"0.5", 1}, TruthCase{"0", 0}, TruthCase{"0.0", 0},
                                           TruthCase{"yes", -1}, TruthCase{"", -1}, TruthCase{"on", -1}));
