#include "platform/win/Edit.h"

#include "platform/base/TextUtf8.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Text.h"
#include "platform/win/TextEdit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

namespace plat {

namespace {

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;
constexpr uintptr_t kBrushTag = uintptr_t{1} << 24; // above every COLORREF's 24 colour bits
constexpr UINT_PTR kCaretTimer = 0xCA2E7;
constexpr const char* kStateProp = "plat.Edit.state";

// Everything an edit window holds beside what the window system keeps for it.
struct EditState {
    explicit EditState(bool multiLine) : edit(multiLine) {}

    TextEdit edit;
    HFONT font = nullptr;
    int leftMargin = 1;
    int rightMargin = 1;
    bool focused = false;
    bool caretOn = false;
    bool selecting = false; // left button held after a press in the text
    int charWidth = 8;      // the font's average, for sideways scrolling by characters
    POINT scroll;           // the scroll position last reported to the parent
};

EditState* StateOf(HWND hwnd) {
    return static_cast<EditState*>(GetProp(hwnd, kStateProp));
}

DWORD StyleOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
}

bool KeyDown(int vk) {
    return (GetKeyState(vk) & 0x8000) != 0;
}

void Notify(HWND hwnd, WORD code) {
    HWND parent = GetParent(hwnd);
    if (parent == nullptr)
        return;
    const auto id = static_cast<int>(GetWindowLongPtr(hwnd, GWLP_ID));
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(hwnd));
}

float CharWidth(HFONT font, char32_t ch) {
    std::string utf8;
    Utf8Append(utf8, ch);
    SIZE size;
    HFONT f = font != nullptr ? font : GetDefaultGuiFont();
    if (f == nullptr ||
        !GetTextExtentPoint32(f, utf8.c_str(), static_cast<int>(utf8.size()), &size))
        return 8.0f;
    return static_cast<float>(size.cx);
}

void ApplyFont(EditState& s) {
    HFONT font = s.font != nullptr ? s.font : GetDefaultGuiFont();
    TEXTMETRIC tm;
    const bool metrics = font != nullptr && GetTextMetrics(font, &tm);
    const float lineHeight = metrics ? static_cast<float>(tm.tmHeight) : 16.0f;
    s.charWidth = metrics && tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 8;
    // A long text repeats few characters: each is measured once per font.
    auto known = std::make_shared<std::unordered_map<char32_t, float>>();
    s.edit.SetMeasure(
        [font, known](char32_t ch) {
            const auto found = known->find(ch);
            if (found != known->end())
                return found->second;
            const float width = CharWidth(font, ch);
            known->emplace(ch, width);
            return width;
        },
        lineHeight);
}

void ApplyView(HWND hwnd, EditState& s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    s.edit.SetViewSize(static_cast<float>(rc.right - rc.left - s.leftMargin - s.rightMargin),
                       static_cast<float>(rc.bottom - rc.top));
}

void ApplyStyle(HWND hwnd, EditState& s) {
    const DWORD style = StyleOf(hwnd);
    s.edit.SetReadOnly((style & ES_READONLY) != 0);
    s.edit.SetNumberOnly((style & ES_NUMBER) != 0);
    s.edit.SetAutoScroll((style & ES_AUTOHSCROLL) != 0 || (style & ES_MULTILINE) != 0);
    s.edit.SetAlign((style & ES_RIGHT)    ? TextEdit::Align::Right
                    : (style & ES_CENTER) ? TextEdit::Align::Center
                                          : TextEdit::Align::Left);
    // Several lines wrap at the edge unless sideways scrolling is asked for.
    s.edit.SetWordWrap((style & ES_MULTILINE) != 0 && (style & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0);
}

// The scroll position in whole pixels.
POINT ScrollPoint(const TextEdit& e) {
    return POINT{static_cast<int>(std::lround(e.ScrollX())),
                 static_cast<int>(std::lround(e.ScrollY()))};
}

// Tells the parent when the text has scrolled, for whatever reason (typing, caret moves, the
// wheel, a resize), so that scroll bars kept outside the edit can follow.
void ReportScroll(HWND hwnd, EditState& s) {
    const POINT now = ScrollPoint(s.edit);
    const bool vertical = now.y != s.scroll.y;
    const bool horizontal = now.x != s.scroll.x;
    s.scroll = now;
    if (vertical)
        Notify(hwnd, EN_VSCROLL);
    if (horizontal)
        Notify(hwnd, EN_HSCROLL);
}

// The caret is shown again at once after every change or move, as users expect while typing.
void RestartCaret(HWND hwnd, EditState& s) {
    if (!s.focused)
        return;
    s.caretOn = true;
    SetTimer(hwnd, kCaretTimer, kCaretBlinkMs);
    const int x = s.leftMargin + static_cast<int>(s.edit.CaretX());
    const int y = static_cast<int>(s.edit.CaretY());
    SetImeRect(hwnd, RECT{x, y, x + 1, y + static_cast<int>(s.edit.LineHeight())});
    InvalidateRect(hwnd, nullptr, false);
}

// A change made by the user or by a message: the parent hears EN_UPDATE before the new text is
// shown and EN_CHANGE after.
// The text lives in the engine alone (WM_GETTEXT and WM_GETTEXTLENGTH answer from it): copying
// it to the window system on every key would cost a long text its length each time.
void Changed(HWND hwnd, EditState& s) {
    Notify(hwnd, EN_UPDATE);
    InvalidateRect(hwnd, nullptr, false);
    RestartCaret(hwnd, s);
    Notify(hwnd, EN_CHANGE);
    ReportScroll(hwnd, s);
}

void Moved(HWND hwnd, EditState& s) {
    InvalidateRect(hwnd, nullptr, false);
    RestartCaret(hwnd, s);
    ReportScroll(hwnd, s);
}

void CopySelection(EditState& s) {
    const std::string text = s.edit.Copy();
    if (!text.empty())
        SetClipboardText(text);
}

bool InsertTyped(HWND hwnd, EditState& s, char32_t ch) {
    const std::size_t before = s.edit.Length();
    if (s.edit.Type(ch)) {
        Changed(hwnd, s);
        return true;
    }
    std::size_t start = 0, end = 0;
    s.edit.GetSelection(start, end);
    if (!s.edit.ReadOnly() && before - (end - start) >= s.edit.Limit())
        Notify(hwnd, EN_MAXTEXT);
    return false;
}

void HandleKey(HWND hwnd, EditState& s, int vk) {
    const bool ctrl = KeyDown(VK_CONTROL);
    const bool shift = KeyDown(VK_SHIFT);
    TextEdit& e = s.edit;
    bool changed = false;
    bool moved = true;
    std::string taken;
    switch (vk) {
        case VK_LEFT:
            e.PressKey(TextEdit::Key::Left, shift, ctrl);
            break;
        case VK_RIGHT:
            e.PressKey(TextEdit::Key::Right, shift, ctrl);
            break;
        case VK_UP:
            e.PressKey(TextEdit::Key::Up, shift, ctrl);
            break;
        case VK_DOWN:
            e.PressKey(TextEdit::Key::Down, shift, ctrl);
            break;
        case VK_HOME:
            e.PressKey(TextEdit::Key::Home, shift, ctrl);
            break;
        case VK_END:
            e.PressKey(TextEdit::Key::End, shift, ctrl);
            break;
        case VK_PRIOR:
            e.PressKey(TextEdit::Key::PageUp, shift, ctrl);
            break;
        case VK_NEXT:
            e.PressKey(TextEdit::Key::PageDown, shift, ctrl);
            break;
        case VK_BACK:
            changed = e.PressKey(TextEdit::Key::Backspace, false, false);
            break;
        case VK_DELETE:
            if (shift) { // the old cut key
                CopySelection(s);
                changed = e.Cut(taken);
            } else {
                changed = e.PressKey(TextEdit::Key::Delete, false, false);
            }
            break;
        case VK_INSERT:
            if (ctrl)
                CopySelection(s);
            else if (shift)
                changed = e.Paste(GetClipboardText());
            break;
        case VK_RETURN:
            if (e.MultiLine() && !ctrl)
                InsertTyped(hwnd, s, U'\n'); // notifies on its own
            return;
        default:
            moved = false;
            if (!ctrl || KeyDown(VK_MENU))
                return;
            switch (vk) {
                case 'A':
                    e.SelectAll();
                    moved = true;
                    break;
                case 'C':
                    CopySelection(s);
                    break;
                case 'X':
                    CopySelection(s);
                    changed = e.Cut(taken);
                    break;
                case 'V':
                    changed = e.Paste(GetClipboardText());
                    break;
                case 'Z':
                    changed =
                        e.PressKey(shift ? TextEdit::Key::Redo : TextEdit::Key::Undo, false, false);
                    break;
                case 'Y':
                    changed = e.PressKey(TextEdit::Key::Redo, false, false);
                    break;
                default:
                    return;
            }
    }
    if (changed)
        Changed(hwnd, s);
    else if (moved)
        Moved(hwnd, s);
}

// Paints background, text, selection and caret with the colours the parent chose.
void Paint(HWND hwnd, EditState& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc == nullptr) {
        EndPaint(hwnd, &ps);
        return;
    }
    RECT client;
    GetClientRect(hwnd, &client);
    const bool enabled = IsWindowEnabled(hwnd);
    const bool readOnly = s.edit.ReadOnly();
    // Defaults first: the parent may change any of them on the canvas before it answers.
    dc->SetTextColor(GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    const int backIndex = (readOnly || !enabled) ? COLOR_BTNFACE : COLOR_WINDOW;
    dc->SetBkColor(GetSysColor(backIndex));
    dc->SetBkMode(OPAQUE);
    HFONT font = s.font != nullptr ? s.font : GetDefaultGuiFont();
    HFONT oldFont = dc->SelectFont(font);
    HWND parent = GetParent(hwnd);
    HBRUSH brush = nullptr;
    if (parent != nullptr) {
        const UINT ask = (readOnly || !enabled) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
        brush = reinterpret_cast<HBRUSH>(
            SendMessage(parent, ask, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    }
    COLORREF back = 0;
    if (!GetBrushColor(brush, &back))
        back = GetSysColor(backIndex);
    dc->FillRect(client, back);

    const COLORREF textColour = dc->GetTextColor();
    const bool opaque = dc->GetBkMode() == OPAQUE;
    const COLORREF textBack = dc->GetBkColor();
    const int lineHeight = static_cast<int>(s.edit.LineHeight());
    // Restored by hand before EndPaint, which ends the canvas.
    const ClipState savedClip = dc->SaveClip();
    dc->IntersectClip(RECT{s.leftMargin, 0, client.right - s.rightMargin, client.bottom});

    std::size_t selStart = 0, selEnd = 0;
    s.edit.GetSelection(selStart, selEnd);
    const bool showSelection = s.focused || (StyleOf(hwnd) & ES_NOHIDESEL) != 0;
    // Only the lines and characters in view are visited: a long text costs what is shown.
    const std::size_t first =
        lineHeight > 0 ? static_cast<std::size_t>(s.edit.ScrollY() / static_cast<float>(lineHeight))
                       : 0;
    for (std::size_t line = first, lines = s.edit.LineCount(); line < lines; ++line) {
        const std::size_t from = s.edit.LineStart(line);
        const std::size_t to = s.edit.LineEnd(line);
        const int y = static_cast<int>(s.edit.YOfIndex(from));
        if (y >= client.bottom)
            break;
        if (y + lineHeight <= 0)
            continue;
        float x = s.edit.XOfIndex(from);
        for (std::size_t i = from; i < to; ++i) {
            const int x0 = s.leftMargin + static_cast<int>(x);
            x += s.edit.AdvanceOf(i);
            const int x1 = s.leftMargin + static_cast<int>(x);
            if (x0 > client.right)
                break;
            if (x1 < 0)
                continue;
            const bool selected = showSelection && i >= selStart && i < selEnd;
            std::string utf8;
            Utf8Append(utf8, s.edit.DisplayChar(i));
            if (selected) {
                dc->FillRect(RECT{x0, y, x1, y + lineHeight}, GetSysColor(COLOR_HIGHLIGHT));
                dc->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
            } else {
                if (opaque)
                    dc->FillRect(RECT{x0, y, x1, y + lineHeight}, textBack);
                dc->SetTextColor(textColour);
            }
            const int mode = dc->SetBkMode(TRANSPARENT);
            TextOut(dc, x0, y, utf8.c_str(), static_cast<int>(utf8.size()));
            dc->SetBkMode(mode);
        }
    }
    dc->SetTextColor(textColour);
    if (s.focused && s.caretOn) {
        const int x = s.leftMargin + static_cast<int>(s.edit.CaretX());
        const int y = static_cast<int>(s.edit.CaretY());
        dc->FillRect(RECT{x, y, x + 1, y + lineHeight}, textColour);
    }
    dc->RestoreClip(savedClip);
    dc->SelectFont(oldFont);
    EndPaint(hwnd, &ps);
}

POINT TextPoint(const EditState& s, LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam) - s.leftMargin, GET_Y_LPARAM(lParam)};
}

LRESULT CopyText(const std::string& text, WPARAM size, LPARAM buffer) {
    char* out = reinterpret_cast<char*>(buffer);
    if (out == nullptr || size == 0)
        return 0;
    const std::size_t n = Utf8PrefixLength(text.data(), text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

} // namespace

HBRUSH CreateSolidBrush(COLORREF colour) {
    return reinterpret_cast<HBRUSH>(kBrushTag | (colour & 0xFFFFFF));
}

bool DeleteObject(HBRUSH brush) {
    COLORREF unused;
    return GetBrushColor(brush, &unused);
}

bool GetBrushColor(HBRUSH brush, COLORREF* colour) {
    const auto value = reinterpret_cast<uintptr_t>(brush);
    if ((value & ~uintptr_t{0xFFFFFF}) != kBrushTag)
        return false;
    if (colour != nullptr)
        *colour = static_cast<COLORREF>(value & 0xFFFFFF);
    return true;
}

COLORREF GetSysColor(int index) {
    switch (index) {
        case COLOR_WINDOW:
        case COLOR_HIGHLIGHTTEXT:
            return RGB(255, 255, 255);
        case COLOR_HIGHLIGHT:
            return RGB(0, 120, 215);
        case COLOR_BTNFACE:
            return RGB(240, 240, 240);
        case COLOR_GRAYTEXT:
            return RGB(109, 109, 109);
        case COLOR_WINDOWTEXT:
        default:
            return RGB(0, 0, 0);
    }
}

HBRUSH GetSysColorBrush(int index) {
    return CreateSolidBrush(GetSysColor(index));
}

bool GetEditScrollInfo(HWND hwnd, EditScrollInfo* info) {
    EditState* s = IsWindow(hwnd) ? StateOf(hwnd) : nullptr;
    if (s == nullptr || info == nullptr)
        return false;
    RECT client;
    GetClientRect(hwnd, &client);
    const TextEdit& e = s->edit;
    // One pixel more than the widest line, for the caret after its last character.
    info->content = SIZE{static_cast<int>(std::ceil(e.TextWidth())) + 1,
                         static_cast<int>(std::ceil(e.TextHeight()))};
    info->view = SIZE{
        std::max(0, static_cast<int>(client.right - client.left) - s->leftMargin - s->rightMargin),
        static_cast<int>(client.bottom - client.top)};
    info->position = ScrollPoint(e);
    return true;
}

bool GetEditCaret(HWND hwnd, POINT* position, bool* visible) {
    EditState* s = IsWindow(hwnd) ? StateOf(hwnd) : nullptr;
    if (s == nullptr)
        return false;
    if (position != nullptr)
        *position = POINT{s->leftMargin + static_cast<int>(s->edit.CaretX()),
                          static_cast<int>(s->edit.CaretY())};
    if (visible != nullptr)
        *visible = s->focused && s->caretOn;
    return true;
}

LRESULT EditWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
        const bool multiLine = cs != nullptr && (cs->style & ES_MULTILINE) != 0;
        auto state = std::make_unique<EditState>(multiLine);
        // The property owns the state until WM_NCDESTROY takes it back.
        if (!SetProp(hwnd, kStateProp, state.get()))
            return FALSE;
        EditState& s = *state.release();
        ApplyFont(s);
        if (cs != nullptr && cs->lpszName != nullptr)
            s.edit.SetText(cs->lpszName);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    EditState* state = StateOf(hwnd);
    if (state == nullptr)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    EditState& s = *state;
    TextEdit& e = s.edit;

    switch (msg) {
        case WM_CREATE:
            ApplyStyle(hwnd, s);
            ApplyView(hwnd, s);
            return 0;
        case WM_NCDESTROY: {
            std::unique_ptr<EditState> owned(state);
            RemoveProp(hwnd, kStateProp);
            KillTimer(hwnd, kCaretTimer);
            return DefWindowProc(hwnd, msg, wParam, lParam);
        }
        case WM_STYLECHANGED:
            // ES_NUMBER, ES_READONLY and the alignment may be changed after creation.
            if (wParam == static_cast<WPARAM>(GWL_STYLE)) {
                ApplyStyle(hwnd, s);
                InvalidateRect(hwnd, nullptr, false);
                ReportScroll(hwnd, s);
            }
            return 0;
        case WM_SIZE:
            ApplyView(hwnd, s);
            InvalidateRect(hwnd, nullptr, false);
            ReportScroll(hwnd, s);
            return 0;
        case WM_PAINT:
            Paint(hwnd, s);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, false);
            return 0;

        case WM_SETTEXT:
            e.SetText(lParam != 0 ? reinterpret_cast<const char*>(lParam) : "");
            Changed(hwnd, s);
            return TRUE;
        case WM_GETTEXT:
            return CopyText(e.Text(), wParam, lParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(e.Text().size());
        case WM_SETFONT:
            s.font = reinterpret_cast<HFONT>(wParam);
            ApplyFont(s);
            if (lParam != 0)
                InvalidateRect(hwnd, nullptr, false);
            ReportScroll(hwnd, s);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(s.font);

        case EM_LIMITTEXT:
            e.SetLimit(static_cast<std::size_t>(wParam));
            return 0;
        case EM_GETLIMITTEXT:
            return static_cast<LRESULT>(e.Limit());
        case EM_SETSEL:
            e.SetSelection(static_cast<int>(wParam), static_cast<int>(lParam));
            Moved(hwnd, s);
            return 0;
        case EM_GETSEL: {
            std::size_t start = 0, end = 0;
            e.GetSelection(start, end);
            if (wParam != 0)
                *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
            if (lParam != 0)
                *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
            return static_cast<LRESULT>(
                MAKELPARAM(static_cast<int>(std::min<std::size_t>(start, 0xFFFF)),
                           static_cast<int>(std::min<std::size_t>(end, 0xFFFF))) &
                0xFFFFFFFF);
        }
        case EM_REPLACESEL: {
            // A program may replace text the user may not touch.
            const bool readOnly = e.ReadOnly();
            e.SetReadOnly(false);
            const bool changed = e.Paste(lParam != 0 ? reinterpret_cast<const char*>(lParam) : "");
            e.SetReadOnly(readOnly);
            if (wParam == 0)
                e.EmptyUndo();
            if (changed)
                Changed(hwnd, s);
            return 0;
        }
        case EM_SETREADONLY: {
            DWORD style = StyleOf(hwnd);
            style = wParam != 0 ? (style | ES_READONLY) : (style & ~ES_READONLY);
            SetWindowLongPtr(hwnd, GWL_STYLE, static_cast<LONG_PTR>(style));
            e.SetReadOnly(wParam != 0);
            InvalidateRect(hwnd, nullptr, false);
            return TRUE;
        }
        case EM_SETPASSWORDCHAR:
            e.SetPasswordChar(static_cast<char32_t>(wParam));
            InvalidateRect(hwnd, nullptr, false);
            ReportScroll(hwnd, s);
            return 0;
        case EM_GETPASSWORDCHAR:
            return static_cast<LRESULT>(e.PasswordChar());
        case EM_SETMARGINS: {
            const int fontMargin = 2;
            if (wParam & EC_LEFTMARGIN)
                s.leftMargin = LOWORD(lParam) == EC_USEFONTINFO ? fontMargin : LOWORD(lParam);
            if (wParam & EC_RIGHTMARGIN)
                s.rightMargin = HIWORD(lParam) == EC_USEFONTINFO ? fontMargin : HIWORD(lParam);
            ApplyView(hwnd, s);
            InvalidateRect(hwnd, nullptr, false);
            ReportScroll(hwnd, s);
            return 0;
        }
        case EM_GETMARGINS:
            return MAKELPARAM(s.leftMargin, s.rightMargin);
        case EM_SETMODIFY:
            e.SetModified(wParam != 0);
            return 0;
        case EM_GETMODIFY:
            return e.Modified() ? TRUE : FALSE;
        case EM_GETLINECOUNT:
            return static_cast<LRESULT>(e.LineCount());
        case EM_LINESCROLL:
            // Characters sideways, lines down; only several lines scroll this way.
            if (!e.MultiLine())
                return FALSE;
            e.ScrollTo(e.ScrollX() + static_cast<float>(static_cast<long>(wParam) * s.charWidth),
                       e.ScrollY() + static_cast<float>(lParam) * e.LineHeight());
            InvalidateRect(hwnd, nullptr, false);
            RestartCaret(hwnd, s);
            ReportScroll(hwnd, s);
            return TRUE;
        case EM_GETSCROLLPOS:
            if (lParam != 0)
                *reinterpret_cast<POINT*>(lParam) = ScrollPoint(e);
            return 1;
        case EM_SETSCROLLPOS:
            if (lParam != 0) {
                const POINT* to = reinterpret_cast<const POINT*>(lParam);
                e.ScrollTo(static_cast<float>(to->x), static_cast<float>(to->y));
                InvalidateRect(hwnd, nullptr, false);
                RestartCaret(hwnd, s);
                ReportScroll(hwnd, s);
            }
            return 1;
        case EM_CANUNDO:
            return e.ReadOnly() ? FALSE : TRUE;
        case EM_UNDO:
        case WM_UNDO:
            if (e.Undo()) {
                Changed(hwnd, s);
                return TRUE;
            }
            return FALSE;
        case EM_EMPTYUNDOBUFFER:
            e.EmptyUndo();
            return 0;
        case WM_COPY:
            CopySelection(s);
            return 0;
        case WM_CUT: {
            std::string taken;
            CopySelection(s);
            if (e.Cut(taken))
                Changed(hwnd, s);
            return 0;
        }
        case WM_CLEAR: {
            std::string taken;
            if (e.Cut(taken))
                Changed(hwnd, s);
            return 0;
        }
        case WM_PASTE:
            if (e.Paste(GetClipboardText()))
                Changed(hwnd, s);
            return 0;

        case WM_SETFOCUS:
            s.focused = true;
            StartTextInput(hwnd);
            RestartCaret(hwnd, s);
            Notify(hwnd, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            s.focused = false;
            s.caretOn = false;
            s.selecting = false;
            KillTimer(hwnd, kCaretTimer);
            StopTextInput(hwnd);
            InvalidateRect(hwnd, nullptr, false);
            Notify(hwnd, EN_KILLFOCUS);
            return 0;
        case WM_TIMER:
            if (wParam != kCaretTimer)
                return DefWindowProc(hwnd, msg, wParam, lParam);
            s.caretOn = !s.caretOn && s.focused;
            InvalidateRect(hwnd, nullptr, false);
            return 0;

        case WM_KEYDOWN:
            HandleKey(hwnd, s, static_cast<int>(wParam));
            return 0;
        case WM_CHAR:
        case WM_IME_CHAR: {
            const auto ch = static_cast<char32_t>(wParam);
            // Control characters come with their keys, which WM_KEYDOWN handled already.
            if (ch < 0x20 || ch == 0x7F)
                return 0;
            InsertTyped(hwnd, s, ch);
            return 0;
        }

        case WM_SETCURSOR:
            SetCursor(LoadCursor(nullptr, IDC_IBEAM));
            return TRUE;
        case WM_LBUTTONDOWN: {
            if (GetFocus() != hwnd)
                SetFocus(hwnd);
            const POINT p = TextPoint(s, lParam);
            if ((wParam & MK_SHIFT) != 0)
                e.Drag(static_cast<float>(p.x), static_cast<float>(p.y));
            else
                e.Click(static_cast<float>(p.x), static_cast<float>(p.y));
            s.selecting = true;
            SetCapture(hwnd);
            Moved(hwnd, s);
            return 0;
        }
        case WM_LBUTTONDBLCLK: {
            const POINT p = TextPoint(s, lParam);
            e.SelectWordAt(static_cast<float>(p.x), static_cast<float>(p.y));
            Moved(hwnd, s);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (s.selecting && (wParam & MK_LBUTTON) != 0) {
                const POINT p = TextPoint(s, lParam);
                e.Drag(static_cast<float>(p.x), static_cast<float>(p.y));
                Moved(hwnd, s);
            }
            return 0;
        case WM_LBUTTONUP:
            if (s.selecting) {
                s.selecting = false;
                if (GetCapture() == hwnd)
                    ReleaseCapture();
            }
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

bool RegisterEditClass() {
    WNDCLASS existing;
    if (GetClassInfo(nullptr, "Edit", &existing))
        return true;
    WNDCLASS wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = EditWindowProc;
    wc.hCursor = IDC_IBEAM;
    wc.lpszClassName = "Edit";
    return RegisterClass(wc);
}

} // namespace plat
