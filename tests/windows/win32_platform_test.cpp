// The Win32 platform layer as the control meets it on Windows: files replaced in one step,
// folders listed to the system's own end code, folders never taken for files,
// Windows-1252 names, drive roots for tests, LoadLibraryA, message boxes and the clock.
#include <set>
#include <tuple>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/library_loader.h"
#include "platform/win32/message_box_operator.h"
#include "platform/win32/win32_path.h"
#include "tests/windows/com_support.h"

namespace kaptor::platform {
namespace {

// Every match in the system's own order, folders too; a folder is no file, also when its name
// looks like one. A Windows-1252 name ("C\xE1mara \x80.TXT") among them is the system's own:
// written, listed, read back in other letter case and removed by it.
TEST(Win32Files, ListingEndsWithCode18AndAFolderIsNoFile) {
    ASSERT_EQ(::GetACP(), 1252u) << "the ANSI code page must be Windows-1252";
    test::TempDir c;
    HostFileSystem files{DriveMap({{'C', c.path()}}, 'C')};
    for (const char* name : {"b.TXT", "A.txt", "c.bmp", "C.TXT", "d.txt.bak"}) {
        test::writeFile(c.path() / "K" / name, "");
    }
    ASSERT_TRUE(replaceWholeFile(files, "\\K\\C\xE1mara \x80.TXT", "y\r\n"));
    EXPECT_TRUE(std::filesystem::exists(c.path() / "K" / L"C\u00E1mara \u20AC.TXT"));
    std::filesystem::create_directories(c.path() / "K" / "D.TXT");
    for (const char* path : {"\\K\\D.TXT", "c:\\k\\d.txt", "\\K\\"}) {
        EXPECT_TRUE(files.exists(path)) << path;
        EXPECT_FALSE(files.readUpTo(path, 10).has_value()) << path;
        EXPECT_FALSE(files.createReplacement(path)) << path;
        EXPECT_FALSE(files.remove(path)) << path;
    }
    std::string name;
    auto find = files.findFirst("C:\\K\\*.TXT", name);
    ASSERT_TRUE(find);
    std::multiset<std::string> names{name};
    std::uint32_t code = FIND_OK;
    while ((code = find->next(name)) == FIND_OK) {
        names.insert(name);
    }
    EXPECT_EQ(code, 18u);  // ERROR_NO_MORE_FILES
    EXPECT_EQ(names, (std::multiset<std::string>{"A.txt", "b.TXT", "C.TXT", "D.TXT",
                                                 "C\xE1mara \x80.TXT"}));
    EXPECT_TRUE(find->close());
    EXPECT_FALSE(files.findFirst("C:\\K\\*.XYZ", name));
    EXPECT_FALSE(files.findFirst("C:\\missing\\*.TXT", name));
    EXPECT_EQ(files.readUpTo("\\k\\c\xC1MARA \x80.txt", 10), "y\r\n");
    EXPECT_TRUE(files.remove("\\K\\C\xE1mara \x80.TXT"));
    EXPECT_FALSE(files.exists("\\K\\C\xE1mara \x80.TXT"));
}

TEST(Win32Path, OnlyDrivesWithARootAreRedirected) {
    const DriveMap drives({{'C', "X:\\root"}}, 'C');
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {
        {"\\KAPTOR\\CONFIG.TXT", "X:\\root\\KAPTOR\\CONFIG.TXT"},
        {"c:\\KAPTOR\\Imagen1.BMP", "X:\\root\\KAPTOR\\Imagen1.BMP"},
        {"C:\\KAPTOR\\CONFIG\\", "X:\\root\\KAPTOR\\CONFIG\\"},
        {"C:\\..\\..\\KAPTOR\\.\\x", "X:\\root\\KAPTOR\\x"},
        {"C:/KAPTOR/x", "X:\\root\\KAPTOR\\x"},
        {"\\", "X:\\root\\"},
        {"C:", "X:\\root"},
        {"D:\\pics\\a.bmp", "D:\\pics\\a.bmp"},
        {"\\\\server\\share\\a.bmp", "\\\\server\\share\\a.bmp"},
        {"rel\\a.bmp", "rel\\a.bmp"},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(win32Path(drives, k.path), k.expected) << k.path;
    }
    EXPECT_FALSE(win32Path(drives, "").has_value());
    // Without roots, every path is the system's: "\KAPTOR\" lies on the current drive.
    const DriveMap none({}, 'C');
    EXPECT_EQ(win32Path(none, "\\KAPTOR\\CONFIG.TXT"), "\\KAPTOR\\CONFIG.TXT");
    EXPECT_EQ(win32Path(none, "C:\\..\\x"), "C:\\..\\x");
}

// The simulated board and its variants lie beside this program; KAPTOR_D2XX_LIBRARY names the
// library that stands for Ftd2xx.dll.
TEST(SystemLibraryLoader, LoadsByNameAndLooksUpFunctions) {
    const struct {
        const char* configured;
        const char* library;
        const char* function;
        bool loaded;
        bool found;
    } cases[] = {
        {nullptr, "Ftd2xx.dll", "FT_Write", true, true},
        {nullptr, "Ftd2xx.dll", "FT_Nothing", true, false},
        {nullptr, "kaptorsim_no_FT_Write.dll", "FT_Write", true, false},
        {"kaptorsim_no_FT_Read.dll", "Ftd2xx.dll", "FT_Read", true, false},
        {nullptr, "kaptor_missing.dll", "FT_Write", false, false},
    };
    for (const auto& k : cases) {
        SystemLibraryLoader loader([&k](const char* name) {
            return std::string(name) == "KAPTOR_D2XX_LIBRARY" ? k.configured : nullptr;
        });
        const LibraryHandle library = loader.load(k.library);
        EXPECT_EQ(std::pair(library != nullptr, loader.symbol(library, k.function) != nullptr),
                  std::pair(k.loaded, k.found))
            << k.library << " " << k.function;
    }
}

TEST(MessageBoxOperator, ShowsTheTextAndReturnsThePressedButton) {
    const struct {
        const char* text;
        Buttons buttons;
        Icon icon;
        UINT style;
        int press;
        Answer answer;
    } cases[] = {
        // clang-format off
        {"\xBFSobreescribir configuraci\xF3n?", Buttons::OkCancel, Icon::None, MB_OKCANCEL,
         IDCANCEL, Answer::Cancel},
        {"\xBFSeguro?", Buttons::YesNo, Icon::Question, MB_YESNO | MB_ICONQUESTION, IDYES,
         Answer::Yes},
        {"\xBFSeguro?", Buttons::YesNo, Icon::None, MB_YESNO, IDNO, Answer::No},
        {"Error al crear archivo de imagen!!! (E: 402)", Buttons::Ok, Icon::Exclamation,
         MB_OK | MB_ICONEXCLAMATION, IDOK, Answer::Ok},
        // clang-format on
    };
    MessageBoxOperator person("KAPTORAX");
    for (const auto& k : cases) {
        EXPECT_EQ(messageBoxStyle(k.buttons, k.icon), k.style) << k.text;
        // Another thread reads the box and presses the case's button.
        Answer answer{};
        const std::vector<test::SeenBox> seen = test::answeringBoxes(
            [&] { answer = person.messageBox(k.text, k.buttons, k.icon); }, {}, k.press);
        ASSERT_EQ(seen.size(), 1u) << k.text;
        EXPECT_EQ(std::tuple(answer, seen[0].caption, seen[0].text),
                  std::tuple(k.answer, "KAPTORAX", k.text));
    }
}

TEST(RealClock, SleepWaitsAtLeastTheTimeAsked) {
    RealClock clock;
    const std::int64_t before = clock.nowMicros();
    clock.Sleep(20);
    EXPECT_GE(clock.nowMicros() - before, 20000);
    EXPECT_GE(clock.clock(), 20);
}

}  // namespace
}  // namespace kaptor::platform
