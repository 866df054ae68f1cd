// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/encoding/cp1253.h"
#include "core/lativo/conversion_options.h"
#include "core/lativo/verbatim.h"

namespace bivano::internal {

// Counter steps between two result repaints of a reported run.
inline constexpr int kGreekRepaintCount = 700;

// Capital Greek letter, as a code page value, for each Latin letter A to Z.
// Q has no Greek letter and gives a blank in either case.
inline constexpr std::array<std::uint8_t, 26> kGreekLetterTable = {
    193, 194, 216, 196, 197, 214, 195, 199, 201, 206, 202, 203, 204,
    205, 207, 208, 32,  209, 211, 212, 200, 217, 217, 215, 213, 198,
};

inline constexpr std::uint8_t kBlank = 32;
// What converting a character the code page lacks yields: "?".
inline constexpr std::uint8_t kNoCode = 63;

inline std::uint8_t CodeOf(char16_t character) {
    if (character < 0x80) {
        return static_cast<std::uint8_t>(character);
    }
    return Cp1253Code(character).value_or(kNoCode);
}

// The letter step for every ASCII character: the Greek letter of a Latin
// one, the character itself otherwise. In Windows-1253 the capitals from
// 193 on and the small letters 32 above them run in Unicode's order from
// U+0391 and U+03B1, so the table needs no decoding.
constexpr std::array<char16_t, 128> MakeLetterStep() {
    std::array<char16_t, 128> step{};
    for (unsigned ascii = 0; ascii < step.size(); ++ascii) {
        step[ascii] = static_cast<char16_t>(ascii);
    }
    for (unsigned entry = 0; entry < kGreekLetterTable.size(); ++entry) {
        const std::uint8_t code = kGreekLetterTable[entry];
        const bool blank = code == kBlank;
        step['A' + entry] = blank ? u' ' : static_cast<char16_t>(u'\u0391' + (code - 193));
        step['a' + entry] = blank ? u' ' : static_cast<char16_t>(u'\u03B1' + (code - 193));
    }
    return step;
}
inline constexpr std::array<char16_t, 128> kLetterStep = MakeLetterStep();
static_assert(kLetterStep['U'] == u'Θ' && kLetterStep['c'] == u'ψ' && kLetterStep['W'] == u'Ω');

constexpr char16_t Lower(char16_t character) {
    return (character >= u'A' && character <= u'Z') ? static_cast<char16_t>(character + 32)
                                                    : character;
}

constexpr bool IsOneOf(char16_t character, std::u16string_view letters) {
    return letters.find(Lower(character)) != std::u16string_view::npos;
}

// The characters that a rule may apply to: s, t, p, u, k in either case, 3, 8.
constexpr bool IsRuleCharacter(char16_t character) {
    switch (character) {
        case u's':
        case u't':
        case u'T':
        case u'p':
        case u'P':
        case u'u':
        case u'U':
        case u'k':
        case u'K':
        case u'3':
        case u'8':
            return true;
        default:
            return false;
    }
}

// ASCII characters that no rule and no verbatim group starts from.
constexpr std::array<bool, 128> MakeTakesNoRule() {
    std::array<bool, 128> plain{};
    for (unsigned ascii = 0; ascii < plain.size(); ++ascii) {
        plain[ascii] = ascii != '*' && !IsRuleCharacter(static_cast<char16_t>(ascii));
    }
    return plain;
}
inline constexpr std::array<bool, 128> kTakesNoRule = MakeTakesNoRule();

// How far past its position a pass may read: a verbatim group of up to
// kVerbatimMax characters and its two asterisks, then the next and the
// after-next character of the character behind it.
inline constexpr std::size_t kGreekLookahead = kVerbatimMax + 4;

// The Latin-to-Greek passes over a source that may come in pieces. `Sink`
// receives what a run shows: SetPosition, RepaintProgress, Append and
// RepaintResult at the points the run calls them. A sink whose kReports is
// false skips the repaint counter altogether. ToLatinRules has the same
// shape; these rules read every spelling, so the options change nothing.
template <class Sink>
class ToGreekRules {
  public:
    explicit ToGreekRules(Sink& sink, const ConversionOptions& = {}) : sink_(sink) {}

    // Makes the passes over `text` from the 1-based `position` on whose
    // look-ahead lies inside `text`, and returns the position of the first
    // pass not made. A place before `text` reads as a blank: text[0] is the
    // source's first character, or the previous character of the pass at
    // position 2.
    std::size_t Convert(std::u16string_view text, std::size_t position) {
        return Run(text, position, false);
    }
    // The same, with `text` ending the source: every pass is made.
    std::size_t Finish(std::u16string_view text, std::size_t position) {
        return Run(text, position, true);
    }

  private:
    std::size_t Run(std::u16string_view text, std::size_t position, bool final) {
        text_ = text;
        position_ = position;
        const std::size_t last =
            final ? text.size()
                  : (text.size() >= kGreekLookahead ? text.size() - kGreekLookahead : 0);
        while (position_ <= last) {
            if constexpr (!Sink::kReports) {
                // Most characters take no rule: only the letter step, and no
                // pass bookkeeping when nothing is reported.
                const char16_t current = text_[position_ - 1];
                if (current >= 0x80) {
                    sink_.Append(current);
                    ++position_;
                    continue;
                }
                if (kTakesNoRule[current]) {
                    sink_.Append(kLetterStep[current]);
                    ++position_;
                    continue;
                }
            }
            Pass();
        }
        return position_;
    }

    char16_t At(std::size_t position) const {
        return position >= 1 && position <= text_.size() ? text_[position - 1] : u' ';
    }

    void CountStep() {
        if constexpr (Sink::kReports) {
            // "position * 0.1 equals the counter", in whole numbers.
            if (position_ == 10 * static_cast<std::size_t>(counter_)) {
                sink_.RepaintProgress();
                counter_ = 0;
            }
            ++counter_;
        }
    }

    // Length of the verbatim group opened by the asterisk at the current
    // position, or 0 when that asterisk is an ordinary character.
    std::size_t VerbatimLength() const {
        return VerbatimGroupAfter(text_.substr(position_)).length;  // past the asterisk
    }

    void Pass() {
        sink_.SetPosition(position_);
        CountStep();
        if (At(position_) == u'*') {
            if (const std::size_t length = VerbatimLength(); length != 0) {
                sink_.Append(text_.substr(position_, length));
                position_ += length + 2;
                CountStep();
                if (position_ > text_.size()) {
                    return;  // the group ended the source
                }
                // The character after the group is converted in this pass,
                // even if it is another asterisk.
            }
        }
        bool skip = false;
        sink_.Append(Convert(skip));
        position_ += skip ? 2 : 1;
        if constexpr (Sink::kReports) {
            if (counter_ >= kGreekRepaintCount) {
                sink_.RepaintResult();
                counter_ = 0;
            }
        }
    }

    // The letter step and the rules for the character at the position;
    // `skip` is set when the next character is taken with it.
    char16_t Convert(bool& skip) const {
        const char16_t current = At(position_);
        // Only ASCII has codes in the Latin letters' ranges.
        const char16_t output = current < 0x80 ? kLetterStep[current] : current;
        if (!IsRuleCharacter(current)) {
            return output;
        }
        const char16_t next = At(position_ + 1);
        const char16_t lower = Lower(current);
        if (current == u's' && CodeOf(next) < 65) {
            return u'ς';
        }
        if (lower == u't' && Lower(next) == u'h' && IsOneOf(At(position_ + 2), u"aoewi")) {
            skip = true;
            return u'θ';
        }
        if (lower == u'p' && Lower(next) == u's') {
            skip = true;
            return u'ψ';
        }
        if (lower == u'u' && IsOneOf(At(position_ - 1), u"oe")) {
            return u'υ';
        }
        if (lower == u'k' && Lower(next) == u's') {
            skip = true;
            return u'ξ';
        }
        if (current == u'3' || current == u'8') {
            const std::uint8_t before = CodeOf(At(position_ - 1));
            if ((before > 57 || before == kBlank) && CodeOf(next) > 57) {
                return current == u'3' ? u'ξ' : u'θ';
            }
        }
        return output;
    }

    Sink& sink_;
    std::u16string_view text_;
    std::size_t position_ = 1;
    std::int16_t counter_ = 1;  // stays within 0 to 701
};

}  // namespace bivano::internal
