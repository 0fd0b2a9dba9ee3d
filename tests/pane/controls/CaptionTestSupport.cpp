#include "CaptionTestSupport.h"

#include "pane/core/Automation.h"
#include "platform/backends/Headless.h"
#include "platform/gfx/Image.h"

#include <cstdio>
#include <set>

namespace Pane::test {

void RecordingWindow::Notify(NotifyMessage& msg) {
    m_records.push_back({msg.type.GetData(),
                         msg.sender != nullptr ? msg.sender->Name().GetData() : "", msg.wParam});
    MarkupWindow::Notify(msg);
}

std::vector<NotifyRecord> RecordingWindow::Take() {
    static const std::set<std::string> kControlTypes = {"click", "selectchanged", "link", "menu"};
    std::vector<NotifyRecord> out;
    for (NotifyRecord& record : m_records) {
        if (kControlTypes.count(record.type) != 0)
            out.push_back(std::move(record));
    }
    m_records.clear();
    return out;
}

void CaptionTest::TearDown() {
    m_window.reset();
    FrameworkTest::TearDown();
}

void CaptionTest::Open(const std::string& markup, int width, int height) {
    m_window = std::make_unique<RecordingWindow>(markup);
    ASSERT_TRUE(m_window->Open(width, height));
    m_window->Take();
}

plat::POINT CaptionTest::Screen(int x, int y) const {
    plat::POINT pt{x, y};
    plat::ClientToScreen(m_window->GetHWND(), &pt);
    return pt;
}

plat::POINT CaptionTest::Centre(const char* name) {
    const plat::RECT& rc = m_window->GetManager().FindControl(name)->Position();
    return plat::POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

void CaptionTest::MoveTo(plat::POINT client) {
    const plat::POINT pt = Screen(client.x, client.y);
    plat::headless::MouseMove(pt.x, pt.y);
    PumpMessages();
}

void CaptionTest::Down(plat::POINT client) {
    const plat::POINT pt = Screen(client.x, client.y);
    plat::headless::MouseDown(pt.x, pt.y);
    PumpMessages();
}

void CaptionTest::Up(plat::POINT client) {
    const plat::POINT pt = Screen(client.x, client.y);
    plat::headless::MouseUp(pt.x, pt.y);
    PumpMessages();
}

void CaptionTest::Key(int vk) {
    plat::headless::KeyPress(vk);
    PumpMessages();
}

plat::Bitmap CaptionTest::Pixels(const plat::RECT& rc) const {
    PumpMessages();
    const plat::Bitmap* window = plat::headless::Pixels(m_window->GetHWND());
    plat::Bitmap out(rc.right - rc.left, rc.bottom - rc.top);
    if (window == nullptr)
        return out;
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x)
            out.At(x, y) = window->At(rc.left + x, rc.top + y);
    }
    return out;
}

::testing::AssertionResult MatchesReference(const plat::Bitmap& actual, const std::string& name) {
    // The references sit beside this file's source (the build compiles it by absolute path).
    std::string folder = __FILE__;
    folder.erase(folder.find_last_of('/') + 1);
    const std::string base = folder + "refs/" + name;
    // Both sides go through the PNG form, so premultiplied rounding cannot differ.
    const std::string actualPath = base + ".actual.png";
    plat::Bitmap written;
    if (!plat::WritePngFile(actualPath, actual) || !plat::LoadImageFile(actualPath, &written))
        return ::testing::AssertionFailure() << "cannot write " << actualPath;
    plat::Bitmap reference;
    if (!plat::LoadImageFile(base + ".png", &reference))
        return ::testing::AssertionFailure()
               << "no reference " << base << ".png; actual image in " << actualPath;
    if (reference.width != written.width || reference.height != written.height)
        return ::testing::AssertionFailure()
               << name << ": size " << written.width << "x" << written.height << ", reference "
               << reference.width << "x" << reference.height << "; actual in " << actualPath;
    plat::Bitmap diff(written.width, written.height, 0xFFFFFFFF);
    int differing = 0;
    for (std::size_t i = 0; i < written.pixels.size(); ++i) {
        if (written.pixels[i] != reference.pixels[i]) {
            diff.pixels[i] = 0xFFFF0000;
            ++differing;
        }
    }
    if (differing != 0) {
        plat::WritePngFile(base + ".diff.png", diff);
        return ::testing::AssertionFailure() << name << ": " << differing << " pixels differ; see "
                                             << actualPath << " and " << base << ".diff.png";
    }
    std::remove(actualPath.c_str());
    return ::testing::AssertionSuccess();
}

} // namespace Pane::test
