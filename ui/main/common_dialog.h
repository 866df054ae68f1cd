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
    QStringList name_filters;  // Qt's form: "Text files (*.[Tt][Xx][Tt])"
    QString default_suffix;    // added to a name typed without one
    bool must_exist = false;
    bool confirm_overwrite = false;
    QString file_name;  // proposed when the dialog opens
};

// Shows the platform's file dialog; nothing when the user cancels. Tests put
// a scripted double in its place.
class FileDialogBackend {
  public:
    virtual ~FileDialogBackend() = default;
    virtual std::optional<QString> Run(QWidget* parent, const FileDialogRequest& request) = 0;
};

class QtFileDialogBackend final : public FileDialogBackend {
  public:
    std::optional<QString> Run(QWidget* parent, const FileDialogRequest& request) override;
};

// Sets a QFileDialog up as `request` asks; the real backend's only logic,
// kept apart so that it can be checked without showing a modal dialog.
void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

// The main window's one file dialog, with the properties its two file
// commands set before each showing. The file name carries over from one
// showing to the next.
class CommonDialog {
  public:
    static constexpr int cdlCancel = 32755;           // error code of a cancel
    static constexpr int cdlOFNOverwritePrompt = 2;   // ask before replacing
    static constexpr int cdlOFNFileMustExist = 4096;  // only existing files

    explicit CommonDialog(FileDialogBackend& backend) : backend_(backend) {}

    bool CancelError = false;
    int Flags = 0;
    QString DefaultExt;
    QString Filter;  // "Description|pattern|Description|pattern"
    QString FileName;

    // Shows the dialog; returns false when the user cancels (the error code
    // cdlCancel when CancelError is set), leaving FileName as it was.
    bool ShowOpen(QWidget* parent) { return Show(parent, FileDialogRequest::Mode::Open); }
    bool ShowSave(QWidget* parent) { return Show(parent, FileDialogRequest::Mode::Save); }

    // "Text files|*.TXT|All files|*.*" -> {"Text files (*.[Tt][Xx][Tt])", "All files (*)"}:
    // file names on Linux differ in case, extensions here do not.
    static QStringList NameFilters(const QString& filter);

  private:
    bool Show(QWidget* parent, FileDialogRequest::Mode mode);

    FileDialogBackend& backend_;
};

}  // namespace bivano::ui
