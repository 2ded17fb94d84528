// Opens the shipped library at run time, as a host program would: dlopen on
// Linux, LoadLibrary on Windows.
#pragma once

#include <string>

namespace orvex::testing {

class LoadedLibrary {
public:
    explicit LoadedLibrary(const std::string& path);
    ~LoadedLibrary();
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    void* symbol(const char* name) const;

    template <class Fn>
    Fn function(const char* name) const {
        return reinterpret_cast<Fn>(symbol(name));
    }

private:
    void* handle_ = nullptr;
};

}  // namespace orvex::testing
