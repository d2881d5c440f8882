// The host's files, with one path that lands in memory: the control's picture, when kaptor
// converts it or sends it to standard output, never lies on a disk, so nothing of it can be
// left behind.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace kaptor::host {

class PictureCatcher : public platform::FileSystem {
  public:
    // The destinoimagen that sends the picture to memory.
    static constexpr std::string_view PATH = "<kaptor: picture in memory>";

    explicit PictureCatcher(platform::FileSystem& inner) : inner_(inner) {}

    // The picture written whole to PATH since the last take, if any.
    std::optional<std::string> take();

    std::optional<std::string> readUpTo(std::string_view path, std::size_t maxBytes) override;
    bool exists(std::string_view path) override;
    std::unique_ptr<platform::ReplacementFile> createReplacement(std::string_view path) override;
    bool remove(std::string_view path) override;
    std::unique_ptr<platform::FileFind> findFirst(std::string_view pattern,
                                                  std::string& name) override;
    std::optional<std::filesystem::path> hostPath(std::string_view path) override;

  private:
    platform::FileSystem& inner_;
    std::optional<std::string> caught_;
};

}  // namespace kaptor::host
