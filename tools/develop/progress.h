// Reports a batch's progress: a bar on a terminal, plain lines otherwise.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <mutex>
#include <string>

namespace orvex::develop {

class Progress {
public:
    Progress(size_t total, bool bar, std::ostream& out, std::ostream& err);

    // Each may be called from any thread.
    void succeeded(const std::string& line);
    void failed(const std::string& message);
    void note(const std::string& line);  // extra output such as timings
    void finish();

private:
    void print_above_bar(std::ostream& stream, const std::string& line);
    void draw_bar();

    std::mutex mutex_;
    size_t total_;
    size_t done_ = 0;
    size_t failures_ = 0;
    bool bar_;
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace orvex::develop
