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


# The sweep columns that are probabilities, by the names the tool gives them:
# they share one axis, logarithmic when they span decades.  Any other column
# is a quantity of its own (traffic, carried units, times, agents) on its own
# linear axis, so that carried traffic of 10-28 erlangs does not flatten a
# loss of 0-0.3 beside it.
PROBABILITY_COLUMNS = frozenset({
    "loss", "blocking", "wait_probability", "wait_exceeds", "service_level", "occupancy",
    "target", "service_level_target",
    "wait_probability_target",
})


def panels(rows: Sequence[Dict[str, float]], columns: Sequence[str],
           log_scale: Optional[bool] = None) -> List[Tuple[List[str], bool]]:
    """How draw_csv lays out `columns`: a list of (columns, logarithmic) per
    panel, the probabilities first and together, then every other column on
    its own.  A probability panel is logarithmic when its positive values
    span more than a decade (log_scale True or False forces the choice;
    a panel with a value of 0 or less stays linear)."""
    probabilities = [name for name in columns if name in PROBABILITY_COLUMNS]
    laid_out = [probabilities] if probabilities else []
    laid_out += [[name] for name in columns if name not in PROBABILITY_COLUMNS]
    result = []
    for names in laid_out:
        values = [row[name] for row in rows for name in names]
        positive = [v for v in values if v > 0.0]
        can_log = bool(positive) and len(positive) == len(values)
        if log_scale is None:
            logarithmic = (can_log and names is probabilities
                           and max(positive) / min(positive) > 10.0)
        else:
            logarithmic = log_scale and can_log
        result.append((list(names), logarithmic))
    return result


def _number(value: float) -> str:
    """A whole number in all its digits ("100000", not "1e+05"), else %g."""
    return f"{value:.0f}" if value.is_integer() and abs(value) < 2.0**53 else f"{value:g}"


def draw_csv(path: str, output: str, x: Optional[str] = None,
             y: Optional[Sequence[str]] = None, log_scale: Optional[bool] = None) -> List[str]:
    """Plots a sweep's table: x is the column that varies (the first one that
    does, unless named), y every other column that varies (unless named).
    The probabilities share one panel, logarithmic where they span decades;
    each other quantity has a linear panel of its own, all over one x axis
    (see panels; log_scale True or False forces the scale).  Returns the
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
    layout = panels(rows, columns, log_scale)
    figure, grid = pyplot.subplots(len(layout), 1, sharex=True, squeeze=False,
                                   figsize=(7, 2.2 + 2.3 * len(layout)), dpi=100)
    ordered = sorted(rows, key=lambda row: row[x])
    for (names, logarithmic), axes in zip(layout, grid[:, 0]):
        for name in names:
            axes.plot([row[x] for row in ordered], [row[name] for row in ordered], "o-",
                      markersize=3, label=name)
        axes.set_ylabel(names[0] if len(names) == 1 else "probability")
        if logarithmic:
            axes.set_yscale("log")
        axes.grid(True, alpha=0.3)
        if len(names) > 1:
            axes.legend(loc="best", fontsize=8)
    grid[-1, 0].set_xlabel(x)
    fixed = [f"{name} = {_number(rows[0][name])}" for name in header if name not in varying]
    grid[0, 0].set_title(", ".join(fixed) if fixed else f"{', '.join(columns)} against {x}")
    figure.tight_layout()
    figure.savefig(output)
    pyplot.close(figure)
    return columns
