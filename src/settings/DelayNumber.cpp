#include "settings/DelayNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace hourmark {

namespace {

// Beyond this many decimal places either way a double is infinite or rounds to zero anyway;
// capping the exponent keeps its arithmetic far from overflow.
constexpr long long kExponentCap = 100000;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') {
        v = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        v = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        v = c - 'A' + 10;
    }
    return v < base ? v : -1;
}

double RadixNumber(std::string_view s, int base) {
    double v = 0;
    for (char c : s) {
        const int d = DigitValue(c, base);
        if (d < 0) {
            break;
        }
        v = v * base + d;
    }
    return v;
}

double DecimalNumber(std::string_view s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    std::string digits;  // integer and fraction digits, without the point
    long long integerDigits = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
        digits += s[i];
        ++integerDigits;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && IsDigit(s[i]); ++i) {
            digits += s[i];
        }
    }
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            negativeExponent = s[j] == '-';
            ++j;
        }
        // Without digits the letter is not part of the number.
        for (; j < s.size() && IsDigit(s[j]); ++j) {
            exponent = std::min(exponent * 10 + (s[j] - '0'), kExponentCap);
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }

    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        return 0;
    }
    // The value is 0.<significant digits> times ten to this power.
    const long long power = integerDigits - static_cast<long long>(first) + exponent;
    double magnitude = 0;
    if (power > 400) {
        magnitude = std::numeric_limits<double>::infinity();
    } else if (power >= -400) {
        const std::string normal = "0." + digits.substr(first) + "e" + std::to_string(power);
        const auto result =
            std::from_chars(normal.data(), normal.data() + normal.size(), magnitude);
        if (result.ec == std::errc::result_out_of_range) {
            magnitude = power > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        }
    }
    return negative ? -magnitude : magnitude;
}

double RoundHalfToEven(double v) {
    const double below = std::floor(v);
    const double fraction = v - below;
    if (fraction > 0.5) {
        return below + 1;
    }
    if (fraction < 0.5) {
        return below;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1;
}

}  // namespace

double LeadingNumber(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t') {
            s += c;
        }
    }
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h') {
            return RadixNumber(std::string_view(s).substr(2), 16);
        }
        if (s[1] == 'O' || s[1] == 'o') {
            return RadixNumber(std::string_view(s).substr(2), 8);
        }
    }
    return DecimalNumber(s);
}

std::int32_t DelayFromText(std::string_view text) {
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    double v = LeadingNumber(text);
    if (std::isnan(v)) {
        v = 0;
    }
    // The bounds are whole numbers, so rounding after clamping stays inside them.
    v = RoundHalfToEven(std::fmin(std::fmax(v, lowest), highest));
    const auto delay = static_cast<std::int32_t>(v);
    return delay < kShortestDelay ? kShortestDelay : delay;
}

}  // namespace hourmark
