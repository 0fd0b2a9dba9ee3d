// Every sample markup of pane-view (the pieces other samples include as well) builds and paints:
// run headless with --dump and --shot it must end well, build controls and leave a picture, so
// a sample broken by a change to the framework or to the sample fails here rather than in front
// of a user.
#include "PaneViewFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <set>
#include <string>
#include <vector>

namespace {

// The samples' file names, sorted; read when the tests are listed, so a new sample is tested
// without being named here.
std::vector<std::string> SampleNames() {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(pane_view_test::kSamples.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".xml") == 0)
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class PaneViewSamplesTest : public pane_view_test::PaneViewFixture,
                            public ::testing::WithParamInterface<std::string> {};

TEST_P(PaneViewSamplesTest, BuildsAndPaints) {
    int code = -1;
    const std::string shot = m_dir + "/shot.png";
    const std::string dump = View(GetParam(), "--dump - --shot '" + shot + "'", &code);
    std::string err;
    plat::ReadFileText(m_dir + "/stderr", &err);
    ASSERT_EQ(code, 0) << err;
    plat::Bitmap picture;
    ASSERT_TRUE(plat::LoadImageFile(shot, &picture));
    ASSERT_GT(picture.width, 0);
    ASSERT_GT(picture.height, 0);
    // A window sample lists its controls under its window line (a markup whose elements were
    // all skipped lists none); a dialog sample, which has no dump, must have drawn something.
    if (!dump.empty()) {
        EXPECT_NE(dump.find("\n  "), std::string::npos) << "no control was built:\n" << dump;
    } else {
        const std::set<uint32_t> colours(picture.pixels.begin(), picture.pixels.end());
        EXPECT_GT(colours.size(), 1u) << "the dialog drew nothing";
    }
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param.substr(0, info.param.size() - 4);
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Samples, PaneViewSamplesTest, ::testing::ValuesIn(SampleNames()),
                         TestName);

TEST(PaneViewSamplesListTest, TheSamplesAreFound) {
    EXPECT_GE(SampleNames().size(), 10u) << pane_view_test::kSamples;
}

} // namespace
