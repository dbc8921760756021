#include "imaging/UpsampledConverter.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

// Integer part (toward zero) and 6-bit fraction (of the floor) of a cache position.
struct Position {
    int whole;
    int frac64;
};
Position Split(double v) {
    if (!std::isfinite(v))
        return {-1, 0};  // the apex of a convex image: nothing to draw
    return {TruncToInt(v), TruncToInt((v - std::floor(v)) * 64.0)};
}

struct Cell {
    Position line;
    Position sample;
};

}  // namespace

UpsampledKey MakeUpsampledKey(const ScanGeometry& geometry, const DepthGeometry& depth, int samples,
                              int lines) {
    return UpsampledKey{geometry.probeType,
                        samples,
                        lines,
                        geometry.firstSample,
                        geometry.spacingFlag,
                        geometry.sampleSpacing,
                        geometry.fieldOfView,
                        depth};
}

std::shared_ptr<const UpsampledTables> BuildUpsampledTables(const UpsampledKey& key) {
    using UpRow = UpsampledTables::UpRow;
    using Tap = UpsampledTables::Tap;
    using Run = UpsampledTables::Run;
    auto built = std::make_shared<UpsampledTables>();
    UpsampledTables& t = *built;
    const int samples = key.samples;
    const int lines = key.lines;
    const DepthGeometry& depth = key.depth;
    t.rows.assign(1, UpRow{0, 0, 0.0});
    t.k = lines > 0 ? samples / lines : 0;
    const bool convex = key.probeType == ProbeTypeConvex;
    if ((t.k != 4 && t.k != 8) || samples > 65535 || !(convex || key.probeType == ProbeTypeLinear))
        return built;
    const int k = t.k;

    // Upsampled row r: line l centred on row l x k + k/2; the first and last k/2 rows repeat
    // the end lines; rows past lines x k (when samples is larger) read the zero line behind
    // the last line.
    const int half = k / 2;
    const int upRows = lines * k;
    auto at = [samples](int line) { return line * samples; };
    t.rows.resize(static_cast<size_t>(samples));
    for (int r = 0; r < samples; ++r) {
        if (r < half) {
            t.rows[r] = {at(0), at(0), 0.0};
        } else if (r < upRows - half) {
            const int l = (r - half) / k;
            t.rows[r] = {at(l), at(l + 1), static_cast<double>((r - half) % k)};
        } else if (r < upRows) {
            t.rows[r] = {at(lines - 1), at(lines - 1), 0.0};
        } else {
            t.rows[r] = {at(lines), at(lines), 0.0};
        }
    }

    const double ppm = depth.pixelsPerMm;
    const double pps = key.spacingFlag ? key.sampleSpacing * ppm : depth.depth * ppm / samples;
    const double top = depth.topOffset;
    const double fov = key.fieldOfView;
    auto cellAt = [&](int x, int y) -> Cell {
        if (convex) {
            const double dx = x - 240;
            const double r = std::sqrt(dx * dx + static_cast<double>(y) * y);
            const double linePos = (std::asin(dx / r) * kDegreesPerRadian + fov / 2) / fov * samples;
            return {Split(linePos), Split((r - top) / pps)};
        }
        const double u = x - depth.leftMargin;
        const double linePos =
            (u >= 0 && u <= depth.linearWidthPx) ? u / depth.linearWidthPx * samples : -1.0;
        return {Split(linePos), Split((y - top) / pps)};
    };

    // Rows y of the apex coordinates with y < image bottom; row y shows on display row
    // y - image top - 1. The line fraction for sample j + 1 comes from the row below (the
    // last row uses row trunc(image bottom - 1)).
    const int yEnd = std::clamp(TruncToInt(std::ceil(depth.imageBottom)), 0, kCacheRows);
    const int yStart = std::max(0, depth.imageTop + 1);
    const int yLastAlt = TruncToInt(depth.imageBottom - 1.0);
    std::vector<Cell> current(kImageSize);
    std::vector<Cell> below(kImageSize);
    auto fillRow = [&](std::vector<Cell>& row, int y) {
        for (int x = 0; x < kImageSize; ++x)
            row[x] = cellAt(x, y);
    };
    if (yStart < yEnd)
        fillRow(current, yStart);
    for (int y = yStart; y < yEnd; ++y) {
        fillRow(below, y + 1 < yEnd ? y + 1 : yLastAlt);
        const int displayRow = y - depth.imageTop - 1;
        if (displayRow >= 0 && displayRow < kImageSize) {
            Run run{static_cast<uint16_t>(displayRow), 0, 0};
            for (int x = 0; x < kImageSize; ++x) {
                const Cell& c = current[x];
                const bool drawn = c.line.whole >= 0 && c.line.whole <= samples - 2 && c.sample.whole >= 0 &&
                                   c.sample.whole <= samples - 2;
                if (drawn) {
                    if (run.count == 0)
                        run.x0 = static_cast<uint16_t>(x);
                    ++run.count;
                    t.taps.push_back(
                        Tap{static_cast<uint16_t>(c.line.whole), static_cast<uint16_t>(c.sample.whole),
                            static_cast<uint8_t>(c.line.frac64), static_cast<uint8_t>(below[x].line.frac64),
                            static_cast<uint8_t>(c.sample.frac64), 0});
                } else if (run.count > 0) {
                    t.runs.push_back(run);
                    run.count = 0;
                }
            }
            if (run.count > 0)
                t.runs.push_back(run);
        }
        std::swap(current, below);
    }
    t.valid = true;
    return built;
}

// ---------------------------------------------------------------- the cache and its worker

CUpsampledTableCache::~CUpsampledTableCache() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

std::shared_ptr<const UpsampledTables> CUpsampledTableCache::FindLocked(const UpsampledKey& key) const {
    for (const Entry& e : kept_) {
        if (e.first == key)
            return e.second;
    }
    return nullptr;
}

bool CUpsampledTableCache::PendingLocked(const UpsampledKey& key) const {
    return (building_ && buildingKey_ == key) || std::find(queue_.begin(), queue_.end(), key) != queue_.end();
}

void CUpsampledTableCache::KeepLocked(const UpsampledKey& key,
                                      std::shared_ptr<const UpsampledTables> tables) {
    auto it = std::find_if(kept_.begin(), kept_.end(), [&](const Entry& e) { return e.first == key; });
    if (it != kept_.end())
        kept_.erase(it);
    kept_.insert(kept_.begin(), Entry{key, std::move(tables)});
    if (kept_.size() > kKept)
        kept_.pop_back();
}

void CUpsampledTableCache::Prebuild(const UpsampledKey& key) {
    {
        std::lock_guard lock(mutex_);
        if (stop_ || FindLocked(key) || PendingLocked(key))
            return;
        queue_.push_back(key);
        if (!worker_.joinable()) {
            try {
                worker_ = std::thread([this] { Work(); });
            } catch (const std::system_error&) {
                queue_.clear();  // no worker: the image thread builds the tables itself
                return;
            }
        }
    }
    changed_.notify_all();
}

std::shared_ptr<const UpsampledTables> CUpsampledTableCache::Get(const UpsampledKey& key) {
    {
        std::unique_lock lock(mutex_);
        if (auto kept = FindLocked(key))
            return kept;
        // Under way on the worker: waiting costs less than starting over.
        if (building_ && buildingKey_ == key) {
            changed_.wait(lock, [&] { return !(building_ && buildingKey_ == key); });
            if (auto kept = FindLocked(key))
                return kept;
        }
        std::erase(queue_, key);
    }
    auto tables = BuildUpsampledTables(key);
    std::lock_guard lock(mutex_);
    KeepLocked(key, tables);
    ++builtOnDemand_;
    return tables;
}

size_t CUpsampledTableCache::BuiltOnDemand() const {
    std::lock_guard lock(mutex_);
    return builtOnDemand_;
}

void CUpsampledTableCache::WaitPrebuilt() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stop_ || (queue_.empty() && !building_); });
}

void CUpsampledTableCache::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stop_ || !queue_.empty(); });
        if (stop_)
            return;
        const UpsampledKey key = queue_.front();
        queue_.pop_front();
        buildingKey_ = key;
        building_ = true;
        lock.unlock();
        auto tables = BuildUpsampledTables(key);
        lock.lock();
        KeepLocked(key, std::move(tables));
        building_ = false;
        changed_.notify_all();
    }
}

// ---------------------------------------------------------------- drawing

CUpsampledConverter::CUpsampledConverter(std::shared_ptr<CUpsampledTableCache> cache)
    : cache_(std::move(cache)) {}

bool CUpsampledConverter::Prepare(const ScanGeometry& geometry, const DepthGeometry& depth, int samples,
                                  int lines) {
    const UpsampledKey key = MakeUpsampledKey(geometry, depth, samples, lines);
    if (!tables_ || !(key_ == key)) {
        key_ = key;
        tables_ = cache_ ? cache_->Get(key) : BuildUpsampledTables(key);
    }
    return tables_->valid;
}

namespace {

// One drawn pixel's value before the gamma table.
template <typename TapT, typename RowT>
inline int PixelValue(const double* work, const RowT* rows, const TapT& tap, const double* frac,
                      double invK) {
    const RowT& r0 = rows[tap.i];
    const RowT& r1 = rows[tap.i + 1];
    const int j = tap.j;
#if defined(__SSE2__)
    // Lanes: sample j and sample j + 1 of upsampled rows i and i + 1.
    const __m128d a0 = _mm_loadu_pd(work + r0.offsetA + j);
    const __m128d b0 = _mm_loadu_pd(work + r0.offsetB + j);
    const __m128d a1 = _mm_loadu_pd(work + r1.offsetA + j);
    const __m128d b1 = _mm_loadu_pd(work + r1.offsetB + j);
    const __m128d scale = _mm_set1_pd(invK);
    const __m128d u0 = _mm_add_pd(a0, _mm_mul_pd(_mm_mul_pd(_mm_sub_pd(b0, a0), _mm_set1_pd(r0.q)), scale));
    const __m128d u1 = _mm_add_pd(a1, _mm_mul_pd(_mm_mul_pd(_mm_sub_pd(b1, a1), _mm_set1_pd(r1.q)), scale));
    const __m128d f = _mm_set_pd(frac[tap.fiNext], frac[tap.fi]);
    const __m128d a = _mm_add_pd(u0, _mm_mul_pd(f, _mm_sub_pd(u1, u0)));  // [a, b]
    const __m128d b = _mm_unpackhi_pd(a, a);
    // v = a + fj (b - a), clamped to 0..255 without branches.
    __m128d v = _mm_add_sd(a, _mm_mul_sd(_mm_set_sd(frac[tap.fj]), _mm_sub_sd(b, a)));
    v = _mm_min_sd(_mm_max_sd(v, _mm_setzero_pd()), _mm_set_sd(255.0));
    return _mm_cvttsd_si32(v);
#else
    auto up = [&](const RowT& r, int s) {
        const double va = work[r.offsetA + s];
        return va + (work[r.offsetB + s] - va) * r.q * invK;
    };
    const double u00 = up(r0, j), u01 = up(r0, j + 1), u10 = up(r1, j), u11 = up(r1, j + 1);
    const double a = u00 + frac[tap.fi] * (u10 - u00);
    const double b = u01 + frac[tap.fiNext] * (u11 - u01);
    double v = a + frac[tap.fj] * (b - a);
    v = v < 0.0 ? 0.0 : (v > 255.0 ? 255.0 : v);
    return static_cast<int>(v);
#endif
}

}  // namespace

void CUpsampledConverter::Draw(const double* work, const GammaTable& gamma, bool invert,
                               Image8& image) const {
    if (!tables_ || !tables_->valid)
        return;
    using Tap = UpsampledTables::Tap;
    using Run = UpsampledTables::Run;
    const UpsampledTables::UpRow* rows = tables_->rows.data();
    const double invK = 1.0 / tables_->k;  // k is a power of two: x * invK is exactly x / k
    double frac[64];
    for (int f = 0; f < 64; ++f)
        frac[f] = f / 64.0;

    const Tap* tap = tables_->taps.data();
    for (const Run& run : tables_->runs) {
        uint8_t* dst = image.Row(run.row);
        const Tap* end = tap + run.count;
        if (!invert) {
            uint8_t* out = dst + run.x0;
            for (; tap < end; ++tap)
                *out++ = gamma[PixelValue(work, rows, *tap, frac, invK)];
        } else {
            // Column x goes to 480 - x; source column 0 has no place.
            uint8_t* out = dst + (kImageSize - run.x0);
            if (run.x0 == 0) {
                ++tap;
                --out;
            }
            for (; tap < end; ++tap)
                *out-- = gamma[PixelValue(work, rows, *tap, frac, invK)];
        }
    }
}
