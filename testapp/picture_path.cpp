#include "testapp/picture_path.h"

#include <cstdlib>

#include "platform/drive_map.h"
#include "platform/text.h"

namespace kaptor::kapshot {

std::wstring pictureFilePath(const std::wstring& controlPath) {
    const std::string ansi = platform::utf16ToCp1252(std::u16string_view(
        reinterpret_cast<const char16_t*>(controlPath.data()), controlPath.size()));
    const auto drives = platform::DriveMap::fromEnvironment(std::getenv);
    const auto resolved = drives.resolve(ansi);
    return resolved ? resolved->wstring() : controlPath;
}

}  // namespace kaptor::kapshot
