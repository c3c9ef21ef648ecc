"""The kelsvg Python module: sources, sizes, formats, pixels, the tool's
messages for bad inputs, and drawing without the interpreter's lock."""

import faulthandler
import json
import gzip
import os
import pathlib
import subprocess
import sys
import threading

import pytest
from PIL import Image

import kelsvg

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
TOOL = os.environ.get("KELSVG_TOOL", os.path.join(ROOT, "build", "tools", "kelsvg", "kelsvg"))
HELLO = os.path.join(ROOT, "examples", "hello.svg")

HALF_RED = (b'<svg xmlns="http://www.w3.org/2000/svg" width="8" height="6">'
            b'<rect width="4" height="6" fill="red" fill-opacity="0.5"/></svg>')


def tool(*args):
    return subprocess.run([TOOL, *args], capture_output=True)


def test_every_kind_of_source_gives_the_tools_png(tmp_path):
    expected = tmp_path / "hello.png"
    assert tool(HELLO, str(expected)).returncode == 0
    text = pathlib.Path(HELLO).read_text()
    for source in [HELLO, pathlib.Path(HELLO), text.encode(), bytearray(text.encode()), text,
                   "\n  " + text]:
        assert kelsvg.render(source) == expected.read_bytes(), type(source)


def test_size_background_and_formats():
    w, h, _ = kelsvg.render_rgba(HELLO, width=120)
    assert (w, h) == (120, 80)
    w, h, _ = kelsvg.render_rgba(HELLO, width=30, height=70)
    assert (w, h) == (30, 70)
    png = kelsvg.render(HALF_RED, background="#00f")
    assert png.startswith(b"\x89PNG")
    for fmt, start in [("pdf", b"%PDF-"), ("svg", b"<?xml"), ("ps", b"%!PS-Adobe")]:
        assert kelsvg.render(HELLO, format=fmt).startswith(start)


def test_rgba_pixels_are_straight_and_row_major():
    w, h, pixels = kelsvg.render_rgba(HALF_RED)
    image = Image.frombytes("RGBA", (w, h), pixels)
    red, green, blue, alpha = image.getpixel((1, 1))
    assert (red, green, blue) == (255, 0, 0) and 120 < alpha < 136  # premultiplied: red ~128
    assert image.getpixel((6, 1)) == (0, 0, 0, 0)
    _, _, filled = kelsvg.render_rgba(HALF_RED, background="white")
    assert Image.frombytes("RGBA", (w, h), filled).getpixel((6, 5)) == (255, 255, 255, 255)


@pytest.mark.parametrize("name, content", [
    ("missing.svg", None),
    ("empty.svg", b""),
    ("broken.svg", b'<svg width="5" height="5"><g></svg>'),
    ("html.svg", b"<html><body/></html>"),
    ("nosize.svg", b"<svg/>"),
    ("huge.svg", b'<svg width="40000" height="5"/>'),
    ("cut.svgz", gzip.compress(b'<svg width="5" height="5"/>' + b" " * 2000)[:-12]),
])
def test_bad_inputs_raise_the_tools_message(tmp_path, name, content):
    path = tmp_path / name
    if content is not None:
        path.write_bytes(content)
    run = tool(str(path), str(tmp_path / "out.png"))
    assert run.returncode == 2
    with pytest.raises(kelsvg.Error) as raised:
        kelsvg.render(str(path))
    expected = run.stderr.decode().strip().replace("--width", "width").replace("--height", "height")
    assert "kelsvg: " + str(raised.value) == expected
    if content is not None:
        with pytest.raises(kelsvg.Error, match="^the SVG text: " + expected.split(": ", 2)[2][:20]):
            kelsvg.render(content)


def test_gzip_and_encodings_read_as_the_tool_reads_them(tmp_path):
    text = ('<svg xmlns="http://www.w3.org/2000/svg" width="40" height="20">'
            '<text y="15">\u00e9\u20ac</text></svg>')
    utf8 = kelsvg.render(text.encode())
    declared = '<?xml version="1.0" encoding="windows-1252"?>' + text
    path = tmp_path / "text.svgz"
    path.write_bytes(gzip.compress(declared.encode("cp1252")))
    # A str is Unicode already: its declaration names no encoding to decode.
    for source in [gzip.compress(text.encode()), declared.encode("cp1252"), declared, str(path)]:
        assert kelsvg.render(source) == utf8, source


def test_bad_arguments_raise_value_and_type_errors():
    for call, error in [
        (lambda: kelsvg.render(HELLO, width=0), ValueError),
        (lambda: kelsvg.render(HELLO, height=2000000), ValueError),
        (lambda: kelsvg.render(HELLO, height=40000), kelsvg.Error),  # past the bitmap limit
        (lambda: kelsvg.render(HELLO, zoom=0), ValueError),
        (lambda: kelsvg.render(HELLO, width=1.5), TypeError),
        (lambda: kelsvg.render(HELLO, background="nocolour"), ValueError),
        (lambda: kelsvg.render(HELLO, format="gif"), ValueError),
        (lambda: kelsvg.render(42), TypeError),
    ]:
        with pytest.raises(error):
            call()


def test_threads_render_in_parallel_as_one_does(tmp_path):
    examples = sorted(pathlib.Path(HELLO).parent.glob("*.svg"))
    alone = [kelsvg.render(str(path), width=200) for path in examples]
    results = {}

    def work(worker):
        for round in range(3):
            for i, path in enumerate(examples):
                results[worker, round, i] = kelsvg.render(str(path), width=200)

    threads = [threading.Thread(target=work, args=(w,)) for w in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert all(results[key] == alone[key[2]] for key in results) and len(results) == 12 * len(examples)


def test_drawing_leaves_the_interpreter_free(tmp_path):
    # The source is a pipe that another Python thread fills: were the lock
    # held while the file is read, neither thread could go on.
    fifo = tmp_path / "pipe.svg"
    os.mkfifo(fifo)
    done = threading.Event()

    def serve():
        while not done.is_set():
            fd = os.open(fifo, os.O_WRONLY)
            try:
                os.write(fd, pathlib.Path(HELLO).read_bytes())
            except BrokenPipeError:
                pass
            os.close(fd)

    server = threading.Thread(target=serve, daemon=True)
    server.start()
    faulthandler.dump_traceback_later(30, exit=True)
    try:
        assert kelsvg.render(str(fifo)) == kelsvg.render(HELLO)
    finally:
        faulthandler.cancel_dump_traceback_later()
        done.set()
        os.close(os.open(fifo, os.O_RDONLY | os.O_NONBLOCK))  # lets a waiting writer go
        server.join(timeout=5)


def test_a_host_printing_json_keeps_its_output_whole():
    # The library writes nothing: rotations in the document leave a host's
    # standard output (here JSON) and standard error as the host wrote them.
    program = (
        "import json, sys, kelsvg\n"
        "svg = b'<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"9\" height=\"9\">"
        "<rect width=\"4\" height=\"4\" transform=\"rotate(30 2 2) rotate(5)\"/></svg>'\n"
        "out = [len(kelsvg.render(svg)), len(kelsvg.render(svg, format='pdf'))]\n"
        "print(json.dumps({'sizes': out}))\n")
    run = subprocess.run([sys.executable, "-c", program], capture_output=True, env=os.environ)
    assert run.returncode == 0, run.stderr
    assert json.loads(run.stdout)["sizes"][0] > 0
    assert run.stderr == b""


def test_sizes_sources_and_the_tools_options(tmp_path):
    # hello.svg is 240 x 160.
    assert kelsvg.size(HELLO) == (240.0, 160.0)
    assert kelsvg.size(b'<svg xmlns="http://www.w3.org/2000/svg" width="10.5" height="3"/>') == \
        (10.5, 3.0)
    with open(HELLO, "rb") as binary, open(HELLO) as text:
        assert kelsvg.render(binary) == kelsvg.render(text) == kelsvg.render(HELLO)
    with pytest.raises(FileNotFoundError) as missing:
        kelsvg.size(tmp_path / "missing.svg")
    assert isinstance(missing.value, kelsvg.Error) and missing.value.errno == 2
    assert kelsvg.render_rgba(HELLO, zoom=0.5)[:2] == (120, 80)
    assert kelsvg.render_rgba(HELLO, width=100, height=100, keep_aspect_ratio=True)[:2] == \
        (100, 100)
    assert kelsvg.render(HELLO, format="jpeg")[:3] == b"\xff\xd8\xff"
    assert b"/MediaBox [ 0 0 120 80 ]" in kelsvg.render(HELLO, format="pdf", dpi=144)
    # base_dir and id: as the tool's --base-dir and --id.
    (tmp_path / "red.svg").write_bytes(HALF_RED)
    assert tool(str(tmp_path / "red.svg"), str(tmp_path / "red.png")).returncode == 0
    doc = (b'<svg xmlns="http://www.w3.org/2000/svg" width="8" height="6"><rect id="r" width="8"'
           b' height="6" fill="blue"/><image href="red.png" width="8" height="6"/></svg>')
    w, h, rgba = kelsvg.render_rgba(doc, base_dir=tmp_path)
    assert all(abs(a - b) <= 1 for a, b in zip(rgba[:4], [128, 0, 127, 255]))  # half red on blue
    w, h, rgba = kelsvg.render_rgba(doc, base_dir=str(tmp_path), id="r")
    assert rgba[:4] == bytes([0, 0, 255, 255])
