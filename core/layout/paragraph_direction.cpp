// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/layout/paragraph_direction.h"

#include <algorithm>
#include <string>

#include "core/layout/greek_letters.h"

#include "core/spelling/greek_model.h"

namespace bivano::layout {
namespace {

bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsBlankLine(std::u16string_view line) {
    return line.find_first_not_of(u" \t\r\n\u00A0") == std::u16string_view::npos;
}

// JudgeLine, with `is_english` telling a word of small Latin letters
// (false for all without a model).
template <class IsEnglish>
std::optional<LineWay> JudgeWords(std::u16string_view line, bool with_model, IsEnglish is_english) {
    std::size_t greek_words = 0;
    std::size_t latin_words = 0;
    std::size_t english_words = 0;
    std::string lower;
    for (std::size_t at = 0; at < line.size();) {
        const bool greek = letters::IsGreekLetter(line[at]);
        if (!greek && !IsAsciiLetter(line[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        lower.clear();
        while (end < line.size() &&
               (greek ? letters::IsGreekLetter(line[end]) : IsAsciiLetter(line[end]))) {
            if (!greek) {
                const char16_t c = line[end];
                lower.push_back(static_cast<char>(c <= u'Z' ? c + 32 : c));
            }
            ++end;
        }
        if (greek) {
            ++greek_words;
        } else {
            ++latin_words;
            english_words += with_model && is_english(lower);
        }
        at = end;
    }
    if (greek_words + latin_words < 2) {
        return std::nullopt;
    }
    if (greek_words >= latin_words) {
        return LineWay::ToLatin;
    }
    // Without the model English cannot be told from Greeklish: left alone.
    if (!with_model || english_words * 10 >= latin_words * 6) {
        return LineWay::Unchanged;
    }
    return LineWay::ToGreek;
}

}  // namespace

std::optional<LineWay> JudgeLine(std::u16string_view line, const GreekModel* model) {
    return JudgeWords(line, model != nullptr,
                      [&](std::string_view lower) { return model->IsEnglish(lower); });
}

ParagraphStream::ParagraphStream(const ConversionOptions& options, const GreekSpeller* speller,
                                 bool chat)
    : latin_(options), greek_(options), model_(speller ? &speller->Model() : nullptr) {
    if (speller != nullptr) {
        reading_.emplace(*speller, ReadingStream::Source::Latin, chat);
    }
}

ParagraphStream::~ParagraphStream() = default;
ParagraphStream::ParagraphStream(ParagraphStream&&) noexcept = default;

void ParagraphStream::Convert(std::u16string_view piece, std::u16string& out) {
    while (!piece.empty()) {
        const std::size_t line_end = piece.find(u'\n');
        const std::size_t through =
            line_end == std::u16string_view::npos ? piece.size() : line_end + 1;
        if (way_) {
            Feed(piece.substr(0, through), out);
            if (line_end != std::u16string_view::npos) {
                EndLine(out);
            }
            piece.remove_prefix(through);
            continue;
        }
        // Judging: gather the line's start.
        const std::size_t room = kSample - held_.size();
        const std::size_t take = std::min(through, room);
        held_.append(piece.substr(0, take));
        piece.remove_prefix(take);
        const bool line_done = !held_.empty() && held_.back() == u'\n';
        if (line_done || held_.size() >= kSample) {
            std::u16string start;
            start.swap(held_);
            Judge(start);
            Feed(start, out);
            if (line_done) {
                EndLine(out);
            }
        }
    }
}

void ParagraphStream::Finish(std::u16string& out) {
    if (!way_ && !held_.empty()) {
        std::u16string start;
        start.swap(held_);
        Judge(start);
        Feed(start, out);
    }
    if (way_) {
        EndLine(out);
    }
    paragraph_ = LineWay::Unchanged;
}

void ParagraphStream::Judge(std::u16string_view start) {
    if (IsBlankLine(start)) {
        paragraph_ = LineWay::Unchanged;
        way_ = LineWay::Unchanged;
        return;
    }
    const std::optional<LineWay> judged = JudgeWords(
        start, model_ != nullptr, [this](std::string_view lower) { return IsEnglish(lower); });
    if (judged) {
        paragraph_ = *judged;
    }
    way_ = paragraph_;
}

bool ParagraphStream::IsEnglish(std::string_view lower) {
    if (lower.size() > EnglishAnswer::kLongest) {
        return model_->IsEnglish(lower);
    }
    std::uint32_t hash = 2166136261u;
    for (const char c : lower) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    EnglishAnswer& answer = english_[(hash ^ (hash >> 13)) & (kEnglishPlaces - 1)];
    if (answer.length != lower.size() ||
        !std::equal(lower.begin(), lower.end(), answer.letters.begin())) {
        std::copy(lower.begin(), lower.end(), answer.letters.begin());
        answer.length = static_cast<std::uint8_t>(lower.size());
        answer.english = model_->IsEnglish(lower);
    }
    return answer.english;
}

void ParagraphStream::Feed(std::u16string_view text, std::u16string& out) {
    switch (*way_) {
        case LineWay::Unchanged:
            out.append(text);
            break;
        case LineWay::ToLatin:
            latin_.Convert(text, out);
            break;
        case LineWay::ToGreek:
            reading_ ? reading_->Read(text, out) : greek_.Convert(text, out);
            break;
    }
}

void ParagraphStream::EndLine(std::u16string& out) {
    switch (*way_) {
        case LineWay::Unchanged:
            break;
        case LineWay::ToLatin:
            latin_.Finish(out);
            break;
        case LineWay::ToGreek:
            reading_ ? reading_->Finish(out) : greek_.Finish(out);
            break;
    }
    way_.reset();
}

}  // namespace bivano::layout
