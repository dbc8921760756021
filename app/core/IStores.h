// The still and cine stores. Until they exist, storing does nothing and reports failure.
#pragma once

#include <string>

class IStores {
public:
    virtual ~IStores() = default;
    // Stores the frozen image (print: for the printout); true when it was written.
    virtual bool StoreImage(bool /*print*/) { return false; }
    virtual bool StoreCine() { return false; }
    // A new exam (the exam's start steps): the exam's rendered stills and stored names go.
    virtual void ResetExamStills() {}
    // Writes an OB/GY report image of the image area to the path; true when it was written.
    virtual bool RenderReportImage(const std::string& /*path*/) { return false; }
};
