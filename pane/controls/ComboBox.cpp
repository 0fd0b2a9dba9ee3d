#include "pane/controls/ComboBox.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace Pane {

bool ComboArrowModifier(const char* image, int state, plat::SIZE size, int border, int* cellWidth,
                        CUIString* modifier) {
    if (image == nullptr)
        return false;
    const std::string text(image);
    const size_t source = text.find("source");
    if (source == std::string::npos)
        return false;
    const size_t open = text.find('\'', source + 7);
    if (open == std::string::npos)
        return false;
    const size_t close = text.find('\'', open + 1);
    if (close == std::string::npos)
        return false;
    int strip[4] = {};
    ParseInts(text.substr(open + 1, close - open - 1).c_str(), strip, 4);

    const int width = (strip[2] - strip[0]) / 5;
    const int cellLeft = strip[0] + width * state;
    plat::RECT dest{border, border, size.cx - border, size.cy - border};
    dest.left = dest.right - width;

    char cells[128];
    std::snprintf(cells, sizeof(cells), "source='%d,%d,%d,%d' dest='%d,%d,%d,%d'", cellLeft,
                  strip[1], cellLeft + width, strip[3], dest.left, dest.top, dest.right,
                  dest.bottom);
    const std::string result = text.substr(0, source) + cells + text.substr(close + 1);
    *cellWidth = width;
    *modifier = result.c_str();
    return true;
}

const char* CComboBoxUI::ClassName() const {
    return "ComboBoxUI";
}

void CComboBoxUI::SetAttribute(const char* name, const char* value) {
    if (std::strcmp(name, "arrowimage") == 0)
        m_arrowImage = value;
    else
        CComboUI::SetAttribute(name, value);
}

void CComboBoxUI::PaintStatusImage(plat::HDC hDC) {
    if (m_arrowImage.IsEmpty()) {
        CComboUI::PaintStatusImage(hDC);
        return;
    }
    SyncState();
    int state = 0;
    if ((m_state & kStateDisabled) != 0)
        state = 4;
    else if ((m_state & kStatePushed) != 0)
        state = 2;
    else if ((m_state & kStateHot) != 0)
        state = 1;
    else if ((m_state & kStateFocused) != 0)
        state = 3;
    CUIString modifier;
    if (!ComboArrowModifier(m_arrowImage.GetData(), state, plat::SIZE{Width(), Height()},
                            BorderSize(), &m_arrowWidth, &modifier))
        return;
    DrawStateImage(hDC, m_arrowImage, modifier.GetData());
}

void CComboBoxUI::PaintText(plat::HDC hDC) {
    plat::RECT rc = m_rcItem;
    rc.left += m_textPadding.left;
    rc.top += m_textPadding.top;
    rc.right -= m_textPadding.right + m_arrowWidth;
    rc.bottom -= m_textPadding.bottom;
    PaintItemText(hDC, rc);
}

} // namespace Pane
