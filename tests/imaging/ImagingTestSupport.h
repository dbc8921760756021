// Geometries and frames the imaging tests share.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "imaging/FrameConverter.h"
#include "imaging/ScanGeometry.h"

namespace imagingtest {

inline ScanGeometry Convex(int samples = 1024, int lines = 128, int first = 0) {
    ScanGeometry g;
    g.Apply(ConvexProbeGeometry(ProbeTypeConvex, samples, lines, first, true, 60.0, 60.0, 70.0, 240.0));
    return g;
}

// A convex probe that reports its sample spacing: the sector converter can be used.
inline ScanGeometry ConvexEx(int first = 0) {
    ScanGeometry g;
    g.Apply(ConvexProbeGeometryEx(ProbeTypeConvex, 1024, 128, first, true, 60.0, 40.0, 0.2, 70.0, 240.0));
    return g;
}

inline ScanGeometry Linear(double width = 38.0, int samples = 1024, int lines = 128) {
    ScanGeometry g;
    g.Apply(LinearProbeGeometry(ProbeTypeLinear, samples, lines, 0, true, width, width, 120.0));
    return g;
}

// Speckle over layered tissue with a few bright points and dark holes: every value 0..255
// occurs, including runs of exact zeros.
inline std::vector<std::vector<int>> Phantom(uint32_t seed, int lines = 128, int samples = 1024) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> speckle(0, 90);
    std::vector<std::vector<int>> f(lines, std::vector<int>(samples));
    for (int l = 0; l < lines; ++l) {
        for (int s = 0; s < samples; ++s) {
            int v = speckle(rng) + (s / 97 % 2) * 70 + (l % 29 == 0 ? 60 : 0);
            if ((s / 61 + l / 17) % 7 == 3)
                v = 0;
            if (s % 211 == 5 && l % 13 == 2)
                v = 255;
            f[l][s] = std::min(v, 255);
        }
    }
    return f;
}

inline std::vector<std::vector<int>> Blank(int lines = 128, int samples = 1024) {
    return std::vector<std::vector<int>>(lines, std::vector<int>(samples, 0));
}

// Puts the frame into the converter's raw array.
inline void Load(CFrameConverter& converter, const std::vector<std::vector<int>>& frame) {
    int** raw = converter.RawFrame(static_cast<int>(frame[0].size()), static_cast<int>(frame.size()));
    for (size_t l = 0; l < frame.size(); ++l) {
        for (size_t s = 0; s < frame[l].size(); ++s)
            raw[l][s] = frame[l][s];
    }
}

}  // namespace imagingtest
