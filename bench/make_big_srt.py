#!/usr/bin/env python3
# Writes the 100,000-cue file the load benchmarks use (the same text as
# makeFile() in SubtitleLoadBench.cpp): cues over one day, a Chinese and an
# English line each, some <i> tags and {\an8} codes, CR LF line ends.
# Usage: bench/make_big_srt.py OUT [utf-8|gbk]
import sys


def stamp(ms):
    return "%02d:%02d:%02d,%03d" % (ms // 3600000, ms // 60000 % 60, ms // 1000 % 60, ms % 1000)


def main():
    out = sys.argv[1]
    encoding = sys.argv[2] if len(sys.argv) > 2 else "utf-8"
    count, seconds = 100000, 86000
    span = seconds * 1000 // count
    parts = []
    for i in range(count):
        start = i * span
        end = start + span * 2 // 3
        parts.append("%d\r\n%s --> %s\r\n" % (i + 1, stamp(start), stamp(end)))
        parts.append(("{\\an8}" if i % 7 == 0 else "") + "我们今天晚上去看电影吧，好吗？第%d句\r\n" % i)
        parts.append(("<i>Shall we go to the movies tonight?</i>" if i % 5 == 0
                      else "Shall we go to the movies tonight, okay?") + "\r\n\r\n")
    with open(out, "wb") as f:
        f.write("".join(parts).encode("gb18030" if encoding == "gbk" else "utf-8"))


main()
