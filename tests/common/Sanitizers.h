// Whether the test program runs under AddressSanitizer (./test.sh --sanitize).
// Its shadow memory, red zones and quarantine of freed blocks make resident
// memory say nothing about our code, so memory bounds are checked only without it.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kUnderAddressSanitizer = true;
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif
