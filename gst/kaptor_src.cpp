#include "gst/kaptor_src.h"

#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <variant>

#include "gst/board_source.h"
#include "gst/picture_buffer.h"

GST_DEBUG_CATEGORY_STATIC(kaptor_src_debug);
#define GST_CAT_DEFAULT kaptor_src_debug

namespace {

using kaptor::gst::BoardSource;
using kaptor::gst::Failure;
using kaptor::gst::SourceSettings;

// What the element keeps beside its GObject parts.
struct Source {
    explicit Source(GstElement* element)
        : board([element](const kaptor::Message& message) {
              GST_ELEMENT_WARNING(
                  element, RESOURCE, READ, ("%s", message.text.c_str()),
                  ("the control carried on after this message (number %d, 0 for none)",
                   message.code));
          }) {}

    // Guards settings and size: properties are set, and caps asked for, from any thread.
    std::mutex lock;
    SourceSettings settings;
    kaptor::FrameSize size;  // of the caps in force; 0 x 0 while stopped
    BoardSource board;
    guint64 count = 0;  // buffers made since start
};

enum Property {
    PROP_0,
    PROP_SIMULATED,
    PROP_DEVICE,
    PROP_DRIVE_C,
    PROP_CONFIG,
    PROP_LIBRARY,
    PROP_LOCATION,
};

GstStaticPadTemplate srcTemplate = GST_STATIC_PAD_TEMPLATE(
    "src", GST_PAD_SRC, GST_PAD_ALWAYS,
    GST_STATIC_CAPS("video/x-raw, format=(string)GRAY8, width=(int)[1, 2147483647], "
                    "height=(int)[1, 2147483647], framerate=(fraction)0/1"));

GstCaps* capsOf(kaptor::FrameSize size) {
    return gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "GRAY8", "width", G_TYPE_INT,
                               size.width, "height", G_TYPE_INT, size.height, "framerate",
                               GST_TYPE_FRACTION, 0, 1, nullptr);
}

// The pipeline's running time now, or none without a clock.
GstClockTime runningTimeNow(GstElement* element) {
    GstClock* clock = gst_element_get_clock(element);
    if (clock == nullptr) {
        return GST_CLOCK_TIME_NONE;
    }
    const GstClockTime now = gst_clock_get_time(clock);
    gst_object_unref(clock);
    const GstClockTime base = gst_element_get_base_time(element);
    return now > base ? now - base : 0;
}

// A failure as an error message on the bus, the control's text first.
void postFailure(GstElement* element, const Failure& failure) {
    switch (failure.kind) {
        case Failure::Kind::Board:
            GST_ELEMENT_ERROR(element, RESOURCE, READ, ("%s", failure.text.c_str()),
                              ("the control ended its work after this message"));
            break;
        case Failure::Kind::Settings:
            GST_ELEMENT_ERROR(element, RESOURCE, SETTINGS, ("%s", failure.text.c_str()), (nullptr));
            break;
        case Failure::Kind::Geometry:
            GST_ELEMENT_ERROR(element, STREAM, FORMAT, ("%s", failure.text.c_str()), (nullptr));
            break;
        case Failure::Kind::Control:
        case Failure::Kind::Cancelled:
            GST_ELEMENT_ERROR(element, RESOURCE, FAILED, ("%s", failure.text.c_str()), (nullptr));
            break;
    }
}

}  // namespace

struct _GstKaptorSrc {
    GstPushSrc parent;
    // Made in instance_init, destroyed in finalize: GObject knows nothing of constructors.
    std::unique_ptr<Source> source;
};

G_DEFINE_TYPE(GstKaptorSrc, gst_kaptor_src, GST_TYPE_PUSH_SRC)

namespace {

Source& sourceOf(gpointer object) {
    return *GST_KAPTOR_SRC(object)->source;
}

std::string* textProperty(SourceSettings& settings, guint id) {
    switch (id) {
        case PROP_DEVICE:
            return &settings.device;
        case PROP_DRIVE_C:
            return &settings.driveC;
        case PROP_CONFIG:
            return &settings.config;
        case PROP_LIBRARY:
            return &settings.library;
        case PROP_LOCATION:
            return &settings.location;
        default:
            return nullptr;
    }
}

void setProperty(GObject* object, guint id, const GValue* value, GParamSpec* param) {
    Source& source = sourceOf(object);
    GstState state = GST_STATE_NULL;
    GST_OBJECT_LOCK(object);
    state = GST_STATE(object);
    GST_OBJECT_UNLOCK(object);
    if (state > GST_STATE_READY) {
        // Read when the element starts: a change now would not reach the board.
        GST_WARNING_OBJECT(object, "%s can only change in the NULL or READY state", param->name);
        return;
    }
    std::lock_guard hold(source.lock);
    if (id == PROP_SIMULATED) {
        source.settings.simulated = g_value_get_boolean(value) != FALSE;
    } else if (std::string* text = textProperty(source.settings, id)) {
        const char* given = g_value_get_string(value);
        *text = given ? given : "";
    } else {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, param);
    }
}

void getProperty(GObject* object, guint id, GValue* value, GParamSpec* param) {
    Source& source = sourceOf(object);
    std::lock_guard hold(source.lock);
    if (id == PROP_SIMULATED) {
        g_value_set_boolean(value, source.settings.simulated ? TRUE : FALSE);
    } else if (const std::string* text = textProperty(source.settings, id)) {
        g_value_set_string(value, text->c_str());
    } else {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, param);
    }
}

void finalize(GObject* object) {
    GST_KAPTOR_SRC(object)->source.~unique_ptr();
    G_OBJECT_CLASS(gst_kaptor_src_parent_class)->finalize(object);
}

// READY to PAUSED: the session opens and initialises the board once.
gboolean start(GstBaseSrc* base) {
    Source& source = sourceOf(base);
    SourceSettings settings;
    {
        std::lock_guard hold(source.lock);
        settings = source.settings;
    }
    source.count = 0;
    source.board.setFlushing(false);
    auto opened = source.board.open(settings);
    if (const auto* failure = std::get_if<Failure>(&opened)) {
        postFailure(GST_ELEMENT(base), *failure);
        return FALSE;
    }
    const auto size = std::get<kaptor::FrameSize>(opened);
    GST_INFO_OBJECT(base, "the configuration gives %d x %d pictures", size.width, size.height);
    std::lock_guard hold(source.lock);
    source.size = size;
    return TRUE;
}

gboolean stop(GstBaseSrc* base) {
    Source& source = sourceOf(base);
    source.board.close();
    std::lock_guard hold(source.lock);
    source.size = {};
    return TRUE;
}

GstCaps* getCaps(GstBaseSrc* base, GstCaps* filter) {
    Source& source = sourceOf(base);
    kaptor::FrameSize size;
    {
        std::lock_guard hold(source.lock);
        size = source.size;
    }
    GstCaps* caps =
        size.width > 0 ? capsOf(size) : gst_pad_get_pad_template_caps(GST_BASE_SRC_PAD(base));
    if (filter != nullptr) {
        GstCaps* both = gst_caps_intersect_full(filter, caps, GST_CAPS_INTERSECT_FIRST);
        gst_caps_unref(caps);
        caps = both;
    }
    return caps;
}

// A flush, or PLAYING to PAUSED or READY: a capture under way stops within some 20 ms.
gboolean unlock(GstBaseSrc* base) {
    sourceOf(base).board.setFlushing(true);
    return TRUE;
}

gboolean unlockStop(GstBaseSrc* base) {
    sourceOf(base).board.setFlushing(false);
    return TRUE;
}

// Latency: none, as a buffer is stamped when its picture is complete; and no limit, as the
// board keeps nothing that a slow pipeline could make it drop (the next capture simply waits).
// Without this the base class says 0 at most, and sinks that need time to render complain.
gboolean query(GstBaseSrc* base, GstQuery* asked) {
    if (GST_QUERY_TYPE(asked) == GST_QUERY_LATENCY) {
        gst_query_set_latency(asked, TRUE, 0, GST_CLOCK_TIME_NONE);
        return TRUE;
    }
    return GST_BASE_SRC_CLASS(gst_kaptor_src_parent_class)->query(base, asked);
}

// One buffer: one capture, stamped with the running time at its end.
GstFlowReturn create(GstPushSrc* push, GstBuffer** out) {
    Source& source = sourceOf(push);
    auto element = GST_ELEMENT(push);
    auto captured = source.board.capture();
    if (const auto* failure = std::get_if<Failure>(&captured)) {
        if (failure->kind == Failure::Kind::Cancelled) {
            return GST_FLOW_FLUSHING;
        }
        postFailure(element, *failure);
        return GST_FLOW_ERROR;
    }
    const GstClockTime stamp = runningTimeNow(element);
    auto& picture = std::get<kaptor::Picture>(captured);
    if (picture.width <= 0 || picture.height <= 0) {
        // The configuration changed under the pipeline to one that gives no picture; the
        // control has said why.
        postFailure(element, {Failure::Kind::Geometry, "the capture gave no picture"});
        return GST_FLOW_ERROR;
    }
    const kaptor::FrameSize size{picture.width, picture.height};
    bool resized = false;
    {
        std::lock_guard hold(source.lock);
        resized = size.width != source.size.width || size.height != source.size.height;
        source.size = size;
    }
    if (resized) {
        // Every capture reads the configuration in use again: a changed size is a new format.
        GstCaps* caps = capsOf(size);
        const gboolean accepted = gst_base_src_set_caps(GST_BASE_SRC(push), caps);
        gst_caps_unref(caps);
        if (!accepted) {
            return GST_FLOW_NOT_NEGOTIATED;
        }
    }
    GstBuffer* buffer = kaptor::gst::pictureBuffer(std::move(picture));
    GST_BUFFER_PTS(buffer) = stamp;
    GST_BUFFER_OFFSET(buffer) = source.count;
    GST_BUFFER_OFFSET_END(buffer) = ++source.count;
    *out = buffer;
    return GST_FLOW_OK;
}

void installText(GObjectClass* objects, Property id, const char* name, const char* nick,
                 const char* blurb) {
    g_object_class_install_property(
        objects, id,
        g_param_spec_string(name, nick, blurb, "",
                            static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS |
                                                     GST_PARAM_MUTABLE_READY)));
}

}  // namespace

static void gst_kaptor_src_class_init(GstKaptorSrcClass* klass) {
    auto* objects = G_OBJECT_CLASS(klass);
    objects->set_property = setProperty;
    objects->get_property = getProperty;
    objects->finalize = finalize;

    g_object_class_install_property(
        objects, PROP_SIMULATED,
        g_param_spec_boolean("simulated", "Simulated board",
                             "Capture from the simulated board installed with libkaptor", FALSE,
                             static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS |
                                                      GST_PARAM_MUTABLE_READY)));
    installText(objects, PROP_DEVICE, "device", "Device",
                "Serial number of the board to open (as kaptor --device, through KAPTOR_DEVICE); "
                "empty: the first free board");
    installText(objects, PROP_DRIVE_C, "drive-c", "Drive C:",
                "Folder that stands for drive C:, where \\KAPTOR\\ holds the configurations; "
                "empty: KAPTOR_DRIVE_C, else kaptor's default");
    installText(objects, PROP_CONFIG, "config", "Configuration",
                "Configuration (a file in \\KAPTOR\\CONFIG\\) made the one in use before "
                "starting; empty: the one in use");
    installText(objects, PROP_LIBRARY, "library", "Driver library",
                "D2XX library file of the board (when not simulated); empty: "
                "KAPTOR_D2XX_LIBRARY, else libkaptor-d2xx.so installed with libkaptor");
    installText(objects, PROP_LOCATION, "location", "Location",
                "Also write each picture to this file (bmp, png or pgm by its extension), "
                "replaced whole at every capture; empty: the pictures go to the buffers only");

    auto* elements = GST_ELEMENT_CLASS(klass);
    gst_element_class_add_static_pad_template(elements, &srcTemplate);
    gst_element_class_set_static_metadata(
        elements, "KAPTOR frame grabber source", "Source/Video",
        "Still pictures from the KAPTORAX capture control's board, one capture per buffer",
        "KAPTOR developers <kaptor@localhost>");

    auto* bases = GST_BASE_SRC_CLASS(klass);
    bases->start = start;
    bases->stop = stop;
    bases->get_caps = getCaps;
    bases->unlock = unlock;
    bases->unlock_stop = unlockStop;
    bases->query = query;
    GST_PUSH_SRC_CLASS(klass)->create = create;

    GST_DEBUG_CATEGORY_INIT(kaptor_src_debug, "kaptorsrc", 0, "KAPTOR frame grabber source");
}

static void gst_kaptor_src_init(GstKaptorSrc* self) {
    new (&self->source) std::unique_ptr<Source>(std::make_unique<Source>(GST_ELEMENT(self)));
    gst_base_src_set_live(GST_BASE_SRC(self), TRUE);
    gst_base_src_set_format(GST_BASE_SRC(self), GST_FORMAT_TIME);
}

namespace kaptor::gst {

bool registerKaptorSrc(GstPlugin* plugin) {
    return gst_element_register(plugin, "kaptorsrc", GST_RANK_NONE, GST_TYPE_KAPTOR_SRC) != FALSE;
}

}  // namespace kaptor::gst
