#!/usr/bin/env python3
"""The include check run over small source trees."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "check-includes")

BASE = {
    "platform/orrin/Mutex.h": "",
    "schema/base/Log.h": '#include "platform/orrin/Mutex.h"\n',
    "schema/state/State.h": '#include "schema/base/Log.h"\n',
    "usb/cfg/Item.h": '#include "schema/state/State.h"\n',
}
UP = "schema/base -> usb/cfg  schema/base/Agent.cpp  usb/cfg/Item.h"


def run(files, allow, *options):
    with tempfile.TemporaryDirectory() as work:
        src = os.path.join(work, "src")
        for path, text in {**BASE, **files}.items():
            os.makedirs(os.path.dirname(os.path.join(src, path)), exist_ok=True)
            with open(os.path.join(src, path), "w") as f:
                f.write(text)
        allow_path = os.path.join(work, "allow")
        with open(allow_path, "w") as f:
            f.write("".join(line + "\n" for line in allow))
        done = subprocess.run([sys.executable, CHECK, "--src", src, "--allow", allow_path, *options],
                              capture_output=True, text=True)
        with open(allow_path) as f:
            return done.returncode, done.stdout + done.stderr, f.read()


class CheckIncludesTest(unittest.TestCase):
    def test_cases(self):
        cases = [
            ("downward, own folder and next to the file",
             {"usb/cfg/Table.cpp": '#include "usb/cfg/Item.h"\n#include "Item.h"\n#include <vector>\n'}, [], 0, ""),
            ("up to a higher layer",
             {"schema/base/Agent.cpp": '#include "usb/cfg/Item.h"\n'}, [], 1, "goes up: " + UP),
            ("up, allowed", {"schema/base/Agent.cpp": '#include "usb/cfg/Item.h"\n'},
             ["# why", UP], 0, "1 allowed"),
            ("allowed but gone", {}, [UP], 1, "allowed but gone (drop it from the list): " + UP),
            ("up inside a layer", {"schema/base/Agent.h": '  #  include "schema/state/State.h"\n'}, [], 1,
             "goes up: schema/base -> schema/state  schema/base/Agent.h  schema/state/State.h"),
            ("up through angle brackets", {"platform/orrin/Tls.h": "#include <schema/base/Log.h>\n"}, [], 1,
             "goes up: platform/orrin -> schema/base"),
            ("folder with no place", {"schema/newer/Thing.h": ""}, [], 1, "schema/newer/Thing.h: its folder has no place"),
            ("file outside src", {"usb/cfg/Table.cpp": '#include "support/Tree.h"\n'}, [], 1,
             '"support/Tree.h" names no file under src'),
        ]
        for name, files, allow, rc, text in cases:
            with self.subTest(name):
                code, output, _ = run(files, allow)
                self.assertEqual(code, rc, output)
                self.assertIn(text, output)

    def test_prune_drops_only_gone_entries(self):
        kept = "schema/base -> usb/cfg  schema/base/Kept.cpp  usb/cfg/Item.h"
        code, output, allow = run({"schema/base/Kept.cpp": '#include "usb/cfg/Item.h"\n'},
                                  ["# why", UP, kept], "--prune")
        self.assertEqual(code, 0, output)
        self.assertEqual(allow, "# why\n" + kept + "\n")


if __name__ == "__main__":
    unittest.main()
