// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "conversion_options.h"
#include "greek_fold.h"

namespace bivano::internal {

// The Latin text of one source character: up to three characters ("kai" for
// the kai symbol), or none (the iota subscript).
struct LatinForm {
    std::array<char16_t, 4> text{};
    std::uint8_t length = 0;
    bool present = false;  // the character has a form of its own
    bool letter = false;   // a Greek letter: combining marks after it are dropped

    std::u16string_view View() const { return {text.data(), length}; }
};

// The Latin form of every Greek character under one set of options, for the
// two Unicode blocks that hold Greek: U+0370 to U+03FF and U+1F00 to U+1FFF.
class LatinForms {
  public:
    explicit LatinForms(const ConversionOptions& options);

    // The form of `character`, or nothing when it is copied unchanged.
    const LatinForm* Find(char16_t character) const {
        const std::size_t basic = static_cast<std::size_t>(character - kBasicFirst);
        if (basic < basic_.size()) {
            return basic_[basic].present ? &basic_[basic] : nullptr;
        }
        const std::size_t extended = static_cast<std::size_t>(character - kExtendedFirst);
        if (extended < extended_.size()) {
            return extended_[extended].present ? &extended_[extended] : nullptr;
        }
        return nullptr;
    }

  private:
    static constexpr char16_t kBasicFirst = u'\u0370';
    static constexpr char16_t kExtendedFirst = u'\u1F00';

    LatinForm* Slot(char16_t character);

    std::array<LatinForm, 0x90> basic_{};
    std::array<LatinForm, 0x100> extended_{};
};

// The Greek-to-Latin rules over a source that may come in pieces. `Sink`
// receives what a run shows:
//   BeginCharacter(position)  before the character at that 1-based position;
//   Append(form) or Append(character)
//                             its output, when it has one;
//   EndCharacter(position)    after it.
// A sink that reports nothing makes these empty inline calls, so a stream
// pays for no progress reporting.
template <class Sink>
class LatinRules {
  public:
    explicit LatinRules(const ConversionOptions& options) : forms_(options) {}

    // Converts `piece`, whose first character stands at `first_position`.
    void Convert(std::u16string_view piece, std::size_t first_position, Sink& sink) {
        for (std::size_t index = 0; index < piece.size(); ++index) {
            const std::size_t position = first_position + index;
            sink.BeginCharacter(position);
            const char16_t character = piece[index];
            if (const LatinForm* form = forms_.Find(character)) {
                after_letter_ = form->letter;
                if (form->length != 0) {
                    sink.Append(*form);
                }
            } else if (!(after_letter_ && IsCombiningMark(character))) {
                after_letter_ = false;
                sink.Append(character);
            }
            sink.EndCharacter(position);
        }
    }

  private:
    LatinForms forms_;
    bool after_letter_ = false;  // the last character was a Greek letter, or marks after one
};

}  // namespace bivano::internal
