#!/usr/bin/env python3
"""Mutation check of the integrator's tests.

Changes one numeric literal or one comparison of integrator/*.cpp and
integrator/*.h at a time (the tests and their helper headers are left alone),
rebuilds integrator_tests, runs it, and reports the changes no test notices.

  scripts/mutate-integrator.py --list                  print the mutants only
  scripts/mutate-integrator.py --jobs 4                the full run
  scripts/mutate-integrator.py --files 'step.*' --lines 140-180
  scripts/mutate-integrator.py --report out.json       every mutant and its outcome
  scripts/mutate-integrator.py --survivors-of out.json re-run what survived before
  scripts/mutate-integrator.py --sanitize              ASan + UBSan: memory faults kill
  scripts/mutate-integrator.py --sample 200 --seed 7   a fixed sample of the mutants
  scripts/mutate-integrator.py --tree /tmp/old         mutate a copy of another checkout

Mutants:
  literal     integer n -> n+1 and n-1 (0 -> 1; 1 -> 0 and 2), same base and
              suffix; floating x -> 1.25*x (0 -> 1, 1 -> 2), same suffix.
  comparison  < <-> <=, > <-> >=, == <-> !=.
Comments, string and character literals, #include and #pragma lines, template
brackets (static_cast<double>, std::array<int, 3>), ->, <<, >> and <=> are
never touched. Array sizes and static_assert operands are mutated like any
other literal; a mutant that does not compile is "stillborn".

Each worker copies the repository (without .git and build dirs) under /tmp,
configures its own build dir once (warnings not errors, no benchmarks) and
rebuilds only integrator_tests per mutant, so the original tree is never
written to. A mutant is killed when the tests fail, crash or time out (a
timeout is noted). "binary unchanged" marks a survivor whose test executable
is byte-identical to the unmutated one: an equivalent mutant.

A sample (--sample N --seed S) takes the N mutants first in the order of a
seeded hash of what each mutant is (file, source line, column in the line,
change), not of its line number: the same seed picks the same mutants in
another checkout whose lines moved, so two trees can be compared.
scripts/mutate-models.py runs the same machinery on textio/ and models/
with the whole test suite.
"""

import argparse
import dataclasses
import fnmatch
import hashlib
import json
import os
import queue
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent  # the tree mutated; --tree changes it
TARGET = "integrator_tests"

# ---------------------------------------------------------------- lexing

OPERATORS = sorted(
    "<=> <<= >>= ->* -> << >> <= >= == != && || :: ++ -- += -= *= /= %= &= |= ^= ... "
    "< > = ! + - * / % & | ^ ~ ? : ; , . ( ) [ ] { } #".split(),
    key=len,
    reverse=True,
)
COMPARISON_SWAP = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
IDENT = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")
PP_NUMBER = re.compile(r"\.?[0-9](?:[eEpP][+-]|'(?=[0-9A-Za-z_])|[0-9A-Za-z_.])*")
STRING_PREFIXES = {"u8", "u", "U", "L"}
DIRECTIVE = re.compile(r"#[ \t]*([A-Za-z_]+)")
SKIPPED_DIRECTIVES = {"include", "pragma", "error", "warning", "line"}


@dataclasses.dataclass
class Token:
    kind: str  # ident, number, op
    text: str
    start: int


def skip_quoted(text, i):
    """Index past the string or character literal whose quote is at i."""
    quote = text[i]
    i += 1
    while i < len(text) and text[i] != quote:
        i += 2 if text[i] == "\\" else 1
    return i + 1


def skip_raw_string(text, i):
    """Index past R"delim(...)delim" whose quote is at i."""
    open_paren = text.index("(", i)
    close = ")" + text[i + 1 : open_paren] + '"'
    return text.index(close, open_paren) + len(close)


def skip_directive(text, i):
    """Index of the end of the preprocessor line starting at i (continuations included)."""
    while True:
        end = text.find("\n", i)
        if end < 0:
            return len(text)
        if text[end - 1] != "\\":
            return end
        i = end + 1


def at_line_start(text, i):
    j = i - 1
    while j >= 0 and text[j] in " \t":
        j -= 1
    return j < 0 or text[j] == "\n"


def tokenize(text):
    """The code tokens of a C++ source: comments, literals of text and skipped directives dropped."""
    tokens, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if c.isspace():
            i += 1
        elif text.startswith("//", i):
            i = skip_directive(text, i)  # a // comment also continues with a backslash
        elif text.startswith("/*", i):
            i = text.index("*/", i + 2) + 2
        elif c in "\"'":
            i = skip_quoted(text, i)
        elif c == "#" and at_line_start(text, i):
            word = DIRECTIVE.match(text, i)
            if word and word.group(1) in SKIPPED_DIRECTIVES:
                i = skip_directive(text, i)
            else:
                tokens.append(Token("op", "#", i))
                i += 1
        elif (m := IDENT.match(text, i)) is not None:
            word, i = m.group(), m.end()
            if i < n and text[i] == '"' and word.endswith("R") and word[:-1] in STRING_PREFIXES | {""}:
                i = skip_raw_string(text, i)
            elif i < n and text[i] in "\"'" and word in STRING_PREFIXES:
                i = skip_quoted(text, i)
            else:
                tokens.append(Token("ident", word, m.start()))
        elif (m := PP_NUMBER.match(text, i)) is not None:
            tokens.append(Token("number", m.group(), i))
            i = m.end()
        else:
            op = next(o for o in OPERATORS + [c] if text.startswith(o, i))
            tokens.append(Token("op", op, i))
            i += len(op)
    return tokens


# Tokens that may appear between the brackets of a template argument list.
TEMPLATE_ARG_OPS = {"::", ",", "*", "&", "(", ")", "[", "]", "+", "-", "..."}


def template_brackets(tokens):
    """Indices of the < and > tokens that bracket template arguments."""
    brackets = set()
    for i, tok in enumerate(tokens):
        if tok.text != "<" or i == 0 or tokens[i - 1].kind != "ident":
            continue
        if tokens[i - 1].text == "operator":
            brackets.add(i)
            continue
        inner = closing_bracket(tokens, i)
        if inner is not None:
            brackets.update(inner)
    return brackets


def closing_bracket(tokens, i):
    """The bracket indices of the argument list opened at i, or None if it reads as a comparison."""
    depth, parens, seen = 1, 0, [i]
    for j in range(i + 1, len(tokens)):
        tok = tokens[j]
        if tok.kind != "op":
            continue
        if tok.text == "<":
            depth += 1
            seen.append(j)
        elif tok.text in (">", ">>"):
            depth -= len(tok.text)
            seen.append(j)
            if depth <= 0:
                return seen
        elif tok.text == "(":
            parens += 1
        elif tok.text == ")":
            parens -= 1
            if parens < 0:
                return None
        elif tok.text not in TEMPLATE_ARG_OPS:
            return None
    return None


# ---------------------------------------------------------------- mutants

INT_LITERAL = re.compile(r"(0[xX][0-9a-fA-F']+|0[bB][01']+|[0-9][0-9']*)([uUlLzZ]*)")
FLOAT_LITERAL = re.compile(
    r"((?:[0-9']*\.[0-9']*|[0-9']+)(?:[eE][+-]?[0-9']+)?"
    r"|0[xX][0-9a-fA-F']*\.?[0-9a-fA-F']*[pP][+-]?[0-9']+)([fFlL]?)"
)
INT_SUFFIXES = {"", "u", "l", "ul", "lu", "ll", "ull", "llu", "z", "uz", "zu"}


@dataclasses.dataclass
class Mutant:
    file: str  # relative to the repository root
    line: int
    col: int
    offset: int
    kind: str  # literal or comparison
    orig: str
    new: str
    source: str  # the line, stripped
    source_col: int = 0  # col within the stripped line

    def key(self):
        return (self.file, self.line, self.col, self.orig, self.new)

    def where(self):
        return f"{self.file}:{self.line}:{self.col}"


def int_neighbours(n):
    return {0: [1], 1: [0, 2]}.get(n, [n + 1, n - 1])


def format_int(value, digits):
    if digits[:2] in ("0x", "0X"):
        body = format(value, "x")
        return digits[:2] + (body.upper() if digits[2:].upper() == digits[2:] else body)
    if digits[:2] in ("0b", "0B"):
        return digits[:2] + format(value, "b")
    if len(digits) > 1 and digits[0] == "0":
        return "0" + format(value, "o")
    return str(value)


def parse_int(digits):
    clean = digits.replace("'", "")
    if clean[:2] in ("0x", "0X", "0b", "0B"):
        return int(clean, 0)
    return int(clean, 8) if len(clean) > 1 and clean[0] == "0" else int(clean)


def float_neighbour(x, hexadecimal):
    y = {0.0: 1.0, 1.0: 2.0}.get(x, x * 1.25)
    if y in (float("inf"), float("-inf")):
        y = x * 0.8
    if hexadecimal:
        return y.hex()
    text = f"{y:.12g}"  # 1.25e-06, not 1.2499999999999999e-06
    return text if any(c in text for c in ".en") else text + ".0"


def literal_replacements(text):
    """Replacement texts for one numeric literal, [] for a literal left alone."""
    if (m := INT_LITERAL.fullmatch(text)) and m.group(2).lower() in INT_SUFFIXES:
        digits, suffix = m.groups()
        value = parse_int(digits)
        return [format_int(v, digits) + suffix for v in int_neighbours(value)]
    if m := FLOAT_LITERAL.fullmatch(text):
        body, suffix = m.groups()
        hexadecimal = body[:2] in ("0x", "0X")
        clean = body.replace("'", "")
        value = float.fromhex(clean) if hexadecimal else float(clean)
        return [float_neighbour(value, hexadecimal) + suffix]
    return []  # user-defined literal or something this lexer does not know


def mutants_of(path, rel):
    text = path.read_text()
    lines = text.split("\n")
    line_starts = [0]
    for line in lines[:-1]:
        line_starts.append(line_starts[-1] + len(line) + 1)
    tokens = tokenize(text)
    brackets = template_brackets(tokens)
    found = []
    for i, tok in enumerate(tokens):
        if tok.kind == "number":
            kind, news = "literal", literal_replacements(tok.text)
        elif tok.kind == "op" and tok.text in COMPARISON_SWAP and i not in brackets:
            kind, news = "comparison", [COMPARISON_SWAP[tok.text]]
        else:
            continue
        line = bisect_line(line_starts, tok.start)
        col = tok.start - line_starts[line] + 1
        for new in news:
            indent = len(lines[line]) - len(lines[line].lstrip())
            found.append(Mutant(rel, line + 1, col, tok.start, kind, tok.text, new, lines[line].strip(),
                                col - indent))
    return found


def bisect_line(starts, offset):
    lo, hi = 0, len(starts) - 1
    while lo < hi:
        mid = (lo + hi + 1) // 2
        if starts[mid] <= offset:
            lo = mid
        else:
            hi = mid - 1
    return lo


def integrator_sources():
    paths = sorted((ROOT / "integrator").glob("*.cpp")) + sorted((ROOT / "integrator").glob("*.h"))
    return [p for p in paths if "test" not in p.name]  # the tests and their helpers


def stable_keys(mutants):
    """What each mutant is, independent of its line number: file, source line,
    column within the stripped line, change, and which repeat of all these."""
    seen, keys = {}, []
    for m in mutants:
        base = (m.file, m.source, m.source_col, m.orig, m.new)
        seen[base] = seen.get(base, -1) + 1
        keys.append("\x1f".join(map(str, base + (seen[base],))))
    return keys


def sample_of(mutants, size, seed):
    """The `size` mutants first in the order of a seeded hash of their stable keys."""
    rank = lambda key: hashlib.sha256(f"{seed}\x1e{key}".encode()).hexdigest()  # noqa: E731
    ranked = sorted(zip(stable_keys(mutants), mutants), key=lambda km: rank(km[0]))
    chosen = {id(m) for _, m in ranked[:size]}
    return [m for m in mutants if id(m) in chosen]


def in_line_ranges(mutant, specs):
    """specs: [GLOB:]FIRST[-LAST] items; a mutant passes if any item covers it."""
    for spec in specs:
        glob, _, span = spec.rpartition(":")
        if glob and not matches_glob(mutant.file, glob):
            continue
        first, _, last = span.partition("-")
        if int(first) <= mutant.line <= int(last or first):
            return True
    return False


def matches_glob(rel, glob):
    return fnmatch.fnmatch(rel, glob) or fnmatch.fnmatch(Path(rel).name, glob)


def select_mutants(args, sources=integrator_sources):
    paths = sources()
    if args.files:
        paths = [p for p in paths if any(matches_glob(str(p.relative_to(ROOT)), g) for g in args.files)]
    mutants = [m for p in paths for m in mutants_of(p, str(p.relative_to(ROOT)))]
    if args.lines:
        mutants = [m for m in mutants if in_line_ranges(m, args.lines.split(","))]
    if args.survivors_of:
        earlier = json.loads(Path(args.survivors_of).read_text())["mutants"]
        fields = ("file", "line", "col", "orig", "new")
        wanted = {tuple(m[k] for k in fields) for m in earlier if m["status"] == "survived"}
        mutants = [m for m in mutants if m.key() in wanted]
        if len(mutants) < len(wanted):
            print(f"note: {len(wanted) - len(mutants)} earlier survivors no longer match the sources")
    if args.sample:
        mutants = sample_of(mutants, args.sample, args.seed)
    return mutants


# ---------------------------------------------------------------- workers


def copy_ignore(directory, names):
    top = Path(directory).resolve() == ROOT
    return [n for n in names if n == ".git" or (top and (n == "build" or n.startswith("build-")))]


def run(cmd, cwd, timeout=None, env=None):
    """Runs cmd in its own process group; returns (status, output), status None on timeout."""
    proc = subprocess.Popen(
        cmd, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
        start_new_session=True,
    )
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        out, _ = proc.communicate()
        return None, out


def file_hash(path):
    return hashlib.sha256(path.read_bytes()).hexdigest()


def error_summary(output, tree):
    """The first compiler error, paths relative to the worker's tree."""
    lines = output.replace(f"{tree}/", "").splitlines()
    errors = [l for l in lines if "error" in l] or lines[-1:] or [""]
    return errors[0][:300]


def failed_tests(output):
    names = re.findall(r"^\[  FAILED  \] ([\w/.]+)", output, re.M)
    return list(dict.fromkeys(names))[:5]


class GtestSuite:
    """One GoogleTest executable: rebuilt alone, run whole, and compared by its bytes."""

    def __init__(self, target=TARGET):
        self.target = target

    def compile_command(self, build):
        return ["cmake", "--build", str(build), "--target", self.target, "-j", "1"]

    def locate(self, build):
        found = [p for p in build.rglob(self.target) if p.is_file() and os.access(p, os.X_OK)]
        if not found:
            raise RuntimeError(f"no {self.target} in {build}")
        self.binary = found[0]

    def run(self, build, args, env):
        return run([str(self.binary), "--gtest_brief=1"], build, args.timeout, env)

    def failures(self, output):
        """(names of the failed tests, whether one timed out)"""
        return failed_tests(output), False

    def fingerprint(self):
        return file_hash(self.binary)

    def built_at_ns(self):
        return self.binary.stat().st_mtime_ns


class Worker:
    def __init__(self, index, scratch, args, suite):
        self.index = index
        self.src = scratch / f"w{index}" / "src"
        self.build = scratch / f"w{index}" / "build"
        self.args = args
        self.suite = suite
        self.env = dict(os.environ, ASAN_OPTIONS="detect_leaks=1:halt_on_error=1",
                        UBSAN_OPTIONS="halt_on_error=1")

    def setup(self):
        shutil.copytree(ROOT, self.src, ignore=copy_ignore, symlinks=True)
        cmd = ["cmake", "-S", str(self.src), "-B", str(self.build)]
        cmd += [f"-DCMAKE_BUILD_TYPE={self.args.build_type}"]
        cmd += ["-DCALCIUM_BUILD_BENCH=OFF", "-DCALCIUM_WERROR=OFF"]
        # Listing the tests at build time would run every mutant's binary once more.
        cmd += ["-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST"]
        if shutil.which("ninja"):
            cmd += ["-G", "Ninja"]
        if self.args.sanitize:
            flags = "-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
            cmd += [f"-DCMAKE_CXX_FLAGS={flags}", "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined"]
        status, out = run(cmd, self.src)
        if status != 0:
            raise RuntimeError(f"worker {self.index}: configure failed\n{out}")
        status, out = self.compile()
        if status != 0:
            raise RuntimeError(f"worker {self.index}: the unmutated tree does not build\n{out}")
        self.suite.locate(self.build)
        status, out = self.suite.run(self.build, self.args, self.env)
        if status != 0:
            raise RuntimeError(f"worker {self.index}: the unmutated tests fail\n{out[-3000:]}")
        self.baseline = self.suite.fingerprint()

    def compile(self):
        return run(self.suite.compile_command(self.build), self.src, self.args.build_timeout)

    def write(self, rel, text):
        """Writes a source and dates it after the last build so the next build sees it."""
        path = self.src / rel
        path.write_text(text)
        stamp = max(time.time_ns(), self.suite.built_at_ns() + 1_000_000)
        os.utime(path, ns=(stamp, stamp))

    def test(self, mutant, original):
        text = original[: mutant.offset] + mutant.new + original[mutant.offset + len(mutant.orig) :]
        assert original[mutant.offset : mutant.offset + len(mutant.orig)] == mutant.orig
        self.write(mutant.file, text)
        try:
            return self.build_and_run()
        finally:
            self.write(mutant.file, original)

    def build_and_run(self):
        result = {"timeout": False, "failed_tests": [], "binary_unchanged": False, "error": ""}
        start = time.monotonic()
        status, out = self.compile()
        result["build_s"] = round(time.monotonic() - start, 2)
        if status != 0:
            reason = "build timed out" if status is None else error_summary(out, self.src)
            return dict(result, status="stillborn", error=reason)
        start = time.monotonic()
        status, out = self.suite.run(self.build, self.args, self.env)
        result["test_s"] = round(time.monotonic() - start, 2)
        if status is None:
            return dict(result, status="killed", timeout=True)
        if status != 0:
            names, timed_out = self.suite.failures(out)
            return dict(result, status="killed", timeout=timed_out,
                        failed_tests=names or [f"exit status {status}"])
        return dict(result, status="survived", binary_unchanged=self.suite.fingerprint() == self.baseline)


# ---------------------------------------------------------------- driver


class Progress:
    def __init__(self, total):
        self.total, self.done, self.start, self.lock = total, 0, time.monotonic(), threading.Lock()

    def report(self, mutant, result):
        with self.lock:
            self.done += 1
            elapsed = time.monotonic() - self.start
            eta = elapsed / self.done * (self.total - self.done)
            note = " (timeout)" if result["timeout"] else ""
            width = len(str(self.total))
            print(
                f"[{self.done:{width}}/{self.total}] {result['status']:<9} {mutant.where()}  "
                f"{mutant.orig} -> {mutant.new}{note}   eta {eta / 60:.1f} min",
                flush=True,
            )


def work(worker, jobs, originals, results, progress, failures):
    try:
        worker.setup()
    except Exception as error:  # noqa: BLE001 - reported, the other workers go on
        failures.append(str(error))
        return
    while True:
        try:
            index, mutant = jobs.get_nowait()
        except queue.Empty:
            return
        try:
            results[index] = worker.test(mutant, originals[mutant.file])
        except Exception as error:  # noqa: BLE001 - one broken mutant must not stop the worker
            results[index] = {"status": "error", "timeout": False, "error": str(error)[:300]}
        progress.report(mutant, results[index])


def run_all(mutants, results, args, campaign):
    originals = {m.file: (ROOT / m.file).read_text() for m in mutants}
    jobs = queue.Queue()
    for item in enumerate(mutants):
        jobs.put(item)
    failures = []
    progress = Progress(len(mutants))
    scratch = Path(tempfile.mkdtemp(prefix=f"mutate-{campaign.name}-", dir="/tmp"))
    print(f"{len(mutants)} mutants, {args.jobs} workers in {scratch}", flush=True)
    shared = (jobs, originals, results, progress, failures)
    threads = [
        threading.Thread(target=work, args=(Worker(k, scratch, args, campaign.suite()), *shared), daemon=True)
        for k in range(args.jobs)
    ]
    try:
        for t in threads:
            t.start()
        for t in threads:
            t.join()
    finally:
        if not args.keep:
            shutil.rmtree(scratch, ignore_errors=True)
    for failure in failures:
        print(failure, file=sys.stderr)


def summarise(mutants, results, seconds):
    done = [(m, r) for m, r in zip(mutants, results) if r is not None]
    count = lambda status: sum(r["status"] == status for _, r in done)  # noqa: E731
    print(f"\ntotal {len(mutants)}  run {len(done)}  killed {count('killed')}  survived {count('survived')}  "
          f"stillborn {count('stillborn')}  timeouts {sum(r['timeout'] for _, r in done)}  "
          f"errors {count('error')}  in {seconds / 60:.1f} min")
    survivors = [(m, r) for m, r in done if r["status"] == "survived"]
    if survivors:
        print("\nsurvivors:")
    for m, r in survivors:
        same = "  [binary unchanged]" if r["binary_unchanged"] else ""
        print(f"{m.where()}  {m.orig} -> {m.new}  | {m.source}{same}")


def write_report(path, mutants, results, seconds, args, campaign):
    entries = [dict(dataclasses.asdict(m), **(r or {"status": "not run"})) for m, r in zip(mutants, results)]
    for e in entries:
        del e["offset"]
    git = subprocess.run(["git", "rev-parse", "HEAD"], cwd=ROOT, capture_output=True, text=True)
    commit = git.stdout.strip()
    done = [r for r in results if r is not None]
    counts = {status: sum(r["status"] == status for r in done)
              for status in ("killed", "survived", "stillborn", "error")}
    meta = {"campaign": campaign.name, "tree": str(ROOT), "commit": commit, "seconds": round(seconds, 1),
            "jobs": args.jobs, "build_type": args.build_type, "sanitize": args.sanitize,
            "timeout_s": args.timeout, "sample": args.sample, "seed": args.seed,
            "mutants": len(mutants), "counts": counts}
    Path(path).write_text(json.dumps({"run": meta, "mutants": entries}, indent=1) + "\n")


@dataclasses.dataclass
class Campaign:
    """What is mutated and which tests judge it."""

    name: str  # scratch-tree prefix and report tag
    doc: str  # the help text
    sources: object  # () -> the paths under ROOT that are mutated
    suite: object  # () -> a fresh suite for one worker
    timeout: float  # default seconds per test run


INTEGRATOR = Campaign("integrator", __doc__, integrator_sources, GtestSuite, 120)


def parse_args(campaign):
    p = argparse.ArgumentParser(description=campaign.doc.split("\n\n")[0])
    p.add_argument("--jobs", type=int, default=4, help="parallel workers, each with its own tree (default 4)")
    p.add_argument("--build-type", default="Release", help="the workers' CMAKE_BUILD_TYPE (default Release)")
    p.add_argument("--sanitize", action="store_true", help="build with AddressSanitizer + UBSan")
    p.add_argument("--files", nargs="+", metavar="GLOB", help="only these sources (path or file name globs)")
    p.add_argument("--lines", metavar="[GLOB:]A-B,...", help="only mutants on these lines")
    p.add_argument("--survivors-of", metavar="REPORT.json", help="only the survivors of an earlier report")
    p.add_argument("--report", metavar="OUT.json", help="write every mutant and its outcome")
    p.add_argument("--list", action="store_true", help="print the mutants and stop")
    p.add_argument("--sample", type=int, metavar="N", help="only a seeded sample of N mutants")
    p.add_argument("--seed", default="1", help="seed of the sample (default 1)")
    p.add_argument("--tree", metavar="DIR", help="mutate a copy of this checkout instead of this one")
    p.add_argument("--timeout", type=float, default=campaign.timeout,
                   help=f"seconds per test run (default {campaign.timeout:g})")
    p.add_argument("--build-timeout", type=float, default=900, help="seconds per rebuild (default 900)")
    p.add_argument("--keep", action="store_true", help="keep the scratch trees under /tmp")
    return p.parse_args()


def main(campaign=INTEGRATOR):
    global ROOT
    args = parse_args(campaign)
    if args.tree:
        ROOT = Path(args.tree).resolve()
    mutants = select_mutants(args, campaign.sources)
    if args.list:
        for m in mutants:
            print(f"{m.where()}  {m.kind:<10} {m.orig} -> {m.new}  | {m.source}")
        print(f"{len(mutants)} mutants")
        return 0
    if not mutants:
        print("no mutants selected")
        return 0
    start = time.monotonic()
    results = [None] * len(mutants)
    try:
        run_all(mutants, results, args, campaign)
    finally:
        seconds = time.monotonic() - start
        if args.report:
            write_report(args.report, mutants, results, seconds, args, campaign)
    summarise(mutants, results, seconds)
    return 0


if __name__ == "__main__":
    sys.exit(main())
