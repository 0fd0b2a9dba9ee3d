// The dialog builder: window settings, declarations, the class table and the callback,
// attribute order, includes, placement under a parent, and the builds that must fail.
#include "FrameworkTestSupport.h"

#include "pane/core/Builder.h"
#include "pane/core/Container.h"
#include "pane/core/UIManager.h"
#include "platform/sys/Resource.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <utility>

namespace Pane::test {
namespace {

plat::LRESULT PlainProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
    return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}

// A manager attached to a plain 100 x 100 window at (40, 30).
class BuilderTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        plat::WNDCLASS wc;
        wc.lpfnWndProc = &PlainProc;
        wc.lpszClassName = "BuilderTestWindow";
        ASSERT_TRUE(plat::RegisterClass(wc));
        m_hwnd = plat::CreateWindowEx(0, "BuilderTestWindow", "", plat::WS_OVERLAPPEDWINDOW, 40, 30,
                                      100, 100, nullptr, 0, nullptr, nullptr);
        ASSERT_NE(m_hwnd, nullptr);
        m_manager = std::make_unique<CUIManager>();
        m_manager->Init(m_hwnd);
    }
    void TearDown() override {
        m_manager.reset();
        plat::DestroyWindow(m_hwnd);
        FrameworkTest::TearDown();
    }

    plat::SIZE WindowSize() const {
        plat::RECT rc;
        plat::GetWindowRect(m_hwnd, &rc);
        return plat::SIZE{rc.right - rc.left, rc.bottom - rc.top};
    }

    plat::HWND m_hwnd = nullptr;
    std::unique_ptr<CUIManager> m_manager;
};

// Records the window's size at the moment the builder asks for the first control.
class SizeProbe : public IDialogBuilderCallback {
public:
    explicit SizeProbe(plat::HWND hwnd) : m_hwnd(hwnd) {}
    CControlUI* CreateControl(const char*) override {
        plat::RECT rc;
        plat::GetWindowRect(m_hwnd, &rc);
        seen = plat::SIZE{rc.right - rc.left, rc.bottom - rc.top};
        return new CControlUI;
    }
    plat::SIZE seen{-1, -1};

private:
    plat::HWND m_hwnd;
};

TEST_F(BuilderTest, WindowAttributesReachTheManagerBeforeAnyControlExists) {
    SizeProbe probe(m_hwnd);
    CUIBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(
        "<Window size=\"320,240\" caption=\"4,0,6,36\" sizebox=\"1,2,3,4\" roundcorner=\"5,7\" "
        "mininfo=\"200,150\" maxinfo=\"900,700\" showdirty=\"true\" bktrans=\"true\" "
        "disabledfontcolor=\"#FF010203\" defaultfontcolor=\"FF040506\" "
        "linkfontcolor=\"#FF070809\" linkhoverfontcolor=\"#FF0A0B0C\" "
        "selectedcolor=\"#FF0D0E0F\" unknown=\"1\"><First/></Window>",
        nullptr, &probe, m_manager.get()));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(probe.seen.cx, 320);
    EXPECT_EQ(probe.seen.cy, 240);
    plat::RECT rc;
    plat::GetWindowRect(m_hwnd, &rc);
    EXPECT_EQ(rc.left, 40); // the position stays
    EXPECT_EQ(rc.top, 30);
    EXPECT_EQ(m_manager->GetInitSize().cx, 320);
    EXPECT_EQ(m_manager->GetCaptionRect().right, 6);
    EXPECT_EQ(m_manager->GetCaptionRect().bottom, 36);
    EXPECT_EQ(m_manager->GetSizeBox().bottom, 4);
    EXPECT_EQ(m_manager->GetRoundCorner().cy, 7);
    EXPECT_EQ(m_manager->GetMinInfo().cx, 200);
    EXPECT_EQ(m_manager->GetMaxInfo().cy, 700);
    EXPECT_TRUE(m_manager->IsShowUpdateRect());
    EXPECT_TRUE(m_manager->IsBackgroundTransparent());
    EXPECT_EQ(m_manager->GetDefaultDisabledColor(), 0xFF010203u);
    EXPECT_EQ(m_manager->GetDefaultFontColor(), 0xFF040506u);
    EXPECT_EQ(m_manager->GetDefaultLinkFontColor(), 0xFF070809u);
    EXPECT_EQ(m_manager->GetDefaultLinkHoverFontColor(), 0xFF0A0B0Cu);
    EXPECT_EQ(m_manager->GetDefaultSelectedBkColor(), 0xFF0D0E0Fu);
}

TEST_F(BuilderTest, AWindowSizeBeyondAnyScreenIsCut) {
    CUIBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(
        "<Window size=\"100000,-5\"><Control/></Window>", nullptr, nullptr, m_manager.get()));
    EXPECT_EQ(m_manager->GetInitSize().cx, CUIBuilder::kMaxWindowSize);
    EXPECT_EQ(m_manager->GetInitSize().cy, 0);
    EXPECT_LE(WindowSize().cx, CUIBuilder::kMaxWindowSize);
}

TEST_F(BuilderTest, SizeOfAManagerWithARootIsRememberedButTheWindowKeepsItsSize) {
    m_manager->AttachDialog(new CControlUI);
    CUIBuilder builder;
    std::unique_ptr<CControlUI> built(builder.Create("<Window size=\"320,240\"><Control/></Window>",
                                                     nullptr, nullptr, m_manager.get()));
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(m_manager->GetInitSize().cx, 320);
    EXPECT_EQ(WindowSize().cx, 100);
}

TEST_F(BuilderTest, DeclarationsRegisterFontsImagesAndDefaultsAndTheElementOverridesTheDefault) {
    CUIBuilder builder;
    const std::string icon = std::string(ZELTA_SOURCE_DIR) + "/resources/icon.png";
    std::unique_ptr<CControlUI> control(builder.Create(
        ("<Window>"
         "<Font name=\"DejaVu Sans\" size=\"17\" bold=\"true\" default=\"true\"/>"
         "<Font name=\"DejaVu Sans\" italic=\"TRUE\"/>"
         "<Image name=\"" +
         icon +
         "\" mask=\"#FFFF00FF\"/><Image restype=\"png\"/>"
         "<Default name=\"Control\" value=\"bkcolor=&quot;#FF000001&quot; bordersize=&quot;3&quot; "
         "name=&quot;fromdefault&quot;\"/>"
         "<Default name=\"Control\" value=\"bordersize=&quot;9&quot;\"/>"
         "<Control name=\"own\" bkcolor=\"#FF00FF00\"/>"
         "</Window>")
            .c_str(),
        nullptr, nullptr, m_manager.get()));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->BkColor(), 0xFF00FF00u); // the element's own value wins
    EXPECT_EQ(control->BorderSize(), 3);        // the first Default of a name stays
    EXPECT_STREQ(control->Name().GetData(), "own");
    EXPECT_EQ(control->Manager(), nullptr); // detached again until the root is attached

    ASSERT_EQ(m_manager->GetCustomFontCount(), 2);
    const FontInfo* bold = m_manager->GetFontInfo(0);
    ASSERT_NE(bold, nullptr);
    EXPECT_EQ(bold->size, 17);
    EXPECT_TRUE(bold->bold);
    const FontInfo* plain = m_manager->GetFontInfo(1);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->size, 12);  // the default size
    EXPECT_FALSE(plain->italic); // only exactly "true" counts
    const FontInfo* def = m_manager->GetDefaultFontInfo();
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->size, 17);
    const ImageInfo* image = m_manager->GetImage(icon.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->mask, 0xFFFF00FFu);
}

TEST_F(BuilderTest, UnknownAndWrongCaseTagsGoToTheCallbackAndNullSkipsThem) {
    ProbeCallback callback;
    CContainerUI parent;
    CUIBuilder builder;
    CControlUI* first = builder.Create("<Window><control/><Widget/><Probe name=\"p\"/><CONTAINER/>"
                                       "<Control name=\"c\"/></Window>",
                                       nullptr, &callback, nullptr, &parent);
    EXPECT_EQ(callback.asked,
              (std::vector<std::string>{"control", "Widget", "Probe", "CONTAINER"}));
    ASSERT_EQ(parent.GetCount(), 2);
    EXPECT_EQ(first, parent.GetItemAt(0));
    EXPECT_STREQ(parent.GetItemAt(0)->ClassName(), "ProbeUI");
    EXPECT_STREQ(parent.GetItemAt(1)->ClassName(), "ControlUI");

    // Without a callback the unknown names are skipped just the same.
    CUIBuilder plain;
    CContainerUI other;
    plain.Create("<Window><Widget/><Control/></Window>", nullptr, nullptr, nullptr, &other);
    EXPECT_EQ(other.GetCount(), 1);
}

TEST_F(BuilderTest, ARootOtherThanWindowIsNoControlAndSetsNothingOnTheManager) {
    CContainerUI parent;
    CUIBuilder builder;
    CControlUI* first = builder.Create(
        "<Page size=\"500,400\" caption=\"0,0,0,20\"><Control name=\"a\"/>"
        "<Container name=\"b\"><Control name=\"b1\"/><Control name=\"b2\"/></Container></Page>",
        nullptr, nullptr, m_manager.get(), &parent);
    ASSERT_EQ(parent.GetCount(), 2);
    EXPECT_EQ(first, parent.GetItemAt(0));
    EXPECT_STREQ(parent.GetItemAt(1)->Name().GetData(), "b");
    auto* inner = static_cast<CContainerUI*>(parent.GetItemAt(1)->Interface("Container"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->GetCount(), 2);
    EXPECT_EQ(WindowSize().cx, 100);
    EXPECT_EQ(m_manager->GetCaptionRect().bottom, 0);
}

TEST_F(BuilderTest, IncludeWithACountInsertsThatManyCopiesIntoTheSameParent) {
    CContainerUI parent;
    CUIBuilder builder;
    builder.Create("<Window><Control name=\"before\"/>"
                   "<Include count=\"3\" source=\"&lt;Window&gt;&lt;Control name=&quot;x&quot;/&gt;"
                   "&lt;Control name=&quot;y&quot;/&gt;&lt;/Window&gt;\"/>"
                   "<Include count=\"0\" source=\"&lt;Window&gt;&lt;Control/&gt;&lt;/Window&gt;\"/>"
                   "<Include count=\"2\"/>"
                   "<Control name=\"after\"/></Window>",
                   nullptr, nullptr, nullptr, &parent);
    ASSERT_EQ(parent.GetCount(), 8);
    std::string names;
    for (int i = 0; i < parent.GetCount(); ++i)
        names += std::string(parent.GetItemAt(i)->Name().GetData()) + " ";
    EXPECT_EQ(names, "before x y x y x y after ");
}

TEST_F(BuilderTest, IncludesOfFilesAreRelativeToTheResourcePathAndASelfIncludeEnds) {
    char folder[] = "/tmp/builder-test-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string dir = std::string(folder) + "/";
    std::ofstream(dir + "part.xml") << "<Window><Control name=\"part\"/></Window>";
    std::ofstream(dir + "self.xml")
        << "<Window><Control name=\"s\"/><Include source=\"self.xml\"/></Window>";
    const CUIString savedPath = CUIManager::GetResourcePath();
    CUIManager::SetResourcePath(dir.c_str());

    CContainerUI parent;
    CUIBuilder builder;
    builder.Create("<Window><Include source=\"part.xml\" count=\"2\"/></Window>", nullptr, nullptr,
                   nullptr, &parent);
    EXPECT_EQ(parent.GetCount(), 2);

    CContainerUI selfParent;
    CUIBuilder self;
    EXPECT_NE(self.Create("self.xml", nullptr, nullptr, nullptr, &selfParent), nullptr);
    EXPECT_EQ(selfParent.GetCount(), CUIBuilder::kMaxIncludeDepth + 1);

    CUIManager::SetResourcePath(savedPath.GetData());
    std::remove((dir + "part.xml").c_str());
    std::remove((dir + "self.xml").c_str());
    ::rmdir(folder);
}

TEST_F(BuilderTest, MultipliedIncludeCountsStopAtTheControlBudget) {
    // Three levels of 1000 copies would ask for a billion controls.
    const std::string level2 = "&lt;Window&gt;&lt;Include count=&quot;1000&quot; source=&quot;" +
                               std::string("&amp;lt;Window&amp;gt;&amp;lt;Control/&amp;gt;"
                                           "&amp;lt;/Window&amp;gt;") +
                               "&quot;/&gt;&lt;/Window&gt;";
    CContainerUI parent;
    CUIBuilder builder;
    builder.Create(("<Window><Include count=\"1000\" source=\"" + level2 + "\"/></Window>").c_str(),
                   nullptr, nullptr, nullptr, &parent);
    EXPECT_EQ(static_cast<std::size_t>(parent.GetCount()), CUIBuilder::kMaxControls);
}

TEST_F(BuilderTest, NestingDeeperThanTheLimitIsCut) {
    std::string markup = "<Window>";
    for (int i = 0; i < CUIBuilder::kMaxNesting + 50; ++i)
        markup += "<Container>";
    for (int i = 0; i < CUIBuilder::kMaxNesting + 50; ++i)
        markup += "</Container>";
    markup += "</Window>";
    CUIBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(markup.c_str()));
    int depth = 0;
    for (CControlUI* at = root.get(); at != nullptr; ++depth) {
        auto* container = static_cast<CContainerUI*>(at->Interface("Container"));
        at = container != nullptr ? container->GetItemAt(0) : nullptr;
    }
    EXPECT_EQ(depth, CUIBuilder::kMaxNesting);
}

TEST_F(BuilderTest, ResourceMarkupIncludesResourcesOfItsOwnType) {
    static const char kOuter[] = "<Window><Control name=\"outer\"/><Include source=\"702\" "
                                 "count=\"2\"/></Window>";
    static const char kInner[] = "<Window><Control name=\"inner\"/></Window>";
    static const plat::ResourceEntry kTable[] = {
        {701, "XML", reinterpret_cast<const uint8_t*>(kOuter), sizeof kOuter - 1},
        {702, "XML", reinterpret_cast<const uint8_t*>(kInner), sizeof kInner - 1},
    };
    plat::RegisterResources(kTable, 2);
    CContainerUI parent;
    CUIBuilder builder;
    EXPECT_NE(builder.Create(701, "XML", nullptr, nullptr, &parent), nullptr);
    ASSERT_EQ(parent.GetCount(), 3);
    EXPECT_STREQ(parent.GetItemAt(2)->Name().GetData(), "inner");
    CUIBuilder missing;
    EXPECT_EQ(missing.Create(703, "XML", nullptr, nullptr, &parent), nullptr);
    plat::UnregisterResources(kTable);
}

TEST_F(BuilderTest, BuildsThatCannotBeDoneGiveNull) {
    CUIBuilder builder;
    EXPECT_EQ(builder.Create("<Window><Control></Window>"), nullptr); // parse error
    EXPECT_STRNE(builder.GetLastErrorMessage(), "");
    EXPECT_EQ(builder.Create("no-such-file.xml"), nullptr);
    EXPECT_EQ(builder.Create("   "), nullptr);       // a file name, not markup
    EXPECT_EQ(builder.Create("<Window/>"), nullptr); // nothing to build

    // A parent that cannot hold children ends the whole build; nothing built stays behind.
    CControlUI notAContainer;
    EXPECT_EQ(builder.Create("<Window><Control/><Control/></Window>", nullptr, nullptr, nullptr,
                             &notAContainer),
              nullptr);
    // Deeper down too: the plain control cannot take the container's grandchild.
    CContainerUI parent;
    EXPECT_EQ(builder.Create("<Window><Container><Control><Control/></Control></Container>"
                             "</Window>",
                             nullptr, nullptr, nullptr, &parent),
              nullptr);
    EXPECT_EQ(parent.GetCount(), 0);
    // Without a parent, the controls built before the failure go too (the leak checker sees).
    EXPECT_EQ(builder.Create("<Window><Control/><Control><Control/></Control></Window>"), nullptr);
}

TEST_F(BuilderTest, WithoutAParentOnlyTheFirstTopLevelControlIsHandedBack) {
    CUIBuilder builder;
    std::unique_ptr<CControlUI> first(
        builder.Create("<Window><Control name=\"one\"/><Control name=\"two\"/></Window>"));
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->Name().GetData(), "one");
}

TEST_F(BuilderTest, ClassTableKnowsItsTagsWithCase) {
    std::unique_ptr<CControlUI> control(CreateControlOfClass("Control"));
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->ClassName(), "ControlUI");
    std::unique_ptr<CControlUI> container(CreateControlOfClass("Container"));
    ASSERT_NE(container, nullptr);
    EXPECT_STREQ(container->ClassName(), "ContainerUI");
    EXPECT_EQ(CreateControlOfClass("container"), nullptr);
    const std::pair<const char*, const char*> kTags[] = {{"VerticalLayout", "VerticalLayoutUI"},
                                                         {"HorizontalLayout", "HorizontalLayoutUI"},
                                                         {"TabLayout", "TabLayoutUI"},
                                                         {"ScrollBar", "ScrollBarUI"}};
    for (const auto& [tag, className] : kTags) {
        std::unique_ptr<CControlUI> made(CreateControlOfClass(tag));
        ASSERT_NE(made, nullptr) << tag;
        EXPECT_STREQ(made->ClassName(), className);
        // The element name is the interface name.
        EXPECT_EQ(made->Interface(tag), made.get());
    }
    EXPECT_EQ(CreateControlOfClass("scrollbar"), nullptr);
    EXPECT_EQ(CreateControlOfClass(nullptr), nullptr);
    CUIBuilder builder; // installs the table as the core's factory
    std::unique_ptr<CControlUI> made(CreateControlByTag("Container"));
    EXPECT_NE(made, nullptr);
}

} // namespace
} // namespace Pane::test
