// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "ui/about/frm_about.h"
#include "ui/common/about_info.h"
#include "ui/common/artwork.h"
#include "ui/common/platform.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(bivano::about::ProductName());
    QApplication::setApplicationVersion(QString::fromUtf8(bivano::product::kVersion.data()));
    QApplication::setDesktopFileName(QStringLiteral("org.example.LativoBivano"));
    QApplication::setWindowIcon(bivano::ui::MakeAppIcon());

    bivano::ui::SystemPlatform platform;
    bivano::ui::frmAbout about_window(platform.Seams());
    return QApplication::exec();
}
