#include "boardsim/picture_source.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

#include "boardsim/sim_files.h"

namespace kaptor::boardsim {
namespace {

// Where the picture lies in the line and in the field: a line of pllTotal samples shows the
// picture over this fraction of its period, a field shows it from this line on.
constexpr double PICTURE_START = 0.15;
constexpr double PICTURE_SPAN = 0.80;
constexpr double FIRST_PICTURE_LINE = 20.0;
constexpr double FIELD_PICTURE_LINES = SCENE_LINES / 2;

// The moving disc: the second field sees it 24 pixels further on.
constexpr double DISC_Y = 300.0;
constexpr double DISC_RADIUS = 28.0;
double discX(int field, std::uint64_t n) {
    return 80.0 + std::fmod(37.0 * static_cast<double>(n), 440.0) + 24.0 * field;
}

class TestChart : public Scene {
  public:
    std::optional<SceneArea> moving(int field, std::uint64_t n) const override {
        // A margin of one unit around the disc's square.
        const double reach = DISC_RADIUS + 1.0;
        const double x = discX(field, n);
        return SceneArea{x - reach, DISC_Y - reach, x + reach, DISC_Y + reach};
    }

    std::uint8_t level(double x, double y, int field, std::uint64_t n) const override {
        if (std::hypot(x - discX(field, n), y - DISC_Y) < DISC_RADIUS) {
            return 250;
        }
        if (y < 62) {
            return static_cast<std::uint8_t>(std::clamp(x / SCENE_WIDTH * 256.0, 0.0, 255.0));
        }
        if (y < 186) {
            static constexpr std::uint8_t BARS[8] = {235, 200, 170, 140, 110, 80, 45, 16};
            return BARS[std::clamp(static_cast<int>(x / 80.0), 0, 7)];
        }
        if (y < 424) {
            const double r = std::hypot(x - 320.0, y - 305.0);
            return (static_cast<int>(r / 14.0) % 2) == 0 ? 190 : 60;
        }
        if (x < SCENE_WIDTH / 2) {
            return (static_cast<int>(x) % 2) == 0 ? 230 : 20;
        }
        return (static_cast<int>(y) % 2) == 0 ? 230 : 20;
    }
};

class PictureScene : public Scene {
  public:
    PictureScene(int width, int height, std::vector<std::uint8_t> pixels)
        : width_(width), height_(height), pixels_(std::move(pixels)) {}

    std::optional<SceneArea> moving(int, std::uint64_t) const override { return std::nullopt; }

    std::uint8_t level(double x, double y, int, std::uint64_t) const override {
        const int col = std::clamp(static_cast<int>(x / SCENE_WIDTH * width_), 0, width_ - 1);
        const int row = std::clamp(static_cast<int>(y / SCENE_LINES * height_), 0, height_ - 1);
        return pixels_[static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) +
                       static_cast<std::size_t>(col)];
    }

  private:
    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;  // top row first
};

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

std::unique_ptr<Scene> parseBmp(const std::vector<std::uint8_t>& b, std::string& error) {
    if (b.size() < 54 + 1024 || le32(b, 14) < 40) {
        error = "not an 8-bit BMP";
        return nullptr;
    }
    const auto width = static_cast<std::int32_t>(le32(b, 18));
    const auto height = static_cast<std::int32_t>(le32(b, 22));
    const auto bits = b[28] | (b[29] << 8);
    const std::uint32_t offset = le32(b, 10);
    const int rows = std::abs(height);
    if (bits != 8 || le32(b, 30) != 0 || width <= 0 || rows == 0 || width > 16384 || rows > 16384) {
        error = "only uncompressed 8-bit BMP pictures can serve as a scene";
        return nullptr;
    }
    const std::size_t stride = (static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
    const std::size_t palette = 14 + le32(b, 14);
    if (offset + stride * static_cast<std::size_t>(rows) > b.size() || palette + 1024 > offset) {
        error = "the BMP picture is cut short";
        return nullptr;
    }
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * rows);
    for (int row = 0; row < rows; ++row) {
        // Positive height: bottom row first in the file.
        const int fileRow = height > 0 ? rows - 1 - row : row;
        for (int col = 0; col < width; ++col) {
            const std::uint8_t index = b[offset + stride * fileRow + col];
            const std::size_t entry = palette + 4u * index;
            // Luma of the palette colour (blue, green, red).
            pixels[static_cast<std::size_t>(row) * width + col] = static_cast<std::uint8_t>(
                (29 * b[entry] + 150 * b[entry + 1] + 77 * b[entry + 2]) >> 8);
        }
    }
    return std::make_unique<PictureScene>(width, rows, std::move(pixels));
}

std::unique_ptr<Scene> parsePgm(const std::vector<std::uint8_t>& b, std::string& error) {
    std::size_t pos = 2;
    const auto number = [&]() -> long {
        while (pos < b.size() && (std::isspace(b[pos]) || b[pos] == '#')) {
            if (b[pos] == '#') {
                while (pos < b.size() && b[pos] != '\n') {
                    ++pos;
                }
            } else {
                ++pos;
            }
        }
        long value = 0;
        bool any = false;
        while (pos < b.size() && std::isdigit(b[pos]) && value < 100000) {
            value = value * 10 + (b[pos++] - '0');
            any = true;
        }
        return any ? value : -1;
    };
    const long width = number();
    const long height = number();
    const long maxValue = number();
    ++pos;  // the single white space after the header
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || maxValue != 255 ||
        pos + static_cast<std::size_t>(width * height) > b.size()) {
        error = "only binary 8-bit PGM pictures (P5, maximum 255) can serve as a scene";
        return nullptr;
    }
    std::vector<std::uint8_t> pixels(b.begin() + static_cast<std::ptrdiff_t>(pos),
                                     b.begin() + static_cast<std::ptrdiff_t>(pos + width * height));
    return std::make_unique<PictureScene>(static_cast<int>(width), static_cast<int>(height),
                                          std::move(pixels));
}

// Where the samples of a frame lie in the reference frame. Samples outside the picture (in
// the blanking) carry no signal.
struct SampleGrid {
    explicit SampleGrid(const BoardRegisters& r)
        : width(r.activePixels),
          lines(r.activeLines),
          interlaced(r.interlaced()),
          fieldLines(interlaced ? lines / 2 : lines),
          total(std::max<std::uint32_t>(r.pllTotal, 1)),
          horizontalPosition(r.horizontalPosition),
          verticalPosition(r.verticalPosition) {}

    int fields() const { return interlaced ? 2 : 1; }
    // Index of the first sample of line i of field.
    std::size_t first(int field, std::size_t i) const {
        return (static_cast<std::size_t>(field) * fieldLines + i) * width;
    }
    // Line i of the field, counted from the first line that shows picture.
    double fieldLine(std::size_t i) const {
        return static_cast<double>(verticalPosition) + static_cast<double>(i) - FIRST_PICTURE_LINE;
    }
    bool lineShows(std::size_t i) const {
        return fieldLine(i) >= 0 && fieldLine(i) < FIELD_PICTURE_LINES;
    }
    // A field holds every other line of the picture; a progressive scan steps by two.
    double y(int field, std::size_t i) const {
        return 2.0 * fieldLine(i) + (interlaced ? field : 0) + 0.5;
    }
    double x(std::size_t j) const {
        const double u =
            (static_cast<double>(horizontalPosition) + static_cast<double>(j) + 0.5) / total;
        return (u - PICTURE_START) / PICTURE_SPAN * SCENE_WIDTH;
    }

    std::size_t width;
    std::size_t lines;
    bool interlaced;
    std::size_t fieldLines;
    double total;
    std::uint32_t horizontalPosition;
    std::uint32_t verticalPosition;
};

// One sample through the front end: gain 128 passes the signal as it is, offset 64 adds nothing.
std::uint8_t sampleLevel(const Scene& scene, const BoardRegisters& r, double x, double y,
                         bool lineShows, int field, std::uint64_t n) {
    const double signal =
        lineShows && x >= 0 && x < SCENE_WIDTH ? scene.level(x, y, field, n) : 0.0;
    const double level = signal * r.gain() / 128.0 + (r.offset() - 64.0);
    return static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L));
}

class SampledSource : public PictureSource {
  public:
    explicit SampledSource(std::unique_ptr<Scene> scene) : scene_(std::move(scene)) {}

    FrameBytes frame(const BoardRegisters& r, std::uint64_t n) override {
        if (!sampled_ || !(registers_ == r)) {
            registers_ = r;
            sampledNumber_ = n;
            sampled_ =
                std::make_shared<const std::vector<std::uint8_t>>(sampleFrame(*scene_, r, n));
            return sampled_;
        }
        if (n == sampledNumber_) {
            return sampled_;
        }
        auto bytes = std::make_shared<std::vector<std::uint8_t>>(*sampled_);
        resampleMoving(r, n, *bytes);
        return bytes;
    }

  private:
    // Samples again what may differ between frame n and the frame sampled once.
    void resampleMoving(const BoardRegisters& r, std::uint64_t n, std::vector<std::uint8_t>& out) {
        const SampleGrid grid(r);
        for (int field = 0; field < grid.fields(); ++field) {
            const auto now = scene_->moving(field, n);
            const auto then = scene_->moving(field, sampledNumber_);
            const auto touches = [&](double x, double y) {
                return (now && now->contains(x, y)) || (then && then->contains(x, y));
            };
            const auto rowTouches = [&](double y) {
                return (now && y >= now->top && y < now->bottom) ||
                       (then && y >= then->top && y < then->bottom);
            };
            for (std::size_t i = 0; i < grid.fieldLines; ++i) {
                const double y = grid.y(field, i);
                if (!grid.lineShows(i) || !rowTouches(y)) {
                    continue;
                }
                const std::size_t first = grid.first(field, i);
                for (std::size_t j = 0; j < grid.width; ++j) {
                    const double x = grid.x(j);
                    if (touches(x, y)) {
                        out[first + j] = sampleLevel(*scene_, r, x, y, true, field, n);
                    }
                }
            }
        }
    }

    std::unique_ptr<Scene> scene_;
    BoardRegisters registers_;
    std::uint64_t sampledNumber_ = 0;
    FrameBytes sampled_;
};

class BytesSource : public PictureSource {
  public:
    explicit BytesSource(std::vector<std::uint8_t> bytes)
        : bytes_(std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes))) {}
    FrameBytes frame(const BoardRegisters&, std::uint64_t) override { return bytes_; }

  private:
    FrameBytes bytes_;
};

}  // namespace

std::optional<SceneArea> Scene::moving(int, std::uint64_t) const {
    const double everywhere = 1e300;
    return SceneArea{-everywhere, -everywhere, everywhere, everywhere};
}

std::unique_ptr<Scene> makeTestChart() {
    return std::make_unique<TestChart>();
}

std::unique_ptr<Scene> loadSceneFile(const std::string& path, std::string& error) {
    const auto bytes = readWholeFile(path, MAX_PICTURE_FILE, error);
    return bytes ? parseScene(*bytes, path, error) : nullptr;
}

std::unique_ptr<Scene> parseScene(const std::vector<std::uint8_t>& bytes, const std::string& path,
                                  std::string& error) {
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        return parseBmp(bytes, error);
    }
    if (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] == '5') {
        return parsePgm(bytes, error);
    }
    error = path + " is neither a BMP nor a PGM picture";
    return nullptr;
}

std::vector<std::uint8_t> sampleFrame(const Scene& scene, const BoardRegisters& r,
                                      std::uint64_t frameNumber) {
    const SampleGrid grid(r);
    // Lines the fields do not cover (an odd line count, interlaced) stay zero.
    std::vector<std::uint8_t> frame(grid.width * grid.lines, 0);
    for (int field = 0; field < grid.fields(); ++field) {
        for (std::size_t i = 0; i < grid.fieldLines; ++i) {
            const double y = grid.y(field, i);
            const bool shows = grid.lineShows(i);
            const std::size_t first = grid.first(field, i);
            for (std::size_t j = 0; j < grid.width; ++j) {
                frame[first + j] = sampleLevel(scene, r, grid.x(j), y, shows, field, frameNumber);
            }
        }
    }
    return frame;
}

std::unique_ptr<PictureSource> makeSampledSource(std::unique_ptr<Scene> scene) {
    return std::make_unique<SampledSource>(std::move(scene));
}

std::unique_ptr<PictureSource> makeReplaySource(const std::string& path, std::string& error) {
    auto bytes = readWholeFile(path, MAX_PICTURE_FILE, error);
    if (!bytes) {
        return nullptr;
    }
    return makeBytesSource(std::move(*bytes));
}

std::unique_ptr<PictureSource> makeBytesSource(std::vector<std::uint8_t> bytes) {
    return std::make_unique<BytesSource>(std::move(bytes));
}

}  // namespace kaptor::boardsim
