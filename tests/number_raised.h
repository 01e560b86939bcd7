// For the tests of failures, on the fake platform as on the real ones: which runtime number a
// call raises.
#pragma once

#include <cstdint>

#include "platform/error.h"

namespace tk::test {

// The number of the PlatformError that `call` throws; 0 when it returns.
template <class Call>
int32_t numberRaised(Call&& call) {
  try {
    call();
  } catch (const PlatformError& error) {
    return error.number;
  }
  return 0;
}

}  // namespace tk::test
