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
    Spelling(const GreekSpeller* speller, bool chat) : speller_(speller) {
        if (speller != nullptr) {
            stream_.emplace(*speller, chat);
        }
    }
    bool active() const { return stream_.has_value(); }
    bool Knows(std::u16string_view word) const {
        return speller_ != nullptr && speller_->Knows(word);
    }
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
    const GreekSpeller* speller_;
    std::optional<SpellingStream> stream_;
};

}  // namespace

class Pipeline::Converter {
  public:
    explicit Converter(const PipelineSettings& settings)
        // Latin letters have no Greek spelling.
        : stream_(Make(settings)),
          spelling_(settings.direction == Direction::Latin ? nullptr : settings.speller,
                    settings.chat),
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
        // Whole words at a time, so that each can be judged: a word cut by
        // the end of the piece waits for the rest of it.
        latin_.append(text);
        std::size_t end = latin_.size();
        if (!last) {
            end = latin_.find_last_of(u" \t\r\n");
            end = end == std::u16string::npos ? 0 : end + 1;
            if (end == 0 && latin_.size() > kLongestHeldWord) {
                end = latin_.size();
            }
        }
        converted_.clear();
        kept_.clear();
        const std::u16string_view part = std::u16string_view(latin_).substr(0, end);
        std::size_t plain_from = 0;
        for (std::size_t at = 0; at < part.size();) {
            const std::size_t start = part.find_first_not_of(u" \t\r\n", at);
            if (start == std::u16string_view::npos) {
                break;
            }
            const std::size_t stop = std::min(part.find_first_of(u" \t\r\n", start), part.size());
            const TextRange core = KeptCore(part, start, stop);
            if (core.begin < core.end) {
                // A web address, an e-mail address or a Latin acronym stays
                // as typed; the conversion starts afresh after it.
                Feed(stream, part.substr(plain_from, core.begin - plain_from), false);
                Feed(stream, {}, true);
                kept_.push_back({converted_.size(), converted_.size() + (core.end - core.begin)});
                converted_.append(part.substr(core.begin, core.end - core.begin));
                plain_from = core.end;
            }
            at = stop;
        }
        Feed(stream, part.substr(plain_from), last);
        latin_.erase(0, end);
        spelling_.Spell(converted_, kept_, out);
        if (last) {
            spelling_.Finish(out);
        }
    }

    // Converts `text` into converted_, gathering the verbatim groups.
    void Feed(GreekStream& stream, std::u16string_view text, bool finish) {
        if (!text.empty()) {
            stream.Convert(text, converted_);
            kept_.insert(kept_.end(), stream.VerbatimGroups().begin(),
                         stream.VerbatimGroups().end());
        }
        if (finish) {
            stream.Finish(converted_);
            kept_.insert(kept_.end(), stream.VerbatimGroups().begin(),
                         stream.VerbatimGroups().end());
        }
    }

    // The part of the word text[start, stop) that stays as typed, without
    // the punctuation around it; empty when the word is to be converted.
    TextRange KeptCore(std::u16string_view text, std::size_t start, std::size_t stop) const {
        std::u16string_view word = text.substr(start, stop - start);
        const std::size_t lead = word.find_first_not_of(u"([{\"'«");
        if (lead == std::u16string_view::npos) {
            return {0, 0};
        }
        word.remove_prefix(lead);
        while (!word.empty() && std::u16string_view(u".,;:!?)]}\"'»").find(word.back()) !=
                                    std::u16string_view::npos) {
            word.remove_suffix(1);
        }
        if (!IsWebOrMailAddress(word) && !IsLatinAcronym(word)) {
            return {0, 0};
        }
        return {start + lead, start + lead + word.size()};
    }

    static bool IsWebOrMailAddress(std::u16string_view word) {
        const auto starts = [&](std::u16string_view prefix) {
            if (word.size() < prefix.size()) {
                return false;
            }
            for (std::size_t i = 0; i < prefix.size(); ++i) {
                const char16_t c = word[i] >= u'A' && word[i] <= u'Z' ? word[i] + 32 : word[i];
                if (c != prefix[i]) {
                    return false;
                }
            }
            return true;
        };
        if (word.find(u"://") != std::u16string_view::npos || starts(u"www.")) {
            return true;
        }
        const std::size_t at = word.find(u'@');
        return at != std::u16string_view::npos && at > 0 &&
               word.find(u'.', at + 2) != std::u16string_view::npos && word.back() != u'.';
    }

    // Capitals and digits in Latin letters (LVM, USB2) that read as no
    // Greek word the list knows; KALIMERA and ELA are Greek in capitals.
    bool IsLatinAcronym(std::u16string_view word) const {
        std::size_t letters = 0;
        for (const char16_t c : word) {
            if (c >= u'A' && c <= u'Z') {
                ++letters;
            } else if (c < u'0' || c > u'9') {
                return false;
            }
        }
        if (letters < 2) {
            return false;
        }
        GreekStream reading;
        std::u16string greek;
        reading.Convert(word, greek);
        reading.Finish(greek);
        return !spelling_.Knows(greek);
    }

    static constexpr std::size_t kLongestHeldWord = std::size_t{1} << 16;

    Stream stream_;
    Spelling spelling_;
    std::optional<std::u16string> credit_;
    std::u16string converted_;
    std::u16string latin_;  // Latin text waiting for the end of its word
    std::vector<TextRange> kept_;
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
