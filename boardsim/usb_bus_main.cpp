// kaptor-usb-board: runs a command with simulated boards attached to an emulated USB bus.
//   kaptor-usb-board [--boards N] [--serial SERIAL]... [--scene FILE]... [--product TEXT]
//                    -- COMMAND [ARGUMENT]...
// Each board is the simulator's board model behind an FT232H-class FIFO chip (usb_surface.h),
// held in a umockdev test bed: its sysfs entry and descriptors, and a handler on its device node
// that answers the usbdevfs requests of the host's USB stack. The command runs with umockdev's
// preload library, so that libusb (and libftdi over it) finds the boards; the KAPTOR_SIM_*
// variables set up every board as they set up the D2XX simulator, --scene the boards in turn
// (KAPTOR_SIM_BUFFER sizes the chip's FIFO here; the faults of the D2XX calls themselves,
// queue-status-fails and read-status, have no USB counterpart and change nothing).
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <umockdev.h>
#include <unistd.h>

#include "boardsim/board.h"
#include "boardsim/sim_config.h"
#include "boardsim/usb_surface.h"
#include "boardsim/usbdevfs_board.h"
#include "platform/clock.h"

namespace kaptor::boardsim {
namespace {

std::string hex(const std::vector<std::uint8_t>& bytes) {
    static constexpr char DIGITS[] = "0123456789abcdef";
    std::string out;
    for (const std::uint8_t b : bytes) {
        out += DIGITS[b >> 4];
        out += DIGITS[b & 15];
    }
    return out;
}

// The sysfs entry and device node of board number (from 1) on bus 1.
void attach(UMockdevTestbed* bed, int number, const std::string& serial, const std::string& product,
            UsbdevfsBoard& board) {
    char node[64];
    std::snprintf(node, sizeof node, "/dev/bus/usb/001/%03d", number + 1);
    umockdev_testbed_attach_ioctl(bed, node, board.handler(), nullptr);
    const std::string n = std::to_string(number + 1);
    const std::string entry =
        "P: /devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(number) +
        "\nN: " + std::string(node + 5) +
        "\nE: SUBSYSTEM=usb\nE: DRIVER=usb\nE: BUSNUM=001\nE: DEVNUM=" + n +
        "\nE: DEVNAME=" + node + "\nE: DEVTYPE=usb_device" + "\nA: busnum=1\\n\nA: devnum=" + n +
        "\\n\nA: bConfigurationValue=1\\n\nA: speed=480\\n" +
        "\nA: idVendor=0403\\n\nA: idProduct=6014\\n\nA: product=" + product +
        "\\n\nA: serial=" + serial + "\\n\nH: descriptors=" + hex(board.descriptors()) + "\n";
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(bed, entry.c_str(), &error)) {
        std::fprintf(stderr, "kaptor-usb-board: %s\n", error->message);
        g_error_free(error);
        std::exit(2);
    }
}

int usage() {
    std::fprintf(stderr,
                 "usage: kaptor-usb-board [--boards N] [--serial SERIAL]... [--scene FILE]... "
                 "[--product TEXT] -- COMMAND [ARGUMENT]...\n");
    return 2;
}

int run(int argc, char** argv) {
    int count = 1;
    std::vector<std::string> serials;
    std::vector<std::string> scenes;
    std::string product = "LUMENFRAME USB 1.0";
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            return usage();
        }
        const std::string value = argv[++i];
        if (option == "--boards") {
            count = std::atoi(value.c_str());
        } else if (option == "--serial") {
            serials.push_back(value);
        } else if (option == "--scene") {
            scenes.push_back(value);
        } else if (option == "--product") {
            product = value;
        } else {
            return usage();
        }
    }
    if (i + 1 >= argc || count < 0 || count > 100) {
        return usage();
    }
    count = std::max<int>(count, static_cast<int>(serials.size()));

    platform::RealClock clock;
    UMockdevTestbed* bed = umockdev_testbed_new();
    std::vector<std::unique_ptr<UsbdevfsBoard>> boards;
    for (int b = 0; b < count; ++b) {
        std::string error;
        SimConfig config = configFromEnvironment(std::getenv, error);
        if (config.faults.noDevice) {
            // The no-device fault: nothing is plugged in.
            break;
        }
        if (static_cast<std::size_t>(b) < scenes.size()) {
            config.scenePath = scenes[static_cast<std::size_t>(b)];
        }
        std::unique_ptr<PictureSource> source = pictureSourceOf(config, error);
        if (!error.empty()) {
            std::fprintf(stderr, "kaptorsim: %s\n", error.c_str());
        }
        char made[16];
        std::snprintf(made, sizeof made, "KPT%05d", b + 1);
        const std::string serial = static_cast<std::size_t>(b) < serials.size()
                                       ? serials[static_cast<std::size_t>(b)]
                                       : made;
        boards.push_back(
            std::make_unique<UsbdevfsBoard>(std::move(config), clock, std::move(source),
                                            UsbStrings{"LUMENFRAME", product, serial}));
        attach(bed, b + 1, serial, product, *boards.back());
    }

    // The command sees the test bed through umockdev's preload library.
    std::string preload = KAPTOR_UMOCKDEV_PRELOAD;
    if (const char* other = std::getenv("LD_PRELOAD"); other != nullptr && *other != '\0') {
        preload += std::string(":") + other;
    }
    const pid_t child = fork();
    if (child == 0) {
        setenv("LD_PRELOAD", preload.c_str(), 1);
        execvp(argv[i + 1], argv + i + 1);
        std::fprintf(stderr, "kaptor-usb-board: cannot run %s: %s\n", argv[i + 1],
                     std::strerror(errno));
        _exit(127);
    }
    // The boards answer until the command ends.
    struct Watch {
        GMainLoop* loop;
        int status;
    } watch{g_main_loop_new(nullptr, FALSE), 0};
    g_child_watch_add(
        child,
        [](GPid, gint childStatus, gpointer data) {
            auto* w = static_cast<Watch*>(data);
            w->status = childStatus;
            g_main_loop_quit(w->loop);
        },
        &watch);
    g_main_loop_run(watch.loop);
    g_main_loop_unref(watch.loop);
    const int status = watch.status;
    boards.clear();
    g_object_unref(bed);
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return WEXITSTATUS(status);
}

}  // namespace
}  // namespace kaptor::boardsim

int main(int argc, char** argv) {
    return kaptor::boardsim::run(argc, argv);
}
