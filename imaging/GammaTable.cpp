#include "imaging/GammaTable.h"

#include <cmath>

GammaTable IdentityGammaTable() {
    GammaTable table;
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<uint8_t>(i);
    return table;
}

bool BuildGammaTable(double gamma, GammaTable& table) {
    if (!std::isfinite(gamma) || gamma <= 0.0)
        return false;
    for (int i = 0; i < 256; ++i) {
        const double v = 255.0 * std::pow(i / 255.0, 1.0 / gamma);
        table[i] = static_cast<uint8_t>(v < 0.0 ? 0.0 : (v > 255.0 ? 255.0 : v));
    }
    return true;
}
