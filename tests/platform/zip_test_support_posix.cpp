// The zip tests' host on Linux: the substitute's own code page table.
#include "zip_test_support.h"

namespace tk::test {

bool oemCodePageIs857() {
  return true;  // the substitute's own table
}

}  // namespace tk::test
