// The JPEG and video export of the selected stored item (buttons 1164 and 1166). The default
// exports nothing.
#pragma once

class IExports {
public:
    virtual ~IExports() = default;
    virtual void ExportJpeg() {}
    virtual void ExportVideo() {}
};
