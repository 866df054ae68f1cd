// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/lativo/conversion_options.h"
#include "core/lativo/to_latin_folds.h"

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
    // The form of a character that folds to `fold` (to_latin_folds.h).
    LatinForm FoldedForm(std::u16string_view fold) const;

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
// pays for no progress reporting. ToGreekRules has the same shape.
template <class Sink>
class ToLatinRules {
  public:
    ToLatinRules(Sink& sink, const ConversionOptions& options) : sink_(sink), forms_(options) {}

    // Converts `text` from the 1-based `position` on and returns the
    // position after its end: these rules look at no character ahead, so
    // nothing is held back and Finish does the same.
    std::size_t Convert(std::u16string_view text, std::size_t position) {
        // Locals, so that what the sink writes cannot make them be read again.
        Sink& sink = sink_;
        bool after_letter = after_letter_;
        for (std::size_t index = position - 1; index < text.size(); ++index) {
            const std::size_t at = index + 1;
            sink.BeginCharacter(at);
            const char16_t character = text[index];
            if (const LatinForm* form = forms_.Find(character)) {
                after_letter = form->letter;
                if (form->length != 0) {
                    sink.Append(*form);
                }
            } else if (!(after_letter && IsCombiningMark(character))) {
                after_letter = false;
                sink.Append(character);
            }
            sink.EndCharacter(at);
        }
        after_letter_ = after_letter;
        return text.size() + 1;
    }
    std::size_t Finish(std::u16string_view text, std::size_t position) {
        return Convert(text, position);
    }

  private:
    Sink& sink_;
    LatinForms forms_;
    bool after_letter_ = false;  // the last character was a Greek letter, or marks after one
};

}  // namespace bivano::internal
