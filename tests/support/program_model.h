// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "core/spelling/speller.h"
#include "io/greek_model_file.h"
#include "recording_progress.h"

namespace bivano::testing {

// Greeklish (or Greek) read through a whole stream, as the programs read it.
inline std::string ReadThroughStream(const GreekSpeller& speller, std::string_view text,
                                     ReadingStream::Source source, bool chat) {
    ReadingStream stream(speller, source, chat);
    std::u16string out;
    stream.Read(U16(text), out);
    stream.Finish(out);
    return U8(out);
}

#ifdef BIVANO_TEST_MODEL
// Suites whose choices rest on the program's own model, as the build makes
// it: opened once for each suite.
class WithProgramModel : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { speller_ = io::OpenGreekModel(BIVANO_TEST_MODEL); }
    static void TearDownTestSuite() { speller_.reset(); }
    void SetUp() override { ASSERT_NE(speller_, nullptr) << BIVANO_TEST_MODEL; }
    inline static std::unique_ptr<GreekSpeller> speller_;
};
#endif

}  // namespace bivano::testing
