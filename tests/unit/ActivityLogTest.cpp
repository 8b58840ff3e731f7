#include <gtest/gtest.h>

#include <string>

#include "CleanStart.h"
#include "fakes/FakePorts.h"
#include "log/ActivityLog.h"

namespace hourmark::test {
namespace {

struct ActivityLog : ::testing::Test {
    Rig rig;
    void SetUp() override {
        rig.enabledTimers = {};
        ASSERT_TRUE(StartClean(rig));
        rig.window.messages.clear();
        rig.clock.Set(2026, 12, 6, 6, 35, 27);
    }
    std::string Log() const { return rig.files.Text(rig.LogPath()); }
};

TEST_F(ActivityLog, TheFirstCallCreatesTheFileWithOneLine) {
    ASSERT_FALSE(rig.files.Exists(rig.LogPath()));
    rig.station.WriteLog("<EchoLink> connected: QX1AB-L");
    EXPECT_EQ(Log(), "12/06/26 06:35:27 <EchoLink> connected: QX1AB-L\r\n");
}

TEST_F(ActivityLog, LinesAreAppendedAndEarlierOnesStayAsTheyWere) {
    rig.files.files[rig.LogPath()] = "old line one\r\nold line two\r\n";
    rig.station.WriteLog("HourMark Connect try: QX2CD-L");
    rig.clock.Set(2027, 1, 2, 0, 0, 1);
    rig.station.WriteLog("HourMark Disconnect try: QX2CD-L");
    EXPECT_EQ(Log(),
              "old line one\r\nold line two\r\n"
              "12/06/26 06:35:27 HourMark Connect try: QX2CD-L\r\n"
              "01/02/27 00:00:01 HourMark Disconnect try: QX2CD-L\r\n");
}

TEST_F(ActivityLog, TheMessageIsWrittenAsItComes) {
    rig.station.WriteLog("");
    rig.station.WriteLog("  mixed Case qx1ab-l  ");
    rig.station.WriteLog("path C:\\radio\\x \"quoted\", caf\xC3\xA9");
    EXPECT_EQ(Log(),
              "12/06/26 06:35:27 \r\n"
              "12/06/26 06:35:27   mixed Case qx1ab-l  \r\n"
              "12/06/26 06:35:27 path C:\\radio\\x \"quoted\", caf\xC3\xA9\r\n");
}

TEST_F(ActivityLog, AFileThatCannotBeWrittenIsPassedOverInSilence) {
    rig.files.files[rig.LogPath()] = "kept\r\n";
    rig.files.failAppend = true;
    rig.station.WriteLog("<EchoLink> disconnected: QX1AB-L");
    EXPECT_EQ(Log(), "kept\r\n");
    EXPECT_TRUE(rig.window.messages.empty());
    rig.files.failAppend = false;
    rig.station.WriteLog("next");
    EXPECT_EQ(Log(), "kept\r\n12/06/26 06:35:27 next\r\n");
}

// A callsign comes from the network; whatever it carries, one call is one line.
TEST_F(ActivityLog, ControlCharactersAreWrittenVisiblySoOneCallIsOneLine) {
    rig.station.WriteLog("<EchoLink> connected: QX1AB\r\n12/06/26 06:35:28 forged\nx\ry");
    EXPECT_EQ(Log(),
              "12/06/26 06:35:27 <EchoLink> connected: QX1AB\\r\\n12/06/26 06:35:28 "
              "forged\\nx\\ry\r\n");
}

TEST(ActivityLogEscape, EveryControlCharacterAndNothingElse) {
    EXPECT_EQ(EscapeLogMessage("a\tb\x1B[2Jc\x7F"
                               "d\x01"),
              "a\\tb\\x1B[2Jc\\x7Fd\\x01");
    EXPECT_EQ(EscapeLogMessage(std::string("nul\0end", 7)), "nul\\x00end");
    EXPECT_EQ(EscapeLogMessage("\x0B\x0C\x1C\x1D\x1E\x1F"), "\\x0B\\x0C\\x1C\\x1D\\x1E\\x1F");
    // The second control set and the Unicode line breaks, as UTF-8.
    EXPECT_EQ(EscapeLogMessage("a\xC2\x85"
                               "b\xC2\x80\xC2\x9F"),
              "a\\u0085b\\u0080\\u009F");
    EXPECT_EQ(EscapeLogMessage("x\xE2\x80\xA8y\xE2\x80\xA9z"), "x\\u2028y\\u2029z");
    // Letters beyond ASCII that merely share lead bytes stay as they are.
    EXPECT_EQ(EscapeLogMessage("\xC2\xA0\xC2\xB0 \xE2\x80\x94 \xE2\x82\xAC \xC3\xA9"),
              "\xC2\xA0\xC2\xB0 \xE2\x80\x94 \xE2\x82\xAC \xC3\xA9");
    // A cut sequence at the end is left alone.
    EXPECT_EQ(EscapeLogMessage("end\xC2"), "end\xC2");
    EXPECT_EQ(EscapeLogMessage("end\xE2\x80"), "end\xE2\x80");
    EXPECT_EQ(EscapeLogMessage("QX1AB-L ~!@#$%^&*()_+{}|:<>?"), "QX1AB-L ~!@#$%^&*()_+{}|:<>?");
}

}  // namespace
}  // namespace hourmark::test
