// SPDX-License-Identifier: GPL-3.0-or-later
#include "clock.h"

#include <QTime>

namespace bivano::ui {

int SystemClock::SecondsOfDay() const {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000;
}

}  // namespace bivano::ui
