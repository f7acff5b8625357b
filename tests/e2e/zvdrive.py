"""Drives the real zorvex32 under Xvfb: a private X server, D-Bus session and accessibility bus,
controls found through AT-SPI by their names, pointer and keys through xdotool.

Every process started here runs in its own process group and is ended by that id."""
import ctypes
import os
import signal
import struct
import subprocess
import tempfile
import time
import zlib

PYATSPI = None


def _atspi():
    # Imported only after the session bus address is set: the module connects on import.
    global PYATSPI
    if PYATSPI is None:
        import pyatspi
        PYATSPI = pyatspi
    return PYATSPI


class Failure(AssertionError):
    pass


def _start(argv, env, **kw):
    return subprocess.Popen(argv, env=env, start_new_session=True, **kw)


def _end(proc, grace=3.0):
    """Ends a process started by _start and its group, by the group id."""
    if proc is None or proc.poll() is not None and not _group_alive(proc.pid):
        return
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(proc.pid, sig)
        except ProcessLookupError:
            return
        deadline = time.time() + grace
        while time.time() < deadline:
            if proc.poll() is not None and not _group_alive(proc.pid):
                return
            time.sleep(0.05)


def _group_alive(pgid):
    try:
        os.killpg(pgid, 0)
        return True
    except ProcessLookupError:
        return False


def _read_line_from(fd, timeout=10.0):
    deadline = time.time() + timeout
    data = b""
    while time.time() < deadline and not data.endswith(b"\n"):
        chunk = os.read(fd, 256)
        if not chunk:
            break
        data += chunk
    return data.decode().strip()


class Desktop:
    """A private X display with a D-Bus session and the accessibility bus."""

    def __init__(self, artefacts):
        self.artefacts = artefacts
        os.makedirs(artefacts, exist_ok=True)
        self.procs = []
        self.shots = 0
        env = dict(os.environ)
        r, w = os.pipe()
        xvfb = _start(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24",
                       "-nolisten", "tcp", "-noreset"], env, pass_fds=(w,),
                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        self.procs.append(xvfb)
        display = _read_line_from(r)
        os.close(r)
        if not display:
            raise Failure("Xvfb did not start")
        env["DISPLAY"] = ":" + display
        r, w = os.pipe()
        bus = _start(["dbus-daemon", "--session", "--nofork", "--print-address=%d" % w], env,
                     pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        self.procs.append(bus)
        address = _read_line_from(r)
        os.close(r)
        if not address:
            raise Failure("dbus-daemon did not start")
        env["DBUS_SESSION_BUS_ADDRESS"] = address
        env.pop("AT_SPI_BUS_ADDRESS", None)
        env["NO_AT_BRIDGE"] = "0"
        self.procs.append(_start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                 env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        self.env = env
        os.environ.update({k: env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS")})
        # The accessibility bus answers once the launcher has registered it.
        deadline = time.time() + 15
        while time.time() < deadline:
            out = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                                  "/org/a11y/bus", "org.a11y.Bus.GetAddress"], env=env,
                                 capture_output=True, text=True)
            if out.returncode == 0:
                break
            time.sleep(0.1)
        _atspi()

    def close(self):
        for p in reversed(self.procs):
            _end(p)
        self.procs = []

    # --- pointer and keys -------------------------------------------------------------------
    def xdo(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, check=True,
                       capture_output=True)

    def click(self, obj, button=1, double=False, dx=None, dy=None, ctrl=False):
        x, y, w, h = extents(obj)
        x += w // 2 if dx is None else dx
        y += h // 2 if dy is None else dy
        self.xdo("mousemove", "--sync", x, y)
        time.sleep(0.05)
        if ctrl:
            self.xdo("keydown", "ctrl", "click", button, "keyup", "ctrl")
        elif double:
            self.xdo("click", "--repeat", 2, "--delay", 80, button)
        else:
            self.xdo("click", button)
        time.sleep(0.25)

    def drag(self, source, target, button=1):
        sx, sy = centre(source)
        tx, ty = centre(target)
        self.xdo("mousemove", "--sync", sx, sy)
        self.xdo("mousedown", button)
        for i in range(1, 9):
            self.xdo("mousemove", "--sync", sx + (tx - sx) * i // 8, sy + (ty - sy) * i // 8)
            time.sleep(0.05)
        time.sleep(0.2)
        self.xdo("mouseup", button)
        time.sleep(0.4)

    def type(self, text):
        self.xdo("type", "--delay", 30, text)
        time.sleep(0.2)

    def key(self, *keys):
        self.xdo("key", *keys)
        time.sleep(0.25)

    def focus(self, obj):
        """Puts the pointer on the control and clicks it, so keys go there."""
        self.click(obj)

    def title_of(self, xid):
        out = subprocess.run(["xprop", "-id", str(xid), "_NET_WM_NAME"],
                             env=dict(self.env, LC_ALL="C.UTF-8"),
                             capture_output=True, text=True).stdout
        # _NET_WM_NAME(UTF8_STRING) = "text"
        return out.split("=", 1)[1].strip()[1:-1] if "=" in out else None

    def window_ids(self, pid):
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), ""],
                             env=self.env, capture_output=True, text=True).stdout
        return [int(x) for x in out.split()]

    def window_under(self, obj):
        """The X window of the top-level window that shows `obj` at its top-left corner."""
        x, y, _w, _h = extents(obj)
        self.xdo("mousemove", "--sync", x + 4, y + 4)
        where = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env,
                               capture_output=True, text=True).stdout
        return int(dict(l.split("=", 1) for l in where.split() if "=" in l)["WINDOW"])

    def close_as_window_manager(self, window):
        """Asks a window to close as a window manager's close box (alt+F4) does: a
        WM_DELETE_WINDOW client message of the WM_PROTOCOLS kind sent to its X window."""
        _send_delete_window(self.env["DISPLAY"], self.window_under(window))
        time.sleep(0.5)

    def screenshot(self, name, painted=None):
        """Saves the whole screen as <artefacts>/NN-name.png; with `painted` (an accessible
        object) it first waits a little for that object's window to be drawn."""
        self.shots += 1
        path = os.path.join(self.artefacts, "%02d-%s.png" % (self.shots, name))
        deadline = time.time() + 4
        while True:
            raw = subprocess.run(["xwd", "-root", "-silent"], env=self.env, check=True,
                                 capture_output=True).stdout
            if painted is None or time.time() > deadline or not _black_at(raw, *centre(painted)):
                break
            time.sleep(0.2)
        _xwd_to_png(raw, path)
        if painted is not None:
            # A window with its own visual (dialogs) shows black in the screen's picture;
            # its own picture shows what it draws.
            x, y = centre(painted)
            self.xdo("mousemove", "--sync", x, y)
            where = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env,
                                   capture_output=True, text=True).stdout
            wid = dict(l.split("=", 1) for l in where.split() if "=" in l).get("WINDOW")
            if wid:
                raw = subprocess.run(["xwd", "-id", wid, "-silent"], env=self.env,
                                     capture_output=True).stdout
                if raw:
                    _xwd_to_png(raw, path[:-4] + "-window.png")
        return path


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]  # XEvent's size


def _send_delete_window(display, window):
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.c_void_p]
    x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    if not dpy:
        raise Failure("cannot open display %s" % display)
    try:
        ev = _ClientMessage(type=33, window=window, format=32,  # 33: ClientMessage
                            message_type=x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0))
        ev.data[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
        x11.XSendEvent(dpy, window, 0, 0, ctypes.byref(ev))
        x11.XFlush(dpy)
    finally:
        x11.XCloseDisplay(dpy)


def _black_at(raw, x, y):
    header_size, width, bytes_per_line, ncolors = (struct.unpack(">I", raw[0:4])[0],
                                                   struct.unpack(">I", raw[16:20])[0],
                                                   struct.unpack(">I", raw[48:52])[0],
                                                   struct.unpack(">I", raw[76:80])[0])
    at = header_size + ncolors * 12 + y * bytes_per_line + min(max(x, 0), width - 1) * 4
    return raw[at:at + 3] == b"\x00\x00\x00"


def _xwd_to_png(raw, path):
    (header_size, _version, _fmt, depth, width, height, _xoff, byte_order, _unit, _bitorder,
     _pad, bpp, bytes_per_line, _vclass, _rm, _gm, _bm, _bits, _entries, ncolors) = \
        struct.unpack(">20I", raw[:80])
    data = raw[header_size + ncolors * 12:]
    rows = []
    for y in range(height):
        line = data[y * bytes_per_line:y * bytes_per_line + width * 4]
        # 32 bits per pixel, least significant byte first: B, G, R, X.
        px = bytearray(width * 3)
        px[0::3] = line[2::4]
        px[1::3] = line[1::4]
        px[2::3] = line[0::4]
        rows.append(b"\x00" + bytes(px))
    def chunk(kind, body):
        c = struct.pack(">I", len(body)) + kind + body
        return c + struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def crop_png(src, dst, x, y, w, h):
    """Writes the rectangle of a PNG written by _xwd_to_png (for looking at one window)."""
    with open(src, "rb") as f:
        b = f.read()
    i, idat = 8, b""
    while i < len(b):
        n = struct.unpack(">I", b[i:i + 4])[0]
        kind, body = b[i + 4:i + 8], b[i + 8:i + 8 + n]
        if kind == b"IHDR":
            width, height = struct.unpack(">II", body[:8])
        elif kind == b"IDAT":
            idat += body
        i += 12 + n
    raw = zlib.decompress(idat)
    stride = width * 3 + 1
    rows = [b"\x00" + raw[yy * stride + 1 + x * 3:yy * stride + 1 + (x + w) * 3]
            for yy in range(y, min(y + h, height))]
    def chunk(kind, body):
        c = struct.pack(">I", len(body)) + kind + body
        return c + struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, len(rows), 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b"")
    with open(dst, "wb") as f:
        f.write(png)


class Program:
    """One run of zorvex32 with its own program folder (a copy of the executable, so the
    settings file and work folders land there) and its own HOME."""

    def __init__(self, desktop, exe, root, args=(), settings=None, ids=True,
                 honour_permissions=False):
        self.desktop = desktop
        self.root = root
        self.folder = os.path.join(root, "prog")
        self.home = os.path.join(root, "home")
        os.makedirs(self.folder, exist_ok=True)
        os.makedirs(self.home, exist_ok=True)
        copy = os.path.join(self.folder, "zorvex32")
        if not os.path.exists(copy):
            with open(exe, "rb") as src, open(copy, "wb") as dst:
                dst.write(src.read())
            os.chmod(copy, 0o755)
            help_dir = os.path.join(os.path.dirname(exe), "ZORVEX.HLP")
            if os.path.isdir(help_dir):
                os.symlink(help_dir, os.path.join(self.folder, "ZORVEX.HLP"))
        if settings is not None:
            with open(self.ini_path, "wb") as f:
                f.write(settings.encode("cp932").replace(b"\n", b"\r\n"))
        env = dict(desktop.env, HOME=self.home, XDG_DATA_HOME=os.path.join(self.home, ".local/share"),
                   XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                   XDG_RUNTIME_DIR=os.path.join(self.home, "run"),
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8")
        if ids:
            # The test switch: accessible names are the control and window names.
            env["ZORVEX_ACCESSIBLE_IDS"] = "1"
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        self.log = open(os.path.join(root, "zorvex32.log"), "wb")
        argv = [copy] + list(args)
        if honour_permissions and os.geteuid() == 0:
            # Root writes into read-only folders; without these capabilities it is refused
            # as any user is.
            caps = "-dac_override,-dac_read_search"
            argv = ["setpriv", "--inh-caps", caps, "--bounding-set", caps, "--"] + argv
        self.proc = _start(argv, env, stdout=self.log, stderr=subprocess.STDOUT)
        self._app = None

    @property
    def ini_path(self):
        return os.path.join(self.folder, "ZORVEX.INI")

    def ini(self):
        with open(self.ini_path, "rb") as f:
            return f.read().decode("cp932")

    def end(self):
        _end(self.proc)
        self.log.close()

    def exited(self, timeout=10.0):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    # --- finding ---------------------------------------------------------------------------
    def app(self, timeout=20.0):
        if self._app is not None:
            return self._app
        atspi = _atspi()
        deadline = time.time() + timeout
        while time.time() < deadline:
            desk = atspi.Registry.getDesktop(0)
            for i in range(desk.childCount):
                a = desk.getChildAtIndex(i)
                try:
                    if a is not None and a.get_process_id() == self.proc.pid:
                        self._app = a
                        return a
                except Exception:
                    pass
            if self.proc.poll() is not None:
                raise Failure("zorvex32 ended with status %s" % self.proc.returncode)
            time.sleep(0.2)
        raise Failure("zorvex32 did not appear on the accessibility bus")

    def windows(self):
        app = self.app()
        out = []
        for i in range(app.childCount):
            w = app.getChildAtIndex(i)
            if w is not None:
                out.append(w)
        return out

    def window(self, name, timeout=10.0):
        """A shown top-level window (form or message box) by its accessible name."""
        atspi = _atspi()
        deadline = time.time() + timeout
        while True:
            for w in self.windows():
                try:
                    if w.name == name and w.getState().contains(atspi.STATE_SHOWING):
                        return w
                except Exception:
                    pass
            if time.time() > deadline:
                shown = [w.name for w in self.windows()
                         if w.getState().contains(atspi.STATE_SHOWING)]
                raise Failure("window %s not shown (shown: %s)" % (name, shown))
            time.sleep(0.15)

    def window_with(self, title, control, timeout=10.0):
        """A shown window with that title holding a control announced as `control` (several
        windows may share a title)."""
        atspi = _atspi()
        deadline = time.time() + timeout
        while True:
            for w in self.windows():
                try:
                    if w.name == title and w.getState().contains(atspi.STATE_SHOWING):
                        find(w, control)
                        return w
                except Exception:
                    pass
            if time.time() > deadline:
                raise Failure("no window %s with %s" % (title, control))
            time.sleep(0.15)

    def gone_window(self, win, timeout=10.0):
        """Waits until that window is no longer shown."""
        atspi = _atspi()
        deadline = time.time() + timeout
        while time.time() < deadline:
            try:
                if not win.getState().contains(atspi.STATE_SHOWING):
                    return
            except Exception:
                return
            time.sleep(0.15)
        raise Failure("window %s still shown" % win.name)

    def gone(self, name, timeout=10.0):
        atspi = _atspi()
        deadline = time.time() + timeout
        while time.time() < deadline:
            if not any(w.name == name and w.getState().contains(atspi.STATE_SHOWING)
                       for w in self.windows()):
                return
            time.sleep(0.15)
        raise Failure("window %s still shown" % name)


def find(root, name, role=None):
    """The first descendant of root with that accessible name (and role name, if given)."""
    stack = [root]
    while stack:
        node = stack.pop(0)
        for i in range(node.childCount):
            c = node.getChildAtIndex(i)
            if c is None:
                continue
            try:
                if c.name == name and (role is None or c.getRoleName() == role):
                    return c
            except Exception:
                continue
            stack.append(c)
    raise Failure("control %s not found" % name)


def extents(obj):
    atspi = _atspi()
    e = obj.queryComponent().getExtents(atspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def centre(obj):
    x, y, w, h = extents(obj)
    return x + w // 2, y + h // 2


def text_of(obj):
    t = obj.queryText()
    return t.getText(0, -1)


def descendants(root):
    out, stack = [], [root]
    while stack:
        node = stack.pop()
        for i in range(node.childCount):
            c = node.getChildAtIndex(i)
            if c is not None:
                out.append(c)
                stack.append(c)
    return out
