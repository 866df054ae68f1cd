// libFuzzer target: arbitrary UTF-16 through both conversions under every
// combination of options; every run must keep the receiver's promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "all_options.h"
#include "core/convert_to_greek.h"
#include "core/convert_to_latin.h"
#include "run_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace bivano;
    using namespace bivano::testing;
    static const auto all_options = AllOptions();

    std::u16string source(size / 2, u'\0');
    std::memcpy(source.data(), data, source.size() * sizeof(char16_t));
    const std::u16string credit = u"credit";

    auto check = [&](const RecordingProgress& progress, const std::u16string& result) {
        if (RunInvariantBreach(progress, result, source.size(), credit)) {
            std::abort();
        }
    };
    {
        RecordingProgress progress;
        check(progress, ConvertToGreek(source, credit, progress));
    }
    for (const ConversionOptions& options : all_options) {
        RecordingProgress progress;
        check(progress, ConvertToLatin(source, options, credit, progress));
    }
    return 0;
}
