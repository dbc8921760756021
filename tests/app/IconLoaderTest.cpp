// Every picture of the program through the icon loader, and the body pictures against the
// strip the image view cuts off.
#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/core/CstmPictureCtrl.h"
#include "app/IconLoader.h"
#include "platform/FileSystem.h"
#include "platform/draw/Blit.h"
#include "tests/app/WxTestSupport.h"

namespace {

class IconLoaderTest : public wxtest::WindowTest {};

std::vector<int> PictureIds() {
    std::vector<platform::DirEntry> entries;
    EXPECT_TRUE(platform::ListDirectory(TORVIK_ICON_DIR, entries));
    std::vector<int> ids;
    for (const platform::DirEntry& e : entries) {
        if (e.name.size() > 4 && e.name.ends_with(".svg"))
            ids.push_back(std::stoi(e.name));
    }
    return ids;
}

bool IsBodyPicture(int id) {
    return std::find(std::begin(kBodyPictureIds), std::end(kBodyPictureIds), id) != std::end(kBodyPictureIds);
}

}  // namespace

TEST_F(IconLoaderTest, EveryPictureLoadsWithSomethingOnIt) {
    const std::vector<int> ids = PictureIds();
    EXPECT_GE(ids.size(), 8u);  // the probe marker and the seven body pictures
    for (int id : ids) {
        const bool body = IsBodyPicture(id);
        const Image32 img = body ? LoadIcon(id, kBodyPictureWidth, kBodyPictureHeight) : LoadIcon(id, 64, 64);
        ASSERT_FALSE(img.empty()) << id << ".svg did not load";
        std::set<uint32_t> colours;
        for (size_t i = 0; i < img.size() && colours.size() < 3; ++i)
            colours.insert(img.data()[i]);
        // The body-mark picker's "none" (214) is one plain pixel on purpose.
        EXPECT_GE(colours.size(), id == 214 ? 1u : 3u) << id << ".svg shows nothing";
    }
}

TEST_F(IconLoaderTest, BodyPicturesLeaveTheStripTheViewCutsOffEmpty) {
    // The body-mark rectangle reaches 5 pixels past the 480-pixel image: the columns of the
    // picture that land there are never seen, so nothing may be drawn in them.
    const draw::Rect mark = CCstmPictureCtrl().m_rcBodyMark;
    const int imageWidth = 480;
    ASSERT_GT(mark.right, imageWidth);
    const int firstCut = (imageWidth - mark.left) * kBodyPictureWidth / mark.Width();
    Image32 sheet(kBodyPictureWidth * 4, kBodyPictureHeight * 2, MakePixel(60, 60, 60));
    int n = 0;
    for (int id : kBodyPictureIds) {
        const Image32 img = LoadIcon(id, kBodyPictureWidth, kBodyPictureHeight);
        ASSERT_FALSE(img.empty()) << id;
        draw::CopyRect(img, {0, 0, img.width(), img.height()}, sheet,
                       {kBodyPictureWidth * (n % 4), kBodyPictureHeight * (n / 4)});
        ++n;
        int drawn = 0;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = firstCut; x < img.width(); ++x)
                drawn += img.At(x, y) != 0u;  // transparent reads as black
        }
        EXPECT_EQ(drawn, 0) << id << ".svg draws into the cut-off strip from x " << firstCut;
        EXPECT_NE(img.At(firstCut - 8, img.height() / 2), 0u) << id;  // the picture reaches the strip
    }
    wxtest::SaveArtifact(sheet, "body_pictures");
}

TEST_F(IconLoaderTest, APictureThatIsNotWellFormedIsRefused) {
    // A picture beside the program is found first; an attribute given twice makes it invalid.
    const wxFileName exe(wxStandardPaths::Get().GetExecutablePath());
    const std::string folder = exe.GetPath().utf8_string() + "/icons";
    const bool made = !platform::PathExists(folder);
    ASSERT_TRUE(!made || wxFileName::Mkdir(wxString::FromUTF8(folder)));
    const std::string path = folder + "/999.svg";
    const std::string good =
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8"><rect width="4" height="8" fill="#fff"/></svg>)";
    for (const auto& [text, loads] :
         {std::pair{good, true}, std::pair{std::string(R"(<svg xmlns="http://www.w3.org/2000/svg" width="8" )"
                                                       R"(height="8"><rect width="4" height="8" fill="#fff" )"
                                                       R"(fill="none"/></svg>)"),
                                           false}}) {
        std::ofstream(path, std::ios::trunc) << text;
        EXPECT_EQ(LoadIcon(999, 8, 8).empty(), !loads) << text;
    }
    std::remove(path.c_str());
    if (made)
        wxFileName::Rmdir(wxString::FromUTF8(folder));
}
