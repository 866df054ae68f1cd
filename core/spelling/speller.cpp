// SPDX-License-Identifier: GPL-3.0-or-later
// The reader's rooms: the readings of typed letters (typed_readings.h),
// words read one at a time (word_reader.h), the words kept as typed
// (kept_as_typed.h), chat words (chat_words.h), a phrase's words chosen
// together (phrase_search.h) and written (written_words.h), and the
// stream that cuts a text into phrases (reading_stream.cpp). Here: the
// speller over a model, and spelling a whole text at once.
#include "core/spelling/speller.h"

namespace bivano {

GreekSpeller::GreekSpeller(std::unique_ptr<GreekModel> model) : model_(std::move(model)) {}

std::unique_ptr<GreekSpeller> GreekSpeller::FromModelBytes(std::span<const std::byte> bytes,
                                                           std::shared_ptr<const void> owner,
                                                           Failure* failure) {
    std::unique_ptr<GreekModel> model = GreekModel::FromBytes(bytes, std::move(owner), failure);
    if (model == nullptr) {
        return nullptr;
    }
    return std::make_unique<GreekSpeller>(std::move(model));
}

std::u16string GreekSpeller::Spell(std::u16string_view text) const {
    std::u16string out;
    out.reserve(text.size());
    ReadingStream stream(*this, ReadingStream::Source::Greek);
    stream.Read(text, out);
    stream.Finish(out);
    return out;
}

}  // namespace bivano
