// kaptor and the simulated board's shared libraries as a user runs them: real processes, the
// library loaded with dlopen, the simulator's trace file.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "cli/commands.h"
#include "tests/support/temp_dir.h"

namespace kaptor::test {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class Kaptor : public ::testing::Test {
  protected:
    TempDir dir;

    // Runs kaptor with the drive and the given environment; the simulated board unless a
    // library is named.
    Outcome kaptor(const std::string& args, const std::string& env = "",
                   const std::string& library = "libkaptorsim.so") {
        const auto out = dir.path() / "out.txt";
        const auto err = dir.path() / "err.txt";
        const std::string command = "env KAPTOR_DRIVE_C='" + (dir.path() / "c").string() +
                                    "' KAPTOR_D2XX_LIBRARY='" + std::string(KAPTOR_LIB_DIR) + "/" +
                                    library + "' " + env + " '" + std::string(KAPTOR_BIN_DIR) +
                                    "/kaptor' " + args + " >'" + out.string() + "' 2>'" +
                                    err.string() + "' </dev/null";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
    }
    std::filesystem::path drive(const std::string& relative) { return dir.path() / "c" / relative; }
};

TEST_F(Kaptor, ConfigInitShowSaveListSelectDelete) {
    EXPECT_EQ(kaptor("config init").status, 0);
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG.TXT")), "EJEMPLO.TXT\r\n");
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG/EJEMPLO.TXT")), cli::SAMPLE_CONFIG_TEXT);
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG/EJEMPLO.TXT")).size(), 90u);
    writeFile(drive("KAPTOR/CONFIG.TXT"), "EJEMPLO.TXT\r\n");
    EXPECT_EQ(kaptor("config init").status, 0);  // never overwrites

    const Outcome show = kaptor("config show");
    EXPECT_EQ(show.out,
              "configName=EJEMPLO.TXT\ntextLine1=Ejemplo 640x496\ntextLine2=Camara de prueba\n"
              "pixelsPerLine=640\nhorizontalPosition=120\nactiveLines=248\nverticalPosition=20\n"
              "pllPixelTotal=800\npixelInterleave=0\ninterlaced=1\ngain=128\noffset=64\n"
              "inputConfig=0\nsensitivity=10\ndicom=0\nfieldInversion=0\nsingleField=0\n");
    EXPECT_EQ(show.err, "");

    // Without an answer the overwrite question takes Cancel; with --answer ok the same bytes.
    const Outcome cancelled = kaptor("config save");
    EXPECT_NE(cancelled.err.find(
                  "KAPTORAX: Ya existe un archivo con ese nombre.Desea sobreescribirlo?\n"),
              std::string::npos);
    EXPECT_EQ(kaptor("--answer ok config save").status, 0);
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG/EJEMPLO.TXT")), cli::SAMPLE_CONFIG_TEXT);

    writeFile(drive("KAPTOR/CONFIG/A+B.TXT"), "");
    // Two names, so two entries; the name with "+" reads as two of them.
    EXPECT_EQ(kaptor("config list").out, "A\nB.TXT\n");
    EXPECT_EQ(kaptor("config select A+B.TXT").status, 0);
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG.TXT")), "A+B.TXT\r\n");

    EXPECT_EQ(kaptor("config delete A+B.TXT").status, 0);  // no answer: Cancel
    EXPECT_TRUE(std::filesystem::exists(drive("KAPTOR/CONFIG/A+B.TXT")));
    const Outcome deleted = kaptor("config delete A+B.TXT --answer ok");
    EXPECT_NE(deleted.err.find("KAPTORAX: Borrar\xC3\xA1 el archivo: C:\\KAPTOR\\CONFIG\\A+B.TXT   "
                               "\xC2\xBF"
                               "ESTA SEGURO?"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(drive("KAPTOR/CONFIG/A+B.TXT")));

    EXPECT_EQ(kaptor("config bogus").status, 2);
    EXPECT_EQ(kaptor("--answer maybe config show").status, 2);
    EXPECT_EQ(kaptor("--help").status, 0);
    EXPECT_NE(kaptor("config --help").out.find("select NAME"), std::string::npos);
}

TEST_F(Kaptor, InicializaThroughTheRealLibraryWritesTheSequenceFourTimes) {
    kaptor("config init");
    const auto trace = dir.path() / "trace.txt";
    const Outcome run = kaptor("invoke put:dirconfig=c:\\\\KAPTOR\\\\ get:1 call:4",
                               "KAPTOR_SIM_TRACE='" + trace.string() + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "c:\\KAPTOR\\\n");
    EXPECT_EQ(run.err, "");
    std::string writes;
    int count = 0;
    std::istringstream lines(readFile(trace));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("FT_Write", 0) == 0) {
            writes += line + "\n";
            ++count;
        }
    }
    const std::string once =
        "FT_Write 42 02 80\nFT_Write 43 78\nFT_Write 44 01 F0\nFT_Write 45 14\n"
        "FT_Write 46 03 20\nFT_Write 47 40\nFT_Write 48 80 07\nFT_Write 48 40 0A\n"
        "FT_Write 48 00 05\nFT_Write 48 00 0D\nFT_Write 48 57 10\n";
    EXPECT_EQ(count, 44);
    EXPECT_EQ(writes, once + once + once + once);
    EXPECT_NE(readFile(trace).find("FT_Purge 1\nFT_Read 1 -> 0 1\nFT_SetTimeouts 300 300\n"),
              std::string::npos);
}

TEST_F(Kaptor, LibraryVariantsAndFaults) {
    kaptor("config init");
    const std::string openFailed = "KAPTORAX: ERROR AL ABRIR PUERTO USB. Reintente nuevamente\n";
    const struct {
        const char* library;
        const char* env;
        std::string err;
        int status;
    } cases[] = {
        {"libmissing.so", "",
         "KAPTORAX: Error: Can't Load ft8u245.dll\n"
         "KAPTORAX: FT_OpenEx is not valid!\n" +
             openFailed,
         1},
        {"libkaptorsim_no_FT_Write.so", "",
         "KAPTORAX: Error: Can't Find FT_Write\n"
         "KAPTORAX: FT_OpenEx is not valid!\n" +
             openFailed,
         1},
        {"libkaptorsim_no_FT_OpenEx.so", "",
         "KAPTORAX: Error: Can't Find FT_OpenEx\n"
         "KAPTORAX: FT_OpenEx is not valid!\n" +
             openFailed,
         1},
        {"libkaptorsim_no_FT_ListDevices.so", "",
         "KAPTORAX: Error: Can't Find FT_ListDevices\nKAPTORAX: FT_ResetDevice is not valid!\n"
         "KAPTORAX: FT_SetTimeouts is not valid!\nKAPTORAX: FT_Purge is not valid!\n"
         "KAPTORAX: FT_SetTimeouts is not valid!\n",
         0},
        {"libkaptorsim_no_FT_GetQueueStatus.so", "",
         "KAPTORAX: Error: Can't Find FT_GetQueueStatus\n", 0},
        {"libkaptorsim.so", "KAPTOR_SIM_FAULTS=no-device", openFailed, 1},
        {"libkaptorsim.so", "KAPTOR_SIM_FAULTS=write-zero-at=3",
         "KAPTORAX: Error al escribir puerto USB (5)\n", 1},
    };
    for (const auto& c : cases) {
        const Outcome run = kaptor("invoke call:Inicializa", c.env, c.library);
        EXPECT_EQ(run.err, c.err) << c.library << " " << c.env;
        EXPECT_EQ(run.status, c.status) << c.library << " " << c.env;
    }
}

TEST_F(Kaptor, CaptureWritesAPictureAndSaysWhere) {
    kaptor("config init");
    const Outcome run = kaptor("capture");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, drive("KAPTOR/Imagen1.BMP").string() + "\n");
    EXPECT_EQ(std::filesystem::file_size(drive("KAPTOR/Imagen1.BMP")), 323518u);

    const auto own = dir.path() / "own.bmp";
    const Outcome other = kaptor("capture -o '" + own.string() + "'");
    EXPECT_EQ(other.status, 0) << other.err;
    EXPECT_EQ(other.out, own.string() + "\n");
    EXPECT_EQ(readFile(own).substr(0, 2), "BM");

    const Outcome folder = kaptor("invoke call:Inicializa call:Toma");  // destinoimagen "\AAAA\"
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err, "KAPTORAX: Error al crear archivo de imagen!!! (E: 402)\n");
}

}  // namespace
}  // namespace kaptor::test
