// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the Greek reader alone, with a model made to reach
// every kind of reading: slips of typing mended, letters typed for
// emphasis, two words typed as one and one typed as two, chat
// abbreviations, laughter, English words kept, names. Each input is read
// in Latin letters and in Greek letters, with and without the chat
// abbreviations, whole and in pieces of random sizes: the pieces must give
// the whole's text, and no line may be made or lost.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "core/spelling/speller.h"
#include "model_builder/greek_model_builder.h"
#include "model_builder/model_sources.h"

namespace {

using namespace bivano;

// Words common and rare enough (against the running words of το, και...)
// for every kind of reading to happen; checked once below.
std::unique_ptr<GreekSpeller> MakeSpeller() {
    builder::ModelSource source;
    const std::pair<const char16_t*, std::uint32_t> counted[] = {
        {u"το", 400000},      {u"και", 300000},    {u"του", 250000},  {u"τα", 200000},
        {u"με", 150000},      {u"δεν", 90000},     {u"μου", 60000},   {u"τι", 40000},
        {u"που", 30000},      {u"σου", 20000},     {u"μετά", 20000},  {u"παρακαλώ", 4000},
        {u"καλημέρα", 3000},  {u"πολύ", 3000},     {u"ναι", 2000},    {u"τουλάχιστον", 2000},
        {u"καληνύχτα", 1500}, {u"σύστημα", 1500},  {u"καλά", 1500},   {u"γιατί", 1000},
        {u"ξέρω", 900},       {u"συστήματα", 800}, {u"πού", 800},     {u"τίποτα", 700},
        {u"κάνεις", 600},     {u"έλα", 500},       {u"εντάξει", 400}, {u"κανείς", 300},
        {u"παρά", 200},       {u"θάλασσα", 200},   {u"μέρα", 150},    {u"καλό", 120},
        {u"καλή", 100},       {u"πάρα", 90},       {u"νύχτα", 80},    {u"Αθήνα", 50},
        {u"καλώ", 40},        {u"δηλαδή", 300},    {u"τελικά", 300},  {u"σήμερα", 600},
    };
    for (const auto& [word, count] : counted) {
        source.words.emplace_back(word);
        source.frequencies.emplace_back(word, count);
    }
    source.pairs = {{{u"δεν", u"ξέρω"}, 30},
                    {{u"με", u"τα"}, 500},
                    {{u"το", u"σύστημα"}, 40},
                    {{u"τι", u"~ις"}, 20}};
    source.english = {"super", "market", "email", "word", "party"};
    source.everyday = {{u"καλημέρα", 5000}, {u"κάνεις", 3000}, {u"έλα", 2000}};
    return builder::SpellerOf(source);
}

std::u16string Read(const GreekSpeller& speller, ReadingStream::Source source, bool chat,
                    std::u16string_view text, std::minstd_rand* pieces) {
    ReadingStream stream(speller, source, chat);
    std::u16string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = pieces == nullptr ? text.size() : 1 + (*pieces)() % 37;
        stream.Read(text.substr(at, length), out);
        at += length;
    }
    stream.Finish(out);
    return out;
}

// The model reads as it was made to, or the target would fuzz less than it
// says.
void CheckTheModel(const GreekSpeller& speller) {
    const std::pair<const char16_t*, const char16_t*> readings[] = {
        {u"kali mera", u"καλημέρα"},        // one word typed as two
        {u"me ta", u"με τα"},               // two words
        {u"tou laxiston", u"τουλάχιστον"},  // a part no word
        {u"denxerw", u"δεν ξέρω"},          // two words typed as one
        {u"kalimra", u"καλημέρα"},          // a letter left out
        {u"naiiii", u"ναι"},                // emphasis
        {u"dn 3erw", u"δεν ξέρω"},          // a chat abbreviation
        {u"xaxa super", u"χαχα super"},     // laughter, an English word
        {u"ti kaneis?", u"τι κάνεις;"},     // everyday words
    };
    for (const auto& [typed, read] : readings) {
        if (Read(speller, ReadingStream::Source::Latin, true, typed, nullptr) != read) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::unique_ptr<GreekSpeller> speller = [] {
        auto made = MakeSpeller();
        if (made == nullptr) {
            std::abort();
        }
        CheckTheModel(*made);
        return made;
    }();
    // ASCII as it is, the other bytes as the Greek block's characters: Latin
    // and Greek letters, marks, digits, blanks and lines.
    std::u16string text(size, u'\0');
    std::transform(data, data + size, text.begin(), [](std::uint8_t byte) {
        return byte < 0x80 ? static_cast<char16_t>(byte)
                           : static_cast<char16_t>(0x0370 + byte - 0x80);
    });
    const auto lines = [](std::u16string_view written) {
        return std::count(written.begin(), written.end(), u'\n');
    };
    for (const auto source : {ReadingStream::Source::Latin, ReadingStream::Source::Greek}) {
        for (const bool chat : {false, true}) {
            const std::u16string whole = Read(*speller, source, chat, text, nullptr);
            std::minstd_rand pieces(static_cast<std::uint32_t>(size) * 2654435761U +
                                    (size > 0 ? data[0] : 0U) + (chat ? 1U : 0U));
            if (Read(*speller, source, chat, text, &pieces) != whole) {
                std::abort();
            }
            if (lines(whole) != lines(text)) {
                std::abort();
            }
        }
    }
    return 0;
}
