// kaptor's pieces that need no process: output paths and text escaping (the option parser is
// Kaptor.ParsesLikeAStandardTool's and every other kaptor case's; the picture conversions are
// Api.CapturesTheControlsPictureRowsTopFirst's and kaptor's capture's).
#include <gtest/gtest.h>

#include <ctime>

#include "cli/output_pattern.h"
#include "cli/text_output.h"

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
        std::optional<std::string> path;  // nothing: refused, with error holding refusal
        const char* refusal;
    } cases[] = {
        {"img-%Y%m%d-%H%M%S-%n.png", "img-20261206-070809-12.png", ""},
        {"100%%-%n", "100%-12", ""},
        {"end%", "end%", ""},
        {"", "", ""},
        {"%F_%T %e|%u|%C|%D|%R|%h|%b|%y", "2026-12-06_07:08:09  6|7|20|12/06/26|07:08|Dec|Dec|26",
         ""},
        // The same refusals on every system, whatever its strftime would do with them; an
        // unknown letter's whole text is Kaptor.ParsesLikeAStandardTool's.
        {"%Ey", std::nullopt, "'%E' is not a field"},
        {"%Od", std::nullopt, "'%O' is not a field"},
        {"%1000000000Y", std::nullopt, "'%1' is not a field"},
        {"%s-%G-%V-%z-%P", std::nullopt, "'%s' is not a field"},
        {std::string(4097, 'a'), std::nullopt, "longer than 4096 bytes"},
        {manyMonths, std::nullopt, "longer than 4096 bytes"},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto path = expandOutputPattern(c.pattern, when, 12, error);
        EXPECT_EQ(path, c.path) << c.pattern;
        EXPECT_NE(error.find(c.refusal), std::string::npos) << c.pattern << "\n" << error;
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

}  // namespace
}  // namespace kaptor::cli
