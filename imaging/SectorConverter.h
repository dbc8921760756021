// Scan conversion of a convex sector straight from the echo lines, with bilinear or
// cubic-convolution interpolation. Only convex probes that report their top-offset factor
// take this path (RAW2BITMAP other than 1). Its cache (positions and 16 kernel weights per
// pixel) is large, so it is built only for the pixels inside the sector and only once the
// path is used.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/GammaTable.h"
#include "imaging/ScanGeometry.h"
#include "platform/Image.h"

// The cubic-convolution kernel W(t) with parameter a.
double CubicKernel(double t, double a);

class CSectorConverter {
public:
    // Rebuilds the cache when the geometry, depth, frame size or kernel parameter changed.
    void Prepare(const ScanGeometry& geometry, const DepthGeometry& depth, int samples, int lines,
                 double kernelA);
    void Draw(const double* const* work, const GammaTable& gamma, bool invert, bool bicubic,
              Image8& image) const;

    size_t DrawnPixelCount() const { return taps_.size(); }
    // Frees the cache (the path is no longer in use).
    void Release();

private:
    struct CacheKey {
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
        friend bool operator==(const CacheKey&, const CacheKey&) = default;
    };
    struct Tap {
        uint16_t x;
        uint16_t row;  // display row
        double linePos;
        double samplePos;
        double weight[4][4];  // [line][sample]
    };

    bool built_ = false;
    CacheKey key_;
    int samples_ = 0;
    int lines_ = 0;
    int first_ = 0;
    std::vector<Tap> taps_;
};
