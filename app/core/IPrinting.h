// Printing of the frozen image (command 12 while frozen).
#pragma once

class IPrinting {
public:
    virtual ~IPrinting() = default;
    virtual void Print() {}
};
