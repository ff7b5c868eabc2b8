"""Number texts through veltrim-calc and the Python module, and random batch files."""
from common import *  # noqa: F401,F403


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
