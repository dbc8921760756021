#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "probe/RawBuf.h"
#include "probe/RcvQueue.h"

// Two lists handing the same buffers back and forth from two threads: none is lost or doubled.
TEST(RcvQueue, BuffersPassBetweenThreadsWithoutLossOrDuplication) {
    std::vector<std::unique_ptr<CRawBuf>> buffers;
    CRcvQueue left, right;
    for (int i = 0; i < 5; ++i) {
        buffers.push_back(std::make_unique<CRawBuf>(16, 4));
        left.AddTailLocked(buffers.back().get());
    }
    auto mover = [](CRcvQueue& from, CRcvQueue& to) {
        for (int moved = 0; moved < 5000;) {
            if (CRawBuf* b = from.RemoveHeadLocked()) {
                to.AddTailLocked(b);
                ++moved;
            } else {
                std::this_thread::yield();
            }
        }
    };
    std::thread there(mover, std::ref(left), std::ref(right));
    std::thread back(mover, std::ref(right), std::ref(left));
    there.join();
    back.join();
    EXPECT_EQ(left.GetCountLocked() + right.GetCountLocked(), 5u);
    for (const auto& b : buffers)
        EXPECT_NE(left.ContainsLocked(b.get()), right.ContainsLocked(b.get()));
}
