// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include <algorithm>
#include <array>
#include <utility>

#include "catalogue.h"
#include "core/product.h"
#include "core/spelling/speller.h"

namespace bivano::cli {
namespace {

constexpr int kUsageError = 2;

std::string HelpText() {
    return std::string(Translate(
               "Usage: bivano latin [OPTIONS] [FILE...]\n"
               "       bivano greek [OPTIONS] [FILE...]\n"
               "       bivano accents [OPTIONS] [FILE...]\n"
               "Converts text from Greek letters to Latin ones (latin) or back (greek), or\n"
               "gives Greek typed without accents its accents and correct spelling (accents).\n"
               "With no FILE, or with -, reads standard input. The results of several files\n"
               "are written one after another.\n"
               "\n"
               "Letters (latin; greek reads every spelling):\n"
               "  -x, --xi 3|j|ks         ξ (default 3)\n"
               "  -t, --theta 8|u|th      θ (default 8)\n"
               "  -p, --psi c|ps          ψ (default c)\n"
               "  -w, --omega w|v         ω (default w)\n"
               "  -s, --scheme NAME       how latin writes: lativo (the default, with the four\n"
               "                          choices above), elot743 (passports, ISO 843\n"
               "                          transcription), iso843 (reversible transliteration),\n"
               "                          alalc (Library of Congress), bgn1962, slug\n"
               "Output:\n"
               "  -o, --output FILE       writes to FILE, only once everything has converted\n"
               "  -d, --directory FOLDER  writes each FILE into FOLDER under its own name\n"
               "      --force             replaces a write-protected output file too\n"
               "      --credit            adds four line breaks and the program's credit\n"
               "                          line, as the window does\n"
               "      --accents           (greek) with accents and correct spelling\n"
               "      --chat              (with the accents) writes out chat abbreviations\n"
               "                          that stand alone: k και, dn δεν, m μου, s σου,\n"
               "                          p που, gt γιατί, tpt τίποτα, dld δηλαδή, tlk\n"
               "                          τελικά, ntks εντάξει, kl καλά, smr σήμερα, tespa\n"
               "                          τέλος πάντων\n"
               "      --dictionary FILE   (with the accents) a hunspell word list to read\n"
               "                          them with (default: the program's own model of\n"
               "                          Greek)\n"
               "Encodings:\n"
               "      --from auto|utf-8|utf-16|windows-1253|iso-8859-7   (default auto;\n"
               "                          only auto guesses: in a named encoding, bytes\n"
               "                          that cannot be read become U+FFFD, with a\n"
               "                          warning that gives the first one's place)\n"
               "      --to utf-8|windows-1253                            (default utf-8)\n"
               "  -h, --help              this help\n"
               "  -V, --version           the version\n"
               "\n"
               "Exit status: 0 success, 1 a file that could not be read or written,\n"
               "2 wrong usage.\n"
               "Report bugs at https://www.example.org\n")) +
           Translate(
               "\n"
               "Two more commands take the options of the encodings and the output:\n"
               "  bivano layout [OPTIONS] [FILE...]\n"
               "      repairs text typed with the wrong keyboard layout on, Greek (Linux's and\n"
               "      Windows' standard one) or US: Kalhm;era -> Καλημέρα, ηελλο -> hello;\n"
               "      a word changes only when its other reading is a known word, or\n"
               "      plainly better, and the words around it agree\n"
               "  bivano auto [OPTIONS] [FILE...]\n"
               "      converts each line the way its words show: Greek letters to Latin\n"
               "      ones (with -x -t -p -w -s), Greeklish to Greek with accents (--chat);\n"
               "      English stays as it is\n");
}

enum class Option {
    Xi,
    Theta,
    Psi,
    Omega,
    Scheme,
    Output,
    Directory,
    From,
    To,
    Dictionary,
    Force,
    Credit,
    Accents,
    Chat,
    Help,
    Version,
};
constexpr std::size_t kOptionCount = 16;

struct OptionName {
    Option option;
    char letter;  // 0: none
    std::string_view name;
    bool takes_value;
};

constexpr std::array<OptionName, kOptionCount> kOptions = {{
    {Option::Xi, 'x', "xi", true},
    {Option::Theta, 't', "theta", true},
    {Option::Psi, 'p', "psi", true},
    {Option::Omega, 'w', "omega", true},
    {Option::Scheme, 's', "scheme", true},
    {Option::Output, 'o', "output", true},
    {Option::Directory, 'd', "directory", true},
    {Option::From, 0, "from", true},
    {Option::To, 0, "to", true},
    {Option::Dictionary, 0, "dictionary", true},
    {Option::Force, 0, "force", false},
    {Option::Credit, 0, "credit", false},
    {Option::Accents, 0, "accents", false},
    {Option::Chat, 0, "chat", false},
    {Option::Help, 'h', "help", false},
    {Option::Version, 'V', "version", false},
}};
// Options are found by their place in kOptions: it follows Option's order.
static_assert([] {
    for (std::size_t index = 0; index < kOptions.size(); ++index) {
        if (kOptions[index].option != static_cast<Option>(index)) {
            return false;
        }
    }
    return true;
}());

const OptionName* ByLetter(char letter) {
    for (const OptionName& option : kOptions) {
        if (option.letter != 0 && option.letter == letter) {
            return &option;
        }
    }
    return nullptr;
}

const OptionName* ByName(std::string_view name) {
    for (const OptionName& option : kOptions) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

// What the arguments hold: the options given, each with its values in
// order, the rest, and the first slip in them.
class Scanned {
  public:
    explicit Scanned(std::span<const std::string_view> arguments);

    bool IsSet(Option option) const { return set_[Index(option)]; }
    // The last value given, or empty.
    std::string_view Value(Option option) const {
        const auto& values = values_[Index(option)];
        return values.empty() ? std::string_view() : values.back();
    }
    std::size_t ValueCount(Option option) const { return values_[Index(option)].size(); }
    const std::vector<std::string_view>& positional() const { return positional_; }
    const std::string& error() const { return error_; }

  private:
    static std::size_t Index(Option option) { return static_cast<std::size_t>(option); }
    // Keeps the first slip; `pattern` is translated.
    void Fail(const char* pattern, std::string_view what);
    // `option`'s value, as `spelled` names it: after its "=", else the next
    // argument (at `next`, which it then passes).
    void TakeValue(const OptionName& option, std::string_view spelled,
                   std::span<const std::string_view> arguments, std::size_t& next);
    void TakeLetters(std::string_view argument, std::span<const std::string_view> arguments,
                     std::size_t& next);

    std::array<bool, kOptionCount> set_{};
    std::array<std::vector<std::string_view>, kOptionCount> values_;
    std::vector<std::string_view> positional_;
    std::vector<std::string_view> unknown_;
    std::string error_;
};

Scanned::Scanned(std::span<const std::string_view> arguments) {
    bool only_names = false;
    for (std::size_t next = 0; next < arguments.size();) {
        const std::string_view argument = arguments[next++];
        if (only_names || argument.size() < 2 || argument[0] != '-') {
            positional_.push_back(argument);  // "-" among them: standard input
        } else if (argument == "--") {
            only_names = true;
        } else if (argument.starts_with("--")) {
            const std::string_view name = argument.substr(2, argument.find('=') - 2);
            if (const OptionName* option = ByName(name)) {
                set_[Index(option->option)] = true;
                TakeValue(*option, argument, arguments, next);
            } else {
                unknown_.push_back(name);
            }
        } else {
            TakeLetters(argument, arguments, next);
        }
    }
    if (unknown_.size() == 1) {
        error_ = Fill(Translate("Unknown option '%1'."), {unknown_.front()});
    } else if (!unknown_.empty()) {
        std::string names;
        for (const std::string_view name : unknown_) {
            names.append(names.empty() ? "" : ", ").append(name);
        }
        error_ = Fill(Translate("Unknown options: %1."), {names});
    }
}

void Scanned::Fail(const char* pattern, std::string_view what) {
    if (error_.empty()) {
        error_ = Fill(pattern, {what});
    }
}

void Scanned::TakeValue(const OptionName& option, std::string_view spelled,
                        std::span<const std::string_view> arguments, std::size_t& next) {
    const std::size_t assign = spelled.find('=');
    if (!option.takes_value) {
        if (assign != std::string_view::npos) {
            Fail(Translate("Unexpected value after '%1'."), spelled.substr(0, assign));
        }
    } else if (assign != std::string_view::npos) {
        values_[Index(option.option)].push_back(spelled.substr(assign + 1));
    } else if (next < arguments.size()) {
        values_[Index(option.option)].push_back(arguments[next++]);
    } else {
        Fail(Translate("Missing value after '%1'."), spelled);
    }
}

// -fx3, -fx 3, -fx=3: letters run together; the first that takes a value
// takes the rest of the argument, or the next one.
void Scanned::TakeLetters(std::string_view argument, std::span<const std::string_view> arguments,
                          std::size_t& next) {
    const OptionName* last = nullptr;
    for (std::size_t at = 1; at < argument.size(); ++at) {
        last = ByLetter(argument[at]);
        if (last == nullptr) {
            // Named whole when it is a character of several bytes (-θ).
            std::size_t end = at + 1;
            while (static_cast<unsigned char>(argument[at]) >= 0xC0 && end < argument.size() &&
                   (static_cast<unsigned char>(argument[end]) & 0xC0) == 0x80) {
                ++end;
            }
            unknown_.push_back(argument.substr(at, end - at));
            at = end - 1;
            continue;
        }
        set_[Index(last->option)] = true;
        if (last->takes_value) {
            if (at + 1 < argument.size()) {
                const std::size_t value = argument[at + 1] == '=' ? at + 2 : at + 1;
                values_[Index(last->option)].push_back(argument.substr(value));
                return;
            }
            break;
        }
        if (at + 1 < argument.size() && argument[at + 1] == '=') {
            break;
        }
    }
    if (last != nullptr) {
        TakeValue(*last, argument, arguments, next);
    }
}

Parsed UsageError(std::string_view message) {
    return {std::nullopt, Fill(Translate("bivano: %1\nTry: bivano --help\n"), {message}),
            kUsageError};
}

// Names of choices are ASCII: other letters stay as they are.
std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& letter : lower) {
        if (letter >= 'A' && letter <= 'Z') {
            letter = static_cast<char>(letter - 'A' + 'a');
        }
    }
    return lower;
}

bool SameIgnoringCase(std::string_view text, std::string_view name) {
    return AsciiLower(text) == name;
}

template <typename Value>
std::optional<Value> Choose(std::string_view text,
                            std::initializer_list<std::pair<std::string_view, Value>> choices) {
    for (const auto& [name, value] : choices) {
        if (SameIgnoringCase(text, name)) {
            return value;
        }
    }
    return std::nullopt;
}

std::string LongName(Option option) {
    return std::string(kOptions[static_cast<std::size_t>(option)].name);
}

}  // namespace

Parsed ParseCommandLine(std::span<const std::string_view> arguments) {
    const Scanned scanned(arguments);
    if (!scanned.error().empty()) {
        return UsageError(scanned.error());
    }
    if (scanned.IsSet(Option::Help)) {
        return {std::nullopt, HelpText(), 0};
    }
    if (scanned.IsSet(Option::Version)) {
        return {std::nullopt, Fill("bivano (%1) %2\n", {product::kName, product::kVersion}), 0};
    }

    const std::vector<std::string_view>& positional = scanned.positional();
    if (positional.empty()) {
        return UsageError(Translate("missing command: latin, greek, accents, layout or auto"));
    }
    Request request;
    const std::string_view command = positional.front();
    if (command == "latin") {
        request.direction = Direction::Latin;
    } else if (command == "greek") {
        request.direction = Direction::Greek;
    } else if (command == "accents") {
        request.direction = Direction::AccentsOnly;
    } else if (command == "layout") {
        request.direction = Direction::Layout;
    } else if (command == "auto") {
        request.direction = Direction::Auto;
    } else {
        return UsageError(Fill(
            Translate("unknown command “%1”: latin, greek, accents, layout or auto"), {command}));
    }
    const std::span<const std::string_view> names(positional.begin() + 1, positional.end());

    // Every option takes its value once; a second one is a slip.
    for (const OptionName& option : kOptions) {
        if (scanned.ValueCount(option.option) > 1) {
            return UsageError(Fill(Translate("option --%1 is given once"), {option.name}));
        }
    }
    const auto bad_value = [&](Option option) {
        return UsageError(Fill(Translate("invalid value “%1” for --%2"),
                               {scanned.Value(option), LongName(option)}));
    };
    if (scanned.IsSet(Option::Xi)) {
        const auto value =
            Choose<XiForm>(scanned.Value(Option::Xi),
                           {{"3", XiForm::Xi3}, {"j", XiForm::XiJ}, {"ks", XiForm::XiKS}});
        if (!value) {
            return bad_value(Option::Xi);
        }
        request.options.xi = *value;
    }
    if (scanned.IsSet(Option::Theta)) {
        const auto value = Choose<ThetaForm>(
            scanned.Value(Option::Theta),
            {{"8", ThetaForm::Theta8}, {"u", ThetaForm::ThetaU}, {"th", ThetaForm::ThetaTH}});
        if (!value) {
            return bad_value(Option::Theta);
        }
        request.options.theta = *value;
    }
    if (scanned.IsSet(Option::Psi)) {
        const auto value = Choose<PsiForm>(scanned.Value(Option::Psi),
                                           {{"c", PsiForm::PsiC}, {"ps", PsiForm::PsiPS}});
        if (!value) {
            return bad_value(Option::Psi);
        }
        request.options.psi = *value;
    }
    if (scanned.IsSet(Option::Omega)) {
        const auto value = Choose<OmegaForm>(scanned.Value(Option::Omega),
                                             {{"w", OmegaForm::OmegaW}, {"v", OmegaForm::OmegaV}});
        if (!value) {
            return bad_value(Option::Omega);
        }
        request.options.omega = *value;
    }
    if (scanned.IsSet(Option::Scheme)) {
        const std::optional<LatinScheme> value =
            SchemeFromName(AsciiLower(scanned.Value(Option::Scheme)));
        if (!value) {
            std::string names;
            for (const LatinScheme known : kAllSchemes) {
                names.append(names.empty() ? "" : ", ").append(SchemeName(known));
            }
            return UsageError(
                Fill(Translate("unknown scheme “%1”: %2"), {scanned.Value(Option::Scheme), names}));
        }
        if (request.direction != Direction::Latin && request.direction != Direction::Auto) {
            return UsageError(Translate("--scheme goes with latin"));
        }
        request.options.scheme = *value;
    }
    if (scanned.IsSet(Option::From) && !SameIgnoringCase(scanned.Value(Option::From), "auto")) {
        request.from = EncodingFromName(scanned.Value(Option::From));
        if (!request.from) {
            return bad_value(Option::From);
        }
    }
    if (scanned.IsSet(Option::To)) {
        const std::optional<Encoding> value = EncodingFromName(scanned.Value(Option::To));
        // Only these two can be written.
        if (value != Encoding::Utf8 && value != Encoding::Cp1253) {
            return bad_value(Option::To);
        }
        request.to = *value;
    }
    request.credit = scanned.IsSet(Option::Credit);
    // layout and auto read with the model, as the accents do.
    const bool accents_named = scanned.IsSet(Option::Accents);
    request.accents = accents_named || request.direction == Direction::AccentsOnly ||
                      request.direction == Direction::Layout ||
                      request.direction == Direction::Auto;
    request.chat = scanned.IsSet(Option::Chat);
    if (request.chat && (!request.accents || request.direction == Direction::Layout)) {
        return UsageError(Translate("--chat goes with accents"));
    }
    if (accents_named &&
        (request.direction == Direction::Latin || request.direction == Direction::Layout)) {
        return UsageError(Translate("--accents goes with greek"));
    }
    request.dictionary_named = scanned.IsSet(Option::Dictionary);
    if (request.dictionary_named && !request.accents) {
        return UsageError(Translate("--dictionary goes with accents"));
    }
    if (request.dictionary_named && scanned.Value(Option::Dictionary).empty()) {
        return UsageError(Translate("--dictionary needs a file name"));
    }
    request.dictionary = scanned.Value(Option::Dictionary);
    request.output_file = scanned.Value(Option::Output);
    request.output_directory = scanned.Value(Option::Directory);
    request.force = scanned.IsSet(Option::Force);
    request.inputs.assign(names.begin(), names.end());
    if (request.inputs.empty()) {
        request.inputs.emplace_back("-");
    }

    if (scanned.IsSet(Option::Output) && request.output_file.empty()) {
        return UsageError(Translate("--output needs a file name"));
    }
    if (scanned.IsSet(Option::Directory)) {
        if (request.output_directory.empty()) {
            return UsageError(Translate("--directory needs a folder"));
        }
        if (scanned.IsSet(Option::Output)) {
            return UsageError(Translate("--output and --directory do not go together"));
        }
        if (names.empty() || std::find(names.begin(), names.end(), "-") != names.end()) {
            return UsageError(Translate("--directory needs file names, not -"));
        }
    }
    return {std::move(request), {}, 0};
}

}  // namespace bivano::cli
