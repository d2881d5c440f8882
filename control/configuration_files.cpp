#include "control/configuration_files.h"

#include "control/config_text.h"
#include "control/messages.h"

namespace kaptor::control {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

ConfigurationFiles::ConfigurationFiles(platform::FileSystem& files, platform::Operator& person)
    : files_(files), operator_(person) {}

void ConfigurationFiles::readConfiguration(BoardSettings& settings, const ReaderMessages& messages,
                                           std::string* textLine1, std::string* textLine2) {
    if (const auto selector = files_.readUpTo(SELECTOR_PATH, SELECTOR_READ_LIMIT)) {
        settings.configName = parseSelector(*selector);
    } else {
        operator_.messageBox(messages.selectorMissing);
    }

    // A name that is not a plain file name would lead out of the folder: it cannot be opened.
    const auto text =
        isPlainFileName(settings.configName)
            ? files_.readUpTo(std::string(CONFIG_FOLDER) + settings.configName, CONFIG_READ_LIMIT)
            : std::nullopt;
    if (!text) {
        operator_.messageBox(messages.configurationMissing);
        return;
    }
    std::string line1;
    std::string line2;
    parseConfiguration(*text, settings, line1, line2);
    if (textLine1 != nullptr && textLine2 != nullptr) {
        *textLine1 = std::move(line1);
        *textLine2 = std::move(line2);
    }
}

void ConfigurationFiles::saveConfiguration(const BoardSettings& settings,
                                           std::string_view textLine1, std::string_view textLine2) {
    if (!isPlainFileName(settings.configName)) {
        operator_.messageBox(msg::CONFIG_NAME_INVALID);
        return;
    }
    const std::string path = std::string(CONFIG_FOLDER) + settings.configName;
    if (files_.exists(path) && operator_.messageBox(msg::OVERWRITE_QUESTION, Buttons::OkCancel,
                                                    Icon::Exclamation) == Answer::Cancel) {
        return;
    }
    if (!platform::replaceWholeFile(files_, path,
                                    formatConfiguration(settings, textLine1, textLine2))) {
        operator_.messageBox(msg::CONFIG_WRITE_FAILED);
    }
}

void ConfigurationFiles::writeSelector(std::string_view configName) {
    if (!platform::replaceWholeFile(files_, SELECTOR_PATH, formatSelector(configName))) {
        operator_.messageBox(msg::SELECTOR_WRITE_FAILED);
    }
}

void ConfigurationFiles::listConfigurations(NameList& list) {
    list.clear();
    std::string name;
    const auto find = files_.findFirst(std::string(LIST_FOLDER) + std::string(LIST_PATTERN), name);
    if (!find) {
        return;
    }
    // Only names that fit the buffer whole are counted, so the count always matches it.
    std::int32_t count = 0;
    for (;;) {
        count += list.append(name) ? 1 : 0;
        const std::uint32_t status = find->next(name);
        if (status == platform::FIND_OK) {
            continue;
        }
        if (status == platform::ERROR_NO_MORE_FILES) {
            list.listCount = count;
            if (!find->close()) {
                operator_.messageBox(msg::FIND_CLOSE_FAILED);
                list.listCount = 0;
            }
            return;
        }
        operator_.messageBox(msg::FIND_NEXT_FAILED);
        list.listCount = 0;
        find->close();
        return;
    }
}

void ConfigurationFiles::deleteConfiguration(std::string_view configName) {
    if (!isPlainFileName(configName)) {
        operator_.messageBox(msg::CONFIG_NAME_INVALID);
        return;
    }
    files_.remove(std::string(LIST_FOLDER) + std::string(configName));
}

}  // namespace kaptor::control
