#pragma once
// CRichEditUI: a container whose text area is the platform's multi-line edit, a child window
// kept over the control by its text host CTxtWinHost. The control holds the style word (multi
// line, scrolling, read-only, password, alignment), the tab, Return and Ctrl+Return wishes, the
// length limit, the font index and the text colour; the host applies them to the edit when the
// control is initialised and whenever they change later. Several lines wrap at the edge unless
// sideways scrolling is asked for. With WS_VSCROLL the control's own vertical scroll bar stands
// beside the text and follows it (always there with ES_DISABLENOSCROLL, disabled while the text
// fits; otherwise only while the text is taller than the view); the wheel scrolls the text. The
// text is plain: one font and one colour for all of it. UI thread only.

#include "pane/core/Container.h"
#include "pane/core/WindowWnd.h"
#include "platform/win/Edit.h"

#include <cstdint>
#include <memory>

namespace Pane {

class CRichEditUI;

// The text host: the platform "Edit" window under the control. It turns Return into the
// control's "return" notification unless the control wants the key, types tabs for a control
// that wants them, and tells the control of text changes and of focus taken by a click.
class CTxtWinHost : public CWindowWnd {
public:
    // Creates the edit window over the owner's text area with the owner's style and settings.
    bool Init(CRichEditUI* owner);
    // Cuts the tie to an owner that is going away before the window is destroyed.
    void Detach() { m_owner = nullptr; }

protected:
    const char* GetWindowClassName() const override;
    const char* GetSuperClassName() const override;
    plat::LRESULT HandleMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) override;
    void OnFinalMessage(plat::HWND hWnd) override;

private:
    bool OnKeyDown(plat::WPARAM key);
    plat::LRESULT OnControlColor(plat::WPARAM wParam);

    CRichEditUI* m_owner = nullptr;
    plat::HBRUSH m_hBkBrush = nullptr;
    bool m_init = false;
};

class CRichEditUI : public CContainerUI {
    friend class CTxtWinHost;

public:
    static constexpr int kDefaultMaxChar = 32767;

    CRichEditUI();
    ~CRichEditUI() override;

    const char* ClassName() const override;
    // "RichEdit", and "WantTab" while the control wants tabs (the manager then leaves Tab to it).
    void* Interface(const char* name) override;
    unsigned int ControlFlags() const override;

    plat::DWORD GetWinStyle() const { return m_style; }
    void SetWinStyle(plat::DWORD style);
    bool IsWantTab() const { return m_wantTab; }
    void SetWantTab(bool want = true) { m_wantTab = want; }
    bool IsWantReturn() const { return m_wantReturn; }
    void SetWantReturn(bool want = true) { m_wantReturn = want; }
    bool IsWantCtrlReturn() const { return m_wantCtrlReturn; }
    void SetWantCtrlReturn(bool want = true) { m_wantCtrlReturn = want; }
    // Kept for markup; the text is plain either way.
    bool IsRich() const { return m_rich; }
    void SetRich(bool rich = true) { m_rich = rich; }
    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly = true);
    int GetFont() const { return m_font; }
    void SetFont(int index);
    uint32_t GetTextColor() const { return m_textColor; }
    void SetTextColor(uint32_t color);
    int GetLimitText() const { return m_maxChar; }
    void SetLimitText(int characters);

    // The edit window's text once it exists, the stored text before.
    CUIString GetText() const override;
    void SetText(const char* text) override;
    // Selection in characters; end -1 means the end of the text.
    void SetSel(long start, long end);
    void GetSel(long& start, long& end) const;
    void ReplaceSel(const char* text, bool canUndo = true);
    int GetLineCount() const;
    plat::HWND GetHostWindow() const;

    void Init() override;
    void SetPosition(plat::RECT rc) override;
    void SetVisible(bool visible = true) override;
    void SetInnerVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;

    // The vertical scroll bar moves the text; the text's own position lives in the edit.
    void SetScrollPosition(plat::SIZE pos) override;
    void LineUp() override;
    void LineDown() override;
    // Brings the vertical scroll bar in line with the text's height and position.
    void SyncScrollBar();

private:
    // The edit window's area: the control less its inset.
    plat::RECT TextArea() const;
    void ShowHost();
    // Applies the style word to a live edit window.
    void ApplyStyle();
    // Scrolls a multi-line text by whole lines; false when it did not move.
    bool ScrollLines(int lines);

    CTxtWinHost* m_host = nullptr; // owned by its window (deleted when the window goes)
    plat::DWORD m_style = 0x4;     // ES_MULTILINE
    bool m_wantTab = true;
    bool m_wantReturn = true;
    bool m_wantCtrlReturn = true;
    bool m_rich = true;
    bool m_readOnly = false;
    int m_font = -1;
    uint32_t m_textColor = 0;
    int m_maxChar = kDefaultMaxChar;
    bool m_syncingBar = false;
};

} // namespace Pane
