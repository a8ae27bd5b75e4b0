#!/usr/bin/env python3
"""The reference-list generator on small sources, and the shipped files."""

import json
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent.parent
GENERATOR = ROOT / "scripts" / "make-reference-lists"
DATA = ROOT / "data"

PSL = """\
// zz lies before the section and must not count
zz
// ===BEGIN ICANN DOMAINS===

// uk
uk
co.uk
// wildcard and exception rules name their domain by the last label
*.ck
!www.ck
com
DE
ci
tw
vn
ac
eu
su
рф
公司.hk
hk
// ===END ICANN DOMAINS===
// ===BEGIN PRIVATE DOMAINS===
blogspot.com
example.qq
// ===END PRIVATE DOMAINS===
"""

ISO = {"3166-1": [
    {"alpha_2": "CK", "name": "Cook Islands"},
    {"alpha_2": "CI", "name": "Côte d\u2019Ivoire"},
    {"alpha_2": "DE", "name": "Germany"},
    {"alpha_2": "HK", "name": "Hong Kong"},
    {"alpha_2": "TW", "name": "Taiwan, Province of China", "common_name": "Taiwan"},
    {"alpha_2": "VN", "name": "Vi\u1ec7t Nam"},
    {"alpha_2": "QQ", "name": "Never Listed"},
]}

COUNTRY = (
    "Extension|Country\r\n"
    "ac|Ascension Island\r\n"
    "ci|Côte d'Ivoire\r\n"
    "ck|Cook Islands\r\n"
    "de|Germany\r\n"
    "eu|European Union\r\n"
    "hk|Hong Kong\r\n"
    "su|Soviet Union\r\n"
    "tw|Taiwan\r\n"
    "uk|United Kingdom\r\n"
    "vn|Viet Nam\r\n"
).encode("latin-1")

GENERIC = (
    "Extension|Type\r\n"
    "com|generic\r\n"
    "xn--p1ai|internationalized\r\n"
).encode("ascii")


class GeneratorTest(unittest.TestCase):
    def setUp(self):
        tmp = tempfile.TemporaryDirectory()
        self.addCleanup(tmp.cleanup)
        self.dir = Path(tmp.name)
        self.psl = self.dir / "psl.dat"
        self.iso = self.dir / "iso.json"
        self.out = self.dir / "out"
        self.out.mkdir()
        self.psl.write_text(PSL, encoding="utf-8")
        self.iso.write_text(json.dumps(ISO, ensure_ascii=False), encoding="utf-8")

    def run_generator(self, *extra):
        return subprocess.run(
            [sys.executable, str(GENERATOR), "--psl", str(self.psl), "--iso", str(self.iso),
             "--out", str(self.out), *extra],
            capture_output=True, text=True)

    def test_writes_exact_files(self):
        result = self.run_generator("--allow-small")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual((self.out / "DN_Country.cfg").read_bytes(), COUNTRY)
        self.assertEqual((self.out / "DN_Generic.cfg").read_bytes(), GENERIC)
        self.assertEqual(sorted(p.name for p in self.out.iterdir()), ["DN_Country.cfg", "DN_Generic.cfg"])

    def test_refuses_bad_sources(self):
        cases = [
            # (what breaks, how to break it, words the message must hold)
            ("missing list", lambda: self.psl.unlink(), "Public Suffix List not found"),
            ("missing names", lambda: self.iso.unlink(), "ISO 3166-1 list not found"),
            ("no markers", lambda: self.psl.write_text("com\nde\n", encoding="utf-8"), "markers"),
            ("no name", lambda: self.psl.write_text(PSL.replace("tw\n", "tw\nxx\n"), encoding="utf-8"),
             "no country name for 'xx'"),
        ]
        for what, breaks, message in cases:
            with self.subTest(what):
                self.setUp()  # fresh sources and output folder
                breaks()
                result = self.run_generator("--allow-small")
                self.assertEqual(result.returncode, 1)
                self.assertIn(message, result.stderr)
                self.assertEqual(list(self.out.iterdir()), [])

    def test_refuses_small_counts_without_flag(self):
        result = self.run_generator()
        self.assertEqual(result.returncode, 1)
        self.assertIn("only 10 two-letter and 2 other domains", result.stderr)
        self.assertEqual(list(self.out.iterdir()), [])


SHIPPED = [
    # (file, caption, at least this many values, values that must be there)
    ("DN_Country.cfg", "Extension|Country", 240, ["de", "uk"]),
    ("DN_Generic.cfg", "Extension|Type", 1000, ["com", "org", "xn--p1ai"]),
    ("DN_User.cfg", "Extension|Reason", 2, ["arpa", "onion"]),
    ("DN_Keyword.cfg", "Keyword|Reason", 5, ["mailer-daemon", "noreply", "no-reply", "donotreply", "do-not-reply"]),
]


class ShippedFilesTest(unittest.TestCase):
    def test_files_parse(self):
        for name, caption, least, present in SHIPPED:
            with self.subTest(name):
                raw = (DATA / name).read_bytes()
                self.assertTrue(raw.endswith(b"\r\n"))
                self.assertEqual(raw.count(b"\n"), raw.count(b"\r\n"))
                self.assertEqual(raw.count(b"\r"), raw.count(b"\r\n"))
                records = raw.decode("latin-1").split("\r\n")[:-1]
                self.assertEqual(records[0], caption)
                rows = [r.split("|") for r in records[1:]]
                for row in rows:
                    self.assertEqual(len(row), 2, row)
                    value, text = row
                    self.assertRegex(value, r"^[a-z0-9-]+$")
                    self.assertTrue(text.strip(), row)
                values = [r[0] for r in rows]
                self.assertEqual(values, sorted(set(values)))
                self.assertGreaterEqual(len(values), least)
                for v in present:
                    self.assertIn(v, values)

    def test_country_and_generic_are_disjoint(self):
        def values(name):
            return {r.split("|")[0] for r in (DATA / name).read_bytes().decode("latin-1").split("\r\n")[1:-1]}
        country, generic = values("DN_Country.cfg"), values("DN_Generic.cfg")
        self.assertEqual(country & generic, set())
        self.assertTrue(all(len(v) == 2 for v in country))


if __name__ == "__main__":
    unittest.main()
