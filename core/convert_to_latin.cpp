#include "convert_to_latin.h"

#include <array>
#include <cstdint>
#include <optional>

#include "conversion_run.h"
#include "cp1253.h"

namespace bivano {
namespace {

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

// Output of one Greek character: one or two characters.
struct LatinForm {
    std::array<char16_t, 2> text{};
    std::uint8_t length = 0;

    static LatinForm Of(char16_t character) { return {{character, 0}, 1}; }
    static LatinForm Of(std::u16string_view pair) { return {{pair[0], pair[1]}, 2}; }
    std::u16string_view View() const { return {text.data(), length}; }
};

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
            form = LatinForm::Of(table[code <= 209 ? code - 192 : code - 193]);
        } else {
            form = LatinForm::Of(
                static_cast<char16_t>(table[code <= 242 ? code - 224 : code - 225] + 32));
        }
        if (WantsTwoLetterForm(code, options)) {
            if (const auto pair = TwoLetterForm(character, options); !pair.empty()) {
                form = LatinForm::Of(pair);
            }
        }
        if (code == 238 && options.xi == XiForm::Xi3) {
            form = LatinForm::Of(u'3');  // code plus 32 would turn the digit into S
        }
        if (code == 232 && options.theta == ThetaForm::Theta8) {
            form = LatinForm::Of(u'8');  // and this one into X
        }
        return form;
    }
    const char16_t omega_capital = options.omega == OmegaForm::OmegaV ? u'V' : u'W';
    switch (code) {
        case 162:
            return LatinForm::Of(u'A');  // Ά
        case 184:
            return LatinForm::Of(u'E');  // Έ
        case 185:
            return LatinForm::Of(u'H');  // Ή
        case 186:
            return LatinForm::Of(u'I');  // Ί
        case 188:
            return LatinForm::Of(u'O');  // Ό
        case 190:
            return LatinForm::Of(u'Y');  // Ύ
        case 191:
            return LatinForm::Of(omega_capital);  // Ώ
        case 192:
            return LatinForm::Of(u'i');  // ΐ
        // Ϊ and Ϋ: Latin letters like their lower-case forms, so that no
        // Greek letter is left in a Latin result.
        case 218:
            return LatinForm::Of(u'I');  // Ϊ
        case 219:
            return LatinForm::Of(u'Y');  // Ϋ
        case 220:
            return LatinForm::Of(u'a');  // ά
        case 221:
            return LatinForm::Of(u'e');  // έ
        case 222:
            return LatinForm::Of(u'h');  // ή
        case 223:
            return LatinForm::Of(u'i');  // ί
        case 224:
            return LatinForm::Of(u'y');  // ΰ
        case 250:
            return LatinForm::Of(u'i');  // ϊ
        case 251:
            return LatinForm::Of(u'y');  // ϋ
        case 252:
            return LatinForm::Of(u'o');  // ό
        case 253:
            return LatinForm::Of(u'y');  // ύ
        case 254:
            return LatinForm::Of(static_cast<char16_t>(omega_capital + 32));  // ώ
        default:
            return std::nullopt;
    }
}

// Every character the conversion changes lies in U+0386 (Ά) to U+03CE (ώ);
// the run looks its form up here by character.
constexpr char16_t kFirstGreek = u'\u0386';
constexpr char16_t kLastGreek = u'\u03CE';
using GreekForms = std::array<LatinForm, kLastGreek - kFirstGreek + 1>;

GreekForms BuildGreekForms(const ConversionOptions& options) {
    const LatinLetterTable table = BuildLatinLetterTable(options);
    GreekForms forms{};
    for (char16_t character = kFirstGreek; character <= kLastGreek; ++character) {
        if (const auto code = Cp1253Code(character)) {
            if (const auto form = LatinFormOf(*code, character, table, options)) {
                forms[character - kFirstGreek] = *form;
            }
        }
    }
    return forms;
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

std::u16string ConvertToLatin(std::u16string_view source, const ConversionOptions& options,
                              std::u16string_view credit, ConversionProgress& progress) {
    const GreekForms forms = BuildGreekForms(options);
    const internal::ProgressScale scale = internal::BeginRun(source.size(), progress);

    std::u16string result;
    result.reserve(source.size() + source.size() / 8 + internal::kTailBreaks.size() +
                   credit.size());
    for (std::size_t index = 0; index < source.size(); ++index) {
        progress.SetPosition(scale(index + 1));
        const char16_t character = source[index];
        const std::size_t slot = static_cast<std::size_t>(character - kFirstGreek);
        if (slot < forms.size() && forms[slot].length != 0) {
            const std::u16string_view form = forms[slot].View();
            result.append(form);
            progress.AppendResult(form);
        } else {
            result.push_back(character);
            progress.AppendResult(source.substr(index, 1));
        }
        // A repaint now and then lets a window show a long run advancing; at
        // one in thousands of characters it costs nothing measurable, and a
        // window can still skip requests that come faster than its screen.
        if ((index + 1) % kLatinRepaintInterval == 0) {
            progress.RepaintProgress();
            progress.RepaintResult();
        }
    }
    internal::EndRun(result, credit, progress);
    return result;
}

}  // namespace bivano
