// The FLTK window under a private Xvfb: controls at their stored places, focus and tab order,
// keys, the close box, and CR LF in the message boxes.
#include <gtest/gtest.h>

#include "app/form_description.h"
#include "fake_platform.h"
#include "platform/host_platform.h"
#include "platform/posix/window_posix.h"
#include "platform/x_session_posix.h"

#include <FL/Fl.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Window.H>

namespace tk::host {
namespace {

std::array<int, 4> rect(const Fl_Widget* w) {
  return {w->x(), w->y(), w->w(), w->h()};
}

class FormWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view_ = std::make_unique<PosixFormWindow>(form_, 96);
    form_.setView(view_.get());
  }
  void TearDown() override { form_.setView(nullptr); }

  void showLoaded() {
    form_.Form_Load();
    view_->show();
  }
  void press(int key, int state = 0) { pressKey(view_->window(), key, state); }
  std::string focused() const {
    const Control* control = view_->controlOf(Fl::focus());
    return control != nullptr ? std::string(control->description().name) : "(none)";
  }
  std::string shownText(const Control& control) {
    return static_cast<Fl_Input_*>(view_->widgetFor(control))->value();
  }

  fake::FakePlatform platform_;
  Form1 form_{platform_};
  std::unique_ptr<PosixFormWindow> view_;
};

TEST_F(FormWindowTest, EveryControlSitsAtItsStoredPlace) {
  EXPECT_EQ(view_->window().w(), 424);
  EXPECT_EQ(view_->window().h(), 328);
  EXPECT_STREQ(view_->window().label(), "Tovren Kurulum işlemlerine hoşgeldiniz.");
  for (Control* control : form_.controls()) {
    const ControlDescription& d = control->description();
    SCOPED_TRACE(std::string(d.name) + "(" + std::to_string(d.index) + ")");
    const Fl_Widget* widget = view_->widgetFor(*control);
    EXPECT_EQ(rect(widget), (std::array{twipsToPixels(d.left, 96), twipsToPixels(d.top, 96),
                                        twipsToPixels(d.width, 96), twipsToPixels(d.height, 96)}));
    EXPECT_EQ(widget->visible() != 0, d.visible);
  }
  EXPECT_EQ(rect(view_->widgetFor(form_.Command2)), (std::array{216, 296, 89, 25}));
  EXPECT_STREQ(view_->widgetFor(form_.Command2)->label(), "Kurulumdan Çık");

  Form1 form(platform_);
  PosixFormWindow large(form, 144);
  EXPECT_EQ(large.window().w(), 636);
  EXPECT_EQ(large.window().h(), 492);
  EXPECT_EQ(rect(large.widgetFor(form.Command1)), (std::array{492, 444, 122, 38}));
}

TEST_F(FormWindowTest, ResizingLeavesEveryControlWhereItIs) {
  showLoaded();
  std::vector<std::array<int, 4>> before;
  for (Control* control : form_.controls())
    before.push_back(rect(view_->widgetFor(*control)));
  for (auto [width, height] : {std::pair{800, 600}, std::pair{300, 200}}) {
    view_->window().resize(view_->window().x(), view_->window().y(), width, height);
    std::vector<std::array<int, 4>> after;
    for (Control* control : form_.controls())
      after.push_back(rect(view_->widgetFor(*control)));
    EXPECT_EQ(after, before) << width << "x" << height;
  }
}

TEST_F(FormWindowTest, TabOrderAndWhereTheFocusGoesWhenItsControlIsHidden) {
  showLoaded();
  std::vector<std::string> seen{focused()};
  for (int k = 0; k < 5; ++k) {
    press(FL_Tab);
    seen.push_back(focused());
  }
  press(FL_Tab, FL_SHIFT);
  seen.push_back(focused());
  EXPECT_EQ(seen, (std::vector<std::string>{"Command1", "Command2", "Text12", "Text13", "Text14",
                                            "Command1", "Text14"}));
  press(FL_Tab);
  press(FL_Right);  // on a button the arrows move on like Tab
  ASSERT_EQ(focused(), "Command2");
  form_.Command2.setVisible(false);
  EXPECT_EQ(focused(), "Text12");  // the next by tab index, not the first visible child
  form_.Command2.setVisible(true);

  press(FL_Tab, FL_SHIFT);
  press(FL_Tab, FL_SHIFT);
  ASSERT_EQ(focused(), "Command1");
  // The end of the installation, in its order.
  form_.Command3.setVisible(true);
  form_.Command2.setVisible(false);
  form_.Command1.setVisible(false);
  EXPECT_EQ(focused(), "Command3");
  std::vector<std::string> order;
  for (const Control* control : view_->tabOrder())
    order.push_back(std::string(control->description().name));
  EXPECT_EQ(order, (std::vector<std::string>{"Command3", "Text12", "Text13", "Text14"}));
}

TEST_F(FormWindowTest, MessageBoxesKeepCrLfButShowLineBreaks) {
  showLoaded();  // all seven missing on the empty fake drive C
  EXPECT_EQ(shownText(form_.Text13),
            "msvbvm60.dll\nMSSTDFMT.DLL\nshell32.dll\nMSCOMCTL.OCX\nMSCOMCTL.DEP\nMSCOMCTL.SRG");
  form_.Text14.setText("bir\r\n\r\niki\rüç");
  EXPECT_EQ(shownText(form_.Text14), "bir\n\niki\nüç");
  EXPECT_EQ(form_.Text14.Text(), "bir\r\n\r\niki\rüç");
  const auto* box = static_cast<Fl_Input_*>(view_->widgetFor(form_.Text12));
  EXPECT_TRUE(box->readonly() && box->wrap());
}

TEST_F(FormWindowTest, KeysOnTheFocusedControl) {
  struct Case {
    int tabs;  // from Devam
    int key;
    bool stillOpen;
  };
  // Esc never closes; Enter and Space press "Kurulumdan Çık"; Enter in a text box does nothing.
  for (const Case& c : {Case{0, FL_Escape, true}, Case{1, FL_Enter, false}, Case{1, ' ', false},
                        Case{2, FL_Enter, true}, Case{3, FL_Escape, true}}) {
    SCOPED_TRACE(std::to_string(c.tabs) + " tabs, key " + std::to_string(c.key));
    view_->window().hide();
    showLoaded();
    for (int k = 0; k < c.tabs; ++k)
      press(FL_Tab);
    press(c.key);
    EXPECT_EQ(view_->window().shown() != 0, c.stillOpen);
  }
}

TEST_F(FormWindowTest, TheCloseBoxEndsTheProgramExceptWhileAHandlerRuns) {
  showLoaded();
  bool ran = false;
  EXPECT_TRUE(view_->runEvent([&] {
    ran = true;
    Fl::handle(FL_CLOSE, &view_->window());
    view_->widgetFor(form_.Command2)->do_callback();  // a click meanwhile does nothing
    EXPECT_FALSE(view_->runEvent([] {}));
  }));
  EXPECT_TRUE(ran);
  EXPECT_TRUE(view_->window().shown());
  Fl::handle(FL_CLOSE, &view_->window());
  EXPECT_FALSE(view_->window().shown());
}

TEST_F(FormWindowTest, AKeyPressedWhileAHandlerRunsIsDroppedWhenItReturns) {
  showLoaded();
  press(FL_Tab);
  ASSERT_EQ(focused(), "Command2");  // "Kurulumdan Çık", which would end the program
  EXPECT_TRUE(view_->runEvent([&] { queueKey(view_->window(), ' '); }));
  Fl::check();
  EXPECT_TRUE(view_->window().shown()) << "the key pressed meanwhile ran a handler afterwards";
}

TEST_F(FormWindowTest, AMessageBoxGivesTheFocusBackToTheControlThatHadIt) {
  showLoaded();
  press(FL_Tab);
  ASSERT_EQ(focused(), "Command2");
  Fl_Timeout_Handler answer = [](void*) {
    if (Fl_Window* box = Fl::modal())
      pressKey(*box, FL_Enter);
  };
  Fl::add_timeout(0.1, answer);
  int answered = 0;
  EXPECT_TRUE(
      view_->runEvent([&] { answered = HostPlatform().MsgBox("Devam edilsin mi?", 292, {}); }));
  Fl::remove_timeout(answer);
  EXPECT_EQ(answered, vbNo);
  EXPECT_EQ(focused(), "Command2");
}

}  // namespace
}  // namespace tk::host
