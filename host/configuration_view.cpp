#include "host/configuration_view.h"

#include "control/config_text.h"
#include "control/dialog_exchange.h"

namespace kaptor::host {

NamedSettings namedSettings(const control::CKAPTORAXCtrl& ctrl) {
    const control::BoardSettings& s = ctrl.settings();
    return {
        {
            {"configName", s.configName},
            {"textLine1", ctrl.textLine1()},
            {"textLine2", ctrl.textLine2()},
        },
        {
            {"pixelsPerLine", s.pixelsPerLine},
            {"horizontalPosition", s.horizontalPosition},
            {"activeLines", s.activeLines},
            {"verticalPosition", s.verticalPosition},
            {"pllPixelTotal", s.pllPixelTotal},
            {"pixelInterleave", s.pixelInterleave},
            {"interlaced", s.interlaced},
            {"gain", s.gain},
            {"offset", s.offset},
            {"inputConfig", s.inputConfig},
            {"sensitivity", s.sensitivity},
            {"dicom", s.dicom},
            {"fieldInversion", s.fieldInversion},
            {"singleField", s.singleField},
        },
    };
}

std::vector<std::string> configurationNames(control::CKAPTORAXCtrl& ctrl) {
    return ctrl.configDialog().configurationNames();
}

const char* whyNotSelectable(platform::FileSystem& files, const std::string& name) {
    if (!control::isPlainFileName(name)) {
        return "is not a plain file name";
    }
    if (name.size() > control::CONFIG_NAME_MAX_LENGTH) {
        return "is longer than 30 characters";
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return "holds a control character";
        }
    }
    if (!files.exists(std::string(control::CONFIG_FOLDER) + name)) {
        return "is not in the configuration folder (see 'kaptor config list')";
    }
    return nullptr;
}

}  // namespace kaptor::host
