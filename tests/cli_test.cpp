// kaptor and the simulated board's shared libraries as a user runs them: real processes, the
// library loaded with dlopen, the simulator's trace file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>

#include "boardsim/board.h"
#include "cli/sample_config.h"
#include "tests/support/kaptor_fixture.h"

namespace kaptor::test {
namespace {

TEST_F(Kaptor, ConfigInitShowSaveListSelectDelete) {
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG.TXT")), "EJEMPLO.TXT\r\n");
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG/EJEMPLO.TXT")), cli::SAMPLE_CONFIG_TEXT);
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG/EJEMPLO.TXT")).size(), 90u);
    writeFile(drive("KAPTOR/CONFIG.TXT"), "EJEMPLO.TXT\r\n");
    EXPECT_EQ(kaptor("config init").status, 0);  // never overwrites
    // What config show prints: Kaptor.MachinesReadJsonAndPeopleOneValuePerLine.

    // The overwrite question is KaptorDialog.SetTakesItsStepsToTheBoardAndTheFiles's; with
    // --answer ok the same bytes. A question is no failure: declining it exits 0 too.
    EXPECT_EQ(kaptor("config save --answer cancel").status, 0);
    EXPECT_EQ(kaptor("--answer ok config save").status, 0);
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG/EJEMPLO.TXT")), cli::SAMPLE_CONFIG_TEXT);

    writeFile(drive("KAPTOR/CONFIG/A+B.TXT"), "");
    // Two names, so two entries; the name with "+" reads as two of them. Names match without
    // case, and the selector keeps the name as given.
    EXPECT_EQ(kaptor("config list").out, "A\nB.TXT\n");
    EXPECT_EQ(kaptor("config select a+b.txt").status, 0);
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG.TXT")), "a+b.txt\r\n");

    // The question's text is the dialog's; that kaptor shows it in UTF-8 is
    // KaptorDialog.SetTakesItsStepsToTheBoardAndTheFiles's; unanswered it keeps the file
    // (Kaptor.ParsesLikeAStandardTool).
    EXPECT_EQ(kaptor("config delete A+B.TXT --answer ok").status, 0);
    EXPECT_FALSE(std::filesystem::exists(drive("KAPTOR/CONFIG/A+B.TXT")));

    // Wrong words and --help: Kaptor.ParsesLikeAStandardTool.
}

// Inicializa (by number) programs the board, whose bytes are
// KaptorDialog.SetTakesItsStepsToTheBoardAndTheFiles's; Toma then triggers a capture and fails
// on the default destinoimagen "\AAAA\", a folder.
TEST_F(Kaptor, InicializaByNumberThenTomaOnTheDefaultDestination) {
    EXPECT_EQ(
        kaptor("invoke put:dirconfig=c:\\\\KAPTOR\\\\ get:1 call:4 call:Toma"),
        (Outcome{1, "c:\\KAPTOR\\\n", "KAPTORAX: Error al crear archivo de imagen!!! (E: 402)\n"}));
}

TEST_F(Kaptor, LibraryVariantsAndFaults) {
    const std::string openFailed = "KAPTORAX: ERROR AL ABRIR PUERTO USB. Reintente nuevamente\n";
    const std::string lib = KAPTOR_LIB_DIR;
    const std::string notAFile = " is a FIFO or socket, not a file\n";
    const std::string notARate = " is not a number of bytes per second from 1 to 1000000000; \n";
    // A FIFO as any of the simulator's files is refused at once, never waited on.
    const std::string fifo = (dir.path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const struct {
        std::string env;
        std::string err;
        int status;
        const char* library = "libkaptorsim.so";
    } cases[] = {
        // clang-format off
        {"",
         "kaptor: cannot load the board's driver library '" + lib + "/libmissing.so' (" + lib +
         "/libmissing.so: cannot open shared object file: No such file or directory); for the "
         "simulated board run 'kaptor --sim ...', for a real board install kaptor with its driver "
         "library (libkaptor-d2xx.so, over Debian's libftdi1) or set KAPTOR_D2XX_LIBRARY to a "
         "D2XX library\n"
         "KAPTORAX: Error: Can't Load ft8u245.dll\nKAPTORAX: FT_OpenEx is not valid!\n" +
         openFailed, 1, "libmissing.so"},
        // A function the library lacks, through the system's loader; which function and what
        // follows is OpenLink.FailureTablesMessagesInOrder's.
        {"", "KAPTORAX: Error: Can't Find FT_GetQueueStatus\n", 3,
         "libkaptorsim_no_FT_GetQueueStatus.so"},
        {"KAPTOR_SIM_TRACE=" + fifo, "kaptorsim: KAPTOR_SIM_TRACE: cannot write " + fifo +
         " (not a regular file); the device does not open\n" + openFailed, 1},
        {"KAPTOR_SIM_TRACE=/nonexistent/trace.txt",
         "kaptorsim: KAPTOR_SIM_TRACE: cannot write /nonexistent/trace.txt (No such file or "
         "directory); the device does not open\n" + openFailed, 1},
        {"KAPTOR_SIM_LOCK=/nonexistent/lock", "kaptorsim: KAPTOR_SIM_LOCK: cannot open "
         "/nonexistent/lock (No such file or directory)\n" + openFailed, 1},
        {"KAPTOR_SIM_SCENE=" + fifo, "kaptorsim: " + fifo + notAFile, 0},
        {"KAPTOR_SIM_REPLAY=" + fifo, "kaptorsim: " + fifo + notAFile, 0},
        {"KAPTOR_SIM_RATE=inf", "kaptorsim: KAPTOR_SIM_RATE: 'inf'" + notARate, 0},
        {"KAPTOR_SIM_RATE=1e308", "kaptorsim: KAPTOR_SIM_RATE: '1e308'" + notARate, 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kaptor("invoke call:Inicializa", c.env, c.library),
                  (Outcome{c.status, "", c.err}))
            << c.library << " " << c.env;
    }
}

// Nothing that is not a regular file is opened: a FIFO reads as a file that cannot be opened
// and is never written through; kaptor neither blocks nor damages it. The exit status tells
// success from failure: 3 whenever the control showed a failure and went on, with the picture
// still written and its path still printed.
TEST_F(Kaptor, AFifoIsNoFile) {
    // kaptor exits 3, its standard error holding err.
    const auto fails = [this](const std::string& args, const std::string& err) {
        const Outcome run = kaptor(args);
        EXPECT_EQ(run.status, 3) << args;
        EXPECT_NE(run.err.find(err), std::string::npos) << args << "\n" << run.err;
        return run;
    };
    ASSERT_EQ(::mkfifo(drive("KAPTOR/CONFIG/PIPE.TXT").c_str(), 0644), 0);
    writeFile(drive("KAPTOR/CONFIG.TXT"), "PIPE.TXT\r\n");
    EXPECT_EQ(fails("config show", "").err,
              "KAPTORAX: Error al abrir archivo de configuracion!!! (E: 411)\n");
    fails("--answer ok config save", "(E: 413)");
    // A read that failed never leads to a save.
    EXPECT_EQ(fails("config set gain=3", "").err,
              "KAPTORAX: Error al abrir archivo de configuracion!!! (E: 411)\n"
              "kaptor: config set: the configuration could not be read; nothing was saved\n");

    std::filesystem::remove(drive("KAPTOR/CONFIG.TXT"));
    ASSERT_EQ(::mkfifo(drive("KAPTOR/CONFIG.TXT").c_str(), 0644), 0);
    fails("config show", "(E: 410)");
    EXPECT_EQ(kaptor("config select EJEMPLO.TXT"),
              (Outcome{3, "", "KAPTORAX: Error al grabar archivo de configuracion!!! (E: 414)\n"}));
    EXPECT_TRUE(std::filesystem::is_fifo(drive("KAPTOR/CONFIG.TXT")));
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG/EJEMPLO.TXT")), cli::SAMPLE_CONFIG_TEXT);

    std::filesystem::remove_all(drive("KAPTOR"));
    const auto picture = dir.path() / "p.bmp";
    const std::string hint = "kaptor: no configuration on this drive yet (" +
                             drive("KAPTOR/CONFIG.TXT").string() +
                             " is missing); 'kaptor config init' lays down a sample one\n";
    EXPECT_EQ(fails("config show", "(E: 410)").err.find(hint), 0u);
    const Outcome blind = fails("capture -o '" + picture.string() + "'", hint);
    EXPECT_EQ(std::tuple(blind.err.find(hint), blind.out), std::tuple(0u, picture.string() + "\n"));
}

// Without /proc kaptor finds its simulated board through the name it was run by, or says
// that it cannot; never that the simulator is missing.
TEST_F(Kaptor, SimFindsItsBoardWithoutProc) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizers' runtime reads its options and checks leaks through /proc";
#endif
    if (std::system("unshare -m true >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no mount namespace to hide /proc in";
    }
    const std::string bin = KAPTOR_BIN_DIR;
    const struct {
        std::string run;  // the command in a shell that sees an empty /proc
        int status;
        const char* err;
    } cases[] = {
        // Through PATH; a path as given is HostProcess.TheProgramFromItsInvocation's.
        {"PATH='" + bin + "':$PATH kaptor", 0, ""},
        {"exec -a kaptor-elsewhere '" + bin + "/kaptor'", 2,
         "kaptor: --sim: the system does not tell where this kaptor lies (no /proc), and "
         "'kaptor-elsewhere' is not found through PATH, so its simulated board "
         "(libkaptorsim.so) cannot be found; nothing was done\n"},
    };
    for (const auto& c : cases) {
        const auto err = dir.path() / "err.txt";
        const std::string command = "KAPTOR_DRIVE_C='" + drive("").string() +
                                    "' unshare -m bash -c \"mount -t tmpfs none /proc && " + c.run +
                                    " --sim -q capture -o '" + (dir.path() / "p.bmp").string() +
                                    "'\" >/dev/null 2>'" + err.string() + "'";
        const int raw = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, c.status) << c.run;
        EXPECT_NE(readFile(err).find(c.err), std::string::npos) << c.run << "\n" << readFile(err);
    }
}

// --help is never a name, -- ends the options, a missing value names its option; every
// refusal says what was wrong, and nothing refused changes a file.
TEST_F(Kaptor, ParsesLikeAStandardTool) {
    const std::string selector = readFile(drive("KAPTOR/CONFIG.TXT"));
    const struct {
        const char* args;
        int status;
        const char* said;  // a part of standard output on success, of standard error otherwise
    } cases[] = {
        {"--help", 0, "Usage: kaptor"},
        {"config --help", 0, "select NAME"},
        {"config select --help", 0, "select NAME"},
        {"config delete -h", 0, "delete NAME"},
        {"capture --help", 0, "--format"},
        {"invoke --help", 0, "put:ID=TEXT"},
        {"--version", 0, "kaptor 1."},
        {"config show --version", 0, "kaptor 1."},
        {"config delete -- --help", 3, "C:\\KAPTOR\\CONFIG\\--help"},
        {"config delete NADA.TXT --answer ok", 3, "there is no such configuration"},
        {"config delete EJEMPLO.TXT", 3,  // no answer: Cancel
         "kaptor: config delete: nothing was deleted: the question was not answered ok\n"},
        {"invoke call:AboutBox", 0, ""},
        // config select takes only a plain name (30 characters at most) from the folder.
        {"config select ../CONFIG.TXT", 2, "is not a plain file name"},
        {"config select A:B.TXT", 2, "is not a plain file name"},
        {"config select NNNNNNNNNNNNNNNNNNNNNNNNNNN.TXT", 2, "is longer than 30 characters"},
        {"config select 'A\tB.TXT'", 2, "holds a control character"},
        {"config select FALTA.TXT", 2,
         "is not in the configuration folder (see 'kaptor config list')"},
        // How kaptor tells each kind of config set refusal; what the dialog refuses is
        // DialogExchange.EachEntryConvertsAndChecksItsText's, the other faults' texts
        // Api.RefusedValuesRaiseTheDialogsMessageAndWriteNothing's.
        {"config set gain=300", 2, "KAPTORAX: Escriba un n\xC3\xBAmero entero entre 0 y 255.\n"},
        {"config set brillo=3", 2, "'brillo=3' is not NAME=VALUE"},
        {"config set gain", 2, "'gain' is not NAME=VALUE"},
        // Text outside Windows-1252 is refused, never written with '?'.
        {"config set gain=\xE2\x98\x83", 2,
         "kaptor: config set: the value of gain holds a character"},
        // --dialog steps that cannot be parsed, or taken.
        {"--dialog clack:1 set", 2, "is not type:ID=TEXT"},
        {"--dialog pick:0 set", 2, "is not type:ID=TEXT"},
        {"--dialog type:gain=1 set", 2, "is not type:ID=TEXT"},
        {"--dialog click:1037 set", 3, "--dialog click:1037: no such control"},
        {"--dialog pick:5 set", 3, "--dialog pick:5: no such control"},
        {"capture -o", 2, "kaptor: capture: option -o needs a value"},
        {"capture --output", 2, "kaptor: capture: option --output needs a value"},
        {"capture --count 0", 2, "--count '0' is not a whole number from 1"},
        {"capture --format gif", 2, "--format 'gif' is not bmp, png or pgm"},
        {"capture --bogus", 2, "kaptor: capture: unknown option '--bogus'"},
        {"--answer", 2, "option --answer needs a value"},
        {"--answer maybe config show", 2, "'maybe' is not ok, cancel, yes or no"},
        {"config bogus", 2, "unknown subcommand 'bogus'"},
        {"config show extra", 2, "takes no arguments"},
        {"", 2, "Usage: kaptor"},
        {"frobnicate", 2, "unknown command 'frobnicate'"},
        // A value the control cannot hold exactly is refused (E_INVALIDARG), not changed.
        {"invoke 'put:2=\xE4\xB8\xAD\xE6\x96\x87.BMP' get:2", 2,
         "member 2 refused the call (0x80070057)"},
        {"capture -o '\xE4\xB8\xAD.bmp'", 2, "is not a path the control can hold"},
        {"config select '\xE4\xB8\xAD.TXT'", 2, "a character the control cannot keep"},
        {"--dialog 'type:1137=\xE4\xB8\xAD' set", 2, "a character the control cannot keep"},
        {"--sim=1 config show", 2, "kaptor: options: option '--sim' doesn't allow an argument"},
        {"config show --quiet=", 2, "kaptor: config: option '--quiet' doesn't allow an"},
        {"capture -o '100%.bmp'", 2,
         "kaptor: capture: -o: '%.' is not a field kaptor fills in (use %% for a '%'"},
        // Printed output that cannot be written is a failure, as with the system's own tools.
        {"config show >/dev/full", 3, "kaptor: write error on standard output: No space"},
        {"--version >/dev/full", 3, "kaptor: write error on standard output"},
    };
    for (const auto& c : cases) {
        const Outcome run = kaptor(c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.err;
        EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.said), std::string::npos)
            << c.args << "\n"
            << run.err;
    }
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG.TXT")), selector);
    EXPECT_EQ(readFile(drive("KAPTOR/CONFIG/EJEMPLO.TXT")), cli::SAMPLE_CONFIG_TEXT);
}

TEST_F(Kaptor, MachinesReadJsonAndPeopleOneValuePerLine) {
    // Line 1 holds a backslash, a lone LF and a Windows-1252 letter.
    std::string text = cli::SAMPLE_CONFIG_TEXT;
    text.replace(0, 15, "C:\\cam\nA\xF1o");
    writeFile(drive("KAPTOR/CONFIG/EJEMPLO.TXT"), text);
    // Every value, texts and numbers, in the order of the JSON's below.
    const Outcome plain = kaptor("config show");
    EXPECT_EQ(std::tuple(plain.status, plain.out.find("configName=EJEMPLO.TXT\ntextLine1=C:\\\\cam"
                                                      "\\nA\xC3\xB1o\ntextLine2=Camara de prueba\n"
                                                      "pixelsPerLine=640\n")),
              std::tuple(0, 0u))
        << plain.out;
    const Outcome json = kaptor("config show --json");
    EXPECT_EQ(json.out,
              "{\"configName\": \"EJEMPLO.TXT\", \"textLine1\": \"C:\\\\cam\\nA\xC3\xB1o\", "
              "\"textLine2\": \"Camara de prueba\", \"pixelsPerLine\": 640, "
              "\"horizontalPosition\": 120, \"activeLines\": 248, \"verticalPosition\": 20, "
              "\"pllPixelTotal\": 800, \"pixelInterleave\": 0, \"interlaced\": 1, \"gain\": 128, "
              "\"offset\": 64, \"inputConfig\": 0, \"sensitivity\": 10, \"dicom\": 0, "
              "\"fieldInversion\": 0, \"singleField\": 0}\n");
    writeFile(drive("KAPTOR/CONFIG/B\xC3\xB1.TXT"), "");
    EXPECT_EQ(kaptor("config list --json").out, "[\"B\xC3\xB1.TXT\", \"EJEMPLO.TXT\"]\n");
    std::filesystem::remove_all(drive("KAPTOR/CONFIG"));
    EXPECT_EQ(kaptor("config list --json").out, "[]\n");
    EXPECT_EQ(kaptor("config save --json").status, 2);
}

TEST_F(Kaptor, PicturesInThreeFormatsToFilesOrStandardOutput) {
    const auto bmpPath = dir.path() / "a.bmp";
    ASSERT_EQ(kaptor("capture -q --output='" + bmpPath.string() + "'").status, 0);
    const std::string bmp = readFile(bmpPath);
    ASSERT_EQ(bmp.size(), 323518u);

    EXPECT_EQ(kaptor("capture -o -"), (Outcome{0, bmp, ""}));  // the control's file, byte for byte

    // Repeated captures name each file by its number (the first is the PGM checked below) or
    // by the date.
    const auto pgmPath = dir.path() / "a-1.PGM";
    const auto secondPgm = dir.path() / "a-2.PGM";
    EXPECT_EQ(
        kaptor("capture --count 2 --interval 0.01 -o '" + (dir.path() / "a-%n.PGM").string() + "'"),
        (Outcome{0, pgmPath.string() + "\n" + secondPgm.string() + "\n", ""}));
    const Outcome dated = kaptor("capture -o '" + (dir.path() / "d-%Y.pgm").string() + "'");
    EXPECT_NE(dated.out.find("/d-20"), std::string::npos) << dated.out;
    // The header, then the BMP's rows from its last (the picture's top line) to its first.
    std::string pgmPixels;
    for (int row = 495; row >= 0; --row) {
        pgmPixels += bmp.substr(1078 + row * 640, 640);
    }
    const std::string pgm = readFile(pgmPath);
    EXPECT_EQ(pgm, "P5\n640 496\n255\n" + pgmPixels);
    EXPECT_EQ(readFile(secondPgm).size(), pgm.size());
    EXPECT_EQ(kaptor("capture --format pgm -o -").out, pgm);

    const auto pngPath = dir.path() / "a.png";
    EXPECT_EQ(kaptor("capture -o '" + pngPath.string() + "'"),
              (Outcome{0, pngPath.string() + "\n", ""}));
    EXPECT_EQ(readFile(pngPath).substr(0, 8), "\x89PNG\r\n\x1A\n");
    if (std::system("command -v /usr/bin/convert >/dev/null 2>&1") == 0) {
        // A standard reader finds the very pixels of the PGM in the PNG.
        const auto gray = dir.path() / "a.gray";
        const std::string command =
            "/usr/bin/convert '" + pngPath.string() + "' -depth 8 'gray:" + gray.string() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(readFile(gray), pgmPixels);
    }
}

// A write error after the picture file was begun (here a file-size limit) keeps the previous
// picture and is the method's error: kaptor says so and exits 3, not 1, by capture, invoke and
// the dialog's APLICAR alike.
TEST_F(Kaptor, AWriteErrorIsTheCallersAndKeepsThePreviousPicture) {
    const auto picture = dir.path() / "p.bmp";
    writeFile(picture, "previous");
    const std::string limited = "trap '' XFSZ; ulimit -f 100;";
    const std::string tooLarge =
        "Error al escribir archivo de imagen: " + picture.string() + " (File too large)\n";
    EXPECT_EQ(kaptor("capture -o '" + picture.string() + "'", "", "libkaptorsim.so", limited),
              (Outcome{3, "", "kaptor: Toma failed: " + tooLarge}));
    EXPECT_EQ(readFile(picture), "previous");
    // The steps go on.
    EXPECT_EQ(kaptor("invoke 'put:2=" + picture.string() + "' call:Inicializa call:Toma get:2", "",
                     "libkaptorsim.so", limited),
              (Outcome{3, picture.string() + "\n", "kaptor: Toma failed: " + tooLarge}));
    EXPECT_EQ(readFile(picture), "previous");
    // A method that fails inside Set (APLICAR's test picture) is reported, not an abort.
    EXPECT_EQ(kaptor("--answer ok --answer ok --dialog click:APLICAR set --init", "",
                     "libkaptorsim.so", limited),
              (Outcome{3, "",
                       "KAPTORAX: Ya existe un archivo con ese nombre.Desea sobreescribirlo?\n"
                       "KAPTORAX: Tomar\xC3\xA1 una imagen de prueba\nkaptor: Set failed: Error al "
                       "escribir archivo de imagen: c:\\KAPTOR\\Imagen1.BMP (File too large)\n"}));
    EXPECT_FALSE(std::filesystem::exists(drive("KAPTOR/Imagen1.BMP")));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    }
}

// On a terminal a capture shows a progress line (cleared again) and beeps; -q silences both.
// Without a terminal neither appears (every other test runs so).
TEST_F(Kaptor, ProgressAndBeepOnlyOnATerminalAndNotQuiet) {
    if (std::system("command -v script >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no 'script' to run kaptor on a terminal";
    }
    const auto onTerminal = [this](const std::string& options) {
        const auto log = dir.path() / "terminal.txt";
        const std::string command =
            "KAPTOR_DRIVE_C='" + (dir.path() / "c").string() + "' timeout 60 script -qec \"'" +
            std::string(KAPTOR_BIN_DIR) + "/kaptor' --sim " + options + " capture -o '" +
            (dir.path() / "t.bmp").string() + "'\" /dev/null >'" + log.string() + "' </dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return readFile(log);
    };
    // The terminal's line ends are CR LF.
    const std::string path = (dir.path() / "t.bmp").string() + "\r\n";
    EXPECT_EQ(onTerminal(""),
              "\rkaptor: capture 1 of 1: waiting for the frame\x1B[K\r\x1B[K\a" + path);
    EXPECT_EQ(onTerminal("-q"), path);
}

// The simulated device with a lock file admits one handle at a time across processes: while a
// board in this process holds it, kaptor in another process cannot open it.
TEST_F(Kaptor, TheDeviceLockAdmitsOneHandleAtATimeInThisProcessAndAnother) {
    const boardsim::SimConfig config{.lockPath = (dir.path() / "device.lock").string()};
    const std::string lock = "KAPTOR_SIM_LOCK='" + config.lockPath + "'";
    platform::VirtualClock clock;
    boardsim::Board holder(config, clock, nullptr);
    boardsim::Board other(config, clock, nullptr);
    d2xx::FT_HANDLE held = nullptr, refused = nullptr;
    ASSERT_EQ(holder.openByDescription("LUMENFRAME USB 1.0", &held), d2xx::FT_OK);
    EXPECT_EQ(other.openByDescription("LUMENFRAME USB 1.0", &refused), d2xx::FT_DEVICE_NOT_OPENED);

    EXPECT_EQ(kaptor("--sim capture", lock),
              (Outcome{1, "", "KAPTORAX: ERROR AL ABRIR PUERTO USB. Reintente nuevamente\n"}));

    EXPECT_EQ(holder.close(held), d2xx::FT_OK);
    // A capture says where the control wrote its picture.
    EXPECT_EQ(kaptor("--sim capture", lock),
              (Outcome{0, drive("KAPTOR/Imagen1.BMP").string() + "\n", ""}));
    EXPECT_EQ(std::filesystem::file_size(drive("KAPTOR/Imagen1.BMP")), 323518u);
    EXPECT_EQ(other.openByDescription("LUMENFRAME USB 1.0", &refused), d2xx::FT_OK);
}

}  // namespace
}  // namespace kaptor::test
