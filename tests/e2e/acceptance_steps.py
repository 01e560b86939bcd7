"""The user's part of the acceptance scenarios (their checks: acceptance_checks.py): one Suite
per run (the Turkish locale, the test CA, the loopback mirror with its archives), one Run per
scenario (a fresh prefix, the package, the registry, the system folder, then the window and its
message boxes)."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

import e2e_win as e2e
from acceptance_checks import (OLD_DRIVER, PROBES, TREE, USER_DATA, WORKBOOK,  # noqa: F401
                               DRIVERS, SLOW_PADDING, SLOW_RATE, SLOW_RELEASE, Checks,
                               read, wait_until)
from e2e_win import COMPONENTS, TITLE, check

HERE = os.path.dirname(os.path.abspath(__file__))
MIRROR = os.path.join(HERE, "..", "support", "driver_mirror.py")
sys.path.insert(0, os.path.dirname(MIRROR))
import driver_mirror  # noqa: E402  (the published lists and the archives they name)
DRIVER_CLASS = "{0277FC34-FD1B-4616-BB19-5D556733E8C9}"
FALLBACK_CLASS = "{0277FC34-FD1B-4616-BB19-E3CCFFAB4234}"
# What the inspector sees of each message-box style: the buttons' ids, an icon or none, and
# the focused (default) button.
KINDS = {0: ([1], False, 1), 16: ([1], True, 1), 64: ([1], True, 1), 292: ([6, 7], True, 7)}
CAPTIONS = {1: "Tamam", 6: "Evet", 7: "Hayır"}


class Stop(Exception):
    """A scenario cannot go on (a window or box that never came); its checks have failed."""


class Box:
    def __init__(self, title, text, style, answer=1):
        self.title, self.text, self.style, self.answer = title, text, style, answer


class Registration:
    """The registration's boxes: per file a start message and its question, in the order of
    the folder's enumeration (any), then the closing message."""

    def __init__(self, names, answer):
        self.names, self.answer = names, answer


CLOSING_BOX = Box("TovrenKur v1.0.9", "Chrome bağlantısı test edildi.", 64)
REG_START = Box("TovrenKur", "Registering işlemleri başlatılıyor ...", 0)
REG_END = Box("TovrenKur", "Registering işlemleri tamamlandı ...", 0)
REG_QUESTION = " Register edilsin mi ? (EVET önerilir)"


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data.encode("utf-8") if isinstance(data, str) else data)


def make_zip(path, entries, padding=0):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as out:
        for name, text in entries.items():
            out.writestr(name, text.encode("utf-8"))
        if padding:  # random bytes: the archive stays as large as they are
            out.writestr("THIRD_PARTY_NOTICES.txt", os.urandom(padding))


class Suite:
    def __init__(self, exe, tests, out, port):
        self.exe, self.tests, self.out, self.port = exe, tests, out, port
        self.scratch = tempfile.mkdtemp(prefix="tk-acceptance-")
        self.locale = os.path.join(self.scratch, "locale")
        self.certs = os.path.join(self.scratch, "certs")
        self.root = os.path.join(self.scratch, "mirror")
        self.log = os.path.join(self.scratch, "mirror.log")
        self.mirror = self.prefix32 = None
        self.seen_kinds = set()

    def prepare(self):
        for old in os.listdir(self.out):  # screenshots of an earlier run would mislead
            if old.startswith("acceptance-") and old.endswith(".png"):
                os.remove(os.path.join(self.out, old))
        os.makedirs(self.locale)
        # Code pages 1254/857 and "Evet"/"Hayır" for Wine only; the host keeps its own locale.
        subprocess.run(["localedef", "-i", "tr_TR", "-f", "UTF-8",
                        os.path.join(self.locale, "tr_TR.UTF-8")], check=True, timeout=120)
        for release, text in DRIVERS.items():
            make_zip(os.path.join(self.root, release, "chromedriver_win32.zip"),
                     {"chromedriver.exe": text}, SLOW_PADDING if release == SLOW_RELEASE else 0)
        # A driver archive with a library among its notices: unfit.
        make_zip(os.path.join(self.root, "103.0.5060.134", "chromedriver_win32.zip"),
                 {"chromedriver.exe": "sürücü 103\r\n", "LICENSE.dll": "MZ"})
        # 132's driver lies on a foreign host: the same mirror under its address; 133's in
        # another bucket of the drivers' host.
        foreign = ("132.0.6834.83", "127.0.0.1:%d" % self.port)
        bucket = ("133.0.6943.53", "localhost:%d/baska-kova" % self.port)
        driver_mirror.publish_lists(self.root, "localhost:%d" % self.port, {
            "131.0.6778": "131.0.6778.85", "131": "131.0.6778.85", "110.0.5481": "110.0.5481.77",
            "132.0.6834": foreign, "132": foreign, "133.0.6943": bucket, "133": bucket})
        open(self.log, "w").close()
        self.start_mirror()
        if not os.environ.get("TK_WINE_PREFIX_TAR"):
            os.environ["TK_WINE_PREFIX_TAR"] = self.make_prefix_tar()

    def start_mirror(self):
        """The test build downloads from a fixed port: another run's mirror (a demo, say) may
        hold it for a while, so the start is tried again for up to two minutes."""
        pid_file = os.path.join(self.scratch, "mirror.pid")
        deadline = time.monotonic() + 120
        while True:
            self.mirror = subprocess.Popen(
                [sys.executable, MIRROR, "serve", "--port", str(self.port), "--root", self.root,
                 "--certs", self.certs, "--log", self.log, "--pid-file", pid_file,
                 "--seconds", "1800", "--rate", str(SLOW_RATE)],
                stdin=subprocess.DEVNULL, stderr=subprocess.PIPE)
            wait_until(lambda: os.path.exists(pid_file) or self.mirror.poll() is not None, 60)
            if self.mirror.poll() is None and os.path.exists(pid_file):
                return
            error = self.mirror.stderr.read().decode(errors="replace").strip().splitlines()
            if time.monotonic() > deadline:
                raise SystemExit("no mirror on port %d: %s" % (self.port, error[-1:]))
            print("port %d busy, trying again: %s" % (self.port, error[-1:]), flush=True)
            time.sleep(2)

    def make_prefix_tar(self, name="prefix", **env):
        base = os.path.join(self.scratch, "base")
        script = os.path.join(HERE, "..", "..", "scripts", "wine-prefix.sh")
        tar = os.path.join(self.scratch, name + ".tar")
        env = dict(os.environ, **env)
        subprocess.run(["bash", script, "create", base], check=True, timeout=300, env=env)
        subprocess.run(["bash", script, "save", base, tar], check=True, timeout=300, env=env)
        shutil.rmtree(base, ignore_errors=True)
        return tar

    def prefix32_tar(self):
        """A 32-bit Windows, made once when a scenario first needs it."""
        if not self.prefix32:
            self.prefix32 = self.make_prefix_tar("prefix32", WINEARCH="win32")
        return self.prefix32

    def run(self, scenario):
        run = Run(self)
        try:
            scenario(run)
        except Stop:
            pass
        finally:
            run.cleanup()

    def close(self):
        if self.mirror is not None and self.mirror.poll() is None:
            self.mirror.kill()
            self.mirror.wait(timeout=30)
        shutil.rmtree(self.scratch, ignore_errors=True)


class Run(Checks):
    """One scenario in a fresh prefix run as a Turkish Windows."""

    def __init__(self, suite):
        self.suite = suite
        self.wine = e2e.Wine(suite.exe, os.path.join(suite.tests, "inspector.exe"))
        self.wine.env.update(LANG="tr_TR.UTF-8", LOCPATH=suite.locale)
        self.wine.env.pop("LC_ALL", None)
        self.drive = os.path.join(self.wine.env["WINEPREFIX"], "drive_c")
        self.process = self.pid = None
        self.log_start = os.path.getsize(suite.log)
        self.missing, self.lacks = [], []
        self.seen = []  # every box the user saw: title, text, style, the answer given
        self.mounted = None  # a read-only mount that cleanup() undoes
        self.headers = []

    # Paths: Windows paths for the program, host paths for the checks.
    def host(self, path):
        assert path[:3].upper() == "C:\\", path
        return os.path.join(self.drive, *path[3:].split("\\"))

    def setup(self, chrome, missing, automation, old_archive=False, earlier_installation=False,
              application=True, package_lacks=(), cmd_stand_in=False, windows32=False,
              folders=(), deep_package=None):
        if windows32:  # a 32-bit Windows: no SysWOW64, the components belong in System32
            self.wine.use_system_folder("system32")
        self.system_folder = "System32" if windows32 else "SysWOW64"
        self.wine.make_prefix(self.suite.prefix32_tar() if windows32 else None)
        users = [u for u in os.listdir(os.path.join(self.drive, "users")) if u != "Public"]
        self.user = "C:\\users\\" + users[0]
        self.package = self.user + "\\Downloads\\Tovren Kurulum (Ayşe)"
        if deep_package:  # a package whose Tovren-Selvane folder's path is that long
            self.package += "K" * (deep_package - len(self.package + "\\Tovren-Selvane"))
        self.desktop = self.user + "\\Ayşe Işık\\Masaüstü"
        self.missing, self.lacks = list(missing), list(package_lacks)
        self.lay_out_package(application)
        os.makedirs(self.host(self.desktop))
        # Wine quotes an unquoted command line itself: only a decoy proves the quoting.
        shutil.copy(self.tests("tk_recorder.exe"), self.host(self.user + "\\Ayşe.exe"))
        if old_archive:
            make_zip(self.host(self.package + "\\Tovren-Selvane\\chromedriver_win32.zip"),
                     {"chromedriver.exe": OLD_DRIVER})
        if earlier_installation:
            self.lay_out_earlier_installation()
        if cmd_stand_in:
            # Wine's cmd has no %CMDCMDLINE%: to see the exact command line, a recorder takes
            # the place of the system's cmd.exe (after the prefix's own start, which needs it).
            shutil.copy(self.tests("tk_recorder.exe"), os.path.join(self.wine.tools, "cmd.exe"))
            # A 64-bit program is given Wine's builtin cmd.exe whatever file lies in System32.
            self.wine.env["WINEDLLOVERRIDES"] += ";cmd.exe=n"
        self.set_registry(chrome, automation)
        self.wine_run("trust_test_ca", self.tests("trust_test_ca.exe"),
                      "Z:" + os.path.join(self.suite.certs, "ca.der").replace("/", "\\"))
        system = [n for n in ("shell32.dll", "wmp.dll") if n in missing]
        present = [n for n in COMPONENTS if n not in missing and n not in system]
        e2e.prepare_components(self.wine, present=present, system=system, folders=folders)

    def change_lists(self, how=None):
        """The mirror serves the published lists "cut" in the middle or "drop"s their connections
        (unreachable), or (no `how`) serves them whole again."""
        for name in (driver_mirror.BUILDS_LIST, driver_mirror.MILESTONES_LIST):
            for control in ("cut", "drop"):
                path = os.path.join(self.suite.root, *name.split("/")) + "." + control
                write(path, "") if control == how else os.path.exists(path) and os.remove(path)

    def tests(self, name):
        return os.path.join(self.suite.tests, name)

    def lay_out_package(self, application):
        package = self.host(self.package)
        os.makedirs(package)
        shutil.copy(self.suite.exe, os.path.join(package, "TovrenKur.exe"))
        if application:
            shutil.copy(self.tests("tk_recorder.exe"), os.path.join(package, "Tovren.exe"))
        write(os.path.join(package, "DATA.xlsx"), WORKBOOK)
        for name in COMPONENTS:
            target = os.path.join(package, "Tovren Bileşenleri", name)
            if name in self.lacks:
                continue
            if name in PROBES:
                os.makedirs(os.path.dirname(target), exist_ok=True)
                shutil.copy(self.tests("tk_register_probe.dll"), target)
            elif name in ("shell32.dll", "wmp.dll"):
                # The prefix's own file: copying it over the system's changes nothing.
                shutil.copy(os.path.join(self.wine.system, name), target)
            else:
                write(target, "bileşen " + name + "\r\n")
        # Records that it ran, and from where; written whole, then moved over an earlier run's
        # record (a script that fails ends an unattended run with exit code 4).
        write(os.path.join(package, "Tovren-Selvane", "install.cmd"),
              '@echo off\r\necho %~f0> "%~dp0calisti.yeni"\r\n'
              'move /y "%~dp0calisti.yeni" "%~dp0calisti.txt" >nul\r\n')

    def lay_out_earlier_installation(self):
        tovren = self.host(self.desktop + "\\Tovren")
        for folder in [f for f in TREE if f != "Yedek"]:  # "Yedek" deleted by the user since
            os.makedirs(os.path.join(tovren, folder))
        shutil.copy(self.tests("tk_recorder.exe"), os.path.join(tovren, "Tovren.exe"))
        write(os.path.join(tovren, "Data", "DATA.xlsx"), USER_DATA)
        # Read-only, hidden and system: Dir never sees a system file, and Wine's CopyFileW
        # replaces a read-only or hidden one; the user's workbook is kept all the same.
        check(self.wine.inspect("attrib", self.desktop + "\\Tovren\\Data\\DATA.xlsx", 7)[0] == 0,
              "workbook attributes set")
        write(os.path.join(tovren, "prgDosyaları", "ChromeDriverVersiyon.txt"), "[105]\r\n")

    def stand_in(self, program, library="", window=False):
        """Starts the recorder as `program` (a Windows path) that stays up, as a running Tovren or
        driver does: loading `library`, with a window that WM_CLOSE closes. Its pid, or None."""
        shutil.copy(self.tests("tk_recorder.exe"), self.host(program))
        with open(self.host(program), "ab") as older:  # a build of its own: a copy replaces it
            older.write(b"eski")
        write(self.host(program + ".kal"), library + "\n" + ("pencere" if window else "") + "\n")
        subprocess.Popen(["wine", program], env=self.wine.env, stdin=subprocess.DEVNULL,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        check(wait_until(lambda: os.path.exists(self.host(program + ".komut")), 20), program)
        os.remove(self.host(program + ".komut"))  # the next record is a start of the new one
        found = self.wine.inspect("find", "Tovren çalışıyor", 20000)[1] if window else None
        return found[0]["pid"] if found else None

    def set_registry(self, chrome, automation):
        lines = ["Windows Registry Editor Version 5.00", ""]

        def key(name, *values):
            lines.extend(["[%s]" % name, *values, ""])

        if chrome:
            key(r"HKEY_CURRENT_USER\Software\Google\Chrome\BLBeacon", '"version"="%s"' % chrome)
        key(r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer"
            r"\User Shell Folders", '"Desktop"="%s"' % self.desktop.replace("\\", "\\\\"))
        if automation:
            double = "C:\\tk\\automation_double.dll"
            os.makedirs(self.host("C:\\tk"), exist_ok=True)
            shutil.copy(self.tests("automation_double.dll"), self.host(double))
            key(r"HKEY_CLASSES_ROOT\CLSID\%s\InprocServer32" % automation,
                '@="%s"' % double.replace("\\", "\\\\"), '"ThreadingModel"="Apartment"')
        reg = os.path.join(self.wine.scratch, "senaryo.reg")
        with open(reg, "w", encoding="utf-16") as out:
            out.write("\r\n".join(lines) + "\r\n")
        self.wine_run("regedit", "regedit", "/S", "Z:" + reg.replace("/", "\\"))

    def wine_run(self, what, *args):
        done = subprocess.run(["wine", *args], env=self.wine.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        if not check(done.returncode == 0, "%s exit code %d" % (what, done.returncode)):
            raise Stop()

    # The user's part.
    def start(self, screenshot=None, env=()):
        self.process = subprocess.Popen(
            ["wine", self.package + "\\TovrenKur.exe"], env=dict(self.wine.env, **dict(env)),
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        code, found = self.wine.inspect("find", TITLE, 20000)
        if not check(code == 0 and found, "the window appears"):
            raise Stop()
        self.pid = found[0]["pid"]
        controls = self.wine.inspect("controls", TITLE)[1]
        rows = [name if name in self.missing else "" for name in COMPONENTS]
        e2e.check_window(controls, rows)
        if screenshot:
            e2e.screenshot(self.wine, controls[0], self.shot("window-" + screenshot))

    def shot(self, name):
        return os.path.join(self.suite.out, "acceptance-%s.png" % name)

    def press(self, caption):
        return self.wine.inspect("press", TITLE, caption)[0] == 0

    def devam(self):
        if not check(self.press("Devam"), "press Devam"):
            raise Stop()

    def watch_download(self):
        """Until the first box: probes, reads the progress window, clicks and presses a key."""
        probes, seen = [], []
        deadline = time.monotonic() + 60
        while self.wine.inspect("msgbox", self.pid, 0)[0] != 0 and time.monotonic() < deadline:
            probes.append(self.wine.inspect("probe", TITLE)[0] == 0)
            code, progress = self.wine.inspect("progress", self.pid, 0)
            if code == 0 and progress:
                if not seen:
                    e2e.screenshot(self.wine, progress[0], self.shot("progress"))
                    check(self.wine.inspect("click", TITLE, "Kurulumdan Çık")[0] == 0 and
                          self.wine.inspect("keys", TITLE, "space")[0] == 0, "click, key")
                seen.append(progress)
            time.sleep(0.2)
        check(probes and all(probes), "the window answers every probe within 1 s: %r" % probes)
        check(self.wine.inspect("progress", self.pid, 0)[0] != 0, "no progress window at the box")
        if not check(len(seen) >= 3, "a progress window during the download: %r" % seen):
            return
        first, texts = seen[0][0], [c["text"] for c in seen[0][1:] if c["class"] == "Static"]
        check((first["title"], first["owner"], first["max"]) == ("TovrenKur", TITLE, 1000)
              and texts[0] == "Chrome sürücüsü indiriliyor..."
              and " KB / 64," in texts[1], "progress window %r" % seen[0])
        rising = [p[0]["pos"] for p in seen]
        check(rising == sorted(rising) and rising[-1] > rising[0], "its bar rises: %r" % rising)

    def boxes(self, expected):
        for item in expected:
            if isinstance(item, Registration):
                self.registration(item)
            else:
                self.box(item)

    def registration(self, reg):
        left = list(reg.names)
        for _ in reg.names:
            self.box(REG_START)
            title, text, kind = self.read_box()
            name = text[:-len(REG_QUESTION)] if text.endswith(REG_QUESTION) else None
            check(name in left, "registration question for %r (left %r)" % (text, left))
            if name in left:
                left.remove(name)
            self.box(Box("TovrenKur v1.0.0", text, 292, reg.answer), (title, text, kind))
        self.box(REG_END)

    def read_box(self):
        code, lines = self.wine.inspect("msgbox", self.pid, 30000, timeout=60)
        if not lines:
            return None, None, None
        self.headers.append(lines[0])  # its owner's title and its process
        statics = [c for c in lines[1:] if c["class"] == "Static" and c["visible"]]
        icon = lines[0]["icon"]
        text = "".join(c["text"] for c in statics)
        shown = [c for c in lines[1:] if c["class"] == "Button" and c["visible"]]
        buttons = sorted(c["id"] for c in shown)
        # Turkish Windows: the captions prove the locale the program runs under.
        captions = {c["id"]: c["text"].replace("&", "") for c in shown}
        check(all(captions[k] == CAPTIONS.get(k) for k in buttons), "button captions %r" % captions)
        focused = [c["id"] for c in lines[1:] if c["focused"]]
        return lines[0]["title"], text, (buttons, icon, focused[0] if focused else None)

    def box(self, want, seen=None):
        title, text, kind = seen or self.read_box()
        if not check(title is not None, "a box: %r" % want.text):
            raise Stop()
        want_text = want.text.replace("{log}", self.default_log_path())
        check((title, text) == (want.title, want_text),
              "box %r / %r, expected %r / %r" % (title, text, want.title, want_text))
        answer = KINDS[want.style][2] if want.answer == "enter" else want.answer
        self.seen.append((title, text, want.style, answer))
        buttons, icon, default = KINDS[want.style]
        # A box shown while a program just started holds the foreground has no focus yet; with
        # one button there is no default to get wrong.
        if kind[2] is None and len(buttons) == 1:
            kind = (kind[0], kind[1], default)
        check(kind == KINDS[want.style], "box %r: %r, style %d expected" % (text, kind, want.style))
        kind_name = "%s-%d" % (title.replace(" ", "-"), want.style)
        if kind_name not in self.suite.seen_kinds:  # one screenshot of each kind
            self.suite.seen_kinds.add(kind_name)
            subprocess.run(["import", "-window", "root", self.shot("box-" + kind_name)],
                           env=self.wine.env, timeout=30)
        if want.answer == "enter":
            answered = self.wine.inspect("box-keys", self.pid, "enter")[0]
        else:
            answered = self.wine.inspect("answer", self.pid, want.answer)[0]
        if not check(answered == 0, "answer %r to %r" % (want.answer, text)):
            raise Stop()

    # Runs without a person.
    def launch(self, arguments, package=None):
        """`start /wait` in a batch file, not waited for; `package`: when not its own."""
        script = self.user + "\\kur.cmd"
        with open(self.host(script), "w", encoding="cp857", newline="") as out:  # the OEM page
            out.write('@echo off\r\nstart "" /wait "%s\\TovrenKur.exe" %s\r\n'
                      'exit /b %%errorlevel%%\r\n' % (package or self.package, " ".join(arguments)))
        return subprocess.Popen(["wine", "cmd", "/c", script], env=self.wine.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def read_only_package(self):
        """Mounted read-only (a permission bit stops no root); cleanup() unmounts it."""
        package = self.host(self.package)
        subprocess.run(["mount", "--bind", package, package], check=True, timeout=30)
        self.mounted = package
        subprocess.run(["mount", "-o", "remount,bind,ro", package], check=True, timeout=30)

    def deploy(self, arguments, exit_code, window=False, box=None):
        """A run as a deployment script makes it: `start /wait` in a batch file, while every
        window that any program shows is watched. No message box may appear but the one that a
        refused command line shows (`box`: a part of its text), which is answered; the form
        only with /SILENT."""
        stop = os.path.join(self.wine.scratch, "dur")
        watch = subprocess.Popen(["wine", self.tests("inspector.exe"), "windows",
                                  "Z:" + stop.replace("/", "\\")], env=self.wine.env,
                                 stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL)
        watch.stdout.readline()  # the watch has begun
        process = self.launch(arguments)
        if box:  # the refusal's box, whichever process shows it
            self.pid = 0
            title, text, _kind = self.read_box()
            check(title == "TovrenKur" and box in text, "box %r / %r" % (title, text))
            check(self.wine.inspect("answer", 0, 1)[0] == 0, "answer the box")
        code = process.wait(timeout=180)
        open(stop, "w").close()
        seen = [json.loads(line) for line in watch.communicate(timeout=60)[0].decode().splitlines()]
        os.remove(stop)
        what = "%s: " % " ".join(arguments)
        check(code == exit_code, what + "exit code %d, expected %d" % (code, exit_code))
        boxes = [w for w in seen if w["class"] == "#32770"]
        check(len(boxes) == (1 if box else 0), what + "message boxes %r" % boxes)
        form = [w for w in seen if w["class"] == e2e.FORM_CLASS]
        check(bool(form) == window, what + "the form %r" % form)
