#include "pane/core/Xml.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>

using Pane::CXmlDoc;
using Pane::CXmlElement;

namespace {

std::string Load(CXmlDoc& doc, const std::string& text) {
    return doc.Load(text.c_str()) ? "" : doc.GetLastErrorMessage();
}

} // namespace

TEST(Xml, MalformedMarkupGivesItsErrorText) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"x<a/>", "Expected start tag"},
        {"<>", "Error parsing element name"},
        {"<a b></a>", "Error while parsing attributes"},
        {"<a b=c></a>", "Expected attribute value"},
        {"<a b='c'></a>", "Expected attribute value"},
        {"<a b=\"c></a>", "Error while parsing attribute string"},
        {"<a b=\"c\" x</a>", "Error while parsing attributes"},
        {"<a></b>", "Unmatched closing tag"},
        {"<a></ab>", "Unmatched closing tag"},
        {"<a></a", "Unmatched closing tag"},
        {"<a b=\"1\"/ >", "Expected start-tag closing"},
        {"<r><a><b/>", "Expected start tag"},
        // The text may end inside the content of the root or of its children, not deeper.
        {"<r>text", ""},
        {"<r><a>text", ""},
        {"<r><a><b>text", "Expected start tag"},
        {"<r><a><b>", "Expected start tag"},
    };
    for (const auto& c : cases) {
        CXmlDoc doc;
        EXPECT_EQ(Load(doc, c.text), c.error) << c.text;
        EXPECT_EQ(doc.IsValid(), *c.error == '\0') << c.text;
    }
}

TEST(Xml, ErrorExcerptIsAtMost49BytesOfTheFailingPlace) {
    CXmlDoc doc;
    const std::string text = "<a>" + std::string(100, 'x') + "</b>";
    ASSERT_FALSE(doc.Load(text.c_str()));
    EXPECT_STREQ(doc.GetLastErrorMessage(), "Unmatched closing tag");
    EXPECT_STREQ(doc.GetLastErrorLocation(), "b>");
    ASSERT_FALSE(doc.Load(("<a x=\"" + std::string(80, 'y')).c_str()));
    EXPECT_EQ(std::string(doc.GetLastErrorLocation()), std::string(49, 'y'));
    // Failing at the end of the text there is nothing to show.
    ASSERT_FALSE(doc.Load("<r><a><b>text"));
    EXPECT_STREQ(doc.GetLastErrorLocation(), "");
}

TEST(Xml, TreeAttributesEntitiesAndComments) {
    CXmlDoc doc;
    ASSERT_EQ(Load(doc, "<?xml version=\"1.0\"?><!-- top --><Window size=\"779,509\" "
                        "t=\"a&amp;b &nbsp; &lt;&gt;&quot;&apos;\">"
                        "<!-- inner --><Font name=\"x\" /><Label text=\"ok\">hi &amp; "
                        "there</Label ></Window>"),
              "");
    CXmlElement root = doc.GetRoot();
    EXPECT_STREQ(root.GetName(), "Window");
    ASSERT_EQ(root.GetAttributeCount(), 2);
    EXPECT_STREQ(root.GetAttributeName(0), "size");
    EXPECT_STREQ(root.GetAttributeValue(0), "779,509");
    EXPECT_STREQ(root.GetAttributeValue(1), "a&b &nbsp; <>\"'");
    EXPECT_STREQ(root.GetAttributeValue(5), "");
    CXmlElement font = root.GetChild();
    EXPECT_STREQ(font.GetName(), "Font");
    EXPECT_STREQ(font.GetAttributeValue(0), "x");
    EXPECT_STREQ(font.GetValue(), "");
    CXmlElement label = font.GetSibling();
    EXPECT_STREQ(label.GetName(), "Label");
    EXPECT_STREQ(label.GetValue(), "hi & there");
    EXPECT_FALSE(label.GetSibling().IsValid());
    EXPECT_EQ(doc.GetElementCount(), 3u);
    EXPECT_EQ(CXmlElement().GetName(), nullptr);
}

TEST(Xml, WhitespaceOnlyDocumentHasNoElements) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.Load(" \r\n\t "));
    EXPECT_FALSE(doc.GetRoot().IsValid());
}

TEST(Xml, AttributeLimits) {
    std::string text = "<a";
    for (int i = 0; i < 70; ++i) {
        text += " k" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    }
    text += " long=\"" + std::string(600, 'v') + "\"/>";
    CXmlDoc doc;
    ASSERT_EQ(Load(doc, text), "");
    CXmlElement a = doc.GetRoot();
    EXPECT_EQ(a.GetAttributeCount(), 64);
    char buffer[500] = {};
    EXPECT_TRUE(a.GetAttributeValue("k63", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "63");
    EXPECT_FALSE(a.GetAttributeValue("k64", buffer, sizeof buffer));
    EXPECT_FALSE(a.GetAttributeValue("K1", buffer, sizeof buffer));

    ASSERT_EQ(Load(doc, "<a long=\"" + std::string(600, 'v') + "\" cjk=\"" + std::string(250, 'x') +
                            "\xE4\xB8\xAD\xE4\xB8\xAD\"/>"),
              "");
    EXPECT_TRUE(doc.GetRoot().GetAttributeValue("long", buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer), std::string(499, 'v'));
    char small[253] = {};
    EXPECT_TRUE(doc.GetRoot().GetAttributeValue("cjk", small, sizeof small));
    EXPECT_EQ(std::string(small), std::string(250, 'x')); // never half a character
}

TEST(Xml, MemoryLoadSkipsBomAndReplacesInvalidUtf8) {
    const std::string body = "<a t=\"\xE4\xB8\xAD\xFF\xC0\xAF\"/>";
    CXmlDoc plain, bom;
    ASSERT_TRUE(plain.LoadFromMem(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
    const std::string withBom = "\xEF\xBB\xBF" + body;
    ASSERT_TRUE(bom.LoadFromMem(reinterpret_cast<const uint8_t*>(withBom.data()), withBom.size()));
    EXPECT_STREQ(plain.GetRoot().GetAttributeValue(0), bom.GetRoot().GetAttributeValue(0));
    EXPECT_STREQ(plain.GetRoot().GetAttributeValue(0),
                 "\xE4\xB8\xAD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Xml, DeepNestingNeitherRecursesNorFails) {
    const int depth = 100000;
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += "<a>";
    }
    for (int i = 0; i < depth; ++i) {
        text += "</a>";
    }
    CXmlDoc doc;
    ASSERT_EQ(Load(doc, text), "");
    EXPECT_EQ(doc.GetElementCount(), static_cast<std::size_t>(depth));
}

TEST(Xml, FileLoadingErrors) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadFromPath("/nonexistent/window.xml"));
    EXPECT_STREQ(doc.GetLastErrorMessage(), "Error opening file");
    const std::string path = testing::TempDir() + "xml_empty.xml";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_FALSE(doc.LoadFromPath(path.c_str()));
    EXPECT_STREQ(doc.GetLastErrorMessage(), "File is empty");
    f = std::fopen(path.c_str(), "wb");
    std::fseek(f, 4 * 1024 * 1024, SEEK_SET);
    std::fputc('x', f);
    std::fclose(f);
    EXPECT_FALSE(doc.LoadFromPath(path.c_str()));
    EXPECT_STREQ(doc.GetLastErrorMessage(), "File too large");
    f = std::fopen(path.c_str(), "wb");
    std::fputs("<Window size=\"10,20\"/>", f);
    std::fclose(f);
    EXPECT_TRUE(doc.LoadFromPath(path.c_str()));
    EXPECT_STREQ(doc.GetRoot().GetName(), "Window");
    std::remove(path.c_str());

    // Neither a folder nor a pipe is a file; opening the pipe must not wait for a writer.
    EXPECT_FALSE(doc.LoadFromPath(testing::TempDir().c_str()));
    EXPECT_STREQ(doc.GetLastErrorMessage(), "Error opening file");
    const std::string pipe = testing::TempDir() + "xml_pipe";
    std::remove(pipe.c_str());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(doc.LoadFromPath(pipe.c_str()));
    EXPECT_STREQ(doc.GetLastErrorMessage(), "Error opening file");
    std::remove(pipe.c_str());
}
