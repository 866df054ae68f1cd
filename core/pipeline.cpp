// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pipeline.h"

#include <variant>

#include "core/lativo/conversion_run.h"
#include "core/lativo/result_tail.h"

namespace bivano {
class Pipeline::Converter {
  public:
    explicit Converter(const PipelineSettings& settings)
        : stream_(Make(settings)), reading_(MakeReading(settings)), credit_(settings.credit) {}

    void Convert(std::u16string_view text, std::u16string& out, bool last) {
        std::visit([&](auto& stream) { Run(stream, text, out, last); }, stream_);
        if (last && credit_) {
            out.append(kTailBreaks);
            out.append(*credit_);
        }
    }

  private:
    using Stream = std::variant<std::monostate, LatinStream, GreekStream>;

    static Stream Make(const PipelineSettings& settings) {
        switch (settings.direction) {
            case Direction::Latin:
                return LatinStream(settings.options);
            case Direction::Greek:
                return GreekStream(settings.options);
            case Direction::AccentsOnly:
                break;
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

    static std::optional<ReadingStream> MakeReading(const PipelineSettings& settings) {
        if (settings.speller == nullptr || settings.direction == Direction::Latin) {
            return std::nullopt;  // Latin letters have no Greek spelling
        }
        return ReadingStream(*settings.speller,
                             settings.direction == Direction::Greek ? ReadingStream::Source::Latin
                                                                    : ReadingStream::Source::Greek,
                             settings.chat);
    }

    Stream stream_;
    std::optional<ReadingStream> reading_;
    std::optional<std::u16string> credit_;
};

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

bool Pipeline::Encode(std::u16string_view text, std::string& bytes) {
    return encoder_.Encode(text, bytes);
}

bool Pipeline::FinishEncoding(std::string& bytes) {
    return encoder_.Finish(bytes);
}

TextPlace Pipeline::InputPlaceOf(const TextEncoder::Failure& failure,
                                 const RecentText& input) const {
    std::u16string alone;
    const auto gives = [&](char32_t code) {
        if (code == failure.character) {
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
        return failure.character <= 0xFFFF &&
               alone.find(static_cast<char16_t>(failure.character)) != std::u16string::npos;
    };
    if (const std::optional<TextPlace> place = input.Find(failure.line, gives)) {
        return *place;
    }
    return {failure.line, failure.column};
}

bool Pipeline::Run(std::string_view bytes, std::string& out) {
    text_.clear();
    converted_.clear();
    Decode(bytes, text_);
    Convert(text_, converted_);
    return Encode(converted_, out);
}

bool Pipeline::Finish(std::string& out) {
    text_.clear();
    converted_.clear();
    FinishDecoding(text_);
    Convert(text_, converted_);
    FinishConverting(converted_);
    return Encode(converted_, out) && FinishEncoding(out);
}

std::u16string ConvertToGreekSpelled(std::u16string_view source, std::u16string_view credit,
                                     const GreekSpeller& speller, ConversionProgress& progress) {
    PipelineSettings settings;
    settings.direction = Direction::Greek;
    settings.speller = &speller;
    settings.chat = true;
    Pipeline::Converter converter(settings);
    return internal::RunInSteps(source, credit, progress,
                                [&](std::u16string_view piece, bool last, std::u16string& out) {
                                    converter.Convert(piece, out, last);
                                });
}

}  // namespace bivano
