#pragma once
// A self-contained render host: a resource record (fonts, images, colours) and a settable mouse
// position. Used where no UI manager exists (tools, tests, fuzz targets); owns every image and
// font it hands out. UI thread only.

#include "pane/core/RenderHost.h"
#include "pane/core/ResourceRecord.h"

namespace Pane {

class CRenderResources : public IRenderHost, public CResourceRecord {
public:
    // The default font is the framework's usual face at 12 pixels.
    CRenderResources();

    const ImageInfo* GetImageEx(const char* name, const char* type, uint32_t mask) override {
        return CResourceRecord::GetImageEx(name, type, mask);
    }
    plat::HFONT AddFont(const char* faceName, int size, bool bold, bool underline,
                        bool italic) override {
        return CResourceRecord::AddFont(faceName, size, bold, underline, italic);
    }
    plat::HFONT GetFont(int index) override { return CResourceRecord::GetFont(index); }
    const FontInfo* GetFontInfo(int index) override { return CResourceRecord::GetFontInfo(index); }
    const FontInfo* GetFontInfo(plat::HFONT font) override {
        return CResourceRecord::GetFontInfo(font);
    }
    plat::HFONT FindFont(const char* faceName, int size, bool bold, bool underline,
                         bool italic) override {
        return CResourceRecord::FindFont(faceName, size, bold, underline, italic);
    }

    uint32_t GetDefaultLinkFontColor() const override {
        return CResourceRecord::GetDefaultLinkFontColor();
    }
    uint32_t GetDefaultLinkHoverFontColor() const override {
        return CResourceRecord::GetDefaultLinkHoverFontColor();
    }
    uint32_t GetDefaultSelectedBkColor() const override {
        return CResourceRecord::GetDefaultSelectedBkColor();
    }

    plat::POINT GetMousePos() const override { return m_mouse; }
    void SetMousePos(plat::POINT point) { m_mouse = point; }

private:
    plat::POINT m_mouse{-1, -1};
};

} // namespace Pane
