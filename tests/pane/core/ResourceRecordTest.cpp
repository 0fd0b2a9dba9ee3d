#include "pane/core/ResourceRecord.h"

#include "pane/core/ResourcePath.h"
#include "platform/gfx/Image.h"
#include "platform/sys/File.h"
#include "platform/sys/Resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using Pane::CResourceRecord;
using Pane::FontInfo;
using Pane::ImageInfo;

namespace {

std::unique_ptr<ImageInfo> OnePixel(uint32_t color) {
    auto image = std::make_unique<ImageInfo>();
    image->bitmap = plat::Bitmap(1, 1, color);
    image->width = 1;
    image->height = 1;
    return image;
}

// A folder under /tmp used as the resource path for one test; removed with its files.
class ResourceFolder {
public:
    ResourceFolder() {
        if (::mkdtemp(m_dir) != nullptr) {
            Pane::SetResourcePath(m_dir);
        }
    }
    ~ResourceFolder() {
        for (const std::string& name : m_files) {
            std::remove(Path(name).c_str());
        }
        ::rmdir(m_dir);
        Pane::SetResourcePath("");
    }
    std::string Path(const std::string& name) const { return std::string(m_dir) + "/" + name; }
    bool WritePng(const std::string& name, uint32_t color) {
        m_files.push_back(name);
        return plat::WritePngFile(Path(name), plat::Bitmap(2, 1, color));
    }

private:
    char m_dir[32] = "/tmp/resource-record-XXXXXX";
    std::vector<std::string> m_files;
};

} // namespace

TEST(ResourceRecord, FaceNamesAreCutTo31BytesBeforeAPartialCharacter) {
    CResourceRecord record;
    const std::string ascii(40, 'F');
    const plat::HFONT font = record.AddFont(ascii.c_str(), 13, false, false, false);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(std::string(record.GetFontInfo(font)->faceName.GetData()), std::string(31, 'F'));
    // The full name finds the font it was cut to.
    EXPECT_EQ(record.FindFont(ascii.c_str(), 13, false, false, false), font);

    // 29 ASCII bytes and a three-byte character: the character would end at byte 32.
    const std::string wide = std::string(29, 'W') + "体";
    const plat::HFONT cut = record.AddFont(wide.c_str(), 13, false, false, false);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(std::string(record.GetFontInfo(cut)->faceName.GetData()), std::string(29, 'W'));
}

TEST(ResourceRecord, FindOrAddKeepsOneFontPerFaceSizeAndStyle) {
    CResourceRecord record;
    const plat::HFONT bold = record.FindOrAddFont("Tahoma", 14, true, false, false);
    ASSERT_NE(bold, nullptr);
    EXPECT_EQ(record.FindOrAddFont("Tahoma", 14, true, false, false), bold);
    EXPECT_EQ(record.GetFontCount(), 1);
    const plat::HFONT italic = record.FindOrAddFont("Tahoma", 14, true, false, true);
    EXPECT_NE(italic, bold);
    EXPECT_EQ(record.GetFontCount(), 2);
    EXPECT_EQ(record.GetFont(1), italic);

    // The default font counts as found; an index out of range gives it.
    const FontInfo* standard = record.GetDefaultFontInfo();
    ASSERT_NE(standard, nullptr);
    EXPECT_EQ(
        record.FindOrAddFont(standard->faceName.GetData(), standard->size, false, false, false),
        standard->hFont);
    EXPECT_EQ(record.GetFontCount(), 2);
    EXPECT_EQ(record.GetFontInfo(-1), standard);
    EXPECT_EQ(record.GetFontInfo(2), standard);
    EXPECT_EQ(record.GetFontInfo(standard->hFont), standard);
    EXPECT_EQ(record.GetFontInfo(plat::HFONT{}), nullptr);
}

TEST(ResourceRecord, ANameKeepsItsFirstImage) {
    CResourceRecord record;
    const ImageInfo* first = record.AddImage("pic", OnePixel(0xFFFF0000));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(record.AddImage("pic", OnePixel(0xFF00FF00)), nullptr);
    EXPECT_EQ(record.AddImage("pic", "png", 0), nullptr);
    EXPECT_EQ(record.GetImage("pic"), first);
    // Whatever type and mask a later lookup names.
    EXPECT_EQ(record.GetImageEx("pic", "png", 0xFFFF0000), first);
    EXPECT_EQ(record.GetImage("pic")->bitmap.At(0, 0), 0xFFFF0000u);
}

TEST(ResourceRecord, AFailedLoadIsRememberedForItsNameAndType) {
    ResourceFolder folder;
    CResourceRecord record;
    EXPECT_EQ(record.GetImageEx("late.png", nullptr, 0), nullptr);
    // The file appears afterwards: painting does not read it again...
    ASSERT_TRUE(folder.WritePng("late.png", 0xFF0000FF));
    EXPECT_EQ(record.GetImageEx("late.png", nullptr, 0), nullptr);
    // ...but adding it on purpose loads it.
    const ImageInfo* added = record.AddImage("late.png");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->bitmap.At(1, 0), 0xFF0000FFu);
    EXPECT_EQ(record.GetImageEx("late.png", nullptr, 0), added);

    // A name that fails as a file may still load as a resource of that number.
    ASSERT_TRUE(folder.WritePng("source.png", 0xFF00FF00));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(plat::ReadFileBytes(folder.Path("source.png"), &bytes));
    const plat::ResourceEntry table[] = {{4321, "PNG", bytes.data(), bytes.size()}};
    plat::RegisterResources(table, 1);
    EXPECT_EQ(record.GetImageEx("4321", nullptr, 0), nullptr);
    const ImageInfo* resource = record.GetImageEx("4321", "png", 0);
    plat::UnregisterResources(table);
    ASSERT_NE(resource, nullptr);
    EXPECT_EQ(resource->bitmap.At(0, 0), 0xFF00FF00u);
}
