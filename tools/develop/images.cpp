#include "images.h"

namespace orvex::develop {

size_t bytes_per_sample(SampleFormat format) {
    switch (format) {
        case SampleFormat::uint8:
            return 1;
        case SampleFormat::uint16:
            return 2;
        case SampleFormat::float32:
            return 4;
    }
    return 0;
}

}  // namespace orvex::develop
