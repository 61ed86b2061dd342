"""The binding against the same exports called from C: scalar results bit
for bit, texts character for character, and the full-precision model values
printed "%.6g" giving the C text character for character.  Inputs outside the models' meaning go through the raw
functions, which must pass them to the library unchanged."""

from __future__ import annotations

import math
import random
import unittest

import moravel
from moravel import raw
from support import CResults, bits

CASES = 300
SPECIAL_REALS = (0.0, -0.0, 1.0, -1.0, 0.5, 1e-300, 1e300, math.inf, -math.inf, math.nan)
SPECIAL_COUNTS = (0, 1, 2, -1, -3, 170, 171, 2**31 - 1, -(2**31))


def six_digits(values):
    """The values as the text exports print them, token by token."""
    return ["%.6g" % value for value in values]


class AgainstC(unittest.TestCase):
    @classmethod
    def setUpClass(cls) -> None:
        cls.c = CResults()

    @classmethod
    def tearDownClass(cls) -> None:
        cls.c.close()

    def setUp(self) -> None:
        self.random = random.Random(20240611)

    def real(self, low: float, high: float) -> float:
        if self.random.random() < 0.1:
            return self.random.choice(SPECIAL_REALS)
        return self.random.uniform(low, high)

    def count(self, low: int, high: int) -> int:
        if self.random.random() < 0.1:
            return self.random.choice(SPECIAL_COUNTS)
        return self.random.randint(low, high)

    def small_count(self, low: int, high: int) -> int:
        """A count that bounds a loop: the special values stay small."""
        value = self.count(low, high)
        return value if abs(value) <= 1000 else self.random.randint(low, high)

    # ---- scalar formulas ---------------------------------------------------

    def check_scalar(self, export: str, arguments) -> None:
        expected = self.c.scalar(export, *arguments)
        self.assertEqual(bits(getattr(raw, export)(*arguments)), expected,
                         f"{export}{tuple(arguments)}")

    def test_scalar_exports_return_the_c_double(self) -> None:
        for _ in range(CASES):
            V = self.count(-5, 300)
            A = self.real(0.0, 2.0 * max(V, 1))
            self.check_scalar("PalmTable", (V, A))
            self.check_scalar("ErlangFormula2", (V, A))
            self.check_scalar("E", (V, A))
            self.check_scalar("Hi", (V, A, self.count(-5, 20)))
            N = self.small_count(-2, 60)
            self.check_scalar("EngsetTable", (N, self.small_count(-2, 60), self.real(0.0, 1.2)))

    def test_formulas_return_the_c_double(self) -> None:
        for _ in range(CASES):
            V = self.random.randint(1, 400)
            A = self.random.uniform(0.0, 1.5 * V)
            self.assertEqual(bits(moravel.erlang_b(V, A)), self.c.scalar("PalmTable", V, A))
            A = self.random.uniform(0.0, V)
            self.assertEqual(bits(moravel.erlang_c(V, A)),
                             self.c.scalar("ErlangFormula2", V, A))
            N, a = self.random.randint(1, 80), self.random.uniform(0.0, 0.99)
            V = self.random.randint(1, 80)
            self.assertEqual(bits(moravel.engset(N, V, a)), self.c.scalar("EngsetTable", N, V, a))
            V = self.random.randint(0, 60)
            A = self.random.uniform(0.01, 30.0)
            self.assertEqual(bits(moravel.erlang_b_direct(V, A)), self.c.scalar("E", V, A))
            i = self.random.randint(0, V)
            self.assertEqual(bits(moravel.erlang_b_ratio(V, A, i)), self.c.scalar("Hi", V, A, i))

    # ---- single-service models ---------------------------------------------

    def check_text(self, export: str, arguments) -> str:
        expected = self.c.text(export, *arguments)
        self.assertEqual(getattr(raw, export)(*arguments), expected,
                         f"{export}{tuple(arguments)}")
        return expected

    def test_single_service_texts_match_c(self) -> None:
        for _ in range(CASES):
            V = self.count(-3, 200)
            A = self.real(0.0, 1.5 * max(V, 1))
            self.check_text("M_M_V_L_an", (V, A))
            N = self.small_count(-2, 50)
            self.check_text("Mi_M_V_L_an", (N, self.small_count(-2, 50), self.real(0.0, 1.2)))
            self.check_text("M_G_V_L_an", (self.real(0.0, 5.0), self.real(0.0, 5.0),
                                           self.real(0.0, 5.0), self.small_count(-2, 50),
                                           self.small_count(-2, 10)))
            classes = self.random.randint(0, 6)
            traffic = [self.real(0.0, 8.0) for _ in range(classes)]
            self.check_text("M_M_V_L_PRA_an", (classes, self.small_count(-2, 40), traffic))
            self.check_text("M_M_V_W_FF_R_an", (self.real(0.0, 3.0), self.real(0.0, 3.0),
                                                self.small_count(-2, 50), self.real(0.0, 50.0)))

    def test_single_service_values_are_the_c_numbers(self) -> None:
        for _ in range(CASES):
            V = self.random.randint(1, 200)
            A = self.random.uniform(0.0, 1.5 * V)
            self.assertEqual(six_digits(moravel.loss(V, A)),
                             self.c.text("M_M_V_L_an", V, A).split())
            N, V, a = self.random.randint(1, 50), self.random.randint(1, 50), self.random.random()
            self.assertEqual(six_digits(moravel.loss_finite(N, V, a)),
                             self.c.text("Mi_M_V_L_an", N, V, a).split())
            x, y, z = (self.random.uniform(0.1, 5.0) for _ in range(3))
            V, n = self.random.randint(1, 50), self.random.randint(0, 10)
            self.assertEqual(six_digits(moravel.loss_assembled(x, y, z, V, n)),
                             self.c.text("M_G_V_L_an", x, y, z, V, n).split())
            traffic = [self.random.uniform(0.0, 8.0) for _ in range(self.random.randint(1, 6))]
            V = self.random.randint(1, 40)
            values = [v for pair in moravel.loss_priority(V, traffic) for v in pair]
            self.assertEqual(six_digits(values),
                             self.c.text("M_M_V_L_PRA_an", len(traffic), V, traffic).split())
            V = self.random.randint(1, 50)
            A, t, h = self.random.uniform(0.0, V * 0.999), self.random.uniform(0.0, 3.0), \
                self.random.uniform(0.01, 3.0)
            self.assertEqual(six_digits(moravel.wait(V, A, t, h)),
                             self.c.text("M_M_V_W_FF_R_an", t, h, V, A).split())

    # ---- simulations with a seed -------------------------------------------

    def test_loss_simulation_matches_c(self) -> None:
        for _ in range(40):
            A, V = self.random.uniform(0.1, 20.0), self.random.randint(1, 20)
            N, seed = self.random.randint(1, 3000), self.random.randint(1, 2**32 - 1)
            text = self.check_text("M_M_V_L_im", (A, V, N, seed))
            loss, carried = text.split()
            # The legacy estimate a t (1 - E) may pass the servers in a short
            # run; the second interface reports at most what they hold.
            if float(carried) > V:
                carried = "%.6g" % V
            self.assertEqual(six_digits(moravel.simulate_loss(A, V, N, seed)), [loss, carried])

    def test_waiting_simulation_matches_c(self) -> None:
        for _ in range(40):
            V = self.random.randint(1, 20)
            A, t = self.random.uniform(0.1, V * 0.95), self.random.uniform(0.0, 2.0)
            N, seed = self.random.randint(1, 3000), self.random.randint(1, 2**32 - 1)
            text = self.check_text("M_M_V_W_FF_R_im", (A, V, N, t, seed))
            self.assertEqual(six_digits(moravel.simulate_wait(A, V, N, t, seed)), text.split())

    # ---- multi-rate link groups --------------------------------------------

    def random_classes(self):
        classes = self.random.randint(1, 3)
        return [(self.random.uniform(0.0, 3.0),
                 float(self.random.randint(1, 3)))
                for _ in range(classes)]

    def test_link_group_matches_c(self) -> None:
        for _ in range(60):
            classes = self.random_classes()
            a, t = [c[0] for c in classes], [c[1] for c in classes]
            k, f = self.random.randint(1, 3), self.random.randint(1, 6)
            text = self.check_text("VM_VMl_V_L_an", (a, len(a), t, k, f))
            values = [v for pair in moravel.link_group(classes, k, f) for v in pair]
            self.assertEqual(six_digits(values), text.split())
        for refused in (([], 0, [], 2, 3), ([1.0], 1, [-1.0], 2, 3)):
            self.assertEqual(self.check_text("VM_VMl_V_L_an", refused), "")

    def test_link_subset_matches_c(self) -> None:
        for _ in range(60):
            classes = self.random_classes()
            a, t = [c[0] for c in classes], [c[1] for c in classes]
            k, f = self.random.randint(1, 3), self.random.randint(1, 6)
            g = self.random.randint(1, k)
            text = self.check_text("VM_VMl_VDg_L_an", (a, len(a), t, k, f, g))
            values = [v for pair in moravel.link_subset(classes, k, f, g) for v in pair]
            self.assertEqual(six_digits(values), text.split())
        self.assertEqual(self.check_text("VM_VMl_VDg_L_an", ([1.0], 1, [1.0], 2, 3, 3)), "")


if __name__ == "__main__":
    unittest.main()
