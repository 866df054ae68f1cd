// SPDX-License-Identifier: GPL-3.0-or-later
#include "result_feed.h"

#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <utility>

namespace bivano::ui {

ResultFeed::ResultFeed(QPlainTextEdit& box, QProgressBar& bar, const Clock& clock)
    : box_(box), bar_(bar), clock_(clock) {}

void ResultFeed::Clear() {
    Reset();
    // The first screen repaint of a run waits one interval: a short run
    // shows its result at the end, at once.
    run_start_ = last_progress_paint_ = last_result_paint_ = clock_.Milliseconds();
    last_result_cost_ = 0;
}

void ResultFeed::Reset() {
    box_.clear();
    pending_.clear();
    ends_in_cr_ = false;
}

void ResultFeed::SetMaximum(std::int32_t count) {
    bar_.setMaximum(count);
}

void ResultFeed::SetPosition(std::int32_t value) {
    // Pushing every value to the bar would cost more than the conversion;
    // it is shown when a repaint asks for it, and at the end of the run.
    position_ = value;
    if (value == 0) {
        ShowPosition();
    }
}

void ResultFeed::Append(std::u16string_view text) {
    pending_.append(QStringView(text.data(), static_cast<qsizetype>(text.size())));
}

bool ResultFeed::RepaintProgress() {
    const qint64 now = clock_.Milliseconds();
    if (now - last_progress_paint_ < kPaintIntervalMs) {
        return false;
    }
    last_progress_paint_ = now;
    ShowPosition();
    bar_.repaint();
    return true;
}

bool ResultFeed::RunEndsSoon() const {
    const qint64 maximum = bar_.maximum();
    if (position_ <= 0 || maximum <= 0) {
        return false;
    }
    const double done = static_cast<double>(position_) / static_cast<double>(maximum);
    const double remaining_ms = static_cast<double>(Elapsed()) * (1.0 - done) / done;
    return remaining_ms < kEndsSoonMs;
}

bool ResultFeed::RepaintResult() {
    // Bringing text into a long line lays the whole line out again, so the
    // pause after a repaint grows with what the last one cost: the repaints
    // then take a bounded share of the run, however long the text. Near the
    // end of a run the final result is only moments away, and a repaint
    // would just delay it.
    const qint64 start = clock_.Milliseconds();
    const bool due =
        start - last_result_paint_ >= std::max<qint64>(kPaintIntervalMs, 8 * last_result_cost_);
    if (!due || RunEndsSoon()) {
        return false;
    }
    Flush();
    box_.viewport()->repaint();
    last_result_paint_ = clock_.Milliseconds();
    last_result_cost_ = last_result_paint_ - start;
    return true;
}

void ResultFeed::Finish() {
    Flush();
    ShowPosition();
}

void ResultFeed::ShowPosition() {
    if (bar_.value() != position_) {
        bar_.setValue(position_);
    }
}

void ResultFeed::Flush() {
    if (pending_.isEmpty()) {
        return;
    }
    QString piece = std::exchange(pending_, QString());
    if (ends_in_cr_ && piece.startsWith(QLatin1Char('\n'))) {
        piece.remove(0, 1);
    }
    if (piece.isEmpty()) {
        return;
    }
    ends_in_cr_ = piece.endsWith(QLatin1Char('\r'));
    if (box_.document()->isEmpty()) {
        box_.setPlainText(piece);
    } else {
        QTextCursor end(box_.document());
        end.movePosition(QTextCursor::End);
        end.insertText(piece);
    }
}

}  // namespace bivano::ui
