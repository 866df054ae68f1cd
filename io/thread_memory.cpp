// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/thread_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace bivano::io {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Linux 6.1's MADV_COLLAPSE, which older headers lack; a kernel before it
// refuses the call, and nothing is lost.
#ifdef MADV_COLLAPSE
constexpr int kCollapse = MADV_COLLAPSE;
#else
constexpr int kCollapse = 25;
#endif

}  // namespace

bool ThreadsHaveHeapsOfTheirOwn() {
    // glibc's allocator, unless a sanitizer's stands in for it.
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE) && !defined(__SANITIZE_ADDRESS__) && \
    !defined(__SANITIZE_THREAD__)
    return sizeof(void*) == 8;
#else
    return false;
#endif
}

void PreferHugePagesForThisThread() {
#if defined(MADV_HUGEPAGE)
    if (ThreadsHaveHeapsOfTheirOwn()) {
        // glibc gives each thread but the first a heap of its own: a
        // reservation of 64 MiB, aligned to its size, opened from its start
        // as it grows. Marked whole, all it will serve is marked.
        constexpr std::uintptr_t kThreadHeap = std::uintptr_t{64} << 20;
        void* piece = std::malloc(1);
        if (piece == nullptr) {
            return;
        }
        const auto at = reinterpret_cast<std::uintptr_t>(piece);
        std::free(piece);
        // The first thread's heap lies below the program break.
        if (at < reinterpret_cast<std::uintptr_t>(::sbrk(0))) {
            return;
        }
        void* const heap = reinterpret_cast<void*>(at & ~(kThreadHeap - 1));
        ::madvise(heap, kThreadHeap, MADV_HUGEPAGE);
        // Its first pages were touched before the mark, and keep the rest of
        // their huge page's room in small pages: made one huge page now,
        // else each of them would be a fault of its own.
        ::madvise(heap, kHugePage, kCollapse);
    }
#endif
}

}  // namespace bivano::io
