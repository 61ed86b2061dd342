"""Blocking against offered traffic, analytic curve and simulated points.

Used by ``python -m moravel plot``; needs matplotlib and draws headless (Agg),
so it runs without a display.  The file's extension (.png or .svg) picks the
format.
"""

from __future__ import annotations

from typing import List, Optional, Sequence

import moravel

# model -> (analytic formula, simulation export, y label)
MODELS = {
    "loss": ("Erlang B", "M_M_V_L_im", "loss probability"),
    "wait": ("Erlang C", "M_M_V_W_FF_R_im", "probability of waiting"),
}


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


def draw(output: str, model: str = "loss", servers: int = 10,
         traffics: Optional[Sequence[float]] = None, calls: int = 20000, seed: int = 1,
         simulated_points: int = 12, log_scale: bool = False) -> bool:
    """Writes the figure to `output`; returns whether simulated points are in it
    (they are when the loaded library carries the model's simulation)."""
    import matplotlib

    matplotlib.use("Agg")
    from matplotlib import pyplot

    formula, simulation, label = MODELS[model]
    if traffics is None:
        traffics = default_traffics(model, servers, 60)
    curve = [analytic(model, servers, a) for a in traffics]

    figure, axes = pyplot.subplots(figsize=(7, 4.5), dpi=100)
    axes.plot(traffics, curve, color="tab:blue", label=f"{formula}, {servers} servers")
    with_simulation = moravel.has_export(simulation)
    if with_simulation:
        step = max(1, len(traffics) // simulated_points)
        # A simulation needs some traffic to offer calls at all.
        sample = [a for a in list(traffics)[step - 1::step] if a > 0.0]
        points = [simulated(model, servers, a, calls, seed) for a in sample]
        axes.plot(sample, points, "o", color="tab:orange",
                  label=f"simulation, {calls} calls")
    else:
        axes.text(0.98, 0.03, f"no {simulation} in this libMoravel: analytic curve only",
                  transform=axes.transAxes, fontsize=8, ha="right", va="bottom", color="grey")
    axes.set_xlabel("offered traffic [erlang]")
    axes.set_ylabel(label)
    if log_scale:
        axes.set_yscale("log")
    axes.set_title(f"{label.capitalize()} against offered traffic")
    axes.grid(True, alpha=0.3)
    axes.legend(loc="upper left")
    figure.tight_layout()
    figure.savefig(output)
    pyplot.close(figure)
    return with_simulation
