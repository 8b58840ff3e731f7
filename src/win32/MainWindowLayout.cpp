#include "win32/MainWindowLayout.h"

namespace hourmark::win32 {

namespace {

using K = ControlKind;
using F = FontSize;
using C = Control;

LaidOutControl Modelled(const wchar_t* name, K kind, const wchar_t* container, TwipRect rect,
                        F font, C control) {
    return {name, kind, container, rect, font, control, nullptr, true, ControlId(control)};
}

LaidOutControl Frame(const wchar_t* name, const wchar_t* caption, TwipRect rect, F font, int id) {
    return {name, K::Frame, nullptr, rect, font, std::nullopt, caption, true, id};
}

std::vector<LaidOutControl> Build() {
    std::vector<LaidOutControl> s;
    s.push_back(Modelled(L"Label1", K::Label, nullptr, {360, 0, 4695, 255}, F::Small, C::Label1));

    s.push_back(Frame(L"fraXmitTime", L"Xmit Time", {120, 240, 1695, 1095}, F::Normal, 301));
    s.push_back(Modelled(L"cbHour", K::CheckBox, L"fraXmitTime", {120, 240, 975, 255}, F::Normal,
                         C::cbHour));
    s.push_back(Modelled(L"cbHalfHour", K::CheckBox, L"fraXmitTime", {120, 480, 1215, 255},
                         F::Normal, C::cbHalfHour));
    s.push_back(Modelled(L"cbQuarterHour", K::CheckBox, L"fraXmitTime", {120, 720, 1455, 255},
                         F::Normal, C::cbQuarterHour));

    s.push_back(Frame(L"fraXmitFile", L"Xmit File", {2040, 240, 1695, 1095}, F::Normal, 302));
    s.push_back(Modelled(L"cbFileHour", K::CheckBox, L"fraXmitFile", {120, 240, 975, 255},
                         F::Normal, C::cbFileHour));
    s.push_back(Modelled(L"cbFileHalfHour", K::CheckBox, L"fraXmitFile", {120, 480, 1215, 255},
                         F::Normal, C::cbFileHalfHour));
    s.push_back(Modelled(L"cbFileQuarterHour", K::CheckBox, L"fraXmitFile", {120, 720, 1455, 255},
                         F::Normal, C::cbFileQuarterHour));

    s.push_back(Frame(L"fraFan", L"Fan", {3840, 240, 1595, 615}, F::Normal, 303));
    s.push_back(
        Modelled(L"FanRTS", K::CheckBox, L"fraFan", {120, 240, 735, 255}, F::Normal, C::FanRTS));
    s.push_back(
        Modelled(L"FanDTR", K::CheckBox, L"fraFan", {840, 240, 725, 255}, F::Normal, C::FanDTR));

    s.push_back(
        Modelled(L"CMDFile", K::Button, nullptr, {3840, 960, 1335, 375}, F::Normal, C::CMDFile));
    s.push_back(
        Modelled(L"CMDTime", K::Button, nullptr, {480, 1440, 1335, 375}, F::Normal, C::CMDTime));
    s.push_back(
        Modelled(L"XMIT_LED", K::Picture, nullptr, {120, 1500, 225, 225}, F::Normal, C::XMIT_LED));
    s.push_back(Modelled(L"tbFileName", K::TextBox, nullptr, {2040, 1440, 2535, 285}, F::Normal,
                         C::tbFileName));
    s.push_back(Modelled(L"cmdFileSelect", K::Button, nullptr, {4680, 1440, 735, 375}, F::Normal,
                         C::cmdFileSelect));

    s.push_back(Frame(L"fraRemoteNodes", L"Remote Nodes", {53, 1920, 5535, 1215}, F::Small, 304));
    static const wchar_t* const nodeNames[] = {
        L"cmdRemoteNode(0)", L"cmdRemoteNode(1)", L"cmdRemoteNode(2)", L"cmdRemoteNode(3)",
        L"cmdRemoteNode(4)", L"cmdRemoteNode(5)", L"cmdRemoteNode(6)", L"cmdRemoteNode(7)"};
    const int lefts[] = {130, 1450, 2770, 4090};
    for (int i = 0; i < 8; ++i) {
        s.push_back(Modelled(nodeNames[i], K::Button, L"fraRemoteNodes",
                             {lefts[i % 4], i < 4 ? 240 : 560, 1300, 300}, F::Small,
                             RemoteNodeControl(i)));
    }
    s.push_back(Modelled(L"cbAutoOverride", K::CheckBox, L"fraRemoteNodes", {1680, 920, 2535, 195},
                         F::Normal, C::cbAutoOverride));
    s.push_back(Modelled(L"lblTime", K::Label, L"fraRemoteNodes", {4560, 915, 855, 255}, F::Normal,
                         C::lblTime));

    // Below the bottom edge of the window: out of sight, but reached with Tab.
    s.push_back(Frame(L"fraRecording", L"Recording", {120, 3240, 5535, 700}, F::Small, 305));
    s.push_back(Modelled(L"cbRecordStart", K::Button, L"fraRecording", {240, 240, 1215, 300},
                         F::Small, C::cbRecordStart));
    s.push_back(Modelled(L"cbRecordStop", K::Button, L"fraRecording", {1560, 240, 1215, 300},
                         F::Small, C::cbRecordStop));
    s.push_back(Modelled(L"cbRecordPlayback", K::Button, L"fraRecording", {2880, 240, 1215, 300},
                         F::Small, C::cbRecordPlayback));

    s.push_back({L"GREEN_LED",
                 K::Picture,
                 nullptr,
                 {3360, 4800, 225, 225},
                 F::Normal,
                 std::nullopt,
                 nullptr,
                 false,
                 401});
    s.push_back({L"RED_LED",
                 K::Picture,
                 nullptr,
                 {3720, 4800, 225, 225},
                 F::Normal,
                 std::nullopt,
                 nullptr,
                 false,
                 402});
    return s;
}

}  // namespace

const std::vector<LaidOutControl>& MainWindowControls() {
    static const std::vector<LaidOutControl> controls = Build();
    return controls;
}

}  // namespace hourmark::win32
