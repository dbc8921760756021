// Scan conversion through upsampled lines: every echo line pair is widened into k = samples
// / lines rows (4 or 8) by linear interpolation, and each display pixel interpolates those
// rows bilinearly with 6-bit fractions. Used for linear probes and, by default, for convex
// probes. The upsampled rows are never stored: each pixel computes the four values it reads
// straight from the processed lines, which gives the same numbers without an 8 MB array.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/GammaTable.h"
#include "imaging/ScanGeometry.h"
#include "platform/Image.h"

class CUpsampledConverter {
public:
    // Rebuilds the address cache when the geometry, depth or frame size changed since the
    // last call. False when frames of this size cannot be drawn (samples / lines is not 4
    // or 8): the image then stays black.
    bool Prepare(const ScanGeometry& geometry, const DepthGeometry& depth, int samples, int lines);

    // Draws the processed samples into the image (top-down, 480 x 480, already black),
    // mirroring column x to 480 - x when inverted. `work` holds the lines one after another,
    // `samples` doubles each, followed by one more line of zeros.
    void Draw(const double* work, const GammaTable& gamma, bool invert, Image8& image) const;

    // Pixels the current cache draws (for tests and the benchmark).
    size_t DrawnPixelCount() const { return taps_.size(); }

private:
    struct CacheKey {
        int probeType = 0;
        int samples = 0;
        int lines = 0;
        int firstSample = 0;
        bool spacingFlag = false;
        double sampleSpacing = 0.0;
        double fieldOfView = 0.0;
        DepthGeometry depth;
        friend bool operator==(const CacheKey&, const CacheKey&) = default;
    };
    // One upsampled row: line a + (line b - line a) x q / k, the lines given as offsets of
    // their first sample in the work block.
    struct UpRow {
        int32_t offsetA;
        int32_t offsetB;
        double q;
    };
    // One drawn pixel: upsampled row i and sample j of its top-left neighbour, the line
    // fraction for sample j, the line fraction for sample j + 1 and the sample fraction, in 64ths.
    struct Tap {
        uint16_t i;
        uint16_t j;
        uint8_t fi;
        uint8_t fiNext;
        uint8_t fj;
        uint8_t pad;
    };
    // A run of drawn pixels on one display row, source columns x0 .. x0 + count - 1.
    struct Run {
        uint16_t row;
        uint16_t x0;
        uint32_t count;
    };

    void Rebuild(const ScanGeometry& geometry, const DepthGeometry& depth, int samples, int lines);

    bool valid_ = false;
    CacheKey key_;
    int k_ = 0;
    int samples_ = 0;
    int lines_ = 0;
    std::vector<UpRow> rows_;
    std::vector<Tap> taps_;
    std::vector<Run> runs_;
};
