// The installer's window on FLTK: Form1 drawn from its stored description at the screen's DPI,
// with the keyboard, focus and close-box behaviour of a Windows form; clicks run through the
// handler boundary.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "app/program.h"

class Fl_Widget;
class Fl_Window;

namespace tk::host {

class PosixFormWindow : public FormWindow {
 public:
  // `dpi` 0 takes the screen's. Opens the display (throws PlatformError when there is none).
  explicit PosixFormWindow(Form1& form, int dpi = 0);
  ~PosixFormWindow() override;

  void show() override;
  void run() override;
  void queueClick(const Control& control) override;
  void controlChanged(const Control& control) override;

  // Runs one handler at the boundary with the form inert meanwhile (clicks and the close box are
  // ignored); closes the window when the program must end. False when the handler did not run
  // or the program ends.
  bool runEvent(const std::function<void()>& handler);

  // Moves the focus to the next (or previous) visible control in tab order, as Tab does.
  void moveFocus(bool forward);
  // The visible controls that can take the focus, in tab order.
  std::vector<const Control*> tabOrder() const;

  Fl_Window& window();
  Fl_Widget* widgetFor(const Control& control) const;
  const Control* controlOf(const Fl_Widget* widget) const;
  int dpi() const { return dpi_; }

 private:
  class Window;
  struct Entry {
    Control* control;
    Fl_Widget* widget;
  };

  void build();
  Fl_Widget* makeWidget(const ControlDescription& description);
  void apply(const Entry& entry);
  void focusFrom(const Entry* from, bool forward);
  const Entry* entryOf(const Fl_Widget* widget) const;
  static void onClick(Fl_Widget* widget, void* self);
  static void onClose(Fl_Widget* widget, void* self);
  static void onQueuedClick(void* self);

  Form1& form_;
  int dpi_;
  std::unique_ptr<Window> window_;
  std::vector<Entry> entries_;    // in the stored order, front to back
  std::vector<Entry*> tabbable_;  // text boxes and buttons by tab index, hidden ones included
  bool busy_ = false;
  const Control* queued_ = nullptr;  // the click that queueClick asked for
};

}  // namespace tk::host
