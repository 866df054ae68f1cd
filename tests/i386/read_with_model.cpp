// SPDX-License-Identifier: GPL-3.0-or-later
// What the reader makes of a text with a model file, and a digest of all
// that the model holds as GreekModel reads it: the same on every target for
// the same file. scripts/i386-tests.sh compares an i386 build of this
// program with the native one over the model the native build made.
//   read_with_model MODEL < LATIN-TEXT
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "core/encoding/text_codec.h"
#include "core/layout/layout_repair.h"
#include "core/spelling/greek_model.h"
#include "core/spelling/speller.h"
#include "io/greek_model_file.h"

namespace {

using bivano::GreekModel;

// FNV-1a over the values fed to it, each as 8 bytes.
class Digest {
  public:
    void Add(std::uint64_t value) {
        for (int byte = 0; byte < 8; ++byte) {
            hash_ = (hash_ ^ ((value >> (8 * byte)) & 0xFF)) * 0x100000001B3ULL;
        }
    }
    void Add(std::u16string_view text) {
        Add(text.size());
        for (const char16_t c : text) {
            Add(c);
        }
    }
    std::uint64_t Value() const { return hash_; }

  private:
    std::uint64_t hash_ = 0xCBF29CE484222325ULL;
};

constexpr GreekModel::Beside kBesides[] = {GreekModel::Beside::Sentence, GreekModel::Beside::Comma,
                                           GreekModel::Beside::Mark, GreekModel::Beside::Digit,
                                           GreekModel::Beside::Latin};

std::uint64_t WordsDigest(const GreekModel& model) {
    Digest digest;
    digest.Add(model.WordCount());
    digest.Add(model.ListWordCount());
    digest.Add(model.RunningWords());
    digest.Add(model.EverydayTotal());
    for (std::uint32_t number = 0; number < model.WordCount(); ++number) {
        const GreekModel::Word& word = *model.WordAt(number);
        const GreekModel::Spelling letters = model.Letters(word);
        digest.Add(letters);
        digest.Add(word.flags);
        digest.Add(word.Stress());
        digest.Add(model.Frequency(word));
        digest.Add(model.Followed(word));
        digest.Add(model.EverydayCount(number));
        const std::uint32_t ending = GreekModel::EndingOf(letters);
        digest.Add(model.EndingCount(ending));
        digest.Add(model.EverydayEndingCount(ending));
        digest.Add(model.PairCount(number, number + 1));
        for (const GreekModel::Beside beside : kBesides) {
            digest.Add(model.PhraseEdgeCount(beside, true, number));
            digest.Add(model.PhraseEdgeCount(beside, false, number));
        }
    }
    return digest.Value();
}

// The letter tree, depth first, with the numbers of the words at each node.
void AddTree(const GreekModel& model, const GreekModel::Node& node, Digest& digest) {
    digest.Add(node.Letter());
    for (const GreekModel::Word& word : model.WordsAt(node)) {
        digest.Add(model.NumberOf(word));
    }
    const auto children = model.ChildrenOf(node);
    digest.Add(children.size());
    for (const GreekModel::Node& child : children) {
        AddTree(model, child, digest);
    }
}

std::uint64_t RestDigest(const GreekModel& model) {
    Digest digest;
    if (model.Root() != nullptr) {
        AddTree(model, *model.Root(), digest);
    }
    digest.Add(model.EnglishWordCount());
    for (std::size_t index = 0; index < model.EnglishWordCount(); ++index) {
        const std::string_view word = model.EnglishWord(index);
        digest.Add(bivano::FromUtf8(word));
        digest.Add(model.IsEnglish(word));
    }
    model.ForEachCountedWord([&](std::u16string_view word, std::uint32_t count) {
        digest.Add(word);
        digest.Add(count);
        const auto [known, length] = model.LongestEnding(word);
        digest.Add(known == nullptr ? 0xFFFFFFFFU : model.NumberOf(*known));
        digest.Add(length);
    });
    return digest.Value();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s MODEL < LATIN-TEXT\n", argv[0]);
        return 2;
    }
    const auto speller = bivano::io::OpenGreekModel(argv[1]);
    if (speller == nullptr) {
        std::fprintf(stderr, "%s: %s is no model that can be read\n", argv[0], argv[1]);
        return 1;
    }
    const GreekModel& model = speller->Model();
    std::printf("words %zu, digest %016llx\n", model.WordCount(),
                static_cast<unsigned long long>(WordsDigest(model)));
    std::printf("tree, English and counts, digest %016llx\n",
                static_cast<unsigned long long>(RestDigest(model)));
    const std::string input((std::istreambuf_iterator<char>(std::cin)),
                            std::istreambuf_iterator<char>());
    const std::u16string text = bivano::FromUtf8(input);
    std::u16string read;
    bivano::ReadingStream stream(*speller, bivano::ReadingStream::Source::Latin);
    stream.Read(text, read);
    stream.Finish(read);
    const std::string greek = bivano::ToUtf8(read);
    const std::string repaired = bivano::ToUtf8(bivano::layout::RepairLayout(text, model));
    std::fwrite(greek.data(), 1, greek.size(), stdout);
    std::fwrite(repaired.data(), 1, repaired.size(), stdout);
    return 0;
}
