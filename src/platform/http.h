// What the two HTTP requests (WinINet on Windows, libcurl on the substitute) share, so that one
// download behaves and fails alike on both: the limits, the name the program gives itself, and
// the WinINet numbers the substitute reports for failures that have no runtime number.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tk::host::http {

// Connecting, and the longest pause in the body, before the request gives up.
inline constexpr int kTimeoutSeconds = 60;
// What one read from the network takes at most.
inline constexpr std::size_t kBufferSize = 128 * 1024;
inline constexpr const char* kUserAgent = "TovrenKur/1.0";

inline constexpr int32_t kInternalError = -2147012892;   // HRESULT of WinINet's 12004
inline constexpr int32_t kRedirectFailed = -2147012740;  // HRESULT of WinINet's 12156

}  // namespace tk::host::http
