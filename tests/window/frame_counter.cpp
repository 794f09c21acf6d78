// Counts the frames a program shows, from outside it: loaded with LD_PRELOAD,
// this library stands in for glXSwapBuffers (which SFML's display() calls on
// X11 once per frame), adds one to a 64-bit counter kept in the file named by
// $PLUMWICK_FRAME_COUNTER (mapped shared, so a reader sees it live), and hands
// on to the real function. The program itself is not changed.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace {

using SwapBuffers = void (*)(void* display, unsigned long drawable);

struct Counter {
    SwapBuffers real = nullptr;
    std::atomic<std::uint64_t>* frames = nullptr;

    Counter() {
        real = reinterpret_cast<SwapBuffers>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
        const char* file = std::getenv("PLUMWICK_FRAME_COUNTER");
        if (file == nullptr) return;
        const int fd = open(file, O_RDWR | O_CREAT, 0644);
        if (fd < 0) return;
        if (ftruncate(fd, sizeof(std::uint64_t)) == 0) {
            void* memory =
                mmap(nullptr, sizeof(std::uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (memory != MAP_FAILED) frames = static_cast<std::atomic<std::uint64_t>*>(memory);
        }
        close(fd);
    }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) void glXSwapBuffers(void* display,
                                                                      unsigned long drawable) {
    static Counter counter;
    if (counter.frames != nullptr) counter.frames->fetch_add(1, std::memory_order_relaxed);
    if (counter.real != nullptr) counter.real(display, drawable);
}
