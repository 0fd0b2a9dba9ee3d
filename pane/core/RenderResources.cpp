#include "pane/core/RenderResources.h"

#include "pane/core/Render.h"

#include <cstring>

namespace Pane {

namespace {

// The face the framework uses when nothing else is asked for.
constexpr const char* kDefaultFace = "微软雅黑";
constexpr int kDefaultSize = 12;

// Face names hold at most 31 bytes, cut before a partial character.
std::string FaceName(const char* faceName) {
    std::string face = faceName != nullptr ? faceName : "";
    if (face.size() > 31) {
        size_t cut = 31;
        while (cut > 0 && (static_cast<unsigned char>(face[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        face.resize(cut);
    }
    return face;
}

bool SameFont(const FontInfo& f, const std::string& face, int size, bool bold, bool underline,
              bool italic) {
    return f.faceName == face.c_str() && f.size == size && f.bold == bold &&
           f.underline == underline && f.italic == italic;
}

} // namespace

CRenderResources::CRenderResources() {
    m_defaultFont = MakeFont(kDefaultFace, kDefaultSize, false, false, false);
}

CRenderResources::~CRenderResources() {
    for (auto& font : m_fonts) {
        plat::DeleteFont(font->hFont);
    }
    if (m_defaultFont) {
        plat::DeleteFont(m_defaultFont->hFont);
    }
}

std::unique_ptr<FontInfo> CRenderResources::MakeFont(const char* faceName, int size, bool bold,
                                                     bool underline, bool italic) {
    auto info = std::make_unique<FontInfo>();
    const std::string face = FaceName(faceName);
    info->faceName = face.c_str();
    info->size = size;
    info->bold = bold;
    info->underline = underline;
    info->italic = italic;
    plat::FontSpec spec;
    spec.face = face;
    spec.size = size;
    spec.bold = bold;
    spec.underline = underline;
    spec.italic = italic;
    info->hFont = plat::CreateFont(spec);
    if (info->hFont == nullptr) {
        return nullptr;
    }
    plat::GetTextMetrics(info->hFont, &info->tm);
    return info;
}

const ImageInfo* CRenderResources::AddImage(const char* name, const char* type, uint32_t mask) {
    if (name == nullptr || m_images.count(name) != 0) {
        return nullptr;
    }
    return AddImage(name, CUIRender::LoadImage(name, type, mask));
}

const ImageInfo* CRenderResources::AddImage(const char* name, std::unique_ptr<ImageInfo> image) {
    if (name == nullptr || image == nullptr || m_images.count(name) != 0) {
        return nullptr;
    }
    const ImageInfo* stored = image.get();
    m_images.emplace(name, std::move(image));
    return stored;
}

const ImageInfo* CRenderResources::GetImage(const char* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    auto it = m_images.find(name);
    return it != m_images.end() ? it->second.get() : nullptr;
}

const ImageInfo* CRenderResources::GetImageEx(const char* name, const char* type, uint32_t mask) {
    const ImageInfo* image = GetImage(name);
    return image != nullptr ? image : AddImage(name, type, mask);
}

bool CRenderResources::SetDefaultFont(const char* faceName, int size, bool bold, bool underline,
                                      bool italic) {
    auto font = MakeFont(faceName, size, bold, underline, italic);
    if (font == nullptr) {
        return false;
    }
    if (m_defaultFont) {
        plat::DeleteFont(m_defaultFont->hFont);
    }
    m_defaultFont = std::move(font);
    return true;
}

plat::HFONT CRenderResources::AddFont(const char* faceName, int size, bool bold, bool underline,
                                      bool italic) {
    auto font = MakeFont(faceName, size, bold, underline, italic);
    if (font == nullptr) {
        return nullptr;
    }
    m_fonts.push_back(std::move(font));
    return m_fonts.back()->hFont;
}

plat::HFONT CRenderResources::GetFont(int index) {
    const FontInfo* info = GetFontInfo(index);
    return info != nullptr ? info->hFont : nullptr;
}

const FontInfo* CRenderResources::GetFontInfo(int index) {
    if (index < 0 || index >= static_cast<int>(m_fonts.size())) {
        return m_defaultFont.get();
    }
    return m_fonts[static_cast<size_t>(index)].get();
}

const FontInfo* CRenderResources::GetFontInfo(plat::HFONT font) {
    if (font == nullptr) {
        return nullptr;
    }
    if (m_defaultFont && m_defaultFont->hFont == font) {
        return m_defaultFont.get();
    }
    for (const auto& info : m_fonts) {
        if (info->hFont == font) {
            return info.get();
        }
    }
    return nullptr;
}

plat::HFONT CRenderResources::FindFont(const char* faceName, int size, bool bold, bool underline,
                                       bool italic) {
    if (faceName == nullptr) {
        return nullptr;
    }
    const std::string face = FaceName(faceName);
    if (m_defaultFont && SameFont(*m_defaultFont, face, size, bold, underline, italic)) {
        return m_defaultFont->hFont;
    }
    for (const auto& info : m_fonts) {
        if (SameFont(*info, face, size, bold, underline, italic)) {
            return info->hFont;
        }
    }
    return nullptr;
}

} // namespace Pane
