#pragma once
// CTabLayoutUI: shows one child — the current page — over its whole inner area and hides the
// others. Adding the first visible child makes it current; SelectPage switches pages and sends
// "tabselect" (wParam the new index, lParam the old one). UI thread only.

#include "pane/core/Container.h"

namespace Pane {

class CTabLayoutUI : public CContainerUI {
public:
    const char* ClassName() const override;
    void* Interface(const char* name) override;
    void SetPosition(plat::RECT rc) override;
    void SetAttribute(const char* name, const char* value) override;

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    void RemoveAll() override;

    // -1 when there is no page.
    int CurSel() const { return m_curSel; }
    // False for an index outside the children; true without change for the current one.
    bool SelectPage(int index);

private:
    int m_curSel = -1;
};

} // namespace Pane
