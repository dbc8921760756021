#include "ReferenceImaging.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using Table = std::vector<std::vector<int>>;
using DTable = std::vector<std::vector<double>>;
constexpr double kPi = std::numbers::pi;

int Trunc(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return 2147483647;
    if (v <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(v);
}
double Clamp255(double v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// The bitmap as the formulas see it: memory row 0 is the bottom display row.
struct BottomUp {
    std::vector<uint8_t> px = std::vector<uint8_t>(480 * 480, 0);
    uint8_t& at(int memRow, int col) { return px[memRow * 480 + col]; }
};

struct Geometry {
    double ppm, top, bottom, lwpx;
    int imageTop, margin;
};

Geometry PerDepth(const ScanGeometry& g, int depth, int raw2) {
    Geometry d{};
    const bool sectorScale = g.probeType == 1 && raw2 != 1;
    d.ppm = sectorScale ? 2 * (g.depthMin + g.depthMax - depth) / g.depthMin : 470.0 / depth;
    if (sectorScale) {
        d.top = g.topOffsetFactor * (g.depthMin + g.depthMax - depth) / g.depthMin;
    } else if (g.probeType == 1 && g.radius != kGeometryUnset) {
        d.top = d.ppm * g.radius;
    } else {
        d.top = 10.0;
    }
    d.imageTop = d.top > 10 ? Trunc(std::ceil(d.top - 10 + 0.04)) : 10;
    d.bottom = d.imageTop + 480.0;
    d.lwpx = g.linearWidth * d.ppm;
    d.margin = Trunc((480 - d.lwpx) * 0.5);
    return d;
}

double Kernel(double t, double a) {
    if (t <= 1)
        return (a + 2) * t * t * t - (a + 3) * t * t + 1;
    if (t < 2)
        return a * t * t * t - 5 * a * t * t + 8 * a * t - 4 * a;
    return 0;
}

}  // namespace

ReferenceResult ReferenceImaging::Convert(const std::vector<std::vector<int>>& raw, int depth, int frameCount,
                                          const ImagingParams& p, const ScanGeometry& g,
                                          const std::vector<int>& stc, const GammaTable& gamma) {
    ReferenceResult result;
    const int lines = static_cast<int>(raw.size());
    const int samples = static_cast<int>(raw[0].size());
    const int first = g.firstSample;
    if (!havePrevious_ || static_cast<int>(previous_.size()) != lines ||
        static_cast<int>(previous_[0].size()) != samples) {
        previous_.assign(lines, std::vector<int>(samples, 0));
        havePrevious_ = false;
    }
    const Table& prev = previous_;
    BottomUp bmp;

    // Processing.
    const double w = p.smooth;
    const bool blendOn = frameCount >= 2 && havePrevious_;
    auto blend = [&](double r, double q) { return blendOn ? (q * w + r) / (w + 1) : r; };
    const double gainOffset = (p.gainMax - p.gainMin) / 100 * p.gain + p.gainMin + p.gainBase;
    const double contrastFactor = (p.contrastMax - p.contrastMin) / 100 * p.contrast + p.contrastMin;
    DTable work(lines, std::vector<double>(samples, 0.0));
    for (int l = 0; l < lines; ++l) {
        for (int s = first; s < samples; ++s) {
            const int l0 = std::max(l - 1, 0);
            const int l2 = std::min(l + 1, lines - 1);
            const int s0 = std::max(s - 1, first);
            const int s2 = std::min(s + 1, samples - 1);
            double v;
            if (!p.ave && !p.aveY) {
                v = blend(raw[l][s], prev[l][s]);
            } else if (p.ave && !p.aveY) {
                const double m = (raw[l][s] + raw[l0][s] + raw[l2][s]) / 3.0;
                const double mp = (prev[l][s] + prev[l0][s] + prev[l2][s]) / 3.0;
                v = blendOn ? (w * mp + m) / (w + 1) : m;
            } else if (!p.ave && p.aveY) {
                const double m = (raw[l][s0] + raw[l][s2] + raw[l][s]) / 3.0;
                const double mp = (prev[l][s0] + prev[l][s2] + prev[l][s]) / 3.0;
                v = blendOn ? (w * mp + m) / (w + 1) : m;
            } else if (p.aveMode == 9) {
                int sum = 0, sumPrev = 0;
                for (int a : {l0, l, l2}) {
                    for (int b : {s0, s, s2}) {
                        sum += raw[a][b];
                        sumPrev += prev[a][b];
                    }
                }
                const double m = sum / 9.0;
                const double mp = sumPrev / 9.0;
                v = blendOn ? (w * mp + m) / (w + 1) : m;
            } else {
                v = blend(raw[l][s], prev[l][s]);
                if (l < lines - 1 && s < samples - 1) {
                    v = v + blend(raw[l][s + 1], prev[l][s + 1]);
                    v = v + blend(raw[l + 1][s + 1], prev[l + 1][s + 1]);
                    v = v + blend(raw[l + 1][s], prev[l + 1][s]);
                    v = v * 0.25;
                }
            }
            if (v != 0) {
                if (!stc.empty())
                    v = v + stc[std::min(s, static_cast<int>(stc.size()) - 1)];
                v = v + gainOffset;
                v = v * contrastFactor;
                v = Clamp255(v);
            }
            work[l][s] = v;
        }
    }

    // Per-depth values.
    const int raw2 = g.EffectiveRaw2Bitmap(p.raw2Bitmap, depth);
    const Geometry d = PerDepth(g, depth, raw2);
    if (Trunc(d.bottom + 1) > 1024) {
        result.overflow = true;
        return result;
    }
    auto put = [&](int x, int y, uint8_t value) {
        const int memRow = 480 + d.imageTop - y;
        if (memRow < 0 || memRow >= 480)
            return;
        const int col = p.invert ? 480 - x : x;
        if (col < 0 || col >= 480)
            return;
        bmp.at(memRow, col) = value;
    };
    const int yEnd = std::min(Trunc(std::ceil(d.bottom)), 1024);
    const double pps = g.spacingFlag ? g.sampleSpacing * d.ppm : depth * d.ppm / samples;

    if (g.probeType == 1 && raw2 != 1) {
        // Sector converter: tables [x][y].
        for (int x = 0; x < 480; ++x) {
            for (int y = 1; y < yEnd; ++y) {
                const double dx = x - 240;
                const double theta =
                    dx > 0 ? kPi - std::atan(y / dx) : (dx == 0 ? kPi / 2 : std::atan(y / -dx));
                const double r = std::sqrt(dx * dx + static_cast<double>(y) * y);
                if (theta < g.sectorStartMinusPi || theta > g.sectorEndMinusPi)
                    continue;
                if (r < d.top || r >= d.bottom || y < d.imageTop)
                    continue;
                const double lp = (theta - g.sectorStartMinusPi) / g.lineStep;
                const double sp = (r - d.top) / pps;
                if (sp > samples - 1)
                    continue;
                const int li = std::min(Trunc(lp), lines - 1);
                const int si = std::min(first + Trunc(sp), samples - 1);
                double v = 0;
                if (!p.bicubic) {
                    const double f = lp - li;
                    const double gg = sp - std::trunc(sp);
                    const int li1 = li == lines - 1 ? li : li + 1;
                    const int si1 = std::min(si + 1, samples - 1);
                    v = (1 - gg) * ((1 - f) * work[li][si] + f * work[li1][si]) +
                        gg * ((1 - f) * work[li][si1] + f * work[li1][si1]);
                } else {
                    const double f = lp - std::trunc(lp);
                    const double gg = sp - std::trunc(sp);
                    const double a = p.bicubicA;
                    const double lw[4] = {Kernel(1 + f, a), Kernel(f, a), Kernel(1 - f, a), Kernel(2 - f, a)};
                    const double sw[4] = {Kernel(1 + gg, a), Kernel(gg, a), Kernel(1 - gg, a),
                                          Kernel(2 - gg, a)};
                    for (int i = 0; i < 4; ++i) {
                        for (int j = 0; j < 4; ++j) {
                            const int ll = std::clamp(li - 1 + i, 0, lines - 1);
                            const int ss = std::clamp(si - 1 + j, first, samples - 1);
                            v += lw[i] * sw[j] * work[ll][ss];
                        }
                    }
                }
                put(x, y, gamma[Trunc(Clamp255(v))]);
            }
        }
    } else if (lines > 0 && (samples / lines == 4 || samples / lines == 8)) {
        // Upsampling converter: the whole upsampled array, then bilinear with 6-bit fractions.
        const int k = samples / lines;
        DTable up(samples, std::vector<double>(samples, 0.0));
        for (int l = 0; l <= lines - 2; ++l) {
            for (int s = 0; s < samples; ++s) {
                for (int j = 0; j < k; ++j) {
                    up[l * k + k / 2 + j][s] = work[l][s] + (work[l + 1][s] - work[l][s]) * j / k;
                }
            }
        }
        for (int r = 0; r < k / 2; ++r)
            up[r] = work[0];
        for (int r = lines * k - k / 2; r < lines * k; ++r)
            up[r] = work[lines - 1];

        Table li(480, std::vector<int>(1024)), si = li, lf = li, sf = li;
        auto store = [](double pos, int& whole, int& frac) {
            if (!std::isfinite(pos)) {
                whole = -1;
                frac = 0;
                return;
            }
            whole = Trunc(pos);
            frac = Trunc((pos - std::floor(pos)) * 64);
        };
        for (int x = 0; x < 480; ++x) {
            for (int y = 0; y < yEnd; ++y) {
                double lp, sp;
                if (g.probeType == 1) {
                    const double r = std::sqrt(static_cast<double>((x - 240) * (x - 240) + y * y));
                    lp = (std::asin((x - 240) / r) * 57.29577951308232 + g.fieldOfView / 2) / g.fieldOfView *
                         samples;
                    sp = (r - d.top) / pps;
                } else {
                    const double u = x - d.margin;
                    lp = (u >= 0 && u <= d.lwpx) ? u / d.lwpx * samples : -1;
                    sp = (y - d.top) / pps;
                }
                store(lp, li[x][y], lf[x][y]);
                store(sp, si[x][y], sf[x][y]);
            }
        }
        for (int x = 0; x < 480; ++x) {
            for (int y = 0; y < yEnd; ++y) {
                const int i = li[x][y];
                const int j = si[x][y];
                if (i < 0 || i > samples - 2 || j < 0 || j > samples - 2)
                    continue;
                const double fi = lf[x][y] / 64.0;
                const double fj = sf[x][y] / 64.0;
                const int yNext = y + 1 < yEnd ? y + 1 : Trunc(d.bottom - 1);
                const double fiNext = lf[x][yNext] / 64.0;
                const double a = up[i][j] + fi * (up[i + 1][j] - up[i][j]);
                const double b = up[i][j + 1] + fiNext * (up[i + 1][j + 1] - up[i][j + 1]);
                const double v = Clamp255(a + fj * (b - a));
                put(x, y, gamma[Trunc(v)]);
            }
        }
    }

    // Orientation mark.
    static const char* glyph[8] = {".......", ".#####.", "#.....#", "#......",
                                   ".#####.", "......#", "#.....#", ".#####."};
    const double dMark = g.probeType == 1 ? std::cos(g.sectorStart - kPi) * d.top : 190;
    const int x0 = Trunc(240 - (dMark + 25));
    const int markX = p.invert == g.markSide ? 473 - x0 : x0;
    for (int row = 0; row < 8; ++row) {
        for (int i = 0; i < 7; ++i) {
            const int x = markX + i;
            const int memRow = 479 - (4 + row);
            if (x >= 0 && x < 480)
                bmp.at(memRow, x) = glyph[row][i] == '#' ? 255 : 0;
        }
    }

    // M-line.
    int taken = 0;
    for (int r = Trunc(d.top); r <= Trunc(d.bottom) - 1 && taken < 480; ++r) {
        const int x = Trunc(std::cos(p.mLineAngle) * r + 240);
        const int y = Trunc(-std::sin(p.mLineAngle) * r - d.imageTop);
        if (x < 0 || x > 479 || y < 1 || y > 479)
            continue;
        if (taken == 0) {
            result.mHasPoint = true;
            result.mFirstRow = y & 0xFF;
        }
        result.mColumn[taken++] = bmp.at(480 - y, x);
    }

    // Lateral scale.
    const double step = d.ppm * 10;
    for (int k = 0; 240 + k * step < 480; ++k) {
        const double x = 240 + k * step;
        const int height = k % 10 == 0 ? 10 : 5;
        std::vector<double> columns = {x, 480 - x};
        if (k % 5 == 0) {
            columns.insert(columns.end(), {x - 1, x + 1, 480 - x - 1, 480 - x + 1});
        }
        for (double c : columns) {
            const int col = Trunc(c);
            if (col < 0 || col >= 480)
                continue;
            for (int h = 0; h < height; ++h)
                bmp.at(h, col) = 255;
        }
    }

    previous_ = raw;
    havePrevious_ = true;

    if (p.rawDisp) {
        const double rstep = samples <= 480 ? 1.0 : samples / 480.0;
        const int n = samples <= 480 ? samples : 480;
        for (int l = 0; l < lines && l < 480; ++l) {
            for (int i = 0; i < n; ++i) {
                const int s = Trunc(i * rstep);
                const int memRow = 480 - i;
                if (s < samples && memRow >= 0 && memRow < 480)
                    bmp.at(memRow, l) = raw[l][s] & 0xFF;
            }
        }
    }

    result.image.Resize(480, 480);
    for (int memRow = 0; memRow < 480; ++memRow) {
        for (int x = 0; x < 480; ++x)
            result.image.At(x, 479 - memRow) = bmp.at(memRow, x);
    }
    return result;
}
