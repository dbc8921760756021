// The host's image filter, run once per frame on the frame assembler's thread after the 128
// compressed lines of a frame are in: a median filter (on convex probes its window grows with
// depth: three lines only near the probe, 3 x 3 in the middle, 3 x 5 deep), an edge image of
// the medians (a scaled Roberts cross) and a weighted blend of the compressed, median and edge
// values into the frame's 8-bit image. The filter switch and the three blend weights are probe
// parameters 1, 101, 102 and 103.
#pragma once

#include <cstdint>

inline constexpr uint32_t kBlendWeightCompressed = 101;
inline constexpr uint32_t kBlendWeightMedian = 102;
inline constexpr uint32_t kBlendWeightEdge = 103;
inline constexpr uint32_t kMaxBlendWeight = 1000;

// Enhances a plane of 128 x 1024 compressed samples (line 0 first) into 128 x 1024 bytes.
// With the filter off or a depth of 0 or less, each byte is the compressed value clamped to
// 0..255 and truncated. Uses working planes of the module: one caller at a time (the
// assembler thread while streaming). Returns 1.
int ProbeEnhanceFrame(bool linear, const float* compressed, uint8_t* image, int depthMm);

// 1 when set; 0 for an id other than 101..103 or a value above 1000.
int ProbeSetBlendWeight(uint32_t id, uint32_t value);
// 1 with the weight in `value`; 0 for an id other than 101..103.
int ProbeGetBlendWeight(uint32_t id, uint32_t* value);
// The weights a probe starts with: 70/30/10 on a linear probe, 60/40/10 otherwise.
void ProbeSetDefaultBlendWeights(bool linear);

// The filter switch: 1 on (the start value), 0 off. Other values are refused (false).
bool ProbeSetImageFilter(int on);
int ProbeGetImageFilter();

// The medians of 3, 9 and 15 values (partial bubble sorts; the values are reordered).
float Median3(float* values);
float Median9(float* values);
float Median15(float* values);
// 1.2 x the Roberts-cross gradient magnitude at the centre of a 3 x 3 window (row by row):
// the differences of the centre to its lower-right neighbour and of the lower to the right
// neighbour.
float RobertsMagnitude(const float* window);

// Where the median window changes on a convex probe: samples below `a` take the three-line
// median, samples from `a` below `b` the 3 x 3 median, the rest the 3 x 5 median.
struct MedianZones {
    int a;
    int b;
};
MedianZones ConvexMedianZones(int depthMm);
