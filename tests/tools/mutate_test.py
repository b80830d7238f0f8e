#!/usr/bin/env python3
"""The mutation tool: where it plants mutants, which ones, and that it leaves the tree alone."""

import hashlib
import sys
import tempfile
import unittest
from pathlib import Path
from unittest import mock

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
import mutate  # noqa: E402

SNIPPET = """#include <vector>
#include "machine/rules.h"
// if (a < b) x == 1;
int f(std::vector<int>& v, Node* n, int a, int b, bool ok, bool ready) {
    std::array<int, 3> table = {24, 0};
    const char* text = "a < b == c && d; 7";
    char c = '<';
    int y = 3;
    std::cout << a << n->value;
    /* a == b */
    if (a < b) y = 1;
    if (ok && ready) v.push_back(0.5);
    if (a == b)
        count(a);
    ++y;
    return y;
}
"""


def mutated_lines(source):
    return {m.mutated for m in mutate.find_mutants("x.cpp", source)}


class Mutants(unittest.TestCase):
    def setUp(self):
        self.mutants = mutate.find_mutants("x.cpp", SNIPPET)

    def test_strings_comments_and_includes_are_left_alone(self):
        for m in self.mutants:
            for start, _, _ in m.edits:
                line = SNIPPET.count("\n", 0, start) + 1
                self.assertNotIn(line, (1, 2, 3, 6, 7, 10), m.describe())

    def test_arrows_shifts_and_templates_are_no_comparisons(self):
        for m in self.mutants:
            if m.line in (4, 5, 9):
                self.assertEqual(m.operator, "literal", m.describe())

    def test_each_operator(self):
        expected = {
            "if (a <= b) y = 1;", "if (a >= b) y = 1;",  # relational
            "if (a != b)",  # equality
            "if (ok || ready) v.push_back(0.5);",  # logical
            "std::array<int, 4> table = {24, 0};",  # literal, in a template too
            "std::array<int, 3> table = {25, 0};", "std::array<int, 3> table = {0, 0};",
            "std::array<int, 3> table = {24, 1};",
            "if (ok && ready) v.push_back(1.5);", "if (ok && ready) v.push_back(0.0);",
            "if (!(ok && ready)) v.push_back(0.5);",  # negate
            "if (a < b) ;", "if (ok && ready) ;", ";",  # delete
        }
        self.assertEqual(expected - mutated_lines(SNIPPET), set())

    def test_declarations_and_returns_stay(self):
        deleted = {m.original for m in self.mutants if m.operator == "delete"}
        self.assertEqual(deleted, {"if (a < b) y = 1;", "if (ok && ready) v.push_back(0.5);",
                                   "count(a);", "++y;"})

    def test_a_lone_comparison_is_not_negated_twice(self):
        self.assertNotIn("if (!(a < b)) y = 1;", mutated_lines(SNIPPET))

    def test_logging_lines_are_left_alone(self):
        self.assertEqual(mutate.find_mutants("x.cpp", 'void f() {\n    std::fprintf(stderr, "%d", 1 < 2);\n}\n'), [])


class Equivalents(unittest.TestCase):
    def test_an_entry_matches_its_mutant_wherever_the_line_moved(self):
        source = "int f(int a) {\n    return a < 3;\n}\n"
        moved = "\n\n" + source
        with tempfile.TemporaryDirectory() as tmp:
            listing = Path(tmp) / "equivalent.txt"
            listing.write_text("# file:line: original  →  mutated  # reason\n"
                               "x.cpp:2: return a < 3;  →  return a <= 3;  # a is never 3\n")
            with mock.patch.object(mutate, "EQUIVALENT_FILE", listing):
                entries = mutate.load_equivalents()
        keys = {(m.path, m.original, m.mutated) for m in mutate.find_mutants("x.cpp", moved)}
        self.assertEqual(set(entries), {("x.cpp", "return a < 3;", "return a <= 3;")})
        self.assertLessEqual(set(entries), keys)


def snapshot(root):
    return {str(f.relative_to(root)): hashlib.sha256(f.read_bytes()).hexdigest()
            for f in root.rglob("*") if f.is_file() and "build" not in f.relative_to(root).parts}


class TheTreeIsNeverWritten(unittest.TestCase):
    """A run that is interrupted while a mutant is in place leaves the tree as it was:
    the mutants live only in the copy under build/mutate."""

    def test_interrupted_run(self):
        with tempfile.TemporaryDirectory() as tmp:
            root = Path(tmp)
            for name in ("CMakeLists.txt", "src/rules.cpp", "tests/t.cpp"):
                (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / "CMakeLists.txt").write_text("project(x)\n")
            (root / "src/rules.cpp").write_text("int f(int a) {\n    return a < 3 ? 1 : 2;\n}\n")
            (root / "tests/t.cpp").write_text("int main() {}\n")
            before = snapshot(root)
            tests_run, seen = [], []

            def fake_run(command, cwd, env=None, timeout=None, log=None):
                if str(command[0]).startswith("tests/"):
                    tests_run.append(command)
                    seen.append((cwd.parent / "src/rules.cpp").read_text())
                    if len(tests_run) == 4:  # the baseline and two mutants, then Ctrl+C
                        raise KeyboardInterrupt
                return 0

            argv = ["mutate.py", "--files", "src/rules.cpp", "--jobs", "1", "--no-cache"]
            with mock.patch.multiple(mutate, ROOT=root, OUT=root / "build/mutate",
                                     COPIED=["CMakeLists.txt", "src", "tests"], run=fake_run), \
                    mock.patch.object(sys, "argv", argv):
                status = mutate.main()
            self.assertEqual(status, 130)
            self.assertEqual(snapshot(root), before)
            self.assertNotEqual(seen[-1], (root / "src/rules.cpp").read_text())  # a mutant was in place
            self.assertTrue((root / "build/mutate/work-0/src/rules.cpp").exists())


if __name__ == "__main__":
    unittest.main()
