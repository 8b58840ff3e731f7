#include "settings/SettingsFields.h"

#include <limits>

namespace hourmark {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}
bool IsDelimiter(char c) {
    return c == ',' || IsLineEnd(c);
}

std::string_view TrimTrailingBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string AsciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = AsciiUpper(c);
    }
    return out;
}

}  // namespace

bool SettingsValues::operator==(const SettingsValues& o) const {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const NodeEntry& a = nodes[i];
        const NodeEntry& b = o.nodes[i];
        if (a.callsign != b.callsign || a.autoFlag != b.autoFlag || a.startTime != b.startTime ||
            a.stopTime != b.stopTime || a.delay != b.delay) {
            return false;
        }
    }
    return schedule == o.schedule && selectedWavFile == o.selectedWavFile &&
           lastWavDir == o.lastWavDir && fanRts == o.fanRts && fanDtr == o.fanDtr;
}

// ---- Reading -------------------------------------------------------------------------------

void FieldReader::SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[pos_])) {
        ++pos_;
    }
}

void FieldReader::SkipToDelimiter() {
    while (!AtEnd() && !IsDelimiter(text_[pos_])) {
        ++pos_;
    }
}

void FieldReader::PassDelimiter() {
    if (AtEnd()) {
        return;
    }
    const char c = text_[pos_++];
    if (c == '\r' && !AtEnd() && text_[pos_] == '\n') {
        ++pos_;
    }
}

FieldProblem FieldReader::Text(std::string& value) {
    SkipBlanks();
    if (AtEnd()) {
        return FieldProblem::Missing;
    }
    value.clear();
    if (text_[pos_] == '"') {
        ++pos_;
        while (!AtEnd() && !IsLineEnd(text_[pos_])) {
            const char c = text_[pos_++];
            if (c != '"') {
                value += c;
            } else if (!AtEnd() && text_[pos_] == '"') {
                value += '"';
                ++pos_;
            } else {
                break;
            }
        }
    } else {
        const std::size_t start = pos_;
        SkipToDelimiter();
        value = TrimTrailingBlanks(text_.substr(start, pos_ - start));
    }
    SkipToDelimiter();
    PassDelimiter();
    return FieldProblem::None;
}

FieldProblem FieldReader::Number(std::int64_t min, std::int64_t max, std::int64_t& value) {
    SkipBlanks();
    if (AtEnd()) {
        return FieldProblem::Missing;
    }
    const std::size_t start = pos_;
    SkipToDelimiter();
    const std::string_view digits = TrimTrailingBlanks(text_.substr(start, pos_ - start));
    PassDelimiter();
    if (digits.empty()) {
        value = 0;
        return FieldProblem::None;
    }
    std::size_t i = 0;
    const bool negative = digits[0] == '-';
    if (digits[0] == '-' || digits[0] == '+') {
        ++i;
    }
    if (i == digits.size()) {
        return FieldProblem::NotANumber;
    }
    // Far beyond any field's range but nowhere near overflow: longer numbers stay out of range.
    constexpr std::int64_t kCap = std::int64_t{1} << 40;
    std::int64_t magnitude = 0;
    for (; i < digits.size(); ++i) {
        const char c = digits[i];
        if (c < '0' || c > '9') {
            return FieldProblem::NotANumber;
        }
        if (magnitude < kCap) {
            magnitude = magnitude * 10 + (c - '0');
        }
    }
    const std::int64_t n = negative ? -magnitude : magnitude;
    if (n < min || n > max) {
        return FieldProblem::OutOfRange;
    }
    value = n;
    return FieldProblem::None;
}

FieldProblem FieldReader::Int16(std::int16_t& value) {
    std::int64_t n = 0;
    const FieldProblem p = Number(std::numeric_limits<std::int16_t>::min(),
                                  std::numeric_limits<std::int16_t>::max(), n);
    if (p == FieldProblem::None) {
        value = static_cast<std::int16_t>(n);
    }
    return p;
}

FieldProblem FieldReader::Int32(std::int32_t& value) {
    std::int64_t n = 0;
    const FieldProblem p = Number(std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::int32_t>::max(), n);
    if (p == FieldProblem::None) {
        value = static_cast<std::int32_t>(n);
    }
    return p;
}

ParsedSettings ParseSettings(std::string_view text) {
    ParsedSettings out;
    SettingsValues& v = out.values;
    FieldReader reader(text);

    // Each step reads one field; the first that fails ends the reading.
    auto take = [&](FieldProblem p) {
        if (p != FieldProblem::None) {
            out.problem = p;
            return false;
        }
        ++out.fieldsRead;
        return true;
    };
    auto checkBox = [&](std::int16_t& box) {
        std::int16_t n = 0;
        FieldProblem p = reader.Int16(n);
        if (p == FieldProblem::None && (n < 0 || n > 2)) {
            p = FieldProblem::NotACheckBoxValue;
        }
        if (p == FieldProblem::None) {
            box = n;
        }
        return take(p);
    };
    auto textField = [&](std::string& s) {
        std::string value;
        const FieldProblem p = reader.Text(value);
        if (p == FieldProblem::None) {
            s = std::move(value);
        }
        return take(p);
    };

    for (std::int16_t& box : v.schedule) {
        if (!checkBox(box)) {
            return out;
        }
    }
    if (!textField(v.selectedWavFile) || !textField(v.lastWavDir) || !checkBox(v.fanRts) ||
        !checkBox(v.fanDtr)) {
        return out;
    }
    for (NodeEntry& node : v.nodes) {
        if (!textField(node.callsign) || !take(reader.Int16(node.autoFlag)) ||
            !textField(node.startTime) || !textField(node.stopTime) ||
            !take(reader.Int32(node.delay))) {
            return out;
        }
    }
    return out;
}

// ---- Writing -------------------------------------------------------------------------------

std::string TextField(std::string_view value) {
    std::string bare;
    bare.reserve(value.size());
    for (char c : value) {
        if (!IsLineEnd(c)) {
            bare += c;
        }
    }
    const bool quote =
        bare.find(',') != std::string::npos ||
        (!bare.empty() && (bare.front() == '"' || IsBlank(bare.front()) || IsBlank(bare.back())));
    if (!quote) {
        return bare;
    }
    std::string out = "\"";
    for (char c : bare) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
    return out;
}

std::string FormatSettings(const SettingsValues& values, const UpperCasing& upper) {
    std::string out;
    auto line = [&out](const std::string& s) {
        out += s;
        out += "\r\n";
    };
    auto n = [](std::int32_t x) { return std::to_string(x); };
    const auto& s = values.schedule;
    line(n(s[0]) + "," + n(s[1]) + "," + n(s[2]));
    line(n(s[3]) + "," + n(s[4]) + "," + n(s[5]));
    line(TextField(values.selectedWavFile));
    line(TextField(values.lastWavDir));
    line(" " + n(values.fanRts) + " ");
    line(" " + n(values.fanDtr) + " ");
    for (const NodeEntry& node : values.nodes) {
        const std::string call = upper ? upper(node.callsign) : AsciiUpper(node.callsign);
        line(TextField(call) + "," + n(node.autoFlag) + "," + TextField(node.startTime) + "," +
             TextField(node.stopTime) + "," + n(node.delay));
    }
    for (int i = 0; i < 50; ++i) {
        line("");
    }
    return out;
}

}  // namespace hourmark
