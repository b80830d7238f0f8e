// The digest of a shard's sums in the browser: SHA-256 by the page's hash
// library (js-sha256), which the page and its workers load beside the module.
#include <emscripten/emscripten.h>

#include <cstdlib>
#include <memory>

#include "reports/digest.h"

EM_JS(char*, page_sha256, (const char* data, int size), {
    const hex = globalThis.sha256(HEAPU8.subarray(data, data + size));
    const out = _malloc(hex.length + 1);
    stringToUTF8(hex, out, hex.length + 1);
    return out;
});

namespace popchan::batch {

std::string sha256_hex(std::string_view text) {
    const std::unique_ptr<char, decltype(&std::free)> hex(
        page_sha256(text.data(), int(text.size())), &std::free);
    return hex.get();
}

} // namespace popchan::batch
