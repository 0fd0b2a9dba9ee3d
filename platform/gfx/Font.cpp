#include "platform/gfx/Font.h"

#include "platform/base/TextUtf8.h"
#include "platform/gfx/FontCache.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace plat {

namespace {

// Windows face names that are not installed here, mapped to Linux families in order of
// preference. Faces found in none of them end with a Chinese-capable sans face.
struct FaceAlias {
    const char* windowsFace;
    const char* families[3];
};

const FaceAlias kFaceAliases[] = {
    {"微软雅黑", {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Droid Sans Fallback"}},
    {"microsoft yahei", {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Droid Sans Fallback"}},
    {"宋体", {"WenQuanYi Micro Hei", "Noto Serif CJK SC", "AR PL UMing CN"}},
    {"simsun", {"WenQuanYi Micro Hei", "Noto Serif CJK SC", "AR PL UMing CN"}},
    {"新宋体", {"WenQuanYi Micro Hei Mono", "Noto Sans Mono CJK SC", nullptr}},
    {"nsimsun", {"WenQuanYi Micro Hei Mono", "Noto Sans Mono CJK SC", nullptr}},
    {"黑体", {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "WenQuanYi Zen Hei"}},
    {"simhei", {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "WenQuanYi Zen Hei"}},
    {"楷体", {"AR PL UKai CN", "WenQuanYi Micro Hei", nullptr}},
    {"tahoma", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"arial", {"Liberation Sans", "DejaVu Sans", nullptr}},
    {"verdana", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"segoe ui", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"ms shell dlg", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"ms shell dlg 2", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"microsoft sans serif", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"times new roman", {"Liberation Serif", "DejaVu Serif", nullptr}},
    {"courier new", {"Liberation Mono", "DejaVu Sans Mono", nullptr}},
    {"consolas", {"DejaVu Sans Mono", "Liberation Mono", nullptr}},
};

// Fallback faces beyond this many are never consulted for missing characters.
constexpr std::size_t kMaxChainLength = 12;
constexpr int kMaxPixelSize = 1000;

std::string Lower(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return r;
}

long ScaleRound(long units, int size, int unitsPerEm) {
    if (unitsPerEm <= 0)
        return 0;
    return static_cast<long>(std::lround(static_cast<double>(units) * size / unitsPerEm));
}

// One font file (or one face of a collection), opened on first use and shared by every font.
struct FaceFile {
    std::string path;
    int index = 0;
    FcCharSet* charset = nullptr; // owned copy; null means "unknown, ask FreeType"
    bool bold = false;            // the face itself is bold (no synthesis needed)
    bool italic = false;
    FT_Face face = nullptr;
    bool failed = false;
    int currentSize = 0;
    int id = 0;

    bool HasChar(uint32_t cp) {
        if (charset)
            return FcCharSetHasChar(charset, cp);
        return face && FT_Get_Char_Index(face, cp) != 0;
    }
};

struct ChainEntry {
    FaceFile* file;
    bool embolden;
    bool oblique;
};

// The faces that draw one (family, bold, italic): the first draws everything it has, each
// character it lacks comes from the first later face that has it.
struct FaceChain {
    std::vector<ChainEntry> entries;
    std::unordered_map<uint32_t, int> entryOfChar;
};

struct GlyphRecord {
    font::Glyph glyph;
    std::vector<uint8_t> data;
};

} // namespace

struct FontObject {
    FontSpec spec;
    FaceChain* chain = nullptr;
    TEXTMETRIC metrics;
    font::LineMetrics line;
    // Fast paths in front of the shared glyph cache: [antiAlias][char].
    std::array<std::array<const font::Glyph*, 128>, 2> ascii{};
    std::array<std::unordered_map<uint32_t, const font::Glyph*>, 2> glyphs;
};

namespace {

class FontSystem {
public:
    std::recursive_mutex mutex;

    FontSystem() {
        if (FT_Init_FreeType(&m_library) != 0)
            m_library = nullptr;
        FcInit();
    }

    FT_Library Library() const { return m_library; }

    FaceChain* ChainFor(const std::string& family, bool bold, bool italic) {
        std::string key = Lower(family) + (bold ? "|b" : "|") + (italic ? "i" : "");
        auto it = m_chains.find(key);
        if (it != m_chains.end())
            return it->second.get();
        auto chain = std::make_unique<FaceChain>();
        BuildChain(family, bold, italic, *chain);
        FaceChain* raw = chain.get();
        m_chains.emplace(key, std::move(chain));
        return raw;
    }

    bool Open(FaceFile& f) {
        if (f.face)
            return true;
        if (f.failed || !m_library)
            return false;
        if (FT_New_Face(m_library, f.path.c_str(), f.index, &f.face) != 0) {
            f.face = nullptr;
            f.failed = true;
            return false;
        }
        if (!FT_IS_SCALABLE(f.face)) {
            // Bitmap-only faces cannot be drawn at any pixel size; leave them out.
            FT_Done_Face(f.face);
            f.face = nullptr;
            f.failed = true;
            return false;
        }
        return true;
    }

    bool SetSize(FaceFile& f, int size) {
        if (!Open(f))
            return false;
        if (f.currentSize != size) {
            if (FT_Set_Pixel_Sizes(f.face, 0, static_cast<FT_UInt>(size)) != 0)
                return false;
            f.currentSize = size;
        }
        return true;
    }

    const font::Glyph* Render(const ChainEntry& entry, int size, uint32_t glyphIndex,
                              bool antiAlias) {
        FaceFile& f = *entry.file;
        const uint64_t key =
            (static_cast<uint64_t>(f.id) << 48) | (static_cast<uint64_t>(size & 0x3FFF) << 34) |
            (static_cast<uint64_t>(entry.embolden) << 33) |
            (static_cast<uint64_t>(entry.oblique) << 32) |
            (static_cast<uint64_t>(antiAlias ? 0 : 1) << 31) | (glyphIndex & 0x7FFFFFFFu);
        auto it = m_glyphs.find(key);
        if (it != m_glyphs.end())
            return &it->second.glyph;
        GlyphRecord& rec = m_glyphs[key];
        if (!SetSize(f, size))
            return &rec.glyph;
        FT_Matrix shear{0x10000, entry.oblique ? static_cast<FT_Fixed>(0.2 * 0x10000) : 0, 0,
                        0x10000};
        FT_Set_Transform(f.face, &shear, nullptr);
        FT_Int32 flags =
            FT_LOAD_NO_BITMAP | (antiAlias ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_MONO);
        if (FT_Load_Glyph(f.face, glyphIndex, flags) == 0) {
            FT_GlyphSlot slot = f.face->glyph;
            if (entry.embolden && slot->format == FT_GLYPH_FORMAT_OUTLINE)
                FT_GlyphSlot_Embolden(slot);
            rec.glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
            if (FT_Render_Glyph(slot, antiAlias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) ==
                0) {
                const FT_Bitmap& bm = slot->bitmap;
                rec.glyph.left = slot->bitmap_left;
                rec.glyph.top = slot->bitmap_top;
                rec.glyph.width = static_cast<int>(bm.width);
                rec.glyph.height = static_cast<int>(bm.rows);
                rec.data.resize(static_cast<std::size_t>(bm.width) * bm.rows);
                for (unsigned y = 0; y < bm.rows; ++y) {
                    const unsigned char* src =
                        bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
                    uint8_t* dst = rec.data.data() + static_cast<std::size_t>(y) * bm.width;
                    if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
                        for (unsigned x = 0; x < bm.width; ++x)
                            dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                    } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
                        std::copy(src, src + bm.width, dst);
                    } else {
                        std::fill(dst, dst + bm.width, 0);
                    }
                }
                if (!rec.data.empty())
                    rec.glyph.coverage = rec.data.data();
            }
        }
        FT_Set_Transform(f.face, nullptr, nullptr);
        m_glyphBytes +=
            rec.data.size() + sizeof(GlyphRecord) + sizeof(uint64_t) + 2 * sizeof(void*);
        return &rec.glyph;
    }

    std::size_t GlyphBytes() const { return m_glyphBytes; }

private:
    FaceFile* FileFor(const std::string& path, int index) {
        auto key = std::make_pair(path, index);
        auto it = m_files.find(key);
        if (it != m_files.end())
            return it->second.get();
        auto f = std::make_unique<FaceFile>();
        f->path = path;
        f->index = index;
        f->id = static_cast<int>(m_files.size()) + 1;
        FaceFile* raw = f.get();
        m_files.emplace(key, std::move(f));
        return raw;
    }

    // Fills a face record from a fontconfig pattern (path, index, charset, weight, slant).
    FaceFile* FileOfPattern(FcPattern* pattern) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch || !file)
            return nullptr;
        int index = 0;
        FcPatternGetInteger(pattern, FC_INDEX, 0, &index);
        FaceFile* f = FileFor(reinterpret_cast<const char*>(file), index);
        if (!f->charset) {
            FcCharSet* cs = nullptr;
            if (FcPatternGetCharSet(pattern, FC_CHARSET, 0, &cs) == FcResultMatch && cs)
                f->charset = FcCharSetCopy(cs);
            int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(pattern, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(pattern, FC_SLANT, 0, &slant);
            f->bold = weight >= FC_WEIGHT_DEMIBOLD;
            f->italic = slant != FC_SLANT_ROMAN;
        }
        return f;
    }

    static FcPattern* MakePattern(const char* family, bool bold, bool italic, const char* lang) {
        FcPattern* p = FcPatternCreate();
        if (family)
            FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
        if (lang)
            FcPatternAddString(p, FC_LANG, reinterpret_cast<const FcChar8*>(lang));
        FcPatternAddInteger(p, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(p, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, p, FcMatchPattern);
        FcDefaultSubstitute(p);
        return p;
    }

    // The installed face of exactly this family (fontconfig substitutes freely, so the match
    // is accepted only when one of its family names is the one asked for).
    FaceFile* MatchInstalled(const std::string& family, bool bold, bool italic) {
        FcPattern* p = MakePattern(family.c_str(), bold, italic, nullptr);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, p, &result);
        FcPatternDestroy(p);
        if (!match)
            return nullptr;
        FaceFile* f = nullptr;
        const std::string want = Lower(family);
        FcChar8* name = nullptr;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
            if (name && Lower(reinterpret_cast<const char*>(name)) == want) {
                f = FileOfPattern(match);
                break;
            }
        }
        FcPatternDestroy(match);
        return f;
    }

    void Add(FaceChain& chain, FaceFile* f, bool bold, bool italic) {
        if (!f || chain.entries.size() >= kMaxChainLength)
            return;
        for (const ChainEntry& e : chain.entries)
            if (e.file == f)
                return;
        chain.entries.push_back(ChainEntry{f, bold && !f->bold, italic && !f->italic});
    }

    void BuildChain(const std::string& family, bool bold, bool italic, FaceChain& chain) {
        if (!family.empty())
            Add(chain, MatchInstalled(family, bold, italic), bold, italic);
        if (chain.entries.empty()) {
            const std::string lower = Lower(family);
            for (const FaceAlias& alias : kFaceAliases) {
                if (lower != alias.windowsFace)
                    continue;
                for (const char* name : alias.families) {
                    if (name && chain.entries.empty())
                        Add(chain, MatchInstalled(name, bold, italic), bold, italic);
                }
            }
        }
        // Then the Chinese-capable sans faces in fontconfig's order of preference; they also
        // serve every character that the faces before them lack.
        FcPattern* p = MakePattern("sans-serif", bold, italic, "zh-cn");
        FcResult result = FcResultNoMatch;
        FcFontSet* set = FcFontSort(nullptr, p, FcTrue, nullptr, &result);
        if (set) {
            std::vector<FaceFile*> chinese, others;
            for (int i = 0; i < set->nfont; ++i) {
                FcPattern* font = FcFontRenderPrepare(nullptr, p, set->fonts[i]);
                FcPattern* use = font ? font : set->fonts[i];
                FcLangSet* langs = nullptr;
                bool zh = FcPatternGetLangSet(use, FC_LANG, 0, &langs) == FcResultMatch && langs &&
                          FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("zh-cn")) ==
                              FcLangEqual;
                FaceFile* f = FileOfPattern(use);
                (zh ? chinese : others).push_back(f);
                if (font)
                    FcPatternDestroy(font);
            }
            FcFontSetDestroy(set);
            for (FaceFile* f : chinese)
                Add(chain, f, bold, italic);
            for (FaceFile* f : others)
                Add(chain, f, bold, italic);
        }
        FcPatternDestroy(p);
    }

    FT_Library m_library = nullptr;
    std::map<std::pair<std::string, int>, std::unique_ptr<FaceFile>> m_files;
    std::unordered_map<std::string, std::unique_ptr<FaceChain>> m_chains;
    std::unordered_map<uint64_t, GlyphRecord> m_glyphs;
    std::size_t m_glyphBytes = 0;
};

// Lives for the whole process: fonts may be used from static objects' destructors.
FontSystem& System() {
    static FontSystem* system = new FontSystem;
    return *system;
}

// Metrics with the Windows definitions, from the first face's OS/2 and horizontal header.
void ComputeMetrics(FontSystem& sys, FontObject& font) {
    TEXTMETRIC tm;
    font::LineMetrics line;
    const int size = font.spec.size;
    FaceFile* f = nullptr;
    for (const ChainEntry& e : font.chain->entries) {
        if (sys.SetSize(*e.file, size)) {
            f = e.file;
            break;
        }
    }
    if (f) {
        FT_Face face = f->face;
        const int upem = face->units_per_EM ? face->units_per_EM : 2048;
        long ascent = 0, descent = 0, gap = 0;
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
        if (os2 && os2->version != 0xFFFF && (os2->usWinAscent + os2->usWinDescent) > 0) {
            ascent = ScaleRound(os2->usWinAscent, size, upem);
            descent = ScaleRound(os2->usWinDescent, size, upem);
            if (hhea) {
                // The line gap left over once the Windows ascent and descent are taken.
                long hheaHeight = hhea->Ascender - hhea->Descender;
                long extra = hhea->Line_Gap - ((os2->usWinAscent + os2->usWinDescent) - hheaHeight);
                gap = ScaleRound(std::max(0L, extra), size, upem);
            }
            tm.tmAveCharWidth = static_cast<LONG>(ScaleRound(os2->xAvgCharWidth, size, upem));
        } else {
            ascent = ScaleRound(face->ascender, size, upem);
            descent = ScaleRound(-face->descender, size, upem);
            gap = ScaleRound(std::max<long>(0, face->height - face->ascender + face->descender),
                             size, upem);
        }
        tm.tmAscent = static_cast<LONG>(ascent);
        tm.tmDescent = static_cast<LONG>(descent);
        tm.tmHeight = tm.tmAscent + tm.tmDescent;
        tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - size);
        tm.tmExternalLeading = static_cast<LONG>(gap);
        tm.tmMaxCharWidth = static_cast<LONG>(ScaleRound(face->max_advance_width, size, upem));
        long uPos = ScaleRound(-face->underline_position, size, upem);
        long uThick = ScaleRound(face->underline_thickness, size, upem);
        line.underlineOffset =
            static_cast<int>(std::clamp<long>(uPos, 1, std::max<long>(1, descent)));
        line.underlineThickness = static_cast<int>(std::max<long>(1, uThick));
    } else {
        // No face at all: keep layout arithmetic sane.
        tm.tmAscent = size * 4 / 5;
        tm.tmDescent = size - tm.tmAscent;
        tm.tmHeight = size;
        tm.tmAveCharWidth = size / 2;
        tm.tmMaxCharWidth = size;
    }
    if (font.chain->entries.size() && font.spec.bold && font.chain->entries[0].embolden) {
        // Synthetic emboldening widens every glyph by about a 24th of the em.
        int extra = std::max(1, size / 24);
        tm.tmAveCharWidth += extra;
        tm.tmMaxCharWidth += extra;
    }
    if (tm.tmAveCharWidth <= 0)
        tm.tmAveCharWidth = std::max(1, size / 2);
    tm.tmWeight = font.spec.bold ? 700 : 400;
    tm.tmItalic = font.spec.italic ? 1 : 0;
    tm.tmUnderlined = font.spec.underline ? 1 : 0;
    line.ascent = tm.tmAscent;
    line.height = tm.tmHeight;
    line.externalLeading = tm.tmExternalLeading;
    line.aveCharWidth = tm.tmAveCharWidth;
    font.metrics = tm;
    font.line = line;
}

HFONT CreateFontLocked(FontSystem& sys, const FontSpec& requested) {
    FontSpec spec = requested;
    if (spec.face.empty())
        spec.face = GetDefaultGuiFontSpec().face;
    if (spec.size < 0)
        spec.size = -spec.size;
    if (spec.size == 0)
        spec.size = GetDefaultGuiFontSpec().size;
    spec.size = std::min(spec.size, kMaxPixelSize);
    FaceChain* chain = sys.ChainFor(spec.face, spec.bold, spec.italic);
    if (!chain || chain->entries.empty())
        return nullptr;
    auto font = std::make_unique<FontObject>();
    font->spec = requested;
    font->spec.size = spec.size;
    font->chain = chain;
    ComputeMetrics(sys, *font);
    return font.release();
}

} // namespace

HFONT CreateFont(const FontSpec& spec) {
    FontSystem& sys = System();
    std::lock_guard<std::recursive_mutex> lock(sys.mutex);
    return CreateFontLocked(sys, spec);
}

FontSpec GetDefaultGuiFontSpec() {
    // The desktop of the program's first language: a 12-pixel Chinese sans face.
    FontSpec spec;
    spec.face = "宋体";
    spec.size = 12;
    return spec;
}

HFONT GetDefaultGuiFont() {
    static HFONT font = CreateFont(GetDefaultGuiFontSpec());
    return font;
}

void DeleteFont(HFONT font) {
    if (!font || font == GetDefaultGuiFont())
        return;
    std::lock_guard<std::recursive_mutex> lock(System().mutex);
    delete font;
}

bool GetFontSpec(HFONT font, FontSpec* spec) {
    if (!font || !spec)
        return false;
    *spec = font->spec;
    return true;
}

bool GetTextMetrics(HFONT font, TEXTMETRIC* metrics) {
    if (!font || !metrics)
        return false;
    *metrics = font->metrics;
    return true;
}

bool GetTextExtentPoint32(HFONT font, const char* utf8, int len, SIZE* size) {
    if (!font || !size)
        return false;
    *size = SIZE{0, font->metrics.tmHeight};
    if (!utf8)
        return len <= 0;
    const std::size_t n =
        len < 0 ? std::char_traits<char>::length(utf8) : static_cast<std::size_t>(len);
    auto lock = font::LockFonts();
    const char* p = utf8;
    const char* end = utf8 + n;
    long width = 0;
    while (p < end) {
        // Control characters take no room, a tab that of a space, as when the text is drawn.
        uint32_t cp = Utf8Decode(p, end);
        if (cp == '\t')
            cp = ' ';
        else if (cp < 0x20 || cp == 0x7F)
            continue;
        width += font::GetGlyph(font, cp)->advance;
    }
    size->cx = static_cast<LONG>(width);
    return true;
}

bool GetTextMetrics(HDC dc, TEXTMETRIC* metrics) {
    return GetTextMetrics(font::Resolve(dc ? dc->GetFont() : nullptr), metrics);
}

bool GetTextExtentPoint32(HDC dc, const char* utf8, int len, SIZE* size) {
    return GetTextExtentPoint32(font::Resolve(dc ? dc->GetFont() : nullptr), utf8, len, size);
}

bool GetFontFile(HFONT font, std::string* path, int* index) {
    if (!font || !font->chain || font->chain->entries.empty())
        return false;
    const FaceFile* f = font->chain->entries[0].file;
    if (path)
        *path = f->path;
    if (index)
        *index = f->index;
    return true;
}

std::size_t GetGlyphCacheBytes() {
    FontSystem& sys = System();
    std::lock_guard<std::recursive_mutex> lock(sys.mutex);
    return sys.GlyphBytes();
}

namespace font {

std::unique_lock<std::recursive_mutex> LockFonts() {
    return std::unique_lock<std::recursive_mutex>(System().mutex);
}

HFONT Resolve(HFONT font) {
    return font ? font : GetDefaultGuiFont();
}

LineMetrics GetLineMetrics(HFONT font) {
    font = Resolve(font);
    return font ? font->line : LineMetrics{};
}

const Glyph* GetGlyph(HFONT font, uint32_t codepoint, bool antiAlias) {
    static const Glyph kEmpty;
    if (!font || !font->chain || font->chain->entries.empty())
        return &kEmpty;
    const int aa = antiAlias ? 0 : 1;
    if (codepoint < 128) {
        if (const Glyph* g = font->ascii[aa][codepoint])
            return g;
    } else {
        auto it = font->glyphs[aa].find(codepoint);
        if (it != font->glyphs[aa].end())
            return it->second;
    }
    FontSystem& sys = System();
    FaceChain& chain = *font->chain;
    int entry = -1;
    auto known = chain.entryOfChar.find(codepoint);
    if (known != chain.entryOfChar.end()) {
        entry = known->second;
    } else {
        for (int i = 0; i < static_cast<int>(chain.entries.size()); ++i) {
            FaceFile& f = *chain.entries[i].file;
            if (f.HasChar(codepoint) && sys.Open(f)) {
                entry = i;
                break;
            }
        }
        chain.entryOfChar.emplace(codepoint, entry);
    }
    // Nobody has it: the first face's missing-glyph box.
    uint32_t glyphIndex = 0;
    int use = entry;
    if (entry < 0) {
        use = 0;
        for (int i = 0; i < static_cast<int>(chain.entries.size()); ++i)
            if (sys.Open(*chain.entries[i].file)) {
                use = i;
                break;
            }
    }
    const ChainEntry& ce = chain.entries[use];
    if (entry >= 0 && ce.file->face)
        glyphIndex = FT_Get_Char_Index(ce.file->face, codepoint);
    const Glyph* g = sys.Render(ce, font->spec.size, glyphIndex, antiAlias);
    if (codepoint < 128)
        font->ascii[aa][codepoint] = g;
    else
        font->glyphs[aa].emplace(codepoint, g);
    return g;
}

} // namespace font

} // namespace plat
