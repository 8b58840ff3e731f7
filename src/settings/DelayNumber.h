// The delay of a node, read from the text the operator typed: the number the text begins with,
// rounded to whole seconds, never below the shortest pause the auto-connect pass allows.
#pragma once

#include <cstdint>
#include <string_view>

namespace hourmark {

constexpr std::int32_t kShortestDelay = 10;

// The number with which the text begins: an optional sign, digits, an optional decimal point
// and fraction, an optional exponent ("e" or "E", optional sign, digits); or "&H" followed by
// hexadecimal digits, or "&O" followed by octal digits. Blanks and tabs anywhere in the text are
// ignored; reading stops at the first other character. 0 when the text holds no number. Values
// too large for a double come back as an infinity of the right sign.
double LeadingNumber(std::string_view text);

// LeadingNumber rounded to a whole number (halves to the even neighbour), clamped into the
// signed 32-bit range, then raised to kShortestDelay when below it.
std::int32_t DelayFromText(std::string_view text);

}  // namespace hourmark
