// The settings file beside the program: restored into the window at start-up and whenever the
// node setup opens, saved at close and when the node setup is confirmed.
//
// A save replaces the file whole or not at all. A file that fails to read is copied aside as
// "hourmark.ini.bad" before anything else happens (a close during the first message saves), and
// as long as that copy has not been made no save may replace the file: what the operator had in
// it is never lost to the rebuilt one.
#include <optional>

#include "console/Station.h"
#include "settings/SettingsFields.h"

namespace hourmark {

namespace {

std::string SettingsPath(Station& station) {
    return station.ProgramDirectory() + "\\hourmark.ini";
}

std::string DamagedCopyPath(const std::string& settingsPath) {
    return settingsPath + ".bad";
}

SettingsValues CurrentSettings(const Station& s) {
    SettingsValues v;
    v.schedule = {s.cbHour.value(),     s.cbHalfHour.value(),     s.cbQuarterHour.value(),
                  s.cbFileHour.value(), s.cbFileHalfHour.value(), s.cbFileQuarterHour.value()};
    v.selectedWavFile = s.SelectedWavFile;
    v.lastWavDir = s.LastWavDir;
    v.fanRts = s.FanRTS.value();
    v.fanDtr = s.FanDTR.value();
    v.nodes = s.nodes;
    return v;
}

// Puts the fields that were read into the window, in file order, each as soon as it is reached,
// so that the click handling a box runs sees the boxes before it already set. A host failure in
// that handling leaves the fields after it untouched and goes on to the caller.
void ApplySettings(Station& s, const ParsedSettings& parsed) {
    const SettingsValues& v = parsed.values;
    int field = 0;
    auto reached = [&] { return field++ < parsed.fieldsRead; };

    CheckBox* const schedule[] = {&s.cbHour,     &s.cbHalfHour,     &s.cbQuarterHour,
                                  &s.cbFileHour, &s.cbFileHalfHour, &s.cbFileQuarterHour};
    for (std::size_t i = 0; i < v.schedule.size(); ++i) {
        if (!reached()) {
            return;
        }
        schedule[i]->SetValue(v.schedule[i]);
    }
    if (!reached()) {
        return;
    }
    s.SelectedWavFile = v.selectedWavFile;
    if (!s.SelectedWavFile.empty()) {
        s.tbFileName.SetText(s.SelectedWavFile);
    }
    if (!reached()) {
        return;
    }
    s.LastWavDir = v.lastWavDir;
    if (!reached()) {
        return;
    }
    s.FanRTS.SetValue(v.fanRts);
    if (!reached()) {
        return;
    }
    s.FanDTR.SetValue(v.fanDtr);
    for (std::size_t i = 0; i < s.nodes.size(); ++i) {
        const NodeEntry& from = v.nodes[i];
        NodeEntry& to = s.nodes[i];
        if (!reached()) {
            return;
        }
        to.callsign = from.callsign;
        if (!reached()) {
            return;
        }
        to.autoFlag = from.autoFlag;
        if (!reached()) {
            return;
        }
        to.startTime = from.startTime;
        if (!reached()) {
            return;
        }
        to.stopTime = from.stopTime;
        if (!reached()) {
            return;
        }
        to.delay = from.delay;
    }
}

}  // namespace

void Station::ReadINIFile() {
    Files& f = files();
    const std::string path = SettingsPath(*this);
    const std::optional<std::string> text = f.ReadText(path, kSettingsMaxBytes);
    ParsedSettings parsed;
    if (text) {
        parsed = ParseSettings(*text);
    } else {
        parsed.problem = FieldProblem::Missing;
    }
    ApplySettings(*this, parsed);
    if (parsed.Complete()) {
        damagedSettingsUnkept = false;
        return;
    }
    // A missing file holds nothing to keep; one that is there but unreadable or damaged does.
    const bool present = text.has_value() || f.Exists(path);
    damagedSettingsUnkept = present && !f.CopyFile(path, DamagedCopyPath(path));

    ShowMessage(
        "The file HourMark.Ini is Missing or Corrupted\r\n"
        "    The program will create a new INI file.",
        MessageIcon::Stop);
    WriteIniFile();
    ShowMessage("New INI File Created\r\n Reconfigure your setup", MessageIcon::Exclamation);
}

void Station::WriteIniFile() {
    Files& f = files();
    const std::string path = SettingsPath(*this);
    if (damagedSettingsUnkept && (!f.Exists(path) || f.CopyFile(path, DamagedCopyPath(path)))) {
        damagedSettingsUnkept = false;
    }
    if (damagedSettingsUnkept ||
        !f.ReplaceText(path, FormatSettings(CurrentSettings(*this), [&f](const std::string& call) {
                           return f.UpperCase(call);
                       }))) {
        ShowMessage("Error Writing .INI File", MessageIcon::Information, "File Error");
    }
}

}  // namespace hourmark
