// SPDX-License-Identifier: GPL-3.0-or-later
// A text converted in pieces gives what the whole text gives.
#include "core/lativo/conversion_stream.h"

#include <gtest/gtest.h>

#include <random>

#include "all_options.h"
#include "core/lativo/convert_to_greek.h"
#include "core/lativo/convert_to_latin.h"
#include "recording_progress.h"

namespace bivano {
namespace {

using namespace bivano::testing;

// Texts thick with what looks across a piece boundary: two-letter forms,
// digits between letters, groups between asterisks of every length around
// the limits, s before non-letters, CR LF, surrogate pairs, folded letters
// and combining marks.
std::u16string BoundaryRichText(std::mt19937& random, std::size_t length) {
    static const std::u16string pieces[] = {
        u"th",     u"TH",         u"tha",    u"ps", u"Ps",    u"ks",   u"KS", u"a3b", u" 8a",
        u"8",      u"3",          u"s",      u"s.", u"s\r\n", u"\r\n", u"\r", u"\n",  u"ou",
        u"eu",     u"u",          u"*",      u"**", u"a",     u"e",    u"o",  u"h",   u"θ",
        u"ψ",      u"ξ",          u"Ώ",      u"ἄ",  u"ϑ",     u"ϲ",    u"ϗ",  u"ͺ",   u"\u0301",
        u"\u0345", u"\U0001F600", u"\xD83D", u" ",  u"Ж"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<std::size_t> group(0, 22);
    std::u16string text;
    while (text.size() < length) {
        if (random() % 9 == 0) {
            text += u'*';
            text += std::u16string(group(random), u'x');
            text += u'*';
        } else {
            text += pieces[pick(random)];
        }
    }
    return text;
}

// Cuts `text` at random places, pieces of one code unit among them.
std::vector<std::u16string_view> RandomPieces(std::mt19937& random, std::u16string_view text) {
    std::vector<std::u16string_view> pieces;
    while (!text.empty()) {
        const std::size_t size = random() % 3 == 0 ? 1 : 1 + random() % 60;
        pieces.push_back(text.substr(0, size));
        text.remove_prefix(std::min(size, text.size()));
    }
    return pieces;
}

template <typename Stream>
std::u16string Streamed(Stream& stream, const std::vector<std::u16string_view>& pieces) {
    std::u16string out;
    for (const std::u16string_view piece : pieces) {
        stream.Convert(piece, out);
    }
    stream.Finish(out);
    return out;
}

std::u16string WithoutTail(std::u16string result) {
    result.resize(result.size() - kTail.size());
    return result;
}

TEST(ConversionStream, PiecesGiveTheWholeTextsResult) {
    std::mt19937 random(4711);
    const auto all_options = AllOptions();
    for (int round = 0; round < 400; ++round) {
        const std::u16string text = BoundaryRichText(random, 1 + random() % 300);
        const auto pieces = RandomPieces(random, text);
        SilentProgress progress;

        GreekStream greek;
        ASSERT_EQ(U8(Streamed(greek, pieces)), U8(WithoutTail(ConvertToGreek(text, u"", progress))))
            << "Greek, round " << round << ": " << U8(text);

        const ConversionOptions& options = all_options[round % all_options.size()];
        LatinStream latin(options);
        ASSERT_EQ(U8(Streamed(latin, pieces)),
                  U8(WithoutTail(ConvertToLatin(text, options, u"", progress))))
            << "Latin, round " << round << ": " << U8(text);
    }
}

TEST(ConversionStream, LongPiecesAcrossTheStreamsOwnWindows) {
    // Pieces far longer than the few thousand characters a stream converts
    // at a time, so that its own window edges fall everywhere.
    std::mt19937 random(1821);
    for (int round = 0; round < 12; ++round) {
        const std::u16string text = BoundaryRichText(random, 30000 + random() % 5000);
        std::vector<std::u16string_view> pieces;
        for (std::u16string_view rest(text); !rest.empty();) {
            const std::size_t size = std::min<std::size_t>(rest.size(), 1 + random() % 12000);
            pieces.push_back(rest.substr(0, size));
            rest.remove_prefix(size);
        }
        SilentProgress progress;
        GreekStream greek;
        ASSERT_EQ(U8(Streamed(greek, pieces)),
                  U8(WithoutTail(ConvertToGreek(text, u"", progress))));
        const ConversionOptions options{XiForm::XiKS, ThetaForm::ThetaTH, PsiForm::PsiPS};
        LatinStream latin(options);
        ASSERT_EQ(U8(Streamed(latin, pieces)),
                  U8(WithoutTail(ConvertToLatin(text, options, u"", progress))));
    }
}

TEST(ConversionStream, VerbatimGroupsAtEveryOffsetOfAPiece) {
    // A group of 19 characters (the longest) and one of 20 (too long), cut
    // at every place.
    for (const std::u16string& text : {u"ab *" + std::u16string(19, u'q') + u"*ths",
                                       u"ab *" + std::u16string(20, u'q') + u"*s"}) {
        SilentProgress progress;
        const std::u16string whole = WithoutTail(ConvertToGreek(text, u"", progress));
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            GreekStream stream;
            const std::u16string_view view(text);
            EXPECT_EQ(U8(Streamed(stream, {view.substr(0, cut), view.substr(cut)})), U8(whole))
                << "cut at " << cut;
        }
    }
}

TEST(ConversionStream, FinishStartsAFreshText) {
    GreekStream stream;
    std::u16string out;
    stream.Convert(u"ks", out);
    stream.Finish(out);
    stream.Convert(u"3ero", out);  // a 3 that starts a text before a letter is xi
    stream.Finish(out);
    EXPECT_EQ(U8(out), "ξξερο");
}

}  // namespace
}  // namespace bivano
