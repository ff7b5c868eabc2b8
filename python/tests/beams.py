"""The beam, veltrim-calc and the reader of exported tables that the module's tests share."""
import csv
import os
import subprocess

import numpy

# Every field away from its default, so that a field mixed up, left out or
# converted in the wrong unit on the way in changes the table.
BEAM = dict(kv=120, angle=16, inherent=3, al=1.5, cu=0.1, fsd=60, field_x=20, field_y=10,
            rectification=2)
CALC = [os.environ["VELTRIM_CALC"], "--data", os.environ["VELTRIM_DATA"]]


def calc_precise(cwd, *args):
    """What veltrim-calc --precise prints for BEAM and the further options."""
    options = [a for name, value in BEAM.items()
               for a in ("--" + name.replace("_", "-"), repr(value))]
    return subprocess.run(CALC + ["--precise"] + options + list(args), capture_output=True,
                          cwd=cwd, check=True).stdout.decode()


def read_export(path):
    """An exported table as other programs read it: its # name=value lines,
    its rows through the csv module, and its numbers through numpy."""
    with open(path, encoding="utf-8", newline="") as f:
        lines = f.read().splitlines()
    names = dict(line[2:].split("=", 1) for line in lines if line.startswith("# "))
    table = [line for line in lines if not line.startswith("#")]
    rows = list(csv.DictReader(table))
    array = numpy.genfromtxt(table, delimiter=",", names=True)
    assert list(array.dtype.names) == list(rows[0].keys())
    return names, rows, array
