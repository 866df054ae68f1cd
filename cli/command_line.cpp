// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include <QCommandLineParser>
#include <utility>

#include "core/product.h"
#include "core/spelling/speller.h"
#include "file_names.h"

namespace bivano::cli {
namespace {

constexpr int kUsageError = 2;

QString HelpText() {
    return QStringLiteral(
        "Χρήση: bivano latin [ΕΠΙΛΟΓΕΣ] [ΑΡΧΕΙΟ...]\n"
        "       bivano greek [ΕΠΙΛΟΓΕΣ] [ΑΡΧΕΙΟ...]\n"
        "       bivano accents [ΕΠΙΛΟΓΕΣ] [ΑΡΧΕΙΟ...]\n"
        "Μετατρέπει κείμενο από Ελληνικά σε Lativo (latin) ή από Lativo σε Ελληνικά (greek),\n"
        "ή βάζει τόνους και διορθώνει την ορθογραφία ελληνικού κειμένου (accents).\n"
        "Χωρίς ΑΡΧΕΙΟ, ή με -, διαβάζει την τυπική είσοδο. Τα αποτελέσματα πολλών αρχείων\n"
        "γράφονται το ένα μετά το άλλο.\n"
        "\n"
        "Γραφή γραμμάτων (latin· η greek τα διαβάζει όλα):\n"
        "  -x, --xi 3|j|ks         ξ (προεπιλογή 3)\n"
        "  -t, --theta 8|u|th      θ (προεπιλογή 8)\n"
        "  -p, --psi c|ps          ψ (προεπιλογή c)\n"
        "  -w, --omega w|v         ω (προεπιλογή w)\n"
        "  -s, --scheme ΟΝΟΜΑ      πρότυπο γραφής (latin): lativo (προεπιλογή, με τις\n"
        "                          τέσσερις επιλογές), elot743 (διαβατήρια, ISO 843\n"
        "                          μεταγραφή), iso843 (αντιστρέψιμη μεταγραμμάτιση),\n"
        "                          alalc (Library of Congress), bgn1962, slug\n"
        "Έξοδος:\n"
        "  -o, --output ΑΡΧΕΙΟ     γράφει στο ΑΡΧΕΙΟ, μόνο όταν μετατραπούν όλα\n"
        "  -d, --directory ΦΑΚΕΛΟΣ γράφει κάθε ΑΡΧΕΙΟ στον ΦΑΚΕΛΟ με το ίδιο όνομα\n"
        "      --credit            προσθέτει τέσσερις αλλαγές γραμμής και τη γραμμή\n"
        "                          του προγράμματος, όπως το παράθυρο\n"
        "      --accents           (greek) με τόνους και ορθογραφία\n"
        "      --dictionary ΑΡΧΕΙΟ το λεξικό hunspell για τους τόνους\n"
        "                          (προεπιλογή /usr/share/hunspell/el_GR.dic)\n"
        "Κωδικοποιήσεις:\n"
        "      --from auto|utf-8|utf-16|windows-1253|iso-8859-7   (προεπιλογή auto)\n"
        "      --to utf-8|windows-1253                            (προεπιλογή utf-8)\n"
        "  -h, --help              αυτή η βοήθεια\n"
        "  -V, --version           η έκδοση\n"
        "\n"
        "Κατάσταση εξόδου: 0 επιτυχία, 1 αρχείο που δεν διαβάστηκε ή δεν γράφτηκε,\n"
        "2 λάθος χρήση.\n");
}

Parsed UsageError(const QString& message) {
    return {std::nullopt, QStringLiteral("bivano: %1\nΔείτε: bivano --help\n").arg(message),
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
    const QCommandLineOption credit("credit");
    const QCommandLineOption accents("accents");
    const QCommandLineOption dictionary("dictionary", {}, "file");
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version(QStringList{"V", "version"});
    parser.addOptions({xi, theta, psi, omega, scheme, output, directory, from, to, credit, accents,
                       dictionary, help, version});

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
        return UsageError(QStringLiteral("λείπει η εντολή: latin, greek ή accents"));
    }
    Request request;
    const QString command = positional.takeFirst();
    if (command == QLatin1String("latin")) {
        request.direction = Direction::Latin;
    } else if (command == QLatin1String("greek")) {
        request.direction = Direction::Greek;
    } else if (command == QLatin1String("accents")) {
        request.direction = Direction::AccentsOnly;
    } else {
        return UsageError(
            QStringLiteral("άγνωστη εντολή «%1»: latin, greek ή accents").arg(command));
    }

    // Every option takes its value once; a second one is a slip.
    for (const QCommandLineOption* option :
         {&xi, &theta, &psi, &omega, &scheme, &output, &directory, &from, &to, &dictionary}) {
        if (parser.values(*option).size() > 1) {
            return UsageError(
                QStringLiteral("η επιλογή --%1 δίνεται μία φορά").arg(option->names().last()));
        }
    }
    const auto bad_value = [&](const QCommandLineOption& option) {
        return UsageError(QStringLiteral("άκυρη τιμή «%1» για την --%2")
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
            return UsageError(QStringLiteral("άγνωστο πρότυπο «%1»: %2")
                                  .arg(parser.value(scheme), names.join(QStringLiteral(", "))));
        }
        if (request.direction != Direction::Latin) {
            return UsageError(QStringLiteral("η --scheme ισχύει για την latin"));
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
    request.accents = parser.isSet(accents) || request.direction == Direction::AccentsOnly;
    if (parser.isSet(accents) && request.direction == Direction::Latin) {
        return UsageError(QStringLiteral("η --accents ισχύει για την greek"));
    }
    request.dictionary_named = parser.isSet(dictionary);
    request.dictionary = request.dictionary_named ? BytesFromArgument(parser.value(dictionary))
                                                  : std::string(GreekSpeller::kHunspellGreek);
    request.output_file = BytesFromArgument(parser.value(output));
    request.output_directory = BytesFromArgument(parser.value(directory));
    for (const QString& input : positional) {
        request.inputs.push_back(BytesFromArgument(input));
    }
    if (request.inputs.empty()) {
        request.inputs.emplace_back("-");
    }

    if (parser.isSet(output) && request.output_file.empty()) {
        return UsageError(QStringLiteral("η --output θέλει όνομα αρχείου"));
    }
    if (parser.isSet(directory)) {
        if (request.output_directory.empty()) {
            return UsageError(QStringLiteral("η --directory θέλει φάκελο"));
        }
        if (parser.isSet(output)) {
            return UsageError(QStringLiteral("οι --output και --directory δεν δίνονται μαζί"));
        }
        if (positional.isEmpty() || positional.contains(QStringLiteral("-"))) {
            return UsageError(QStringLiteral("η --directory θέλει ονόματα αρχείων, όχι -"));
        }
    }
    return {std::move(request), {}, 0};
}

}  // namespace bivano::cli
