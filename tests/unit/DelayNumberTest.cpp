#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings/DelayNumber.h"

namespace hourmark {
namespace {

TEST(DelayFromText, ReadsTheLeadingNumberRoundsAndKeepsTheShortestDelay) {
    const std::vector<std::pair<std::string, std::int32_t>> cases{
        {"", 10},
        {"5", 10},
        {"10", 10},
        {"15", 15},
        {"12.5", 12},
        {"13.5", 14},
        {"30s", 30},
        {"1 5", 15},
        {"abc", 10},
        {"-20", 10},
        // halves go to the even neighbour, everything else to the nearest
        {"10.5", 10},
        {"11.5", 12},
        {"14.49", 14},
        {"14.51", 15},
        {"20.7.3", 21},
        {".5e2", 50},
        // blanks and tabs anywhere are ignored, also inside a sign or an exponent
        {"\t20\t", 20},
        {" + 2 5 ", 25},
        {"2 e 1", 20},
        {"- 5", 10},
        {"--5", 10},
        // exponents; a letter without exponent digits ends the number
        {"1e2", 100},
        {"1.5E+1", 15},
        {"2500e-2", 25},
        {"15e", 15},
        {"15e+", 15},
        {"12345678901234567890e-10", 1234567890},
        {"0000000000000000000025", 25},
        // &H and &O, in either case
        {"&H1F", 31},
        {"&h 2 0", 32},
        {"&O17", 15},
        {"&o777", 511},
        {"&H", 10},
        {"&O8", 10},
        {"&HFFz", 255},
        {"0x20", 10},
        {"&20", 10},
        {"1,5", 10},
        // beyond 32 bits: clamped, then raised to the shortest delay
        {"2147483647", 2147483647},
        {"2147483647.5", 2147483647},
        {"2147483646.5", 2147483646},
        {"99999999999", 2147483647},
        {"-99999999999", 10},
        {"&HFFFFFFFFFF", 2147483647},
        {"1e999", 2147483647},
        {"1e99999999999999999999", 2147483647},
        {"-1e999", 10},
        {"1e-999", 10},
        {"&H" + std::string(400, 'F'), 2147483647},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(DelayFromText(text), expected) << '"' << text << '"';
    }
}

TEST(LeadingNumber, KeepsSignAndFraction) {
    EXPECT_DOUBLE_EQ(LeadingNumber("-12.25x"), -12.25);
    EXPECT_DOUBLE_EQ(LeadingNumber("3.5e-1"), 0.35);
    EXPECT_DOUBLE_EQ(LeadingNumber("."), 0.0);
}

}  // namespace
}  // namespace hourmark
