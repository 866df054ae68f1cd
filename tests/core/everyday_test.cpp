// SPDX-License-Identifier: GPL-3.0-or-later
// The reader on everyday Greek: the everyday word lists blended into the
// model, and the program's own model on everyday sentences.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/spelling/speller.h"
#include "io/greek_model_file.h"
#include "model_builder/model_sources.h"
#include "program_model.h"
#include "recording_progress.h"
#include "small_models.h"

namespace bivano {
namespace {

using namespace bivano::testing;

struct Row {
    const char* typed;
    const char* read;
};

std::string Read(const GreekSpeller& speller, std::string_view text, bool chat = true) {
    return ReadThroughStream(speller, text, ReadingStream::Source::Latin, chat);
}

std::string WriteFile(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::unique_ptr<GreekSpeller> SpellerOf(const std::vector<std::byte>& built) {
    auto bytes = std::make_shared<std::vector<std::byte>>(built);
    return GreekSpeller::FromModelBytes(*bytes, bytes);
}

std::uint32_t EverydayOf(const GreekSpeller& speller, std::u16string_view plain) {
    const auto words = speller.Model().WordsOf(plain);
    return words.empty() ? 0 : speller.Model().EverydayCount(speller.Model().NumberOf(words[0]));
}

// Both kinds of list are read ("word count" and "word<TAB>centibels"), and
// lift the words the technical counts hardly have: τέλεια over τελεία.
TEST(EverydayCounts, LiftWordsTheTechnicalCountsHardlyHave) {
    const builder::HunspellFiles files{"4\nτέλεια\nτελεία\nτι\nκάνεις\n", std::nullopt, "word\n"};
    const std::vector<std::string_view> lists = {
        "τέλεια 900\nτελεία 20\nξξξ 50\nabc 9\nτι x\n\nκάνεις\n",
        "τέλεια\t-250\nτελεία\t-400\nlatin\t-300\n"};
    const auto technical =
        SpellerOf(builder::BuildFromHunspell(files, ProgramCountFiles(), nullptr));
    ASSERT_NE(technical, nullptr);
    const auto everyday =
        SpellerOf(builder::BuildFromHunspell(files, ProgramCountFiles(), nullptr, lists));
    ASSERT_NE(everyday, nullptr);

    EXPECT_EQ(Read(*technical, "teleia"), "τελεία");  // the full stop of the technical text
    EXPECT_EQ(Read(*everyday, "teleia"), "τέλεια");
    EXPECT_GT(EverydayOf(*everyday, u"τελεια"), 0u);
    EXPECT_EQ(EverydayOf(*technical, u"τελεια"), 0u);
    EXPECT_EQ(technical->Model().EverydayTotal(), 0u);
    EXPECT_GT(everyday->Model().EverydayTotal(), EverydayOf(*everyday, u"τελεια"));
    // Words only a list has are no words of the model.
    EXPECT_TRUE(everyday->Model().WordsOf(u"ξξξ").empty());
    EXPECT_EQ(everyday->WordCount(), technical->WordCount());
}

// A list that holds nothing usable leaves the model as the technical
// counts make it, and says nothing: it loads and reads.
TEST(EverydayCounts, AModelWithoutThemLoadsAndReads) {
    const builder::HunspellFiles files{"2\nέχω\nέξω\n", std::nullopt, "word\n"};
    const std::vector<std::byte> plain =
        builder::BuildFromHunspell(files, ProgramCountFiles(), nullptr);
    ASSERT_FALSE(plain.empty());
    for (const std::vector<std::string_view>& lists :
         {std::vector<std::string_view>{""},
          std::vector<std::string_view>{"", "abc 12\n\t\n 5\nέχω -\nέχω 1e999\n"}}) {
        EXPECT_EQ(builder::BuildFromHunspell(files, ProgramCountFiles(), nullptr, lists), plain);
    }
    auto bytes = std::make_shared<std::vector<std::byte>>(plain);
    const auto model = GreekModel::FromBytes(*bytes, bytes);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->EverydayTotal(), 0u);
    EXPECT_EQ(model->EverydayEndingCount(GreekModel::EndingOf(u"έχω")), 0u);
    EXPECT_EQ(model->EverydayCount(0), 0u);
    EXPECT_EQ(model->EverydayCount(1000000), 0u);  // no such word
}

// The model maker reads the everyday lists through the file layer, with
// the word list's check: a list named but missing, a FIFO or a folder is
// refused at once and named, never waited on nor left out unsaid.
TEST(EverydayCounts, ListsAreReadThroughTheFileLayer) {
    const std::string dictionary = WriteFile("files.dic", "2\nτέλεια\nτελεία\n");
    const std::string english = WriteFile("files-english", "word\n");
    const std::string list = WriteFile("files-list.txt", "τέλεια 900\nτελεία 20\n");
    const std::string fifo = ::testing::TempDir() + "/files-fifo.txt";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Failure failure;
    std::string unreadable;
    const auto everyday = SpellerOf(io::BuildGreekModel(dictionary, english, BIVANO_COUNTS_FOLDER,
                                                        &failure, {list}, &unreadable));
    ASSERT_NE(everyday, nullptr);
    EXPECT_TRUE(unreadable.empty());
    EXPECT_EQ(Read(*everyday, "teleia"), "τέλεια");
    EXPECT_EQ(SpellerOf(io::BuildGreekModel(dictionary, english, BIVANO_COUNTS_FOLDER, &failure))
                  ->Model()
                  .EverydayTotal(),
              0u);

    const struct {
        const char* name;
        std::string path;
        Cause cause;
    } refused[] = {
        {"missing", ::testing::TempDir() + "/files-missing.txt", Cause::System},
        {"FIFO", fifo, Cause::NotRegularFile},
        {"folder", ::testing::TempDir(), Cause::NotRegularFile},
    };
    for (const auto& row : refused) {
        SCOPED_TRACE(row.name);
        unreadable.clear();
        failure = Failure();
        EXPECT_TRUE(io::BuildGreekModel(dictionary, english, BIVANO_COUNTS_FOLDER, &failure,
                                        {list, row.path}, &unreadable)
                        .empty());
        EXPECT_EQ(failure.cause, row.cause);
        EXPECT_EQ(unreadable, row.path);
    }
    ::unlink(fifo.c_str());
}

// Everyday counts go to the dictionary's words only, and order the words
// of one plain form: the commoner in everyday use first.
TEST(EverydayCounts, OrderTheWordsOfOnePlainForm) {
    builder::ModelSource source;
    source.words = {u"κανείς", u"κάνεις"};
    source.frequencies = {{u"κανείς", 30}, {u"κάνεις", 20}};
    source.everyday = {{u"κάνεις", 50}, {u"άγνωστο", 70}};
    const std::vector<std::byte> bytes = builder::BuildModel(source);
    const auto model = GreekModel::FromBytes(bytes, nullptr);
    ASSERT_NE(model, nullptr);
    const auto words = model->WordsOf(u"κανεισ");
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(U8(std::u16string(model->Letters(words[0]))), "κάνεις");
    EXPECT_EQ(model->Frequency(words[0]), 20u);  // the technical count stays as it was
    EXPECT_EQ(model->EverydayCount(model->NumberOf(words[0])), 50u);
    EXPECT_EQ(model->EverydayCount(model->NumberOf(words[1])), 0u);
    EXPECT_EQ(model->EverydayTotal(), 50u);
    EXPECT_EQ(model->EverydayEndingCount(GreekModel::EndingOf(u"κάνεις")), 50u);
    EXPECT_TRUE(model->WordsOf(u"αγνωστο").empty());
}

// The program's own model on everyday sentences; the technical sentences
// of speller_test.cpp keep their readings.
class EverydayWithTheModel : public WithProgramModel {};

TEST_F(EverydayWithTheModel, EverydayWordsWinWhereThePairsAreSilent) {
    const Row rows[] = {
        {"kalimera! ti kaneis?", "καλημέρα! τι κάνεις;"},  // κάνεις, not κανείς
        {"exw ena provlima", "έχω ένα πρόβλημα"},          // έχω, not έξω
        {"teleia!", "τέλεια!"},                            // not τελεία
        {"ti les?", "τι λες;"},
        // A question word after a greeting, not the relative after a word.
        {"Kalimera pws eisai?", "Καλημέρα πώς είσαι;"},
        {"re pou eisai? auto pou les?", "ρε πού είσαι; αυτό που λες;"},
        {"8a pame gia kafe?", "θα πάμε για καφέ;"},
        {"geia sou", "γεια σου"},
        {"kaneis den 3erei", "κανείς δεν ξέρει"},  // the pronoun where the pair says so
        {"ena arxeio h enas fakelos", "ένα αρχείο ή ένας φάκελος"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(*speller_, row.typed), row.read) << row.typed;
    }
}

// Chat abbreviations are written out only where they stand alone, and
// then as the words they stand for, in the phrase (the enclitic's accent).
TEST_F(EverydayWithTheModel, ChatShorthandOnlyWhereItStandsAlone) {
    const Row rows[] = {
        {"dn 3erw ti na kanw", "δεν ξέρω τι να κάνω"},
        {"to systhma m", "το σύστημά μου"},  // μου: an enclitic, as typed out
        {"m aresei poly", "μου αρέσει πολύ"},
        {"to spiti s einai wraio.", "το σπίτι σου είναι ωραίο."},
        {"auto p les", "αυτό που λες"},
        {"DN TPT k esy? Dld", "ΔΕΝ ΤΙΠΟΤΑ και εσύ; Δηλαδή"},
        {"tlk, ntks. kl (smr)", "τελικά, εντάξει. καλά (σήμερα)"},
        {"tespa", "τέλος πάντων"},
        // Joined to more: an apostrophe, a dot, a hyphen, a digit.
        {"m'aresei, s'agapw", "μ'αρέσει, σ'αγαπώ"},
        {"p.x. auto", "π.χ. αυτό"},
        {"5m k-m", "5m κ-μ"},
        {"dnxerw", "δνχερω"},  // inside a word: no abbreviation, and no word
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(*speller_, row.typed), row.read) << row.typed;
    }
    // Typed in Greek letters too; and without the option, letters as typed.
    ReadingStream greek(*speller_, ReadingStream::Source::Greek, true);
    std::u16string out;
    greek.Read(u"δν ξερω κ εσυ", out);
    greek.Finish(out);
    EXPECT_EQ(U8(out), "δεν ξέρω και εσύ");
    EXPECT_EQ(Read(*speller_, "dn 3erw k esy", false), "δν ξέρω κ εσύ");
}

// Laughter stays laughter, in Greek letters, with or without the option;
// what merely starts like it is read as ever.
TEST_F(EverydayWithTheModel, LaughterIsWrittenAsLaughter) {
    const Row rows[] = {
        {"xaxa", "χαχα"},
        {"xaxaxa haha XAXA Xaxa", "χαχαχα χαχα ΧΑΧΑ Χαχα"},
        {"hehe xixi xaxax", "χεχε χιχι χαχαχ"},
        {"kala xaxaxa!", "καλά χαχαχα!"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(*speller_, row.typed), row.read) << row.typed;
        EXPECT_EQ(Read(*speller_, row.typed, false), row.read) << row.typed;
    }
    ReadingStream greek(*speller_, ReadingStream::Source::Greek, true);
    std::u16string out;
    greek.Read(u"χαχαχα", out);
    greek.Finish(out);
    EXPECT_EQ(U8(out), "χαχαχα");
    EXPECT_EQ(Read(*speller_, "xa xaxi xhxh"), Read(*speller_, "xa xaxi xhxh", false));
}

// An English word, or a capitalised name, stays as typed when its Greek
// readings are rare; where a Greek word in use reads from it, Greek is
// meant.
TEST_F(EverydayWithTheModel, EnglishWordsStayUnlessACommonGreekWordReads) {
    const Row rows[] = {
        // Kept: no Greek reading, or only rare ones (γάμε, θε, νίψε).
        {"to weekend 8a kanoume party", "το weekend θα κάνουμε party"},
        {"steile mou email", "στείλε μου email"},
        {"to game htan cool", "το game ήταν cool"},
        {"the best, nice", "the best, nice"},
        {"h Barcelona kai h Liverpool", "η Barcelona και η Liverpool"},
        // Greek: English words that are common Greek readings.
        {"den 3erw tis lexeis", "δεν ξέρω τις λέξεις"},
        {"ton eida me auto", "τον είδα με αυτό"},
        {"paw, tin eida, ma giati", "πάω, την είδα, μα γιατί"},
        {"To spiti", "Το σπίτι"},
        {"o Olympiakos kai o Panathinaikos", "ο Ολυμπιακός και ο Παναθηναϊκός"},
        {"stis rythmiseis", "στις ρυθμίσεις"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(*speller_, row.typed), row.read) << row.typed;
    }
}

// Latin acronyms stay; Greek words typed in capitals are read, 3 and 8
// among them as ξ and θ.
TEST_F(EverydayWithTheModel, AcronymsAgainstGreekInCapitals) {
    const Row rows[] = {
        {"to USB kai to LVM kai to EFI", "το USB και το LVM και το EFI"},
        {"TV, AEK, MP3, USB3", "TV, AEK, MP3, USB3"},
        {"KALIMERA, ELA! DEN 3ERW", "ΚΑΛΗΜΕΡΑ, ΕΛΑ! ΔΕΝ ΞΕΡΩ"},
        {"NAI, MPRAVO, 8A ERTHW", "ΝΑΙ, ΜΠΡΑΒΟ, ΘΑ ΕΡΘΩ"},
        {"DN 3ERW, XAXA", "ΔΕΝ ΞΕΡΩ, ΧΑΧΑ"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(*speller_, row.typed), row.read) << row.typed;
    }
}

// Slips of typing and emphasis, read only where no reading places a word,
// and only as words in use; what nothing places stays as the letters typed.
TEST_F(EverydayWithTheModel, SlipsAndEmphasis) {
    const Row rows[] = {
        {"naiiii poliiii kala", "ναι πολύ καλά"},  // emphasis: the word once
        {"kalhmeraaa!", "καλημέρα!"},
        {"kalimra", "καλημέρα"},                        // a letter left out
        {"kalimerta", "καλημέρα"},                      // one too many
        {"kalimwra", "καλημέρα"},                       // a neighbour on the keyboard
        {"kailmera", "καλημέρα"},                       // two neighbours swapped
        {"denxerw ti na kanw", "δεν ξέρω τι να κάνω"},  // two words typed as one
        {"den3erw", "δεν ξέρω"},
        // Nothing in use is near: the letters as typed; names stay.
        {"to laptpo", "το λαπτπο"},
        {"o Antetokounmpo kai h Barcelona", "ο Antetokounmpo και η Barcelona"},
        {"WWW ZZZ www", "WWW ZZZ www"},
        {"thelwnapaw", "θελωναπαω"},  // three words: not split
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(*speller_, row.typed), row.read) << row.typed;
    }
}

// A consonant typed once where Greek doubles it, against one that must
// stay single.
TEST_F(EverydayWithTheModel, ConsonantsTypedOnce) {
    const Row rows[] = {
        {"thalasa", "θάλασσα"},
        {"ala den 3erw", "αλλά δεν ξέρω"},
        {"alos enas", "άλλος ένας"},
        {"gramatiki", "γραμματική"},
        {"kalos", "καλός"},
        {"kala", "καλά"},
        {"mera", "μέρα"},
        {"ena", "ένα"},
        {"tora", "τώρα"},
        {"pano", "πάνω"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(*speller_, row.typed), row.read) << row.typed;
    }
}

// The second accent before every enclitic: μου, σου, μας, σας always; the
// articles' forms, the four-letter τους among them, where they end a phrase.
TEST_F(EverydayWithTheModel, EveryEnclitic) {
    const Row rows[] = {
        {"to systhma mou", "το σύστημά μου"},
        {"to systhma sou", "το σύστημά σου"},
        {"to systhma mas", "το σύστημά μας"},
        {"to systhma sas", "το σύστημά σας"},
        {"to systhma tou.", "το σύστημά του."},
        {"to systhma ths.", "το σύστημά της."},
        {"to systhma tous.", "το σύστημά τους."},
        {"anoi3e to.", "άνοιξέ το."},
        {"anoi3e ta.", "άνοιξέ τα."},
        {"anoi3e tous.", "άνοιξέ τους."},
        {"anoi3e tis.", "άνοιξέ τις."},
        {"anoi3e thn.", "άνοιξέ την."},
        {"anoi3e th.", "άνοιξέ τη."},
        {"anoi3e ton.", "άνοιξέ τον."},
        {"to systhma m", "το σύστημά μου"},  // the abbreviation too
        // Articles inside a phrase: no second accent.
        {"to systhma tou ypologisth.", "το σύστημα του υπολογιστή."},
        {"to systhma tous xrhstes.", "το σύστημα τους χρήστες."},
        {"h kardia mou", "η καρδιά μου"},  // stressed last: nothing to add
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Read(*speller_, row.typed), row.read) << row.typed;
    }
}

}  // namespace
}  // namespace bivano
