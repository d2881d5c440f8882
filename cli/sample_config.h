// The worked example every new installation starts from: a 640 x 496 interlaced picture.
#pragma once

namespace kaptor::cli {

extern const char* const SAMPLE_CONFIG_NAME;
extern const char* const SAMPLE_CONFIG_TEXT;

}  // namespace kaptor::cli
