#include <QApplication>

#include "ui/about/clock.h"
#include "ui/about/frm_about.h"
#include "ui/common/artwork.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lativo Bivano"));
    QApplication::setDesktopFileName(QStringLiteral("lativo-bivano"));
    QApplication::setWindowIcon(bivano::ui::MakeAppIcon());

    const bivano::ui::SystemClock clock;
    bivano::ui::frmAbout about_window(clock);
    return QApplication::exec();
}
