#include "AllocationCounter.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Set on the counting thread only; every other thread keeps both false.
thread_local bool t_bCountingThread = false;
thread_local bool t_bCounting = false;
// True while the counter itself runs (a trace allocates): nothing is counted then.
thread_local bool t_bInside = false;

// Touched by the counting thread only.
std::uint64_t s_Count = 0;
int s_iTraceLeft = 0;
int s_iTraced = 0;
const char* s_Label = "";
long s_lFrame = 0;

constexpr int kTraceDepth = 24;
// The counter's own frames at the top of a trace: Trace and Note.
constexpr int kOwnFrames = 2;

__attribute__((noinline)) void Trace(std::size_t size) {
    void* frames[kTraceDepth];
    const int depth = backtrace(frames, kTraceDepth);
    ++s_iTraced;
    std::fprintf(stderr, "allocation %d of %zu bytes in %s, measured frame %ld:\n", s_iTraced, size,
                 s_Label, s_lFrame);
    for (int i = kOwnFrames; i < depth; ++i) {
        Dl_info info{};
        const auto address = reinterpret_cast<std::uintptr_t>(frames[i]);
        if (dladdr(frames[i], &info) == 0) {
            std::fprintf(stderr, "  #%-2d %p\n", i - kOwnFrames, frames[i]);
            continue;
        }
        const char* file = info.dli_fname != nullptr ? info.dli_fname : "?";
        const char* base = std::strrchr(file, '/');
        base = base != nullptr ? base + 1 : file;
        // A return address points after its call: one byte back is the call itself, which
        // is what addr2line should be asked about.
        const std::uintptr_t offset =
            address - reinterpret_cast<std::uintptr_t>(info.dli_fbase) - (i > 0 ? 1 : 0);
        if (info.dli_sname != nullptr) {
            int status = 0;
            char* demangled = abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status);
            const auto inSymbol = address - reinterpret_cast<std::uintptr_t>(info.dli_saddr);
            std::fprintf(stderr, "  #%-2d %s+0x%zx  (%s+0x%zx)\n", i - kOwnFrames,
                         status == 0 && demangled != nullptr ? demangled : info.dli_sname,
                         static_cast<std::size_t>(inSymbol), base,
                         static_cast<std::size_t>(offset));
            std::free(demangled);
        } else {
            std::fprintf(stderr, "  #%-2d ?  (%s+0x%zx)\n", i - kOwnFrames, base,
                         static_cast<std::size_t>(offset));
        }
    }
}

__attribute__((noinline)) void Note(std::size_t size) {
    if (!t_bCounting || t_bInside) {
        return;
    }
    ++s_Count;
    if (s_iTraceLeft > 0) {
        --s_iTraceLeft;
        t_bInside = true;
        Trace(size);
        t_bInside = false;
    }
}

void* Allocate(std::size_t size, bool nothrow) {
    if (size == 0) {
        size = 1;
    }
    for (;;) {
        if (void* memory = std::malloc(size)) {
            Note(size);
            return memory;
        }
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) {
            if (nothrow) {
                return nullptr;
            }
            throw std::bad_alloc();
        }
        handler();
    }
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment, bool nothrow) {
    if (size == 0) {
        size = 1;
    }
    std::size_t align = static_cast<std::size_t>(alignment);
    if (align < sizeof(void*)) {
        align = sizeof(void*);
    }
    for (;;) {
        void* memory = nullptr;
        if (posix_memalign(&memory, align, size) == 0) {
            Note(size);
            return memory;
        }
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) {
            if (nothrow) {
                return nullptr;
            }
            throw std::bad_alloc();
        }
        handler();
    }
}

} // namespace

namespace bench {

void MarkCountingThread() {
    t_bCountingThread = true;
    // The first backtrace loads the unwinder, which allocates.
    void* frames[4];
    backtrace(frames, 4);
}

void BeginCounting() {
    t_bCounting = t_bCountingThread;
}

void EndCounting() {
    t_bCounting = false;
}

std::uint64_t CountedAllocations() {
    return s_Count;
}

void TraceAllocations(int n) {
    s_iTraceLeft = n > 0 ? n : 0;
}

void SetTraceLabel(const char* label, long frame) {
    s_Label = label;
    s_lFrame = frame;
}

} // namespace bench

// The replaced global allocation functions: malloc and free underneath, every allocation of
// the counting thread counted while counting is on.
void* operator new(std::size_t size) {
    return Allocate(size, false);
}
void* operator new[](std::size_t size) {
    return Allocate(size, false);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, true);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, true);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return AllocateAligned(size, alignment, false);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return AllocateAligned(size, alignment, false);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateAligned(size, alignment, true);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateAligned(size, alignment, true);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(memory);
}
