#include "pane/core/Automation.h"

#include "pane/core/Container.h"
#include "pane/core/Control.h"
#include "pane/core/UIManager.h"
#include "platform/backends/Headless.h"
#include "platform/sys/File.h"
#include "platform/win/Backend.h"
#include "platform/win/Window.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace Pane {

namespace {

const IAutomationStateUI* StateOf(CControlUI* control) {
    return static_cast<const IAutomationStateUI*>(control->Interface(kAutomationStateInterface));
}

std::string Hex8(uint32_t value) {
    char text[12];
    std::snprintf(text, sizeof text, "#%08X", value);
    return text;
}

std::string RectText(const plat::RECT& rc) {
    char text[64];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", rc.left, rc.top, rc.right, rc.bottom);
    return text;
}

// The scroll bars of a container, then its children, in dump order. A container may answer
// for the bars of a part of it (a list for its body's); a bar is listed only under the
// container that holds it, so each appears once.
std::vector<CControlUI*> ChildrenOf(CControlUI* control) {
    std::vector<CControlUI*> children;
    auto* container = static_cast<CContainerUI*>(control->Interface("Container"));
    if (container == nullptr)
        return children;
    for (CControlUI* bar : {container->VerticalScrollBar(), container->HorizontalScrollBar()}) {
        if (bar != nullptr && bar->Parent() == control)
            children.push_back(bar);
    }
    for (int i = 0; i < container->GetCount(); ++i)
        children.push_back(container->GetItemAt(i));
    return children;
}

// The managers in creation order, the one of the active window first when `activeFirst`.
std::vector<CUIManager*> Managers(bool activeFirst) {
    std::vector<CUIManager*> managers;
    for (int i = 0; i < CUIManager::GetManagerCount(); ++i)
        managers.push_back(CUIManager::GetManager(i));
    if (activeFirst) {
        const plat::HWND active = plat::GetActiveWindow();
        for (std::size_t i = 0; i < managers.size(); ++i) {
            if (managers[i]->GetPaintWindow() == active) {
                CUIManager* found = managers[i];
                managers.erase(managers.begin() + static_cast<std::ptrdiff_t>(i));
                managers.insert(managers.begin(), found);
                break;
            }
        }
    }
    return managers;
}

CControlUI* FindInTree(CControlUI* control, const std::string& name, bool byText) {
    if (control == nullptr)
        return nullptr;
    const CUIString own = byText ? control->GetText() : control->Name();
    if (name == own.GetData())
        return control;
    for (CControlUI* child : ChildrenOf(control)) {
        if (CControlUI* found = FindInTree(child, name, byText))
            return found;
    }
    return nullptr;
}

// The value of a property as the script writes it; false when the control has no such
// property (checked or sel on a control without them).
bool PropertyOf(CControlUI* control, const std::string& property, std::string* value) {
    const auto boolean = [](bool b) { return std::string(b ? "true" : "false"); };
    const IAutomationStateUI* state = StateOf(control);
    if (property == "text") {
        *value = control->GetText().GetData();
    } else if (property == "visible") {
        *value = boolean(control->IsVisible());
    } else if (property == "enabled") {
        *value = boolean(control->IsEnabled());
    } else if (property == "focused") {
        *value = boolean(control->IsFocused());
    } else if (property == "checked") {
        if (state == nullptr || !state->HasCheckedState())
            return false;
        *value = boolean(state->IsCheckedState());
    } else if (property == "sel") {
        if (state == nullptr || !state->HasSelection())
            return false;
        *value = std::to_string(state->CurrentSelection());
    } else if (property == "tooltip") {
        *value = control->ToolTip().GetData();
    } else if (property == "bk") {
        *value = Hex8(control->BkColor());
    } else {
        return false;
    }
    return true;
}

// Splits off the first word of `rest` (words are separated by spaces).
std::string NextWord(std::string& rest) {
    const std::size_t start = rest.find_first_not_of(' ');
    if (start == std::string::npos) {
        rest.clear();
        return {};
    }
    const std::size_t end = rest.find(' ', start);
    std::string word =
        rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
    rest = end == std::string::npos ? std::string() : rest.substr(end + 1);
    return word;
}

bool ParseNumber(const std::string& text, long* out) {
    if (text.empty())
        return false;
    char* end = nullptr;
    *out = std::strtol(text.c_str(), &end, 10);
    return *end == '\0';
}

struct KeyName {
    const char* name;
    int vk;
};
const KeyName kKeys[] = {
    {"Tab", plat::VK_TAB},       {"Return", plat::VK_RETURN},  {"Escape", plat::VK_ESCAPE},
    {"Up", plat::VK_UP},         {"Down", plat::VK_DOWN},      {"Left", plat::VK_LEFT},
    {"Right", plat::VK_RIGHT},   {"Home", plat::VK_HOME},      {"End", plat::VK_END},
    {"PageUp", plat::VK_PRIOR},  {"PageDown", plat::VK_NEXT},  {"Space", plat::VK_SPACE},
    {"Delete", plat::VK_DELETE}, {"Backspace", plat::VK_BACK},
};

// The virtual key of a key name: the table above, F1..F12, a letter or a digit; 0 when none.
int VirtualKey(const std::string& name) {
    for (const KeyName& key : kKeys) {
        if (name == key.name)
            return key.vk;
    }
    if (name.size() >= 2 && name[0] == 'F') {
        long n = 0;
        if (ParseNumber(name.substr(1), &n) && n >= 1 && n <= 12)
            return plat::VK_F1 + static_cast<int>(n) - 1;
    }
    if (name.size() == 1) {
        const char c = name[0];
        if (c >= 'a' && c <= 'z')
            return c - 'a' + 'A';
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            return c;
    }
    return 0;
}

// The centre of a control in screen coordinates; false when it cannot be pointed at.
bool ControlCentre(CControlUI* control, plat::POINT* pt, std::string* why) {
    if (!control->IsVisible()) {
        *why = "control is not visible";
        return false;
    }
    CUIManager* manager = control->Manager();
    if (manager == nullptr || manager->GetPaintWindow() == nullptr) {
        *why = "control has no window";
        return false;
    }
    const plat::RECT rc = control->Position();
    pt->x = (rc.left + rc.right) / 2;
    pt->y = (rc.top + rc.bottom) / 2;
    plat::ClientToScreen(manager->GetPaintWindow(), pt);
    return true;
}

plat::HWND ShotWindow() {
    const plat::HWND active = plat::GetActiveWindow();
    if (active != nullptr)
        return active;
    const std::vector<CUIManager*> managers = Managers(false);
    return managers.empty() ? nullptr : managers.front()->GetPaintWindow();
}

// PANE_DUMP and PANE_SCRIPT, read once per process.
struct AutomationState {
    bool started = false;
    std::string dumpPath;
    std::string lastDump;
    CScriptPlayer script;
};
AutomationState& State() {
    static AutomationState state;
    return state;
}

void DumpAfterPaint(CUIManager*) {
    AutomationState& state = State();
    std::string dump = DumpWindows();
    if (dump == state.lastDump)
        return;
    state.lastDump = std::move(dump);
    WriteDump(state.dumpPath);
}

bool AnyWindowShown() {
    for (CUIManager* manager : Managers(false)) {
        if (plat::IsWindowVisible(manager->GetPaintWindow()))
            return true;
    }
    return false;
}

void PlayScriptLine() {
    AutomationState& state = State();
    if (!AnyWindowShown())
        return;
    if (state.script.Step())
        return;
    if (state.script.Failed()) {
        std::fprintf(stderr, "%s\n", state.script.Error().c_str());
        std::fflush(nullptr);
        std::_Exit(3);
    }
    // The end of the script, or its "quit", ends the program.
    plat::headless::SetIdleHook(nullptr);
    plat::PostQuitMessage(0);
}

} // namespace

int PumpMessages() {
    int count = 0;
    plat::MSG msg;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
        if (msg.message == plat::WM_QUIT) {
            // Left for the program's own message loop to see.
            plat::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!CUIManager::TranslateMessage(&msg)) {
            plat::TranslateMessage(&msg);
            plat::DispatchMessage(&msg);
        }
        ++count;
    }
    return count;
}

std::string EscapeDumpText(const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += *p;
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += *p;
        }
    }
    return out;
}

void DumpControl(std::string& out, CControlUI* control, int depth) {
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
    out += control->ClassName();
    out +=
        " \"" + EscapeDumpText(control->Name().GetData()) + "\" " + RectText(control->Position());
    if (!control->IsVisible())
        out += " hidden";
    if (!control->IsEnabled())
        out += " disabled";
    if (control->IsFloat())
        out += " float";
    if (control->IsFocused())
        out += " focused";
    if (const IAutomationStateUI* state = StateOf(control)) {
        if (state->HasCheckedState() && state->IsCheckedState())
            out += " checked";
        if (state->HasSelection())
            out += " sel=" + std::to_string(state->CurrentSelection());
    }
    if (control->BkColor() != 0)
        out += " bk=" + Hex8(control->BkColor());
    if (!control->GetText().IsEmpty())
        out += " text=\"" + EscapeDumpText(control->GetText().GetData()) + "\"";
    out += '\n';
    for (CControlUI* child : ChildrenOf(control))
        DumpControl(out, child, depth + 1);
}

std::string DumpWindows() {
    std::string out;
    const plat::HWND active = plat::GetActiveWindow();
    for (CUIManager* manager : Managers(false)) {
        const plat::HWND hwnd = manager->GetPaintWindow();
        if (!plat::IsWindow(hwnd))
            continue;
        plat::RECT rc;
        plat::GetWindowRect(hwnd, &rc);
        out += "window \"" + EscapeDumpText(plat::GetWindowTextString(hwnd).c_str()) + "\" " +
               RectText(rc);
        if (hwnd == active)
            out += " active";
        if (!plat::IsWindowEnabled(hwnd))
            out += " disabled";
        if (!plat::IsWindowVisible(hwnd))
            out += " hidden";
        out += '\n';
        if (CControlUI* root = manager->GetRoot())
            DumpControl(out, root, 1);
    }
    return out;
}

bool WriteDump(const std::string& path) {
    const std::string dump = DumpWindows();
    if (path == "-") {
        return std::fwrite(dump.data(), 1, dump.size(), stdout) == dump.size() &&
               std::fflush(stdout) == 0;
    }
    // Readers never see half a dump: it is written beside the file and renamed over it. That
    // would replace anything but a plain file (a device such as /dev/null, a pipe, a link) with
    // a plain file, so those are written in place.
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr)
            return false;
        const bool written = std::fwrite(dump.data(), 1, dump.size(), file) == dump.size();
        return std::fclose(file) == 0 && written;
    }
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(dump.data(), 1, dump.size(), file) == dump.size();
    if (std::fclose(file) != 0 || !written || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

CControlUI* FindAutomationControl(const std::string& name) {
    const bool byText = !name.empty() && name[0] == '@';
    const std::string wanted = byText ? name.substr(1) : name;
    if (wanted.empty() && !byText)
        return nullptr;
    for (CUIManager* manager : Managers(true)) {
        if (CControlUI* found = FindInTree(manager->GetRoot(), wanted, byText))
            return found;
    }
    return nullptr;
}

void StartAutomation() {
    AutomationState& state = State();
    if (state.started)
        return;
    state.started = true;
    if (const char* dump = std::getenv("PANE_DUMP"); dump != nullptr && *dump != '\0') {
        state.dumpPath = dump;
        CUIManager::SetPaintHook(&DumpAfterPaint);
    }
    if (const char* script = std::getenv("PANE_SCRIPT"); script != nullptr && *script != '\0') {
        if (!plat::headless::Active()) {
            std::fprintf(stderr,
                         "PANE_SCRIPT needs the headless backend (PANE_BACKEND=headless)\n");
            std::fflush(nullptr);
            std::_Exit(3);
        }
        if (!state.script.Load(script)) {
            std::fprintf(stderr, "%s: cannot read the script\n", script);
            std::fflush(nullptr);
            std::_Exit(3);
        }
        plat::headless::SetIdleHook(&PlayScriptLine);
    }
}

bool CScriptPlayer::Load(const std::string& path) {
    std::string text;
    if (!plat::ReadFileText(path, &text))
        return false;
    LoadText(text, path);
    return true;
}

void CScriptPlayer::LoadText(const std::string& text, const std::string& name) {
    m_lines.clear();
    m_name = name;
    m_next = 0;
    m_error.clear();
    m_quit = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        m_lines.push_back(std::move(line));
        start = end + 1;
    }
}

bool CScriptPlayer::Step() {
    while (m_next < m_lines.size() && !m_quit && m_error.empty()) {
        const std::string& line = m_lines[m_next];
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') {
            ++m_next;
            continue;
        }
        std::string why;
        const LineStatus status = RunLine(line.substr(first), &why);
        if (status == LineStatus::Pending)
            return true;
        ++m_next;
        if (status == LineStatus::Failed) {
            m_error = m_name + ":" + std::to_string(m_next) + ": " + why;
            return false;
        }
        return !m_quit;
    }
    return false;
}

CScriptPlayer::LineStatus CScriptPlayer::RunLine(const std::string& line, std::string* why) {
    if (line != m_current) {
        m_current = line;
        m_stage = 0;
        m_deadline.reset();
    }
    const LineStatus status = Run(line, why);
    if (status != LineStatus::Pending)
        m_current.clear();
    return status;
}

CScriptPlayer::LineStatus CScriptPlayer::Run(const std::string& line, std::string* why) {
    const auto fail = [why](std::string reason) {
        *why = std::move(reason);
        return LineStatus::Failed;
    };
    std::string rest = line;
    const std::string command = NextWord(rest);
    const auto control = [](const std::string& name, CControlUI** out) -> std::string {
        if (name.empty())
            return "no control named";
        *out = FindAutomationControl(name);
        return *out != nullptr ? std::string() : "no control " + name;
    };

    // Input is only queued here: the program's own message loop (a modal one too) handles it
    // before the next line runs.
    if (command == "click" || command == "dblclick" || command == "rclick" || command == "move") {
        // The name is the rest of the line, so "@TEXT" may hold spaces.
        CControlUI* target = nullptr;
        if (std::string reason = control(rest, &target); !reason.empty())
            return fail(reason);
        plat::POINT pt;
        if (std::string reason; !ControlCentre(target, &pt, &reason))
            return fail(reason);
        plat::InputMouseMove(nullptr, pt);
        const plat::MouseButton button =
            command == "rclick" ? plat::MouseButton::Right : plat::MouseButton::Left;
        const int clicks = command == "move" ? 0 : command == "dblclick" ? 2 : 1;
        for (int i = 0; i < clicks; ++i) {
            plat::InputMouseButton(nullptr, pt, button, true);
            plat::InputMouseButton(nullptr, pt, button, false);
        }
        return LineStatus::Done;
    }
    if (command == "key") {
        std::string name = NextWord(rest);
        std::vector<int> modifiers;
        for (;;) {
            if (name.rfind("Shift+", 0) == 0) {
                modifiers.push_back(plat::VK_SHIFT);
                name.erase(0, 6);
            } else if (name.rfind("Ctrl+", 0) == 0) {
                modifiers.push_back(plat::VK_CONTROL);
                name.erase(0, 5);
            } else if (name.rfind("Alt+", 0) == 0) {
                modifiers.push_back(plat::VK_MENU);
                name.erase(0, 4);
            } else {
                break;
            }
        }
        const int vk = VirtualKey(name);
        if (vk == 0)
            return fail("unknown key \"" + name + "\"");
        // One key change a turn: each is handled before the next changes the keyboard's state,
        // so the key state read while handling it is the one it was pressed with.
        std::vector<std::pair<int, bool>> sequence;
        for (int m : modifiers)
            sequence.emplace_back(m, true);
        sequence.emplace_back(vk, true);
        sequence.emplace_back(vk, false);
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
            sequence.emplace_back(*it, false);
        const auto& [key, down] = sequence[static_cast<std::size_t>(m_stage)];
        plat::InputKey(key, down);
        return ++m_stage < static_cast<int>(sequence.size()) ? LineStatus::Pending
                                                             : LineStatus::Done;
    }
    if (command == "type") {
        plat::InputText(rest);
        return LineStatus::Done;
    }
    if (command == "wheel") {
        CControlUI* target = nullptr;
        if (std::string reason = control(NextWord(rest), &target); !reason.empty())
            return fail(reason);
        long notches = 0;
        if (!ParseNumber(NextWord(rest), &notches))
            return fail("wheel needs a number of notches");
        plat::POINT pt;
        if (std::string reason; !ControlCentre(target, &pt, &reason))
            return fail(reason);
        plat::InputMouseMove(nullptr, pt);
        plat::InputMouseWheel(nullptr, pt, static_cast<int>(notches * plat::WHEEL_DELTA));
        return LineStatus::Done;
    }
    if (command == "wait") {
        long ms = 0;
        if (!ParseNumber(NextWord(rest), &ms) || ms < 0)
            return fail("wait needs milliseconds");
        plat::headless::AdvanceClock(static_cast<plat::DWORD>(ms));
        return LineStatus::Done;
    }
    if (command == "expect" || command == "waitfor") {
        const std::string name = NextWord(rest);
        const std::string property = NextWord(rest);
        std::string expected;
        long limitMs = 10000;
        const bool wholeLine = property == "text" || property == "tooltip";
        if (command == "expect" || wholeLine) {
            // A text is the rest of the line (waitfor's time limit stays its default then).
            expected = wholeLine ? rest : NextWord(rest);
        } else {
            expected = NextWord(rest);
            if (const std::string limit = NextWord(rest); !limit.empty()) {
                if (!ParseNumber(limit, &limitMs) || limitMs < 0)
                    return fail("waitfor's time limit must be milliseconds");
            }
        }
        if (property.empty())
            return fail(command + " needs a control, a property and a value");
        const auto now = std::chrono::steady_clock::now();
        if (!m_deadline)
            m_deadline = now + std::chrono::milliseconds(limitMs);
        CControlUI* target = FindAutomationControl(name);
        std::string actual;
        if (target != nullptr && !PropertyOf(target, property, &actual))
            return fail("control " + name + " has no property " + property);
        if (target != nullptr && actual == expected)
            return LineStatus::Done;
        if (command == "waitfor" && now < *m_deadline) {
            // Other threads' work arrives as messages, which the program handles before this
            // line is asked again; a short nap keeps the wait from spinning a core.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return LineStatus::Pending;
        }
        if (target == nullptr)
            return fail("no control " + name);
        return fail(name + " " + property + " is \"" + actual + "\", expected \"" + expected +
                    "\"");
    }
    if (command == "dump") {
        if (rest.empty())
            return fail("dump needs a file");
        return WriteDump(rest) ? LineStatus::Done : fail("cannot write " + rest);
    }
    if (command == "shot") {
        if (rest.empty())
            return fail("shot needs a file");
        const plat::HWND hwnd = ShotWindow();
        if (hwnd == nullptr)
            return fail("no window to take a picture of");
        return plat::headless::SavePng(hwnd, rest) ? LineStatus::Done
                                                   : fail("cannot write " + rest);
    }
    if (command == "quit") {
        m_quit = true;
        return LineStatus::Done;
    }
    return fail("unknown command \"" + command + "\"");
}

} // namespace Pane
