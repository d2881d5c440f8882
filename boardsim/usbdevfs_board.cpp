// The simulated board on the emulated bus: a handler on its device node that answers the
// usbdevfs requests of the host's USB stack (claims, control and bulk transfers submitted,
// reaped and discarded) through the board's USB surface.
#include "boardsim/usbdevfs_board.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <umockdev.h>

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

}  // namespace

class UsbdevfsBoard::Impl {
  public:
    Impl(SimConfig config, platform::Clock& clock, std::unique_ptr<PictureSource> source,
         UsbStrings strings)
        : board_(std::move(config), clock, std::move(source)),
          usb_(board_, clock, std::move(strings)),
          clock_(clock),
          handler_(umockdev_ioctl_base_new()) {
        g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&Impl::onIoctl), this);
        g_signal_connect(handler_, "client-vanished", G_CALLBACK(&Impl::onVanished), this);
    }
    ~Impl() {
        for (Urb& urb : pending_) {
            release(urb);
        }
        g_object_unref(handler_);
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    UMockdevIoctlBase* handler() const { return handler_; }
    const UsbSurface& usb() const { return usb_; }

  private:
    static void release(Urb& urb) {
        g_object_unref(urb.buffer);
        g_object_unref(urb.urb);
    }

    static gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        return static_cast<Impl*>(self)->handle(client) ? TRUE : FALSE;
    }
    static void onVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        // A process that ends (or closes the device) lets go of the interface, and its
        // transfers go with it.
        auto* board = static_cast<Impl*>(self);
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
            Impl* board;
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

UsbdevfsBoard::UsbdevfsBoard(SimConfig config, platform::Clock& clock,
                             std::unique_ptr<PictureSource> source, UsbStrings strings)
    : impl_(std::make_unique<Impl>(std::move(config), clock, std::move(source),
                                   std::move(strings))) {}

UsbdevfsBoard::~UsbdevfsBoard() = default;

_UMockdevIoctlBase* UsbdevfsBoard::handler() const {
    return impl_->handler();
}

std::vector<std::uint8_t> UsbdevfsBoard::descriptors() const {
    return impl_->usb().descriptors();
}

}  // namespace kaptor::boardsim
