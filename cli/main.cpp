// SPDX-License-Identifier: GPL-3.0-or-later
// bivano: the conversions from the command line, for files and pipelines.
#include <malloc.h>

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <new>

#include "command_line.h"
#include "file_names.h"
#include "io/safe_file.h"
#include "run.h"

namespace {

// Messages in the user's language, bivano's own and those of Qt's parser:
// the installed catalogue, else the one built into the program; English
// when there is none for the language.
void LoadTranslations(QTranslator& translator, const QString& name) {
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/bivano/translations");
    for (const QString& folder : {installed, QStringLiteral(":/i18n")}) {
        if (translator.load(QLocale(), name, QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(&translator);
            return;
        }
    }
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
    // The system's error texts in the user's language too.
    std::setlocale(LC_ALL, "");
    QCoreApplication application(argc, argv);
    QTranslator own_messages;
    QTranslator parser_messages;
    LoadTranslations(own_messages, QStringLiteral("bivano"));
    LoadTranslations(parser_messages, QStringLiteral("bivano_qt"));

    QStringList arguments;
    for (int index = 0; index < argc; ++index) {
        arguments << bivano::cli::ArgumentFromBytes(argv[index]);
    }
    const bivano::cli::Parsed parsed = bivano::cli::ParseCommandLine(arguments);
    if (!parsed.request) {
        if (parsed.status == 0 && standard.output_closed) {
            const QByteArray text =
                (QStringLiteral("bivano: ") +
                 QCoreApplication::translate("bivano", "(standard output)") + QStringLiteral(": ") +
                 QString::fromLocal8Bit(std::strerror(EBADF)) + QLatin1Char('\n'))
                    .toLocal8Bit();
            std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stderr);
            return 1;
        }
        const QByteArray text = parsed.message.toLocal8Bit();
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()),
                    parsed.status == 0 ? stdout : stderr);
        return parsed.status;
    }
    try {
        return bivano::cli::Run(*parsed.request, standard);
    } catch (const std::bad_alloc&) {
        // What the run held is freed by now: there is room for the message
        // in the user's language.
        const QByteArray text =
            QCoreApplication::translate("bivano", "bivano: out of memory\n").toLocal8Bit();
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stderr);
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
