#include <gtest/gtest.h>

#include "archive/recorder/CaptureFormatRule.h"

using camera::CameraFormat;

namespace {

constexpr uint32_t Y = camera::kFourccYuyv;
constexpr uint32_t M = camera::kFourccMjpeg;
constexpr uint32_t kRgb24 = camera::MakeFourcc('R', 'G', 'B', '3');

}  // namespace

TEST(CaptureFormatRule, PrefersTheFirstWideEnough4By3FormatAndFallsBackInDeviceOrder) {
    struct Case {
        const char* what;
        std::vector<CameraFormat> caps;
        std::vector<CameraFormat> refused;  // formats whose set fails
        int chosen;
        std::vector<CameraFormat> tried;
    };
    const std::vector<Case> cases = {
        {"a small 4:3 before a large one", {{Y, 320, 240}, {Y, 640, 480}}, {}, 1, {{Y, 640, 480}}},
        {"only 16:9 formats: the first large enough",
         {{M, 1920, 1080}, {M, 1280, 720}, {Y, 640, 360}},
         {},
         0,
         {{M, 1920, 1080}}},
        {"16:9 exactly 360 high as fallback", {{Y, 320, 240}, {Y, 640, 360}}, {}, 1, {{Y, 640, 360}}},
        {"1440x1080 is 4:3 and beats an earlier fallback",
         {{M, 1280, 720}, {M, 1440, 1080}},
         {},
         1,
         {{M, 1440, 1080}}},
        {"entries that are not video are never chosen",
         {{kRgb24, 640, 480}, {0, 640, 480}, {Y, 0, 0}, {M, 1280, 720}},
         {},
         3,
         {{M, 1280, 720}}},
        {"a refused 4:3 ends the search: the earlier fallback is set",
         {{M, 1280, 720}, {Y, 640, 480}, {Y, 800, 600}},
         {{Y, 640, 480}},
         0,
         {{Y, 640, 480}, {M, 1280, 720}}},
        {"a refused 4:3 without fallback",
         {{Y, 640, 480}, {M, 1280, 720}},
         {{Y, 640, 480}},
         -1,
         {{Y, 640, 480}}},
        {"a refused fallback", {{M, 1280, 720}}, {{M, 1280, 720}}, -1, {{M, 1280, 720}}},
        {"nothing large enough: the device keeps its own",
         {{Y, 320, 240}, {Y, 352, 288}, {Y, 640, 240}},
         {},
         -1,
         {}},
        {"no capabilities", {}, {}, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<CameraFormat> tried;
        const int chosen = recorder::ChooseCaptureFormat(c.caps, 480, 360, [&](const CameraFormat& f) {
            tried.push_back(f);
            return std::find(c.refused.begin(), c.refused.end(), f) == c.refused.end();
        });
        EXPECT_EQ(chosen, c.chosen);
        EXPECT_EQ(tried, c.tried);
    }
}
