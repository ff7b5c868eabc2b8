"""Huge and endless batches, signals during batches, and odd --out targets."""
from common import *  # noqa: F401,F403


def huge_batches():
    folder = fresh("huge")
    rows = min(n(1000000), 1000000)
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
    # Before the batch has begun (the data still loading) the signal ends it
    # the ordinary way, with nothing written.
    early = rc == -signal.SIGINT and os.path.getsize(os.path.join(folder, "out")) == 0
    if not early and (rc != 128 + signal.SIGINT or b"rows written" not in err):
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
        elif rc == -sig and not out:
            counts["signals before the batch began"] += 1
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
