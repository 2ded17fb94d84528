#include "batch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <new>
#include <thread>

#include "stages.h"

namespace orvex::develop {

namespace {

template <typename Work>
auto timed(const char* stage, std::vector<StageTime>* times, Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    auto result = work();
    if (times) {
        const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
        times->push_back({stage, spent.count()});
    }
    return result;
}

}  // namespace

void develop_file(const Recipe& recipe, const DevelopJob& job, OutputChoice output, std::vector<StageTime>* times) {
    Mosaic mosaic = timed("read", times, [&] { return read_mosaic_file(job.input); });
    OutputImage image;
    try {
        image = develop_mosaic(recipe, std::move(mosaic), output.format, times);
    } catch (const StageError& error) {
        throw StageError(job.input + ": " + error.what());
    }
    timed("write", times, [&] {
        write_image_file(job.output, output.kind, image);
        return 0;
    });
}

size_t develop_batch(const Recipe& recipe, const std::vector<DevelopJob>& jobs, OutputChoice output,
                     unsigned threads, bool timings, Progress& progress) {
    std::atomic<size_t> next{0};
    std::atomic<size_t> failures{0};
    const auto worker = [&] {
        for (size_t index = next++; index < jobs.size(); index = next++) {
            const DevelopJob& job = jobs[index];
            std::vector<StageTime> times;
            try {
                develop_file(recipe, job, output, timings ? &times : nullptr);
                if (timings) progress.note(timing_line(job.input, times));
                progress.succeeded("developed " + job.input + " -> " + job.output);
            } catch (const std::bad_alloc&) {
                ++failures;
                progress.failed("error: " + job.input + ": out of memory");
            } catch (const std::exception& error) {
                ++failures;
                progress.failed(std::string("error: ") + error.what());
            }
        }
    };
    const unsigned count = std::max(1u, std::min<unsigned>(threads, static_cast<unsigned>(jobs.size())));
    std::vector<std::thread> pool;
    for (unsigned i = 1; i < count; ++i)
        pool.emplace_back(worker);
    worker();
    for (std::thread& thread : pool)
        thread.join();
    progress.finish();
    return failures;
}

std::string timing_line(const std::string& input, const std::vector<StageTime>& times) {
    std::string line = input + ":";
    double total = 0.0;
    char number[32];
    for (const StageTime& time : times) {
        std::snprintf(number, sizeof number, "%.1f", time.milliseconds);
        line += " " + time.stage + " " + number + " ms,";
        total += time.milliseconds;
    }
    std::snprintf(number, sizeof number, "%.1f", total);
    return line + " total " + number + " ms";
}

}  // namespace orvex::develop
