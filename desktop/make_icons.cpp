// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the application icon as PNG files in the hicolor theme's layout:
//   make_icons FOLDER  ->  FOLDER/16x16/apps/lativo-bivano.png, ...
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

#include "ui/common/artwork.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        if (!root.mkpath(folder) ||
            !bivano::ui::MakeIconPixmap(size).save(root.filePath(folder + "/lativo-bivano.png"))) {
            std::fprintf(stderr, "make_icons: cannot write %s\n",
                         qPrintable(root.filePath(folder)));
            return 1;
        }
    }
    return 0;
}
