// Scan conversion of a convex sector straight from the echo lines, with bilinear or
// cubic-convolution interpolation. Only convex probes that report their top-offset factor
// take this path (RAW2BITMAP other than 1). Its cache (positions and 16 kernel weights per
// pixel) is large, so it is built only for the pixels inside the sector and only once the
// path is used, or ahead for a depth or probe that takes it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/GammaTable.h"
#include "imaging/ScanGeometry.h"
#include "imaging/TableCache.h"
#include "platform/Image.h"

// The cubic-convolution kernel W(t) with parameter a.
double CubicKernel(double t, double a);

// What the sector path's cache depends on.
struct SectorKey {
    int samples = 0;
    int lines = 0;
    int firstSample = 0;
    bool spacingFlag = false;
    double sampleSpacing = 0.0;
    double sectorStartMinusPi = 0.0;
    double sectorEndMinusPi = 0.0;
    double lineStep = 0.0;
    double kernelA = 0.0;
    DepthGeometry depth;
    friend bool operator==(const SectorKey&, const SectorKey&) = default;
};
SectorKey MakeSectorKey(const ScanGeometry& geometry, const DepthGeometry& depth, int samples, int lines,
                        double kernelA);

// The cache of one key: positions and kernel weights of the pixels inside the sector.
struct SectorTables {
    struct Tap {
        uint16_t x;
        uint16_t row;  // display row
        double linePos;
        double samplePos;
        double weight[4][4];  // [line][sample]
    };
    int samples = 0;
    int lines = 0;
    int first = 0;
    std::vector<Tap> taps;
};
std::shared_ptr<const SectorTables> BuildSectorTables(const SectorKey& key);

// The cache of the depth in force, or of the one ahead while the frames still hold theirs
// (about 25 MB each).
using CSectorTableCache = CTableCache<SectorKey, SectorTables, &BuildSectorTables, 1>;

class CSectorConverter {
public:
    // Caches come from `cache` when given (shared with its worker), else are built here.
    explicit CSectorConverter(std::shared_ptr<CSectorTableCache> cache = nullptr);

    // Takes the cache of the geometry, depth, frame size and kernel parameter when they
    // changed since the last call.
    void Prepare(const ScanGeometry& geometry, const DepthGeometry& depth, int samples, int lines,
                 double kernelA);
    void Draw(const double* const* work, const GammaTable& gamma, bool invert, bool bicubic,
              Image8& image) const;

    size_t DrawnPixelCount() const { return tables_ ? tables_->taps.size() : 0; }

private:
    std::shared_ptr<CSectorTableCache> cache_;
    SectorKey key_;
    std::shared_ptr<const SectorTables> tables_;
};
