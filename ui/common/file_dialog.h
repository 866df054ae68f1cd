// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QFileDialog;
class QWidget;

namespace bivano::ui {

// What one showing of the file dialog asks for.
struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QStringList name_filters;  // Qt's form: "Text files (*.TXT)"
    QString default_suffix;    // added to a name typed without one
    bool must_exist = false;
    bool confirm_overwrite = false;
    QString file_name;        // proposed when the dialog opens
    QString selected_filter;  // the file type chosen last time, if any
};

// Shows the platform's file dialog; nothing when the user cancels. Tests put
// a scripted double in its place.
class FileDialogBackend {
  public:
    virtual ~FileDialogBackend() = default;
    virtual std::optional<QString> Run(QWidget* parent, const FileDialogRequest& request) = 0;
};

// The platform's dialog. One dialog's choice of file type is kept from one
// showing to the next, as a dialog kept over the program's life would.
class QtFileDialogBackend final : public FileDialogBackend {
  public:
    std::optional<QString> Run(QWidget* parent, const FileDialogRequest& request) override;

  private:
    QString chosen_filter_;
};

// Sets a QFileDialog up as `request` asks; the real backend's only logic,
// kept apart so that it can be checked without showing a modal dialog.
// Patterns match names in any case, as they do where the program comes
// from, and "*.*" matches every name, a dot in it or not.
// Its labels and buttons are Greek, as the whole window is.
void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

// Greek for the texts Qt's own dialogs show (titles, tool tips, column
// heads, the question before a file is replaced, Yes and No): Debian has
// no Greek catalogue for Qt. Call once, with the application made.
void InstallGreekDialogTexts();

}  // namespace bivano::ui
