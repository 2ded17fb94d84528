#include "progress.h"

#include <ostream>

namespace orvex::develop {

namespace {
constexpr size_t kBarWidth = 30;
constexpr const char* kClearLine = "\r\033[K";
}  // namespace

Progress::Progress(size_t total, bool bar, std::ostream& out, std::ostream& err)
    : total_(total), bar_(bar), out_(out), err_(err) {
    if (bar_) draw_bar();
}

void Progress::print_above_bar(std::ostream& stream, const std::string& line) {
    if (bar_) err_ << kClearLine << std::flush;
    stream << line << '\n' << std::flush;
}

void Progress::draw_bar() {
    const size_t filled = total_ == 0 ? kBarWidth : done_ * kBarWidth / total_;
    err_ << kClearLine << '[' << std::string(filled, '#') << std::string(kBarWidth - filled, '.') << "] " << done_
         << '/' << total_;
    if (failures_ > 0) err_ << " (" << failures_ << " failed)";
    err_ << std::flush;
}

void Progress::succeeded(const std::string& line) {
    const std::lock_guard lock(mutex_);
    ++done_;
    if (bar_)
        draw_bar();
    else
        out_ << line << '\n' << std::flush;
}

void Progress::failed(const std::string& message) {
    const std::lock_guard lock(mutex_);
    ++done_;
    ++failures_;
    print_above_bar(err_, message);
    if (bar_) draw_bar();
}

void Progress::note(const std::string& line) {
    const std::lock_guard lock(mutex_);
    print_above_bar(out_, line);
    if (bar_) draw_bar();
}

void Progress::finish() {
    const std::lock_guard lock(mutex_);
    if (bar_) err_ << '\n' << std::flush;
}

}  // namespace orvex::develop
