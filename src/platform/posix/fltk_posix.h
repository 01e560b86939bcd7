// What the FLTK window and the message boxes share: the display, the screen's DPI, fonts that
// carry the Turkish letters, stand-ins for the Windows system colours, and two small widgets.
#pragma once

#include <FL/Enumerations.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Widget.H>

#include <string>
#include <string_view>

#include "app/form_description.h"

class Fl_Window;

namespace tk::host {

// FLTK font numbers of DejaVu Sans Condensed, regular and bold: it has ş ı ğ İ, and a fresh
// machine may have no other font at all.
inline constexpr Fl_Font kFontRegular = FL_FREE_FONT;
inline constexpr Fl_Font kFontBold = FL_FREE_FONT + 1;

// Opens the X display once, and sets up fonts and colours. Throws PlatformError when there is
// no display (FLTK itself would end the process).
void openDisplay();

// The screen's DPI: the Xft.dpi resource when the desktop sets one, else the screen's size.
int screenDpi();

// A point size as pixels at `dpi`.
int pointsToPixels(double points, int dpi);

// The colour a description asks for; `fallback` for the kind's default.
Fl_Color toFlColor(const ColorSpec& color, Fl_Color fallback);
Fl_Color systemColor(uint32_t index);

// Windows text as shown: CR LF (and a lone CR) become line breaks.
std::string displayText(std::string_view text);

// Text for an FLTK label, which would otherwise read "@" as the start of a symbol.
std::string labelText(std::string_view text);

// Text drawn as it stands, word-wrapped at the widget's width, on an opaque background.
class PlainText : public Fl_Widget {
 public:
  PlainText(int x, int y, int w, int h);
  void text(std::string_view value);
  const std::string& text() const { return text_; }
  // Height of the text when wrapped at `width` (the width it really takes is returned too).
  static void measure(const std::string& text, Fl_Font font, int size, int& width, int& height);

 protected:
  void draw() override;

 private:
  std::string text_;
};

// A button that Enter and Space press while it has the focus, as a Windows button.
class KeyButton : public Fl_Button {
 public:
  KeyButton(int x, int y, int w, int h);
  int handle(int event) override;
};

// Handles the events that are waiting (drawing, moving, the system's) with mouse and keyboard
// input discarded: while a long work runs, and after a handler, for input that came meanwhile.
void handlePendingWithoutInput();

// The window the message boxes belong to and centre on; null when none is shown.
void setDialogOwner(Fl_Window* owner);
Fl_Window* dialogOwner();

}  // namespace tk::host
