// The "Edit" window class running in the window system: typing, keys, clipboard, limits and
// styles, the notifications and colour requests its parent gets, caret blinking on the
// virtual clock, text input with the focus, and superclassing.

#include "WindowTestSupport.h"

#include "platform/win/Edit.h"

namespace plat::test {
namespace {

class EditWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        m_parent = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{100, 100, 400, 200});
        ASSERT_NE(m_parent, nullptr);
    }

    HWND MakeEdit(DWORD style = 0, const char* text = "") {
        HWND e = CreateWindowEx(0, "Edit", text, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | style, 10,
                                10, 200, 24, m_parent, static_cast<HMENU>(42), nullptr, nullptr);
        EXPECT_NE(e, nullptr);
        return e;
    }

    std::vector<WORD> Notifications() const {
        std::vector<WORD> out;
        for (const Logged& l : Of(WM_COMMAND, m_parent))
            if (LOWORD(l.wParam) == 42)
                out.push_back(HIWORD(l.wParam));
        return out;
    }

    int Count(WORD code) const {
        int n = 0;
        for (WORD c : Notifications())
            n += c == code;
        return n;
    }

    HWND m_parent = nullptr;
};

TEST_F(EditWindowTest, TypingChangesTextAndTellsTheParentUpdateBeforeChange) {
    HWND e = MakeEdit();
    headless::Click(150, 120);
    EXPECT_EQ(GetFocus(), e);
    ClearLog();
    headless::Text("Añ9");
    EXPECT_EQ(GetWindowTextString(e), "Añ9");
    EXPECT_EQ(Count(EN_UPDATE), 3);
    EXPECT_EQ(Count(EN_CHANGE), 3);
    const auto n = Notifications();
    ASSERT_GE(n.size(), 2u);
    EXPECT_EQ(n[0], EN_UPDATE);
    EXPECT_EQ(n[1], EN_CHANGE);
    EXPECT_EQ(Of(WM_COMMAND, m_parent)[0].lParam, reinterpret_cast<LPARAM>(e));

    headless::KeyPress(VK_BACK);
    EXPECT_EQ(GetWindowTextString(e), "Añ");
    headless::KeyPress(VK_HOME);
    headless::KeyPress(VK_RIGHT, {VK_SHIFT});
    headless::Char(U'Z');
    EXPECT_EQ(GetWindowTextString(e), "Zñ");
    // Control characters made from keys are not inserted.
    headless::KeyPress(VK_RETURN);
    headless::KeyPress(VK_TAB);
    EXPECT_EQ(GetWindowTextString(e), "Zñ");
    EXPECT_EQ(SendMessage(e, WM_GETTEXTLENGTH, 0, 0), 3);
}

TEST_F(EditWindowTest, ClipboardKeysSelectCopyCutPasteAndUndo) {
    HWND e = MakeEdit(0, "hello");
    SetFocus(e);
    headless::KeyPress('A', {VK_CONTROL});
    headless::KeyPress('C', {VK_CONTROL});
    EXPECT_EQ(GetClipboardText(), "hello");
    headless::KeyPress(VK_END);
    headless::KeyPress('V', {VK_CONTROL});
    EXPECT_EQ(GetWindowTextString(e), "hellohello");
    headless::KeyPress('Z', {VK_CONTROL});
    EXPECT_EQ(GetWindowTextString(e), "hello");
    SendMessage(e, EM_SETSEL, 0, 2);
    headless::KeyPress('X', {VK_CONTROL});
    EXPECT_EQ(GetWindowTextString(e), "llo");
    EXPECT_EQ(GetClipboardText(), "he");
}

TEST_F(EditWindowTest, LimitNumberOnlyAndReadOnlyRefuseInput) {
    HWND e = MakeEdit(ES_NUMBER);
    SetFocus(e);
    SendMessage(e, EM_LIMITTEXT, 3, 0);
    headless::Text("1a2b34");
    EXPECT_EQ(GetWindowTextString(e), "123");
    EXPECT_GE(Count(EN_MAXTEXT), 1);

    HWND r = MakeEdit(ES_READONLY, "fixed");
    SetFocus(r);
    ClearLog();
    headless::Text("x");
    headless::KeyPress(VK_BACK);
    EXPECT_EQ(GetWindowTextString(r), "fixed");
    EXPECT_EQ(Count(EN_CHANGE), 0);
    // The program may still set the text.
    SetWindowText(r, "new");
    EXPECT_EQ(GetWindowTextString(r), "new");
    EXPECT_EQ(Count(EN_CHANGE), 1);
}

TEST_F(EditWindowTest, StylesAddedAfterCreationTakeEffect) {
    // The framework ORs its extra styles into an edit it has just created.
    HWND e = MakeEdit();
    SetWindowLongPtr(e, GWL_STYLE, GetWindowLongPtr(e, GWL_STYLE) | ES_NUMBER);
    SetFocus(e);
    headless::Text("4x2");
    EXPECT_EQ(GetWindowTextString(e), "42");
    SendMessage(e, EM_SETREADONLY, 1, 0);
    EXPECT_NE(GetWindowLongPtr(e, GWL_STYLE) & ES_READONLY, 0);
    headless::Text("7");
    EXPECT_EQ(GetWindowTextString(e), "42");
}

TEST_F(EditWindowTest, DraggingTheMouseSelectsAndHoldsTheCapture) {
    HWND e = MakeEdit(0, "abcdefgh");
    headless::MouseMove(112, 120);
    headless::MouseDown(112, 120); // left of the first character
    EXPECT_EQ(GetCapture(), e);
    headless::MouseMove(400, 120); // past the end and off the edit
    headless::MouseUp(400, 120);
    EXPECT_EQ(GetCapture(), nullptr);
    DWORD start = 99, end = 99;
    SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 8u);
    headless::Char(U'z');
    EXPECT_EQ(GetWindowTextString(e), "z");
}

TEST_F(EditWindowTest, PasswordEditShowsMaskButKeepsText) {
    HWND e = MakeEdit(ES_PASSWORD);
    SendMessage(e, EM_SETPASSWORDCHAR, '*', 0);
    SetFocus(e);
    headless::Text("abc");
    EXPECT_EQ(GetWindowTextString(e), "abc");
    EXPECT_EQ(SendMessage(e, EM_GETPASSWORDCHAR, 0, 0), '*');
}

TEST_F(EditWindowTest, PaintAsksTheParentForColoursAndUsesItsBrush) {
    HWND e = MakeEdit(0, "");
    HBRUSH brush = CreateSolidBrush(RGB(10, 200, 30));
    m_handler = [&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC)
            return reinterpret_cast<LRESULT>(brush);
        return std::nullopt;
    };
    headless::PumpMessages();
    const auto asks = Of(WM_CTLCOLOREDIT, m_parent);
    ASSERT_FALSE(asks.empty());
    EXPECT_EQ(asks.back().lParam, reinterpret_cast<LPARAM>(e));
    EXPECT_NE(asks.back().wParam, 0u); // the edit's canvas
    // The edit sits at (10, 10) in its parent's buffer and is filled with the brush.
    const Bitmap* px = headless::Pixels(e);
    ASSERT_NE(px, nullptr);
    EXPECT_EQ(px->At(100, 30), 0xFF0AC81Eu);

    ClearLog();
    SendMessage(e, EM_SETREADONLY, 1, 0);
    headless::PumpMessages();
    EXPECT_TRUE(Of(WM_CTLCOLOREDIT, m_parent).empty());
    EXPECT_FALSE(Of(WM_CTLCOLORSTATIC, m_parent).empty());
}

TEST_F(EditWindowTest, CaretBlinksWhileFocusedAndTextInputFollowsTheFocus) {
    HWND e = MakeEdit(0, "ab");
    EXPECT_FALSE(headless::TextInputOn());
    SetFocus(e);
    EXPECT_TRUE(headless::TextInputOn());
    POINT caret;
    bool visible = false;
    ASSERT_TRUE(GetEditCaret(e, &caret, &visible));
    EXPECT_TRUE(visible);
    headless::AdvanceClock(kCaretBlinkMs);
    GetEditCaret(e, &caret, &visible);
    EXPECT_FALSE(visible);
    headless::AdvanceClock(kCaretBlinkMs);
    GetEditCaret(e, &caret, &visible);
    EXPECT_TRUE(visible);
    // The IME is told where the caret is on the screen.
    const RECT ime = headless::ImeRect();
    EXPECT_GE(ime.left, 110);
    EXPECT_GE(ime.top, 110);

    ClearLog();
    SetFocus(m_parent);
    EXPECT_FALSE(headless::TextInputOn());
    GetEditCaret(e, &caret, &visible);
    EXPECT_FALSE(visible);
    EXPECT_EQ(Count(EN_KILLFOCUS), 1);
    headless::AdvanceClock(5 * kCaretBlinkMs);
    GetEditCaret(e, &caret, &visible);
    EXPECT_FALSE(visible);
}

TEST_F(EditWindowTest, SuperclassChainsToTheEditAndDestroyingFreesItsState) {
    WNDCLASS base;
    ASSERT_TRUE(GetClassInfo(nullptr, "Edit", &base));
    static WNDPROC s_previous = base.lpfnWndProc;
    static int s_returns = 0;
    s_returns = 0;
    WNDCLASS derived = base;
    derived.lpszClassName = "MyEdit";
    derived.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
            ++s_returns;
            return 0;
        }
        return CallWindowProc(s_previous, hwnd, msg, wParam, lParam);
    };
    ASSERT_TRUE(RegisterClass(derived));
    // Registering the name again succeeds and keeps the class registered first.
    WNDCLASS again = derived;
    again.lpszClassName = "MYEDIT";
    again.lpfnWndProc = DefWindowProc;
    EXPECT_TRUE(RegisterClass(again));
    HWND e = CreateWindowEx(0, "myedit", "x", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, m_parent, 0,
                            nullptr, nullptr);
    ASSERT_NE(e, nullptr);
    std::string name;
    ASSERT_TRUE(GetClassName(e, &name));
    EXPECT_EQ(name, "MyEdit");
    SetFocus(e);
    headless::Text("y");
    headless::KeyPress(VK_RETURN);
    EXPECT_EQ(GetWindowTextString(e), "yx"); // a new edit's caret is at the start
    EXPECT_EQ(s_returns, 1);
    EXPECT_TRUE(DestroyWindow(e));
    EXPECT_FALSE(GetEditCaret(e, nullptr, nullptr));
}

} // namespace
} // namespace plat::test
