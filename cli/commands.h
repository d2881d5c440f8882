// The commands of kaptor, each given its own arguments (after the command's name).
#pragma once

#include <string>
#include <vector>

#include "cli/host.h"

namespace kaptor::cli {

using Arguments = std::vector<std::string>;

int runConfig(const Arguments& args, HostOptions options);
int runInvoke(const Arguments& args, HostOptions options);
int runCapture(const Arguments& args, HostOptions options);

// The worked example every new installation starts from.
extern const char* const SAMPLE_CONFIG_NAME;
extern const char* const SAMPLE_CONFIG_TEXT;

}  // namespace kaptor::cli
