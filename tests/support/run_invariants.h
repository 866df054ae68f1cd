// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "recording_progress.h"

namespace bivano::testing {

// Checks what every run must keep, whatever the source: the call order, the
// appended text adding up to the result, positions within the maximum, and
// the tail. Returns a description of the first breach, or nothing.
inline std::optional<std::string> RunInvariantBreach(const RecordingProgress& progress,
                                                     std::u16string_view result,
                                                     std::size_t source_length,
                                                     std::u16string_view credit) {
    const auto& calls = progress.calls;
    if (calls.size() < 4 || calls.front().kind != Kind::ClearResult) {
        return "the run must start with ClearResult";
    }
    if (calls[calls.size() - 2] != Position(0) || calls.back().kind != Kind::RepaintWindow) {
        return "the run must end with SetPosition(0) and RepaintWindow";
    }
    const std::u16string tail = std::u16string(kTail) + std::u16string(credit);
    if (calls[calls.size() - 3].kind != Kind::AppendResult ||
        calls[calls.size() - 3].text != tail) {
        return "the tail must be appended in one piece just before SetPosition(0)";
    }
    const bool has_maximum = calls[1].kind == Kind::SetMaximum;
    if (has_maximum != (source_length > 0)) {
        return "SetMaximum must come second exactly when the source is not empty";
    }
    if (has_maximum && calls[1].value != static_cast<std::int32_t>(source_length)) {
        return "SetMaximum must give the source length";
    }
    std::u16string appended;
    std::int32_t last_position = 0;
    for (std::size_t i = 1; i + 3 < calls.size(); ++i) {
        const Call& call = calls[i];
        switch (call.kind) {
            case Kind::ClearResult:
            case Kind::RepaintWindow:
                return "ClearResult and RepaintWindow come once each";
            case Kind::SetMaximum:
                if (i != 1) {
                    return "SetMaximum comes once, second";
                }
                break;
            case Kind::SetPosition:
                if (call.value <= last_position || call.value > calls[1].value) {
                    return "positions must rise within 1 and the maximum";
                }
                last_position = call.value;
                break;
            case Kind::AppendResult:
                if (call.text.empty()) {
                    return "AppendResult must carry text";
                }
                appended += call.text;
                break;
            case Kind::RepaintProgress:
            case Kind::RepaintResult:
                if (calls[i - 1].kind == Kind::SetMaximum) {
                    return "no repaint before the first pass";
                }
                break;
        }
    }
    appended += tail;
    if (appended != result) {
        return "the appended texts must add up to the result";
    }
    if (result.size() < tail.size() || result.substr(result.size() - tail.size()) != tail) {
        return "the result must end with the tail";
    }
    return std::nullopt;
}

}  // namespace bivano::testing
