#include "gst/picture_buffer.h"

#include <gst/video/video.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace kaptor::gst {

int grayStride(int width) {
    GstVideoInfo info;
    gst_video_info_init(&info);
    if (!gst_video_info_set_format(&info, GST_VIDEO_FORMAT_GRAY8, static_cast<guint>(width), 1)) {
        return 0;
    }
    return GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
}

GstBuffer* pictureBuffer(Picture&& picture) {
    const auto width = static_cast<std::size_t>(picture.width);
    const auto height = static_cast<std::size_t>(picture.height);
    const auto stride = static_cast<std::size_t>(grayStride(picture.width));
    if (stride == width) {
        // The buffer takes the rows over: no copy.
        auto rows = std::make_unique<std::vector<std::uint8_t>>(std::move(picture.pixels));
        std::uint8_t* data = rows->data();
        const std::size_t size = rows->size();
        return gst_buffer_new_wrapped_full(
            static_cast<GstMemoryFlags>(0), data, size, 0, size, rows.release(),
            [](gpointer owned) { delete static_cast<std::vector<std::uint8_t>*>(owned); });
    }
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, stride * height, nullptr);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    for (std::size_t row = 0; row < height; ++row) {
        std::uint8_t* to = map.data + row * stride;
        std::memcpy(to, picture.pixels.data() + row * width, width);
        std::fill(to + width, to + stride, std::uint8_t{0});
    }
    gst_buffer_unmap(buffer, &map);
    return buffer;
}

}  // namespace kaptor::gst
