"""scripts/lay_out.sh writes full paths into the registry file it lays out,
also for a ROOT given relative to the current folder: the service would
refuse relative ones, and they would name other files once it runs
elsewhere."""
import os
import re
import subprocess
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "lay_out.sh")


def touch(path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8"):
        pass


class LayOutTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory(prefix="lay_out_test")
        self.addCleanup(self.work.cleanup)
        build = os.path.join(self.work.name, "build")
        touch(os.path.join(build, "deploy", "bin", "wexi.so"))
        touch(os.path.join(build, "bin", "rulosrv"))

    def registry_paths(self, root_argument):
        subprocess.run(["bash", SCRIPT, "build", root_argument], cwd=self.work.name, check=True,
                       stdout=subprocess.DEVNULL)
        root = os.path.join(self.work.name, root_argument)
        with open(os.path.join(root, "etc", "korvex", "registry.reg"), encoding="utf-8") as registry:
            text = registry.read()
        return os.path.realpath(root), dict(re.findall(r'^"(invexecdir|invoutputfile)"="(.*)"$', text, re.M))

    def test_a_relative_root_gives_full_paths(self):
        for root_argument in ("deploy", "./nested/../deploy2", "deploy 3"):
            with self.subTest(root=root_argument):
                root, paths = self.registry_paths(root_argument)
                for name, below in (("invexecdir", "opt/korvex/collector/korvex-collector"),
                                    ("invoutputfile", "opt/korvex/xslroot/inventory/data/inventory.xml")):
                    self.assertTrue(os.path.isabs(paths[name]), paths[name])
                    self.assertEqual(os.path.realpath(paths[name]), os.path.join(root, below))
                self.assertTrue(os.path.isfile(paths["invexecdir"]))


if __name__ == "__main__":
    unittest.main()
