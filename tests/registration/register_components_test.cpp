// regTovrenComponents on the fake: what is copied and offered, the command lines started, and
// where a failure ends the procedure or is passed over.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "app/form1.h"
#include "fake_platform.h"

namespace tk {
namespace {

const std::string kSource = "C:\\Users\\Ayşe Işık\\Desktop\\Tovren\\prgDosyaları\\";
const std::string kSystem = "C:\\Windows\\SysWOW64\\";
const std::string kStart = "Registering işlemleri başlatılıyor ...|0|<none>";
const std::string kClosing = "Registering işlemleri tamamlandı ...|0|<none>";

std::string question(const std::string& file) {
  return file + " Register edilsin mi ? (EVET önerilir)|292|TovrenKur v1.0.0";
}
std::string command(const std::string& file) {
  return "regsvr32 /s \"" + kSystem + file + "\"";
}

// Dir without arguments fails on its third call: with two files, the first step of the
// registration walk after the copy phase.
class DirFailsOnThirdNext : public fake::FakePlatform {
 public:
  using fake::FakePlatform::Dir;
  std::string Dir() override {
    if (++nextCalls == 3)
      throw makeError(err::kInvalidCall);
    if (nextCalls > 50)
      throw ProgramEnd{};  // the walk never ended
    return fake::FakePlatform::Dir();
  }
  int nextCalls = 0;
};

template <typename FakeKind>
class RegistrationOn : public ::testing::Test {
 protected:
  RegistrationOn() : form(platform) {
    platform.addFolder(kSystem);
    form.userPath = "C:\\Users\\Ayşe Işık\\Desktop";
    form.sisDir = "SysWOW64\\";
  }
  void run(std::initializer_list<std::string> files, std::initializer_list<int> answers) {
    for (const std::string& file : files)
      platform.addFile(kSource + file, "içerik " + file);
    for (int answer : answers)
      platform.answerNext(answer);
    form.regTovrenComponents();
  }
  // Every box shown, as "prompt|buttons|title".
  std::vector<std::string> boxes() const {
    std::vector<std::string> shown;
    for (const fake::Call& call : platform.callsOf("MsgBox"))
      shown.push_back(call.args[0] + "|" + call.args[1] + "|" + call.args[2]);
    return shown;
  }
  std::vector<std::string> started() const {
    std::vector<std::string> lines;
    for (const auto& [line, style] : platform.started)
      lines.push_back(line + (style == vbMinimizedFocus ? "" : " (style)"));
    return lines;
  }

  FakeKind platform;
  Form1 form;
};
using Registration = RegistrationOn<fake::FakePlatform>;

TEST_F(Registration, TheComctlTrioIsCopiedAndOnlyTheOcxOfferedEnterAnsweringNo) {
  run({"MSCOMCTL.OCX", "MSCOMCTL.DEP", "MSCOMCTL.SRG"}, {});
  std::vector<fake::Call> copies;
  for (const char* name : {"MSCOMCTL.DEP", "MSCOMCTL.OCX", "MSCOMCTL.SRG"}) {
    copies.push_back({"FileCopy", {kSource + name, kSystem + name}});
    EXPECT_EQ(platform.content(kSystem + name), std::string("içerik ") + name);
  }
  EXPECT_EQ(platform.callsOf("FileCopy"), copies);
  EXPECT_EQ(boxes(), (std::vector<std::string>{kStart, question("MSCOMCTL.OCX"), kClosing}));
  EXPECT_TRUE(started().empty());
}

TEST_F(Registration, TheLastThreeCharactersDecideWhatIsOffered) {
  // Upper-cased as Windows does: "dll" and "Ocx" count, a dotless "ı" is no "i".
  run({"msvbvm60.dll", "Grafik.Ocx", "kitaplıkdll", "okubeni.txt", "ayar.dlı", "eski.dll.bak"},
      {vbOK, vbYes, vbOK, vbYes, vbOK, vbYes});
  EXPECT_TRUE(platform.exists(kSystem + "okubeni.txt"));
  EXPECT_TRUE(platform.exists(kSystem + "ayar.dlı"));
  EXPECT_EQ(started(), (std::vector<std::string>{command("Grafik.Ocx"), command("kitaplıkdll"),
                                                 command("msvbvm60.dll")}));
  EXPECT_EQ(boxes().size(), 7u);
}

TEST_F(Registration, TwoYesAnswersStartTwoCommandsInOrderBeforeTheClosingMessage) {
  run({"a.dll", "b.ocx", "c.dll"}, {vbOK, vbYes, vbOK, vbNo, vbOK, vbYes});
  EXPECT_EQ(started(), (std::vector<std::string>{command("a.dll"), command("c.dll")}));
  EXPECT_EQ(boxes().back(), kClosing);
  EXPECT_EQ(platform.calls.back().op, "MsgBox");
}

TEST_F(Registration, ARefusedFirstCopyEndsEverythingAndReachesTheCaller) {
  platform.failOn("FileCopy", kSource + "a.dll", err::kPathFileAccess);
  try {
    run({"a.dll", "b.dll"}, {});
    FAIL() << "the refused copy did not reach the caller";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.number, err::kPathFileAccess);
  }
  EXPECT_EQ(platform.calls.back().op, "FileCopy");
  EXPECT_EQ(platform.callsOf("FileCopy").size(), 1u);
  EXPECT_TRUE(boxes().empty());
}

// After a Yes, a command that cannot start and a question that cannot be asked are passed over;
// the failed question counts as No, not as the Yes before it. Before any Yes, the same failing
// question ends the procedure.
TEST_F(Registration, FromTheFirstYesOnFailuresArePassedOver) {
  platform.failOn("Shell", command("a.dll"), err::kFileNotFound);
  platform.failOn("MsgBox", question("b.dll").substr(0, question("b.dll").find('|')), 429);
  run({"a.dll", "b.dll", "c.dll"}, {vbOK, vbYes, vbOK, vbOK, vbYes});
  EXPECT_EQ(started(), std::vector<std::string>{command("c.dll")});
  EXPECT_EQ(boxes().back(), kClosing);
  EXPECT_EQ(platform.callsOf("Shell").size(), 2u);
}

TEST_F(Registration, BeforeAnyYesAFailingQuestionEndsTheProcedure) {
  platform.failOn("MsgBox", question("b.dll").substr(0, question("b.dll").find('|')), 429);
  EXPECT_THROW(run({"a.dll", "b.dll", "c.dll"}, {vbOK, vbNo}), PlatformError);
  EXPECT_NE(boxes().back(), kClosing);
  EXPECT_TRUE(started().empty());
}

// A component that another product has since updated in the system folder is kept; every other
// one is replaced as before, and each is offered for registration all the same.
TEST_F(Registration, ANewerVersionInTheSystemFolderIsKept) {
  constexpr FileVersionNumber kOld = 0x0006000100000000, kNew = 0x0006000100000001;
  using Version = std::optional<FileVersionNumber>;
  const std::tuple<std::string, Version, Version, bool> cases[] = {
      {"yeni.ocx", kNew, kOld, true},
      {"ayni.ocx", kOld, kOld, false},
      {"eski.ocx", kOld, kNew, false},
      {"surumsuz.ocx", {}, kOld, false},
      {"paket-surumsuz.ocx", kNew, {}, false}};
  for (const auto& [name, installed, packaged, kept] : cases) {
    platform.addFile(kSystem + name, "sistemdeki");
    platform.find(kSystem + name)->version = installed;
    platform.addFile(kSource + name, "paketteki");
    platform.find(kSource + name)->version = packaged;
  }
  run({}, {});
  for (const auto& [name, installed, packaged, kept] : cases)
    EXPECT_EQ(platform.content(kSystem + name), kept ? "sistemdeki" : "paketteki") << name;
  EXPECT_EQ(boxes().size(), 2 * std::size(cases) + 1);
}

using FailingWalk = RegistrationOn<DirFailsOnThirdNext>;

TEST_F(FailingWalk, AFailedNextNameAfterYesEndsTheWalkWithTheClosingMessage) {
  run({"a.dll", "b.dll"}, {vbOK, vbYes});
  EXPECT_EQ(platform.nextCalls, 3);
  EXPECT_EQ(boxes(), (std::vector<std::string>{kStart, question("a.dll"), kClosing}));
}

}  // namespace
}  // namespace tk
