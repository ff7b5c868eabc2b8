"""The dose at very many points: memory bounded by a block of points, not by
their number, and Ctrl-C heard while they are computed."""
import os
import signal
import subprocess
import sys
import time

CHILD = r"""
import resource, sys, numpy, veltrim
n = int(sys.argv[1])
rng = numpy.random.default_rng(8)
points = numpy.column_stack([rng.uniform(-8, 8, n), rng.uniform(-8, 8, n),
                             rng.uniform(0, 30, n)])
before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
print("started", flush=True)
doses = veltrim.dose_at(veltrim.Conditions(field_x=10, field_y=10), points, air_kerma=1.0)
assert doses.shape == (n, 4)
print(before, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss, flush=True)
"""


def child(n):
    return subprocess.Popen([sys.executable, "-c", CHILD, str(n)], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)


def test_many_points_take_the_memory_of_a_block_not_of_all_of_them():
    # The arrays in and out hold 56 bytes a point; the computation's own
    # work, a few kB a point, must not grow with their number.
    n = 200_000
    run = child(n)
    out, err = run.communicate(timeout=600)
    assert run.returncode == 0, err
    before, peak = map(int, out.split()[1:3])
    assert (peak - before) * 1024 < 56 * n + 40e6, (before, peak)


def test_ctrl_c_stops_a_long_dose_at():
    run = child(1_000_000)
    assert run.stdout.readline() == "started\n"
    time.sleep(1)
    os.kill(run.pid, signal.SIGINT)
    try:
        _, err = run.communicate(timeout=30)
    finally:
        run.kill()
    assert run.returncode != 0 and "KeyboardInterrupt" in err, err
