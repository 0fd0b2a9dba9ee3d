#pragma once
// CMessageBoxWnd: the framework's message box. A window built from the built-in skeleton markup
// with a caption band holding the title, an icon, the text (line breaks kept, long lines wrapped
// to the box's width) and the buttons the caller asks for. Shown modal with its owner disabled
// and centred on it. Escape closes it as every framework window does; a box closed without a
// button answers with its "no" answer (Cancel for OK alone is not offered, so OK), never "yes".
// Return presses the focused button, which is the default one. UI thread only.

#include "pane/utils/WindowImplBase.h"

#include <string>

namespace Pane {

enum class MessageIcon { None, Information, Warning, Error };
enum class MessageButtons { Ok, YesNo, OkCancel };

// The answers, as the platform numbers them.
enum MessageResult : plat::UINT {
    kMessageOk = 1,
    kMessageCancel = 2,
    kMessageYes = 6,
    kMessageNo = 7,
};

class CMessageBoxWnd : public WindowImplBase {
public:
    // Width of the box; the height follows from the text.
    static constexpr int kWidth = 380;

    CMessageBoxWnd(std::string text, std::string caption, MessageIcon icon, MessageButtons buttons);

    // Creates the box owned by `owner` (may be null), shows it modal and returns the answer.
    static plat::UINT Show(plat::HWND owner, const char* text, const char* caption,
                           MessageIcon icon = MessageIcon::Information,
                           MessageButtons buttons = MessageButtons::Ok);

    // Creates the native window (hidden), builds the tree and sizes and centres it.
    bool CreateBox(plat::HWND owner);
    // The answer when the box closed now: the button pressed, else the "no" answer.
    plat::UINT Answer() const;

    void Notify(NotifyMessage& msg) override;

protected:
    const char* GetWindowClassName() const override { return "PaneMessageBox"; }
    void InitWindow() override;

private:
    std::string m_text;
    std::string m_caption;
    MessageIcon m_icon;
    MessageButtons m_buttons;
    plat::UINT m_answer = 0;
};

} // namespace Pane
