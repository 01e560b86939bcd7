// What the window tests share: a key delivered to a window as the X server would deliver it.
// The private Xvfb itself is started by xvfb_posix.cpp.
#pragma once

class Fl_Window;

namespace tk::host {

void pressKey(Fl_Window& window, int key, int state = 0);

}  // namespace tk::host
