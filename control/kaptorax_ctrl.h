// The capture control: it owns every piece of state of the system and offers the automation
// interface a host drives it by (two text properties, four methods, fixed dispatch ids).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "automation/dispatch.h"
#include "control/bmp_file.h"
#include "control/board_commands.h"
#include "control/board_config_dlg.h"
#include "control/configuration_files.h"
#include "control/control_services.h"
#include "control/frame_acquisition.h"
#include "control/usb_link.h"

namespace kaptor::control {

constexpr automation::DispId DISPID_DIRCONFIG = 1;
constexpr automation::DispId DISPID_DESTINOIMAGEN = 2;
constexpr automation::DispId DISPID_TOMA = 3;
constexpr automation::DispId DISPID_INICIALIZA = 4;
constexpr automation::DispId DISPID_SET = 5;

// What the two properties hold from construction, and again when a host loads a saved state.
constexpr const char* DEFAULT_DIRCONFIG = "\\KAPTOR\\";
constexpr const char* DEFAULT_DESTINOIMAGEN = "\\AAAA\\";

constexpr std::size_t IMAGE_BUFFER_SIZE = 1571894;

// Made only on the heap (std::make_unique): its operator new hands out zeroed memory, so the
// 1.5 MB image buffer reads as zero before the first capture without being written at
// construction. The private destructor keeps it off the stack and out of other objects.
class CKAPTORAXCtrl {
  public:
    explicit CKAPTORAXCtrl(const ControlServices& services);
    static void* operator new(std::size_t size);
    static void operator delete(void* memory) noexcept;
    CKAPTORAXCtrl(const CKAPTORAXCtrl&) = delete;
    CKAPTORAXCtrl& operator=(const CKAPTORAXCtrl&) = delete;

    // Automation members.
    std::string getDirconfig() const { return dirconfig_; }
    void setDirconfig(std::string value);
    std::string getDestinoimagen() const { return destinoimagen_; }
    void setDestinoimagen(std::string value);
    void Toma();
    void Inicializa();
    void Set();
    void AboutBox();

    // The dispatch interface: members by id, texts as UTF-16.
    automation::Dispatch& dispatch() { return *dispatch_; }

    // Operations the methods are built from.
    void loadConfiguration();
    void saveConfiguration();
    void programRegisters();
    void acquireFrame();
    void writeImageFile();

    // State, for hosts and tests to look at.
    bool isModified() const { return modified_; }
    const BoardSettings& settings() const { return configDialog_.settings; }
    CBoardConfigDlg& configDialog() { return configDialog_; }
    const std::string& textLine1() const { return textLine1_; }
    const std::string& textLine2() const { return textLine2_; }
    const RegisterImage& registers() const { return registers_; }
    const BmpHeader& bmpHeaderTemplate() const { return bmpHeaderTemplate_; }
    const BmpHeader& bmpHeader() const { return bmpHeader_; }
    const std::array<std::uint8_t, IMAGE_BUFFER_SIZE>& imageBuffer() const { return imageBuffer_; }
    std::int32_t frameWidth() const { return frameWidth_; }
    std::int32_t frameLines() const { return frameLines_; }
    UsbLink& link() { return link_; }

  private:
    friend struct std::default_delete<CKAPTORAXCtrl>;
    ~CKAPTORAXCtrl() = default;

    void deriveGeometry();
    std::unique_ptr<automation::Dispatch> makeDispatch();

    ControlServices services_;
    ConfigurationFiles files_;
    UsbLink link_;
    FrameAcquisition acquisition_;
    std::string dirconfig_;
    std::string destinoimagen_;
    BmpHeader bmpHeaderTemplate_{};
    std::string textLine2_;
    std::string textLine1_;
    RegisterImage registers_;
    BmpHeader bmpHeader_{};
    // The assembled frame, bottom row first; zero until the first capture fills it (left
    // uninitialised here: the memory comes zeroed from operator new).
    std::array<std::uint8_t, IMAGE_BUFFER_SIZE> imageBuffer_;
    CBoardConfigDlg configDialog_;
    std::int32_t frameWidth_ = 0;
    std::int32_t frameLines_ = 0;
    bool modified_ = false;
    std::unique_ptr<automation::Dispatch> dispatch_;
};

static_assert(sizeof(std::array<std::uint8_t, IMAGE_BUFFER_SIZE>) == 1571894);

}  // namespace kaptor::control
