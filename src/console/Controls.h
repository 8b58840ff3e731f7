// The controls of the main window as the core models them. The Windows layer draws them from
// this model and hands the operator's actions back to the core.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace hourmark {

enum class Control {
    Caption,  // the main window's own caption
    Label1,
    cbHour,
    cbHalfHour,
    cbQuarterHour,
    cbFileHour,
    cbFileHalfHour,
    cbFileQuarterHour,
    FanRTS,
    FanDTR,
    CMDFile,
    CMDTime,
    XMIT_LED,
    tbFileName,
    cmdFileSelect,
    cmdRemoteNode0,
    cmdRemoteNode1,
    cmdRemoteNode2,
    cmdRemoteNode3,
    cmdRemoteNode4,
    cmdRemoteNode5,
    cmdRemoteNode6,
    cmdRemoteNode7,
    cbAutoOverride,
    lblTime,
    cbRecordStart,
    cbRecordStop,
    cbRecordPlayback,
};

inline Control RemoteNodeControl(int index) {
    return static_cast<Control>(static_cast<int>(Control::cmdRemoteNode0) + index);
}

enum class Led { Red, Green };

using ControlNotify = std::function<void(Control)>;

// A check box: 0 clear, 1 ticked, 2 greyed (counts as not ticked). Setting the value from code
// runs the click handler when the value changes, as the operator's click does.
class CheckBox {
public:
    CheckBox(Control id, std::string caption) : id_(id), caption_(std::move(caption)) {}

    void Bind(ControlNotify notify, std::function<void()> onClick) {
        notify_ = std::move(notify);
        onClick_ = std::move(onClick);
    }
    Control id() const { return id_; }
    const std::string& caption() const { return caption_; }
    std::int16_t value() const { return value_; }
    bool ticked() const { return value_ == 1; }
    bool enabled() const { return enabled_; }

    void SetValue(std::int16_t value) {
        if (value == value_) {
            return;
        }
        value_ = value;
        if (notify_) {
            notify_(id_);
        }
        if (onClick_) {
            onClick_();
        }
    }
    void SetEnabled(bool enabled) {
        if (enabled == enabled_) {
            return;
        }
        enabled_ = enabled;
        if (notify_) {
            notify_(id_);
        }
    }
    // The operator's click on an enabled box: a ticked or greyed box clears, a clear one ticks.
    void Click() {
        if (enabled_) {
            SetValue(value_ == 0 ? 1 : 0);
        }
    }

private:
    Control id_;
    std::string caption_;
    std::int16_t value_ = 0;
    bool enabled_ = true;
    ControlNotify notify_;
    std::function<void()> onClick_;
};

// A push button, a label or a text box: a text and an enabled flag.
class TextControl {
public:
    TextControl(Control id, std::string text) : id_(id), text_(std::move(text)) {}
    void Bind(ControlNotify notify) { notify_ = std::move(notify); }
    Control id() const { return id_; }
    const std::string& text() const { return text_; }
    bool enabled() const { return enabled_; }
    void SetText(const std::string& text) {
        if (text == text_) {
            return;
        }
        text_ = text;
        if (notify_) {
            notify_(id_);
        }
    }
    // Puts the text on the screen even when the model holds it already: the window may show
    // something else, such as what the operator typed into a text box.
    void ShowText(const std::string& text) {
        text_ = text;
        if (notify_) {
            notify_(id_);
        }
    }
    void SetEnabled(bool enabled) {
        if (enabled == enabled_) {
            return;
        }
        enabled_ = enabled;
        if (notify_) {
            notify_(id_);
        }
    }

private:
    Control id_;
    std::string text_;
    bool enabled_ = true;
    ControlNotify notify_;
};

}  // namespace hourmark
