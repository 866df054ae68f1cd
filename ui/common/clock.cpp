// SPDX-License-Identifier: GPL-3.0-or-later
#include "clock.h"

#include <QDeadlineTimer>
#include <QTime>

namespace bivano::ui {

SystemClock::SystemClock() : start_(QDeadlineTimer::current().deadline()) {}

int SystemClock::SecondsOfDay() const {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000;
}

qint64 SystemClock::Milliseconds() const {
    return QDeadlineTimer::current().deadline() - start_;
}

}  // namespace bivano::ui
