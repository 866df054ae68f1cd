// SPDX-License-Identifier: GPL-3.0-or-later
// bivano: the conversions from the command line, for files and pipelines.
#include <malloc.h>

#include <QStringList>
#include <cstdio>
#include <cstring>

#include "command_line.h"
#include "file_names.h"
#include "run.h"

int main(int argc, char* argv[]) {
    // The pieces of a conversion are allocated and freed again and again:
    // keep them on the heap rather than mapping fresh pages for each.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
    QStringList arguments;
    for (int index = 0; index < argc; ++index) {
        arguments << bivano::cli::ArgumentFromBytes(argv[index]);
    }
    const bivano::cli::Parsed parsed = bivano::cli::ParseCommandLine(arguments);
    if (!parsed.request) {
        const QByteArray text = parsed.message.toLocal8Bit();
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()),
                    parsed.status == 0 ? stdout : stderr);
        return parsed.status;
    }
    return bivano::cli::Run(*parsed.request);
}
