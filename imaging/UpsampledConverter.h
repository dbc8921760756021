// Scan conversion through upsampled lines: every echo line pair is widened into k = samples
// / lines rows (4 or 8) by linear interpolation, and each display pixel interpolates those
// rows bilinearly with 6-bit fractions. Used for linear probes and, by default, for convex
// probes. The upsampled rows are never stored: each pixel computes the four values it reads
// straight from the processed lines, which gives the same numbers without an 8 MB array.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/GammaTable.h"
#include "imaging/ScanGeometry.h"
#include "imaging/TableCache.h"
#include "platform/Image.h"

// What the address cache of the upsampling path depends on.
struct UpsampledKey {
    int probeType = 0;
    int samples = 0;
    int lines = 0;
    int firstSample = 0;
    bool spacingFlag = false;
    double sampleSpacing = 0.0;
    double fieldOfView = 0.0;
    DepthGeometry depth;
    friend bool operator==(const UpsampledKey&, const UpsampledKey&) = default;
};
UpsampledKey MakeUpsampledKey(const ScanGeometry& geometry, const DepthGeometry& depth, int samples,
                              int lines);

// The address cache of one key. Read only once built, so threads may share it.
struct UpsampledTables {
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

    // False when frames of this size cannot be drawn (samples / lines is not 4 or 8).
    bool valid = false;
    int k = 0;
    std::vector<UpRow> rows;
    // Per upsampled row i: q / k of rows i and i + 1, each twice (two samples a row). q / k is
    // exact (k is a power of two), so d x (q / k) is the same number as d x q / k.
    struct alignas(32) RowWeights {
        double w[4];
    };
    std::vector<RowWeights> weights;
    // Per upsampled row i: the line offsets of rows i and i + 1 (a, b, a, b), read together.
    struct RowQuad {
        int32_t offset[4];
    };
    std::vector<RowQuad> quads;
    std::vector<Tap> taps;
    std::vector<Run> runs;

    // The same drawing for frames whose processed samples are all whole numbers, held as
    // bytes sample by sample (`wholeStride` bytes each, the lines, the zero line and
    // zeros). Every step of the arithmetic above is then exact: each upsampled value is a
    // multiple of 1/8, each pixel's value one of 1/32768, so integers scaled by 32768 give
    // the very same pixels. Per tap, SoA: where the four lines L .. L + 3 of sample j start
    // (row i reads lines L and L + 1, row i + 1 lines L + d and L + d + 1), with fj and d:
    // offset | fj << 24 | d << 31; and fi | q0 << 8 | fn << 16 | q1 << 24, q0 and q1 the
    // weights of rows i and i + 1 in 8ths. wholeStride is 0 when a size does not fit.
    int wholeStride = 0;
    std::vector<uint32_t> wholeAddress;
    std::vector<uint32_t> wholeWeights;
};
std::shared_ptr<const UpsampledTables> BuildUpsampledTables(const UpsampledKey& key);

// The tables of the depth in force and the ones just left or ahead, built ahead on a worker.
using CUpsampledTableCache = CTableCache<UpsampledKey, UpsampledTables, &BuildUpsampledTables, 3>;

class CUpsampledConverter {
public:
    // Tables come from `cache` when given (shared with its worker), else are built here.
    explicit CUpsampledConverter(std::shared_ptr<CUpsampledTableCache> cache = nullptr);

    // Takes the address cache of the geometry, depth and frame size when they changed since
    // the last call. False when frames of this size cannot be drawn (samples / lines is not 4
    // or 8): the image then stays black.
    bool Prepare(const ScanGeometry& geometry, const DepthGeometry& depth, int samples, int lines);

    // Draws the processed samples into the image (top-down, 480 x 480, already black),
    // mirroring column x to 480 - x when inverted. `work` holds the lines one after another,
    // `samples` doubles each, followed by one more line of zeros.
    void Draw(const double* work, const GammaTable& gamma, bool invert, Image8& image) const;

    // Bytes per sample of the whole-number samples DrawWhole reads, or 0 when the current
    // tables have no whole-number form or the CPU lacks AVX2.
    int WholeStride() const;
    // Draw for whole-number samples: `samples` holds them sample by sample, WholeStride()
    // bytes each (the lines, then zeros). Gives the very pixels Draw gives for the same values.
    void DrawWhole(const uint8_t* samples, const GammaTable& gamma, bool invert, Image8& image) const;

    // Pixels the current cache draws (for tests and the benchmark).
    size_t DrawnPixelCount() const { return tables_ ? tables_->taps.size() : 0; }

private:
    std::shared_ptr<CUpsampledTableCache> cache_;
    UpsampledKey key_;
    std::shared_ptr<const UpsampledTables> tables_;
    // Per upsampled row, where its quad's four lines start in this frame's work block: frame
    // scratch of Draw, kept to spare the allocation.
    mutable std::vector<std::array<const double*, 4>> lineStarts_;
};
