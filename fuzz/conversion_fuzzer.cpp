// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: arbitrary UTF-16 through both conversions under every
// combination of options; every run must keep the receiver's promises, and
// the streams cut into pieces must give the same text. The same bytes also
// go through the text decoder, judging and told each encoding, whole and in
// pieces of random sizes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include "all_options.h"
#include "core/encoding/text_codec.h"
#include "core/lativo/conversion_stream.h"
#include "core/lativo/convert_to_greek.h"
#include "core/lativo/convert_to_latin.h"
#include "core/layout/layout_repair.h"
#include "core/pipeline.h"
#include "model_builder/greek_model_builder.h"
#include "model_builder/model_sources.h"
#include "run_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace bivano;
    using namespace bivano::testing;
    // Lativo's 36 choices, and the published schemes, which read whole
    // words across the pieces.
    static const auto all_options = [] {
        auto options = AllOptions();
        for (const LatinScheme scheme : kAllSchemes) {
            options.emplace_back().scheme = scheme;
        }
        return options;
    }();

    std::u16string source(size / 2, u'\0');
    std::memcpy(source.data(), data, source.size() * sizeof(char16_t));
    const std::u16string credit = u"credit";

    auto check = [&](const RecordingProgress& progress, const std::u16string& result) {
        if (RunInvariantBreach(progress, result, source.size(), credit)) {
            std::abort();
        }
    };
    // Pieces of 1, 2, ... code units, as the first byte says.
    const std::size_t piece = size == 0 ? 1 : 1 + data[0] % 37;
    auto streamed = [&](auto& stream) {
        std::u16string out;
        for (std::size_t at = 0; at < source.size(); at += piece) {
            stream.Convert(std::u16string_view(source).substr(at, piece), out);
        }
        stream.Finish(out);
        return out + u"\r\n\r\n\r\n\r\n" + credit;
    };
    {
        RecordingProgress progress;
        const std::u16string result = ConvertToGreek(source, credit, progress);
        check(progress, result);
        GreekStream stream;
        if (streamed(stream) != result) {
            std::abort();
        }
    }
    for (const ConversionOptions& options : all_options) {
        RecordingProgress progress;
        const std::u16string result = ConvertToLatin(source, options, credit, progress);
        check(progress, result);
        LatinStream stream(options);
        if (streamed(stream) != result) {
            std::abort();
        }
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The decoder, judging or told the encoding, in random pieces against
    // the whole: the same text, the same first bad bytes, the same place.
    std::minstd_rand pieces_random(static_cast<std::uint32_t>(size) * 2654435761U +
                                   (size > 2 ? data[2] : 0U));
    const auto decode = [&](TextDecoder decoder, bool random_pieces) {
        std::u16string text;
        for (std::size_t at = 0; at < size;) {
            const std::size_t length = random_pieces ? 1 + pieces_random() % 64 : size;
            decoder.Decode(bytes.substr(at, length), text);
            at += length;
        }
        decoder.Finish(text);
        return std::make_pair(text, decoder.bad_bytes());
    };
    const auto same_bad = [](const std::optional<TextDecoder::BadBytes>& a,
                             const std::optional<TextDecoder::BadBytes>& b) {
        return a.has_value() == b.has_value() &&
               (!a || (a->byte == b->byte && a->place.line == b->place.line &&
                       a->place.column == b->place.column));
    };
    for (int kind = -1; kind < 5; ++kind) {
        const auto make = [&] {
            return kind < 0 ? TextDecoder() : TextDecoder(static_cast<Encoding>(kind));
        };
        const auto once = decode(make(), false);
        const auto in_pieces = decode(make(), true);
        if (once.first != in_pieces.first || !same_bad(once.second, in_pieces.second)) {
            std::abort();
        }
    }
    TextDecoder whole(DetectEncoding(bytes).encoding);
    std::u16string once;
    whole.Decode(bytes, once);
    whole.Finish(once);
    TextDecoder pieces(DetectEncoding(bytes).encoding);
    std::u16string in_pieces;
    for (std::size_t at = 0; at < size; at += piece) {
        pieces.Decode(bytes.substr(at, piece), in_pieces);
    }
    pieces.Finish(in_pieces);
    if (once != in_pieces) {
        std::abort();
    }
    // The front door, with spelling: bytes in pieces give what they give whole.
    // Its words include chat abbreviations' (δν δεν, μ μου), words that
    // slips of typing reach, and a word typed as two (kali mera), common
    // against the running words of το and rare parts.
    static const std::unique_ptr<GreekSpeller> built =
        builder::SpellerOf({{u"καλημέρα", u"θάλασσα", u"τι", u"και", u"Αθήνα", u"δεν", u"μου",
                             u"ξέρω", u"σύστημα", u"καλή", u"μέρα", u"το"},
                            {{u"και", 9000},
                             {u"τι", 4000},
                             {u"δεν", 6000},
                             {u"μου", 5000},
                             {u"ξέρω", 600},
                             {u"το", 100000},
                             {u"καλημέρα", 500},
                             {u"καλή", 20},
                             {u"μέρα", 20}},
                            {{{u"δεν", u"ξέρω"}, 3}, {{u"τι", u"~αι"}, 3}},
                            {"word", "super"},
                            {}});
    const GreekSpeller& speller = *built;
    for (const Direction direction : {Direction::Latin, Direction::Greek, Direction::AccentsOnly,
                                      Direction::Layout, Direction::Auto}) {
        PipelineSettings settings;
        settings.direction = direction;
        settings.speller = &speller;
        settings.chat = size > 1 && (data[1] & 1) != 0;
        std::string whole_out;
        Pipeline whole_pipeline(settings);
        const bool whole_ok =
            whole_pipeline.Run(bytes, whole_out) && whole_pipeline.Finish(whole_out);
        std::string pieces_out;
        Pipeline pieces_pipeline(settings);
        bool pieces_ok = true;
        for (std::size_t at = 0; at < size && pieces_ok; at += piece) {
            pieces_ok = pieces_pipeline.Run(bytes.substr(at, piece), pieces_out).ok();
        }
        pieces_ok = pieces_ok && pieces_pipeline.Finish(pieces_out).ok();
        if (whole_ok != pieces_ok || whole_out != pieces_out) {
            std::abort();
        }
    }
    // Text typed in the wrong layout is repaired in any pieces alike, and
    // text with neither Greek letters nor dead keys before a letter stays.
    {
        layout::LayoutStream stream(speller.Model());
        std::u16string out;
        for (std::size_t at = 0; at < source.size(); at += piece) {
            stream.Convert(std::u16string_view(source).substr(at, piece), out);
        }
        stream.Finish(out);
        if (out != layout::RepairLayout(source, speller.Model())) {
            std::abort();
        }
        const bool may_change = std::any_of(source.begin(), source.end(), [](char16_t c) {
            return (c >= 0x370 && c < 0x400) || c == u';' || c == u':';
        });
        if (!may_change && out != source) {
            std::abort();
        }
    }
    // A model whose bytes the input changed, checksum and all: it is
    // refused, or it reads words, never out of its bounds.
    static const std::vector<std::byte> model =
        builder::BuildModel({{u"καλημέρα", u"θάλασσα", u"τι", u"και", u"Αθήνα"},
                             {{u"και", 9}, {u"τι", 4}, {u"Διαμαντίδης", 5}},
                             {{{u"και", u"τι"}, 3},
                              {{u"τι", u"~αι"}, 3},
                              {{u"<a", u"και"}, 4},
                              {{u"τι", u"0>"}, 3},
                              {{u"<a", u"*"}, 9},
                              {{u"*", u"0>"}, 7}},
                             {"word"},
                             {{u"τι", 30}, {u"θάλασσα", 8}, {u"κάτι", 5}}});
    auto changed = std::make_shared<std::vector<std::byte>>(model);
    for (std::size_t at = 0; at + 3 <= size; at += 3) {
        const std::size_t place =
            (static_cast<std::size_t>(data[at]) << 8 | data[at + 1]) % changed->size();
        (*changed)[place] = static_cast<std::byte>(data[at + 2]);
    }
    builder::Reseal(*changed);
    if (const auto damaged = GreekSpeller::FromModelBytes(*changed, changed)) {
        for (const auto source_kind :
             {ReadingStream::Source::Latin, ReadingStream::Source::Greek}) {
            ReadingStream stream(*damaged, source_kind, true);
            std::u16string out;
            stream.Read(
                u"kalimera ti kai thalassa Athina? word ΚΑΛΙΜΕΡΑ καλιμερα θαλασα Word kai 3 "
                u"ti Diamantidis naiiii denxerw kalimra dn m'aresei xaxa DN 3ERW",
                out);
            stream.Read(source, out);
            stream.Finish(out);
        }
        const std::u16string repaired =
            layout::RepairLayout(u"Kalhm;era ηελλο ςορλδ " + source, damaged->Model());
        if (repaired.empty()) {
            std::abort();
        }
    }
    return 0;
}
