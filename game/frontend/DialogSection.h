#pragma once

namespace kernel {
class NodeValue;
}

namespace game {

// The resource section of one kind of dialog, read as such a dialog is made and let go when the last of
// them has gone: a dialog that play opens now and then need not hold its pictures through the whole game.
// A dialog's parts take their pictures as they are built, so the section is read before them, on the
// making thread, waiting for what the loader is reading of it already.
class DialogSection {
public:
    explicit constexpr DialogSection(const char* name) : name(name) {}

    // For a dialog's base constructor: reads what of the section is not loaded and counts the dialog.
    kernel::NodeValue& readFor(kernel::NodeValue& settings);
    // From a dialog's destructor: the last one unloads the section.
    void letGo();
    // Asks the loader for the section, ahead of a dialog about to be made.
    void readAhead() const;

    int dialogCount() const { return holders; }

private:
    const char* name;
    int holders = 0;
};

} // namespace game
