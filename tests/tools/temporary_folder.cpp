#include "temporary_folder.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>

namespace orvex::testing {

TemporaryFolder::TemporaryFolder() {
    static std::atomic<int> counter{0};
    root_ = std::filesystem::temp_directory_path() /
            ("orvex_develop_test." + std::to_string(getpid()) + "." + std::to_string(counter++));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void write_text_file(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

std::string read_text_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

}  // namespace orvex::testing
