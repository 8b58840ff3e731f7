#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "settings/SettingsFields.h"

namespace hourmark {

// Readable failures: every field in file order.
void PrintTo(const SettingsValues& v, std::ostream* os) {
    for (auto b : v.schedule) {
        *os << b << "|";
    }
    *os << ::testing::PrintToString(v.selectedWavFile) << "|"
        << ::testing::PrintToString(v.lastWavDir) << "|" << v.fanRts << "|" << v.fanDtr;
    for (const NodeEntry& n : v.nodes) {
        *os << "|" << ::testing::PrintToString(n.callsign) << "," << n.autoFlag << ","
            << ::testing::PrintToString(n.startTime) << "," << ::testing::PrintToString(n.stopTime)
            << "," << n.delay;
    }
}

namespace {

// Callsigns go into the file in upper case (ASCII letters only).
std::string Upper(std::string s) {
    for (char& c : s) {
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return s;
}

std::vector<std::string> Texts(const std::string& text, int count) {
    FieldReader r(text);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) {
        std::string v;
        if (r.Text(v) != FieldProblem::None) {
            out.push_back("<missing>");
            break;
        }
        out.push_back(v);
    }
    return out;
}

TEST(SettingsFields, TextFieldsSplitAtCommasAndEveryKindOfLineEnd) {
    EXPECT_EQ(Texts("a,b\r\nc\nd\re", 5), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    // Two delimiters in a row, an empty line, a line of blanks and a comma at a line end.
    EXPECT_EQ(Texts("a,,b\r\n\r\n   \r\nc,\r\nd", 7),
              (std::vector<std::string>{"a", "", "b", "", "", "c", ""}));
    // Blanks around a bare field are dropped, blanks inside it are kept.
    EXPECT_EQ(Texts("  C:\\My Files\\a.wav \t,\tx", 2),
              (std::vector<std::string>{"C:\\My Files\\a.wav", "x"}));
    // The text ends: a field that was never begun is missing.
    EXPECT_EQ(Texts("a\r\n", 2), (std::vector<std::string>{"a", "<missing>"}));
    EXPECT_EQ(Texts("a,  ", 2), (std::vector<std::string>{"a", "<missing>"}));
}

TEST(SettingsFields, QuotedTextFields) {
    EXPECT_EQ(Texts("\"a,b\",c", 2), (std::vector<std::string>{"a,b", "c"}));
    EXPECT_EQ(Texts("  \" lead\"  ,\"\",x", 3), (std::vector<std::string>{" lead", "", "x"}));
    EXPECT_EQ(Texts("\"say \"\"hi\"\"\",x", 2), (std::vector<std::string>{"say \"hi\"", "x"}));
    // Whatever follows the closing quote up to the delimiter is not part of the value.
    EXPECT_EQ(Texts("\"ab\"cd,e", 2), (std::vector<std::string>{"ab", "e"}));
    // A quote in the middle of a bare field is just a character.
    EXPECT_EQ(Texts("ab\"c,d", 2), (std::vector<std::string>{"ab\"c", "d"}));
    // A quote left open ends at the line end; the next line is a field of its own.
    EXPECT_EQ(Texts("\"open, still\r\nnext,x", 3),
              (std::vector<std::string>{"open, still", "next", "x"}));
    EXPECT_EQ(Texts("\"open", 2), (std::vector<std::string>{"open", "<missing>"}));
}

TEST(SettingsFields, NumbersMustBeWholeAndFitTheirField) {
    auto int16 = [](const std::string& t) {
        FieldReader r(t);
        std::int16_t v = -99;
        const FieldProblem p = r.Int16(v);
        return std::make_pair(p, v);
    };
    auto int32 = [](const std::string& t) {
        FieldReader r(t);
        std::int32_t v = -99;
        const FieldProblem p = r.Int32(v);
        return std::make_pair(p, v);
    };
    using P = FieldProblem;
    EXPECT_EQ(int16("32767"), std::make_pair(P::None, std::int16_t{32767}));
    EXPECT_EQ(int16("-32768,"), std::make_pair(P::None, std::int16_t{-32768}));
    EXPECT_EQ(int16("32768").first, P::OutOfRange);
    EXPECT_EQ(int16("-32769").first, P::OutOfRange);
    EXPECT_EQ(int16("  +7  \r\n"), std::make_pair(P::None, std::int16_t{7}));
    EXPECT_EQ(int16("007"), std::make_pair(P::None, std::int16_t{7}));
    EXPECT_EQ(int16(",1"), std::make_pair(P::None, std::int16_t{0}));
    EXPECT_EQ(int16("  \r\n"), std::make_pair(P::None, std::int16_t{0}));
    EXPECT_EQ(int32("2147483647"), std::make_pair(P::None, std::int32_t{2147483647}));
    EXPECT_EQ(int32("-2147483648"),
              std::make_pair(P::None, std::numeric_limits<std::int32_t>::min()));
    EXPECT_EQ(int32("2147483648").first, P::OutOfRange);
    EXPECT_EQ(int32("-2147483649").first, P::OutOfRange);
    EXPECT_EQ(int32("99999999999999999999999999999").first, P::OutOfRange);
    for (const char* bad : {"1.0", "1 2", "x", "-", "+", "1e3", "\"5\"", "0x10", "--1", "5-"}) {
        EXPECT_EQ(int32(bad).first, P::NotANumber) << bad;
    }
    EXPECT_EQ(int32("").first, P::Missing);
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l + "\r\n";
    }
    return out;
}

TEST(SettingsFields, ParseStopsAtTheFirstBadFieldAndCountsWhatItRead) {
    struct Case {
        std::string text;
        int fieldsRead;
        FieldProblem problem;
    };
    const std::string head = Lines({"1,0,2", "0,0,1", "a.wav", "dir", " 1 ", " 0 "});
    for (const Case& c : std::vector<Case>{
             {"", 0, FieldProblem::Missing},
             {"1,3,0", 1, FieldProblem::NotACheckBoxValue},
             {"1,0,0\r\n-1", 3, FieldProblem::NotACheckBoxValue},
             {Lines({"1,0,0", "0,0,0", "", "", " 2 ", " 5 "}), 9, FieldProblem::NotACheckBoxValue},
             {head, 10, FieldProblem::Missing},
             {head + "QX,1,a,b", 14, FieldProblem::Missing},
             {head + "QX,x", 11, FieldProblem::NotANumber},
             {head + "QX,1,a,b,9999999999", 14, FieldProblem::OutOfRange},
         }) {
        const ParsedSettings p = ParseSettings(c.text);
        EXPECT_EQ(p.fieldsRead, c.fieldsRead) << c.text;
        EXPECT_EQ(p.problem, c.problem) << c.text;
        EXPECT_FALSE(p.Complete());
    }
    const ParsedSettings p = ParseSettings(head + "qx,1,a,b");
    EXPECT_EQ(p.values.schedule, (std::array<std::int16_t, 6>{1, 0, 2, 0, 0, 1}));
    EXPECT_EQ(p.values.selectedWavFile, "a.wav");
    EXPECT_EQ(p.values.fanRts, 1);
    EXPECT_EQ(p.values.nodes[0].callsign, "qx");
    EXPECT_EQ(p.values.nodes[0].stopTime, "b");
    EXPECT_EQ(p.values.nodes[0].delay, 0);
}

TEST(SettingsFields, TextValuesAreQuotedOnlyWhenTheyWouldNotReadBack) {
    for (const char* bare : {"", "C:\\wav\\a.wav", "QX1AB-L", "14:00", "a b", "ab\"c", "x\ty"}) {
        EXPECT_EQ(TextField(bare), bare);
    }
    EXPECT_EQ(TextField("a,b"), "\"a,b\"");
    EXPECT_EQ(TextField("\"q"), "\"\"\"q\"");
    EXPECT_EQ(TextField(" lead"), "\" lead\"");
    EXPECT_EQ(TextField("trail "), "\"trail \"");
    EXPECT_EQ(TextField("\ttab"), "\"\ttab\"");
    EXPECT_EQ(TextField("a\"b,c"), "\"a\"\"b,c\"");
    EXPECT_EQ(TextField("one\r\ntwo"), "onetwo");
}

TEST(SettingsFields, AwkwardValuesSurviveAWriteAndARead) {
    const std::vector<std::string> awkward = {"",
                                              "plain",
                                              "a,b",
                                              ",",
                                              "\"",
                                              "\"\"",
                                              "\"a\"",
                                              " ",
                                              "  x  ",
                                              "\tx",
                                              "x\t",
                                              "a\"b",
                                              "a\",b",
                                              ",\"",
                                              "\"\r\n",
                                              "é,ü",
                                              std::string("n\0l", 3)};
    for (std::size_t i = 0; i < awkward.size(); ++i) {
        SettingsValues v;
        v.schedule = {2, 1, 0, 0, 1, 2};
        v.selectedWavFile = awkward[i];
        v.lastWavDir = awkward[(i + 1) % awkward.size()];
        v.fanRts = 1;
        v.fanDtr = 2;
        for (std::size_t n = 0; n < v.nodes.size(); ++n) {
            v.nodes[n] = {"QX" + awkward[(i + n) % awkward.size()],
                          static_cast<std::int16_t>(n * 1000 - 3000),
                          awkward[(i + n + 2) % awkward.size()],
                          awkward[(i + n + 3) % awkward.size()],
                          static_cast<std::int32_t>(n) * 300000000 - 1000000000};
        }
        const ParsedSettings back = ParseSettings(FormatSettings(v));
        ASSERT_TRUE(back.Complete()) << i;
        EXPECT_EQ(back.fieldsRead, kSettingsFieldCount);
        // Line breaks cannot live in a line of the file; everything else comes back.
        auto strip = [](std::string s) {
            std::erase_if(s, [](char c) { return c == '\r' || c == '\n'; });
            return s;
        };
        SettingsValues want = v;
        want.selectedWavFile = strip(want.selectedWavFile);
        want.lastWavDir = strip(want.lastWavDir);
        for (NodeEntry& n : want.nodes) {
            n.callsign = Upper(strip(n.callsign));
            n.startTime = strip(n.startTime);
            n.stopTime = strip(n.stopTime);
        }
        EXPECT_EQ(back.values, want) << i;
    }
}

TEST(SettingsFields, AnythingTheReaderTakesIsWrittenSoThatItReadsTheSame) {
    // A cheap fuzz: texts of small numbers that any field takes, with now and then a wild
    // token made of the characters that matter to the reader.
    const std::string alphabet = ",\"\r\n \t0129-+axQ";
    const std::vector<std::string> delimiters = {",", "\r\n", "\n", "\r", ",", ","};
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    int complete = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        const std::uint32_t slots = 40 + next() % 20;
        for (std::uint32_t slot = 0; slot < slots; ++slot) {
            if (next() % 10 == 0) {
                const std::uint32_t length = next() % 8;
                for (std::uint32_t i = 0; i < length; ++i) {
                    text += alphabet[next() % alphabet.size()];
                }
            } else {
                text += std::string(next() % 2, ' ') + std::to_string(next() % 3);
            }
            text += delimiters[next() % delimiters.size()];
        }
        const ParsedSettings first = ParseSettings(text);
        ASSERT_GE(first.fieldsRead, 0);
        ASSERT_LE(first.fieldsRead, kSettingsFieldCount);
        ASSERT_EQ(first.Complete(), first.fieldsRead == kSettingsFieldCount);
        if (!first.Complete()) {
            continue;
        }
        ++complete;
        const ParsedSettings second = ParseSettings(FormatSettings(first.values));
        SettingsValues want = first.values;
        for (NodeEntry& n : want.nodes) {
            n.callsign = Upper(n.callsign);
        }
        ASSERT_TRUE(second.Complete()) << text;
        ASSERT_EQ(second.values, want) << text;
    }
    EXPECT_GT(complete, 0);
}

}  // namespace
}  // namespace hourmark
