"""The X server as the Windows program tests see it, through libX11 itself
(ctypes, so nothing beyond the X library the tools already need): one
XGetImage of the root window for the screen's pixels, as a person sees them
(xwd -root would paint a window of another visual over its whole rectangle,
cut corners included), the root's colour, and the window manager's maximize.
And the pictures of a packed skin file, to compare the screen with.
"""
import ctypes
import struct

_x = ctypes.CDLL("libX11.so.6")


class _Image(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("client", _ClientMessage), ("pad", ctypes.c_long * 24)]


_x.XOpenDisplay.restype = ctypes.c_void_p
_x.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x.XDefaultRootWindow.restype = ctypes.c_ulong
_x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x.XGetImage.restype = ctypes.POINTER(_Image)
_x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                         ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
_x.XDestroyImage.argtypes = [ctypes.POINTER(_Image)]
_x.XInternAtom.restype = ctypes.c_ulong
_x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                          ctypes.POINTER(_Event)]
_x.XSetWindowBackground.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]
_x.XClearWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
_x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x.XCloseDisplay.argtypes = [ctypes.c_void_p]


class Shot:
    """The screen's pixels at one moment, 0xRRGGBB."""

    def __init__(self, data, width, height, stride):
        self.data, self.width, self.height, self.stride = data, width, height, stride

    def __call__(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            return None
        return struct.unpack_from("<I", self.data, y * self.stride + 4 * x)[0] & 0xFFFFFF


class Screen:
    def __init__(self):
        self.display = _x.XOpenDisplay(None)
        if not self.display:
            raise SystemExit("FAIL: cannot open the display")
        self.root = _x.XDefaultRootWindow(self.display)

    def close(self):
        _x.XCloseDisplay(self.display)

    def shot(self, width, height):
        image = _x.XGetImage(self.display, self.root, 0, 0, width, height, 0xFFFFFFFF, 2)
        if not image:
            raise SystemExit("FAIL: XGetImage of the root failed")
        i = image.contents
        # A 24-bit TrueColor screen, as the tests' Xvfb has: 32 bits a pixel.
        assert i.bits_per_pixel == 32 and i.byte_order == 0, (i.bits_per_pixel, i.byte_order)
        shot = Shot(ctypes.string_at(i.data, i.bytes_per_line * i.height), i.width, i.height,
                    i.bytes_per_line)
        _x.XDestroyImage(image)
        return shot

    def backdrop(self, rgb):
        """Paints the root in one colour: whatever no window covers shows it."""
        _x.XSetWindowBackground(self.display, self.root, rgb)
        _x.XClearWindow(self.display, self.root)
        _x.XSync(self.display, 0)

    def maximize(self, window):
        """Asks the window manager to maximize a window, as its own menu or a
        taskbar would."""
        atom = lambda name: _x.XInternAtom(self.display, name, 0)
        event = _Event()
        event.client.type = 33  # ClientMessage
        event.client.window = window
        event.client.message_type = atom(b"_NET_WM_STATE")
        event.client.format = 32
        event.client.data[:] = [1, atom(b"_NET_WM_STATE_MAXIMIZED_VERT"),
                                atom(b"_NET_WM_STATE_MAXIMIZED_HORZ"), 1, 0]
        # SubstructureRedirectMask | SubstructureNotifyMask
        _x.XSendEvent(self.display, self.root, 0, (1 << 20) | (1 << 19), ctypes.byref(event))
        _x.XSync(self.display, 0)


def skin_pictures(path):
    """The pictures of a packed skin file by key, each a list of rows of
    0xAARRGGBB: the outer byte-array record, the property bag inside it, and
    in it whole BMP files (uncompressed, 24 or 32 bits)."""
    with open(path, "rb") as f:
        data = f.read()
    tag, dims, count = struct.unpack_from("<HHI", data, 0)
    bag = data[12:12 + count]
    if tag != 0x2011 or dims != 1 or bag[:4] != b"SSPB":
        raise SystemExit(f"FAIL: {path} is not a packed skin")
    entries = struct.unpack_from("<H", bag, 6)[0]
    at, pictures = 8, {}
    for _ in range(entries):
        length = bag[at]
        name = bag[at + 1:at + 1 + length].decode("ascii").upper()
        kind, size = bag[at + 1 + length], struct.unpack_from("<I", bag, at + 2 + length)[0]
        at += 6 + length
        if kind == 3:
            pictures[name] = _bmp(bag[at:at + size])
        at += size
    return pictures


def _bmp(data):
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    stride = (width * bits // 8 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        at = offset + (y if height < 0 else abs(height) - 1 - y) * stride
        row = []
        for x in range(width):
            p = at + x * bits // 8
            alpha = data[p + 3] if bits == 32 else 0xFF
            row.append(alpha << 24 | data[p + 2] << 16 | data[p + 1] << 8 | data[p])
        rows.append(row)
    return rows
