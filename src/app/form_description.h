// The stored description of the installer's one window: the form and every control with its
// kind, position and size in twips, tab index, caption or initial text, colours, font and
// visibility. Both window backends draw from this table.
#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <string_view>

namespace tk {

enum class ControlKind { TextBox, CommandButton, Label, Shape };

// A colour is either the control kind's default, a Windows system colour (by its index) or RGB.
struct ColorSpec {
  enum class Kind { Default, System, Rgb };
  Kind kind = Kind::Default;
  uint32_t value = 0;  // system colour index, or 0x00BBGGRR

  static constexpr ColorSpec system(uint32_t index) { return {Kind::System, index}; }
  static constexpr ColorSpec rgb(uint8_t r, uint8_t g, uint8_t b) {
    return {Kind::Rgb, static_cast<uint32_t>(r | (g << 8) | (b << 16))};
  }
};

// System colour indexes the window uses.
inline constexpr uint32_t kColorInactiveCaption = 3;
inline constexpr uint32_t kColorWindowText = 8;
inline constexpr uint32_t kColorHighlight = 13;
inline constexpr uint32_t kColorButtonFace = 15;

struct FontSpec {
  std::string_view name = "MS Sans Serif";
  double points = 8.25;
  bool bold = false;
  int charset = 162;  // Turkish, so ş ı ğ İ render on a Windows of any language
};

struct ControlDescription {
  std::string_view name;  // "Text1", "Text12", "Command1", ...
  int index;              // element index within a control array, -1 when not an array
  ControlKind kind;
  int left, top, width, height;  // twips, from the client area's top-left corner
  int tabIndex;                  // -1: no tab index (shapes)
  std::string_view text;         // caption or initial text
  bool visible;
  bool multiLine;
  bool locked;
  ColorSpec backColor;  // labels and text boxes; Default takes the kind's default
  FontSpec font;
};

struct FormDescription {
  std::string_view name;
  std::string_view caption;
  int clientWidth, clientHeight;  // twips
  FontSpec font;
  ColorSpec backColor;
  std::span<const ControlDescription> controls;  // front to back
};

// The form Form1, as stored.
const FormDescription& form1Description();

// Twips to pixels at the given DPI (1440 twips per inch).
inline int twipsToPixels(int twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

}  // namespace tk
