// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/lativo/conversion_progress.h"

namespace bivano::testing {

// Records every call a conversion makes, in order.
class RecordingProgress final : public ConversionProgress {
  public:
    enum class Kind {
        ClearResult,
        SetMaximum,
        SetPosition,
        RepaintProgress,
        AppendResult,
        RepaintResult,
        RepaintWindow
    };
    struct Call {
        Call(Kind call_kind, std::int32_t call_value = 0, std::u16string call_text = {})
            : kind(call_kind), value(call_value), text(std::move(call_text)) {}
        Kind kind;
        std::int32_t value;
        std::u16string text;
        bool operator==(const Call&) const = default;
    };

    void ClearResult() override { calls.push_back({Kind::ClearResult}); }
    void SetMaximum(std::int32_t count) override { calls.push_back({Kind::SetMaximum, count}); }
    void SetPosition(std::int32_t value) override { calls.push_back({Kind::SetPosition, value}); }
    void RepaintProgress() override { calls.push_back({Kind::RepaintProgress}); }
    void AppendResult(std::u16string_view text) override {
        calls.push_back({Kind::AppendResult, 0, std::u16string(text)});
    }
    void RepaintResult() override { calls.push_back({Kind::RepaintResult}); }
    void RepaintWindow() override { calls.push_back({Kind::RepaintWindow}); }

    std::vector<Call> calls;
};

using Kind = RecordingProgress::Kind;
using Call = RecordingProgress::Call;

inline Call Clear() {
    return {Kind::ClearResult};
}
inline Call Maximum(std::int32_t count) {
    return {Kind::SetMaximum, count};
}
inline Call Position(std::int32_t value) {
    return {Kind::SetPosition, value};
}
inline Call Append(std::u16string text) {
    return {Kind::AppendResult, 0, std::move(text)};
}
inline Call ProgressRepaint() {
    return {Kind::RepaintProgress};
}
inline Call ResultRepaint() {
    return {Kind::RepaintResult};
}
inline Call WindowRepaint() {
    return {Kind::RepaintWindow};
}

inline constexpr std::u16string_view kTail = u"\r\n\r\n\r\n\r\n";

// UTF-8 to UTF-16 for readable test tables, through the program's own codec.
std::u16string U16(std::string_view utf8);
// UTF-16 to UTF-8 for readable failure messages.
std::string U8(std::u16string_view utf16);

}  // namespace bivano::testing
