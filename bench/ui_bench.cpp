// SPDX-License-Identifier: GPL-3.0-or-later
// Time from a click on a conversion button to the complete result in the
// result box, on the offscreen platform, for long texts.
//
//   ./ui_bench                       every case, one after another
//   ./ui_bench latin|greek SIZE breaks|nobreaks
//                                    one case, with this process's peak memory
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

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const bivano::ConversionOptions options;
    bivano::ui::FrmMain window(options);
    window.show();
    QApplication::processEvents();

    bool complete = true;
    if (argc == 4) {
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
