#include <QApplication>

#include "core/conversion_options.h"
#include "ui/common/artwork.h"
#include "ui/main/frm_main.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lativo Bivano"));
    QApplication::setWindowIcon(bivano::ui::MakeAppIcon());

    const bivano::ConversionOptions current_options;
    bivano::ui::FrmMain main_window(current_options);
    main_window.show();
    return QApplication::exec();
}
