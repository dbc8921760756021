// The gamma table every output pixel passes through: entry i is trunc(255 x (i / 255)^(1 / gamma)).
#pragma once

#include <array>
#include <cstdint>

using GammaTable = std::array<uint8_t, 256>;

GammaTable IdentityGammaTable();
// False (and the table untouched) for a gamma that is not a finite positive number.
bool BuildGammaTable(double gamma, GammaTable& table);
