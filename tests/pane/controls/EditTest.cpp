// The edit control driven as a user drives it — by control name through script lines on the
// headless backend — against the edit sample: opening and closing the native editor, what
// typing does to the text, the limits and the styles, and the pictures closed and open.
#include "../core/FrameworkTestSupport.h"

#include "pane/controls/Edit.h"
#include "pane/core/Automation.h"
#include "pane/core/Container.h"
#include "pane/core/UIManager.h"
#include "platform/backends/Headless.h"
#include "platform/base/Messages.h"
#include "platform/gfx/Image.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace Pane::test {
namespace {

const std::string kSamples = std::string(ZELTA_SOURCE_DIR) + "/tools/pane-view/samples/";
const std::string kRefs = std::string(ZELTA_SOURCE_DIR) + "/tests/pane/controls/refs/";

// Compares the window's pixels with refs/NAME.png exactly. On a difference the actual picture
// and a diff (differing pixels red on black) are written next to the reference. With
// ZELTA_UPDATE_REFS set a missing reference is written instead of failing.
::testing::AssertionResult MatchesReference(plat::HWND hwnd, const std::string& name) {
    const plat::Bitmap* actual = plat::headless::Pixels(hwnd);
    if (actual == nullptr)
        return ::testing::AssertionFailure() << "no pixels for the window";
    const std::string path = kRefs + name + ".png";
    plat::Bitmap expected;
    if (!plat::LoadImageFile(path, &expected)) {
        if (std::getenv("ZELTA_UPDATE_REFS") != nullptr && plat::WritePngFile(path, *actual))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "missing reference " << path;
    }
    int differing = -1;
    if (expected.width == actual->width && expected.height == actual->height) {
        plat::Bitmap diff(actual->width, actual->height, 0xFF000000u);
        differing = 0;
        for (int y = 0; y < actual->height; ++y) {
            for (int x = 0; x < actual->width; ++x) {
                // The window's own alpha byte carries nothing: compare colours.
                if (((expected.At(x, y) ^ actual->At(x, y)) & 0xFFFFFFu) != 0) {
                    diff.At(x, y) = 0xFFFF0000u;
                    ++differing;
                }
            }
        }
        if (differing == 0)
            return ::testing::AssertionSuccess();
        plat::WritePngFile(kRefs + name + ".diff.png", diff);
    }
    plat::WritePngFile(kRefs + name + ".actual.png", *actual);
    return ::testing::AssertionFailure()
           << name << ": " << (differing < 0 ? "size differs" : std::to_string(differing))
           << " pixels differ; wrote " << name << ".actual.png";
}

class EditTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        CUIManager::SetResourcePath(kSamples.c_str());
        m_window = std::make_unique<MarkupWindow>("edit.xml");
        ASSERT_TRUE(m_window->Open(420, 300));
    }
    void TearDown() override {
        m_window.reset();
        CUIManager::SetResourcePath("");
        FrameworkTest::TearDown();
    }

    CUIManager& Manager() { return m_window->GetManager(); }
    CEditUI* Edit(const char* name) {
        return static_cast<CEditUI*>(Manager().FindControl(name)->Interface("Edit"));
    }
    plat::HWND Editor(const char* name) {
        CEditWnd* window = Edit(name)->GetEditWindow();
        return window != nullptr ? window->GetHWND() : nullptr;
    }
    // Runs script lines, each to its end with what it queued handled as a message loop would,
    // stopping at the first that fails; returns its reason.
    std::string Run(std::initializer_list<const char*> lines) {
        for (const char* line : lines) {
            std::string why;
            CScriptPlayer::LineStatus status;
            do {
                status = m_player.RunLine(line, &why);
                PumpMessages();
            } while (status == CScriptPlayer::LineStatus::Pending);
            if (status == CScriptPlayer::LineStatus::Failed)
                return std::string(line) + ": " + why;
        }
        return "";
    }
    long Count(const std::string& notification) {
        const auto& all = m_window->notifications;
        return std::count(all.begin(), all.end(), notification);
    }
    std::pair<long, long> Selection(const char* name) {
        plat::DWORD start = 0, end = 0;
        plat::SendMessage(Editor(name), plat::EM_GETSEL, reinterpret_cast<plat::WPARAM>(&start),
                          reinterpret_cast<plat::LPARAM>(&end));
        return {start, end};
    }

    std::unique_ptr<MarkupWindow> m_window;
    CScriptPlayer m_player;
};

TEST_F(EditTest, ClickOpensTheEditorWithAllTextSelectedAndFocusLossClosesIt) {
    ASSERT_EQ(Run({"click chinese"}), "");
    ASSERT_NE(Editor("chinese"), nullptr);
    EXPECT_EQ(plat::GetFocus(), Editor("chinese"));
    EXPECT_TRUE(Edit("chinese")->IsFocused());
    // Five characters of three bytes each: the whole text, counted in characters.
    EXPECT_EQ(Selection("chinese"), std::make_pair(0L, 5L));

    // The editor lies over the text area, as high as the font and centred in it.
    const int fontHeight = Manager().GetFontInfo(-1)->tm.tmHeight;
    plat::RECT rc;
    ASSERT_TRUE(plat::GetWindowRect(Editor("chinese"), &rc));
    plat::POINT topLeft{rc.left, rc.top};
    plat::ScreenToClient(m_window->GetHWND(), &topLeft);
    const int areaHeight = 24 - 3 - 3;
    ASSERT_LT(fontHeight, areaHeight);
    EXPECT_EQ(topLeft.x, 216 + 4);
    EXPECT_EQ(topLeft.y, 16 + 3 + (areaHeight - fontHeight) / 2);
    EXPECT_EQ(rc.right - rc.left, 404 - 216 - 8);
    EXPECT_EQ(rc.bottom - rc.top, fontHeight);

    const plat::HWND first = Editor("chinese");
    ASSERT_EQ(Run({"click password"}), "");
    EXPECT_EQ(Edit("chinese")->GetEditWindow(), nullptr);
    EXPECT_FALSE(plat::IsWindow(first));
    EXPECT_NE(Editor("password"), nullptr);
    EXPECT_EQ(Count("killfocus chinese"), 1);

    // A click into the open editor places the caret there; one on the control's padding,
    // beside the editor, selects everything again.
    ASSERT_EQ(Run({"key End"}), "");
    plat::POINT padding{17, 68};
    plat::ClientToScreen(m_window->GetHWND(), &padding);
    plat::headless::Click(padding.x, padding.y);
    PumpMessages();
    EXPECT_EQ(Selection("password"), std::make_pair(0L, 6L));

    // Disabled: no editor, no focus, no cursor-shape events.
    ASSERT_EQ(Run({"click disabled"}), "");
    EXPECT_EQ(Edit("disabled")->GetEditWindow(), nullptr);
    EXPECT_EQ(Edit("disabled")->ControlFlags(), 0u);
    EXPECT_EQ(Edit("plain")->ControlFlags(), kFlagTabStop | kFlagSetCursor);
}

TEST_F(EditTest, TypingCopiesEveryChangeBackAndReturnIsAnnouncedNotTyped) {
    ASSERT_EQ(Run({"click big", "type ab"}), "");
    EXPECT_EQ(Edit("big")->GetText(), "ab"); // the selected text was replaced
    EXPECT_EQ(Count("textchanged big"), 2);

    ASSERT_EQ(Run({"key Return"}), "");
    EXPECT_EQ(Count("return big"), 1);
    EXPECT_EQ(Edit("big")->GetText(), "ab");
    EXPECT_EQ(Count("textchanged big"), 2);

    // Set by the program while open: the editor shows it and reports it like typing.
    Edit("big")->SetText("xyz");
    PumpMessages();
    EXPECT_EQ(plat::GetWindowTextString(Editor("big")), "xyz");
    EXPECT_EQ(Count("textchanged big"), 3);

    // Closed, the text is only stored.
    ASSERT_EQ(Run({"click number"}), "");
    Edit("big")->SetText("closed");
    EXPECT_EQ(Count("textchanged big"), 3);
    ASSERT_EQ(Run({"click big", "expect big text closed"}), "");
}

TEST_F(EditTest, LimitsCountCharactersAndApplyToOpenAndLaterEditors) {
    // maxchar 8 on five Chinese characters: three more fit, whatever their bytes.
    ASSERT_EQ(Run({"click chinese", "key End", "type 一二三四五"}), "");
    EXPECT_EQ(Edit("chinese")->GetText(), "中文输入框一二三");

    ASSERT_EQ(Run({"click plain", "key End"}), "");
    Edit("plain")->SetAttribute("maxchar", "12");
    EXPECT_EQ(plat::SendMessage(Editor("plain"), plat::EM_GETLIMITTEXT, 0, 0), 12);
    ASSERT_EQ(Run({"type 0123456789"}), "");
    EXPECT_EQ(Edit("plain")->GetText(), "Hello, edit0");

    Edit("number")->SetMaxChar(3);
    ASSERT_EQ(Run({"click number"}), "");
    EXPECT_EQ(plat::SendMessage(Editor("number"), plat::EM_GETLIMITTEXT, 0, 0), 3);
}

TEST_F(EditTest, NumberOnlyPasswordAndReadOnlyReachTheEditor) {
    ASSERT_EQ(Run({"click number", "type x7y8", "expect number text 78"}), "");
    EXPECT_NE(plat::GetWindowLongPtr(Editor("number"), plat::GWL_STYLE) & plat::ES_NUMBER, 0);
    // Only the next editor sees a change of the style.
    Edit("number")->SetAttribute("numberonly", "TRUE");
    EXPECT_EQ(Edit("number")->GetWindowStyles(), 0u);
    ASSERT_EQ(Run({"type 9z", "expect number text 789"}), "");

    ASSERT_EQ(Run({"click password"}), "");
    EXPECT_NE(plat::GetWindowLongPtr(Editor("password"), plat::GWL_STYLE) & plat::ES_PASSWORD, 0);
    EXPECT_EQ(plat::SendMessage(Editor("password"), plat::EM_GETPASSWORDCHAR, 0, 0), '*');
    ASSERT_EQ(Run({"click plain"}), "");
    EXPECT_EQ(plat::GetWindowLongPtr(Editor("plain"), plat::GWL_STYLE) & plat::ES_PASSWORD, 0);

    ASSERT_EQ(Run({"click readonly", "type zzz", "key Backspace"}), "");
    EXPECT_EQ(Edit("readonly")->GetText(), "Read only");
    EXPECT_EQ(Count("textchanged readonly"), 0);
    Edit("readonly")->SetAttribute("readonly", "false");
    ASSERT_EQ(Run({"type ok", "expect readonly text ok"}), "");
}

TEST_F(EditTest, HidingOrRemovingAnOpenEditClosesItsEditor) {
    ASSERT_EQ(Run({"click plain"}), "");
    const plat::HWND editor = Editor("plain");
    Edit("plain")->SetVisible(false);
    PumpMessages();
    EXPECT_EQ(Edit("plain")->GetEditWindow(), nullptr);
    EXPECT_FALSE(plat::IsWindow(editor));
    EXPECT_EQ(Manager().GetFocus(), nullptr);

    // A hidden container hides the edit in it and closes its editor.
    auto* main = static_cast<CContainerUI*>(Manager().FindControl("main")->Interface("Container"));
    ASSERT_EQ(Run({"click number"}), "");
    main->SetVisible(false);
    PumpMessages();
    EXPECT_FALSE(Edit("number")->IsVisible());
    EXPECT_EQ(Edit("number")->GetEditWindow(), nullptr);
    main->SetVisible(true);
    PumpMessages();

    // The control goes while its editor is open: the editor must not reach back into it.
    ASSERT_EQ(Run({"click chinese", "type 中"}), "");
    const plat::HWND second = Editor("chinese");
    ASSERT_TRUE(main->Remove(Edit("chinese")));
    PumpMessages();
    EXPECT_FALSE(plat::IsWindow(second));
    ASSERT_EQ(Run({"click password", "type a", "expect password text a"}), "");
}

TEST_F(EditTest, StateImagesFollowHotFocusedAndDisabled) {
    ASSERT_EQ(Run({"move number"}), "");
    EXPECT_EQ(Edit("number")->GetState() & CEditUI::kStateHot, CEditUI::kStateHot);
    ASSERT_EQ(Run({"move readonly"}), "");
    EXPECT_EQ(Edit("number")->GetState() & CEditUI::kStateHot, 0u);
    Edit("readonly")->SetEnabled(false);
    EXPECT_EQ(Edit("readonly")->GetState(), 0u);

    // An image that cannot be drawn is dropped, and the normal one shows.
    Edit("empty")->SetHotImage("file='no-such.png'");
    ASSERT_EQ(Run({"move empty"}), "");
    PumpMessages();
    EXPECT_TRUE(Edit("empty")->GetHotImage().IsEmpty());
    EXPECT_FALSE(Edit("empty")->GetNormalImage().IsEmpty());
}

TEST_F(EditTest, MeasuresItsFontHeightPlusSixUnlessTheHeightIsFixed) {
    CEditUI* big = Edit("big");
    const int bigFont = Manager().GetFontInfo(1)->tm.tmHeight;
    big->SetFixedHeight(0);
    EXPECT_EQ(big->MeasureSize(plat::SIZE{400, 400}).cy, bigFont + 6);
    EXPECT_EQ(Edit("plain")->MeasureSize(plat::SIZE{400, 400}).cy, 24);
    EXPECT_NE(bigFont, Manager().GetFontInfo(-1)->tm.tmHeight);
}

TEST_F(EditTest, PicturesClosedAndOpenMatchTheReferences) {
    // The first tab stop takes the focus when the window opens: let it go to see all closed.
    // The pointer over "number" shows its hot image.
    Manager().SetFocus(nullptr);
    ASSERT_EQ(Run({"move number"}), "");
    EXPECT_TRUE(MatchesReference(m_window->GetHWND(), "edit-closed"));

    // Selected Chinese text on the native background colour.
    ASSERT_EQ(Run({"click chinese"}), "");
    EXPECT_TRUE(MatchesReference(m_window->GetHWND(), "edit-open-chinese"));

    // Mask characters in the editor, one per character, and the caret after them.
    ASSERT_EQ(Run({"click password", "type ab中"}), "");
    EXPECT_TRUE(MatchesReference(m_window->GetHWND(), "edit-open-password"));
}

} // namespace
} // namespace Pane::test
