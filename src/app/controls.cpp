// Control state changes and the lookup of a control's stored description.
#include "app/controls.h"

#include "platform/error.h"

namespace tk {

void Control::setText(std::string text) {
  text_ = std::move(text);
  if (view_ != nullptr)
    view_->controlChanged(*this);
}

void Control::setVisible(bool visible) {
  visible_ = visible;
  if (view_ != nullptr)
    view_->controlChanged(*this);
}

void Control::setElevationRequired(bool required) {
  elevationRequired_ = required;
  if (view_ != nullptr)
    view_->controlChanged(*this);
}

template <std::size_t N>
Control& ControlArray<N>::operator()(int index) {
  if (index < 0 || index >= static_cast<int>(N))
    throw makeError(err::kSubscriptOutOfRange);
  return elements_[static_cast<std::size_t>(index)];
}

template <std::size_t N>
const Control& ControlArray<N>::operator()(int index) const {
  return const_cast<ControlArray<N>&>(*this)(index);
}

template class ControlArray<8>;

const ControlDescription& findDescription(std::string_view name, int index) {
  for (const ControlDescription& control : form1Description().controls) {
    if (control.name == name && control.index == index)
      return control;
  }
  throw makeError(err::kObjectRequired);
}

}  // namespace tk
