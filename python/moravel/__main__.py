"""python -m moravel: the binding from the command line.

  python -m moravel info              which library is loaded, and its exports
  python -m moravel plot -o FILE      blocking against traffic, to PNG or SVG
  python -m moravel plot --csv TABLE  a `moravel sweep --format csv` table
"""

from __future__ import annotations

import argparse
import os
import sys

import moravel


def _info(_arguments) -> int:
    print(f"libMoravel: {moravel.library_path()}")
    print("exports:", " ".join(moravel.exports()))
    return 0


def _plot(arguments) -> int:
    extension = os.path.splitext(arguments.output)[1].lower()
    if extension not in (".png", ".svg"):
        print(f"moravel plot: --output must end in .png or .svg, got {arguments.output!r}",
              file=sys.stderr)
        return 2
    try:
        from moravel import plot
        import matplotlib  # noqa: F401
    except ImportError:
        print("moravel plot: needs matplotlib (Debian: python3-matplotlib, "
              "run with /usr/bin/python3)", file=sys.stderr)
        return 2
    log_scale = False if arguments.linear else (True if arguments.log else None)
    if arguments.csv is not None:
        try:
            columns = plot.draw_csv(arguments.csv, arguments.output, arguments.x,
                                    arguments.y, log_scale)
        except ValueError as error:
            print(f"moravel plot: {error}", file=sys.stderr)
            return 2
        print(f"wrote {arguments.output} ({', '.join(columns)} from {arguments.csv})")
        return 0
    traffics = None
    if arguments.traffic_to is not None:
        low, high, n = arguments.traffic_from, arguments.traffic_to, arguments.points
        traffics = [low + (high - low) * i / (n - 1) for i in range(n)]
    try:
        servers = [int(part) for part in arguments.servers.split(",")]
    except ValueError:
        print(f"moravel plot: --servers takes whole numbers separated by commas, "
              f"not {arguments.servers!r}", file=sys.stderr)
        return 2
    try:
        with_simulation = plot.draw(arguments.output, arguments.model, servers, traffics,
                                    arguments.calls, arguments.seed,
                                    simulated_points=arguments.simulated_points,
                                    log_scale=log_scale is not False,
                                    replications=arguments.replications)
    except (ValueError, OverflowError) as error:
        print(f"moravel plot: {error}", file=sys.stderr)
        return 2
    note = "" if with_simulation else " (analytic curves only)"
    print(f"wrote {arguments.output}{note}")
    return 0


def main(argv=None) -> int:
    parser = argparse.ArgumentParser(prog="python -m moravel",
                                     description="libMoravel from Python")
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser("info", help="the loaded library and its exports").set_defaults(
        run=_info)
    plot = commands.add_parser("plot", help="blocking against offered traffic")
    plot.add_argument("--model", choices=("loss", "wait"), default="loss",
                      help="loss: Erlang B and its simulation; wait: Erlang C and its "
                           "simulation (default: loss)")
    plot.add_argument("-V", "--servers", default="10",
                      help="servers, or several separated by commas for a family of curves "
                           "(default 10)")
    plot.add_argument("--traffic-from", type=float, default=0.0,
                      help="lowest offered traffic [erlang] (with --traffic-to)")
    plot.add_argument("--traffic-to", type=float, default=None,
                      help="highest offered traffic [erlang] (default: 1.5 V for loss, "
                           "0.95 V for wait)")
    plot.add_argument("--points", type=int, default=60, help="points on the curve")
    plot.add_argument("-N", "--calls", type=int, default=20000,
                      help="calls per simulated point (default 20000)")
    plot.add_argument("--seed", type=int, default=1,
                      help="simulation seed, 0 for the clock (default 1)")
    plot.add_argument("--replications", type=int, default=5,
                      help="simulated runs per point, for its 95%% error bar (default 5)")
    plot.add_argument("--simulated-points", type=int, default=12,
                      help="simulated points per curve, 0 for none (default 12)")
    scale = plot.add_mutually_exclusive_group()
    scale.add_argument("--log", action="store_true",
                       help="logarithmic probability axis (the default for curves)")
    scale.add_argument("--linear", action="store_true", help="linear probability axis")
    plot.add_argument("--csv", default=None,
                      help="plot this `moravel sweep --format csv` table instead of curves")
    plot.add_argument("--x", default=None, help="with --csv: the column along x")
    plot.add_argument("--y", action="append", default=None,
                      help="with --csv: a column to plot (repeatable; default: every other "
                           "column that varies)")
    plot.add_argument("-o", "--output", default="moravel-blocking.png",
                      help="PNG or SVG file to write (default moravel-blocking.png)")
    plot.set_defaults(run=_plot)
    arguments = parser.parse_args(argv)
    if arguments.command == "plot" and arguments.points < 2:
        parser.error("--points must be at least 2")
    if arguments.command == "plot" and arguments.replications < 1:
        parser.error("--replications must be at least 1")
    try:
        return arguments.run(arguments)
    except OSError as error:
        print(f"moravel: {error}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
