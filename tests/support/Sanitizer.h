// HALCYRA_ADDRESS_SANITIZER is defined where AddressSanitizer instruments the build, by gcc or by clang.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define HALCYRA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HALCYRA_ADDRESS_SANITIZER 1
#endif
#endif
