// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_dialog.h"

#include <QFileDialog>
#include <QFileSystemModel>

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

}  // namespace bivano::ui
