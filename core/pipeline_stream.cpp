// SPDX-License-Identifier: GPL-3.0-or-later
// Pipeline::Stream: a stream read, converted and written piece by piece,
// on one thread or two. Apart from the rest of the pipeline because it is
// the one part that catches running out of memory (and so needs C++
// exceptions), which the web build, whose module never streams, does
// without.
#include "core/pipeline.h"

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

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

Status Pipeline::Stream(ByteSource& source, ByteSink& sink, Threads threads) {
    // The input lately converted, to place a character that cannot be
    // written where the input has it.
    RecentText recent;
    std::optional<Failure> not_encodable;
    const Status streamed = threads == Threads::Two
                                ? StreamOnTwoThreads(source, sink, recent, not_encodable)
                                : StreamOnOneThread(source, sink, recent, not_encodable);
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

}  // namespace bivano
