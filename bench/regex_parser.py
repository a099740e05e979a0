# A plain Python regex parser doing the load's work on one SRT file: decode,
# split into blocks, read the time lines, strip tags and codes, make each
# cue's HTML in both orders and key it by every second it covers. The load
# benchmark runs it next to the program's own load as a reference for how
# fast the machine is at the time. Prints the seconds the work took, without
# the interpreter's start-up. Usage: python3 regex_parser.py FILE
import re
import sys
import time

TIME = re.compile(r"^\s*(\d{1,2}):(\d{1,2}):(\d{1,2}),\d{1,3}\s*-->\s*(\d{1,2}):(\d{1,2}):(\d{1,2}),\d{1,3}\s*$")
CODES = re.compile(r"\{[^{}\s]+\}|<[^>]+>")
CHINESE = re.compile(r"[\u4e00-\u9fa5]")
SPAN = "<span style='font-family:Microsoft Yahei;font-Weight:bold;font-size:18px;line-height:24px;'>"


def line_html(line):
    line = CODES.sub("", line)
    return line if CHINESE.search(line) or not line else SPAN + line + "</span>"


def load(path):
    with open(path, "rb") as f:
        text = f.read().decode("utf-8")
    text = re.sub(r"[\r\n]{3,}", "\r\n\r\n", text.strip())
    normal, swapped = {}, {}
    for block in re.split(r"\r\n\r\n", text):
        lines = block.split("\r\n")
        if len(lines) < 3:
            continue
        m = TIME.match(lines[1])
        if not m:
            continue
        h1, m1, s1, h2, m2, s2 = (int(g) for g in m.groups())
        first = line_html(lines[2])
        second = line_html(lines[3]) if len(lines) > 3 else ""
        a = first + "<br>" + second if second else first
        b = second + "<br>" + first if second else first
        for second_of_day in range(h1 * 3600 + m1 * 60 + s1, h2 * 3600 + m2 * 60 + s2 + 1):
            key = "%02d:%02d:%02d" % (second_of_day // 3600, second_of_day // 60 % 60, second_of_day % 60)
            normal[key] = a
            swapped[key] = b
    return len(normal)


start = time.perf_counter()
load(sys.argv[1])
print(time.perf_counter() - start)
