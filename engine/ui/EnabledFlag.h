#pragma once

namespace ui {

// A widget's own enabled flag: its look (the disabled frame) and whether a press on it counts. The
// widget's input listener part keeps a separate flag under the same names, which decides whether input
// reaches the widget at all; a disabled button must still hear a press to play its disabled sound. A
// widget therefore brings these in with using-declarations: declaring setEnabled itself would override
// the listener's and merge the two flags.
class EnabledFlag {
public:
    EnabledFlag() = default;
    EnabledFlag(const EnabledFlag&) = delete;
    EnabledFlag& operator=(const EnabledFlag&) = delete;

    bool isEnabled() const { return enabled; }
    // Only a change reaches the widget.
    void setEnabled(bool value);

protected:
    ~EnabledFlag();
    // The widget shows the frame of its state for the new flag.
    virtual void onEnabledChanged() = 0;

private:
    bool enabled = true;
};

} // namespace ui
