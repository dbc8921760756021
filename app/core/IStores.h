// The still and cine stores. Until they exist, storing does nothing and reports failure.
#pragma once

class IStores {
public:
    virtual ~IStores() = default;
    // Stores the frozen image (print: for the printout); true when it was written.
    virtual bool StoreImage(bool /*print*/) { return false; }
    virtual bool StoreCine() { return false; }
};
