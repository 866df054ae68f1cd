// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "ui/common/file_dialog.h"

class QWidget;

namespace bivano::ui {

// The main window's one file dialog, with the properties its two file
// commands set before each showing. The file name carries over from one
// showing to the next.
class CommonDialog {
  public:
    static constexpr int cdlOFNOverwritePrompt = 2;   // ask before replacing
    static constexpr int cdlOFNFileMustExist = 4096;  // only existing files

    explicit CommonDialog(FileDialogBackend& backend) : backend_(backend) {}

    int Flags = 0;
    QString DefaultExt;
    QString Filter;  // "Description|pattern|Description|pattern"
    QString FileName;

    // Shows the dialog; returns false when the user cancels, leaving
    // FileName as it was.
    bool ShowOpen(QWidget* parent) { return Show(parent, FileDialogRequest::Mode::Open); }
    bool ShowSave(QWidget* parent) { return Show(parent, FileDialogRequest::Mode::Save); }

    // "Text files|*.TXT|All files|*.*" -> {"Text files (*.TXT)", "All files (*.*)"}.
    // The dialog matches them in any case, and "*.*" matches every name.
    static QStringList NameFilters(const QString& filter);

  private:
    bool Show(QWidget* parent, FileDialogRequest::Mode mode);

    FileDialogBackend& backend_;
};

}  // namespace bivano::ui
