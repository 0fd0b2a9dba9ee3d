#pragma once
// What the render engine needs from the window's UI manager: its image table (decoded once per
// name, kept until the manager goes), its font table with metrics, the link and selection
// colours and the last mouse position. The manager implements it; CRenderResources is a
// self-contained implementation for tools and tests. UI thread only.

#include "pane/utils/UIString.h"
#include "platform/base/WinTypes.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Font.h"

#include <cstdint>

namespace Pane {

// One decoded image: premultiplied pixels and how it was loaded. Owned by the image table.
struct ImageInfo {
    plat::Bitmap bitmap;
    int width = 0;
    int height = 0;
    bool alphaChannel = false; // some pixel is not fully opaque, or the mask removed one
    CUIString resType;         // empty for images from files
    uint32_t mask = 0;         // ARGB colour made transparent; 0 = none
};

// One font of the manager's font table.
struct FontInfo {
    plat::HFONT hFont = nullptr;
    CUIString faceName;
    int size = 0; // pixels
    bool bold = false;
    bool underline = false;
    bool italic = false;
    plat::TEXTMETRIC tm{};
};

class IRenderHost {
public:
    virtual ~IRenderHost() = default;

    // The image stored under name, loaded and added when missing; null when it cannot be loaded.
    virtual const ImageInfo* GetImageEx(const char* name, const char* type, uint32_t mask) = 0;

    // Font by index: the default font when the index is out of range.
    virtual plat::HFONT GetFont(int index) = 0;
    virtual const FontInfo* GetFontInfo(int index) = 0;
    // The record of a font handle of this table, or null.
    virtual const FontInfo* GetFontInfo(plat::HFONT font) = 0;
    // A font with these attributes already in the table, or null.
    virtual plat::HFONT FindFont(const char* faceName, int size, bool bold, bool underline,
                                 bool italic) = 0;
    // Creates a font and appends it to the table; null when it cannot be created.
    virtual plat::HFONT AddFont(const char* faceName, int size, bool bold, bool underline,
                                bool italic) = 0;

    virtual uint32_t GetDefaultLinkFontColor() const = 0;
    virtual uint32_t GetDefaultLinkHoverFontColor() const = 0;
    virtual uint32_t GetDefaultSelectedBkColor() const = 0;
    // The last mouse position in client coordinates; (-1, -1) when the mouse is outside.
    virtual plat::POINT GetMousePos() const = 0;
};

} // namespace Pane
