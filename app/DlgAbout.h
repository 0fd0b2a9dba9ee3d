#pragma once
// The About window: the product label, the years line, the maker's web and e-mail links and an
// OK button, modal over its owner.

#include "pane/utils/WindowImplBase.h"

#include <string>

namespace Pane {
class CButtonUI;
}

namespace app {

// The maker's addresses the links show and open.
extern const char* const kMakerWeb;
extern const char* const kMakerMail;

class DlgAbout : public Pane::WindowImplBase {
public:
    // Builds, shows and runs the window modally over `owner` (disabled meanwhile); returns when
    // it has closed.
    DlgAbout(plat::HWND owner, bool chinese);
    ~DlgAbout() override;

    void Notify(Pane::NotifyMessage& msg) override;

protected:
    void InitWindow() override;
    plat::LRESULT OnClose(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                          bool& handled) override;
    // The window manager's close request closes this window only, not the program.
    plat::LRESULT OnSysCommand(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                               bool& handled) override;

private:
    bool m_chinese;
    std::string m_titles[2];
    Pane::CButtonUI* m_close = nullptr; // "aboutClose"
    Pane::CButtonUI* m_ok = nullptr;    // "aboutOk"
    Pane::CButtonUI* m_web = nullptr;   // "aboutWeb"
    Pane::CButtonUI* m_mail = nullptr;  // "aboutMail"
};

} // namespace app
