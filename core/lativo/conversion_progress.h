// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace bivano {

// Receives what a running conversion shows: the result box, the progress bar
// and repaint requests. Both conversions call it in this order:
//   ClearResult; SetMaximum(length) unless the source is empty;
//   per character SetPosition(p) then AppendResult(output);
//   AppendResult(four CR LF pairs + credit); SetPosition(0); RepaintWindow.
// The repaint requests come in between, always after an AppendResult, so a
// receiver that buffers appended text must have shown all of it by then.
// Positions never exceed the last maximum.
class ConversionProgress {
  public:
    virtual ~ConversionProgress() = default;

    virtual void ClearResult() = 0;
    virtual void SetMaximum(std::int32_t count) = 0;
    virtual void SetPosition(std::int32_t value) = 0;
    virtual void RepaintProgress() = 0;
    // The view is valid only during the call.
    virtual void AppendResult(std::u16string_view text) = 0;
    virtual void RepaintResult() = 0;
    virtual void RepaintWindow() = 0;
};

// Ignores every call: for callers that want only the result.
class SilentProgress final : public ConversionProgress {
  public:
    void ClearResult() override {}
    void SetMaximum(std::int32_t) override {}
    void SetPosition(std::int32_t) override {}
    void RepaintProgress() override {}
    void AppendResult(std::u16string_view) override {}
    void RepaintResult() override {}
    void RepaintWindow() override {}
};

}  // namespace bivano
