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
// dlopen()s libGL, asks that handle for glXGetProcAddressARB and asks that for
// glXSwapBuffers, which no preloaded symbol can stand in for. So this library
// also stands in for dlopen(): asked for libGL it opens the real one for
// itself and hands out a handle to this library, whose glXGetProcAddress(ARB)
// hands out our glXSwapBuffers (and itself); every other name looked up through
// that handle is found in libGL, which this library links. Either way every swap passes
// through the one counting function. (Standing in for dlsym() instead would
// break dlsym(RTLD_NEXT, ...), which searches after its caller: the
// AddressSanitizer runtime finds the functions it wraps that way.)
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
using Dlopen = void* (*)(const char* file, int flags);

std::atomic<SwapBuffers> realSwap{nullptr};
std::atomic<GetProcAddress> realGetProcAddress{nullptr};
std::atomic<GetProcAddress> realGetProcAddressArb{nullptr};
// The real libGL that glad asked for, once it has.
std::atomic<void*> realGl{nullptr};

// A GLX function of the real libGL: the one glad opened, else the one the
// program links (SFML 2.5), which comes after this library.
void* realGlx(const char* name) {
    void* const gl = realGl.load();
    return dlsym(gl != nullptr ? gl : RTLD_NEXT, name);
}

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
        real = reinterpret_cast<SwapBuffers>(realGlx("glXSwapBuffers"));
        realSwap.store(real);
    }
    if (real != nullptr) real(display, drawable);
}
}  // extern "C"

extern "C" void* glXGetProcAddress(const unsigned char* name);
extern "C" void* glXGetProcAddressARB(const unsigned char* name);

namespace {

// What glXGetProcAddress(ARB) hands out for NAME, where the real one gave
// FOUND: for the three GLX names our own function (keeping the real one for it
// to call), else FOUND. SFML 2.6 and 3 load GLX twice, the second time through
// the glXGetProcAddress of the first.
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
        getProcAddress = reinterpret_cast<GetProcAddress>(realGlx(realName));
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

// libGL, as glad asks for it, is this library; every other file is opened as asked.
__attribute__((visibility("default"))) void* dlopen(const char* file, int flags) {
    static const Dlopen real = reinterpret_cast<Dlopen>(dlsym(RTLD_NEXT, "dlopen"));
    if (real == nullptr) return nullptr;
    const bool gl = file != nullptr &&
                    (std::strcmp(file, "libGL.so.1") == 0 || std::strcmp(file, "libGL.so") == 0);
    if (!gl) return real(file, flags);
    void* const opened = real(file, flags);
    Dl_info self{};
    if (opened == nullptr || dladdr(reinterpret_cast<void*>(&glXSwapBuffers), &self) == 0)
        return opened;
    realGl.store(opened);
    return real(self.dli_fname, flags);
}

}  // extern "C"
