// The countdown text, rounding into 16 bits, and numbers and truth values as read from the configuration.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "window/basConvert.h"

using namespace basConvert;

const std::pair<std::int16_t, const char*> kTimes[] = {
    {0, "00:00"}, {5, "00:05"}, {59, "00:59"}, {60, "01:00"}, {90, "01:30"}, {599, "09:59"}, {600, "10:00"},
    {5999, "99:59"}, {6000, "100:00"}, {32767, "546:07"}, {-5, "00:-5"}, {-59, "00:-59"}, {-60, "-1:00"},
    {-65, "-1:-5"}, {-32768, "-546:-8"}};
class FormatTimeTable : public ::testing::TestWithParam<std::pair<std::int16_t, const char*>> {};
TEST_P(FormatTimeTable, GivesTheCountdownText) { EXPECT_EQ(FormatTime(GetParam().first), GetParam().second); }
INSTANTIATE_TEST_SUITE_P(EveryRow, FormatTimeTable, ::testing::ValuesIn(kTimes));

// Halves both ways and on both signs: truncation or half-up fails some row. Outside 16 bits is an error, not a wrap.
const std::pair<double, std::optional<int>> kRoundings[] = {
    {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.5001, 3}, {-2.6, -3}, {32767.4, 32767},
    {-32768.5, -32768}, {32767.5, std::nullopt}, {-32768.6, std::nullopt}, {INFINITY, std::nullopt},
    {NAN, std::nullopt}};
class RoundInt16Table : public ::testing::TestWithParam<std::pair<double, std::optional<int>>> {};
TEST_P(RoundInt16Table, RoundsToTheNearestHalvesToEvenAndRefusesOverflow) {
    const auto [value, rounded] = GetParam();
    EXPECT_EQ(TryRoundInt16(value), rounded);
}
INSTANTIATE_TEST_SUITE_P(Halves, RoundInt16Table, ::testing::ValuesIn(kRoundings));

// The file reads the same on every machine: no locale's comma, no Basic hex, no IEEE specials.
const std::pair<const char*, std::optional<double>> kNumbers[] = {
    {"90", 90}, {" 12 ", 12}, {"1e2", 100}, {"90.5", 90.5}, {"-5", -5}, {"", std::nullopt}, {"1,5", std::nullopt},
    {"&H10", std::nullopt}, {"NaN", std::nullopt}, {"inf", std::nullopt}, {"1e309", std::nullopt},
    {"abc", std::nullopt}, {"1 0", std::nullopt}};
class Numbers : public ::testing::TestWithParam<std::pair<const char*, std::optional<double>>> {};
TEST_P(Numbers, ParseAsWrittenOrNotAtAll) { EXPECT_EQ(ParseNumber(GetParam().first), GetParam().second); }
INSTANTIATE_TEST_SUITE_P(Forms, Numbers, ::testing::ValuesIn(kNumbers));

