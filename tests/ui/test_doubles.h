// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <optional>
#include <vector>

#include <QElapsedTimer>

#include "ui/common/platform.h"
#include "ui/main/common_dialog.h"

#include <ostream>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace bivano::testing {

// A hunspell word list in ISO-8859-7, as Debian's hunspell-el ships it, in
// `folder`: καλημέρα, εσύ, είσαι, έλα. Returns its name.
inline std::string WriteGreekWordList(const QTemporaryDir& folder) {
    QByteArray bytes = "4\n";
    for (const QString& word : {QStringLiteral("καλημέρα"), QStringLiteral("εσύ"),
                                QStringLiteral("είσαι"), QStringLiteral("έλα")}) {
        for (const QChar c : word) {
            bytes += static_cast<char>(c.unicode() - 0x2D0);
        }
        bytes += '\n';
    }
    QFile file(folder.filePath("el_GR.dic"));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        return {};
    }
    return QFile::encodeName(file.fileName()).toStdString();
}

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

// A clock whose time of day moves only when the test says so. Its
// milliseconds run with real time unless the test sets them.
class HandWoundClock final : public ui::Clock {
  public:
    explicit HandWoundClock(int seconds_of_day = 0) : now(seconds_of_day) { started_.start(); }
    int SecondsOfDay() const override { return now; }
    qint64 Milliseconds() const override {
        return milliseconds ? *milliseconds : started_.elapsed();
    }

    int now;
    std::optional<qint64> milliseconds;

  private:
    QElapsedTimer started_;
};

// The three platform seams as doubles, for windows under test.
struct TestPlatform {
    ui::Platform Seams() { return {clock, file_dialog, message_box}; }

    HandWoundClock clock{43200};
    ScriptedFileDialog file_dialog;
    RecordingMessageBox message_box;
};

}  // namespace bivano::testing
