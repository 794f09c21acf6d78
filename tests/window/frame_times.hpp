// The file the frame counter library keeps (frame_counter.cpp): the frames
// shown so far, then the time of each of the last swaps, frame n's at
// n % recordedSwaps. And what a test reads from it.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

constexpr std::uint64_t recordedSwaps = 65536;

struct FrameRecord {
    std::atomic<std::uint64_t> frames;
    std::atomic<std::int64_t> swapTimes[recordedSwaps];  // steady clock, nanoseconds
};

// A game's frame record, read live (the library maps it when the first frame is shown).
class FrameTimes {
public:
    using Clock = std::chrono::steady_clock;

    explicit FrameTimes(std::string file) : path(std::move(file)) {}
    ~FrameTimes() {
        if (record != nullptr) munmap(record, sizeof(FrameRecord));
    }
    FrameTimes(const FrameTimes&) = delete;
    FrameTimes& operator=(const FrameTimes&) = delete;

    std::uint64_t frames() { return map() ? record->frames.load(std::memory_order_acquire) : 0; }

    // The time of frame `frame`'s swap, while it is recorded.
    std::optional<Clock::time_point> swap(std::uint64_t frame) {
        const std::uint64_t shown = frames();
        if (frame >= shown || shown - frame > recordedSwaps) return std::nullopt;
        return Clock::time_point(std::chrono::nanoseconds(swapTime(frame)));
    }

    // The swap before the last one at or before `when`, if recorded. A frame
    // that began after it and read the keys may have read them before `when`.
    std::optional<Clock::time_point> secondLastSwapBefore(Clock::time_point when) {
        const std::optional<std::uint64_t> last = lastSwapAtOrBefore(when, frames());
        if (!last || *last == 0) return std::nullopt;
        return swap(*last - 1);
    }

    // Waits (for `seconds` at most) until the game has swapped `count` times
    // after `when`: the last of those frames began after `when`.
    bool waitForSwapsAfter(Clock::time_point when, std::uint64_t count, double seconds) {
        const auto start = Clock::now();
        for (;;) {
            const std::uint64_t shown = frames();
            const std::optional<std::uint64_t> last = lastSwapAtOrBefore(when, shown);
            if (last && shown >= *last + 1 + count) return true;
            if (std::chrono::duration<double>(Clock::now() - start).count() > seconds) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

private:
    bool map() {
        if (record != nullptr) return true;
        const int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0) return false;
        void* memory = MAP_FAILED;
        struct stat status {};
        if (fstat(fd, &status) == 0 && status.st_size >= static_cast<off_t>(sizeof(FrameRecord)))
            memory = mmap(nullptr, sizeof(FrameRecord), PROT_READ, MAP_SHARED, fd, 0);
        close(fd);
        if (memory != MAP_FAILED) record = static_cast<FrameRecord*>(memory);
        return record != nullptr;
    }

    std::int64_t swapTime(std::uint64_t frame) const {
        return record->swapTimes[frame % recordedSwaps].load(std::memory_order_relaxed);
    }

    std::optional<std::uint64_t> lastSwapAtOrBefore(Clock::time_point when, std::uint64_t shown) {
        const std::int64_t at =
            std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch()).count();
        const std::uint64_t oldest = shown > recordedSwaps ? shown - recordedSwaps : 0;
        for (std::uint64_t frame = shown; frame-- > oldest;) {
            if (swapTime(frame) <= at) return frame;
        }
        return std::nullopt;
    }

    std::string path;
    FrameRecord* record = nullptr;
};
