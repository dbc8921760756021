#include "platform/draw/Blit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace draw {

void CopyRect(const Image32& src, const Rect& srcRect, Image32& dst, Point at) {
    Rect s = srcRect.Intersect({0, 0, src.width(), src.height()});
    // Shift the clipped source with the destination point, then clip against the destination.
    Point d{at.x + (s.left - srcRect.left), at.y + (s.top - srcRect.top)};
    const Rect dr = RectOfSize(d.x, d.y, s.Width(), s.Height()).Intersect({0, 0, dst.width(), dst.height()});
    if (dr.IsEmpty())
        return;
    s.left += dr.left - d.x;
    s.top += dr.top - d.y;
    for (int y = 0; y < dr.Height(); ++y) {
        std::memcpy(dst.Row(dr.top + y) + dr.left, src.Row(s.top + y) + s.left,
                    static_cast<size_t>(dr.Width()) * sizeof(uint32_t));
    }
}

void MaskedAffineBlit(const Image32& src, uint32_t key, Image32& dst, const std::array<Point, 3>& corners) {
    if (src.empty() || dst.empty())
        return;
    // Destination = p0 + u * e1 + v * e2 with u, v in [0, 1) over the source.
    const double e1x = corners[1].x - corners[0].x;
    const double e1y = corners[1].y - corners[0].y;
    const double e2x = corners[2].x - corners[0].x;
    const double e2y = corners[2].y - corners[0].y;
    const double det = e1x * e2y - e1y * e2x;
    if (det == 0)
        return;
    const Point p3{corners[1].x + corners[2].x - corners[0].x, corners[1].y + corners[2].y - corners[0].y};
    const int minX = std::max(0, std::min({corners[0].x, corners[1].x, corners[2].x, p3.x}));
    const int maxX = std::min(dst.width(), std::max({corners[0].x, corners[1].x, corners[2].x, p3.x}) + 1);
    const int minY = std::max(0, std::min({corners[0].y, corners[1].y, corners[2].y, p3.y}));
    const int maxY = std::min(dst.height(), std::max({corners[0].y, corners[1].y, corners[2].y, p3.y}) + 1);
    constexpr int kSub = 4;
    for (int y = minY; y < maxY; ++y) {
        for (int x = minX; x < maxX; ++x) {
            int r = 0;
            int g = 0;
            int b = 0;
            int hits = 0;
            for (int sy = 0; sy < kSub; ++sy) {
                for (int sx = 0; sx < kSub; ++sx) {
                    const double px = x + (sx + 0.5) / kSub - corners[0].x;
                    const double py = y + (sy + 0.5) / kSub - corners[0].y;
                    const double u = (px * e2y - py * e2x) / det;
                    const double v = (e1x * py - e1y * px) / det;
                    if (u < 0 || u >= 1 || v < 0 || v >= 1)
                        continue;
                    const int ix = std::min(src.width() - 1, static_cast<int>(u * src.width()));
                    const int iy = std::min(src.height() - 1, static_cast<int>(v * src.height()));
                    const uint32_t p = src.At(ix, iy);
                    if (p == key)
                        continue;
                    r += PixelR(p);
                    g += PixelG(p);
                    b += PixelB(p);
                    ++hits;
                }
            }
            if (hits == 0)
                continue;
            uint32_t& out = dst.At(x, y);
            constexpr int kAll = kSub * kSub;
            // Average of the opaque samples, laid over the destination by their share.
            auto mix = [&](int sum, uint8_t under) {
                return static_cast<uint8_t>((sum + under * (kAll - hits) + kAll / 2) / kAll);
            };
            out = MakePixel(mix(r, PixelR(out)), mix(g, PixelG(out)), mix(b, PixelB(out)));
        }
    }
}

}  // namespace draw
