#!/usr/bin/env python3
"""Mutation testing of the rule code: small faults planted one at a time, to see
whether the tests notice them.

Each mutant changes one spot of one source file:
  relational  <  <=  >  >=  flipped or moved by one (< and > only when spaced as
              binary operators, so templates, -> and << are never touched)
  equality    == and != swapped
  logical     && and || swapped
  literal     a number n becomes n+1, but 1 becomes 0; x.y becomes x.y+1, or 0
              when it is too large to move by one (table entries included)
  negate      if (c) and while (c) become if (!(c)) and while (!(c))
  delete      a call, assignment or ++/-- statement becomes an empty statement
Comments, strings, preprocessor lines and logging lines are left alone.

The tests that can notice a mutant are those that run its lines. Once for each
state of src/ and tests/, an instrumented copy of the tree (build/mutate/coverage,
built with gcc --coverage -O1) runs each test suite of core_tests and batch_tests
alone - the quick tests of a suite apart from its long ones - and the batch command
line, and gcov tells which lines of src/ each ran; the map is kept in
build/mutate/coverage.json. A line without code of its own (a table, a
declaration) and a case label count as run by the suites that run the function
around them (all suites outside any function). A mutant on lines that no test
runs is a survivor, "not covered", and is neither built nor run.

The source tree is never written to. Each job has its own copy of the tree in
build/mutate/work-J (brought up to date with the tree at every run) with its own
build directory; a mutant is written into the copy, the test targets are built and
the tests run, each run stopping at its first failure: the quick suites that run
the mutant's lines, fastest first, then the long ones (the first quarter of the soak
and of the hundred thousand spins, the batch command line) that run its lines. Tests that never reach
the mutated lines cannot tell the mutant from the unchanged tree and are not run. A failing or crashing test kills the mutant; a mutant whose tests run
longer than --timeout, or one run of them longer than twice its time in the
instrumented build and 10 s more, is "timed out" and counts as killed; a mutant
that does not build is left out of the score. Qt files (src/app, src/widgets,
src/shell) are run against all the window and music tests and need the program
built in the copies.

Results are cached in build/mutate/cache.json, keyed by the file, the mutated
file's content hash and the mutant (line, column, operator, replacement). A killed
or unbuildable mutant is reused as long as its key holds; a survivor or timeout
is reused only while tests/ is unchanged too (its hash is stored with the result).

Equivalent mutants - changes no test can notice because the program behaves the
same - are listed in tools/mutate-equivalent.txt: a survivor's line as printed,
followed by "  # reason". An entry names one mutant by the file and the text of the
line before and after; where the same change can be made on several lines, the one
nearest the entry's line number. So entries hold while lines move. They are not run.

Output: every survivor as "file:line: original  →  mutated", those not covered
apart, then the score killed / (killed + survived) and the counts;
build/mutate/report.json holds the same for programs. The exit status is 0
whatever the score; 1 on tool errors (such as tests that fail without any mutant),
130 when interrupted.
"""

import argparse
import dataclasses
import decimal
import fnmatch
import hashlib
import json
import os
import queue
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
OUT = ROOT / "build" / "mutate"
EQUIVALENT_FILE = ROOT / "tools" / "mutate-equivalent.txt"
COPIED = ["CMakeLists.txt", "CMakePresets.json", "src", "tests", "tools", "bench", "fuzz",
          "assets", "packaging"]
DEFAULT_FILES = ["src/machine/lottery.cpp", "src/machine/rules.cpp",
                 "src/display/spin_sequence.cpp", "src/presentations/*.cpp",
                 "src/parlour/accounting.cpp", "src/parlour/formdigi_model.cpp",
                 "src/parlour/graph.cpp", "src/premises/*.cpp",
                 "src/stats/reach_stats.cpp", "src/common/bgm.cpp", "src/parlour/controller.cpp",
                 "src/analysis/*.cpp", "src/reports/*.cpp", "src/batch/*.cpp"]
QT_DIRS = ("src/app/", "src/widgets/", "src/shell/")

# ---------------------------------------------------------------- tokens

TOKEN = re.compile(r"""
  (?P<space>\s+)
| (?P<comment>//[^\n]*|/\*.*?\*/)
| (?P<pp>\#(?:\\\n|[^\n])*)
| (?P<string>(?:u8|[uUL])?R"(?P<delim>[^()\\\s]{0,16})\(.*?\)(?P=delim)"
            |(?:u8|[uUL])?"(?:\\.|[^"\\\n])*"
            |(?:u8|[uUL])?'(?:\\.|[^'\\\n])*')
| (?P<number>\.?\d(?:[eEpP][+-]|[\w.]|'(?=\w))*)
| (?P<ident>[A-Za-z_]\w*)
| (?P<punct>->\*|<=>|<<=|>>=|\.\.\.|->|::|<<|>>|<=|>=|==|!=|&&|\|\||\+\+|--|[-+*/%&|^!=]=|\S)
""", re.S | re.X)


@dataclass
class Token:
    kind: str
    text: str
    start: int
    end: int


def tokenize(source):
    """The code tokens of a C++ source: comments, blanks and preprocessor lines dropped."""
    tokens = []
    for m in TOKEN.finditer(source):
        if m.lastgroup not in ("space", "comment", "pp"):
            tokens.append(Token(m.lastgroup, m.group(), m.start(), m.end()))
    return tokens


# ---------------------------------------------------------------- mutants

KEYWORDS = {"return", "break", "continue", "goto", "throw", "co_return", "co_yield", "case",
            "default", "using", "typedef", "namespace", "static", "const", "constexpr", "auto",
            "delete", "new", "template", "typename", "struct", "class", "enum", "friend",
            "static_assert", "if", "else", "for", "while", "do", "switch", "try", "catch"}
RELATIONAL = {"<": ["<=", ">="], "<=": ["<", ">"], ">": [">=", "<="], ">=": [">", "<"]}
COMPARISONS = {"<", "<=", ">", ">=", "==", "!="}
SWAPPED = {"==": ("equality", "!="), "!=": ("equality", "=="),
           "&&": ("logical", "||"), "||": ("logical", "&&")}
ASSIGNMENTS = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="}
BLOCK_AFTER = {")", "else", "do", "try", "]", "mutable", "const", "noexcept", "override"}
LOGGING = re.compile(r"\bfprintf\s*\(\s*stderr|\bstd::c(?:err|log)\b|\bq(?:Debug|Info|Warning|Critical)\s*\(")
INTEGER = re.compile(r"(0[xX][0-9a-fA-F']+|[1-9][0-9']*|0)([uUlLzZ]*)$")
FLOAT = re.compile(r"((?:\d[\d']*)?\.?\d*(?:[eE][+-]?\d+)?)([fFlL]?)$")


@dataclass
class Mutant:
    path: str  # relative to the tree
    line: int
    column: int
    operator: str
    edits: list  # (start, end, replacement), in order
    original: str = ""  # the lines touched, on one line
    mutated: str = ""
    last: int = 0  # the last line touched

    @property
    def identity(self):
        return f"{self.path}:{self.line}:{self.column}:{self.operator}:{self.edits}"

    def apply(self, source):
        for start, end, text in reversed(self.edits):
            source = source[:start] + text + source[end:]
        return source

    def describe(self):
        return f"{self.path}:{self.line}: {self.original}  →  {self.mutated}"


def literal_value(text):
    """The replacement of a number literal (n+1, but 1 becomes 0), or None for what it
    does not read."""
    m = INTEGER.match(text)
    if m:
        digits, suffix = m.group(1).replace("'", ""), m.group(2)
        value = int(digits, 0)
        value = 0 if value == 1 else value + 1
        return (hex(value) if digits[:2].lower() == "0x" else str(value)) + suffix
    m = FLOAT.match(text)
    if not m or not any(c in text for c in ".eE") or text.lower().startswith("0x"):
        return None
    value = decimal.Decimal(m.group(1).replace("'", ""))
    # A number too large to move by one in a double is changed to 0 instead.
    s = str(value + 1) if float(value) + 1 != float(value) else "0"
    return s + ("" if any(c in s for c in ".eE") else ".0") + m.group(2)


def matching(tokens, i):
    """The index of the bracket closing the one at i."""
    pairs = {"(": ")", "[": "]", "{": "}"}
    depth = 0
    for j in range(i, len(tokens)):
        if tokens[j].text in pairs:
            depth += 1
        elif tokens[j].text in pairs.values():
            depth -= 1
            if depth == 0:
                return j
    return len(tokens) - 1


def code_blocks(tokens):
    """For each token, whether it stands directly inside a block of statements."""
    inside, stack = [], [False]
    for i, t in enumerate(tokens):
        inside.append(stack[-1])
        if t.text == "{":
            prev = tokens[i - 1].text if i else ""
            stack.append(prev in BLOCK_AFTER or (prev in {"{", "}", ";", ":"} and stack[-1]))
        elif t.text == "}" and len(stack) > 1:
            stack.pop()
    return inside


def statement_end(tokens, i):
    """The index of the ';' ending an expression statement starting at i, or None
    when what starts there is no call, assignment or increment."""
    j = i
    if tokens[j].text in ("++", "--", "*"):
        j += 1
    if tokens[j].kind != "ident" or (tokens[j].text in KEYWORDS and tokens[j].text != "this"):
        return None
    j += 1
    called = False
    while j < len(tokens):
        t = tokens[j].text
        if t in ("::", ".", "->") and j + 1 < len(tokens) and tokens[j + 1].kind == "ident":
            j += 2
        elif t in ("(", "["):
            called = t == "("
            j = matching(tokens, j) + 1
        else:
            break
    if j >= len(tokens):
        return None
    t = tokens[j].text
    if not (t in ASSIGNMENTS or t in ("++", "--") or tokens[i].text in ("++", "--")
            or (t == ";" and called)):
        return None
    depth = 0
    for k in range(j, len(tokens)):
        t = tokens[k].text
        depth += t in "([{" and len(t) == 1
        depth -= t in ")]}" and len(t) == 1
        if depth < 0:
            return None
        if t == ";" and depth == 0:
            return k
    return None


def depths(tokens):
    """The bracket depth of each token, 0 for the outermost."""
    out, depth = [], 0
    for t in tokens:
        depth -= t.text in (")", "]", "}")
        out.append(depth)
        depth += t.text in ("(", "[", "{")
    return out


def negatable(tokens, open_, close):
    """The start of the condition inside if/while ( … ), or None for a declaration."""
    first = open_ + 1
    for k, depth in zip(range(open_ + 1, close), depths(tokens[open_ + 1:close])):
        if tokens[k].text == ";" and depth == 0:
            first = k + 1
    if first >= close:
        return None
    a, b = tokens[first], tokens[first + 1]
    if a.text in ("auto", "const") or (a.kind == "ident" and b.kind == "ident"):
        return None
    top = [t.text for t, d in zip(tokens[first:close], depths(tokens[first:close])) if d == 0]
    if "&&" not in top and "||" not in top and any(t in COMPARISONS for t in top):
        return None  # a lone comparison: the relational and equality mutants negate it
    return first


def find_mutants(path, source):
    tokens = tokenize(source)
    line_starts = [0] + [m.end() for m in re.finditer("\n", source)]
    lines = source.split("\n")

    def line_of(offset):
        lo, hi = 0, len(line_starts)
        while hi - lo > 1:
            mid = (lo + hi) // 2
            lo, hi = (mid, hi) if line_starts[mid] <= offset else (lo, mid)
        return lo

    mutants = []

    def add(operator, edits):
        first, last = line_of(edits[0][0]), line_of(edits[-1][1])
        if any(LOGGING.search(lines[n]) for n in range(first, last + 1)):
            return
        span_start = line_starts[first]
        span_end = line_starts[last] + len(lines[last])
        text = source[span_start:span_end]
        shifted = [(s - span_start, e - span_start, r) for s, e, r in edits]
        m = Mutant(path, first + 1, edits[0][0] - line_starts[first] + 1, operator, edits,
                   last=last + 1)
        m.original = " ".join(text.split())
        m.mutated = " ".join(Mutant("", 0, 0, "", shifted).apply(text).split())
        mutants.append(m)

    def spaced(t):
        return source[t.start - 1:t.start].isspace() and source[t.end:t.end + 1].isspace()

    inside = code_blocks(tokens)
    for i, t in enumerate(tokens):
        if t.text in RELATIONAL and (len(t.text) == 2 or spaced(t)):
            for r in RELATIONAL[t.text]:
                add("relational", [(t.start, t.end, r)])
        elif t.text in SWAPPED and (t.text != "&&" or spaced(t)):
            operator, r = SWAPPED[t.text]
            add(operator, [(t.start, t.end, r)])
        elif t.kind == "number" and literal_value(t.text) is not None:
            add("literal", [(t.start, t.end, literal_value(t.text))])
        elif (t.text in ("if", "while") and i + 1 < len(tokens) and tokens[i + 1].text == "("):
            close = matching(tokens, i + 1)
            first = negatable(tokens, i + 1, close)
            if first is not None:
                add("negate", [(tokens[first].start, tokens[first].start, "!("),
                               (tokens[close].start, tokens[close].start, ")")])
        prev = tokens[i - 1].text if i else ""
        if inside[i] and (prev in (";", "{", "}", "else") or
                          (prev == ")" and closes_condition(tokens, i - 1))):
            end = statement_end(tokens, i)
            if end is not None:
                add("delete", [(t.start, tokens[end].end, ";")])
    return dedupe(mutants, source)


def closes_condition(tokens, close):
    """Whether the ')' at close ends the head of an if, while or for."""
    depth = 0
    for k in range(close, -1, -1):
        depth += tokens[k].text == ")"
        depth -= tokens[k].text == "("
        if depth == 0:
            return k > 0 and tokens[k - 1].text in ("if", "while", "for")
    return False


def dedupe(mutants, source):
    seen, out = set(), []
    for m in mutants:
        digest = hashlib.sha256(m.apply(source).encode()).hexdigest()
        if m.original != m.mutated and digest not in seen:
            seen.add(digest)
            out.append(m)
    return out


def load_equivalents():
    """The entries of the list of equivalent mutants: [(file, original, mutated, above,
    below, entry's line in the list)]. Each entry's first line is the survivor as printed,
    then its reason; the two lines below it give the nearest code lines above the mutant
    and below it (two lines each, as neighbours() gives them)."""
    entries = []
    if not EQUIVALENT_FILE.exists():
        return entries
    lines = EQUIVALENT_FILE.read_text().splitlines()
    for n, line in enumerate(lines, 1):
        if not line.strip() or line.startswith("#") or line.startswith("  "):
            continue
        m = re.match(r"(\S+?):(\d+): (.*?)(?:  # .*)?$", line)
        context = [re.match(r"  (above|below): (.*)$", x) for x in lines[n:n + 2]]
        if not m or not all(context) or [c.group(1) for c in context] != ["above", "below"]:
            raise SystemExit(f"{EQUIVALENT_FILE}:{n}: not 'file:line: original  →  mutated  "
                             "# reason' with '  above: …' and '  below: …' after it")
        original, _, mutated = m.group(3).partition("  →  ")
        entries.append((m.group(1), original.strip(), mutated.strip(), context[0].group(2),
                        context[1].group(2), n))
    return entries


def neighbours(mutant, source_lines):
    """The two nearest code lines above the lines a mutant touches and the two below,
    each pair joined by " | ", blanks joined."""
    def near(i, step):
        found = []
        while 0 <= i < len(source_lines) and len(found) < 2:
            if source_lines[i].strip():
                found.append(" ".join(source_lines[i].split()))
            i += step
        return " | ".join(found if step > 0 else reversed(found))
    return near(mutant.line - 2, -1), near(mutant.last or mutant.line, 1)


def equivalent_mutants(mutants, entries, sources):
    """The mutants the entries name, and the entries that name none or more than one, with
    how many they name. An entry names a mutant by its file, its texts and the code lines
    around it, so that it holds while lines move and never slips onto a like mutant."""
    lines = {path: text.splitlines() for path, text in sources.items()}
    by_text = {}
    for m in mutants:
        by_text.setdefault((m.path, m.original, m.mutated), []).append(m)
    named, faults = set(), []
    for path, original, mutated, above, below, n in entries:
        found = [m for m in by_text.get((path, original, mutated), [])
                 if neighbours(m, lines[path]) == (above, below)]
        if len(found) == 1 and found[0].identity not in named:
            named.add(found[0].identity)
        else:  # none, several, or one that an entry before names too
            faults.append((path, n, len(found)))
    return named, faults


# ---------------------------------------------------------------- running

CORE_SLOW = "*Soak.*:*.HundredThousand*"  # the core tests of seconds each
# The long tests come in quarters, each from a seed of its own; a mutant meets the
# first quarter, as the others repeat its checks on other seeds.
FIRST_QUARTER = "*/0"
GUI_SLOW = "Soak.*"
RELEASE = ["-DCMAKE_BUILD_TYPE=Release", "-DBUILD_TESTING=ON", "-DPOPCHAN_BUILD_BENCH=OFF"]
COVERAGE = ["-DCMAKE_BUILD_TYPE=", "-DCMAKE_CXX_FLAGS=-O1 --coverage", "-DBUILD_TESTING=ON",
            "-DPOPCHAN_BUILD_APP=OFF", "-DPOPCHAN_BUILD_BENCH=OFF"]
STOP = threading.Event()
CHILDREN = set()


@dataclass(frozen=True)
class Step:
    targets: tuple
    command: tuple  # run in the build directory
    limit: float = None  # seconds, beyond which the mutant counts as timed out


def gtest(binary, only=None, limit=None):
    command = (f"tests/{binary}", "--gtest_fail_fast", "--gtest_brief=1")
    return Step((binary,), command + ((f"--gtest_filter={only}",) if only else ()), limit)


def time_limit(seconds):
    """The time allowed to tests that took seconds in the instrumented build, which is the
    slower: a mutant caught in an endless loop is not waited for long."""
    return 2 * seconds + 10


BATCH_COMMAND_LINE = Step(("popchan-batch",), ("ctest", "--no-tests=error", "-R", "^batch_command_line$"))


def window_tests():
    return [gtest("gui_tests", "-" + GUI_SLOW), gtest("gui_tests", GUI_SLOW), gtest("music_tests")]


def every_test(app):
    return [gtest("core_tests"), gtest("batch_tests"), BATCH_COMMAND_LINE] + (window_tests() if app else [])


def run(command, cwd, env=None, timeout=None, log=subprocess.DEVNULL):
    """The exit status of command, None when it ran out of time (it is killed then)."""
    with subprocess.Popen(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL, stdout=log,
                          stderr=subprocess.STDOUT, start_new_session=True) as p:
        CHILDREN.add(p)
        try:
            return p.wait(timeout)
        except subprocess.TimeoutExpired:
            os.killpg(p.pid, signal.SIGKILL)
            p.wait()
            return None
        finally:
            CHILDREN.discard(p)


def copy_if_different(src, dst):
    if not dst.exists() or dst.read_bytes() != src.read_bytes():
        dst.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy(src, dst)  # a new time stamp, so that Ninja rebuilds it


def sync(copy):
    """Brings the copy of the tree up to date with the tree, its build directory aside."""
    for name in COPIED:
        src, dst = ROOT / name, copy / name
        if src.is_file():
            copy_if_different(src, dst)
            continue
        wanted = {f.relative_to(src) for f in src.rglob("*") if f.is_file()}
        for rel in wanted:
            copy_if_different(src / rel, dst / rel)
        for f in list(dst.rglob("*")):
            if f.is_file() and f.relative_to(dst) not in wanted:
                f.unlink()


class Worker:
    """A copy of the tree with its own build, configured with the CMake options given,
    where mutants are tried one at a time."""

    def __init__(self, copy, options, sources, build_jobs):
        self.copy, self.build = copy, copy / "build"
        self.options, self.sources, self.build_jobs = options, sources, build_jobs
        self.mutated = None  # the file of the copy that holds a mutant
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
                        XDG_RUNTIME_DIR=tempfile.mkdtemp(prefix="mutate-"))

    def prepare(self, targets):
        sync(self.copy)
        for path, text in self.sources.items():
            self.write(path, text)
        log = self.copy / "prepare.log"
        with open(log, "w") as out:
            stamp = self.build / "mutate-options.txt"
            if not stamp.exists() or stamp.read_text() != "\n".join(self.options):
                status = run(["cmake", "-S", self.copy, "-B", self.build, "-G", "Ninja",
                              *self.options], ROOT, log=out)
                if status != 0:
                    raise SystemExit(f"mutate: cmake failed, see {log}")
                self.build.mkdir(parents=True, exist_ok=True)
                stamp.write_text("\n".join(self.options))
            if self.ninja(targets, self.build_jobs, out) != 0:
                raise SystemExit(f"mutate: the unchanged tree does not build, see {log}")

    def write(self, path, text):
        target = self.copy / path
        if target.read_text() != text:
            target.write_text(text)

    def ninja(self, targets, jobs=1, log=subprocess.DEVNULL):
        return run(["ninja", "-C", self.build, f"-j{jobs}", *targets], ROOT, log=log)

    def test(self, steps, timeout):
        """'killed', 'survived', 'timeout' or 'uncompilable' for the copy as it stands."""
        spent, built = 0.0, set()
        for step in steps:
            if STOP.is_set():
                return None
            if not built.issuperset(step.targets):
                if self.ninja(step.targets) != 0:
                    return "uncompilable"
                built.update(step.targets)
            start = time.monotonic()
            allowed = min(step.limit or timeout, max(timeout - spent, 0.1))
            status = run(step.command, self.build, self.env, allowed)
            spent += time.monotonic() - start
            if status is None:
                return "timeout"
            if status != 0:
                return "killed"
        return "survived"

    def try_mutant(self, mutant, steps, timeout):
        if self.mutated and self.mutated != mutant.path:
            self.write(self.mutated, self.sources[self.mutated])
        self.mutated = mutant.path
        self.write(mutant.path, mutant.apply(self.sources[mutant.path]))
        return self.test(steps, timeout)


# ---------------------------------------------------------------- coverage

@dataclass(frozen=True)
class Unit:
    """What the coverage is measured for: the quick or the long tests of one suite of a
    test program, or (binary "") the batch command line."""
    name: str
    binary: str
    tests: tuple
    slow: bool
    seconds: float = 0.0  # its time in the instrumented build

    @property
    def step(self):
        if not self.binary:
            return Step(BATCH_COMMAND_LINE.targets, BATCH_COMMAND_LINE.command, time_limit(self.seconds))
        return gtest(self.binary, ":".join(self.tests), time_limit(self.seconds))


def list_units(build):
    units = []
    for binary in ("core_tests", "batch_tests"):
        listing = subprocess.run([build / "tests" / binary, "--gtest_list_tests"],
                                 capture_output=True, text=True, check=True).stdout
        suites, suite = {}, ""
        for line in listing.splitlines():
            if line.startswith("  "):
                name = suite + line.split()[0]
                slow = binary == "core_tests" and any(
                    fnmatch.fnmatchcase(name, p) for p in CORE_SLOW.split(":"))
                if slow and not fnmatch.fnmatchcase(name, FIRST_QUARTER):
                    continue
                suites.setdefault((suite, slow), []).append(name)
            elif line.split(" ")[0].endswith("."):
                suite = line.split(" ")[0]
        units += [Unit(f"{binary} {suite[:-1]}{' (long)' if slow else ''}", binary, tuple(tests), slow)
                  for (suite, slow), tests in suites.items()]
    return units + [Unit("batch_command_line", "", (), True)]


def measure(unit, build, prefix):
    """Runs unit alone in the instrumented build: its time, and for each file of src/ the
    lines that have code with whether the unit ran them, and its functions likewise."""
    shutil.rmtree(prefix, ignore_errors=True)
    env = dict(os.environ, GCOV_PREFIX=str(prefix), GCOV_PREFIX_STRIP=str(len(build.parts) - 1))
    start = time.monotonic()
    if run(unit.step.command, build, env) != 0:
        raise SystemExit(f"mutate: {unit.name} fails on the unchanged tree")
    seconds = time.monotonic() - start
    data = sorted(prefix.glob("src/**/*.gcda"))
    for f in data:
        f.with_suffix(".gcno").symlink_to(build / f.relative_to(prefix).with_suffix(".gcno"))
    gcov = subprocess.run(["gcov", "--stdout", "--json-format", *data], cwd=prefix,
                          capture_output=True, text=True, check=True).stdout
    lines, functions = {}, {}
    for record in gcov.splitlines():
        record = json.loads(record)
        for f in record["files"]:
            source = Path(record["current_working_directory"], f["file"]).resolve()
            if not source.is_relative_to(build.parent / "src"):
                continue
            path = str(source.relative_to(build.parent))
            ran = lines.setdefault(path, {})
            for line in f["lines"]:
                ran[line["line_number"]] = ran.get(line["line_number"], False) or line["count"] > 0
            ran = functions.setdefault(path, {})
            for fn in f["functions"]:
                span = (fn["start_line"], fn["end_line"])
                ran[span] = ran.get(span, False) or fn["execution_count"] > 0
    return seconds, lines, functions


def coverage_map(sources, jobs):
    """Which units run which lines of src/: {"units": [Unit fields], "lines": {file: {line:
    [units]}}, "functions": {file: [[first, last, [units]]]}}, measured once for each state
    of src/ and tests/ in an instrumented copy of the tree, build/mutate/coverage."""
    path, key = OUT / "coverage.json", f"{tree_hash('src', 'tests')} {CORE_SLOW} {FIRST_QUARTER}"
    if path.exists():
        cover = json.loads(path.read_text())
        if cover["key"] == key:
            return cover
    print("mutate: measuring which lines each test suite runs, in build/mutate/coverage", file=sys.stderr)
    worker = Worker(OUT / "coverage", COVERAGE, sources, os.cpu_count() or 1)
    worker.prepare(["core_tests", "batch_tests", "popchan-batch"])
    units = list_units(worker.build)
    pending, measured = queue.Queue(), {}
    for n in range(len(units)):
        pending.put(n)

    def work(job):
        while not STOP.is_set():
            try:
                n = pending.get_nowait()
            except queue.Empty:
                return
            measured[n] = measure(units[n], worker.build, OUT / "coverage" / f"data-{job}")

    background(work, range(jobs))
    lines, functions = {}, {}
    for n, (seconds, ran_lines, ran_functions) in sorted(measured.items()):
        units[n] = dataclasses.replace(units[n], seconds=seconds)
        for file, ran in ran_lines.items():
            for line, hit in ran.items():
                lines.setdefault(file, {}).setdefault(str(line), []).extend([n] if hit else [])
        for file, ran in ran_functions.items():
            for span, hit in ran.items():
                functions.setdefault(file, {}).setdefault(span, []).extend([n] if hit else [])
    cover = {"key": key, "units": [vars(u) for u in units], "lines": lines,
             "functions": {f: [[*span, n] for span, n in spans.items()] for f, spans in functions.items()}}
    save_json(path, cover)
    return cover


def covering(mutant, cover, source_lines):
    """The units that run a line the mutant touches. A line without code of its own (a
    table, a declaration) and a case label, which decides where other values go, count as
    run by every unit that runs the function around them, or by every unit outside one."""
    ran = cover["lines"].get(mutant.path, {})
    out = set()
    for n in range(mutant.line, mutant.last + 1):
        if str(n) in ran and not source_lines[n - 1].lstrip().startswith("case "):
            out.update(ran[str(n)])
            continue
        around = [units for first, last, units in cover["functions"].get(mutant.path, [])
                  if first <= n <= last]
        for units in around or [range(len(cover["units"]))]:
            out.update(units)
    return out


def test_plan(mutant, cover, source, app):
    """The test runs for a mutant, or None when no test runs its lines: the quick suites
    that run them, fastest first, then the long ones that run them. A test that never
    reaches the mutated lines behaves as on the unchanged tree, so it is not run."""
    if mutant.path.startswith(QT_DIRS):
        return window_tests()
    units = [Unit(**dict(u, tests=tuple(u["tests"]))) for u in cover["units"]]
    chosen = covering(mutant, cover, source.split("\n"))
    if not chosen:
        return None
    first = sorted((u for n, u in enumerate(units) if n in chosen), key=lambda u: (u.slow, u.seconds))
    return [u.step for u in first] + ([gtest("gui_tests")] if app else [])


# ---------------------------------------------------------------- the report

def tree_hash(*names):
    h = hashlib.sha256()
    for name in names:
        for f in sorted((ROOT / name).rglob("*")):
            if f.is_file():
                h.update(str(f.relative_to(ROOT)).encode() + b"\0" + f.read_bytes())
    return h.hexdigest()


def cache_key(mutant, source):
    mutated = hashlib.sha256(mutant.apply(source).encode()).hexdigest()
    return hashlib.sha256(f"{mutated} {mutant.identity}".encode()).hexdigest()


def load_cache(enabled):
    path = OUT / "cache.json"
    return json.loads(path.read_text()) if enabled and path.exists() else {}


def save_json(path, data):
    OUT.mkdir(parents=True, exist_ok=True)
    tmp = path.with_suffix(".tmp")
    tmp.write_text(json.dumps(data, indent=1, ensure_ascii=False))
    os.replace(tmp, path)


def report(mutants, results):
    counts = {s: 0 for s in ("killed", "timeout", "survived", "not covered", "equivalent",
                             "uncompilable")}
    for m in mutants:
        counts[results[m.identity]] += 1
    for status, heading in (("survived", "Survivors:"),
                            ("not covered", "Survivors that no test runs (not built, not run):")):
        if counts[status]:
            print(heading)
            for m in mutants:
                if results[m.identity] == status:
                    print(m.describe())
    caught = counts["killed"] + counts["timeout"]
    scored = caught + counts["survived"] + counts["not covered"]
    score = caught / scored if scored else None
    print(f"score: {caught} / {scored}" + (f" = {100 * score:.1f} %" if scored else ""))
    print(f"killed {counts['killed']}, timed out {counts['timeout']} (counted as killed), "
          f"survived {counts['survived'] + counts['not covered']} ({counts['not covered']} not "
          f"covered), equivalent {counts['equivalent']}, did not compile "
          f"{counts['uncompilable']}; {len(mutants)} mutants")
    save_json(OUT / "report.json", {
        "score": score, "counts": counts,
        "mutants": [{"file": m.path, "line": m.line, "column": m.column, "operator": m.operator,
                     "original": m.original, "mutated": m.mutated, "status": results[m.identity]}
                    for m in mutants]})


# ---------------------------------------------------------------- main

def arguments():
    parser = argparse.ArgumentParser(
        description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--files", nargs="+", metavar="F", default=DEFAULT_FILES,
                        help="source files to mutate (globs; default: the core's rule files)")
    parser.add_argument("--sample", type=int, metavar="N", help="only N mutants drawn at random")
    parser.add_argument("--seed", type=int, default=0, help="seed of the sample (default 0)")
    parser.add_argument("--jobs", type=int, default=1, metavar="J",
                        help="mutants tried at once, each in its own copy (default 1)")
    parser.add_argument("--timeout", type=float, metavar="SECONDS",
                        help="test time allowed to one mutant (default: 5 × the time of the "
                             "unchanged tree's tests, at least 30 s)")
    parser.add_argument("--list", action="store_true", help="print the mutants, run nothing")
    parser.add_argument("--no-cache", action="store_true", help="try every mutant anew")
    return parser.parse_args()


def select(patterns):
    files = []
    for pattern in patterns:
        found = sorted(str(p.relative_to(ROOT)) for p in ROOT.glob(pattern) if p.is_file())
        if not found:
            raise SystemExit(f"mutate: no file {pattern}")
        files += [f for f in found if f not in files]
    return files


def interrupted(*_):
    raise KeyboardInterrupt


def main():
    args = arguments()
    sources = {path: (ROOT / path).read_text() for path in select(args.files)}
    mutants = [m for path, text in sources.items() for m in find_mutants(path, text)]
    if args.sample is not None and args.sample < len(mutants):
        chosen = set(random.Random(args.seed).sample(range(len(mutants)), args.sample))
        mutants = [m for n, m in enumerate(mutants) if n in chosen]
    if args.list:
        for m in mutants:
            print(m.describe())
        return 0

    equivalents, faults = equivalent_mutants(mutants, load_equivalents(), sources)
    results, cache, todo = {}, load_cache(not args.no_cache), []
    tests = tree_hash("tests")
    for m in mutants:
        entry = cache.get(cache_key(m, sources[m.path]))
        if m.identity in equivalents:
            results[m.identity] = "equivalent"
        elif entry and (entry["status"] in ("killed", "uncompilable") or entry["tests"] == tests):
            results[m.identity] = entry["status"]
        else:
            todo.append(m)
    # An entry that names no mutant, or several, is a fault of the list: it would count
    # out a real mutant, or none.
    listed = [(n, found) for path, n, found in faults if path in sources and args.sample is None]
    for n, found in listed:
        print(f"{EQUIVALENT_FILE.relative_to(ROOT)}:{n}: matches "
              f"{'no mutant' if found == 0 else f'{found} mutants'}", file=sys.stderr)
    if listed:
        return 2

    signal.signal(signal.SIGTERM, interrupted)
    try:
        if todo:
            run_mutants(todo, sources, args, cache, results, tests)
    except KeyboardInterrupt:
        STOP.set()
        for p in list(CHILDREN):
            os.killpg(p.pid, signal.SIGKILL)
        save_json(OUT / "cache.json", cache)
        print("mutate: interrupted; the results so far are cached", file=sys.stderr)
        return 130
    report(mutants, results)
    return 0


def run_mutants(todo, sources, args, cache, results, tests):
    app = any(path.startswith(QT_DIRS) for path in sources)
    jobs = max(1, args.jobs)
    cover = None
    if not all(m.path.startswith(QT_DIRS) for m in todo):
        cover = coverage_map(sources, jobs)
    plans = {m.identity: test_plan(m, cover, sources[m.path], app) for m in todo}
    idle = [m for m in todo if plans[m.identity] is None]
    for m in idle:
        results[m.identity] = "not covered"
    if idle:
        print(f"mutate: {len(idle)} mutants are on lines that no test runs: survivors, "
              "neither built nor run", file=sys.stderr)
    todo = [m for m in todo if plans[m.identity] is not None]
    if not todo:
        return
    jobs = min(jobs, len(todo))
    options = RELEASE + [f"-DPOPCHAN_BUILD_APP={'ON' if app else 'OFF'}"]
    workers = [Worker(OUT / f"work-{n}", options, sources, max(1, (os.cpu_count() or 1) // jobs))
               for n in range(jobs)]
    every_step = every_test(app)
    targets = sorted({t for s in every_step for t in s.targets})
    print(f"mutate: preparing {jobs} copies of the tree in {OUT.relative_to(ROOT)}", file=sys.stderr)
    background(lambda w: w.prepare(targets), workers)

    timeout = args.timeout
    start = time.monotonic()
    if workers[0].test(every_step, 3600) != "survived":
        raise SystemExit("mutate: the tests fail on the unchanged tree")
    if timeout is None:
        timeout = max(30.0, 5 * (time.monotonic() - start))

    todo.sort(key=lambda m: (m.path, m.line))
    pending = queue.Queue()
    for m in todo:
        pending.put(m)
    lock, done = threading.Lock(), [0]
    start = time.monotonic()

    def work(worker):
        while not STOP.is_set():
            try:
                m = pending.get_nowait()
            except queue.Empty:
                return
            began = time.monotonic()
            status = worker.try_mutant(m, plans[m.identity], timeout)
            if status is None:
                return
            with lock:
                results[m.identity] = status
                cache[cache_key(m, sources[m.path])] = {"status": status, "tests": tests}
                save_json(OUT / "cache.json", cache)
                done[0] += 1
                print(f"[{done[0]}/{len(todo)}] {status:12} {m.path}:{m.line} "
                      f"({time.monotonic() - began:.1f} s)", file=sys.stderr)

    background(work, workers)
    elapsed = time.monotonic() - start
    print(f"mutate: {len(todo)} mutants tried in {elapsed:.0f} s, "
          f"{elapsed / len(todo):.1f} s each", file=sys.stderr)


def background(job, workers):
    """Runs job(worker) for every worker at once; the first error is raised here."""
    errors = []

    def guarded(w):
        try:
            job(w)
        except BaseException as e:  # noqa: BLE001 - handed on to the main thread
            errors.append(e)
            STOP.set()

    threads = [threading.Thread(target=guarded, args=(w,), daemon=True) for w in workers]
    for t in threads:
        t.start()
    for t in threads:
        while t.is_alive():
            t.join(0.2)
    if errors:
        raise errors[0]


if __name__ == "__main__":
    sys.exit(main())
