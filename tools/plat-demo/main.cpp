// plat-demo: a small window on the platform layer alone, to see the window system at work on
// the desktop (caption drag, edit, pop-up, timer, worker thread) and, on the headless backend,
// to run a scripted session that checks each effect and saves a picture.
#include "platform/win/Edit.h"
#include "platform/win/Window.h"
#include "tools/plat-demo/DemoScript.h"
#include "tools/plat-demo/DemoWindow.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: plat-demo [--quit-after MS] [--shot FILE.png]\n"
                         "  --quit-after MS  close the window after MS milliseconds\n"
                         "  --shot FILE.png  save the window's picture (headless: after the\n"
                         "                   scripted session; desktop: when it closes on time)\n");
    return 2;
}

bool ParseMs(const char* text, plat::UINT* out) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0' || value == 0 || value > 24UL * 3600 * 1000)
        return false;
    *out = static_cast<plat::UINT>(value);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    plat::UINT quitAfter = 0;
    std::string shot;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quit-after") == 0 && i + 1 < argc) {
            if (!ParseMs(argv[++i], &quitAfter))
                return Usage();
        } else if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc) {
            shot = argv[++i];
        } else {
            return Usage();
        }
    }

    if (!plat::Initialise()) {
        std::fprintf(stderr, "plat-demo: no display (set PANE_BACKEND=headless to run without)\n");
        return 1;
    }
    const bool headless = plat::IsHeadless();
    demo::DemoState state;
    if (!plat::RegisterEditClass() || !demo::RegisterDemoClasses() ||
        !demo::CreateDemoWindow(state, 120, 120, headless ? 0 : quitAfter)) {
        std::fprintf(stderr, "plat-demo: cannot create the window\n");
        plat::Shutdown();
        return 1;
    }
    if (!headless)
        state.shotPath = shot;

    int code = 0;
    if (headless) {
        code = demo::RunScript(state, shot.empty() ? "plat-demo.png" : shot);
    } else {
        plat::MSG msg;
        while (plat::GetMessage(&msg, nullptr, 0, 0) > 0) {
            plat::TranslateMessage(&msg);
            plat::DispatchMessage(&msg);
        }
        if (!state.shotPath.empty() && !state.shotSaved) {
            std::fprintf(stderr, "plat-demo: no picture taken (it is taken at --quit-after)\n");
            code = 1;
        }
    }
    // Shutdown fails a send the worker may still be waiting in, so it can be joined.
    plat::Shutdown();
    state.worker.Stop();
    return code;
}
