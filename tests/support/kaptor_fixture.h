// kaptor as a user runs it: a real process on a drive of its own, with the simulated board's
// shared library, its output and exit status read back.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace kaptor::test {

struct Outcome {
    int status;
    std::string out;
    std::string err;
    bool operator==(const Outcome&) const = default;
};

inline void PrintTo(const Outcome& o, std::ostream* out) {
    *out << "status " << o.status << ", out \"" << o.out << "\", err \"" << o.err << '"';
}

// Every case begins on a drive with kaptor's sample configuration.
class Kaptor : public ::testing::Test {
  protected:
    TempDir dir;

    void SetUp() override { ASSERT_EQ(kaptor("config init").status, 0); }

    // Runs kaptor with the drive and the given environment; the simulated board unless a
    // library is named. shell runs first in the same shell (limits, signal dispositions). A
    // run that hangs is ended after 60 s and reads as status 124.
    Outcome kaptor(const std::string& args, const std::string& env = "",
                   const std::string& library = "libkaptorsim.so", const std::string& shell = "") {
        const auto out = dir.path() / "out.txt";
        const auto err = dir.path() / "err.txt";
        const std::string command = "(" + shell + " exec timeout 60 env KAPTOR_DRIVE_C='" +
                                    (dir.path() / "c").string() + "' KAPTOR_D2XX_LIBRARY='" +
                                    std::string(KAPTOR_LIB_DIR) + "/" + library + "' " + env +
                                    " '" + std::string(KAPTOR_BIN_DIR) + "/kaptor' " + args +
                                    ") >'" + out.string() + "' 2>'" + err.string() + "' </dev/null";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
    }
    std::filesystem::path drive(const std::string& relative) { return dir.path() / "c" / relative; }
};

}  // namespace kaptor::test
