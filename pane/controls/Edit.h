#pragma once
// CEditUI: a single-line text field. Unfocused it paints like a label (state images, text,
// password masking); focused it opens a CEditWnd, a native edit window laid exactly over its
// text area, and copies every change made there back into its text. UI thread only.

#include "pane/controls/Label.h"
#include "pane/core/WindowWnd.h"
#include "platform/win/Edit.h"

#include <cstdint>

namespace Pane {

class CEditUI;

// The native editor of one CEditUI: a child window of the manager's host window superclassing
// the platform's "Edit" class. Created by its owner on focus, it closes itself when it loses the
// focus and deletes itself once its window is gone (clearing the owner's pointer to it).
class CEditWnd : public CWindowWnd {
public:
    CEditWnd() = default;

    // Creates the window over the owner's text area and gives it the keyboard focus. False when
    // the window cannot be created (the object is then still the caller's).
    bool Init(CEditUI* owner);
    // The owner's rectangle shrunk by its text padding, then narrowed to the font's height and
    // centred vertically when the font is lower than that.
    plat::RECT CalPos() const;
    // Cuts the tie to an owner that is going away; the window then closes on its own.
    void Detach() { m_owner = nullptr; }

protected:
    const char* GetWindowClassName() const override;
    const char* GetSuperClassName() const override;
    plat::LRESULT HandleMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) override;
    void OnFinalMessage(plat::HWND hWnd) override;

private:
    plat::LRESULT OnEditChanged(plat::WPARAM wParam);
    plat::LRESULT OnControlColor(plat::WPARAM wParam);

    CEditUI* m_owner = nullptr;
    plat::HBRUSH m_hBkBrush = nullptr;
    bool m_init = false;
};

class CEditUI : public CLabelUI {
    friend class CEditWnd;

public:
    CEditUI();
    ~CEditUI() override;

    const char* ClassName() const override;
    void* Interface(const char* name) override;
    unsigned int ControlFlags() const override;

    void SetEnabled(bool enabled = true) override;
    void SetText(const char* text) override;
    void SetPosition(plat::RECT rc) override;
    void SetVisible(bool visible = true) override;
    void SetInnerVisible(bool visible = true) override;

    void SetMaxChar(int max);
    int GetMaxChar() const { return m_maxChar; }
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const { return m_readOnly; }
    void SetNumberOnly(bool numberOnly);
    bool IsNumberOnly() const { return (m_windowStyles & plat::ES_NUMBER) != 0; }
    plat::DWORD GetWindowStyles() const { return m_windowStyles; }
    void SetPasswordMode(bool password);
    bool IsPasswordMode() const { return m_password; }
    void SetPasswordChar(char ch);
    char GetPasswordChar() const { return m_passwordChar; }

    const CUIString& GetNormalImage() const { return m_normalImage; }
    void SetNormalImage(const char* image);
    const CUIString& GetHotImage() const { return m_hotImage; }
    void SetHotImage(const char* image);
    const CUIString& GetFocusedImage() const { return m_focusedImage; }
    void SetFocusedImage(const char* image);
    const CUIString& GetDisabledImage() const { return m_disabledImage; }
    void SetDisabledImage(const char* image);
    uint32_t GetNativeEditBkColor() const { return m_nativeBkColor; }
    void SetNativeEditBkColor(uint32_t color) { m_nativeBkColor = color; }

    // The open native editor, or null.
    CEditWnd* GetEditWindow() const { return m_window; }
    uint32_t GetState() const { return m_state; }

    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;
    plat::SIZE MeasureSize(plat::SIZE available) override;
    void PaintStatusImage(plat::HDC hDC) override;
    void PaintText(plat::HDC hDC) override;

    // State word bits.
    static constexpr uint32_t kStateFocused = 0x01;
    static constexpr uint32_t kStateDisabled = 0x04;
    static constexpr uint32_t kStateHot = 0x08;

private:
    // Opens the native editor; false when its window could not be made.
    bool OpenEditor();
    // Draws an image of the state description; a failing one is emptied so it is not tried
    // again at every paint.
    bool DrawStateImage(plat::HDC hDC, CUIString& image);

    CEditWnd* m_window = nullptr;
    int m_maxChar = 255;
    bool m_readOnly = false;
    bool m_password = false;
    char m_passwordChar = '*';
    uint32_t m_state = 0;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
    uint32_t m_nativeBkColor = 0xFFFFFFFF;
    plat::DWORD m_windowStyles = 0;
};

} // namespace Pane
