#!/usr/bin/env python3
"""Seeds the fuzz corpora from the project's own test files, and writes the
dictionaries of the words the readers look for."""
import os
import re
import sys

root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
fuzz = os.path.join(root, "fuzz")
SEP = b"\x01"


def slurp(*p):
    with open(os.path.join(root, *p), "rb") as f:
        return f.read()


def put(target, name, data):
    d = os.path.join(fuzz, "corpus", target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


LIT = r'"(?:[^"\\\n]|\\.)*"'


def decode(lits):
    out = b""
    for lit in re.findall(LIT, lits):
        out += lit[1:-1].encode("latin-1").decode("unicode_escape").encode("latin-1")
    return out


def scripts():
    """String literals given to read(...) and fatal(...) in the script tests."""
    found = []
    for fn in sorted(os.listdir(os.path.join(root, "tests", "unit"))):
        if not (fn.startswith("zqscript_") and fn.endswith("_test.cpp")):
            continue
        text = slurp("tests", "unit", fn).decode("latin-1")
        for m in re.finditer(r'\b(?:read|fatal)\(\s*((?:' + LIT + r'\s*)+)(?:,\s*((?:' + LIT + r'\s*)+))?\)', text):
            found.append((decode(m.group(1)), decode(m.group(2) or "")))
        # one-line cases of the tables: {"keyword ...", ...}
        for m in re.finditer(r'\{\s*(' + LIT + r')\s*,', text):
            s = decode(m.group(1))
            if re.match(rb"^[A-Za-z][A-Za-z0-9()+_-]*( |$)", s):
                found.append((s + b"\n", b""))
    return found


def keywords():
    words = set()
    for d in ("src/input", "src/frame"):
        for fn in os.listdir(os.path.join(root, d)):
            if not (fn.startswith("zqscript") or fn.startswith("io_prefs")):
                continue
            text = slurp(d, fn).decode("latin-1")
            for m in re.finditer(r'(?:keyword|key|k|w\[\d\]|words\[\d\]|w) == "([^"\\]{1,22})"', text):
                words.add(m.group(1))
    return sorted(words)


# The files a frame fixture folder's runs take from other fixture folders,
# as the end-to-end tests give them; the folder's own files come after and
# override them.
FRAMESHARED = {
    "mode1": ["dataset/jx-ds7qz1.txt"],
    "askmode": ["dataset/jx-ds7qz1.txt", "frame/mode1/jx-qtest.txt", "frame/mode1/jx-qzax.txt"],
    "lsq": ["frame/mode1/jx-qtest.txt"],
}


def framefiles(d):
    """The files of a run of frame fixture folder d, by name, in name order."""
    fx = ("tests", "fixtures")
    files = {os.path.basename(p): slurp(*fx, *p.split("/")) for p in FRAMESHARED.get(d, [])}
    for fn in os.listdir(os.path.join(root, *fx, "frame", d)):
        files[fn] = slurp(*fx, "frame", d, fn)
    return dict(sorted(files.items()))


def main():
    fx = ("tests", "fixtures")
    frame = os.path.join(root, *fx, "frame")
    datasets = sorted(os.listdir(os.path.join(root, *fx, "dataset")))

    # preferences: every prefs file of the frame fixtures
    for d in sorted(os.listdir(frame)):
        p = os.path.join(frame, d, "jx-prefs.txt")
        if os.path.exists(p):
            put("prefs", d, open(p, "rb").read())
            put("prefs", d + "-ds", open(p, "rb").read() + SEP + SEP + b"d")
    put("prefs", "unrecognised", b"dsfile 62\nscriptfile x\nwrapping\n" + SEP + b"no\n")
    put("prefs", "absent", SEP + SEP + b"dn")

    # least-squares preferences
    put("dsprefs", "lsq", slurp(*fx, "frame", "lsq", "ds-prefs.txt"))

    # data sets, whole and with chosen records
    for fn in datasets:
        data = slurp(*fx, "dataset", fn)
        put("dataset", fn, data)
        put("dataset", fn + "-first", data + SEP + b"1 1 2")
        put("dataset", fn + "-lsq", data + SEP + SEP + b"9")
        # a covariance written as a zero to an exponent beyond a long
        if b"\n0.1 1.2 " in data:
            put("dataset", fn + "-longexponent", data.replace(b"\n0.1 1.2 ", b"\n0.0e-9223372036854775808 1.2 ", 1))

    # scripts
    for d in sorted(os.listdir(frame)):
        for fn, data in framefiles(d).items():
            if fn.startswith("jx-") and fn != "jx-prefs.txt" and not fn.startswith("jx-ds"):
                put("script", d + "-" + fn, data)
    for i, (text, answers) in enumerate(scripts()):
        put("script", "unit%03d" % i, text + (SEP + answers if answers else b""))

    # whole runs: the frame fixture folders
    for d in sorted(os.listdir(frame)):
        files = framefiles(d)
        prefs = files.get("jx-prefs.txt")
        # the run finds its files under the fixed names of the drivers
        if prefs is not None:
            prefs = re.sub(rb"(?m)^scriptfile.*$", b"scriptfile fz", prefs)
            prefs = re.sub(rb"(?m)^dsfile.*$", b"dsfile 6fz", prefs)
        script = next((v for k, v in files.items() if k.startswith("jx-") and not k.startswith(("jx-ds", "jx-prefs"))), b"")
        script = files.get("ds-scrqz9.txt", script) if d == "lsq" and not script else script
        ds = next((v for k, v in files.items() if k.startswith("jx-ds")), b"")
        dsprefs = files.get("ds-prefs.txt")
        if dsprefs is not None:
            dsprefs = re.sub(rb"(?m)^jxdssuffix.*$", b"jxdssuffix fz", dsprefs)
            dsprefs = re.sub(rb"(?m)^emsuffix.*$", b"emsuffix fz", dsprefs)
        parts = [prefs or b"", script, ds]
        data = SEP.join(parts)
        if dsprefs is not None:
            data += SEP + dsprefs
        put("run", d, data)
        put("run", d + "-answers", SEP.join(parts + [dsprefs or b"", b"1\n\nno\n"]))
        # calc mode 9 converts its end-member file when asked for 0 iterations
        em = next((v for k, v in files.items() if k.startswith("ds-em")), None)
        if em is not None:
            put("run", d + "-convert", SEP.join(parts + [dsprefs or b"", b"1\n0\n", em]))

    # a-x model files: the fixtures, and the texts the reader's tests read
    axdir = os.path.join(root, *fx, "ax")
    if os.path.isdir(axdir):
        for fn in sorted(os.listdir(axdir)):
            data = slurp(*fx, "ax", fn)
            put("axfile", fn, data)
            put("axfile", fn + "-lsq", data + SEP + SEP + SEP + b"9")
    i = 0
    for fn in sorted(os.listdir(os.path.join(root, "tests", "unit"))):
        if fn.startswith("zqread2_") and fn.endswith("_test.cpp"):
            text = slurp("tests", "unit", fn).decode("latin-1")
            for m in re.finditer(r'\brun\(\s*((?:' + LIT + r'\s*)+)', text):
                put("axfile", "unit%03d" % i, decode(m.group(1)))
                i += 1

    # dictionaries
    kw = keywords()
    with open(os.path.join(fuzz, "script.dict"), "w") as f:
        for w in kw:
            f.write('"%s"\n' % w)
        for w in ("\\\\", "*", "%", "yes", "no", "ask", "1/3", "-1e4000", "1e4000", "32768", "-32769"):
            f.write('"%s"\n' % w)
    print("%d keywords" % len(kw), file=sys.stderr)


main()
