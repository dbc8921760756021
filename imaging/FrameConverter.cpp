#include "imaging/FrameConverter.h"

#include <utility>

#include "common/DebugLog.h"
#include "imaging/FrameProcessing.h"

namespace {
constexpr int kMaxSamples = 65535;
constexpr int kMaxLines = 4096;

// Convex probes that report their top-offset factor take the sector path, the others the
// upsampling path: what a frame draws with is what is built ahead for it.
bool TakesSectorPath(const ScanGeometry& g, int raw2Bitmap) {
    return g.IsConvex() && raw2Bitmap != 1;
}
}  // namespace

CFrameConverter::CFrameConverter()
    : tables_(std::make_shared<CUpsampledTableCache>()),
      sectorTables_(std::make_shared<CSectorTableCache>()),
      upsampled_(tables_) {}
CFrameConverter::~CFrameConverter() = default;

int** CFrameConverter::RawFrame(int samples, int lines) {
    if (samples <= 0 || lines <= 0 || samples > kMaxSamples || lines > kMaxLines)
        return nullptr;
    if (samples != samples_ || lines != lines_ || !raw_) {
        raw_.reset(Alloc2DInt(lines, samples));
        previous_.reset(Alloc2DInt(lines, samples));
        // One line of zeros behind the last: the upsampling converter reads it past lines x k.
        work_.reset(Alloc2DDouble(lines + 1, samples));
        previousValid_ = false;
        if (!raw_ || !previous_ || !work_) {
            raw_.reset();
            previous_.reset();
            work_.reset();
            samples_ = lines_ = 0;
            return nullptr;
        }
        samples_ = samples;
        lines_ = lines;
    }
    return raw_.get();
}

void CFrameConverter::Prebuild(const FrameSettings& settings, int depth) {
    const ScanGeometry& g = settings.geometry;
    const int raw2Bitmap = g.EffectiveRaw2Bitmap(settings.params.raw2Bitmap, depth);
    if (!(g.IsConvex() || g.IsLinear()) || g.samples <= 0 || g.lines <= 0)
        return;
    const DepthGeometry d = ComputeDepthGeometry(g, depth, raw2Bitmap);
    if (d.CacheRowsNeeded() > kCacheRows)
        return;
    if (TakesSectorPath(g, raw2Bitmap)) {
        sectorTables_->Prebuild(MakeSectorKey(g, d, g.samples, g.lines, settings.params.bicubicA));
    } else {
        tables_->Prebuild(MakeUpsampledKey(g, d, g.samples, g.lines));
    }
}

void CFrameConverter::WaitPrebuilt() {
    tables_->WaitPrebuilt();
    sectorTables_->WaitPrebuilt();
}

size_t CFrameConverter::TablesBuiltInFrame() const {
    return tables_->BuiltOnDemand() + sectorTables_->BuiltOnDemand();
}

size_t CFrameConverter::DrawnPixelCount() const {
    return lastWasSector_ && sector_ ? sector_->DrawnPixelCount() : upsampled_.DrawnPixelCount();
}

ConvertResult CFrameConverter::RawToBitmap(int depth, int frameCount, const FrameSettings& settings,
                                           Image8& image) {
    ConvertResult result;
    if (image.width() != kImageSize || image.height() != kImageSize)
        image.Resize(kImageSize, kImageSize);
    image.Fill(0);
    if (!raw_)
        return result;

    const ImagingParams& p = settings.params;
    const ScanGeometry& g = settings.geometry;
    ProcessingInput in;
    in.raw = raw_.get();
    in.previous = previous_.get();
    in.blend = frameCount >= 2 && previousValid_;
    in.lines = lines_;
    in.samples = samples_;
    in.firstSample = g.firstSample;
    in.stc = settings.stc.empty() ? nullptr : settings.stc.data();
    in.stcSize = static_cast<int>(settings.stc.size());

    const int raw2Bitmap = g.EffectiveRaw2Bitmap(p.raw2Bitmap, depth);
    result.depth = ComputeDepthGeometry(g, depth, raw2Bitmap);
    const bool drawable = g.IsConvex() || g.IsLinear();
    const bool sectorPath = TakesSectorPath(g, raw2Bitmap);
    const bool upsampledPath = drawable && !sectorPath && result.depth.CacheRowsNeeded() <= kCacheRows &&
                               upsampled_.Prepare(g, result.depth, samples_, lines_);
    // Most frames' samples are whole numbers: then they go to the drawing as bytes.
    bool whole = false;
    if (upsampledPath && upsampled_.WholeStride() > 0) {
        const int stride = upsampled_.WholeStride();
        const size_t size = static_cast<size_t>(samples_) * static_cast<size_t>(stride);
        if (wholeStride_ != stride || whole_.size() != size) {
            whole_.assign(size, 0);  // the zero line and the padding stay 0
            wholeStride_ = stride;
        }
        whole = ProcessFrameWhole(in, p, whole_.data(), stride, wholeScratch_);
    }
    if (!whole)
        ProcessFrame(in, p, work_.get());
    DebugLog("RawToBitmap Gain / Contrast\n");

    if (result.depth.CacheRowsNeeded() > kCacheRows) {
        result.status = ConvertResult::Status::CacheOverflow;
        return result;
    }

    if (drawable) {
        if (sectorPath) {
            if (!sector_)
                sector_ = std::make_unique<CSectorConverter>(sectorTables_);
            sector_->Prepare(g, result.depth, samples_, lines_, p.bicubicA);
            sector_->Draw(work_.get(), settings.gamma, p.invert, p.bicubic, image);
        } else {
            if (sector_) {
                // About 25 MB a depth that the upsampling path does not need.
                sector_.reset();
                sectorTables_->Drop();
            }
            if (whole) {
                upsampled_.DrawWhole(whole_.data(), settings.gamma, p.invert, image);
            } else if (upsampledPath) {
                upsampled_.Draw(work_.get()[0], settings.gamma, p.invert, image);
            }
        }
        lastWasSector_ = sectorPath;
        DebugLog("RawToBitmap Main\n");
        DrawOrientationMark(image, OrientationMarkColumn(g, result.depth, p.invert));
        result.mline = SampleMLine(image, p.mLineAngle, result.depth);
        DrawScale(image, result.depth.pixelsPerMm);
    }

    // The frame just converted is the previous one of the next frame.
    std::swap(raw_, previous_);
    previousValid_ = true;
    if (p.rawDisp)
        DrawRawDisplay(image, previous_.get(), samples_, lines_);
    return result;
}
