// Drives an installed KAPSHOT from outside, as a person would: start it, press "Adquiere",
// wait for the picture, close it.
#pragma once

#include <string>

namespace kaptor::release {

// Starts PROGRAM in its own folder, presses "Adquiere" on its Form1, waits for PICTURE to
// appear and closes the form. Returns an empty string on success, else what went wrong
// (including the text of any message box KAPSHOT showed).
std::string captureWithKapshot(const std::string& program, const std::string& picture);

}  // namespace kaptor::release
