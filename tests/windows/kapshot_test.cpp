// KAPSHOT.exe end to end under Wine with the simulated board: the form's layout, the
// configuration dialog left with CANCELAR and a clean close; two captures shown in Image1 until
// the picture file cannot be created; and the program ending before its window is used (no
// device, control not registered).
#include "tests/windows/kapshot_driver.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <ranges>
#include <utility>

#include "host/picture_formats.h"

namespace kaptor::test {
namespace {

// The 640 x 496 frame of replayFrame(), interlaced: two fields of 248 lines.
constexpr int WIDTH = 640;
constexpr int FIELD_LINES = 248;

std::string configuration(int fieldInversion) {
    return "Prueba\r\nKAPSHOT\r\n" + std::to_string(WIDTH) + "\r\n120\r\n" +
           std::to_string(FIELD_LINES) +
           "\r\n20\r\n800\r\n0\r\n1\r\n128\r\n64\r\n0\r\n10\r\n0\r\n" +
           std::to_string(fieldInversion) + "\r\n0\r\n";
}

// The drives of one run: the configuration on D:, the current drive (so "c:\KAPTOR\" given to
// dirconfig is visibly not where it is read), and the pictures on C:.
class KapshotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(pictures);
        writeFile(configFolder / "CONFIG.TXT", "PRUEBA.TXT\r\n");
        setFieldInversion(0);
        writeFile(root.path() / "stream.bin", std::string(frame.begin(), frame.end()));
        // The C runtime's copy, which getenv reads, and the process's own, which KAPSHOT inherits.
        ::_putenv_s("KAPTOR_DRIVE_C", (root.path() / "c").string().c_str());
        ::_putenv_s("KAPTOR_DRIVE_D", (root.path() / "d").string().c_str());
        ::_putenv_s("KAPTOR_CURRENT_DRIVE", "D");
        ::_putenv_s("KAPTOR_SIM_REPLAY", (root.path() / "stream.bin").string().c_str());
        ::_putenv_s("KAPTOR_SIM_TRACE", trace.string().c_str());
        ::_putenv_s("KAPTOR_SIM_FAULTS", "");
        ASSERT_EQ(callModuleExport(modulePath(), "DllRegisterServer"), S_OK);
    }

    void setFieldInversion(int value) {
        writeFile(configFolder / "CONFIG" / "PRUEBA.TXT", configuration(value));
    }

    TempDir root;
    const std::vector<std::uint8_t> frame = replayFrame();
    const std::filesystem::path pictures = root.path() / "c" / "KAPTOR";
    const std::filesystem::path picture = pictures / "Imagen1.BMP";
    const std::filesystem::path configFolder = root.path() / "d" / "KAPTOR";
    const std::filesystem::path trace = root.path() / "trace.txt";
};

// The capture commands (the single byte 'A') in the simulated board's trace.
int captureCommands(const std::string& trace) {
    return static_cast<int>(std::ranges::count_if(std::views::split(trace, '\n'), [](auto line) {
        return std::string_view(line.begin(), line.end()) == "FT_Write 41\r";
    }));
}

// A child's place in its parent's client area: left, top, width, height.
std::array<int, 4> placeInParent(HWND child) {
    RECT place;
    ::GetWindowRect(child, &place);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return {place.left, place.top, place.right - place.left, place.bottom - place.top};
}

// Image1 shows the picture at its natural size from its top left: a few rows compared with the
// file's, through its palette, and the box's own background just right of the picture.
void expectShown(HWND image, const host::GrayPicture& picture) {
    for (const int row : {0, 1, FIELD_LINES - 1, FIELD_LINES, 2 * FIELD_LINES - 1}) {
        const auto first = picture.pixels.begin() + row * picture.width;
        std::vector<COLORREF> expected(first, first + picture.width);
        for (COLORREF& level : expected) {
            level = RGB(level, level, level);
        }
        expected.push_back(::GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(shownRow(image, row, picture.width + 1), expected) << "row " << row;
    }
}

// The form laid out in twips at the screen's pixels per inch; "Set Placa" opens the
// configuration dialog, and neither CANCELAR nor closing the form sends anything to the board but
// the closing of the device. The program ends with status 0.
TEST_F(KapshotTest, FormIsLaidOutInTwipsAndCancelAndCloseSendNothing) {
    Program kapshot = startKapshot();
    const Form1Windows form1 = waitForForm1(kapshot.threadId());
    // Wine has one number of pixels per inch, across and down.
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    const auto px = [dpi](int twips) { return ::MulDiv(twips, dpi, 1440); };

    RECT client;
    ::GetClientRect(form1.form, &client);
    EXPECT_EQ(std::pair(client.right, client.bottom), (std::pair<LONG, LONG>(px(11550), px(9600))));
    struct Element {
        const char* what;
        HWND window;
        int left, top, width, height;  // twips
    };
    const Element elements[] = {
        {"KAPTORAX1", form1.control, 120, 120, 615, 735},
        {"Adquiere", form1.adquiere, 720, 0, 1095, 375},
        {"Set Placa", form1.setPlaca, 1800, 0, 1095, 375},
        {"Image1", form1.image, 720, 360, 18495, 14775},
    };
    // Image1 reaches beyond the client area, which cuts it off.
    for (const Element& e : elements) {
        EXPECT_EQ(placeInParent(e.window),
                  (std::array{px(e.left), px(e.top), px(e.width), px(e.height)}))
            << e.what;
    }
    // Tab order: "Adquiere" (tab index 0), then "Set Placa".
    EXPECT_EQ(::GetNextDlgTabItem(form1.form, form1.adquiere, FALSE), form1.setPlaca);

    const std::string traceBeforeSet = readFile(trace);
    ::SendNotifyMessageW(form1.setPlaca, BM_CLICK, 0, 0);
    const HWND dialog = waitForWindow(kapshot.threadId(), "Configuracion de placa de captura");
    ASSERT_NE(dialog, nullptr);
    clickButton(dialog, IDCANCEL);
    for (int waited = 0; ::IsWindow(dialog) && waited < 10000; waited += 20) {
        ::Sleep(20);
    }
    EXPECT_FALSE(::IsWindow(dialog));
    ::PostMessageW(form1.form, WM_CLOSE, 0, 0);
    EXPECT_EQ(kapshot.waitForExit(20000), std::optional<DWORD>(0));
    EXPECT_EQ(readFile(trace), traceBeforeSet + "FT_Close\r\n");
    EXPECT_FALSE(std::filesystem::exists(picture));
}

// Each press of "Adquiere" sends one capture command and shows the picture written. The control
// reads its configuration again before every capture: the second capture puts the second field
// on top. A picture file that cannot be created ends the program before Image1 changes.
TEST_F(KapshotTest, CapturesAreShownUntilThePictureFileCannotBeCreated) {
    Program kapshot = startKapshot();
    const Form1Windows form1 = waitForForm1(kapshot.threadId());
    EXPECT_EQ(shownRow(form1.image, 0, 1), std::vector<COLORREF>{::GetSysColor(COLOR_BTNFACE)});

    const struct {
        int fieldInversion;
        int topReceivedRow;
    } captures[] = {{0, 0}, {1, FIELD_LINES}};
    int pressed = 0;
    std::optional<host::GrayPicture> written;
    for (const auto& capture : captures) {
        SCOPED_TRACE("field inversion " + std::to_string(capture.fieldInversion));
        setFieldInversion(capture.fieldInversion);
        press(form1.adquiere);
        EXPECT_EQ(captureCommands(readFile(trace)), ++pressed);
        written = host::decodeControlBmp(readFile(picture));
        ASSERT_TRUE(written.has_value());
        ASSERT_EQ(std::pair(written->width, written->height), std::pair(WIDTH, 2 * FIELD_LINES));
        const auto top = frame.begin() + capture.topReceivedRow * WIDTH;
        EXPECT_EQ(std::vector(written->pixels.begin(), written->pixels.begin() + WIDTH),
                  std::vector(top, top + WIDTH));
        expectShown(form1.image, *written);
    }

    std::filesystem::remove_all(pictures);
    ::SendNotifyMessageW(form1.adquiere, BM_CLICK, 0, 0);
    const HWND box = waitForWindow(kapshot.threadId(), "");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(boxText(box), "Error al crear archivo de imagen!!! (E: 402)");
    expectShown(form1.image, *written);
    clickButton(box, IDOK);
    EXPECT_EQ(kapshot.waitForExit(20000), std::optional<DWORD>(1));
}

// Without a device, or without the control registered, a message says why and the program ends
// before its window shows. (The unregistered case comes last; each test's set-up registers the
// control again.)
TEST_F(KapshotTest, EndsBeforeItsWindowShowsWithoutDeviceOrControl) {
    const struct {
        const char* faults;
        bool registered;
        const char* message;
        DWORD status;
    } cases[] = {
        {"no-device", true, "ERROR AL ABRIR PUERTO USB. Reintente nuevamente", 1},
        {"", false,
         "El control KAPTORAX no est\xE1 registrado en este equipo.\n"
         "Reg\xEDstrelo con:  regsvr32 KAPTORAX.ocx",
         2},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.message);
        ::_putenv_s("KAPTOR_SIM_FAULTS", k.faults);
        if (!k.registered) {
            ASSERT_EQ(callModuleExport(modulePath(), "DllUnregisterServer"), S_OK);
        }
        Program kapshot = startKapshot();
        const HWND box = waitForWindow(kapshot.threadId(), "");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(boxText(box), k.message);
        EXPECT_EQ(findWindow(kapshot.threadId(), "Form1", ""), nullptr);
        clickButton(box, IDOK);
        EXPECT_EQ(kapshot.waitForExit(20000), std::optional<DWORD>(k.status));
    }
}

}  // namespace
}  // namespace kaptor::test
