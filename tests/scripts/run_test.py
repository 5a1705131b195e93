#!/usr/bin/env python3
"""./run as a newcomer starts it: in a fresh build folder it configures and
builds what the program needs, not the tests or the benchmarks, and starts
the program with the arguments it was given. Ninja only lists the commands
the build would run and the program is a stand-in, so that nothing is
compiled.
Usage: run_test.py SOURCE_DIR"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

SOURCE = sys.argv[1]


def write_script(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, 0o755)


def main():
    top = tempfile.mkdtemp(prefix="ostrevanka-run-")
    try:
        build = os.path.join(top, "build")
        started = os.path.join(top, "started")
        ninja = shutil.which("ninja")
        # The build runs ninja in the build folder as "-j N TARGET..."; the
        # compiler checks of the configuration run theirs elsewhere and must
        # really build. (A dry run, ninja -n, stops at regenerating the build
        # files, which the checks of globbed folders always ask for.)
        write_script(os.path.join(top, "bin", "ninja"),
                     '#!/bin/sh\nif [ "$PWD" = "%s" ]; then\n'
                     '  while [ "$1" = -j ]; do shift 2; done\n'
                     '  exec %s -t commands "$@"\nfi\n'
                     'exec %s "$@"\n' % (build, ninja, ninja))
        write_script(os.path.join(build, "src", "app", "ostrevanka"),
                     '#!/bin/sh\nprintf "%%s\\n" "$@" > "%s"\n' % started)
        env = dict(os.environ, BUILD_DIR=build,
                   PATH=os.path.join(top, "bin") + os.pathsep + os.environ["PATH"])
        done = subprocess.run([os.path.join(SOURCE, "run"), "--one", "два"], env=env,
                              capture_output=True, text=True, timeout=280)
        assert done.returncode == 0, "./run ended with %d:\n%s%s" % (
            done.returncode, done.stdout[-3000:], done.stderr[-3000:])

        commands = done.stdout.splitlines()
        outputs = [m.group(1) for c in commands for m in re.finditer(r" -o (\S+)", c)]
        for needed in ("src/app/ostrevanka", "src/app/ostrevanka_charts.so"):
            assert needed in outputs, "./run does not build %s:\n%s" % (needed, outputs)
        assert any("make_help" in c and "Help.pdf" in c for c in commands), \
            "./run does not make the manual"
        extra = [o for o in outputs if re.match(r"(tests|bench|fuzz)/", o)]
        assert not extra, "./run builds %d files of tests or benchmarks, such as %s" % (
            len(extra), extra[:5])
        print("PASS   : ./run builds %d files, none of the tests" % len(outputs))

        with open(started) as f:
            assert f.read().splitlines() == ["--one", "два"], "the program got other arguments"
        print("PASS   : ./run starts the program with its arguments")
    finally:
        shutil.rmtree(top, ignore_errors=True)


if __name__ == "__main__":
    main()
