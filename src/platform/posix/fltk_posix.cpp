// The display, DPI, fonts and colours that the FLTK window and the message boxes share, and the
// plain-text and key-pressed button widgets.
#include "platform/posix/fltk_posix.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cmath>
#include <cstdlib>

#include "platform/error.h"

namespace tk::host {
namespace {

Fl_Window* gDialogOwner = nullptr;

void setUpToolkit() {
  // FLTK's own "sans" would pick whatever fontconfig finds first; name a font known to carry the
  // Turkish letters. The condensed face is about as wide as MS Sans Serif, so captions fit their
  // stored sizes. A leading 'B' asks FLTK's Xft layer for the bold face.
  Fl::set_font(FL_HELVETICA, "DejaVu Sans");
  Fl::set_font(kFontRegular, "DejaVu Sans Condensed");
  Fl::set_font(kFontBold, "BDejaVu Sans Condensed");
  const Fl_Color face = systemColor(kColorButtonFace);
  uchar r, g, b;
  Fl::get_color(face, r, g, b);
  Fl::background(r, g, b);
  Fl::get_color(systemColor(kColorHighlight), r, g, b);
  Fl::set_color(FL_SELECTION_COLOR, r, g, b);
}

// Windows uses its DPI in quarter steps of 96; a physical 93 or 101 DPI would only give odd sizes.
int snapDpi(double dpi) {
  const int steps = static_cast<int>(std::lround(dpi / 24.0));
  return steps < 4 ? 96 : steps * 24;
}

// Mouse and keyboard go nowhere: no handler may start inside another, and nothing is left
// queued for the form to act on afterwards. Drawing, moving, focus and the close box (which the
// busy form ignores) go on.
int discardInput(int event, Fl_Window* window) {
  switch (event) {
    case FL_PUSH:
    case FL_RELEASE:
    case FL_DRAG:
    case FL_MOVE:
    case FL_ENTER:
    case FL_LEAVE:
    case FL_MOUSEWHEEL:
    case FL_KEYBOARD:
    case FL_KEYUP:
    case FL_SHORTCUT:
    case FL_PASTE:
    case FL_DND_ENTER:
    case FL_DND_DRAG:
    case FL_DND_LEAVE:
    case FL_DND_RELEASE:
      return 0;
    default:
      return Fl::handle_(event, window);
  }
}

}  // namespace

void openDisplay() {
  if (fl_display != nullptr)
    return;
  // FLTK ends the process when it cannot open the display; ask X first so that the caller gets
  // an error it can report.
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr)
    throw PlatformError(err::kCannotCreateObject,
                        "Ekran açılamadı: bir X görüntü sunucusu gerekli (DISPLAY).");
  fl_open_display(display);
  setUpToolkit();
}

int screenDpi() {
  openDisplay();
  // The desktop's logical DPI (its scaling setting) wins over the monitor's physical size.
  if (const char* xft = XGetDefault(fl_display, "Xft", "dpi")) {
    const double dpi = std::strtod(xft, nullptr);
    if (dpi >= 48 && dpi <= 960)
      return static_cast<int>(std::lround(dpi));
  }
  float horizontal = 0, vertical = 0;
  Fl::screen_dpi(horizontal, vertical, 0);
  return horizontal >= 48 && horizontal <= 960 ? snapDpi(horizontal) : 96;
}

int pointsToPixels(double points, int dpi) {
  return static_cast<int>(std::lround(points * dpi / 72.0));
}

Fl_Color systemColor(uint32_t index) {
  // Windows 10's default scheme.
  switch (index) {
    case kColorInactiveCaption:
      return fl_rgb_color(191, 205, 219);
    case kColorWindowText:
      return fl_rgb_color(0, 0, 0);
    case kColorHighlight:
      return fl_rgb_color(0, 120, 215);
    case kColorButtonFace:
      return fl_rgb_color(240, 240, 240);
    default:  // COLOR_WINDOW and anything else: white
      return fl_rgb_color(255, 255, 255);
  }
}

Fl_Color toFlColor(const ColorSpec& color, Fl_Color fallback) {
  switch (color.kind) {
    case ColorSpec::Kind::System:
      return systemColor(color.value);
    case ColorSpec::Kind::Rgb:
      return fl_rgb_color(static_cast<uchar>(color.value & 0xFF),
                          static_cast<uchar>((color.value >> 8) & 0xFF),
                          static_cast<uchar>((color.value >> 16) & 0xFF));
    case ColorSpec::Kind::Default:
      break;
  }
  return fallback;
}

std::string displayText(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] != '\r') {
      shown += text[k];
    } else if (k + 1 >= text.size() || text[k + 1] != '\n') {
      shown += '\n';  // a lone CR breaks the line too, as in a Windows edit box
    }
  }
  return shown;
}

std::string labelText(std::string_view text) {
  std::string label;
  for (char c : text) {
    label += c;
    if (c == '@')
      label += '@';
  }
  return label;
}

PlainText::PlainText(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {
  box(FL_FLAT_BOX);
  labelfont(kFontRegular);
}

void PlainText::text(std::string_view value) {
  text_ = displayText(value);
  redraw();
}

void PlainText::measure(const std::string& text, Fl_Font font, int size, int& width, int& height) {
  fl_font(font, size);
  height = 0;
  fl_measure(text.c_str(), width, height, 0);
}

void PlainText::draw() {
  draw_box();
  if (text_.empty())
    return;
  fl_push_clip(x(), y(), w(), h());
  fl_font(labelfont(), labelsize());
  fl_color(labelcolor());
  // No symbols: the text is shown as written, "@" included.
  fl_draw(text_.c_str(), x(), y(), w(), h(), FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP,
          nullptr, 0);
  fl_pop_clip();
}

KeyButton::KeyButton(int x, int y, int w, int h) : Fl_Button(x, y, w, h) {}

int KeyButton::handle(int event) {
  constexpr int kModifiers = FL_SHIFT | FL_CTRL | FL_ALT | FL_META;
  if (event == FL_KEYBOARD && Fl::focus() == this && Fl::event_state(kModifiers) == 0) {
    const int key = Fl::event_key();
    if (key == FL_Enter || key == FL_KP_Enter || key == ' ') {
      do_callback();
      return 1;
    }
  }
  return Fl_Button::handle(event);
}

void setDialogOwner(Fl_Window* owner) {
  gDialogOwner = owner;
}

Fl_Window* dialogOwner() {
  return gDialogOwner != nullptr && gDialogOwner->shown() ? gDialogOwner : nullptr;
}

void handlePendingWithoutInput() {
  Fl_Event_Dispatch before = Fl::event_dispatch();
  Fl::event_dispatch(discardInput);
  Fl::check();
  Fl::event_dispatch(before);
}

}  // namespace tk::host
