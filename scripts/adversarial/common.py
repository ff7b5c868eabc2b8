"""What every part of the adversarial campaign shares: the program under
test (a copy, so that a rebuild meanwhile does not pull it away), a
temporary folder for everything, running veltrim-calc, and the record of
counts and findings."""
import collections, csv, hashlib, io, json, os, random, re, shutil, signal
import stat, subprocess, sys, tempfile, threading, time

root, build, scale, seed = sys.argv[1], sys.argv[2], float(sys.argv[3]), int(sys.argv[4])
data = os.path.join(root, "data")
rng = random.Random(seed)
counts = collections.Counter()
findings = []
top = tempfile.mkdtemp(prefix="veltrim-adversarial-")
# A copy, so that a rebuild meanwhile does not pull the program away.
calc = os.path.join(top, "veltrim-calc")
shutil.copy2(os.path.join(build, "cli", "veltrim-calc"), calc)
tmpdir = os.path.join(top, "tmp")
os.mkdir(tmpdir)
env = dict(os.environ, TMPDIR=tmpdir, LC_ALL="C")
csv.field_size_limit(sys.maxsize)  # an error cell may quote a whole long line


def n(base):
    return max(1, int(base * scale))


def find(kind, what):
    counts["finding: " + kind] += 1
    if sum(1 for k, _ in findings if k == kind) < 5:
        findings.append((kind, what))


def fresh(name):
    folder = tempfile.mkdtemp(prefix=name + "-", dir=top)
    return folder


def run(args, cwd, timeout=60, stdout=None, stdin=None):
    try:
        p = subprocess.run([calc, "--data", data] + args, cwd=cwd, env=env, timeout=timeout,
                           stdout=stdout if stdout else subprocess.PIPE,
                           stderr=subprocess.PIPE, stdin=stdin if stdin else subprocess.DEVNULL)
        return p.returncode, p.stdout or b"", p.stderr
    except subprocess.TimeoutExpired:
        return "hang", b"", b""


def check_status(rc, what, allowed=(0, 1, 2)):
    if rc == "hang":
        find("hang", what)
        return False
    if rc not in allowed:
        find("crash or odd exit %s" % rc, what)
        return False
    return True


def check_no_leftovers(folder, expected, what):
    left = sorted(set(os.listdir(folder)) - set(expected))
    if left:
        find("left behind", "%s: %s" % (what, left))
    if os.listdir(tmpdir):
        find("left in TMPDIR", "%s: %s" % (what, os.listdir(tmpdir)))
        for name in os.listdir(tmpdir):
            shutil.rmtree(os.path.join(tmpdir, name), ignore_errors=True)


# The reading rule: blanks anywhere ignored; a decimal number or &H/&O integer.

WHOLE = re.compile(r"[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?|&[hH][0-9a-fA-F]+|&[oO][0-7]+")


def reads_whole(text):
    return WHOLE.fullmatch(re.sub("[ \t\n]", "", text)) is not None


def check_batch_output(rc, out, json_format, what):
    if rc not in (0, 1):
        if out and json_format and not out.endswith(b"]\n"):
            find("batch output cut", what)
        return
    if json_format:
        try:
            json.loads(out.decode("utf-8"))
        except (ValueError, UnicodeDecodeError) as e:
            find("batch JSON not whole or not UTF-8", "%s: %s" % (what, e))
    else:
        rows = list(csv.reader(io.StringIO(out.decode("utf-8", errors="replace"))))
        if rows and any(len(r) != len(rows[0]) for r in rows):
            find("batch CSV rows of unequal length", what)




def peak_of(args, cwd, stdin=None, stop_after=None, sig=signal.SIGINT):
    """Runs veltrim-calc, stdout to a file; gives (status, peak RSS in MB, stderr)."""
    with open(os.path.join(cwd, "out"), "wb") as out, open(os.path.join(cwd, "err"), "wb") as err:
        p = subprocess.Popen([calc, "--data", data] + args, cwd=cwd, env=env, stdout=out,
                             stderr=err, stdin=stdin)
        if stop_after is not None:
            time.sleep(stop_after)
            # os.kill, not p.send_signal: the latter polls first and may reap
            # a child that has just ended, taking its resource usage with it.
            # Unreaped, its pid cannot be reused.
            os.kill(p.pid, sig)
        deadline = time.time() + 600
        while True:
            pid, status, usage = os.wait4(p.pid, os.WNOHANG)
            if pid:
                break
            if time.time() > deadline:
                p.kill()
                pid, status, usage = os.wait4(p.pid, 0)
                return "hang", usage.ru_maxrss / 1024, b""
            time.sleep(0.05)
    code = os.waitstatus_to_exitcode(status)
    with open(os.path.join(cwd, "err"), "rb") as f:
        return code, usage.ru_maxrss / 1024, f.read()


