// The browser-automation component: an outside COM component known only by its class and
// interface ids, whose members are called by dispatch id. The install sequence drives it, and
// the substitute stands in for it under the same ids.
#pragma once

#include <cstdint>

namespace tk {

inline constexpr const char* kDriverClassId = "{0277FC34-FD1B-4616-BB19-5D556733E8C9}";
inline constexpr const char* kFallbackDriverClassId = "{0277FC34-FD1B-4616-BB19-E3CCFFAB4234}";
inline constexpr const char* kDriverInterfaceId = "{0277FC34-FD1B-4616-BB19-CC6284398AA5}";

// Members of the driver interface: start the named browser; open an address in it.
inline constexpr int32_t kDispatchStartBrowser = 12;
inline constexpr int32_t kDispatchOpenPage = 32;

}  // namespace tk
