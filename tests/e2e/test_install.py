"""End-to-end tests of the installer, the uninstaller and launcher shortcuts, in a Wine prefix
of their own: installing changes the prefix's registry, Start menu and desktop, which no other
module should see. The tests build on each other and run in the order of their names: bad
input first (nothing may be left of it), then the installation, what it made possible, and
its removal."""

import os
import shutil
import time
import unittest

import bench as bench_module

bench = None

SOURCE = "C:\\dist"
TARGET = "C:\\Apps\\Ravlen Tool & Co"
GROUP = "Print Tools"
INSTALLED = TARGET + "\\ravlen.exe"
UNINSTALL_KEY = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ravlen"
IDOK, IDCANCEL, IDC_SETTINGS, IDC_EXIT = 1, 2, 4, 2
IDC_GROUP_NAME, IDC_TYPES, IDC_DIRECTORY = 1602, 1604, 1605
IDC_SHORTCUT_NAME, IDC_SHORTCUT_DIRECTORY = 1620, 1623
IDC_SHORTCUT_BUTTON = 2015  # "&Shortcut..." in the settings dialog
SETTINGS_TITLE = "Ravlen Settings"
LB_SETSEL = 0x185
INSTALL_TITLE = "Install Ravlen"
SHORTCUT_TITLE = "Create Ravlen Shortcut"
COMMON = {"ShowPrintDlg": 0, "EnableTextPrint": 0, "QuitFromComLine": 1}
SETTINGS = {"General": {"Version": "2.1.5"},
            "Settings List": {"Default settings": 1, "Other": 1},
            "Default settings": dict(COMMON),
            "Other": dict(COMMON, PrinterName="other")}
PRN = b"\x1bE printer-ready bytes \x00\xff\x1b%-12345X"


def setUpModule():
    global bench
    ravlen, winauto, work = bench_module.default_paths()
    if not os.path.exists(ravlen):
        raise unittest.SkipTest("no ravlen.exe at %s" % ravlen)
    bench = bench_module.Bench(work.rstrip("/\\") + "-install", ravlen=ravlen, winauto=winauto)
    bench.start()
    # The program as it is shipped: its files side by side in one directory.
    build = os.path.dirname(ravlen)
    for name in ("ravlen.exe", "readme.txt", "pp.txt", "ravlen.html", "ravlensvc.exe"):
        if os.path.exists(os.path.join(build, name)):
            with open(os.path.join(build, name), "rb") as f:
                bench.put_file(SOURCE + "\\" + name, f.read())
    # The settings file in the Windows directory, where the installed program reads it.
    text = "".join("[%s]\r\n%s\r\n" % (s, "".join("%s=%s\r\n" % kv for kv in keys.items()))
                   for s, keys in SETTINGS.items())
    bench.put_file("C:\\windows\\ravlen.ini", text)
    # Associations of other programs, which the uninstaller must leave alone, and the one
    # that .prn has before the program is installed, which the uninstaller puts back.
    for ext, value in ((".eps", "GSview.eps"), (".rvx", "RavlenViewer"), (".prn", "prnfile")):
        bench.wine("reg", "add", "HKCR\\" + ext, "/ve", "/d", value, "/f")


def tearDownModule():
    if bench:
        bench.stop()


def screenshot_dir():
    return os.path.join(os.path.dirname(bench_module.default_paths()[0]), "..", "tests", "e2e",
                        "shots")


def reg_query(key, value=None):
    """The text of `reg query`, or None when the key (or value) does not exist."""
    argv = ["reg", "query", key] + (["/v", value] if value else [])
    process = bench.wine(*argv, check=False)
    return process if "REG_" in process or (not value and key.split("\\")[-1] in process) \
        else None


def reg_default(key):
    out = bench.wine("reg", "query", key, "/ve", check=False)
    for line in out.splitlines():
        if "REG_SZ" in line:
            return line.split("REG_SZ", 1)[1].strip()
    return None


def shell_folder(name):
    """A user shell folder's Unix path in the prefix."""
    out = bench.wine("reg", "query",
                     "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                     "/v", name)
    for line in out.splitlines():
        if "REG_SZ" in line:
            return bench.unix_path(line.split("REG_SZ", 1)[1].strip())
    raise AssertionError("no shell folder %s: %s" % (name, out))


def short_name(directory, name):
    """The short (8.3) name of directory\\name, as `dir /x` shows it."""
    for line in bench.wine("cmd", "/c", "dir", "/x", directory).splitlines():
        line = line.rstrip()
        if line.endswith(" " + name):
            alias = line[:-len(name)].split()[-1]
            if "~" in alias:
                return alias
    raise AssertionError("no short name for %s in %s" % (name, directory))


def boxes_seen(running):
    return [e for e in bench._read_events(running.log_path) if e.get("event") == "box"]


def press_and_wait(running, title, command_id, boxes):
    """Presses a button and waits until `boxes` message boxes have been answered in all."""
    running.command(command_id, title=title)
    bench_module.wait_for(lambda: len(boxes_seen(running)) >= boxes, 30,
                          "%d message boxes" % boxes)
    time.sleep(0.3)


def winauto(running, *argv):
    bench.winauto(*argv, "--pid", str(running.pid), timeout=60)


def fill_install_dialog(running, directory, group=GROUP, types=()):
    running.dump(INSTALL_TITLE)
    winauto(running, "settext", "--title", INSTALL_TITLE, "--id", str(IDC_DIRECTORY),
            "--text", directory)
    winauto(running, "settext", "--title", INSTALL_TITLE, "--id", str(IDC_GROUP_NAME),
            "--text", group)
    for index in types:
        winauto(running, "send", "--title", INSTALL_TITLE, "--id", str(IDC_TYPES),
                "--msg", str(LB_SETSEL), "--wparam", "1", "--lparam", str(index))


class InstallTest(unittest.TestCase):
    def assertNothingInstalled(self):
        self.assertIsNone(reg_query(UNINSTALL_KEY, "UninstallString"))
        self.assertNotIn("[Install]", bench.read_text("C:\\windows\\ravlen.ini") or "")
        self.assertFalse(os.path.exists(os.path.join(shell_folder("Programs"), GROUP)))
        self.assertEqual("prnfile", reg_default("HKCR\\.prn"))

    def install(self, source, directory):
        def interact(running):
            fill_install_dialog(running, directory)
            running.command(IDOK, title=INSTALL_TITLE)

        result = bench.run(["/install"], program=source, interact=interact, timeout=90)
        self.assertEqual(0, result.exit_code, result)
        self.assertEqual([("Installing Ravlen", "Ravlen has been successfully installed")],
                         result.boxes[-1:])

    def uninstall(self, program, cwd=None, locale_env=None):
        def interact(running):
            running.dump("Uninstall Ravlen")
            running.command(IDOK, title="Uninstall Ravlen")

        result = bench.run(["/uninstall"], program=program, interact=interact, timeout=60,
                           cwd=cwd, locale_env=locale_env)
        self.assertEqual(0, result.exit_code, result)
        self.assertEqual([("Uninstalling Ravlen", "Ravlen has been succesfully removed.")],
                         result.boxes)

    def test_1_bad_input_is_reported_and_the_dialog_stays(self):
        bench.put_file("C:\\blocker", b"a file, not a directory")
        bench.put_file("C:\\ro\\ravlen.exe", b"read-only")
        os.chmod(bench.unix_path("C:\\ro\\ravlen.exe"), 0o444)  # Wine's read-only attribute

        def interact(running):
            fill_install_dialog(running, "C:\\blocker\\sub")
            press_and_wait(running, INSTALL_TITLE, IDOK, 1)
            fill_install_dialog(running, "C:\\ok", group="a|b")
            press_and_wait(running, INSTALL_TITLE, IDOK, 2)
            fill_install_dialog(running, "C:\\ro")
            press_and_wait(running, INSTALL_TITLE, IDOK, 3)
            fill_install_dialog(running, "Apps\\Relative")
            press_and_wait(running, INSTALL_TITLE, IDOK, 4)
            shown.append(running.dump(INSTALL_TITLE))  # still open after every failure
            running.command(IDCANCEL, title=INSTALL_TITLE)

        shown = []

        os.makedirs(bench.unix_path("C:\\work"), exist_ok=True)
        result = bench.run(["/install"], program=SOURCE + "\\ravlen.exe", interact=interact,
                           timeout=90, cwd=bench.unix_path("C:\\work"))
        self.assertEqual(1, result.exit_code, result)
        texts = [text for _, text in result.boxes]
        self.assertTrue(texts[0].startswith("Failed to create directory C:\\blocker"), texts)
        self.assertIn("not valid characters", texts[1])
        self.assertTrue(texts[2].startswith("Failed to install file: ravlen.exe"), texts)
        self.assertTrue(texts[3].startswith("The destination directory must be a full path"),
                        texts)
        self.assertFalse(os.path.exists(bench.unix_path("C:\\work\\Apps")))
        self.assertEqual(("Installing Ravlen", "Ravlen installation failed"), result.boxes[-1])
        self.assertNothingInstalled()

    def test_2_install_makes_files_links_records_and_associations(self):
        def interact(running):
            fill_install_dialog(running, TARGET, types=(2,))  # .prn is selected; add .ps
            os.makedirs(screenshot_dir(), exist_ok=True)
            bench.screenshot(os.path.join(screenshot_dir(), "install-dialog.png"))
            running.command(IDOK, title=INSTALL_TITLE)

        result = bench.run(["/install"], program=SOURCE + "\\ravlen.exe", interact=interact,
                           timeout=90)
        self.assertEqual(0, result.exit_code, result)
        self.assertEqual(("Installing Ravlen", "Ravlen has been successfully installed"),
                         result.boxes[-1])
        for name in ("ravlen.exe", "readme.txt", "pp.txt", "ravlensvc.exe"):
            self.assertEqual(bench.read_file(SOURCE + "\\" + name),
                             bench.read_file(TARGET + "\\" + name), name)
        group = os.path.join(shell_folder("Programs"), GROUP)
        self.assertTrue(os.path.exists(os.path.join(group, "Ravlen.lnk")))
        self.assertTrue(os.path.exists(os.path.join(group, "Uninstall Ravlen.lnk")))
        with open(os.path.join(group, "Uninstall Ravlen.lnk"), "rb") as f:
            self.assertIn("/uninstall".encode("utf-16-le"), f.read())
        self.assertTrue(os.path.exists(os.path.join(shell_folder("Desktop"), "Ravlen.lnk")))
        ini = bench.read_text("C:\\windows\\ravlen.ini")
        self.assertIn("[Install]\nDirectory=%s\\\nGroup=%s\n" % (TARGET, GROUP), ini)
        self.assertIn("\nFiles=ravlen.exe|ravlen.html|readme.txt|pp.txt|ravlensvc.exe\n", ini)
        self.assertIn("Default settings", ini)  # the user's sets are kept
        self.assertIn("Ravlen", reg_query(UNINSTALL_KEY, "DisplayName"))
        self.assertIn("/uninstall", reg_query(UNINSTALL_KEY, "UninstallString"))
        self.assertEqual("Ravlen", reg_default("HKCR\\.prn"))
        self.assertEqual("Ravlen", reg_default("HKCR\\.ps"))
        self.assertIsNone(reg_default("HKCR\\.pcl"))
        self.assertTrue(reg_default("HKCR\\Ravlen\\shell\\open\\command").endswith('"%1"'))

    def test_3_associated_extension_prints_through_the_program(self):
        bench.put_file("C:\\docs\\job.prn", PRN)
        first = bench._next_job_id()
        bench.wine("cmd", "/c", "start", "/wait", "C:\\docs\\job.prn", timeout=120)
        jobs = bench.wait_jobs(first, 1, timeout=60)
        self.assertEqual([("Ravlen - job.prn", PRN)], jobs)

    def test_4_launcher_prints_with_its_set_and_passes_arguments_unchanged(self):
        def interact(running):
            running.dump("Ravlen")
            running.command(IDC_SETTINGS)
            running.dump(SETTINGS_TITLE)
            running.command(IDC_SHORTCUT_BUTTON, title=SETTINGS_TITLE)
            running.dump(SHORTCUT_TITLE)
            winauto(running, "settext", "--title", SHORTCUT_TITLE, "--id",
                    str(IDC_SHORTCUT_DIRECTORY), "--text", "C:\\launchers")
            os.makedirs(screenshot_dir(), exist_ok=True)
            bench.screenshot(os.path.join(screenshot_dir(), "shortcut-dialog.png"))
            # Refused names are reported before anything is written.
            for boxes, name in ((1, ""), (2, "Ravlen: Other"), (3, "nul.txt")):
                winauto(running, "settext", "--title", SHORTCUT_TITLE, "--id",
                        str(IDC_SHORTCUT_NAME), "--text", name)
                press_and_wait(running, SHORTCUT_TITLE, IDOK, boxes)
            self.assertIsNone(bench.read_file("C:\\launchers\\Ravlen - Other.exe"))
            winauto(running, "settext", "--title", SHORTCUT_TITLE, "--id",
                    str(IDC_SHORTCUT_NAME), "--text", "Ravlen - Other")
            running.command(IDOK, title=SHORTCUT_TITLE)
            bench_module.wait_for(lambda: bench.read_file("C:\\launchers\\Ravlen - Other.exe"),
                                  30, "the launcher")
            time.sleep(0.5)
            running.command(IDC_EXIT)

        result = bench.run(["/n:Other"], program=INSTALLED, interact=interact, timeout=90)
        self.assertEqual(0, result.exit_code, result)
        self.assertEqual([("Ravlen Error", "The shortcut must have a name"),
                          ("Ravlen Error", '/ \\ : ? * " < > | are not valid characters in a '
                                           "shortcut name"),
                          ("Ravlen Error", "nul.txt is the name of a device and cannot name a "
                                           "shortcut")], result.boxes)
        self.assertTrue(os.path.exists(os.path.join(shell_folder("Desktop"),
                                                    "Ravlen - Other.lnk")))
        self.assertIn("ShortcutDir=C:\\launchers", bench.read_text("C:\\windows\\ravlen.ini"))

        bench.put_file("C:\\docs\\a b.prn", PRN + b"with a blank")
        # A name the ANSI code page lacks passes the launcher whole (Wine garbles such a job
        # title in CUPS, so its content stands for it), never as "?????.prn", which would
        # match the other five-letter name as well.
        bench.put_file("C:\\docs\\decoy.prn", PRN + b"never asked for")
        bench.put_file("C:\\docs\\\u03a9\u03bc\u03ad\u03b3\u03b1.prn", PRN + b"named in Greek")
        first = bench._next_job_id()
        log = "C:\\docs\\launch.log"
        run = bench.run(["/e", "/l:" + log, "C:\\docs\\a b.prn",
                         "C:\\docs\\\u03a9\u03bc\u03ad\u03b3\u03b1.prn"],
                        program="C:\\launchers\\Ravlen - Other.exe", timeout=60)
        self.assertEqual(0, run.exit_code, run)
        bench_module.wait_for(lambda: len(bench.jobs(first, bench_module.OTHER_PRINTER)) == 2,
                              60, "two jobs on the set's printer")
        jobs = bench.jobs(first, bench_module.OTHER_PRINTER)
        self.assertEqual("Ravlen - a b.prn", jobs[0][0])
        self.assertEqual([PRN + b"with a blank", PRN + b"named in Greek"], [j[1] for j in jobs])
        self.assertEqual([], bench.jobs(first))
        bench_module.wait_for(lambda: "Done printing" in (bench.read_text(log) or ""), 30,
                              "the log's done line")
        self.assertIn("C:\\docs\\a b.prn", bench.read_text(log))

    def test_4b_a_failed_reinstall_keeps_the_working_installation(self):
        links = [os.path.join(shell_folder("Programs"), GROUP, name + ".lnk")
                 for name in ("Ravlen", "Ravlen Help", "Uninstall Ravlen")]
        links.append(os.path.join(shell_folder("Desktop"), "Ravlen.lnk"))
        records = bench.read_text("C:\\windows\\ravlen.ini")

        def fail(running):
            fill_install_dialog(running, TARGET)
            press_and_wait(running, INSTALL_TITLE, IDOK, 1)
            running.command(IDCANCEL, title=INSTALL_TITLE)

        os.chmod(bench.unix_path(INSTALLED), 0o444)  # the installed program is read-only
        try:
            result = bench.run(["/install"], program=SOURCE + "\\ravlen.exe", interact=fail,
                               timeout=90)
        finally:
            os.chmod(bench.unix_path(INSTALLED), 0o755)
        self.assertEqual(1, result.exit_code, result)
        self.assertTrue(result.boxes[0][1].startswith("Failed to install file: ravlen.exe"))
        self.assertEqual([link for link in links if not os.path.exists(link)], [])
        self.assertEqual(records, bench.read_text("C:\\windows\\ravlen.ini"))

        # The installed program's own directory, spelt in its 8.3 form, is the directory it
        # runs from: nothing is copied onto itself, and the installation stands.
        self.install(INSTALLED, "C:\\Apps\\" + short_name("C:\\Apps", "Ravlen Tool & Co"))
        self.assertEqual([link for link in links if not os.path.exists(link)], [])
        self.assertEqual("Ravlen", reg_default("HKCR\\.prn"))

    def test_5_uninstall_removes_what_the_installer_made_and_keeps_the_users_files(self):
        bench.put_file(TARGET + "\\mine.txt", b"the user's own file")
        # As an installation made before the installed files were recorded.
        ini = bench.read_file("C:\\windows\\ravlen.ini")
        bench.put_file("C:\\windows\\ravlen.ini",
                       b"".join(line for line in ini.splitlines(True)
                                if not line.startswith(b"Files=")))
        # A service of the installed program's, which would start a program that is gone.
        service = bench.run(["/service", "install", "Office", "/s:C:\\spool\\*.*"],
                            program=INSTALLED, timeout=60)
        self.assertEqual(0, service.exit_code, service)
        self.uninstall(INSTALLED)
        bench_module.wait_for(lambda: bench.read_file(INSTALLED) is None, 60,
                              "the removal batch to delete the program")
        query = bench_module.subprocess.run([bench_module.WINE, "sc", "query", "Ravlen-Office"],
                                            env=bench.env, capture_output=True, timeout=60)
        self.assertNotEqual(0, query.returncode, query.stdout)
        for name in ("readme.txt", "pp.txt"):
            self.assertIsNone(bench.read_file(TARGET + "\\" + name))
        self.assertEqual(b"the user's own file", bench.read_file(TARGET + "\\mine.txt"))
        self.assertIsNone(bench.read_file("C:\\windows\\ravlen.ini"))
        self.assertFalse(os.path.exists(os.path.join(shell_folder("Programs"), GROUP)))
        self.assertFalse(os.path.exists(os.path.join(shell_folder("Desktop"), "Ravlen.lnk")))
        self.assertIsNone(reg_query(UNINSTALL_KEY, "UninstallString"))
        self.assertEqual("prnfile", reg_default("HKCR\\.prn"))
        self.assertIsNone(reg_default("HKCR\\.ps"))
        self.assertIsNone(reg_default("HKCR\\Ravlen"))
        self.assertEqual("GSview.eps", reg_default("HKCR\\.eps"))
        self.assertEqual("RavlenViewer", reg_default("HKCR\\.rvx"))
        # The launcher shortcut is the user's: it stays.
        self.assertIsNotNone(bench.read_file("C:\\launchers\\Ravlen - Other.exe"))

        again = bench.run(["/uninstall"], program=SOURCE + "\\ravlen.exe", timeout=60)
        self.assertEqual(1, again.exit_code)
        self.assertEqual("Ravlen has not been installed by the installation program.\n"
                         "You have to uninstall it manually instead.", again.boxes[0][1])

    def test_6_uninstall_from_a_renamed_copy_removes_exactly_what_was_installed(self):
        source, directory = "C:\\dist2", "C:\\Apps\\Second"
        for name in ("ravlen.exe", "pp.txt"):  # no help and no read-me to install
            bench.put_file(source + "\\" + name, bench.read_file(SOURCE + "\\" + name))
        bench.put_file(directory + "\\readme.txt", b"the user's own notes")
        self.install(source + "\\ravlen.exe", directory)
        copy = source + "\\old setup.exe"
        bench.put_file(copy, bench.read_file(source + "\\ravlen.exe"))

        self.uninstall(copy)
        for name in ("ravlen.exe", "pp.txt"):
            self.assertFalse(os.path.exists(bench.unix_path(directory + "\\" + name)), name)
        self.assertEqual(b"the user's own notes", bench.read_file(directory + "\\readme.txt"))
        self.assertTrue(os.path.exists(bench.unix_path(copy)))

    def test_7_directories_with_letters_beyond_ascii_are_removed(self):
        # cmd.exe reads the removal batch in the OEM code page; the program knows its paths
        # in UTF-8, and "\u00fc" is another letter in each. The program's directory and the
        # temporary directory, where the batch goes, both hold one. The uninstaller runs in
        # the program's directory, as a link may start it: the batch must leave it before
        # it can remove it. In code page 850 the two bytes of "\u00fc" in UTF-8 are letters
        # as well ("\u00c3\u00bc"), so a batch written from them would name another
        # directory and leave the program behind.
        temp = "C:\\Temp\\Dr\u00fccker"
        os.makedirs(bench.unix_path(temp), exist_ok=True)
        # The last test: the prefix's temporary directory stays changed.
        for name in ("TEMP", "TMP"):
            bench.wine("reg", "add", "HKCU\\Environment", "/v", name, "/d", temp, "/f")
        for directory, locale in (("C:\\Programme\\Dr\u00fccker", None),
                                  ("C:\\Users\\Public\\B\u00fcro\\Ravlen", "de_DE.UTF-8")):
            with self.subTest(directory=directory, locale=locale):
                env = locale and bench.locale_env(locale)
                if locale and not env:
                    self.skipTest("no locale %s for its OEM code page" % locale)
                self.install(SOURCE + "\\ravlen.exe", directory)
                self.uninstall(directory + "\\ravlen.exe", cwd=bench.unix_path(directory),
                               locale_env=env)
                bench_module.wait_for(lambda: not os.path.exists(bench.unix_path(directory)),
                                      60, "the removal batch to remove the directory")
