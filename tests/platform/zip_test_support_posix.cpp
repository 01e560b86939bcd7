// The zip tests' real platform on Linux: the substitute.
#include "zip_test_support.h"

namespace tk::test {

bool oemCodePageIs857() {
  return true;  // the substitute's own table
}

ComApartment::ComApartment() = default;
ComApartment::~ComApartment() = default;

}  // namespace tk::test
