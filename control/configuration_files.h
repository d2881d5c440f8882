// The selector "\KAPTOR\CONFIG.TXT" and the configuration files in "\KAPTOR\CONFIG\": reading,
// saving, listing and deleting, with the operator's messages and questions. Every operation
// goes to the disk again; no file stays open between them.
#pragma once

#include <string>
#include <string_view>

#include "control/board_settings.h"
#include "control/name_list.h"
#include "platform/file_system.h"
#include "platform/operator.h"

namespace kaptor::control {

constexpr std::string_view SELECTOR_PATH = "\\KAPTOR\\CONFIG.TXT";
constexpr std::string_view CONFIG_FOLDER = "\\KAPTOR\\CONFIG\\";
constexpr std::string_view LIST_FOLDER = "C:\\KAPTOR\\CONFIG\\";
constexpr std::string_view LIST_PATTERN = "*.TXT";

// The two messages of one entry point of the reader.
struct ReaderMessages {
    std::string_view selectorMissing;
    std::string_view configurationMissing;
};

class ConfigurationFiles {
  public:
    ConfigurationFiles(platform::FileSystem& files, platform::Operator& person);

    // The selector names the configuration; its file fills settings and, when given, the two
    // text lines. A file that cannot be opened is reported and changes nothing.
    void readConfiguration(BoardSettings& settings, const ReaderMessages& messages,
                           std::string* textLine1, std::string* textLine2);

    // Writes settings under their configName, asking before an existing file is replaced.
    void saveConfiguration(const BoardSettings& settings, std::string_view textLine1,
                           std::string_view textLine2);

    void writeSelector(std::string_view configName);
    void listConfigurations(NameList& list);
    void deleteConfiguration(std::string_view configName);

  private:
    platform::FileSystem& files_;
    platform::Operator& operator_;
};

}  // namespace kaptor::control
