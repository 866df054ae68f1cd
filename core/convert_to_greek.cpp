#include "convert_to_greek.h"

#include <array>
#include <cstdint>
#include <utility>

#include "conversion_run.h"
#include "cp1253.h"

namespace bivano {
namespace {

// Capital Greek letter, as a code page value, for each Latin letter A to Z.
// Q has no Greek letter and gives a blank in either case.
constexpr std::array<std::uint8_t, 26> kGreekLetterTable = {
    193, 194, 216, 196, 197, 214, 195, 199, 201, 206, 202, 203, 204,
    205, 207, 208, 32,  209, 211, 212, 200, 217, 217, 215, 213, 198,
};

constexpr std::uint8_t kBlank = 32;
// What converting a character the code page lacks yields: "?".
constexpr std::uint8_t kNoCode = 63;

std::uint8_t CodeOf(char16_t character) {
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
constexpr std::array<char16_t, 128> kLetterStep = MakeLetterStep();
static_assert(kLetterStep['U'] == u'Θ' && kLetterStep['c'] == u'ψ' && kLetterStep['W'] == u'Ω');

char16_t Lower(char16_t character) {
    return (character >= u'A' && character <= u'Z') ? static_cast<char16_t>(character + 32)
                                                    : character;
}

bool IsOneOf(char16_t character, std::u16string_view letters) {
    return letters.find(Lower(character)) != std::u16string_view::npos;
}

// One run's walk over the source. Positions are 1-based, as the rules count
// them; a place beyond either end reads as a blank.
class GreekRun {
  public:
    GreekRun(std::u16string_view source, ConversionProgress& progress)
        : source_(source),
          progress_(progress),
          scale_(internal::BeginRun(source.size(), progress)) {
        result_.reserve(source.size() + internal::kTailBreaks.size() + 64);
    }

    std::u16string Finish(std::u16string_view credit) {
        while (position_ <= source_.size()) {
            Pass();
        }
        internal::EndRun(result_, credit, progress_);
        return std::move(result_);
    }

  private:
    char16_t At(std::size_t position) const {
        return position >= 1 && position <= source_.size() ? source_[position - 1] : u' ';
    }

    void CountStep() {
        // "position * 0.1 equals the counter", in whole numbers.
        if (position_ == 10 * static_cast<std::size_t>(counter_)) {
            progress_.RepaintProgress();
            counter_ = 0;
        }
        ++counter_;
    }

    void Append(std::u16string_view text) {
        result_.append(text);
        progress_.AppendResult(text);
    }

    void Append(char16_t character) {
        result_.push_back(character);
        progress_.AppendResult(std::u16string_view(&character, 1));
    }

    // Length of the verbatim group opened by the asterisk at the current
    // position, or 0 when that asterisk is an ordinary character.
    std::size_t VerbatimLength() const {
        const std::u16string_view after = source_.substr(position_);  // past the asterisk
        const std::size_t closing = after.substr(0, kVerbatimMax + 1).find(u'*');
        if (closing == std::u16string_view::npos || closing < kVerbatimMin) {
            return 0;
        }
        return closing;
    }

    void Pass() {
        progress_.SetPosition(scale_(position_));
        CountStep();
        if (At(position_) == u'*') {
            if (const std::size_t length = VerbatimLength(); length != 0) {
                Append(source_.substr(position_, length));
                position_ += length + 2;
                CountStep();
                if (position_ > source_.size()) {
                    return;  // the group ended the source
                }
                // The character after the group is converted in this pass,
                // even if it is another asterisk.
            }
        }
        Append(Convert());
        position_ += skip_ ? 2 : 1;
        skip_ = false;
        if (counter_ >= kGreekRepaintCount) {
            progress_.RepaintResult();
            counter_ = 0;
        }
    }

    // The letter step and the rules for the character at the position.
    char16_t Convert() {
        const char16_t current = At(position_);
        const char16_t next = At(position_ + 1);
        const char16_t after_next = At(position_ + 2);
        const char16_t previous = At(position_ - 1);

        // Only ASCII has codes in the Latin letters' ranges.
        const char16_t output = current < 0x80 ? kLetterStep[current] : current;

        const char16_t lower = Lower(current);
        if (current == u's' && CodeOf(next) < 65) {
            return u'ς';
        }
        if (lower == u't' && Lower(next) == u'h' && IsOneOf(after_next, u"aoewi")) {
            skip_ = true;
            return u'θ';
        }
        if (lower == u'p' && Lower(next) == u's') {
            skip_ = true;
            return u'ψ';
        }
        if (lower == u'u' && IsOneOf(previous, u"oe")) {
            return u'υ';
        }
        if (lower == u'k' && Lower(next) == u's') {
            skip_ = true;
            return u'ξ';
        }
        if (current == u'3' || current == u'8') {
            const std::uint8_t before = CodeOf(previous);
            if ((before > 57 || before == kBlank) && CodeOf(next) > 57) {
                return current == u'3' ? u'ξ' : u'θ';
            }
        }
        return output;
    }

    std::u16string_view source_;
    ConversionProgress& progress_;
    internal::ProgressScale scale_;
    std::u16string result_;
    std::size_t position_ = 1;
    std::int16_t counter_ = 1;  // stays within 0 to 701
    bool skip_ = false;
};

}  // namespace

std::u16string ConvertToGreek(std::u16string_view source, std::u16string_view credit,
                              ConversionProgress& progress) {
    return GreekRun(source, progress).Finish(credit);
}

}  // namespace bivano
