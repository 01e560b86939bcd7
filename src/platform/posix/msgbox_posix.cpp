// MsgBox on the substitute: a small modal FLTK dialog of our own that takes the Windows button
// codes (OK or Yes/No, the error, question and information icons, the default button) and gives
// the answers Windows gives.
// Ours first: fl_draw.H pulls in Xlib, whose macros (Status, None, Bool) would clash.
#include "platform/host_platform.h"
#include "platform/posix/fltk_posix.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tk::host {
namespace {

enum class Icon { Absent, Error, Question, Information };

struct BoxStyle {
  bool yesNo;
  Icon icon;
  bool secondIsDefault;
};

BoxStyle styleOf(int buttons) {
  const int group = buttons & 0xF;  // MB_OK 0, MB_YESNO 4
  if (group != 0 && group != 4)
    throw makeError(err::kInvalidCall);
  const int icon = buttons & 0xF0;  // MB_ICONHAND 16, MB_ICONQUESTION 32, MB_ICONASTERISK 64
  const Icon shown = icon == 16   ? Icon::Error
                     : icon == 32 ? Icon::Question
                     : icon == 64 ? Icon::Information
                                  : Icon::Absent;
  return {group == 4, shown, (buttons & 0xF00) == 256};  // MB_DEFBUTTON2
}

// The icon, drawn: a red disc with a cross, or a blue disc with "?" or "i".
class IconView : public Fl_Widget {
 public:
  IconView(int x, int y, int size, Icon icon) : Fl_Widget(x, y, size, size), icon_(icon) {
    box(FL_NO_BOX);
  }

 protected:
  void draw() override {
    fl_color(icon_ == Icon::Error ? fl_rgb_color(232, 17, 35) : fl_rgb_color(0, 120, 215));
    fl_pie(x(), y(), w(), h(), 0, 360);
    fl_color(FL_WHITE);
    if (icon_ == Icon::Error) {
      const int inset = w() * 3 / 10;
      fl_line_style(FL_SOLID, std::max(2, w() / 10));
      fl_line(x() + inset, y() + inset, x() + w() - inset, y() + h() - inset);
      fl_line(x() + w() - inset, y() + inset, x() + inset, y() + h() - inset);
      fl_line_style(0);
      return;
    }
    fl_font(kFontBold, h() * 3 / 4);
    fl_draw(icon_ == Icon::Question ? "?" : "i", x(), y(), w(), h(), FL_ALIGN_CENTER, nullptr, 0);
  }

 private:
  Icon icon_;
};

class MessageDialog : public Fl_Double_Window {
 public:
  MessageDialog(const std::string& prompt, const BoxStyle& style, const std::string& title,
                int dpi);
  int run();

 private:
  int px(int pixelsAt96) const { return static_cast<int>(std::lround(pixelsAt96 * dpi_ / 96.0)); }
  void addButtons(int width, int top);
  void placeOnOwner();
  static void onButton(Fl_Widget* button, void* answer);
  static void onClose(Fl_Widget* window, void*);

  BoxStyle style_;
  int dpi_;
  int answer_ = 0;
  std::vector<KeyButton*> buttons_;
};

MessageDialog::MessageDialog(const std::string& prompt, const BoxStyle& style,
                             const std::string& title, int dpi)
    : Fl_Double_Window(10, 10), style_(style), dpi_(dpi) {
  const int pad = px(12), textSize = pointsToPixels(9, dpi);
  const int iconSize = style.icon == Icon::Absent ? 0 : px(32);
  const int textLeft = pad + (iconSize > 0 ? iconSize + pad : 0);
  const std::string shown = displayText(prompt);
  // Long prompts wrap at a fixed width, as Windows wraps them.
  int textWidth = px(400), textHeight = 0;
  PlainText::measure(shown, kFontRegular, textSize, textWidth, textHeight);
  textHeight = std::max(textHeight, textSize);
  const int bodyHeight = std::max(iconSize, textHeight) + 2 * pad;
  const int buttonCount = style.yesNo ? 2 : 1;
  const int buttonsWidth = buttonCount * px(88) + (buttonCount - 1) * px(8);
  const int width = std::max({textLeft + textWidth + 2 * pad, buttonsWidth + 2 * pad, px(220)});
  size(width, bodyHeight + px(26) + 2 * px(10));

  auto* body = new Fl_Box(0, 0, width, bodyHeight);
  body->box(FL_FLAT_BOX);
  body->color(FL_WHITE);
  if (iconSize > 0)
    new IconView(pad, pad, iconSize, style.icon);
  // A single line sits level with the icon's middle; more lines start at its top.
  const int textTop = pad + std::max(0, (iconSize - textHeight) / 2);
  auto* text = new PlainText(textLeft, textTop, textWidth, textHeight);
  text->color(FL_WHITE);
  text->labelsize(textSize);
  text->labelcolor(FL_BLACK);
  text->text(prompt);
  addButtons(width, bodyHeight + px(10));
  end();
  copy_label(title.c_str());
  xclass(kApplicationTitle);
  callback(onClose);
  set_modal();
}

void MessageDialog::addButtons(int width, int top) {
  std::vector<std::pair<const char*, int>> labels;
  if (style_.yesNo) {
    labels = {{"Evet", vbYes}, {"Hayır", vbNo}};
  } else {
    labels = {{"Tamam", vbOK}};
  }
  int left = width - px(12) - static_cast<int>(labels.size()) * px(88) -
             static_cast<int>(labels.size() - 1) * px(8);
  for (const auto& [label, answer] : labels) {
    auto* button = new KeyButton(left, top, px(88), px(26));
    button->copy_label(label);
    button->labelfont(kFontRegular);
    button->labelsize(pointsToPixels(9, dpi_));
    button->callback(onButton, reinterpret_cast<void*>(static_cast<fl_intptr_t>(answer)));
    buttons_.push_back(button);
    left += px(88) + px(8);
  }
}

void MessageDialog::onButton(Fl_Widget* button, void* answer) {
  auto* dialog = static_cast<MessageDialog*>(button->window());
  dialog->answer_ = static_cast<int>(reinterpret_cast<fl_intptr_t>(answer));
  dialog->hide();
}

void MessageDialog::onClose(Fl_Widget* window, void*) {
  // Esc and the close box: an OK box answers OK, as Windows does; a Yes/No box has no way out
  // but its buttons.
  auto* dialog = static_cast<MessageDialog*>(window);
  if (!dialog->style_.yesNo) {
    dialog->answer_ = vbOK;
    dialog->hide();
  }
}

void MessageDialog::placeOnOwner() {
  int left = 0, top = 0, areaWidth = Fl::w(), areaHeight = Fl::h();
  if (Fl_Window* owner = dialogOwner()) {
    left = owner->x();
    top = owner->y();
    areaWidth = owner->w();
    areaHeight = owner->h();
  }
  position(std::max(0, left + (areaWidth - w()) / 2), std::max(0, top + (areaHeight - h()) / 2));
}

int MessageDialog::run() {
  // Windows gives the focus back to the control that had it; FLTK would leave it nowhere.
  Fl_Widget_Tracker before(Fl::focus());
  placeOnOwner();
  show();
  const bool second = style_.secondIsDefault && buttons_.size() > 1;
  buttons_[second ? 1 : 0]->take_focus();
  // Modal: until it is answered the form takes no input.
  while (shown())
    Fl::wait();
  if (before.exists() && before.widget()->visible_r())
    before.widget()->take_focus();
  if (answer_ == 0)  // closed by other means than its buttons: what Enter would have given
    return style_.yesNo ? (second ? vbNo : vbYes) : vbOK;
  return answer_;
}

}  // namespace

int HostPlatform::MsgBox(const std::string& prompt, int buttons,
                         const std::optional<std::string>& title) {
  openDisplay();
  const BoxStyle style = styleOf(buttons);
  MessageDialog dialog(prompt, style, title.value_or(kApplicationTitle), screenDpi());
  return dialog.run();
}

}  // namespace tk::host
