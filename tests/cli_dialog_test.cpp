// The configuration dialog through kaptor as a user scripts it: --dialog steps on `set`, and
// `config set`, against the simulated board with its trace.
#include <gtest/gtest.h>

#include "cli/sample_config.h"
#include "tests/support/kaptor_fixture.h"

namespace kaptor::test {
namespace {

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

class KaptorDialog : public Kaptor {
  protected:
    // kaptor with the simulated board's trace in the test's folder.
    Outcome run(const std::string& args) {
        return kaptor(args, "KAPTOR_SIM_TRACE='" + trace().string() + "'");
    }
    std::filesystem::path trace() { return dir.path() / "trace.txt"; }
    std::string sample() { return readFile(drive("KAPTOR/CONFIG/EJEMPLO.TXT")); }
};

// The steps reach the dialog and the answers its questions; what each way of leaving the dialog
// sends and saves is Set.WhatEachWayOfLeavingSendsSavesAndSays's.
TEST_F(KaptorDialog, SetTakesItsStepsToTheBoardAndTheFiles) {
    const Outcome o =
        run("--answer ok --answer ok --answer ok --dialog show --dialog type:1030=90 "
            "--dialog click:APLICAR --dialog show --dialog click:APLICAR --dialog show "
            "--dialog click:ACEPTAR set --init");
    EXPECT_EQ(o.status, 0) << o.err;
    const std::string w = readFile(trace());
    // Inicializa's four programmings, then three more and two test captures.
    EXPECT_EQ(count(w, "FT_Write "), 4 * 11 + 3 * 11 + 2u);
    EXPECT_EQ(count(w, "FT_Write 41\n"), 2u);
    EXPECT_EQ(count(o.err, "KAPTORAX: Ya existe un archivo con ese nombre.Desea sobreescribirlo?"),
              3u);
    EXPECT_EQ(count(o.err, "KAPTORAX: Tomar\xC3\xA1 una imagen de prueba"), 2u);
    EXPECT_EQ(count(o.out, "1137.list=EJEMPLO.TXT\n"), 3u);
    EXPECT_TRUE(std::filesystem::exists(drive("KAPTOR/Imagen1.BMP")));
    EXPECT_NE(sample().find("\r\n90\r\n64\r\n"), std::string::npos);
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
