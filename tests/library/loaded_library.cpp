#include "loaded_library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace orvex::testing {

#if defined(_WIN32)
LoadedLibrary::LoadedLibrary(const std::string& path) : handle_(LoadLibraryA(path.c_str())) {}
LoadedLibrary::~LoadedLibrary() {
    if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
}
void* LoadedLibrary::symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}
#else
LoadedLibrary::LoadedLibrary(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
LoadedLibrary::~LoadedLibrary() {
    if (handle_) dlclose(handle_);
}
void* LoadedLibrary::symbol(const char* name) const { return dlsym(handle_, name); }
#endif

}  // namespace orvex::testing
