#include "engine/graphics/PixelLoops565.h"

#include "LoopDifferential.h"

#include <gtest/gtest.h>

using namespace graphics;

namespace {

// The members without a uniform alpha under the blit signature; the last argument is then unused.
template <auto Loop>
void withoutAlpha(MemoryImage& d, int dx, int dy, MemoryImage& s, int sx, int sy, int w, int h, int) {
    Loop(d, dx, dy, s, sx, sy, w, h);
}

class PixelLoops565Differential : public loopdifferential::Differential<loopdifferential::Loops565> {};

TEST_P(PixelLoops565Differential, Copy) {
    compare(withoutAlpha<Blit565Copy>, withoutAlpha<plain::Blit565Copy>);
}
TEST_P(PixelLoops565Differential, Alpha) {
    compare(withoutAlpha<Blit565Alpha>, withoutAlpha<plain::Blit565Alpha>);
}
TEST_P(PixelLoops565Differential, Blend) {
    compare(Blit565Blend, plain::Blit565Blend);
}
TEST_P(PixelLoops565Differential, AlphaBlend) {
    compare(Blit565AlphaBlend, plain::Blit565AlphaBlend);
}
TEST_P(PixelLoops565Differential, ChannelFill) {
    compare(ChannelFill565, plain::ChannelFill565, [this] { return drawAlpha(); });
}

INSTANTIATE_TEST_SUITE_P(Widths, PixelLoops565Differential, ::testing::Range(1, 68));

} // namespace
