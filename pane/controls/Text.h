#pragma once
// CTextUI: a label for multi-line, word-wrapped text that measures its own height and turns the
// links of its inline-tag text into clickable areas sending "link" with the link's index.
// UI thread only.

#include "pane/controls/Label.h"

namespace Pane {

class CTextUI : public CLabelUI {
public:
    static constexpr int kMaxLinks = 8;

    CTextUI();

    const char* ClassName() const override;
    void* Interface(const char* name) override;
    // Wants cursor-shape events while enabled and holding links.
    unsigned int ControlFlags() const override;

    void HandleEvent(UIEvent& event) override;
    plat::SIZE MeasureSize(plat::SIZE available) override;
    void PaintText(plat::HDC hDC) override;

    int LinkCount() const { return m_linkCount; }
    const plat::RECT& LinkRect(int index) const { return m_links[index]; }
    const CUIString& LinkTarget(int index) const { return m_linkTargets[index]; }
    int HoverLink() const { return m_hoverLink; }

private:
    // The index of the first link rectangle holding the point, or -1.
    int LinkAt(plat::POINT point) const;

    int m_linkCount = 0;
    plat::RECT m_links[kMaxLinks];
    CUIString m_linkTargets[kMaxLinks];
    int m_hoverLink = -1;
};

} // namespace Pane
