// SPDX-License-Identifier: GPL-3.0-or-later
// The window converts through the core's front door: its results are the
// pipeline's, as bivano streams them, for the same text and settings; and
// it takes nothing else of the core.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>

#include "io/greek_model_file.h"
#include "test_doubles.h"
#include "ui/main/frm_main.h"

namespace bivano {
namespace {

struct WindowRow {
    const char* name;
    Direction direction;  // Latin: the Lativo button; Greek: Ελληνικά
    ConversionOptions options;
    QString source;
};

void PrintTo(const WindowRow& row, std::ostream* out) {
    *out << row.name;
}

// The box keeps CR LF line breaks only: the sources use them alone, so that
// the pipeline, which keeps every break as it is, sees what the box shows.
const QString kGreekSource = QStringLiteral(
    "Θάλασσα, ψυχή, ξένος, ώρα.\r\nΚΑΛΗΜΕΡΑ Ψ Ξ Θ Ω, ϗ «εισαγωγικά» 2024\r\nabc *λέξη*");
const QString kLatinSource = QStringLiteral(
    "Kalimera esy eisai? ela!\r\n*kalimera* ELA LVM k gt 8alassa ksero psomi\r\nhttp://a.b/c");

class WindowRuns : public ::testing::TestWithParam<WindowRow> {
  protected:
    QTemporaryDir folder;
    testing::HandWoundClock clock;
    testing::ScriptedFileDialog file_dialog;
    testing::RecordingMessageBox message_box;
};

TEST_P(WindowRuns, GiveWhatThePipelineStreams) {
    const WindowRow& row = GetParam();
    const std::string word_list = testing::WriteGreekWordList(folder);
    ASSERT_FALSE(word_list.empty());
    ui::Platform platform{clock, file_dialog, message_box};
    platform.greek_dictionary = word_list;
    const ConversionOptions options = row.options;
    ui::FrmMain window(options, platform);
    window.SetSourceText(row.source);
    (row.direction == Direction::Latin ? window.EnglishBtn : window.GreekBtn)->click();
    EXPECT_TRUE(message_box.messages.isEmpty());

    // The same text through a stream in small pieces, on several threads.
    const std::unique_ptr<GreekSpeller> speller = io::OpenHunspellList(word_list);
    ASSERT_NE(speller, nullptr);
    PipelineSettings settings;
    settings.direction = row.direction;
    settings.options = row.options;
    const QString& credit =
        row.direction == Direction::Latin ? window.LatinCredit : window.GreekCredit;
    settings.credit = credit.toStdU16String();
    settings.speller = row.options.greek == GreekSpelling::Accented ? speller.get() : nullptr;
    settings.chat = true;
    class Source final : public ByteSource {
      public:
        explicit Source(QByteArray bytes) : bytes_(std::move(bytes)) {}
        Result<std::string_view> Read() override {
            const std::string_view all(bytes_.constData(), static_cast<std::size_t>(bytes_.size()));
            const std::string_view next = all.substr(std::min(at_, all.size()), 5);
            at_ += next.size();
            return next;
        }

      private:
        QByteArray bytes_;
        std::size_t at_ = 0;
    } source(window.SourceText().toUtf8());
    class Sink final : public ByteSink {
      public:
        Status Write(std::string_view bytes) override {
            bytes_.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
            return {};
        }
        QByteArray bytes_;
    } sink;
    Pipeline pipeline(settings);
    ASSERT_TRUE(pipeline.Stream(source, sink, Threads::Several));
    EXPECT_EQ(window.ResultText(), QString::fromUtf8(sink.bytes_));
}

ConversionOptions WithForms(XiForm xi, ThetaForm theta, PsiForm psi, OmegaForm omega) {
    ConversionOptions options;
    options.xi = xi;
    options.theta = theta;
    options.psi = psi;
    options.omega = omega;
    return options;
}

ConversionOptions WithScheme(LatinScheme scheme) {
    ConversionOptions options;
    options.scheme = scheme;
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, WindowRuns,
    ::testing::Values(
        WindowRow{"LativoByDefault", Direction::Latin, {}, kGreekSource},
        WindowRow{"LativoWithKsThPsAndV", Direction::Latin,
                  WithForms(XiForm::XiKS, ThetaForm::ThetaTH, PsiForm::PsiPS, OmegaForm::OmegaV),
                  kGreekSource},
        WindowRow{"LativoWithJAndU", Direction::Latin,
                  WithForms(XiForm::XiJ, ThetaForm::ThetaU, PsiForm::PsiC, OmegaForm::OmegaW),
                  kGreekSource},
        WindowRow{"LativoUnderElot743", Direction::Latin, WithScheme(LatinScheme::Elot743),
                  kGreekSource},
        WindowRow{"LativoUnderIso843", Direction::Latin, WithScheme(LatinScheme::Iso843),
                  kGreekSource},
        WindowRow{"EllinikaAsWritten", Direction::Greek, {}, kLatinSource},
        WindowRow{
            "EllinikaAccented", Direction::Greek, {.greek = GreekSpelling::Accented}, kLatinSource},
        WindowRow{"EllinikaOfGreekLetters", Direction::Greek, {}, kGreekSource}),
    [](const auto& info) { return std::string(info.param.name); });

// Of the core, the window includes the front door and the product's name
// only: whatever else it needs, the pipeline offers.
TEST(WindowSources, IncludeNothingOfTheCoreButThePipeline) {
    const QRegularExpression core_include(QStringLiteral("^#include \"(core/[^\"]+)\""),
                                          QRegularExpression::MultilineOption);
    QStringList found;
    QDirIterator sources(QStringLiteral(BIVANO_SOURCE_DIR "/ui"), {"*.h", "*.cpp"}, QDir::Files,
                         QDirIterator::Subdirectories);
    int files = 0;
    while (sources.hasNext()) {
        QFile file(sources.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        ++files;
        const QString text = QString::fromUtf8(file.readAll());
        for (auto match = core_include.globalMatch(text); match.hasNext();) {
            const QString header = match.next().captured(1);
            if (header != QStringLiteral("core/pipeline.h") &&
                header != QStringLiteral("core/product.h")) {
                found << file.fileName() + QStringLiteral(": ") + header;
            }
        }
    }
    EXPECT_GT(files, 20);
    EXPECT_TRUE(found.isEmpty()) << found.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace bivano
