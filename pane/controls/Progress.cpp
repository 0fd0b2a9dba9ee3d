#include "pane/controls/Progress.h"

#include "platform/gfx/Text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Pane {

CProgressUI::CProgressUI() {
    m_textStyle = plat::DT_CENTER | plat::DT_SINGLELINE;
    SetFixedHeight(12);
}

const char* CProgressUI::ClassName() const {
    return "ProgressUI";
}

void* CProgressUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "Progress") == 0)
        return static_cast<CProgressUI*>(this);
    return CLabelUI::Interface(name);
}

void CProgressUI::SetHorizontal(bool horizontal) {
    m_horizontal = horizontal;
    Invalidate();
}

void CProgressUI::SetStretchForeImage(bool stretch) {
    m_stretchForeImage = stretch;
    Invalidate();
}

void CProgressUI::SetMinValue(int min) {
    m_min = min;
    Invalidate();
}

void CProgressUI::SetMaxValue(int max) {
    m_max = max;
    Invalidate();
}

void CProgressUI::SetValue(int value) {
    if (value == m_value || value < m_min || value > m_max)
        return;
    m_value = value;
    Invalidate();
}

void CProgressUI::SetForeImage(const char* image) {
    if (image == nullptr)
        image = "";
    if (m_foreImage == image)
        return;
    m_foreImage = image;
    Invalidate();
}

void CProgressUI::SetAttribute(const char* name, const char* value) {
    if (std::strcmp(name, "foreimage") == 0)
        SetForeImage(value);
    else if (std::strcmp(name, "hor") == 0)
        SetHorizontal(std::strcmp(value, "true") == 0);
    else if (std::strcmp(name, "isstretchfore") == 0)
        SetStretchForeImage(std::strcmp(value, "true") == 0);
    else if (std::strcmp(name, "min") == 0)
        SetMinValue(static_cast<int>(std::strtol(value, nullptr, 10)));
    else if (std::strcmp(name, "max") == 0)
        SetMaxValue(static_cast<int>(std::strtol(value, nullptr, 10)));
    else if (std::strcmp(name, "value") == 0)
        SetValue(static_cast<int>(std::strtol(value, nullptr, 10)));
    else
        CLabelUI::SetAttribute(name, value);
}

plat::RECT CProgressUI::FilledRect() {
    if (m_min >= m_max) {
        // min + 1 would overflow at the top of the range; the range then ends there instead.
        if (m_min == INT32_MAX)
            m_min = INT32_MAX - 1;
        m_max = m_min + 1;
    }
    if (m_value > m_max)
        m_value = m_max;
    if (m_value < m_min)
        m_value = m_min;
    // Wide arithmetic: the products and the range of two 32-bit values need more than 32 bits.
    const long long width = m_rcItem.right - m_rcItem.left;
    const long long height = m_rcItem.bottom - m_rcItem.top;
    const long long range = static_cast<long long>(m_max) - m_min;
    if (m_horizontal) {
        const long long right = width * (static_cast<long long>(m_value) - m_min) / range;
        return plat::RECT{0, 0, static_cast<int>(right), static_cast<int>(height)};
    }
    const long long top = height * (static_cast<long long>(m_max) - m_value) / range;
    return plat::RECT{0, static_cast<int>(top), static_cast<int>(width), static_cast<int>(height)};
}

void CProgressUI::PaintStatusImage(plat::HDC hDC) {
    const plat::RECT rc = FilledRect();
    if (m_foreImage.IsEmpty())
        return;
    char modify[160];
    if (m_stretchForeImage)
        std::snprintf(modify, sizeof modify, "dest='%d,%d,%d,%d'", rc.left, rc.top, rc.right,
                      rc.bottom);
    else
        std::snprintf(modify, sizeof modify, "dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", rc.left,
                      rc.top, rc.right, rc.bottom, rc.left, rc.top, rc.right, rc.bottom);
    m_imageModify = modify;
    if (!DrawImage(hDC, m_foreImage, m_imageModify))
        m_foreImage.Empty();
}

} // namespace Pane
