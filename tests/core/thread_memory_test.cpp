// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/thread_memory.h"

#include <gtest/gtest.h>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

namespace {

// The flags the kernel keeps for the mapping that holds `address`
// (/proc/self/smaps: "VmFlags: rd wr mr mw me ac hg"); empty if none does.
std::string MappingFlagsAt(const void* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        std::uintptr_t begin = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::istringstream head(line);
        if (head >> std::hex >> begin >> dash >> end && dash == '-') {
            inside = begin <= at && at < end;
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            return line.substr(8) + ' ';
        }
    }
    return {};
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
        asked = MappingFlagsAt(piece.get());
    }).join();
    std::thread([&] {
        const auto piece = std::make_unique<char[]>(100);
        not_asked = MappingFlagsAt(piece.get());
    }).join();
    bivano::io::PreferHugePagesForThisThread();  // the first thread
    const auto first = std::make_unique<char[]>(100);
    const std::string first_flags = MappingFlagsAt(first.get());
    ASSERT_FALSE(asked.empty());
    EXPECT_NE(asked.find(" hg "), std::string::npos) << asked;
    EXPECT_EQ(first_flags.find(" hg "), std::string::npos) << first_flags;
    // The second thread may take the first's heap, marked, once it ended;
    // what it allocates still works.
    EXPECT_FALSE(not_asked.empty());
}
