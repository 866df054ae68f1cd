// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "core/lativo/conversion_progress.h"
#include "core/lativo/result_tail.h"

namespace bivano::internal {

// Maps source positions onto the receiver's 32-bit progress range. Sources up
// to INT32_MAX code units are reported exactly; longer ones (several GiB) are
// reported in proportion, so that no count overflows and no position passes
// the maximum.
class ProgressScale {
  public:
    // The divisor rounds up without adding to `length`, which for the
    // longest lengths a 32-bit size_t holds would wrap to a divisor of 0.
    explicit ProgressScale(std::size_t length)
        : divisor_(length <= kLimit ? 1 : length / kLimit + (length % kLimit != 0 ? 1 : 0)) {}

    std::int32_t operator()(std::size_t position) const {
        // The division is skipped for every source that fits, i.e. always in practice.
        return static_cast<std::int32_t>(divisor_ == 1 ? position : position / divisor_);
    }

  private:
    static constexpr std::size_t kLimit =
        static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    std::size_t divisor_;
};

// Opening calls of a run: ClearResult, then SetMaximum unless the source is
// empty. Returns the scale for the run's positions.
inline ProgressScale BeginRun(std::size_t length, ConversionProgress& progress) {
    progress.ClearResult();
    const ProgressScale scale(length);
    if (length > 0) {
        progress.SetMaximum(scale(length));
    }
    return scale;
}

// Closing calls of a run: the tail, the bar back to 0, a repaint.
inline void EndRun(std::u16string& result, std::u16string_view credit,
                   ConversionProgress& progress) {
    const std::size_t tail_start = result.size();
    result.append(kTailBreaks);
    result.append(credit);
    progress.AppendResult(std::u16string_view(result).substr(tail_start));
    progress.SetPosition(0);
    progress.RepaintWindow();
}

// A whole run that converts its source a step at a time, each step reported
// once its output is known: `convert(piece, last, result)` appends what
// the piece gives (with `last`, what was held back too).
template <class Convert>
std::u16string RunInSteps(std::u16string_view source, std::u16string_view credit,
                          ConversionProgress& progress, Convert convert) {
    constexpr std::size_t kStep = 4096;
    const ProgressScale scale = BeginRun(source.size(), progress);
    std::u16string result;
    result.reserve(source.size() + source.size() / 4 + kTailBreaks.size() + credit.size());
    for (std::size_t at = 0; at < source.size(); at += kStep) {
        const std::size_t end = std::min(source.size(), at + kStep);
        const std::size_t start = result.size();
        convert(source.substr(at, end - at), end == source.size(), result);
        progress.SetPosition(scale(end));
        if (result.size() > start) {
            progress.AppendResult(std::u16string_view(result).substr(start));
        }
        progress.RepaintProgress();
        progress.RepaintResult();
    }
    EndRun(result, credit, progress);
    return result;
}

}  // namespace bivano::internal
