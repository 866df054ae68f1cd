// SPDX-License-Identifier: GPL-3.0-or-later
#include "lativo_c.h"

#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "core/pipeline.h"
#include "core/product.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define LATIVO_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define LATIVO_EXPORT
#endif

struct LativoModel {
    std::unique_ptr<bivano::GreekSpeller> speller;
};

struct LativoPipeline {
    explicit LativoPipeline(const bivano::PipelineSettings& settings) : pipeline(settings) {}
    bivano::Pipeline pipeline;
    std::u16string text;  // the last call's result
    std::string bytes;
    bivano::Failure not_encodable;  // the last failed encoding's cause and place
};

namespace {

// JavaScript hands code units over as 16-bit numbers; char16_t is the same.
std::u16string_view Units(const uint16_t* text, size_t length) {
    return length == 0 ? std::u16string_view()
                       : std::u16string_view(reinterpret_cast<const char16_t*>(text), length);
}

const uint16_t* Result(const std::u16string& text, size_t* out_length) {
    *out_length = text.size();
    return reinterpret_cast<const uint16_t*>(text.data());
}

bool InRange(int32_t value, int32_t count) {
    return value >= 0 && value < count;
}

bool IsEncoding(int32_t value) {
    return InRange(value, static_cast<int32_t>(bivano::Encoding::Iso8859_7) + 1);
}

}  // namespace

extern "C" {

LATIVO_EXPORT void* lativo_alloc(size_t bytes) {
    return std::malloc(bytes == 0 ? 1 : bytes);
}

LATIVO_EXPORT void lativo_free(void* memory) {
    std::free(memory);
}

LATIVO_EXPORT LativoModel* lativo_model_open(void* bytes, size_t length, int* problem) {
    std::shared_ptr<const void> owner(
        bytes, [](const void* memory) { std::free(const_cast<void*>(memory)); });
    std::unique_ptr<bivano::GreekSpeller> speller = bivano::GreekSpeller::FromModelBytes(
        std::span(static_cast<const std::byte*>(bytes), length), std::move(owner));
    if (speller == nullptr) {
        *problem = LATIVO_MODEL_NOT_A_MODEL;
        return nullptr;
    }
    *problem = LATIVO_MODEL_OK;
    // The caller owns it from here, across the C boundary.
    return std::make_unique<LativoModel>(LativoModel{std::move(speller)}).release();
}

LATIVO_EXPORT void lativo_model_close(LativoModel* model) {
    std::unique_ptr<LativoModel> closing(model);
}

LATIVO_EXPORT size_t lativo_model_word_count(const LativoModel* model) {
    return model->speller->WordCount();
}

LATIVO_EXPORT LativoPipeline* lativo_pipeline_new(const LativoSettings* settings,
                                                  const LativoModel* model) {
    using namespace bivano;
    if (!InRange(settings->direction, 5) ||
        !InRange(settings->scheme, static_cast<int32_t>(std::size(kAllSchemes))) ||
        !InRange(settings->xi, 3) || !InRange(settings->theta, 3) || !InRange(settings->psi, 2) ||
        !InRange(settings->omega, 2) ||
        (settings->from != LATIVO_AUTO && !IsEncoding(settings->from)) ||
        (settings->to != LATIVO_UTF8 && settings->to != LATIVO_WINDOWS_1253)) {
        return nullptr;
    }
    const auto direction = static_cast<Direction>(settings->direction);
    if ((direction == Direction::AccentsOnly || direction == Direction::Layout) &&
        model == nullptr) {
        return nullptr;
    }
    PipelineSettings pipeline;
    pipeline.direction = direction;
    pipeline.options.scheme = kAllSchemes[settings->scheme];
    pipeline.options.xi = static_cast<XiForm>(settings->xi);
    pipeline.options.theta = static_cast<ThetaForm>(settings->theta);
    pipeline.options.psi = static_cast<PsiForm>(settings->psi);
    pipeline.options.omega = static_cast<OmegaForm>(settings->omega);
    if (settings->from != LATIVO_AUTO) {
        pipeline.from = static_cast<Encoding>(settings->from);
    }
    pipeline.to = static_cast<Encoding>(settings->to);
    if (settings->credit != 0) {
        pipeline.credit = std::u16string(direction == Direction::Latin ? product::kLatinCredit
                                                                       : product::kGreekCredit);
    }
    pipeline.speller = model != nullptr ? model->speller.get() : nullptr;
    pipeline.chat = settings->chat != 0;
    return std::make_unique<LativoPipeline>(pipeline).release();
}

LATIVO_EXPORT void lativo_pipeline_delete(LativoPipeline* pipeline) {
    std::unique_ptr<LativoPipeline> deleting(pipeline);
}

LATIVO_EXPORT const uint16_t* lativo_convert(LativoPipeline* pipeline, const uint16_t* text,
                                             size_t length, int last, size_t* out_length) {
    pipeline->text.clear();
    pipeline->pipeline.Convert(Units(text, length), pipeline->text);
    if (last != 0) {
        pipeline->pipeline.FinishConverting(pipeline->text);
    }
    return Result(pipeline->text, out_length);
}

LATIVO_EXPORT const uint16_t* lativo_decode(LativoPipeline* pipeline, const uint8_t* bytes,
                                            size_t length, int last, size_t* out_length) {
    pipeline->text.clear();
    pipeline->pipeline.Decode(length == 0
                                  ? std::string_view()
                                  : std::string_view(reinterpret_cast<const char*>(bytes), length),
                              pipeline->text);
    if (last != 0) {
        pipeline->pipeline.FinishDecoding(pipeline->text);
    }
    return Result(pipeline->text, out_length);
}

LATIVO_EXPORT int lativo_decoded_encoding(const LativoPipeline* pipeline) {
    return static_cast<int>(pipeline->pipeline.InputEncoding());
}

LATIVO_EXPORT int lativo_detect_encoding(const uint8_t* bytes, size_t length, int complete,
                                         size_t* mark_length) {
    const bivano::DetectedEncoding detected = bivano::DetectEncoding(
        length == 0 ? std::string_view()
                    : std::string_view(reinterpret_cast<const char*>(bytes), length),
        complete != 0);
    *mark_length = detected.mark_length;
    return static_cast<int>(detected.encoding);
}

LATIVO_EXPORT const uint8_t* lativo_encode(LativoPipeline* pipeline, const uint16_t* text,
                                           size_t length, int last, size_t* out_length) {
    pipeline->bytes.clear();
    const bivano::Status encoded = pipeline->pipeline.Encode(Units(text, length), pipeline->bytes);
    if (!encoded) {
        pipeline->not_encodable = encoded.failure();
    } else if (last != 0) {
        pipeline->pipeline.FinishEncoding(pipeline->bytes);
    }
    *out_length = encoded ? pipeline->bytes.size() : 0;
    return encoded ? reinterpret_cast<const uint8_t*>(pipeline->bytes.data()) : nullptr;
}

LATIVO_EXPORT void lativo_encoding_failure(const LativoPipeline* pipeline, uint32_t* line,
                                           uint32_t* column, uint32_t* character) {
    const bivano::Failure& failure = pipeline->not_encodable;
    *line = static_cast<uint32_t>(failure.place.line);
    *column = static_cast<uint32_t>(failure.place.column);
    *character = static_cast<uint32_t>(failure.code);
}

}  // extern "C"
