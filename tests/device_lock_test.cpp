// The simulated device with a lock file admits one handle at a time across processes: while a
// board in this process holds it, kaptor in another process cannot open it.
#include <gtest/gtest.h>

#include "boardsim/board.h"
#include "tests/support/kaptor_fixture.h"

namespace kaptor::test {
namespace {

using boardsim::Board;

TEST_F(Kaptor, DeviceLockAdmitsOneHandleAtATimeInThisProcessAndAnother) {
    boardsim::SimConfig config;
    config.lockPath = (dir.path() / "device.lock").string();
    const std::string lock = "KAPTOR_SIM_LOCK='" + config.lockPath + "'";
    platform::VirtualClock clock;
    Board holder(config, clock, nullptr);
    Board other(config, clock, nullptr);
    d2xx::FT_HANDLE held = nullptr;
    d2xx::FT_HANDLE refused = nullptr;
    ASSERT_EQ(holder.openByDescription("LUMENFRAME USB 1.0", &held), d2xx::FT_OK);
    EXPECT_EQ(other.openByDescription("LUMENFRAME USB 1.0", &refused), d2xx::FT_DEVICE_NOT_OPENED);

    const Outcome busy = kaptor("--sim capture", lock);
    EXPECT_EQ(busy.status, 1);
    EXPECT_EQ(busy.err, "KAPTORAX: ERROR AL ABRIR PUERTO USB. Reintente nuevamente\n");

    EXPECT_EQ(holder.close(held), d2xx::FT_OK);
    const Outcome freed = kaptor("--sim capture", lock);
    EXPECT_EQ(freed.status, 0) << freed.err;
    EXPECT_EQ(other.openByDescription("LUMENFRAME USB 1.0", &refused), d2xx::FT_OK);
}

}  // namespace
}  // namespace kaptor::test
