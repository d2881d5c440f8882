// The simulated device with a lock file admits one handle at a time across processes: while a
// board in this process holds it, kaptor in another process cannot open it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "boardsim/board.h"
#include "tests/support/temp_dir.h"

namespace kaptor::boardsim {
namespace {

struct Outcome {
    int status;
    std::string err;
};

Outcome kaptor(const test::TempDir& dir, const std::string& lock, const std::string& args) {
    const auto err = dir.path() / "err.txt";
    const std::string command =
        "env KAPTOR_DRIVE_C='" + (dir.path() / "c").string() + "' KAPTOR_D2XX_LIBRARY='" +
        KAPTOR_LIB_DIR + "/libkaptorsim.so' KAPTOR_SIM_LOCK='" + lock + "' '" + KAPTOR_BIN_DIR +
        "/kaptor' " + args + " >/dev/null 2>'" + err.string() + "' </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::readFile(err)};
}

TEST(DeviceLock, OneHandleAtATimeInThisProcessAndAnother) {
    test::TempDir dir;
    const std::string lock = (dir.path() / "device.lock").string();
    platform::VirtualClock clock;
    SimConfig config;
    config.lockPath = lock;
    Board holder(config, clock, nullptr);
    Board other(config, clock, nullptr);
    FT_HANDLE held = nullptr;
    FT_HANDLE refused = nullptr;
    ASSERT_EQ(holder.openByDescription("LUMENFRAME USB 1.0", &held), d2xx::FT_OK);
    EXPECT_EQ(other.openByDescription("LUMENFRAME USB 1.0", &refused), d2xx::FT_DEVICE_NOT_OPENED);

    ASSERT_EQ(kaptor(dir, lock, "config init").status, 0);
    const Outcome busy = kaptor(dir, lock, "--sim capture");
    EXPECT_EQ(busy.status, 1);
    EXPECT_EQ(busy.err, "KAPTORAX: ERROR AL ABRIR PUERTO USB. Reintente nuevamente\n");

    EXPECT_EQ(holder.close(held), d2xx::FT_OK);
    const Outcome freed = kaptor(dir, lock, "--sim capture");
    EXPECT_EQ(freed.status, 0) << freed.err;
    EXPECT_EQ(other.openByDescription("LUMENFRAME USB 1.0", &refused), d2xx::FT_OK);
}

}  // namespace
}  // namespace kaptor::boardsim
