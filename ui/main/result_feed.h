// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <string_view>

#include "ui/common/clock.h"

class QPlainTextEdit;
class QProgressBar;

namespace bivano::ui {

// Brings a running conversion's output into the result box and its
// position into the progress bar, as often as the screen can show them and
// no more: appended text waits until a repaint is due, as many small
// inserts into a long line are slow, and repaints are paced by what they
// cost. The main window's progress receiver forwards to it.
class ResultFeed {
  public:
    ResultFeed(QPlainTextEdit& box, QProgressBar& bar, const Clock& clock);

    // Starts a run: the box is emptied and the pacing starts over.
    void Clear();
    // Empties the box outside a run.
    void Reset();

    void SetMaximum(std::int32_t count);
    void SetPosition(std::int32_t value);
    void Append(std::u16string_view text);

    // Each returns whether it painted, that is whether the run has gone on
    // long enough to be seen going on.
    bool RepaintProgress();
    bool RepaintResult();
    // The end of a run: everything into the box, the bar at its value.
    void Finish();

    // Milliseconds since the run started.
    qint64 Elapsed() const { return clock_.Milliseconds() - run_start_; }
    qsizetype PendingSize() const { return pending_.size(); }

    // Screen repaints during a run at most this often: enough to watch the
    // bar move, and few enough that painting costs nothing next to
    // converting.
    static constexpr qint64 kPaintIntervalMs = 40;
    // A run expected to end within this time shows its result only at the end.
    static constexpr double kEndsSoonMs = 250;

  private:
    void Flush();
    void ShowPosition();
    bool RunEndsSoon() const;

    QPlainTextEdit& box_;
    QProgressBar& bar_;
    const Clock& clock_;

    QString pending_;
    // The box's last piece ended in CR, already shown as a line break: a LF
    // that follows it belongs to the same break.
    bool ends_in_cr_ = false;
    std::int32_t position_ = 0;
    qint64 run_start_ = 0;
    qint64 last_progress_paint_ = 0;
    qint64 last_result_paint_ = 0;
    qint64 last_result_cost_ = 0;
};

}  // namespace bivano::ui
