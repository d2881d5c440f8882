// The GStreamer plugin "kaptor": the element kaptorsrc.
#include <gst/gst.h>

#include "gst/kaptor_src.h"
#include "kaptor/kaptor.h"

namespace {

gboolean pluginInit(GstPlugin* plugin) {
    return kaptor::gst::registerKaptorSrc(plugin) ? TRUE : FALSE;
}

}  // namespace

#define PACKAGE "kaptor"
GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, kaptor,
                  "Pictures from the KAPTORAX capture control's frame-grabber board", pluginInit,
                  KAPTOR_VERSION, "Proprietary", "KAPTOR", "KAPTOR")
