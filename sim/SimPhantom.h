// The picture the simulated probe scans: layered tissue with depth attenuation, speckle,
// dark cysts with posterior enhancement, a column and a row of point targets, and the letters
// SIM drawn in point targets so that nobody takes it for a patient. Everything below the skin
// rises and falls slowly as if breathing, and one vessel pulsates, so that live images and the
// M-mode strip move.
//
// The picture is designed in the displayed 8-bit domain along the real scan lines, then the
// host's logarithmic compression is inverted to give the echo amplitudes the probe sends.
// Deterministic: the same seed, frame number and depth give the same samples.
#pragma once

#include <cstdint>
#include <vector>

#include "probe/ProbeProtocol.h"
#include "sim/SimScanGeometry.h"

namespace usbdriver::sim {

struct PhantomCyst {
    double xMm;
    double zMm;
    double radiusMm;
    bool pulsating;
};

struct PhantomTarget {
    double xMm;
    double zMm;
    bool letter;  // one dot of the letters SIM
};

struct PhantomScene {
    struct Layer {
        double topMm;
        float value;
        float striation;  // amplitude of the muscle fibre pattern
    };
    std::vector<Layer> layers;  // by increasing top
    double organTopMm = 1e9;    // the organ's capsule: z = top + curve x x^2
    double organCurve = 0.0;
    float organValue = 0.0f;
    float capsuleValue = 0.0f;
    double attenuationPerMm = 0.0;  // displayed units lost per millimetre of depth
    double speckleCellMm = 0.25;
    double striationPeriodMm = 2.0;
    std::vector<PhantomCyst> cysts;
    std::vector<PhantomTarget> targets;

    static PhantomScene ForProbe(bool convex);
};

class SimPhantom {
public:
    static constexpr int kBreathingFrames = 64;  // frames per breathing cycle
    static constexpr int kPulseFrames = 16;      // frames per heartbeat of the vessel
    // The picture repeats after one breathing cycle (the heartbeat divides it).
    static constexpr double kBreathingMm = 1.2;
    static constexpr float kTargetValue = 250.0f;

    SimPhantom(const SimScanGeometry& geometry, ProbeCompression compression, uint64_t seed);

    // The designed picture of a frame: lines x samples values in the displayed domain (the
    // host clamps them to 0..255), line 0 first.
    void RenderDisplay(uint64_t frame, int depthMm, float* display) const;
    // The echo amplitude the host compresses to `display`.
    float DisplayToAmplitude(float display) const;

    const PhantomScene& Scene() const { return scene_; }
    const SimScanGeometry& Geometry() const { return geometry_; }
    // How far the tissue at depth z has moved down in a frame, in millimetres.
    static double Displacement(uint64_t frame, double zMm);

private:
    float LayerValue(double zMm) const;
    float SpeckleAt(int line, int64_t cell) const;
    float Speckle(int line, double cell) const;
    void RenderLine(int line, uint64_t frame, double depthMm, float* out) const;
    void DrawCysts(int line, uint64_t frame, double depthMm, float* out) const;
    void DrawTargets(uint64_t frame, double depthMm, float* display) const;

    SimScanGeometry geometry_;
    ProbeCompression compression_;
    uint64_t seed_;
    PhantomScene scene_;
    std::vector<float> layerTable_;    // by 0.05 mm of depth
    std::vector<float> speckleTable_;  // log-Rayleigh values in displayed units, mean 0
};

}  // namespace usbdriver::sim
