// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "core/encoding/text_position.h"

namespace bivano {

// Why something failed, as the core and the file layer say it. The front
// ends make their messages from this, in their own language.
enum class Cause : std::uint8_t {
    // A system call failed; Failure::system_error holds its errno value.
    System,
    // A folder, device, FIFO or socket: never read or written.
    NotRegularFile,
    // A symbolic link to no file: neither followed to make a file nor
    // replaced by one.
    DanglingLink,
    // A file its user may not write (mode 0444): replaced only when asked to.
    WriteProtected,
    // More bytes than the reader takes, or more text than fits where it goes.
    TooLarge,
    // A character the output encoding has no bytes for (`code`, at `place`).
    NotEncodable,
    // Bytes that are no valid text in the input's encoding (`detail` names
    // it), read as U+FFFD: `code` is the first byte, at `place`.
    InvalidByte,
    // A byte the input's encoding (ISO-8859-7) leaves undefined, read as
    // U+FFFD; as InvalidByte otherwise.
    UndefinedByte,
    // Invalid bytes whose U+FFFD the output encoding cannot write: as
    // InvalidByte, and the run stopped there.
    InvalidByteNotEncodable,
    // A file with nothing in it where the reader needs something (its
    // model, a word list).
    EmptyFile,
    // A file that is no model of the reader's: `detail` says how ("too
    // short", "no model", "another version", "damaged").
    NotAModel,
    // A word list whose .aff names an encoding other than UTF-8 and
    // ISO8859-7.
    WordListEncodingUnknown,
    // A word list whose bytes are not in the encoding its .aff names.
    WordListEncodingWrong,
    // A word list without a Greek word.
    NoGreekWords,
    // The .aff beside a word list is there but cannot be read (or is not a
    // regular file).
    AffixUnreadable,
};

// What went wrong, with what a message needs to say where.
//   Failure::FromErrno(ENOENT)                         a file that is not there
//   Failure::FromErrno(ENOSPC, "/tmp")                 the temporary file in /tmp: disk full
//   Failure::InText(Cause::NotEncodable, {2, 3}, U'Ж')  line 2, column 3 holds Ж, which the
//                                                      output encoding lacks
struct Failure {
    Cause cause = Cause::System;
    int system_error = 0;  // the errno value, for Cause::System
    // File failures: the folder of a temporary file when the failure was
    // there rather than at the file named, else empty. Byte failures: the
    // input encoding's name ("utf-8"). NotAModel: how the bytes fail.
    std::string detail;
    TextPlace place{};  // text failures: where the input has it
    char32_t code = 0;  // the character, or the byte, at `place`

    static Failure Of(Cause cause) {
        Failure failure;
        failure.cause = cause;
        return failure;
    }
    static Failure Of(Cause cause, std::string detail) {
        Failure failure = Of(cause);
        failure.detail = std::move(detail);
        return failure;
    }
    static Failure FromErrno(int error, std::string folder = {}) {
        Failure failure;
        failure.system_error = error;
        failure.detail = std::move(folder);
        return failure;
    }
    static Failure InText(Cause cause, TextPlace place, char32_t code, std::string detail = {}) {
        Failure failure;
        failure.cause = cause;
        failure.detail = std::move(detail);
        failure.place = place;
        failure.code = code;
        return failure;
    }
};

// A value, or the failure that left none. Test it before use:
//   Result<std::string> bytes = io::ReadRegularFile(path, limit);
//   if (!bytes) { Show(bytes.failure()); } else { Use(*bytes); }
template <class T>
class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& operator*() & { return std::get<0>(state_); }
    const T& operator*() const& { return std::get<0>(state_); }
    T&& operator*() && { return std::get<0>(std::move(state_)); }
    T* operator->() { return &std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }

    const Failure& failure() const { return std::get<1>(state_); }

  private:
    std::variant<T, Failure> state_;
};

// Done, or the failure that stopped it.
template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)) {}

    bool ok() const { return !failure_.has_value(); }
    explicit operator bool() const { return ok(); }
    const Failure& failure() const { return *failure_; }

  private:
    std::optional<Failure> failure_;
};

using Status = Result<void>;

}  // namespace bivano
