# SPDX-License-Identifier: GPL-3.0-or-later
"""A headless weston for the tests: its own socket and runtime folder, the pixman renderer so that
its screen can be read, and the test module that closes windows as the compositor does."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77  # the status ctest takes for a skipped test


def skip_unless_ready(module):
    """Ends the test as skipped, with a message, when weston, Qt's Wayland plugin or the test
    module is missing."""
    missing = []
    if shutil.which("weston") is None:
        missing.append("weston")
    if not any(os.path.exists(os.path.join(folder, "libqwayland-generic.so"))
               for folder in ("/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms",
                              "/usr/lib/qt6/plugins/platforms")):
        missing.append("qt6-wayland")
    if not module or not os.path.exists(module):
        missing.append("the weston module of the tests (libweston-10-dev)")
    if missing:
        print(f"skipped: {', '.join(missing)} not installed (scripts/bootstrap installs them)")
        sys.exit(SKIP)


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.02)
    return condition()


class Weston:
    """weston --backend=headless-backend.so, on a socket named after this process."""

    def __init__(self, module, config_lines=()):
        self.folder = tempfile.mkdtemp(prefix="zelbo-wayland-")
        self.runtime = os.path.join(self.folder, "runtime")
        os.mkdir(self.runtime, 0o700)
        self.socket = f"zelbo-test-{os.getpid()}"
        config = os.path.join(self.folder, "weston.ini")
        with open(config, "w") as out:
            out.write("\n".join(config_lines) + "\n")
        self.log_path = os.path.join(self.folder, "weston.log")
        self.log = open(self.log_path, "w")
        self.process = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", f"--socket={self.socket}",
             "--use-pixman", "--debug", "--idle-time=0", f"--config={config}",
             f"--modules={os.path.abspath(module)}"],
            env=dict(os.environ, XDG_RUNTIME_DIR=self.runtime), cwd=self.folder,
            stdout=self.log, stderr=self.log)
        if not wait_for(lambda: os.path.exists(os.path.join(self.runtime, self.socket)), 20):
            log = self.read_log()
            self.stop()
            raise AssertionError(f"weston did not start:\n{log}")

    def environment(self, home):
        """What a client of this weston runs with: Qt on Wayland, no X display."""
        environment = dict(os.environ, XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY=self.socket,
                           QT_QPA_PLATFORM="wayland", HOME=home)
        environment.pop("DISPLAY", None)
        return environment

    def read_log(self):
        with open(self.log_path, errors="replace") as log:
            return log.read()

    def close_windows(self):
        """The compositor asks every window to close."""
        self.process.send_signal(signal.SIGUSR2)

    def closed(self, pid):
        return f"closed {pid}\n" in self.read_log()

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.log.close()
        shutil.rmtree(self.folder, ignore_errors=True)


def copy_program(executable, folder):
    """The program with its skins and store in `folder`, since it reads them beside itself."""
    beside = os.path.dirname(os.path.abspath(executable))
    shutil.copy2(executable, folder)
    if os.path.isdir(os.path.join(beside, "SKIN")):
        shutil.copytree(os.path.join(beside, "SKIN"), os.path.join(folder, "SKIN"))
    store = os.path.join(beside, "braskel.exp")
    if os.path.isfile(store):
        shutil.copy2(store, folder)
    else:  # an empty store, or the start would stop at " No experience "
        open(os.path.join(folder, "braskel.exp"), "wb").close()
    return os.path.join(folder, os.path.basename(executable))
