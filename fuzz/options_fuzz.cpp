// The batch tool's command line: the input is split at NUL bytes into arguments.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "reports/options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += char(data[i]);
    }
    const popchan::batch::Parsed p = popchan::batch::parse(args);
    if (p.options.days < 1 || p.options.threads < 0 || p.options.threads > 1024) std::abort();
    return 0;
}
