// The settings file's text: a fixed sequence of fields without keys, read and written here
// without a Station so that any bytes at all can be thrown at the reader.
//
// Reading: fields are separated by commas and line ends (CR LF, a lone CR or a lone LF). Blanks
// (spaces and tabs) before a field are skipped. A bare text field runs up to the next comma or
// line end, and blanks at its end are dropped. A text field that begins with a double quote runs
// to the closing quote; inside it two double quotes stand for one, and whatever follows the
// closing quote up to the delimiter is ignored. A quote left open ends at the line end, so one
// stray quote cannot swallow the lines after it. A number field holds an optional sign and
// decimal digits, with blanks allowed around it; an empty field is 0.
//
// Writing: a text value goes bare unless it would not read back as itself: a value that holds a
// comma, begins with a double quote, or begins or ends with a blank is written inside double
// quotes, with each double quote in it doubled. Nothing the program stores needs the doubling
// (paths cannot hold a double quote and the node dialog refuses them); it is there so that a
// value read from a hand-edited file survives the next save. A line break cannot be held by a
// line-based file at all and is left out, so that the fields after it keep their places.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "settings/NodeTable.h"

namespace hourmark {

// Never more of the file than this is loaded; the fields all sit at its start.
constexpr std::size_t kSettingsMaxBytes = std::size_t{64} * 1024;

// Six schedule boxes, the WAV file and its directory, two fan boxes, then five fields a node.
constexpr int kSettingsFieldCount = 6 + 2 + 2 + 5 * kNodeCount;

// What the file holds, in its own order.
struct SettingsValues {
    // cbHour, cbHalfHour, cbQuarterHour, cbFileHour, cbFileHalfHour, cbFileQuarterHour.
    std::array<std::int16_t, 6> schedule{};
    std::string selectedWavFile;
    std::string lastWavDir;
    std::int16_t fanRts = 0;
    std::int16_t fanDtr = 0;
    NodeTable nodes{};

    bool operator==(const SettingsValues& other) const;
};

enum class FieldProblem {
    None,
    Missing,  // the text ended before the field
    NotANumber,
    OutOfRange,         // a whole number too large for its field
    NotACheckBoxValue,  // a check box takes 0, 1 or 2 only
};

struct ParsedSettings {
    // The first fieldsRead fields, in file order, hold what the text gave; the rest are as a
    // default SettingsValues has them.
    SettingsValues values;
    int fieldsRead = 0;
    // Why the field after the last one read could not be taken.
    FieldProblem problem = FieldProblem::None;

    bool Complete() const { return problem == FieldProblem::None; }
};

// Hands out the fields of a text one at a time; each call moves past the field's delimiter.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : text_(text) {}

    FieldProblem Text(std::string& value);
    FieldProblem Int16(std::int16_t& value);
    FieldProblem Int32(std::int32_t& value);

private:
    FieldProblem Number(std::int64_t min, std::int64_t max, std::int64_t& value);
    bool AtEnd() const { return pos_ >= text_.size(); }
    void SkipBlanks();
    void SkipToDelimiter();
    void PassDelimiter();

    std::string_view text_;
    std::size_t pos_ = 0;
};

// Reads the fields in file order and stops at the first one that cannot be taken, or after the
// last one; whatever follows is not looked at.
ParsedSettings ParseSettings(std::string_view text);

// The whole file: 64 lines, each ending with CR LF. Callsigns go into it in upper case, by the
// given upper-casing (the code page's), or by ASCII's when none is given.
using UpperCasing = std::function<std::string(const std::string&)>;
std::string FormatSettings(const SettingsValues& values, const UpperCasing& upper = nullptr);

// A text value as it goes into the file: bare when it reads back as itself, else quoted.
std::string TextField(std::string_view value);

}  // namespace hourmark
