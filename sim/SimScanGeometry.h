// Where the simulated probe's echo samples lie in the body: the scan geometry of the 716C,
// as the viewer's scan conversion draws it. A convex probe fans 128 lines over a 60 degree
// sector from an apex 60 mm behind the skin; a linear probe lays 128 parallel lines over
// 38 mm. The 1024 samples of a line span the imaging depth from the skin down.
// Kept apart so that it can later be unified with the display side's geometry.
#pragma once

namespace usbdriver::sim {

struct SimScanGeometry {
    bool convex = true;
    int lines = 128;
    int samples = 1024;
    double fieldOfViewDeg = 60.0;  // convex
    double radiusMm = 60.0;        // convex
    double widthMm = 38.0;         // linear

    static SimScanGeometry Convex();
    static SimScanGeometry Linear();

    // Lateral position x (0 on the centre line, positive to the right of the image) and depth
    // z below the skin of the centre line, in millimetres, of a (fractional) line and sample.
    void SampleToBody(double line, double sample, double depthMm, double& xMm, double& zMm) const;
    // The inverse: the fractional line and sample of a point of the body.
    void BodyToSample(double xMm, double zMm, double depthMm, double& line, double& sample) const;

    // Convex: the steering angle of a line in radians (0 straight down, positive right).
    double LineAngle(double line) const;
    // Linear: the lateral position of a line in millimetres.
    double LineX(double line) const;
    double MmPerSample(double depthMm) const { return depthMm / samples; }
};

}  // namespace usbdriver::sim
