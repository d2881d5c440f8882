// The reader's and writer's rules for the selector and configuration files.
#include <gtest/gtest.h>

#include "control/config_text.h"
#include "tests/support/rig.h"

namespace kaptor::control {
namespace {

BoardSettings parsed(const std::string& text, std::string* line1 = nullptr,
                     std::string* line2 = nullptr) {
    BoardSettings s;
    s.configName = "KEPT";
    std::string l1;
    std::string l2;
    parseConfiguration(text, s, l1, l2);
    if (line1 != nullptr) {
        *line1 = l1;
        *line2 = l2;
    }
    return s;
}

TEST(ConfigText, TheWorkedExampleReadsAndWritesBackTheSame90Bytes) {
    std::string line1;
    std::string line2;
    const BoardSettings s = parsed(test::EXAMPLE_CONFIG, &line1, &line2);
    EXPECT_EQ(line1, "Ejemplo 640x496");
    EXPECT_EQ(line2, "Camara de prueba");
    // Which member each number goes to: ConfigText.ReaderQuirks.
    EXPECT_EQ(s.configName, "KEPT");
    const std::string written = formatConfiguration(s, line1, line2);
    EXPECT_EQ(written.size(), 90u);
    EXPECT_EQ(written, test::EXAMPLE_CONFIG);
}

// Field values in file order: lines 3..16.
using Fields = std::array<std::int64_t, 14>;
Fields fieldsOf(const BoardSettings& s) {
    return {s.pixelsPerLine,  s.horizontalPosition, s.activeLines, s.verticalPosition,
            s.pllPixelTotal,  s.pixelInterleave,    s.interlaced,  s.gain,
            s.offset,         s.inputConfig,        s.sensitivity, s.dicom,
            s.fieldInversion, s.singleField};
}

TEST(ConfigText, ReaderQuirks) {
    const struct {
        const char* what;
        std::string text;
        Fields fields;
    } cases[] = {
        {"empty line among 3-8 reads 0",
         "a\r\nb\r\n640\r\n\r\n248\r\n20\r\n800\r\n0\r\n1\r\n128\r\n64\r\n0\r\n10\r\n0\r\n0\r\n0\r"
         "\n",
         {640, 0, 248, 20, 800, 0, 1, 128, 64, 0, 10, 0, 0, 0}},
        {"empty line among 9-16 takes the next line's value; nothing shifts",
         "a\r\nb\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n\r\n128\r\n64\r\n0\r\n10\r\n0\r\n0\r\n0\r\n",
         {1, 2, 3, 4, 5, 6, 128, 128, 64, 0, 10, 0, 0, 0}},
        {"last line without CR LF still reads",
         "a\r\nb\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n1\r\n2\r\n3\r\n4\r\n5\r\n1\r\n1\r\n1",
         {1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 1, 1, 1}},
        {"a file that stops after line 5 without CR LF: lines 3-8 need their CR",
         "a\r\nb\r\n640\r\n120\r\n248",
         {640, 120, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"text after digits is ignored; blanks and sign accepted",
         "a\r\nb\r\n640 pixels\r\n -5\r\n+3\r\n4\r\n5\r\n6\r\n "
         "1\r\n2\r\n3\r\n-4\r\n5\r\n2\r\n0\r\n1\r\n",
         {640, -5, 3, 4, 5, 6, 1, 2, 3, -4, 5, 2, 0, 1}},
        {"LF alone: text lines empty, 3-8 read 0, 9-16 from the wrong places",
         "a\nb\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n1\n1\n1\n",
         {0, 0, 0, 0, 0, 0, 3, 4, 4, 5, 5, 6, 6, 7}},
        {"a zero byte ends the text",
         std::string("a\r\nb\r\n640\r\n1\0"
                     "20\r\n",
                     17),
         {640, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"empty file", "", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fieldsOf(parsed(c.text)), c.fields) << c.what;
        EXPECT_EQ(parsed(c.text).configName, "KEPT") << c.what;
    }
}

TEST(ConfigText, OnlyTheFirstCrEndsTheSelectorAndFlagsSaveAsZeroOrOne) {
    EXPECT_EQ(parseSelector("EJEMPLO.TXT\r\n"), "EJEMPLO.TXT");
    EXPECT_EQ(parseSelector("A.TXT\rjunk\r\n"), "A.TXT");
    EXPECT_EQ(parseSelector("NOCR.TXT"), "");
    EXPECT_EQ(parseSelector(""), "");
    EXPECT_EQ(parseSelector(std::string("A\0B\r\n", 5)), "");

    BoardSettings s;
    s.dicom = 2;
    s.fieldInversion = 1;
    s.singleField = -1;
    s.gain = 0xFFFFFFFFu;
    s.sensitivity = -7;
    const std::string text = formatConfiguration(s, "", "");
    EXPECT_EQ(text,
              "\r\n\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n-1\r\n0\r\n0\r\n-7\r\n0\r\n1\r\n0\r\n");
    EXPECT_EQ(formatSelector("A.TXT"), "A.TXT\r\n");
}

TEST(ConfigText, PlainFileNames) {
    for (const char* good : {"EJEMPLO.TXT", "a+b.txt", "x", "...", "with space.TXT"}) {
        EXPECT_TRUE(isPlainFileName(good)) << good;
    }
    for (const char* bad : {"", ".", "..", "..\\CONFIG.TXT", "a/b", "C:x", "\\abs"}) {
        EXPECT_FALSE(isPlainFileName(bad)) << bad;
    }
}

}  // namespace
}  // namespace kaptor::control
