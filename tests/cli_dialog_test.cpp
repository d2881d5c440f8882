// The configuration dialog through kaptor as a user scripts it: --dialog steps on `set`, and
// `config set`, against the simulated board with its trace.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/sample_config.h"
#include "tests/support/kaptor_fixture.h"

namespace kaptor::test {
namespace {

class KaptorDialog : public Kaptor {
  protected:
    // kaptor with the simulated board's trace in the test's folder.
    Outcome run(const std::string& args) {
        return kaptor(args, "KAPTOR_SIM_TRACE='" + trace().string() + "'");
    }
    std::filesystem::path trace() { return dir.path() / "trace.txt"; }
    std::string sample() { return readFile(drive("KAPTOR/CONFIG/EJEMPLO.TXT")); }
};

// The steps reach the dialog and the answers its questions, through the simulated board's
// shared library; what each way of leaving the dialog sends and saves is
// Set.WhatEachWayOfLeavingSendsSavesAndSays's.
TEST_F(KaptorDialog, SetTakesItsStepsToTheBoardAndTheFiles) {
    const std::string overwrite =
        "KAPTORAX: Ya existe un archivo con ese nombre.Desea sobreescribirlo?\n";
    const std::string testPicture = "KAPTORAX: Tomar\xC3\xA1 una imagen de prueba\n";
    EXPECT_EQ(
        run("--answer ok --answer ok --answer ok --dialog type:1030=90 --dialog click:APLICAR "
            "--dialog click:APLICAR --dialog click:ACEPTAR set --init"),
        (Outcome{0, "", overwrite + testPicture + overwrite + testPicture + overwrite}));
    EXPECT_TRUE(std::filesystem::exists(drive("KAPTOR/Imagen1.BMP")));
    EXPECT_NE(sample().find("\r\n90\r\n64\r\n"), std::string::npos);

    // Every byte written: Inicializa's four programmings, then one for each APLICAR with its test
    // capture (41) and one for ACEPTAR, these three with the gain typed (90, 0x5A).
    std::string writes;
    std::istringstream lines(readFile(trace()));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("FT_Write", 0) == 0) {
            writes += line + "\n";
        }
    }
    const std::string before =
        "FT_Write 42 02 80\nFT_Write 43 78\nFT_Write 44 01 F0\n"
        "FT_Write 45 14\nFT_Write 46 03 20\nFT_Write 47 40\nFT_Write 48 ";
    const std::string after =
        " 07\nFT_Write 48 40 0A\nFT_Write 48 00 05\nFT_Write 48 00 0D\n"
        "FT_Write 48 57 10\n";
    const std::string gain128 = before + "80" + after;
    const std::string gain90 = before + "5A" + after;
    EXPECT_EQ(writes, gain128 + gain128 + gain128 + gain128 + gain90 + "FT_Write 41\n" + gain90 +
                          "FT_Write 41\n" + gain90);
    EXPECT_NE(readFile(trace()).find("FT_Purge 1\nFT_Read 1 -> 0 1\nFT_SetTimeouts 300 300\n"),
              std::string::npos);
}

TEST_F(KaptorDialog, ShowPrintsTheDialogStateAndRunningOutCancels) {
    writeFile(drive("KAPTOR/CONFIG/OTRA.TXT"), cli::SAMPLE_CONFIG_TEXT);
    EXPECT_EQ(run("--dialog drop --dialog type:1137=ot --dialog show set"),
              (Outcome{0,
                       "1027=640\n1020=120\n1021=0\n1022=248\n1023=20\n1024=800\n1026=1\n"
                       "1030=128\n1032=64\n1034=0\n1036=10\n1037=0\n1133=0\n1135=0\n"
                       "1137.text=ot\n1137.selected=2\n1137.list=EJEMPLO.TXT|OTRA.TXT\n",
                       "kaptor: no --dialog step left; the configuration dialog closes as "
                       "CANCELAR\n"}));
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG.TXT")), "EJEMPLO.TXT\r\n");
    EXPECT_FALSE(std::filesystem::exists(trace()));  // without --init no board is touched

    // A pick rewrites the selector even when the dialog is then cancelled; CANCELAR says and
    // saves nothing.
    EXPECT_EQ(run("--dialog pick:2 --dialog type:1030=200 --dialog click:CANCELAR set"),
              (Outcome{0, "", ""}));
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG.TXT")), "OTRA.TXT\r\n");
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG/OTRA.TXT")), cli::SAMPLE_CONFIG_TEXT);
}

// config set changes exactly the named lines. Two at once each wait for the other's
// read-change-write, so both changes are in the file every time; both exit 0.
TEST_F(KaptorDialog, ConfigSetChangesExactlyTheNamedLinesEvenTwoAtOnce) {
    const std::string kaptorRun = "KAPTOR_DRIVE_C='" + drive("").string() + "' '" +
                                  std::string(KAPTOR_BIN_DIR) + "/kaptor' config set ";
    std::string before = sample();
    // The flags are the last three lines: dicom, fieldInversion, singleField.
    before.replace(before.size() - 6, 3, "1\r\n");
    const std::size_t gainAt = before.find("\r\n128\r\n64\r\n");
    for (int round = 1; round <= 12; ++round) {
        const std::string gain = std::to_string(100 + round);
        const std::string offset = std::to_string(10 + round);
        const std::string both = "(" + kaptorRun + "gain=" + gain + " fieldInversion=1 & " +
                                 kaptorRun + "offset=" + offset + " && wait $!) >/dev/null 2>&1";
        ASSERT_EQ(std::system(both.c_str()), 0);
        std::string expected = before;
        expected.replace(gainAt, 11, "\r\n" + gain + "\r\n" + offset + "\r\n");
        EXPECT_EQ(sample(), expected) << "round " << round;
    }
}

}  // namespace
}  // namespace kaptor::test
