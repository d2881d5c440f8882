#!/usr/bin/env python3
"""board.capture() on the replayed simulated board, against the floor of a capture: the 600 ms
the board settles plus the frame's bytes at the link's rate (goal: at most 1.01 times it), and
the CPU time the capture spends in this process (the control's own share: kaptor_bench's
BM_TomaControlCpu; the rest is the API's, goal: at most 1 ms at 640 x 496).

    PYTHONPATH=build/main/python /usr/bin/python3 bench/python_capture.py [RATE...]

Each rate runs in its own interpreter: the simulated board reads its environment once.

    ... bench/python_capture.py --cycles N

runs N open/initialize/capture/close cycles at 100 MB/s and prints the resident set size
after 10, 100, 250 and 500 cycles and at the end: past the simulated board's frame record
(full after about 57 cycles) it must not grow with N (goal: N = 1000).
"""

import os
import pathlib
import subprocess
import sys
import tempfile
import time

WIDTH, LINES, CAPTURES = 640, 496, 3
CONFIG = ("b\r\nb\r\n640\r\n120\r\n248\r\n20\r\n800\r\n0\r\n1\r\n128\r\n64\r\n0\r\n10\r\n0\r\n0\r\n"
          "1\r\n")


def measure(drive):
    import kaptor
    with kaptor.open(simulated=True, drive_c=drive) as board:
        board.initialize()
        board.capture()
        wall = cpu = 0.0
        for _ in range(CAPTURES):
            start, start_cpu = time.perf_counter(), time.thread_time()
            picture = board.capture()
            wall += time.perf_counter() - start
            cpu += time.thread_time() - start_cpu
        assert picture.shape == (LINES, WIDTH)
    return wall / CAPTURES, cpu / CAPTURES


def resident_kib():
    for line in pathlib.Path("/proc/self/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def cycles(drive, count):
    import kaptor
    # The simulated board keeps the first 10,000 command frames it receives (177 a cycle), so
    # its record stops growing after about 57 cycles; from there on, nothing may grow.
    marks = sorted({min(m, count) for m in (10, 100, 250, 500, count)})
    seen = []
    for number in range(1, count + 1):
        with kaptor.open(simulated=True, drive_c=drive) as board:
            board.initialize()
            board.capture()
        if number in marks:
            seen.append(f"{number}: {resident_kib()} KiB")
    print("RSS after cycles " + ", ".join(seen))


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--child":
        wall, cpu = measure(sys.argv[2])
        print(wall, cpu)
        return
    if len(sys.argv) == 4 and sys.argv[1] == "--cycles-child":
        cycles(sys.argv[2], int(sys.argv[3]))
        return
    count = int(sys.argv[2]) if len(sys.argv) == 3 and sys.argv[1] == "--cycles" else 0
    rates = [] if count else [int(r) for r in sys.argv[1:]] or [1_000_000, 8_000_000, 40_000_000]
    with tempfile.TemporaryDirectory() as folder:
        drive = pathlib.Path(folder)
        (drive / "KAPTOR" / "CONFIG").mkdir(parents=True)
        (drive / "KAPTOR" / "CONFIG.TXT").write_bytes(b"B.TXT\r\n")
        (drive / "KAPTOR" / "CONFIG" / "B.TXT").write_bytes(CONFIG.encode())
        replay = drive / "frame.bin"
        replay.write_bytes(bytes(i % 251 for i in range(WIDTH * LINES)))
        if count:
            env = dict(os.environ, KAPTOR_SIM_REPLAY=str(replay), KAPTOR_SIM_RATE="100000000")
            subprocess.run([sys.executable, __file__, "--cycles-child", str(drive), str(count)],
                           env=env, check=True)
            return
        print(f"{'rate B/s':>12} {'capture ms':>11} {'floor ms':>9} {'of floor':>9} "
              f"{'cpu ms':>7}  (goal: of floor <= 1.01)")
        for rate in rates:
            env = dict(os.environ, KAPTOR_SIM_REPLAY=str(replay), KAPTOR_SIM_RATE=str(rate))
            out = subprocess.run([sys.executable, __file__, "--child", str(drive)], env=env,
                                 check=True, capture_output=True, text=True).stdout
            wall, cpu = map(float, out.split())
            floor = 0.6 + WIDTH * LINES / rate
            print(f"{rate:>12} {wall * 1e3:>11.1f} {floor * 1e3:>9.1f} {wall / floor:>9.4f} "
                  f"{cpu * 1e3:>7.2f}")


if __name__ == "__main__":
    main()
