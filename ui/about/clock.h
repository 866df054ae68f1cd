// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace bivano::ui {

// The time of day in whole seconds, as the start-up countdown reads it.
// Tests put a hand-wound clock in its place.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual int SecondsOfDay() const = 0;
};

class SystemClock final : public Clock {
  public:
    int SecondsOfDay() const override;
};

}  // namespace bivano::ui
