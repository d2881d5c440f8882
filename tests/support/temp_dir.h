// A fresh folder for one test, removed with it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kaptor::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& contents);
std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);

}  // namespace kaptor::test
