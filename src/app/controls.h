// The form's controls as small objects: each holds its state (text, visibility) and tells the
// window backend about every change at once, as a real control would.
#pragma once

#include <array>
#include <string>

#include "app/form_description.h"

namespace tk {

class Control;

// What a window backend implements to mirror the controls' state on screen.
class ControlView {
 public:
  virtual ~ControlView() = default;
  virtual void controlChanged(const Control& control) = 0;
};

class Control {
 public:
  explicit Control(const ControlDescription& description)
      : description_(&description), text_(description.text), visible_(description.visible) {}

  const ControlDescription& description() const { return *description_; }

  // A text box's Text, a button's or label's Caption.
  const std::string& Text() const { return text_; }
  void setText(std::string text);

  bool Visible() const { return visible_; }
  void setVisible(bool visible);

  // A button whose action asks for administrator rights: Windows marks it with its shield.
  bool ElevationRequired() const { return elevationRequired_; }
  void setElevationRequired(bool required);

  void setView(ControlView* view) { view_ = view; }

 private:
  const ControlDescription* description_;
  std::string text_;
  bool visible_;
  bool elevationRequired_ = false;
  ControlView* view_ = nullptr;
};

// A control array such as Text1: Text1(k) is element k; an index outside the array is the
// runtime's "subscript out of range".
template <std::size_t N>
class ControlArray {
 public:
  explicit ControlArray(std::array<Control, N> elements) : elements_(std::move(elements)) {}

  Control& operator()(int index);
  const Control& operator()(int index) const;
  static constexpr int size() { return static_cast<int>(N); }

 private:
  std::array<Control, N> elements_;
};

// The description entry of a control by name and array index (-1 for a single control).
const ControlDescription& findDescription(std::string_view name, int index = -1);

}  // namespace tk
