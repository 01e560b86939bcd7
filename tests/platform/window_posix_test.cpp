// The FLTK window under a private Xvfb: controls at their stored places at 96 DPI, focus and tab
// order, keys, the close box, CR LF in the message boxes, and the program's run loop.
#include <gtest/gtest.h>

#include "app/form_description.h"
#include "fake_platform.h"
#include "platform/posix/posix_objects.h"
#include "platform/posix/window_posix.h"

#include <FL/Fl.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Window.H>

namespace tk::posix {
namespace {

class FormWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view_ = std::make_unique<PosixFormWindow>(form_, platform_, 96);
    form_.setView(view_.get());
  }
  void TearDown() override {
    form_.setView(nullptr);
    view_->window().hide();
  }

  void showLoaded() {
    form_.Form_Load();
    view_->show();
  }
  // A key as the X server would deliver it to the form.
  void press(int key, int state = 0) {
    static char space[] = " ", none[] = "";
    Fl::e_keysym = key;
    Fl::e_state = state;
    Fl::e_text = key == ' ' ? space : none;
    Fl::e_length = key == ' ' ? 1 : 0;
    Fl::handle(FL_KEYBOARD, &view_->window());
  }
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

TEST_F(FormWindowTest, EveryControlSitsAtItsStoredPlaceAt96Dpi) {
  EXPECT_EQ(view_->window().w(), 424);
  EXPECT_EQ(view_->window().h(), 328);
  EXPECT_STREQ(view_->window().label(), "Tovren Kurulum işlemlerine hoşgeldiniz.");
  for (Control* control : form_.controls()) {
    const ControlDescription& d = control->description();
    const Fl_Widget* widget = view_->widgetFor(*control);
    ASSERT_NE(widget, nullptr) << d.name;
    SCOPED_TRACE(std::string(d.name) + "(" + std::to_string(d.index) + ")");
    EXPECT_EQ(widget->x(), twipsToPixels(d.left, 96));
    EXPECT_EQ(widget->y(), twipsToPixels(d.top, 96));
    EXPECT_EQ(widget->w(), twipsToPixels(d.width, 96));
    EXPECT_EQ(widget->h(), twipsToPixels(d.height, 96));
    EXPECT_EQ(widget->visible() != 0, d.visible);
  }
  // Spot checks in plain pixels.
  const Fl_Widget* quit = view_->widgetFor(form_.Command2);
  EXPECT_EQ((std::array{quit->x(), quit->y(), quit->w(), quit->h()}),
            (std::array{216, 296, 89, 25}));
  EXPECT_FALSE(view_->widgetFor(form_.Command3)->visible());
  EXPECT_STREQ(view_->widgetFor(form_.Command2)->label(), "Kurulumdan Çık");
}

TEST_F(FormWindowTest, TheWindowScalesWithTheDpi) {
  Form1 form(platform_);
  PosixFormWindow large(form, platform_, 144);
  EXPECT_EQ(large.window().w(), 636);
  EXPECT_EQ(large.window().h(), 492);
  const Fl_Widget* devam = large.widgetFor(form.Command1);
  EXPECT_EQ((std::array{devam->x(), devam->y(), devam->w(), devam->h()}),
            (std::array{492, 444, 122, 38}));
}

TEST_F(FormWindowTest, ResizingLeavesEveryControlWhereItIs) {
  showLoaded();
  std::vector<std::array<int, 4>> before;
  for (Control* control : form_.controls()) {
    const Fl_Widget* w = view_->widgetFor(*control);
    before.push_back({w->x(), w->y(), w->w(), w->h()});
  }
  for (auto [width, height] : {std::pair{800, 600}, std::pair{300, 200}}) {
    view_->window().resize(view_->window().x(), view_->window().y(), width, height);
    Fl::check();
    std::size_t k = 0;
    for (Control* control : form_.controls()) {
      const Fl_Widget* w = view_->widgetFor(*control);
      EXPECT_EQ((std::array{w->x(), w->y(), w->w(), w->h()}), before[k++])
          << control->description().name << " at " << width << "x" << height;
    }
  }
}

TEST_F(FormWindowTest, TabCyclesTheVisibleControlsByTabIndex) {
  showLoaded();
  EXPECT_EQ(focused(), "Command1");
  std::vector<std::string> forward;
  for (int k = 0; k < 5; ++k) {
    press(FL_Tab);
    forward.push_back(focused());
  }
  EXPECT_EQ(forward,
            (std::vector<std::string>{"Command2", "Text12", "Text13", "Text14", "Command1"}));
  press(FL_Tab, FL_SHIFT);
  EXPECT_EQ(focused(), "Text14");
  press(FL_Tab, FL_SHIFT);
  press(FL_Tab, FL_SHIFT);
  press(FL_Tab, FL_SHIFT);
  EXPECT_EQ(focused(), "Command2");
  press(FL_Right);  // arrows on a button move on like Tab
  EXPECT_EQ(focused(), "Text12");

  form_.Command3.setVisible(true);
  std::vector<std::string> names;
  for (const Control* control : view_->tabOrder())
    names.push_back(std::string(control->description().name));
  EXPECT_EQ(names, (std::vector<std::string>{"Command1", "Command2", "Command3", "Text12", "Text13",
                                             "Text14"}));
}

TEST_F(FormWindowTest, HidingTheFocusedControlHandsTheFocusOnInTabOrder) {
  showLoaded();
  press(FL_Tab);
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
  EXPECT_TRUE(view_->widgetFor(form_.Command3)->visible());
  EXPECT_FALSE(view_->widgetFor(form_.Command1)->visible());
  press(FL_Tab);
  EXPECT_EQ(focused(), "Text12");
}

TEST_F(FormWindowTest, MessageBoxesKeepCrLfButShowLineBreaks) {
  showLoaded();
  // Nothing missing on the fake drive C? All seven are missing: six names on six lines.
  EXPECT_EQ(shownText(form_.Text13),
            "msvbvm60.dll\nMSSTDFMT.DLL\nshell32.dll\nMSCOMCTL.OCX\nMSCOMCTL.DEP\nMSCOMCTL.SRG");
  EXPECT_NE(form_.Text13.Text().find("\r\n"), std::string::npos);
  form_.Text14.setText("bir\r\n\r\niki\rüç");
  EXPECT_EQ(shownText(form_.Text14), "bir\n\niki\nüç");
  EXPECT_EQ(form_.Text14.Text(), "bir\r\n\r\niki\rüç");
  const auto* box = static_cast<Fl_Input_*>(view_->widgetFor(form_.Text12));
  EXPECT_TRUE(box->readonly());
  EXPECT_TRUE(box->wrap());
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

void answerTheBox(void*) {
  static char none[] = "";
  Fl::e_keysym = FL_Enter;
  Fl::e_state = 0;
  Fl::e_text = none;
  Fl::e_length = 0;
  if (Fl_Window* box = Fl::modal())
    Fl::handle(FL_KEYBOARD, box);
}

TEST_F(FormWindowTest, AMessageBoxGivesTheFocusBackToTheControlThatHadIt) {
  showLoaded();
  press(FL_Tab);
  ASSERT_EQ(focused(), "Command2");
  int answer = 0;
  Fl::add_timeout(0.1, answerTheBox);
  EXPECT_TRUE(view_->runEvent([&] { answer = showMessageBox("Devam edilsin mi?", 292, {}); }));
  Fl::remove_timeout(answerTheBox);
  EXPECT_EQ(answer, vbNo);
  EXPECT_EQ(focused(), "Command2");
}

struct RunSeen {
  PosixFormWindow* view = nullptr;
  Form1* form = nullptr;
  std::string verdict;
  bool timedOut = false;
};

// The click comes from the event loop, as a user's would.
void clickQuit(void* data) {
  auto* seen = static_cast<RunSeen*>(data);
  seen->verdict = static_cast<Fl_Input_*>(seen->view->widgetFor(seen->form->Text12))->value();
  seen->view->widgetFor(seen->form->Command2)->do_callback();
}

void watchdog(void* data) {
  auto* seen = static_cast<RunSeen*>(data);
  seen->timedOut = true;
  seen->view->window().hide();
}

TEST(FormWindowRun, TheProgramShowsTheVerdictAndEndsOnKurulumdanCik) {
  fake::FakePlatform platform;
  platform.addFolder("C:\\Windows\\System32");
  for (const char* name : {"msvbvm60.dll", "MSSTDFMT.DLL", "shell32.dll", "MSCOMCTL.OCX",
                           "MSCOMCTL.DEP", "MSCOMCTL.SRG", "wmp.dll"})
    platform.addFile(std::string("C:\\Windows\\System32\\") + name);
  RunSeen seen;
  Fl::add_timeout(0.2, clickQuit, &seen);
  Fl::add_timeout(10.0, watchdog, &seen);
  const int code = runProgram(platform, [&](Form1& form) {
    auto view = std::make_unique<PosixFormWindow>(form, platform, 96);
    seen.view = view.get();
    seen.form = &form;
    return view;
  });
  Fl::remove_timeout(clickQuit, &seen);
  Fl::remove_timeout(watchdog, &seen);
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(seen.timedOut);
  EXPECT_EQ(seen.verdict,
            "Kur sisteminizi taradı, Tovren'in çalışması için gerekli Windows "
            "bileşenleri sisteminizde mevcut.");
}

}  // namespace
}  // namespace tk::posix
