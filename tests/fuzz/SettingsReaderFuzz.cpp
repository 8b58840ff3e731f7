// Any bytes at all as the settings file. The reader never misbehaves, says how far it got, and
// whatever it took from the bytes is saved as a file of 64 lines that reads back, whole, as the
// very same values (callsigns in capitals), and saves again as the very same text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/SettingsFields.h"

namespace {

using hourmark::SettingsValues;

[[noreturn]] void Broken(const char* promise, std::string_view text) {
    std::fprintf(stderr, "broken promise: %s\n--- text ---\n%.*s\n", promise,
                 static_cast<int>(text.size()), text.data());
    std::abort();
}

SettingsValues WithCapitalCallsigns(SettingsValues v) {
    for (auto& node : v.nodes) {
        for (char& c : node.callsign) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
    }
    return v;
}

// 64 lines, each ended by CR LF, and no other line break anywhere.
bool SixtyFourLines(const std::string& text) {
    int lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++lines;
            ++i;
        } else if (text[i] == '\r' || text[i] == '\n') {
            return false;
        }
    }
    return lines == 64 && text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const hourmark::ParsedSettings parsed = hourmark::ParseSettings(text);
    if (parsed.fieldsRead < 0 || parsed.fieldsRead > hourmark::kSettingsFieldCount ||
        parsed.Complete() != (parsed.fieldsRead == hourmark::kSettingsFieldCount)) {
        Broken("the field count does not match the outcome", text);
    }

    const std::string saved = hourmark::FormatSettings(parsed.values);
    if (!SixtyFourLines(saved)) {
        Broken("a saved file is not 64 lines", saved);
    }
    const hourmark::ParsedSettings again = hourmark::ParseSettings(saved);
    if (!again.Complete()) {
        Broken("a saved file does not read back whole", saved);
    }
    if (!(again.values == WithCapitalCallsigns(parsed.values))) {
        Broken("a saved file reads back as other values", saved);
    }
    if (hourmark::FormatSettings(again.values) != saved) {
        Broken("saving what was read back changes the file", saved);
    }
    return 0;
}
