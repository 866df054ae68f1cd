// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lativo/conversion_stream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "core/lativo/romanizer.h"
#include "core/lativo/to_greek_rules.h"
#include "core/lativo/to_latin_rules.h"

namespace bivano {
namespace {

// Writes straight into room made beforehand; reports nothing.
class BufferSink {
  public:
    static constexpr bool kReports = false;

    // Writes from `cursor` on. `groups`, when given, receives where verbatim
    // groups land, counted from `base` at the buffer's start.
    void Restart(char16_t* cursor, std::vector<TextRange>* groups = nullptr, std::size_t base = 0) {
        start_ = cursor_ = cursor;
        groups_ = groups;
        base_ = base;
    }
    char16_t* cursor() const { return cursor_; }

    void BeginCharacter(std::size_t) {}
    void EndCharacter(std::size_t) {}
    void SetPosition(std::size_t) {}
    void RepaintProgress() {}
    void RepaintResult() {}
    // A group copied between asterisks.
    void Append(std::u16string_view text) {
        if (groups_ != nullptr) {
            const std::size_t at = base_ + static_cast<std::size_t>(cursor_ - start_);
            groups_->push_back({at, at + text.size()});
        }
        cursor_ = std::copy(text.begin(), text.end(), cursor_);
    }
    void Append(char16_t character) { *cursor_++ = character; }
    // All four places are written, and the cursor moves by the length:
    // no branch on it. The buffer has room for the three extra.
    void Append(const internal::LatinForm& form) {
        std::memcpy(cursor_, form.text.data(), sizeof form.text);
        cursor_ += form.length;
    }

  private:
    char16_t* start_ = nullptr;
    char16_t* cursor_ = nullptr;
    std::vector<TextRange>* groups_ = nullptr;
    std::size_t base_ = 0;
};

// No character has a Latin form longer than this.
constexpr std::size_t kLongestLatinForm = 3;

}  // namespace

struct LatinStream::State {
    explicit State(const ConversionOptions& options) : rules(sink, options) {
        if (options.scheme != LatinScheme::Lativo) {
            romanizer.emplace(options.scheme);
        }
    }
    BufferSink sink;
    internal::ToLatinRules<BufferSink> rules;
    std::optional<internal::Romanizer> romanizer;  // a published scheme instead
};

LatinStream::LatinStream(const ConversionOptions& options)
    : state_(std::make_unique<State>(options)) {}
LatinStream::~LatinStream() = default;
LatinStream::LatinStream(LatinStream&&) noexcept = default;
LatinStream& LatinStream::operator=(LatinStream&&) noexcept = default;

void LatinStream::Convert(std::u16string_view piece, std::u16string& out) {
    if (state_->romanizer) {
        state_->romanizer->Convert(piece, out);
        return;
    }
    // Through a buffer, so that no room is made ready for the longest forms.
    constexpr std::size_t kStep = 4096;
    std::array<char16_t, kStep * kLongestLatinForm + 4> buffer;
    out.reserve(out.size() + piece.size() + piece.size() / 4);
    while (!piece.empty()) {
        const std::u16string_view part = piece.substr(0, kStep);
        state_->sink.Restart(buffer.data());
        state_->rules.Convert(part, 1);
        out.append(buffer.data(), state_->sink.cursor());
        piece.remove_prefix(part.size());
    }
}

void LatinStream::Finish(std::u16string& out) {
    if (state_->romanizer) {
        state_->romanizer->Finish(out);
    }
}

struct GreekStream::State {
    explicit State(const ConversionOptions& options) : rules(sink, options) {}
    BufferSink sink;
    internal::ToGreekRules<BufferSink> rules;
    // The source from the previous character of the next pass on (or from
    // the start, before the first pass).
    std::u16string held;
    std::size_t position = 1;  // of the next pass, in `held`
    std::vector<TextRange> groups;

    void Run(std::u16string& out, bool final) {
        // A window of the text at a time, through a buffer, so that no room
        // is made ready beyond what is written. A pass never writes more
        // than it reads, and a window's passes read at most its own length
        // plus one look-ahead.
        constexpr std::size_t kStep = 4096;
        std::array<char16_t, kStep + 2 * internal::kGreekLookahead> buffer;
        groups.clear();
        out.reserve(out.size() + held.size());
        for (;;) {
            const std::size_t end =
                std::min(held.size(), position - 1 + kStep + internal::kGreekLookahead);
            const bool last_window = end == held.size();
            sink.Restart(buffer.data(), &groups, out.size());
            const std::u16string_view window = std::u16string_view(held).substr(0, end);
            position = final && last_window ? rules.Finish(window, position)
                                            : rules.Convert(window, position);
            out.append(buffer.data(), sink.cursor());
            if (last_window) {
                break;
            }
        }
        if (position >= 2) {
            // Keep the previous character of the next pass and what follows.
            const std::size_t drop = std::min(position - 2, held.size());
            held.erase(0, drop);
            position -= drop;
        }
    }
};

GreekStream::GreekStream(const ConversionOptions& options)
    : state_(std::make_unique<State>(options)) {}
GreekStream::~GreekStream() = default;
GreekStream::GreekStream(GreekStream&&) noexcept = default;
GreekStream& GreekStream::operator=(GreekStream&&) noexcept = default;

void GreekStream::Convert(std::u16string_view piece, std::u16string& out) {
    state_->held.append(piece);
    state_->Run(out, false);
}

void GreekStream::Finish(std::u16string& out) {
    state_->Run(out, true);
    state_->held.clear();
    state_->position = 1;
}

std::span<const TextRange> GreekStream::VerbatimGroups() const {
    return state_->groups;
}

}  // namespace bivano
