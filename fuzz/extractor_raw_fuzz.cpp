// The package extractor on any bytes: a refused package changes nothing, an accepted one changes
// only its destination.
#include "extractor_sandbox.h"

using namespace lumaforge;
using namespace lumaforge::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ExtractorSandbox sandbox;
    Input input(data, size);
    const TOverwriteMode mode = input.Byte() & 1 ? TOverwriteMode::Never : TOverwriteMode::Always;
    sandbox.Run(std::string(input.Rest()), mode);
    return 0;
}
