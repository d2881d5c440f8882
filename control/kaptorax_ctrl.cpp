#include "control/kaptorax_ctrl.h"

#include <cstdlib>
#include <new>

#include "control/messages.h"
#include "platform/text.h"

namespace kaptor::control {

CKAPTORAXCtrl::CKAPTORAXCtrl(const ControlServices& services)
    : services_(services),
      files_(services.files, services.person),
      link_(services.libraries, services.person, services.processExit),
      acquisition_(link_, services.clock, services.person),
      dirconfig_(DEFAULT_DIRCONFIG),
      destinoimagen_(DEFAULT_DESTINOIMAGEN),
      configDialog_(files_, services.person),
      dispatch_(makeDispatch()) {
    buildHeaderTemplate(bmpHeaderTemplate_);
}

void* CKAPTORAXCtrl::operator new(std::size_t size) {
    // Zeroed pages from the system: the image buffer costs nothing until a capture writes it.
    if (void* memory = std::calloc(1, size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void CKAPTORAXCtrl::operator delete(void* memory) noexcept {
    std::free(memory);
}

void CKAPTORAXCtrl::setDirconfig(std::string value) {
    dirconfig_ = std::move(value);
    modified_ = true;
}

void CKAPTORAXCtrl::setDestinoimagen(std::string value) {
    destinoimagen_ = std::move(value);
    modified_ = true;
}

void CKAPTORAXCtrl::deriveGeometry() {
    frameWidth_ = configDialog_.settings.pixelsPerLine;
    frameLines_ = static_cast<std::int32_t>(frameLinesOf(configDialog_.settings));
}

void CKAPTORAXCtrl::Inicializa() {
    loadConfiguration();
    deriveGeometry();
    link_.openLink();
    for (int run = 0; run < 4; ++run) {
        programRegisters();
    }
}

void CKAPTORAXCtrl::Toma() {
    if (link_.sendCapture() == 0) {
        services_.person.messageBox(msg::WRITE_FAILED_TRIGGER);
        services_.processExit.exit(1);
    }
    acquireFrame();
    writeImageFile();
}

void CKAPTORAXCtrl::Set() {
    // ACEPTAR programs the board and saves; APLICAR does the same, takes a test image and opens
    // the dialog again, until it is left another way.
    const auto accepted = [](Outcome outcome) {
        return outcome == Outcome::Aceptar || outcome == Outcome::Aplicar;
    };
    loadConfiguration();
    Outcome outcome = configDialog_.run(services_.dialogs);
    if (!accepted(outcome)) {
        return;
    }
    programRegisters();
    saveConfiguration();
    while (outcome == Outcome::Aplicar) {
        services_.person.messageBox(msg::TEST_IMAGE);
        Toma();
        loadConfiguration();
        outcome = configDialog_.run(services_.dialogs);
        if (!accepted(outcome)) {
            break;
        }
        programRegisters();
        saveConfiguration();
    }
    deriveGeometry();
}

void CKAPTORAXCtrl::AboutBox() {
    services_.dialogs.runAboutBox();
}

void CKAPTORAXCtrl::loadConfiguration() {
    files_.readConfiguration(configDialog_.settings,
                             {msg::SELECTOR_OPEN_CONTROL, msg::CONFIG_OPEN_CONTROL}, &textLine1_,
                             &textLine2_);
}

void CKAPTORAXCtrl::saveConfiguration() {
    files_.saveConfiguration(configDialog_.settings, textLine1_, textLine2_);
}

void CKAPTORAXCtrl::programRegisters() {
    updateRegisterImage(registers_, configDialog_.settings);
    for (const CommandFrame& frame : programmingSequence(registers_)) {
        link_.sendCommand(frame);
    }
    deriveGeometry();
}

void CKAPTORAXCtrl::acquireFrame() {
    loadConfiguration();
    acquisition_.acquire(configDialog_.settings, frameWidth_, frameLines_, imageBuffer_);
}

void CKAPTORAXCtrl::writeImageFile() {
    bmpHeader_ = bmpHeaderTemplate_;
    patchHeaderDimensions(bmpHeader_, frameWidth_, frameLines_);
    const BmpWriteOutcome outcome = writeBmpFile(services_.files, destinoimagen_, bmpHeader_,
                                                 imageBuffer_, frameWidth_, frameLines_);
    if (outcome.result == BmpWrite::NotCreated) {
        services_.person.messageBox(msg::IMAGE_CREATE_FAILED);
        services_.processExit.exit(1);
    }
    if (outcome.result == BmpWrite::WriteFailed) {
        // The previous picture stays; the failure is the caller's to handle, without a beep.
        std::string description = "Error al escribir archivo de imagen: " + destinoimagen_;
        if (outcome.error) {
            description += " (" + outcome.error.message() + ")";
        }
        throw automation::MethodError(description, outcome.error);
    }
    services_.person.beep(platform::Beep::Exclamation);
}

std::unique_ptr<automation::Dispatch> CKAPTORAXCtrl::makeDispatch() {
    using automation::DispatchMember;
    const auto text = [](const std::string& value) { return platform::cp1252ToUtf16(value); };
    std::vector<DispatchMember> members;
    // Text the control cannot hold exactly is refused, and the property keeps its value.
    const auto put = [](auto setter) {
        return [setter](const automation::Bstr& v) {
            const auto held = platform::utf16ToControlText(v);
            if (!held) {
                return automation::RESULT_INVALID_ARGUMENT;
            }
            setter(*held);
            return automation::RESULT_OK;
        };
    };
    members.push_back({DISPID_DIRCONFIG, u"dirconfig", [this, text] { return text(dirconfig_); },
                       put([this](std::string v) { setDirconfig(std::move(v)); }), nullptr});
    members.push_back({DISPID_DESTINOIMAGEN, u"destinoimagen",
                       [this, text] { return text(destinoimagen_); },
                       put([this](std::string v) { setDestinoimagen(std::move(v)); }), nullptr});
    members.push_back({DISPID_TOMA, u"Toma", nullptr, nullptr, [this] { Toma(); }});
    members.push_back(
        {DISPID_INICIALIZA, u"Inicializa", nullptr, nullptr, [this] { Inicializa(); }});
    members.push_back({DISPID_SET, u"Set", nullptr, nullptr, [this] { Set(); }});
    members.push_back(
        {automation::ABOUTBOX_DISPID, u"AboutBox", nullptr, nullptr, [this] { AboutBox(); }});
    return std::make_unique<automation::DispatchTable>(std::move(members));
}

}  // namespace kaptor::control
