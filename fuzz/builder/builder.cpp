// Fuzzes the dialog builder and the controls it makes, in a headless window:
// - input starting with "<" is markup, built into the window's UI manager, laid out and painted;
// - any other input is read as a recipe: controls of every class of the builder's table, nested
//   in its containers, each given random attribute name/value pairs (known names and values
//   mixed with random ones); the tree is laid out and painted, then driven with random script
//   lines (clicks, keys, typing, wheel turns, waits on the virtual clock) interleaved with more
//   attribute changes, so that controls meet attributes while open, pressed or focused.
// Includes of files resolve in an empty folder, so nothing but the input is read.
#include "pane/core/Builder.h"
#include "pane/core/Automation.h"
#include "pane/core/Container.h"
#include "pane/core/UIManager.h"
#include "platform/backends/Headless.h"
#include "platform/win/Window.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// Every tag of the builder's table; tags whose classes do not exist yet make no control.
const char* const kTags[] = {
    "Control",
    "Container",
    "VerticalLayout",
    "HorizontalLayout",
    "TabLayout",
    "Label",
    "Text",
    "Button",
    "Option",
    "CheckBox",
    "Edit",
    "Combo",
    "ComboBox",
    "Progress",
    "RichEdit",
    "ScrollBar",
    "List",
    "ListHeader",
    "ListHeaderItem",
    "ListTextElement",
    "ListLabelElement",
    "ListContainerElement",
    "TreeView",
    "TreeNode",
};

// Attribute names the controls know (of the base control, containers, layouts, labels,
// buttons, options, edits and scroll bars).
const char* const kAttributeNames[] = {
    "pos",
    "relativepos",
    "padding",
    "bkcolor",
    "bkcolor1",
    "bkcolor2",
    "bkcolor3",
    "bordercolor",
    "focusbordercolor",
    "colorhsl",
    "bordersize",
    "leftbordersize",
    "topbordersize",
    "rightbordersize",
    "bottombordersize",
    "borderstyle",
    "borderround",
    "bkimage",
    "width",
    "height",
    "minwidth",
    "minheight",
    "maxwidth",
    "maxheight",
    "name",
    "text",
    "tooltip",
    "userdata",
    "enabled",
    "mouse",
    "keyboard",
    "visible",
    "float",
    "shortcut",
    "menu",
    "virtualwnd",
    "inset",
    "childpadding",
    "mousechild",
    "vscrollbar",
    "hscrollbar",
    "vscrollbarstyle",
    "hscrollbarstyle",
    "sepwidth",
    "sepheight",
    "sepimm",
    "sepimage",
    "selectedid",
    "align",
    "endellipsis",
    "font",
    "textcolor",
    "disabledtextcolor",
    "textpadding",
    "showhtml",
    "enabledeffect",
    "rhaa",
    "transshadow",
    "transtext",
    "transshadow1",
    "transtext1",
    "gradientangle",
    "enabledstroke",
    "enabledshadow",
    "transstroke",
    "gradientlength",
    "shadowoffset",
    "textcolor1",
    "textshadowcolora",
    "textshadowcolorb",
    "strokecolor",
    "normalimage",
    "hotimage",
    "pushedimage",
    "focusedimage",
    "disabledimage",
    "foreimage",
    "hotforeimage",
    "hotbkcolor",
    "hottextcolor",
    "pushedtextcolor",
    "focusedtextcolor",
    "group",
    "selected",
    "selectedimage",
    "selectedhotimage",
    "foreselectedimage",
    "selectedtextcolor",
    "selectedbkcolor",
    "readonly",
    "numberonly",
    "password",
    "maxchar",
    "nativebkcolor",
    "hor",
    "linesize",
    "range",
    "value",
    "showbutton1",
    "showbutton2",
    "button1normalimage",
    "button1hotimage",
    "button1pushedimage",
    "button1disabledimage",
    "thumbnormalimage",
    "thumbhotimage",
    "thumbpushedimage",
    "thumbdisabledimage",
    "railnormalimage",
    "railhotimage",
    "railpushedimage",
    "raildisabledimage",
    "bknormalimage",
    "bkhotimage",
    "bkpushedimage",
    "bkdisabledimage",
    "dragable",
};

// Values that reach the interesting branches: booleans, colours, numbers at the edges,
// rectangles, image descriptions, align words, multi-byte text.
const char* const kValues[] = {
    "true",
    "false",
    "#FF336699",
    "80FF0000",
    "0",
    "1",
    "-1",
    "2147483647",
    "-2147483648",
    "9999",
    "0,0,0,0",
    "4,3,4,3",
    "10,10,200,40",
    "-5,-5,5,5",
    "50,50,50,50",
    "1,1",
    "file='logo.png' corner='2,2,2,2'",
    "file='' source='0,0,9999,9999'",
    "res='7' restype='png'",
    "left",
    "center",
    "right",
    "top",
    "vcenter",
    "bottom",
    "right vcenter bottom",
    "中文输入框",
    "a<b>bold</b>{c #FFFF0000}red{/c}<a x>link</a>",
    "",
    "0x7FFF",
    "3.5",
    "1,2",
    "-180",
    "180",
};

// Keys the script knows, with modifiers.
const char* const kKeys[] = {
    "Tab",  "Shift+Tab", "Return", "Escape",   "Up",     "Down",   "Left",      "Right",
    "Home", "End",       "PageUp", "PageDown", "Space",  "Delete", "Backspace", "F1",
    "a",    "7",         "Ctrl+a", "Ctrl+c",   "Ctrl+v", "Ctrl+x", "Ctrl+z",    "Shift+Left",
};

Pane::CUIManager* g_manager = nullptr;

plat::LRESULT FuzzProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
    plat::LRESULT result = 0;
    if (g_manager != nullptr && g_manager->GetPaintWindow() == hwnd &&
        g_manager->MessageHandler(msg, wParam, lParam, result))
        return result;
    return plat::DefWindowProc(hwnd, msg, wParam, lParam);
}

bool Start() {
    ::setenv("PANE_BACKEND", "headless", 1);
    if (!plat::Initialise())
        std::abort();
    static char folder[] = "/tmp/fuzz-builder-XXXXXX";
    if (::mkdtemp(folder) == nullptr)
        std::abort();
    Pane::CUIManager::SetResourcePath(folder);
    plat::WNDCLASS wc;
    wc.lpfnWndProc = &FuzzProc;
    wc.lpszClassName = "FuzzBuilder";
    return plat::RegisterClass(wc);
}

std::string AttributeName(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.PickValueInArray(kAttributeNames)
                            : in.ConsumeRandomLengthString(12);
}

std::string AttributeValue(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.PickValueInArray(kValues) : in.ConsumeRandomLengthString(48);
}

std::string ControlName(FuzzedDataProvider& in, int count) {
    return "c" + std::to_string(in.ConsumeIntegralInRange(0, count));
}

// One script line that needs no file and no other thread.
std::string ScriptLine(FuzzedDataProvider& in, int count) {
    switch (in.ConsumeIntegralInRange(0, 8)) {
        case 0:
            return "click " + ControlName(in, count);
        case 1:
            return "dblclick " + ControlName(in, count);
        case 2:
            return "rclick " + ControlName(in, count);
        case 3:
            return "move " + ControlName(in, count);
        case 4:
            return std::string("key ") + in.PickValueInArray(kKeys);
        case 5:
            return "type " + in.ConsumeRandomLengthString(16);
        case 6:
            return "wheel " + ControlName(in, count) + " " +
                   std::to_string(in.ConsumeIntegralInRange(-5, 5));
        case 7:
            return "wait " + std::to_string(in.ConsumeIntegralInRange(0, 2000));
        default:
            return "expect " + ControlName(in, count) + " text " + in.ConsumeRandomLengthString(8);
    }
}

// Builds the recipe's tree in the manager and drives it.
void RunRecipe(FuzzedDataProvider& in, Pane::CUIManager& manager, plat::HWND hwnd) {
    const char* const rootTags[] = {"VerticalLayout", "HorizontalLayout", "TabLayout", "Container"};
    Pane::CControlUI* root = Pane::CreateControlOfClass(in.PickValueInArray(rootTags));
    if (root == nullptr)
        root = new Pane::CContainerUI;
    root->SetName("c0");
    std::vector<Pane::CControlUI*> controls{root};
    std::vector<Pane::IContainerUI*> containers{
        static_cast<Pane::IContainerUI*>(root->Interface("IContainer"))};

    const int wanted = in.ConsumeIntegralInRange(1, 16);
    for (int i = 1; i <= wanted && in.remaining_bytes() > 0; ++i) {
        Pane::CControlUI* control = Pane::CreateControlOfClass(in.PickValueInArray(kTags));
        if (control == nullptr)
            continue;
        // As the builder does: attached to the manager, then the attributes, then the parent.
        control->SetManager(&manager, nullptr, false);
        control->SetName(("c" + std::to_string(controls.size())).c_str());
        for (int pairs = in.ConsumeIntegralInRange(0, 8); pairs > 0; --pairs)
            control->SetAttribute(AttributeName(in).c_str(), AttributeValue(in).c_str());
        Pane::IContainerUI* parent =
            containers[in.ConsumeIntegralInRange<std::size_t>(0, containers.size() - 1)];
        if (parent == nullptr || !parent->Add(control)) {
            delete control;
            continue;
        }
        controls.push_back(control);
        if (auto* container = static_cast<Pane::IContainerUI*>(control->Interface("IContainer")))
            containers.push_back(container);
    }
    manager.AttachDialog(root);
    plat::ShowWindow(hwnd, plat::SW_SHOWNORMAL);
    plat::InvalidateRect(hwnd, nullptr, false);
    Pane::PumpMessages();

    Pane::CScriptPlayer player;
    const int count = static_cast<int>(controls.size()) - 1;
    for (int steps = 0; steps < 64 && in.remaining_bytes() > 0; ++steps) {
        if (in.ConsumeIntegralInRange(0, 3) == 0) {
            // Looked up by name each time: an earlier step may have removed or renamed it.
            const std::string name = ControlName(in, count);
            if (Pane::CControlUI* control = manager.FindControl(name.c_str())) {
                const std::string attribute = AttributeName(in);
                // Renaming would lose the control to the later steps; "name" stays as it is.
                if (attribute != "name")
                    control->SetAttribute(attribute.c_str(), AttributeValue(in).c_str());
            }
        } else {
            // A line may take several turns (a key chord goes one key a turn); each turn's
            // input is handled before the next, as the program's own loop would.
            const std::string line = ScriptLine(in, count);
            std::string why;
            for (int turn = 0; turn < 8; ++turn) {
                if (player.RunLine(line, &why) != Pane::CScriptPlayer::LineStatus::Pending)
                    break;
                Pane::PumpMessages();
            }
        }
        Pane::PumpMessages();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = Start();
    (void)started;
    const plat::HWND hwnd = plat::CreateWindowEx(0, "FuzzBuilder", "", plat::WS_POPUP, 0, 0, kWidth,
                                                 kHeight, nullptr, 0, nullptr, nullptr);
    {
        auto manager = std::make_unique<Pane::CUIManager>();
        g_manager = manager.get();
        manager->Init(hwnd);
        if (size > 0 && data[0] == '<') {
            Pane::CUIBuilder builder;
            if (builder.GetMarkup()->LoadFromMem(data, size)) {
                Pane::CControlUI* root = builder.Create(nullptr, manager.get());
                if (root != nullptr)
                    manager->AttachDialog(root);
                plat::ShowWindow(hwnd, plat::SW_SHOWNOACTIVATE);
                plat::InvalidateRect(hwnd, nullptr, false);
                plat::headless::PumpMessages();
            }
        } else {
            FuzzedDataProvider in(data, size);
            RunRecipe(in, *manager, hwnd);
        }
        g_manager = nullptr;
    }
    plat::DestroyWindow(hwnd);
    plat::headless::PumpMessages();
    return 0;
}
