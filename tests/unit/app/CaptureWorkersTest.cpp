#include "app/CaptureWorkers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

namespace halcyra {
namespace {

CapturedFrame frame(int64_t number, CaptureWorkers& workers) {
    CapturedFrame f{number, workers.buffer(16)};
    f.pixels[0] = static_cast<uint8_t>(number);
    return f;
}

TEST(CaptureWorkers, EveryFrameIsFinishedOnceWithItsOwnPixels) {
    std::mutex mutex;
    std::multiset<int64_t> seen;
    bool pixelsMatch = true;
    CaptureWorkers workers(3, [&](CapturedFrame& f, CaptureTimes& times, std::string&) {
        std::lock_guard<std::mutex> lock(mutex);
        seen.insert(f.number);
        pixelsMatch = pixelsMatch && f.pixels[0] == static_cast<uint8_t>(f.number);
        times.encode += 1.0;
        return true;
    });
    for (int64_t n = 100; n < 160; ++n)
        ASSERT_TRUE(workers.submit(frame(n, workers)));
    ASSERT_TRUE(workers.finish());
    EXPECT_EQ(seen.size(), 60u);
    EXPECT_EQ(seen.count(100), 1u);
    EXPECT_EQ(seen.count(159), 1u);
    EXPECT_TRUE(pixelsMatch);
    EXPECT_DOUBLE_EQ(workers.times.encode, 60.0); // summed over the threads
    EXPECT_EQ(workers.times.threads, 3);
}

TEST(CaptureWorkers, OneThreadKeepsTheFramesInOrder) {
    std::vector<int64_t> order;
    CaptureWorkers workers(1, [&](CapturedFrame& f, CaptureTimes&, std::string&) {
        order.push_back(f.number);
        return true;
    });
    for (int64_t n = 0; n < 40; ++n)
        workers.submit(frame(n, workers));
    workers.finish();
    ASSERT_EQ(order.size(), 40u);
    for (int64_t n = 0; n < 40; ++n)
        EXPECT_EQ(order[static_cast<size_t>(n)], n);
}

TEST(CaptureWorkers, TheFirstFailureStopsTheWorkAndIsReported) {
    std::atomic<int> attempts{0};
    CaptureWorkers workers(2, [&](CapturedFrame& f, CaptureTimes&, std::string& error) {
        ++attempts;
        if (f.number == 3) {
            error = "disk full at frame 3";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return true;
    });
    bool refused = false;
    for (int64_t n = 0; n < 200 && !refused; ++n)
        refused = !workers.submit(frame(n, workers));
    EXPECT_TRUE(refused) << "frames were still taken after the failure";
    EXPECT_FALSE(workers.finish());
    EXPECT_EQ(workers.failure(), "disk full at frame 3");
    EXPECT_LT(attempts.load(), 200);
}

TEST(CaptureWorkers, AFullQueueHoldsTheCallerSoFewFramesAreEverInMemory) {
    std::atomic<int> inFlight{0};
    std::atomic<int> most{0};
    CaptureWorkers workers(2, [&](CapturedFrame&, CaptureTimes&, std::string&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        --inFlight;
        return true;
    });
    for (int64_t n = 0; n < 30; ++n) {
        CapturedFrame f = frame(n, workers);
        most = std::max(most.load(), ++inFlight);
        workers.submit(std::move(f));
    }
    workers.finish();
    // Two being finished, two waiting, one being read back.
    EXPECT_LE(most.load(), 5);
    EXPECT_GT(workers.times.waiting, 0.0);
}

TEST(CaptureWorkers, BuffersOfFinishedFramesAreReused) {
    CaptureWorkers workers(1, [&](CapturedFrame&, CaptureTimes&, std::string&) { return true; });
    CapturedFrame first{0, workers.buffer(1 << 20)};
    const uint8_t* memory = first.pixels.data();
    workers.submit(std::move(first));
    // Wait until the worker has handed the buffer back.
    bool reused = false;
    for (int i = 0; i < 200 && !reused; ++i) {
        std::vector<uint8_t> next = workers.buffer(1 << 20);
        reused = next.data() == memory;
        if (!reused) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            workers.submit({1, std::move(next)});
        }
    }
    workers.finish();
    EXPECT_TRUE(reused);
}

} // namespace
} // namespace halcyra
