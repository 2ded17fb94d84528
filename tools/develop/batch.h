// Develops several files at once on a pool of threads: the library's calls on
// disjoint buffers may run at the same time.
#pragma once

#include <string>
#include <vector>

#include "image_files.h"
#include "pipeline.h"
#include "progress.h"

namespace orvex::develop {

struct DevelopJob {
    std::string input;
    std::string output;
};

struct OutputChoice {
    FileKind kind = FileKind::png;
    SampleFormat format = SampleFormat::uint8;
};

// Reads, develops and writes one file; throws ImageFileError or StageError.
// The times of reading and writing are reported as the stages "read" and "write".
void develop_file(const Recipe& recipe, const DevelopJob& job, OutputChoice output, std::vector<StageTime>* times);

// Runs every job on `threads` threads; returns the number of files that failed.
size_t develop_batch(const Recipe& recipe, const std::vector<DevelopJob>& jobs, OutputChoice output,
                     unsigned threads, bool timings, Progress& progress);

// "a.pgm: read 3.1 ms, normalise 1.2 ms, ..., total 9.8 ms"
std::string timing_line(const std::string& input, const std::vector<StageTime>& times);

}  // namespace orvex::develop
