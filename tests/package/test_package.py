"""The README's snippets are the files of examples/snippets/ and run; the
installed library is found by CMake's find_package and by pkg-config, and the
installed programs find it without LD_LIBRARY_PATH."""

import json
import os
import pathlib
import subprocess

import pytest
from PIL import Image

BUILD = pathlib.Path(os.environ.get("KELSVG_BUILD_DIR", "build")).resolve()
SOURCE = pathlib.Path(os.environ.get("KELSVG_SOURCE_DIR", ".")).resolve()
SNIPPETS = SOURCE / "examples" / "snippets"
ENV = {k: v for k, v in os.environ.items() if k != "LD_LIBRARY_PATH"}

ROTATED = ('<svg xmlns="http://www.w3.org/2000/svg" width="30" height="20">'
           '<g transform="rotate(45 5 6)"><rect width="4" height="4" transform="rotate(-7.5)"/>'
           '</g></svg>')


def run(*args, **kwargs):
    kwargs.setdefault("env", ENV)
    result = subprocess.run([str(a) for a in args], capture_output=True, **kwargs)
    assert result.returncode == 0, (args, result.stdout, result.stderr)
    return result


def test_readme_shows_the_snippets_as_they_are():
    run(SOURCE / "scripts" / "readme-snippets")


def test_snippets_run(tmp_path):
    run(BUILD / "examples" / "draw-png", SOURCE / "examples" / "hello.svg", tmp_path / "h.png")
    assert Image.open(tmp_path / "h.png").size == (480, 320)  # twice the document's 240 x 160
    (tmp_path / "r.svg").write_text(ROTATED)
    out = run(BUILD / "examples" / "rotations-json", tmp_path / "r.svg")
    assert json.loads(out.stdout) == {"parsed": True, "width": 30, "height": 20,
                                      "rotations": [[45, 5, 6], [-7.5, 0, 0]]}
    assert out.stderr == b""
    python = run("/usr/bin/python3", SNIPPETS / "render.py", cwd=SOURCE,
                 env={**ENV, "PYTHONPATH": str(BUILD / "python")})
    assert b"not well-formed XML" in python.stdout


def test_installed_package_is_found_by_cmake_and_pkg_config(tmp_path):
    prefix = tmp_path / "prefix"
    run("cmake", "--install", BUILD, "--prefix", prefix)
    libdir = next(prefix.glob("lib*/**/libkelsvg.so")).parent
    # The installed tool finds its library through its run path.
    assert run(prefix / "bin" / "kelsvg", "--version").stdout.startswith(b"kelsvg ")
    svg = SOURCE / "examples" / "hello.svg"

    project = tmp_path / "consumer"
    project.mkdir()
    (project / "CMakeLists.txt").write_text(
        "cmake_minimum_required(VERSION 3.16)\nproject(consumer CXX)\n"
        "find_package(KelSvg 0.1 REQUIRED)\n"
        f"add_executable(draw-png {SNIPPETS / 'draw-png.cpp'})\n"
        "target_link_libraries(draw-png PRIVATE KelSvg::kelsvg)\n")
    run("cmake", "-S", project, "-B", project / "build", f"-DCMAKE_PREFIX_PATH={prefix}",
        "-DCMAKE_CXX_COMPILER_LAUNCHER=")
    run("cmake", "--build", project / "build")
    run(project / "build" / "draw-png", svg, tmp_path / "cmake.png")

    pc = {**ENV, "PKG_CONFIG_PATH": str(libdir / "pkgconfig")}
    flags = run("pkg-config", "--cflags", "--libs", "kelsvg", env=pc).stdout.decode().split()
    assert run("pkg-config", "--variable=libdir", "kelsvg", env=pc).stdout.decode().strip()
    run("c++", "-std=c++17", SNIPPETS / "draw-png.cpp", *flags, f"-Wl,-rpath,{libdir}", "-o",
        tmp_path / "pc-draw")
    run(tmp_path / "pc-draw", svg, tmp_path / "pc.png")
    assert (tmp_path / "cmake.png").read_bytes() == (tmp_path / "pc.png").read_bytes()
    assert Image.open(tmp_path / "pc.png").size == (480, 320)
