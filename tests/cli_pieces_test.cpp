// kaptor's pieces that need no process: output paths, text escaping and the picture conversions
// (the option parser is Kaptor.ParsesLikeAStandardTool's and every other kaptor case's).
#include <gtest/gtest.h>

#include <ctime>

#include "cli/output_pattern.h"
#include "cli/text_output.h"
#include "control/bmp_file.h"
#include "host/picture_formats.h"

namespace kaptor::cli {
namespace {

TEST(OutputPattern, TimeFieldsAndCaptureNumber) {
    // Sunday 2026-12-06 07:08:09.
    const std::tm when{
        .tm_sec = 9, .tm_min = 8, .tm_hour = 7, .tm_mday = 6, .tm_mon = 11, .tm_year = 126};
    std::string manyMonths;
    for (int i = 0; i < 600; ++i) {
        manyMonths += "%B";
    }
    const struct {
        std::string pattern;
        int number;
        const char* path;  // nullptr: refused, with error holding refusal
        const char* refusal;
    } cases[] = {
        {"img-%Y%m%d-%H%M%S-%n.png", 12, "img-20261206-070809-12.png", ""},
        {"100%%-%n", 1, "100%-1", ""},
        {"end%", 1, "end%", ""},
        {"", 1, "", ""},
        {"%F_%T %e|%u|%C|%D|%R|%h|%b|%y", 1,
         "2026-12-06_07:08:09  6|7|20|12/06/26|07:08|Dec|Dec|26", ""},
        // The same refusals on every system, whatever its strftime would do with them.
        {"100%.bmp", 1, nullptr, "'%.' is not a field kaptor fills in (use %% for a '%'"},
        {"%Ey", 1, nullptr, "'%E' is not a field"},
        {"%Od", 1, nullptr, "'%O' is not a field"},
        {"%1000000000Y", 1, nullptr, "'%1' is not a field"},
        {"%s-%G-%V-%z-%P", 1, nullptr, "'%s' is not a field"},
        {std::string(4097, 'a'), 1, nullptr, "longer than 4096 bytes"},
        {manyMonths, 1, nullptr, "longer than 4096 bytes"},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto path = expandOutputPattern(c.pattern, when, c.number, error);
        if (c.path != nullptr) {
            EXPECT_EQ(path, c.path) << c.pattern;
        } else {
            EXPECT_FALSE(path) << c.pattern;
            EXPECT_NE(error.find(c.refusal), std::string::npos) << c.pattern << "\n" << error;
        }
    }
}

TEST(TextOutput, OneValueOneLineAndJsonKeepEveryByte) {
    const struct {
        std::string cp1252;
        std::string line;
        std::string json;
    } cases[] = {
        // A backslash and a Windows-1252 letter: Kaptor.MachinesReadJsonAndPeopleOneValuePerLine;
        // every byte's UTF-8: Text.Windows1252RoundTripsThroughUtf8AndUtf16.
        {"a\nb\rc", "a\\nb\\rc", "\"a\\nb\\rc\""},
        {"say \"hi\"\t\x01", "say \"hi\"\t\x01", "\"say \\\"hi\\\"\\t\\u0001\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lineValue(c.cp1252), c.line) << c.cp1252;
        EXPECT_EQ(jsonString(c.cp1252), c.json) << c.cp1252;
    }
}

// A picture as the control writes it: template header, padded rows bottom first, trailer.
std::string controlBmp(std::int32_t width, std::int32_t lines,
                       const std::vector<std::uint8_t>& image) {
    control::BmpHeader header;
    control::buildHeaderTemplate(header);
    control::patchHeaderDimensions(header, width, lines);
    std::string bytes(header.begin(), header.end());
    const std::size_t stride = control::bmpRowStride(width);
    for (std::int32_t row = 0; row < lines; ++row) {
        std::string padded(stride, '\0');
        std::copy_n(image.begin() + row * width, width, padded.begin());
        bytes += padded;
    }
    return bytes + std::string(control::BMP_TRAILER_SIZE, '\0');
}

TEST(PictureFormats, ConvertedPixelsAreTheControlsTopFirst) {
    // 3 x 2, bottom row 1 2 3, top row 4 5 6.
    const std::string bmp = controlBmp(3, 2, {1, 2, 3, 4, 5, 6});
    const auto picture = host::decodeControlBmp(bmp);
    ASSERT_TRUE(picture);
    EXPECT_EQ(std::tie(picture->width, picture->height, picture->pixels),
              std::tuple(3, 2, std::vector<std::uint8_t>{4, 5, 6, 1, 2, 3}));

    EXPECT_FALSE(host::decodeControlBmp(bmp.substr(0, 1078 + 4)));  // rows cut short
    EXPECT_FALSE(host::decodeControlBmp("PK" + bmp.substr(2)));
    // The formats by name and by a file's ending, and the PGM's bytes, are
    // Kaptor.PicturesInThreeFormatsToFilesOrStandardOutput's; a dot in a folder's name is none.
    EXPECT_EQ(host::formatOfPath("dir.png/file"), std::nullopt);

    // A PNG is a gray picture of the same size; that a reader finds the same pixels in it is
    // Kaptor.PicturesInThreeFormatsToFilesOrStandardOutput's.
    if (host::pngAvailable()) {
        const auto png = host::encodePng(*picture);
        ASSERT_TRUE(png);
        // IHDR: width 3, height 2, depth 8, color type 0 (gray).
        EXPECT_EQ(png->substr(12, 14), std::string("IHDR\0\0\0\x03\0\0\0\x02\x08\x00", 14));
        EXPECT_FALSE(host::encodePng({0, 0, {}}));
    }
}

}  // namespace
}  // namespace kaptor::cli
