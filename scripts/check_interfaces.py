#!/usr/bin/env python3
"""Fails on a portable interface of more than 12 operations.

An interface is a class of the programs or of the portable desktop layer (platform/
outside its backends) that declares virtual operations; its operations are the virtual
functions it declares, the destructor not counted. Prints each breach."""
import re
import subprocess
import sys

LIMIT = 12
BACKENDS = ("platform/win32/", "platform/qt/", "platform/headless/", "platform/posix/")


def classes(text):
    """Yields (name, body) of every class or struct defined in the text."""
    for match in re.finditer(r"^\s*(?:class|struct)\s+(\w+)[^;{]*\{", text, re.M):
        depth, start = 1, match.end()
        at = start
        while depth and at < len(text):
            if text[at] == "{":
                depth += 1
            elif text[at] == "}":
                depth -= 1
            at += 1
        yield match.group(1), text[start:at - 1]


def operations(body):
    """The virtual functions declared directly in a class body, its nested classes left out."""
    nested = re.sub(r"(?:class|struct)\s+\w+[^;{]*\{(?:[^{}]|\{[^{}]*\})*\};", "", body)
    code = re.sub(r"//[^\n]*", "", nested)
    return [m for m in re.findall(r"\bvirtual\s+([^;{]*?)\(", code) if "~" not in m]


def main():
    files = subprocess.check_output(["git", "ls-files", "*.h"], text=True).split()
    portable = [f for f in files if f.startswith(("platform/", "notes/", "launcher/")) and not f.startswith(BACKENDS)]
    status = 0
    for path in portable:
        with open(path, encoding="utf-8") as source:
            text = source.read()
        for name, body in classes(text):
            count = len(operations(body))
            if count > LIMIT:
                print(f"{path}: {name} declares {count} operations (at most {LIMIT})")
                status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
