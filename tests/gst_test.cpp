// kaptorsrc as a pipeline sees it, through GStreamer's check library: the plugin from the
// build's folder, a registry of the test's own, the simulated board with a still scene. Each
// case is a process of its own (the simulated board reads its environment once).
#include <gst/check/gstharness.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "kaptor/kaptor.h"
#include "tests/support/kaptor_fixture.h"

namespace kaptor {
namespace {

// GStreamer for the whole program, with nothing of the user's: only the build's plugin folder,
// scanned in this process (so that a sanitizer build's plugin loads into its own runtime).
class GStreamer : public ::testing::Environment {
  public:
    void SetUp() override {
        ::setenv("GST_REGISTRY_1_0", (registry.path() / "registry.bin").c_str(), 1);
        ::setenv("GST_REGISTRY_FORK", "no", 1);
        ::setenv("GST_PLUGIN_SYSTEM_PATH_1_0", "", 1);
        ::setenv("GST_PLUGIN_PATH_1_0", KAPTOR_GST_PLUGIN_DIR, 1);
        gst_init(nullptr, nullptr);
    }
    void TearDown() override { gst_deinit(); }

    test::TempDir registry;
};
const auto* const gstreamer = ::testing::AddGlobalTestEnvironment(new GStreamer);

// A still scene, so that every capture of it (by the element and by libkaptor) is the same
// picture.
std::string scenePgm() {
    std::string pgm = "P5\n640 496\n255\n";
    // A prime period: no two neighbouring rows or columns alike.
    for (int i = 0; i < 640 * 496; ++i) {
        pgm += static_cast<char>(i % 251);
    }
    return pgm;
}

// The caps of a width x height picture, as text.
std::string grayCaps(int width, int height) {
    return "video/x-raw, format=(string)GRAY8, width=(int)" + std::to_string(width) +
           ", height=(int)" + std::to_string(height) + ", framerate=(fraction)0/1";
}

// A buffer's rows without GStreamer's padding.
std::vector<std::uint8_t> unpadded(GstBuffer* buffer, int width, int height) {
    GstVideoInfo info;
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_GRAY8, static_cast<guint>(width),
                              static_cast<guint>(height));
    EXPECT_EQ(gst_buffer_get_size(buffer), GST_VIDEO_INFO_SIZE(&info));
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height));
    for (int row = 0; row < height; ++row) {
        gst_buffer_extract(buffer, static_cast<gsize>(row * GST_VIDEO_INFO_PLANE_STRIDE(&info, 0)),
                           pixels.data() + row * width, static_cast<gsize>(width));
    }
    return pixels;
}

using Harness = std::unique_ptr<GstHarness, decltype(&gst_harness_teardown)>;
using Buffer = std::unique_ptr<GstBuffer, decltype(&gst_buffer_unref)>;

const std::vector<std::string> NONE;

// What one run of the element gave, to its EOS: buffers, caps, the bus's messages.
struct Played {
    bool started = false;
    bool eos = false;
    std::vector<Buffer> buffers;
    std::string caps;  // of the last buffer
    std::vector<std::string> warnings, errors;
};

class KaptorSrc : public test::Kaptor {
  protected:
    // The still scene, at a rate that makes a frame's transfer take no time.
    void SetUp() override {
        test::Kaptor::SetUp();
        test::writeFile(dir.path() / "scene.pgm", scenePgm());
        ::setenv("KAPTOR_SIM_SCENE", (dir.path() / "scene.pgm").c_str(), 1);
        ::setenv("KAPTOR_SIM_RATE", "100000000", 1);
        ::setenv("KAPTOR_SIM_FAULTS", "", 1);
    }
    // A harness around a new kaptorsrc on the simulated board of the drive, its messages on a bus
    // of the test's own.
    Harness harness(int numBuffers) {
        Harness h(gst_harness_new("kaptorsrc"), gst_harness_teardown);
        g_object_set(h->element, "simulated", TRUE, "drive-c", drive("").c_str(), "num-buffers",
                     numBuffers, nullptr);
        g_autoptr(GstBus) bus = gst_bus_new();
        gst_element_set_bus(h->element, bus);
        gst_harness_use_systemclock(h.get());
        return h;
    }

    // Plays h until its EOS (a start refused has none); then back to NULL.
    static Played play(GstHarness* h) {
        Played run;
        run.started =
            gst_element_set_state(h->element, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
        GstBuffer* buffer = nullptr;
        while (run.started && (run.eos = gst_harness_pull_until_eos(h, &buffer)) && buffer) {
            run.buffers.emplace_back(buffer, gst_buffer_unref);
        }
        g_autoptr(GstBus) bus = gst_element_get_bus(h->element);
        while (g_autoptr(GstMessage) message = gst_bus_pop(bus)) {
            g_autoptr(GError) error = nullptr;
            if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
                gst_message_parse_error(message, &error, nullptr);
                run.errors.emplace_back(error->message);
            } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_WARNING) {
                gst_message_parse_warning(message, &error, nullptr);
                run.warnings.emplace_back(error->message);
            }
        }
        g_autoptr(GstCaps) caps = gst_pad_get_current_caps(h->sinkpad);
        g_autofree gchar* text = caps == nullptr ? nullptr : gst_caps_to_string(caps);
        run.caps = text == nullptr ? "" : text;
        EXPECT_EQ(gst_element_set_state(h->element, GST_STATE_NULL), GST_STATE_CHANGE_SUCCESS);
        return run;
    }
};

TEST_F(KaptorSrc, BuffersAreLibkaptorsPicturesAtTheConfigurationsSize) {
    const struct {
        std::vector<std::pair<std::string, std::string>> values;
        int width, height;
    } cases[] = {
        {{}, 640, 496},
        // Rows padded to 4 bytes in the buffer.
        {{{"interlaced", "0"}, {"activeLines", "300"}, {"pixelsPerLine", "333"}}, 333, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        // libkaptor's picture of the still scene, its board closed again before the element's.
        const std::vector<std::uint8_t> picture = [&] {
            Session session(
                SessionOptions{.board = Board::Simulated, .drives = {{'C', drive("")}}});
            session.configure(c.values);
            session.initialize();
            return session.capture().pixels;
        }();
        const Played run = play(harness(3).get());
        EXPECT_EQ(std::tuple(run.eos, run.warnings, run.errors, run.caps, run.buffers.size()),
                  std::tuple(true, NONE, NONE, grayCaps(c.width, c.height), 3u));
        GstClockTime previous = 0;
        for (const Buffer& buffer : run.buffers) {
            EXPECT_EQ(unpadded(buffer.get(), c.width, c.height), picture);
            // Stamped at the end of its capture: after the board's 600 ms wait.
            EXPECT_GE(GST_BUFFER_PTS(buffer.get()), previous + 600 * GST_MSECOND);
            previous = GST_BUFFER_PTS(buffer.get());
        }
    }
    // Live, with no latency (stamped when complete) and no limit to it (nothing is dropped), so
    // that sinks that need time to render have it.
    g_autoptr(GstElement) source = gst_element_factory_make("kaptorsrc", nullptr);
    g_autoptr(GstQuery) latency = gst_query_new_latency();
    ASSERT_TRUE(gst_element_query(source, latency));
    gboolean live = FALSE;
    GstClockTime least = 1, most = 0;
    gst_query_parse_latency(latency, &live, &least, &most);
    EXPECT_EQ(std::tuple(live, least, most), std::tuple(TRUE, 0u, GST_CLOCK_TIME_NONE));
}

// The failures: a message the control carries on after is a warning and the buffer still
// comes; the control's ending is an error naming its text and the pipeline stops, the process
// goes on.
struct Failure {
    const char* name;
    const char* faults = "";                                  // of the simulated board
    const char* config = "";                                  // the element's property
    std::vector<std::pair<std::string, std::string>> values;  // configured before starting
    std::vector<std::string> errors, warnings;
    bool started = false;
    std::size_t buffers = 0;
};

void PrintTo(const Failure& failure, std::ostream* out) {
    *out << failure.name;
}

class KaptorSrcFailure : public KaptorSrc, public ::testing::WithParamInterface<Failure> {};

TEST_P(KaptorSrcFailure, IsToldOnTheBus) {
    const Failure& c = GetParam();
    ::setenv("KAPTOR_SIM_FAULTS", c.faults, 1);
    Session(SessionOptions{.drives = {{'C', drive("")}}}).configure(c.values);
    const Harness h = harness(1);
    g_object_set(h->element, "config", c.config, nullptr);
    Played run = play(h.get());
    run.errors.resize(c.errors.size());  // GStreamer's own "failed to start" may follow
    EXPECT_EQ(std::tuple(run.started, run.errors, run.warnings, run.buffers.size()),
              std::tuple(c.started, c.errors, c.warnings, c.buffers));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KaptorSrcFailure,
    // clang-format off
    ::testing::Values(
        Failure{.name = "NoBoard", .faults = "no-device",
                .errors = {"ERROR AL ABRIR PUERTO USB. Reintente nuevamente"}},
        Failure{.name = "TriggerNotTaken", .faults = "write-zero-at=45",
                .errors = {"Error al escribir puerto USB3"}, .started = true},
        Failure{.name = "TimeOut", .faults = "short-frame=1000",
                .warnings = {"Error de Time out 22"}, .started = true, .buffers = 1},
        Failure{.name = "UnknownConfiguration", .config = "NADA.TXT",
                .errors = {"'NADA.TXT' is not in the configuration folder (see 'kaptor config "
                           "list'); nothing was written"}},
        Failure{.name = "FrameLargerThanTheImageBuffer",
                .values = {{"pixelsPerLine", "2047"}, {"activeLines", "2047"}},
                .errors = {"the configuration in use gives no picture: its frame is empty or "
                           "larger than the control's image buffer (kaptor config show)"}}),
    // clang-format on
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(KaptorSrc, StopsAndUnlocksLeaveTheBoardUsable) {
    // A slower link, so that the frame's transfer lasts 317 ms after the board's 600 ms wait.
    ::setenv("KAPTOR_SIM_RATE", "1000000", 1);
    using Clock = std::chrono::steady_clock;
    const Harness h = harness(-1);
    // Fifty starts, each stopped 50 ms into its first capture (in the board's wait). A stop
    // that waited for the capture to end would take some 870 ms each.
    Clock::duration stopping{};
    for (int cycle = 0; cycle < 50; ++cycle) {
        ASSERT_NE(gst_element_set_state(h->element, GST_STATE_PLAYING), GST_STATE_CHANGE_FAILURE);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto start = Clock::now();
        ASSERT_EQ(gst_element_set_state(h->element, GST_STATE_NULL), GST_STATE_CHANGE_SUCCESS);
        stopping += Clock::now() - start;
    }
    EXPECT_LT(stopping, std::chrono::seconds(10));

    // A flush while the second frame is being read: that capture stops, and the next one
    // (begun after the flush, the last of three) comes whole, with no time-out and no error.
    const Harness flushed = harness(3);
    ASSERT_NE(gst_element_set_state(flushed->element, GST_STATE_PLAYING), GST_STATE_CHANGE_FAILURE);
    const Buffer first(gst_harness_pull(flushed.get()), gst_buffer_unref);
    std::this_thread::sleep_for(std::chrono::milliseconds(650));
    // The flush waits for the capture to leave: at once, not when the frame is through.
    const auto start = Clock::now();
    ASSERT_TRUE(gst_element_send_event(flushed->element, gst_event_new_flush_start()));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(150));
    ASSERT_TRUE(gst_element_send_event(flushed->element, gst_event_new_flush_stop(FALSE)));
    const Played run = play(flushed.get());
    ASSERT_EQ(std::tuple(run.buffers.size(), run.warnings, run.errors), std::tuple(1u, NONE, NONE));
    EXPECT_EQ(unpadded(run.buffers[0].get(), 640, 496), unpadded(first.get(), 640, 496));
}

// Every capture reads the configuration in use: a change while playing brings new caps with the
// next buffer.
TEST_F(KaptorSrc, AConfigurationChangedWhilePlayingIsANewFormat) {
    const Harness h = harness(3);
    ASSERT_NE(gst_element_set_state(h->element, GST_STATE_PLAYING), GST_STATE_CHANGE_FAILURE);
    const Buffer first(gst_harness_pull(h.get()), gst_buffer_unref);
    Session(SessionOptions{.drives = {{'C', drive("")}}})
        .configure({{"pixelsPerLine", "322"}, {"activeLines", "100"}});
    const Played run = play(h.get());  // the second capture may have read the configuration
    ASSERT_EQ(std::tuple(gst_buffer_get_size(first.get()), run.caps, run.buffers.size()),
              std::tuple(640u * 496u, grayCaps(322, 200), 2u));
    EXPECT_EQ(gst_buffer_get_size(run.buffers[1].get()), 324u * 200u);
}

}  // namespace
}  // namespace kaptor
