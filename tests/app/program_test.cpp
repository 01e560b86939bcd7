// The handler boundary and the exit buttons: End and failures stop at the boundary, a failure is
// reported with its number and description first, and the control array refuses bad indexes.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "app/program.h"
#include "fake_platform.h"
#include "number_raised.h"

namespace tk {
namespace {

TEST(HandlerBoundary, EndClosesWithoutAMessage) {
  fake::FakePlatform platform;
  Form1 form(platform);
  EXPECT_FALSE(runHandler(form, [&] { form.Click(form.Command2); }));
  EXPECT_FALSE(runHandler(form, [&] { form.Click(form.Command3); }));
  EXPECT_TRUE(platform.shown.empty());
  EXPECT_TRUE(platform.calls.empty());  // nothing written, asked or started
}

TEST(HandlerBoundary, AFailureIsReportedWithNumberAndDescriptionThenEnds) {
  fake::FakePlatform platform;
  Form1 form(platform);
  EXPECT_FALSE(runHandler(form, [] { throw makeError(err::kFileNotFound); }));
  ASSERT_EQ(platform.shown.size(), 1u);
  EXPECT_EQ(platform.shown[0].title, "TovrenKur");
  EXPECT_NE(platform.shown[0].prompt.find("53"), std::string::npos);
  EXPECT_NE(platform.shown[0].prompt.find("Dosya bulunamadı"), std::string::npos);
}

TEST(HandlerBoundary, ANormalReturnKeepsTheProgramRunning) {
  fake::FakePlatform platform;
  Form1 form(platform);
  EXPECT_TRUE(runHandler(form, [&] { form.Form_Load(); }));
  EXPECT_TRUE(runHandler(form, [&] { form.Click(form.Label1); }));  // no handler wired
}

TEST(HandlerBoundary, AFailingReportStillEndsQuietly) {
  fake::FakePlatform platform;
  platform.failOn("MsgBox", "*", err::kCannotCreateObject);
  Form1 form(platform);
  EXPECT_FALSE(runHandler(form, [] { throw makeError(err::kPathNotFound); }));
}

TEST(Program, ASecondStartBringsTheFirstForwardAndEndsWithoutTouchingAnything) {
  fake::FakePlatform platform;
  platform.otherInstanceRuns = true;
  auto noWindow = [](Form1&, Platform&) -> std::unique_ptr<FormWindow> { throw ProgramEnd{}; };
  EXPECT_EQ(runProgram(platform, {"TovrenKur.exe", {}}, noWindow), kExitAnotherRun);
  EXPECT_EQ(platform.calls,
            (std::vector<fake::Call>{{"ClaimOnlyInstance", {}}, {"ActivateOtherInstance", {}}}));
}

TEST(Controls, Text1HasEightElementsAndRefusesOthers) {
  fake::FakePlatform platform;
  Form1 form(platform);
  EXPECT_EQ(form.Text1(0).Text(), "Text1");
  EXPECT_EQ(form.Text1(7).Text(), "Text8");
  for (int bad : {-1, 8})
    EXPECT_EQ(test::numberRaised([&] { form.Text1(bad); }), err::kSubscriptOutOfRange) << bad;
}

TEST(Controls, ChangesReachTheViewAtOnce) {
  struct Recorder : ControlView {
    std::vector<std::string> seen;
    void controlChanged(const Control& control) override {
      seen.push_back(std::string(control.description().name) + "=" + control.Text() +
                     (control.Visible() ? "" : " hidden"));
    }
  } view;
  fake::FakePlatform platform;
  Form1 form(platform);
  form.setView(&view);
  form.Text12.setText("a");
  form.Command3.setVisible(true);
  form.Command1.setVisible(false);
  EXPECT_EQ(view.seen,
            (std::vector<std::string>{"Text12=a", "Command3=Kapat", "Command1=Devam hidden"}));
}

TEST(Controls, AllNineteenControlsInStoredOrder) {
  fake::FakePlatform platform;
  Form1 form(platform);
  std::vector<Control*> all = form.controls();
  ASSERT_EQ(all.size(), 19u);
  EXPECT_EQ(all.front(), &form.Text14);
  EXPECT_EQ(all.back(), &form.Label1);
  EXPECT_EQ(all[3], &form.Text1(7));
}

// The system folder's step refuses to work without rights or for a foreign window, copies from the
// desktop given, says what it passed over, and never claims the session's run (its run holds it).
TEST(StepProcess, TheSystemFolderStepRefusesWorksAndTellsWhatItPassedOver) {
  const std::string desktop = "C:\\Users\\Ayşe Işık\\Desktop";
  const std::string source = desktop + "\\Tovren\\prgDosyaları\\";
  struct Case {
    std::string window;
    bool elevated;
    std::string failingOp, failingArgument;
    int answer, exitCode;
  };
  const Case cases[] = {
      {"4242", false, "", "", vbNo, kStepNotElevated},
      {"99", true, "", "", vbNo, kExitBadCommandLine},
      {"4242", true, "", "", vbNo, 0},
      {"4242", true, "FileCopy", source + "b.ocx", vbNo, kStepEnded},
      {"4242", true, "Shell", "regsvr32 /s \"C:\\Windows\\SysWOW64\\a.dll\"", vbYes,
       kStepUnitsPassedOver},
  };
  for (const Case& c : cases) {
    fake::FakePlatform platform;
    platform.addFolder("C:\\Windows\\SysWOW64");
    platform.addFile(source + "a.dll", "a");
    platform.addFile(source + "b.ocx", "b");
    platform.system.elevated = c.elevated;
    if (!c.failingOp.empty())
      platform.failOn(c.failingOp, c.failingArgument, err::kPathFileAccess);
    for (int answer : {vbOK, c.answer, vbOK, vbNo})
      platform.answerNext(answer);
    ProgramStart start{"", {"/SYSTEMSTEP=" + c.window, "/DESKTOP=" + desktop, "/LOG=C:\\k.log"}};
    EXPECT_EQ(runProgram(platform, start, nullptr), c.exitCode) << c.window;
    EXPECT_EQ(platform.exists("C:\\Windows\\SysWOW64\\a.dll"),
              c.exitCode < kStepNotElevated && c.exitCode != kExitBadCommandLine);
    EXPECT_TRUE(platform.callsOf("ClaimOnlyInstance").empty());
    EXPECT_EQ(platform.callsOf("OpenLog")[0].args[0], "C:\\k.log");
  }
}

}  // namespace
}  // namespace tk
