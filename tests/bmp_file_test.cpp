// The picture file byte for byte.
#include <gtest/gtest.h>

#include "control/bmp_file.h"
#include "platform/file_system.h"
#include "tests/support/rig.h"

namespace kaptor::control {
namespace {

std::uint32_t le32(const BmpHeader& h, std::size_t at) {
    return h[at] | (h[at + 1] << 8) | (h[at + 2] << 16) | (std::uint32_t{h[at + 3]} << 24);
}

TEST(BmpHeader, TheTemplateIsA640By496GrayPicture) {
    BmpHeader h;
    buildHeaderTemplate(h);
    // File header; info header: size, width, height, planes, bits, compression, image size,
    // pixels per metre, colours.
    EXPECT_EQ(test::hex({h.begin(), h.begin() + 54}),
              "42 4D 36 DC 04 00 00 00 00 00 36 04 00 00 "
              "28 00 00 00 80 02 00 00 F0 01 00 00 01 00 08 00 00 00 00 00 00 D8 04 00 "
              "C4 0E 00 00 C4 0E 00 00 00 00 00 00 00 00 00 00");
    for (std::size_t i = 0; i < 256; ++i) {
        EXPECT_EQ(h[54 + 4 * i], i);
        EXPECT_EQ(h[55 + 4 * i], i);
        EXPECT_EQ(h[56 + 4 * i], i);
        EXPECT_EQ(h[57 + 4 * i], 0);
    }
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
        EXPECT_EQ(le32(h, 2), c.bfSize) << c.width << "x" << c.lines;
        EXPECT_EQ(le32(h, 18), static_cast<std::uint32_t>(std::max(c.width, 0)));
        EXPECT_EQ(le32(h, 22), static_cast<std::uint32_t>(std::max(c.lines, 0)));
        EXPECT_EQ(le32(h, 34), c.biSizeImage);
        // Everything else is the template's.
        for (std::size_t i : {0u, 1u, 6u, 10u, 14u, 26u, 28u, 30u, 38u, 42u, 46u, 50u, 100u}) {
            EXPECT_EQ(h[i], templ[i]) << "byte " << i;
        }
    }
}

class BmpFile : public ::testing::Test {
  protected:
    test::TempDir dir;
    platform::HostFileSystem files{platform::DriveMap({{'C', dir.path()}})};

    std::vector<std::uint8_t> write(std::int32_t width, std::int32_t lines,
                                    const std::vector<std::uint8_t>& image) {
        BmpHeader h;
        buildHeaderTemplate(h);
        patchHeaderDimensions(h, width, lines);
        EXPECT_TRUE(writeBmpFile(files, "C:\\pic.bmp", h, image, width, lines));
        return test::readBytes(dir.path() / "pic.bmp");
    }
};

TEST_F(BmpFile, RowsArePaddedAndTheTrailerStays) {
    std::vector<std::uint8_t> image(6 * 3);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i + 1);
    }
    const auto file = write(6, 3, image);
    ASSERT_EQ(file.size(), 1078u + 8 * 3 + 5000);
    const std::vector<std::uint8_t> rows(file.begin() + 1078, file.begin() + 1078 + 24);
    EXPECT_EQ(rows, (std::vector<std::uint8_t>{1,  2,  3, 4, 5,  6,  0,  0,  7,  8,  9, 10,
                                               11, 12, 0, 0, 13, 14, 15, 16, 17, 18, 0, 0}));
    EXPECT_TRUE(std::all_of(file.end() - 5000, file.end(), [](auto b) { return b == 0; }));
    EXPECT_EQ(write(640, 496, std::vector<std::uint8_t>(640 * 496)).size(), 323518u);
}

// A file that cannot be created leaves the picture already there unchanged. A write that fails
// after the file was created is Toma's error for its caller (Toma.AWriteErrorIsTheCallersError).
TEST_F(BmpFile, AFileThatCannotBeCreatedReplacesNothing) {
    test::writeFile(dir.path() / "pic.bmp", "previous");
    BmpHeader h;
    buildHeaderTemplate(h);
    const std::vector<std::uint8_t> image(640 * 496);
    EXPECT_EQ(writeBmpFile(files, "C:\\nofolder\\pic.bmp", h, image, 640, 496).result,
              BmpWrite::NotCreated);
    // More rows than the image holds: the writer stops before anything is replaced.
    EXPECT_EQ(writeBmpFile(files, "C:\\pic.bmp", h, image, 640, 2000).result, BmpWrite::NotCreated);
    EXPECT_EQ(test::readFile(dir.path() / "pic.bmp"), "previous");
}

}  // namespace
}  // namespace kaptor::control
