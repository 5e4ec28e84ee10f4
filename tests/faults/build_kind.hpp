// Whether this build runs under AddressSanitizer. The binary under test is
// built with the same flags as the tests: under the sanitizer it runs some
// times slower and cannot live within a small address-space limit.
#pragma once

#include <cstddef>

namespace voziv::testing {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool underAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool underAddressSanitizer = true;
#else
constexpr bool underAddressSanitizer = false;
#endif
#else
constexpr bool underAddressSanitizer = false;
#endif

// A size for a stress input: as given, or a tenth of it under the sanitizer.
constexpr std::size_t stressSize(std::size_t n) {
    return underAddressSanitizer ? n / 10 : n;
}

}  // namespace voziv::testing
