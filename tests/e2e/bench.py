"""The end-to-end bench: a private CUPS scheduler with a capture printer, a private X display
and a private Wine prefix, in which a Windows program runs the way a user would run it.

    bench = Bench(work_dir, ravlen=".../ravlen.exe", winauto=".../winauto.exe")
    bench.start()
    try:
        result = bench.run(["/q", "a.txt"], settings={...}, answers=["OK"])
        result.exit_code, result.boxes, result.jobs, result.log
    finally:
        bench.stop()

Everything lives under work_dir (made afresh by start()); stop() ends every process that
start() began. Standard library only.
"""

import argparse
import atexit
import contextlib
import ctypes
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

WINE = "/usr/lib/wine/wine64"
WINESERVER = next((p for p in ("/usr/lib/wine/wineserver64", "/usr/lib/wine/wineserver")
                   if os.path.exists(p)), "wineserver")
WINE_FONTS = "/usr/share/wine/fonts"
# A monospaced TrueType face with Greek, Cyrillic and box drawing, for the Unicode text tests.
MONO_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"
CUPS_LIBDIR = "/usr/lib/cups"
PRINTER = "capture"
# A second capture printer, for settings sets that name their own printer.
OTHER_PRINTER = "other"

# Stores each job's bytes and title; the scheduler runs it as root because only root may read
# and run it (mode 0700).
BACKEND = r"""#!/bin/sh
# Capture backend: argv = job-id user title copies options [file].
if [ $# -eq 0 ]; then
    echo 'direct capture "Unknown" "Bench capture printer"'
    exit 0
fi
umask 022
dir=${DEVICE_URI#capture:}
if [ $# -ge 6 ]; then
    cat "$6" > "$dir/.job-$1" || exit 1
else
    cat > "$dir/.job-$1" || exit 1
fi
printf '%s' "$3" > "$dir/job-$1.title"
mv "$dir/.job-$1" "$dir/job-$1.data"
"""


class BenchError(Exception):
    pass


def _become_subreaper():
    """Daemons that Wine and CUPS detach become this process's children, so that stop() can
    collect them instead of leaving them to init."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER
    except (OSError, AttributeError):
        pass


def _children():
    """Process ids whose parent is this process."""
    me = str(os.getpid())
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if fields[1] == me and fields[0] != "Z":
            found.append(int(entry))
    return found


def _die_with_parent():
    """Run in a child before exec: it is killed when the bench's process dies, even by
    SIGKILL, so that a killed test run leaves no scheduler or X server behind."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM, 0, 0, 0)  # PR_SET_PDEATHSIG
    except (OSError, AttributeError):
        pass


def _reap_orphans(timeout=10):
    """Collects the bench's exited descendants; any still running after the timeout (none
    should be) are killed."""
    deadline = time.monotonic() + timeout
    killed = False
    while True:
        try:
            while os.waitpid(-1, os.WNOHANG)[0] > 0:
                pass
        except ChildProcessError:
            return
        left = _children()
        if not left:
            return
        if time.monotonic() > deadline:
            if killed:
                return
            killed = True
            sys.stderr.write("bench: killing leftover processes %s\n" % left)
            for pid in left:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            deadline = time.monotonic() + 5
        time.sleep(0.05)


def wait_for(predicate, timeout, what, interval=0.05):
    """Polls predicate until it returns a true value; raises BenchError at the timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise BenchError("timed out after %gs waiting for %s" % (timeout, what))
        time.sleep(interval)


def unix_to_windows(path):
    """Wine's drive Z: is the Unix root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class RunResult:
    def __init__(self):
        self.exit_code = None
        self.timed_out = False
        self.log = None          # the activity log's text, when a log path was given
        self.jobs = []           # [(title, bytes)] in the order the printer received them
        self.other_jobs = []     # the same for the second printer, "other"
        self.boxes = []          # [(title, text)] in the order they were shown
        self.box_events = []     # the full box records (buttons, answer, button pressed)
        self.dialogs = []        # print dialogs: [(title, answer)]
        self.windows = []        # every top-level window shown: [(class, title)]
        self.hooked = False      # whether every show was seen, or only those polling caught
        self.events = []
        self.stdout = ""
        self.stderr = ""

    def __repr__(self):
        return ("RunResult(exit_code=%r, timed_out=%r, boxes=%r, jobs=%r, windows=%r)"
                % (self.exit_code, self.timed_out, self.boxes,
                   [(t, len(d)) for t, d in self.jobs], self.windows))


class Running:
    """A program started by Bench.start_run(), still running under the automation."""

    def __init__(self, bench, process, log_path, timeout, log, first_job, output):
        self.bench = bench
        self.output = output
        self.process = process
        self.log_path = log_path
        self.timeout = timeout
        self.activity_log = log
        self.first_job = first_job
        self._pid = None

    @property
    def pid(self):
        if self._pid is None:
            def started():
                for event in self.bench._read_events(self.log_path):
                    if event.get("event") == "start":
                        return event["pid"]
                if self.process.poll() is not None:
                    raise BenchError("winauto ended before starting the program")
                return None
            self._pid = wait_for(started, 30, "the program to start")
        return self._pid

    def _window_options(self, title, window_class, control, hidden, timeout):
        options = ["--title", title, "--pid", str(self.pid), "--timeout", str(int(timeout * 1000))]
        if window_class:
            options += ["--class", window_class]
        if control:
            options += ["--control", str(control)]
        if hidden:
            options += ["--hidden", "1"]
        return options

    def dump(self, title="Ravlen", timeout=20, window_class=None, control=None, hidden=False):
        """The window whose title starts with title (of window_class, holding a control of that
        id, hidden or not when hidden is true), with its controls, its rectangle and state."""
        out = self.bench.winauto("dump", *self._window_options(title, window_class, control,
                                                                hidden, timeout),
                                 timeout=timeout + 20)
        return json.loads(out.strip().splitlines()[-1])

    def command(self, command_id, title="Ravlen", timeout=20, control=None, hidden=False):
        """Posts WM_COMMAND command_id to that window, as a click on its button would."""
        self.bench.winauto("command", "--id", str(command_id),
                           *self._window_options(title, None, control, hidden, timeout),
                           timeout=timeout + 20)

    def command_while_cups_is_held(self, command_id, title="Ravlen"):
        """command(), by a poster that needs no printer (winauto waits for CUPS as it starts)."""
        poster = os.path.join(os.path.dirname(self.bench.winauto_exe), "post_command.exe")
        self.bench.wine(unix_to_windows(poster), str(self.pid), title, str(command_id),
                        timeout=30)

    def post(self, message, wparam=0, lparam=0, title="Ravlen", timeout=20, control=None,
             hidden=False):
        """Posts a message to that window, as the shell does for a click on a tray icon."""
        self.bench.winauto("post", "--msg", str(message), "--wparam", str(wparam),
                           "--lparam", str(lparam),
                           *self._window_options(title, None, control, hidden, timeout),
                           timeout=timeout + 20)

    def sheet_picture(self, title, timeout=20):
        """The sheet picture that window shows, as the program's hook reads it from its
        metafile: {"frame": the paper [left, top, right, bottom] in .01 mm, "texts": [...]}."""
        before = len(self.shown_events("sheet"))
        self.bench.winauto("sheettext", *self._window_options(title, None, None, False, timeout),
                           timeout=timeout + 20)
        events = wait_for(lambda: self.shown_events("sheet")[before:], timeout, "the sheet's text")
        return events[0]

    def sheet_texts(self, title, timeout=20):
        """The text runs of the sheet picture that window shows: [(x, y, text)] in drawing
        order."""
        return [(t["x"], t["y"], t["text"]) for t in self.sheet_picture(title, timeout)["texts"]]

    def keys(self, *names, title="", window_class="#32768", timeout=20):
        """Presses keys (DOWN, UP, LEFT, RIGHT, RETURN, ESCAPE, PGUP, PGDN) in the program's
        open menu, or in the window of that title and class."""
        self.bench.winauto("keys", "--keys", ",".join(names),
                           *self._window_options(title, window_class, None, False, timeout),
                           timeout=timeout + 20)

    def boxes(self):
        """The message boxes shown so far, as [(title, text)]; the run's result has them all
        once it ends."""
        return [(e["title"], e["text"]) for e in self.bench._read_events(self.log_path)
                if e.get("event") == "box"]

    def shown_events(self, kind):
        """Records of the given kind ("menu", "browser", "shown") that the program's hook has
        written so far; the run's result has them all once it ends."""
        return [e for e in self.bench._read_shown(self.log_path) if e.get("event") == kind]

    def _act(self, verb, control_id, title, timeout, *extra):
        self.bench.winauto(verb, "--id", str(control_id), "--title", title, "--pid",
                           str(self.pid), "--timeout", str(int(timeout * 1000)), *extra,
                           timeout=timeout + 20)

    def settext(self, control_id, text, title, timeout=20):
        """Sets the text of a control of that window."""
        self._act("settext", control_id, title, timeout, "--text", text)

    def check(self, control_id, on, title, timeout=20):
        """Checks or clears a button (a radio button's group follows), as a click would."""
        self._act("check", control_id, title, timeout, "--on", "1" if on else "0")

    def select(self, control_id, text, title, timeout=20):
        """Chooses a combo box's entry, as the user would."""
        self._act("select", control_id, title, timeout, "--text", text)

    def listsel(self, control_id, items, title, timeout=20):
        """Selects exactly those items of a list box."""
        self._act("listsel", control_id, title, timeout, "--items",
                  ",".join(str(i) for i in items) or "-1")

    def wait(self):
        try:
            self.process.wait(timeout=self.timeout + 30)
        except subprocess.TimeoutExpired:
            self.abort()
            raise BenchError("winauto did not end; its log: %s" % self.log_path)
        return self.bench._collect(self)

    def abort(self):
        """Ends the program and the automation, after a failure half-way."""
        pid = self._pid or next((e["pid"] for e in self.bench._read_events(self.log_path)
                                 if e.get("event") == "start"), None)
        if self.process.poll() is None and pid is not None:
            try:
                self.bench.winauto("kill", "--pid", str(pid), timeout=30, check=False)
            except (BenchError, subprocess.TimeoutExpired):
                pass
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


class Bench:
    def __init__(self, work_dir, ravlen=None, winauto=None, screen="1024x768x24",
                 keep_prefix=None):
        self.work = os.path.abspath(work_dir)
        # The prefix takes some 700 MB; stop() deletes it unless asked (E2E_KEEP=1) to keep
        # it. The scheduler's logs and the captured jobs stay until the next start().
        self.keep_prefix = (os.environ.get("E2E_KEEP") == "1" if keep_prefix is None
                            else keep_prefix)
        self.ravlen = ravlen and os.path.abspath(ravlen)
        self.winauto_exe = winauto and os.path.abspath(winauto)
        self.screen = screen
        self.cups_dir = os.path.join(self.work, "cups")
        self.capture_dir = os.path.join(self.work, "capture")
        self.other_dir = os.path.join(self.work, "capture-other")
        self.prefix = os.path.join(self.work, "wine")
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self.socket = None
        self.display = None
        self.env = None
        self._cupsd = None
        self._xvfb = None
        self._wineserver = False
        self._guard = None
        self._socket_dir = None
        self._runs = 0

    # ---- start and stop ----

    def start(self):
        _become_subreaper()
        atexit.register(self.stop)
        try:
            if os.path.exists(self.work):
                self._stop_stale_wine()
                shutil.rmtree(self.work)
            os.makedirs(self.work)
            self._start_cups()
            self._start_xvfb()
            self._start_wine()
        except BaseException:
            self.stop()
            raise
        return self

    def stop(self):
        """Ends what start() began; safe to call more than once and after a failed start."""
        errors = []
        if self._wineserver:
            self._wineserver = False
            try:
                subprocess.run([WINESERVER, "-k"], env=self.env, timeout=30,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                subprocess.run([WINESERVER, "-w"], env=self.env, timeout=30,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            except (OSError, subprocess.TimeoutExpired) as error:
                errors.append("wineserver: %s" % error)
        if self._guard:
            guard, self._guard = self._guard, None
            guard.stdin.close()
            try:
                guard.wait(timeout=40)
            except subprocess.TimeoutExpired:
                guard.kill()
                guard.wait()
        for name in ("_xvfb", "_cupsd"):
            process = getattr(self, name)
            setattr(self, name, None)
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait(timeout=10)
        if self._socket_dir:
            shutil.rmtree(self._socket_dir, ignore_errors=True)
            self._socket_dir = None
        _reap_orphans()
        if not self.keep_prefix and self.env:
            shutil.rmtree(self.prefix, ignore_errors=True)
        if errors:
            raise BenchError("; ".join(errors))

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    # ---- CUPS ----

    def _start_cups(self):
        d = self.cups_dir
        dirs = {name: os.path.join(d, name)
                for name in ("etc", "bin", "spool", "cache", "state", "log")}
        for path in dirs.values():
            os.makedirs(path)
        os.makedirs(os.path.join(dirs["spool"], "tmp"))
        os.makedirs(self.capture_dir)
        os.makedirs(self.other_dir)
        # Unix socket paths are limited to 107 bytes; a deep build directory gets a short one.
        self.socket = os.path.join(d, "cups.sock")
        if len(self.socket) > 100:
            self._socket_dir = tempfile.mkdtemp(prefix="e2e-cups-")
            self.socket = os.path.join(self._socket_dir, "cups.sock")

        backends = os.path.join(dirs["bin"], "backend")
        os.makedirs(backends)
        for name in os.listdir(CUPS_LIBDIR):
            if name != "backend":
                os.symlink(os.path.join(CUPS_LIBDIR, name), os.path.join(dirs["bin"], name))
        backend = os.path.join(backends, PRINTER)
        with open(backend, "w") as f:
            f.write(BACKEND)
        os.chmod(backend, 0o700)

        files_conf = os.path.join(dirs["etc"], "cups-files.conf")
        with open(files_conf, "w") as f:
            f.write("\n".join([
                "ServerRoot " + dirs["etc"],
                "ServerBin " + dirs["bin"],
                "DataDir /usr/share/cups",
                "RequestRoot " + dirs["spool"],
                "TempDir " + os.path.join(dirs["spool"], "tmp"),
                "CacheDir " + dirs["cache"],
                "StateDir " + dirs["state"],
                "AccessLog " + os.path.join(dirs["log"], "access_log"),
                "ErrorLog " + os.path.join(dirs["log"], "error_log"),
                "PageLog " + os.path.join(dirs["log"], "page_log"),
                "SystemGroup root",
                "Sandboxing relaxed",
                ""]))
        conf = os.path.join(dirs["etc"], "cupsd.conf")
        with open(conf, "w") as f:
            f.write("\n".join([
                "Listen " + self.socket,
                "Browsing No",
                "BrowseLocalProtocols none",
                "DefaultAuthType None",
                "WebInterface No",
                "LogLevel info",
                "MaxJobs 0",
                # A failed job must not stop the queue for the jobs after it.
                "ErrorPolicy abort-job",
                "PreserveJobHistory No",
                "<Location />", "  Order allow,deny", "  Allow all", "</Location>",
                "<Location /admin>", "  Order allow,deny", "  Allow all", "</Location>",
                "<Policy default>", "  <Limit All>", "    Order deny,allow", "  </Limit>",
                "</Policy>",
                ""]))
        # Let raw data of any type through to the queue unchanged.
        for name in ("raw.types", "raw.convs"):
            if os.path.exists("/etc/cups/" + name):
                shutil.copy("/etc/cups/" + name, dirs["etc"])

        self.env = dict(os.environ)
        # A home of the bench's own: no client.conf or lpoptions of the user's steers the CUPS
        # clients, and nothing Wine writes for the desktop lands in the user's home.
        home = os.path.join(self.work, "home")
        os.makedirs(home)
        self.env["HOME"] = home
        for name in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"):
            self.env.pop(name, None)
        self.env["CUPS_SERVER"] = self.socket
        # One locale whatever the machine's: Wine derives the Windows locale from it (units,
        # number formats, code page).
        self.env["LC_ALL"] = "C.UTF-8"
        self.env.pop("LANGUAGE", None)
        self.env.pop("PRINTER", None)
        self.env.pop("LPDEST", None)
        log = open(os.path.join(dirs["log"], "cupsd.out"), "w")
        self._cupsd = subprocess.Popen(["cupsd", "-f", "-c", conf, "-s", files_conf],
                                       stdout=log, stderr=subprocess.STDOUT,
                                       stdin=subprocess.DEVNULL, env=self.env,
                                       preexec_fn=_die_with_parent)
        log.close()

        def up():
            if self._cupsd.poll() is not None:
                raise BenchError("cupsd ended at start (see %s)" % dirs["log"])
            return os.path.exists(self.socket) and self._cmd(["lpstat", "-r"], check=False) == 0
        wait_for(up, 20, "cupsd")
        self._check(["lpadmin", "-p", PRINTER, "-E", "-v", "capture:" + self.capture_dir,
                     "-m", "raw"])
        self._check(["lpadmin", "-p", OTHER_PRINTER, "-E", "-v", "capture:" + self.other_dir,
                     "-m", "raw"])
        self._check(["lpadmin", "-d", PRINTER])
        # One job through the scheduler proves the queue and the backend.
        probe = os.path.join(self.cups_dir, "probe.txt")
        with open(probe, "wb") as f:
            f.write(b"bench probe\n")
        first = self._next_job_id()
        self._check(["lp", "-d", PRINTER, "-t", "probe", probe])
        jobs = self.wait_jobs(first, 1)
        if jobs != [("probe", b"bench probe\n")]:
            raise BenchError("the capture printer stored %r" % (jobs,))

    def _cmd(self, argv, check=True, timeout=30):
        process = subprocess.run(argv, env=self.env, stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE, timeout=timeout)
        if check and process.returncode != 0:
            raise BenchError("%s failed (%d): %s" % (" ".join(argv), process.returncode,
                                                     process.stderr.decode(errors="replace")))
        return process.returncode

    def _check(self, argv):
        self._cmd(argv, check=True)

    def _job_ids(self, directory=None):
        ids = []
        for name in os.listdir(directory or self.capture_dir):
            m = re.match(r"job-(\d+)\.data$", name)
            if m:
                ids.append(int(m.group(1)))
        return sorted(ids)

    def _next_job_id(self):
        # Job ids are the scheduler's, shared by both printers.
        ids = self._job_ids() + self._job_ids(self.other_dir)
        return max(ids) + 1 if ids else 1

    def _queue_empty(self):
        out = subprocess.run(["lpstat", "-o"], env=self.env, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, timeout=30).stdout
        return not out.strip()

    def jobs(self, first=1, printer=PRINTER):
        """The captured jobs of a printer from job id first on: [(title, bytes)] in job
        order."""
        directory = self.other_dir if printer == OTHER_PRINTER else self.capture_dir
        result = []
        for job in self._job_ids(directory):
            if job < first:
                continue
            base = os.path.join(directory, "job-%d" % job)
            with open(base + ".data", "rb") as f:
                data = f.read()
            title = ""
            if os.path.exists(base + ".title"):
                with open(base + ".title", "rb") as f:
                    title = f.read().decode("utf-8", errors="replace")
            result.append((title, data))
        return result

    def wait_jobs(self, first=1, count=None, timeout=30):
        """Waits until the scheduler has finished every queued job (and, with count, until
        that many jobs have arrived), then returns the jobs from id first on."""
        wait_for(self._queue_empty, timeout, "the print queue to empty")
        if count is not None:
            wait_for(lambda: len(self.jobs(first)) >= count, timeout, "%d jobs" % count)
        return self.jobs(first)

    # ---- X and Wine ----

    def _start_xvfb(self):
        # -displayfd makes the server pick a free display number and tell us which.
        read_end, write_end = os.pipe()
        log = open(os.path.join(self.work, "xvfb.log"), "w")
        try:
            self._xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen,
                 "-nolisten", "tcp"],
                pass_fds=(write_end,), stdout=log, stderr=subprocess.STDOUT,
                preexec_fn=_die_with_parent,
                stdin=subprocess.DEVNULL)
        finally:
            os.close(write_end)
            log.close()
        try:
            number = b""
            deadline = time.monotonic() + 20
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_end], [], [], left)[0]:
                    raise BenchError("Xvfb did not report its display")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise BenchError("Xvfb ended at start (see xvfb.log)")
                number += chunk
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.env["DISPLAY"] = self.display

    def _start_wine(self):
        self.env.update({
            "WINEPREFIX": self.prefix,
            "WINEDEBUG": "-all",
            # No Mono or Gecko installer prompts; no desktop menu entries.
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
            "WINEARCH": "win64",
        })
        self.env.pop("WINESERVER", None)
        os.makedirs(self.prefix)
        # The Wine server detaches itself; should this process be killed before stop(), the
        # guard sees its pipe close and ends the server with all its programs.
        self._guard = subprocess.Popen(
            [sys.executable, "-c", "import subprocess, sys; sys.stdin.read(); "
             "subprocess.run([sys.argv[1], '-k'], timeout=30)", WINESERVER],
            stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            env=self.env)
        self._wineserver = True
        # A server that stays up for the whole run spares each program its start.
        subprocess.run([WINESERVER, "-p"], env=self.env, timeout=30, check=True)
        subprocess.run([WINE, "wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=300, check=True)
        self._end_extra_service_managers()
        # This Wine does not find the fonts of its own data directory (Tahoma, Marlett, MS Sans
        # Serif...); without them dialogs fall back to other faces and the caption buttons
        # show letters. The Windows font directory is searched, so they go there.
        fonts = os.path.join(self.drive_c, "windows", "Fonts")
        if os.path.isdir(WINE_FONTS) and os.path.isdir(fonts):
            for name in os.listdir(WINE_FONTS):
                if not os.path.exists(os.path.join(fonts, name)):
                    shutil.copy(os.path.join(WINE_FONTS, name), fonts)
        if os.path.isfile(MONO_FONT) and os.path.isdir(fonts):
            if not os.path.exists(os.path.join(fonts, os.path.basename(MONO_FONT))):
                shutil.copy(MONO_FONT, fonts)
        # Without a window manager, X would keep each closing window waiting for a state
        # change that never comes; unmanaged windows close at once.
        self.wine("reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed",
                  "/t", "REG_SZ", "/d", "N", "/f")
        for d in ("tests", "bench"):
            os.makedirs(os.path.join(self.drive_c, d), exist_ok=True)
        if self.winauto_exe:
            printers = json.loads(self.winauto("printers").strip().splitlines()[-1])
            if printers["default"] != PRINTER or \
                    PRINTER not in [p["name"] for p in printers["printers"]]:
                raise BenchError("Wine does not see the capture printer: %r" % printers)
            # A raw job from a Windows program must arrive byte for byte, with its title.
            data = bytes(range(256)) * 4 + b"\r\n\x1a"
            probe = self.put_file("C:\\bench\\probe.bin", data)
            first = self._next_job_id()
            self.winauto("rawprint", "--printer", PRINTER, "--title", "bench probe", probe)
            jobs = self.wait_jobs(first, 1)
            if jobs != [("bench probe", data)]:
                raise BenchError("a raw job from Wine arrived as %r" % (jobs,))

    def _stop_stale_wine(self):
        """A run killed before its stop() may have left its Wine server up; it serves the
        prefix about to be deleted."""
        if not os.path.isdir(self.prefix):
            return
        env = dict(os.environ, WINEPREFIX=self.prefix)
        env.pop("WINESERVER", None)
        try:
            subprocess.run([WINESERVER, "-k"], env=env, timeout=30, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        except (OSError, subprocess.TimeoutExpired):
            pass

    def _end_extra_service_managers(self):
        """The prefix's first boot can leave two service managers serving one pipe: a
        service created through one is unknown to the other, and starting it fails at
        random. All but the first one end; the programs they started stay."""
        managers = []
        for pid in os.listdir("/proc"):
            if not pid.isdigit():
                continue
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    command = f.read().split(b"\0")[0]
                with open("/proc/%s/environ" % pid, "rb") as f:
                    environment = f.read().split(b"\0")
                with open("/proc/%s/stat" % pid, "rb") as f:
                    started = int(f.read().rsplit(b")", 1)[1].split()[19])
            except OSError:
                continue
            if command.lower().endswith(b"\\services.exe") and \
                    ("WINEPREFIX=" + self.prefix).encode() in environment:
                managers.append((started, int(pid)))
        for _, pid in sorted(managers)[1:]:
            try:
                os.kill(pid, signal.SIGKILL)
            except OSError:
                pass

    def wine(self, *argv, timeout=60, check=True, retry_silent_failure=False):
        """Runs a program under Wine; returns its standard output."""
        for _ in range(2 if retry_silent_failure else 1):
            process = subprocess.run([WINE] + list(argv), env=self.env, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, stdin=subprocess.DEVNULL,
                                     timeout=timeout)
            if process.returncode != 1 or process.stdout or process.stderr:
                break
        if check and process.returncode != 0:
            raise BenchError("wine %s failed (%d): %s" % (" ".join(argv), process.returncode,
                                                          process.stderr.decode(errors="replace")))
        return process.stdout.decode("utf-8", errors="replace")

    def winauto(self, *argv, timeout=60, check=True):
        # winauto says why whenever it fails, and none of its verbs exits with 1. An
        # exit of 1 without a word is Wine failing to start it, seen about once in
        # a whole test run, so it is started once more; but never a run of the
        # program, which must not print twice.
        return self.wine(unix_to_windows(self.winauto_exe), *argv, timeout=timeout,
                         check=check, retry_silent_failure=argv[0] != "run")

    # ---- files in the prefix ----

    def unix_path(self, windows_path):
        """The Unix path of a C:\\ path in the prefix. Like Windows, and Wine, it ignores
        letter case where a file or directory of the name exists."""
        m = re.match(r"^[cC]:\\(.*)$", windows_path)
        if not m:
            raise ValueError("not a C:\\ path: %r" % windows_path)
        path = self.drive_c
        for part in [p for p in m.group(1).split("\\") if p]:
            if not os.path.exists(os.path.join(path, part)) and os.path.isdir(path):
                part = next((n for n in os.listdir(path) if n.lower() == part.lower()), part)
            path = os.path.join(path, part)
        return path

    def put_file(self, windows_path, data):
        """Writes bytes (or text, as given) to a C:\\ path; returns the Windows path."""
        path = self.unix_path(windows_path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if isinstance(data, str):
            data = data.encode("cp1252")
        with open(path, "wb") as f:
            f.write(data)
        return windows_path

    def put_test_converter(self, windows_path):
        """Copies the tests' converter.exe (built beside ravlen.exe in the same build tree) to
        a C:\\ path; False when it has not been built."""
        build = os.path.dirname(os.path.dirname(os.path.abspath(self.ravlen)))
        converter = os.path.join(build, "tests", "output", "converter.exe")
        if not os.path.exists(converter):
            return False
        with open(converter, "rb") as f:
            self.put_file(windows_path, f.read())
        return True

    def read_file(self, windows_path):
        """The bytes of a C:\\ file, or None when it does not exist."""
        path = self.unix_path(windows_path)
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    @contextlib.contextmanager
    def cups_held(self):
        """The CUPS scheduler stopped (SIGSTOP) for the block: a job handed to it waits, and
        so does the program that hands it over, until the block ends."""
        os.kill(self._cupsd.pid, signal.SIGSTOP)
        try:
            yield
        finally:
            os.kill(self._cupsd.pid, signal.SIGCONT)

    def read_text(self, windows_path):
        """A text file written by a Windows program, with its line ends made "\\n": UTF-8
        after a byte-order mark (which is no part of the text), else the ANSI code page."""
        data = self.read_file(windows_path)
        if data is None:
            return None
        if data.startswith(b"\xef\xbb\xbf"):
            return data[3:].decode("utf-8", errors="replace").replace("\r\n", "\n")
        return data.decode("cp1252", errors="replace").replace("\r\n", "\n")

    def remove(self, windows_path):
        """Deletes a C:\\ file or directory if it exists and makes sure that its parent
        directory does, so that a program can create it afresh."""
        path = self.unix_path(windows_path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if os.path.isdir(path):
            shutil.rmtree(path)
        elif os.path.exists(path):
            os.remove(path)

    def write_settings(self, name, sections):
        """Writes a settings file C:\\tests\\<name>.ini from {section: {key: value}} (or the
        file's text); returns its Windows path."""
        if isinstance(sections, str):
            text = sections
        else:
            lines = []
            for section, keys in sections.items():
                lines.append("[%s]" % section)
                lines.extend("%s=%s" % (k, v) for k, v in keys.items())
                lines.append("")
            text = "\n".join(lines)
        return self.put_file("C:\\tests\\%s.ini" % name, text.replace("\n", "\r\n"))

    # ---- running the program ----

    def locale_env(self, locale):
        """The environment that gives Wine programs the code pages of `locale` (such as
        "de_DE.UTF-8": ANSI 1252 with OEM 850), or None where it cannot be made. Wine takes
        its code pages from LC_CTYPE, and with a locale the host lacks it could not name
        files outside ASCII, so the locale is made with localedef under the bench."""
        directory = os.path.join(self.work, "locales")
        made = os.path.join(directory, locale)
        if not os.path.isdir(made):
            name, _, charmap = locale.partition(".")
            os.makedirs(directory, exist_ok=True)
            try:
                subprocess.run(["localedef", "-i", name, "-f", charmap, made],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
            except (OSError, subprocess.SubprocessError):
                return None
        return {"LOCPATH": directory, "LC_ALL": locale} if os.path.isdir(made) else None

    def start_run(self, args, settings=None, answers=(), print_dialog="OK", timeout=30,
                  log=None, program=None, settings_name="run", stdin=None, cwd=None,
                  press_on_show=None, job_numbers_from=None, locale_env=None):
        """Starts the program (ravlen.exe unless program is given) under the automation and
        returns a Running. settings ({section: {key: value}} or text) is written to
        C:\\tests\\<settings_name>.ini and passed first as /i:. log names the activity log
        (a C:\\ path) to collect. stdin names a C:\\ file that the program reads as its
        standard input. cwd is the program's current directory (a Unix path; the test
        runner's own by default). press_on_show=(title prefix, button id) has the program's
        hook click that button of the first window shown with such a title, at once.
        job_numbers_from numbers the program's print jobs from there on, so that programs
        printing at the same time do not share Wine's spool files (see winauto_hook.c).
        locale_env (from locale_env()) runs the program with another locale's code pages."""
        self._runs += 1
        args = list(args)
        if settings is not None:
            args.insert(0, "/i:" + self.write_settings(settings_name, settings))
        log_path = "C:\\bench\\run-%d.jsonl" % self._runs
        self.remove(log_path)
        first_job = self._next_job_id()
        exe = program or unix_to_windows(self.ravlen)
        argv = [WINE, unix_to_windows(self.winauto_exe), "run",
                "--answers", ",".join(answers) or "OK", "--print-dialog", print_dialog,
                "--timeout", str(int(timeout * 1000)), "--log", log_path]
        if stdin:
            argv += ["--stdin", stdin]
        argv += ["--", exe] + args
        # Output goes to files: a pipe nobody reads while a test interacts could fill up.
        output = os.path.join(self.work, "runs", "run-%d" % self._runs)
        os.makedirs(os.path.dirname(output), exist_ok=True)
        with open(output + ".out", "wb") as out, open(output + ".err", "wb") as err:
            env = self.env
            if press_on_show:
                env = dict(env, WINAUTO_PRESS_ON_SHOW="%s|%d" % press_on_show)
            if job_numbers_from:
                env = dict(env, WINAUTO_FIRST_JOB=str(job_numbers_from))
            if locale_env:
                env = dict(env, **locale_env)
            process = subprocess.Popen(argv, env=env, stdout=out, stderr=err,
                                       stdin=subprocess.DEVNULL, cwd=cwd)
        return Running(self, process, log_path, timeout, log, first_job, output)

    def run(self, args, interact=None, **options):
        """Runs the program to its end; interact(running), when given, acts on it meanwhile.
        Returns a RunResult."""
        running = self.start_run(args, **options)
        try:
            if interact:
                interact(running)
        except BaseException:
            running.abort()
            raise
        return running.wait()

    def _read_events(self, log_path):
        data = self.read_file(log_path)
        if not data:
            return []
        events = []
        for line in data.decode("utf-8", errors="replace").splitlines():
            try:
                events.append(json.loads(line))
            except ValueError:
                pass  # a line still being written
        return events

    def _read_shown(self, log_path):
        """The hook's records of a program still running (see Running.shown_events)."""
        start = next((e for e in self._read_events(log_path) if e.get("event") == "start"), None)
        if not start or not start.get("shown"):
            return []
        return self._read_events(start["shown"])

    def _collect(self, running):
        result = RunResult()
        with open(running.output + ".out", "rb") as f:
            result.stdout = f.read().decode("utf-8", errors="replace")
        with open(running.output + ".err", "rb") as f:
            result.stderr = f.read().decode("utf-8", errors="replace")
        result.events = self._read_events(running.log_path)
        shown = set()
        for e in result.events:
            kind = e.get("event")
            if kind in ("window", "shown") and e["hwnd"] not in shown:
                shown.add(e["hwnd"])
                result.windows.append((e["class"], e["title"]))
            if kind == "start":
                result.hooked = e.get("hooked", False)
            elif kind == "exit":
                result.exit_code = e["code"]
            elif kind == "timeout":
                result.timed_out = True
            elif kind == "box":
                result.boxes.append((e["title"], e["text"]))
                result.box_events.append(e)
            elif kind == "dialog":
                result.dialogs.append((e["title"], e["answer"]))
        if result.timed_out:
            result.exit_code = None
        result.jobs = self.wait_jobs(running.first_job)
        result.other_jobs = self.jobs(running.first_job, OTHER_PRINTER)
        if running.activity_log:
            result.log = self.read_text(running.activity_log)
        return result

    def screenshot(self, path, rect=None):
        """The whole X screen, or the rectangle [left, top, right, bottom] of it (a window's
        rectangle as dump() gives it), as an image file (ImageMagick's import)."""
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        crop = []
        if rect:
            left, top, right, bottom = rect
            crop = ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top)]
        subprocess.run(["import", "-window", "root"] + crop + [path], env=self.env, check=True,
                       timeout=60, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        return path

    def xdotool(self, *argv):
        """Moves and clicks the X pointer, as the user's mouse would."""
        subprocess.run(["xdotool"] + [str(a) for a in argv], env=self.env, check=True,
                       timeout=30, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


# ---- one bench for a whole run ----

_shared = None


class SpoolDirectory:
    """A spool directory under the bench, emptied, and the files other processes drop into it
    the way real writers do, each with contents of its own so that the captured jobs can be
    told apart: expected holds what must print exactly once, read_only what must neither
    print nor go."""

    def __init__(self, bench, windows_dir, stage):
        self.bench = bench
        self.windows = windows_dir
        self.unix = bench.unix_path(windows_dir)
        bench.remove(windows_dir + "\\x")
        if os.path.isdir(self.unix):
            for entry in os.listdir(self.unix):
                path = os.path.join(self.unix, entry)
                os.chmod(path, 0o644)
                os.remove(path)
        os.makedirs(self.unix, exist_ok=True)
        self.stage = bench.unix_path("C:\\bench\\stage-" + stage)
        os.makedirs(self.stage, exist_ok=True)
        self.expected = {}
        self.read_only = {}
        self.threads = []
        self.writers = []

    @staticmethod
    def content(name):
        return ("job %s\r\n%s\r\n" % (name, "x" * (sum(name.encode()) % 200))).encode()

    def _write(self, name):
        data = self.content(name)
        with open(os.path.join(self.unix, name), "wb") as f:
            f.write(data)
        return data

    def drop(self, name):
        self.expected[name] = self._write(name)

    def drop_read_only(self, name):
        self.read_only[name] = self._write(name)
        os.chmod(os.path.join(self.unix, name), 0o444)

    def append_slowly(self, names, pieces=6, delay=0.4):
        """A Linux process appends in pieces, closing the file in between."""
        data = {n: self.content(n) for n in names}
        self.expected.update(data)

        def run():
            for piece in range(1, pieces + 1):
                for name, content in data.items():
                    part = content[len(content) * (piece - 1) // pieces:
                                   len(content) * piece // pieces]
                    with open(os.path.join(self.unix, name), "ab") as f:
                        f.write(part)
                time.sleep(delay)
        thread = threading.Thread(target=run)
        thread.start()
        self.threads.append(thread)

    def write_from_windows(self, names, pieces, delay_ms, hold_ms, manifest):
        """A Windows process writes the files in pieces and keeps them open meanwhile."""
        lines = []
        for name in names:
            data = self.content(name)
            source = os.path.join(self.stage, name)
            with open(source, "wb") as f:
                f.write(data)
            lines.append("%s|%s\\%s" % (unix_to_windows(source), self.windows, name))
            self.expected[name] = data
        manifest_path = os.path.join(self.stage, manifest)
        with open(manifest_path, "w") as f:
            f.write("\n".join(lines) + "\n")
        self.writers.append(subprocess.Popen(
            [WINE, unix_to_windows(self.bench.winauto_exe), "write", "--pieces", str(pieces),
             "--delay", str(delay_ms), "--hold", str(hold_ms), unix_to_windows(manifest_path)],
            env=self.bench.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            stdin=subprocess.DEVNULL))

    def writing(self):
        return (any(t.is_alive() for t in self.threads) or
                any(p.poll() is None for p in self.writers))

    def finish_writers(self, timeout=300):
        for thread in self.threads:
            thread.join()
        for process in self.writers:
            process.wait(timeout=timeout)

    def left(self):
        return sorted(os.listdir(self.unix))

    def waiting(self):
        """The files still to print."""
        return sorted(set(self.left()) - set(self.read_only))

    def drained(self):
        return not self.waiting()


def shared_bench():
    """The bench of this test run, started by the first test module that asks for it and
    stopped when the process ends, so that every module shares one Wine prefix. Raises
    unittest.SkipTest when ravlen.exe has not been built."""
    global _shared
    if _shared is None:
        import unittest
        ravlen, winauto, work = default_paths()
        if not os.path.exists(ravlen):
            raise unittest.SkipTest("no ravlen.exe at %s" % ravlen)
        bench = Bench(work, ravlen=ravlen, winauto=winauto)
        bench.start()
        _shared = bench
    return _shared


# ---- standalone use ----

def default_paths():
    """The repository's x86_64 Windows build, for use outside ctest."""
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    build = os.environ.get("E2E_BUILD") or os.path.join(root, "build", "win64")
    return (os.environ.get("RAVLEN_EXE") or os.path.join(build, "app", "ravlen.exe"),
            os.environ.get("WINAUTO_EXE") or os.path.join(build, "tests", "e2e", "winauto.exe"),
            os.environ.get("E2E_WORK") or os.path.join(build, "e2e"))


def main(argv=None):
    ravlen, winauto, work = default_paths()
    parser = argparse.ArgumentParser(
        description="Starts the bench, runs a command in its environment (a shell by "
                    "default: CUPS_SERVER, DISPLAY and WINEPREFIX are set), then stops it.")
    parser.add_argument("--ravlen", default=ravlen)
    parser.add_argument("--winauto", default=winauto)
    parser.add_argument("--work", default=work)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args(argv)
    bench = Bench(args.work, ravlen=args.ravlen, winauto=args.winauto)
    previous = signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    try:
        bench.start()
        env = dict(bench.env, RAVLEN_EXE=bench.ravlen or "", WINAUTO_EXE=bench.winauto_exe or "",
                   E2E_CAPTURE=bench.capture_dir)
        print("bench: CUPS_SERVER=%s DISPLAY=%s WINEPREFIX=%s" % (bench.socket, bench.display,
                                                                  bench.prefix))
        print("bench: capture directory %s" % bench.capture_dir)
        command = args.command[1:] if args.command[:1] == ["--"] else args.command
        command = command or [os.environ.get("SHELL", "bash")]
        return subprocess.call(command, env=env)
    finally:
        bench.stop()
        signal.signal(signal.SIGTERM, previous)


if __name__ == "__main__":
    sys.exit(main())
