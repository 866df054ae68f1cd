// SPDX-License-Identifier: GPL-3.0-or-later
#include "model_builder/model_sources.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <unordered_map>

#include "core/encoding/encoding.h"
#include "core/encoding/text_codec.h"
#include "core/spelling/greek_model.h"

namespace bivano::builder {
namespace {

using namespace std::string_view_literals;
using internal::GreekLower;
using internal::IsGreekLetter;

// The encoding named by the SET line of an .aff file; the empty string when
// there is no such line.
std::string AffixEncodingName(std::string_view affix) {
    while (!affix.empty()) {
        const std::size_t end = std::min(affix.find('\n'), affix.size());
        const std::string_view line = affix.substr(0, end);
        affix.remove_prefix(std::min(end + 1, affix.size()));
        if (line.starts_with("SET ") || line.starts_with("SET\t")) {
            const std::size_t begin = line.find_first_not_of(" \t", 3);
            if (begin == std::string_view::npos) {
                return {};
            }
            const std::size_t stop = line.find_first_of(" \t\r", begin);
            return std::string(
                line.substr(begin, stop == std::string_view::npos ? stop : stop - begin));
        }
    }
    return {};
}

bool HasMultiByteUtf8(std::string_view bytes) {
    return DetectEncoding(bytes).encoding == Encoding::Utf8 &&
           std::any_of(bytes.begin(), bytes.end(), [](char byte) { return byte & 0x80; });
}

// Calls row(fields) for every line of tab-separated `text` with exactly
// `count` fields, the last a number below 2^32.
template <std::size_t count, class Row>
void ForEachRow(std::string_view text, Row row) {
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::array<std::string_view, count> fields;
        std::size_t found = 0;
        while (found < count) {
            const std::size_t tab = line.find('\t');
            fields[found++] = line.substr(0, tab);
            if (tab == std::string_view::npos) {
                line = {};
                break;
            }
            line.remove_prefix(tab + 1);
        }
        if (found != count || !line.empty()) {
            continue;
        }
        const std::string_view number = fields[count - 1];
        std::uint32_t value = 0;
        const char* end_of_number = number.data() + number.size();
        const auto [stop, error] = std::from_chars(number.data(), end_of_number, value);
        if (number.empty() || error != std::errc() || stop != end_of_number) {
            continue;
        }
        row(fields, value);
    }
}

// The everyday lists lift a word to the share of running words they give it
// when the technical counts give it less: its count becomes the larger of
// the two, as if the technical text were as long again in everyday Greek
// (kEverydayWeight times its running words). The technical counts know
// which word follows which in catalogues and help, and their common words
// (η, ή, το, του) keep their counts and pairs; the everyday lists know how
// common a word is where people talk and chat (κάνεις, έχω, τέλεια), which
// the technical text hardly has. Summing the two instead, or weighing the
// lists two or three times over, put everyday readings before technical
// ones where the pairs were silent (ή between Latin words became η) and
// read no more of the chat sentences right.
constexpr double kEverydayWeight = 1.0;

// Every word's share of running words in one everyday list: "word count"
// lines (a share of the list's total), or "word<TAB>cB" lines (the share is
// 10^(cB/100)). Lines of other letters are skipped.
std::unordered_map<std::u16string, double> EverydayShares(std::string_view list) {
    std::unordered_map<std::u16string, double> shares;
    double total = 0;
    bool centibels = false;
    for (std::size_t at = 0; at < list.size();) {
        const std::size_t end = std::min(list.find('\n', at), list.size());
        std::string_view line = list.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::size_t gap = line.find_last_of(" \t");
        if (gap == std::string_view::npos || gap == 0) {
            continue;
        }
        centibels = line[gap] == '\t';
        const std::string number(line.substr(gap + 1));
        char* stop = nullptr;
        const double value = std::strtod(number.c_str(), &stop);
        if (number.empty() || stop != number.c_str() + number.size() || !std::isfinite(value)) {
            continue;
        }
        std::u16string word = FromUtf8(line.substr(0, gap));
        if (word.empty() || !std::all_of(word.begin(), word.end(), IsGreekLetter)) {
            continue;
        }
        std::transform(word.begin(), word.end(), word.begin(), GreekLower);
        // A consonant alone is what is left of an elided word (θ', σ'),
        // which the lists cut off at its apostrophe: no word to count.
        if (word.size() == 1 && u"αεηιουωάέήίόύώ"sv.find(word[0]) == std::u16string_view::npos) {
            continue;
        }
        const double share =
            centibels ? std::pow(10.0, std::min(value, 0.0) / 100.0) : std::max(value, 0.0);
        shares[word] += share;
        total += centibels ? 0 : share;
    }
    if (!centibels && total > 0) {
        for (auto& [word, share] : shares) {
            share /= total;
        }
    }
    return shares;
}

}  // namespace

Status ReadHunspell(const HunspellFiles& files, std::vector<std::u16string>& words) {
    const std::string_view bytes = files.list;
    if (bytes.empty()) {
        return Failure::Of(Cause::EmptyFile);
    }
    if (bytes.size() > GreekSpeller::kLargestWordList) {
        return Failure::Of(Cause::TooLarge);
    }
    const bool utf8 = HasMultiByteUtf8(bytes);
    Encoding encoding = utf8 ? Encoding::Utf8 : Encoding::Iso8859_7;
    if (files.affix) {
        if (const std::string name = AffixEncodingName(*files.affix); !name.empty()) {
            const std::optional<Encoding> named = EncodingFromName(name);
            if (named != Encoding::Utf8 && named != Encoding::Iso8859_7) {
                return Failure::Of(Cause::WordListEncodingUnknown);
            }
            encoding = *named;
        }
    }
    // A list that is well-formed UTF-8 said to be ISO-8859-7, or one that is
    // not UTF-8 said to be UTF-8, would give wrong letters in every word.
    const bool plain_ascii =
        std::none_of(bytes.begin(), bytes.end(), [](char byte) { return byte & 0x80; });
    if (!plain_ascii && utf8 != (encoding == Encoding::Utf8)) {
        return Failure::Of(Cause::WordListEncodingWrong);
    }
    const std::string_view list = bytes;
    const std::size_t first_break = std::min(list.find('\n'), list.size());
    std::u16string word;
    bool greek = false;
    for (std::size_t at = first_break; at < list.size();) {
        const std::size_t start = at + 1;
        const std::size_t end = std::min(list.find('\n', start), list.size());
        std::string_view line = list.substr(start, end - start);
        line = line.substr(0, std::min(line.find('/'), line.find('\r')));
        word.clear();
        TextDecoder decoder(encoding);
        decoder.Decode(line, word);
        decoder.Finish(word);
        if (!word.empty() && std::all_of(word.begin(), word.end(), IsGreekLetter)) {
            greek = true;
            words.push_back(word);
        }
        at = end;
    }
    if (!greek) {
        return Failure::Of(Cause::NoGreekWords);
    }
    return {};
}

void AddCounts(ModelSource& source, const CountFiles& counts) {
    ForEachRow<2>(counts.words, [&](const auto& fields, std::uint32_t count) {
        source.frequencies.emplace_back(FromUtf8(fields[0]), count);
    });
    for (const std::string_view pairs : {counts.pairs, counts.phrase_edges}) {
        ForEachRow<3>(pairs, [&](const auto& fields, std::uint32_t count) {
            source.pairs.push_back({{FromUtf8(fields[0]), FromUtf8(fields[1])}, count});
        });
    }
}

// Each word the dictionary or the counts know gains, as its everyday
// count, what its mean share in the lists (times the counts' running words
// and kEverydayWeight) exceeds its technical count by. Words only the lists
// have (names written in small letters, slips, foreign words) are left out.
void AddEveryday(ModelSource& source, std::span<const std::string_view> everyday) {
    std::vector<std::unordered_map<std::u16string, double>> lists;
    for (const std::string_view list : everyday) {
        if (auto shares = EverydayShares(list); !shares.empty()) {
            lists.push_back(std::move(shares));
        }
    }
    if (lists.empty()) {
        return;
    }
    std::unordered_map<std::u16string, std::uint64_t> known;  // with the counts' count
    std::uint64_t counted = 0;
    for (const auto& [word, count] : source.frequencies) {
        std::u16string lower(word);
        std::transform(lower.begin(), lower.end(), lower.begin(), GreekLower);
        known[lower] += count;
        counted += count;
    }
    for (const std::u16string& word : source.words) {
        std::u16string lower(word);
        std::transform(lower.begin(), lower.end(), lower.begin(), GreekLower);
        known.try_emplace(std::move(lower), 0);
    }
    std::unordered_map<std::u16string, std::pair<double, int>> mean;
    for (const auto& shares : lists) {
        for (const auto& [word, share] : shares) {
            if (known.contains(word)) {
                auto& [sum, seen] = mean[word];
                sum += share;
                ++seen;
            }
        }
    }
    const double scale = kEverydayWeight * static_cast<double>(counted);
    for (const auto& [word, sum_seen] : mean) {
        const double count =
            std::round(scale * sum_seen.first / sum_seen.second - static_cast<double>(known[word]));
        if (count >= 1) {
            source.everyday.emplace_back(word, static_cast<std::uint32_t>(std::min(count, 1e9)));
        }
    }
    // In a fixed order, so that a model is made the same every time.
    std::sort(source.everyday.begin(), source.everyday.end());
}

void AddEnglish(ModelSource& source, std::string_view words) {
    while (!words.empty()) {
        const std::size_t end = std::min(words.find('\n'), words.size());
        source.english.emplace_back(words.substr(0, end));
        words.remove_prefix(std::min(end + 1, words.size()));
    }
}

std::vector<std::byte> BuildFromHunspell(const HunspellFiles& files, const CountFiles& counts,
                                         Failure* failure,
                                         std::span<const std::string_view> everyday) {
    ModelSource source;
    Status read = ReadHunspell(files, source.words);
    std::vector<std::byte> model;
    if (read) {
        AddCounts(source, counts);
        AddEveryday(source, everyday);
        AddEnglish(source, files.english);
        model = BuildModel(source);
        // Only a list far past any real one has words the format cannot number.
        if (model.empty()) {
            read = Failure::Of(Cause::TooLarge);
        }
    }
    if (!read && failure != nullptr) {
        *failure = read.failure();
    }
    return model;
}

std::unique_ptr<GreekSpeller> SpellerFromHunspell(const HunspellFiles& files,
                                                  const CountFiles& counts, Failure* failure) {
    auto bytes =
        std::make_shared<std::vector<std::byte>>(BuildFromHunspell(files, counts, failure));
    if (bytes->empty()) {
        return nullptr;
    }
    return GreekSpeller::FromModelBytes(*bytes, bytes, failure);
}

std::unique_ptr<GreekSpeller> SpellerOf(const ModelSource& source) {
    auto bytes = std::make_shared<std::vector<std::byte>>(BuildModel(source));
    return GreekSpeller::FromModelBytes(*bytes, bytes);
}

}  // namespace bivano::builder
