// pane-view: builds any window markup into a framework window — on the desktop, or headless to
// play a script, dump the control tree or save a picture — and can print every notification.
#include "pane/core/Automation.h"
#include "pane/core/Xml.h"
#include "pane/dialogs/FileDialog.h"
#include "pane/dialogs/MessageBox.h"
#include "pane/utils/WindowImplBase.h"
#include "platform/backends/Headless.h"
#include "platform/win/Window.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: pane-view MARKUP [--size W,H] [--script FILE] [--dump FILE|-] [--shot FILE.png] "
    "[--events]\n"
    "  MARKUP          a markup file (images and includes relative to its folder), or markup\n"
    "                  text starting with \"<\"\n"
    "  --size W,H      the window's size (instead of the markup's)\n"
    "  --script FILE   play an automation script in the window, then quit\n"
    "  --dump FILE|-   write the windows and their control trees at the end (- standard output)\n"
    "  --shot FILE.png save the window's picture at the end\n"
    "  --events        print each notification: NOTIFY TYPE \"SENDER-NAME\" WPARAM LPARAM\n"
    "  --help          this text\n"
    "The window opens on the desktop unless --script, --dump or --shot is given; then it runs\n"
    "headless.\n"
    "A markup whose root is <FileDialog save= title= filter= pattern= folder= extension=\n"
    "overwrite= mustexist=/> or <MessageBox text= caption= icon=error|warning|information\n"
    "buttons=ok|yesno|okcancel/> opens that dialog instead; the answer or the chosen path is\n"
    "printed on standard output (\"\\n\" in a text is a line break).\n";

struct Arguments {
    std::string markup;
    int width = 0;
    int height = 0;
    std::string script;
    std::string dump;
    std::string shot;
    bool events = false;
};

int UsageError(const std::string& message) {
    std::fprintf(stderr, "pane-view: %s\ntry pane-view --help\n", message.c_str());
    return kExitUsage;
}

bool ParseSize(const std::string& text, int* width, int* height) {
    char* end = nullptr;
    const long w = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != ',')
        return false;
    const char* second = end + 1;
    const long h = std::strtol(second, &end, 10);
    if (end == second || *end != '\0' || w <= 0 || h <= 0 || w > 16384 || h > 16384)
        return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

// Parses the command line; returns an exit status to end with, or -1 to go on.
int Parse(int argc, char** argv, Arguments& args) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (!args.markup.empty())
                return UsageError("only one markup can be shown");
            args.markup = arg;
            continue;
        }
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
        }
        if (arg == "--events") {
            args.events = true;
            continue;
        }
        std::string value;
        const std::size_t equals = arg.find('=');
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg.erase(equals);
        } else if (arg == "--size" || arg == "--script" || arg == "--dump" || arg == "--shot") {
            if (i + 1 >= argc)
                return UsageError(arg + " needs a value");
            value = argv[++i];
        }
        if (arg == "--size") {
            if (!ParseSize(value, &args.width, &args.height))
                return UsageError("--size wants W,H in pixels, for example 779,509");
        } else if (arg == "--script" || arg == "--dump" || arg == "--shot") {
            if (value.empty())
                return UsageError(arg + " needs a file");
            (arg == "--script" ? args.script : arg == "--dump" ? args.dump : args.shot) = value;
        } else {
            return UsageError("unknown option " + arg);
        }
    }
    if (args.markup.empty())
        return UsageError("no markup given");
    return -1;
}

// The viewer's window: the markup as its skin; it prints notifications when asked and ends the
// program when it goes.
class ViewWindow : public Pane::WindowImplBase {
public:
    ViewWindow(std::string skin, bool events) : m_skin(std::move(skin)), m_events(events) {}

    void Notify(Pane::NotifyMessage& msg) override {
        if (m_events) {
            const Pane::CUIString name =
                msg.sender != nullptr ? msg.sender->Name() : Pane::CUIString();
            std::printf("NOTIFY %s \"%s\" %llu %lld\n", msg.type.GetData(),
                        Pane::EscapeDumpText(name.GetData()).c_str(),
                        static_cast<unsigned long long>(msg.wParam),
                        static_cast<long long>(msg.lParam));
            std::fflush(stdout);
        }
        WindowImplBase::Notify(msg);
    }

protected:
    const char* GetWindowClassName() const override { return "PaneView"; }
    Pane::CUIString GetSkinFile() override { return m_skin.c_str(); }
    int GetResourceType() const override { return 0; }
    void OnFinalMessage(plat::HWND hWnd) override {
        WindowImplBase::OnFinalMessage(hWnd);
        plat::PostQuitMessage(0);
    }

private:
    std::string m_skin;
    bool m_events;
};

std::string CurrentFolder() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) + "/" : "./";
}

// Checks the markup with the parser first, so a markup error is reported as such; sets the
// resource path to the markup's folder and returns what the window loads as its skin.
bool PrepareMarkup(const std::string& markup, std::string* skin) {
    Pane::CXmlDoc doc;
    const bool text = markup[0] == '<';
    if (!(text ? doc.Load(markup.c_str()) : doc.LoadFromPath(markup.c_str()))) {
        std::fprintf(stderr, "pane-view: %s: %s", text ? "markup" : markup.c_str(),
                     doc.GetLastErrorMessage());
        if (doc.GetLastErrorLocation()[0] != '\0')
            std::fprintf(stderr, " at \"%s\"", doc.GetLastErrorLocation());
        std::fprintf(stderr, "\n");
        return false;
    }
    if (text) {
        Pane::CUIManager::SetResourcePath(CurrentFolder().c_str());
        *skin = markup;
        return true;
    }
    const std::size_t slash = markup.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : markup.substr(0, slash + 1);
    if (folder.empty() || folder[0] != '/')
        folder = CurrentFolder() + folder;
    Pane::CUIManager::SetResourcePath(folder.c_str());
    *skin = slash == std::string::npos ? markup : markup.substr(slash + 1);
    return true;
}

// The dialog a dialog sample describes: null when the markup is a window's.
struct DialogSample {
    bool file = false;
    bool message = false;
    Pane::FileDialogOptions options;
    std::string text;
    std::string caption;
    Pane::MessageIcon icon = Pane::MessageIcon::Information;
    Pane::MessageButtons buttons = Pane::MessageButtons::Ok;
};

std::string Attribute(const Pane::CXmlElement& element, const char* name) {
    char value[1024] = {};
    element.GetAttributeValue(name, value, sizeof value);
    std::string text = value;
    for (std::size_t at = text.find("\\n"); at != std::string::npos; at = text.find("\\n", at))
        text.replace(at, 2, "\n");
    return text;
}

DialogSample ReadDialogSample(const std::string& markup) {
    DialogSample sample;
    Pane::CXmlDoc doc;
    if (!(markup[0] == '<' ? doc.Load(markup.c_str()) : doc.LoadFromPath(markup.c_str())))
        return sample;
    const Pane::CXmlElement root = doc.GetRoot();
    if (!root.IsValid())
        return sample;
    if (std::strcmp(root.GetName(), "FileDialog") == 0) {
        sample.file = true;
        Pane::FileDialogOptions& o = sample.options;
        o.save = Attribute(root, "save") == "true";
        o.title = Attribute(root, "title");
        o.filterName = Attribute(root, "filter");
        o.pattern = Attribute(root, "pattern");
        o.initialFolder = Attribute(root, "folder");
        o.defaultExtension = Attribute(root, "extension");
        o.overwritePrompt = Attribute(root, "overwrite") == "true";
        o.fileMustExist = Attribute(root, "mustexist") == "true";
    } else if (std::strcmp(root.GetName(), "MessageBox") == 0) {
        sample.message = true;
        sample.text = Attribute(root, "text");
        sample.caption = Attribute(root, "caption");
        const std::string icon = Attribute(root, "icon");
        sample.icon = icon == "error"     ? Pane::MessageIcon::Error
                      : icon == "warning" ? Pane::MessageIcon::Warning
                      : icon == "none"    ? Pane::MessageIcon::None
                                          : Pane::MessageIcon::Information;
        const std::string buttons = Attribute(root, "buttons");
        sample.buttons = buttons == "yesno"      ? Pane::MessageButtons::YesNo
                         : buttons == "okcancel" ? Pane::MessageButtons::OkCancel
                                                 : Pane::MessageButtons::Ok;
    }
    return sample;
}

// Opens the sample's dialog: with --shot (and no script) it is painted headless and saved,
// otherwise it runs modal (the script plays in it) and its answer is printed.
int RunDialogSample(const DialogSample& sample, const Arguments& args) {
    Pane::CFileDialogWnd fileDialog(sample.options);
    Pane::CMessageBoxWnd box(sample.text, sample.caption, sample.icon, sample.buttons);
    Pane::WindowImplBase* window = sample.file ? static_cast<Pane::WindowImplBase*>(&fileDialog)
                                               : static_cast<Pane::WindowImplBase*>(&box);
    const bool created = sample.file ? fileDialog.CreateDialog(nullptr) : box.CreateBox(nullptr);
    if (!created) {
        std::fprintf(stderr, "pane-view: cannot create the dialog\n");
        return kExitFailed;
    }
    int status = kExitOk;
    if (!args.shot.empty() && args.script.empty()) {
        window->ShowWindow(true);
        Pane::PumpMessages();
        if (!plat::headless::SavePng(window->GetHWND(), args.shot)) {
            std::fprintf(stderr, "pane-view: cannot save the picture %s\n", args.shot.c_str());
            status = kExitFailed;
        }
        plat::DestroyWindow(window->GetHWND());
        return status;
    }
    window->ShowModal();
    if (sample.file)
        std::printf("%s\n", fileDialog.HasChosen() ? fileDialog.Chosen().c_str() : "(cancelled)");
    else
        std::printf("answer %u\n", box.Answer());
    return status;
}

} // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (const int status = Parse(argc, argv, args); status >= 0)
        return status;

    const bool headless = !args.script.empty() || !args.dump.empty() || !args.shot.empty();
    if (headless)
        ::setenv("PANE_BACKEND", "headless", 1);
    if (!args.script.empty())
        ::setenv("PANE_SCRIPT", args.script.c_str(), 1);

    std::string skin;
    if (!PrepareMarkup(args.markup, &skin))
        return kExitFailed;
    if (!plat::Initialise()) {
        std::fprintf(stderr, "pane-view: no display (give --dump, --shot or --script to run "
                             "headless)\n");
        return kExitFailed;
    }

    if (const DialogSample sample = ReadDialogSample(args.markup); sample.file || sample.message) {
        const int result = RunDialogSample(sample, args);
        plat::Shutdown();
        return result;
    }

    int status = kExitOk;
    {
        ViewWindow window(skin, args.events);
        const int width = args.width > 0 ? args.width : 640;
        const int height = args.height > 0 ? args.height : 480;
        if (window.Create(nullptr, "pane-view", plat::WS_OVERLAPPEDWINDOW, 0, 0, 0, width,
                          height) == nullptr) {
            std::fprintf(stderr, "pane-view: cannot create the window\n");
            plat::Shutdown();
            return kExitFailed;
        }
        if (args.width > 0)
            window.ResizeClient(args.width, args.height);
        window.ShowWindow(true);

        if (!headless || !args.script.empty())
            Pane::CUIManager::MessageLoop();
        else
            Pane::PumpMessages();

        if (!args.dump.empty() && !Pane::WriteDump(args.dump)) {
            std::fprintf(stderr, "pane-view: cannot write %s\n", args.dump.c_str());
            status = kExitFailed;
        }
        if (!args.shot.empty() && !plat::headless::SavePng(window.GetHWND(), args.shot)) {
            std::fprintf(stderr, "pane-view: cannot save the picture %s\n", args.shot.c_str());
            status = kExitFailed;
        }
        if (plat::IsWindow(window.GetHWND()))
            plat::DestroyWindow(window.GetHWND());
    }
    plat::Shutdown();
    return status;
}
