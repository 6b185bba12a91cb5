#!/usr/bin/env python3
"""Checks the installed tree and the Debian package of the native Linux programs.

    check_install.py install BUILD WORKDIR           cmake --install into WORKDIR, check the files
    check_install.py package BUILD WORKDIR VERSION   cpack -G DEB into WORKDIR, check the package

Exits non-zero with one line per fault found.
"""

import configparser
import os
import shutil
import stat
import struct
import subprocess
import sys

PROGRAMS = ["quibbets", "quibbets-notes"]
DESKTOP = {"quibbets.desktop": ("quibbets", "Quibbets"), "quibbets-notes.desktop": ("quibbets-notes", "Quibbets Notes")}
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
EXPECTED = ([f"bin/{p}" for p in PROGRAMS] + [f"share/applications/{d}" for d in DESKTOP] +
            [f"share/icons/hicolor/{n}x{n}/apps/quibbets.png" for n in ICON_SIZES])
faults = []


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)


def png_size(path):
    """(width, height, colour type) from a PNG's IHDR, or None if it is not a PNG."""
    with open(path, "rb") as f:
        head = f.read(26)
    if len(head) < 26 or head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    width, height, _, colour = struct.unpack(">IIBB", head[16:26])
    return width, height, colour


def check_desktop(path):
    name = os.path.basename(path)
    entry = configparser.RawConfigParser(strict=True, interpolation=None)
    entry.optionxform = str
    entry.read(path, encoding="utf-8")
    keys = entry["Desktop Entry"] if entry.has_section("Desktop Entry") else {}
    program, title = DESKTOP[name]
    want = {"Type": "Application", "Exec": program, "Name": title, "Icon": "quibbets", "Terminal": "false"}
    for key, value in want.items():
        if keys.get(key) != value:
            faults.append(f"{name}: {key}={keys.get(key)!r}, expected {value!r}")
    if "Utility;" not in keys.get("Categories", ""):
        faults.append(f"{name}: not in the Utility category")
    result = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True)
    if result.returncode != 0 or result.stdout.strip():
        faults.append(f"{name}: desktop-file-validate: {result.stdout.strip()}")


def check_tree(root):
    """Exactly the expected files, the programs executable ELF files, entries and icons sound."""
    found = sorted(os.path.relpath(os.path.join(d, f), root) for d, _, fs in os.walk(root) for f in fs)
    for path in sorted(set(EXPECTED) - set(found)):
        faults.append(f"missing: {path}")
    for path in sorted(set(found) - set(EXPECTED)):
        faults.append(f"not expected: {path}")
    for program in PROGRAMS:
        path = os.path.join(root, "bin", program)
        if os.path.isfile(path):
            mode = os.stat(path).st_mode
            if mode & 0o111 != 0o111 or not stat.S_ISREG(mode):
                faults.append(f"bin/{program}: not executable by all (mode {mode & 0o777:o})")
            with open(path, "rb") as f:
                if f.read(4) != b"\x7fELF":
                    faults.append(f"bin/{program}: not an ELF program")
    for name in DESKTOP:
        path = os.path.join(root, "share/applications", name)
        if os.path.isfile(path):
            check_desktop(path)
    for n in ICON_SIZES:
        path = os.path.join(root, f"share/icons/hicolor/{n}x{n}/apps/quibbets.png")
        if os.path.isfile(path) and png_size(path) != (n, n, 6):
            faults.append(f"{n}x{n} icon: {png_size(path)}, expected an RGBA PNG of {n} x {n}")


def install(build, work):
    fresh(work)
    run("cmake", "--install", build, "--prefix", work)
    check_tree(work)


def owner(path):
    """The package that installed the file at path (under /lib or /usr/lib alike)."""
    for candidate in [path, path[4:] if path.startswith("/usr/") else "/usr" + path]:
        result = subprocess.run(["dpkg-query", "-S", candidate], capture_output=True, text=True)
        if result.returncode == 0:
            return result.stdout.split(":")[0]
    return f"(no package holds {path})"


def needed_packages(programs):
    """The Debian packages that hold the shared libraries the programs link directly."""
    packages = set()
    for program in programs:
        needed = {l.split()[1] for l in run("objdump", "-p", program).splitlines() if l.split()[:1] == ["NEEDED"]}
        for line in run("ldd", program).splitlines():
            parts = line.split()
            if len(parts) >= 3 and parts[0] in needed and parts[1] == "=>":
                packages.add(owner(parts[2]))
    return packages


def package(build, work, version):
    fresh(work)
    run("cpack", "-G", "DEB", "-B", work, "--config", os.path.join(build, "CPackConfig.cmake"))
    arch = run("dpkg", "--print-architecture").strip()
    deb = os.path.join(work, f"quibbets_{version}_{arch}.deb")
    if not os.path.isfile(deb):
        faults.append(f"no {os.path.basename(deb)} among {sorted(os.listdir(work))}")
        return
    fields = {f: run("dpkg-deb", "--field", deb, f).strip() for f in
              ["Package", "Version", "Architecture", "Section", "Maintainer", "Description", "Depends"]}
    for field, value in {"Package": "quibbets", "Version": version, "Architecture": arch, "Section": "utils"}.items():
        if fields[field] != value:
            faults.append(f"{field}: {fields[field]!r}, expected {value!r}")
    for field in ["Maintainer", "Description"]:
        if not fields[field]:
            faults.append(f"{field} is empty")
    depends = {d.split()[0] for d in fields["Depends"].replace("|", ",").split(",") if d.strip()}
    tree = os.path.join(work, "tree")
    run("dpkg-deb", "--extract", deb, tree)
    programs = [os.path.join(tree, "usr/bin", p) for p in PROGRAMS]
    wanted = needed_packages(p for p in programs if os.path.isfile(p)) | {"qt6-qpa-plugins"}
    for missing in sorted(wanted - depends):
        faults.append(f"Depends lacks {missing}: {fields['Depends']}")
    listing = run("dpkg-deb", "--contents", deb)
    for program in PROGRAMS:
        line = next((l for l in listing.splitlines() if l.endswith(f"./usr/bin/{program}")), "")
        if not line.startswith("-rwxr-xr-x root/root"):
            faults.append(f"/usr/bin/{program} in the package: {line!r}")
    check_tree(os.path.join(tree, "usr"))


def main():
    mode, build, work = sys.argv[1:4]
    if mode == "install":
        install(build, work)
    else:
        package(build, work, sys.argv[4])
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
