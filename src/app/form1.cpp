// Form1's construction from its stored description, its event wiring and the two exit buttons.
#include "app/form1.h"

namespace tk {
namespace {

std::array<Control, 8> textArray() {
  return {Control(findDescription("Text1", 0)), Control(findDescription("Text1", 1)),
          Control(findDescription("Text1", 2)), Control(findDescription("Text1", 3)),
          Control(findDescription("Text1", 4)), Control(findDescription("Text1", 5)),
          Control(findDescription("Text1", 6)), Control(findDescription("Text1", 7))};
}

}  // namespace

Form1::Form1(Platform& platform, Options options, std::string logPath)
    : Text1(textArray()),
      Text12(findDescription("Text12")),
      Text13(findDescription("Text13")),
      Text14(findDescription("Text14")),
      Command1(findDescription("Command1")),
      Command2(findDescription("Command2")),
      Command3(findDescription("Command3")),
      Label1(findDescription("Label1")),
      Label2(findDescription("Label2")),
      Label3(findDescription("Label3")),
      Shape1(findDescription("Shape1")),
      Shape2(findDescription("Shape2")),
      platform_(platform),
      options_(std::move(options)),
      logPath_(std::move(logPath)) {}

std::vector<Control*> Form1::controls() {
  std::vector<Control*> all{&Text12, &Text13, &Text14, &Command1, &Command2, &Command3,
                            &Label1, &Label2, &Label3, &Shape1,   &Shape2};
  for (int k = 0; k < Text1.size(); ++k)
    all.push_back(&Text1(k));
  std::vector<Control*> ordered;
  for (const ControlDescription& description : form1Description().controls) {
    for (Control* control : all) {
      if (&control->description() == &description)
        ordered.push_back(control);
    }
  }
  return ordered;
}

void Form1::setView(ControlView* view) {
  for (Control* control : controls())
    control->setView(view);
}

void Form1::Click(const Control& control) {
  if (&control == &Command1) {
    Command1_Click();
  } else if (&control == &Command2) {
    Command2_Click();
  } else if (&control == &Command3) {
    Command3_Click();
  }
}

// The two exit buttons end the program at once: nothing is asked, written or undone.
void Form1::Command2_Click() {
  log("Kurulumdan Çık basıldı");
  End();
}

void Form1::Command3_Click() {
  log("Kapat basıldı");
  End();
}

}  // namespace tk
