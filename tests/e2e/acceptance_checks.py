"""What an acceptance scenario checks after the user's part: the closing window, the files on
disk byte for byte, the shortcut read back, the programs started with their command lines, the
browser check's calls, the mirror's requests and the support log; and the ends of a run (Kapat,
the program's own end with its exit code, the prefix's removal)."""
import glob
import os
import re
import subprocess
import time

import e2e_win as e2e
from e2e_win import ID, TITLE, check

DRIVERS = {"105.0.5195.52": "sürücü 105\r\n", "99.0.4844.51": "sürücü 99\r\n",
           "100.0.4896.60": "sürücü 100\r\n", "131.0.6778.85": "sürücü 131.0.6778.85\r\n",
           "110.0.5481.77": "sürücü 110.0.5481.77\r\n"}
SLOW_RELEASE, SLOW_PADDING, SLOW_RATE = "100.0.4896.60", 64 * 1024, 8 * 1024  # about 8 s
OLD_DRIVER = "eski sürücü\r\n"
PROBES = ("msvbvm60.dll", "MSSTDFMT.DLL", "MSCOMCTL.OCX")  # registrable stand-ins
WORKBOOK, USER_DATA = b"PK\x03\x04 kurulum tablosu", b"PK\x03\x04 kullanicinin verisi"
TREE = ["Data", "Firmalarım", "Raporlar", "Yedek", "prgDosyaları"]
RECORD = "ChromeDriverVersiyon.txt"
STAMP = re.compile(r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  ")
ANSWERS = {1: "1 (Tamam)", 6: "6 (Evet)", 7: "7 (Hayır)"}
CLOSING_TEXTS = (
    "Kurulum işlemi tamamlandı !",
    "Gerekli Windows Bileşenleri masaüstü\\Tovren\\prgDosyaları klasörüne başarıyla kaydedildi !",
    "Lütfen şimdi kur'u kapatın TovrenKur klasörü ve içeriğini silebilirsiniz. Tovren "
    "uygulaması başlatılacak.")


def wait_until(condition, seconds):
    """Polls a condition on the host side (a file another process writes), bounded."""
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.1)
    return True


def read(path):
    with open(path, "rb") as f:
        return f.read()


class Checks:
    """Mixed into Run: needs self.wine, self.host(), self.desktop, self.package, self.user,
    self.missing, self.suite, self.process, self.pid."""

    def finished(self, key, screenshot=None, earlier_installation=False, application=True,
                 kept=()):
        """The run reached its end: the started application, the closing window, the files."""
        app = self.desktop + "\\Tovren\\Tovren.exe"
        if application or earlier_installation:
            check(wait_until(lambda: os.path.exists(self.host(app + ".komut")), 20),
                  "the application was started")
            check(self.command_line(app) == '"%s"' % app,
                  "application command line %r" % self.command_line(app))
        else:
            check(not self.app_ran(), "no application to start")
        check(self.wine.inspect("msgbox", self.pid, 0)[0] != 0, "no box left open")
        self.check_closing_window(screenshot)
        self.check_installed(key, earlier_installation, application, kept)

    def check_installed(self, key, earlier_installation=False, application=True, kept=()):
        """What an installation leaves: the desktop, its tree and shortcut, the components."""
        check(self.command_line(self.user + "\\Ayşe.exe") is None, "the decoy never ran")
        desktop = sorted(os.listdir(self.host(self.desktop)))
        check(desktop == ["Tovren", "Tovren.lnk"], "the desktop holds %r" % desktop)
        self.check_tree(key, earlier_installation, application)
        self.check_shortcut()
        for name in [n for n in self.missing if n not in kept]:  # kept: a newer one stays
            copied = os.path.join(self.wine.system, name)
            check(os.path.exists(copied) and read(copied) == read(self.component(name)),
                  "%s copied into the system folder" % name)

    def check_closing_window(self, screenshot):
        controls = self.wine.inspect("controls", TITLE)[1]
        if not check(controls, "the window stays open"):
            return
        by_id = {c["id"]: c for c in controls[1:]}
        texts = tuple(by_id[ID[n]]["text"] for n in ("Text12", "Text13", "Text14"))
        check(texts == CLOSING_TEXTS, "closing texts %r" % (texts,))
        shown = {n: by_id[ID[n]]["visible"] for n in ("Command1", "Command2", "Command3")}
        check(shown == {"Command1": False, "Command2": False, "Command3": True},
              "only Kapat shown: %r" % shown)
        # The started application may hold the foreground, and may take it back once more while
        # it starts: the window's focus shows once it is the active window again.
        for _attempt in range(5):
            self.wine.inspect("keys", TITLE)
            code, focus = self.wine.inspect("focus", TITLE)
            if code == 0 and focus:
                break
            time.sleep(0.3)
        check(code == 0 and focus and focus[0]["id"] == ID["Command3"],
              "the focus is on Kapat: %r" % focus)
        if screenshot:
            e2e.screenshot(self.wine, controls[0], self.shot("window-" + screenshot))

    def tree_files(self):
        """The desktop tree as {subfolder: sorted files}, empty subfolders left out; the
        application's own record of its start is not the installer's."""
        tovren, found = self.host(self.desktop + "\\Tovren"), {}
        for folder, _dirs, files in os.walk(tovren) if os.path.isdir(tovren) else []:
            names = sorted(f for f in files if not f.endswith(".komut"))
            if names:
                found[os.path.relpath(folder, tovren)] = names
        return found

    def check_tree(self, key, earlier_installation, application):
        tovren = self.host(self.desktop + "\\Tovren")
        folders = sorted(d for d in os.listdir(tovren) if os.path.isdir(os.path.join(tovren, d)))
        want = [f for f in TREE if f != "Yedek"] if earlier_installation else TREE
        check(folders == want, "folders %r (an existing tree gets none made)" % folders)
        files = self.tree_files()
        want_files = {"Data": ["DATA.xlsx"], "prgDosyaları": sorted(self.missing + [RECORD])}
        if application or earlier_installation:
            want_files["."] = ["Tovren.exe"]
        check(files == want_files, "files %r, expected %r" % (files, want_files))
        record = os.path.join(tovren, "prgDosyaları", RECORD)
        check(os.path.exists(record) and read(record) == b"[" + key.encode() + b"]\r\n",
              "record file %r" % (read(record) if os.path.exists(record) else None))
        workbook = os.path.join(tovren, "Data", "DATA.xlsx")
        want_book = USER_DATA if earlier_installation else WORKBOOK
        check(os.path.exists(workbook) and read(workbook) == want_book, "DATA.xlsx content")
        if application:
            check(read(os.path.join(tovren, "Tovren.exe")) ==
                  read(self.host(self.package + "\\Tovren.exe")), "Tovren.exe copied whole")
        for name in self.missing:
            check(read(os.path.join(tovren, "prgDosyaları", name)) == read(self.component(name)),
                  "%s copied whole" % name)

    def check_shortcut(self):
        code, link = self.wine.inspect("shortcut", self.desktop + "\\Tovren.lnk")
        if check(code == 0 and link, "the shortcut loads"):
            check(link[0]["description"] == "Tovren", "shortcut description %r" % link[0])
            check(link[0]["target"] == self.desktop + "\\Tovren\\Tovren.exe",
                  "shortcut target %r" % link[0]["target"])

    def component(self, name):
        return self.host(self.package + "\\Tovren Bileşenleri\\" + name)

    def command_line(self, program):
        record = self.host(program + ".komut")
        return read(record).decode("utf-8") if os.path.exists(record) else None

    def app_ran(self):
        return self.command_line(self.desktop + "\\Tovren\\Tovren.exe") is not None

    def script_ran(self, seconds=0):
        """The package script's record of how cmd was asked to run it, once it has run."""
        ran = self.host(self.package + "\\Tovren-Selvane\\calisti.txt")
        if not wait_until(lambda: os.path.exists(ran), seconds):
            return None
        return read(ran).decode("cp857")

    def check_script(self):
        ran = self.script_ran(10)
        want = self.package + "\\Tovren-Selvane\\install.cmd\r\n"
        check(ran == want, "install.cmd ran as %r, expected %r" % (ran, want))

    def check_cmd_stand_in(self):
        record = os.path.join(self.wine.tools, "cmd.exe.komut")
        check(wait_until(lambda: os.path.exists(record), 10), "cmd.exe started")
        want = 'cmd.exe /s /c ""%s\\Tovren-Selvane\\install.cmd""' % self.package
        got = self.command_line_of(record)
        check(got == want, "cmd command line %r, expected %r" % (got, want))

    def check_registered(self, names):
        for name in PROBES:
            path = "C:\\Windows\\%s\\%s" % (self.system_folder, name)
            record = os.path.join(self.wine.system, name + ".komut")
            if name in names:
                check(wait_until(lambda: os.path.exists(record), 20), name + " registered")
                check(self.command_line_of(record) == 'regsvr32 /s "%s"' % path,
                      "regsvr32 command line %r" % self.command_line_of(record))
            else:
                check(not os.path.exists(record), name + " not registered")

    def command_line_of(self, record):
        return read(record).decode("utf-8") if os.path.exists(record) else None

    def check_automation(self, calls):
        log = self.host("C:\\automation-calls.txt")
        if calls is None:
            check(not os.path.exists(log), "no automation object was created")
            return
        lines = lambda: read(log).decode("utf-8").split("\r\n")[:-1] if os.path.exists(log) else []
        wait_until(lambda: len(lines()) >= len(calls), 10)
        check(lines() == calls, "automation calls %r" % lines())

    def mirror_requests(self):
        with open(self.suite.log, encoding="utf-8") as log:
            log.seek(self.log_start)
            return log.read().splitlines()

    def check_download(self, path, lists=()):
        want = ["GET %s 200" % asked for asked in (*lists, path)]
        check(self.mirror_requests() == want, "requests %r" % self.mirror_requests())
        served = os.path.join(self.suite.root, *path.strip("/").split("/"))
        saved = self.host(self.package + "\\Tovren-Selvane\\chromedriver_win32.zip")
        check(os.path.exists(saved) and read(saved) == read(served), "the archive saved whole")
        self.check_extracted(DRIVERS[re.search(r"/(\d+\.\d+\.\d+\.\d+)/", path).group(1)])

    def check_extracted(self, text):
        driver = self.host(self.package + "\\Tovren-Selvane\\chromedriver.exe")
        check(os.path.exists(driver) and read(driver) == text.encode("utf-8"),
              "chromedriver.exe extracted: %r" % (read(driver) if os.path.exists(driver) else None))

    # The support log.
    def default_logs(self):
        """The logs in the user's temporary folder, as host paths."""
        return glob.glob(os.path.join(self.drive, "users", "*", "**", "TovrenKur *.log"),
                         recursive=True)

    def last_log(self):
        """The newest log of the day in the temporary folder (the highest number)."""
        return max(self.default_logs(), default=None)

    def default_log_path(self):
        logs = self.default_logs()
        return "C:\\" + os.path.relpath(logs[0], self.drive).replace("/", "\\") if logs else "?"

    def log_lines(self, path=None):
        """The log's texts; every line must start with its time and end with CR LF."""
        logs = [path] if path else self.default_logs()
        if not check(len(logs) == 1 and os.path.exists(logs[0]), "one log: %r" % logs):
            return []
        lines = read(logs[0]).decode("utf-8").split("\r\n")
        check(lines[-1] == "" and all(STAMP.match(line) for line in lines[:-1]),
              "log lines stamped, CR LF: %r" % lines[-3:])
        return [line[25:] for line in lines[:-1]]

    def check_log(self, exit_code, path=None, holds=(), says=()):
        """The log ends with the exit code and holds the given lines (and lines that contain
        what it `says`); every box in it is the box the user saw, with the answer given (or none
        shown, in an unattended run)."""
        texts = self.log_lines(path)
        check(texts and texts[-1] == "Çıkış kodu: %d" % exit_code, "log ends %r" % texts[-1:])
        for line in holds:
            check(line in texts, "the log holds %r" % line)
        for part in says:
            check(any(part in text for text in texts), "the log says %r" % part)
        boxes = [texts[k:k + 2] for k, text in enumerate(texts) if text.startswith("Mesaj kutusu")]
        seen = [['Mesaj kutusu, stil %d, başlık "%s": %s' % (style, title, text.replace(
                    "\r\n", " | ")), "Cevap: " + ANSWERS[answer]]
                for title, text, style, answer in self.seen]
        unattended = not seen and all(b[1].startswith("Gösterilmedi, cevap: ") for b in boxes)
        check(boxes == seen or unattended, "the log's boxes %r, seen %r" % (boxes, seen))
        return texts

    # The ends of a run.
    def ends(self, exit_code):
        e2e.check_ends(self.wine, self.process, self.pid, "the program's own end", exit_code)
        self.check_log(exit_code)

    def close(self, exit_code=0):
        check(self.press("Kapat"), "press Kapat")
        e2e.check_ends(self.wine, self.process, self.pid, "Kapat", exit_code)
        self.check_log(exit_code)

    def working_copies(self):
        """The package's working copies in the user's temporary folder, as host paths."""
        return sorted(glob.glob(os.path.join(self.drive, "users", "*", "**", "TovrenKur-*-*-*"),
                                recursive=True))

    def cleanup(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
        if self.mounted:
            subprocess.run(["umount", self.mounted], timeout=30)
        self.wine.close()
        self.change_lists()
