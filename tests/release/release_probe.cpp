// The installer test's helper, run under Wine:
//   release_probe capture KAPSHOT.EXE PICTURE   KAPSHOT takes one picture; status 0 when it did
//   release_probe version FILE                  prints FILE's version resource (a.b.c.d)
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/release/kapshot_driver.h"

namespace {

int printVersion(const char* file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file, &ignored);
    std::vector<char> block(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoA(file, 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof *fixed) {
        std::fprintf(stderr, "release_probe: %s has no version resource\n", file);
        return 1;
    }
    const unsigned parts[] = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                              HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
    std::printf("%u.%u.%u.%u\n", parts[0], parts[1], parts[2], parts[3]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "capture" && argc == 4) {
        const std::string failure = kaptor::release::captureWithKapshot(argv[2], argv[3]);
        if (!failure.empty()) {
            std::fprintf(stderr, "release_probe: %s\n", failure.c_str());
            return 1;
        }
        return 0;
    }
    if (command == "version" && argc == 3) {
        return printVersion(argv[2]);
    }
    std::fprintf(stderr, "usage: release_probe capture KAPSHOT.EXE PICTURE | version FILE\n");
    return 2;
}
