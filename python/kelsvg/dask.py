"""Rendering large batches across a Dask cluster.

Each file renders on its own, so a batch is spread over the workers of a
Dask distributed cluster in chunks; a bad file fails alone, outputs are
written whole or not at all, and a chunk lost with a worker is run again by
Dask on another one.

    from distributed import Client, progress
    import kelsvg.dask

    client = Client("tcp://scheduler:8786")        # or Client() for this machine
    futures = kelsvg.dask.submit(client, paths, "out/", width=256)
    progress(futures)                               # Dask's own progress bar
    result = kelsvg.dask.gather(client, futures)
    print(len(result.written), "written;", result.failed)

Or in one call: kelsvg.dask.render_files(paths, "out/", client=client).
"""

import os
import tempfile
from typing import Dict, Iterable, List, NamedTuple, Optional, Sequence, Tuple, Union

import kelsvg

# A source: a path, or a name and the SVG bytes (the name gives the output's).
Source = Union[str, "os.PathLike[str]", Tuple[str, bytes]]

_EXTENSIONS = {"jpeg": "jpg", "jpg": "jpg"}


class BatchResult(NamedTuple):
    written: List[str]      # the outputs' paths, in the order of the sources
    failed: Dict[str, str]  # source name -> why it failed


def _name(source) -> str:
    if isinstance(source, tuple):
        return source[0]
    return os.fsdecode(source)


def output_path(source: Source, out_dir: str, format: str = "png") -> str:
    """out_dir/NAME.EXT: the source's file name without its folder and extension."""
    base = os.path.basename(_name(source))
    stem = os.path.splitext(base)[0] if "." in base[1:] else base
    return os.path.join(out_dir, stem + "." + _EXTENSIONS.get(format.lower(), format.lower()))


def _write_whole(path: str, data: bytes) -> None:
    # A temporary file beside the output, renamed over it: a crash leaves
    # either the old file or the new one, never half of one.
    folder = os.path.dirname(path) or "."
    fd, temporary = tempfile.mkstemp(prefix=".kelsvg-", dir=folder)
    try:
        with os.fdopen(fd, "wb") as out:
            out.write(data)
        os.replace(temporary, path)
    except BaseException:
        try:
            os.unlink(temporary)
        except OSError:
            pass
        raise


def render_chunk(sources: Sequence[Source], out_dir: str, format: str = "png",
                 options: Optional[dict] = None) -> List[Tuple[str, Optional[str], Optional[str]]]:
    """Renders each source to out_dir; (name, output path or None, error or None)
    for each. Runs on a worker; a bad source does not stop the others."""
    results = []
    for source in sources:
        name = _name(source)
        try:
            data = kelsvg.render(source[1] if isinstance(source, tuple) else source,
                                 format=format, **(options or {}))
            path = output_path(source, out_dir, format)
            _write_whole(path, data)
            results.append((name, path, None))
        except (kelsvg.Error, OSError, ValueError, TypeError) as error:
            results.append((name, None, str(error)))
    return results


def submit(client, sources: Iterable[Source], out_dir: str, format: str = "png",
           chunk_size: int = 50, **options) -> list:
    """Submits the batch to client's cluster in chunks of chunk_size sources;
    returns the futures (for distributed.progress, as_completed, gather).
    options are render()'s (width, height, zoom, background, ...). out_dir must
    be a folder every worker sees (a shared file system on a real cluster)."""
    if chunk_size < 1:
        raise ValueError("chunk_size must be at least 1")
    sources = list(sources)
    os.makedirs(out_dir, exist_ok=True)
    chunks = [sources[i:i + chunk_size] for i in range(0, len(sources), chunk_size)]
    # pure=False: a chunk named again is rendered again, not taken from memory.
    return client.map(render_chunk, chunks, out_dir=out_dir, format=format, options=options,
                      pure=False)


def gather(client, futures: list) -> BatchResult:
    """Waits for the futures of submit() and sums them up."""
    written, failed = [], {}
    for chunk in client.gather(futures):
        for name, path, error in chunk:
            if error is None:
                written.append(path)
            else:
                failed[name] = error
    return BatchResult(written, failed)


def render_files(sources: Iterable[Source], out_dir: str, client=None, format: str = "png",
                 chunk_size: int = 50, progress: bool = False, **options) -> BatchResult:
    """submit() and gather() in one call, on client (default: the current
    Dask client); progress=True shows Dask's progress bar meanwhile."""
    if client is None:
        from distributed import get_client
        client = get_client()
    futures = submit(client, sources, out_dir, format=format, chunk_size=chunk_size, **options)
    if progress:
        from distributed import progress as show_progress
        show_progress(futures)
    return gather(client, futures)
