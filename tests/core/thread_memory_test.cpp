// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/thread_memory.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

namespace {

// What the kernel tells of the mapping that holds an address
// (/proc/self/smaps): where it ends, the kilobytes of huge pages in it
// ("AnonHugePages: 2048 kB") and its flags ("VmFlags: rd wr mr mw me ac hg",
// empty if no mapping holds it).
struct Mapping {
    std::uintptr_t end = 0;
    long huge_kilobytes = -1;
    std::string flags;
};

Mapping MappingAt(const void* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    Mapping found;
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        std::uintptr_t begin = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::istringstream head(line);
        if (head >> std::hex >> begin >> dash >> end && dash == '-') {
            inside = begin <= at && at < end;
            if (inside) {
                found.end = end;
            }
        } else if (inside && line.rfind("AnonHugePages:", 0) == 0) {
            found.huge_kilobytes = std::stol(line.substr(14));
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            found.flags = line.substr(8) + ' ';
            return found;
        }
    }
    return found;
}

// Whether the kernel makes a huge page of small ones on request (Linux 6.1
// on): tried on a mapping of the test's own.
bool CollapseOffered() {
    constexpr std::size_t kHuge = std::size_t{2} << 20;
    void* mapping =
        ::mmap(nullptr, 2 * kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) {
        return false;
    }
    auto* aligned = reinterpret_cast<char*>(
        (reinterpret_cast<std::uintptr_t>(mapping) + kHuge - 1) & ~(kHuge - 1));
    aligned[0] = 1;
    const bool collapsed = ::madvise(aligned, kHuge, 25 /* MADV_COLLAPSE */) == 0;
    ::munmap(mapping, 2 * kHuge);
    return collapsed;
}

bool HugePagesOffered() {
    std::ifstream enabled("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    std::getline(enabled, modes);
    return !modes.empty() && modes.find("[never]") == std::string::npos;
}

}  // namespace

// A thread's heap is marked for huge pages, from its start; the first
// thread's, shared by all that do not ask, is left as it was.
TEST(ThreadMemory, AThreadsOwnHeapIsMarkedForHugePages) {
    if (!bivano::io::ThreadsHaveHeapsOfTheirOwn() || !HugePagesOffered()) {
        GTEST_SKIP() << "no heaps of their own to threads, or no huge pages";
    }
    std::string asked;
    std::string not_asked;
    std::thread([&] {
        bivano::io::PreferHugePagesForThisThread();
        const auto piece = std::make_unique<char[]>(100);
        asked = MappingAt(piece.get()).flags;
    }).join();
    std::thread([&] {
        const auto piece = std::make_unique<char[]>(100);
        not_asked = MappingAt(piece.get()).flags;
    }).join();
    bivano::io::PreferHugePagesForThisThread();  // the first thread
    const auto first = std::make_unique<char[]>(100);
    const std::string first_flags = MappingAt(first.get()).flags;
    ASSERT_FALSE(asked.empty());
    EXPECT_NE(asked.find(" hg "), std::string::npos) << asked;
    EXPECT_EQ(first_flags.find(" hg "), std::string::npos) << first_flags;
    // The second thread may take the first's heap, marked, once it ended;
    // what it allocates still works.
    EXPECT_FALSE(not_asked.empty());
}

// The heap's first pages, touched before it was marked, are made one huge
// page at once: else each page of its first 2 MiB is a fault of its own.
TEST(ThreadMemory, AThreadsHeapStartsWithAHugePage) {
    if (!bivano::io::ThreadsHaveHeapsOfTheirOwn() || !HugePagesOffered() || !CollapseOffered()) {
        GTEST_SKIP() << "no heaps of their own to threads, or no huge pages made on request";
    }
    // As bivano sets it: a heap opened some megabytes at a time.
    mallopt(M_TOP_PAD, 8 << 20);
    Mapping heap;
    std::uintptr_t heap_start = 0;
    std::thread([&] {
        bivano::io::PreferHugePagesForThisThread();
        const auto piece = std::make_unique<char[]>(100);
        heap = MappingAt(piece.get());
        heap_start =
            reinterpret_cast<std::uintptr_t>(piece.get()) & ~((std::uintptr_t{64} << 20) - 1);
    }).join();
    mallopt(M_TOP_PAD, 128 << 10);  // glibc's own
    if (heap.end - heap_start < (std::uintptr_t{2} << 20)) {
        // A heap left by a thread of an earlier test, opened a little at a
        // time, is too small for a huge page.
        GTEST_SKIP() << "the thread took a heap opened before, of less than 2 MiB";
    }
    EXPECT_GE(heap.huge_kilobytes, 2048);
}
