// The substitute's message box under a private Xvfb: the answers to keys, Esc and the close box
// for each button code, the default button, labels and title, wrapping, and modality.
#include <gtest/gtest.h>

#include "platform/posix/fltk_posix.h"
#include "platform/posix/posix_objects.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>

#include <functional>

namespace tk::posix {
namespace {

// What the user does once the box is up; runs inside the box's own event loop.
using Act = std::function<void(Fl_Window& box)>;

struct Pending {
  Act act;
  bool timedOut = false;
};

void actOnBox(void* data) {
  auto* pending = static_cast<Pending*>(data);
  if (Fl_Window* box = Fl::modal())
    pending->act(*box);
}

void watchdog(void* data) {
  auto* pending = static_cast<Pending*>(data);
  pending->timedOut = true;
  if (Fl_Window* box = Fl::modal())
    box->hide();
}

int answerBox(const std::string& prompt, int buttons, std::optional<std::string> title, Act act) {
  Pending pending{std::move(act)};
  Fl::add_timeout(0.1, actOnBox, &pending);
  Fl::add_timeout(10.0, watchdog, &pending);
  const int answer = showMessageBox(prompt, buttons, title);
  Fl::remove_timeout(actOnBox, &pending);
  Fl::remove_timeout(watchdog, &pending);
  EXPECT_FALSE(pending.timedOut) << "the box was still open after 10 s";
  return answer;
}

void press(Fl_Window& box, int key) {
  static char none[] = "";
  Fl::e_keysym = key;
  Fl::e_state = 0;
  Fl::e_text = none;
  Fl::e_length = 0;
  Fl::handle(FL_KEYBOARD, &box);
}

// -1 stands for a click on the close box.
void perform(Fl_Window& box, const std::vector<int>& keys) {
  for (int key : keys) {
    if (!box.shown())
      return;
    if (key == -1) {
      Fl::handle(FL_CLOSE, &box);
    } else {
      press(box, key);
    }
  }
}

std::vector<std::string> buttonLabels(Fl_Window& box) {
  std::vector<std::string> labels;
  for (int k = 0; k < box.children(); ++k) {
    if (auto* button = dynamic_cast<Fl_Button*>(box.child(k)))
      labels.push_back(button->label());
  }
  return labels;
}

TEST(MessageBox, AnswersAsWindowsDoes) {
  struct Case {
    int buttons;
    std::vector<int> keys;
    int answer;
  };
  constexpr int kClose = -1;
  const std::vector<Case> cases{
      {292, {FL_Enter}, vbNo},                     // No is the default
      {292, {' '}, vbNo},                          //
      {292, {FL_Escape, kClose, FL_Enter}, vbNo},  // Esc and close do nothing
      {292, {FL_Tab, FL_Enter}, vbYes},            //
      {292, {FL_Left, ' '}, vbYes},                //
      {0, {FL_Escape}, vbOK},                      // an OK box answers OK to Esc
      {64, {kClose}, vbOK},                        // and to its close box
      {16, {FL_Enter}, vbOK},                      //
      {4, {FL_Enter}, vbYes},                      // without DEFBUTTON2, Yes leads
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("buttons " + std::to_string(c.buttons));
    bool openAfterFirst = false;
    const int answer = answerBox("Soru?", c.buttons, {}, [&](Fl_Window& box) {
      perform(box, {c.keys.front()});
      openAfterFirst = box.shown() != 0;
      perform(box, std::vector<int>(c.keys.begin() + 1, c.keys.end()));
    });
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(openAfterFirst, c.keys.size() > 1);
  }
}

TEST(MessageBox, LabelsTitleAndTheFocusedDefault) {
  std::vector<std::string> labels;
  std::string title, focused;
  answerBox("Kurulsun mu?", 292, {}, [&](Fl_Window& box) {
    labels = buttonLabels(box);
    title = box.label();
    focused = Fl::focus() != nullptr ? Fl::focus()->label() : "";
    press(box, FL_Enter);
  });
  EXPECT_EQ(labels, (std::vector<std::string>{"Evet", "Hayır"}));
  EXPECT_EQ(title, "TovrenKur");
  EXPECT_EQ(focused, "Hayır");

  answerBox("Bitti", 64, std::string("TovrenKur v1.0.9"), [&](Fl_Window& box) {
    labels = buttonLabels(box);
    title = box.label();
    press(box, FL_Enter);
  });
  EXPECT_EQ(labels, (std::vector<std::string>{"Tamam"}));
  EXPECT_EQ(title, "TovrenKur v1.0.9");
}

TEST(MessageBox, LongPromptsWrapAndCrLfBreaksLines) {
  int oneLine = 0, twoLines = 0, longWidth = 0, longHeight = 0;
  answerBox("Tek satır", 0, {}, [&](Fl_Window& box) {
    oneLine = box.h();
    press(box, FL_Enter);
  });
  answerBox("Birinci satır\r\nİkinci satır", 0, {}, [&](Fl_Window& box) {
    twoLines = box.h();
    press(box, FL_Enter);
  });
  std::string prompt;
  for (int k = 0; k < 40; ++k)
    prompt += "kelime ";
  answerBox(prompt, 64, {}, [&](Fl_Window& box) {
    longWidth = box.w();
    longHeight = box.h();
    press(box, FL_Enter);
  });
  EXPECT_GT(twoLines, oneLine);
  EXPECT_LE(longWidth, 500);  // wrapped, not one 280-character line
  EXPECT_GT(longHeight, twoLines);
}

TEST(MessageBox, ModalAndCentredOnTheForm) {
  openDisplay();
  Fl_Window form(100, 80, 424, 328);
  form.end();
  form.show();
  setDialogOwner(&form);
  bool modal = false;
  int centreX = 0, centreY = 0;
  answerBox("Tamam mı?", 0, {}, [&](Fl_Window& box) {
    modal = Fl::modal() == &box && box.modal();
    centreX = box.x() + box.w() / 2;
    centreY = box.y() + box.h() / 2;
    press(box, FL_Enter);
  });
  setDialogOwner(nullptr);
  EXPECT_TRUE(modal);
  EXPECT_NEAR(centreX, form.x() + form.w() / 2, 1);
  EXPECT_NEAR(centreY, form.y() + form.h() / 2, 1);
}

TEST(MessageBox, AButtonGroupItDoesNotOfferIsRefused) {
  try {
    showMessageBox("?", 1, {});  // OK/Cancel
    FAIL();
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.number, err::kInvalidCall);
  }
}

}  // namespace
}  // namespace tk::posix
