// SPDX-License-Identifier: GPL-3.0-or-later
// Pipeline::Stream: a stream read, converted and written piece by piece,
// on one thread or several. Apart from the rest of the pipeline because it is
// the one part that catches running out of memory (and so needs C++
// exceptions), which the web build, whose module never streams, does
// without.
#include "core/pipeline.h"

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "core/lativo/result_tail.h"

namespace bivano {

// What the reading side of a stream hands to the writing side: text, the
// end, or the failure that stopped the reading.
struct Pipeline::Piece {
    std::u16string text;
    std::u16string source;  // the decoded input, when `text` is already converted
    bool last = false;
    std::optional<Failure> failure;
};

// A queue of at most two pieces between the two sides of a stream, so
// that reading and writing overlap and memory stays flat.
class Pipeline::Handoff {
  public:
    // Waits for room; false when the writing side has given up.
    bool Push(Piece piece) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return closed_ || pieces_.size() < kDepth; });
        if (closed_) {
            return false;
        }
        pieces_.push_back(std::move(piece));
        changed_.notify_all();
        return true;
    }
    Piece Pop() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !pieces_.empty(); });
        Piece piece = std::move(pieces_.front());
        pieces_.pop_front();
        changed_.notify_all();
        return piece;
    }
    void Close() {
        const std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }

  private:
    static constexpr std::size_t kDepth = 2;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Piece> pieces_;
    bool closed_ = false;
};

// The parts of a text being read on several threads (ReadingCutter), in
// the text's order: cut by the reading side, read by any of the readers,
// written in turn. At most kMostParts are under way, so that memory stays
// flat.
class Pipeline::PartQueue {
  public:
    struct Part {
        ReadingPart input;
        std::u16string reading;
        ReadingStream::PartReading how;
        std::optional<Failure> failure;  // the reader's
        bool taken = false;              // a reader has it
        bool read = false;               // and has read it
    };

    // Adds a part cut; waits for room; false when the writing side has
    // given up.
    bool Push(std::unique_ptr<Part> part) {
        std::unique_lock lock(mutex_);
        // Once full, the cutting side waits until half are written, and then
        // cuts several at a go: fewer wakings, each costly.
        if (parts_.size() >= kMostParts) {
            room_.wait(lock, [&] { return closed_ || parts_.size() <= kRoomAgain; });
        }
        if (closed_) {
            return false;
        }
        parts_.push_back(std::move(part));
        untaken_.notify_one();
        return true;
    }
    // The first part no reader has taken, taken; nothing once closed.
    Part* Take() {
        std::unique_lock lock(mutex_);
        Part* part = nullptr;
        untaken_.wait(lock, [&] {
            if (closed_) {
                return true;
            }
            for (const std::unique_ptr<Part>& waiting : parts_) {
                if (!waiting->taken) {
                    part = waiting.get();
                    return true;
                }
            }
            return false;
        });
        if (part != nullptr) {
            part->taken = true;
        }
        return part;
    }
    void MarkRead(Part& part) {
        const std::lock_guard lock(mutex_);
        part.read = true;
        // The writing side waits for the first part only.
        if (&part == parts_.front().get()) {
            first_read_.notify_one();
        }
    }
    // The cutting side's failure, after the parts it cut: nothing to
    // allocate, so that running out of memory can be told too.
    void Fail(const Failure& failure) {
        const std::lock_guard lock(mutex_);
        failure_ = failure;
        first_read_.notify_one();
    }
    // The first part, once read; nothing once the parts before the cutting
    // side's failure are all taken (see failure()).
    std::unique_ptr<Part> Pop() {
        std::unique_lock lock(mutex_);
        first_read_.wait(
            lock, [&] { return parts_.empty() ? failure_.has_value() : parts_.front()->read; });
        if (parts_.empty()) {
            return nullptr;
        }
        std::unique_ptr<Part> part = std::move(parts_.front());
        parts_.pop_front();
        if (parts_.size() == kRoomAgain) {
            room_.notify_one();
        }
        return part;
    }
    Failure failure() {
        const std::lock_guard lock(mutex_);
        return *failure_;
    }
    void Close() {
        const std::lock_guard lock(mutex_);
        closed_ = true;
        room_.notify_all();
        untaken_.notify_all();
        first_read_.notify_all();
    }

  private:
    // Room for one reader to go on while the other ends a slow part.
    static constexpr std::size_t kMostParts = 6;
    static constexpr std::size_t kRoomAgain = kMostParts / 2;
    std::mutex mutex_;
    // Each side waits on its own: the cutting side for room, the readers
    // for a part to take, the writing side for the first part's reading.
    std::condition_variable room_;
    std::condition_variable untaken_;
    std::condition_variable first_read_;
    std::deque<std::unique_ptr<Part>> parts_;
    std::optional<Failure> failure_;
    bool closed_ = false;
};

Status Pipeline::Stream(ByteSource& source, ByteSink& sink, Threads threads) {
    // The input lately converted, to place a character that cannot be
    // written where the input has it.
    RecentText recent;
    std::optional<Failure> not_encodable;
    Status streamed;
    if (threads == Threads::One) {
        streamed = StreamOnOneThread(source, sink, recent, not_encodable);
    } else if (ReadsOnly()) {
        streamed = StreamReadingInParts(source, sink, recent, not_encodable);
    } else {
        streamed = StreamOnTwoThreads(source, sink, recent, not_encodable);
    }
    if (!streamed) {
        return streamed;
    }
    if (not_encodable) {
        return PlacedInInput(*not_encodable, recent);
    }
    return {};
}

// Reads, decodes and (with `convert_while_reading`) converts the next
// piece; the piece tells of a failure rather than throwing.
Pipeline::Piece Pipeline::ReadPiece(ByteSource& source, bool convert_while_reading) {
    Piece piece;
    try {
        const Result<std::string_view> bytes = source.Read();
        if (!bytes) {
            piece.failure = bytes.failure();
            return piece;
        }
        std::u16string text;
        piece.last = bytes->empty();
        piece.last ? FinishDecoding(text) : Decode(*bytes, text);
        if (convert_while_reading) {
            Convert(text, piece.text);
            if (piece.last) {
                FinishConverting(piece.text);
            }
            piece.source = std::move(text);
        } else {
            piece.text = std::move(text);
        }
    } catch (const std::bad_alloc&) {
        piece = Piece{};
        piece.failure = Failure::FromErrno(ENOMEM);
    }
    return piece;
}

// Converts the piece (unless `converted`), encodes it and writes it. What
// could be encoded is written before a character that cannot be is told
// in `not_encodable`, and the stream stops there; the sink's failure
// comes first.
Status Pipeline::WritePiece(Piece& piece, bool converted, ByteSink& sink, RecentText& recent,
                            std::optional<Failure>& not_encodable) {
    if (converted) {
        converted_ = std::move(piece.text);
        recent.Add(std::move(piece.source));
    } else {
        converted_.clear();
        Convert(piece.text, converted_);
        if (piece.last) {
            FinishConverting(converted_);
        }
        recent.Add(std::move(piece.text));
    }
    encoded_.clear();
    Status encodable = Encode(converted_, encoded_);
    if (encodable && piece.last) {
        FinishEncoding(encoded_);
    }
    if (Status written = sink.Write(encoded_); !written) {
        return written;
    }
    if (!encodable) {
        not_encodable = encodable.failure();
    }
    return {};
}

Status Pipeline::StreamOnOneThread(ByteSource& source, ByteSink& sink, RecentText& recent,
                                   std::optional<Failure>& not_encodable) {
    // Latin converts on the writing side, as on two threads: the same
    // pieces of text reach the encoder either way.
    const bool convert_while_reading = direction_ != Direction::Latin;
    for (;;) {
        Piece piece = ReadPiece(source, convert_while_reading);
        if (piece.failure) {
            return *piece.failure;
        }
        try {
            if (Status written =
                    WritePiece(piece, convert_while_reading, sink, recent, not_encodable);
                !written) {
                return written;
            }
        } catch (const std::bad_alloc&) {
            return Failure::FromErrno(ENOMEM);
        }
        if (not_encodable || piece.last) {
            return {};
        }
    }
}

Status Pipeline::StreamOnTwoThreads(ByteSource& source, ByteSink& sink, RecentText& recent,
                                    std::optional<Failure>& not_encodable) {
    // For Latin, decoding and converting cost about the same: the reading
    // side decodes only. For the others the conversion is most of the work
    // and goes with the reading, the encoding and writing with the other.
    const bool convert_while_reading = direction_ != Direction::Latin;
    Handoff handoff;
    std::thread reader([&] {
        for (;;) {
            Piece piece = ReadPiece(source, convert_while_reading);
            const bool end = piece.last || piece.failure.has_value();
            if (!handoff.Push(std::move(piece)) || end) {
                return;  // done, or the writing side has given up
            }
        }
    });
    const auto write = [&]() -> Status {
        for (;;) {
            Piece piece = handoff.Pop();
            if (piece.failure) {
                return *piece.failure;
            }
            if (Status written =
                    WritePiece(piece, convert_while_reading, sink, recent, not_encodable);
                !written) {
                return written;
            }
            if (not_encodable || piece.last) {
                return {};
            }
        }
    };
    Status written = Failure::FromErrno(ENOMEM);
    try {
        written = write();
    } catch (const std::bad_alloc&) {
    }
    // The reading side may wait on an input that stays open: wake it.
    source.Interrupt();
    handoff.Close();
    reader.join();
    return written;
}

// Parts of about this many characters keep the readers about equally busy
// to the end, and few in memory at once.
constexpr std::size_t kReadingPart = std::size_t{1} << 15;

// The reading, the costliest conversion by far, on several threads: the
// text cut into parts as one reading stream would read them, each part read
// by the first reader free, the readings put together in the text's order.
Status Pipeline::StreamReadingInParts(ByteSource& source, ByteSink& sink, RecentText& recent,
                                      std::optional<Failure>& not_encodable) {
    using Part = PartQueue::Part;
    PartQueue parts;
    SharedReadings shared;
    std::vector<std::thread> threads;
    // However this ends, the threads started stop first: the cutting side
    // may wait on an input that stays open (woken), the readers on parts.
    struct Stopped {
        ByteSource& source;
        PartQueue& parts;
        std::vector<std::thread>& threads;
        ~Stopped() {
            source.Interrupt();
            parts.Close();
            for (std::thread& thread : threads) {
                thread.join();
            }
        }
    } stopped{source, parts, threads};
    // Read the parts: a reading stream for each processor, up to two (each
    // keeps its own memories of the words met: more would cost memory).
    const auto read = [&] {
        std::optional<ReadingStream> reading;
        while (Part* part = parts.Take()) {
            try {
                if (!reading) {
                    reading.emplace(NewReading(shared));
                }
                part->how = reading->ReadPart(part->input, part->reading);
            } catch (const std::bad_alloc&) {
                part->failure = Failure::FromErrno(ENOMEM);
            }
            parts.MarkRead(*part);
        }
    };
    const unsigned readers = std::thread::hardware_concurrency() >= 2 ? 2 : 1;
    for (unsigned i = 0; i < readers; ++i) {
        try {
            threads.emplace_back(read);
        } catch (const std::system_error&) {
            if (i == 0) {
                throw;  // as when no thread at all can be started
            }
            break;  // one reader does it all
        }
    }
    // Read, decode and cut.
    threads.emplace_back([&] {
        try {
            ReadingCutter cutter(kReadingPart);
            for (;;) {
                auto part = std::make_unique<Part>();
                const Result<std::string_view> bytes = source.Read();
                if (!bytes) {
                    parts.Fail(bytes.failure());
                    return;
                }
                const bool last = bytes->empty();
                cutter.AddWritten([&](std::u16string& held) {
                    last ? FinishDecoding(held) : Decode(*bytes, held);
                });
                while (cutter.Next(part->input)) {
                    if (!parts.Push(std::move(part))) {
                        return;  // the writing side has given up
                    }
                    part = std::make_unique<Part>();
                }
                if (last) {
                    cutter.Finish(part->input);
                    parts.Push(std::move(part));
                    return;
                }
            }
        } catch (const std::bad_alloc&) {
            parts.Fail(Failure::FromErrno(ENOMEM));
        }
    });
    // Put together, encode and write, in order.
    PartsInOrder in_order;
    const auto write = [&]() -> Status {
        for (;;) {
            const std::unique_ptr<Part> part = parts.Pop();
            if (part == nullptr) {
                return parts.failure();
            }
            if (part->failure) {
                return *part->failure;
            }
            in_order.Next(part->how, part->reading);
            Piece piece;
            piece.last = part->input.last;
            if (piece.last) {
                AppendCredit(part->reading);
            }
            piece.text = std::move(part->reading);
            piece.source = std::move(part->input.text);
            if (Status written = WritePiece(piece, true, sink, recent, not_encodable); !written) {
                return written;
            }
            if (not_encodable || piece.last) {
                return {};
            }
        }
    };
    try {
        return write();
    } catch (const std::bad_alloc&) {
        return Failure::FromErrno(ENOMEM);
    }
}

}  // namespace bivano
