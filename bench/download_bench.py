#!/usr/bin/env python3
"""Download benchmark: our request (download_bench) beside `curl -o` in the same run, from a
loopback server, best of several interleaved rounds each. Prints the throughput ratio and peak
RSS against their targets (>= 0.95x the throughput of `curl -o` plus an fsync of its file, which
is as durable as ours; peak RSS < 16 MB whatever the size), plain `curl -o` for information; with
a display, also the download's own time with the form's window served beside alone.

usage: download_bench.py <download_bench executable> [size in MB] [rounds]
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "tests", "support", "http_servers.py")
MB = 1024 * 1024
RECORDS = 130  # the records around the one entry of the server's /zip/N archive


def measure(command, output):
    """Wall time (s) and peak RSS (MB) of one run of `command`, which must succeed. GNU time
    reports the RSS: a child forked from this Python process would carry Python's own peak."""
    if os.path.exists(output):
        os.remove(output)
    report = output + ".rss"
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report, *command],
                          stdout=subprocess.DEVNULL, timeout=600)
    elapsed = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit("failed: %s" % " ".join(command))
    os.sync()  # untimed: the next run must not pay for this run's writeback
    with open(report) as f:
        return elapsed, int(f.read().split()[-1]) / 1024.0


def interleaved(commands, rounds):
    """Runs the commands in turn, round after round, so that a busy moment of the machine hits
    both alike; the best time and the highest peak RSS of each."""
    results = [[] for _ in commands]
    for _ in range(rounds):
        for (command, output), runs in zip(commands, results):
            runs.append(measure(command, output))
    return [(min(r[0] for r in runs), max(r[1] for r in runs)) for runs in results]


def work_time(command, output):
    """The download's own time, as the driver prints it."""
    if os.path.exists(output):
        os.remove(output)
    done = subprocess.run(command, stdout=subprocess.PIPE, timeout=600, check=True)
    os.sync()
    return float(done.stdout)


def window_cost(ours, url, rounds=7):
    """Best download times with the form's window served (and the progress window over it past
    a second) and with no window at all, in interleaved rounds, into memory (tmpfs) where there
    is one, so that the disk's writeback does not drown what serving the window costs."""
    folder = tempfile.mkdtemp(prefix="tk-bench-", dir="/dev/shm" if os.path.isdir("/dev/shm")
                              else None)
    output, times = os.path.join(folder, "served.zip"), {(): [], ("--window",): []}
    try:
        for _ in range(rounds):
            for mode, runs in times.items():
                runs.append(work_time([ours, url, output, *mode], output))
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    return min(times[("--window",)]), min(times[()])


def start_server(folder):
    port_file = os.path.join(folder, "port")
    server = subprocess.Popen([sys.executable, SERVER, "serve", "--port-file", port_file])
    deadline = time.monotonic() + 15
    while not os.path.exists(port_file):
        if time.monotonic() > deadline or server.poll() is not None:
            server.kill()
            sys.exit("the loopback server did not start")
        time.sleep(0.05)
    with open(port_file) as f:
        return server, int(f.read())


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    ours = os.path.abspath(sys.argv[1])
    size_mb = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 7
    folder = tempfile.mkdtemp(prefix="tk-bench-download-")
    server, port = start_server(folder)
    try:
        # An archive: the download saves only a body that the zip reader accepts.
        url = "http://127.0.0.1:%d/zip/%d" % (port, size_mb * MB)
        mine, theirs = os.path.join(folder, "ours.zip"), os.path.join(folder, "curl.zip")
        curl = ["curl", "-s", "-f", "-o", theirs, url]
        # The same download made as durable as ours: curl, then an fsync of its file.
        synced = ["sh", "-c", 'curl -s -f -o "$1" "$2" && sync "$1"', "sh", theirs, url]
        # ... and checked as ours is before it replaces anything: every entry's CRC.
        checked = ["sh", "-c", 'curl -s -f -o "$1" "$2" && sync "$1" && unzip -tqq "$1"', "sh",
                   theirs, url]
        (our_time, our_rss), (curl_time, curl_rss), (synced_time, _), (checked_time, _) = \
            interleaved([([ours, url, mine], mine), (curl, theirs), (synced, theirs),
                         (checked, theirs)], rounds)
        size = size_mb * MB + RECORDS
        if os.path.getsize(mine) != size or os.path.getsize(theirs) != size:
            sys.exit("a download came out short")
        small_url = "http://127.0.0.1:%d/zip/%d" % (port, 10 * MB)
        _, small_rss = measure([ours, small_url, mine], mine)
        served = window_cost(ours, url) if os.environ.get("DISPLAY") else None
    finally:
        server.kill()  # by its PID: the server this script started
        server.wait(timeout=30)
        shutil.rmtree(folder, ignore_errors=True)
    ratio = curl_time / our_time
    print("download %d MB from loopback: ours %.2f s (%.0f MB/s), curl -o %.2f s (%.0f MB/s)"
          % (size_mb, our_time, size_mb / our_time, curl_time, size_mb / curl_time))
    print("  throughput ratio %.2fx plain curl -o, which leaves its file to the writeback"
          % ratio)
    synced_ratio = synced_time / our_time
    print("  beside curl -o plus an fsync of its file (%.2f s), as durable as ours: %.2fx "
          "(target >= 0.95x): %s"
          % (synced_time, synced_ratio, "met" if synced_ratio >= 0.95 else "NOT met"))
    print("  beside that plus unzip -t (%.2f s), as durable and as checked as ours: %.2fx"
          % (checked_time, checked_time / our_time))
    print("  peak RSS %.1f MB at %d MB, %.1f MB at 10 MB; curl %.1f MB (target < 16 MB): %s"
          % (our_rss, size_mb, small_rss, curl_rss, "met" if our_rss < 16 else "NOT met"))
    if served:
        ratio = served[1] / served[0]
        print("  with the form's window served: %.3f s, alone %.3f s: throughput %.3fx (target "
              ">= 0.98x): %s"
              % (served[0], served[1], ratio, "met" if ratio >= 0.98 else "NOT met"))


if __name__ == "__main__":
    main()
