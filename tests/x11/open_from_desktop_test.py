#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A saved game opened from the desktop starts the installed program with it.

    xvfb-run -a -s "-screen 0 800x600x24 -noreset" python3 open_from_desktop_test.py BUILD [BINDIR]

The build is installed into a temporary prefix, which the install makes known to the MIME and
desktop databases. For a user of that prefix alone (XDG_DATA_DIRS, PATH, an empty home) on a
GNOME-like desktop: xdg-mime names the types of saved games and of whole games in PDN, and the
program's desktop entry as the default of both, and `gio open` on either starts PREFIX/BINDIR/zelbo
with the file's path as its one argument; the board window shows that game's position, and its X11
class is the entry's StartupWMClass.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_test import MOVED, Screen, check, read_board, run, saved_game, xdotool  # noqa: E402

SAVED_GAME_TYPE = "application/x-zelbo-krp"
PDN_GAME_TYPE = "application/x-draughts-pdn"
PDN_GAME = '[Event "Soir"]\n[GameType "Zelbo"]\n\n1. D6-E5 A3-B4 *\n'
PDN_POSITION = "cxcxcxcx/xcxcxcxc/.xcxcxcx/xcx.x.x./.x.xpx.x/xpx.xpxp/pxpxpxpx/xpxpxpxp"
APP = "org.zelbo.zelbo"


def started_from(program, deadline):
    """The pid of the process running `program`, once it runs."""
    while time.monotonic() < deadline:
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                if os.readlink(f"/proc/{pid}/exe") == program:
                    return int(pid)
            except OSError:
                pass
        time.sleep(0.1)
    raise AssertionError(f"{program} was not started")


def arguments_of(pid):
    with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
        return cmdline.read().split(b"\0")[:-1]


def board_window(pid, deadline):
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                               capture_output=True, text=True).stdout.split()
        for window in found:
            values = dict(line.partition("=")[::2] for line in
                          xdotool("getwindowgeometry", "--shell", window).splitlines())
            if (values["WIDTH"], values["HEIGHT"]) == ("370", "375"):
                return window, int(values["X"]), int(values["Y"]), found
        time.sleep(0.1)
    raise AssertionError("no 370 x 375 board window appeared")


def shows(window_left, window_top, position):
    """The position is on the screen under the menu bar, wherever that ends."""
    screen = Screen()
    return any(read_board(screen, window_left, window_top + offset) == position
               for offset in range(0, 80))


def ended(pid, deadline):
    """Once the process is gone, or a zombie."""
    while time.monotonic() < deadline:
        try:
            with open(f"/proc/{pid}/stat") as stat:
                if stat.read().rsplit(")", 1)[1].split()[0] == "Z":
                    return
        except OSError:
            return
        time.sleep(0.1)


def check_opened(program, path, position, environment):
    """`gio open` on the file starts the program with it, whose window shows `position`; the pid."""
    subprocess.run(["gio", "open", path], check=True, env=environment, timeout=30)
    deadline = time.monotonic() + 30
    pid = started_from(program, deadline)
    arguments = arguments_of(pid)
    check(arguments[1:] == [os.fsencode(path)],
          f"gio open started {program} with {os.path.basename(path)}: {arguments}")
    window, left, top, windows = board_window(pid, deadline)
    time.sleep(0.5)
    check(shows(left, top, position), f"the board window shows {os.path.basename(path)}")
    check(windows == [window], f"no message box is shown ({windows})")
    return pid, window


def entry_value(entry, key):
    with open(entry, encoding="utf-8") as lines:
        for line in lines:
            if line.startswith(key + "="):
                return line.rstrip("\n").partition("=")[2]
    return None


def main():
    build = os.path.abspath(sys.argv[1])
    bindir = sys.argv[2] if len(sys.argv) > 2 else "bin"
    root = tempfile.mkdtemp(prefix="zelbo-desktop-")
    pid = None
    try:
        prefix, home = os.path.join(root, "usr"), os.path.join(root, "home")
        for folder in (home, os.path.join(root, "xdg"), os.path.join(root, "games")):
            os.mkdir(folder)
        runtime = os.path.join(root, "runtime")
        os.mkdir(runtime, 0o700)
        subprocess.run(["cmake", "--install", build, "--prefix", prefix, "--strip"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        environment = dict(
            os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, ".local", "share"),
            XDG_DATA_DIRS=os.path.join(prefix, "share") + ":/usr/share",
            XDG_CONFIG_HOME=os.path.join(home, ".config"),
            XDG_CONFIG_DIRS=os.path.join(root, "xdg"), XDG_CURRENT_DESKTOP="GNOME",
            XDG_RUNTIME_DIR=runtime, PATH=os.path.join(prefix, bindir) + ":" + os.environ["PATH"],
            QT_QPA_PLATFORM="xcb", GIO_USE_VFS="local", GIO_USE_VOLUME_MONITOR="unix")
        for variable in ("DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY"):
            environment.pop(variable, None)

        game = os.path.join(root, "games", "Partie du soir.KRP")
        with open(game, "wb") as out:
            out.write(saved_game(MOVED))
        shutil.copy(game, os.path.join(root, "games", "petite.krp"))
        pdn_game = os.path.join(root, "games", "Partie du soir.pdn")
        with open(pdn_game, "w", encoding="utf-8") as out:
            out.write(PDN_GAME)
        shutil.copy(pdn_game, os.path.join(root, "games", "PETITE.PDN"))
        for name, wanted in (("Partie du soir.KRP", SAVED_GAME_TYPE), ("petite.krp", SAVED_GAME_TYPE),
                             ("Partie du soir.pdn", PDN_GAME_TYPE), ("PETITE.PDN", PDN_GAME_TYPE)):
            found = subprocess.run(["xdg-mime", "query", "filetype",
                                    os.path.join(root, "games", name)],
                                   capture_output=True, text=True, env=environment).stdout.strip()
            check(found == wanted, f"xdg-mime: {name} is {found}")
        for kind, mime_type in (("saved games", SAVED_GAME_TYPE), ("PDN games", PDN_GAME_TYPE)):
            default = subprocess.run(["xdg-mime", "query", "default", mime_type],
                                     capture_output=True, text=True, env=environment).stdout.strip()
            check(default == APP + ".desktop", f"xdg-mime: the default for {kind} is '{default}'")

        program = os.path.join(prefix, bindir, "zelbo")
        pid, _ = check_opened(program, pdn_game, PDN_POSITION, environment)
        os.kill(pid, 15)
        ended(pid, time.monotonic() + 10)
        pid, window = check_opened(program, game, MOVED, environment)
        wm_class = run("xprop", "-id", window, "WM_CLASS").partition(" = ")[2].strip()
        wanted = entry_value(os.path.join(prefix, "share", "applications", APP + ".desktop"),
                             "StartupWMClass")
        check(wm_class.split(", ")[-1] == f'"{wanted}"',
              f"the window's class {wm_class} is the entry's StartupWMClass {wanted}")
    finally:
        if pid is not None:
            os.kill(pid, 15)
        shutil.rmtree(root, ignore_errors=True)
    print("open from desktop test passed")


if __name__ == "__main__":
    main()
