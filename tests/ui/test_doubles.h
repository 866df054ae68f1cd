// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

#include "ui/common/message_box.h"
#include "ui/main/common_dialog.h"

#include <ostream>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace bivano::testing {

// Answers file dialogs from a script instead of showing them.
class ScriptedFileDialog final : public ui::FileDialogBackend {
  public:
    std::optional<QString> Run(QWidget*, const ui::FileDialogRequest& request) override {
        requests.push_back(request);
        if (answers.empty() || answers.front().isNull()) {
            if (!answers.empty()) {
                answers.pop_front();
            }
            return std::nullopt;
        }
        const QString answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void Choose(const QString& path) { answers.push_back(path); }
    void Cancel() { answers.push_back(QString()); }

    std::deque<QString> answers;  // a null string stands for Cancel
    std::vector<ui::FileDialogRequest> requests;
};

// Records messages instead of showing them.
class RecordingMessageBox final : public ui::MessageBox {
  public:
    void Show(QWidget*, const QString& text) override { messages << text; }
    QStringList messages;
};

}  // namespace bivano::testing
