"""python -m moravel: the binding from the command line.

  python -m moravel info              which library is loaded, and its exports
  python -m moravel plot -o FILE      blocking against traffic, to PNG or SVG
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
    traffics = None
    if arguments.traffic_to is not None:
        low, high, n = arguments.traffic_from, arguments.traffic_to, arguments.points
        traffics = [low + (high - low) * i / (n - 1) for i in range(n)]
    try:
        with_simulation = plot.draw(arguments.output, arguments.model, arguments.servers,
                                    traffics, arguments.calls, arguments.seed,
                                    log_scale=arguments.log)
    except (ValueError, OverflowError) as error:
        print(f"moravel plot: {error}", file=sys.stderr)
        return 2
    note = "" if with_simulation else " (analytic curve only: no simulation export)"
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
    plot.add_argument("-V", "--servers", type=int, default=10, help="servers (default 10)")
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
    plot.add_argument("--log", action="store_true", help="logarithmic probability axis")
    plot.add_argument("-o", "--output", default="moravel-blocking.png",
                      help="PNG or SVG file to write (default moravel-blocking.png)")
    plot.set_defaults(run=_plot)
    arguments = parser.parse_args(argv)
    if arguments.command == "plot" and arguments.points < 2:
        parser.error("--points must be at least 2")
    try:
        return arguments.run(arguments)
    except OSError as error:
        print(f"moravel: {error}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
