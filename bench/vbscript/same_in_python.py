# The three programs of VbScriptBench.cpp written in Python. Runs the one
# named by the argument (0, 1 or 2) once and prints the seconds it took,
# without the interpreter's start-up, so the benchmark can set them beside
# its own figures.
import sys
import time


def numeric_loop():
    n = 0
    for i in range(1, 1000001):
        n = n + i % 7
    assert n == 2999998


def string_building():
    s = ""
    letters = "abcdefghij"
    for i in range(1, 100001):
        s = s + letters[i % 10]
        if len(s) != i:
            s = "wrong"
    assert len(s) == 100000


def dictionary():
    d = {}
    for i in range(1, 100001):
        d["k" + str(i)] = i
    n = 0
    for i in range(1, 100001):
        n = n + d["k" + str(i)]
    assert n == 5000050000


program = [numeric_loop, string_building, dictionary][int(sys.argv[1])]
start = time.perf_counter()
program()
print(time.perf_counter() - start)
