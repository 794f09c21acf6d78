// Counts the frames a program shows, from outside it: loaded with LD_PRELOAD,
// this library adds one to a 64-bit counter kept in the file named by
// $PLUMWICK_FRAME_COUNTER (mapped shared, so a reader sees it live) at every
// glXSwapBuffers, which SFML's display() calls on X11 once per frame, and
// hands on to the real function. The program itself is not changed. Behind
// the counter (frame_times.hpp) it keeps the steady-clock time of the last
// swaps, so that a test can tell how long the frames around a moment took.
//
// SFML reaches glXSwapBuffers in two ways. 2.5 links it, so the dynamic linker
// hands it our glXSwapBuffers below. 2.6 and 3.x load GLX through glad: it
// dlopen()s libGL, takes glXGetProcAddressARB from it with dlsym() and asks
// that for glXSwapBuffers, which no preloaded symbol can stand in for. So this
// library also stands in for dlsym(): asked for glXGetProcAddress(ARB) it
// gives our own, which hands out our glXSwapBuffers (and itself). Either way
// every swap passes through the one counting function.
#include "frame_times.hpp"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using SwapBuffers = void (*)(void* display, unsigned long drawable);
using GetProcAddress = void* (*)(const unsigned char* name);
using Dlsym = void* (*)(void* handle, const char* name);

// The real dlsym: glibc 2.34 gave it a new version, older ones have only the first.
Dlsym realDlsym() {
    static const Dlsym real = [] {
        void* found = dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.34");
        if (found == nullptr) found = dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.2.5");
        return reinterpret_cast<Dlsym>(found);
    }();
    return real;
}

std::atomic<SwapBuffers> realSwap{nullptr};
std::atomic<GetProcAddress> realGetProcAddress{nullptr};
std::atomic<GetProcAddress> realGetProcAddressArb{nullptr};

FrameRecord* mapRecord() {
    const char* file = std::getenv("PLUMWICK_FRAME_COUNTER");
    if (file == nullptr) return nullptr;
    const int fd = open(file, O_RDWR | O_CREAT, 0644);
    if (fd < 0) return nullptr;
    void* memory = MAP_FAILED;
    if (ftruncate(fd, sizeof(FrameRecord)) == 0)
        memory = mmap(nullptr, sizeof(FrameRecord), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    return memory == MAP_FAILED ? nullptr : static_cast<FrameRecord*>(memory);
}

// std::chrono::steady_clock's time on Linux, which the tests read.
std::int64_t steadyNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void glXSwapBuffers(void* display, unsigned long drawable) {
    static FrameRecord* const record = mapRecord();
    if (record != nullptr) {
        const std::uint64_t frame = record->frames.load(std::memory_order_relaxed);
        record->swapTimes[frame % recordedSwaps].store(steadyNanoseconds(),
                                                       std::memory_order_relaxed);
        record->frames.store(frame + 1, std::memory_order_release);
    }
    SwapBuffers real = realSwap.load();
    if (real == nullptr) {  // linked directly: libGL is among the program's libraries
        real = reinterpret_cast<SwapBuffers>(realDlsym()(RTLD_NEXT, "glXSwapBuffers"));
        realSwap.store(real);
    }
    if (real != nullptr) real(display, drawable);
}
}  // extern "C"

extern "C" void* glXGetProcAddress(const unsigned char* name);
extern "C" void* glXGetProcAddressARB(const unsigned char* name);

namespace {

// What a look-up of NAME that found FOUND hands out: for the three GLX names
// our own function (keeping the real one for it to call), else FOUND. Both
// routes, dlsym() and glXGetProcAddress(ARB), go through here: SFML 2.6 and 3
// load GLX twice, the second time through the glXGetProcAddress of the first.
void* standIn(const char* name, void* found) {
    if (found == nullptr) return found;
    if (std::strcmp(name, "glXSwapBuffers") == 0) {
        realSwap.store(reinterpret_cast<SwapBuffers>(found));
        return reinterpret_cast<void*>(&glXSwapBuffers);
    }
    if (std::strcmp(name, "glXGetProcAddress") == 0) {
        realGetProcAddress.store(reinterpret_cast<GetProcAddress>(found));
        return reinterpret_cast<void*>(&glXGetProcAddress);
    }
    if (std::strcmp(name, "glXGetProcAddressARB") == 0) {
        realGetProcAddressArb.store(reinterpret_cast<GetProcAddress>(found));
        return reinterpret_cast<void*>(&glXGetProcAddressARB);
    }
    return found;
}

// glXGetProcAddress(ARB) through the real one of that NAME: linked directly
// by SFML 2.5, else the one a look-up gave.
void* lookUp(std::atomic<GetProcAddress>& real, const char* realName, const unsigned char* name) {
    GetProcAddress getProcAddress = real.load();
    if (getProcAddress == nullptr) {
        getProcAddress = reinterpret_cast<GetProcAddress>(realDlsym()(RTLD_NEXT, realName));
        real.store(getProcAddress);
    }
    if (getProcAddress == nullptr) return nullptr;
    return standIn(reinterpret_cast<const char*>(name), getProcAddress(name));
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void* glXGetProcAddress(const unsigned char* name) {
    return lookUp(realGetProcAddress, "glXGetProcAddress", name);
}

__attribute__((visibility("default"))) void* glXGetProcAddressARB(const unsigned char* name) {
    return lookUp(realGetProcAddressArb, "glXGetProcAddressARB", name);
}

// Only the three GLX names are changed; every other look-up is the real one's.
// (A dlsym(RTLD_NEXT, ...) made through here would search after this library
// rather than after its caller; nothing on the game's path asks that.)
__attribute__((visibility("default"))) void* dlsym(void* handle, const char* name) {
    return standIn(name, realDlsym()(handle, name));
}

}  // extern "C"
