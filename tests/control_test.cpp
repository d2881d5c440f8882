// The control as a host sees it: construction, properties, dispatch, Set's orchestration.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "control/messages.h"
#include "tests/support/rig.h"

namespace kaptor::control {
namespace {

using automation::InvokeKind;
using automation::Variant;
using test::EXAMPLE_CONFIG;
using test::leaveWith;
using test::Rig;

TEST(Control, ConstructionDefaults) {
    Rig rig;
    EXPECT_EQ(rig.ctrl->getDirconfig(), "\\KAPTOR\\");
    EXPECT_EQ(rig.ctrl->getDestinoimagen(), "\\AAAA\\");
    EXPECT_FALSE(rig.ctrl->isModified());
    EXPECT_EQ(rig.ctrl->settings(), BoardSettings{});
    EXPECT_EQ(rig.ctrl->link().isOpen(), false);
    EXPECT_EQ(rig.ctrl->registers().regControl, 0);
    EXPECT_TRUE(std::all_of(rig.ctrl->imageBuffer().begin(), rig.ctrl->imageBuffer().end(),
                            [](auto b) { return b == 0; }));
    EXPECT_TRUE(rig.person.messages().empty());
}

TEST(Control, PropertiesByDispatchIdAndName) {
    Rig rig;
    automation::Dispatch& d = rig.ctrl->dispatch();
    const Variant text = automation::Bstr(u"c:\\KAPTOR\\Im\u00e1gen.BMP");
    EXPECT_EQ(d.invoke(DISPID_DESTINOIMAGEN, InvokeKind::PropertyPut, {&text, 1}, nullptr),
              automation::RESULT_OK);
    EXPECT_TRUE(rig.ctrl->isModified());
    EXPECT_EQ(rig.ctrl->getDestinoimagen(), "c:\\KAPTOR\\Im\xE1gen.BMP");
    Variant result;
    EXPECT_EQ(d.invoke(DISPID_DESTINOIMAGEN, InvokeKind::PropertyGet, {}, &result),
              automation::RESULT_OK);
    EXPECT_EQ(std::get<automation::Bstr>(result), u"c:\\KAPTOR\\Im\u00e1gen.BMP");

    const struct {
        const char16_t* name;
        automation::DispId id;
    } names[] = {{u"dirconfig", 1},  {u"DESTINOIMAGEN", 2}, {u"Toma", 3},
                 {u"Inicializa", 4}, {u"Set", 5},           {u"AboutBox", -552}};
    for (const auto& n : names) {
        automation::DispId id = 0;
        EXPECT_EQ(d.getIdOfName(n.name, id), automation::RESULT_OK);
        EXPECT_EQ(id, n.id);
    }
    automation::DispId id = 0;
    EXPECT_EQ(d.getIdOfName(u"Nada", id), automation::RESULT_UNKNOWN_NAME);
    EXPECT_EQ(d.invoke(6, InvokeKind::Method, {}, nullptr), automation::RESULT_MEMBER_NOT_FOUND);
    EXPECT_EQ(d.invoke(DISPID_TOMA, InvokeKind::PropertyGet, {}, &result),
              automation::RESULT_MEMBER_NOT_FOUND);
    EXPECT_EQ(d.invoke(DISPID_DIRCONFIG, InvokeKind::PropertyPut, {}, nullptr),
              automation::RESULT_BAD_PARAM_COUNT);
    // Text the control cannot hold exactly is refused and the value stays.
    for (const std::u16string& refused :
         {std::u16string(u"\u4E2D\u6587.BMP"), std::u16string(u"victim.ini\0.bmp", 15)}) {
        const Variant value = refused;
        for (const automation::DispId member : {DISPID_DIRCONFIG, DISPID_DESTINOIMAGEN}) {
            EXPECT_EQ(d.invoke(member, InvokeKind::PropertyPut, {&value, 1}, nullptr),
                      automation::RESULT_INVALID_ARGUMENT);
        }
    }
    EXPECT_EQ(rig.ctrl->getDestinoimagen(), "c:\\KAPTOR\\Im\xE1gen.BMP");
    EXPECT_EQ(rig.ctrl->getDirconfig(), "\\KAPTOR\\");
    EXPECT_EQ(d.invoke(automation::ABOUTBOX_DISPID, InvokeKind::Method, {}, nullptr),
              automation::RESULT_OK);
    EXPECT_EQ(rig.dialogs.aboutBoxes, 1);

    // dirconfig is stored and returned, and moves no configuration folder.
    rig.writeConfig(EXAMPLE_CONFIG);
    rig.ctrl->setDirconfig("");
    rig.ctrl->loadConfiguration();
    EXPECT_EQ(rig.ctrl->settings().pixelsPerLine, 640);
}

// A control that goes away closes its device (the library stays loaded), so a second control
// of the same process opens it instead of ending the process.
TEST(Inicializa, ASecondControlOpensTheDeviceTheFirstClosed) {
    const test::TempDir traces;
    const auto trace = traces.path() / "trace.txt";
    Rig rig(test::RigOptions{.sim = {.tracePath = trace.string()}});
    rig.initialise(EXAMPLE_CONFIG);
    ASSERT_TRUE(rig.board->isOpen());
    const auto closed = [&trace] {
        return test::readFile(trace).find("FT_Close") != std::string::npos;
    };
    EXPECT_FALSE(closed());
    rig.ctrl = std::make_unique<CKAPTORAXCtrl>(ControlServices{
        *rig.files, rig.person, rig.clock, rig.processExit, rig.libraries, rig.dialogs});
    EXPECT_FALSE(rig.board->isOpen());
    EXPECT_TRUE(closed());
    rig.ctrl->setDestinoimagen("c:\\KAPTOR\\Imagen1.BMP");
    EXPECT_FALSE(rig.runUntilExit([&] { rig.ctrl->Inicializa(); }));
    EXPECT_TRUE(rig.board->isOpen());
    EXPECT_TRUE(rig.person.messages().empty());
    EXPECT_FALSE(rig.runUntilExit([&] { rig.ctrl->Toma(); }));
    EXPECT_EQ(rig.picture().size(), 323518u);
}

TEST(Set, CancelarSendsNothingSavesNothing) {
    Rig rig;
    rig.writeConfig(EXAMPLE_CONFIG);
    rig.ctrl->Inicializa();
    const auto frames = rig.board->frames().size();
    rig.dialogs.queue([](InMemoryDialogView& view) {
        // A check-box click stores the fields at once: live, but neither sent nor saved.
        view.type(IDC_PIXELS_PER_LINE, "320");
        view.click(IDC_FIELD_INVERSION);
        view.click(IDC_CANCELAR);
    });
    rig.ctrl->Set();
    EXPECT_EQ(rig.board->frames().size(), frames);
    EXPECT_EQ(test::readFile(rig.drivePath("KAPTOR/CONFIG/EJEMPLO.TXT")), EXAMPLE_CONFIG);
    EXPECT_EQ(rig.ctrl->frameWidth(), 640);
    EXPECT_EQ(rig.ctrl->settings().pixelsPerLine, 320);
    EXPECT_TRUE(rig.person.messages().empty());
}

TEST(Set, AplicarTwiceThenAceptar) {
    Rig rig;
    rig.initialise(EXAMPLE_CONFIG);
    const auto frames = rig.board->frames().size();
    rig.dialogs.queue(leaveWith(Outcome::Aplicar));
    rig.dialogs.queue(leaveWith(Outcome::Aplicar));
    rig.dialogs.queue(leaveWith(Outcome::Aceptar));
    for (int i = 0; i < 3; ++i) {
        rig.person.queueAnswer(platform::Answer::Ok);
    }
    rig.ctrl->Set();
    EXPECT_EQ(rig.dialogs.runs, 3);
    const std::string question(msg::OVERWRITE_QUESTION);
    const std::string test(msg::TEST_IMAGE);
    EXPECT_EQ(rig.person.events(),
              (std::vector<std::string>{question, test, "BEEP", question, test, "BEEP", question}));
    // Three programmings and two captures.
    EXPECT_EQ(rig.board->frames().size(), frames + 3 * 11 + 2);
    EXPECT_EQ(rig.board->capturesStarted(), 2u);
    EXPECT_EQ(rig.person.beeps(), 2);
    EXPECT_TRUE(std::filesystem::exists(rig.drivePath("KAPTOR/Imagen1.BMP")));
    EXPECT_EQ(test::readFile(rig.drivePath("KAPTOR/CONFIG/EJEMPLO.TXT")), EXAMPLE_CONFIG);
}

TEST(Set, BeforeInicializaProgrammingSaysFtWriteIsNotValidAndSaves) {
    Rig rig;
    rig.writeConfig(EXAMPLE_CONFIG);
    rig.dialogs.queue([](InMemoryDialogView& view) {
        view.type(IDC_CONFIG_NAME, "NUEVA.TXT");
        view.type(IDC_GAIN, "200");
        view.click(IDC_ACEPTAR);
    });
    rig.ctrl->Set();
    EXPECT_EQ(rig.person.texts(), std::vector<std::string>(11, "FT_Write is not valid!"));
    const std::string saved = test::readFile(rig.drivePath("KAPTOR/CONFIG/NUEVA.TXT"));
    EXPECT_NE(saved.find("\r\n200\r\n"), std::string::npos);
    EXPECT_EQ(saved.substr(0, 17), "Ejemplo 640x496\r\n");
}

TEST(Set, AplicarAfterTypingANewNameProgramsAndSavesItThenReloadsThePrevious) {
    Rig rig;
    rig.initialise(EXAMPLE_CONFIG);
    std::string gainShownAgain;
    rig.dialogs.queue([](InMemoryDialogView& view) {
        view.type(IDC_CONFIG_NAME, "NUEVA.TXT");
        view.type(IDC_GAIN, "200");
        view.click(IDC_APLICAR);
    });
    rig.dialogs.queue([&gainShownAgain](InMemoryDialogView& view) {
        gainShownAgain = view.text(IDC_GAIN);
        view.click(IDC_CANCELAR);
    });
    rig.ctrl->Set();
    EXPECT_EQ(rig.board->registers().gain(), 200);
    const std::string saved = test::readFile(rig.drivePath("KAPTOR/CONFIG/NUEVA.TXT"));
    EXPECT_NE(saved.find("\r\n200\r\n"), std::string::npos);
    EXPECT_EQ(test::readFile(rig.drivePath("KAPTOR/CONFIG.TXT")), "EJEMPLO.TXT\r\n");
    // The test capture and the reopening read the selector's configuration again.
    EXPECT_EQ(gainShownAgain, "128");
    EXPECT_EQ(rig.ctrl->settings().gain, 128u);
    EXPECT_EQ(rig.person.texts(), std::vector<std::string>{std::string(msg::TEST_IMAGE)});
    EXPECT_EQ(rig.board->capturesStarted(), 1u);
}

TEST(Set, CancelarAfterAPickKeepsThePickedSelectorButSendsAndSavesNothing) {
    Rig rig;
    rig.writeConfig("Otra\r\n\r\n320\r\n120\r\n240\r\n20\r\n400\r\n0\r\n0\r\n", "OTRA.TXT");
    rig.initialise(EXAMPLE_CONFIG);
    const auto frames = rig.board->frames().size();
    rig.dialogs.queue([](InMemoryDialogView& view) {
        view.pick(2);
        view.click(IDC_CANCELAR);
    });
    rig.ctrl->Set();
    EXPECT_EQ(rig.board->frames().size(), frames);
    EXPECT_EQ(test::readFile(rig.drivePath("KAPTOR/CONFIG.TXT")), "OTRA.TXT\r\n");
    EXPECT_EQ(rig.ctrl->settings().pixelsPerLine, 320);
    EXPECT_EQ(rig.ctrl->frameWidth(), 640);
    EXPECT_TRUE(rig.person.messages().empty());
    // The next capture reloads the picked configuration from its file.
    rig.ctrl->Toma();
    EXPECT_EQ(rig.picture().size(), 1078u + 320u * 240u + 5000u);
}

TEST(Set, DecliningTheOverwriteQuestionKeepsTheFileButTheBoardIsProgrammed) {
    Rig rig;
    rig.initialise(EXAMPLE_CONFIG);
    const auto frames = rig.board->frames().size();
    rig.dialogs.queue([](InMemoryDialogView& view) {
        view.type(IDC_GAIN, "200");
        view.click(IDC_ACEPTAR);
    });
    rig.person.queueAnswer(platform::Answer::Cancel);
    rig.ctrl->Set();
    EXPECT_EQ(rig.person.texts(), std::vector<std::string>{std::string(msg::OVERWRITE_QUESTION)});
    EXPECT_EQ(test::readFile(rig.drivePath("KAPTOR/CONFIG/EJEMPLO.TXT")), EXAMPLE_CONFIG);
    EXPECT_EQ(rig.board->frames().size(), frames + 11);
    EXPECT_EQ(rig.board->registers().gain(), 200);
}

#ifndef _WIN32
// Limits the size of files this process writes while it lives; a write past the limit fails
// with EFBIG instead of ending the process.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit previous_{};
    void (*previousHandler_)(int);
};

// A picture file that was created but could not be written whole keeps the previous picture
// and is Toma's error for its caller: no message, no beep, no end of the process.
TEST(Toma, AWriteErrorIsTheCallersError) {
    Rig rig;
    rig.initialise(EXAMPLE_CONFIG);
    test::writeFile(rig.drivePath("KAPTOR/Imagen1.BMP"), "previous");
    automation::ExceptionInfo failure;
    std::optional<automation::HResult> hr;
    const auto exit = rig.runUntilExit([&] {
        const FileSizeLimit limit(100000);
        hr = rig.ctrl->dispatch().invoke(DISPID_TOMA, InvokeKind::Method, {}, nullptr, &failure);
    });
    EXPECT_FALSE(exit);
    EXPECT_EQ(hr, automation::RESULT_EXCEPTION);
    EXPECT_EQ(failure.source, u"Toma");
    EXPECT_EQ(failure.description,
              u"Error al escribir archivo de imagen: c:\\KAPTOR\\Imagen1.BMP (File too large)");
    EXPECT_TRUE(rig.person.messages().empty());
    EXPECT_EQ(rig.person.beeps(), 0);
    EXPECT_EQ(test::readFile(rig.drivePath("KAPTOR/Imagen1.BMP")), "previous");

    // Without the limit the same call writes the picture and beeps.
    EXPECT_EQ(rig.ctrl->dispatch().invoke(DISPID_TOMA, InvokeKind::Method, {}, nullptr),
              automation::RESULT_OK);
    EXPECT_EQ(rig.picture().size(), 323518u);
    EXPECT_EQ(rig.person.beeps(), 1);
}
#endif

}  // namespace
}  // namespace kaptor::control
