#!/usr/bin/env python3
"""TovrenKur.exe end to end under Wine and an X display, driven through the test inspector: the
start-up scan over components prepared in the prefix's system folder, every control read back
and compared with the stored description, the exit button, and the keyboard.

Usage: e2e_win.py --exe TovrenKur.exe --inspector inspector.exe --out DIR
Environment: DISPLAY (an X server such as Xvfb, required); TK_WINE_PREFIX_TAR (optional, a
prefix saved by scripts/wine-prefix.sh, restored instead of a slower wineboot). The run makes its own prefix in a
scratch folder and removes it at the end; screenshots are left in DIR.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

TITLE = "Tovren Kurulum işlemlerine hoşgeldiniz."
FORM_CLASS = "TovrenKurForm1"
COMPONENTS = ["msvbvm60.dll", "MSSTDFMT.DLL", "shell32.dll", "MSCOMCTL.OCX", "MSCOMCTL.DEP",
              "MSCOMCTL.SRG", "wmp.dll"]
MISSING_TEXTS = (
    "Tovren çalışabilmek için bazı Windows bileşenlerine ihtiyaç duyar. Sisteminizde mevcut "
    "olmayan bileşenler aşağıya listelendi.",
    "Bu dosyaları sistem klasörüne ekleyebilmesi için , TovrenKur'un 'YÖNETİCİ' yetkisiyle "
    "başlatılmış olması gerekir. Bunu yapmadıysanız DEVAM tuşuna kliklemeden kurulumdan çıkınız.")
PRESENT_TEXTS = (
    "Kur sisteminizi taradı, Tovren'in çalışması için gerekli Windows bileşenleri sisteminizde "
    "mevcut.",
    "Bir sonraki kurulum aşamasına geçmek için Devam butonunu tıklayın.")

# The stored description, front to back (control ids are 100 up in this order): name, window
# class, left, top, width, height in twips, visible.
LAYOUT = [
    ("Text14", "Edit", 1320, 2880, 4695, 1065, True),
    ("Text13", "Edit", 1320, 1320, 4695, 1425, True),
    ("Text12", "Edit", 1320, 360, 4695, 825, True),
    ("Text1(7)", "Edit", 360, 2040, 735, 195, False),
    ("Text1(6)", "Edit", 360, 1800, 735, 195, False),
    ("Text1(5)", "Edit", 360, 1560, 735, 195, False),
    ("Text1(4)", "Edit", 360, 1320, 735, 195, False),
    ("Text1(3)", "Edit", 360, 1080, 735, 195, False),
    ("Command3", "Button", 4800, 4440, 1335, 375, False),
    ("Text1(2)", "Edit", 360, 840, 735, 195, False),
    ("Text1(1)", "Edit", 360, 600, 735, 195, False),
    ("Text1(0)", "Edit", 360, 360, 735, 195, False),
    ("Command2", "Button", 3240, 4440, 1335, 375, True),
    ("Command1", "Button", 4920, 4440, 1215, 375, True),
    ("Shape2", "Static", 1200, 240, 4935, 3975, True),
    ("Shape1", "Static", 240, 240, 975, 3975, True),
    ("Label3", "Static", 240, 4320, 2655, 495, True),
    ("Label2", "Static", 1200, 240, 4935, 3975, True),
    ("Label1", "Static", 240, 240, 975, 3975, True),
]
ID = {name: 100 + k for k, (name, *_rest) in enumerate(LAYOUT)}
WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX = 0x40000, 0x20000, 0x10000
WS_VSCROLL, WS_HSCROLL, WS_TABSTOP = 0x200000, 0x100000, 0x10000
ES_MULTILINE, ES_AUTOVSCROLL, ES_AUTOHSCROLL, ES_READONLY = 0x4, 0x40, 0x80, 0x800

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message, flush=True)
    return condition


def is_64bit(exe):
    """Whether a PE file is an x64 program: the test build for machines without 32-bit support."""
    with open(exe, "rb") as f:
        data = f.read(4096)
    header = int.from_bytes(data[0x3C:0x40], "little")
    return int.from_bytes(data[header + 4:header + 6], "little") == 0x8664


class Wine:
    """A throw-away prefix of our own, and the programs started in it."""

    def __init__(self, exe, inspector):
        self.exe, self.inspector = exe, inspector
        self.scratch = tempfile.mkdtemp(prefix="tk-e2e-")
        self.env = dict(os.environ, HOME=os.path.join(self.scratch, "home"),
                        WINEPREFIX=os.path.join(self.scratch, "wp"), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="winemenubuilder.exe=d", LANG="C.UTF-8",
                        LC_ALL="C.UTF-8")
        os.makedirs(self.env["HOME"])
        windows = os.path.join(self.env["WINEPREFIX"], "drive_c", "windows")
        # The components' folder is SysWOW64 for both builds (the scan takes it when it exists);
        # a bare cmd.exe or regsvr32 comes from the process's own system folder, which is
        # System32 for an x64 program.
        self.windows, self.x64 = windows, is_64bit(exe)
        self.use_system_folder("syswow64")

    def use_system_folder(self, name):
        """syswow64 on a 64-bit Windows, system32 on a 32-bit one (a prefix without SysWOW64)."""
        self.system_name = name
        self.system = os.path.join(self.windows, name)
        self.tools = os.path.join(self.windows, "system32" if self.x64 else name)

    def make_prefix(self, tar=None):
        tar = tar or os.environ.get("TK_WINE_PREFIX_TAR")
        quiet = dict(env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
        if tar:  # holds wp/ (the prefix) and home/, as scripts/wine-prefix.sh saves them
            subprocess.run(["tar", "-xf", tar, "-C", self.scratch], check=True, timeout=120)
        else:
            subprocess.run(["wineboot", "-i"], check=True, timeout=180, **quiet)
            subprocess.run(["wineserver", "-w"], timeout=60, **quiet)
            # No window manager under Xvfb: unmanaged windows close without a 2 s delay.
            subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v",
                            "Managed", "/d", "N", "/f"], check=True, timeout=60, **quiet)
        # Services started by the first program inherit its output: let them inherit nothing,
        # or reading an inspector's output would wait for them.
        subprocess.run(["wineserver", "-p"], timeout=30, **quiet)
        subprocess.run(["wine", "cmd", "/c", "exit"], timeout=60, **quiet)

    def inspect(self, *args, timeout=30):
        done = subprocess.run(["wine", self.inspector, *map(str, args)], env=self.env,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
        lines = done.stdout.decode("utf-8").splitlines()
        return done.returncode, [json.loads(line) for line in lines if line.startswith("{")]

    def start(self):
        return subprocess.Popen(["wine", self.exe], env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=30)
        shutil.rmtree(self.scratch, ignore_errors=True)


def prepare_components(wine, present, hidden=(), system=(), folders=()):
    """Leaves in the system folder exactly the named entries among the seven components."""
    for name in COMPONENTS:
        for entry in os.listdir(wine.system):
            if entry.lower() == name.lower() and name not in ("shell32.dll", "wmp.dll"):
                path = os.path.join(wine.system, entry)
                shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
    for name in present:
        path = os.path.join(wine.system, name)
        if not os.path.exists(path):
            open(path, "wb").close()
    for name in folders:
        os.mkdir(os.path.join(wine.system, name))
    # Wine keeps the system and wmp DLLs; "missing" for them is the system attribute, which
    # the scan never matches, as on Windows.
    for name in ("shell32.dll", "wmp.dll"):
        wine.inspect("attrib", "C:\\windows\\%s\\%s" % (wine.system_name, name),
                     4 if name in system else 128)
    for name in hidden:
        check(wine.inspect("attrib", "C:\\windows\\%s\\%s" % (wine.system_name, name), 2)[0] == 0,
              "hide " + name)


def start_form(wine):
    process = wine.start()
    code, found = wine.inspect("find", TITLE, 20000)
    if not check(code == 0 and found, "the window appears"):
        process.kill()
        raise SystemExit(report())
    return process, found[0]["pid"]


def check_window(controls, rows):
    """Every control against the description at 96 DPI (1 px), and the scan's texts."""
    form, children = controls[0], {c["id"]: c for c in controls[1:]}
    check(form["text"] == TITLE, "caption: " + form["text"])
    check((form["w"], form["h"]) == (424, 328), "client area %dx%d" % (form["w"], form["h"]))
    style = WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX
    check(form["style"] & style == style, "sizable with minimize and maximize")
    check(len(children) == len(LAYOUT), "%d controls" % len(children))
    for name, cls, left, top, width, height, visible in LAYOUT:
        c = children.get(ID[name])
        if not check(c is not None, name + " exists"):
            continue
        check(c["class"] == cls, "%s is a %s, not %s" % (name, cls, c["class"]))
        check(c["visible"] == visible, "%s visible=%s" % (name, visible))
        for got, twips, what in ((c["x"], left, "left"), (c["y"], top, "top"),
                                 (c["w"], width, "width"), (c["h"], height, "height")):
            check(abs(got - twips / 15) <= 1, "%s %s %d px, stored %d twips" % (
                name, what, got, twips))
    # The message boxes wrap at their width and have no scroll bars; they take the focus.
    wanted = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_TABSTOP
    for name in ("Text12", "Text13", "Text14"):
        style = children.get(ID[name], {}).get("style", 0)
        check(style & wanted == wanted and not style & (WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL),
              "%s: read-only multi-line box without scroll bars (style %x)" % (name, style))
    text = {name: children[ID[name]]["text"] for name in ID if ID[name] in children}
    for k in range(7):
        check(text["Text1(%d)" % k] == rows[k], "row %d: %r" % (k, text["Text1(%d)" % k]))
    check(text["Text1(7)"] == "Text8", "Text1(7) untouched")
    listed = [row for row in rows[:6] if row]
    check(text["Text13"] == "\r\n".join(listed + [""] * (6 - len(listed))), "Text13 list")
    verdict = MISSING_TEXTS if listed else PRESENT_TEXTS
    check((text["Text12"], text["Text14"]) == verdict, "verdict texts")
    captions = (text["Command1"], text["Command2"], text["Command3"])
    check(captions == ("Devam", "Kurulumdan Çık", "Kapat"), "button captions %r" % (captions,))
    check("Tovren" in text["Label3"] and "2022" in text["Label3"], "credit line")


def screenshot(wine, form, path):
    x, y, w, h = form["screen"]
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y),
                    "+repage", path], env=wine.env, timeout=30)
    check(os.path.exists(path) and os.path.getsize(path) > 0, "screenshot " + path)


def check_ends(wine, process, pid, how, exit_code=0):
    check(wine.inspect("wait-exit", pid, 10000)[0] == 0, how + " ends the process")
    try:
        code = process.wait(timeout=15)
        check(code == exit_code, "%s: exit code %d, expected %d" % (how, code, exit_code))
    except subprocess.TimeoutExpired:
        check(False, how + ": wine still running")
        process.kill()


def focus_id(wine):
    code, focused = wine.inspect("focus", TITLE)
    return focused[0]["id"] if code == 0 and focused else None


def press_keys(wine, steps):
    """Each key, then where the focus must be afterwards."""
    for key, expected in steps:
        check(wine.inspect("keys", TITLE, key)[0] == 0, "key " + key)
        got = focus_id(wine)
        check(got == ID[expected], "after %s the focus is on %s, not id %s" % (key, expected, got))


def scan_with_missing_components(wine, out):
    print("scan: hidden, missing, folder, system-attributed components", flush=True)
    prepare_components(wine, present=["msvbvm60.dll", "MSSTDFMT.DLL", "mscomctl.dep"],
                       hidden=["MSSTDFMT.DLL"], system=["shell32.dll"], folders=["MSCOMCTL.OCX"])
    process, pid = start_form(wine)
    controls = wine.inspect("controls", TITLE)[1]
    check_window(controls, ["", "", "shell32.dll", "MSCOMCTL.OCX", "", "MSCOMCTL.SRG", ""])
    screenshot(wine, controls[0], os.path.join(out, "e2e-window.png"))
    check(wine.inspect("press", TITLE, "Kurulumdan Çık")[0] == 0, "press Kurulumdan Çık")
    check_ends(wine, process, pid, "Kurulumdan Çık")


def scan_all_present_then_keyboard(wine):
    print("scan: all present but wmp.dll; Tab, Esc, Enter, Space", flush=True)
    prepare_components(wine, present=COMPONENTS[:6], system=["wmp.dll"])
    process, pid = start_form(wine)
    check_window(wine.inspect("controls", TITLE)[1], [""] * 6 + ["wmp.dll"])
    check(focus_id(wine) == ID["Command1"], "the focus starts on Devam")
    press_keys(wine, [("tab", "Command2"), ("tab", "Text12"), ("tab", "Text13"),
                      ("tab", "Text14"), ("tab", "Command1"), ("shift+tab", "Text14"),
                      ("esc", "Text14"), ("enter", "Text14"), ("tab", "Command1"),
                      ("esc", "Command1"), ("tab", "Command2")])
    check(process.poll() is None and wine.inspect("find", TITLE, 0)[0] == 0,
          "Esc and Enter in a text box, Esc on a button: the window stays")
    wine.inspect("keys", TITLE, "space")
    check_ends(wine, process, pid, "Space on Kurulumdan Çık")


def second_start(wine, pid):
    """With the first run's window in front, a second start ends at once with 5 and leaves it."""
    check(wine.inspect("keys", TITLE)[0] == 0, "the first run's window in front")
    check(wine.start().wait(timeout=10) == 5, "a second start ends at once with 5")
    found = wine.inspect("find", TITLE, 0)[1]
    check(found and found[0]["pid"] == pid, "the first run's window is still the one: %r" % found)


def enter_presses_the_focused_button(wine):
    print("keyboard: Enter on the focused Kurulumdan Çık, after a second start", flush=True)
    process, pid = start_form(wine)
    second_start(wine, pid)
    press_keys(wine, [("tab", "Command2")])
    wine.inspect("keys", TITLE, "enter")
    check_ends(wine, process, pid, "Enter on Kurulumdan Çık")


def enter_on_devam_runs_the_continue_action(wine):
    print("keyboard: Enter on Devam; without Chrome a box owned by the window says so", flush=True)
    process, pid = start_form(wine)
    check(focus_id(wine) == ID["Command1"], "the focus starts on Devam")
    wine.inspect("keys", TITLE, "enter")
    code, box = wine.inspect("msgbox", pid, 10000)
    if check(code == 0 and box, "Enter on Devam opens a message box"):
        check(box[0]["owner"] == TITLE, "the box belongs to the window: %r" % box[0]["owner"])
        check(any("Chrome" in c["text"] for c in box[1:]), "the box speaks of Chrome")
        second_start(wine, pid)
        check(wine.inspect("msgbox", pid, 0)[1][0]["front"], "the second start raised the box")
        check(wine.inspect("answer", pid, 1)[0] == 0, "answer OK")
    check_ends(wine, process, pid, "the Continue action without Chrome", exit_code=2)


def report():
    print("%d failure(s)" % len(failures) if failures else "all end-to-end checks passed")
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser()
    for option in ("--exe", "--inspector", "--out"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        sys.exit("e2e_win.py needs an X display (DISPLAY), e.g. Xvfb")
    wine = Wine(os.path.abspath(args.exe), os.path.abspath(args.inspector))
    try:
        started = time.monotonic()
        wine.make_prefix()
        print("prefix ready in %.1f s" % (time.monotonic() - started), flush=True)
        scan_with_missing_components(wine, args.out)
        scan_all_present_then_keyboard(wine)
        enter_presses_the_focused_button(wine)
        enter_on_devam_runs_the_continue_action(wine)
    finally:
        wine.close()
    return report()


if __name__ == "__main__":
    sys.exit(main())
