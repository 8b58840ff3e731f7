#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <limits>

#include "fakes/FakePorts.h"
#include "host/HostLink.h"

namespace hourmark::test {
namespace {

const std::string kDamagedText =
    "The file HourMark.Ini is Missing or Corrupted\r\n"
    "    The program will create a new INI file.";
const std::string kRebuiltText = "New INI File Created\r\n Reconfigure your setup";
const std::string kWriteError = "Error Writing .INI File";

std::string BadPath(const Rig& rig) {
    return rig.IniPath() + ".bad";
}

// The lines joined, each ending with CR LF.
std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l + "\r\n";
    }
    return out;
}

std::string EmptyLines(int n) {
    return Lines(std::vector<std::string>(static_cast<std::size_t>(n)));
}

const std::vector<std::string> kFourteen = {
    "1,0,1",
    "0,1,0",
    "C:\\wav\\id.wav",
    "C:\\wav",
    " 1 ",
    " 0 ",
    "QX1AB-L,1,14:00,23:59,10",
    "QX2CD-R,0,08:00,09:00,20",
    "QX3EF,1,00:00,01:00,30",
    "QX4GH-L,0,,,40",
    "QX5IJ,1,10:00,11:00,50",
    "QX6KL,0,12:00,13:00,60",
    "QX7MN,1,,,70",
    "QX8OP,0,22:00,23:00,80",
};

std::vector<std::string> Head(std::size_t n) {
    return std::vector<std::string>(kFourteen.begin(), kFourteen.begin() + static_cast<long>(n));
}

void ExpectFourteenApplied(Station& s, std::size_t nodes = 8) {
    EXPECT_EQ(s.cbHour.value(), 1);
    EXPECT_EQ(s.cbHalfHour.value(), 0);
    EXPECT_EQ(s.cbQuarterHour.value(), 1);
    EXPECT_EQ(s.cbFileHour.value(), 0);
    EXPECT_EQ(s.cbFileHalfHour.value(), 1);
    EXPECT_EQ(s.cbFileQuarterHour.value(), 0);
    EXPECT_EQ(s.SelectedWavFile, "C:\\wav\\id.wav");
    EXPECT_EQ(s.tbFileName.text(), "C:\\wav\\id.wav");
    EXPECT_EQ(s.LastWavDir, "C:\\wav");
    EXPECT_EQ(s.FanRTS.value(), 1);
    EXPECT_EQ(s.FanDTR.value(), 0);
    EXPECT_EQ(s.nodes[0].callsign, "QX1AB-L");
    EXPECT_EQ(s.nodes[0].autoFlag, 1);
    EXPECT_EQ(s.nodes[0].startTime, "14:00");
    EXPECT_EQ(s.nodes[0].stopTime, "23:59");
    EXPECT_EQ(s.nodes[0].delay, 10);
    EXPECT_EQ(s.nodes[3].startTime, "");
    for (std::size_t i = 0; i < nodes; ++i) {
        EXPECT_EQ(s.nodes[i].delay, static_cast<std::int32_t>(10 * (i + 1))) << i;
    }
}

std::vector<std::string> MessageTexts(const Rig& rig) {
    std::vector<std::string> out;
    for (const auto& m : rig.window.messages) {
        out.push_back(m.text);
    }
    return out;
}

TEST(SettingsFile, FirstStartShowsBothMessagesAndWritesTheDefaultFile) {
    Rig rig;
    ASSERT_FALSE(rig.Start().has_value());
    std::string expected = "0,0,0\r\n0,0,0\r\n\r\n\r\n 0 \r\n 0 \r\n";
    for (int i = 0; i < 8; ++i) {
        expected += ",0,,,0\r\n";
    }
    for (int i = 0; i < 50; ++i) {
        expected += "\r\n";
    }
    EXPECT_EQ(rig.files.Text(rig.IniPath()), expected);
    ASSERT_EQ(rig.window.messages.size(), 2u);
    EXPECT_EQ(rig.window.messages[0].text, kDamagedText);
    EXPECT_EQ(rig.window.messages[0].title, "HourMark");
    EXPECT_EQ(rig.window.messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(rig.window.messages[1].text, kRebuiltText);
    EXPECT_EQ(rig.window.messages[1].title, "HourMark");
    EXPECT_EQ(rig.window.messages[1].icon, MessageIcon::Exclamation);
    // Nothing was there to keep.
    EXPECT_EQ(rig.files.files.count(BadPath(rig)), 0u);
    EXPECT_EQ(rig.files.replaceCount, 1);
}

TEST(SettingsFile, WhatIsWrittenReadsBackWithCallsignsInUpperCase) {
    Rig rig;
    rig.files.files[rig.IniPath()] = Lines(kFourteen);
    rig.Start();
    Station& s = rig.station;
    s.cbHour.SetValue(0);
    s.cbHalfHour.SetValue(2);
    s.cbQuarterHour.SetValue(1);
    s.cbFileHour.SetValue(1);
    s.cbFileHalfHour.SetValue(0);
    s.cbFileQuarterHour.SetValue(2);
    s.SelectedWavFile = "D:\\Radio Files\\ident, long.wav";
    s.LastWavDir = " D:\\leading blank";
    s.FanRTS.SetValue(0);
    s.FanDTR.SetValue(1);
    s.nodes[0] = {"qx1ab-l", 1, "14:00", "23:59", 10};
    s.nodes[1] = {"", 0, "", "", 0};
    s.nodes[2] = {"Qx9Zz", -32768, "\"quoted", "trailing ",
                  std::numeric_limits<std::int32_t>::min()};
    s.nodes[7] = {"QX8OP", 32767, "a\"b", "x", std::numeric_limits<std::int32_t>::max()};
    s.WriteIniFile();
    const std::string written = rig.files.Text(rig.IniPath());
    EXPECT_EQ(s.nodes[0].callsign, "qx1ab-l");  // only the file's copy is upper-cased

    Rig back;
    back.files.files[back.IniPath()] = written;
    back.Start();
    EXPECT_TRUE(back.window.messages.empty());
    Station& b = back.station;
    EXPECT_EQ(b.cbHour.value(), 0);
    EXPECT_EQ(b.cbHalfHour.value(), 2);
    EXPECT_EQ(b.cbQuarterHour.value(), 1);
    EXPECT_EQ(b.cbFileHour.value(), 1);
    EXPECT_EQ(b.cbFileHalfHour.value(), 0);
    EXPECT_EQ(b.cbFileQuarterHour.value(), 2);
    EXPECT_EQ(b.SelectedWavFile, s.SelectedWavFile);
    EXPECT_EQ(b.tbFileName.text(), s.SelectedWavFile);
    EXPECT_EQ(b.LastWavDir, s.LastWavDir);
    EXPECT_EQ(b.FanRTS.value(), 0);
    EXPECT_EQ(b.FanDTR.value(), 1);
    for (std::size_t i = 0; i < kNodeCount; ++i) {
        NodeEntry want = s.nodes[i];
        for (char& c : want.callsign) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        EXPECT_EQ(b.nodes[i].callsign, want.callsign) << i;
        EXPECT_EQ(b.nodes[i].autoFlag, want.autoFlag) << i;
        EXPECT_EQ(b.nodes[i].startTime, want.startTime) << i;
        EXPECT_EQ(b.nodes[i].stopTime, want.stopTime) << i;
        EXPECT_EQ(b.nodes[i].delay, want.delay) << i;
    }
    // A second round changes nothing.
    back.station.WriteIniFile();
    EXPECT_EQ(back.files.Text(back.IniPath()), written);
}

TEST(SettingsFile, PlainValuesAreWrittenExactlyAsTheFileHasThem) {
    Rig rig;
    const std::string file = Lines(kFourteen) + EmptyLines(50);
    rig.files.files[rig.IniPath()] = file;
    rig.Start();
    rig.station.WriteIniFile();
    EXPECT_EQ(rig.files.Text(rig.IniPath()), file);
}

TEST(SettingsFile, MissingTrailerOrExtraLinesReadWithoutComplaint) {
    for (const std::string& file :
         {Lines(kFourteen), Lines(kFourteen) + EmptyLines(50) + Lines({"junk,1,2", "\"x", "9"}),
          // without the final line end
          Lines(Head(13)) + "QX8OP,0,22:00,23:00,80",
          // more fields than a node has on the last node line
          Lines(Head(13)) + "QX8OP,0,22:00,23:00,80,what,ever"}) {
        Rig rig;
        rig.files.files[rig.IniPath()] = file;
        rig.Start();
        EXPECT_TRUE(rig.window.messages.empty()) << file;
        ExpectFourteenApplied(rig.station);
        EXPECT_EQ(rig.files.Text(rig.IniPath()), file);  // not rewritten
        EXPECT_EQ(rig.files.files.count(BadPath(rig)), 0u);
    }
}

TEST(SettingsFile, FileEndingAfterFourNodesKeepsThemAndTheRestFromMemory) {
    Rig rig;
    const std::string shortFile = Lines(Head(10));
    rig.files.files[rig.IniPath()] = shortFile;
    std::string badWhenFirstMessage;
    rig.window.onMessage = [&](const Message&) {
        if (rig.window.messages.size() == 1) {
            badWhenFirstMessage = rig.files.Text(BadPath(rig));
        }
    };
    rig.station.nodes[4] = {"qx9mem", 1, "05:00", "06:00", 99};
    rig.Start();
    EXPECT_EQ(MessageTexts(rig), (std::vector<std::string>{kDamagedText, kRebuiltText}));
    ExpectFourteenApplied(rig.station, 4);
    EXPECT_EQ(rig.station.nodes[4].callsign, "qx9mem");
    EXPECT_EQ(rig.station.nodes[5].callsign, "");
    // The damaged file was kept before the operator was told.
    EXPECT_EQ(badWhenFirstMessage, shortFile);
    EXPECT_EQ(rig.files.Text(BadPath(rig)), shortFile);
    const std::string rebuilt = rig.files.Text(rig.IniPath());
    EXPECT_EQ(rebuilt, Lines(Head(10)) +
                           Lines({"QX9MEM,1,05:00,06:00,99", ",0,,,0", ",0,,,0", ",0,,,0"}) +
                           EmptyLines(50));
}

TEST(SettingsFile, BadFanValueStopsTheReadWithTheEarlierLinesApplied) {
    Rig rig;
    std::vector<std::string> lines = kFourteen;
    lines[4] = " 5 ";
    rig.files.files[rig.IniPath()] = Lines(lines);
    rig.Start();
    Station& s = rig.station;
    EXPECT_EQ(MessageTexts(rig), (std::vector<std::string>{kDamagedText, kRebuiltText}));
    EXPECT_EQ(s.cbHour.value(), 1);
    EXPECT_EQ(s.cbFileHalfHour.value(), 1);
    EXPECT_EQ(s.SelectedWavFile, "C:\\wav\\id.wav");
    EXPECT_EQ(s.LastWavDir, "C:\\wav");
    EXPECT_EQ(s.FanRTS.value(), 0);
    EXPECT_EQ(s.FanDTR.value(), 0);
    EXPECT_EQ(s.nodes[0].callsign, "");
    EXPECT_EQ(rig.files.Text(BadPath(rig)), Lines(lines));
    EXPECT_EQ(rig.files.Text(rig.IniPath()).substr(0, 47),
              "1,0,1\r\n0,1,0\r\nC:\\wav\\id.wav\r\nC:\\wav\r\n 0 \r\n 0 \r\n");
}

TEST(SettingsFile, EmptyWavLineKeepsTheShownFileName) {
    Rig rig;
    rig.files.files[rig.IniPath()] = Lines(kFourteen);
    rig.Start();
    ASSERT_EQ(rig.station.tbFileName.text(), "C:\\wav\\id.wav");
    std::vector<std::string> lines = kFourteen;
    lines[2] = "";
    rig.files.files[rig.IniPath()] = Lines(lines);
    rig.station.ReadINIFile();
    EXPECT_TRUE(rig.window.messages.empty());
    EXPECT_EQ(rig.station.SelectedWavFile, "");
    EXPECT_EQ(rig.station.tbFileName.text(), "C:\\wav\\id.wav");
}

TEST(SettingsFile, LowerCaseCallsignStaysLowerInMemoryUntilTheNextRead) {
    Rig rig;
    std::vector<std::string> lines = kFourteen;
    // Upper case is the code page's: the a with umlaut goes up too.
    lines[6] = "qx1\303\244b-l,1,14:00,23:59,10";
    rig.files.files[rig.IniPath()] = Lines(lines);
    rig.Start();
    EXPECT_EQ(rig.station.nodes[0].callsign, "qx1\303\244b-l");
    rig.station.WriteIniFile();
    EXPECT_EQ(rig.station.nodes[0].callsign, "qx1\303\244b-l");
    EXPECT_NE(rig.files.Text(rig.IniPath()).find("\r\nQX1\303\204B-L,1,14:00,23:59,10\r\n"),
              std::string::npos);
    rig.station.ReadINIFile();
    EXPECT_EQ(rig.station.nodes[0].callsign, "QX1\303\204B-L");
}

TEST(SettingsFile, ReadingReplacesUnsavedChangesAndRunsTheBoxHandlers) {
    Rig rig;
    rig.files.files[rig.IniPath()] = Lines(kFourteen);
    rig.Start();
    rig.station.cbHour.SetValue(0);
    rig.station.FanRTS.SetValue(0);
    rig.station.LastWavDir = "E:\\elsewhere";
    rig.host.ClearCalls();
    rig.station.ReadINIFile();
    EXPECT_EQ(rig.station.cbHour.value(), 1);
    EXPECT_EQ(rig.station.LastWavDir, "C:\\wav");
    // Ticking the fan box from the file checks the keying line, as a click does.
    EXPECT_EQ(rig.host.Count("SysopConfig.KeyingLine"), 2u);
    rig.host.keyingLine = 2;  // the transmitter is keyed on RTS
    rig.station.FanRTS.SetValue(0);
    rig.station.ReadINIFile();
    EXPECT_EQ(rig.station.FanRTS.value(), 0);
    EXPECT_FALSE(rig.station.FanRTS.enabled());
}

TEST(SettingsFile, ReadOnlyLoadsTheFirst64KiB) {
    // Line 3 is long enough that the limit falls between the two digits of the last delay.
    const std::string before = "0,0,0\r\n0,0,0\r\n";
    std::string after = "\r\n\r\n 0 \r\n 0 \r\n";
    for (int i = 0; i < 7; ++i) {
        after += ",0,,,0\r\n";
    }
    after += "QX,1,a,b,1";
    const std::size_t pathLength = 64 * 1024 - before.size() - after.size();
    const std::string path = "C:\\" + std::string(pathLength - 3, 'p');
    Rig rig;
    rig.files.files[rig.IniPath()] = before + path + after + "0\r\n" + EmptyLines(50);
    rig.Start();
    EXPECT_TRUE(rig.window.messages.empty());
    EXPECT_EQ(rig.station.SelectedWavFile, path);
    EXPECT_EQ(rig.station.nodes[7].delay, 1);
}

TEST(SettingsFile, UnreadableFileIsKeptAsDamaged) {
    Rig rig;
    rig.files.files[rig.IniPath()] = Lines(kFourteen);
    rig.files.failRead = true;
    rig.Start();
    EXPECT_EQ(MessageTexts(rig), (std::vector<std::string>{kDamagedText, kRebuiltText}));
    EXPECT_EQ(rig.files.Text(BadPath(rig)), Lines(kFourteen));
    EXPECT_EQ(rig.station.cbHour.value(), 0);
}

TEST(SettingsFile, DamagedFileThatCannotBeKeptIsNotReplaced) {
    Rig rig;
    const std::string damaged = Lines(Head(9));
    rig.files.files[rig.IniPath()] = damaged;
    rig.files.failCopy = true;
    rig.Start();
    ASSERT_EQ(MessageTexts(rig),
              (std::vector<std::string>{kDamagedText, kWriteError, kRebuiltText}));
    EXPECT_EQ(rig.window.messages[1].title, "File Error");
    EXPECT_EQ(rig.window.messages[1].icon, MessageIcon::Information);
    EXPECT_EQ(rig.files.Text(rig.IniPath()), damaged);
    EXPECT_EQ(rig.files.replaceCount, 0);

    // Still blocked while the copy keeps failing...
    rig.station.WriteIniFile();
    EXPECT_EQ(rig.window.messages.back().text, kWriteError);
    EXPECT_EQ(rig.files.Text(rig.IniPath()), damaged);

    // ...and the first save that can keep it replaces it.
    rig.files.failCopy = false;
    rig.window.messages.clear();
    rig.station.WriteIniFile();
    EXPECT_TRUE(rig.window.messages.empty());
    EXPECT_EQ(rig.files.Text(BadPath(rig)), damaged);
    EXPECT_EQ(rig.files.Text(rig.IniPath()).substr(0, 7), "1,0,1\r\n");

    // From then on saves copy nothing more.
    rig.files.files[BadPath(rig)] = "older";
    rig.station.WriteIniFile();
    EXPECT_EQ(rig.files.Text(BadPath(rig)), "older");
}

TEST(SettingsFile, DamagedFileGoneBeforeTheNextSaveNoLongerBlocksIt) {
    Rig rig;
    rig.files.files[rig.IniPath()] = "garbage";
    rig.files.failCopy = true;
    rig.Start();
    rig.files.files.erase(rig.IniPath());
    rig.window.messages.clear();
    rig.station.WriteIniFile();
    EXPECT_TRUE(rig.window.messages.empty());
    EXPECT_EQ(rig.files.files.count(rig.IniPath()), 1u);
}

TEST(SettingsFile, ADamagedFileReplacesAnOlderCopy) {
    Rig rig;
    rig.files.files[BadPath(rig)] = "from last week";
    rig.files.files[rig.IniPath()] = "1,0";
    rig.Start();
    EXPECT_EQ(rig.files.Text(BadPath(rig)), "1,0");
    // A missing file leaves an older copy alone.
    rig.files.files.erase(rig.IniPath());
    rig.station.ReadINIFile();
    EXPECT_EQ(rig.files.Text(BadPath(rig)), "1,0");
}

TEST(SettingsFile, FailedSaveLeavesThePreviousFileWhole) {
    Rig rig;
    rig.files.files[rig.IniPath()] = Lines(kFourteen);
    rig.Start();
    rig.files.failReplace = true;
    rig.station.cbHour.SetValue(0);
    rig.station.WriteIniFile();
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.window.messages[0].text, kWriteError);
    EXPECT_EQ(rig.window.messages[0].title, "File Error");
    EXPECT_EQ(rig.window.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(rig.files.Text(rig.IniPath()), Lines(kFourteen));
    EXPECT_EQ(rig.station.cbHour.value(), 0);
}

TEST(SettingsFile, UnwritableDirectoryGivesTheWriteErrorBetweenTheTwoMessages) {
    Rig rig;
    rig.files.failReplace = true;
    ASSERT_FALSE(rig.Start().has_value());
    EXPECT_EQ(MessageTexts(rig),
              (std::vector<std::string>{kDamagedText, kWriteError, kRebuiltText}));
    EXPECT_TRUE(rig.files.files.empty());
}

TEST(SettingsFile, CloseDuringTheFirstMessageSavesOverAKeptCopy) {
    Rig rig;
    const std::string damaged = Lines(Head(7));
    rig.files.files[rig.IniPath()] = damaged;
    rig.window.onMessage = [&](const Message& m) {
        if (m.text == kDamagedText) {
            rig.station.Close();
        }
    };
    auto exit = rig.Start();
    ASSERT_TRUE(exit.has_value());
    EXPECT_EQ(*exit, 0);
    EXPECT_EQ(MessageTexts(rig), std::vector<std::string>{kDamagedText});
    EXPECT_EQ(rig.files.Text(BadPath(rig)), damaged);
    // The close saved a whole file over the damaged one, holding what had been read of it.
    const std::string saved = rig.files.Text(rig.IniPath());
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 64) << saved;
    EXPECT_EQ(saved.substr(0, damaged.size()), damaged);
}

TEST(SettingsFile, HostFailureWhileApplyingIsNotADamagedFile) {
    Rig rig;
    rig.files.files[rig.IniPath()] = Lines(kFourteen);
    rig.Start();
    // Clear the fan box so that reading it back ticks it and asks the host.
    rig.station.FanRTS.SetValue(0);
    rig.station.LastWavDir = "E:\\kept";
    rig.station.nodes[0].callsign = "untouched";
    std::vector<std::string> lines = Head(11);  // damaged further on, too
    lines[3] = "C:\\new";
    rig.files.files[rig.IniPath()] = Lines(lines);
    rig.host.Fail("SysopConfig.KeyingLine");
    rig.window.messages.clear();
    EXPECT_THROW(rig.station.ReadINIFile(), HostFailure);
    EXPECT_TRUE(rig.window.messages.empty());
    EXPECT_EQ(rig.files.files.count(BadPath(rig)), 0u);
    EXPECT_EQ(rig.files.Text(rig.IniPath()), Lines(lines));
    EXPECT_EQ(rig.station.LastWavDir, "C:\\new");  // applied before the failing box
    EXPECT_EQ(rig.station.nodes[0].callsign, "untouched");

    // At start-up the same failure ends the program without touching the file.
    Rig start;
    start.files.files[start.IniPath()] = Lines(lines);
    start.host.Fail("SysopConfig.KeyingLine");
    ASSERT_TRUE(start.Start().has_value());
    ASSERT_EQ(start.window.messages.size(), 1u);
    EXPECT_NE(start.window.messages[0].text.find("SysopConfig.KeyingLine"), std::string::npos);
    EXPECT_EQ(start.files.Text(start.IniPath()), Lines(lines));
    EXPECT_EQ(start.files.files.count(BadPath(start)), 0u);
}

}  // namespace
}  // namespace hourmark::test
