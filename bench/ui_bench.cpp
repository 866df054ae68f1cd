// SPDX-License-Identifier: GPL-3.0-or-later
// Time from a click on a conversion button to the complete result in the
// result box, on the offscreen platform, for long texts.
//
//   ./ui_bench                       every case, one after another
//   ./ui_bench latin|greek SIZE breaks|nobreaks
//                                    one case, with this process's peak memory
//   ./ui_bench readback              100 M characters in 4 M lines read back
//   ./ui_bench accents               Ελληνικά with accents on 10 M characters
//   ./ui_bench files                 open, convert and save a 64 MiB
//                                    Windows-1253 file of 1 M lines
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <cstdio>
#include <cstring>
#include <string>

#include "sample_text.h"
#include "ui/main/frm_main.h"
#include "ui/main/text_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

bool RunCase(bivano::ui::FrmMain& window, bool latin, std::size_t size, bool breaks) {
    const std::u16string source = latin ? bivano::bench::GreekSampleText(size, breaks)
                                        : bivano::bench::LatinSampleText(size, breaks);
    window.CloseFile_Click();
    window.SetSourceText(QString::fromStdU16String(source));
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    (latin ? window.EnglishBtn : window.GreekBtn)->click();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;

    const bool complete = window.PrBar->value() == 0 &&
                          window.Text2->document()->characterCount() > static_cast<int>(size / 2);
    std::printf("%-5s %8zu chars %-8s %7.3f s%s\n", latin ? "latin" : "greek", size,
                breaks ? "breaks" : "nobreaks", seconds, complete ? "" : "  INCOMPLETE");
    std::fflush(stdout);
    return complete;
}

double Seconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// Reading a box's text back, as every conversion and Save does.
void ReadBack(bivano::ui::FrmMain& window) {
    QString text;
    text.reserve(100'000'000);
    const QString line = QStringLiteral("Καλημέρα σας, θάλασσα.\r\n");  // 25 characters
    while (text.size() + line.size() <= 100'000'000) {
        text += line;
    }
    window.SetSourceText(text);
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    const QString back = window.SourceText();
    std::printf("read back %lld characters in %lld lines: %.3f s\n",
                static_cast<long long>(back.size()), static_cast<long long>(back.count(u'\n')),
                Seconds(timer));
}

// Open, Lativo and Save of a 64 MiB Windows-1253 file with 1 M lines, as
// the file commands do them.
bool OpenConvertSave(bivano::ui::FrmMain& window) {
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("big.txt"));
    {
        QByteArray line(62, '\xE1');  // α
        for (int index = 0; index < line.size(); index += 8) {
            line[index] = ' ';
        }
        line += "\r\n";
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            return false;
        }
        for (int count = 0; count < 1024 * 1024; ++count) {
            file.write(line);
        }
    }
    QElapsedTimer timer;
    timer.start();
    const auto text = bivano::ui::ReadTextFile(path);
    if (!text) {
        std::printf("open failed\n");
        return false;
    }
    window.SetSourceText(*text);
    QApplication::processEvents();
    const double opened = Seconds(timer);
    timer.start();
    window.EnglishBtn->click();
    const double converted = Seconds(timer);
    timer.start();
    const bool saved = bivano::ui::WriteTextFile(path, window.ResultText()).ok();
    const double written = Seconds(timer);
    std::printf("64 MiB, 1 M lines: open %.2f s, convert %.2f s, save %.2f s, in all %.2f s%s\n",
                opened, converted, written, opened + converted + written,
                saved ? "" : "  SAVE FAILED");
    return saved;
}

// Ελληνικά with accents and spelling on 10 M characters of Greeklish, the
// dictionary read beforehand (as it is once the mode is chosen).
void Accents() {
    bivano::ui::SystemPlatform platform;
    const bivano::ConversionOptions options{.greek = bivano::GreekSpelling::Accented};
    bivano::ui::FrmMain window(options, platform.Seams());
    window.show();
    QElapsedTimer timer;
    timer.start();
    window.PrepareSpeller();
    window.SetSourceText(QStringLiteral("kalimera"));
    window.GreekBtn->click();  // waits for the dictionary
    std::printf("dictionary ready %.2f s after it was asked for\n", Seconds(timer));
    for (const bool accented : {false, true}) {
        bivano::ui::FrmMain plain(bivano::ConversionOptions{}, platform.Seams());
        bivano::ui::FrmMain& target = accented ? window : plain;
        target.SetSourceText(QString::fromStdU16String(bivano::bench::LatinSampleText(10'000'000)));
        QApplication::processEvents();
        timer.start();
        target.GreekBtn->click();
        std::printf("Ελληνικά on 10 M characters %s: %.2f s\n",
                    accented ? "with accents" : "as written", Seconds(timer));
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const bivano::ConversionOptions options;
    bivano::ui::SystemPlatform platform;
    bivano::ui::FrmMain window(options, platform.Seams());
    window.show();
    QApplication::processEvents();

    bool complete = true;
    if (argc == 2 && std::strcmp(argv[1], "readback") == 0) {
        ReadBack(window);
        std::printf("peak memory %.1f MiB\n", PeakMiB());
    } else if (argc == 2 && std::strcmp(argv[1], "accents") == 0) {
        Accents();
        std::printf("peak memory %.1f MiB\n", PeakMiB());
    } else if (argc == 2 && std::strcmp(argv[1], "files") == 0) {
        complete = OpenConvertSave(window);
        std::printf("peak memory %.1f MiB\n", PeakMiB());
    } else if (argc == 4) {
        complete = RunCase(window, std::strcmp(argv[1], "latin") == 0, std::stoul(argv[2]),
                           std::strcmp(argv[3], "breaks") == 0);
        std::printf("peak memory %.1f MiB\n", PeakMiB());
    } else {
        for (bool latin : {true, false}) {
            for (bool breaks : {true, false}) {
                for (std::size_t size : {1'000'000u, 10'000'000u}) {
                    complete = RunCase(window, latin, size, breaks) && complete;
                }
            }
        }
    }
    return complete ? 0 : 1;
}
