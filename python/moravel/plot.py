"""Blocking against offered traffic: analytic curves and simulated points.

Used by ``python -m moravel plot``; needs matplotlib and draws headless (Agg),
so it runs without a display.  The file's extension (.png or .svg) picks the
format.

* ``draw`` plots a family of curves, one per server count, with simulated
  points on each: the mean of several seeded replications with its 95%
  confidence interval as an error bar.  The probability axis is logarithmic
  unless asked otherwise, down to a decade below the least loss the
  simulation can see; a simulated point that saw no loss at all cannot sit
  on a log axis, so it is drawn as an open triangle on that floor ("no loss
  in R x N calls") rather than dropped.
* ``draw_csv`` plots a table written by ``moravel sweep --format csv``.
"""

from __future__ import annotations

import csv
import math
import statistics
from typing import Dict, List, Optional, Sequence, Tuple, Union

import moravel

# model -> (analytic formula, y label)
MODELS = {
    "loss": ("Erlang B", "loss probability"),
    "wait": ("Erlang C", "probability of waiting"),
}

# Student's t at 97.5% for 1..30 degrees of freedom, then the normal value.
_T975 = [12.706, 4.303, 3.182, 2.776, 2.571, 2.447, 2.365, 2.306, 2.262, 2.228, 2.201, 2.179,
         2.160, 2.145, 2.131, 2.120, 2.110, 2.101, 2.093, 2.086, 2.080, 2.074, 2.069, 2.064,
         2.060, 2.056, 2.052, 2.048, 2.045, 2.042]


def default_traffics(model: str, servers: int, points: int) -> List[float]:
    """Offered traffics spread over the useful range of the model: up to
    1.5 V for a loss system, below V for a waiting system."""
    top = 1.5 * servers if model == "loss" else 0.95 * servers
    return [top * (i + 1) / points for i in range(points)]


def analytic(model: str, servers: int, traffic: float) -> float:
    if model == "loss":
        return moravel.erlang_b(servers, traffic)
    return moravel.erlang_c(servers, traffic)


def simulated(model: str, servers: int, traffic: float, calls: int, seed: int) -> float:
    if model == "loss":
        return moravel.simulate_loss(traffic, servers, calls, seed).loss
    return moravel.simulate_wait(traffic, servers, calls, 0.0, seed).wait


def replicated(model: str, servers: int, traffic: float, calls: int, seed: int,
               replications: int) -> Tuple[float, float]:
    """Mean of `replications` runs seeded seed, seed + 1, ... (seed 0: the
    clock for each) and the half-width of its 95% confidence interval (0
    for a single run)."""
    values = [simulated(model, servers, traffic, calls, seed + r if seed else 0)
              for r in range(replications)]
    mean = statistics.fmean(values)
    if replications < 2:
        return mean, 0.0
    t = _T975[replications - 2] if replications - 1 <= len(_T975) else 1.960
    return mean, t * statistics.stdev(values) / math.sqrt(replications)


def _axis_floor(values: Sequence[float]) -> float:
    """A floor for a log axis: a decade below the smallest positive value."""
    positive = [v for v in values if v > 0.0]
    return 10.0 ** (math.floor(math.log10(min(positive))) - 1) if positive else 1e-6


def draw(output: str, model: str = "loss", servers: Union[int, Sequence[int]] = 10,
         traffics: Optional[Sequence[float]] = None, calls: int = 20000, seed: int = 1,
         simulated_points: int = 12, log_scale: bool = True, replications: int = 5) -> bool:
    """Writes the figure to `output`: one analytic curve per server count,
    simulated points with 95% error bars on each (none when
    simulated_points is 0).  Returns whether simulated points are in it."""
    import matplotlib

    matplotlib.use("Agg")
    from matplotlib import pyplot

    pyplot.rcParams["svg.fonttype"] = "none"  # SVG text stays text, editable
    family = [servers] if isinstance(servers, int) else list(servers)
    if not family:
        raise ValueError("servers: give at least one server count")
    formula, label = MODELS[model]
    figure, axes = pyplot.subplots(figsize=(7, 4.5), dpi=100)
    colours = pyplot.rcParams["axes.prop_cycle"].by_key()["color"]
    curves: Dict[int, Tuple[List[float], List[float]]] = {}
    every_value: List[float] = []
    for V in family:
        xs = list(traffics) if traffics is not None else default_traffics(model, V, 60)
        ys = [analytic(model, V, a) for a in xs]
        curves[V] = (xs, ys)
        every_value += ys
    simulations: Dict[int, List[Tuple[float, float, float]]] = {}
    if simulated_points > 0:
        for V, (xs, _) in curves.items():
            step = max(1, len(xs) // simulated_points)
            # A simulation needs some traffic to offer calls at all.
            sample = [a for a in xs[step - 1::step] if a > 0.0]
            simulations[V] = [(a, *replicated(model, V, a, calls, seed, replications))
                              for a in sample]
            every_value += [mean for _, mean, _ in simulations[V]]
    # With simulated points, the floor is a decade below the least loss a
    # run can see (one call in all the replications); curves are drawn down
    # to it.
    resolution = 1.0 / (replications * calls)
    floor = 0.0
    if log_scale:
        floor = (10.0 ** (math.floor(math.log10(resolution)) - 1) if simulations
                 else _axis_floor(every_value))
    zero_label_done = False
    for index, V in enumerate(family):
        colour = colours[index % len(colours)]
        xs, ys = curves[V]
        shown = [(a, y) for a, y in zip(xs, ys) if not log_scale or y >= floor]
        axes.plot([a for a, _ in shown], [y for _, y in shown], color=colour,
                  label=f"{formula}, {V} servers")
        points = simulations.get(V, [])
        seen = [(a, m, w) for a, m, w in points if m > 0.0 or not log_scale]
        if seen:
            # An error bar must not reach below a log axis's floor.
            lower = [min(w, m - floor) if log_scale else w for _, m, w in seen]
            axes.errorbar([a for a, _, _ in seen], [m for _, m, _ in seen],
                          yerr=[lower, [w for _, _, w in seen]], fmt="o", color=colour,
                          markersize=4, capsize=2)
        zeros = [a for a, m, _ in points if m <= 0.0 and log_scale]
        if zeros:
            axes.plot(zeros, [floor] * len(zeros), "v", markerfacecolor="none", color=colour,
                      label=None if zero_label_done else
                      f"no loss in {replications} x {calls} calls")
            zero_label_done = True
    if simulations:
        axes.plot([], [], "o", color="grey",
                  label=f"simulation: mean of {replications} x {calls} calls, 95% CI")
    axes.set_xlabel("offered traffic [erlang]")
    axes.set_ylabel(label)
    if log_scale:
        axes.set_yscale("log")
        axes.set_ylim(bottom=floor / 2)
    axes.set_title(f"{label.capitalize()} against offered traffic")
    axes.grid(True, alpha=0.3)
    axes.legend(loc="best", fontsize=8)
    figure.tight_layout()
    figure.savefig(output)
    pyplot.close(figure)
    return bool(simulations)


def read_sweep_csv(path: str) -> Tuple[List[str], List[Dict[str, float]]]:
    """The header and the rows of a `moravel sweep --format csv` table, every
    cell a number."""
    with open(path, newline="", encoding="utf-8") as table:
        reader = csv.DictReader(table)
        header = list(reader.fieldnames or [])
        rows = []
        for number, row in enumerate(reader, start=2):
            try:
                rows.append({name: float(row[name]) for name in header})
            except (TypeError, ValueError):
                raise ValueError(f"{path}: line {number} is not all numbers: {row}") from None
    if len(header) < 2 or not rows:
        raise ValueError(f"{path}: needs a header of at least two columns and one row")
    return header, rows


def draw_csv(path: str, output: str, x: Optional[str] = None,
             y: Optional[Sequence[str]] = None, log_scale: Optional[bool] = None) -> List[str]:
    """Plots a sweep's table: x is the column that varies (the first one that
    does, unless named), y every other column that varies (unless named), one
    line each.  The axis is logarithmic when every plotted value lies in
    (0, 1] (probabilities), unless log_scale says otherwise.  Returns the
    plotted columns."""
    import matplotlib

    matplotlib.use("Agg")
    from matplotlib import pyplot

    pyplot.rcParams["svg.fonttype"] = "none"
    header, rows = read_sweep_csv(path)
    varying = [name for name in header if len({row[name] for row in rows}) > 1]
    for name in [x, *(y or [])]:
        if name is not None and name not in header:
            raise ValueError(f"{path}: no column {name!r} (columns: {', '.join(header)})")
    x = x or (varying[0] if varying else header[0])
    columns = list(y) if y else [name for name in varying if name != x]
    if not columns:
        raise ValueError(f"{path}: nothing varies but {x!r}: no curve to draw")
    values = [row[name] for row in rows for name in columns]
    if log_scale is None:
        log_scale = all(0.0 < v <= 1.0 for v in values)
    figure, axes = pyplot.subplots(figsize=(7, 4.5), dpi=100)
    ordered = sorted(rows, key=lambda row: row[x])
    for name in columns:
        axes.plot([row[x] for row in ordered], [row[name] for row in ordered], "o-",
                  markersize=3, label=name)
    axes.set_xlabel(x)
    axes.set_ylabel(columns[0] if len(columns) == 1 else "value")
    if log_scale:
        axes.set_yscale("log")
    fixed = [f"{name} = {rows[0][name]:g}" for name in header if name not in varying]
    axes.set_title(", ".join(fixed) if fixed else f"{', '.join(columns)} against {x}")
    axes.grid(True, alpha=0.3)
    axes.legend(loc="best", fontsize=8)
    figure.tight_layout()
    figure.savefig(output)
    pyplot.close(figure)
    return columns
