"""The fifteen exports of libMoravel as the C header declares them.

Arguments keep their C names and order; scalar exports return the C double
and text-returning exports a copy of the result text as a str, exactly as the
library wrote it ("" where the library refuses the input).  Nothing is checked
beyond what keeps the call safe: counts must fit in 32 bits (OverflowError),
arrays must hold at least as many values as their count says (ValueError),
and the policy keyword must be a str or bytes without zero bytes.  An array
may be None (a null pointer) only when its count asks for no value.

The text-returning functions hold the package's lock around the call, so they
may be used from several threads.
"""

from __future__ import annotations

from . import _checks
from ._library import call_text, function

__all__ = [
    "PalmTable", "ErlangFormula2", "EngsetTable", "E", "Hi",
    "M_M_V_L_an", "Mi_M_V_L_an", "M_G_V_L_an", "M_M_V_L_PRA_an", "M_M_V_W_FF_R_an",
    "M_M_V_L_im", "M_M_V_W_FF_R_im",
    "VM_VMl_V_L_an", "VM_VMl_VDg_L_an", "VM_VMl_VDg_L_im",
]

_int = _checks.int32
_real = _checks.real


def PalmTable(V, A) -> float:
    """Erlang B by recursion: PalmTable(int V, double A) -> double."""
    return function("PalmTable")(_int("V", V), _real("A", A))


def ErlangFormula2(V, A) -> float:
    """Erlang C: ErlangFormula2(int V, double A) -> double."""
    return function("ErlangFormula2")(_int("V", V), _real("A", A))


def EngsetTable(N, V, a) -> float:
    """Engset call congestion: EngsetTable(int N, int V, double a) -> double."""
    return function("EngsetTable")(_int("N", N), _int("V", V), _real("a", a))


def E(V, A) -> float:
    """Erlang B in direct form: E(int V, double A) -> double."""
    return function("E")(_int("V", V), _real("A", A))


def Hi(V, A, i) -> float:
    """E(V, A) / E(V - i, A): Hi(int V, double A, int i) -> double."""
    return function("Hi")(_int("V", V), _real("A", A), _int("i", i))


def M_M_V_L_an(V, A) -> str:
    """Erlang loss system: "B Y"."""
    return call_text("M_M_V_L_an", _int("V", V), _real("A", A))


def Mi_M_V_L_an(N, V, a) -> str:
    """Engset loss system: "B Y"."""
    return call_text("Mi_M_V_L_an", _int("N", N), _int("V", V), _real("a", a))


def M_G_V_L_an(x, y, z, V, n) -> str:
    """Erlang loss system on the load (n / (1/x + 1/y)) * (z/y + 1): "B Y"."""
    return call_text("M_G_V_L_an", _real("x", x), _real("y", y), _real("z", z),
                     _int("V", V), _int("n", n))


def M_M_V_L_PRA_an(N, V, a) -> str:
    """Priority classes on V servers: "E0 Y0 E1 Y1 ... "."""
    N = _int("N", N)
    return call_text("M_M_V_L_PRA_an", N, _int("V", V), _checks.doubles("a", a, N))


def M_M_V_W_FF_R_an(t, h, V, A) -> str:
    """Erlang delay system: "C P(W>t) W Wq Lq"."""
    return call_text("M_M_V_W_FF_R_an", _real("t", t), _real("h", h), _int("V", V),
                     _real("A", A))


def M_M_V_L_im(A, V, N, seed) -> str:
    """Simulated Erlang loss system: "B Y"."""
    return call_text("M_M_V_L_im", _real("A", A), _int("V", V), _int("N", N),
                     _checks.uint32("seed", seed))


def M_M_V_W_FF_R_im(A, V, N, t, seed) -> str:
    """Simulated Erlang delay system: "C P(W>t) W Wq Lq"."""
    return call_text("M_M_V_W_FF_R_im", _real("A", A), _int("V", V), _int("N", N),
                     _real("t", t), _checks.uint32("seed", seed))


def VM_VMl_V_L_an(a, M, t, k, f) -> str:
    """Multi-rate link group: "E0 C0 E1 C1 ... "."""
    M = _int("M", M)
    return call_text("VM_VMl_V_L_an", _checks.doubles("a", a, M), M,
                     _checks.doubles("t", t, M), _int("k", k), _int("f", f))


def VM_VMl_VDg_L_an(a, M, t, k, f, g) -> str:
    """Multi-rate link group, calls offered to g-link subsets: "E0 C0 ... "."""
    M = _int("M", M)
    return call_text("VM_VMl_VDg_L_an", _checks.doubles("a", a, M), M,
                     _checks.doubles("t", t, M), _int("k", k), _int("f", f), _int("g", g))


def VM_VMl_VDg_L_im(a, M, t, k, f, g, N, policy) -> str:
    """Simulated link-subset group: "E0 C0 E1 C1 ... "."""
    M = _int("M", M)
    return call_text("VM_VMl_VDg_L_im", _checks.doubles("a", a, M), M,
                     _checks.doubles("t", t, M), _int("k", k), _int("f", f), _int("g", g),
                     _int("N", N), _checks.keyword("policy", policy))
