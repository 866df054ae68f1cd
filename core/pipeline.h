// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/encoding/text_codec.h"
#include "core/encoding/text_position.h"
#include "core/lativo/conversion_options.h"
#include "core/lativo/conversion_progress.h"
#include "core/lativo/conversion_stream.h"
#include "core/lativo/text_range.h"
#include "core/spelling/speller.h"

namespace bivano {

// Which way a text goes: Greek letters to Latin ones, Latin letters to
// Greek, or Greek spelled with accents as it is.
enum class Direction { Latin, Greek, AccentsOnly };

struct PipelineSettings {
    Direction direction = Direction::Latin;
    ConversionOptions options;              // how Latin writes ξ, θ, ψ, ω
    std::optional<Encoding> from;           // nothing: judged from the bytes, as Open does
    Encoding to = Encoding::Utf8;           // UTF-8 or Windows-1253
    std::optional<std::u16string> credit;   // ends the text after four CR LF pairs
    const GreekSpeller* speller = nullptr;  // Greek and AccentsOnly spell with it
    bool chat = false;                      // and write out the chat abbreviations
};

class GreekSpeller;
std::u16string ConvertToGreekSpelled(std::u16string_view source, std::u16string_view credit,
                                     const GreekSpeller& speller, ConversionProgress& progress);

// Bytes in, bytes out, in pieces of any size: decode, convert, spell,
// encode. The three stages may run on different threads, each stage on one
// at a time, handing text on in order; Run and Finish do all three in turn.
// Whatever the pieces, the output is the same as for the whole text at once.
//
//   Pipeline latin(PipelineSettings{});   // Latin, UTF-8 in and out
//   latin.Run("\xCE\xB8\xCE\xAC", out); latin.Finish(out);   // out == "8a"
class Pipeline {
  public:
    explicit Pipeline(const PipelineSettings& settings);
    ~Pipeline();
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

    void Decode(std::string_view bytes, std::u16string& text);
    void FinishDecoding(std::u16string& text);

    // Converts and spells; the end adds the credit, when there is one.
    void Convert(std::u16string_view text, std::u16string& out);
    void FinishConverting(std::u16string& out);

    // False at the first character the output encoding cannot write;
    // EncodingFailure() then says where.
    bool Encode(std::u16string_view text, std::string& bytes);
    bool FinishEncoding(std::string& bytes);
    TextEncoder::Failure EncodingFailure() const { return encoder_.failure(); }

    // Where the character that could not be written stood in the input,
    // `input` being the decoded text that Convert was given last (a CR LF,
    // LF or CR ends a line on both sides, so lines agree): the first
    // character on its line that is that character, or that converts to
    // it alone (ώ for the ṓ of iso843). The place in the converted text
    // when the input kept has none.
    TextPlace InputPlaceOf(const TextEncoder::Failure& failure, const RecentText& input) const;

    // The first bytes that could not be read (see TextDecoder); ask once
    // decoding is done.
    std::optional<TextDecoder::BadBytes> BadInput() const { return decoder_.bad_bytes(); }
    Encoding InputEncoding() const { return decoder_.encoding(); }

    bool Run(std::string_view bytes, std::string& out);
    bool Finish(std::string& out);

  private:
    class Converter;
    friend std::u16string ConvertToGreekSpelled(std::u16string_view, std::u16string_view,
                                                const GreekSpeller&, ConversionProgress&);

    Direction direction_;
    ConversionOptions options_;
    TextDecoder decoder_;
    std::unique_ptr<Converter> converter_;
    TextEncoder encoder_;
    std::u16string text_;       // Run's scratch
    std::u16string converted_;  // Run's scratch
};

// "Ελληνικά" with accents and spelling as a run of its own: the same calls
// to `progress` as ConvertToGreek makes (the result cleared, the maximum,
// rising positions with the text appended, the tail in one piece, the bar
// back to 0, a repaint), with the spelled text appended once, a step of
// the source at a time: the same text as a Pipeline with the speller and
// the chat abbreviations gives.
std::u16string ConvertToGreekSpelled(std::u16string_view source, std::u16string_view credit,
                                     const GreekSpeller& speller, ConversionProgress& progress);

}  // namespace bivano
