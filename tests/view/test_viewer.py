"""kelsvg-view under a virtual X server: its window shows what kelsvg draws,
follows the file as it is rewritten, and answers its keys."""

import gzip
import os
import subprocess
import time

import pytest
from PIL import Image, ImageChops
from Xlib import X, XK
from Xlib import display as xlib
from Xlib.ext import xtest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
VIEW = os.environ.get("KELSVG_VIEW", os.path.join(ROOT, "build", "tools", "kelsvg-view", "kelsvg-view"))
TOOL = os.environ.get("KELSVG_TOOL", os.path.join(ROOT, "build", "tools", "kelsvg", "kelsvg"))
EXAMPLES = os.path.join(ROOT, "examples")


class Screen:
    """One connection to the server for every look and key press (a server
    under load drops some of many quick connections)."""

    def __init__(self, name):
        self.name = name
        self.connection = xlib.Display(name)
        self.root = self.connection.screen().root
        self.title_atom = self.connection.intern_atom("_NET_WM_NAME")
        self.utf8 = self.connection.intern_atom("UTF8_STRING")

    def window(self, name):
        """The viewer's window for the file name, as (title, box, window)."""
        for child in self.root.query_tree().children:
            if child.get_attributes().map_state != X.IsViewable:
                continue
            title = child.get_full_property(self.title_atom, self.utf8)
            title = title.value.decode() if title else ""
            if title.startswith(name) and title.endswith("kelsvg-view"):
                g = child.get_geometry()
                return title, (g.x, g.y, g.x + g.width, g.y + g.height), child
        return None

    def grab(self, box):
        x, y, right, bottom = box
        image = self.root.get_image(x, y, right - x, bottom - y, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (right - x, bottom - y), image.data, "raw", "BGRX")

    def key(self, window, keysym):
        self.connection.set_input_focus(window, X.RevertToParent, X.CurrentTime)
        code = self.connection.keysym_to_keycode(XK.string_to_keysym(keysym))
        xtest.fake_input(self.connection, X.KeyPress, code)
        xtest.fake_input(self.connection, X.KeyRelease, code)
        self.connection.sync()


@pytest.fixture(scope="module")
def screen():
    read, write = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write), "-screen", "0", "800x600x24", "-nolisten", "tcp"],
        pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as numbers:
        name = ":" + numbers.readline().strip()
    yield Screen(name)
    server.terminate()
    server.wait()


@pytest.fixture
def view(screen):
    """Starts kelsvg-view on a file; the windows are closed after the test."""
    started = []

    def start(path, scale=1):
        # In a sanitizer build, memory GTK keeps to the end is no leak of ours.
        asan = os.environ.get("ASAN_OPTIONS")
        env = dict(os.environ, DISPLAY=screen.name, GDK_BACKEND="x11",
                   ASAN_OPTIONS=(asan + ":" if asan else "") + "detect_leaks=0",
                   GDK_SCALE=str(scale))
        process = subprocess.Popen([VIEW, path], env=env)
        started.append(process)
        return process

    yield start
    for process in started:
        process.kill()
        process.wait()


def until(condition, what, timeout=10):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = condition()
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


def kelsvg(path, out, *options, scale=1, crop=None, at=(0, 0), size=None):
    """kelsvg's picture (cropped to crop, placed at `at` in a window of size)
    over the viewer's checkerboard of 8-pixel squares (times the screen's scale)."""
    subprocess.run([TOOL, "--cache", *options, path, out], check=True)
    picture = Image.open(out).convert("RGBA")
    if crop:
        picture = picture.crop(crop)
    side = 8 * scale
    board = Image.new("RGBA", size or picture.size, (255, 255, 255, 255))
    for y in range(0, board.size[1], side):
        for x in range((y // side % 2) * side, board.size[0], 2 * side):
            board.paste((204, 204, 204, 255), (x, y, x + side, y + side))
    board.alpha_composite(picture, at)
    return board.convert("RGB")


def same(a, b, tolerance=1):
    if a.size != b.size:
        return False
    difference = ImageChops.difference(a, b).getextrema()
    return all(high <= tolerance for _, high in difference)


def shows(screen, name, expected, note=""):
    """Waits until the window shows the expected picture under the title of
    the file name with the note (a zoom or a problem)."""
    title = name + note + " \u2014 kelsvg-view"

    def check():
        found = screen.window(name)
        return found and found[0] == title and same(screen.grab(found[1]), expected)
    return until(check, title + " to show the expected picture")


# At screen scale 2 (a high-resolution screen) the window has twice the
# pixels, and the picture is as sharp as kelsvg's at zoom 2.
@pytest.mark.parametrize("example, scale", [("shapes-house.svg", 1), ("gradients-orbs.svg", 1),
                                            ("text-poster.svg", 1), ("hello.svg", 2)])
def test_window_shows_what_kelsvg_draws(screen, view, tmp_path, example, scale):
    path = os.path.join(EXAMPLES, example)
    expected = kelsvg(path, str(tmp_path / "expected.png"), "-z", str(scale), scale=scale)
    view(path, scale)
    shows(screen, example, expected)


def test_a_gzip_file_is_shown_as_its_document(screen, view, tmp_path):
    source = os.path.join(EXAMPLES, "shapes-house.svg")
    path = tmp_path / "house.svgz"
    with open(source, "rb") as plain:
        path.write_bytes(gzip.compress(plain.read()))
    expected = kelsvg(source, str(tmp_path / "expected.png"))
    view(str(path))
    shows(screen, "house.svgz", expected)


def square(color):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="120" height="90">'
            '<rect x="10" y="10" width="100" height="70" fill="%s"/></svg>' % color)


def test_a_rewritten_file_is_shown_and_a_half_written_one_keeps_the_picture(screen, view, tmp_path):
    path = tmp_path / "live.svg"
    path.write_text(square("red"))
    red = kelsvg(str(path), str(tmp_path / "red.png"))
    blue_path = tmp_path / "blue.svg"
    blue_path.write_text(square("blue"))
    blue = kelsvg(str(blue_path), str(tmp_path / "blue.png"))
    viewer = view(str(path))
    shows(screen, "live.svg", red)

    path.write_text(square("blue")[:70])
    # The title carries kelsvg's message for the file.
    run = subprocess.run([TOOL, str(path), str(tmp_path / "half.png")], capture_output=True, text=True)
    assert run.returncode == 2
    message = run.stderr.strip().split(": ", 2)[2]
    assert message.startswith("not well-formed XML")
    shows(screen, "live.svg", red, ": " + message)

    path.write_text(square("blue"))
    shows(screen, "live.svg", blue)
    assert viewer.poll() is None


def test_keys_zoom_fit_and_quit(screen, view, tmp_path):
    path = os.path.join(EXAMPLES, "hello.svg")
    fitted = kelsvg(path, str(tmp_path / "fitted.png"))
    viewer = view(path)
    shows(screen, "hello.svg", fitted)
    window = screen.window("hello.svg")[2]

    def key(name):
        screen.key(window, name)

    key("KP_Add")
    # 125 %, centred: the middle of a 300 x 200 picture in the 240 x 160 window.
    middle = kelsvg(path, str(tmp_path / "zoomed.png"), "-w", "300", "-h", "200",
                    crop=(30, 20, 270, 180))
    shows(screen, "hello.svg", middle, " (125%)")
    key("KP_Subtract")
    shows(screen, "hello.svg", fitted, " (100%)")
    key("0")
    shows(screen, "hello.svg", fitted)
    key("q")
    assert viewer.wait(timeout=10) == 0


def test_arrows_pan_the_wheel_zooms_at_the_pointer_and_r_reloads(screen, view, tmp_path):
    path = tmp_path / "pan.svg"
    path.write_text(square("red"))
    viewer = view(str(path))
    shows(screen, "pan.svg", kelsvg(str(path), str(tmp_path / "red.png")))
    title, box, window = screen.window("pan.svg")
    screen.key(window, "Right")  # the picture moves 40 pixels left, the board shows beside it
    shows(screen, "pan.svg", kelsvg(str(path), str(tmp_path / "left.png"), crop=(40, 0, 120, 90),
                                    size=(120, 90)))
    screen.key(window, "0")
    # One wheel step up at (20, 30) zooms to 125 % around that point: the
    # document's (20, 30) stays there, its corner goes to (-5, -7.67), drawn
    # at whole pixels (-5, -8).
    screen.connection.xtest_fake_input(X.MotionNotify, x=box[0] + 20, y=box[1] + 30)
    for kind in (X.ButtonPress, X.ButtonRelease):
        screen.connection.xtest_fake_input(kind, 4)
    screen.connection.sync()
    shows(screen, "pan.svg", kelsvg(str(path), str(tmp_path / "zoom.png"), "-w", "150", "-h",
                                    "113", crop=(5, 8, 125, 98)), " (125%)")
    # 0 fits again; r reads the file again.
    screen.key(window, "0")
    path.write_text(square("blue"))
    screen.key(window, "r")
    shows(screen, "pan.svg", kelsvg(str(path), str(tmp_path / "blue.png")))
    assert viewer.poll() is None
