#pragma once
// The interfaces through which the radio code sees the controls that show its parameters: a
// text field, a drop-down selector and a label. The main window implements them on its
// controls, the command-line tool and the tests on plain objects (PlainFields.h). Every call
// is made on the thread that owns the controls (the window's thread).

#include <cstdint>
#include <functional>
#include <string>

namespace radio {

// An ARGB or RGB colour as the controls take it; 0 means "the control's default colour".
using Colour = uint32_t;

// One line of editable text (frequencies, addresses, identity texts).
class ITextField {
public:
    virtual ~ITextField() = default;

    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;

    // A disabled field takes no input (the unlockable identity fields, the unused slots).
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;

    // Gives the field the keyboard focus (after an invalid entry was refused).
    virtual void setFocus() = 0;
};

// A drop-down selection: an ordered list of entry texts and at most one selected entry.
class ISelector {
public:
    // Called synchronously after the selection changed to an entry (not when it was cleared).
    using ChangeHandler = std::function<void(int newIndex)>;

    virtual ~ISelector() = default;

    // Removes every entry; the selection becomes -1 without a change notification.
    virtual void clear() = 0;
    virtual void add(const std::string& text) = 0;
    virtual int count() const = 0;
    // The text of entry `index`, empty for an index outside the entries.
    virtual std::string entryText(int index) const = 0;

    // The selected index, -1 when nothing is selected.
    virtual int selected() const = 0;
    // The text of the selected entry, empty when nothing is selected.
    std::string selectedText() const { return entryText(selected()); }

    // The drop-down's selection rules:
    // - selecting the index already selected does nothing;
    // - otherwise the current selection is dropped first; a negative index then leaves
    //   nothing selected (no notification);
    // - an index past the last entry selects the last entry;
    // - the new selection takes effect at once and the change handler runs before select()
    //   returns.
    virtual void select(int index) = 0;
    virtual void setChangeHandler(ChangeHandler handler) = 0;

    // Makes the selector display " UNKNOW" in place of its selected entry (a radio that names
    // no known protocol). The entries and the selection are not touched; the next change of
    // the selection or of the entries shows the selected entry again.
    virtual void showUnknown() = 0;
    // What the selector displays: " UNKNOW" while showUnknown() is in force, otherwise the
    // selected entry's text.
    virtual std::string displayText() const = 0;

    // The colour of the displayed text; 0 restores the control's default colours.
    virtual void setTextColour(Colour colour) = 0;
    virtual Colour textColour() const = 0;

    // A selector that ignores the mouse cannot be opened or changed by the user; the program
    // can still select.
    virtual void setMouseEnabled(bool enabled) = 0;
    virtual bool isMouseEnabled() const = 0;
};

// A static text beside a field (the caption that names it in messages).
class ILabel {
public:
    virtual ~ILabel() = default;

    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual void setTextColour(Colour colour) = 0;
    virtual Colour textColour() const = 0;
};

} // namespace radio
