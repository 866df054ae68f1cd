// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pipeline.h"

#include <variant>

#include "core/lativo/conversion_run.h"
#include "core/lativo/result_tail.h"

namespace bivano {
namespace {

// The spelling pass after a conversion, or nothing.
class Spelling {
  public:
    explicit Spelling(const GreekSpeller* speller) {
        if (speller != nullptr) {
            stream_.emplace(*speller);
        }
    }
    bool active() const { return stream_.has_value(); }
    void Spell(std::u16string_view text, std::span<const TextRange> kept, std::u16string& out) {
        if (stream_) {
            stream_->Spell(text, kept, out);
        } else {
            out.append(text);
        }
    }
    void Finish(std::u16string& out) {
        if (stream_) {
            stream_->Finish(out);
        }
    }

  private:
    std::optional<SpellingStream> stream_;
};

}  // namespace

class Pipeline::Converter {
  public:
    explicit Converter(const PipelineSettings& settings)
        // Latin letters have no Greek spelling.
        : stream_(Make(settings)),
          spelling_(settings.direction == Direction::Latin ? nullptr : settings.speller),
          credit_(settings.credit) {}

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
        spelling_.Spell(text, {}, out);
        if (last) {
            spelling_.Finish(out);
        }
    }
    void Run(LatinStream& stream, std::u16string_view text, std::u16string& out, bool last) {
        stream.Convert(text, out);
        if (last) {
            stream.Finish(out);
        }
    }
    void Run(GreekStream& stream, std::u16string_view text, std::u16string& out, bool last) {
        if (!spelling_.active()) {
            stream.Convert(text, out);
            if (last) {
                stream.Finish(out);
            }
            return;
        }
        for (const bool finishing : {false, true}) {
            if (finishing && !last) {
                break;
            }
            converted_.clear();
            finishing ? stream.Finish(converted_) : stream.Convert(text, converted_);
            spelling_.Spell(converted_, stream.VerbatimGroups(), out);
        }
        if (last) {
            spelling_.Finish(out);
        }
    }

    Stream stream_;
    Spelling spelling_;
    std::optional<std::u16string> credit_;
    std::u16string converted_;
};

Pipeline::Pipeline(const PipelineSettings& settings)
    : decoder_(settings.from ? TextDecoder(*settings.from) : TextDecoder()),
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
    // A step as long as the Latin run's between repaints.
    constexpr std::size_t kStep = 4096;
    const internal::ProgressScale scale = internal::BeginRun(source.size(), progress);
    PipelineSettings settings;
    settings.direction = Direction::Greek;
    settings.speller = &speller;
    Pipeline::Converter converter(settings);
    std::u16string result;
    result.reserve(source.size() + source.size() / 8 + kTailBreaks.size() + credit.size());
    for (std::size_t at = 0; at < source.size(); at += kStep) {
        const std::size_t end = std::min(source.size(), at + kStep);
        const std::size_t start = result.size();
        converter.Convert(source.substr(at, end - at), result, end == source.size());
        progress.SetPosition(scale(end));
        if (result.size() > start) {
            progress.AppendResult(std::u16string_view(result).substr(start));
        }
        progress.RepaintProgress();
        progress.RepaintResult();
    }
    internal::EndRun(result, credit, progress);
    return result;
}

}  // namespace bivano
