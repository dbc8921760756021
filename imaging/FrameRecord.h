// What the viewer keeps about one cine frame: when the image thread took it and the imaging
// values it was made with. It becomes the image sidecar of a stored frame.
#pragma once

#include "platform/Clock.h"

struct FrameRecord {
    platform::SystemTime time;  // local time at which the image thread took the frame
    int depth = 0;              // millimetres, from the raw frame buffer
    int gain = 0;               // processor's gain at that moment
    int contrast = 0;           // processor's contrast at that moment
    int focus = 0;              // millimetres, from the raw frame buffer
    int freq_mode = 0;          // transmit-frequency index, from the raw frame buffer
    double gamma = 0.0;         // processor's gamma at that moment
    float temperature = 0.0f;   // probe temperature in degrees Celsius, from the raw frame buffer

    friend bool operator==(const FrameRecord&, const FrameRecord&) = default;
};
