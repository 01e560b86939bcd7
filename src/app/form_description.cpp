// The window description of Form1 as stored: one table, front to back.
#include "app/form_description.h"

#include <array>

namespace tk {
namespace {

using K = ControlKind;

constexpr ColorSpec kDefault{};
constexpr ColorSpec kMessageBack = ColorSpec::system(kColorInactiveCaption);
constexpr FontSpec kRegular{};
constexpr FontSpec kBold{"MS Sans Serif", 8.25, true, 162};

// The credit line: the application's name and what this program sets up, on up to two lines.
constexpr std::string_view kCredit = "Tovren - e-Belge Yükleme Asistanı Kurulumu, 2022";

constexpr std::array<ControlDescription, 19> kControls{{
    // name, index, kind, left, top, width, height, tab, text, visible, multi, locked, back, font
    {"Text14", -1, K::TextBox, 1320, 2880, 4695, 1065, 16, "Text14", true, true, true, kMessageBack,
     kRegular},
    {"Text13", -1, K::TextBox, 1320, 1320, 4695, 1425, 15, "Text13", true, true, true, kMessageBack,
     kRegular},
    {"Text12", -1, K::TextBox, 1320, 360, 4695, 825, 14, "Text12", true, true, true, kMessageBack,
     kBold},
    {"Text1", 7, K::TextBox, 360, 2040, 735, 195, 13, "Text8", false, false, false, kDefault,
     kRegular},
    {"Text1", 6, K::TextBox, 360, 1800, 735, 195, 12, "Text7", false, false, false, kDefault,
     kRegular},
    {"Text1", 5, K::TextBox, 360, 1560, 735, 195, 11, "Text6", false, false, false, kDefault,
     kRegular},
    {"Text1", 4, K::TextBox, 360, 1320, 735, 195, 10, "Text5", false, false, false, kDefault,
     kRegular},
    {"Text1", 3, K::TextBox, 360, 1080, 735, 195, 9, "Text4", false, false, false, kDefault,
     kRegular},
    {"Command3", -1, K::CommandButton, 4800, 4440, 1335, 375, 8, "Kapat", false, false, false,
     kDefault, kRegular},
    {"Text1", 2, K::TextBox, 360, 840, 735, 195, 7, "Text3", false, false, false, kDefault,
     kRegular},
    {"Text1", 1, K::TextBox, 360, 600, 735, 195, 6, "Text2", false, false, false, kDefault,
     kRegular},
    {"Text1", 0, K::TextBox, 360, 360, 735, 195, 4, "Text1", false, false, false, kDefault,
     kRegular},
    {"Command2", -1, K::CommandButton, 3240, 4440, 1335, 375, 3, "Kurulumdan Çık", true, false,
     false, kDefault, kRegular},
    {"Command1", -1, K::CommandButton, 4920, 4440, 1215, 375, 2, "Devam", true, false, false,
     kDefault, kRegular},
    {"Shape2", -1, K::Shape, 1200, 240, 4935, 3975, -1, "", true, false, false, kDefault, kRegular},
    {"Shape1", -1, K::Shape, 240, 240, 975, 3975, -1, "", true, false, false, kDefault, kRegular},
    {"Label3", -1, K::Label, 240, 4320, 2655, 495, 5, kCredit, true, false, false, kDefault,
     kRegular},
    {"Label2", -1, K::Label, 1200, 240, 4935, 3975, 1, "", true, false, false,
     ColorSpec::rgb(255, 128, 128), kRegular},
    {"Label1", -1, K::Label, 240, 240, 975, 3975, 0, "", true, false, false,
     ColorSpec::system(kColorHighlight), kRegular},
}};

constexpr FormDescription kForm1{
    "Form1",  "Tovren Kurulum işlemlerine hoşgeldiniz.", 6360,     4920,
    kRegular, ColorSpec::system(kColorButtonFace),       kControls};

}  // namespace

const FormDescription& form1Description() {
  return kForm1;
}

}  // namespace tk
