#!/usr/bin/env python3
"""Checks the rows of regex_syntax_test.cpp that claim to agree with sed.

Runs GNU sed (LC_ALL=C) on every row of kSameAsSed and kIgnoreCase and prints
the rows where sed gives another result. Not part of the test run: use it after
adding rows.   tests/unit/regex/check_with_sed.py
"""
import os
import re
import shutil
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))
source = open(os.path.join(here, "regex_syntax_test.cpp"), encoding="latin-1").read()
if not shutil.which("sed"):
    sys.exit("sed not found")


def rows(table):
    body = source.split("const Row " + table + "[] = {")[1].split("\n};")[0]
    return re.findall(r'\{R"~\((.*?)\)~",\s*R"~\((.*?)\)~",\s*R"~\((.*?)\)~"\}', body, re.S)


bad = 0
for table, flag in (("kSameAsSed", ""), ("kIgnoreCase", "I")):
    for pattern, subject, expected in rows(table):
        groups = len(re.findall(r"\\\(", pattern))
        replacement = "<&" + "".join("|\\%d" % k for k in range(1, groups + 1)) + ">"
        script = "s\x01" + pattern + "\x01" + replacement + "\x01" + flag + "p"
        out = subprocess.run(["sed", "-n", script], input=subject.encode("latin-1") + b"\n",
                             capture_output=True, env={"LC_ALL": "C"}).stdout
        got = out.decode("latin-1").rstrip("\n") or "-"
        if got != expected:
            bad += 1
            print("%s: %r on %r: sed gives %r, the table %r" % (table, pattern, subject, got,
                                                                 expected))
print("rows differing from sed:", bad)
sys.exit(1 if bad else 0)
