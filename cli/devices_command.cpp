// kaptor devices [--json]: the boards the driver library finds on the bus, each with its
// description, serial number, USB bus and address, and whether another program holds it.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/text_output.h"
#include "cli/usage.h"
#include "control/d2xx.h"

namespace kaptor::cli {
namespace {

using d2xx::DWORD;
using d2xx::FT_HANDLE;
using d2xx::FT_STATUS;

enum DevicesOption { JSON = 1 };

constexpr DWORD FT_OPEN_BY_SERIAL_NUMBER = 1;
constexpr DWORD FT_FLAGS_OPENED = 1;

extern "C" {
using FT_CreateDeviceInfoList_t = FT_STATUS(D2XX_API*)(DWORD* count);
using FT_GetDeviceInfoDetail_t = FT_STATUS(D2XX_API*)(DWORD index, DWORD* flags, DWORD* type,
                                                      DWORD* id, DWORD* locId, void* serial,
                                                      void* description, FT_HANDLE* handle);
}

struct Found {
    std::string description;
    std::string serial;
    std::optional<DWORD> location;  // bus << 16 | address, where the library tells
    bool busy = false;
};

// Through the vendor's device information list where the library has it.
std::vector<Found> fromInformationList(FT_CreateDeviceInfoList_t create,
                                       FT_GetDeviceInfoDetail_t detail) {
    std::vector<Found> found;
    DWORD count = 0;
    if (create(&count) != d2xx::FT_OK) {
        return found;
    }
    for (DWORD i = 0; i < count; ++i) {
        DWORD flags = 0;
        DWORD location = 0;
        char serial[16] = {};
        char description[64] = {};
        if (detail(i, &flags, nullptr, nullptr, &location, serial, description, nullptr) ==
            d2xx::FT_OK) {
            found.push_back({description, serial, location, (flags & FT_FLAGS_OPENED) != 0});
        }
    }
    return found;
}

// Through FT_ListDevices alone: descriptions and serial numbers by index.
std::vector<Found> fromListDevices(d2xx::FT_ListDevices_t list) {
    std::vector<Found> found;
    DWORD count = 0;
    if (list(&count, nullptr, d2xx::FT_LIST_NUMBER_ONLY) != d2xx::FT_OK) {
        return found;
    }
    for (DWORD i = 0; i < count; ++i) {
        void* const index = reinterpret_cast<void*>(static_cast<std::uintptr_t>(i));
        char description[64] = {};
        char serial[64] = {};
        list(index, description, d2xx::FT_LIST_BY_INDEX | d2xx::FT_OPEN_BY_DESCRIPTION);
        if (list(index, serial, d2xx::FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER) != d2xx::FT_OK) {
            serial[0] = '\0';
        }
        found.push_back({description, serial, std::nullopt, false});
    }
    return found;
}

void print(const std::vector<Found>& found, bool json) {
    const char* separator = "";
    if (json) {
        std::printf("[");
    }
    for (const Found& board : found) {
        const unsigned bus = board.location ? *board.location >> 16 : 0;
        const unsigned address = board.location ? *board.location & 0xFFFF : 0;
        if (json) {
            std::printf("%s{\"description\": %s, \"serial\": %s", separator,
                        jsonString(board.description).c_str(), jsonString(board.serial).c_str());
            if (board.location) {
                std::printf(", \"bus\": %u, \"address\": %u", bus, address);
            } else {
                std::printf(", \"bus\": null, \"address\": null");
            }
            std::printf(", \"busy\": %s}", board.busy ? "true" : "false");
            separator = ", ";
            continue;
        }
        std::printf("%s: serial %s", lineValue(board.description).c_str(),
                    board.serial.empty() ? "(none)" : lineValue(board.serial).c_str());
        if (board.location) {
            std::printf(", bus %03u, address %03u", bus, address);
        }
        std::printf("%s\n", board.busy ? ", busy" : "");
    }
    if (json) {
        std::printf("]\n");
    }
}

}  // namespace

int runDevices(const Arguments& args, HostOptions options) {
    const Command& self = *findCommand("devices");
    int status = EXIT_DONE;
    const auto line = parseCommandLine(self, args, {{"json", 0, false, JSON}}, options, status);
    if (!line) {
        return status;
    }
    if (!line->operands.empty()) {
        std::fputs(USAGE_DEVICES, stderr);
        return EXIT_USAGE;
    }
    const bool json = !line->options.empty();
    Host host(std::move(options));
    platform::LibraryLoader& loader = host.libraries();
    // A library that does not load is explained by the loader, in one line.
    const platform::LibraryHandle library = loader.load("Ftd2xx.dll");
    if (library == nullptr) {
        return EXIT_FAILURE_SHOWN;
    }
    const auto create = reinterpret_cast<FT_CreateDeviceInfoList_t>(
        loader.symbol(library, "FT_CreateDeviceInfoList"));
    const auto detail = reinterpret_cast<FT_GetDeviceInfoDetail_t>(
        loader.symbol(library, "FT_GetDeviceInfoDetail"));
    const auto list =
        reinterpret_cast<d2xx::FT_ListDevices_t>(loader.symbol(library, "FT_ListDevices"));
    if (create != nullptr && detail != nullptr) {
        print(fromInformationList(create, detail), json);
    } else if (list != nullptr) {
        print(fromListDevices(list), json);
    } else {
        std::fprintf(stderr, "kaptor: devices: the driver library lacks FT_ListDevices\n");
        return EXIT_FAILURE_SHOWN;
    }
    return EXIT_DONE;
}

}  // namespace kaptor::cli
