// Command1_Click: the Continue action, from the Chrome version check to the started application.
#include "app/form1.h"

namespace tk {

void Form1::Command1_Click() {}

}  // namespace tk
