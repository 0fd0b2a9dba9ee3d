#pragma once
// Automation and inspection of every framework program: the dump of all windows and their
// control trees (PANE_DUMP, the script's "dump", pane-view --dump) and the script player
// (PANE_SCRIPT) that drives the headless backend line by line from its idle hook. UI thread
// only.

#include "pane/utils/UIString.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Pane {

class CControlUI;
class CUIManager;

// Answered by Interface(kAutomationStateInterface) of controls that have a checked state
// (options, check boxes) or a current selection (lists, combos), so the dump and the script see
// them without knowing their classes.
class IAutomationStateUI {
public:
    virtual ~IAutomationStateUI() = default;
    virtual bool HasCheckedState() const { return false; }
    virtual bool IsCheckedState() const { return false; }
    virtual bool HasSelection() const { return false; }
    virtual int CurrentSelection() const { return -1; }
};
inline constexpr const char* kAutomationStateInterface = "AutomationState";

// Dispatches every queued message the way the framework's message loop does (accelerators,
// message filters, Tab and shortcut keys first) until the queue is empty; never waits. Returns
// how many messages were handled. Scripts and tests pump through it so that keys reach the
// windows as they would from the desktop.
int PumpMessages();

// Text as the dump writes it: backslash, double quote, CR and LF escaped, other bytes below 0x20
// as \xHH.
std::string EscapeDumpText(const char* text);

// One control and its subtree, `depth` levels of two spaces deep.
void DumpControl(std::string& out, CControlUI* control, int depth);
// Every window with a UI manager, in creation order, and its control tree.
std::string DumpWindows();
// Writes DumpWindows to `path` through a temporary file renamed over it ("-": standard output).
bool WriteDump(const std::string& path);

// The first control named `name` (a control name, or "@TEXT" for the first control whose text
// is exactly TEXT), searched in the active window first, then in the others; null when none.
CControlUI* FindAutomationControl(const std::string& name);

// Reads PANE_DUMP and PANE_SCRIPT once and installs what they ask for: the dump after each paint
// pass that changed it, and the script player on the headless backend. Windows call it when they
// are created; later calls do nothing.
void StartAutomation();

// Plays a script's lines one at a time. Errors carry the line number and the reason. Pointer lines
// aim at the centre of the control; "wheel NAME N" turns N notches as the wheel message counts
// them (positive away from the user); "waitfor ... text VALUE" (and "tooltip VALUE") takes the
// rest of the line as the text, so its time limit is the default one.
class CScriptPlayer {
public:
    // False when the file cannot be read.
    bool Load(const std::string& path);
    void LoadText(const std::string& text, const std::string& name = "script");

    // Runs the next line that does something (comments and blank lines are passed over), or
    // the next turn of a line still under way. Returns false at the end of the script, after
    // "quit", or at a failed line (Failed() then says so).
    bool Step();
    bool AtEnd() const { return m_next >= m_lines.size(); }
    bool Failed() const { return !m_error.empty(); }
    // "NAME:LINE: why" of the failed line.
    const std::string& Error() const { return m_error; }
    bool QuitRequested() const { return m_quit; }

    enum class LineStatus { Done, Pending, Failed };
    // Runs one line. Input is only queued: the program handles it before the next line.
    // Pending: the line needs another turn (a key of a chord, a waitfor still waiting); call
    // again with the same line once the queued messages are handled. Failed: `why` says why.
    LineStatus RunLine(const std::string& line, std::string* why);

private:
    std::vector<std::string> m_lines;
    std::string m_name;
    std::size_t m_next = 0;
    std::string m_error;
    bool m_quit = false;
    std::string m_current; // the line under way
    int m_stage = 0;       // its turns taken
    std::optional<std::chrono::steady_clock::time_point> m_deadline;

    LineStatus Run(const std::string& line, std::string* why);
};

} // namespace Pane
