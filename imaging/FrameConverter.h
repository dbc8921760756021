// One raw frame to one 480 x 480 grey image: processing, the per-depth geometry, scan
// conversion through the path in force, then the orientation mark, the M-line sample and
// the scale ticks. Keeps what carries from frame to frame (the previous raw frame, the
// working array, the address caches). Used by one thread at a time, the image thread, but
// for Prebuild.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/Array2D.h"
#include "imaging/FrameOverlays.h"
#include "imaging/GammaTable.h"
#include "imaging/ImagingParams.h"
#include "imaging/ScanGeometry.h"
#include "imaging/SectorConverter.h"
#include "imaging/UpsampledConverter.h"
#include "platform/Image.h"

// Everything a conversion reads besides the samples: a snapshot taken once per frame.
struct FrameSettings {
    ImagingParams params;
    ScanGeometry geometry;
    std::vector<int> stc;  // gain offset per sample; empty before the curve exists
    GammaTable gamma = IdentityGammaTable();
    double gammaValue = 1.0;  // the gamma the table was built for
};

struct ConvertResult {
    enum class Status {
        Converted,
        // The image would reach below the address caches; nothing was drawn.
        CacheOverflow,
    };
    Status status = Status::Converted;
    DepthGeometry depth;
    MLineSample mline;
};

class CFrameConverter {
public:
    CFrameConverter();
    ~CFrameConverter();

    // The raw frame to fill before RawToBitmap, int[lines][samples]. A new size starts a new run
    // (no frame correlation with a frame of another size). Null when the size is unusable or
    // the memory cannot be had.
    int** RawFrame(int samples, int lines);

    // Converts the raw frame into image (resized to 480 x 480 and cleared first). frameCount
    // is the cine's count with this frame added: below 2 the frame is not blended with the
    // previous one.
    ConvertResult RawToBitmap(int depth, int frameCount, const FrameSettings& settings, Image8& image);

    size_t DrawnPixelCount() const;

    // Any thread: has the address cache for these settings at this depth (of the path they
    // take) built on a worker, so that the first frame of a new depth or probe does not wait
    // for it. Frames are sized as the geometry says.
    void Prebuild(const FrameSettings& settings, int depth);
    // Waits until the builds asked for are done (tests and benchmarks).
    void WaitPrebuilt();
    // Address caches a conversion had to build itself, not ahead (tests).
    size_t TablesBuiltInFrame() const;

private:
    Int2D raw_;
    Int2D previous_;
    Double2D work_;
    // The processed samples as bytes, sample by sample, when they are whole numbers.
    std::vector<uint8_t> whole_;
    int wholeStride_ = 0;
    std::vector<int32_t> wholeScratch_;
    int samples_ = 0;
    int lines_ = 0;
    bool previousValid_ = false;
    bool lastWasSector_ = false;
    std::shared_ptr<CUpsampledTableCache> tables_;  // shared with its worker, thread-safe
    std::shared_ptr<CSectorTableCache> sectorTables_;  // the same for the sector path
    CUpsampledConverter upsampled_;
    std::unique_ptr<CSectorConverter> sector_;  // only while the sector path is in use
};
