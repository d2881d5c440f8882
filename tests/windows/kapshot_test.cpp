// KAPSHOT.exe end to end under Wine with the simulated board: the form's layout, the
// configuration dialog left with CANCELAR and a clean close; two captures shown in Image1 until
// the picture file cannot be created; and the program ending before its window is used (no
// device, control not registered).
#include "tests/windows/kapshot_driver.h"

#include <gtest/gtest.h>

#include <sstream>

#include "host/picture_formats.h"

namespace kaptor::test {
namespace {

// A 64 x 64 interlaced frame: two fields of 32 lines.
constexpr int WIDTH = 64;
constexpr int FIELD_LINES = 32;

// Every received row starts at its own level, so a row out of place shows.
std::uint8_t streamLevel(int row, int x) {
    return static_cast<std::uint8_t>((row * 4 + x * 3) & 0xFF);
}

std::string frameStream() {
    std::string bytes;
    for (int row = 0; row < 2 * FIELD_LINES; ++row) {
        for (int x = 0; x < WIDTH; ++x) {
            bytes.push_back(static_cast<char>(streamLevel(row, x)));
        }
    }
    return bytes;
}

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
        std::filesystem::create_directories(pictures());
        std::filesystem::create_directories(configFolder() / "CONFIG");
        writeFile(configFolder() / "CONFIG.TXT", "PRUEBA.TXT\r\n");
        setFieldInversion(0);
        writeFile(root_.path() / "stream.bin", frameStream());
        setEnvironment("KAPTOR_DRIVE_C", (root_.path() / "c").string());
        setEnvironment("KAPTOR_DRIVE_D", (root_.path() / "d").string());
        setEnvironment("KAPTOR_CURRENT_DRIVE", "D");
        setEnvironment("KAPTOR_SIM_REPLAY", (root_.path() / "stream.bin").string());
        setEnvironment("KAPTOR_SIM_TRACE", trace().string());
        setEnvironment("KAPTOR_SIM_FAULTS", "");
        ASSERT_EQ(callModuleExport(modulePath(), "DllRegisterServer"), S_OK);
    }

    std::filesystem::path pictures() const { return root_.path() / "c" / "KAPTOR"; }
    std::filesystem::path picture() const { return pictures() / "Imagen1.BMP"; }
    std::filesystem::path configFolder() const { return root_.path() / "d" / "KAPTOR"; }
    std::filesystem::path trace() const { return root_.path() / "trace.txt"; }
    void setFieldInversion(int value) {
        writeFile(configFolder() / "CONFIG" / "PRUEBA.TXT", configuration(value));
    }

  private:
    TempDir root_;
};

// The capture commands (the single byte 'A') in the simulated board's trace.
int captureCommands(const std::string& trace) {
    std::istringstream lines(trace);
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        count += line == "FT_Write 41\r" ? 1 : 0;
    }
    return count;
}

// A child's place in its parent's client area.
RECT placeInParent(HWND child) {
    RECT place;
    ::GetWindowRect(child, &place);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// Image1 shows the picture at its natural size from its top left: a few rows compared with the
// file's, through its palette, and the box's own background just right of the picture.
void expectShown(ShownPixels& pixels, HWND image, const host::GrayPicture& picture) {
    for (const int row : {0, 1, FIELD_LINES - 1, FIELD_LINES, 2 * FIELD_LINES - 1}) {
        const std::vector<COLORREF> shown = pixels.row(image, row, picture.width + 1);
        ASSERT_EQ(shown.size(), static_cast<std::size_t>(picture.width + 1)) << "row " << row;
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t level = picture.pixels[std::size_t(row * picture.width + x)];
            ASSERT_EQ(shown[std::size_t(x)], RGB(level, level, level))
                << "row " << row << ", x " << x;
        }
        EXPECT_EQ(shown.back(), ::GetSysColor(COLOR_BTNFACE)) << "row " << row;
    }
}

// The form laid out in twips at the screen's pixels per inch; "Set Placa" opens the
// configuration dialog, and neither CANCELAR nor closing the form sends anything to the board but
// the closing of the device. The program ends with status 0.
TEST_F(KapshotTest, FormIsLaidOutInTwipsAndCancelAndCloseSendNothing) {
    KapshotProcess kapshot;
    const Form1Windows form1 = waitForForm1(kapshot.threadId());
    ASSERT_TRUE(form1.complete());
    const HDC screen = ::GetDC(nullptr);
    const int dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    const auto px = [](int twips, int dpi) { return ::MulDiv(twips, dpi, 1440); };

    RECT client;
    ::GetClientRect(form1.form, &client);
    EXPECT_EQ(client.right, px(11550, dpiX));
    EXPECT_EQ(client.bottom, px(9600, dpiY));
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
    for (const Element& e : elements) {
        const RECT place = placeInParent(e.window);
        EXPECT_EQ(place.left, px(e.left, dpiX)) << e.what;
        EXPECT_EQ(place.top, px(e.top, dpiY)) << e.what;
        EXPECT_EQ(place.right - place.left, px(e.width, dpiX)) << e.what;
        EXPECT_EQ(place.bottom - place.top, px(e.height, dpiY)) << e.what;
    }
    // Image1 reaches beyond the client area, which cuts it off.
    EXPECT_GT(placeInParent(form1.image).right, client.right);
    // Tab order: "Adquiere" (tab index 0), then "Set Placa".
    EXPECT_EQ(::GetNextDlgTabItem(form1.form, form1.adquiere, FALSE), form1.setPlaca);

    const std::string traceBeforeSet = readFile(trace());
    ::SendNotifyMessageW(form1.setPlaca, BM_CLICK, 0, 0);
    const HWND dialog = waitForDialog(kapshot.threadId(), "Configuracion de placa de captura");
    ASSERT_NE(dialog, nullptr);
    clickButton(dialog, IDCANCEL);
    for (int waited = 0; ::IsWindow(dialog) && waited < 10000; waited += 20) {
        ::Sleep(20);
    }
    EXPECT_FALSE(::IsWindow(dialog));
    ::PostMessageW(form1.form, WM_CLOSE, 0, 0);
    EXPECT_EQ(kapshot.waitForExit(20000), std::optional<DWORD>(0));
    EXPECT_EQ(readFile(trace()), traceBeforeSet + "FT_Close\r\n");
    EXPECT_FALSE(std::filesystem::exists(picture()));
}

// Each press of "Adquiere" sends one capture command and shows the picture written. The control
// reads its configuration again before every capture: the second capture puts the second field
// on top. A picture file that cannot be created ends the program before Image1 changes.
TEST_F(KapshotTest, CapturesAreShownUntilThePictureFileCannotBeCreated) {
    KapshotProcess kapshot;
    const Form1Windows form1 = waitForForm1(kapshot.threadId());
    ASSERT_TRUE(form1.complete());
    ShownPixels pixels(kapshot.threadId());
    ASSERT_TRUE(pixels.ready());
    EXPECT_EQ(pixels.row(form1.image, 0, 1), std::vector<COLORREF>{::GetSysColor(COLOR_BTNFACE)});

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
        EXPECT_EQ(captureCommands(readFile(trace())), ++pressed);
        written = host::decodeControlBmp(readFile(picture()));
        ASSERT_TRUE(written.has_value());
        ASSERT_EQ(written->width, WIDTH);
        ASSERT_EQ(written->height, 2 * FIELD_LINES);
        for (int x = 0; x < WIDTH; ++x) {
            ASSERT_EQ(written->pixels[std::size_t(x)], streamLevel(capture.topReceivedRow, x));
        }
        expectShown(pixels, form1.image, *written);
    }

    std::filesystem::remove_all(pictures());
    ::SendNotifyMessageW(form1.adquiere, BM_CLICK, 0, 0);
    const HWND box = waitForDialog(kapshot.threadId(), "");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(boxText(box), "Error al crear archivo de imagen!!! (E: 402)");
    expectShown(pixels, form1.image, *written);
    clickButton(box, IDOK);
    EXPECT_EQ(kapshot.waitForExit(20000), std::optional<DWORD>(1));
}

// Without a device, or without the control registered, a message says why and the program ends
// before its window shows.
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
        setEnvironment("KAPTOR_SIM_FAULTS", k.faults);
        if (!k.registered) {
            ASSERT_EQ(callModuleExport(modulePath(), "DllUnregisterServer"), S_OK);
        }
        KapshotProcess kapshot;
        ASSERT_TRUE(kapshot.started());
        const HWND box = waitForDialog(kapshot.threadId(), "");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(boxText(box), k.message);
        EXPECT_EQ(findWindow(kapshot.threadId(), "Form1", ""), nullptr);
        clickButton(box, IDOK);
        EXPECT_EQ(kapshot.waitForExit(20000), std::optional<DWORD>(k.status));
        ASSERT_EQ(callModuleExport(modulePath(), "DllRegisterServer"), S_OK);
    }
}

}  // namespace
}  // namespace kaptor::test
