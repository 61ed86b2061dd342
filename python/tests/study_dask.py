"""moravel.study on a Dask cluster: a LocalCluster of two worker processes
gives the rows of the calling process, bit for bit, through
client.get_executor(); and the README's cluster example runs as shown.

Run with an interpreter that has dask.distributed (Debian's /usr/bin/python3
with python3-distributed); without it every test is skipped with a message.
The cluster listens on 127.0.0.1 only and has no dashboard.
"""

from __future__ import annotations

import logging
import os
import subprocess
import sys
import tempfile
import unittest

try:
    from dask.distributed import Client, LocalCluster
except ImportError:  # pragma: no cover - depends on the machine
    Client = LocalCluster = None

from moravel import study

from study_support import bits, readme_example, studies

NO_DASK = (f"no dask.distributed for {sys.executable} "
           "(Debian: apt-get install python3-distributed)")


@unittest.skipIf(Client is None, NO_DASK)
class OnALocalCluster(unittest.TestCase):
    @classmethod
    def setUpClass(cls) -> None:
        cls.cluster = LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                   host="127.0.0.1", dashboard_address=None,
                                   silence_logs=logging.ERROR)
        cls.client = Client(cls.cluster, timeout="60s")
        cls.client.wait_for_workers(2, timeout=60)
        cls.executor = cls.client.get_executor()

    @classmethod
    def tearDownClass(cls) -> None:
        cls.client.close()
        cls.cluster.close()

    def test_the_same_rows_as_in_process(self) -> None:
        in_process = studies(None)
        self.assertEqual(studies(self.executor), in_process)

    def test_a_larger_replication(self) -> None:
        args = [{"traffic": 2.0 + i, "servers": 10, "calls": 5000} for i in range(6)]
        expected = bits(study.replicate("simulate_loss", args, 25, base_seed=99))
        self.assertEqual(bits(study.replicate("simulate_loss", args, 25, self.executor,
                                              base_seed=99)), expected)
        self.assertEqual(bits(study.replicate("simulate_loss", args, 25, self.executor,
                                              base_seed=99, chunk_size=7)), expected)

    def test_told_the_number_of_workers(self) -> None:
        grid = {"servers": [1, 5, 30, 200], "traffic": [0.5, 3.0, 24.0, 180.0]}
        self.assertEqual(bits(study.sweep("erlang_b", grid, self.executor, workers=2)),
                         bits(study.sweep("erlang_b", grid)))

    def test_a_failing_task_names_its_point(self) -> None:
        grid = [{"servers": 5, "traffic": float(i)} for i in range(20)]
        grid[13]["traffic"] = -1.0
        with self.assertRaises(study.StudyError) as caught:
            study.sweep("loss", grid, self.executor, chunk_size=2)
        self.assertEqual(caught.exception.index, 13)
        self.assertIsInstance(caught.exception.__cause__, ValueError)
        self.assertIn("loss at grid point 13 {servers=5, traffic=-1.0}", str(caught.exception))


@unittest.skipIf(Client is None, NO_DASK)
class ReadmeClusterExample(unittest.TestCase):
    def test_runs_as_shown(self) -> None:
        source, command, output = readme_example("cluster_study.py")
        with tempfile.TemporaryDirectory(prefix="moravel-cluster-") as directory:
            with open(os.path.join(directory, "cluster_study.py"), "w",
                      encoding="utf-8") as out:
                out.write(source)
            self.assertTrue(command.startswith("/usr/bin/python3 "), command)
            result = subprocess.run([sys.executable] + command.split()[1:], cwd=directory,
                                    capture_output=True, text=True, timeout=300)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, output)


if __name__ == "__main__":
    unittest.main()
