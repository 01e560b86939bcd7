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
import re
import shutil
import socket
import subprocess
import sys
import threading
import time

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import acceptance_steps as steps  # noqa: E402
from acceptance_checks import DRIVERS, SLOW_RELEASE, read, wait_until  # noqa: E402
from acceptance_steps import (CLOSING_BOX, DRIVER_CLASS, FALLBACK_CLASS,  # noqa: E402
                              Box, Registration, check)
import e2e_win as e2e  # noqa: E402
from e2e_win import COMPONENTS, TITLE, failures  # noqa: E402

SCRIPT_QUESTION = "Chrome bağlantı ayarları şimdi yapılsın mı ? (EVET önerilir.)"
UNSUPPORTED = (" Chrome Tarayıcı versiyonu 90.x ile 105.x arası destekleniyor. Sizin versiyonunuz: "
               "106.0.5249.62 lütfen destek isteyiniz. destek@tovren.com.tr")
NO_CHROME = (" Chrome yüklü değil ! Öncelikle Chrome Browser kurulumu yapınız. Daha sonra "
             "TovrenKur 'u yeniden çalıştırınız.")
CHECK_PAGE = "https://www.google.com/"


def install_failure(number):
    return Box("TovrenKur v1.0.9", "Kurulum sırasında hata oluştu ! Hata No: %d" % number, 64)


def first_half_failure(number, description):
    """The report that ends the run; its last line names the log, filled in when it is read."""
    return Box("TovrenKur", "Çalışma zamanı hatası '%d':\r\n\r\n%s\r\n\r\nAyrıntılar kayıt "
               "dosyasında: {log}" % (number, description), 16)


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
    run.ends(exit_code=3)
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
    run.close(exit_code=4)  # the failed download


def no_chrome(run):
    """No Chrome: message 1 and the end; nothing is created."""
    run.setup(chrome=None, missing=["MSCOMCTL.OCX"], automation=DRIVER_CLASS)
    run.start()
    run.devam()
    run.boxes([Box("TovrenKur v1.0.0", NO_CHROME, 64)])
    run.ends(exit_code=2)
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
    run.close(exit_code=4)


def component_missing_from_package(run):
    """A missing component that the package lacks: the failure report, the end; the
    application is neither copied nor started."""
    run.setup(chrome="105.0.5195.102", missing=["msvbvm60.dll", "MSCOMCTL.OCX"],
              automation=DRIVER_CLASS, package_lacks=["MSCOMCTL.OCX"])
    run.start()
    run.devam()
    run.boxes([Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer=7),
               first_half_failure(53, "Dosya bulunamadı")])
    run.ends(exit_code=3)
    check(run.tree_files() == {"prgDosyaları": ["msvbvm60.dll"]},
          "only the first component copied: %r" % run.tree_files())
    check(not run.app_ran(), "the application is not started")
    check(not os.path.exists(run.host(run.desktop + "\\Tovren.lnk")), "no shortcut")


def quit_before_devam(run):
    """"Kurulumdan Çık" before "Devam": the program ends and writes nothing."""
    run.setup(chrome="105.0.5195.102", missing=["MSCOMCTL.OCX"], automation=DRIVER_CLASS)
    run.start()
    check(run.press("Kurulumdan Çık"), "press Kurulumdan Çık")
    run.ends(exit_code=0)
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


def close_question(*programs):
    return ("Kurulumun yenileyeceği dosyaları şu anda çalışan programlar kullanıyor:\r\n%s\r\n\r\n"
            "Bu programlar kapatılıp kuruluma devam edilsin mi ? Kaydedilmemiş işleriniz varsa önce "
            "kaydedin.\r\n\r\nHayır derseniz programlar açık kalır ve kullandıkları dosyalar "
            "değiştirilemeyebilir." % "".join("\r\n• " + name for name in programs))


def rerun_while_tovren_runs(run, answer):
    """Over an earlier installation whose older Tovren.exe still runs, holding the component it
    loaded from the tree (which the run copies again): one question names it."""
    run.setup(chrome="105.0.5195.102", missing=["MSCOMCTL.OCX"], automation=None,
              earlier_installation=True)
    app = run.desktop + "\\Tovren\\Tovren.exe"
    component = run.desktop + "\\Tovren\\prgDosyaları\\MSCOMCTL.OCX"
    shutil.copy(run.tests("tk_register_probe_newer.dll"), run.host(component))
    pid = run.stand_in(app, component, window=True)
    run.start()
    run.devam()
    run.box(Box("TovrenKur v1.0.0", close_question("Tovren.exe (PID %s)" % pid), 292, answer))
    return app, pid, "Dosyaları kullanıyor: Tovren.exe (PID %s), %s" % (pid, app)


def rerun_while_tovren_runs_yes(run):
    """Yes: Tovren closes, every file is replaced and the new Tovren.exe is started."""
    app, pid, holder = rerun_while_tovren_runs(run, 6)
    check(wait_until(lambda: os.path.exists(run.host(app + ".kapandi")), 20), "Tovren closed")
    for record in (".kal", ".kapandi"):  # the new one records its start and ends
        os.path.exists(run.host(app + record)) and os.remove(run.host(app + record))
    run.boxes([Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer=7),
               Registration(["MSCOMCTL.OCX"], answer=7), CLOSING_BOX])
    run.finished(key="105", earlier_installation=True)
    run.close()
    run.check_log(0, holds=[holder, "Tovren.exe (PID %s): kapandı" % pid])


def rerun_while_tovren_runs_no(run):
    """No: nothing is closed, the run ends as it did before (the component in use is not
    copied), and the log names Tovren."""
    app, pid, holder = rerun_while_tovren_runs(run, 7)
    run.boxes([Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer=7),
               first_half_failure(70, "İzin verilmedi")])
    run.ends(exit_code=3)
    run.check_log(3, holds=[holder, "Programlar kapatılmadı"])
    check(run.wine.inspect("find", "Tovren çalışıyor", 1000)[0] == 0, "Tovren still runs")


# Rights. Wine starts every process elevated above its user; the test build alone takes
# TOVRENKUR_TEST_ELEVATION=limited for a process without administrator rights.
def elevated_step_of_a_limited_run(run):
    """Started without administrator rights: Devam carries the shield, and the registration runs
    in a process that runas starts with exactly its arguments, while the window stays alive and
    owns its boxes; its log lines and its exit code reach the run's log."""
    registrable = ["msvbvm60.dll", "MSSTDFMT.DLL", "MSCOMCTL.OCX"]
    run.setup(chrome="105.0.5195.102", missing=registrable, automation=DRIVER_CLASS)
    run.start(screenshot="shield", env={"TOVRENKUR_TEST_ELEVATION": "limited"})
    run.devam()
    run.boxes([Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer=7)])
    installer, run.pid = run.pid, 0  # the step's boxes: any process's
    check(run.wine.inspect("msgbox", 0, 30000)[0] == 0 and run.wine.inspect("probe", e2e.TITLE)[0]
          == 0, "the window answers while the step's first box waits")
    run.boxes([Registration(registrable, answer=6)])
    step = run.headers[-1]["pid"]
    check(step != installer and all(h["pid"] == step and h["owner"] == e2e.TITLE
                                    for h in run.headers[1:]), "the step's boxes %r" % run.headers)
    run.pid = installer
    run.boxes([CLOSING_BOX])
    run.finished(key="105")
    run.check_registered(registrable)
    run.close()
    texts = run.log_lines()
    want = r'Komut satırı: .*TovrenKur\.exe"? /SYSTEMSTEP=\d+ "/DESKTOP=%s" "/LOG=%s"$' % (
        re.escape(run.desktop), re.escape(run.default_log_path()))
    check(len([t for t in texts if re.match(want, t)]) == 1, "the step's command line")
    check(texts.index("Yönetici yetkisiyle yapılan adımın çıkış kodu: 0") >
          texts.index("Adımın çıkış kodu: 0"), "the step's exit code, then the run's record of it")


def elevated_run_gives_the_user_his_programs(run):
    """Started elevated above the user with a shell in the session: the browser check runs in a
    process started with the shell's rights, which holds the browser until the run's box has
    been answered, and the application is started with those rights too."""
    run.setup(chrome="105.0.5195.102", missing=[], automation=DRIVER_CLASS)
    stop = os.path.join(run.wine.scratch, "kabuk-dur")
    shell = subprocess.Popen(["wine", run.tests("inspector.exe"), "shell",
                              "Z:" + stop.replace("/", "\\")], env=run.wine.env,
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE)
    shell.stdout.readline()  # the shell window is there
    run.start()
    run.devam()
    run.boxes([Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer=7), Registration([], 6)])
    run.read_box()
    run.check_automation(["create", "12|Chrome", "32|" + CHECK_PAGE])  # held while the box waits
    run.boxes([CLOSING_BOX])
    run.finished(key="105")
    run.check_automation(["create", "12|Chrome", "32|" + CHECK_PAGE, "release"])
    run.close()
    open(stop, "w").close()
    shell.wait(timeout=30)
    texts = run.log_lines()
    check(any(t.startswith("Komut satırı: ") and t.endswith('/BROWSERCHECK "/LOG=%s"' % (
        run.default_log_path())) for t in texts), "the check's process and its log lines")
    check('Program kullanıcının yetkisiyle başlatılıyor: "%s\\Tovren\\Tovren.exe"' % run.desktop
          in texts, "the application started with the user's rights")


# Runs without a person, as `start /wait` in a deployment script starts them.
def deployment_very_silent(run):
    """/VERYSILENT /LOG=...: no window at all, every question answered Yes, nothing launched;
    exit code 0, and the log in the folder asked for holds the steps."""
    run.setup(chrome="105.0.5195.102", missing=COMPONENTS, automation=DRIVER_CLASS)
    log = run.user + "\\Kurulum Kayıtları\\tovren kurulum.log"
    os.makedirs(os.path.dirname(run.host(log)))
    run.deploy(["/VERYSILENT", '/LOG="%s"' % log], exit_code=0)
    run.check_installed(key="105")
    run.check_download("/105.0.5195.52/chromedriver_win32.zip")
    run.check_script()
    run.check_registered(["msvbvm60.dll", "MSSTDFMT.DLL", "MSCOMCTL.OCX"])
    check(not run.app_ran(), "nothing launched without /LAUNCH")
    run.check_automation(None)
    check(run.default_logs() == [], "no log in the temporary folder")
    run.check_log(0, run.host(log), holds=["HTTP durumu: 200", "Açıldı: 1 girdi, 15 bayt",
                                           "Adım bitti: Bileşenlerin kaydı"])


def deployment_copy_refused(run):
    """/VERYSILENT where the system folder refuses a component's copy (a folder holds its name):
    installed all the same, exit code 4, and the log names the copy and its failure."""
    run.setup(chrome="105.0.5195.102", missing=["MSCOMCTL.OCX"], automation=DRIVER_CLASS,
              folders=["MSCOMCTL.OCX"])
    run.deploy(["/VERYSILENT"], exit_code=4)
    check(run.tree_files()["prgDosyaları"] == ["ChromeDriverVersiyon.txt", "MSCOMCTL.OCX"],
          "installed: %r" % run.tree_files())
    run.check_registered([])
    copy = ("Kopya: %s\\Tovren\\prgDosyaları\\MSCOMCTL.OCX -> C:\\Windows\\SysWOW64\\MSCOMCTL.OCX"
            % run.desktop)
    texts = run.check_log(4, holds=[copy]) + [copy]
    check(texts[texts.index(copy) + 1] == "Atlanan hata: Hata No: 75 (Yol/Dosya erişim hatası)",
          "the copy's failure follows it")


def deployment_while_driver_runs(run):
    """/VERYSILENT while a chromedriver.exe that Tovren started from the package folder outlives
    it: left running without /CLOSEAPPLICATIONS (the extraction fails, exit 3, the log names it),
    ended with it (installed, exit 0)."""
    run.setup(chrome="105.0.5195.102", missing=[], automation=None)
    driver = run.package + "\\Tovren-Selvane\\chromedriver.exe"
    run.stand_in(driver)
    run.deploy(["/VERYSILENT"], exit_code=3)
    texts = run.check_log(3, holds=["Kurulum durdu: Hata No: 75 (Yol/Dosya erişim hatası)"])
    holder = [t for t in texts if t.startswith("Dosyaları kullanıyor: chromedriver")]
    check(len(holder) == 1 and holder[0].endswith(" " + driver), "the log names it: %r" % holder)
    run.deploy(["/VERYSILENT", "/CLOSEAPPLICATIONS"], exit_code=0)
    run.check_installed(key="105")
    run.check_extracted(steps.DRIVERS["105.0.5195.52"])
    ended = holder[0].split(": ")[1].split(", ")[0] + ": kapanmadı, sonlandırıldı"
    run.check_log(0, max(run.default_logs()), holds=[ended])


def silent_launch_without_script_and_registration(run):
    """/SILENT /NOSCRIPT /NOREGISTER /LAUNCH: the window shows and closes itself, no box waits;
    no script, nothing registered; the browser check and the application do run."""
    run.setup(chrome="99.0.4844.84", missing=["MSSTDFMT.DLL", "MSCOMCTL.OCX"],
              automation=FALLBACK_CLASS)
    run.deploy(["/silent", "-NOSCRIPT", "/NoRegister", "/LAUNCH"], exit_code=0, window=True)
    run.check_installed(key="99.")
    check(run.script_ran(2) is None, "no script")
    run.check_registered([])
    check(steps.wait_until(run.app_ran, 20), "the application is started")
    run.check_automation(["create", "12|Chrome", "32|" + CHECK_PAGE, "release"])
    run.check_log(0, holds=["Gösterilmedi, cevap: 7 (Hayır)"])


def unattended_ends(run):
    """/SILENT without Chrome ends with 2, nothing made; /VERYSILENT with a component missing
    from the package ends with 3; no box either time, the log says why."""
    run.setup(chrome=None, missing=["MSCOMCTL.OCX"], automation=None,
              package_lacks=["MSCOMCTL.OCX"])
    run.deploy(["/SILENT"], exit_code=2, window=True)
    check(not os.path.exists(run.host(run.desktop + "\\Tovren")), "no folder tree")
    run.check_log(2, holds=["Chrome sürümü: yok"])
    run.set_registry("105.0.5195.102", None)
    run.deploy(["/VERYSILENT"], exit_code=3)
    logs = sorted(run.default_logs())  # the second run of the day takes the next number
    check([log[-8:] for log in logs] == ["#001.log", "#002.log"], "logs %r" % logs)
    run.check_log(3, logs[-1], holds=["Kurulum durdu: Hata No: 53 (Dosya bulunamadı)"])


def bad_command_lines(run):
    """Refused arguments end with exit code 1 before anything is done, with a box naming them
    in an interactive run; /? lists the switches and ends with 0. A silent run shows nothing:
    what the box would say goes to the default log (so does a refused /LOG)."""
    run.setup(chrome="105.0.5195.102", missing=[], automation=None)
    missing_log = '/LOG="%s\\Yok\\kayıt.log"' % run.user
    for arguments, exit_code, text in [  # what the box says, or in a silent run the log
            (["/BOGUS"], 1, "Geçersiz komut satırı: /BOGUS\r\n"),
            (["kelime", "/VERYSILENT"], 1, "Geçersiz komut satırı: kelime"),
            (["/LOG="], 1, "Geçersiz komut satırı: /LOG=\r\n"),
            (["/DRIVER=latest"], 1, "Geçersiz komut satırı: /DRIVER=latest\r\n"),
            (["/VERYSILENT", missing_log], 1, "Kayıt dosyası açılamadı: %s\\Yok\\kayıt.log" % run.user),
            (["/SILENT", missing_log], 1, "Kayıt dosyası açılamadı: %s\\Yok\\kayıt.log" % run.user),
            (["/?"], 0, "\r\n/VERYSILENT: "),
            (["/VERYSILENT", "/?"], 0, "/VERYSILENT: ")]:
        silent, logs = "SILENT" in " ".join(arguments), len(run.default_logs())
        run.deploy(arguments, exit_code, box=None if silent else text)
        check(len(run.default_logs()) == logs + silent, "a log only when silent")
        if silent:
            run.check_log(exit_code, run.last_log(), says=[text])
    check(not os.path.exists(run.host(run.desktop + "\\Tovren")), "nothing installed")


def unattended_outcomes(run):
    """Deployments that end by themselves, no box seen, with the README's code and a log that
    says why: a second /VERYSILENT run over the chromedriver.exe of the first; a 404 and an
    archive holding LICENSE.dll (the earlier archive is extracted); a script that exits 3; one
    that takes 5 s under /SILENT, waited for with the window alive."""
    run.setup(chrome="105.0.5195.102", missing=["MSCOMCTL.OCX"], automation=None)
    url = "https://localhost:%d/104.0.5112.79/chromedriver_win32.zip" % run.suite.port
    for chrome, script, silent, exit_code, says in [
            ("105.0.5195.102", "rem", "/VERYSILENT", 0, "Açıldı: 1 girdi, 15 bayt"),
            ("105.0.5195.102", "rem", "/VERYSILENT", 0, "Açıldı: 1 girdi, 15 bayt"),
            ("104.0.5112.102", "rem", "/VERYSILENT", 4, "HTTP durumu 404: " + url),
            ("103.0.5060.134", "rem", "/VERYSILENT", 4, "'LICENSE.dll' girdisi beklenmiyor"),
            ("105.0.5195.102", "exit /b 3", "/VERYSILENT", 4, "program 3 çıkış koduyla bitti"),
            ("105.0.5195.102", "ping -n 6 127.0.0.1 >nul", "/SILENT", 0, "Program bitti: ")]:
        run.set_registry(chrome, None)
        steps.write(run.host(run.package + "\\Tovren-Selvane\\install.cmd"),
                    "@echo off\r\n%s\r\n" % script)
        seen = {}
        watch = threading.Thread(target=watch_program_wait, args=(run, seen))
        if silent == "/SILENT":
            watch.start()
        run.deploy([silent], exit_code, window=silent == "/SILENT")
        texts = run.check_log(exit_code, run.last_log(), says=[says])
        run.check_extracted("sürücü 105\r\n")  # never an unfit archive's
        if silent == "/SILENT":
            watch.join()
            took = [int(t.split(", ")[1].split()[0]) for t in texts if t.startswith(says)]
            check(took[:1] >= [4500] and seen.get("probe") == 0 and seen.get("texts", [])[:1] ==
                  ["Başlatılan programın bitmesi bekleniyor..."], "waited for, the window alive: "
                  "%r ms, %r" % (took, seen))


def watch_program_wait(run, seen):
    """Beside a /SILENT run: the texts of the progress window while a program is waited for, and
    whether the form answers then."""
    found = run.wine.inspect("find", TITLE, 60000, timeout=90)[1]
    progress = run.wine.inspect("progress", found[0]["pid"], 60000, timeout=90)[1] if found else []
    seen.update(texts=[c.get("text") for c in progress[1:]], probe=run.wine.inspect("probe", TITLE)[0])


def archive_name_too_long(run):
    """A package folder so deep that the driver's notice would not fit beside its temporary name
    (the computer's name, the process id and a counter): unfit (52) before any file is touched;
    exit code 3, and the log says why."""
    computer = len(socket.gethostname().split(".")[0][:15])  # Wine names the computer so
    # With the process id's 2 to 4 digits either way, the notices' 32 letters never fit,
    # chromedriver.exe and the folder's own lock file always would.
    run.setup(chrome="106.0.5249.62", missing=[], automation=None, deep_package=214 - computer)
    folder = run.host(run.package + "\\Tovren-Selvane")
    steps.make_zip(os.path.join(folder, "chromedriver_win32.zip"),
                   {"chromedriver.exe": "yeni", "THIRD_PARTY_NOTICES.chromedriver": "x"})
    steps.write(os.path.join(folder, "chromedriver.exe"), steps.OLD_DRIVER)
    run.deploy(["/VERYSILENT"], exit_code=3)
    check(sorted(os.listdir(folder)) == ["TovrenKur.lock", "chromedriver.exe",
                                         "chromedriver_win32.zip", "install.cmd"] and
          read(os.path.join(folder, "chromedriver.exe")) == steps.OLD_DRIVER.encode(),
          "nothing written, the driver there stays: %r" % os.listdir(folder))
    texts = run.check_log(3)
    check(any(t.startswith("Kurulum durdu: Hata No: 52 (") for t in texts), "why: %r" % texts[-2:])


def check_working_copies(run, copies, driver):
    """One working copy, with the driver extracted in it and the package script run from it."""
    check(len(copies) == 1, "one working copy: %r" % copies)
    for copy in copies:
        ran = os.path.join(copy, "calisti.txt")
        want = "C:\\%s\\install.cmd\r\n" % os.path.relpath(copy, run.drive).replace("/", "\\")
        check(read(os.path.join(copy, "chromedriver.exe")) == driver.encode() and
              steps.wait_until(lambda: os.path.exists(ran), 10) and read(ran).decode("cp857") == want,
              "driver and script in the copy: %r" % os.listdir(copy))


def read_only_package(run):
    """A read-only package: an interactive run shows the boxes of a writable one, a /VERYSILENT
    one installs completely, each in a working copy of its own, which the next run removes."""
    run.setup(chrome="105.0.5195.102", missing=["MSCOMCTL.OCX"], automation=DRIVER_CLASS)
    folder = run.host(run.package + "\\Tovren-Selvane")
    run.read_only_package()
    run.start()
    run.devam()
    run.boxes([Box("TovrenKur v1.0.0", SCRIPT_QUESTION, 292, answer=6),
               Registration(["MSCOMCTL.OCX"], answer=6), CLOSING_BOX])
    run.finished(key="105")
    run.close()
    first = run.working_copies()
    check_working_copies(run, first, DRIVERS["105.0.5195.52"])
    run.seen = []  # no one sees this run's boxes
    run.deploy(["/VERYSILENT"], exit_code=0)
    run.check_installed(key="105")
    check(run.working_copies() != first, "the first copy removed: %r" % run.working_copies())
    check_working_copies(run, run.working_copies(), DRIVERS["105.0.5195.52"])
    check(os.listdir(folder) == ["install.cmd"], "the package as it was: %r" % os.listdir(folder))
    texts = run.check_log(0, sorted(run.default_logs())[-1])
    check(any(t.startswith("Paket klasörü: C:\\") and "çalışma kopyası" in t for t in texts),
          "the log names the copy and why")


def two_pcs_share_one_package(run):
    """Two computers (prefixes) installing from one package at once, /VERYSILENT, the driver
    arriving slowly: one in the package, one in a copy; both end with 0, each driver whole."""
    run.setup(chrome="100.0.4896.75", missing=[], automation=None)
    other = steps.Run(run.suite)
    try:
        other.setup(chrome="100.0.4896.75", missing=[], automation=None)
        shared = "Z:" + run.host(run.package).replace("/", "\\")
        started = [run.launch(["/VERYSILENT"]), other.launch(["/VERYSILENT"], shared)]
        codes = [process.wait(timeout=180) for process in started]
        check(codes == [0, 0], "both end with 0: %r" % codes)
        folder = run.host(run.package + "\\Tovren-Selvane")
        copies = run.working_copies() + other.working_copies()
        check(len(copies) == 1, "one of them in a working copy: %r" % copies)
        for place in [folder] + copies:
            check(read(os.path.join(place, "chromedriver.exe")) == DRIVERS[SLOW_RELEASE].encode(),
                  "the driver whole in " + place)
        check(not [n for n in os.listdir(folder) if ".part" in n], "nothing half-written")
    finally:
        other.cleanup()


BUILDS, MILESTONES = ("/" + name for name in (steps.driver_mirror.BUILDS_LIST,
                                               steps.driver_mirror.MILESTONES_LIST))
CFT_131 = "/chrome-for-testing-public/131.0.6778.85/win32/chromedriver-win32.zip"


def current_source(run):
    """Source=current, unattended: a foreign host in the lists, cut or unreachable lists give no
    driver (exit 3), as the table does for 131 (/DRIVER=table wins over the setting); 131 by its
    build and its milestone (the newer layout), 110 by LATEST_RELEASE, 105 from the table do.
    So does another bucket (133); the setting reads in every encoding but UTF-16 BE."""
    run.setup(chrome=None, missing=["MSCOMCTL.OCX"], automation=None)
    steps.write(run.host(run.package + "\\TovrenKur.ini"), "[Driver]\r\nSource=current\r\n")
    for chrome, lists, requests, more in [
            ("132.0.6834.83", None, [BUILDS, MILESTONES], []),
            ("133.0.6943.98", None, [BUILDS, MILESTONES], []),
            ("131.0.6778.69", "cut", [BUILDS, MILESTONES], []),
            ("131.0.6778.69", "drop", [BUILDS, MILESTONES], []),
            ("131.0.6778.69", None, [], ["/DRIVER=table"]),
            ("131.0.6778.69", None, [BUILDS, CFT_131], []),
            ("131.0.6779.3", None, [BUILDS, MILESTONES, CFT_131], []),
            ("110.0.5481.178", None, ["/LATEST_RELEASE_110.0.5481",
                                      "/110.0.5481.77/chromedriver_win32.zip"], []),
            ("105.0.5195.102", None, ["/105.0.5195.52/chromedriver_win32.zip"], [])]:
        run.set_registry(chrome, None)
        run.change_lists(lists)
        run.log_start = os.path.getsize(run.suite.log)
        found = bool(requests) and requests[-1].endswith(".zip")
        run.deploy(["/VERYSILENT", *more], exit_code=0 if found else 3)
        if found:
            run.check_installed(key=chrome[:3])
            run.check_download(requests[-1], lists=requests[:-1])
        else:
            asked = sorted(set(line.split()[1] for line in run.mirror_requests()))
            check(asked == requests, "%s: requests %r" % (chrome, asked))
            if chrome.startswith("133"):
                run.check_log(3, run.last_log(), says=["reddedildi: https://localhost:%d/baska-kova/"
                                                       % run.suite.port])
    run.change_lists()
    # The setting as Notepad saves it (131 installs only with it): UTF-8 with its mark, UTF-16 LE,
    # ANSI; UTF-16 BE is refused.
    setting, boms = "[Driver]\r\nSource=current\r\n", (b"\xef\xbb\xbf", b"\xff\xfe", b"", b"\xfe\xff")
    run.set_registry("131.0.6778.69", None)
    for bom, encoding in zip(boms, ("utf-8", "utf-16-le", "cp1254", "utf-16-be")):
        steps.write(run.host(run.package + "\\TovrenKur.ini"), bom + ("; Sürücü ayarı\r\n" +
                                                                       setting).encode(encoding))
        run.deploy(["/VERYSILENT"], exit_code=1 if encoding == "utf-16-be" else 0)
    run.check_log(1, run.last_log(), says=["UTF-16 BE (büyük sonlu) kodlaması okunmuyor"])


SCENARIOS = [full_installation, full_installation_on_32bit_windows, chrome_99_answers_no,
             unsupported_without_archive, unsupported_with_old_archive_over_earlier_installation,
             no_chrome,
             application_missing, component_missing_from_package, quit_before_devam,
             slow_download, newer_component_in_system, rerun_while_tovren_runs_yes,
             rerun_while_tovren_runs_no, deployment_very_silent,
             deployment_copy_refused, deployment_while_driver_runs,
             silent_launch_without_script_and_registration,
             unattended_ends, bad_command_lines, unattended_outcomes, current_source,
             archive_name_too_long, read_only_package, two_pcs_share_one_package,
             elevated_step_of_a_limited_run, elevated_run_gives_the_user_his_programs]


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
