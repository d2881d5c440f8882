// What the board sees at its analog input and sends on 'A': a built-in test chart or a picture
// file sampled through the programmed geometry and front end, or a recorded stream replayed
// byte for byte.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "boardsim/board_registers.h"

namespace kaptor::boardsim {

// A rectangle of the reference frame: left <= x < right, top <= y < bottom.
struct SceneArea {
    double left, top, right, bottom;
    bool contains(double x, double y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

// The analog picture, in the coordinates of a 640 x 496 reference frame.
class Scene {
  public:
    virtual ~Scene() = default;
    // Gray level 0..255 at (x, y) of the given field (0 first, 1 second) of frame number n.
    virtual std::uint8_t level(double x, double y, int field, std::uint64_t n) const = 0;
    // Where the given field of frame n may differ from the same field of another frame;
    // nothing when the picture stands still. By default anywhere.
    virtual std::optional<SceneArea> moving(int field, std::uint64_t n) const;
};

constexpr double SCENE_WIDTH = 640.0;
constexpr double SCENE_LINES = 496.0;

// Test chart: gray ramp, bars, rings, fine lines, and a bright disc that stands elsewhere in
// the second field than in the first and moves from frame to frame.
std::unique_ptr<Scene> makeTestChart();

// An 8-bit grayscale BMP (palette indices through the palette's gray) or binary PGM (P5),
// stretched over the reference frame. Nothing on error, with error set.
std::unique_ptr<Scene> loadSceneFile(const std::string& path, std::string& error);
// The same from the file's bytes; path names it in messages.
std::unique_ptr<Scene> parseScene(const std::vector<std::uint8_t>& bytes, const std::string& path,
                                  std::string& error);

// Samples one frame as the board sends it: rows in arrival order, first field first.
std::vector<std::uint8_t> sampleFrame(const Scene& scene, const BoardRegisters& registers,
                                      std::uint64_t frameNumber);

// Bytes of one frame, shared: a source may hand out the same bytes again.
using FrameBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

class PictureSource {
  public:
    virtual ~PictureSource() = default;
    virtual FrameBytes frame(const BoardRegisters& registers, std::uint64_t frameNumber) = 0;
};

// Scene and replay files larger than this are refused.
constexpr std::size_t MAX_PICTURE_FILE = std::size_t{64} << 20;

// Samples the scene once per programmed geometry and front end; later frames copy those bytes
// and sample again only where the scene moves.
std::unique_ptr<PictureSource> makeSampledSource(std::unique_ptr<Scene> scene);
// Every frame is exactly the file's bytes; nothing on error, with error set.
std::unique_ptr<PictureSource> makeReplaySource(const std::string& path, std::string& error);
std::unique_ptr<PictureSource> makeBytesSource(std::vector<std::uint8_t> bytes);

}  // namespace kaptor::boardsim
