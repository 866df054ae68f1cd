// SPDX-License-Identifier: GPL-3.0-or-later
// How long the main window's text box takes to take in and show a text of
// one long line, or of many lines, as its size grows: the measurements
// behind the window's bounds on what it accepts. Run it on a real display
// (xvfb-run -a ./box_limits) as well as offscreen.
//
//   ./box_limits line|lines SIZE...     characters in all, per case
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <cstdio>
#include <cstring>
#include <string>

#include "sample_text.h"
#include "ui/main/frm_main.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: box_limits line|lines SIZE...\n");
        return 2;
    }
    const bool one_line = std::strcmp(argv[1], "line") == 0;
    const bivano::ConversionOptions options;
    bivano::ui::SystemPlatform platform;
    bivano::ui::FrmMain window(options, platform.Seams());
    window.show();
    QApplication::processEvents();
    for (int index = 2; index < argc; ++index) {
        const std::size_t size = std::stoul(argv[index]);
        const QString text =
            QString::fromStdU16String(bivano::bench::GreekSampleText(size, !one_line));
        QElapsedTimer timer;
        timer.start();
        window.SetSourceText(text);
        window.Text1->viewport()->repaint();
        QApplication::processEvents();
        const double shown = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        timer.start();
        window.Text1->verticalScrollBar()->setValue(window.Text1->verticalScrollBar()->maximum());
        window.Text1->viewport()->repaint();
        QApplication::processEvents();
        const double scrolled = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        timer.start();
        const QString back = window.SourceText();
        const double read_back = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf(
            "%-5s %10zu chars: shown %6.2f s, scrolled to the end %6.2f s, read back %5.2f s,"
            " %s, peak %5.0f MiB\n",
            one_line ? "line" : "lines", size, shown, scrolled, read_back,
            back.size() >= static_cast<qsizetype>(size) ? "whole" : "LOST",
            static_cast<double>(usage.ru_maxrss) / 1024.0);
        std::fflush(stdout);
        window.CloseFile_Click();
        QApplication::processEvents();
    }
    return 0;
}
