#!/usr/bin/env python3
"""The window as its users meet it, on a real X server and a real session bus.

  atspi     a screen reader's view over the AT-SPI bus: the Recents page's
            file names, the search field's name, the page heading and the
            toast's message.
  keyboard  key presses under a window manager (openbox) through xdotool:
            → selects, Delete trashes, Ctrl+Z puts the file back byte for
            byte, Space opens the preview (read on the bus with the file it
            shows) and closes it, and → still moves the selection, Tab
            reaches a sidebar row.

Each run makes its own home, demonstration files, X server, session bus and
accessibility bus, and exits 77 (skipped) when a tool it needs is missing.
"""
import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def wait_for(check, timeout=30.0, step=0.2):
    """Polls until check() is truthy; returns its value, or None on time-out."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = check()
        except Exception:  # a bus object that went away mid-walk: try again
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            return None
        time.sleep(step)


class Desktop:
    """A private session: folders, demonstration home, X server, buses, the application."""

    def __init__(self, app, demohome, window_manager):
        self.app = app
        self.root = tempfile.mkdtemp(prefix="tovalo-desktop-")
        self.procs = []
        self.out_lines = []
        for name in ("home", "config", "data", "cache", "run"):
            os.makedirs(self.dir(name))
        os.chmod(self.dir("run"), 0o700)
        self.demo = os.path.join(self.root, "demo")
        subprocess.run([demohome, "--out", self.demo, "--small"], check=True, stdout=subprocess.DEVNULL)
        self.display = self.start_x()
        self.env = dict(os.environ, DISPLAY=self.display)
        if window_manager:
            self.spawn(["openbox", "--sm-disable"], self.env, stderr=subprocess.DEVNULL)
            # Running once it announces the active-window property xdotool asks for.
            if not wait_for(lambda: "support" not in subprocess.run(
                    ["xdotool", "getactivewindow"], env=self.env, capture_output=True, text=True).stderr,
                    timeout=15):
                fail("openbox did not start")
        # The accessibility bus is started by the session bus when the first
        # client asks for org.a11y.Bus, so the application and this script
        # always find the same one. A launcher of our own could lose that name
        # to an activated one and still leave its address on the display.

    def dir(self, name):
        return os.path.join(self.root, name)

    def spawn(self, argv, env, **kw):
        proc = subprocess.Popen(argv, env=env, **kw)
        self.procs.append(proc)
        return proc

    def start_x(self):
        read, write = os.pipe()
        proc = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1600x1000x24",
                                 "-nolisten", "tcp"], pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        self.procs.append(proc)
        number = b""
        with os.fdopen(read, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    fail("Xvfb did not start")
                number += chunk
        return ":" + number.decode().strip()

    def launch(self, **extra):
        env = dict(self.env)
        for key in list(env):
            if key.startswith("TOVALO_") or key.startswith("XDG_"):
                del env[key]
        demo = self.demo
        env.update({
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
            "HOME": self.dir("home"),
            "XDG_CONFIG_HOME": self.dir("config"),
            "XDG_DATA_HOME": self.dir("data"),
            "XDG_CACHE_HOME": self.dir("cache"),
            "XDG_RUNTIME_DIR": self.dir("run"),
            "TZ": "Europe/Berlin",
            "LC_ALL": "C.UTF-8",
            "OMP_THREAD_LIMIT": "1",
            "TOVALO_DEMO_HOME": demo,
            "TOVALO_ROOTS": ":".join(os.path.join(demo, d) for d in
                                     ("Desktop", "Documents", "Downloads", "Pictures", "Videos", "Music")),
            "TOVALO_APPS": os.path.join(demo, "Applications"),
            "TOVALO_DEMO_DATES": "1",
            "TOVALO_ROUTE": "recents",
        })
        env.update(extra)
        proc = self.spawn([self.app], env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

        def read():
            for line in proc.stdout:
                self.out_lines.append(line.decode("utf-8", "replace").rstrip("\n"))
        threading.Thread(target=read, daemon=True).start()
        return proc

    def close(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
        shutil.rmtree(self.root, ignore_errors=True)


# AT-SPI -------------------------------------------------------------------

def application(pyatspi):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and (app.name or "").lower() == "tovalo":
            return app
    return None


def find(node, match, depth=0, limit=14):
    """The first descendant (depth first) for which match() holds."""
    if node is None or depth > limit:
        return None
    if match(node):
        return node
    for i in range(node.childCount):
        found = find(node.getChildAtIndex(i), match, depth + 1, limit)
        if found is not None:
            return found
    return None


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def has_state(node, state):
    return node.getState().contains(state)


def file_list(pyatspi, app):
    """The page's file list: a list named "Files" with file rows in it."""
    def match(node):
        return node.getRole() == pyatspi.ROLE_LIST and node.name == "Files" and \
            any(c.getRole() == pyatspi.ROLE_LIST_ITEM for c in children(node))
    return find(app, match)


def file_rows(pyatspi, listing):
    return [c for c in children(listing) if c.getRole() == pyatspi.ROLE_LIST_ITEM]


def names_on_disk(root):
    # Folders too: a package (an app bundle, a Numbers document) is one file to its user.
    names = set()
    for _, folders, files in os.walk(root):
        names.update(folders)
        names.update(files)
    return names


def check_atspi(desktop):
    import pyatspi
    desktop.launch(TOVALO_TRASH_TEST="1")
    app = wait_for(lambda: application(pyatspi), timeout=60)
    if app is None:
        fail("the application never appeared on the accessibility bus")

    listing = wait_for(lambda: file_list(pyatspi, app), timeout=60)
    if listing is None:
        fail("no list named Files with file rows on the Recents page")
    rows = file_rows(pyatspi, listing)
    on_disk = names_on_disk(desktop.demo)
    for row in rows:
        parts = row.name.split(", ")
        if len(parts) < 4:
            fail("a file row is not read as name, kind, size and date: %r" % row.name)
        shown = parts[0]
        if not any(name == shown or name.startswith(shown + ".") for name in on_disk):
            fail("a file row names no file of the demonstration home: %r" % row.name)
    print("read %d file names on Recents, first %r" % (len(rows), rows[0].name))

    search = find(app, lambda n: n.getRole() in (pyatspi.ROLE_ENTRY, pyatspi.ROLE_TEXT) and n.name == "Search")
    if search is None:
        fail("no text field named Search")
    heading = find(app, lambda n: n.getRole() == pyatspi.ROLE_HEADING and n.name == "Recents")
    if heading is None:
        fail("the page title Recents is not a heading")

    # The launch mode trashes two duplicate copies and puts them back; the
    # toast says so, and the bus must read the same words.
    printed = wait_for(lambda: next((l for l in desktop.out_lines if l.startswith("trash-test restored=")), None),
                       timeout=60)
    if printed is None:
        fail("the trash run printed nothing")
    message = printed.split(" message=", 1)[1]

    def alert():
        node = find(app, lambda n: n.getRole() == pyatspi.ROLE_ALERT)
        return node if node is not None and node.name == message else None
    node = wait_for(alert, timeout=10)
    if node is None:
        fail("no alert reads the toast's message %r" % message)
    print("toast read as an alert: %r" % node.name)


# Keyboard -----------------------------------------------------------------

def key(desktop, *keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers"] + list(keys), env=desktop.env, check=True)


def active_window_name(desktop):
    done = subprocess.run(["xdotool", "getactivewindow", "getwindowname"], env=desktop.env,
                          capture_output=True, text=True)
    return done.stdout.strip() if done.returncode == 0 else ""


def selected_rows(pyatspi, listing):
    # Fresh states, not what the client library kept from an earlier look.
    listing.clear_cache()
    return [i for i, row in enumerate(file_rows(pyatspi, listing)) if has_state(row, pyatspi.STATE_SELECTED)]


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def check_keyboard(desktop):
    import pyatspi
    desktop.launch()
    window = wait_for(lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Tovalo$"],
                                             env=desktop.env, capture_output=True, text=True).stdout.split(),
                      timeout=60)
    if not window:
        fail("the main window never showed")
    subprocess.run(["xdotool", "windowactivate", "--sync", window[0]], env=desktop.env)
    app = wait_for(lambda: application(pyatspi), timeout=60)
    listing = wait_for(lambda: file_list(pyatspi, app), timeout=60)
    if listing is None:
        fail("no file list on the Recents page")

    # → selects; step on until the file is one the demonstration home holds once.
    by_name = {}
    for folder, _, files in os.walk(desktop.demo):
        for name in files:
            by_name.setdefault(name, []).append(os.path.join(folder, name))
    path = None
    for _ in range(12):
        before = selected_rows(pyatspi, listing)
        key(desktop, "Right")
        now = wait_for(lambda: (lambda s: s if s and s != before else None)(selected_rows(pyatspi, listing)),
                       timeout=10)
        if not now or len(now) != 1:
            fail("→ did not select one file (selected %r after %r)" % (now, before))
        shown = file_rows(pyatspi, listing)[now[0]].name.split(", ")[0]
        if len(by_name.get(shown, [])) == 1:
            path = by_name[shown][0]
            break
    if path is None:
        fail("no uniquely named file to trash among the first twelve")
    original = digest(path)
    size = os.path.getsize(path)

    key(desktop, "Delete")
    if not wait_for(lambda: not os.path.lexists(path), timeout=15):
        fail("Delete did not move %s to the Trash" % path)
    trash = os.path.join(desktop.dir("data"), "Trash", "files")
    if not os.listdir(trash):
        fail("the Trash holds nothing after Delete")

    key(desktop, "ctrl+z")
    if not wait_for(lambda: os.path.exists(path), timeout=15):
        fail("Ctrl+Z did not put %s back" % path)
    if digest(path) != original or os.path.getsize(path) != size:
        fail("the file came back changed")
    print("Delete then Ctrl+Z put back %s byte for byte" % os.path.basename(path))

    # Space opens the preview and closes it; → then still moves the selection.
    key(desktop, "Right")
    start = wait_for(lambda: selected_rows(pyatspi, listing), timeout=10)
    if not start:
        fail("→ selected nothing after the undo")
    listing.clear_cache()
    previewed = file_rows(pyatspi, listing)[start[0]].name.split(", ")[0]
    key(desktop, "space")
    if not wait_for(lambda: active_window_name(desktop) not in ("", "Tovalo"), timeout=10):
        fail("Space did not bring the preview forward")

    # The panel is read as a sighted user reads it: the file's name, then its kind, size and date.
    def preview():
        app.clear_cache()
        return next((w for w in children(app)
                     if (w.name or "").startswith(previewed) and (w.name or "").count(", ") >= 2), None)
    panel = wait_for(preview, timeout=10)
    if panel is None:
        fail("no window on the bus reads the previewed file %r with its details" % previewed)
    print("the preview is read as %r" % panel.name)
    time.sleep(0.4)  # past the moment a second Space would be taken for the same press
    key(desktop, "space")
    if not wait_for(lambda: active_window_name(desktop) == "Tovalo", timeout=10):
        fail("closing the preview did not give the keyboard back to the main window")
    key(desktop, "Right")
    moved = wait_for(lambda: (lambda s: s if s and s != start else None)(selected_rows(pyatspi, listing)),
                     timeout=10)
    if not moved or moved[0] != start[0] + 1:
        fail("→ after the preview closed did not move the selection (from %r to %r)" % (start, moved))
    print("after the preview closed, → moved the selection from %d to %d" % (start[0], moved[0]))

    # Tab reaches the sidebar, one row of which then carries the focus.
    sidebar = find(app, lambda n: n.getRole() == pyatspi.ROLE_LIST and n.name == "Sidebar")
    if sidebar is None:
        fail("no list named Sidebar")

    def focused_row():
        sidebar.clear_cache()
        return find(sidebar, lambda n: n.getRole() == pyatspi.ROLE_LIST_ITEM and has_state(n, pyatspi.STATE_FOCUSED))
    for _ in range(30):
        key(desktop, "Tab")
        row = wait_for(focused_row, timeout=0.6, step=0.1)
        if row is not None:
            print("Tab reached the sidebar row %r" % row.name)
            return
    fail("thirty presses of Tab never reached a sidebar row")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=("atspi", "keyboard"))
    parser.add_argument("--app", required=True)
    parser.add_argument("--demohome", required=True)
    args = parser.parse_args()

    needed = ["Xvfb", "dbus-run-session", "xdotool"] + (["openbox"] if args.case == "keyboard" else [])
    missing = [tool for tool in needed if shutil.which(tool) is None]
    if not os.path.exists(BUS_LAUNCHER):
        missing.append(BUS_LAUNCHER)
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        # The Debian package installs it for Debian's own interpreter, which
        # another one earlier on the PATH does not see.
        system = "/usr/bin/python3"
        if os.path.realpath(sys.executable) != os.path.realpath(system) and os.path.exists(system):
            return subprocess.run([system, os.path.abspath(__file__)] + sys.argv[1:]).returncode
        missing.append("python3-pyatspi")
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return SKIP

    if os.environ.get("TOVALO_DESKTOP_BUS") != "1":
        # A session bus of its own, so nothing of the caller's desktop takes part.
        env = dict(os.environ, TOVALO_DESKTOP_BUS="1")
        for name in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY"):
            env.pop(name, None)
        return subprocess.run(["dbus-run-session", "--", sys.executable, os.path.abspath(__file__)] + sys.argv[1:],
                              env=env).returncode

    desktop = Desktop(args.app, args.demohome, window_manager=args.case == "keyboard")
    try:
        # pyatspi finds the accessibility bus through the session bus and the display.
        os.environ["DISPLAY"] = desktop.display
        (check_atspi if args.case == "atspi" else check_keyboard)(desktop)
    finally:
        desktop.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
