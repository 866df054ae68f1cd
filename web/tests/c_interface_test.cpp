// SPDX-License-Identifier: GPL-3.0-or-later
// The C interface the web module calls: settings checked, pieces adding up
// to the whole, files decoded and encoded as the program does, a model
// taken or refused.
#include "lativo_c.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model_builder/greek_model_builder.h"

namespace {

LativoSettings Defaults(int direction = LATIVO_TO_LATIN) {
    return LativoSettings{direction, 0, 0, 0, 0, 0, LATIVO_AUTO, LATIVO_UTF8, 0, 0};
}

std::u16string Convert(LativoPipeline* pipeline, std::u16string_view text, std::size_t piece) {
    std::u16string out;
    std::size_t length = 0;
    for (std::size_t at = 0; at < text.size(); at += piece) {
        const std::u16string_view part = text.substr(at, piece);
        const uint16_t* got = lativo_convert(
            pipeline, reinterpret_cast<const uint16_t*>(part.data()), part.size(), 0, &length);
        out.append(reinterpret_cast<const char16_t*>(got), length);
    }
    const uint16_t* rest = lativo_convert(pipeline, nullptr, 0, 1, &length);
    out.append(reinterpret_cast<const char16_t*>(rest), length);
    return out;
}

struct BadSettings {
    const char* name;
    LativoSettings settings;
};

class RefusedSettings : public ::testing::TestWithParam<BadSettings> {};

TEST_P(RefusedSettings, MakeNoPipeline) {
    EXPECT_EQ(lativo_pipeline_new(&GetParam().settings, nullptr), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, RefusedSettings,
    ::testing::Values(BadSettings{"Direction", {5, 0, 0, 0, 0, 0, -1, 0, 0, 0}},
                      BadSettings{"NegativeDirection", {-1, 0, 0, 0, 0, 0, -1, 0, 0, 0}},
                      BadSettings{"Scheme", {0, 6, 0, 0, 0, 0, -1, 0, 0, 0}},
                      BadSettings{"Xi", {0, 0, 3, 0, 0, 0, -1, 0, 0, 0}},
                      BadSettings{"Theta", {0, 0, 0, 3, 0, 0, -1, 0, 0, 0}},
                      BadSettings{"Psi", {0, 0, 0, 0, 2, 0, -1, 0, 0, 0}},
                      BadSettings{"Omega", {0, 0, 0, 0, 0, 2, -1, 0, 0, 0}},
                      BadSettings{"From", {0, 0, 0, 0, 0, 0, 5, 0, 0, 0}},
                      // Only UTF-8 and Windows-1253 are written.
                      BadSettings{"ToUtf16", {0, 0, 0, 0, 0, 0, -1, 1, 0, 0}},
                      BadSettings{"ToIso", {0, 0, 0, 0, 0, 0, -1, 4, 0, 0}},
                      // Accents alone need a model.
                      BadSettings{"AccentsWithoutModel", {2, 0, 0, 0, 0, 0, -1, 0, 0, 0}},
                      // Without a model no word could be judged: refused
                      // rather than handing the text back unchanged.
                      BadSettings{"LayoutWithoutModel", {3, 0, 0, 0, 0, 0, -1, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

struct Case {
    const char* name;
    LativoSettings settings;
    std::u16string in;
    std::u16string out;
};

class Conversions : public ::testing::TestWithParam<Case> {};

TEST_P(Conversions, GiveTheSameTextInEveryPieceSize) {
    for (const std::size_t piece : {1, 2, 3, 7, 4099}) {
        LativoPipeline* pipeline = lativo_pipeline_new(&GetParam().settings, nullptr);
        ASSERT_NE(pipeline, nullptr);
        EXPECT_EQ(Convert(pipeline, GetParam().in, piece), GetParam().out) << "pieces of " << piece;
        lativo_pipeline_delete(pipeline);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Conversions,
    ::testing::Values(
        Case{"Lativo", Defaults(), u"θάλασσα, ψυχή", u"8alassa, cyxh"},
        Case{"ChoicesByIndex",
             {0, 0, 2, 2, 1, 1, -1, 0, 0, 0},
             u"ξύλο θάλασσα ψυχή ώρα",
             u"ksylo thalassa psyxh vra"},
        Case{"Elot743",
             {0, 1, 0, 0, 0, 0, -1, 0, 0, 0},
             u"Θεσσαλονίκη, ΨΥΧΗ, αύριο",
             u"Thessaloniki, PSYCHI, avrio"},
        Case{"Slug", {0, 5, 0, 0, 0, 0, -1, 0, 0, 0}, u"Καλημέρα κόσμε!", u"kalimera-kosme"},
        Case{"Greek", Defaults(LATIVO_TO_GREEK), u"Pws eisai? *e-mail*", u"Πως εισαι? e-mail"},
        // Without a model Greek lines still go to Latin; Greeklish cannot
        // be told from English and stays (the module asks for a model).
        Case{"AutoWithoutModel", Defaults(LATIVO_AUTO_DIRECTION),
             u"θάλασσα και ψυχή\nkalimera kai kalo mhna\n",
             u"8alassa kai cyxh\nkalimera kai kalo mhna\n"},
        // A pair of surrogates stays a pair, whichever piece cuts it.
        Case{"SurrogatePair", Defaults(), u"α\U0001F600β", u"a\U0001F600b"},
        Case{"LatinCredit",
             {0, 0, 0, 0, 0, 0, -1, 0, 1, 0},
             u"α",
             u"a\r\n\r\n\r\n\r\nMetatrapike apo Ellhnika me ton Lativo Bivano. www.example.org"},
        Case{"GreekCredit",
             {1, 0, 0, 0, 0, 0, -1, 0, 1, 0},
             u"a",
             u"α\r\n\r\n\r\n\r\nΜετατράπηκε από Lativo με τον Lativo Bivano. www.example.org"}),
    [](const auto& info) { return std::string(info.param.name); });

std::u16string Decode(int from, std::string_view bytes, int* encoding = nullptr) {
    LativoSettings settings = Defaults();
    settings.from = from;
    LativoPipeline* pipeline = lativo_pipeline_new(&settings, nullptr);
    std::size_t length = 0;
    std::u16string out;
    for (const char byte : bytes) {
        const uint8_t one = static_cast<uint8_t>(byte);
        const uint16_t* got = lativo_decode(pipeline, &one, 1, 0, &length);
        out.append(reinterpret_cast<const char16_t*>(got), length);
    }
    const uint16_t* rest = lativo_decode(pipeline, nullptr, 0, 1, &length);
    out.append(reinterpret_cast<const char16_t*>(rest), length);
    if (encoding != nullptr) {
        *encoding = lativo_decoded_encoding(pipeline);
    }
    lativo_pipeline_delete(pipeline);
    return out;
}

TEST(Files, AreReadInTheEncodingOpenJudges) {
    struct Row {
        const char* name;
        std::string bytes;
        int encoding;
        std::u16string text;
    };
    const Row rows[] = {
        {"Utf8", "\xCE\xB8\xCE\xB1", LATIVO_UTF8, u"θα"},
        {"Utf8WithMark", "\xEF\xBB\xBF\xCE\xB8", LATIVO_UTF8, u"θ"},
        {"Utf16LE", std::string("\xFF\xFE\xB8\x03", 4), LATIVO_UTF16LE, u"θ"},
        {"Utf16BE", std::string("\xFE\xFF\x03\xB8", 4), LATIVO_UTF16BE, u"θ"},
        {"Iso8859_7", "\xB6\xED\xE8", LATIVO_ISO_8859_7, u"Άνθ"},
        {"Windows1253", "\xE1\xE2", LATIVO_WINDOWS_1253, u"αβ"},
    };
    for (const Row& row : rows) {
        std::size_t mark = 99;
        EXPECT_EQ(lativo_detect_encoding(reinterpret_cast<const uint8_t*>(row.bytes.data()),
                                         row.bytes.size(), 1, &mark),
                  row.encoding)
            << row.name;
        int decoded_in = -1;
        EXPECT_EQ(Decode(LATIVO_AUTO, row.bytes, &decoded_in), row.text) << row.name;
        EXPECT_EQ(decoded_in, row.encoding) << row.name;
    }
}

TEST(Files, Windows1253NamesTheFirstCharacterItCannotWrite) {
    LativoSettings settings = Defaults();
    settings.to = LATIVO_WINDOWS_1253;
    LativoPipeline* pipeline = lativo_pipeline_new(&settings, nullptr);
    const std::u16string text = u"αβ\r\nγЖ";
    std::size_t length = 0;
    EXPECT_EQ(lativo_encode(pipeline, reinterpret_cast<const uint16_t*>(text.data()), text.size(),
                            1, &length),
              nullptr);
    uint32_t line = 0;
    uint32_t column = 0;
    uint32_t character = 0;
    lativo_encoding_failure(pipeline, &line, &column, &character);
    EXPECT_EQ(line, 2u);
    EXPECT_EQ(column, 2u);
    EXPECT_EQ(character, 0x416u);
    lativo_pipeline_delete(pipeline);

    settings.to = LATIVO_UTF8;
    pipeline = lativo_pipeline_new(&settings, nullptr);
    const uint8_t* bytes = lativo_encode(pipeline, reinterpret_cast<const uint16_t*>(text.data()),
                                         text.size(), 1, &length);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), length),
              "\xCE\xB1\xCE\xB2\r\n\xCE\xB3\xD0\x96");
    lativo_pipeline_delete(pipeline);
}

std::vector<std::byte> SmallModel() {
    bivano::builder::ModelSource source;
    source.words = {u"καλημέρα", u"τι", u"κάνεις", u"θάλασσα"};
    return bivano::builder::BuildModel(source);
}

void* Copy(const std::vector<std::byte>& bytes) {
    void* memory = lativo_alloc(bytes.size());
    std::memcpy(memory, bytes.data(), bytes.size());
    return memory;
}

TEST(Model, IsTakenAndSpellsGreek) {
    const std::vector<std::byte> bytes = SmallModel();
    int problem = -1;
    LativoModel* model = lativo_model_open(Copy(bytes), bytes.size(), &problem);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(problem, LATIVO_MODEL_OK);
    EXPECT_EQ(lativo_model_word_count(model), 4u);
    const LativoSettings settings = Defaults(LATIVO_TO_GREEK);
    LativoPipeline* pipeline = lativo_pipeline_new(&settings, model);
    EXPECT_EQ(Convert(pipeline, u"kalimera ti kaneis?", 3), u"καλημέρα τι κάνεις;");
    lativo_pipeline_delete(pipeline);
    lativo_model_close(model);
}

TEST(Model, RepairsTheKeyboardLayout) {
    const std::vector<std::byte> bytes = SmallModel();
    int problem = -1;
    LativoModel* model = lativo_model_open(Copy(bytes), bytes.size(), &problem);
    ASSERT_NE(model, nullptr);
    const LativoSettings settings = Defaults(LATIVO_LAYOUT);
    for (const std::size_t piece : {1, 2, 5, 4099}) {
        LativoPipeline* pipeline = lativo_pipeline_new(&settings, model);
        ASSERT_NE(pipeline, nullptr);
        EXPECT_EQ(Convert(pipeline, u"Kalhm;era, ti k;aneiw?\n", piece), u"Καλημέρα, τι κάνεις?\n")
            << "pieces of " << piece;
        lativo_pipeline_delete(pipeline);
    }
    lativo_model_close(model);
}

TEST(Model, DamagedOrCutShortIsRefused) {
    const std::vector<std::byte> good = SmallModel();
    std::vector<std::byte> flipped = good;
    flipped[flipped.size() / 2] ^= std::byte{0x40};
    std::vector<std::byte> cut(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
    const std::vector<std::byte> text = {std::byte{'h'}, std::byte{'i'}};
    const std::vector<std::byte>* const refused[] = {&flipped, &cut, &text};
    for (const auto* bytes : refused) {
        int problem = -1;
        EXPECT_EQ(lativo_model_open(Copy(*bytes), bytes->size(), &problem), nullptr);
        EXPECT_EQ(problem, LATIVO_MODEL_NOT_A_MODEL);
    }
}

}  // namespace
