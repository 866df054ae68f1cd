// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_dialog.h"

#include <QFileDialog>

namespace bivano::ui {

void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
    const bool open = request.mode == FileDialogRequest::Mode::Open;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(request.name_filters);
    dialog.setDefaultSuffix(request.default_suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirm_overwrite);
    if (!request.file_name.isEmpty()) {
        dialog.selectFile(request.file_name);
    }
}

std::optional<QString> QtFileDialogBackend::Run(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    ConfigureFileDialog(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace bivano::ui
