// The address caches of the upsampling path built ahead on a worker: a frame of a new depth
// or probe finds them ready, draws the same picture as without them, and a frame that comes
// while they are still being built neither races the worker nor draws anything else.
#include <gtest/gtest.h>

#include <string>

#include "ImagingTestSupport.h"
#include "ReferenceImaging.h"
#include "imaging/FrameConverter.h"

using namespace imagingtest;

namespace {

FrameSettings At(const ScanGeometry& geometry, int depth) {
    FrameSettings s;
    s.params.gainBase = -60.0;
    s.params.depth = depth;
    s.geometry = geometry;
    return s;
}

Image8 Expected(const FrameSettings& s, const std::vector<std::vector<int>>& frame, int count) {
    ReferenceImaging plain;
    return plain.Convert(frame, s.params.depth, count, s.params, s.geometry, s.stc, s.gamma).image;
}

}  // namespace

TEST(TablePrebuild, FramesOfANewDepthOrProbeFindTheirTablesReadyAndDrawTheSamePicture) {
    CFrameConverter converter;
    Image8 image;
    const auto frame = Phantom(5);
    int count = 0;
    struct Step {
        ScanGeometry geometry;
        int depth;
    };
    for (const Step& step :
         {Step{Convex(), 150}, Step{Convex(), 90}, Step{Linear(), 60}, Step{Convex(), 150}}) {
        SCOPED_TRACE(std::to_string(step.depth) + " mm");
        const FrameSettings s = At(step.geometry, step.depth);
        converter.Prebuild(s, step.depth);
        converter.WaitPrebuilt();
        Load(converter, frame);
        converter.RawToBitmap(step.depth, ++count, s, image);
        EXPECT_EQ(converter.TablesBuiltInFrame(), 0u);
        EXPECT_TRUE(image == Expected(s, frame, count));
    }

    // Not asked for ahead: the frame builds them itself, with the same result.
    const FrameSettings deep = At(Convex(), 225);
    Load(converter, frame);
    converter.RawToBitmap(225, ++count, deep, image);
    EXPECT_EQ(converter.TablesBuiltInFrame(), 1u);
    EXPECT_TRUE(image == Expected(deep, frame, count));
}

TEST(TablePrebuild, AFrameThatComesWhileItsTablesAreBeingBuiltDrawsTheSamePicture) {
    const auto frame = Phantom(9);
    for (int depth : {70, 110, 180, 240}) {
        SCOPED_TRACE(std::to_string(depth) + " mm");
        CFrameConverter converter;
        Image8 image;
        const FrameSettings s = At(Convex(), depth);
        converter.Prebuild(s, depth);  // no wait: the frame finds the build under way or queued
        Load(converter, frame);
        converter.RawToBitmap(depth, 1, s, image);
        EXPECT_TRUE(image == Expected(s, frame, 1));
    }
}

TEST(TablePrebuild, TheSectorPathsCacheIsBuiltAheadToo) {
    CFrameConverter converter;
    Image8 image;
    const auto frame = Phantom(7);
    FrameSettings s = At(ConvexEx(), 150);
    s.params.raw2Bitmap = 0;
    converter.Prebuild(s, 150);
    converter.WaitPrebuilt();
    Load(converter, frame);
    converter.RawToBitmap(150, 1, s, image);
    EXPECT_EQ(converter.TablesBuiltInFrame(), 0u);
    EXPECT_TRUE(image == Expected(s, frame, 1));

    // A frame while the next depth's cache is under way; then one not asked for ahead.
    s.params.depth = 200;
    converter.Prebuild(s, 200);
    Load(converter, frame);
    converter.RawToBitmap(200, 2, s, image);
    EXPECT_TRUE(image == Expected(s, frame, 2));
    const size_t builtInFrame = converter.TablesBuiltInFrame();  // 1 if the frame took the build over
    s.params.depth = 90;
    Load(converter, frame);
    converter.RawToBitmap(90, 3, s, image);
    EXPECT_EQ(converter.TablesBuiltInFrame(), builtInFrame + 1);
    EXPECT_TRUE(image == Expected(s, frame, 3));
}
