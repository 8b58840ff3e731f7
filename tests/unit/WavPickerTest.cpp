#include <gtest/gtest.h>

#include "fakes/FakePorts.h"
#include "schedule/WavPicker.h"

namespace hourmark::test {
namespace {

struct PickerRig : Rig {
    PickerRig() {
        enabledTimers = {};
        files.drives = {"a:", "c:", "d:"};
        files.driveDirectory = {{"c:", "C:\\"}, {"d:", "D:\\"}};  // a: has no medium
        files.directories = {"C:\\", "C:\\HourMark", "C:\\HourMark\\wavs", "C:\\HourMark\\Wavs2",
                             "D:\\", "D:\\Sounds"};
        for (const char* f : {"C:\\HourMark\\wavs\\B.WAV", "C:\\HourMark\\wavs\\a.wav",
                              "C:\\HourMark\\wavs\\c.txt", "C:\\HourMark\\wavs\\d.wave",
                              "C:\\HourMark\\wavs\\.wav", "C:\\x.wav", "D:\\Sounds\\id.Wav"}) {
            files.files[f] = "RIFF";
        }
        Start();
        window.messages.clear();  // the first start's settings messages
    }
    frmSelect& Picker() { return *station.WavPicker(); }
    void Open(const std::function<void(frmSelect&)>& script) {
        window.onDialog = [this, script](Dialog) { script(Picker()); };
        station.OpenWavPicker();
    }
    void Operator(const std::function<void()>& action) { station.DialogInput(action); }
};

TEST(WavPicker, OpensInTheLastDirectoryWhileItExistsElseInTheProgramDirectory) {
    struct Case {
        std::string last, dir, drive;
        std::vector<std::string> wavs;
    };
    for (const Case& c : std::vector<Case>{
             {"", "C:\\HourMark", "c:", {}},
             {"D:\\Sounds", "D:\\Sounds", "d:", {"id.Wav"}},
             {"E:\\gone", "C:\\HourMark", "c:", {}},
             {"C:\\HourMark\\wavs", "C:\\HourMark\\wavs", "c:", {".wav", "a.wav", "B.WAV"}}}) {
        PickerRig rig;
        rig.station.LastWavDir = c.last;
        rig.Open([&](frmSelect& p) {
            EXPECT_EQ(p.drive, c.drive) << c.last;
            EXPECT_EQ(p.dirPath, c.dir) << c.last;
            EXPECT_EQ(p.filPath, c.dir) << c.last;
            EXPECT_EQ(p.files, c.wavs) << c.last;
            EXPECT_EQ(p.drives, rig.files.drives);
        });
        EXPECT_EQ(rig.station.LastWavDir, c.dir);  // remembered on every close
        EXPECT_EQ(rig.station.WavPicker(), nullptr);
    }
}

TEST(WavPicker, ListsFollowTheDriveAndTheDirectory) {
    PickerRig rig;
    rig.Open([&](frmSelect& p) {
        int changes = 0;
        p.changed = [&] { ++changes; };
        EXPECT_EQ(p.subdirectories, (std::vector<std::string>{"wavs", "Wavs2"}));
        EXPECT_TRUE(p.SetDirPath(p.SubdirectoryPath("wavs")));
        EXPECT_EQ(p.filPath, "C:\\HourMark\\wavs");
        EXPECT_EQ(p.PathLevels(),
                  (std::vector<std::string>{"C:\\", "C:\\HourMark", "C:\\HourMark\\wavs"}));
        changes = 0;
        EXPECT_TRUE(p.SetDirPath("C:\\HourMark\\wavs"));  // already there: nothing is raised
        p.SetDrive("c:");
        EXPECT_FALSE(p.SetDirPath("C:\\nowhere"));
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(p.dirPath, "C:\\HourMark\\wavs");

        rig.Operator([&] { p.SetDrive("d:"); });
        EXPECT_EQ(p.dirPath, "D:\\");
        EXPECT_EQ(p.SubdirectoryPath("Sounds"), "D:\\Sounds");
        p.SetDirPath("D:\\Sounds");
        // A drive without a medium: back to the drive shown, silently.
        rig.Operator([&] { p.SetDrive("a:"); });
        EXPECT_EQ(p.drive, "d:");
        EXPECT_EQ(p.dirPath, "D:\\");
        EXPECT_EQ(p.filPath, "D:\\");
        // When the drive shown cannot be read either, the fall-back stops there.
        rig.files.driveDirectory.erase("d:");
        rig.Operator([&] { p.SetDrive("a:"); });
        EXPECT_EQ(p.drive, "d:");
        EXPECT_EQ(p.dirPath, "D:\\");
    });
    EXPECT_TRUE(rig.window.messages.empty());
    EXPECT_EQ(rig.station.LastWavDir, "D:\\");
}

TEST(WavPicker, ConfirmJoinsListPathAndHighlightedName) {
    struct Case {
        std::string dir;
        int highlighted;
        bool doubleClick;
        std::string selected;
    };
    for (const Case& c :
         std::vector<Case>{{"C:\\HourMark\\wavs", 2, false, "C:\\HourMark\\wavs\\B.WAV"},
                           {"C:\\HourMark\\wavs", 2, true, "C:\\HourMark\\wavs\\B.WAV"},
                           {"C:\\HourMark\\wavs", -1, false, "C:\\HourMark\\wavs\\"},
                           {"C:\\HourMark", 0, false, "C:\\HourMark\\"},
                           {"C:\\", 0, true, "C:\\\\x.wav"}}) {
        PickerRig rig;
        rig.Open([&](frmSelect& p) {
            p.SetDirPath(c.dir);
            p.highlighted = c.highlighted;
            rig.Operator([&] { c.doubleClick ? p.filList_DblClick() : p.Command1_Click(); });
            EXPECT_EQ(rig.window.showing.count(Dialog::WavPicker), 0u);
        });
        EXPECT_EQ(rig.station.SelectedWavFile, c.selected);
        EXPECT_EQ(rig.station.LastWavDir, c.dir);
    }

    // The close box keeps the chosen file and still remembers where the picker was.
    PickerRig rig;
    rig.station.SelectedWavFile = "C:\\x.wav";
    rig.Open([&](frmSelect& p) { p.SetDirPath("C:\\HourMark\\Wavs2"); });
    EXPECT_EQ(rig.station.SelectedWavFile, "C:\\x.wav");
    EXPECT_EQ(rig.station.LastWavDir, "C:\\HourMark\\Wavs2");

    // A picker that could show no directory (the remembered one gone, the program's own drive
    // unreadable) keeps the remembered one, closed by Select or by the close box.
    for (bool select : {true, false}) {
        PickerRig lost;
        lost.files.driveDirectory.erase("c:");
        lost.files.directories.erase("C:\\HourMark");
        lost.station.LastWavDir = "E:\\gone";
        lost.Open([&](frmSelect& p) {
            EXPECT_EQ(p.dirPath, "");
            if (select) {
                lost.Operator([&] { p.Command1_Click(); });
            }
        });
        EXPECT_EQ(lost.station.LastWavDir, "E:\\gone") << select;
    }
}

}  // namespace
}  // namespace hourmark::test
