#pragma once
// Shared by the label, text, button and option tests: a framework window on the headless
// backend that records each notification with its parameters, pointer and key input aimed at
// controls by name, and pixel comparison against PNG references.

#include "tests/pane/core/FrameworkTestSupport.h"

#include "platform/gfx/Bitmap.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace Pane::test {

// One notification as the window got it.
struct NotifyRecord {
    std::string type;
    std::string sender;
    plat::WPARAM wParam = 0;

    bool operator==(const NotifyRecord&) const = default;
};

class RecordingWindow : public MarkupWindow {
public:
    using MarkupWindow::MarkupWindow;
    void Notify(NotifyMessage& msg) override;

    // The notifications since the last call, leaving out the framework's own (window
    // initialisation, timers, focus and the like): "click", "selectchanged", "link", "menu".
    std::vector<NotifyRecord> Take();

private:
    std::vector<NotifyRecord> m_records;
};

class CaptionTest : public FrameworkTest {
protected:
    void TearDown() override;

    // Builds the markup into a window of that size and shows it; fails the test when it cannot.
    void Open(const std::string& markup, int width, int height);
    template <class T>
    T* Find(const char* name) {
        return dynamic_cast<T*>(m_window->GetManager().FindControl(name));
    }
    // A client point to screen coordinates, for the synthetic input.
    plat::POINT Screen(int x, int y) const;
    // The centre of a control, in client coordinates.
    plat::POINT Centre(const char* name);
    void MoveTo(plat::POINT client);
    void Down(plat::POINT client);
    void Up(plat::POINT client);
    void Key(int vk);
    // The window's pixels inside a client rectangle.
    plat::Bitmap Pixels(const plat::RECT& rc) const;

    std::unique_ptr<RecordingWindow> m_window;
};

// Compares pixels with the reference tests/pane/controls/refs/NAME.png exactly. On a mismatch or
// a missing reference it writes NAME.actual.png (and NAME.diff.png, the differing pixels in red)
// next to the reference and fails.
::testing::AssertionResult MatchesReference(const plat::Bitmap& actual, const std::string& name);

} // namespace Pane::test
