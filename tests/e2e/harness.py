"""Runs the real server under Wine and looks at it from outside, the way a phone, the shell and
the user do: the probe reads its window, plain sockets play the phone, xdotool reads the pointer.
Every process a test starts is stopped in its tear-down, whether the test passed or not."""
import glob
import os
import shutil
import socket
import subprocess
import tempfile
import time
import unittest

STATE = os.environ['PALVENOR_WINE_STATE']
BIN = os.environ['PALVENOR_BIN']
RUN = os.environ['PALVENOR_WINE_RUN']
WORK = os.environ.get('PALVENOR_E2E_WORK', os.path.join(STATE, 'e2e'))
PORT = 4026

WM_COMMAND = 0x0111
QUIT_REQUEST = 0x0403
EXIT_COMMAND = 105


def windows_path(path):
    return 'Z:' + os.path.abspath(path).replace('/', '\\')


def run(command, timeout=60, env=None, stderr=subprocess.DEVNULL, cwd=None):
    """Runs a command to its end and gives its output in result.stdout."""
    # Output goes through a file, not a pipe: Wine's own background processes, started by
    # whichever program comes first, would hold a pipe open long after the program ended.
    with tempfile.TemporaryFile(mode='w+') as output:
        result = subprocess.run(command, stdout=output, stderr=stderr, stdin=subprocess.DEVNULL, timeout=timeout,
                                env=env, cwd=cwd)
        output.seek(0)
        result.stdout = output.read()
    return result


def wine(arguments, timeout=60, env=None, cwd=None):
    return run([RUN, STATE] + arguments, timeout=timeout, env=env, cwd=cwd)


def probe(*arguments, timeout=90):
    return wine([os.path.join(BIN, 'probe.exe')] + [str(a) for a in arguments], timeout=timeout)


def window_state():
    result = probe('state')
    if result.returncode != 0:
        return None
    return dict(line.split('=', 1) for line in result.stdout.splitlines() if '=' in line)


def startup_folder():
    folders = [f for f in glob.glob(os.path.join(STATE, 'prefix', 'drive_c', 'users', '*', 'AppData', 'Roaming',
                                                 'Microsoft', 'Windows', 'Start Menu', 'Programs', 'StartUp'))
               if '/Public/' not in f]
    if not folders:
        raise RuntimeError('the Wine prefix has no Startup folder')
    return folders[0]


def shortcut_path():
    return os.path.join(startup_folder(), 'Quorvane Palvenor Server.lnk')


def display():
    with open(os.path.join(STATE, 'display')) as f:
        return f.read().strip()


def pointer():
    out = subprocess.run(['xdotool', 'getmouselocation', '--shell'], capture_output=True, text=True,
                         env=dict(os.environ, DISPLAY=display()), check=True).stdout
    values = dict(line.split('=') for line in out.split())
    return int(values['X']), int(values['Y'])


def datagram(*words, source='127.0.0.1', size=None):
    """Sends one input packet (four big-endian words), or size zero bytes, from source."""
    payload = bytes(size) if size is not None else b''.join(
        (w & 0xFFFFFFFF).to_bytes(4, 'big') for w in (list(words) + [0, 0, 0, 0])[:4])
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind((source, 0))
        s.sendto(payload, ('127.0.0.1', PORT))


def move(dx, dy, source='127.0.0.1'):
    datagram(6, dx, source=source)
    datagram(7, dy, source=source)


def connect_phone():
    phone = socket.create_connection(('127.0.0.1', PORT), timeout=10)
    return phone


def connection_ends(phone, timeout):
    """True when the server ends the connection within timeout; heartbeats are read past."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        phone.settimeout(max(0.05, end - time.monotonic()))
        try:
            if not phone.recv(64):
                return True
        except socket.timeout:
            return False
        except OSError:
            return True
    return False


def wait_until(condition, timeout, interval=0.2):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= end:
            return value
        time.sleep(interval)


class Server:
    """One copy of the server, started from a folder of its own, with the stand-in DNS-SD library
    in the system folder (or without one), so that tests never share files."""

    def __init__(self, name, arguments=(), standin_result=0, library=True, windows_service=None, language=None):
        self.folder = os.path.join(WORK, name)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.exe = os.path.join(self.folder, 'PalvenorServer.exe')
        shutil.copy(os.path.join(BIN, 'PalvenorServer.exe'), self.exe)
        # The program loads the library from the system folder only. Without one there, a copy
        # is planted beside the program, which must not be run.
        system_copy = os.path.join(STATE, 'prefix', 'drive_c', 'windows', 'system32', 'dnssd.dll')
        shutil.copy(os.path.join(BIN, 'standin', 'dnssd.dll'), system_copy if library else self.folder)
        if not library and os.path.exists(system_copy):
            os.remove(system_copy)
        self.record = os.path.join(self.folder, 'registration.txt')
        self.env = dict(os.environ, PALVENOR_STANDIN_RECORD=windows_path(self.record),
                        PALVENOR_STANDIN_RESULT=str(standin_result))
        # Windows' own DNS-SD service (the stand-in dnsapi.dll): what its register call returns
        # (9506: pending) and the status its callback reports later.
        for name, value in zip(('PALVENOR_DNSAPI_RESULT', 'PALVENOR_DNSAPI_STATUS'), windows_service or ()):
            self.env[name] = str(value)
        if language:  # Wine takes the user-interface language from the locale
            self.env.update(LANG=language, LC_ALL=language)
        self.arguments = list(arguments)
        self.process = None

    def start(self, wait=True):
        self.process = subprocess.Popen([RUN, STATE, self.exe] + self.arguments, env=self.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait:
            return self
        if probe('wait-window', 30000).returncode != 0:
            raise AssertionError('the server window did not appear')
        # The window exists from the third step of start-up; the computer's name is written as
        # the listener is created, so once it shows, phones can connect.
        if not wait_until(lambda: (window_state() or {}).get('computer', 'Unknown') != 'Unknown', 30):
            raise AssertionError('the server did not finish starting')
        return self

    def run(self, arguments, timeout=60):
        """Runs another copy from the same folder to its end; returns its exit code."""
        return subprocess.run([RUN, STATE, self.exe] + list(arguments), env=self.env, timeout=timeout,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode

    def exit_code(self, timeout=30):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def registration(self):
        """What the stand-in DNS-SD libraries were asked; empty when nothing was."""
        if not os.path.exists(self.record):
            return ''
        with open(self.record) as f:
            return f.read()

    def stop(self):
        if self.process and self.process.poll() is None:
            probe('post', QUIT_REQUEST, 0, 0)
            if self.exit_code(20) is None:
                self.process.kill()
                self.process.wait(10)
        probe('wait-gone', 10000)


class ServerTest(unittest.TestCase):
    """Gives each test a way to start servers that are always stopped afterwards."""

    def setUp(self):
        self.servers = []
        self.sockets = []

    def tearDown(self):
        for s in self.sockets:
            s.close()
        for server in reversed(self.servers):
            server.stop()

    def server(self, name, *arguments, start=True, **options):
        server = Server(f'{self.id().rsplit(".", 1)[-1]}-{name}', arguments, **options)
        self.servers.append(server)
        return server.start() if start else server

    def phone(self):
        phone = connect_phone()
        self.sockets.append(phone)
        return phone

    def connected_phone(self):
        """A phone whose connection the server has accepted and shows."""
        phone = self.phone()
        self.assertState({'status': 'Connected', 'phone': '127.0.0.1'})
        return phone

    def assertState(self, expected, timeout=10):
        state = wait_until(lambda: (lambda s: s if s and all(s.get(k) == v for k, v in expected.items()) else None)(
            window_state()), timeout)
        self.assertIsNotNone(state, f'window never showed {expected}; last seen {window_state()}')
        return state
