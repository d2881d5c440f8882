#pragma once

namespace kaptor::cli {

extern const char* const USAGE_MAIN;
extern const char* const USAGE_CONFIG;
extern const char* const USAGE_INVOKE;
extern const char* const USAGE_CAPTURE;

}  // namespace kaptor::cli
