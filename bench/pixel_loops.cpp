// Pixel-loop speed in time per pixel, at full-screen, dialog, sprite and glyph sizes (and an odd width).
// Names read family/size/implementation, so each family's forms and its pixman counterpart sit together:
// "ours" is the public (SIMD) form, "plain" the integer form, "pixman" the library's nearest operation; a
// loop that comes in several instruction sets also shows each form the processor runs ("sse2", "avx2",
// "avx512").

#include "engine/graphics/BlitLoops32.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/PixelLoops565.h"
#include "engine/graphics/PixelLoopsArgb.h"
#include "engine/graphics/SimdLevel.h"
#include "engine/kernel/SmartPtr.h"

#include <benchmark/benchmark.h>

#if defined(PIBBLES_WITH_PIXMAN)
#include <pixman.h>
#endif

#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace graphics;

namespace {

constexpr int fullWidth = 640;
constexpr int fullHeight = 480;

struct Size {
    int width, height;
};
const Size sizes[] = {{640, 480}, {639, 480}, {200, 150}, {100, 125}, {12, 16}};

// Random pixels and alphas, so that the pair shortcuts fire about as rarely as in a soft-edged sprite's rim.
struct Images {
    kernel::SmartPtr<MemoryImage32> dst = createImage32(fullWidth, fullHeight);
    kernel::SmartPtr<MemoryImage32> src = createImage32(fullWidth, fullHeight);
    kernel::SmartPtr<ChannelBuffer> coverage;
    kernel::SmartPtr<MemoryImage> dst16 = createImage16(fullWidth, fullHeight);
    kernel::SmartPtr<MemoryImage> src16 = createImage16(fullWidth, fullHeight);

    Images() {
        std::mt19937 rng(7);
        fill(dst->pixels32(), rng);
        fill(src->pixels32(), rng);
        coverage = createImageChannel(*src, 0);
        fill16(dst16->pixels16(), dst16->getAlphaBuffer(), rng);
        fill16(src16->pixels16(), src16->getAlphaBuffer(), rng);
    }

    static void fill(std::uint32_t* pixels, std::mt19937& rng) {
        for (int i = 0; i < fullWidth * fullHeight; ++i) {
            pixels[i] = static_cast<std::uint32_t>(rng());
        }
    }

    static void fill16(std::uint16_t* pixels, std::uint8_t* alphas, std::mt19937& rng) {
        for (int i = 0; i < fullWidth * fullHeight; ++i) {
            pixels[i] = static_cast<std::uint16_t>(rng());
            alphas[i] = static_cast<std::uint8_t>(rng());
        }
    }
};

Images& images() {
    static Images shared;
    return shared;
}

using Draw = std::function<void(int width, int height)>;

void run(benchmark::State& state, const Draw& draw, Size size) {
    for (auto _ : state) {
        draw(size.width, size.height);
        benchmark::ClobberMemory();
    }
    const double pixels = static_cast<double>(size.width) * size.height;
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pixels));
    state.counters["time/px"] = benchmark::Counter(pixels, benchmark::Counter::kIsIterationInvariantRate |
                                                               benchmark::Counter::kInvert);
}

struct Form {
    std::string name;
    Draw draw;
};

void registerFamily(const std::string& family, const std::vector<Form>& forms) {
    for (const Size size : sizes) {
        const std::string sizeName = std::to_string(size.width) + "x" + std::to_string(size.height);
        for (const Form& form : forms) {
            const Draw draw = form.draw;
            benchmark::RegisterBenchmark((family + "/" + sizeName + "/" + form.name).c_str(),
                                         [draw, size](benchmark::State& state) { run(state, draw, size); });
        }
    }
}

Draw imageLoop(void (*loop)(ImageBase&, int, int, ImageBase&, int, int, int, int)) {
    return [loop](int w, int h) { loop(*images().dst, 0, 0, *images().src, 0, 0, w, h); };
}

Draw alphaLoop(void (*loop)(ImageBase&, int, int, ImageBase&, int, int, int, int, int), int alpha) {
    return [loop, alpha](int w, int h) { loop(*images().dst, 0, 0, *images().src, 0, 0, w, h, alpha); };
}

Draw channelFill(void (*loop)(ImageBase&, int, int, ChannelBuffer&, int, int, int, int, std::uint32_t, int)) {
    return
        [loop](int w, int h) { loop(*images().dst, 0, 0, *images().coverage, 0, 0, w, h, 0x00C08040u, 200); };
}

Draw blit565(void (*loop)(MemoryImage&, int, int, MemoryImage&, int, int, int, int)) {
    return [loop](int w, int h) { loop(*images().dst16, 0, 0, *images().src16, 0, 0, w, h); };
}

Draw blend565(void (*loop)(MemoryImage&, int, int, MemoryImage&, int, int, int, int, int), int alpha) {
    return [loop, alpha](int w, int h) { loop(*images().dst16, 0, 0, *images().src16, 0, 0, w, h, alpha); };
}

Draw channelFill565(void (*loop)(MemoryImage&, int, int, ChannelBuffer&, int, int, int, int, std::uint16_t,
                                 int)) {
    return [loop](int w, int h) { loop(*images().dst16, 0, 0, *images().coverage, 0, 0, w, h, 0xC208, 200); };
}

Draw fill(void (*loop)(ImageBase&, int, int, int, int, std::uint32_t)) {
    return [loop](int w, int h) { loop(*images().dst, 0, 0, w, h, 0xFF336699u); };
}

#if defined(PIBBLES_WITH_PIXMAN)

// pixman views of the same pixels; its OVER works on premultiplied colour, which costs it nothing here.
struct PixmanImages {
    pixman_image_t* dst = wrap(PIXMAN_a8r8g8b8, *images().dst);
    pixman_image_t* src = wrap(PIXMAN_a8r8g8b8, *images().src);
    pixman_image_t* opaqueSrc = wrap(PIXMAN_x8r8g8b8, *images().src);
    pixman_image_t* coverage =
        pixman_image_create_bits(PIXMAN_a8, fullWidth, fullHeight,
                                 reinterpret_cast<std::uint32_t*>(images().coverage->data()), fullWidth);
    pixman_image_t* dst16 = wrap(PIXMAN_r5g6b5, *images().dst16);
    pixman_image_t* src16 = wrap(PIXMAN_r5g6b5, *images().src16);
    pixman_image_t* uniform = solid(0, 0, 0, 200);
    pixman_image_t* color = solid(0xC0, 0x80, 0x40, 0xFF);

    static pixman_image_t* wrap(pixman_format_code_t format, ImageBase& image) {
        return pixman_image_create_bits(format, image.getWidth(), image.getHeight(),
                                        static_cast<std::uint32_t*>(image.getPixels()), image.getPitch());
    }

    static pixman_image_t* solid(int red, int green, int blue, int alpha) {
        const pixman_color_t c{static_cast<std::uint16_t>(red * 257), static_cast<std::uint16_t>(green * 257),
                               static_cast<std::uint16_t>(blue * 257),
                               static_cast<std::uint16_t>(alpha * 257)};
        return pixman_image_create_solid_fill(&c);
    }
};

PixmanImages& pixman() {
    static PixmanImages shared;
    return shared;
}

Draw composite(pixman_op_t op, pixman_image_t* PixmanImages::*src, pixman_image_t* PixmanImages::*mask,
               pixman_image_t* PixmanImages::*dst) {
    return [=](int w, int h) {
        PixmanImages& p = pixman();
        pixman_image_composite32(op, p.*src, mask ? p.*mask : nullptr, p.*dst, 0, 0, 0, 0, 0, 0, w, h);
    };
}

Draw pixmanFill() {
    return [](int w, int h) {
        MemoryImage32& dst = *images().dst;
        pixman_fill(dst.pixels32(), dst.getPitch() / 4, 32, 0, 0, w, h, 0xFF336699u);
    };
}

#endif

using Families = std::map<std::string, std::vector<Form>>;

void addOurs(Families& families) {
    families["copy"] = {{"ours", imageLoop(BlitCopy32)}, {"plain", imageLoop(plain::BlitCopy32)}};
    families["blend_uniform"] = {{"ours", alphaLoop(BlitUniform32, 200)},
                                 {"plain", alphaLoop(plain::BlitUniform32, 200)}};
    families["blend_alpha"] = {{"ours", alphaLoop(BlitAlphaUniform32, 255)},
                               {"plain", alphaLoop(plain::BlitAlphaUniform32, 255)}};
    families["blend_alpha_uniform"] = {{"ours", alphaLoop(BlitAlphaUniform32, 200)},
                                       {"plain", alphaLoop(plain::BlitAlphaUniform32, 200)}};
    families["fill"] = {{"ours", fill(FillArgb)}, {"plain", fill(plain::FillArgb)}};
    families["channel_fill"] = {{"ours", channelFill(ChannelFill32)},
                                {"plain", channelFill(plain::ChannelFill32)}};
    families["alpha565"] = {{"ours", blit565(Blit565Alpha)}, {"plain", blit565(plain::Blit565Alpha)}};
    families["blend565"] = {{"ours", blend565(Blit565Blend, 200)},
                            {"plain", blend565(plain::Blit565Blend, 200)}};
    families["alpha_blend565"] = {{"ours", blend565(Blit565AlphaBlend, 200)},
                                  {"plain", blend565(plain::Blit565AlphaBlend, 200)}};
    families["channel_fill565"] = {{"ours", channelFill565(ChannelFill565)},
                                   {"plain", channelFill565(plain::ChannelFill565)}};
}

// The forms of the loops that come in several instruction sets, where the processor runs them: the public
// loop ("ours") calls the highest, and these show how the lower ones do.
void addLevelForms([[maybe_unused]] Families& families) {
#if defined(__SSE2__)
    families["blend_alpha"].push_back({"sse2", alphaLoop(sse2::BlitAlphaUniform32, 255)});
    families["blend_alpha_uniform"].push_back({"sse2", alphaLoop(sse2::BlitAlphaUniform32, 200)});
    if (processorRuns(SimdLevel::Avx2)) {
        families["blend_alpha"].push_back({"avx2", alphaLoop(avx2::BlitAlphaUniform32, 255)});
        families["blend_alpha_uniform"].push_back({"avx2", alphaLoop(avx2::BlitAlphaUniform32, 200)});
        families["fill"].push_back({"avx2", fill(avx2::FillArgb)});
    }
    if (processorRuns(SimdLevel::Avx512)) {
        families["fill"].push_back({"avx512", fill(avx512::FillArgb)});
    }
#endif
}

#if defined(PIBBLES_WITH_PIXMAN)
// The uniform blend is OVER of an opaque view through a solid mask: s * u + d * (1 - u) on every pixel.
void addPixman(Families& families) {
    using P = PixmanImages;
    families["copy"].push_back({"pixman", composite(PIXMAN_OP_SRC, &P::src, nullptr, &P::dst)});
    families["blend_uniform"].push_back(
        {"pixman", composite(PIXMAN_OP_OVER, &P::opaqueSrc, &P::uniform, &P::dst)});
    families["blend_alpha"].push_back({"pixman", composite(PIXMAN_OP_OVER, &P::src, nullptr, &P::dst)});
    families["blend_alpha_uniform"].push_back(
        {"pixman", composite(PIXMAN_OP_OVER, &P::src, &P::uniform, &P::dst)});
    families["fill"].push_back({"pixman", pixmanFill()});
    families["channel_fill"].push_back(
        {"pixman", composite(PIXMAN_OP_OVER, &P::color, &P::coverage, &P::dst)});
    families["alpha565"].push_back({"pixman", composite(PIXMAN_OP_OVER, &P::src, nullptr, &P::dst16)});
    families["blend565"].push_back({"pixman", composite(PIXMAN_OP_OVER, &P::src16, &P::uniform, &P::dst16)});
    families["channel_fill565"].push_back(
        {"pixman", composite(PIXMAN_OP_OVER, &P::color, &P::coverage, &P::dst16)});
}
#endif

void registerAll() {
    Families families;
    addOurs(families);
    addLevelForms(families);
#if defined(PIBBLES_WITH_PIXMAN)
    addPixman(families);
#endif
    for (const auto& [name, forms] : families) {
        registerFamily(name, forms);
    }
}

} // namespace

int main(int argc, char** argv) {
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
