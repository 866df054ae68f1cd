// SPDX-License-Identifier: GPL-3.0-or-later
// A whole stream through the pipeline, as bivano runs it: on one thread or
// two, in pieces of any size, the same bytes; the source's, the sink's and
// the encoding's failures stop it where they happen. Native only: the web
// build has no threads.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <random>
#include <string>

#include "core/pipeline.h"
#include "small_models.h"

namespace bivano {
namespace {

// Hands out `bytes` in pieces of `piece` bytes, then `end`: nothing (the
// end of the input) or a failure.
class PiecesSource final : public ByteSource {
  public:
    PiecesSource(std::string_view bytes, std::size_t piece, std::optional<Failure> end = {})
        : bytes_(bytes), piece_(piece), end_(std::move(end)) {}

    Result<std::string_view> Read() override {
        if (at_ < bytes_.size()) {
            const std::string_view next = std::string_view(bytes_).substr(at_, piece_);
            at_ += next.size();
            return next;
        }
        if (end_) {
            return *end_;
        }
        return std::string_view();
    }

  private:
    std::string bytes_;
    std::size_t piece_;
    std::optional<Failure> end_;
    std::size_t at_ = 0;
};

// Keeps what it is given; with `failing_write`, that write (from 0) fails
// with ENOSPC, as on a full disk.
class CollectingSink final : public ByteSink {
  public:
    explicit CollectingSink(std::optional<int> failing_write = {})
        : failing_write_(failing_write) {}

    Status Write(std::string_view bytes) override {
        if (failing_write_ && writes_++ == *failing_write_) {
            return Failure::FromErrno(ENOSPC);
        }
        bytes_.append(bytes);
        return {};
    }
    const std::string& bytes() const { return bytes_; }

  private:
    std::optional<int> failing_write_;
    int writes_ = 0;
    std::string bytes_;
};

GreekSpeller SmallSpeller() {
    return testing::SmallModelSpeller({u"καλημέρα", u"τι", u"κάνεις", u"θάλασσα", u"είσαι"});
}

// The whole text through the stages at once: what every stream must give.
std::string Whole(const PipelineSettings& settings, std::string_view bytes) {
    Pipeline pipeline(settings);
    std::string out;
    EXPECT_TRUE(pipeline.Run(bytes, out));
    EXPECT_TRUE(pipeline.Finish(out));
    return out;
}

// Many lines of words in the direction's letters, long enough for
// thousands of pieces, with every kind of line break.
std::string LongText(Direction direction) {
    const bool greek_letters = direction == Direction::Latin || direction == Direction::AccentsOnly;
    const std::vector<std::string> words =
        greek_letters ? std::vector<std::string>{"καλημερα ", "θάλασσα, ", "ψυχή\r\n", "ΞΕΝΟΣ ",
                                                 "ώρα\n",     "τι\r",      "κανεις; "}
                      : std::vector<std::string>{"kalimera ",   "thalassa, ", "8alassa\r\n",
                                                 "*verbatim* ", "ti\n",       "kaneis? ",
                                                 "eisai\r",     "Pws ",       "k "};
    std::mt19937 random(22);
    std::string text;
    while (text.size() < 30'000) {
        text += words[random() % words.size()];
    }
    return text;
}

struct StreamRow {
    const char* name;
    Direction direction;
    std::optional<Encoding> from;
    Encoding to;
    bool speller;
    std::string bytes;  // empty: LongText(direction)
};

void PrintTo(const StreamRow& row, std::ostream* out) {
    *out << row.name;
}

class StreamRows : public ::testing::TestWithParam<StreamRow> {};

TEST_P(StreamRows, GiveTheWholeTextsBytesOnOneThreadOrSeveralAtEveryPieceSize) {
    const StreamRow& row = GetParam();
    const GreekSpeller speller = SmallSpeller();
    PipelineSettings settings;
    settings.direction = row.direction;
    settings.from = row.from;
    settings.to = row.to;
    settings.speller = row.speller ? &speller : nullptr;
    settings.credit = u"credit";
    const std::string bytes = row.bytes.empty() ? LongText(row.direction) : row.bytes;
    const std::string expected = Whole(settings, bytes);
    for (const std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7},
                                    std::size_t{4096}, std::size_t{1} << 20}) {
        for (const Threads threads : {Threads::One, Threads::Several}) {
            SCOPED_TRACE("pieces of " + std::to_string(piece) +
                         (threads == Threads::One ? ", one thread" : ", several threads"));
            PiecesSource source(bytes, piece);
            CollectingSink sink;
            Pipeline pipeline(settings);
            const Status streamed = pipeline.Stream(source, sink, threads);
            EXPECT_TRUE(streamed);
            EXPECT_EQ(sink.bytes(), expected);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Directions, StreamRows,
    ::testing::Values(
        StreamRow{"Latin", Direction::Latin, {}, Encoding::Utf8, false, ""},
        StreamRow{"LatinToWindows1253", Direction::Latin, {}, Encoding::Cp1253, false, ""},
        StreamRow{"Greek", Direction::Greek, {}, Encoding::Utf8, false, ""},
        StreamRow{"GreekSpelled", Direction::Greek, {}, Encoding::Utf8, true, ""},
        StreamRow{"AccentsOnly", Direction::AccentsOnly, {}, Encoding::Utf8, true, ""},
        StreamRow{"Layout", Direction::Layout, {}, Encoding::Utf8, true, "Kalhm;era ti k;aneis\n"},
        StreamRow{"Auto", Direction::Auto, {}, Encoding::Utf8, true, ""},
        // Judged from the bytes: Windows-1253, the sample straddling pieces.
        StreamRow{"Windows1253Judged",
                  Direction::Latin,
                  {},
                  Encoding::Utf8,
                  false,
                  std::string(300'000, 'a') + "\xE8\xDC\xEB\xE1\xF3\xF3\xE1\r\n"},
        StreamRow{"Utf16WithItsMark",
                  Direction::Latin,
                  {},
                  Encoding::Utf8,
                  false,
                  std::string("\xFF\xFE\xB8\x03\xAC\x03\r\x00\n\x00", 10)},
        StreamRow{"Empty", Direction::Greek, {}, Encoding::Utf8, true, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Failures: what the stream returns, and the bytes that were written
// before it stopped, alike on one thread and on two.
struct FailureRow {
    const char* name;
    Direction direction;
    std::optional<Encoding> from;
    Encoding to;
    LatinScheme scheme;
    std::string bytes;
    std::optional<Failure> source_end;  // the source fails after its bytes
    std::optional<int> failing_write;   // the sink fails at this write
    Failure expected;
    std::string written;
    bool speller = false;  // spelled: read in parts on several threads
};

void PrintTo(const FailureRow& row, std::ostream* out) {
    *out << row.name;
}

class FailureRows : public ::testing::TestWithParam<FailureRow> {};

TEST_P(FailureRows, StopTheStreamWithTheirCauseAndPlace) {
    const FailureRow& row = GetParam();
    const GreekSpeller speller = SmallSpeller();
    PipelineSettings settings;
    settings.speller = row.speller ? &speller : nullptr;
    settings.direction = row.direction;
    settings.options.scheme = row.scheme;
    settings.from = row.from;
    settings.to = row.to;
    for (const std::size_t piece : {std::size_t{1}, std::size_t{4}, std::size_t{1} << 20}) {
        for (const Threads threads : {Threads::One, Threads::Several}) {
            SCOPED_TRACE("pieces of " + std::to_string(piece) +
                         (threads == Threads::One ? ", one thread" : ", several threads"));
            PiecesSource source(row.bytes, piece, row.source_end);
            // A failing write counts pieces: keep it at the first.
            CollectingSink sink(row.failing_write);
            Pipeline pipeline(settings);
            const Status streamed = pipeline.Stream(source, sink, threads);
            ASSERT_FALSE(streamed);
            const Failure& failure = streamed.failure();
            EXPECT_EQ(failure.cause, row.expected.cause);
            EXPECT_EQ(failure.system_error, row.expected.system_error);
            EXPECT_EQ(failure.detail, row.expected.detail);
            EXPECT_EQ(failure.place.line, row.expected.place.line);
            EXPECT_EQ(failure.place.column, row.expected.place.column);
            EXPECT_EQ(failure.code, row.expected.code);
            if (!row.failing_write) {
                EXPECT_EQ(sink.bytes(), row.written);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Causes, FailureRows,
    ::testing::Values(
        // Everything read before the failure is written.
        FailureRow{"SourceFails", Direction::Latin, Encoding::Utf8, Encoding::Utf8,
                   LatinScheme::Lativo, "θά\nλα", Failure::FromErrno(EIO), std::nullopt,
                   Failure::FromErrno(EIO), "8a\nla"},
        FailureRow{"SinkFails", Direction::Greek, Encoding::Utf8, Encoding::Utf8,
                   LatinScheme::Lativo, "kalimera", std::nullopt, 0, Failure::FromErrno(ENOSPC),
                   ""},
        // Spelled: what was read up to the last place a part may end.
        FailureRow{"SourceFailsWhileSpelling", Direction::AccentsOnly, Encoding::Utf8,
                   Encoding::Utf8, LatinScheme::Lativo, "θαλασσα\nτι κανεις",
                   Failure::FromErrno(EIO), std::nullopt, Failure::FromErrno(EIO), "θάλασσα\n",
                   true},
        FailureRow{"SinkFailsWhileSpelling", Direction::Greek, Encoding::Utf8, Encoding::Utf8,
                   LatinScheme::Lativo, "kalimera\nti kaneis", std::nullopt, 0,
                   Failure::FromErrno(ENOSPC), "", true},
        // In Windows-1253: τι, κάνεις.
        FailureRow{"NotEncodableWhileSpelling", Direction::AccentsOnly, Encoding::Utf8,
                   Encoding::Cp1253, LatinScheme::Lativo, "τι\nκανεις Ж", std::nullopt,
                   std::nullopt, Failure::InText(Cause::NotEncodable, {2, 8}, U'Ж'),
                   "\xF4\xE9\n\xEA\xDC\xED\xE5\xE9\xF2 ", true},
        // Placed where the input has the character: line 2, column 3.
        FailureRow{"NotEncodable", Direction::Latin, Encoding::Utf8, Encoding::Cp1253,
                   LatinScheme::Lativo, "ab\r\nc Ж d", std::nullopt, std::nullopt,
                   Failure::InText(Cause::NotEncodable, {2, 3}, U'Ж'), "ab\r\nc "},
        // ISO 843 writes ώ as ṓ, which Windows-1253 lacks: the place is the
        // ώ's, second on its line, though ṓ is the output's third.
        FailureRow{"NotEncodableMadeByTheConversion", Direction::Latin, Encoding::Utf8,
                   Encoding::Cp1253, LatinScheme::Iso843, "x\nθώ", std::nullopt, std::nullopt,
                   Failure::InText(Cause::NotEncodable, {2, 2}, U'\u1E53'), "x\nth"},
        FailureRow{"InvalidByteNotEncodable", Direction::Latin, Encoding::Utf8, Encoding::Cp1253,
                   LatinScheme::Lativo, "ab\xFF", std::nullopt, std::nullopt,
                   Failure::InText(Cause::InvalidByteNotEncodable, {1, 3}, 0xFF, "utf-8"), "ab"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PipelineStream, BytesThatCouldNotBeReadAreToldOnceTheStreamIsDone) {
    struct Row {
        Encoding from;
        std::string bytes;
        Cause cause;
        const char* encoding;
    };
    for (const Row& row :
         {Row{Encoding::Utf8, "a\nbc\xFF\xFE", Cause::InvalidByte, "utf-8"},
          Row{Encoding::Iso8859_7, "a\nbc\xAE", Cause::UndefinedByte, "iso-8859-7"}}) {
        for (const Threads threads : {Threads::One, Threads::Several}) {
            const GreekSpeller speller = SmallSpeller();
            PipelineSettings settings;
            settings.from = row.from;
            // Spelled on several threads, read in parts.
            settings.direction = Direction::AccentsOnly;
            settings.speller = &speller;
            PiecesSource source(row.bytes, 1);
            CollectingSink sink;
            Pipeline pipeline(settings);
            ASSERT_TRUE(pipeline.Stream(source, sink, threads));
            const std::optional<Failure> unreadable = pipeline.UnreadableInput();
            ASSERT_TRUE(unreadable) << row.encoding;
            EXPECT_EQ(unreadable->cause, row.cause);
            EXPECT_EQ(unreadable->detail, row.encoding);
            EXPECT_EQ(unreadable->place.line, 2u);
            EXPECT_EQ(unreadable->place.column, 3u);
            EXPECT_EQ(unreadable->code, static_cast<char32_t>(row.bytes[4] & 0xFF));
        }
    }
    PiecesSource clean("abc", 1);
    CollectingSink sink;
    Pipeline pipeline(PipelineSettings{});
    ASSERT_TRUE(pipeline.Stream(clean, sink, Threads::Several));
    EXPECT_EQ(pipeline.UnreadableInput(), std::nullopt);
}

// A text of many parts, more than the readers may hold under way at once:
// the cutting side waits for room again and again, the readers for parts,
// the writing side for each first part. Every way it ends is as on one
// thread: the whole text, the bytes read before the source failed, or the
// sink's failure with nothing waiting for ever.
TEST(PipelineStream, ManyPartsEndAsOnOneThread) {
    const GreekSpeller speller = SmallSpeller();
    PipelineSettings settings;
    settings.direction = Direction::Greek;
    settings.speller = &speller;
    std::string text;
    while (text.size() < 1'500'000) {
        text += LongText(Direction::Greek);
    }
    struct Row {
        const char* name;
        std::optional<Failure> source_end;
        std::optional<int> failing_write;
    };
    for (const Row& row :
         {Row{"whole", std::nullopt, std::nullopt},
          Row{"source fails", Failure::FromErrno(EIO), std::nullopt},
          Row{"sink fails early", std::nullopt, 2}, Row{"sink fails late", std::nullopt, 30}}) {
        for (const std::size_t piece : {std::size_t{4096}, std::size_t{1} << 20}) {
            SCOPED_TRACE(std::string(row.name) + ", pieces of " + std::to_string(piece));
            std::string written[2];
            std::optional<Failure> failure[2];
            for (const Threads threads : {Threads::One, Threads::Several}) {
                PiecesSource source(text, piece, row.source_end);
                CollectingSink sink(row.failing_write);
                Pipeline pipeline(settings);
                const Status streamed = pipeline.Stream(source, sink, threads);
                const int at = threads == Threads::One ? 0 : 1;
                written[at] = sink.bytes();
                if (!streamed) {
                    failure[at] = streamed.failure();
                }
            }
            // Several threads write part by part, some forty times here.
            ASSERT_EQ(failure[1].has_value(), row.source_end || row.failing_write);
            if (row.failing_write) {
                EXPECT_EQ(failure[1]->system_error, ENOSPC);
                continue;  // one thread writes fewer, larger pieces
            }
            ASSERT_EQ(failure[0].has_value(), failure[1].has_value());
            if (failure[0]) {
                EXPECT_EQ(failure[1]->system_error, failure[0]->system_error);
            }
            EXPECT_EQ(written[1], written[0]);
            if (!row.source_end) {
                EXPECT_EQ(written[1], Whole(settings, text));
            }
        }
    }
}

// The front end's tuning runs on each thread that spells, before it reads,
// and only there: the thread that cuts and the caller's are left alone.
std::atomic<int> spelling_threads_tuned{0};
thread_local bool tuned_here = false;

TEST(PipelineStream, EachSpellingThreadIsTunedFirst) {
    const GreekSpeller speller = SmallSpeller();
    for (const Direction direction : {Direction::AccentsOnly, Direction::Latin}) {
        spelling_threads_tuned = 0;
        PipelineSettings settings;
        settings.direction = direction;
        settings.speller = &speller;
        settings.on_spelling_thread = [] {
            tuned_here = true;
            ++spelling_threads_tuned;
        };
        // Enough parts for every reader to take one.
        std::string text;
        for (int line = 0; line < 20000; ++line) {
            text += "καλημερα τι κανεις.\n";
        }
        PiecesSource source(text, 4096);
        CollectingSink sink;
        Pipeline pipeline(settings);
        ASSERT_TRUE(pipeline.Stream(source, sink, Threads::Several));
        EXPECT_FALSE(tuned_here);
        if (direction == Direction::AccentsOnly) {
            EXPECT_GE(spelling_threads_tuned.load(), 1);
            EXPECT_LE(spelling_threads_tuned.load(), 2);
            const std::string line = "καλημέρα τι κάνεις.\n";
            EXPECT_EQ(sink.bytes().substr(0, line.size()), line);
        } else {
            EXPECT_EQ(spelling_threads_tuned.load(), 0);  // no spelling: nothing to tune
        }
    }
}

// An input that never ends (a terminal, a pipe kept open) must not hold
// the stream once its output has failed: it is interrupted.
class EndlessSource final : public ByteSource {
  public:
    Result<std::string_view> Read() override {
        std::unique_lock lock(mutex_);
        if (reads_++ == 0) {
            return std::string_view("θάλασσα\n");
        }
        woken_.wait(lock, [&] { return interrupted_; });
        return Failure::FromErrno(ECANCELED);
    }
    void Interrupt() override {
        const std::lock_guard lock(mutex_);
        interrupted_ = true;
        woken_.notify_all();
    }
    bool interrupted() {
        const std::lock_guard lock(mutex_);
        return interrupted_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable woken_;
    int reads_ = 0;
    bool interrupted_ = false;
};

TEST(PipelineStream, AFailedOutputWakesAnInputThatWaits) {
    const GreekSpeller speller = SmallSpeller();
    for (const bool spelled : {false, true}) {
        SCOPED_TRACE(spelled ? "spelled" : "converted");
        EndlessSource source;
        CollectingSink sink(0);
        PipelineSettings settings;
        settings.direction = spelled ? Direction::AccentsOnly : Direction::Latin;
        settings.speller = spelled ? &speller : nullptr;
        settings.from = Encoding::Utf8;  // not held back to judge the encoding
        Pipeline pipeline(settings);
        const Status streamed = pipeline.Stream(source, sink, Threads::Several);
        ASSERT_FALSE(streamed);
        EXPECT_EQ(streamed.failure().system_error, ENOSPC);
        EXPECT_TRUE(source.interrupted());
    }
}

}  // namespace
}  // namespace bivano
