// What every library loader shares: the name the D2XX library stands for, and the libraries
// held in this process for tests.
#include "platform/library_loader.h"

#include "platform/text.h"

namespace kaptor::platform {
namespace {

constexpr std::string_view D2XX_NAME = "Ftd2xx.dll";
#ifdef _WIN32
// Found by the system's own DLL search, the program's folder first.
constexpr const char* SYSTEM_D2XX = "Ftd2xx.dll";
#else
constexpr const char* SYSTEM_D2XX = "libftd2xx.so";
#endif

std::string folded(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        c = foldCase1252(c);
    }
    return out;
}

}  // namespace

std::string hostLibraryName(std::string_view name,
                            const std::function<const char*(const char*)>& getenv) {
    if (equalsIgnoreCase1252(name, D2XX_NAME)) {
        const char* configured = getenv("KAPTOR_D2XX_LIBRARY");
        return configured != nullptr && *configured != '\0' ? configured : SYSTEM_D2XX;
    }
    return std::string(name);
}

void InProcessLibraryLoader::add(std::string_view libraryName,
                                 std::map<std::string, SymbolAddress> functions) {
    libraries_[folded(libraryName)].functions = std::move(functions);
}

void InProcessLibraryLoader::hide(std::string_view libraryName, const std::string& function) {
    libraries_[folded(libraryName)].hidden.insert(function);
}

InProcessLibraryLoader::Library* InProcessLibraryLoader::find(std::string_view name) {
    const auto it = libraries_.find(folded(name));
    return it == libraries_.end() || it->second.functions.empty() ? nullptr : &it->second;
}

LibraryHandle InProcessLibraryLoader::load(std::string_view name) {
    return find(name);
}

SymbolAddress InProcessLibraryLoader::symbol(LibraryHandle library, const char* name) {
    if (library == nullptr) {
        return nullptr;
    }
    const auto& table = *static_cast<Library*>(library);
    if (table.hidden.contains(name)) {
        return nullptr;
    }
    const auto it = table.functions.find(name);
    return it == table.functions.end() ? nullptr : it->second;
}

}  // namespace kaptor::platform
