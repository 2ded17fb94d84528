#pragma once

#include <filesystem>
#include <string>

namespace orvex::testing {

// A fresh folder under the system's temporary folder, removed at the end.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    std::string path(const std::string& name) const { return (root_ / name).string(); }
    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path root_;
};

void write_text_file(const std::string& path, const std::string& text);
std::string read_text_file(const std::string& path);

}  // namespace orvex::testing
