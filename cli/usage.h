#pragma once

namespace kaptor::cli {

extern const char* const USAGE_MAIN;
extern const char* const USAGE_CONFIG;
extern const char* const USAGE_INVOKE;
extern const char* const USAGE_CAPTURE;
extern const char* const USAGE_SET;
extern const char* const USAGE_DEVICES;

}  // namespace kaptor::cli
