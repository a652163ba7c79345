#!/usr/bin/env python3
"""What the running server costs while it waits: start-up time, resident memory, system calls
and wake-ups over 60 s with no phone and over 60 s with a silent connected phone, and the size
of the .exe. Runs the real PalvenorServer.exe under Wine, in the test prefix and display.
Usage: idle_cost.py WINE_STATE_DIR BIN_DIR [SECONDS]"""
import os
import re
import socket
import subprocess
import sys
import tempfile
import time

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
sys.path.insert(0, os.path.join(SOURCE, 'tests', 'e2e'))
os.environ['PALVENOR_WINE_STATE'] = os.path.abspath(sys.argv[1])
os.environ['PALVENOR_BIN'] = os.path.abspath(sys.argv[2])
os.environ['PALVENOR_WINE_RUN'] = os.path.join(SOURCE, 'tests', 'support', 'wine-run.sh')
import harness  # noqa: E402

SECONDS = int(sys.argv[3]) if len(sys.argv) > 3 else 60


def switches(pid):
    total = 0
    for task in os.listdir(f'/proc/{pid}/task'):
        with open(f'/proc/{pid}/task/{task}/status') as f:
            for line in f:
                if 'ctxt_switches' in line:
                    total += int(line.split()[1])
    return total


def rss_kib(pid):
    with open(f'/proc/{pid}/status') as f:
        return int(re.search(r'VmRSS:\s+(\d+)', f.read()).group(1))


def threads(pid):
    return len(os.listdir(f'/proc/{pid}/task'))


def watch(pid, label):
    # Wake-ups are counted without strace, whose every stop would be counted as one too.
    before = switches(pid)
    time.sleep(SECONDS)
    woken = switches(pid) - before
    with tempfile.NamedTemporaryFile('r') as report:
        strace = subprocess.Popen(['strace', '-f', '-c', '-o', report.name, '-p', str(pid)],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(SECONDS)
        strace.terminate()
        strace.wait(10)
        text = report.read()
    calls = re.search(r'^\s*100\.00\s+\S+\s+\S+\s+(\d+)', text, re.M)
    top = [line.split()[-1] + ' ' + line.split()[3] for line in text.splitlines()[2:7]
           if line.strip() and not line.startswith('-')]
    print(f'{label}: {woken} wake-ups (context switches) in {SECONDS} s, then {calls.group(1) if calls else 0} '
          f'system calls in {SECONDS} s under strace; {threads(pid)} threads; resident {rss_kib(pid)} KiB')
    print(f'  most frequent calls: {", ".join(top) if top else "none"}')


def main():
    exe = os.path.join(harness.BIN, 'PalvenorServer.exe')
    print(f'PalvenorServer.exe: {os.path.getsize(exe)} bytes')
    server = harness.Server('idle-cost')
    started = time.monotonic()
    server.start()
    print(f'start-up to a running message loop with the tray icon added: {time.monotonic() - started:.2f} s '
          '(including Wine starting the process)')
    pid = server.process.pid  # wine-run.sh and wine exec into the Windows process itself
    try:
        time.sleep(2)
        watch(pid, 'no phone')
        phone = socket.create_connection(('127.0.0.1', harness.PORT))
        time.sleep(1)
        watch(pid, 'silent connected phone')
        phone.close()
    finally:
        server.stop()


if __name__ == '__main__':
    main()
