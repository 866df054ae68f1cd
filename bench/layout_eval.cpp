// SPDX-License-Identifier: GPL-3.0-or-later
// How well `bivano layout` gives back text typed with the wrong keyboard
// layout, and how much correct text it leaves alone.
//
//   ./layout_eval [--half tune|test] [--show] GREEK.txt ENGLISH.txt [GREEKLISH.tsv...]
//   ./layout_eval --type us|greek < TEXT > TYPED
//
// GREEK.txt: Greek sentences, one a line (bench/make_accents_eval_text.py);
// ENGLISH.txt: English ones (bench/make_layout_eval_english.py). The lines
// are taken alternately into two halves: the costs are set on `tune`, the
// figures are those of `test` (the default); each gives up to 2,000
// sentences spread over the file. GREEKLISH.tsv (bench/real_typing):
// Greeklish as people type it, a tab, the Greek meant.
//
//   (1) the Greek sentences typed on the US layout (the keys the Greek
//       layout wants, accents through the dead key), repaired;
//   (2) the English sentences typed on the Greek layout, repaired;
//   (3) correct Greek, English and Greeklish (the Greek sentences through
//       "Lativo" and ELOT 743, and the real typing) run through as they are.
// Words are the blank-separated pieces that hold a letter, paired by their
// longest common subsequence. Last, the speed over all of it.
//
// --type writes standard input as typed with the wrong layout on, a line at
// a time: "us" gives the keys of Greek text on the US layout (accents
// through the dead key), "greek" gives Latin text typed on the Greek layout
// (bench/layout_bench.sh times `bivano` on both).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "core/encoding/text_codec.h"
#include "core/lativo/conversion_options.h"
#include "core/lativo/conversion_stream.h"
#include "core/layout/greek_keyboard.h"
#include "core/layout/layout_repair.h"
#include "core/spelling/greek_model.h"
#include "core/spelling/speller.h"
#include "io/greek_model_file.h"

namespace {

using namespace bivano;

constexpr std::size_t kSentences = 2000;

std::vector<std::u16string> Words(std::u16string_view text) {
    std::vector<std::u16string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) {
            ++at;
        }
        std::size_t end = at;
        bool letter = false;
        while (end < text.size() && text[end] != u' ' && text[end] != u'\t') {
            const char16_t c = text[end];
            letter = letter || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                     internal::IsGreekLetter(c);
            ++end;
        }
        if (letter) {
            words.emplace_back(text.substr(at, end - at));
        }
        at = end;
    }
    return words;
}

// How many of `meant`'s words `got` has, in order.
std::size_t CommonWords(const std::vector<std::u16string>& meant,
                        const std::vector<std::u16string>& got) {
    std::vector<std::size_t> row(got.size() + 1, 0);
    for (const std::u16string& word : meant) {
        std::size_t diagonal = 0;
        for (std::size_t j = 0; j < got.size(); ++j) {
            const std::size_t up = row[j + 1];
            row[j + 1] = word == got[j] ? diagonal + 1 : std::max(row[j], row[j + 1]);
            diagonal = up;
        }
    }
    return row[got.size()];
}

struct Score {
    std::size_t words = 0;
    std::size_t right = 0;
    double Percent() const { return words == 0 ? 0.0 : 100.0 * right / words; }
};

std::vector<std::u16string> ReadHalf(const char* path, bool tune) {
    std::ifstream file(path);
    std::vector<std::u16string> all;
    std::string line;
    std::size_t index = 0;
    while (std::getline(file, line)) {
        if (!line.empty() && (index++ % 2 == 0) == tune) {
            all.push_back(FromUtf8(line));
        }
    }
    // Spread over the whole file, not its first pages.
    std::vector<std::u16string> taken;
    const std::size_t stride = std::max<std::size_t>(1, all.size() / kSentences);
    for (std::size_t at = 0; at < all.size() && taken.size() < kSentences; at += stride) {
        taken.push_back(all[at]);
    }
    return taken;
}

void Measure(const char* name, const std::vector<std::u16string>& typed,
             const std::vector<std::u16string>& meant, layout::LayoutRepairer& repairer, bool show,
             std::u16string& everything) {
    Score score;
    for (std::size_t index = 0; index < typed.size(); ++index) {
        std::u16string repaired;
        repairer.RepairLine(typed[index], repaired);
        const std::vector<std::u16string> want = Words(meant[index]);
        const std::size_t right = CommonWords(want, Words(repaired));
        score.words += want.size();
        score.right += right;
        if (show && right < want.size()) {
            std::printf("  %s\n  -> %s\n  ?? %s\n", ToUtf8(typed[index]).c_str(),
                        ToUtf8(repaired).c_str(), ToUtf8(meant[index]).c_str());
        }
        everything.append(typed[index]);
        everything.push_back(u'\n');
    }
    std::printf("%-44s %6zu words  %7.2f%%\n", name, score.words, score.Percent());
}

// Standard input typed with the wrong layout on, to standard output.
int TypeWrong(const std::string& layout_on) {
    const bool us = layout_on == "us";
    if (!us && layout_on != "greek") {
        std::fprintf(stderr, "layout_eval --type: us or greek, not %s\n", layout_on.c_str());
        return 2;
    }
    std::ios::sync_with_stdio(false);
    std::string line;
    while (std::getline(std::cin, line)) {
        const std::u16string text = FromUtf8(line);
        std::cout << ToUtf8(us ? layout::KeysTypedFor(text) : layout::TypeOnGreekLayout(text))
                  << '\n';
    }
    return std::cout ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 2 && arguments[0] == "--type") {
        return TypeWrong(arguments[1]);
    }
    bool tune = false;
    bool show = false;
    const bool judge = !arguments.empty() && arguments[0] == "--judge";
    while (!judge && !arguments.empty() && arguments[0].rfind("--", 0) == 0) {
        if (arguments[0] == "--half" && arguments.size() > 1) {
            tune = arguments[1] == "tune";
            arguments.erase(arguments.begin());
        } else if (arguments[0] == "--show") {
            show = true;
        }
        arguments.erase(arguments.begin());
    }
    if (arguments.size() < 2) {
        std::fprintf(stderr,
                     "usage: layout_eval --judge WORD...\n"
                     "       layout_eval --type us|greek < TEXT > TYPED\n"
                     "       layout_eval [--half tune|test] [--show] GREEK.txt ENGLISH.txt "
                     "[GREEKLISH.tsv...]\n");
        return 2;
    }
    const auto speller = io::OpenGreekModel(io::DefaultGreekModelPath());
    if (speller == nullptr) {
        std::fprintf(stderr, "no model: build the target greek_model first\n");
        return 77;
    }
    const GreekModel& model = speller->Model();
    if (judge) {
        // The verdict on each word, and the repair of all of them as a line.
        layout::LayoutRepairer repairer(model);
        std::u16string line;
        for (std::size_t arg = 1; arg < arguments.size(); ++arg) {
            static const char* const kNames[] = {"rewrite", "keep", "likely", "weak", "neutral"};
            const std::u16string word = FromUtf8(arguments[arg]);
            std::printf("%s: %s\n", arguments[arg].c_str(),
                        kNames[static_cast<int>(repairer.Judge(word))]);
            line += (line.empty() ? u"" : u" ") + word;
        }
        std::u16string repaired;
        repairer.RepairLine(line, repaired);
        std::printf("%s\n", ToUtf8(repaired).c_str());
        return 0;
    }
    const std::vector<std::u16string> greek = ReadHalf(arguments[0].c_str(), tune);
    const std::vector<std::u16string> english = ReadHalf(arguments[1].c_str(), tune);
    std::printf("half: %s, %zu Greek and %zu English sentences\n", tune ? "tune" : "test",
                greek.size(), english.size());

    std::vector<std::u16string> greek_typed;
    for (const std::u16string& sentence : greek) {
        greek_typed.push_back(layout::KeysTypedFor(sentence));
    }
    std::vector<std::u16string> english_typed;
    for (const std::u16string& sentence : english) {
        english_typed.push_back(layout::TypeOnGreekLayout(sentence));
    }
    std::vector<std::u16string> greeklish;
    std::vector<std::u16string> greeklish_elot;
    LatinStream lativo;
    ConversionOptions elot_options;
    elot_options.scheme = LatinScheme::Elot743;
    LatinStream elot(elot_options);
    for (const std::u16string& sentence : greek) {
        greeklish.emplace_back();
        lativo.Convert(sentence, greeklish.back());
        lativo.Finish(greeklish.back());
        greeklish_elot.emplace_back();
        elot.Convert(sentence, greeklish_elot.back());
        elot.Finish(greeklish_elot.back());
    }
    std::vector<std::u16string> real_typing;
    for (std::size_t arg = 2; arg < arguments.size(); ++arg) {
        std::ifstream file(arguments[arg]);
        std::string line;
        while (std::getline(file, line)) {
            const std::size_t tab = line.find('\t');
            if (tab != std::string::npos) {
                real_typing.push_back(FromUtf8(line.substr(0, tab)));
            }
        }
    }

    std::u16string everything;  // the wrong layouts, then the correct texts
    std::size_t wrong_end = 0;
    layout::LayoutRepairer repairer(model);
    std::printf("Repaired, words given back exactly:\n");
    Measure("  Greek typed on the US layout", greek_typed, greek, repairer, show, everything);
    Measure("  English typed on the Greek layout", english_typed, english, repairer, show,
            everything);
    wrong_end = everything.size();
    std::printf("Correct text, words left as they are:\n");
    Measure("  Greek", greek, greek, repairer, show, everything);
    Measure("  English", english, english, repairer, show, everything);
    Measure("  Greeklish (Lativo)", greeklish, greeklish, repairer, show, everything);
    Measure("  Greeklish (ELOT 743)", greeklish_elot, greeklish_elot, repairer, show, everything);
    if (!real_typing.empty()) {
        Measure("  Greeklish (real typing)", real_typing, real_typing, repairer, show, everything);
    }

    // Speed, through a stream in pieces as `bivano` reads them (the
    // model's letter pairs, counted at the start, included): the text typed
    // in the wrong layouts, the correct texts, and all of them, each again
    // and again up to 8 Mi characters.
    const std::u16string_view all(everything);
    const std::pair<const char*, std::u16string_view> kinds[] = {
        {"wrong layouts", all.substr(0, wrong_end)},
        {"correct texts", all.substr(wrong_end)},
        {"all", all},
    };
    for (const auto& [name, kind] : kinds) {
        std::u16string text;
        while (!kind.empty() && text.size() < (std::size_t{8} << 20)) {
            text.append(kind);
        }
        const std::size_t bytes = ToUtf8(text).size();
        constexpr std::size_t kPiece = std::size_t{128} << 10;
        double best = 1e9;
        for (int round = 0; round < 3; ++round) {
            const auto start = std::chrono::steady_clock::now();
            layout::LayoutStream stream(model);
            std::u16string repaired;
            for (std::size_t at = 0; at < text.size(); at += kPiece) {
                repaired.clear();
                stream.Convert(std::u16string_view(text).substr(at, kPiece), repaired);
            }
            stream.Finish(repaired);
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            best = std::min(best, took.count());
        }
        std::printf("Speed, %-14s %5.1f MB in %.3f s: %6.1f MB/s\n", name, bytes / 1e6, best,
                    bytes / 1e6 / best);
    }
    return 0;
}
