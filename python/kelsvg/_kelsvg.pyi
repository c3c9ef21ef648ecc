from typing import Optional, Tuple, Union
import os

__version__: str

class Error(Exception): ...

_Source = Union[str, bytes, bytearray, "os.PathLike[str]"]

def render(source: _Source, width: Optional[int] = ..., height: Optional[int] = ...,
           background: Optional[str] = ..., format: str = ..., zoom: Optional[float] = ...,
           keep_aspect_ratio: bool = ..., dpi: Optional[float] = ...,
           base_dir: Optional[Union[str, "os.PathLike[str]"]] = ...,
           id: Optional[str] = ...) -> bytes: ...
def render_rgba(source: _Source, width: Optional[int] = ..., height: Optional[int] = ...,
                background: Optional[str] = ..., zoom: Optional[float] = ...,
                keep_aspect_ratio: bool = ..., dpi: Optional[float] = ...,
                base_dir: Optional[Union[str, "os.PathLike[str]"]] = ...,
                id: Optional[str] = ...) -> Tuple[int, int, bytes]: ...
def size(source: _Source) -> Tuple[float, float]: ...
