// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of both conversions on long texts, with a receiver that does nothing
// and with one that gathers text and position as a window does.
//
//   ./core_bench                          the speed figures
//   ./core_bench --peak-memory latin|greek 10000000
//                                         one run; prints peak memory
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/lativo/convert_to_greek.h"
#include "core/lativo/convert_to_latin.h"
#include "sample_text.h"

namespace bivano::bench {
namespace {

// Keeps what a window keeps: the text so far and the bar's value.
class GatheringProgress final : public ConversionProgress {
  public:
    void ClearResult() override { text_.clear(); }
    void SetMaximum(std::int32_t count) override { maximum_ = count; }
    void SetPosition(std::int32_t value) override { position_ = value; }
    void RepaintProgress() override { benchmark::DoNotOptimize(position_); }
    void AppendResult(std::u16string_view text) override { text_.append(text); }
    void RepaintResult() override { benchmark::DoNotOptimize(text_.data()); }
    void RepaintWindow() override { benchmark::DoNotOptimize(maximum_); }

  private:
    std::u16string text_;
    std::int32_t maximum_ = 100;
    std::int32_t position_ = 0;
};

template <typename Progress>
void BM_ConvertToLatin(benchmark::State& state) {
    const std::u16string source = GreekSampleText(static_cast<std::size_t>(state.range(0)));
    const ConversionOptions options{XiForm::XiKS, ThetaForm::ThetaTH, PsiForm::PsiPS};
    Progress progress;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertToLatin(source, options, u"credit", progress));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <typename Progress>
void BM_ConvertToGreek(benchmark::State& state) {
    const std::u16string source = LatinSampleText(static_cast<std::size_t>(state.range(0)));
    Progress progress;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertToGreek(source, u"credit", progress));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

constexpr std::int64_t kOneMillion = 1'000'000;
constexpr std::int64_t kTenMillion = 10'000'000;

BENCHMARK(BM_ConvertToLatin<SilentProgress>)
    ->Arg(kOneMillion)
    ->Arg(kTenMillion)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToLatin<GatheringProgress>)
    ->Arg(kOneMillion)
    ->Arg(kTenMillion)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToGreek<SilentProgress>)
    ->Arg(kOneMillion)
    ->Arg(kTenMillion)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToGreek<GatheringProgress>)
    ->Arg(kOneMillion)
    ->Arg(kTenMillion)
    ->Unit(benchmark::kMillisecond);

int PeakMemory(const char* direction, std::size_t length) {
    const bool latin = std::strcmp(direction, "latin") == 0;
    const std::u16string source = latin ? GreekSampleText(length) : LatinSampleText(length);
    GatheringProgress progress;
    const std::u16string result = latin ? ConvertToLatin(source, {}, u"credit", progress)
                                        : ConvertToGreek(source, u"credit", progress);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double peak_mib = static_cast<double>(usage.ru_maxrss) / 1024.0;
    // The gathering receiver holds a second copy of the result, as a window would.
    const double payload_mib =
        static_cast<double>((source.size() + result.size()) * sizeof(char16_t)) / (1024.0 * 1024.0);
    std::printf("%s %zu code units: peak %.1f MiB, source + result %.1f MiB, ratio %.2f\n",
                direction, length, peak_mib, payload_mib, peak_mib / payload_mib);
    return 0;
}

}  // namespace
}  // namespace bivano::bench

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--peak-memory") == 0) {
        return bivano::bench::PeakMemory(argv[2], std::stoul(argv[3]));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
