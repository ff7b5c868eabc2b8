#!/bin/bash
# An adversarial campaign against veltrim-calc and the Python module, each
# case in a temporary folder of its own: random number texts, random and
# hostile batch files (binary, UTF-16, huge, endless), signals in the middle
# of batches, and links, pipes, folders and protected files as --out
# targets. It looks for a crash, a hang, a number read silently other than
# typed, output cut in half, a temporary left behind, and a file changed or
# replaced that the run did not name. Not part of the test suite: at scale 1
# it takes a few minutes of CPU; the counts it prints are the record.
#
#   scripts/adversarial.sh [build folder (build)] [scale (1)] [seed (29)]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
exec /usr/bin/python3 - "$root" "$build" "${2:-1}" "${3:-29}" <<'PYTHON'
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


def random_number_text():
    kind = rng.randrange(12)
    value = rng.choice([rng.uniform(-10, 200), rng.uniform(0, 3), float(rng.randrange(0, 160))])
    plain = rng.choice(["%g", "%.3f", "%.1e", "%d"]) % value
    if kind == 0:
        return plain
    if kind == 1:
        return plain + rng.choice(["O", "kV", " mm", ",5", "..", "e", "e+", "-", "x", "\u00a0"])
    if kind == 2:
        return plain.replace(".", ",")
    if kind == 3:
        return rng.choice(["&H", "&h", "&O", "&o"]) + "".join(
            rng.choice("0123456789abcdefgG") for _ in range(rng.randrange(0, 30)))
    if kind == 4:
        return " ".join(plain) if rng.random() < 0.5 else "\t" + plain + "\n"
    if kind == 5:
        return rng.choice(["", " ", "-", "+", ".", "e5", "nan", "inf", "Infinity", "0x1p3",
                           "１５０", "٣٠", "1e999", "-1e999", "1e-999", "4.9e-324"])
    if kind == 6:
        return "".join(rng.choice("0123456789") for _ in range(rng.randrange(1, 400))) + \
            rng.choice(["", ".5", "e-300", "e300"])
    if kind == 7:
        return "0." + "0" * rng.randrange(300, 400) + "1e" + str(rng.randrange(290, 420))
    if kind == 8:
        return "".join(chr(rng.randrange(32, 127)) for _ in range(rng.randrange(1, 12)))
    if kind == 9:
        return "'" + plain + "'" if rng.random() < 0.5 else '"' + plain + '"'
    if kind == 10:
        return plain + "e" + str(rng.randrange(-20, 20))
    return rng.choice(["49.9999999999", "50", "0.0001", "1000", "1000.0000001", "30", "150",
                       "150.0000000001", "29.999999999"])


OPTIONS = ["--kv", "--angle", "--inherent", "--al", "--cu", "--fsd", "--field-x", "--field-y"]


def numbers_through_the_cli():
    folder = fresh("numbers")
    for _ in range(n(1500)):
        option, text = rng.choice(OPTIONS), random_number_text()
        mode = rng.choice([["--quality"], ["--precise"], ["--spectrum"], []])
        strict = rng.random() < 0.2
        args = [option + "=" + text] + mode + (["--strict"] if strict else [])
        rc, out, err = run(args, folder)
        counts["cli number texts"] += 1
        what = "veltrim-calc %r" % args
        if not check_status(rc, what):
            continue
        whole = reads_whole(text)
        if rc == 0 and not whole and b"warning" not in err:
            find("silent misreading (cli)", what)
        if rc == 0 and strict and not whole:
            find("--strict took a mistyped number", what)
        if rc == 0 and re.search(rb"\b(nan|inf)\b", out, re.I):
            find("non-finite output", what)
        if rc != 0 and not err.strip():
            find("failure without a message", what)
        check_no_leftovers(folder, ["PDD_tempDATA.txt"], what)


PYTHON_CHILD = r"""
import json, sys, warnings
sys.path.insert(0, sys.argv[1])
import veltrim
texts = json.load(sys.stdin)
out = []
for field, text, strict in texts:
    record = {"warned": False, "error": None}
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        try:
            c = veltrim.Conditions.from_texts(**{field: text}, strict=strict)
            record["value"] = getattr(c, field)
        except (ValueError, TypeError) as e:
            record["error"] = type(e).__name__
        except Exception as e:
            record["error"] = "other: %s: %s" % (type(e).__name__, e)
    record["warned"] = any(issubclass(w.category, UserWarning) for w in caught)
    out.append(record)
json.dump(out, sys.stdout)
"""


def numbers_through_python():
    fields = ["kv", "angle", "inherent", "al", "cu", "fsd", "field_x", "field_y"]
    cases = [(rng.choice(fields), random_number_text(), rng.random() < 0.3)
             for _ in range(n(20000))]
    try:
        p = subprocess.run(["/usr/bin/python3", "-c", PYTHON_CHILD, os.path.join(build, "python")],
                           input=json.dumps(cases).encode(), capture_output=True, timeout=600)
    except subprocess.TimeoutExpired:
        find("hang", "python from_texts")
        return
    if p.returncode != 0:
        find("python crash or import failure", p.stderr.decode(errors="replace")[-300:])
        return
    for (field, text, strict), record in zip(cases, json.loads(p.stdout)):
        counts["python number texts"] += 1
        what = "from_texts(%s=%r, strict=%s)" % (field, text, strict)
        whole = reads_whole(text)
        if record["error"] and record["error"].startswith("other"):
            find("python: unexpected exception", what + " " + record["error"])
        elif record["error"] is None and not whole and not record["warned"]:
            find("silent misreading (python)", what)
        elif record["error"] is None and strict and not whole:
            find("strict=True took a mistyped number", what)


COLUMNS = ["kv", "angle", "inherent", "al", "cu", "fsd", "field_x", "field_y", "rectification",
           "hvl1", "scatter_model", "dose_at", "air_kerma"]


def random_cell(column):
    if column == "rectification":
        return rng.choice(["1", "2", "3", "0", "7", "2.5", "", " 2 "])
    if column == "scatter_model":
        return rng.choice(["classic", "divergent", "", "Classic", "x"])
    if column == "hvl1" and rng.random() < 0.7:
        return rng.choice(["", "3", "1e300", "-1", "0.5"])
    text = random_number_text() if rng.random() < 0.5 else "%g" % rng.uniform(0, 120)
    if column == "kv" and rng.random() < 0.5:
        text = str(rng.randrange(30, 151))
    return text


def random_batch_bytes():
    kind = rng.randrange(10)
    if kind == 0:
        return bytes(rng.randrange(256) for _ in range(rng.randrange(0, 100000)))
    if kind == 1:
        return "kv,fsd\n80,60\n".encode("utf-16")
    if kind == 2:
        return b"kv,fsd\r80,60\r90,70\r"
    if kind == 3:
        return b"kv\n" + b"8" * rng.randrange(1 << 19, 1 << 21) + b"\n"
    if kind == 4:
        return b""
    columns = rng.sample(COLUMNS, rng.randrange(1, 6))
    if rng.random() < 0.1:
        columns.append(rng.choice(["volts", "kv", "", "KV"]))
    lines = [",".join(columns)]
    for _ in range(rng.randrange(0, 30)):
        cells = []
        for column in columns:
            cell = random_cell(column).replace("\n", " ")
            if "," in cell or rng.random() < 0.1:
                cell = '"' + cell.replace('"', '""') + '"'
            cells.append(cell)
        if rng.random() < 0.05:
            cells = cells[:-1] if len(cells) > 1 else cells + ["9"]
        lines.append(",".join(cells))
    text = "\n".join(lines) + rng.choice(["\n", "", "\r\n"])
    raw = text.encode("utf-8", errors="surrogateescape")
    if rng.random() < 0.1:
        raw = b"\xef\xbb\xbf" + raw
    if rng.random() < 0.1:
        raw = raw.replace(b"8", b"\xff", 1)
    return raw


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


def random_batches():
    folder = fresh("batches")
    for i in range(n(250)):
        name = "rows%d.csv" % i
        with open(os.path.join(folder, name), "wb") as f:
            f.write(random_batch_bytes())
        json_format = rng.random() < 0.5
        args = ["--batch", name, "--jobs", str(rng.randrange(1, 5))]
        args += ["--format", "json"] if json_format else []
        args += ["--precise"] if rng.random() < 0.3 else []
        args += ["--strict"] if rng.random() < 0.2 else []
        args += ["--scatter-model", "divergent"] if rng.random() < 0.2 else []
        rc, out, err = run(args, folder, timeout=120)
        counts["random batch files"] += 1
        what = "veltrim-calc %r on %s" % (args, name)
        if check_status(rc, what):
            check_batch_output(rc, out, json_format, what)
            if rc == 2 and not err.strip():
                find("batch refused without a message", what)
        os.remove(os.path.join(folder, name))
        check_no_leftovers(folder, [], what)


def peak_of(args, cwd, stdin=None, stop_after=None, sig=signal.SIGINT):
    """Runs veltrim-calc, stdout to a file; gives (status, peak RSS in MB, stderr)."""
    with open(os.path.join(cwd, "out"), "wb") as out, open(os.path.join(cwd, "err"), "wb") as err:
        p = subprocess.Popen([calc, "--data", data] + args, cwd=cwd, env=env, stdout=out,
                             stderr=err, stdin=stdin)
        if stop_after is not None:
            time.sleep(stop_after)
            p.send_signal(sig)
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


def huge_batches():
    folder = fresh("huge")
    rows = n(1000000)
    with open(os.path.join(folder, "million.csv"), "w") as f:
        f.write("kv,rectification\n")
        for i in range(rows):
            f.write("80,1\n" if i % 2000 == 0 else "80,7\n")
    for jobs in ["2", "64"]:
        what = "%d rows, --jobs %s" % (rows, jobs)
        rc, peak, err = peak_of(["--batch", "million.csv", "--jobs", jobs], folder)
        counts["huge batches"] += 1
        counts["largest peak (MB)"] = max(counts["largest peak (MB)"], int(peak))
        if check_status(rc, what) and peak > 200:
            find("batch memory above 200 MB", "%s: %.0f MB" % (what, peak))
    # An endless input through a pipe, stopped by Ctrl-C after 10 s.
    fifo = os.path.join(folder, "endless")
    os.mkfifo(fifo)
    stop = threading.Event()

    def feed():
        try:
            with open(fifo, "wb") as f:
                f.write(b"kv,rectification\n")
                while not stop.is_set():
                    f.write(b"80,7\n" * 10000)
        except (BrokenPipeError, OSError):
            pass

    writer = threading.Thread(target=feed)
    writer.start()
    rc, peak, err = peak_of(["--batch", "endless"], folder, stop_after=10 * min(scale, 3))
    stop.set()
    writer.join(timeout=5)
    counts["huge batches"] += 1
    counts["largest peak (MB)"] = max(counts["largest peak (MB)"], int(peak))
    if rc != 128 + signal.SIGINT or b"rows written" not in err:
        find("endless batch not stopped cleanly by SIGINT", "status %s, %r" % (rc, err[-200:]))
    if peak > 200:
        find("batch memory above 200 MB", "endless input: %.0f MB" % peak)
    check_no_leftovers(folder, ["million.csv", "endless", "out", "err"], "huge batches")


def signals_during_batches():
    folder = fresh("signals")
    with open(os.path.join(folder, "rows.csv"), "w") as f:
        f.write("kv,fsd,field_x\n")
        for i in range(3000):
            f.write("%d,%d,%d\n" % (40 + i % 110, 60 + i % 40, 5 + i % 30))
    for i in range(n(40)):
        sig = rng.choice([signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT,
                          signal.SIGKILL])
        json_format = rng.random() < 0.5
        args = ["--batch", "rows.csv", "--jobs", str(rng.randrange(1, 4))]
        args += ["--format", "json"] if json_format else []
        rc, peak, err = peak_of(args, folder, stop_after=rng.uniform(0.02, 1.5), sig=sig)
        counts["signals during batches"] += 1
        what = "%s after a while, %r" % (signal.Signals(sig).name, args)
        with open(os.path.join(folder, "out"), "rb") as f:
            out = f.read()
        if rc in (0, 1):
            check_batch_output(rc, out, json_format, what)
        elif sig == signal.SIGKILL:
            if rc != -signal.SIGKILL:
                find("odd status after SIGKILL", "%s: %s" % (what, rc))
        elif rc != 128 + sig or b"stopped by a signal" not in err:
            find("signal not handled", "%s: status %s, %r" % (what, rc, err[-200:]))
        else:
            check_batch_output(0, out, json_format, what)
        check_no_leftovers(folder, ["rows.csv", "out", "err"], what)


def snapshot(folder):
    """Every entry below the folder: type, mode, owner, inode and content digest."""
    state = {}
    for base, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(base, name)
            info = os.lstat(path)
            digest = None
            if stat.S_ISREG(info.st_mode):
                with open(path, "rb") as f:
                    digest = hashlib.sha1(f.read()).hexdigest()
            elif stat.S_ISLNK(info.st_mode):
                digest = os.readlink(path)
            state[os.path.relpath(path, folder)] = (stat.S_IFMT(info.st_mode),
                                                     stat.S_IMODE(info.st_mode), info.st_uid,
                                                     info.st_ino, digest)
    return state


def chattr(path, flag):
    return subprocess.run(["chattr", flag, path], capture_output=True).returncode == 0


def out_targets():
    """Each: (name, set-up in the folder, --out name, the entries allowed to change)."""
    def regular(f):
        open(os.path.join(f, "a.txt"), "w").write("earlier")
        os.chmod(os.path.join(f, "a.txt"), 0o600)

    def hard(f):
        regular(f)
        os.link(os.path.join(f, "a.txt"), os.path.join(f, "b.txt"))

    def elsewhere(f):
        os.mkdir(os.path.join(f, "kept"))
        open(os.path.join(f, "kept", "r.txt"), "w").write("earlier")
        os.symlink("kept/r.txt", os.path.join(f, "link"))

    def descriptor(f):
        os.symlink("/proc/self/fd/1", os.path.join(f, "link"))

    def shared(f):
        regular(f)
        os.mkdir(os.path.join(f, "shared"))
        os.chmod(os.path.join(f, "shared"), 0o1777)
        os.symlink("../a.txt", os.path.join(f, "shared", "planted"))
        os.lchown(os.path.join(f, "shared", "planted"), 4321, 4321)

    def immutable(f):
        regular(f)
        return chattr(os.path.join(f, "a.txt"), "+i")

    def locked_folder(f):
        os.mkdir(os.path.join(f, "locked"))
        return chattr(os.path.join(f, "locked"), "+i")

    return [
        ("a regular file of mode 600", regular, "a.txt", {"a.txt"}),
        ("a file with a second hard link", hard, "a.txt", {"a.txt", "b.txt"}),
        ("a link to a file in another folder", elsewhere, "link", {"kept/r.txt"}),
        ("a link to nothing", lambda f: os.symlink("gone/x", os.path.join(f, "link")), "link",
         set()),
        ("a loop of links", lambda f: os.symlink("link", os.path.join(f, "link")), "link", set()),
        ("a folder", lambda f: os.mkdir(os.path.join(f, "dir")), "dir", set()),
        ("a named pipe", lambda f: os.mkfifo(os.path.join(f, "fifo")), "fifo", set()),
        ("a device", lambda f: os.mknod(os.path.join(f, "null"), 0o600 | stat.S_IFCHR,
                                        os.makedev(1, 3)), "null", set()),
        ("a link to standard output's descriptor", descriptor, "link", set()),
        ("another user's link in a sticky shared folder", shared, "shared/planted", set()),
        ("an immutable file", immutable, "a.txt", set()),
        ("a name in an immutable folder", locked_folder, "locked/r.txt", set()),
        ("a name under a regular file", regular, "a.txt/r.txt", set()),
        ("a name of 255 bytes", lambda f: None, "n" * 255, {"n" * 255}),
        ("a name of 256 bytes", lambda f: None, "n" * 256, set()),
    ]


def odd_out_targets():
    for _ in range(max(1, int(scale))):
        for name, setup, target, may_change in out_targets():
            folder = fresh("out")
            try:
                if setup(folder) is False:
                    counts["--out targets skipped (no chattr here)"] += 1
                    continue
            except PermissionError:
                counts["--out targets skipped (not root)"] += 1
                continue
            before = snapshot(folder)
            with open(os.path.join(top, "stdout-" + os.path.basename(folder)), "wb") as log:
                log.write(b"appended\n")
                log.flush()
                rc, _, err = run(["--out", target], folder, timeout=30, stdout=log)
            counts["--out targets"] += 1
            what = "--out %s (%s)" % (target[:20], name)
            check_status(rc, what, allowed=(0, 1))
            with open(os.path.join(top, "stdout-" + os.path.basename(folder)), "rb") as log:
                if not log.read().startswith(b"appended\n"):
                    find("standard output's file replaced", what)
            after = snapshot(folder)
            for entry in set(before) | set(after):
                if entry in may_change:
                    if entry in before and entry in after and before[entry][:3] != after[entry][:3]:
                        find("replaced file lost its mode or owner", what)
                    continue
                if before.get(entry) != after.get(entry):
                    find("changed what was not named", "%s: %s" % (what, entry))
            if may_change and rc != 0:
                find("a nameable target refused", "%s: %r" % (what, err[-200:]))
            if not may_change and rc == 0:
                find("an odd target accepted", what)
            if rc == 1 and not err.strip():
                find("failure without a message", what)
            if b"protected" not in err and "immutable file" in name:
                find("immutable file not told as protected", "%s: %r" % (what, err[-200:]))
            chattr(os.path.join(folder, "a.txt"), "-i")
            chattr(os.path.join(folder, "locked"), "-i")


started = time.time()
for part in [numbers_through_the_cli, numbers_through_python, random_batches, huge_batches,
             signals_during_batches, odd_out_targets]:
    begun = time.time()
    part()
    print("%-26s %6.1f s" % (part.__name__, time.time() - begun), flush=True)
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
PYTHON
