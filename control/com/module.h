// The module itself: its instance handle, its path, its strings, and the count of live objects
// and server locks that tells whether it may be unloaded.
#pragma once

#include <windows.h>

#include <string>

namespace kaptor::com::module {

void setInstance(HINSTANCE instance);
HINSTANCE instance();

// The module's own file, as the registry records it.
std::wstring path();

// A string of the module's string table; empty when it is missing.
std::wstring loadString(UINT id);

// Every COM object of the module counts itself for its whole life; LockServer counts locks.
void objectCreated();
void objectDestroyed();
void lock();
void unlock();
bool canUnload();

// Counts one object for the life of the holder.
class ObjectCount {
  public:
    ObjectCount() { objectCreated(); }
    ~ObjectCount() { objectDestroyed(); }
    ObjectCount(const ObjectCount&) = delete;
    ObjectCount& operator=(const ObjectCount&) = delete;
};

}  // namespace kaptor::com::module
