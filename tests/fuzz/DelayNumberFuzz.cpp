// Any text as a node's delay. The number it begins with agrees with the C library's reading of
// the same digits, blanks anywhere change nothing, the delay is never below the shortest pause,
// and a delay shown back to the operator and confirmed again stays the same.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "settings/DelayNumber.h"

namespace {

[[noreturn]] void Broken(const char* promise, std::string_view text) {
    std::fprintf(stderr, "broken promise: %s\n--- text ---\n%.*s\n", promise,
                 static_cast<int>(text.size()), text.data());
    std::abort();
}

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// The longest start of s that is a decimal number: sign, digits, point and fraction, and an
// exponent only when it has digits.
std::string DecimalPrefix(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    for (; i < s.size() && Digit(s[i]); ++i) {
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && Digit(s[i]); ++i) {
            ++digits;
        }
    }
    if (digits == 0) {
        return "0";
    }
    std::size_t end = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            ++j;
        }
        const std::size_t expStart = j;
        while (j < s.size() && Digit(s[j])) {
            ++j;
        }
        if (j > expStart) {
            end = j;
        }
    }
    return s.substr(0, end);
}

bool SameNumber(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double n = hourmark::LeadingNumber(text);
    if (std::isnan(n)) {
        Broken("a text gave no number at all", text);
    }

    std::string bare;
    for (char c : text) {
        if (c != ' ' && c != '\t') {
            bare += c;
        }
    }
    if (!SameNumber(hourmark::LeadingNumber(bare), n)) {
        Broken("blanks changed the number", text);
    }
    const bool radix = bare.size() >= 2 && bare[0] == '&' &&
                       (bare[1] == 'H' || bare[1] == 'h' || bare[1] == 'O' || bare[1] == 'o');
    if (!radix) {
        const std::string prefix = DecimalPrefix(bare);
        if (n != std::strtod(prefix.c_str(), nullptr)) {
            Broken("the number differs from the C library's reading", text);
        }
    } else {
        const bool hex = bare[1] == 'H' || bare[1] == 'h';
        std::size_t end = 2;
        while (end < bare.size() && end < 2 + 13 &&
               std::string_view(hex ? "0123456789abcdefABCDEF" : "01234567").find(bare[end]) !=
                   std::string_view::npos) {
            ++end;
        }
        // Up to 13 digits the value is exact in a double and can be checked digit for digit.
        const bool longer = end < bare.size() && end == 2 + 13;
        if (!longer) {
            const std::string digits = bare.substr(2, end - 2);
            const double expected =
                digits.empty()
                    ? 0.0
                    : static_cast<double>(std::strtoull(digits.c_str(), nullptr, hex ? 16 : 8));
            if (n != expected) {
                Broken("a hexadecimal or octal number reads wrong", text);
            }
        }
    }

    const std::int32_t delay = hourmark::DelayFromText(text);
    if (delay < hourmark::kShortestDelay) {
        Broken("a delay below the shortest pause", text);
    }
    if (n >= 2147483647.0 && delay != std::numeric_limits<std::int32_t>::max()) {
        Broken("a huge delay was not held at the largest one", text);
    }
    if (hourmark::DelayFromText(std::to_string(delay)) != delay) {
        Broken("a delay confirmed again changed", text);
    }
    return 0;
}
