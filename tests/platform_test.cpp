// The platform layer: number conversion, text conversion, Windows paths on host folders,
// wildcard listing and file replacement.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <limits>

#include "platform/console_operator.h"
#include "platform/drive_map.h"
#include "platform/file_system.h"
#include "platform/host_process.h"
#include "platform/text.h"
#include "tests/support/temp_dir.h"

namespace kaptor::platform {
namespace {

using test::TempDir;

TEST(Atoi32, FollowsTheCRuntimeAndSaturates) {
    constexpr std::int32_t max = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t min = std::numeric_limits<std::int32_t>::min();
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        // clang-format off
        {"640", 640}, {"  -5", -5}, {"+12", 12}, {"\r\n7", 7}, {"\t\v\f 9x", 9}, {"640 pixels", 640},
        {"", 0}, {"abc", 0}, {"-", 0}, {"+-3", 0}, {"- 3", 0}, {"0009", 9},
        {"2147483647", max}, {"2147483648", max}, {"-2147483648", min},
        {"-99999999999999999999", min}, {"99999999999999999999", max},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(atoi32(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(Text, Windows1252RoundTripsThroughUtf8AndUtf16) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
    EXPECT_EQ(utf16ToCp1252(cp1252ToUtf16(all)), all);
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(utf8ToCp1252("\xE2\x98\x83"), "?");     // a snowman has no byte
    EXPECT_FALSE(utf8ToCp1252Exact("\xE2\x98\x83").has_value());
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16("a\xF0\x9F\x98\x80z")), "a\xF0\x9F\x98\x80z");

    // Text handed to the control: exact, or refused (nothing becomes '?', no NUL cuts it).
    EXPECT_EQ(utf16ToControlText(cp1252ToUtf16(all)), all);
    EXPECT_EQ(utf8ToControlText(cp1252ToUtf8(all)), all);
    using namespace std::string_view_literals;
    for (const std::u16string_view refused :
         {u"\u4E2D\u6587.BMP"sv, u"victim.ini\0.bmp"sv, u"\xD83D"sv, u"a\U0001F600"sv}) {
        EXPECT_FALSE(utf16ToControlText(refused).has_value()) << utf16ToUtf8(refused);
        EXPECT_FALSE(utf8ToControlText(utf16ToUtf8(refused)).has_value());
    }
    EXPECT_FALSE(utf8ToControlText("a\xC3").has_value());  // a sequence cut short
}

TEST(Wildcard, MatchesAsTheOriginalFileSystem) {
    const struct {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        // clang-format off
        {"A.TXT", "*.TXT", true},   {"a.txt", "*.TXT", true},   {"A.TXT.BAK", "*.TXT", false},
        {"A+B.TXT", "*.TXT", true}, {".TXT", "*.TXT", true},    {"ATXT", "*.TXT", false},
        {"AB.TXT", "?B.TXT", true}, {"B.TXT", "?B.TXT", false}, {"x", "*", true},
        {"c\xE1mara.txt", "C\xC1MARA.TXT", true},  // Windows-1252 letters fold too
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(matchesWildcard(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
    }
}

TEST(DriveMap, ResolvesWindowsPathsOntoFolders) {
    TempDir c;
    TempDir d;
    test::writeFile(c.path() / "Kaptor" / "config" / "Ejemplo.txt", "x");
    const DriveMap drives({{'C', c.path()}, {'D', d.path()}}, 'C');
    const struct {
        const char* windows;
        std::optional<std::filesystem::path> expected;
    } cases[] = {
        {"\\KAPTOR\\CONFIG\\EJEMPLO.TXT", c.path() / "Kaptor" / "config" / "Ejemplo.txt"},
        {"c:\\KAPTOR\\Imagen1.BMP", c.path() / "Kaptor" / "Imagen1.BMP"},
        {"D:\\pics\\a.bmp", d.path() / "pics" / "a.bmp"},
        {"C:\\..\\..\\KAPTOR\\x", c.path() / "Kaptor" / "x"},
        {"\\KAPTOR\\.\\CONFIG\\", c.path() / "Kaptor" / "config" / ""},
        {"/tmp/plain.bmp", "/tmp/plain.bmp"},
        {"E:\\x", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(drives.resolve(k.windows), k.expected) << k.windows;
    }
}

TEST(DriveMap, DefaultsFollowTheEnvironment) {
    const auto fromEnv = [](std::map<std::string, std::string> env) {
        return DriveMap::fromEnvironment([env](const char* name) -> const char* {
            const auto it = env.find(name);
            return it == env.end() ? nullptr : it->second.c_str();
        });
    };
    EXPECT_EQ(*fromEnv({{"HOME", "/home/u"}}).driveRoot('C'),
              "/home/u/.local/share/kaptor/drive_c");
    EXPECT_EQ(*fromEnv({{"HOME", "/home/u"}, {"XDG_DATA_HOME", "/data"}}).driveRoot('C'),
              "/data/kaptor/drive_c");
    EXPECT_EQ(*fromEnv({{"KAPTOR_DRIVE_C", "/x"}}).driveRoot('c'), "/x");
    const DriveMap other = fromEnv({{"KAPTOR_DRIVE_D", "/d"}, {"KAPTOR_CURRENT_DRIVE", "d"}});
    EXPECT_EQ(other.currentDrive(), 'D');
    EXPECT_EQ(*other.resolve("\\a"), "/d/a");
}

TEST(HostFileSystem, ListsMatchingNamesInCaseInsensitiveOrder) {
    TempDir c;
    for (const char* name : {"b.TXT", "A.txt", "c.bmp", "C.TXT"}) {
        test::writeFile(c.path() / "K" / name, "");
    }
    std::filesystem::create_directories(c.path() / "K" / "D.TXT");  // folders count too
    HostFileSystem files(DriveMap({{'C', c.path()}}));
    std::string name;
    auto find = files.findFirst("C:\\K\\*.TXT", name);
    ASSERT_TRUE(find);
    std::vector<std::string> names{name};
    while (find->next(name) == FIND_OK) {
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"A.txt", "b.TXT", "C.TXT", "D.TXT"}));
    EXPECT_EQ(find->next(name), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(find->close());
    EXPECT_FALSE(files.findFirst("C:\\K\\*.XYZ", name));
    EXPECT_FALSE(files.findFirst("C:\\missing\\*.TXT", name));
}

TEST(HostFileSystem, AReplacementLandsWholeOrNotAtAll) {
    TempDir c;
    test::writeFile(c.path() / "f.txt", "old contents");
    HostFileSystem files(DriveMap({{'C', c.path()}}));
    const std::uint8_t bytes[] = {'n', 'e', 'w'};
    {
        auto abandoned = files.createReplacement("\\F.TXT");
        ASSERT_TRUE(abandoned);
        ASSERT_TRUE(abandoned->write(bytes));
    }
    // Dropped before commit, the old file stays, and no temporary file is left behind.
    EXPECT_EQ(test::readFile(c.path() / "f.txt"), "old contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(c.path()), {}), 1);
    auto file = files.createReplacement("C:\\f.txt");
    ASSERT_TRUE(file && file->write(bytes) && file->write(bytes) && file->commit());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(c.path()), {}), 1);
    EXPECT_FALSE(files.createReplacement("\\AAAA\\"));
    EXPECT_FALSE(files.createReplacement("\\missing\\x.txt"));
    EXPECT_FALSE(files.readUpTo("\\", 10).has_value());  // a folder is no file
    EXPECT_EQ(files.readUpTo("\\f.txt", 4), "newn");
    EXPECT_EQ(files.readUpTo("\\f.txt", 100), "newnew");
}

TEST(ConsoleOperator, AnswersInOrderThenSafely) {
    TempDir d;
    std::FILE* out = std::fopen((d.path() / "out").string().c_str(), "wb");
    ConsoleOperator person(out, nullptr, {Answer::Yes, Answer::Ok});
    // "yes" does not fit an OK/Cancel question and is skipped; "ok" answers it.
    EXPECT_EQ(person.messageBox("Q1", Buttons::OkCancel, Icon::None), Answer::Ok);
    EXPECT_EQ(person.messageBox("Q2", Buttons::YesNo, Icon::None), Answer::No);
    EXPECT_EQ(person.messageBox("Q3", Buttons::OkCancel, Icon::None), Answer::Cancel);
    EXPECT_EQ(person.messageBox("Tomar\xE1", Buttons::Ok, Icon::None), Answer::Ok);
    std::fclose(out);
    const std::string text = test::readFile(d.path() / "out");
    EXPECT_NE(text.find("KAPTORAX: Q1\n"), std::string::npos);
    EXPECT_NE(text.find("KAPTORAX: Tomar\xC3\xA1\n"), std::string::npos);
}

#ifndef _WIN32
// POSIX file layer: a FIFO (like any file that is not a regular file) is never opened: reading it
// gives nothing at once, and it is never replaced.
TEST(HostFileSystem, OnlyRegularFilesAreOpened) {
    TempDir c;
    ASSERT_EQ(::mkfifo((c.path() / "pipe.txt").c_str(), 0644), 0);
    HostFileSystem files(DriveMap({{'C', c.path()}}));
    EXPECT_FALSE(files.readUpTo("\\PIPE.TXT", 100).has_value());
    EXPECT_TRUE(files.exists("\\PIPE.TXT"));
    EXPECT_FALSE(files.createReplacement("\\PIPE.TXT"));
    EXPECT_TRUE(std::filesystem::is_fifo(c.path() / "pipe.txt"));
}

// What a killed writer left (our temporary pattern, its process gone) goes with the next write
// to that folder; a live writer's temporary and every other name stay.
TEST(HostFileSystem, TemporariesOfDeadWritersAreRemoved) {
    TempDir c;
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    const std::string dead = std::to_string(child);
    const std::string live = std::to_string(::getppid());
    const struct {
        std::string name;
        bool stays;
    } cases[] = {
        // clang-format off
        {".f.txt.kaptor-" + dead + "-17", false}, {".Imagen1.BMP.kaptor-" + dead + "-9", false},
        {".f.txt.kaptor-" + live + "-17", true},  {"f.txt.kaptor-" + dead + "-17", true},
        {".f.txt.kaptor-" + dead + "-x", true},   {"other.txt", true},
        {".f.txt.kaptor-123456", true},  // not our pattern: nobody's to judge
        // clang-format on
    };
    for (const auto& entry : cases) {
        test::writeFile(c.path() / entry.name, "x");
    }
    HostFileSystem files(DriveMap({{'C', c.path()}}));
    ASSERT_TRUE(replaceWholeFile(files, "\\f.txt", "new"));
    for (const auto& entry : cases) {
        EXPECT_EQ(std::filesystem::exists(c.path() / entry.name), entry.stays) << entry.name;
    }
    EXPECT_EQ(test::readFile(c.path() / "f.txt"), "new");
}

// Without /proc a program finds its own file as the shell found it.
TEST(HostProcess, TheProgramFromItsInvocation) {
    TempDir d;
    const auto bin = d.path() / "bin";
    test::writeFile(bin / "tool", "");
    test::writeFile(bin / "plain", "");
    ::chmod((bin / "tool").c_str(), 0755);
    const std::string search = "/nonexistent::" + bin.string();
    const struct {
        std::string argv0;
        std::optional<std::filesystem::path> found;
    } cases[] = {
        {"tool", bin / "tool"},                   // through PATH
        {(bin / "tool").string(), bin / "tool"},  // a path as it is
        {"plain", std::nullopt},                  // not executable
        {"missing", std::nullopt},
        {"", std::nullopt},
        {(bin / "nothing").string(), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(programFromInvocation(c.argv0, search), c.found) << c.argv0;
    }
}
#endif

}  // namespace
}  // namespace kaptor::platform
