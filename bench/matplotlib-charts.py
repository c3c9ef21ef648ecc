#!/usr/bin/env python3
"""Writes charts of the kinds a plotting library draws as SVG files, for
bench/fidelity: bars and areas filled with every hatch, lines with markers,
scatter plots, pies, histograms, error bars, contours, images and legends.
  python3 bench/matplotlib-charts.py OUT_DIR [COUNT]
The same files every time (fixed seed and hash salt, no dates)."""

import sys
import warnings
from pathlib import Path

import matplotlib

matplotlib.use("svg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

HATCHES = ["/", "\\", "|", "-", "+", "x", "o", "O", ".", "*", "//", "xx", "\\\\|", "-/", "oo", ".."]
MARKERS = ["o", "s", "^", "v", "D", "*", "x", "+", "p", "h", "<", ">", "1", "|", "_", "P"]


def bars(ax, rng, i):
    n = 3 + i % 5
    x = np.arange(n)
    for j in range(2 + i % 2):
        ax.bar(x + 0.25 * j, rng.uniform(1, 10, n), 0.25, hatch=HATCHES[(i + j) % len(HATCHES)],
               edgecolor="black", color=f"C{j}", alpha=0.6 + 0.2 * (j % 2), label=f"series {j}")
    ax.legend()


def areas(ax, rng, i):
    x = np.linspace(0, 10, 60)
    y = np.sin(x + i) + 2
    ax.fill_between(x, y, 0.5 * y, hatch=HATCHES[i % len(HATCHES)], facecolor="none", edgecolor=f"C{i % 10}")
    ax.plot(x, y, color="k", linewidth=1.5)


def lines(ax, rng, i):
    x = np.linspace(0, 6, 25)
    for j in range(3):
        ax.plot(x, np.cos(x * (j + 1) / 2 + i) * (j + 1), marker=MARKERS[(i + j) % len(MARKERS)],
                linestyle=["-", "--", ":", "-."][j % 4], label=f"line {j}")
    ax.grid(True)
    ax.legend(loc="upper right")


def scatter(ax, rng, i):
    pts = rng.normal(size=(80, 2))
    ax.scatter(pts[:, 0], pts[:, 1], c=rng.uniform(size=80), s=rng.uniform(10, 120, 80),
               marker=MARKERS[i % len(MARKERS)], cmap="viridis", alpha=0.7, edgecolors="k")


def pie(ax, rng, i):
    wedges = ax.pie(rng.uniform(1, 5, 4 + i % 3), labels=None, autopct="%1.0f%%",
                    wedgeprops={"edgecolor": "w"}, explode=[0.05] * (4 + i % 3))[0]
    for k, w in enumerate(wedges):
        w.set_hatch(HATCHES[(i + k) % len(HATCHES)])


def histogram(ax, rng, i):
    ax.hist(rng.normal(size=400), bins=15 + i % 10, hatch=HATCHES[i % len(HATCHES)],
            histtype=["bar", "step", "stepfilled"][i % 3], edgecolor="k")
    ax.set_yscale("log" if i % 2 else "linear")


def errorbars(ax, rng, i):
    x = np.arange(8)
    ax.errorbar(x, rng.uniform(2, 8, 8), yerr=rng.uniform(0.2, 1, 8), xerr=0.2, fmt=MARKERS[i % 8],
                capsize=4, ecolor="gray")


def contours(ax, rng, i):
    x, y = np.meshgrid(np.linspace(-2, 2, 60), np.linspace(-2, 2, 60))
    z = np.exp(-(x ** 2 + y ** 2)) * np.cos(3 * x + i)
    cs = ax.contourf(x, y, z, levels=6 + i % 4, hatches=HATCHES[: 6 + i % 4], cmap="coolwarm", alpha=0.8)
    ax.contour(x, y, z, levels=6, colors="k", linewidths=0.5)
    plt.colorbar(cs, ax=ax)


def image(ax, rng, i):
    ax.imshow(rng.uniform(size=(12, 16)), cmap=["gray", "magma", "viridis"][i % 3],
              interpolation=["nearest", "bilinear"][i % 2])
    ax.set_title("image")


KINDS = [bars, areas, lines, scatter, pie, histogram, errorbars, contours, image]


def main():
    out = Path(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 72
    out.mkdir(parents=True, exist_ok=True)
    plt.rcParams["svg.hashsalt"] = "kelsvg"
    warnings.filterwarnings("ignore", category=UserWarning)
    for i in range(count):
        rng = np.random.default_rng(i)
        kind = KINDS[i % len(KINDS)]
        fig, ax = plt.subplots(figsize=(4 + i % 3, 3))
        kind(ax, rng, i // len(KINDS))
        ax.set_title(f"{kind.__name__} {i}")
        fig.savefig(out / f"{i:03d}-{kind.__name__}.svg", metadata={"Date": None})
        plt.close(fig)


if __name__ == "__main__":
    main()
