// Form1 on FLTK: one widget per control at its stored place, Windows keyboard navigation (Tab by
// tab index, Enter/Space on buttons, Esc ignored), and the close box ending the program.
#include "platform/posix/window_posix.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Multiline_Output.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "platform/posix/fltk_posix.h"
#include "platform/window.h"

namespace tk::host {
namespace {

bool takesFocus(const ControlDescription& description) {
  return description.tabIndex >= 0 && (description.kind == ControlKind::TextBox ||
                                       description.kind == ControlKind::CommandButton);
}

bool windowless(const ControlDescription& description) {
  return description.kind == ControlKind::Label || description.kind == ControlKind::Shape;
}

// A locked multi-line text box: text can be selected and copied but not changed.
class FormTextBox : public Fl_Multiline_Output {
 public:
  FormTextBox(int x, int y, int w, int h) : Fl_Multiline_Output(x, y, w, h) {
    type(FL_MULTILINE_OUTPUT_WRAP);
    box(FL_DOWN_BOX);
  }
  int handle(int event) override {
    // Tab leaves a read-only box for the next control; the form does the moving.
    if (event == FL_KEYBOARD && Fl::event_key() == FL_Tab)
      return 0;
    return Fl_Multiline_Output::handle(event);
  }
};

// A shape: a one-pixel rectangle outline, transparent inside.
class ShapeFrame : public Fl_Widget {
 public:
  ShapeFrame(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) { box(FL_NO_BOX); }

 protected:
  void draw() override {
    fl_color(color());
    fl_rect(x(), y(), w(), h());
  }
};

}  // namespace

class PosixFormWindow::Window : public Fl_Double_Window {
 public:
  Window(PosixFormWindow& owner, int w, int h) : Fl_Double_Window(w, h), owner_(owner) {}

  int handle(int event) override {
    // Keys reach the form only when the focused control did not want them.
    if (event == FL_KEYBOARD && navigate())
      return 1;
    return Fl_Double_Window::handle(event);
  }

 private:
  bool navigate() {
    const int key = Fl::event_key();
    if (Fl::event_state(FL_CTRL | FL_ALT | FL_META) != 0)
      return false;
    if (key == FL_Tab) {
      owner_.moveFocus(Fl::event_state(FL_SHIFT) == 0);
      return true;
    }
    if (key == FL_Escape)
      return true;  // no cancel button: Esc does nothing
    const Control* focused = owner_.controlOf(Fl::focus());
    if (focused == nullptr || focused->description().kind != ControlKind::CommandButton)
      return false;
    // On a button the arrow keys move through the controls like Tab.
    if (key == FL_Right || key == FL_Down || key == FL_Left || key == FL_Up) {
      owner_.moveFocus(key == FL_Right || key == FL_Down);
      return true;
    }
    return false;
  }

  PosixFormWindow& owner_;
};

PosixFormWindow::PosixFormWindow(Form1& form, int dpi) : form_(form), dpi_(dpi) {
  openDisplay();
  if (dpi_ <= 0)
    dpi_ = screenDpi();
  build();
}

PosixFormWindow::~PosixFormWindow() {
  setDialogOwner(nullptr);  // there is only ever one form
}

void PosixFormWindow::build() {
  const FormDescription& form = form1Description();
  window_ = std::make_unique<Window>(*this, twipsToPixels(form.clientWidth, dpi_),
                                     twipsToPixels(form.clientHeight, dpi_));
  window_->copy_label(std::string(form.caption).c_str());
  window_->xclass(kApplicationTitle);
  window_->color(toFlColor(form.backColor, FL_BACKGROUND_COLOR));
  window_->callback(onClose, this);
  // A Windows form can be resized, and its controls stay where they are: no resizable widget.
  window_->resizable(nullptr);
  window_->size_range(twipsToPixels(1800, dpi_), twipsToPixels(450, dpi_));

  std::vector<Control*> controls = form_.controls();
  for (Control* control : controls)
    entries_.push_back({control, nullptr});
  // FLTK draws its children first to last: labels and shapes beneath the text boxes and
  // buttons, each group back to front.
  for (bool pass : {true, false}) {
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
      if (windowless(entry->control->description()) == pass)
        entry->widget = makeWidget(entry->control->description());
    }
  }
  window_->end();
  for (Entry& entry : entries_) {
    apply(entry);
    if (takesFocus(entry.control->description()))
      tabbable_.push_back(&entry);
  }
  std::stable_sort(tabbable_.begin(), tabbable_.end(), [](const Entry* a, const Entry* b) {
    return a->control->description().tabIndex < b->control->description().tabIndex;
  });
}

Fl_Widget* PosixFormWindow::makeWidget(const ControlDescription& d) {
  const int x = twipsToPixels(d.left, dpi_), y = twipsToPixels(d.top, dpi_);
  const int w = twipsToPixels(d.width, dpi_), h = twipsToPixels(d.height, dpi_);
  const Fl_Font font = d.font.bold ? kFontBold : kFontRegular;
  const int size = pointsToPixels(d.font.points, dpi_);
  switch (d.kind) {
    case ControlKind::TextBox: {
      auto* box = new FormTextBox(x, y, w, h);
      box->color(toFlColor(d.backColor, FL_WHITE));
      box->textfont(font);
      box->textsize(size);
      box->textcolor(systemColor(kColorWindowText));
      return box;
    }
    case ControlKind::CommandButton: {
      auto* button = new KeyButton(x, y, w, h);
      button->labelfont(font);
      button->labelsize(size);
      button->callback(onClick, this);
      return button;
    }
    case ControlKind::Label: {
      auto* label = new PlainText(x, y, w, h);
      label->color(toFlColor(d.backColor, systemColor(kColorButtonFace)));
      label->labelfont(font);
      label->labelsize(size);
      label->labelcolor(systemColor(kColorWindowText));
      return label;
    }
    case ControlKind::Shape:
      break;
  }
  auto* shape = new ShapeFrame(x, y, w, h);
  shape->color(systemColor(kColorWindowText));
  return shape;
}

// Mirrors a control's text and visibility on its widget.
void PosixFormWindow::apply(const Entry& entry) {
  const Control& control = *entry.control;
  switch (control.description().kind) {
    case ControlKind::TextBox: {
      auto* box = static_cast<FormTextBox*>(entry.widget);
      box->value(displayText(control.Text()).c_str());
      box->position(0);  // show the text from its first line, as Windows does
      break;
    }
    case ControlKind::CommandButton:
      entry.widget->copy_label(labelText(control.Text()).c_str());
      break;
    case ControlKind::Label:
      static_cast<PlainText*>(entry.widget)->text(control.Text());
      break;
    case ControlKind::Shape:
      break;
  }
  if (control.Visible() == (entry.widget->visible() != 0))
    return;
  if (control.Visible()) {
    entry.widget->show();
    return;
  }
  const bool hadFocus = entry.widget->contains(Fl::focus()) != 0;
  entry.widget->hide();
  // A hidden control cannot keep the focus: the form hands it on in tab order (FLTK itself
  // would drop it or give it to the window's first child).
  if (hadFocus)
    focusFrom(&entry, true);
}

void PosixFormWindow::controlChanged(const Control& control) {
  for (const Entry& entry : entries_) {
    if (entry.control == &control)
      apply(entry);
  }
}

void PosixFormWindow::show() {
  window_->show();
  setDialogOwner(window_.get());
  focusFrom(nullptr, true);
}

void PosixFormWindow::run() {
  while (window_->shown())
    Fl::wait();
}

void PosixFormWindow::queueClick(const Control& control) {
  queued_ = &control;
  Fl::add_timeout(0.0, onQueuedClick, this);
}

void PosixFormWindow::onQueuedClick(void* self) {
  auto* window = static_cast<PosixFormWindow*>(self);
  const Control* control = window->queued_;
  window->queued_ = nullptr;
  if (control == nullptr)
    return;
  Fl::flush();  // drawn first: the handler returns to the loop only at its end
  Form1& form = window->form_;
  window->runEvent([&form, control] { form.Click(*control); });
}

bool PosixFormWindow::runEvent(const std::function<void()>& handler) {
  // A handler runs to completion before the next event: while it waits in a message box the
  // form's buttons and close box do nothing.
  if (busy_)
    return false;
  busy_ = true;
  const bool keepRunning = runHandler(form_, handler);
  // Input that came while the handler ran was meant for a form that took none: a second click
  // on "Devam" would otherwise land on "Kapat", which takes its place.
  handlePendingWithoutInput();
  busy_ = false;
  if (!keepRunning)
    window_->hide();
  return keepRunning;
}

void PosixFormWindow::onClick(Fl_Widget* widget, void* self) {
  auto* window = static_cast<PosixFormWindow*>(self);
  if (const Entry* entry = window->entryOf(widget)) {
    Form1& form = window->form_;
    const Control& control = *entry->control;
    window->runEvent([&form, &control] { form.Click(control); });
  }
}

void PosixFormWindow::onClose(Fl_Widget*, void* self) {
  // FLTK calls this for Esc as well; only the close box ends the program.
  auto* window = static_cast<PosixFormWindow*>(self);
  if (Fl::event() == FL_CLOSE && !window->busy_)
    window->window_->hide();
}

// Focuses the next visible control after `from` in tab order (the first one when null).
void PosixFormWindow::focusFrom(const Entry* from, bool forward) {
  const int count = static_cast<int>(tabbable_.size());
  auto at = std::find(tabbable_.begin(), tabbable_.end(), from);
  int start =
      at == tabbable_.end() ? (forward ? -1 : count) : static_cast<int>(at - tabbable_.begin());
  for (int step = 1; step <= count; ++step) {
    const int k = ((start + (forward ? step : -step)) % count + count) % count;
    Entry* candidate = tabbable_[static_cast<std::size_t>(k)];
    if (candidate->control->Visible() && candidate->widget->take_focus())
      return;
  }
}

void PosixFormWindow::moveFocus(bool forward) {
  focusFrom(entryOf(Fl::focus()), forward);
}

std::vector<const Control*> PosixFormWindow::tabOrder() const {
  std::vector<const Control*> order;
  for (const Entry* entry : tabbable_) {
    if (entry->control->Visible())
      order.push_back(entry->control);
  }
  return order;
}

const PosixFormWindow::Entry* PosixFormWindow::entryOf(const Fl_Widget* widget) const {
  for (const Entry& entry : entries_) {
    if (widget != nullptr && entry.widget == widget)
      return &entry;
  }
  return nullptr;
}

Fl_Window& PosixFormWindow::window() {
  return *window_;
}

Fl_Widget* PosixFormWindow::widgetFor(const Control& control) const {
  for (const Entry& entry : entries_) {
    if (entry.control == &control)
      return entry.widget;
  }
  return nullptr;
}

const Control* PosixFormWindow::controlOf(const Fl_Widget* widget) const {
  const Entry* entry = entryOf(widget);
  return entry != nullptr ? entry->control : nullptr;
}

std::unique_ptr<FormWindow> makeFormWindow(Form1& form, Platform&) {
  return std::make_unique<PosixFormWindow>(form);
}

}  // namespace tk::host
