// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include <QCommandLineParser>
#include <utility>

#include <QCoreApplication>
#include "core/product.h"
#include "core/spelling/speller.h"
#include "file_names.h"

namespace bivano::cli {
namespace {

constexpr int kUsageError = 2;

QString HelpText() {
    return QCoreApplication::translate(
               "bivano",
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
               "Report bugs at https://www.example.org\n") +
           QCoreApplication::translate(
               "bivano",
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

Parsed UsageError(const QString& message) {
    return {std::nullopt,
            QCoreApplication::translate("bivano", "bivano: %1\nTry: bivano --help\n").arg(message),
            kUsageError};
}

template <typename Value>
std::optional<Value> Choose(const QString& text,
                            std::initializer_list<std::pair<const char*, Value>> choices) {
    for (const auto& [name, value] : choices) {
        if (text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace

Parsed ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption xi({"x", "xi"}, {}, "form");
    const QCommandLineOption theta({"t", "theta"}, {}, "form");
    const QCommandLineOption psi({"p", "psi"}, {}, "form");
    const QCommandLineOption omega({"w", "omega"}, {}, "form");
    const QCommandLineOption scheme({"s", "scheme"}, {}, "name");
    const QCommandLineOption output({"o", "output"}, {}, "file");
    const QCommandLineOption directory({"d", "directory"}, {}, "folder");
    const QCommandLineOption from("from", {}, "encoding");
    const QCommandLineOption to("to", {}, "encoding");
    const QCommandLineOption force("force");
    const QCommandLineOption credit("credit");
    const QCommandLineOption accents("accents");
    const QCommandLineOption chat("chat");
    const QCommandLineOption dictionary("dictionary", {}, "file");
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version(QStringList{"V", "version"});
    parser.addOptions({xi, theta, psi, omega, scheme, output, directory, force, from, to, credit,
                       accents, chat, dictionary, help, version});

    if (!parser.parse(arguments)) {
        return UsageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        return {std::nullopt, HelpText(), 0};
    }
    if (parser.isSet(version)) {
        return {std::nullopt,
                QStringLiteral("bivano (%1) %2\n")
                    .arg(QLatin1String(product::kName.data(), product::kName.size()),
                         QLatin1String(product::kVersion.data(), product::kVersion.size())),
                0};
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return UsageError(QCoreApplication::translate(
            "bivano", "missing command: latin, greek, accents, layout or auto"));
    }
    Request request;
    const QString command = positional.takeFirst();
    if (command == QLatin1String("latin")) {
        request.direction = Direction::Latin;
    } else if (command == QLatin1String("greek")) {
        request.direction = Direction::Greek;
    } else if (command == QLatin1String("accents")) {
        request.direction = Direction::AccentsOnly;
    } else if (command == QLatin1String("layout")) {
        request.direction = Direction::Layout;
    } else if (command == QLatin1String("auto")) {
        request.direction = Direction::Auto;
    } else {
        return UsageError(
            QCoreApplication::translate(
                "bivano", "unknown command “%1”: latin, greek, accents, layout or auto")
                .arg(command));
    }

    // Every option takes its value once; a second one is a slip.
    for (const QCommandLineOption* option :
         {&xi, &theta, &psi, &omega, &scheme, &output, &directory, &from, &to, &dictionary}) {
        if (parser.values(*option).size() > 1) {
            return UsageError(QCoreApplication::translate("bivano", "option --%1 is given once")
                                  .arg(option->names().last()));
        }
    }
    const auto bad_value = [&](const QCommandLineOption& option) {
        return UsageError(QCoreApplication::translate("bivano", "invalid value “%1” for --%2")
                              .arg(parser.value(option), option.names().last()));
    };
    if (parser.isSet(xi)) {
        const auto value = Choose<XiForm>(
            parser.value(xi), {{"3", XiForm::Xi3}, {"j", XiForm::XiJ}, {"ks", XiForm::XiKS}});
        if (!value) {
            return bad_value(xi);
        }
        request.options.xi = *value;
    }
    if (parser.isSet(theta)) {
        const auto value = Choose<ThetaForm>(
            parser.value(theta),
            {{"8", ThetaForm::Theta8}, {"u", ThetaForm::ThetaU}, {"th", ThetaForm::ThetaTH}});
        if (!value) {
            return bad_value(theta);
        }
        request.options.theta = *value;
    }
    if (parser.isSet(psi)) {
        const auto value =
            Choose<PsiForm>(parser.value(psi), {{"c", PsiForm::PsiC}, {"ps", PsiForm::PsiPS}});
        if (!value) {
            return bad_value(psi);
        }
        request.options.psi = *value;
    }
    if (parser.isSet(omega)) {
        const auto value = Choose<OmegaForm>(parser.value(omega),
                                             {{"w", OmegaForm::OmegaW}, {"v", OmegaForm::OmegaV}});
        if (!value) {
            return bad_value(omega);
        }
        request.options.omega = *value;
    }
    if (parser.isSet(scheme)) {
        const std::optional<LatinScheme> value =
            SchemeFromName(parser.value(scheme).toLower().toStdString());
        if (!value) {
            QStringList names;
            for (const LatinScheme known : kAllSchemes) {
                const std::string_view name = SchemeName(known);
                names << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
            }
            return UsageError(QCoreApplication::translate("bivano", "unknown scheme “%1”: %2")
                                  .arg(parser.value(scheme), names.join(QStringLiteral(", "))));
        }
        if (request.direction != Direction::Latin && request.direction != Direction::Auto) {
            return UsageError(QCoreApplication::translate("bivano", "--scheme goes with latin"));
        }
        request.options.scheme = *value;
    }
    if (parser.isSet(from) &&
        parser.value(from).compare(QLatin1String("auto"), Qt::CaseInsensitive) != 0) {
        request.from = EncodingFromName(parser.value(from).toStdString());
        if (!request.from) {
            return bad_value(from);
        }
    }
    if (parser.isSet(to)) {
        const std::optional<Encoding> value = EncodingFromName(parser.value(to).toStdString());
        // Only these two can be written.
        if (value != Encoding::Utf8 && value != Encoding::Cp1253) {
            return bad_value(to);
        }
        request.to = *value;
    }
    request.credit = parser.isSet(credit);
    // layout and auto read with the model, as the accents do.
    request.accents = parser.isSet(accents) || request.direction == Direction::AccentsOnly ||
                      request.direction == Direction::Layout ||
                      request.direction == Direction::Auto;
    request.chat = parser.isSet(chat);
    if (request.chat && !request.accents) {
        return UsageError(QCoreApplication::translate("bivano", "--chat goes with accents"));
    }
    if (request.chat && request.direction == Direction::Layout) {
        return UsageError(QCoreApplication::translate("bivano", "--chat goes with accents"));
    }
    if (parser.isSet(accents) &&
        (request.direction == Direction::Latin || request.direction == Direction::Layout)) {
        return UsageError(QCoreApplication::translate("bivano", "--accents goes with greek"));
    }
    request.dictionary_named = parser.isSet(dictionary);
    if (request.dictionary_named && !request.accents) {
        return UsageError(QCoreApplication::translate("bivano", "--dictionary goes with accents"));
    }
    if (request.dictionary_named && parser.value(dictionary).isEmpty()) {
        return UsageError(QCoreApplication::translate("bivano", "--dictionary needs a file name"));
    }
    request.dictionary =
        request.dictionary_named ? BytesFromArgument(parser.value(dictionary)) : std::string();
    request.output_file = BytesFromArgument(parser.value(output));
    request.output_directory = BytesFromArgument(parser.value(directory));
    request.force = parser.isSet(force);
    for (const QString& input : positional) {
        request.inputs.push_back(BytesFromArgument(input));
    }
    if (request.inputs.empty()) {
        request.inputs.emplace_back("-");
    }

    if (parser.isSet(output) && request.output_file.empty()) {
        return UsageError(QCoreApplication::translate("bivano", "--output needs a file name"));
    }
    if (parser.isSet(directory)) {
        if (request.output_directory.empty()) {
            return UsageError(QCoreApplication::translate("bivano", "--directory needs a folder"));
        }
        if (parser.isSet(output)) {
            return UsageError(QCoreApplication::translate(
                "bivano", "--output and --directory do not go together"));
        }
        if (positional.isEmpty() || positional.contains(QStringLiteral("-"))) {
            return UsageError(
                QCoreApplication::translate("bivano", "--directory needs file names, not -"));
        }
    }
    return {std::move(request), {}, 0};
}

}  // namespace bivano::cli
