// A captured picture as a GStreamer buffer in GRAY8's default layout: rows top first, each
// padded to a multiple of 4 bytes.
#pragma once

#include <gst/gst.h>

#include "kaptor/kaptor.h"

namespace kaptor::gst {

// The bytes of one row in GStreamer's default GRAY8 layout.
int grayStride(int width);

// A new buffer holding picture: its rows themselves when they need no padding, else a copy
// laid out row by row with the padding zeroed.
GstBuffer* pictureBuffer(Picture&& picture);

}  // namespace kaptor::gst
