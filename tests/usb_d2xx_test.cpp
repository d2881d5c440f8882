// The driver library's device logic over a scripted chip: the background reader, the receive
// buffer's limit, reads that wait for the rest up to their time-out, purge, reset, a refused
// write and a chip that goes away.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "d2xx/fifo_device.h"
#include "platform/byte_ring.h"

namespace kaptor::usbd2xx {
namespace {

using std::chrono::milliseconds;

// The chip: bytes the test offers, handed out as the reader asks; what it was asked is kept.
struct ScriptedFifo : UsbFifo {
    int read(std::uint8_t* out, std::size_t max) override {
        if (gone) {
            return -1;
        }
        largestAsk = std::max(largestAsk.load(), max);  // only the reader writes it
        {
            const std::lock_guard lock(mutex);
            if (const std::size_t n = pending.pop(out, max); n > 0) {
                return static_cast<int>(n);
            }
        }
        // The chip's latency timer: nothing came.
        std::this_thread::sleep_for(milliseconds(1));
        return 0;
    }
    int write(const std::uint8_t* bytes, std::size_t count, unsigned) override {
        if (refuseWrites || gone) {
            return -1;
        }
        written.insert(written.end(), bytes, bytes + count);
        return static_cast<int>(count);
    }
    bool purgeReceive() override {
        ++purges;
        return true;
    }
    bool purgeTransmit() override { return true; }
    bool reset() override {
        ++resets;
        return true;
    }
    void offer(const std::vector<std::uint8_t>& bytes) {
        const std::lock_guard lock(mutex);
        pending.push(bytes.data(), bytes.size());
    }

    std::mutex mutex;  // over pending, which the reader takes from while the test offers
    platform::ByteRing pending;
    std::atomic<std::size_t> largestAsk = 0;
    std::atomic<bool> gone = false;
    // Written and read by the test's thread alone (writes, purges and resets are its calls).
    bool refuseWrites = false;
    std::vector<std::uint8_t> written;
    int purges = 0;
    int resets = 0;
};

std::vector<std::uint8_t> counting(std::size_t n, std::size_t from = 0) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<std::uint8_t>((from + i) * 7 % 251);
    }
    return bytes;
}

struct Fixture {
    explicit Fixture(std::size_t buffer = DEFAULT_RECEIVE_BUFFER)
        : device(std::unique_ptr<UsbFifo>(&fifo), buffer) {}
    // Waits (a bounded while) until the reader has buffered count bytes.
    DWORD waitQueued(DWORD count) {
        DWORD queued = 0;
        for (int i = 0; i < 2000 && queued < count; ++i) {
            device.queueStatus(queued);
            std::this_thread::sleep_for(milliseconds(1));
        }
        return queued;
    }
    ScriptedFifo& fifo = *new ScriptedFifo;  // the device's own
    FifoDevice device;
};

TEST(UsbDevice, ReadsWaitForTheRestUpToTheirTimeOutThenReturnWhatCame) {
    const struct {
        std::size_t offered;
        DWORD asked;
        DWORD timeoutMs;
        DWORD received;
        std::size_t late = 0;  // offered 20 ms into the read
    } cases[] = {
        {512, 512, 1000, 512},     // all there
        {700, 512, 1000, 512},     // more there than asked: the rest stays
        {100, 512, 60, 100},       // the time-out ends the wait: what came, status 0
        {0, 512, 0, 0},            // time-out 0: what is there, at once
        {0, 512, 5000, 512, 512},  // what comes while the read waits is handed out
    };
    for (const auto& c : cases) {
        Fixture f;
        f.device.setTimeouts(c.timeoutMs, 1000);
        f.fifo.offer(counting(c.offered));
        f.waitQueued(static_cast<DWORD>(c.offered));
        std::thread late([&f, &c] {
            std::this_thread::sleep_for(milliseconds(20));
            f.fifo.offer(counting(c.late, c.offered));
        });
        std::vector<std::uint8_t> out(c.asked);
        DWORD received = 0;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(f.device.read(out.data(), c.asked, received), d2xx::FT_OK);
        const auto waited = std::chrono::steady_clock::now() - start;
        late.join();
        out.resize(received);
        EXPECT_EQ(out, counting(c.received)) << c.offered;
        // A read waits for the whole time-out exactly when the bytes do not come.
        EXPECT_EQ(waited >= milliseconds(c.timeoutMs), c.received < c.asked) << c.offered;
    }
}

TEST(UsbDevice, AFullBufferStopsReadingAndLosesNoByte) {
    Fixture f(1024);
    f.fifo.offer(counting(5000));
    f.waitQueued(1024);
    std::this_thread::sleep_for(milliseconds(10));
    EXPECT_EQ(f.waitQueued(1024), 1024u);  // never past the buffer
    EXPECT_LE(f.fifo.largestAsk, 1024u);
    // One read larger than the buffer gets it all, a buffer's worth at a time.
    f.device.setTimeouts(1000, 1000);
    std::vector<std::uint8_t> all(5000);
    DWORD received = 0;
    EXPECT_EQ(f.device.read(all.data(), 5000, received), d2xx::FT_OK);
    all.resize(received);
    EXPECT_EQ(all, counting(5000));
}

TEST(UsbDevice, PurgeAndResetDropWhatWasReceived) {
    for (const bool reset : {false, true}) {
        Fixture f;
        f.fifo.offer(counting(300));
        f.waitQueued(300);
        EXPECT_EQ(reset ? f.device.reset() : f.device.purge(d2xx::FT_PURGE_RX), d2xx::FT_OK);
        EXPECT_EQ(reset ? f.fifo.resets : f.fifo.purges, 1);
        // What comes after is kept, and it alone.
        f.fifo.offer(counting(10));
        EXPECT_EQ(f.waitQueued(10), 10u);
    }
}

// A write reaches the chip; a refused one writes nothing; a chip that goes away fails every call
// at once.
TEST(UsbDevice, WritesAndAChipThatGoesAway) {
    Fixture f;
    DWORD written = 0;
    const std::uint8_t frame[] = {0x42, 0x02, 0x80};
    EXPECT_EQ(f.device.write(frame, 3, written), d2xx::FT_OK);
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(f.fifo.written, std::vector<std::uint8_t>(frame, frame + 3));
    f.fifo.offer(counting(100));
    f.waitQueued(100);
    f.fifo.refuseWrites = true;
    EXPECT_EQ(f.device.write(frame, 3, written), d2xx::FT_IO_ERROR);
    EXPECT_EQ(written, 0u);
    f.device.setTimeouts(10000, 1000);
    f.fifo.gone = true;
    std::vector<std::uint8_t> out(512);
    DWORD received = 0;
    const auto start = std::chrono::steady_clock::now();
    // A read waiting for the rest ends as the chip goes: what came before is still handed out,
    // with the failure.
    EXPECT_EQ(f.device.read(out.data(), 512, received), d2xx::FT_IO_ERROR);
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(5000));
    EXPECT_EQ(received, 100u);
    DWORD queued = 0;
    EXPECT_EQ(f.device.queueStatus(queued), d2xx::FT_IO_ERROR);
    EXPECT_EQ(f.device.write(out.data(), 1, written), d2xx::FT_IO_ERROR);
}

}  // namespace
}  // namespace kaptor::usbd2xx
