// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lativo/convert_to_greek.h"

#include <utility>

#include "core/lativo/conversion_run.h"
#include "core/lativo/to_greek_rules.h"

namespace bivano {
namespace {

// A run in the window: every pass is reported, and the text gathered.
class ReportingSink {
  public:
    static constexpr bool kReports = true;

    ReportingSink(std::size_t length, std::u16string& result, ConversionProgress& progress,
                  std::vector<TextRange>* verbatim_groups)
        : result_(result),
          progress_(progress),
          verbatim_groups_(verbatim_groups),
          scale_(internal::BeginRun(length, progress)) {}

    void SetPosition(std::size_t position) { progress_.SetPosition(scale_(position)); }
    void RepaintProgress() { progress_.RepaintProgress(); }
    void RepaintResult() { progress_.RepaintResult(); }

    // A group copied between asterisks.
    void Append(std::u16string_view text) {
        if (verbatim_groups_ != nullptr) {
            verbatim_groups_->push_back({result_.size(), result_.size() + text.size()});
        }
        result_.append(text);
        progress_.AppendResult(text);
    }

    void Append(char16_t character) {
        result_.push_back(character);
        progress_.AppendResult(std::u16string_view(&character, 1));
    }

  private:
    std::u16string& result_;
    ConversionProgress& progress_;
    std::vector<TextRange>* verbatim_groups_;
    internal::ProgressScale scale_;
};

}  // namespace

std::u16string ConvertToGreek(std::u16string_view source, std::u16string_view credit,
                              ConversionProgress& progress,
                              std::vector<TextRange>* verbatim_groups) {
    std::u16string result;
    result.reserve(source.size() + kTailBreaks.size() + credit.size());
    ReportingSink sink(source.size(), result, progress, verbatim_groups);
    internal::ToGreekRules<ReportingSink>(sink).Finish(source, 1);
    internal::EndRun(result, credit, progress);
    return result;
}

}  // namespace bivano
