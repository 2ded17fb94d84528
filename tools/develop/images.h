// The images the tool moves between files and the pipeline.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace orvex::develop {

// A file that cannot be read or written; what() names the file.
class ImageFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A raw colour filter array mosaic: one channel, 16-bit samples.
struct Mosaic {
    uint32_t height = 0;
    uint32_t width = 0;
    std::vector<uint16_t> samples;
};

enum class SampleFormat { uint8, uint16, float32 };

// A developed image, channels interleaved, samples in native byte order.
struct OutputImage {
    uint32_t height = 0;
    uint32_t width = 0;
    uint32_t channels = 0;
    SampleFormat format = SampleFormat::uint8;
    std::vector<unsigned char> bytes;
};

size_t bytes_per_sample(SampleFormat format);

// The library works with signed 32-bit sample positions: three channels of
// this many pixels stay below 2^31 samples.
inline constexpr uint64_t kMaxPixels = (uint64_t{1} << 31) / 3 - 1;

}  // namespace orvex::develop
