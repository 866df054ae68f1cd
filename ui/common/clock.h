// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace bivano::ui {

// Time as the windows read it: the time of day in whole seconds for the
// start-up countdown, and a steady count of milliseconds for pacing the
// repaints of a run. Tests put a hand-wound clock in its place.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual int SecondsOfDay() const = 0;
    virtual qint64 Milliseconds() const = 0;
};

class SystemClock final : public Clock {
  public:
    SystemClock();
    int SecondsOfDay() const override;
    qint64 Milliseconds() const override;

  private:
    qint64 start_;
};

}  // namespace bivano::ui
