// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/file_dialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTranslator>

namespace bivano::ui {

void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
    const bool open = request.mode == FileDialogRequest::Mode::Open;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setNameFilters(request.name_filters);
    // Qt reads "*.*" as names with a dot; the model shows all names instead.
    const auto widen = [&dialog](const QString& filter) {
        if (filter.contains(QLatin1String("(*.*)"))) {
            if (auto* model = dialog.findChild<QFileSystemModel*>()) {
                model->setNameFilters({QStringLiteral("*")});
            }
        }
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, widen, Qt::QueuedConnection);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Φάκελος:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Όνομα αρχείου:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Αρχεία τύπου:"));
    dialog.setLabelText(QFileDialog::Accept,
                        open ? QStringLiteral("Άνοιγμα") : QStringLiteral("Αποθήκευση"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Άκυρο"));
    dialog.setDefaultSuffix(request.default_suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirm_overwrite);
    if (!request.file_name.isEmpty()) {
        dialog.selectFile(request.file_name);
    }
    if (request.name_filters.contains(request.selected_filter)) {
        dialog.selectNameFilter(request.selected_filter);
        widen(request.selected_filter);
    }
}

std::optional<QString> QtFileDialogBackend::Run(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    FileDialogRequest kept = request;
    kept.selected_filter = chosen_filter_;
    ConfigureFileDialog(dialog, kept);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    chosen_filter_ = dialog.selectedNameFilter();
    if (!accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

void InstallGreekDialogTexts() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral(":/i18n/qt_dialogs_el.qm"))) {
        QCoreApplication::installTranslator(translator);
    }
}

}  // namespace bivano::ui
