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
using platform::Answer;
using test::EXAMPLE_CONFIG;
using namespace std::string_literals;
using test::clickOn;
using test::Rig;
using test::typeInto;

// What a new control holds. Controls that captured and went away leave their memory to the
// allocator: a new control's image buffer must read all zero all the same.
TEST(Control, ConstructionDefaults) {
    for (int round = 0; round < 3; ++round) {
        Rig rig({.replay = std::vector<std::uint8_t>(640 * 496, 0xAB)});
        rig.initialise(EXAMPLE_CONFIG);
        rig.ctrl->Toma();
        ASSERT_EQ(rig.ctrl->imageBuffer()[0], 0xAB);
    }
    Rig rig;
    const auto& image = rig.ctrl->imageBuffer();
    EXPECT_EQ(std::tuple(rig.ctrl->getDirconfig(), rig.ctrl->getDestinoimagen(),
                         rig.ctrl->isModified(), rig.ctrl->settings(), rig.ctrl->link().isOpen(),
                         rig.ctrl->registers().regControl,
                         std::count(image.begin(), image.end(), 0), rig.person.texts()),
              std::tuple("\\KAPTOR\\", "\\AAAA\\", false, BoardSettings{}, false, 0,
                         IMAGE_BUFFER_SIZE, std::vector<std::string>{}));
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

    // Every member by its name, in any case.
    std::vector<automation::DispId> ids;
    for (const char16_t* name :
         {u"dirconfig", u"DESTINOIMAGEN", u"Toma", u"Inicializa", u"Set", u"AboutBox"}) {
        automation::DispId id = 0;
        EXPECT_EQ(d.getIdOfName(name, id), automation::RESULT_OK);
        ids.push_back(id);
    }
    EXPECT_EQ(ids, (std::vector<automation::DispId>{1, 2, 3, 4, 5, -552}));
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

// Each way of leaving the dialog: what reaches the board, the files and the person. The list
// holds EJEMPLO.TXT (in use) and OTRA.TXT (320 x 240, not interlaced).
TEST(Set, WhatEachWayOfLeavingSendsSavesAndSays) {
    const std::string question(msg::OVERWRITE_QUESTION), test(msg::TEST_IMAGE);
    const test::PersonAction nueva = typeInto(IDC_CONFIG_NAME, "NUEVA.TXT");
    std::string gain200 = EXAMPLE_CONFIG;
    gain200.replace(gain200.find("\r\n128\r\n"), 7, "\r\n200\r\n");
    const struct {
        const char* name;
        bool initialised;  // Inicializa before Set
        std::vector<std::vector<test::PersonAction>> openings;
        std::vector<platform::Answer> answers;
        std::vector<std::string> events;  // messages and beeps, in order
        std::size_t frames;  // sent by Set: 11 a programming, 1 a capture (never 11 captures)
        std::int32_t boardGain;
        const char* selector;
        const char* file;  // in the configuration folder, holding saved afterwards
        std::string saved;
        std::int32_t pixels;  // the record after Set
        std::size_t picture;  // the next Toma's file
    } cases[] = {
        // clang-format off
        // A check-box click stores the fields at once: live, but neither sent nor saved.
        {"CANCELAR", true, {{typeInto(IDC_PIXELS_PER_LINE, "320"), clickOn(IDC_FIELD_INVERSION),
          clickOn(IDC_CANCELAR)}}, {}, {},
         0, 128, "EJEMPLO.TXT", "EJEMPLO.TXT", EXAMPLE_CONFIG, 320, 323518},
        {"APLICAR, APLICAR, ACEPTAR", true,
         {{clickOn(IDC_APLICAR)}, {clickOn(IDC_APLICAR)}, {clickOn(IDC_ACEPTAR)}},
         {Answer::Ok, Answer::Ok, Answer::Ok},
         {question, test, "BEEP", question, test, "BEEP", question},
         3 * 11 + 2, 128, "EJEMPLO.TXT", "EJEMPLO.TXT", EXAMPLE_CONFIG, 640, 323518},
        {"ACEPTAR before Inicializa: FT_Write is not valid, the file is saved", false,
         {{nueva, typeInto(IDC_GAIN, "200"), clickOn(IDC_ACEPTAR)}},
         {}, std::vector<std::string>(11, "FT_Write is not valid!"),
         0, 128, "NUEVA.TXT", "NUEVA.TXT", gain200, 640, 0},
        // The test capture and the reopening read the selector's configuration again.
        {"APLICAR after typing a new name, then CANCELAR", true,
         {{nueva, typeInto(IDC_GAIN, "200"), clickOn(IDC_APLICAR)}, {}},
         {}, {test, "BEEP"},
         11 + 1, 200, "EJEMPLO.TXT", "NUEVA.TXT", gain200, 640, 323518},
        // The next capture reloads the picked configuration from its file.
        {"CANCELAR after a pick keeps the picked selector", true,
         {{test::pickEntry(2), clickOn(IDC_CANCELAR)}},
         {}, {},
         0, 128, "OTRA.TXT", "EJEMPLO.TXT", EXAMPLE_CONFIG, 320, 1078 + 320 * 240 + 5000},
        {"declining the overwrite question programs the board but keeps the file", true,
         {{typeInto(IDC_GAIN, "200"), clickOn(IDC_ACEPTAR)}}, {Answer::Cancel}, {question},
         11, 200, "EJEMPLO.TXT", "EJEMPLO.TXT", EXAMPLE_CONFIG, 640, 323518},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.writeConfig("Otra\r\n\r\n320\r\n120\r\n240\r\n20\r\n400\r\n0\r\n0\r\n", "OTRA.TXT");
        if (c.initialised) {
            rig.initialise(EXAMPLE_CONFIG);
        } else {
            rig.writeConfig(EXAMPLE_CONFIG);
        }
        const auto frames = rig.board->frames().size();
        const auto captures = rig.board->capturesStarted();
        for (const auto& opening : c.openings) {
            rig.dialogs.queue(opening);
        }
        for (const Answer answer : c.answers) {
            rig.person.queueAnswer(answer);
        }
        rig.ctrl->Set();
        EXPECT_EQ(rig.dialogs.runs, static_cast<int>(c.openings.size()));
        EXPECT_EQ(rig.person.events(), c.events);
        EXPECT_EQ(rig.board->frames().size(), frames + c.frames);
        EXPECT_EQ(rig.board->capturesStarted() - captures, c.frames % 11);
        EXPECT_EQ(rig.board->registers().gain(), c.boardGain);
        EXPECT_EQ(test::readFile(rig.drivePath("KAPTOR/CONFIG.TXT")), c.selector + "\r\n"s);
        EXPECT_EQ(test::readFile(rig.drivePath("KAPTOR/CONFIG/"s + c.file)), c.saved);
        EXPECT_EQ(rig.ctrl->settings().pixelsPerLine, c.pixels);
        EXPECT_EQ(rig.ctrl->frameWidth(), 640);
        if (c.picture != 0) {
            rig.ctrl->Toma();
            EXPECT_EQ(rig.picture().size(), c.picture);
        }
    }
}

#ifndef _WIN32
// A picture file that was created but could not be written whole keeps the previous picture
// and is Toma's error for its caller: no message, no beep, no end of the process.
TEST(Toma, AWriteErrorIsTheCallersError) {
    Rig rig;
    rig.initialise(EXAMPLE_CONFIG);
    test::writeFile(rig.drivePath("KAPTOR/Imagen1.BMP"), "previous");
    automation::ExceptionInfo failure;
    std::optional<automation::HResult> hr;
    // Files this process writes are limited to 100000 bytes for the call; a write past the
    // limit fails with EFBIG instead of ending the process.
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limit = previous;
    limit.rlim_cur = 100000;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const auto exit = rig.runUntilExit([&] {
        hr = rig.ctrl->dispatch().invoke(DISPID_TOMA, InvokeKind::Method, {}, nullptr, &failure);
    });
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(
        std::tuple(exit, hr, failure.source, failure.description, rig.person.events(),
                   test::readFile(rig.drivePath("KAPTOR/Imagen1.BMP"))),
        std::tuple(std::nullopt, automation::RESULT_EXCEPTION, u"Toma",
                   u"Error al escribir archivo de imagen: c:\\KAPTOR\\Imagen1.BMP (File too large)",
                   std::vector<std::string>{}, "previous"));
}
#endif

}  // namespace
}  // namespace kaptor::control
