"""The include check against planted includes: each one that points up (or
from one front end into another) fails it, the tree as it is passes.
Usage: python3 check_layers_test.py"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
CHECK = os.path.join(ROOT, "scripts", "check_layers.py")
FOLDERS = ("common", "resources", "settings", "output", "analysis", "textfmt", "install",
           "jobs", "app", "console", "service", "launcher")


class PlantedIncludes(unittest.TestCase):
    def setUp(self):
        self.tree = tempfile.mkdtemp(prefix="layers-")
        for folder in FOLDERS:
            if os.path.isdir(os.path.join(ROOT, folder)):
                shutil.copytree(os.path.join(ROOT, folder), os.path.join(self.tree, folder))

    def tearDown(self):
        shutil.rmtree(self.tree, ignore_errors=True)

    def check(self):
        return subprocess.run([sys.executable, CHECK, self.tree], capture_output=True, text=True)

    def test_the_tree_passes_and_each_planted_include_fails(self):
        self.assertEqual(self.check().returncode, 0)
        cases = [
            ("output/planted.cpp", "../jobs/job_runner.h", "jobs is above output"),
            ("jobs/planted.cpp", "../app/shell_state.h", "app is above jobs"),
            ("common/planted.cpp", "../settings/settings.h", "settings is above common"),
            ("textfmt/planted.cpp", "../analysis/file_analysis.h", "analysis is above textfmt"),
            ("app/planted.cpp", "../console/planted.h", "stand beside each other"),
        ]
        for source, target, why in cases:
            with self.subTest(source=source, target=target):
                for path in (source, target.replace("../", "")):
                    os.makedirs(os.path.dirname(os.path.join(self.tree, path)), exist_ok=True)
                with open(os.path.join(self.tree, target.replace("../", "")), "a"):
                    pass
                planted = os.path.join(self.tree, source)
                with open(planted, "w") as f:
                    f.write('#include "%s"\n' % target)
                result = self.check()
                os.remove(planted)
                self.assertEqual(result.returncode, 1, result.stdout)
                self.assertIn(why, result.stdout)


if __name__ == "__main__":
    unittest.main()
