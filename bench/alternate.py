#!/usr/bin/env python3
"""Runs several commands in turn, RUNS rounds, and prints for each its median
CPU time (user + system, from the kernel's accounting of the finished child,
in microseconds), the lowest and highest, and its largest peak resident set
size. Running the commands alternately, round after round, lets a ratio of
two medians hold on a machine that other work slows down now and then.

usage: bench/alternate.py RUNS DIRECTORY NAME=COMMAND [NAME=COMMAND ...]

COMMAND is split as a shell would split it (no expansions) and runs in
DIRECTORY with LC_ALL=C and its standard output and error thrown away. The
child is started with posix_spawn, which does not copy this interpreter's
memory. The peak resident set size comes from three further runs of each
command under /usr/bin/time: a child of this interpreter would inherit the
interpreter's own peak, since the kernel keeps the larger of the peaks
before and after exec. Prints one line per command: NAME median_ms min_ms
max_ms peak_KiB.
"""
import os
import shlex
import statistics
import subprocess
import sys


def run_once(argv, environment):
    actions = [(os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0),
               (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0)]
    try:
        pid = os.posix_spawnp(argv[0], argv, environment, file_actions=actions)
    except OSError as error:
        sys.exit(f"alternate.py: cannot run {argv[0]}: {error}")
    _, status, usage = os.wait4(pid, 0)
    return (usage.ru_utime + usage.ru_stime) * 1000.0


def peak_kib(argv, environment):
    result = subprocess.run(["/usr/bin/time", "-f", "%M", "--"] + argv, env=environment,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                            check=False)
    return int(result.stderr.strip().splitlines()[-1])


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    runs = int(sys.argv[1])
    os.chdir(sys.argv[2])
    environment = dict(os.environ, LC_ALL="C")
    commands = []
    for argument in sys.argv[3:]:
        name, _, command = argument.partition("=")
        commands.append((name, shlex.split(command)))
    times = {name: [] for name, _ in commands}
    peaks = {name: 0 for name, _ in commands}
    for _ in range(runs):
        for name, argv in commands:
            times[name].append(run_once(argv, environment))
    for name, argv in commands:
        peaks[name] = max(peak_kib(argv, environment) for _ in range(3))
    for name, _ in commands:
        t = times[name]
        print(f"{name} {statistics.median(t):.2f} {min(t):.2f} {max(t):.2f} {peaks[name]}")


if __name__ == "__main__":
    main()
