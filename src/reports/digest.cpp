#include "reports/digest.h"

#include <cstdio>
#include <openssl/evp.h>
#include <stdexcept>

namespace popchan::batch {

std::string sha256_hex(std::string_view text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    if (!EVP_Digest(text.data(), text.size(), digest, &size, EVP_sha256(), nullptr))
        throw std::runtime_error("OpenSSL could not compute a SHA-256 digest");
    std::string hex;
    for (unsigned i = 0; i < size; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

} // namespace popchan::batch
