#include "conversion_stream.h"

#include <algorithm>

#include "greek_rules.h"
#include "latin_rules.h"

namespace bivano {
namespace {

// Writes straight into room made beforehand; reports nothing.
class BufferSink {
  public:
    static constexpr bool kReports = false;

    explicit BufferSink(char16_t* cursor) : cursor_(cursor) {}
    char16_t* cursor() const { return cursor_; }

    void BeginCharacter(std::size_t) {}
    void EndCharacter(std::size_t) {}
    void SetPosition(std::size_t) {}
    void RepaintProgress() {}
    void RepaintResult() {}
    void Append(std::u16string_view text) {
        cursor_ = std::copy(text.begin(), text.end(), cursor_);
    }
    void Append(char16_t character) { *cursor_++ = character; }

  private:
    char16_t* cursor_;
};

// Converts into `out` through a BufferSink: `room` is the most the
// conversion can write.
template <typename Write>
void WriteInto(std::u16string& out, std::size_t room, Write write) {
    const std::size_t start = out.size();
    out.resize(start + room);
    BufferSink sink(out.data() + start);
    write(sink);
    out.resize(static_cast<std::size_t>(sink.cursor() - out.data()));
}

// No character has a Latin form longer than this.
constexpr std::size_t kLongestLatinForm = 3;

}  // namespace

struct LatinStream::State {
    explicit State(const ConversionOptions& options) : rules(options) {}
    internal::LatinRules<BufferSink> rules;
};

LatinStream::LatinStream(const ConversionOptions& options)
    : state_(std::make_unique<State>(options)) {}
LatinStream::~LatinStream() = default;
LatinStream::LatinStream(LatinStream&&) noexcept = default;
LatinStream& LatinStream::operator=(LatinStream&&) noexcept = default;

void LatinStream::Convert(std::u16string_view piece, std::u16string& out) {
    WriteInto(out, piece.size() * kLongestLatinForm,
              [&](BufferSink& sink) { state_->rules.Convert(piece, 1, sink); });
}

void LatinStream::Finish(std::u16string&) {}

struct GreekStream::State {
    // The source from the previous character of the next pass on (or from
    // the start, before the first pass).
    std::u16string held;
    std::size_t position = 1;  // of the next pass, in `held`

    void Run(std::u16string& out, bool final) {
        // A pass never writes more than it reads.
        WriteInto(out, held.size(), [&](BufferSink& sink) {
            position = internal::GreekRules<BufferSink>(sink).Run(held, position, final);
        });
        if (position >= 2) {
            // Keep the previous character of the next pass and what follows.
            const std::size_t drop = std::min(position - 2, held.size());
            held.erase(0, drop);
            position -= drop;
        }
    }
};

GreekStream::GreekStream() : state_(std::make_unique<State>()) {}
GreekStream::~GreekStream() = default;
GreekStream::GreekStream(GreekStream&&) noexcept = default;
GreekStream& GreekStream::operator=(GreekStream&&) noexcept = default;

void GreekStream::Convert(std::u16string_view piece, std::u16string& out) {
    state_->held.append(piece);
    state_->Run(out, false);
}

void GreekStream::Finish(std::u16string& out) {
    state_->Run(out, true);
    state_->held.clear();
    state_->position = 1;
}

}  // namespace bivano
