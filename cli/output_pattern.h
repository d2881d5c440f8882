// The picture path of one capture: strftime fields of the capture's time, and %n for the
// capture's number (from 1), so repeated captures can each get a file of their own.
#pragma once

#include <ctime>
#include <string>

namespace kaptor::cli {

std::string expandOutputPattern(const std::string& pattern, const std::tm& when, int number);

}  // namespace kaptor::cli
