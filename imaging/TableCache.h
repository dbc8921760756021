// The address caches of the last few keys (depth, probe, frame size), and a worker that
// builds the caches of a key ahead of the first frame that needs them (a new depth or probe),
// so that no frame waits for them. Any thread may ask for a build ahead; the caches are taken
// by the image thread. Caches are read only once built, so threads may share them.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

template <typename Key, typename Tables, std::shared_ptr<const Tables> (*Build)(const Key&), size_t Kept>
class CTableCache {
public:
    CTableCache() = default;
    ~CTableCache() {  // ends and joins the worker
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        if (worker_.joinable())
            worker_.join();
    }
    CTableCache(const CTableCache&) = delete;
    CTableCache& operator=(const CTableCache&) = delete;

    // Has the worker build the caches of this key unless they are kept or on their way.
    void Prebuild(const Key& key) {
        {
            std::lock_guard lock(mutex_);
            if (stop_ || FindLocked(key) || PendingLocked(key))
                return;
            queue_.push_back(key);
            if (!worker_.joinable()) {
                try {
                    worker_ = std::thread([this] { Work(); });
                } catch (const std::system_error&) {
                    queue_.clear();  // no worker: the image thread builds the caches itself
                    return;
                }
            }
        }
        changed_.notify_all();
    }

    // The caches of this key: kept ones at once, the worker's when it is building them (its
    // remaining share of the work), else built here.
    std::shared_ptr<const Tables> Get(const Key& key) {
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
        auto tables = Build(key);
        std::lock_guard lock(mutex_);
        KeepLocked(key, tables);
        ++builtOnDemand_;
        return tables;
    }

    // Lets go of the kept caches (their path is no longer in use); users keep theirs.
    void Drop() {
        std::lock_guard lock(mutex_);
        kept_.clear();
    }

    // Waits until the worker has nothing left to build (for tests and benchmarks).
    void WaitPrebuilt() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stop_ || (queue_.empty() && !building_); });
    }

    // Caches Get had to build itself (for tests).
    size_t BuiltOnDemand() const {
        std::lock_guard lock(mutex_);
        return builtOnDemand_;
    }

private:
    using Entry = std::pair<Key, std::shared_ptr<const Tables>>;

    std::shared_ptr<const Tables> FindLocked(const Key& key) const {
        for (const Entry& e : kept_) {
            if (e.first == key)
                return e.second;
        }
        return nullptr;
    }
    bool PendingLocked(const Key& key) const {
        return (building_ && buildingKey_ == key) || std::find(queue_.begin(), queue_.end(), key) != queue_.end();
    }
    void KeepLocked(const Key& key, std::shared_ptr<const Tables> tables) {
        auto it = std::find_if(kept_.begin(), kept_.end(), [&](const Entry& e) { return e.first == key; });
        if (it != kept_.end())
            kept_.erase(it);
        kept_.insert(kept_.begin(), Entry{key, std::move(tables)});
        if (kept_.size() > Kept)
            kept_.pop_back();
    }
    void Work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] { return stop_ || !queue_.empty(); });
            if (stop_)
                return;
            const Key key = queue_.front();
            queue_.pop_front();
            buildingKey_ = key;
            building_ = true;
            lock.unlock();
            auto tables = Build(key);
            lock.lock();
            KeepLocked(key, std::move(tables));
            building_ = false;
            changed_.notify_all();
        }
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Entry> kept_;  // most recent first
    std::deque<Key> queue_;
    bool building_ = false;
    Key buildingKey_{};
    bool stop_ = false;
    size_t builtOnDemand_ = 0;
    std::thread worker_;  // started on the first build ahead
};
