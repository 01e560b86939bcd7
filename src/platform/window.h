// The window that shows Form1 on the host: Win32 on Windows (window_win.cpp), FLTK on the
// substitute (window_posix.cpp). The program's entry makes it the same way on both.
#pragma once

#include <memory>

#include "app/program.h"

namespace tk::host {

// The form's window, hidden until shown; every click runs its handler through runHandler with
// `platform`, so End and failures stop at the toolkit's boundary. Throws PlatformError when the
// window cannot be made (no display).
std::unique_ptr<FormWindow> makeFormWindow(Form1& form, Platform& platform);

}  // namespace tk::host
