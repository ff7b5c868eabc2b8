"""Runs every part of the campaign and prints the counts and findings.
Arguments: the source tree, the build folder, the scale and the seed."""
from common import *  # noqa: F401,F403
from inputs import numbers_through_the_cli, numbers_through_python, random_batches
from system import huge_batches, signals_during_batches, odd_out_targets

started = time.time()
for part in [numbers_through_the_cli, numbers_through_python, random_batches, huge_batches,
             signals_during_batches, odd_out_targets]:
    begun, known = time.time(), len(findings)
    part()
    print("%-26s %6.1f s" % (part.__name__, time.time() - begun), flush=True)
    for kind, what in findings[known:]:
        print("  found %s: %s" % (kind, what[:300]), flush=True)
shutil.rmtree(top, ignore_errors=True)
cpu = os.times()
print("\nseed %d, scale %g, %.0f s wall, %.0f s CPU in the programs run" % (
    seed, scale, time.time() - started, cpu.children_user + cpu.children_system))
for key in sorted(counts):
    print("  %-48s %d" % (key, counts[key]))
for kind, what in findings:
    print("FOUND %s: %s" % (kind, what[:300]))
print("no findings" if not findings else "%d kinds of finding" % len(set(k for k, _ in findings)))
sys.exit(1 if findings else 0)
