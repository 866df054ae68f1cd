// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lativo/convert_to_latin.h"

#include <array>
#include <cstdint>
#include <optional>

#include "core/encoding/cp1253.h"
#include "core/lativo/conversion_run.h"
#include "core/lativo/romanizer.h"
#include "core/lativo/to_latin_rules.h"

namespace bivano {
namespace {

using internal::LatinForm;

LatinForm FormOf(std::u16string_view text) {
    LatinForm form;
    for (const char16_t character : text) {
        form.text[form.length++] = character;
    }
    form.present = true;
    form.letter = true;
    return form;
}

LatinForm FormOf(char16_t character) {
    return FormOf(std::u16string_view(&character, 1));
}

// Row 1 to 24 of the Greek alphabet; index 0 is unused.
using LatinLetterTable = std::array<char16_t, 25>;

LatinLetterTable BuildLatinLetterTable(const ConversionOptions& options) {
    LatinLetterTable table = {u' ', u'A', u'B', u'G', u'D', u'E', u'Z', u'H', u'8',
                              u'I', u'K', u'L', u'M', u'N', u'3', u'O', u'P', u'R',
                              u'S', u'T', u'Y', u'F', u'X', u'C', u'W'};
    if (options.xi == XiForm::XiJ) {
        table[14] = u'J';
    }
    if (options.theta == ThetaForm::ThetaU) {
        table[8] = u'U';
    }
    if (options.omega == OmegaForm::OmegaV) {
        table[24] = u'V';
    }
    return table;
}

bool WantsTwoLetterForm(std::uint8_t code, const ConversionOptions& options) {
    switch (code) {
        case 206:  // Ξ
        case 238:  // ξ
            return options.xi != XiForm::Xi3;
        case 200:  // Θ
        case 232:  // θ
            return options.theta != ThetaForm::Theta8;
        case 216:  // Ψ
        case 248:  // ψ
            return options.psi != PsiForm::PsiC;
        default:
            return false;
    }
}

// The Latin form of the Greek character whose code page value is `code`, by
// the character classes in their order; nothing for a character that is
// copied unchanged.
std::optional<LatinForm> LatinFormOf(std::uint8_t code, char16_t character,
                                     const LatinLetterTable& table,
                                     const ConversionOptions& options) {
    const bool capital = (code >= 193 && code <= 209) || (code >= 211 && code <= 217);
    const bool small = code >= 225 && code <= 249;
    if (capital || small) {
        LatinForm form;
        if (capital) {
            form = FormOf(table[code <= 209 ? code - 192 : code - 193]);
        } else {
            form = FormOf(static_cast<char16_t>(table[code <= 242 ? code - 224 : code - 225] + 32));
        }
        if (WantsTwoLetterForm(code, options)) {
            if (const auto pair = TwoLetterForm(character, options); !pair.empty()) {
                form = FormOf(pair);
            }
        }
        if (code == 238 && options.xi == XiForm::Xi3) {
            form = FormOf(u'3');  // code plus 32 would turn the digit into S
        }
        if (code == 232 && options.theta == ThetaForm::Theta8) {
            form = FormOf(u'8');  // and this one into X
        }
        return form;
    }
    const char16_t omega_capital = options.omega == OmegaForm::OmegaV ? u'V' : u'W';
    switch (code) {
        case 162:
            return FormOf(u'A');  // Ά
        case 184:
            return FormOf(u'E');  // Έ
        case 185:
            return FormOf(u'H');  // Ή
        case 186:
            return FormOf(u'I');  // Ί
        case 188:
            return FormOf(u'O');  // Ό
        case 190:
            return FormOf(u'Y');  // Ύ
        case 191:
            return FormOf(omega_capital);  // Ώ
        case 192:
            return FormOf(u'i');  // ΐ
        // Ϊ and Ϋ: Latin letters like their lower-case forms, so that no
        // Greek letter is left in a Latin result.
        case 218:
            return FormOf(u'I');  // Ϊ
        case 219:
            return FormOf(u'Y');  // Ϋ
        case 220:
            return FormOf(u'a');  // ά
        case 221:
            return FormOf(u'e');  // έ
        case 222:
            return FormOf(u'h');  // ή
        case 223:
            return FormOf(u'i');  // ί
        case 224:
            return FormOf(u'y');  // ΰ
        case 250:
            return FormOf(u'i');  // ϊ
        case 251:
            return FormOf(u'y');  // ϋ
        case 252:
            return FormOf(u'o');  // ό
        case 253:
            return FormOf(u'y');  // ύ
        case 254:
            return FormOf(static_cast<char16_t>(omega_capital + 32));  // ώ
        default:
            return std::nullopt;
    }
}

}  // namespace

std::u16string_view TwoLetterForm(char16_t character, const ConversionOptions& options) {
    const bool ks = options.xi == XiForm::XiKS;
    const bool th = options.theta == ThetaForm::ThetaTH;
    const bool ps = options.psi == PsiForm::PsiPS;
    if (character == u'ξ' && ks)
        return u"ks";
    if (character == u'Ξ' && ks)
        return u"Ks";
    if (character == u'θ' && th)
        return u"th";
    if (character == u'Θ' && th)
        return u"Th";
    if (character == u'ψ' && ps)
        return u"ps";
    if (character == u'Ψ' && ps)
        return u"Ps";
    return {};
}

namespace internal {

LatinForm* LatinForms::Slot(char16_t character) {
    if (character >= kExtendedFirst) {
        return &extended_[character - kExtendedFirst];
    }
    return &basic_[character - kBasicFirst];
}

LatinForms::LatinForms(const ConversionOptions& options) {
    const LatinLetterTable table = BuildLatinLetterTable(options);
    // The code page's own letters, by the design's classes.
    for (char16_t character = kBasicFirst; character < kBasicFirst + basic_.size(); ++character) {
        if (const auto code = Cp1253Code(character)) {
            if (const auto form = LatinFormOf(*code, character, table, options)) {
                *Slot(character) = *form;
            }
        }
    }
    // Every other Greek character reads as the text it folds to.
    for (const auto& [first, last] : kFoldedBlocks) {
        for (char16_t folded = first; folded <= last; ++folded) {
            if (const auto fold = GreekFold(folded)) {
                *Slot(folded) = FoldedForm(*fold);
            }
        }
    }
}

LatinForm LatinForms::FoldedForm(std::u16string_view fold) const {
    LatinForm form;
    form.present = true;
    for (const char16_t character : fold) {
        const LatinForm* part = Find(character);
        if (part != nullptr) {
            form.letter = form.letter || part->letter;
        }
        for (const char16_t output :
             part != nullptr ? part->View() : std::u16string_view(&character, 1)) {
            form.text[form.length++] = output;
        }
    }
    return form;
}

}  // namespace internal

namespace {

// A run in the window: every character is reported, and the text gathered.
class ReportingSink {
  public:
    ReportingSink(std::size_t length, std::u16string& result, ConversionProgress& progress)
        : result_(result), progress_(progress), scale_(internal::BeginRun(length, progress)) {}

    void BeginCharacter(std::size_t position) { progress_.SetPosition(scale_(position)); }

    void Append(const internal::LatinForm& form) {
        result_.append(form.View());
        progress_.AppendResult(form.View());
    }

    void Append(char16_t character) {
        result_.push_back(character);
        progress_.AppendResult(std::u16string_view(&character, 1));
    }

    void EndCharacter(std::size_t position) {
        // A repaint now and then lets a window show a long run advancing; at
        // one in thousands of characters it costs nothing measurable, and a
        // window can still skip requests that come faster than its screen.
        if (position % kLatinRepaintInterval == 0) {
            progress_.RepaintProgress();
            progress_.RepaintResult();
        }
    }

  private:
    std::u16string& result_;
    ConversionProgress& progress_;
    internal::ProgressScale scale_;
};

}  // namespace

namespace {

// A run under one of the published schemes, which read whole words: the
// source goes in steps, each reported once its output is known.
std::u16string RomanizeWithProgress(std::u16string_view source, LatinScheme scheme,
                                    std::u16string_view credit, ConversionProgress& progress) {
    internal::Romanizer romanizer(scheme);
    return internal::RunInSteps(source, credit, progress,
                                [&](std::u16string_view piece, bool last, std::u16string& out) {
                                    romanizer.Convert(piece, out);
                                    if (last) {
                                        romanizer.Finish(out);
                                    }
                                });
}

}  // namespace

std::u16string ConvertToLatin(std::u16string_view source, const ConversionOptions& options,
                              std::u16string_view credit, ConversionProgress& progress) {
    if (options.scheme != LatinScheme::Lativo) {
        return RomanizeWithProgress(source, options.scheme, credit, progress);
    }
    std::u16string result;
    result.reserve(source.size() + source.size() / 8 + kTailBreaks.size() + credit.size());
    ReportingSink sink(source.size(), result, progress);
    internal::ToLatinRules<ReportingSink>(sink, options).Finish(source, 1);
    internal::EndRun(result, credit, progress);
    return result;
}

}  // namespace bivano
