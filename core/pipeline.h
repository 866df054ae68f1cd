// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The core's front door: the window, bivano and the web build's C interface
// take all they use of the core through this header.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/encoding/text_codec.h"
#include "core/encoding/text_file.h"
#include "core/encoding/text_position.h"
#include "core/lativo/conversion_options.h"
#include "core/lativo/conversion_progress.h"
#include "core/lativo/conversion_stream.h"
#include "core/lativo/text_range.h"
#include "core/result.h"
#include "core/spelling/speller.h"

namespace bivano {

// Which way a text goes: Greek letters to Latin ones, Latin letters to
// Greek, or Greek spelled with accents as it is; text typed with the wrong
// keyboard layout repaired (Layout, which needs the speller's model); each
// line the way its words show (Auto: Greek letters to Latin, Greeklish to
// Greek).
enum class Direction { Latin, Greek, AccentsOnly, Layout, Auto };

struct PipelineSettings {
    Direction direction = Direction::Latin;
    ConversionOptions options;              // how Latin writes ξ, θ, ψ, ω
    std::optional<Encoding> from;           // nothing: judged from the bytes, as Open does
    Encoding to = Encoding::Utf8;           // UTF-8 or Windows-1253
    std::optional<std::u16string> credit;   // ends the text after four CR LF pairs
    const GreekSpeller* speller = nullptr;  // Greek and AccentsOnly spell with it
    bool chat = false;                      // and write out the chat abbreviations
    // Called first on each thread that spells parts of a streamed text
    // (Threads::Several), from it: a front end may tune the thread there.
    void (*on_spelling_thread)() = nullptr;
};

// Where the bytes of a streamed run come from: a file, standard input.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // The next bytes, valid until the next call; none at the end.
    virtual Result<std::string_view> Read() = 0;
    // Called once a run with a reading thread has stopped early, from
    // another thread, while Read may be waiting for bytes that never come
    // (a terminal, a pipe kept open): Read should then return soon, best
    // with a failure, so that nothing more is decoded.
    virtual void Interrupt() {}
};

// Where the bytes of a streamed run go.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual Status Write(std::string_view bytes) = 0;
};

// How a streamed run spreads its work.
enum class Threads {
    // Everything in turn on the caller's thread: for a build without
    // threads (WebAssembly) or a caller that wants none.
    One,
    // Reading and decoding (and, but for Latin, converting) on a thread of
    // its own, the rest on the caller's, at most two pieces apart: the work
    // splits about evenly either way. The spelling (Greek with a speller,
    // AccentsOnly), much the costliest, on up to two threads more, a part
    // of the text each.
    Several,
};

// Bytes in, bytes out, in pieces of any size: decode, convert, spell,
// encode. Whatever the pieces, the output is the same as for the whole
// text at once.
//
//   Pipeline latin(PipelineSettings{});   // Latin, UTF-8 in and out
//   latin.Run("\xCE\xB8\xCE\xAC", out); latin.Finish(out);   // out == "8a"
class Pipeline {
  public:
    explicit Pipeline(const PipelineSettings& settings);
    ~Pipeline();
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

    // The whole of `source` into `sink`, a piece at a time, so that memory
    // stays flat whatever the input's size; once per pipeline. Stops at the
    // first failure: the source's or the sink's as it came, or a character
    // the output encoding cannot write, placed in the input (NotEncodable;
    // InvalidByteNotEncodable when it stands for bytes that could not be
    // read). The bytes written are the same whichever `threads`.
    Status Stream(ByteSource& source, ByteSink& sink, Threads threads);

    // The stages one by one, for a caller that drives them itself: they may
    // run on different threads, each stage on one at a time, handing text
    // on in order.
    void Decode(std::string_view bytes, std::u16string& text);
    void FinishDecoding(std::u16string& text);
    // The encoding the bytes are read in, once judged (at the latest after
    // FinishDecoding).
    Encoding InputEncoding() const { return decoder_.encoding(); }

    // Converts and spells; the end adds the credit, when there is one.
    void Convert(std::u16string_view text, std::u16string& out);
    void FinishConverting(std::u16string& out);

    // Fails at the first character the output encoding cannot write, with
    // its place in the converted text (see TextEncoder::Encode).
    Status Encode(std::u16string_view text, std::string& bytes);
    void FinishEncoding(std::string& bytes);

    // Where the character that Encode could not write stood in the input,
    // `input` being the decoded text that Convert was given last (a CR LF,
    // LF or CR ends a line on both sides, so lines agree): the first
    // character on its line that is that character, or that converts to
    // it alone (ώ for the ṓ of iso843). The place in the converted text
    // when the input kept has none.
    TextPlace InputPlaceOf(const Failure& not_encodable, const RecentText& input) const;

    // The first bytes that could not be read and became U+FFFD (see
    // TextDecoder), as InvalidByte or UndefinedByte with the input's
    // encoding; ask once decoding is done. The run goes on past them.
    std::optional<Failure> UnreadableInput() const;

    // All three stages on one piece, and on the end.
    Status Run(std::string_view bytes, std::string& out);
    Status Finish(std::string& out);

  private:
    class Converter;
    struct Piece;
    class Handoff;
    class PartQueue;
    friend std::u16string ConvertWithProgress(const PipelineSettings&, std::u16string_view,
                                              ConversionProgress&);

    Piece ReadPiece(ByteSource& source, bool convert_while_reading);
    Status WritePiece(Piece& piece, bool converted, ByteSink& sink, RecentText& recent,
                      std::optional<Failure>& not_encodable);
    Status StreamOnOneThread(ByteSource& source, ByteSink& sink, RecentText& recent,
                             std::optional<Failure>& not_encodable);
    Status StreamOnTwoThreads(ByteSource& source, ByteSink& sink, RecentText& recent,
                              std::optional<Failure>& not_encodable);
    Status StreamReadingInParts(ByteSource& source, ByteSink& sink, RecentText& recent,
                                std::optional<Failure>& not_encodable);
    // The converter's, for StreamReadingInParts (see Converter::ReadsOnly).
    bool ReadsOnly() const;
    ReadingStream NewReading(SharedReadings& shared) const;
    void AppendCredit(std::u16string& out) const;
    Failure PlacedInInput(const Failure& not_encodable, const RecentText& input) const;

    Direction direction_;
    ConversionOptions options_;
    TextDecoder decoder_;
    std::unique_ptr<Converter> converter_;
    TextEncoder encoder_;
    std::u16string text_;       // Run's scratch
    std::u16string converted_;  // Run's and Stream's scratch
    std::string encoded_;       // Stream's scratch
};

// A whole text converted as the window shows it: the result, and on the
// way the calls to `progress` that ConversionProgress describes, the text
// ending with four CR LF pairs and the credit (empty when unset). Latin
// runs as ConvertToLatin and Greek without a speller as ConvertToGreek,
// each with its own repaint rhythm; the others, spelled Greek among them,
// step through the source a piece at a time and give the same text as a
// Pipeline with these settings.
//
//   Latin, credit u"c": u"θάλασσα" -> u"8alassa\r\n\r\n\r\n\r\nc"
std::u16string ConvertWithProgress(const PipelineSettings& settings, std::u16string_view source,
                                   ConversionProgress& progress);

}  // namespace bivano
