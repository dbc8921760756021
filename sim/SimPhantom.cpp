#include "sim/SimPhantom.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace usbdriver::sim {
namespace {

constexpr double kLayerStepMm = 0.05;
constexpr double kLayerRangeMm = 260.0;
constexpr int kSpeckleTableBits = 12;
constexpr float kSpeckleContrast = 0.75f;
constexpr float kCystValue = 6.0f;
constexpr double kEnhancementLengthMm = 25.0;
constexpr float kEnhancementValue = 14.0f;
constexpr float kFrameNoise = 1.5f;

uint64_t SplitMix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// The letters S, I and M on a 5 x 7 grid, one row per string.
constexpr const char* kLetters[3][7] = {
    {".###.", "#...#", "#....", ".###.", "....#", "#...#", ".###."},
    {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."},
    {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"},
};

void AddLetters(PhantomScene& scene, double topMm, double pitchMm) {
    for (int letter = 0; letter < 3; ++letter) {
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < 5; ++col) {
                if (kLetters[letter][row][col] != '#')
                    continue;
                const int column = letter * 6 + col;  // one blank column between letters
                scene.targets.push_back({(column - 8) * pitchMm, topMm + row * pitchMm, true});
            }
        }
    }
}

}  // namespace

PhantomScene PhantomScene::ForProbe(bool convex) {
    PhantomScene s;
    if (convex) {
        // Abdomen: skin, fat, muscle between two fasciae, then a liver-like organ.
        s.layers = {{0.0, 190, 0},   {1.5, 55, 0},   {9.0, 185, 0},
                    {10.2, 105, 12}, {32.0, 170, 0}, {33.0, 95, 0}};
        s.organTopMm = 55.0;
        s.organCurve = 0.004;
        s.organValue = 130;
        s.capsuleValue = 190;
        s.attenuationPerMm = 0.22;
        s.speckleCellMm = 0.25;
        s.striationPeriodMm = 2.2;
        s.cysts = {{-22, 95, 8, false}, {18, 150, 11, false}, {-2, 125, 5, true}};
        for (int z = 20; z <= 220; z += 20)
            s.targets.push_back({38, static_cast<double>(z), false});
        for (int x = -40; x <= 40; x += 10)
            s.targets.push_back({static_cast<double>(x), 190, false});
        AddLetters(s, 38.0, 3.0);
    } else {
        // Superficial tissue: skin, fat, muscle between two fasciae, deeper soft tissue.
        s.layers = {{0.0, 190, 0},  {0.8, 60, 0},   {4.5, 185, 0},
                    {5.2, 110, 12}, {24.0, 175, 0}, {25.0, 120, 0}};
        s.attenuationPerMm = 0.4;
        s.speckleCellMm = 0.12;
        s.striationPeriodMm = 1.2;
        s.cysts = {{-9, 33, 3.5, false}, {8, 52, 5, false}, {-3, 72, 3, true}};
        for (int z = 10; z <= 110; z += 10)
            s.targets.push_back({15.5, static_cast<double>(z), false});
        for (int x = -15; x <= 10; x += 5)
            s.targets.push_back({static_cast<double>(x), 90, false});
        AddLetters(s, 9.0, 1.6);
    }
    return s;
}

SimPhantom::SimPhantom(const SimScanGeometry& geometry, ProbeCompression compression, uint64_t seed)
    : geometry_(geometry),
      compression_(compression),
      seed_(seed),
      scene_(PhantomScene::ForProbe(geometry.convex)) {
    const size_t steps = static_cast<size_t>(kLayerRangeMm / kLayerStepMm) + 1;
    layerTable_.resize(steps);
    for (size_t i = 0; i < steps; ++i) {
        const double z = static_cast<double>(i) * kLayerStepMm;
        const PhantomScene::Layer* layer = &scene_.layers.front();
        for (const auto& l : scene_.layers) {
            if (z >= l.topMm)
                layer = &l;
        }
        layerTable_[i] =
            layer->value + layer->striation * static_cast<float>(std::sin(2 * std::numbers::pi * z /
                                                                          scene_.striationPeriodMm));
    }

    // Fully developed speckle: Rayleigh amplitudes, shown logarithmically (gain per decade).
    speckleTable_.resize(size_t{1} << kSpeckleTableBits);
    double sum = 0;
    uint64_t state = SplitMix(seed ^ 0x5EC1E);
    for (float& v : speckleTable_) {
        state = SplitMix(state);
        const double u = (static_cast<double>(state >> 11) + 0.5) / 9007199254740992.0;
        v = static_cast<float>(compression.gain * std::log10(std::sqrt(-2.0 * std::log(u))));
        sum += v;
    }
    const float mean = static_cast<float>(sum / static_cast<double>(speckleTable_.size()));
    for (float& v : speckleTable_)
        v = (v - mean) * kSpeckleContrast;
}

double SimPhantom::Displacement(uint64_t frame, double zMm) {
    const double phase =
        2 * std::numbers::pi * static_cast<double>(frame % kBreathingFrames) / kBreathingFrames;
    return kBreathingMm * std::sin(phase) * std::clamp(zMm / 10.0, 0.0, 1.0);  // the skin stays put
}

float SimPhantom::DisplayToAmplitude(float display) const {
    return std::exp2((display + static_cast<float>(compression_.offset)) *
                     (static_cast<float>(std::numbers::log2e * std::numbers::ln10) /
                      static_cast<float>(compression_.gain)));
}

float SimPhantom::LayerValue(double zMm) const {
    const double index = std::clamp(zMm / kLayerStepMm, 0.0, static_cast<double>(layerTable_.size() - 1));
    return layerTable_[static_cast<size_t>(index)];
}

float SimPhantom::SpeckleAt(int line, int64_t cell) const {
    const uint64_t base = seed_ ^ (static_cast<uint64_t>(line) << 40);
    return speckleTable_[SplitMix(base ^ static_cast<uint64_t>(cell)) & (speckleTable_.size() - 1)];
}

float SimPhantom::Speckle(int line, double cell) const {
    const double floorCell = std::floor(cell);
    const int64_t i = static_cast<int64_t>(floorCell);
    const float a = SpeckleAt(line, i);
    const float b = SpeckleAt(line, i + 1);
    return a + (b - a) * static_cast<float>(cell - floorCell);
}

void SimPhantom::RenderLine(int line, uint64_t frame, double depthMm, float* out) const {
    const double mmPerSample = geometry_.MmPerSample(depthMm);
    const double angle = geometry_.convex ? geometry_.LineAngle(line) : 0.0;
    const double sinA = std::sin(angle);
    const double cosA = std::cos(angle);
    const double lineX = geometry_.convex ? 0.0 : geometry_.LineX(line);
    const double shift = Displacement(frame, 10.0);  // full displacement below 10 mm
    uint64_t noise = SplitMix(seed_ ^ ((frame % kBreathingFrames) << 20) ^ static_cast<uint64_t>(line));
    int64_t cell = INT64_MIN;  // the speckle cells either side of the sample, looked up once each
    float speckleA = 0, speckleB = 0;

    for (int s = 0; s < geometry_.samples; ++s) {
        const double along = s * mmPerSample;
        double x = lineX;
        double z = along;
        if (geometry_.convex) {
            const double r = geometry_.radiusMm + along;
            x = r * sinA;
            z = r * cosA - geometry_.radiusMm;
        }
        const double weight = std::clamp(z / 10.0, 0.0, 1.0);
        const double zTissue = z - shift * weight;  // where this tissue sits at rest

        float v = LayerValue(zTissue);
        const double capsule = scene_.organTopMm + scene_.organCurve * x * x;
        if (zTissue >= capsule + 0.7) {
            v = scene_.organValue;
        } else if (zTissue >= capsule - 0.7) {
            v = scene_.capsuleValue;
        }
        // Speckle belongs to the tissue: it rides along the beam with the breathing.
        const double position = (along - shift * weight * cosA) / scene_.speckleCellMm;
        const double floorCell = std::floor(position);
        const auto i = static_cast<int64_t>(floorCell);
        if (i != cell) {
            speckleA = i == cell + 1 ? speckleB : SpeckleAt(line, i);
            speckleB = SpeckleAt(line, i + 1);
            cell = i;
        }
        v += speckleA + (speckleB - speckleA) * static_cast<float>(position - floorCell);
        v -= static_cast<float>(scene_.attenuationPerMm * z);
        noise ^= noise << 13;  // xorshift: a little electronic noise
        noise ^= noise >> 7;
        noise ^= noise << 17;
        v += kFrameNoise * (static_cast<float>(noise & 0xFFFF) / 32768.0f - 1.0f);
        out[s] = v;
    }
}

// Each cyst darkens the stretch of the beam inside it and brightens the beam behind it.
void SimPhantom::DrawCysts(int line, uint64_t frame, double depthMm, float* out) const {
    const double mmPerSample = depthMm / geometry_.samples;
    const double angle = geometry_.convex ? geometry_.LineAngle(line) : 0.0;
    for (const PhantomCyst& c : scene_.cysts) {
        double radius = c.radiusMm;
        if (c.pulsating) {
            radius *= 1.0 + 0.15 * std::sin(2 * std::numbers::pi * static_cast<double>(frame % kPulseFrames) /
                                            kPulseFrames);
        }
        const double cz = c.zMm + Displacement(frame, c.zMm);
        double mid = 0;  // distance along the beam from the skin to the point nearest the centre
        double miss = 0;
        if (geometry_.convex) {
            const double apexY = cz + geometry_.radiusMm;
            const double proj = c.xMm * std::sin(angle) + apexY * std::cos(angle);
            miss = c.xMm * std::cos(angle) - apexY * std::sin(angle);
            mid = proj - geometry_.radiusMm;
        } else {
            miss = geometry_.LineX(line) - c.xMm;
            mid = cz;
        }
        if (std::abs(miss) >= radius)
            continue;
        const double half = std::sqrt(radius * radius - miss * miss);
        const int first = std::max(0, static_cast<int>(std::ceil((mid - half) / mmPerSample)));
        const int last =
            std::min(geometry_.samples - 1, static_cast<int>(std::floor((mid + half) / mmPerSample)));
        for (int s = first; s <= last; ++s) {
            out[s] = kCystValue + 0.3f * Speckle(line, s * mmPerSample / scene_.speckleCellMm);
        }
        const int firstBehind = std::max(0, last + 1);
        const float decay = static_cast<float>(std::exp(-mmPerSample / kEnhancementLengthMm));
        float strength =
            kEnhancementValue * static_cast<float>(half / radius) *
            static_cast<float>(std::exp(-(firstBehind * mmPerSample - (mid + half)) / kEnhancementLengthMm));
        for (int s = firstBehind; s < geometry_.samples; ++s) {
            out[s] += strength;
            strength *= decay;
        }
    }
}

// Point targets: a small bright spot, about one line wide and 0.3 mm long.
void SimPhantom::DrawTargets(uint64_t frame, double depthMm, float* display) const {
    const double mmPerSample = geometry_.MmPerSample(depthMm);
    const double sigmaLine = 0.65;
    const double sigmaSample = std::max(0.8, 0.3 / mmPerSample);
    for (const PhantomTarget& t : scene_.targets) {
        double line = 0, sample = 0;
        geometry_.BodyToSample(t.xMm, t.zMm + Displacement(frame, t.zMm), depthMm, line, sample);
        const int l0 = std::max(0, static_cast<int>(std::floor(line - 2)));
        const int l1 = std::min(geometry_.lines - 1, static_cast<int>(std::ceil(line + 2)));
        const int s0 = std::max(0, static_cast<int>(std::floor(sample - 4 * sigmaSample)));
        const int s1 = std::min(geometry_.samples - 1, static_cast<int>(std::ceil(sample + 4 * sigmaSample)));
        for (int l = l0; l <= l1; ++l) {
            const double dl = (l - line) / sigmaLine;
            float* row = display + static_cast<size_t>(l) * geometry_.samples;
            for (int s = s0; s <= s1; ++s) {
                const double ds = (s - sample) / sigmaSample;
                const float g = static_cast<float>(std::exp(-0.5 * (dl * dl + ds * ds)));
                if (row[s] < kTargetValue)
                    row[s] += (kTargetValue - row[s]) * g;
            }
        }
    }
}

void SimPhantom::RenderDisplay(uint64_t frame, int depthMm, float* display) const {
    const double depth = std::max(1, depthMm);
    for (int l = 0; l < geometry_.lines; ++l) {
        float* row = display + static_cast<size_t>(l) * geometry_.samples;
        RenderLine(l, frame, depth, row);
        DrawCysts(l, frame, depth, row);
    }
    DrawTargets(frame, depth, display);
}

}  // namespace usbdriver::sim
