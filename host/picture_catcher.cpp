#include "host/picture_catcher.h"

#include <utility>

namespace kaptor::host {
namespace {

// Gathers the bytes; only a commit hands them over, as a file would only then be in place.
class MemoryFile : public platform::ReplacementFile {
  public:
    explicit MemoryFile(std::optional<std::string>& target) : target_(target) {}
    bool write(std::span<const std::uint8_t> bytes) override {
        bytes_.append(bytes.begin(), bytes.end());
        return true;
    }
    bool commit() override {
        target_ = std::move(bytes_);
        return true;
    }

  private:
    std::optional<std::string>& target_;
    std::string bytes_;
};

}  // namespace

std::optional<std::string> PictureCatcher::take() {
    return std::exchange(caught_, std::nullopt);
}

std::optional<std::string> PictureCatcher::readUpTo(std::string_view path, std::size_t maxBytes) {
    return path == PATH ? std::nullopt : inner_.readUpTo(path, maxBytes);
}

bool PictureCatcher::exists(std::string_view path) {
    return path != PATH && inner_.exists(path);
}

std::unique_ptr<platform::ReplacementFile> PictureCatcher::createReplacement(
    std::string_view path) {
    if (path == PATH) {
        return std::make_unique<MemoryFile>(caught_);
    }
    return inner_.createReplacement(path);
}

bool PictureCatcher::remove(std::string_view path) {
    return path != PATH && inner_.remove(path);
}

std::unique_ptr<platform::FileFind> PictureCatcher::findFirst(std::string_view pattern,
                                                              std::string& name) {
    return inner_.findFirst(pattern, name);
}

std::optional<std::filesystem::path> PictureCatcher::hostPath(std::string_view path) {
    return path == PATH ? std::nullopt : inner_.hostPath(path);
}

}  // namespace kaptor::host
