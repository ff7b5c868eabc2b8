"""The module in threads, forked children and a changed working folder."""
import os
import threading
import time
from concurrent.futures import ThreadPoolExecutor

import pytest

import veltrim
from beams import BEAM


def test_calculations_in_threads_give_the_same_bits():
    beams = [veltrim.Conditions(), veltrim.Conditions(**BEAM),
             veltrim.Conditions(kv=60, field_x=15, field_y=0, fsd=80, rectification=3)]

    def totals(_):
        return [list(veltrim.depth_dose(c).total) for c in beams]

    expected = totals(None)
    with ThreadPoolExecutor(4) as pool:
        assert list(pool.map(totals, range(4))) == [expected] * 4


def test_a_relative_data_folder_is_read_where_it_is_now(tmp_path, monkeypatch):
    # The same relative name after a change of directory is another folder:
    # here one that does not exist, so the kept data must not answer for it.
    (tmp_path / "a").mkdir()
    (tmp_path / "b").mkdir()
    (tmp_path / "a" / "d").symlink_to(os.environ["VELTRIM_DATA"])
    monkeypatch.chdir(tmp_path / "a")
    assert veltrim.depth_dose(veltrim.Conditions(), data="d").total[0] == 100.0
    monkeypatch.chdir(tmp_path / "b")
    with pytest.raises(veltrim.CalculationError, match="Tungsten.dat"):
        veltrim.depth_dose(veltrim.Conditions(), data="d")


def test_a_child_forked_beside_calculating_threads_calculates():
    # Threads read the point-focus kernels of new distances while the main
    # thread forks: no lock may reach the child held by a thread it lacks.
    stop = threading.Event()

    def calculate(offset):
        fsd = 50 + offset
        while not stop.is_set():
            veltrim.depth_dose(veltrim.Conditions(fsd=fsd, field_x=10), scatter_model="divergent")
            fsd = fsd + 2 if fsd < 150 else 50 + offset

    threads = [threading.Thread(target=calculate, args=(k,)) for k in range(2)]
    for t in threads:
        t.start()
    hung = 0
    try:
        for _ in range(10):
            pid = os.fork()
            if pid == 0:
                c = veltrim.Conditions(fsd=77, field_x=10)
                os._exit(0 if veltrim.depth_dose(c, scatter_model="divergent").total[0] else 1)
            for _ in range(300):
                done, status = os.waitpid(pid, os.WNOHANG)
                if done:
                    assert os.waitstatus_to_exitcode(status) == 0
                    break
                time.sleep(0.05)
            else:
                hung += 1
                os.kill(pid, 9)
                os.waitpid(pid, 0)
    finally:
        stop.set()
        for t in threads:
            t.join()
    assert hung == 0
