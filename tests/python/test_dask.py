"""kelsvg.dask on a LocalCluster of worker processes: the tool's bytes, a
hostile file failing alone, and no file lost when a worker is killed."""

import os
import pathlib
import shutil
import signal
import subprocess

import pytest

distributed = pytest.importorskip("distributed")
import kelsvg.dask  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parent.parent.parent
TOOL = os.environ.get("KELSVG_TOOL", str(ROOT / "build" / "tools" / "kelsvg" / "kelsvg"))


@pytest.fixture(scope="module")
def client():
    cluster = distributed.LocalCluster(n_workers=3, threads_per_worker=1, processes=True,
                                       dashboard_address=None, silence_logs=50)
    with distributed.Client(cluster) as c:
        yield c
    cluster.close()


def inputs(tmp_path, copies):
    examples = sorted((ROOT / "examples").glob("*.svg"))
    sources = []
    for i in range(copies):
        path = tmp_path / f"in{i:03d}.svg"
        shutil.copyfile(examples[i % len(examples)], path)
        if examples[i % len(examples)].name == "image-scene.svg":
            shutil.copytree(ROOT / "examples", tmp_path, dirs_exist_ok=True,
                            ignore=shutil.ignore_patterns("*.svg", "*.cpp", "snippets"))
        sources.append(str(path))
    return sources


def test_outputs_are_the_tools_and_a_hostile_file_fails_alone(client, tmp_path):
    sources = inputs(tmp_path, 20)
    hostile = tmp_path / "hostile.svg"
    hostile.write_text("<svg>" * 5000)  # unclosed and deep
    sources.insert(7, str(hostile))
    sources.append(("from-bytes.svg", b'<svg xmlns="http://www.w3.org/2000/svg" width="4" '
                                      b'height="4"><rect width="2" height="2"/></svg>'))
    result = kelsvg.dask.render_files(sources, str(tmp_path / "out"), client=client, chunk_size=4,
                                      width=64)
    assert list(result.failed) == [str(hostile)]
    assert "not well-formed XML" in result.failed[str(hostile)]
    assert len(result.written) == 21
    expected = subprocess.run([TOOL, "-w", "64", "--out-dir", str(tmp_path / "tool"),
                               *[s for s in sources if isinstance(s, str)]], capture_output=True)
    assert expected.returncode == 2
    for path in result.written[:-1]:
        name = os.path.basename(path)
        assert pathlib.Path(path).read_bytes() == (tmp_path / "tool" / name).read_bytes(), name
    assert not list((tmp_path / "out").glob(".kelsvg-*"))  # no temporary file left


def test_a_killed_worker_loses_no_file(client, tmp_path):
    sources = inputs(tmp_path, 60)
    futures = kelsvg.dask.submit(client, sources, str(tmp_path / "out"), chunk_size=1, width=900)
    # Once the batch runs, one worker dies at once; its chunks run again elsewhere.
    next(distributed.as_completed(futures))
    victim = list(client.scheduler_info()["workers"])[0]
    pid = client.run(os.getpid, workers=[victim])[victim]
    os.kill(pid, signal.SIGKILL)
    result = kelsvg.dask.gather(client, futures)
    assert result.failed == {}
    assert sorted(os.path.basename(p) for p in result.written) == \
        sorted(os.path.basename(s).replace(".svg", ".png") for s in sources)
    assert not list((tmp_path / "out").glob(".kelsvg-*"))
