// kaptorsrc: a live GStreamer source of the KAPTORAX capture control's pictures, one capture
// per buffer, GRAY8 at the size of the configuration in use.
#pragma once

#include <gst/base/gstpushsrc.h>
#include <gst/gst.h>

G_BEGIN_DECLS

#define GST_TYPE_KAPTOR_SRC (gst_kaptor_src_get_type())
G_DECLARE_FINAL_TYPE(GstKaptorSrc, gst_kaptor_src, GST, KAPTOR_SRC, GstPushSrc)

G_END_DECLS

namespace kaptor::gst {

// Registers kaptorsrc with plugin (nullptr: with the application, for programs that link it).
bool registerKaptorSrc(GstPlugin* plugin);

}  // namespace kaptor::gst
