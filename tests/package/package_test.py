#!/usr/bin/env python3
"""Builds the Debian package from a configured build tree, checks its control
fields and files, has lintian check it, unpacks it and starts the unpacked
program as a user who cannot write to its folder, with a fresh home.
Usage: package_test.py CPACK CPACK_CONFIG VERSION METAINFO_ID"""
import gzip
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e import Display, SEPARATORS  # noqa: E402

CPACK, CONFIG, VERSION, METAINFO_ID = sys.argv[1:5]
MAIN = "Остреванка 2.1"
TOLD = "Папка базы данных"
QUESTION = "Создать новый файл бызы?"
MANUAL = "./usr/share/ostrevanka/Help.pdf"
METAINFO = "./usr/share/metainfo/%s.metainfo.xml" % METAINFO_ID
FILES = {
    "./usr/bin/ostrevanka",
    "./usr/lib/ostrevanka/ostrevanka_charts.so",
    "./usr/share/applications/ostrevanka.desktop",
    "./usr/share/doc/ostrevanka/changelog.gz",
    "./usr/share/doc/ostrevanka/copyright",
    "./usr/share/icons/hicolor/scalable/apps/ostrevanka.svg",
    "./usr/share/man/man1/ostrevanka.1.gz",
    METAINFO,
    MANUAL,
}
# The documentation folder leads to the manual the program opens.
LINKS = {"./usr/share/doc/ostrevanka/Help.pdf": "../../ostrevanka/Help.pdf"}
# Lintian tags of severity error or warning that may stay, each with the
# reason the README gives. None today: a distributor's own maintainer address
# or home page changes nothing here.
ALLOWED_LINTIAN = set()


def run(*args):
    done = subprocess.run(args, capture_output=True, text=True)
    assert done.returncode == 0, "%s ended with %d:\n%s%s" % (
        " ".join(args), done.returncode, done.stdout[-3000:], done.stderr[-3000:])
    return done.stdout


def build_package(out):
    run(CPACK, "-G", "DEB", "--config", CONFIG, "-B", out)
    arch = run("dpkg", "--print-architecture").strip()
    deb = os.path.join(out, "ostrevanka_%s_%s.deb" % (VERSION, arch))
    assert os.path.isfile(deb), "no %s among %s" % (deb, os.listdir(out))
    return deb, arch


def control_fields(deb):
    fields, name = {}, None
    for line in run("dpkg-deb", "-f", deb).splitlines():
        if not line.strip():
            continue
        if line.startswith(" ") and name:
            fields[name] += "\n" + line
        else:
            name, value = line.split(":", 1)
            fields[name] = value.strip()
    return fields


def check_control(deb, arch):
    f = control_fields(deb)
    assert f["Package"] == "ostrevanka", f
    assert f["Version"] == VERSION, f
    assert f["Architecture"] == arch, f
    assert re.fullmatch(r"[^<>]+ <[^<>@ ]+@[^<>@ ]+>", f["Maintainer"]), f["Maintainer"]
    summary, _, extended = f["Description"].partition("\n")
    assert summary == "electricity accounting of a garden community", f["Description"]
    assert "Russian" in extended, f["Description"]
    depends = [d.strip() for d in f["Depends"].split(",")]
    # Computed from the executable's libraries, with their versions; the
    # workbook libraries, loaded when first used, are added by the build.
    for library in ("libc6", "libqt6core6", "libqt6widgets6", "libqt6printsupport6",
                    "libqt6charts6", r"libxlsxwriter\d+", r"libzip\d+"):
        assert any(re.fullmatch(r"%s(t64)? \(>= [^)]+\)" % library, d) for d in depends), \
            "%s is not among the dependencies %s" % (library, depends)
    # Loaded at run time: the Russian button texts and the font the windows
    # are measured in. The X11 platform plugin comes with libqt6gui6.
    for package in ("qt6-translations-l10n", "fonts-liberation2"):
        assert package in depends, "%s is not among the dependencies %s" % (package, depends)
    assert not any(d.startswith("qt6-qpa-plugins") for d in depends), depends
    recommends = [r.strip() for r in f["Recommends"].split(",")]
    assert "qt6-wayland" in recommends, recommends


def check_files(deb):
    files, links = {}, {}
    for line in run("dpkg-deb", "-c", deb).splitlines():
        mode, owner, _size, _date, _time, path = line.split(None, 5)
        assert owner == "root/root", line
        if mode.startswith("l"):
            path, _, target = path.partition(" -> ")
            links[path] = target
        elif not mode.startswith("d"):
            files[path] = mode
    # Exactly these: nothing of the tests, the benchmarks or the libraries.
    assert set(files) == FILES, "the package holds %s" % sorted(files)
    assert links == LINKS, "the package's links: %s" % links
    assert files["./usr/bin/ostrevanka"] == "-rwxr-xr-x", files
    for path in FILES - {"./usr/bin/ostrevanka"}:
        assert files[path] == "-rw-r--r--", (path, files[path])


def check_documents(root, deb):
    """The licence, the changelog and the software-centre description agree
    on the licence, the version and the release date."""
    with open(os.path.join(root, "usr/share/doc/ostrevanka/copyright")) as f:
        copyright_text = f.read()
    assert copyright_text.startswith(
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"), \
        copyright_text[:200]
    assert re.search(r"^Files: \*\nCopyright: .+\nLicense: GPL-3\+$", copyright_text, re.M), \
        copyright_text
    assert "/usr/share/common-licenses/GPL-3" in copyright_text

    with gzip.open(os.path.join(root, "usr/share/doc/ostrevanka/changelog.gz"), "rt") as f:
        changelog = f.read()
    head = changelog.splitlines()[0]
    assert re.fullmatch(r"ostrevanka \(%s\) \S+; urgency=\w+" % re.escape(VERSION), head), head
    signed = re.search(r"^ -- (.+ <[^<>]+>)  \w{3}, (\d{1,2}) (\w{3}) (\d{4}) ", changelog, re.M)
    assert signed, changelog
    maintainer = control_fields(deb)["Maintainer"]
    assert signed.group(1) == maintainer, (signed.group(1), maintainer)
    month = time.strptime(signed.group(3), "%b").tm_mon
    changelog_date = "%s-%02d-%02d" % (signed.group(4), month, int(signed.group(2)))

    component = ElementTree.parse(os.path.join(root, METAINFO)).getroot()
    assert component.findtext("id") == METAINFO_ID
    assert component.findtext("project_license") == "GPL-3.0-or-later"
    release = component.find("releases/release")
    assert release.get("version") == VERSION, release.attrib
    assert release.get("date") == changelog_date, (release.attrib, changelog_date)


def check_lintian(deb):
    """No error or warning of lintian but those allowed by name."""
    done = subprocess.run(["lintian", "--tag-display-limit", "0", deb],
                          capture_output=True, text=True)
    tags = re.findall(r"^([EW]): ostrevanka(?: \w+)?: (\S+)", done.stdout, re.M)
    found = sorted({tag for _severity, tag in tags} - ALLOWED_LINTIAN)
    assert not found, "lintian: %s\n%s%s" % (found, done.stdout, done.stderr[-2000:])
    # Lintian ends with 2 on a failure of its own, not on tags it reports.
    assert done.returncode in (0, 1), "lintian ended with %d:\n%s" % (
        done.returncode, done.stderr[-3000:])


def check_start_libraries(program):
    # The workbook libraries and the charts are loaded when first used, not
    # at every start; the charts' module is where the program looks for it.
    needed = re.findall(r"NEEDED\s+(\S+)", run("objdump", "-p", program))
    assert needed, "no libraries listed for %s" % program
    for name in needed:
        assert not re.match(r"lib(zip|xlsxwriter|Qt6Charts)\.", name), \
            "%s is loaded at start" % name
    module = os.path.join(os.path.dirname(program), "..", "lib", "ostrevanka",
                          "ostrevanka_charts.so")
    assert "libQt6Charts.so.6" in re.findall(r"NEEDED\s+(\S+)", run("objdump", "-p", module))


def tree(folder):
    return sorted(os.path.join(d, n) for d, subdirs, names in os.walk(folder)
                  for n in subdirs + names)


class Unpacked:
    """The unpacked package and a fresh home of the user who runs it: root
    runs it as nobody, anybody else with the program's folder made
    read-only, so that the folder cannot be written either way."""

    def __init__(self, top, deb):
        os.chmod(top, 0o755)  # the user must reach the program
        self.root = os.path.join(top, "root")
        run("dpkg-deb", "-x", deb, self.root)
        self.program = os.path.join(self.root, "usr", "bin", "ostrevanka")
        self.manual = os.path.normpath(os.path.join(self.root, MANUAL))
        self.home = os.path.join(top, "home")
        bin_dir = os.path.join(top, "fake-bin")
        os.mkdir(self.home, 0o700)
        os.mkdir(bin_dir, 0o755)
        # The desktop's "open this document" lands here: it notes what it
        # was asked to open.
        with open(os.path.join(bin_dir, "xdg-open"), "w") as f:
            f.write('#!/bin/sh\nprintf "%s\\n" "$@" > "$HOME/opened.tmp" && '
                    'mv "$HOME/opened.tmp" "$HOME/opened"\n')
        os.chmod(os.path.join(bin_dir, "xdg-open"), 0o755)
        self.user = {}
        if os.geteuid() == 0:
            self.user = dict(user=65534, group=65534, extra_groups=[])
            os.chown(self.home, 65534, 65534)
        else:
            os.chmod(os.path.dirname(self.program), 0o555)
        self.path = bin_dir + ":/usr/bin:/bin"

    def start(self, display):
        env = {"HOME": self.home, "PATH": self.path, "DISPLAY": display.env["DISPLAY"],
               "QT_QPA_PLATFORM": "xcb", "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"}
        for name in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"):
            if name in os.environ:
                env[name] = os.environ[name]
        return subprocess.Popen([self.program], env=env, cwd="/", stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                **self.user)

    def release(self):
        os.chmod(os.path.dirname(self.program), 0o755)


def answer(display, title):
    win = display.wait_window(title)
    display.x("xdotool", "windowactivate", "--sync", win)
    display.x("xdotool", "key", "Return")
    display.wait_gone(title)


def close(display, proc):
    display.x("wmctrl", "-c", MAIN)
    proc.wait(timeout=30)
    assert proc.returncode == 0, "the program ended with %s" % proc.returncode


def opened_document(home, timeout=30):
    note = os.path.join(home, "opened")
    end = time.time() + timeout
    while not os.path.exists(note):
        assert time.time() < end, "nothing was opened"
        time.sleep(0.2)
    with open(note) as f:
        target = f.read().strip()
    return urllib.parse.unquote(urllib.parse.urlparse(target).path)


def first_start(display, unpacked):
    data = os.path.join(unpacked.home, ".local", "share", "ostrevanka")
    db = os.path.join(data, "Ostrevanka21.spb")
    before = tree(unpacked.root)

    proc = unpacked.start(display)
    # Said once, before anything else: where the database will live.
    display.wait_window(TOLD)
    display.screenshot("package-told")
    answer(display, TOLD)
    answer(display, QUESTION)  # "Да" is the default
    main = display.activate(MAIN)
    display.screenshot("package-main")
    assert os.path.isfile(db), "no database in %s: %s" % (data, tree(unpacked.home))

    # F1 opens the manual from the program's data folder (not through the
    # documentation folder's link to it).
    display.x("xdotool", "key", "--window", main, "F1")
    opened = opened_document(unpacked.home)
    assert os.path.normpath(opened) == unpacked.manual, "opened %r" % opened
    close(display, proc)

    assert tree(unpacked.root) == before, "the program wrote into its own folder"
    with open(db, "rb") as f:
        lines = f.read().decode("cp1251").split("\r\n")
    assert lines[-1] == "" and len(lines) == 2, "one subscriber line"
    # A new base opens on this year; a year of nothing but zero charges is
    # not written, so the line keeps its 2513 fields.
    assert lines[0].count("|") == SEPARATORS, lines[0].count("|")
    settings = os.path.join(unpacked.home, ".config", "ostrevanka", "ostrevanka.ini")
    assert os.path.isfile(settings), tree(unpacked.home)


def second_start(display, unpacked):
    # Nothing more is said: the main window comes straight up (the box
    # would hold it back).
    proc = unpacked.start(display)
    display.activate(MAIN)
    display.screenshot("package-second-start")
    close(display, proc)


def main():
    top = tempfile.mkdtemp(prefix="ostrevanka-package-")
    display = None
    unpacked = None
    try:
        deb, arch = build_package(os.path.join(top, "out"))
        check_control(deb, arch)
        check_files(deb)
        check_lintian(deb)
        print("PASS   : the package's fields and files, lintian")
        unpacked = Unpacked(top, deb)
        check_documents(unpacked.root, deb)
        print("PASS   : licence, changelog and release")
        check_start_libraries(unpacked.program)
        display = Display()
        try:
            first_start(display, unpacked)
            print("PASS   : first start")
            second_start(display, unpacked)
            print("PASS   : second start")
        except Exception:
            display.screenshot("package-failure")
            raise
    finally:
        if display:
            display.close()
        if unpacked:
            unpacked.release()
        shutil.rmtree(top, ignore_errors=True)


if __name__ == "__main__":
    main()
