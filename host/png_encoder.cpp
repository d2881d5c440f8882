// PNG through libpng, when the build found it.
#include "host/picture_formats.h"

#ifdef KAPTOR_HAVE_PNG
#include <png.h>
#endif

namespace kaptor::host {

#ifdef KAPTOR_HAVE_PNG

namespace {

void appendToString(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}

void noFlush(png_structp) {}

// Owns libpng's two structures for one encoding.
class PngWriter {
  public:
    PngWriter() : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr)) {
        if (png_ != nullptr) {
            info_ = png_create_info_struct(png_);
        }
    }
    ~PngWriter() { png_destroy_write_struct(&png_, &info_); }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    bool ready() const { return png_ != nullptr && info_ != nullptr; }
    png_structp png() { return png_; }
    png_infop info() { return info_; }

  private:
    png_structp png_;
    png_infop info_ = nullptr;
};

}  // namespace

bool pngAvailable() {
    return true;
}

std::optional<std::string> encodePng(const GrayPicture& picture) {
    PngWriter writer;
    if (!writer.ready() || picture.width <= 0 || picture.height <= 0) {
        return std::nullopt;
    }
    std::string out;
    // libpng reports its errors by a long jump back here; nothing with a destructor lives
    // between this point and the calls that may jump.
    if (setjmp(png_jmpbuf(writer.png())) != 0) {
        return std::nullopt;
    }
    png_set_write_fn(writer.png(), &out, appendToString, noFlush);
    png_set_IHDR(writer.png(), writer.info(), static_cast<png_uint_32>(picture.width),
                 static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(writer.png(), writer.info());
    for (std::int32_t row = 0; row < picture.height; ++row) {
        png_write_row(writer.png(),
                      picture.pixels.data() +
                          static_cast<std::size_t>(row) * static_cast<std::size_t>(picture.width));
    }
    png_write_end(writer.png(), nullptr);
    return out;
}

#else

bool pngAvailable() {
    return false;
}

std::optional<std::string> encodePng(const GrayPicture&) {
    return std::nullopt;
}

#endif

}  // namespace kaptor::host
