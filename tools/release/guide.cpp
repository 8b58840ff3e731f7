// Writes the operator's guide that ships beside hourmark.exe: the parts of the README marked for
// the operator (between "<!-- guide -->" and "<!-- /guide -->" lines), as plain text with CR LF
// line ends, so that the guide and the README never tell two stories.
// Usage: guide README.md VERSION OUTPUT.txt
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// Inline Markdown to plain text: code spans lose their backticks, links keep their text.
std::string Inline(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '`') {
            continue;
        }
        if (s[i] == '[') {
            const auto close = s.find("](", i);
            const auto end = close == std::string::npos ? close : s.find(')', close);
            if (end != std::string::npos) {
                out += s.substr(i + 1, close - i - 1);
                i = end;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

std::vector<std::string> Cells(const std::string& row) {
    std::vector<std::string> cells;
    std::string cell;
    for (std::size_t i = 1; i < row.size(); ++i) {
        if (row[i] == '|') {
            cells.push_back(Trim(Inline(cell)));
            cell.clear();
        } else {
            cell += row[i];
        }
    }
    return cells;
}

bool IsRule(const std::vector<std::string>& cells) {
    return std::all_of(cells.begin(), cells.end(), [](const std::string& c) {
        return !c.empty() && c.find_first_not_of("-:") == std::string::npos;
    });
}

// A table without its heading: the first column padded, the others after it.
void Table(const std::vector<std::string>& rows, std::vector<std::string>& out) {
    std::vector<std::vector<std::string>> body;
    bool pastRule = false;
    for (const std::string& row : rows) {
        const auto cells = Cells(row);
        if (IsRule(cells)) {
            pastRule = true;
        } else if (pastRule && !cells.empty()) {
            body.push_back(cells);
        }
    }
    std::size_t width = 0;
    for (const auto& cells : body) {
        width = std::max(width, cells[0].size());
    }
    // The rest of a row wrapped at the README's own width, under its own column.
    constexpr std::size_t kWidth = 100;
    const std::size_t indent = width + 4;
    for (const auto& cells : body) {
        std::string rest;
        for (std::size_t i = 1; i < cells.size(); ++i) {
            rest += (i > 1 ? " " : "") + cells[i];
        }
        std::string line = "  " + cells[0] + std::string(width - cells[0].size() + 2, ' ');
        std::istringstream words(rest);
        std::string word;
        bool first = true;
        while (words >> word) {
            if (!first && line.size() + 1 + word.size() > kWidth) {
                out.push_back(line);
                line = std::string(indent, ' ') + word;
            } else {
                line += (first ? "" : " ") + word;
            }
            first = false;
        }
        out.push_back(line);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: guide README.md VERSION OUTPUT.txt\n");
        return 2;
    }
    std::ifstream readme(argv[1], std::ios::binary);
    if (!readme) {
        std::fprintf(stderr, "guide: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string title = std::string("HourMark ") + argv[2] + ": the operator's guide";
    std::vector<std::string> out{title, std::string(title.size(), '='), ""};
    bool inside = false;
    int blocks = 0;
    std::vector<std::string> table;
    std::string line;
    while (std::getline(readme, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (Trim(line) == "<!-- guide -->") {
            inside = true;
            ++blocks;
            continue;
        }
        if (Trim(line) == "<!-- /guide -->") {
            inside = false;
            continue;
        }
        if (!inside) {
            continue;
        }
        if (line.rfind('|', 0) == 0) {
            table.push_back(line);
            continue;
        }
        if (!table.empty()) {
            Table(table, out);
            table.clear();
        }
        if (line.rfind("![", 0) == 0) {
            continue;
        }
        if (line.rfind('#', 0) == 0) {
            const std::string heading = Inline(Trim(line.substr(line.find_first_not_of('#'))));
            if (!out.empty() && !out.back().empty()) {
                out.push_back("");
            }
            out.push_back(heading);
            out.push_back(std::string(heading.size(), '-'));
            continue;
        }
        const std::string text = Inline(line);
        if (text.empty() && !out.empty() && out.back().empty()) {
            continue;
        }
        out.push_back(text);
    }
    if (!table.empty()) {
        Table(table, out);
    }
    if (blocks == 0 || inside) {
        std::fprintf(stderr, "guide: %s has no closed <!-- guide --> block\n", argv[1]);
        return 1;
    }
    while (!out.empty() && out.back().empty()) {
        out.pop_back();
    }
    std::ostringstream text;
    for (const std::string& l : out) {
        text << l << "\r\n";
    }
    const std::string bytes = text.str();
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    std::ofstream file(argv[3], std::ios::binary | std::ios::trunc);
    // Older Notepads read a file without a byte order mark in the ANSI code page.
    if (!ascii) {
        file << "\xEF\xBB\xBF";
    }
    file << bytes;
    file.close();
    if (!file) {
        std::fprintf(stderr, "guide: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
