// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pipeline.h"

#include <utility>
#include <variant>
#include <vector>

#include "core/lativo/conversion_run.h"
#include "core/lativo/convert_to_greek.h"
#include "core/lativo/convert_to_latin.h"
#include "core/lativo/result_tail.h"
#include "core/layout/layout_repair.h"
#include "core/layout/paragraph_direction.h"

namespace bivano {

class Pipeline::Converter {
  public:
    explicit Converter(const PipelineSettings& settings)
        : stream_(Make(settings)), reading_(MakeReading(settings)), settings_(settings) {}

    void Convert(std::u16string_view text, std::u16string& out, bool last) {
        std::visit([&](auto& stream) { Run(stream, text, out, last); }, stream_);
        if (last) {
            AppendCredit(out);
        }
    }

    // Whether the conversion is the reading alone, then the credit: the
    // parts of a text may then be read apart (ReadingStream::ReadPart).
    bool ReadsOnly() const { return reading_.has_value(); }
    // On the thread that will read with it.
    ReadingStream NewReading(SharedReadings& shared) const {
        if (settings_.on_spelling_thread != nullptr) {
            settings_.on_spelling_thread();
        }
        return *MakeReading(settings_, &shared);
    }
    void AppendCredit(std::u16string& out) const {
        if (settings_.credit) {
            out.append(kTailBreaks);
            out.append(*settings_.credit);
        }
    }

  private:
    using Stream = std::variant<std::monostate, LatinStream, GreekStream, layout::LayoutStream,
                                layout::ParagraphStream>;

    static Stream Make(const PipelineSettings& settings) {
        switch (settings.direction) {
            case Direction::Latin:
                return LatinStream(settings.options);
            case Direction::Greek:
                return GreekStream(settings.options);
            case Direction::AccentsOnly:
                break;
            case Direction::Layout:
                if (settings.speller != nullptr) {
                    return layout::LayoutStream(settings.speller->Model());
                }
                break;  // nothing to tell the words by: the text stays
            case Direction::Auto:
                return layout::ParagraphStream(settings.options, settings.speller, settings.chat);
        }
        return std::monostate();
    }

    // Only the spelling, over the text as it is.
    void Run(std::monostate&, std::u16string_view text, std::u16string& out, bool last) {
        Pass(text, out, last);
    }
    void Run(LatinStream& stream, std::u16string_view text, std::u16string& out, bool last) {
        stream.Convert(text, out);
        if (last) {
            stream.Finish(out);
        }
    }
    void Run(GreekStream& stream, std::u16string_view text, std::u16string& out, bool last) {
        if (reading_) {
            // The reader reads the Latin letters themselves.
            Pass(text, out, last);
            return;
        }
        stream.Convert(text, out);
        if (last) {
            stream.Finish(out);
        }
    }
    template <class WholeLines>
    void Run(WholeLines& stream, std::u16string_view text, std::u16string& out, bool last) {
        stream.Convert(text, out);
        if (last) {
            stream.Finish(out);
        }
    }
    void Pass(std::u16string_view text, std::u16string& out, bool last) {
        if (!reading_) {
            out.append(text);
            return;
        }
        reading_->Read(text, out);
        if (last) {
            reading_->Finish(out);
        }
    }

    static std::optional<ReadingStream> MakeReading(const PipelineSettings& settings,
                                                    SharedReadings* shared = nullptr) {
        if (settings.speller == nullptr || settings.direction == Direction::Latin ||
            settings.direction == Direction::Layout || settings.direction == Direction::Auto) {
            return std::nullopt;  // Latin letters have no Greek spelling
        }
        return ReadingStream(*settings.speller,
                             settings.direction == Direction::Greek ? ReadingStream::Source::Latin
                                                                    : ReadingStream::Source::Greek,
                             settings.chat, shared);
    }

    Stream stream_;
    std::optional<ReadingStream> reading_;
    PipelineSettings settings_;  // for the readings made later, and the credit
};

bool Pipeline::ReadsOnly() const {
    return converter_->ReadsOnly();
}

ReadingStream Pipeline::NewReading(SharedReadings& shared) const {
    return converter_->NewReading(shared);
}

void Pipeline::AppendCredit(std::u16string& out) const {
    converter_->AppendCredit(out);
}

Pipeline::Pipeline(const PipelineSettings& settings)
    : direction_(settings.direction),
      options_(settings.options),
      decoder_(settings.from ? TextDecoder(*settings.from) : TextDecoder()),
      converter_(std::make_unique<Converter>(settings)),
      encoder_(settings.to) {}

Pipeline::~Pipeline() = default;

void Pipeline::Decode(std::string_view bytes, std::u16string& text) {
    decoder_.Decode(bytes, text);
}

void Pipeline::FinishDecoding(std::u16string& text) {
    decoder_.Finish(text);
}

void Pipeline::Convert(std::u16string_view text, std::u16string& out) {
    converter_->Convert(text, out, false);
}

void Pipeline::FinishConverting(std::u16string& out) {
    converter_->Convert({}, out, true);
}

Status Pipeline::Encode(std::u16string_view text, std::string& bytes) {
    return encoder_.Encode(text, bytes);
}

void Pipeline::FinishEncoding(std::string& bytes) {
    encoder_.Finish(bytes);
}

TextPlace Pipeline::InputPlaceOf(const Failure& not_encodable, const RecentText& input) const {
    std::u16string alone;
    const auto gives = [&](char32_t code) {
        if (code == not_encodable.code) {
            return true;
        }
        // Greek and its spelling write Greek letters, which every output
        // encoding has: only Latin letters with marks come from others.
        if (direction_ != Direction::Latin || code > 0xFFFF) {
            return false;
        }
        const auto unit = static_cast<char16_t>(code);
        LatinStream stream(options_);
        alone.clear();
        stream.Convert(std::u16string_view(&unit, 1), alone);
        stream.Finish(alone);
        return not_encodable.code <= 0xFFFF &&
               alone.find(static_cast<char16_t>(not_encodable.code)) != std::u16string::npos;
    };
    if (const std::optional<TextPlace> place = input.Find(not_encodable.place.line, gives)) {
        return *place;
    }
    return not_encodable.place;
}

std::optional<Failure> Pipeline::UnreadableInput() const {
    const std::optional<TextDecoder::BadBytes> bad = decoder_.bad_bytes();
    if (!bad) {
        return std::nullopt;
    }
    const Encoding encoding = decoder_.encoding();
    return Failure::InText(
        encoding == Encoding::Iso8859_7 ? Cause::UndefinedByte : Cause::InvalidByte, bad->place,
        bad->byte, std::string(EncodingName(encoding)));
}

Status Pipeline::Run(std::string_view bytes, std::string& out) {
    text_.clear();
    converted_.clear();
    Decode(bytes, text_);
    Convert(text_, converted_);
    return Encode(converted_, out);
}

Status Pipeline::Finish(std::string& out) {
    text_.clear();
    converted_.clear();
    FinishDecoding(text_);
    Convert(text_, converted_);
    FinishConverting(converted_);
    Status encoded = Encode(converted_, out);
    if (encoded) {
        FinishEncoding(out);
    }
    return encoded;
}

// A character the output encoding cannot write, placed in the input: a
// U+FFFD there that stands for bytes that could not be read says so.
Failure Pipeline::PlacedInInput(const Failure& not_encodable, const RecentText& input) const {
    Failure placed = not_encodable;
    placed.place = InputPlaceOf(not_encodable, input);
    const std::optional<TextDecoder::BadBytes> bad = decoder_.bad_bytes();
    if (not_encodable.code == 0xFFFD && bad && bad->place.line == placed.place.line &&
        bad->place.column == placed.place.column) {
        placed.cause = Cause::InvalidByteNotEncodable;
        placed.code = bad->byte;
        placed.detail = EncodingName(decoder_.encoding());
    }
    return placed;
}

std::u16string ConvertWithProgress(const PipelineSettings& settings, std::u16string_view source,
                                   ConversionProgress& progress) {
    const std::u16string_view credit =
        settings.credit ? std::u16string_view(*settings.credit) : std::u16string_view();
    if (settings.direction == Direction::Latin) {
        return ConvertToLatin(source, settings.options, credit, progress);
    }
    if (settings.direction == Direction::Greek && settings.speller == nullptr) {
        return ConvertToGreek(source, credit, progress);
    }
    // The run adds the credit itself, in one piece.
    PipelineSettings stepped = settings;
    stepped.credit.reset();
    Pipeline::Converter converter(stepped);
    return internal::RunInSteps(source, credit, progress,
                                [&](std::u16string_view piece, bool last, std::u16string& out) {
                                    converter.Convert(piece, out, last);
                                });
}

}  // namespace bivano
