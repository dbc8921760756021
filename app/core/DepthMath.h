// Small pieces of arithmetic the main window uses in several places.
#pragma once

// The depth in millimetres that an image of `pixelsPerMm` shows over its 470 usable rows:
// trunc(470 / ppm). A small allowance keeps 470 / (470 / d) from landing just below d
// (109, 111, 115, 189 ... mm), so the slider, the probe, the frame stamps and the label agree.
int DepthFromPixelScale(double pixelsPerMm);

// The value of a reversed slider (its top is its largest value): maximum + minimum - position.
int ReversedSliderValue(int position, int minimum, int maximum);

// The gamma slider's position for a gamma, rounded to the nearest step (a plain truncation
// let 1.13..1.16 drift down by 0.01 on every run).
int GammaToSliderPosition(double gamma, int minimum, int maximum);
