// The substitute's message box under a private Xvfb: answers to keys, Esc and the close box per
// button code, the default button, labels, title, wrapping, modality and placement.
#include <gtest/gtest.h>

#include "platform/host_platform.h"
#include "platform/posix/fltk_posix.h"
#include "platform/x_session_posix.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>

#include <functional>

namespace tk::host {
namespace {

// What the user does once the box is up, inside the box's own event loop; a watchdog closes a
// box that is still open after 10 s.
struct Pending {
  std::function<void(Fl_Window& box)> act;
  bool timedOut = false;
};

int answerBox(const std::string& prompt, int buttons, std::optional<std::string> title,
              std::function<void(Fl_Window& box)> act) {
  Pending pending{std::move(act)};
  Fl_Timeout_Handler onBox = [](void* data) {
    if (Fl_Window* box = Fl::modal())
      static_cast<Pending*>(data)->act(*box);
  };
  Fl_Timeout_Handler watchdog = [](void* data) {
    static_cast<Pending*>(data)->timedOut = true;
    if (Fl_Window* box = Fl::modal())
      box->hide();
  };
  Fl::add_timeout(0.1, onBox, &pending);
  Fl::add_timeout(10.0, watchdog, &pending);
  const int answer = HostPlatform().MsgBox(prompt, buttons, title);
  Fl::remove_timeout(onBox, &pending);
  Fl::remove_timeout(watchdog, &pending);
  EXPECT_FALSE(pending.timedOut);
  return answer;
}

constexpr int kCloseBox = -1;

TEST(MessageBox, AnswersAsWindowsDoes) {
  struct Case {
    int buttons;
    std::vector<int> keys;  // the box must stay open after all but the last
    int answer;
  };
  const std::vector<Case> cases{
      {292, {FL_Enter}, vbNo},  // No is the default
      {292, {' '}, vbNo},
      {292, {FL_Escape, kCloseBox, FL_Enter}, vbNo},  // Esc and the close box do nothing
      {292, {FL_Tab, FL_Enter}, vbYes},
      {4, {FL_Enter}, vbYes},  // without "second button is the default", Yes leads
      {0, {FL_Escape}, vbOK},  // an OK box answers OK to Esc and to its close box
      {64, {kCloseBox}, vbOK},
      {16, {FL_Enter}, vbOK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("buttons " + std::to_string(c.buttons));
    int closedAfter = 0;
    const int answer = answerBox("Soru?", c.buttons, {}, [&](Fl_Window& box) {
      for (int key : c.keys) {
        if (key == kCloseBox) {
          Fl::handle(FL_CLOSE, &box);
        } else {
          pressKey(box, key);
        }
        ++closedAfter;
        if (!box.shown())
          break;
      }
    });
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(closedAfter, static_cast<int>(c.keys.size()));
  }
}

struct Seen {
  std::vector<std::string> labels;
  std::string title, focused;
  int width = 0, height = 0;
};

Seen look(const std::string& prompt, int buttons, std::optional<std::string> title) {
  Seen seen;
  answerBox(prompt, buttons, title, [&](Fl_Window& box) {
    for (int k = 0; k < box.children(); ++k) {
      if (auto* button = dynamic_cast<Fl_Button*>(box.child(k)))
        seen.labels.push_back(button->label());
    }
    seen.title = box.label();
    seen.focused = Fl::focus() != nullptr && Fl::focus()->label() ? Fl::focus()->label() : "";
    seen.width = box.w();
    seen.height = box.h();
    pressKey(box, FL_Enter);
  });
  return seen;
}

TEST(MessageBox, LabelsTitleDefaultAndWrapping) {
  const Seen question = look("Kurulsun mu?", 292, {});
  EXPECT_EQ(question.labels, (std::vector<std::string>{"Evet", "Hayır"}));
  EXPECT_EQ(question.title, "TovrenKur");
  EXPECT_EQ(question.focused, "Hayır");

  const Seen oneLine = look("Bitti", 0, std::string("TovrenKur v1.0.9"));
  EXPECT_EQ(oneLine.labels, (std::vector<std::string>{"Tamam"}));
  EXPECT_EQ(oneLine.title, "TovrenKur v1.0.9");

  const Seen threeLines = look("Bir\r\nİki\rÜç", 0, {});  // a lone CR breaks too
  std::string words;
  for (int k = 0; k < 40; ++k)
    words += "kelime ";
  const Seen wrapped = look(words, 0, {});
  EXPECT_GT(threeLines.height, oneLine.height + 20);
  EXPECT_LE(wrapped.width, 500);  // wrapped, not one 280-character line
  EXPECT_GT(wrapped.height, threeLines.height);
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
    pressKey(box, FL_Enter);
  });
  setDialogOwner(nullptr);
  EXPECT_TRUE(modal);
  EXPECT_NEAR(centreX, form.x() + form.w() / 2, 1);
  EXPECT_NEAR(centreY, form.y() + form.h() / 2, 1);
}

}  // namespace
}  // namespace tk::host
