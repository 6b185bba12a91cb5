#!/usr/bin/env python3
"""Checks the installed tree and the Debian package of the native Linux programs.

    check_install.py install BUILD WORKDIR           cmake --install into WORKDIR, check the files
    check_install.py package BUILD WORKDIR VERSION   cpack -G DEB into WORKDIR, check the package

Prints one line per fault found and then fails.
"""

import configparser
import os
import shutil
import struct
import subprocess
import sys

PROGRAMS = ["quibbets", "quibbets-notes"]
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
METAINFO = "share/metainfo/org.quibbets.Quibbets.metainfo.xml"
AUTOSTART = "etc/xdg/autostart/quibbets.desktop"
EXPECTED = ([f"bin/{p}" for p in PROGRAMS] + [f"share/applications/{p}.desktop" for p in PROGRAMS] +
            [f"share/icons/hicolor/{n}x{n}/apps/quibbets.png" for n in ICON_SIZES] +
            [f"share/man/man1/{p}.1.gz" for p in PROGRAMS] + [METAINFO] +
            ["share/doc/quibbets/changelog.gz", "share/doc/quibbets/copyright"])
faults = []


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)


def png_header(path):
    """(width, height, colour type) from a PNG's IHDR, or None if it is not a PNG."""
    with open(path, "rb") as f:
        head = f.read(26)
    if len(head) < 26 or head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">IIxB", head[16:26])


def validate(what, *command):
    """The validator passes the file and has nothing to say beyond that."""
    result = subprocess.run(command, capture_output=True, text=True)
    said = [l for l in result.stdout.splitlines() if l.strip() and "Validation was successful" not in l]
    if result.returncode != 0 or said:
        faults.append(f"{what}: {' / '.join(said) or result.stderr.strip()}")


def check_desktop(path, program):
    """The entry passes desktop-file-validate and starts the program beside it, with the installed icon."""
    validate(os.path.basename(path), "desktop-file-validate", path)
    entry = configparser.RawConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(path, encoding="utf-8")
    keys = dict(entry["Desktop Entry"]) if entry.has_section("Desktop Entry") else {}
    want = {"Type": "Application", "Exec": program, "Icon": "quibbets", "Terminal": "false"}
    for key, value in want.items():
        if keys.get(key) != value:
            faults.append(f"{program}.desktop: {key}={keys.get(key)!r}, expected {value!r}")
    if "Utility" not in keys.get("Categories", "").split(";"):
        faults.append(f"{program}.desktop: not in the Utility category")


def check_logon(etc):
    """The launcher's logon entry: a sound entry of the launcher that no desktop skips."""
    path = os.path.join(etc, AUTOSTART)
    if not os.path.isfile(path):
        faults.append(f"missing: {AUTOSTART}")
        return
    check_desktop(path, "quibbets")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    for off in ["Hidden=true", "NoDisplay=true", "X-GNOME-Autostart-enabled=false", "OnlyShowIn"]:
        if off in text:
            faults.append(f"{AUTOSTART}: {off} keeps it from starting or from the startup settings")


def check_tree(root):
    """Exactly the expected files; the programs executable ELF files; sound entries, icons and metadata."""
    found = sorted(os.path.relpath(os.path.join(d, f), root) for d, _, fs in os.walk(root) for f in fs)
    found = [p for p in found if p != AUTOSTART]  # under the prefix's etc/ when not installed to /usr
    faults.extend(f"missing: {p}" for p in sorted(set(EXPECTED) - set(found)))
    faults.extend(f"not expected: {p}" for p in sorted(set(found) - set(EXPECTED)))
    for program in PROGRAMS:
        path = os.path.join(root, "bin", program)
        if not os.path.isfile(path):
            continue
        if os.stat(path).st_mode & 0o555 != 0o555:
            faults.append(f"bin/{program}: mode {os.stat(path).st_mode & 0o777:o}, not readable and runnable by all")
        with open(path, "rb") as f:
            if f.read(4) != b"\x7fELF":
                faults.append(f"bin/{program}: not an ELF program")
        if os.path.isfile(os.path.join(root, f"share/applications/{program}.desktop")):
            check_desktop(os.path.join(root, f"share/applications/{program}.desktop"), program)
    for n in ICON_SIZES:
        path = os.path.join(root, f"share/icons/hicolor/{n}x{n}/apps/quibbets.png")
        if os.path.isfile(path) and png_header(path) != (n, n, 6):
            faults.append(f"{n}x{n} icon: {png_header(path)}, expected an RGBA PNG of {n} x {n}")
    if os.path.isfile(os.path.join(root, METAINFO)):
        validate("metainfo", "appstreamcli", "validate", "--no-net", os.path.join(root, METAINFO))


def owner(path):
    """The package that installed the file at path (under /lib or /usr/lib alike)."""
    for candidate in [path, path[4:] if path.startswith("/usr/") else "/usr" + path]:
        result = subprocess.run(["dpkg-query", "-S", candidate], capture_output=True, text=True)
        if result.returncode == 0:
            return result.stdout.split(":")[0]
    return f"(no package holds {path})"


def linked_packages(program):
    """The Debian packages that hold the shared libraries the program links directly."""
    needed = {l.split()[1] for l in run("objdump", "-p", program).splitlines() if l.split()[:1] == ["NEEDED"]}
    lines = [l.split() for l in run("ldd", program).splitlines()]
    return {owner(p[2]) for p in lines if len(p) >= 3 and p[0] in needed and p[1] == "=>"}


def package(build, work, version):
    """The package has the expected name, the installed tree under /usr, and a Depends
    that covers every library the programs link and the X11 platform plugin."""
    fresh(work)
    run("cpack", "-G", "DEB", "-B", work, "--config", os.path.join(build, "CPackConfig.cmake"))
    deb = os.path.join(work, f"quibbets_{version}_{run('dpkg', '--print-architecture').strip()}.deb")
    if not os.path.isfile(deb):
        faults.append(f"no {os.path.basename(deb)} among {sorted(os.listdir(work))}")
        return
    depends_field = run("dpkg-deb", "--field", deb, "Depends").strip()
    depends = {d.split()[0] for d in depends_field.replace("|", ",").split(",") if d.strip()}
    tree = os.path.join(work, "tree")
    run("dpkg-deb", "--extract", deb, tree)
    check_tree(os.path.join(tree, "usr"))
    check_logon(tree)
    listed = run("dpkg-deb", "--contents", deb)
    for path in [AUTOSTART, "usr/" + METAINFO]:
        if f"./{path}" not in listed:
            faults.append(f"dpkg-deb --contents does not list {path}")
    lint = subprocess.run(["lintian", "--tag-display-limit", "0", deb], capture_output=True, text=True)
    faults.extend(f"lintian: {l}" for l in lint.stdout.splitlines() if l.startswith("E:"))
    wanted = {"qt6-qpa-plugins"}
    for program in PROGRAMS:
        if os.path.isfile(os.path.join(tree, "usr/bin", program)):
            wanted |= linked_packages(os.path.join(tree, "usr/bin", program))
    faults.extend(f"Depends lacks {p}: {depends_field}" for p in sorted(wanted - depends))


def main():
    mode, build, work = sys.argv[1:4]
    if mode == "install":
        fresh(work)
        run("cmake", "--install", build, "--prefix", work)
        check_tree(work)
        check_logon(work)
    else:
        package(build, work, sys.argv[4])
    print("\n".join(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
