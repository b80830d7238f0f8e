// The digest that proves a shard's sums whole: SHA-256, by OpenSSL's libcrypto
// on the command line and by the page's hash library in the browser.
#pragma once

#include <string>
#include <string_view>

namespace popchan::batch {

// The SHA-256 digest of `text` (its bytes as they are) in lowercase hex.
std::string sha256_hex(std::string_view text);

} // namespace popchan::batch
