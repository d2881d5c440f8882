// What every host builds the control on: the files of the mapped drives, with the picture path
// that lands in memory, and the driver library (KAPTOR_D2XX_LIBRARY unless the host names one,
// a failed load explained the host's way). The host brings the operator, the clock, the
// process exit and the dialogs, which are where hosts differ.
#pragma once

#include <memory>
#include <string>

#include "control/kaptorax_ctrl.h"
#include "host/explaining_library_loader.h"
#include "host/picture_catcher.h"
#include "platform/file_system.h"

namespace kaptor::host {

struct HostParts {
    platform::Operator& person;
    platform::Clock& clock;
    platform::ProcessExit& processExit;
    control::DialogRunner& dialogs;
};

class HostedControl {
  public:
    // library: the driver library to load instead of KAPTOR_D2XX_LIBRARY's; empty for none.
    HostedControl(platform::DriveMap drives, std::string library,
                  ExplainingLibraryLoader::Explain explain, HostParts parts);

    // The control; only between construction and end().
    control::CKAPTORAXCtrl& control() { return *control_; }
    bool ended() const { return control_ == nullptr; }
    // As the end of a process would: the control goes, and its link closes the device.
    void end() { control_.reset(); }

    PictureCatcher& files() { return catcher_; }
    // The loader the control loads its driver library through.
    ExplainingLibraryLoader& libraries() { return libraries_; }
    platform::HostFileSystem& disk() { return disk_; }

  private:
    std::string library_;
    platform::HostFileSystem disk_;
    PictureCatcher catcher_;
    ExplainingLibraryLoader libraries_;
    std::unique_ptr<control::CKAPTORAXCtrl> control_;
};

}  // namespace kaptor::host
