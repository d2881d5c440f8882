// The picture file byte for byte.
#include <gtest/gtest.h>

#include <numeric>

#include "control/bmp_file.h"
#include "platform/file_system.h"
#include "tests/support/rig.h"

namespace kaptor::control {
namespace {

TEST(BmpHeader, TheTemplateIsA640By496GrayPicture) {
    BmpHeader h;
    buildHeaderTemplate(h);
    // File header; info header: size, width, height, planes, bits, compression, image size,
    // pixels per metre, colours.
    EXPECT_EQ(test::hex({h.begin(), h.begin() + 54}),
              "42 4D 36 DC 04 00 00 00 00 00 36 04 00 00 "
              "28 00 00 00 80 02 00 00 F0 01 00 00 01 00 08 00 00 00 00 00 00 D8 04 00 "
              "C4 0E 00 00 C4 0E 00 00 00 00 00 00 00 00 00 00");
    // The palette: 256 grays, blue, green, red and a zero.
    std::vector<std::uint8_t> palette;
    for (int i = 0; i < 256; ++i) {
        palette.insert(palette.end(), {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0});
    }
    EXPECT_EQ(std::vector(h.begin() + 54, h.end()), palette);
}

TEST(BmpHeader, DimensionsAndSizesForEveryWidth) {
    const struct {
        std::int32_t width, lines;
        std::uint32_t bfSize, biSizeImage;
    } cases[] = {
        {750, 480, 1078 + 752 * 480, 752 * 480},
        {1, 1, 1078 + 4, 4},
        {0, 0, 1078, 0},
        {-5, 10, 1078, 0},
    };
    BmpHeader templ;
    buildHeaderTemplate(templ);
    for (const auto& c : cases) {
        BmpHeader h = templ;
        patchHeaderDimensions(h, c.width, c.lines);
        // The template with four little-endian fields set: file size, width, height, image size.
        BmpHeader expected = templ;
        const std::uint32_t fields[][2] = {{2, c.bfSize},
                                           {18, static_cast<std::uint32_t>(std::max(c.width, 0))},
                                           {22, static_cast<std::uint32_t>(std::max(c.lines, 0))},
                                           {34, c.biSizeImage}};
        for (const auto& [at, value] : fields) {
            for (std::uint32_t k = 0; k < 4; ++k) {
                expected[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
            }
        }
        EXPECT_EQ(h, expected) << c.width << "x" << c.lines;
    }
}

// The rows padded to four bytes, then the trailer. A file that cannot be created, or more rows
// than the image holds, replaces nothing; a write that fails after the file was created is Toma's
// error for its caller (Toma.AWriteErrorIsTheCallersError).
TEST(BmpFile, RowsArePaddedAndAFileNotCreatedReplacesNothing) {
    const test::TempDir dir;
    platform::HostFileSystem files{platform::DriveMap({{'C', dir.path()}})};
    BmpHeader h;
    buildHeaderTemplate(h);
    std::vector<std::uint8_t> image(6 * 3);
    std::iota(image.begin(), image.end(), 1);
    ASSERT_TRUE(writeBmpFile(files, "C:\\pic.bmp", h, image, 6, 3));
    const auto file = test::readBytes(dir.path() / "pic.bmp");
    std::vector<std::uint8_t> expected = {1,  2,  3, 4, 5,  6,  0,  0,  7,  8,  9, 10,
                                          11, 12, 0, 0, 13, 14, 15, 16, 17, 18, 0, 0};
    expected.resize(24 + 5000);
    EXPECT_EQ(std::vector(file.begin() + 1078, file.end()), expected);

    EXPECT_EQ(writeBmpFile(files, "C:\\nofolder\\pic.bmp", h, image, 6, 3).result,
              BmpWrite::NotCreated);
    EXPECT_EQ(writeBmpFile(files, "C:\\pic.bmp", h, image, 6, 4).result, BmpWrite::NotCreated);
    EXPECT_EQ(test::readBytes(dir.path() / "pic.bmp"), file);
}

}  // namespace
}  // namespace kaptor::control
