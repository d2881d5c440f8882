// The installer test's helper, run under Wine:
//   release_probe capture KAPSHOT.EXE PICTURE   KAPSHOT takes one picture; status 0 when it did
//   release_probe version FILE                  prints FILE's version resource (a.b.c.d)
//   release_probe hold FILE                     keeps FILE open as a running program does (no
//                                               delete, no write sharing), says "held" and
//                                               lets go when standard input ends
//   release_probe run "COMMAND LINE"            runs the command line exactly as given (an
//                                               uninstaller's "_?=C:\Program Files\KAPTOR"
//                                               is the rest of it, unquoted); its status
#include "tests/windows/kapshot_driver.h"

#include <climits>
#include <cstdio>
#include <vector>

#include "platform/win32/wide_text.h"

namespace {

int printVersion(const char* file) {
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(file, &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (block.empty() ||
        !GetFileVersionInfoA(file, 0, static_cast<DWORD>(block.size()), block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof *fixed) {
        std::fprintf(stderr, "release_probe: %s has no version resource\n", file);
        return 1;
    }
    std::printf("%u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    return 0;
}

int holdOpen(const char* file) {
    const HANDLE handle = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "release_probe: cannot open %s (%lu)\n", file, GetLastError());
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    CloseHandle(handle);
    return 0;
}

int runCommandLine(const char* commandLine) {
    kaptor::test::Program program(kaptor::platform::cp1252ToWide(commandLine));
    if (!program.started()) {
        std::fprintf(stderr, "release_probe: cannot run %s (%lu)\n", commandLine, GetLastError());
        return 255;
    }
    return static_cast<int>(program.waitForExit(INT_MAX).value_or(255));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "capture" && argc == 4) {
        const std::string failure = kaptor::test::captureWithKapshot(argv[2], argv[3]);
        if (!failure.empty()) {
            std::fprintf(stderr, "release_probe: %s\n", failure.c_str());
        }
        return failure.empty() ? 0 : 1;
    }
    if (command == "version" && argc == 3) {
        return printVersion(argv[2]);
    }
    if (command == "hold" && argc == 3) {
        return holdOpen(argv[2]);
    }
    if (command == "run" && argc == 3) {
        return runCommandLine(argv[2]);
    }
    std::fprintf(stderr,
                 "usage: release_probe capture KAPSHOT.EXE PICTURE | version FILE | hold FILE | "
                 "run \"COMMAND LINE\"\n");
    return 2;
}
