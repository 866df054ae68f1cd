// SPDX-License-Identifier: GPL-3.0-or-later
// bivano: the conversions from the command line, for files and pipelines.
#include <malloc.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue.h"
#include "command_line.h"
#include "io/safe_file.h"
#include "run.h"

namespace {

void Write(std::string_view text, std::FILE* stream) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

int Main(int argc, char* argv[], const bivano::io::StandardDescriptors& standard) {
    // The pieces of a conversion are allocated and freed again and again:
    // keep them on the heap rather than mapping fresh pages for each.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
    // Heaps grow 8 MiB at a time: whole huge pages for the threads that
    // ask for them (io::PreferHugePagesForThisThread); to the others, room
    // only, taken as touched.
    mallopt(M_TOP_PAD, 8 << 20);
    // Messages in the user's language, the system's error texts included.
    std::setlocale(LC_ALL, "");
    bivano::cli::OpenCatalogue();

    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const bivano::cli::Parsed parsed = bivano::cli::ParseCommandLine(arguments);
    if (!parsed.request) {
        if (parsed.status == 0 && standard.output_closed) {
            Write(
                bivano::cli::Fill("bivano: %1: %2\n", {bivano::cli::Translate("(standard output)"),
                                                       std::strerror(EBADF)}),
                stderr);
            return 1;
        }
        Write(parsed.message, parsed.status == 0 ? stdout : stderr);
        return parsed.status;
    }
    try {
        return bivano::cli::Run(*parsed.request, standard);
    } catch (const std::bad_alloc&) {
        // What the run held is freed by now: there is room for the message
        // in the user's language.
        Write(bivano::cli::Translate("bivano: out of memory\n"), stderr);
        return 1;
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    // First of all: a closed standard descriptor must not hand its number to
    // the next file opened, which would then take the output.
    const bivano::io::StandardDescriptors standard = bivano::io::ReopenClosedStandardDescriptors();
    bivano::io::RemoveTemporariesOnSignals();
    try {
        return Main(argc, argv, standard);
    } catch (const std::bad_alloc&) {
        // Memory ran out (a limit set with ulimit, say) before a run, or
        // even for the message above: say so and fail, rather than end by a
        // signal. This message needs no memory of its own.
        static constexpr char kMessage[] = "bivano: out of memory\n";
        std::fwrite(kMessage, 1, sizeof kMessage - 1, stderr);
        return 1;
    }
}
