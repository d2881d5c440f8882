#include "tests/support/rig.h"

namespace kaptor::test {

const char* const EXAMPLE_CONFIG =
    "Ejemplo 640x496\r\nCamara de prueba\r\n640\r\n120\r\n248\r\n20\r\n800\r\n0\r\n1\r\n128\r\n"
    "64\r\n0\r\n10\r\n0\r\n0\r\n0\r\n";

void ScriptedDialogRunner::runConfigDialog(control::CBoardConfigDlg& dialog) {
    const std::size_t index = static_cast<std::size_t>(runs++);
    control::InMemoryDialogView view(dialog);
    view.open();
    if (index < openings_.size()) {
        perform(view, openings_[index], snapshots);
    }
    if (!view.ended()) {
        view.click(control::IDC_CANCELAR);
    }
}

Rig::Rig(RigOptions options) {
    files =
        std::make_unique<platform::HostFileSystem>(platform::DriveMap({{'C', drive.path()}}, 'C'));
    std::string error;
    auto source = options.replay.empty() ? boardsim::pictureSourceOf(options.sim, error)
                                         : boardsim::makeBytesSource(options.replay);
    board = std::make_unique<boardsim::Board>(options.sim, clock, std::move(source));
    activeBoard = std::make_unique<boardsim::ScopedActiveBoard>(*board);
    if (options.withBoardLibrary) {
        libraries.add("Ftd2xx.dll", boardsim::d2xxFunctionTable());
        for (const auto& name : options.hiddenFunctions) {
            libraries.hide("Ftd2xx.dll", name);
        }
    }
    ctrl = std::make_unique<control::CKAPTORAXCtrl>(control::ControlServices{
        *files, person, clock, processExit, libraries,
        options.dialogRunner != nullptr ? *options.dialogRunner : dialogs});
}

void Rig::writeConfig(const std::string& text, const std::string& name) {
    writeFile(drive.path() / "KAPTOR" / "CONFIG.TXT", name + "\r\n");
    writeFile(drive.path() / "KAPTOR" / "CONFIG" / name, text);
}

std::filesystem::path Rig::drivePath(const std::string& relative) const {
    return drive.path() / relative;
}

void Rig::initialise(const std::string& configText) {
    writeConfig(configText);
    ctrl->setDestinoimagen("c:\\KAPTOR\\Imagen1.BMP");
    ctrl->Inicializa();
}

std::vector<std::uint8_t> Rig::picture() const {
    return readBytes(drivePath("KAPTOR/Imagen1.BMP"));
}

std::optional<int> Rig::runUntilExit(const std::function<void()>& f) {
    try {
        f();
    } catch (const platform::ProcessExitRequested& exit) {
        return exit.status;
    }
    return std::nullopt;
}

std::string hex(const std::vector<std::uint8_t>& bytes) {
    return boardsim::hexBytes(bytes.data(), bytes.size()).erase(0, 1);  // without the first blank
}

}  // namespace kaptor::test
