#!/usr/bin/env python3
"""Whole installations with the real TovrenKur.exe under Wine, driven as a user would: each
scenario restores a fresh prefix, runs it as a Turkish Windows, lays out a setup package, sets
the Chrome version, prepares the system folder, and answers every message box through the
inspector; then it checks the window, the boxes in order, the files, the shortcut and the
programs started with their command lines. Scenario helpers live in acceptance_steps.py.

Usage: acceptance_win.py --exe TovrenKur.exe --tests DIR (inspector, stand-ins, double) --out DIR
        --host localhost:PORT (the mirror the exe was built to download from) [--only NAME...]
Environment: DISPLAY (an X server such as Xvfb, required); TK_WINE_PREFIX_TAR (a prefix saved by
scripts/wine-prefix.sh; without it one is made once with wineboot and saved for the scenarios).
"""
import argparse
import os
import shutil
import sys
import time

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import acceptance_steps as steps  # noqa: E402
from acceptance_checks import read  # noqa: E402
from acceptance_steps import (CLOSING_BOX, DRIVER_CLASS, FALLBACK_CLASS,  # noqa: E402
                              Box, Registration, check)
import e2e_win as e2e  # noqa: E402
from e2e_win import COMPONENTS, failures  # noqa: E402

SCRIPT_QUESTION = "Chrome bağlantı ayarları şimdi yapılsın mı ? (EVET önerilir.)"
UNSUPPORTED = (" Chrome Tarayıcı versiyonu 90.x ile 105.x arası destekleniyor. Sizin versiyonunuz: "
               "106.0.5249.62 lütfen destek isteyiniz. destek@tovren.com.tr")
NO_CHROME = (" Chrome yüklü değil ! Öncelikle Chrome Browser kurulumu yapınız. Daha sonra "
             "TovrenKur 'u yeniden çalıştırınız.")
CHECK_PAGE = "https://www.google.com/"


def install_failure(number):
    return Box("TovrenKur v1.0.9", "Kurulum sırasında hata oluştu ! Hata No: %d" % number, 64)


def first_half_failure(number, description):
    return Box("TovrenKur", "Çalışma zamanı hatası '%d':\r\n\r\n%s" % (number, description), 16)


def full_installation(run):
    """Chrome 105, all seven missing, Yes everywhere, the driver class registered; the package
    and the desktop in folders with blanks, parentheses and Turkish letters."""
    run.setup(chrome="105.0.5195.102", missing=COMPONENTS, automation=DRIVER_CLASS)
    run.start(screenshot="before")
    run.devam()
    run.boxes([Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer=6),
               Registration(["msvbvm60.dll", "MSSTDFMT.DLL", "shell32.dll", "MSCOMCTL.OCX",
                             "wmp.dll"], answer=6),
               CLOSING_BOX])
    run.finished(key="105", screenshot="after")
    run.check_download("/105.0.5195.52/chromedriver_win32.zip")
    run.check_script()
    run.check_registered(["msvbvm60.dll", "MSSTDFMT.DLL", "MSCOMCTL.OCX"])
    run.check_automation(["create", "12|Chrome", "32|" + CHECK_PAGE, "release"])
    run.close()


def full_installation_on_32bit_windows(run):
    """A 32-bit Windows (a prefix without SysWOW64): the scan looks in System32, and the three
    registrable components are copied and registered there."""
    registrable = ["msvbvm60.dll", "MSSTDFMT.DLL", "MSCOMCTL.OCX"]
    run.setup(chrome="105.0.5195.102", missing=registrable, automation=DRIVER_CLASS,
              windows32=True)
    run.start()
    run.devam()
    run.boxes([Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer=6),
               Registration(registrable, answer=6), CLOSING_BOX])
    run.finished(key="105")
    run.check_registered(registrable)
    run.close()


full_installation_on_32bit_windows.needs_32bit_windows = True


def chrome_99_answers_no(run):
    """Chrome 99, rows 1 and 3 missing, Enter on the script question and No on every
    registration; only the fallback class is registered, so both calls go to it."""
    run.setup(chrome="99.0.4844.84", missing=["MSSTDFMT.DLL", "MSCOMCTL.OCX"],
              automation=FALLBACK_CLASS)
    run.start()
    run.devam()
    run.boxes([Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer="enter"),
               Registration(["MSSTDFMT.DLL", "MSCOMCTL.OCX"], answer=7), CLOSING_BOX])
    run.finished(key="99.")
    run.check_download("/99.0.4844.51/chromedriver_win32.zip")
    check(not run.script_ran(), "Enter (No) on the script question starts no script")
    run.check_registered([])
    run.check_automation(["create", "12|Chrome", "32|" + CHECK_PAGE, "release"])
    run.close()


def unsupported_without_archive(run):
    """Chrome 106 and no archive: message 2, the download's box for the empty address, the
    failure report of the extraction, the end; the tree is made but nothing copied."""
    run.setup(chrome="106.0.5249.62", missing=["MSCOMCTL.OCX"], automation=DRIVER_CLASS)
    run.start()
    run.devam()
    run.boxes([Box("TovrenKur", UNSUPPORTED, 0), install_failure(-2147012891),
               first_half_failure(91, "Nesne değişkeni veya With blok değişkeni ayarlanmamış")])
    run.ends()
    check(run.tree_files() == {}, "nothing copied: %r" % run.tree_files())
    check(not run.script_ran() and not run.app_ran(), "nothing started")
    run.check_automation(None)


def unsupported_with_old_archive_over_earlier_installation(run):
    """Chrome 106 with an archive from an earlier run, over an earlier installation (tree,
    workbook with the user's data, record "[105]"), nothing registered for the browser check."""
    run.setup(chrome="106.0.5249.62", missing=["wmp.dll"], automation=None,
              old_archive=True, earlier_installation=True)
    run.start()
    run.devam()
    run.boxes([Box("TovrenKur", UNSUPPORTED, 0), install_failure(-2147012891),
               Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer=7),
               Registration(["wmp.dll"], answer=7), CLOSING_BOX])
    run.finished(key="106", earlier_installation=True)
    run.check_extracted(steps.OLD_DRIVER)
    run.check_automation(None)
    run.close()


def no_chrome(run):
    """No Chrome: message 1 and the end; nothing is created."""
    run.setup(chrome=None, missing=["MSCOMCTL.OCX"], automation=DRIVER_CLASS)
    run.start()
    run.devam()
    run.boxes([Box("TovrenKur v1.0.0", NO_CHROME, 64)])
    run.ends()
    check(not os.path.exists(run.host(run.desktop + "\\Tovren")), "no folder tree")
    check(not os.path.exists(run.host(run.desktop + "\\Tovren.lnk")), "no shortcut")
    check(run.mirror_requests() == [], "no download: %r" % run.mirror_requests())


def application_missing(run):
    """"Tovren.exe" missing from the package, nothing missing in the system: its copy and its
    start are reported and passed over, the rest runs; the registration only closes."""
    run.setup(chrome="105.0.5195.102", missing=[], automation=DRIVER_CLASS, application=False,
              cmd_stand_in=True)
    run.start()
    run.devam()
    run.boxes([Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer=6), install_failure(53),
               Registration([], answer=6), CLOSING_BOX, install_failure(53)])
    run.finished(key="105", application=False)
    run.check_cmd_stand_in()
    run.check_automation(["create", "12|Chrome", "32|" + CHECK_PAGE, "release"])
    run.close()


def component_missing_from_package(run):
    """A missing component that the package lacks: the failure report, the end; the
    application is neither copied nor started."""
    run.setup(chrome="105.0.5195.102", missing=["msvbvm60.dll", "MSCOMCTL.OCX"],
              automation=DRIVER_CLASS, package_lacks=["MSCOMCTL.OCX"])
    run.start()
    run.devam()
    run.boxes([Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer=7),
               first_half_failure(53, "Dosya bulunamadı")])
    run.ends()
    check(run.tree_files() == {"prgDosyaları": ["msvbvm60.dll"]},
          "only the first component copied: %r" % run.tree_files())
    check(not run.app_ran(), "the application is not started")
    check(not os.path.exists(run.host(run.desktop + "\\Tovren.lnk")), "no shortcut")


def quit_before_devam(run):
    """"Kurulumdan Çık" before "Devam": the program ends and writes nothing."""
    run.setup(chrome="105.0.5195.102", missing=["MSCOMCTL.OCX"], automation=DRIVER_CLASS)
    run.start()
    check(run.press("Kurulumdan Çık"), "press Kurulumdan Çık")
    run.ends()
    check(not os.path.exists(run.host(run.desktop + "\\Tovren")), "no folder tree")
    check(run.mirror_requests() == [], "no download")


def slow_download(run):
    """Chrome 100, its archive sent slowly: the window stays alive, shows the progress, takes
    no click or key meanwhile, and the run ends as before."""
    run.setup(chrome="100.0.4896.75", missing=[], automation=DRIVER_CLASS)
    run.start()
    run.devam()
    run.watch_download()
    run.boxes([Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer=7),
               Registration([], answer=6), CLOSING_BOX])
    run.finished(key="100")
    run.check_download("/100.0.4896.60/chromedriver_win32.zip")
    run.close()


def newer_component_in_system(run):
    """While the window waits, another product puts a newer MSCOMCTL.OCX into the system folder:
    the installation keeps it and still offers it for registration."""
    run.setup(chrome="105.0.5195.102", missing=["MSCOMCTL.OCX"], automation=DRIVER_CLASS)
    run.start()
    newer = os.path.join(run.wine.system, "MSCOMCTL.OCX")
    shutil.copy(run.tests("tk_register_probe_newer.dll"), newer)
    run.devam()
    run.boxes([Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer=7),
               Registration(["MSCOMCTL.OCX"], answer=6), CLOSING_BOX])
    run.finished(key="105", kept=["MSCOMCTL.OCX"])
    check(read(newer) == read(run.tests("tk_register_probe_newer.dll")), "the newer one is kept")
    run.check_registered(["MSCOMCTL.OCX"])
    run.close()


SCENARIOS = [full_installation, full_installation_on_32bit_windows, chrome_99_answers_no,
             unsupported_without_archive, unsupported_with_old_archive_over_earlier_installation,
             no_chrome,
             application_missing, component_missing_from_package, quit_before_devam,
             slow_download, newer_component_in_system]


def main():
    parser = argparse.ArgumentParser()
    for option in ("--exe", "--tests", "--out", "--host"):
        parser.add_argument(option, required=True)
    parser.add_argument("--only", nargs="*")
    args = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        sys.exit("acceptance_win.py needs an X display (DISPLAY), e.g. Xvfb")
    suite = steps.Suite(os.path.abspath(args.exe), os.path.abspath(args.tests),
                        os.path.abspath(args.out), int(args.host.rpartition(":")[2]))
    results = []
    try:
        suite.prepare()
        for scenario in SCENARIOS:
            if args.only and scenario.__name__ not in args.only:
                continue
            if getattr(scenario, "needs_32bit_windows", False) and e2e.is_64bit(args.exe):
                print("== %s: skipped, it needs a 32-bit Windows, which only the i686 build's "
                      "suite has (where this machine runs 32-bit programs)" % scenario.__name__)
                continue
            started, before = time.monotonic(), len(failures)
            print("== %s: %s" % (scenario.__name__, scenario.__doc__.split("\n")[0]), flush=True)
            suite.run(scenario)
            passed = len(failures) == before
            results.append((scenario.__name__, passed, time.monotonic() - started))
    finally:
        suite.close()
    for name, passed, seconds in results:
        print("%-60s %s %5.1f s" % (name, "passed" if passed else "FAILED", seconds))
    print("%d failure(s)" % len(failures) if failures else "all scenarios passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
