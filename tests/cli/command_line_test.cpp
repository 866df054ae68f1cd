// SPDX-License-Identifier: GPL-3.0-or-later
// Reading bivano's arguments: the forms an option may take, where file
// names and options may stand, and what each slip says.
#include "command_line.h"

#include <gtest/gtest.h>

#include <clocale>
#include <initializer_list>
#include <string>
#include <vector>

#include "catalogue.h"

namespace bivano::cli {
namespace {

Parsed Parse(std::initializer_list<std::string_view> arguments) {
    const std::vector<std::string_view> list(arguments);
    return ParseCommandLine(list);
}

std::string Shown(std::initializer_list<std::string_view> arguments) {
    std::string shown;
    for (const std::string_view argument : arguments) {
        shown.append(shown.empty() ? "" : " ").append(argument);
    }
    return shown;
}

class CommandLine : public ::testing::Test {
  protected:
    // The messages in English whatever the machine's locale.
    void SetUp() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(CommandLine, EveryFormOfAnOptionAndItsValueReadsTheSame) {
    const std::initializer_list<std::string_view> forms[] = {
        {"latin", "-x", "j", "a.txt"}, {"latin", "-xj", "a.txt"},
        {"latin", "-x=j", "a.txt"},    {"latin", "--xi", "j", "a.txt"},
        {"latin", "--xi=j", "a.txt"},  {"-xj", "latin", "a.txt"},
        {"latin", "a.txt", "-x", "J"}, {"latin", "-x", "j", "--", "a.txt"},
    };
    for (const auto& form : forms) {
        const Parsed parsed = Parse(form);
        ASSERT_TRUE(parsed.request) << Shown(form) << ": " << parsed.message;
        EXPECT_EQ(parsed.request->options.xi, XiForm::XiJ) << Shown(form);
        EXPECT_EQ(parsed.request->inputs, std::vector<std::string>{"a.txt"}) << Shown(form);
    }
}

TEST_F(CommandLine, LettersRunTogetherUntilOneTakesTheRest) {
    const Parsed parsed = Parse({"latin", "-t", "u", "-pps", "-wv", "-s", "ELOT743"});
    ASSERT_TRUE(parsed.request) << parsed.message;
    EXPECT_EQ(parsed.request->options.theta, ThetaForm::ThetaU);
    EXPECT_EQ(parsed.request->options.psi, PsiForm::PsiPS);
    EXPECT_EQ(parsed.request->options.omega, OmegaForm::OmegaV);
    EXPECT_EQ(parsed.request->options.scheme, LatinScheme::Elot743);
    // x takes the rest as its value, which is then no form of ξ.
    EXPECT_NE(Parse({"latin", "-x3t8"}).message.find("invalid value “3t8” for --xi"),
              std::string::npos);
}

TEST_F(CommandLine, FileNamesAreTheirBytesAndDashesAfterTwoAreNames) {
    struct Row {
        std::initializer_list<std::string_view> arguments;
        std::vector<std::string> inputs;
    };
    const Row rows[] = {
        {{"latin"}, {"-"}},
        {{"latin", "-"}, {"-"}},
        {{"latin", "x\xFF.txt", "\xE1\xE2"}, {"x\xFF.txt", "\xE1\xE2"}},
        {{"latin", "--", "-x", "--force"}, {"-x", "--force"}},
        {{"greek", "a", "--accents", "b"}, {"a", "b"}},
        {{"latin", ""}, {""}},
    };
    for (const Row& row : rows) {
        const Parsed parsed = Parse(row.arguments);
        ASSERT_TRUE(parsed.request) << Shown(row.arguments) << ": " << parsed.message;
        EXPECT_EQ(parsed.request->inputs, row.inputs) << Shown(row.arguments);
    }
    const Parsed named = Parse({"greek", "--accents", "--dictionary", "\xE1.dic", "-o", "\xFF"});
    ASSERT_TRUE(named.request) << named.message;
    EXPECT_EQ(named.request->dictionary, "\xE1.dic");
    EXPECT_EQ(named.request->output_file, "\xFF");
}

TEST_F(CommandLine, SlipsAreUsageErrorsThatSayWhat) {
    struct Row {
        std::initializer_list<std::string_view> arguments;
        const char* says;
    };
    const Row rows[] = {
        {{"latin", "--bogus"}, "Unknown option 'bogus'."},
        {{"latin", "--bogus=1"}, "Unknown option 'bogus'."},
        {{"latin", "--bogus", "-qx", "3"}, "Unknown options: bogus, q."},
        {{"latin", "-θ"}, "Unknown option 'θ'."},
        {{"latin", "-x"}, "Missing value after '-x'."},
        {{"latin", "--xi"}, "Missing value after '--xi'."},
        {{"latin", "--force=yes"}, "Unexpected value after '--force'."},
        {{"latin", "-h=1"}, "Unexpected value after '-h'."},
        {{"latin", "-x", "j", "--xi", "3"}, "option --xi is given once"},
        {{}, "missing command: latin, greek, accents, layout or auto"},
        {{"--force"}, "missing command"},
        {{"translate"}, "unknown command “translate”"},
        {{"Latin"}, "unknown command “Latin”"},
        {{"latin", "-w", "o"}, "invalid value “o” for --omega"},
        {{"latin", "--to", "iso-8859-7"}, "invalid value “iso-8859-7” for --to"},
        {{"latin", "--from", "koi8-r"}, "invalid value “koi8-r” for --from"},
        {{"latin", "-s", "passport"}, "unknown scheme “passport”: lativo, elot743, iso843"},
        {{"greek", "--scheme", "iso843"}, "--scheme goes with latin"},
        {{"latin", "--chat"}, "--chat goes with accents"},
        {{"layout", "--chat"}, "--chat goes with accents"},
        {{"latin", "--accents"}, "--accents goes with greek"},
        {{"greek", "--dictionary", "el.dic"}, "--dictionary goes with accents"},
        {{"accents", "--dictionary="}, "--dictionary needs a file name"},
        {{"latin", "-o", ""}, "--output needs a file name"},
        {{"latin", "-d", "", "a"}, "--directory needs a folder"},
        {{"latin", "-d", "out", "-o", "x", "a"}, "--output and --directory do not go together"},
        {{"latin", "-d", "out"}, "--directory needs file names, not -"},
        {{"latin", "-d", "out", "a", "-"}, "--directory needs file names, not -"},
    };
    for (const Row& row : rows) {
        const Parsed parsed = Parse(row.arguments);
        EXPECT_FALSE(parsed.request) << Shown(row.arguments);
        EXPECT_EQ(parsed.status, 2) << Shown(row.arguments);
        EXPECT_TRUE(parsed.message.starts_with("bivano: ")) << parsed.message;
        EXPECT_TRUE(parsed.message.ends_with("\nTry: bivano --help\n")) << parsed.message;
        EXPECT_NE(parsed.message.find(row.says), std::string::npos)
            << Shown(row.arguments) << " said: " << parsed.message;
    }
}

TEST_F(CommandLine, HelpAndVersionGoBeforeEverythingButSlips) {
    const Parsed help = Parse({"latin", "-hV", "--xi", "q"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.message.starts_with("Usage: bivano latin [OPTIONS] [FILE...]\n"));
    EXPECT_NE(help.message.find("  bivano auto [OPTIONS] [FILE...]\n"), std::string::npos);
    const Parsed version = Parse({"--version", "nonsense"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.message, "bivano (Lativo Bivano) 3.3\n");
    EXPECT_EQ(Parse({"--help", "--bogus"}).status, 2);
}

TEST_F(CommandLine, CommandsAskForTheReaderAsTheyNeedIt) {
    struct Row {
        std::initializer_list<std::string_view> arguments;
        Direction direction;
        bool accents;
        bool chat;
    };
    const Row rows[] = {
        {{"latin"}, Direction::Latin, false, false},
        {{"greek"}, Direction::Greek, false, false},
        {{"greek", "--accents", "--chat"}, Direction::Greek, true, true},
        {{"accents", "--chat"}, Direction::AccentsOnly, true, true},
        {{"layout"}, Direction::Layout, true, false},
        {{"auto", "--chat", "-s", "slug"}, Direction::Auto, true, true},
    };
    for (const Row& row : rows) {
        const Parsed parsed = Parse(row.arguments);
        ASSERT_TRUE(parsed.request) << Shown(row.arguments) << ": " << parsed.message;
        EXPECT_EQ(parsed.request->direction, row.direction) << Shown(row.arguments);
        EXPECT_EQ(parsed.request->accents, row.accents) << Shown(row.arguments);
        EXPECT_EQ(parsed.request->chat, row.chat) << Shown(row.arguments);
    }
}

TEST(Catalogue, FillReplacesEachNumberOnceAndLeavesTheRest) {
    EXPECT_EQ(Fill("%1 (%2) %1", {"a%2", "b"}), "a%2 (b) a%2");
    EXPECT_EQ(Fill("%3 of %1", {"x"}), "%3 of x");
    EXPECT_EQ(Fill("100% sure, %", {}), "100% sure, %");
    EXPECT_EQ(Fill("%10", {"one"}), "one0");
}

}  // namespace
}  // namespace bivano::cli
