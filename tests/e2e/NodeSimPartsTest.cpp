// The simulator's parts on their own: the node's clock, the verbs, the trace and WAV headers.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "Command.h"
#include "Node.h"
#include "NodeSimDriver.h"
#include "TraceFile.h"
#include "TraceLine.h"
#include "WaveFile.h"

namespace e2e {
namespace {

using nodesim::CommandError;
using nodesim::CommandOutcome;
using nodesim::Happening;
using nodesim::Node;
using nodesim::Refusal;
using nodesim::RunCommand;

TEST(NodeClock, QueuesTransmissionsBehindEachOtherAfterTheLag) {
    Node node;
    node.Transmit("one", 1000, 10000);
    node.Transmit("two", 500, 10200);
    EXPECT_TRUE(node.IsTransmitting(10000));
    EXPECT_TRUE(node.IsTransmitting(11200));
    EXPECT_FALSE(node.IsTransmitting(11500));

    node.lagMs = 300;
    node.Transmit("three", 200, 20000);
    EXPECT_FALSE(node.IsTransmitting(20299));
    EXPECT_TRUE(node.IsTransmitting(20300));
    EXPECT_FALSE(node.IsTransmitting(20500));

    const auto onAir = node.Advance(20300);
    ASSERT_EQ(onAir.size(), 3u);
    EXPECT_EQ(onAir[0].text, "one");
    EXPECT_EQ(onAir[2].text, "three");
    EXPECT_TRUE(node.Advance(20400).empty());
    EXPECT_EQ(node.NextChange(20400), std::optional<std::uint64_t>(20500));
}

TEST(NodeClock, HoldsKeepTheTransmitterBusy) {
    Node node;
    EXPECT_FALSE(node.IsTransmitting(0));
    node.busyTransmitting = true;
    EXPECT_TRUE(node.IsTransmitting(0));
    node.busyTransmitting = false;
    node.keyed = true;
    EXPECT_TRUE(node.IsTransmitting(0));
}

TEST(NodeClock, ALinkComesUpASecondAfterItWasAskedFor) {
    Node node;
    node.RequestConnect("QX2CD-L", 5000);
    node.RequestConnect("qx2cd-l", 5500);  // already coming
    EXPECT_TRUE(node.Advance(5999).empty());
    EXPECT_FALSE(node.IsLinked("QX2CD-L"));
    const auto up = node.Advance(6000);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].kind, Happening::Kind::LinkUp);
    EXPECT_EQ(up[0].call, "QX2CD-L");
    EXPECT_TRUE(node.IsLinked("qx2cd-l"));
    EXPECT_EQ(node.NextChange(6000), std::nullopt);
}

TEST(NodeClock, RefusedAndDroppedRequestsNeverComeUp) {
    Node node;
    node.SetRefused("QX3EF-L", true);
    node.RequestConnect("QX3EF-L", 0);
    node.RequestConnect("QX4GH-L", 0);
    EXPECT_FALSE(node.Drop("QX4GH-L"));  // only coming: not linked yet
    EXPECT_TRUE(node.Advance(5000).empty());
    node.LinkUp("QX4GH-L");
    EXPECT_TRUE(node.Drop("qx4gh-l"));
    EXPECT_TRUE(node.linked().empty());
}

TEST(NodeState, OneLineWithEverythingAScriptChecks) {
    Node node;
    node.callsign = "QX2CD-L";
    node.keyingLine = 3;
    node.busyB = true;
    node.dtr = true;
    node.recordMode = 2;
    node.LinkUp("QX3EF-L");
    node.LinkUp("QX4GH-R");
    EXPECT_EQ(node.StateLine(0),
              "callsign=QX2CD-L keyingline=3 transmitting=False busya=False busyb=True "
              "rts=False dtr=True recordmode=2 linked=QX3EF-L,QX4GH-R");
}

CommandOutcome Verb(Node& node, std::vector<std::string> words) {
    return RunCommand(node, words, 0);
}

TEST(Commands, SetTheNodeAndNameTheEventsToRaise) {
    Node node;
    auto link = Verb(node, {"link", "QX2CD-L", "Bob", "10.0.0.7"});
    EXPECT_EQ(link.effect, CommandOutcome::Effect::RaiseConnected);
    EXPECT_EQ(link.eventArgs, (std::vector<std::string>{"QX2CD-L", "Bob", "10.0.0.7"}));
    EXPECT_TRUE(node.IsLinked("QX2CD-L"));
    auto unlink = Verb(node, {"unlink", "QX2CD-L"});
    EXPECT_EQ(unlink.effect, CommandOutcome::Effect::RaiseDisconnected);
    EXPECT_FALSE(node.IsLinked("QX2CD-L"));

    Verb(node, {"fail", "SetupConfig.Callsign", "no", "such", "station"});
    EXPECT_EQ(node.FailureOf("SetupConfig.Callsign"), "no such station");
    Verb(node, {"fail", "SetupConfig.Callsign", "off"});
    EXPECT_EQ(node.FailureOf("SetupConfig.Callsign"), std::nullopt);
    Verb(node, {"slow", "IsTransmitting", "900"});
    EXPECT_EQ(node.SlownessOf("IsTransmitting"), 900u);
    Verb(node, {"slow", "IsTransmitting", "0"});
    EXPECT_EQ(node.SlownessOf("IsTransmitting"), 0u);
    Verb(node, {"nodelist", "<a", "b=\"1\"/>"});
    EXPECT_EQ(node.nodeListXml, "<a b=\"1\"/>");
    Verb(node, {"keyingline", "-2"});
    EXPECT_EQ(node.keyingLine, -2);
}

TEST(Commands, RefuseWhatTheyCannotMeanWithoutChangingTheNode) {
    Node node;
    const std::vector<std::vector<std::string>> bad = {
        {"fail", "IsTransmiting", "typo"},
        {"slow", "Bogus", "5"},
        {"keyingline", "2x"},
        {"keyingline", "99999999999"},
        {"lag", "-1"},
        {"busy", "c", "on"},
        {"busy", "a", "yes"},
        {"dtmf"},
        {"trace", "all"},
        {"frobnicate"},
    };
    for (const auto& words : bad) {
        EXPECT_THROW(Verb(node, words), CommandError) << words[0];
    }
    EXPECT_EQ(node.StateLine(0), Node().StateLine(0));
    EXPECT_TRUE(node.failures.empty());
}

TEST(TraceLines, EscapeTextsAndMarkFailures) {
    using nodesim::TraceArg;
    using nodesim::TraceKind;
    EXPECT_EQ(nodesim::TraceLine("2026-03-14 15:30:45.007", TraceKind::Call, "SpeakText",
                                 {TraceArg::Text("a\\b\tc\rd\ne")}),
              "2026-03-14 15:30:45.007\tcall\tSpeakText\ta\\\\b\\tc\\rd\\ne");
    EXPECT_EQ(nodesim::TraceLine("t", TraceKind::Call, "SetRts", {TraceArg::Bool(-1)},
                                 std::string("line\tbusy")),
              "t\tcall\tSetRts\tTrue\tfailed: line\\tbusy");
    EXPECT_EQ(TraceArg::Bool(0).field(), "False");
    // A client that sends 1 for True is seen as such.
    EXPECT_EQ(TraceArg::Bool(1).field(), "1");
    EXPECT_EQ(
        nodesim::TraceLine("t", TraceKind::Put, "SetupConfig.RecordMode", {TraceArg::Number(2)}),
        "t\tput\tSetupConfig.RecordMode\t2");
    EXPECT_EQ(nodesim::TraceLine("t", TraceKind::Event, "Closing", {}), "t\tevent\tClosing");
}

TEST(TraceLines, TimeIsLocalWithMilliseconds) {
    const std::string now = nodesim::TraceFile::Now();
    ASSERT_EQ(now.size(), 23u);
    SYSTEMTIME t{};
    GetLocalTime(&t);
    char year[8];
    snprintf(year, sizeof year, "%04u-", t.wYear);
    EXPECT_EQ(now.substr(0, 5), year);
    EXPECT_EQ(now[10], ' ');
    EXPECT_EQ(now[19], '.');
}

std::string Slurp(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(TraceFiles, BeginAnewPastTheLimitKeepingOneOldTrace) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"e2e-trace.txt";
    const std::wstring old = std::wstring(dir) + L"e2e-trace.old.txt";
    DeleteFileW(path.c_str());
    DeleteFileW(old.c_str());
    nodesim::TraceFile trace(path, old, 100);
    const std::string line(38, 'a');  // 40 bytes with CR LF
    ASSERT_TRUE(trace.Append(line));
    ASSERT_TRUE(trace.Append(line));
    EXPECT_EQ(GetFileAttributesW(old.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(trace.Append("third"));  // 87 bytes: still within
    ASSERT_TRUE(trace.Append("fourth, past the limit"));
    EXPECT_EQ(Slurp(old), line + "\r\n" + line + "\r\nthird\r\nfourth, past the limit\r\n");
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(trace.Append("fresh"));
    EXPECT_EQ(Slurp(path), "fresh\r\n");
    for (int i = 0; i < 3; ++i) {
        trace.Append(line);
    }
    EXPECT_EQ(Slurp(old), "fresh\r\n" + line + "\r\n" + line + "\r\n" + line + "\r\n");
    ASSERT_TRUE(trace.Clear());
    EXPECT_EQ(Slurp(path), "");
}

std::string Le(std::uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) {
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    return s;
}

std::string Format(std::uint16_t tag, std::uint32_t byteRate, bool extensible = false,
                   std::uint16_t subTag = 1) {
    std::string body = Le(extensible ? 0xFFFE : tag, 2) + Le(1, 2) + Le(8000, 4) + Le(byteRate, 4) +
                       Le(2, 2) + Le(16, 2);
    if (extensible) {
        body += Le(22, 2) + Le(16, 2) + Le(4, 4) + Le(subTag, 2) + std::string(14, '\x01');
    }
    return "fmt " + Le(static_cast<std::uint32_t>(body.size()), 4) + body;
}

std::string Riff(const std::string& chunks) {
    return "RIFF" + Le(static_cast<std::uint32_t>(4 + chunks.size()), 4) + "WAVE" + chunks;
}

std::string Data(std::uint32_t claimed, std::uint32_t present) {
    return "data" + Le(claimed, 4) + std::string(present, '\0');
}

std::uint64_t Duration(const std::string& bytes) {
    auto read = [&](std::uint64_t offset, void* buffer, std::size_t n) -> std::size_t {
        if (offset >= bytes.size()) {
            return 0;
        }
        const std::size_t got =
            std::min<std::size_t>(n, static_cast<std::size_t>(bytes.size() - offset));
        std::memcpy(buffer, bytes.data() + offset, got);
        return got;
    };
    return nodesim::WaveDurationMs(read, bytes.size());
}

TEST(WaveHeaders, GiveTheDurationOfPcmData) {
    EXPECT_EQ(Duration(Riff(Format(1, 16000) + Data(16000, 16000))), 1000u);
    // A LIST chunk of odd length before the data is skipped with its pad byte.
    EXPECT_EQ(Duration(Riff(Format(1, 16000) + "LIST" + Le(3, 4) + "abc" + std::string(1, '\0') +
                            Data(8000, 8000))),
              500u);
    EXPECT_EQ(Duration(Riff(Format(1, 16000, true, 1) + Data(4000, 4000))), 250u);
    // A truncated file plays for what it holds.
    EXPECT_EQ(Duration(Riff(Format(1, 16000) + Data(160000, 1600))), 100u);
}

TEST(WaveHeaders, RefuseAnythingButPcmRiffWave) {
    EXPECT_THROW(Duration("not audio at all, really"), Refusal);
    EXPECT_THROW(Duration("RIFX" + Le(4, 4) + "WAVE"), Refusal);
    EXPECT_THROW(Duration(Riff(Format(3, 32000) + Data(32000, 32000))), Refusal);  // float
    EXPECT_THROW(Duration(Riff(Format(1, 16000, true, 3) + Data(100, 100))), Refusal);
    EXPECT_THROW(Duration(Riff(Data(100, 100) + Format(1, 16000))), Refusal);
    EXPECT_THROW(Duration(Riff(Format(1, 16000))), Refusal);
    EXPECT_THROW(Duration(Riff(Format(1, 0) + Data(100, 100))), Refusal);
}

}  // namespace
}  // namespace e2e
