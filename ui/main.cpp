// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/about/frm_about.h"
#include "ui/common/about_info.h"
#include "ui/common/artwork.h"
#include "ui/common/file_dialog.h"
#include "ui/common/platform.h"

namespace {

// What the program says without opening a window: help and version need
// no display, and a missing display is said plainly rather than by Qt's
// abort.
int Answered(int argc, char* argv[]) {
    for (int index = 1; index < argc; ++index) {
        const char* argument = argv[index];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            std::fputs(
                "Χρήση: lativo-bivano [--help] [--version]\n"
                "Ανοίγει το παράθυρο του Lativo Bivano, που μετατρέπει κείμενο από\n"
                "Ελληνικά σε Lativo και αντίστροφα. Για αρχεία και σωληνώσεις χωρίς\n"
                "παράθυρο: bivano --help.\n",
                stdout);
            return EXIT_SUCCESS;
        }
        if (std::strcmp(argument, "--version") == 0 || std::strcmp(argument, "-V") == 0) {
            std::printf("lativo-bivano (%s) %s\n", bivano::product::kName.data(),
                        bivano::product::kVersion.data());
            return EXIT_SUCCESS;
        }
    }
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM")) {
        std::fputs(
            "lativo-bivano: δεν υπάρχει οθόνη για το παράθυρο (DISPLAY): ξεκινήστε το "
            "από την επιφάνεια εργασίας, ή χωρίς παράθυρο χρησιμοποιήστε το bivano\n",
            stderr);
        return EXIT_FAILURE;
    }
    return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const int status = Answered(argc, argv); status >= 0) {
        return status;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(bivano::about::ProductName());
    QApplication::setApplicationVersion(QString::fromUtf8(bivano::product::kVersion.data()));
    QApplication::setDesktopFileName(QStringLiteral("org.example.LativoBivano"));
    QApplication::setWindowIcon(bivano::ui::MakeAppIcon());
    bivano::ui::InstallGreekDialogTexts();

    bivano::ui::SystemPlatform platform;
    bivano::ui::frmAbout about_window(platform.Seams());
    return QApplication::exec();
}
