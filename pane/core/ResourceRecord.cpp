#include "pane/core/ResourceRecord.h"

#include "pane/core/Render.h"
#include "platform/base/TextUtf8.h"

#include <cstring>

namespace Pane {

namespace {

std::string FaceName(const char* faceName) {
    if (faceName == nullptr) {
        return {};
    }
    const std::size_t length = std::strlen(faceName);
    return std::string(faceName,
                       plat::Utf8PrefixLength(faceName, length, CResourceRecord::kMaxFaceName));
}

bool SameFont(const FontInfo& font, const std::string& face, int size, bool bold, bool underline,
              bool italic) {
    return font.faceName == face.c_str() && font.size == size && font.bold == bold &&
           font.underline == underline && font.italic == italic;
}

} // namespace

CResourceRecord::CResourceRecord() {
    const plat::FontSpec spec = plat::GetDefaultGuiFontSpec();
    m_defaultFont = MakeFont(spec.face.c_str(), spec.size, spec.bold, spec.underline, spec.italic);
}

CResourceRecord::~CResourceRecord() {
    for (const FontPtr& font : m_fonts) {
        plat::DeleteFont(font->hFont);
    }
    if (m_defaultFont != nullptr) {
        plat::DeleteFont(m_defaultFont->hFont);
    }
}

CResourceRecord::FontPtr CResourceRecord::MakeFont(const char* faceName, int size, bool bold,
                                                   bool underline, bool italic) {
    // Built on the default GUI font's description, as every framework font is.
    plat::FontSpec spec = plat::GetDefaultGuiFontSpec();
    spec.face = FaceName(faceName);
    spec.size = size;
    spec.bold = bold;
    spec.underline = underline;
    spec.italic = italic;
    const plat::HFONT handle = plat::CreateFont(spec);
    if (handle == nullptr) {
        return nullptr;
    }
    auto info = std::make_unique<FontInfo>();
    info->hFont = handle;
    info->faceName = spec.face.c_str();
    info->size = size;
    info->bold = bold;
    info->underline = underline;
    info->italic = italic;
    plat::GetTextMetrics(handle, &info->tm);
    return info;
}

bool CResourceRecord::SetDefaultFont(const char* faceName, int size, bool bold, bool underline,
                                     bool italic) {
    FontPtr font = MakeFont(faceName, size, bold, underline, italic);
    if (font == nullptr) {
        return false;
    }
    if (m_defaultFont != nullptr) {
        plat::DeleteFont(m_defaultFont->hFont);
    }
    m_defaultFont = std::move(font);
    return true;
}

plat::HFONT CResourceRecord::AddFont(const char* faceName, int size, bool bold, bool underline,
                                     bool italic) {
    FontPtr font = MakeFont(faceName, size, bold, underline, italic);
    if (font == nullptr) {
        return nullptr;
    }
    m_fonts.push_back(std::move(font));
    return m_fonts.back()->hFont;
}

plat::HFONT CResourceRecord::FindFont(const char* faceName, int size, bool bold, bool underline,
                                      bool italic) const {
    if (faceName == nullptr) {
        return nullptr;
    }
    const std::string face = FaceName(faceName);
    if (m_defaultFont != nullptr && SameFont(*m_defaultFont, face, size, bold, underline, italic)) {
        return m_defaultFont->hFont;
    }
    for (const FontPtr& font : m_fonts) {
        if (SameFont(*font, face, size, bold, underline, italic)) {
            return font->hFont;
        }
    }
    return nullptr;
}

plat::HFONT CResourceRecord::FindOrAddFont(const char* faceName, int size, bool bold,
                                           bool underline, bool italic) {
    const plat::HFONT found = FindFont(faceName, size, bold, underline, italic);
    return found != nullptr ? found : AddFont(faceName, size, bold, underline, italic);
}

plat::HFONT CResourceRecord::GetFont(int index) const {
    const FontInfo* info = GetFontInfo(index);
    return info != nullptr ? info->hFont : nullptr;
}

const FontInfo* CResourceRecord::GetFontInfo(int index) const {
    if (index < 0 || index >= GetFontCount()) {
        return m_defaultFont.get();
    }
    return m_fonts[static_cast<std::size_t>(index)].get();
}

const FontInfo* CResourceRecord::GetFontInfo(plat::HFONT font) const {
    if (font == nullptr) {
        return nullptr;
    }
    if (m_defaultFont != nullptr && m_defaultFont->hFont == font) {
        return m_defaultFont.get();
    }
    for (const FontPtr& info : m_fonts) {
        if (info->hFont == font) {
            return info.get();
        }
    }
    return nullptr;
}

const ImageInfo* CResourceRecord::AddImage(const char* name, const char* type, uint32_t mask) {
    if (name == nullptr || m_images.count(name) != 0) {
        return nullptr;
    }
    return AddImage(name, CUIRender::LoadImage(name, type, mask));
}

const ImageInfo* CResourceRecord::AddImage(const char* name, std::unique_ptr<ImageInfo> image) {
    if (name == nullptr || image == nullptr || m_images.count(name) != 0) {
        return nullptr;
    }
    const ImageInfo* stored = image.get();
    m_images.emplace(name, std::move(image));
    return stored;
}

const ImageInfo* CResourceRecord::GetImage(const char* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    const auto it = m_images.find(name);
    return it != m_images.end() ? it->second.get() : nullptr;
}

const ImageInfo* CResourceRecord::GetImageEx(const char* name, const char* type, uint32_t mask) {
    if (const ImageInfo* image = GetImage(name)) {
        return image;
    }
    if (name == nullptr) {
        return nullptr;
    }
    // The type takes part: the same name may fail as a file and load as a resource.
    std::pair<std::string, std::string> key{name, type != nullptr ? type : ""};
    if (m_failedImages.count(key) != 0) {
        return nullptr;
    }
    const ImageInfo* image = AddImage(name, type, mask);
    if (image == nullptr) {
        m_failedImages.insert(std::move(key));
    }
    return image;
}

} // namespace Pane
