#include "host/hosted_control.h"

#include <cstdlib>
#include <string_view>
#include <utility>

namespace kaptor::host {

HostedControl::HostedControl(platform::DriveMap drives, std::string library,
                             ExplainingLibraryLoader::Explain explain, HostParts parts)
    : library_(std::move(library)),
      disk_(std::move(drives)),
      catcher_(disk_),
      libraries_(
          [this](const char* name) -> const char* {
              if (!library_.empty() && std::string_view(name) == "KAPTOR_D2XX_LIBRARY") {
                  return library_.c_str();
              }
              return std::getenv(name);
          },
          std::move(explain)),
      control_(std::make_unique<control::CKAPTORAXCtrl>(control::ControlServices{
          catcher_, parts.person, parts.clock, parts.processExit, libraries_, parts.dialogs})) {}

}  // namespace kaptor::host
