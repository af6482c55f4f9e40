#!/usr/bin/env python3
"""Sets the monitors of a TigerVNC X server, as a VNC client that resizes
the remote desktop does: over the server's unix socket with RFB's
SetDesktopSize, one screen per monitor. The server gives each screen an
output and a CRTC of its own, and Wine makes a monitor of each.

    monitors.py SOCKET show
    monitors.py SOCKET set WxH+X+Y...

A layout is given in Windows coordinates: the first monitor is the primary
and stands at +0+0; one left of or above it has a negative X or Y. X has no
negative coordinates, so the whole layout is moved until its top-left corner
is the root window's origin, and the primary's output is made RandR's
primary (with xrandr on $DISPLAY): Wine 8 puts the primary at 0,0 and every
other monitor where it stands relative to it.

"show" prints the framebuffer and each screen (id and X rectangle) as the
server reports them; "set" changes the layout and prints the new one.
Exit code 0 on success, 1 when the server refuses or does something else,
2 on bad usage.
"""

import re
import socket
import struct
import subprocess
import sys

EXTENDED_DESKTOP_SIZE = -308
RAW = 0
REASON_CLIENT = 1
TIMEOUT_S = 30


class Refused(Exception):
    pass


class Screen:
    def __init__(self, ident, x, y, w, h):
        self.ident, self.x, self.y, self.w, self.h = ident, x, y, w, h

    def key(self):
        return (self.ident, self.x, self.y, self.w, self.h)

    def geometry(self):
        return f"{self.w}x{self.h}+{self.x}+{self.y}"

    def __str__(self):
        return f"screen id={self.ident} x={self.geometry()}"


def parse_layout(args):
    """Windows rectangles (x, y, w, h) from WxH+X+Y words, the primary first."""
    rects = []
    for word in args:
        m = re.fullmatch(r"(\d+)x(\d+)([+-]\d+)([+-]\d+)", word)
        if not m or int(m[1]) == 0 or int(m[2]) == 0:
            raise ValueError(f"not a monitor WxH+X+Y: {word}")
        rects.append((int(m[3]), int(m[4]), int(m[1]), int(m[2])))
    if not rects:
        raise ValueError("no monitors given")
    if rects[0][:2] != (0, 0):
        raise ValueError("the first monitor is the primary and stands at +0+0")
    for i, (x, y, w, h) in enumerate(rects):
        for x2, y2, w2, h2 in rects[:i]:
            if x < x2 + w2 and x2 < x + w and y < y2 + h2 and y2 < y + h:
                raise ValueError(f"monitors overlap: {args[i]}")
    return rects


class Rfb:
    """The few messages of RFB 3.8 that set the desktop's layout."""

    def __init__(self, path):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.settimeout(TIMEOUT_S)
        self.sock.connect(path)
        self.handshake()

    def read(self, n):
        data = b""
        while len(data) < n:
            chunk = self.sock.recv(n - len(data))
            if not chunk:
                raise Refused("the server closed the connection")
            data += chunk
        return data

    def unpack(self, fmt):
        return struct.unpack(fmt, self.read(struct.calcsize(fmt)))

    def handshake(self):
        version = self.read(12)
        if not version.startswith(b"RFB 003."):
            raise Refused(f"not an RFB server: {version!r}")
        self.sock.sendall(b"RFB 003.008\n")
        (count,) = self.unpack(">B")
        if count == 0:
            raise Refused(self.reason())
        if 1 not in self.read(count):  # None
            raise Refused("the server wants authentication (start it with -SecurityTypes None)")
        self.sock.sendall(struct.pack(">B", 1))
        (result,) = self.unpack(">I")
        if result != 0:
            raise Refused(self.reason())
        self.sock.sendall(struct.pack(">B", 1))  # ClientInit: shared
        self.width, self.height = self.unpack(">HH")
        self.bpp = self.read(16)[0]
        (name_length,) = self.unpack(">I")
        self.read(name_length)
        self.sock.sendall(struct.pack(">BxHii", 2, 2, RAW, EXTENDED_DESKTOP_SIZE))

    def reason(self):
        (length,) = self.unpack(">I")
        return self.read(length).decode("utf-8", "replace")

    def request_update(self, incremental):
        # The server sends its layout, and its answer to SetDesktopSize,
        # only within an update asked for; a non-incremental request brings
        # the layout even when nothing changed. One pixel keeps the picture
        # that comes with it small.
        self.sock.sendall(struct.pack(">BBHHHH", 3, incremental, 0, 0, 1, 1))

    def next_layouts(self):
        """(reason, status, width, height, screens) of each layout in the
        next update that brings any: the server's own news of a change may
        come before the answer to the client's SetDesktopSize."""
        while True:
            (kind,) = self.unpack(">B")
            if kind == 0:  # FramebufferUpdate
                (rects,) = self.unpack(">xH")
                found = []
                for _ in range(rects):
                    x, y, w, h, encoding = self.unpack(">HHHHi")
                    if encoding == EXTENDED_DESKTOP_SIZE:
                        (count,) = self.unpack(">B3x")
                        records = [self.unpack(">IHHHHI") for _ in range(count)]
                        found.append((x, y, w, h, [Screen(*r[:5]) for r in records]))
                    elif encoding == RAW:
                        self.read(w * h * self.bpp // 8)
                    else:
                        raise Refused(f"an encoding that was not asked for: {encoding}")
                if found:
                    return found
            elif kind == 1:  # SetColourMapEntries
                (_, count) = self.unpack(">xHH")
                self.read(count * 6)
            elif kind == 2:  # Bell
                pass
            elif kind == 3:  # ServerCutText
                (length,) = self.unpack(">3xI")
                self.read(length)
            else:
                raise Refused(f"an unknown server message: {kind}")

    def layout(self):
        self.request_update(0)
        _, _, w, h, screens = self.next_layouts()[-1]
        return w, h, screens

    def set_layout(self, width, height, screens):
        message = struct.pack(">BxHHBx", 251, width, height, len(screens))
        message += b"".join(struct.pack(">IHHHHI", *s.key(), 0) for s in screens)
        self.sock.sendall(message)
        self.request_update(1)
        answer = []
        while not answer:
            answer = [layout for layout in self.next_layouts() if layout[0] == REASON_CLIENT]
        _, status, w, h, got = answer[0]
        if status != 0:
            why = {1: "resize prohibited", 2: "out of resources", 3: "invalid screen layout"}
            raise Refused(f"SetDesktopSize {width}x{height}: {why.get(status, status)}")
        if (w, h) != (width, height) or [s.key() for s in got] != [s.key() for s in screens]:
            asked, given = (" ".join(map(str, layout)) for layout in (screens, got))
            raise Refused(f"asked for {width}x{height} {asked}, got {w}x{h} {given}")


def target_screens(rects, current):
    """The screens in X coordinates, moved so that none is left of or above
    the root's origin. The n-th monitor keeps the id of the server's n-th
    screen, so that the server moves that output rather than making another:
    the primary keeps its output, and a list one shorter drops the last."""
    left, top = min(r[0] for r in rects), min(r[1] for r in rects)
    used = {s.ident for s in current}
    screens = []
    for i, (x, y, w, h) in enumerate(rects):
        if i < len(current):
            ident = current[i].ident
        else:
            ident = max(used | {0}) + 1
            used.add(ident)
        screens.append(Screen(ident, x - left, y - top, w, h))
    return screens


def make_primary(screen):
    """Makes the output at the screen's place RandR's primary."""
    query = subprocess.run(["xrandr", "--query"], capture_output=True, text=True, check=True).stdout
    for line in query.splitlines():
        m = re.match(r"(\S+) connected (primary )?(\d+x\d+\+\d+\+\d+)", line)
        if m and m[3] == screen.geometry():
            if not m[2]:
                subprocess.run(["xrandr", "--output", m[1], "--primary"], check=True)
            return m[1]
    raise Refused(f"no output at {screen.geometry()}:\n{query}")


def set_monitors(rfb, rects):
    width, height, current = rfb.layout()
    screens = target_screens(rects, current)
    new_w = max(s.x + s.w for s in screens)
    new_h = max(s.y + s.h for s in screens)
    # A smaller framebuffer that cuts an output makes the server drop it
    # (and hand its id to another screen): grow first, place the screens,
    # then shrink to the new layout.
    grown = (max(width, new_w), max(height, new_h))
    steps = [(grown, current), (grown, screens), ((new_w, new_h), screens)]
    state = ((width, height), [s.key() for s in current])
    for size, layout in steps:
        if (size, [s.key() for s in layout]) != state:
            rfb.set_layout(*size, layout)
            state = (size, [s.key() for s in layout])
    return make_primary(screens[0])


def main(argv):
    if len(argv) < 3 or argv[2] not in ("show", "set") or (argv[2] == "show") != (len(argv) == 3):
        print(__doc__, file=sys.stderr)
        return 2
    try:
        rects = parse_layout(argv[3:]) if argv[2] == "set" else None
    except ValueError as e:
        print(f"monitors: {e}", file=sys.stderr)
        return 2
    try:
        rfb = Rfb(argv[1])
        primary = set_monitors(rfb, rects) if rects else None
        width, height, screens = rfb.layout()
    except (OSError, Refused, struct.error, subprocess.CalledProcessError) as e:
        print(f"monitors: {e}", file=sys.stderr)
        return 1
    print(f"framebuffer={width}x{height}")
    for s in screens:
        print(s)
    if primary:
        print(f"primary={primary}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
