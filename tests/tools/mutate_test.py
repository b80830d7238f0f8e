#!/usr/bin/env python3
"""The mutation tool: where it plants mutants, which ones, which tests it runs on them, and
that it leaves the tree alone."""

import contextlib
import hashlib
import io
import json
import shutil
import subprocess
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
            "if (!(ok && ready)) v.push_back(0.5);",  # negate
            "if (a < b) ;", "if (ok && ready) ;", ";",  # delete
        }
        self.assertEqual(expected - mutated_lines(SNIPPET), set())

    def test_each_number_once_one_up_but_one_down(self):
        literals = {m.mutated for m in self.mutants if m.operator == "literal"}
        self.assertEqual(literals, {"std::array<int, 4> table = {24, 0};",
                                    "std::array<int, 3> table = {25, 0};",
                                    "std::array<int, 3> table = {24, 1};",
                                    "int y = 4;", "if (a < b) y = 0;",
                                    "if (ok && ready) v.push_back(1.5);"})

    def test_a_number_too_large_to_move_by_one_becomes_0(self):
        self.assertEqual(mutate.literal_value("3e38"), "0.0")
        self.assertEqual(mutate.literal_value("3e38f"), "0.0f")
        self.assertEqual(mutate.literal_value("1e15"), "1000000000000001.0")

    def test_declarations_and_returns_stay(self):
        deleted = {m.original for m in self.mutants if m.operator == "delete"}
        self.assertEqual(deleted, {"if (a < b) y = 1;", "if (ok && ready) v.push_back(0.5);",
                                   "count(a);", "++y;"})

    def test_a_lone_comparison_is_not_negated_twice(self):
        self.assertNotIn("if (!(a < b)) y = 1;", mutated_lines(SNIPPET))

    def test_logging_lines_are_left_alone(self):
        self.assertEqual(mutate.find_mutants("x.cpp", 'void f() {\n    std::fprintf(stderr, "%d", 1 < 2);\n}\n'), [])


class Equivalents(unittest.TestCase):
    def equivalents(self, listing_text, source):
        with tempfile.TemporaryDirectory() as tmp:
            listing = Path(tmp) / "equivalent.txt"
            listing.write_text("# file:line: original  →  mutated  # reason\n" + listing_text)
            with mock.patch.object(mutate, "EQUIVALENT_FILE", listing):
                entries = mutate.load_equivalents()
        mutants = mutate.find_mutants("x.cpp", source)
        named, faults = mutate.equivalent_mutants(mutants, entries, {"x.cpp": source})
        return sorted(m.line for m in mutants if m.identity in named), faults

    def test_an_entry_matches_its_mutant_wherever_the_line_moved(self):
        source = "int f(int a) {\n    return a < 3;\n}\n"
        lines, faults = self.equivalents(
            "x.cpp:2: return a < 3;  →  return a <= 3;  # a is never 3\n"
            "  above: int f(int a) {\n  below: }\n", "\n\n" + source)
        self.assertEqual(lines, [4])
        self.assertEqual(faults, [])

    def test_each_entry_names_one_mutant_by_the_lines_around_it(self):
        # The same change on lines 2 and 4: each entry names its own by the code
        # around it, whatever line it gives; one with other neighbours names none.
        source = "void f() {\n    g();\n    h();\n    g();\n}\n"
        lines, faults = self.equivalents("x.cpp:9: g();  →  ;  # one\n"
                                         "  above: void f() {\n  below: h(); | g();\n"
                                         "x.cpp:1: g();  →  ;  # two\n"
                                         "  above: g(); | h();\n  below: }\n"
                                         "x.cpp:4: g();  →  ;  # three\n"
                                         "  above: h();\n  below: }\n", source)
        self.assertEqual(lines, [2, 4])
        self.assertEqual(faults, [("x.cpp", 8, 0)])

    def test_an_entry_that_names_several_or_one_named_before_is_a_fault(self):
        twice = "x();\n    a();\n    g();\n    b();\n    c();\n"
        source = "void f() {\n    " + twice + "    " + twice + "}\n"
        entry = "x.cpp:4: g();  →  ;  # reason\n  above: x(); | a();\n  below: b(); | c();\n"
        lines, faults = self.equivalents(entry, source)
        self.assertEqual((lines, faults), ([], [("x.cpp", 2, 2)]))
        source = "void f() {\n    g();\n}\n"
        entry = "x.cpp:2: g();  →  ;  # reason\n  above: void f() {\n  below: }\n"
        lines, faults = self.equivalents(entry + entry, source)
        self.assertEqual((lines, faults), ([2], [("x.cpp", 5, 1)]))
        # An entry without its neighbours is refused when the list is read.
        with self.assertRaises(SystemExit):
            self.equivalents("x.cpp:2: g();  →  ;  # reason\n", source)


COVERED = """int f(int a) {
    switch (a) {
    case 1:
        return 2;
    }
    return a < 3 ? 4 : 5;
}
const int kTable[] = {6, 7};
"""


def unit(name, seconds, slow=False, binary="core_tests"):
    return vars(mutate.Unit(name, binary, (name + ".a",), slow, seconds))


class TheTestsRun(unittest.TestCase):
    """Which tests a mutant meets, from the lines each suite runs."""

    cover = {"units": [unit("Slow", 2.0), unit("Fast", 0.1), unit("Other", 0.5),
                       unit("Soak", 30.0, slow=True), unit("Cli", 5.0, slow=True, binary="")],
             "lines": {"x.cpp": {"1": [0, 1, 3], "2": [0, 1, 3], "3": [], "4": [], "6": [0, 1]}},
             "functions": {"x.cpp": [[1, 7, [0, 1, 3]]]}}

    def plan(self, line, operator="literal"):
        mutant = next(m for m in mutate.find_mutants("x.cpp", COVERED)
                      if m.line == line and m.operator == operator)
        return mutate.test_plan(mutant, self.cover, COVERED, app=False)

    def runs(self, line, operator="literal"):
        return [step.command[-1] for step in self.plan(line, operator)]

    def test_only_the_suites_that_run_the_line_fastest_first(self):
        self.assertEqual(self.runs(6, "relational"), ["--gtest_filter=Fast.a", "--gtest_filter=Slow.a"])

    def test_a_line_no_test_runs_runs_nothing(self):
        self.assertIsNone(self.plan(4))

    def test_a_case_label_meets_every_suite_that_runs_its_function_the_long_ones_last(self):
        self.assertEqual(self.runs(3), ["--gtest_filter=Fast.a", "--gtest_filter=Slow.a",
                                        "--gtest_filter=Soak.a"])

    def test_a_line_outside_functions_meets_every_test(self):
        self.assertEqual(self.runs(8)[-2:], ["^batch_command_line$", "--gtest_filter=Soak.a"])

    def test_a_run_longer_than_twice_its_instrumented_time_and_10_s_times_out(self):
        waited = []

        def fake_run(command, cwd, env=None, timeout=None, log=None):
            waited.append(timeout)
            return None if timeout else 0  # ninja builds; the test runs out of time

        steps = self.plan(6, "relational")
        self.assertEqual([step.limit for step in steps], [10.2, 14.0])
        with mock.patch.object(mutate, "run", fake_run):
            self.assertEqual(mutate.Worker(Path("copy"), [], {}, 1).test(steps, 300), "timeout")
        self.assertEqual(waited, [None, 10.2])


@unittest.skipUnless(shutil.which("g++") and shutil.which("gcov"), "needs g++ and gcov")
class Measure(unittest.TestCase):
    def test_the_lines_a_test_program_runs_as_gcov_reads_them(self):
        with tempfile.TemporaryDirectory() as tmp:
            root = Path(tmp)
            (root / "src").mkdir()
            (root / "build/src").mkdir(parents=True)
            (root / "build/tests").mkdir()
            source = root / "src/f.cpp"
            source.write_text("int f(int a) {\n    if (a > 0)\n        return a * 3;\n"
                              "    return -a;\n}\nint g() { return 1; }\n")
            main = root / "main.cpp"
            main.write_text("int f(int);\nint main() { return f(2) == 6 ? 0 : 1; }\n")
            compile_ = ["g++", "--coverage", "-O1"]
            subprocess.run(compile_ + ["-c", source, "-o", root / "build/src/f.cpp.o"], check=True)
            subprocess.run(compile_ + [main, root / "build/src/f.cpp.o", "-o",
                                       root / "build/tests/core_tests"], check=True)
            seconds, lines, functions = mutate.measure(
                mutate.Unit("core_tests F", "core_tests", ("F.a",), False), root / "build",
                root / "data")
        self.assertEqual({n for n, ran in lines["src/f.cpp"].items() if ran}, {1, 2, 3})
        self.assertFalse(lines["src/f.cpp"][4])
        self.assertEqual(functions["src/f.cpp"], {(1, 5): True, (6, 6): False})


class NotCovered(unittest.TestCase):
    def test_a_mutant_on_lines_no_test_runs_survives_unbuilt_and_unrun(self):
        with tempfile.TemporaryDirectory() as tmp:
            root = Path(tmp)
            (root / "src").mkdir()
            (root / "src/rules.cpp").write_text("int f(int a) {\n    return a < 3 ? 1 : 2;\n}\n")
            cover = {"units": [unit("T", 0.1)], "lines": {"src/rules.cpp": {"1": [], "2": []}},
                     "functions": {}}
            commands = []
            argv = ["mutate.py", "--files", "src/rules.cpp", "--no-cache"]
            with mock.patch.multiple(mutate, ROOT=root, OUT=root / "build/mutate",
                                     run=lambda command, *_, **__: commands.append(command) or 0,
                                     coverage_map=lambda sources, jobs: cover), \
                    mock.patch.object(sys, "argv", argv), \
                    contextlib.redirect_stdout(io.StringIO()) as out:
                self.assertEqual(mutate.main(), 0)
            report = json.loads((root / "build/mutate/report.json").read_text())
        self.assertEqual(commands, [])
        self.assertEqual({m["status"] for m in report["mutants"]}, {"not covered"})
        self.assertIn("src/rules.cpp:2: return a < 3 ? 1 : 2;  →  return a < 4 ? 1 : 2;", out.getvalue())


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
                    if len(tests_run) == 4:  # the baseline (two programs), two mutants, then Ctrl+C
                        raise KeyboardInterrupt
                return 0

            argv = ["mutate.py", "--files", "src/rules.cpp", "--jobs", "1", "--no-cache"]
            cover = {"units": [unit("T", 0.1)], "lines": {"src/rules.cpp": {"2": [0]}},
                     "functions": {}}
            with mock.patch.multiple(mutate, ROOT=root, OUT=root / "build/mutate",
                                     COPIED=["CMakeLists.txt", "src", "tests"], run=fake_run,
                                     coverage_map=lambda sources, jobs: cover), \
                    mock.patch.object(sys, "argv", argv):
                status = mutate.main()
            self.assertEqual(status, 130)
            self.assertEqual(snapshot(root), before)
            self.assertNotEqual(seen[-1], (root / "src/rules.cpp").read_text())  # a mutant was in place
            self.assertTrue((root / "build/mutate/work-0/src/rules.cpp").exists())


if __name__ == "__main__":
    unittest.main()
