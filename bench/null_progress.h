// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/conversion_progress.h"

namespace bivano::bench {

// A receiver that does nothing: the conversion's own cost.
class NullProgress final : public ConversionProgress {
  public:
    void ClearResult() override {}
    void SetMaximum(std::int32_t) override {}
    void SetPosition(std::int32_t) override {}
    void RepaintProgress() override {}
    void AppendResult(std::u16string_view) override {}
    void RepaintResult() override {}
    void RepaintWindow() override {}
};

}  // namespace bivano::bench
