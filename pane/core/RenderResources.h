#pragma once
// A self-contained render host: an image table keyed by image name, a font table with a
// default font, the link and selection colours and a settable mouse position. Used where no UI
// manager exists (tools, tests); owns every image and font it hands out. UI thread only.

#include "pane/core/RenderHost.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Pane {

class CRenderResources : public IRenderHost {
public:
    CRenderResources();
    ~CRenderResources() override;
    CRenderResources(const CRenderResources&) = delete;
    CRenderResources& operator=(const CRenderResources&) = delete;

    // Loads and stores an image under name; a name already present keeps its first image.
    const ImageInfo* AddImage(const char* name, const char* type = nullptr, uint32_t mask = 0);
    // Stores an image decoded elsewhere (tests, generated pictures).
    const ImageInfo* AddImage(const char* name, std::unique_ptr<ImageInfo> image);
    const ImageInfo* GetImage(const char* name) const;
    const ImageInfo* GetImageEx(const char* name, const char* type, uint32_t mask) override;

    // Replaces the default font; false when it cannot be created.
    bool SetDefaultFont(const char* faceName, int size, bool bold, bool underline, bool italic);
    plat::HFONT AddFont(const char* faceName, int size, bool bold, bool underline,
                        bool italic) override;
    int GetFontCount() const { return static_cast<int>(m_fonts.size()); }
    plat::HFONT GetFont(int index) override;
    const FontInfo* GetFontInfo(int index) override;
    const FontInfo* GetFontInfo(plat::HFONT font) override;
    plat::HFONT FindFont(const char* faceName, int size, bool bold, bool underline,
                         bool italic) override;

    uint32_t GetDefaultLinkFontColor() const override { return m_linkColor; }
    uint32_t GetDefaultLinkHoverFontColor() const override { return m_linkHoverColor; }
    uint32_t GetDefaultSelectedBkColor() const override { return m_selectedColor; }
    void SetDefaultLinkFontColor(uint32_t color) { m_linkColor = color; }
    void SetDefaultLinkHoverFontColor(uint32_t color) { m_linkHoverColor = color; }
    void SetDefaultSelectedBkColor(uint32_t color) { m_selectedColor = color; }

    plat::POINT GetMousePos() const override { return m_mouse; }
    void SetMousePos(plat::POINT point) { m_mouse = point; }

private:
    static std::unique_ptr<FontInfo> MakeFont(const char* faceName, int size, bool bold,
                                              bool underline, bool italic);

    std::unordered_map<std::string, std::unique_ptr<ImageInfo>> m_images;
    std::unique_ptr<FontInfo> m_defaultFont;
    std::vector<std::unique_ptr<FontInfo>> m_fonts;
    uint32_t m_linkColor = 0xFF0000FF;
    uint32_t m_linkHoverColor = 0xFFD3215F;
    uint32_t m_selectedColor = 0xFFBAE4FF;
    plat::POINT m_mouse{-1, -1};
};

} // namespace Pane
