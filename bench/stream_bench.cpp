// SPDX-License-Identifier: GPL-3.0-or-later
// A whole stream through the pipeline, as bivano runs it, on one thread and
// on two, turn about: whether reading on a thread of its own still pays.
//   stream_bench latin|greek|accents FILE [ROUNDS]
// Reads FILE into memory first and throws the output away, so that only
// the pipeline's own work is timed; prints MB/s, the best of ROUNDS (5).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "core/pipeline.h"
#include "io/greek_model_file.h"

namespace {

using bivano::ByteSink;
using bivano::ByteSource;
using bivano::Result;
using bivano::Status;

constexpr std::size_t kPieceBytes = std::size_t{256} << 10;  // as bivano reads

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(const std::string& bytes) : bytes_(bytes) {}
    Result<std::string_view> Read() override {
        const std::string_view next = std::string_view(bytes_).substr(at_, kPieceBytes);
        at_ += next.size();
        return next;
    }

  private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

class CountingSink final : public ByteSink {
  public:
    Status Write(std::string_view bytes) override {
        written += bytes.size();
        return {};
    }
    std::size_t written = 0;
};

double Seconds(const bivano::PipelineSettings& settings, const std::string& bytes,
               bivano::Threads threads, std::size_t& written) {
    const auto start = std::chrono::steady_clock::now();
    MemorySource source(bytes);
    CountingSink sink;
    bivano::Pipeline pipeline(settings);
    if (!pipeline.Stream(source, sink, threads)) {
        std::fprintf(stderr, "stream_bench: the stream failed\n");
        std::exit(1);
    }
    written = sink.written;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s latin|greek|accents FILE [ROUNDS]\n", argv[0]);
        return 2;
    }
    std::ifstream file(argv[2], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    if (!file && !file.eof()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[2]);
        return 1;
    }
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    bivano::PipelineSettings settings;
    std::unique_ptr<bivano::GreekSpeller> speller;
    if (std::strcmp(argv[1], "latin") != 0) {
        settings.direction = bivano::Direction::Greek;
    }
    if (std::strcmp(argv[1], "accents") == 0) {
        speller = bivano::io::OpenGreekModel(bivano::io::DefaultGreekModelPath());
        if (speller == nullptr) {
            std::fprintf(stderr, "%s: the reader's model cannot be read\n", argv[0]);
            return 1;
        }
        settings.speller = speller.get();
    }
    double best[2] = {1e9, 1e9};
    std::size_t written[2] = {0, 0};
    for (int round = 0; round < rounds; ++round) {
        for (const bivano::Threads threads : {bivano::Threads::One, bivano::Threads::Several}) {
            const auto index = static_cast<std::size_t>(threads == bivano::Threads::Several);
            const double took = Seconds(settings, bytes, threads, written[index]);
            best[index] = took < best[index] ? took : best[index];
        }
    }
    if (written[0] != written[1]) {
        std::fprintf(stderr, "%s: one thread and two wrote different lengths\n", argv[0]);
        return 1;
    }
    const double megabytes = static_cast<double>(bytes.size()) / 1e6;
    std::printf("%s, %.1f MB: one thread %.3f s (%.0f MB/s), several threads %.3f s (%.0f MB/s)\n",
                argv[1], megabytes, best[0], megabytes / best[0], best[1], megabytes / best[1]);
    return 0;
}
