"""Many points in one call: every point of an array call gives the bits of
its single-point call, with numpy and with plain sequences, and a refused
point is named by its position and values."""

from __future__ import annotations

import math
import unittest
import unittest.mock

import moravel
from moravel import _arrays

from support import bits

try:
    import numpy
except ImportError:
    numpy = None

# function -> points, each the arguments of one single-point call.
POINTS = {
    moravel.erlang_b: [(1, 0.0), (5, 3.0), (30, 24.0), (200, 180.0), (7, 1e-300), (3, 1e6)],
    moravel.erlang_c: [(1, 0.0), (5, 3.0), (30, 24.0), (200, 199.5), (9, 8.999999)],
    moravel.engset: [(10, 5, 0.2), (5, 10, 0.3), (1, 1, 0.0), (40, 20, 0.9)],
    moravel.erlang_b_direct: [(0, 2.0), (10, 5.0), (170, 100.0 / 3), (1, 0.0)],
    moravel.erlang_b_ratio: [(10, 5.0, 3), (100, 30.0, 20), (5, 2.0, 0)],
    moravel.loss: [(10, 5.0), (1, 0.0), (300, 280.5), (2, 1e9)],
    moravel.loss_finite: [(10, 5, 0.2), (3, 7, 0.5), (50, 49, 0.999)],
    moravel.loss_assembled: [(2.0, 3.0, 1.5, 4, 3), (1.0, 1.0, 0.0, 1, 0), (0.5, 9.0, 2.0, 30, 7)],
    moravel.wait: [(30, 20.0, 60.0, 180.0), (1, 0.5, 0.0, 1.0), (10, 9.99, 3.0, 0.25)],
}


def columns(points):
    return [list(column) for column in zip(*points)]


def flat_bits(result):
    """Bits of an array result: a list of floats, or per field for models."""
    if isinstance(result, tuple):
        return tuple(flat_bits(field) for field in result)
    return [bits(float(value)) for value in result]


def single_bits(function, points):
    results = [function(*point) for point in points]
    if isinstance(results[0], tuple):
        return tuple([bits(result[f]) for result in results] for f in range(len(results[0])))
    return [bits(result) for result in results]


class EveryPointAsItsSingleCall(unittest.TestCase):
    def check(self) -> None:
        for function, points in POINTS.items():
            with self.subTest(function=function.__name__):
                self.assertEqual(flat_bits(function(*columns(points))),
                                 single_bits(function, points))

    @unittest.skipIf(numpy is None, "no numpy")
    def test_with_numpy(self) -> None:
        self.check()
        result = moravel.erlang_b(numpy.array([5, 30]), numpy.array([3.0, 24.0]))
        self.assertIsInstance(result, numpy.ndarray)
        self.assertEqual(result.dtype, numpy.float64)

    def test_with_plain_sequences(self) -> None:
        with unittest.mock.patch.object(_arrays, "numpy", None):
            self.check()
            self.assertIsInstance(moravel.erlang_b([5, 30], 3.0), list)
            self.assertEqual(moravel.erlang_b([], []), [])


@unittest.skipIf(numpy is None, "no numpy")
class Broadcasting(unittest.TestCase):
    def test_a_grid_of_servers_and_traffics(self) -> None:
        servers = numpy.array([[5], [10], [20]])
        traffic = numpy.linspace(1.0, 15.0, 4)
        result = moravel.loss(servers, traffic)
        self.assertEqual(result.loss.shape, (3, 4))
        for i, v in enumerate(servers[:, 0]):
            for j, a in enumerate(traffic):
                self.assertEqual(bits(result.loss[i, j]), bits(moravel.erlang_b(int(v), a)))
                self.assertEqual(bits(result.carried[i, j]),
                                 bits(moravel.loss(int(v), a).carried))

    def test_whole_valued_floats_count_as_servers(self) -> None:
        self.assertEqual(flat_bits(moravel.erlang_b(numpy.array([5.0, 10.0]), 3.0)),
                         [bits(moravel.erlang_b(5, 3.0)), bits(moravel.erlang_b(10, 3.0))])

    def test_refused_shapes_and_counts(self) -> None:
        for call, error, text in [
                (lambda: moravel.erlang_b([1, 2, 3], [1.0, 2.0]), ValueError, "broadcast"),
                (lambda: moravel.erlang_b([1.5, 2.0], 1.0), TypeError, "servers"),
                (lambda: moravel.erlang_b([2**31], 1.0), OverflowError, "servers"),
                (lambda: moravel.erlang_b(["a"], 1.0), TypeError, "servers")]:
            with self.subTest(text=text), self.assertRaisesRegex(error, text):
                call()


class RefusedPoint(unittest.TestCase):
    def test_the_first_refused_point_is_named(self) -> None:
        for numpy_module in ((numpy,) if numpy is not None else ()) + (None,):
            with unittest.mock.patch.object(_arrays, "numpy", numpy_module), \
                    self.subTest(numpy=numpy_module is not None):
                with self.assertRaises(moravel.ArgumentError) as caught:
                    moravel.erlang_b([10, 10, 0, -1], [5.0, math.nan, 1.0, 1.0])
                error = caught.exception
                self.assertIsInstance(error, ValueError)
                self.assertEqual(error.index, 1)
                self.assertEqual(error.message, "traffic must be finite and not negative")
                self.assertIn("point 1 (servers=10, traffic=nan)", str(error))
                with self.assertRaises(moravel.ArgumentError) as caught:
                    moravel.wait([10, 10], [5.0, 10.0], 1.0, 1.0)
                self.assertEqual(caught.exception.index, 1)
                self.assertIn("traffic", str(caught.exception))

    def test_the_status_survives_pickling(self) -> None:
        import pickle
        try:
            moravel.erlang_b([1, 0], 1.0)
        except moravel.ArgumentError as error:
            copy = pickle.loads(pickle.dumps(error))
            self.assertEqual((type(copy), copy.status, copy.message, copy.index, str(copy)),
                             (type(error), error.status, error.message, error.index,
                              str(error)))


if __name__ == "__main__":
    unittest.main()
