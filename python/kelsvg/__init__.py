"""SVG rendering with the kelsvg library, handling files as the kelsvg tool does.

    png = kelsvg.render("picture.svg", width=480)
    width, height, rgba = kelsvg.render_rgba(b"<svg ...>...</svg>")
    width, height = kelsvg.size("picture.svg")
"""

import builtins
import errno
import os
from typing import IO, Optional, Tuple, Union

from . import _kelsvg

__version__ = _kelsvg.__version__
Error = _kelsvg.Error

Source = Union[str, bytes, bytearray, "os.PathLike[str]", IO[bytes], IO[str]]


class FileNotFoundError(Error, builtins.FileNotFoundError):
    """A source path that names no file: both a kelsvg.Error and the built-in
    FileNotFoundError (errno, strerror and filename set)."""

    def __str__(self):
        return f"{self.filename}: {self.strerror}"


def _source(source):
    # File-like objects are read whole; a missing path raises FileNotFoundError.
    if hasattr(source, "read"):
        data = source.read()
        if isinstance(data, str):
            data = data.encode("utf-8")
            return b"\xef\xbb\xbf" + data if not data.startswith(b"\xef\xbb\xbf") else data
        if not isinstance(data, (bytes, bytearray)):
            raise TypeError("a file-like source must give bytes or str")
        return bytes(data)
    path = None
    if isinstance(source, os.PathLike):
        path = os.fsdecode(source)
    elif isinstance(source, str) and not source.lstrip(" \t\r\n\ufeff").startswith("<"):
        path = source
    if path is not None and not os.path.exists(path):
        raise FileNotFoundError(errno.ENOENT, "cannot read: " + os.strerror(errno.ENOENT),
                                path)
    return source


def render(source: Source, width: Optional[int] = None, height: Optional[int] = None,
           background: Optional[str] = None, format: str = "png",
           zoom: Optional[float] = None, keep_aspect_ratio: bool = False,
           dpi: Optional[float] = None, base_dir: Optional[Union[str, "os.PathLike[str]"]] = None,
           id: Optional[str] = None) -> bytes:
    """Draws an SVG picture; returns the image file's bytes.

    source: a path (str or os.PathLike), the SVG text as bytes or as a str whose
        first character other than white space is "<", or a file-like object.
    width, height: the image's size in pixels; with one of them the other keeps
        the document's aspect ratio; by default the document's own size.
    zoom: scales the document's size (width and height win over it).
    keep_aspect_ratio: with both width and height, fit the picture inside them.
    background: any colour SVG reads ("red", "#rgb", "rgb(...)"), "#rgba",
        "#rrggbbaa" or "transparent" (the default).
    format: "png", "jpeg", "webp", or "pdf", "svg", "ps", "eps" (vectors).
    dpi: vector formats: pixels to the inch (a pixel is 72 / dpi points).
    base_dir: the folder image files resolve in (default: the source file's).
    id: draw only the element with this id.

    Raises kelsvg.FileNotFoundError for a path that names no file, and
    kelsvg.Error, with kelsvg's message, for a source that cannot be read, is
    not XML, has no svg element or has no size (and none was given). The
    interpreter's lock is released while the picture is drawn.
    """
    return _kelsvg.render(_source(source), width, height, background, format, zoom,
                          keep_aspect_ratio, dpi, base_dir, id)


def render_rgba(source: Source, width: Optional[int] = None, height: Optional[int] = None,
                background: Optional[str] = None, zoom: Optional[float] = None,
                keep_aspect_ratio: bool = False, dpi: Optional[float] = None,
                base_dir: Optional[Union[str, "os.PathLike[str]"]] = None,
                id: Optional[str] = None) -> Tuple[int, int, bytes]:
    """Draws an SVG picture; returns (width, height, pixels): straight (not
    premultiplied) RGBA bytes, row by row from the top, as PIL's
    Image.frombytes("RGBA", (width, height), pixels) takes them. Arguments and
    errors as render()."""
    return _kelsvg.render_rgba(_source(source), width, height, background, zoom,
                               keep_aspect_ratio, dpi, base_dir, id)


def size(source: Source) -> Tuple[float, float]:
    """The document's own width and height in pixels, without drawing it
    (0 for a side it does not give). Errors as render()."""
    return _kelsvg.size(_source(source))
