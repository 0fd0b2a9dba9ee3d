#pragma once
// The resource record of a window: its default font and font list, its image table keyed by
// image name and its default colours. The UI manager embeds one and walks its parent managers'
// records where lookups reach up the chain; CRenderResources builds on one where no manager
// exists. Owns every font and image it hands out until it is destroyed. UI thread only.

#include "pane/core/RenderHost.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Pane {

class CResourceRecord {
public:
    // Longest face name kept, in bytes; a longer one is cut before the character that would
    // not fit whole.
    static constexpr std::size_t kMaxFaceName = 31;

    // The default font is the platform's default GUI font.
    CResourceRecord();
    ~CResourceRecord();
    CResourceRecord(const CResourceRecord&) = delete;
    CResourceRecord& operator=(const CResourceRecord&) = delete;

    // Fonts. Every font is created from the face name (cut to kMaxFaceName bytes), the size in
    // pixels and the three styles; lookups compare the same five values.

    // Replaces the default font; false (the old one kept) when the new one cannot be created.
    bool SetDefaultFont(const char* faceName, int size, bool bold, bool underline, bool italic);
    // Appends a font to the list; null when it cannot be created.
    plat::HFONT AddFont(const char* faceName, int size, bool bold, bool underline, bool italic);
    // The default font or a listed font with these values, or null.
    plat::HFONT FindFont(const char* faceName, int size, bool bold, bool underline,
                         bool italic) const;
    // The font with these values, added when there is none yet; null when it cannot be created.
    plat::HFONT FindOrAddFont(const char* faceName, int size, bool bold, bool underline,
                              bool italic);
    int GetFontCount() const { return static_cast<int>(m_fonts.size()); }
    // The listed font of that index; the default font when the index is out of range.
    plat::HFONT GetFont(int index) const;
    const FontInfo* GetFontInfo(int index) const;
    // The record of one of these fonts (the default font included), or null.
    const FontInfo* GetFontInfo(plat::HFONT font) const;
    const FontInfo* GetDefaultFontInfo() const { return m_defaultFont.get(); }

    // Images, keyed by name alone: a name keeps the first image stored under it.

    // Loads the image (CUIRender::LoadImage) and stores it under name. Null when the name is
    // present already or the image cannot be loaded. Each call loads anew; only GetImageEx
    // remembers a failure.
    const ImageInfo* AddImage(const char* name, const char* type = nullptr, uint32_t mask = 0);
    // Stores an image decoded elsewhere (tests, generated pictures); null when the name is
    // present already or image is null.
    const ImageInfo* AddImage(const char* name, std::unique_ptr<ImageInfo> image);
    const ImageInfo* GetImage(const char* name) const;
    // The image stored under name, else loaded and stored. A load that fails is remembered for
    // the name and type, so painting a missing image does not read and decode it each time.
    const ImageInfo* GetImageEx(const char* name, const char* type, uint32_t mask);

    // Default colours, ARGB.
    uint32_t GetDefaultDisabledColor() const { return m_disabledColor; }
    uint32_t GetDefaultFontColor() const { return m_fontColor; }
    uint32_t GetDefaultLinkFontColor() const { return m_linkColor; }
    uint32_t GetDefaultLinkHoverFontColor() const { return m_linkHoverColor; }
    uint32_t GetDefaultSelectedBkColor() const { return m_selectedColor; }
    void SetDefaultDisabledColor(uint32_t color) { m_disabledColor = color; }
    void SetDefaultFontColor(uint32_t color) { m_fontColor = color; }
    void SetDefaultLinkFontColor(uint32_t color) { m_linkColor = color; }
    void SetDefaultLinkHoverFontColor(uint32_t color) { m_linkHoverColor = color; }
    void SetDefaultSelectedBkColor(uint32_t color) { m_selectedColor = color; }

private:
    using FontPtr = std::unique_ptr<FontInfo>;

    // A new font record with its handle and metrics; null when the font cannot be created.
    static FontPtr MakeFont(const char* faceName, int size, bool bold, bool underline, bool italic);

    FontPtr m_defaultFont;
    std::vector<FontPtr> m_fonts;
    std::unordered_map<std::string, std::unique_ptr<ImageInfo>> m_images;
    std::set<std::pair<std::string, std::string>> m_failedImages; // (name, type)
    uint32_t m_disabledColor = 0xFFA7A6AA;
    uint32_t m_fontColor = 0xFF000000;
    uint32_t m_linkColor = 0xFF0000FF;
    uint32_t m_linkHoverColor = 0xFFD3215F;
    uint32_t m_selectedColor = 0xFFBAE4FF;
};

} // namespace Pane
