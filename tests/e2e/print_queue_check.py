#!/usr/bin/env python3
"""The page that print_queue.sh prints, and the checks of the PDF that comes out.

  print_queue_check.py write PAGE_FILE WORDS_FILE   # page1.txt (code page 1252), its words
  print_queue_check.py check PDF WORDS_FILE         # exits 1 with the reasons on a fault
"""
import re
import statistics
import subprocess
import sys

LINES = 200


def page_lines():
    """200 lines of unique words: every tenth about 400 characters long, every
    seventh with letters outside ASCII."""
    lines, n = [], 0
    for i in range(1, LINES + 1):
        count = 66 if i % 10 == 0 else 6
        words = []
        for _ in range(count):
            n += 1
            words.append(f"Grüße{n}" if i % 7 == 0 and n % 2 else f"w{n}")
        lines.append(" ".join(words))
    return lines


def write(page_file, words_file):
    lines = page_lines()
    with open(page_file, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))
    with open(words_file, "w", encoding="utf-8") as f:
        f.write("\n".join(" ".join(lines).split()) + "\n")


def pdftotext(*args):
    return subprocess.run(["pdftotext", "-enc", "UTF-8", *args, "-"], check=True, capture_output=True,
                          text=True).stdout


def check(pdf, words_file):
    expected = open(words_file, encoding="utf-8").read().split()
    text = pdftotext(pdf)
    problems = []
    got = text.split()
    if got != expected:
        first = next((i for i, (a, b) in enumerate(zip(got, expected)) if a != b), min(len(got), len(expected)))
        problems.append(f"words differ at {first}: got {got[first:first + 3]}, expected {expected[first:first + 3]}"
                        f" ({len(got)} words, expected {len(expected)})")
    sheets = [s for s in text.split("\f") if s.strip()]
    if len(sheets) < 2:
        problems.append(f"{len(sheets)} sheet(s) with text; 200 lines need more than one")
    lines = [line for line in text.splitlines() if line.strip()]
    longest = max((len(line) for line in lines), default=0)
    if len(lines) <= LINES or not 60 <= longest <= 130:
        problems.append(f"{len(lines)} printed lines, the longest {longest} characters: long lines did not wrap"
                        " at an ordinary type size")
    boxes = re.findall(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)"', pdftotext("-bbox", pdf))
    height = statistics.median(float(b[3]) - float(b[1]) for b in boxes) if boxes else 0
    if not 8 <= height <= 12.5:
        problems.append(f"type about {height:.1f} points high, expected about 10")
    for problem in problems:
        print("PrintQueue:", problem, file=sys.stderr)
    print(f"PrintQueue: {len(got)} words on {len(sheets)} sheets, {len(lines)} lines, longest {longest}"
          f" characters, type {height:.1f} points")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(write(*sys.argv[2:4]) if sys.argv[1] == "write" else check(*sys.argv[2:4]))
