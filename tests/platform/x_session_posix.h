// What the window tests share: a key delivered to a window as the X server would deliver it, or
// through the X server itself.
// The private Xvfb itself is started by xvfb_posix.cpp.
#pragma once

class Fl_Window;

namespace tk::host {

void pressKey(Fl_Window& window, int key, int state = 0);
// The same key sent through the X server, so that it waits in the queue until FLTK reads it.
void queueKey(Fl_Window& window, int key);

}  // namespace tk::host
