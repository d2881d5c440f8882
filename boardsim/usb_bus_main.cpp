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
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <sys/wait.h>
#include <umockdev.h>
#include <unistd.h>

#include "boardsim/board.h"
#include "boardsim/sim_config.h"
#include "boardsim/usb_surface.h"
#include "platform/clock.h"

namespace kaptor::boardsim {
namespace {

constexpr gint64 REAP_HOLD_MICROS = 250;

// A transfer the host submitted, until it reaps it.
struct Urb {
    UMockdevIoctlClient* client = nullptr;  // the open device it came through
    UMockdevIoctlData* urb = nullptr;       // the usbdevfs_urb, as resolved at submit
    UMockdevIoctlData* buffer = nullptr;    // its data
    std::int64_t submittedMicros = 0;
    bool done = false;  // completed at submit (control, bulk OUT) or discarded
};

class EmulatedBoard {
  public:
    EmulatedBoard(SimConfig config, platform::Clock& clock, std::unique_ptr<PictureSource> source,
                  UsbStrings strings)
        : board_(std::move(config), clock, std::move(source)),
          usb_(board_, clock, std::move(strings)),
          clock_(clock),
          handler_(umockdev_ioctl_base_new()) {
        g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&EmulatedBoard::onIoctl), this);
        g_signal_connect(handler_, "client-vanished", G_CALLBACK(&EmulatedBoard::onVanished), this);
    }
    ~EmulatedBoard() {
        for (Urb& urb : pending_) {
            release(urb);
        }
        g_object_unref(handler_);
    }
    EmulatedBoard(const EmulatedBoard&) = delete;
    EmulatedBoard& operator=(const EmulatedBoard&) = delete;

    UMockdevIoctlBase* handler() const { return handler_; }
    const UsbSurface& usb() const { return usb_; }

  private:
    static void release(Urb& urb) {
        g_object_unref(urb.buffer);
        g_object_unref(urb.urb);
    }

    static gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        return static_cast<EmulatedBoard*>(self)->handle(client) ? TRUE : FALSE;
    }
    static void onVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        // A process that ends (or closes the device) lets go of the interface, and its
        // transfers go with it.
        auto* board = static_cast<EmulatedBoard*>(self);
        if (board->claimedBy_ == client) {
            board->claimedBy_ = nullptr;
        }
        std::erase_if(board->pending_, [client](Urb& urb) {
            if (urb.client != client) {
                return false;
            }
            release(urb);
            return true;
        });
    }

    bool handle(UMockdevIoctlClient* client) {
        const gulong request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        if (usb_.gone()) {
            // The cable is out: every request fails as the kernel fails it.
            umockdev_ioctl_client_complete(client, -1, ENODEV);
            return true;
        }
        switch (request) {
            case USBDEVFS_GET_CAPABILITIES: {
                UMockdevIoctlData* caps =
                    umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), nullptr);
                const guint32 value =
                    USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM;
                std::memcpy(caps->data, &value, sizeof value);
                g_object_unref(caps);
                umockdev_ioctl_client_complete(client, 0, 0);
                return true;
            }
            case USBDEVFS_CLAIMINTERFACE:
            case USBDEVFS_DISCONNECT_CLAIM:
                // One process at a time holds the chip's interface.
                if (claimedBy_ != nullptr && claimedBy_ != client) {
                    umockdev_ioctl_client_complete(client, -1, EBUSY);
                    return true;
                }
                claimedBy_ = client;
                umockdev_ioctl_client_complete(client, 0, 0);
                return true;
            case USBDEVFS_RELEASEINTERFACE:
                if (claimedBy_ == client) {
                    claimedBy_ = nullptr;
                }
                umockdev_ioctl_client_complete(client, 0, 0);
                return true;
            case USBDEVFS_GETDRIVER:
            case USBDEVFS_IOCTL:
                // No kernel driver is bound to the emulated chip.
                umockdev_ioctl_client_complete(client, -1, ENODATA);
                return true;
            case USBDEVFS_SETINTERFACE:
            case USBDEVFS_SETCONFIGURATION:
            case USBDEVFS_CLEAR_HALT:
            case USBDEVFS_RESET:
            case USBDEVFS_RESETEP:
                umockdev_ioctl_client_complete(client, 0, 0);
                return true;
            case USBDEVFS_SUBMITURB:
                submit(client, arg);
                return true;
            case USBDEVFS_REAPURB:
            case USBDEVFS_REAPURBNDELAY:
                reap(client, arg);
                return true;
            case USBDEVFS_DISCARDURB:
                discard(client, arg);
                return true;
            default:
                return false;
        }
    }

    static usbdevfs_urb& fields(const Urb& urb) {
        return *reinterpret_cast<usbdevfs_urb*>(urb.urb->data);
    }

    void submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
        Urb urb;
        urb.client = client;
        urb.urb = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
        auto* u = reinterpret_cast<usbdevfs_urb*>(urb.urb->data);
        urb.buffer = umockdev_ioctl_data_resolve(urb.urb, G_STRUCT_OFFSET(usbdevfs_urb, buffer),
                                                 static_cast<gsize>(u->buffer_length), nullptr);
        urb.submittedMicros = clock_.nowMicros();
        u->actual_length = 0;
        u->status = 0;
        if (u->type == USBDEVFS_URB_TYPE_CONTROL) {
            runControl(urb);
        } else if (u->type == USBDEVFS_URB_TYPE_BULK && (u->endpoint & 0x80) == 0) {
            const bool taken =
                usb_.bulkOut(urb.buffer->data, static_cast<std::size_t>(u->buffer_length));
            u->actual_length = taken ? u->buffer_length : 0;
            u->status = taken ? 0 : -EPIPE;
            urb.done = true;
        } else if (u->type != USBDEVFS_URB_TYPE_BULK) {
            release(urb);
            umockdev_ioctl_client_complete(client, -1, EINVAL);
            return;
        }
        pending_.push_back(urb);
        umockdev_ioctl_client_complete(client, 0, 0);
    }

    void runControl(Urb& urb) {
        auto& u = fields(urb);
        const std::uint8_t* b = urb.buffer->data;
        UsbSetup setup{b[0], b[1], static_cast<std::uint16_t>(b[2] | b[3] << 8),
                       static_cast<std::uint16_t>(b[4] | b[5] << 8),
                       static_cast<std::uint16_t>(b[6] | b[7] << 8)};
        const std::vector<std::uint8_t> data(b + 8, b + std::max(u.buffer_length, 8));
        const auto answer = usb_.control(setup, data);
        urb.done = true;
        if (!answer) {
            u.status = -EPIPE;
            return;
        }
        if ((setup.requestType & 0x80) != 0) {
            std::memcpy(urb.buffer->data + 8, answer->data(), answer->size());
            u.actual_length = static_cast<int>(answer->size());
        } else {
            u.actual_length = setup.length;
        }
    }

    // Hands the client its first transfer that is complete; false when none is yet.
    bool tryReap(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
        // Each open device reaps its own transfers only.
        for (auto it = pending_.begin(); it != pending_.end(); ++it) {
            if (it->client != client) {
                continue;
            }
            auto& u = fields(*it);
            if (!it->done) {
                const auto packets =
                    usb_.bulkIn(static_cast<std::size_t>(u.buffer_length), it->submittedMicros);
                if (!packets) {
                    continue;
                }
                std::memcpy(it->buffer->data, packets->data(), packets->size());
                u.actual_length = static_cast<int>(packets->size());
            }
            Urb urb = *it;
            pending_.erase(it);
            UMockdevIoctlData* pointer =
                umockdev_ioctl_data_resolve(arg, 0, sizeof(gpointer), nullptr);
            umockdev_ioctl_data_set_ptr(pointer, 0, urb.urb);
            g_object_unref(pointer);
            umockdev_ioctl_client_complete(client, 0, 0);
            release(urb);
            return true;
        }
        return false;
    }

    bool waitingForData(UMockdevIoctlClient* client) const {
        return std::ranges::any_of(
            pending_, [client](const Urb& urb) { return urb.client == client && !urb.done; });
    }

    // A reap while a bulk IN transfer waits for the board is held a moment (REAP_HOLD_MICROS)
    // before the answer "try again": the host's USB stack would otherwise ask again and again as
    // fast as it can, starving the board's own clock. Not longer: while a reap is held the
    // process's other requests (its writes) wait behind it, which a kernel never makes them do.
    void reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
        if (tryReap(client, arg)) {
            return;
        }
        if (!waitingForData(client)) {
            umockdev_ioctl_client_complete(client, -1, EAGAIN);
            return;
        }
        struct Retry {
            EmulatedBoard* board;
            UMockdevIoctlClient* client;
            UMockdevIoctlData* arg;
        };
        static GSourceFuncs once = {nullptr,
                                    nullptr,
                                    [](GSource*, GSourceFunc callback, gpointer data) {
                                        return callback(data); },
                                    nullptr,
                                    nullptr,
                                    nullptr};
        auto* retry = new Retry{this, static_cast<UMockdevIoctlClient*>(g_object_ref(client)),
                                static_cast<UMockdevIoctlData*>(g_object_ref(arg))};
        GSource* source = g_source_new(&once, sizeof(GSource));
        g_source_set_ready_time(source, g_get_monotonic_time() + REAP_HOLD_MICROS);
        g_source_set_callback(
            source,
            [](gpointer data) -> gboolean {
                auto* r = static_cast<Retry*>(data);
                if (!umockdev_ioctl_client_get_connected(r->client)) {
                    return G_SOURCE_REMOVE;
                }
                if (r->board->usb_.gone()) {
                    umockdev_ioctl_client_complete(r->client, -1, ENODEV);
                } else if (!r->board->tryReap(r->client, r->arg)) {
                    umockdev_ioctl_client_complete(r->client, -1, EAGAIN);
                }
                return G_SOURCE_REMOVE;
            },
            retry,
            [](gpointer data) {
                auto* r = static_cast<Retry*>(data);
                g_object_unref(r->arg);
                g_object_unref(r->client);
                delete r;
            });
        g_source_attach(source, g_main_context_get_thread_default());
        g_source_unref(source);
    }

    void discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
        void* address = nullptr;
        std::memcpy(&address, arg->data, sizeof address);
        for (Urb& urb : pending_) {
            if (urb.client == client && !urb.done &&
                urb.urb->client_addr == reinterpret_cast<gulong>(address)) {
                urb.done = true;
                fields(urb).status = -ENOENT;
                umockdev_ioctl_client_complete(client, 0, 0);
                return;
            }
        }
        umockdev_ioctl_client_complete(client, -1, EINVAL);
    }

    Board board_;
    UsbSurface usb_;
    platform::Clock& clock_;
    UMockdevIoctlBase* handler_;
    std::deque<Urb> pending_;
    UMockdevIoctlClient* claimedBy_ = nullptr;
};

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
            EmulatedBoard& board) {
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
        "\\n\nA: serial=" + serial + "\\n\nH: descriptors=" + hex(board.usb().descriptors()) + "\n";
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
    std::vector<std::unique_ptr<EmulatedBoard>> boards;
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
        std::unique_ptr<PictureSource> source;
        if (!config.replayPath.empty()) {
            source = makeReplaySource(config.replayPath, error);
        } else if (!config.scenePath.empty()) {
            if (auto scene = loadSceneFile(config.scenePath, error)) {
                source = makeSampledSource(std::move(scene));
            }
        }
        if (!error.empty()) {
            std::fprintf(stderr, "kaptorsim: %s\n", error.c_str());
        }
        char made[16];
        std::snprintf(made, sizeof made, "KPT%05d", b + 1);
        const std::string serial = static_cast<std::size_t>(b) < serials.size()
                                       ? serials[static_cast<std::size_t>(b)]
                                       : made;
        boards.push_back(
            std::make_unique<EmulatedBoard>(std::move(config), clock, std::move(source),
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
