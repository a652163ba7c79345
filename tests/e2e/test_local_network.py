"""A phone that is not on a local network is refused, seen across a real network: the server runs
in a network namespace of its own (198.51.100.1/24) and the phone in another (203.0.113.2/24),
joined by a virtual cable. Needs root for the namespaces; elsewhere the test is skipped."""
import os
import shutil
import socket
import subprocess
import time
import unittest

from harness import BIN, RUN, STATE, WORK, run, wait_until

SERVER_NS, PHONE_NS = f'palvenor-server-{os.getpid()}', f'palvenor-phone-{os.getpid()}'
SERVER_ADDRESS = '198.51.100.1'
# A Wine prefix of its own: its wineserver must start inside the server's namespace, and the
# fixture's, already running outside, holds its sockets in the machine's own.
NS_STATE = os.path.join(WORK, 'netns-state')


def ip(*arguments):
    return subprocess.run(['ip'] + list(arguments), capture_output=True, text=True)


def in_namespace(namespace, command, timeout=60):
    return run(['ip', 'netns', 'exec', namespace] + command, timeout=timeout, stderr=subprocess.STDOUT)


def wine_in_server_namespace(*arguments, timeout=60):
    return in_namespace(SERVER_NS, [RUN, NS_STATE] + list(arguments), timeout=timeout)


class LocalNetworkTest(unittest.TestCase):
    def setUp(self):
        self.server = None
        if os.geteuid() != 0 or ip('netns', 'add', SERVER_NS).returncode != 0:
            self.skipTest('network namespaces need root')
        self.addCleanup(ip, 'netns', 'delete', SERVER_NS)
        self.assertEqual(ip('netns', 'add', PHONE_NS).returncode, 0)
        self.addCleanup(ip, 'netns', 'delete', PHONE_NS)
        for command in (['link', 'add', 'pv-server', 'netns', SERVER_NS, 'type', 'veth', 'peer', 'name', 'pv-phone',
                         'netns', PHONE_NS],
                        ['-n', SERVER_NS, 'address', 'add', f'{SERVER_ADDRESS}/24', 'dev', 'pv-server'],
                        ['-n', PHONE_NS, 'address', 'add', '203.0.113.2/24', 'dev', 'pv-phone'],
                        ['-n', SERVER_NS, 'link', 'set', 'pv-server', 'up'],
                        ['-n', PHONE_NS, 'link', 'set', 'pv-phone', 'up'],
                        ['-n', SERVER_NS, 'link', 'set', 'lo', 'up'],
                        ['-n', SERVER_NS, 'route', 'add', '203.0.113.0/24', 'dev', 'pv-server'],
                        ['-n', PHONE_NS, 'route', 'add', '198.51.100.0/24', 'dev', 'pv-phone']):
            result = ip(*command)
            self.assertEqual(result.returncode, 0, f'ip {" ".join(command)}: {result.stderr}')
        os.makedirs(NS_STATE, exist_ok=True)
        shutil.copy(os.path.join(STATE, 'display'), NS_STATE)
        self.addCleanup(self.stop_wine)
        self.server = subprocess.Popen(['ip', 'netns', 'exec', SERVER_NS, RUN, NS_STATE,
                                        os.path.join(BIN, 'PalvenorServer.exe')],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop_wine(self):
        if self.server and self.server.poll() is None:
            self.server.kill()
            self.server.wait(10)
        in_namespace(SERVER_NS, ['env', f'WINEPREFIX={NS_STATE}/prefix', 'wineserver', '-k'])

    def state(self):
        result = wine_in_server_namespace(os.path.join(BIN, 'probe.exe'), 'state')
        return dict(line.split('=', 1) for line in result.stdout.splitlines() if '=' in line)

    def test_a_phone_beyond_the_local_networks_is_refused_and_nothing_shows(self):
        # A new prefix is made on the first start, which takes a while.
        started = wait_until(lambda: self.state().get('computer', 'Unknown') != 'Unknown', 240, interval=2)
        self.assertTrue(started, 'the server did not start in its namespace')
        phone = in_namespace(PHONE_NS, ['python3', '-c', f'''
import socket, time
s = socket.create_connection(("{SERVER_ADDRESS}", 4026), timeout=10)
start = time.monotonic()
s.settimeout(4)
try:
    print("closed" if s.recv(16) == b"" else "data", round(time.monotonic() - start, 1))
except socket.timeout:
    print("open")
except OSError:
    print("closed", round(time.monotonic() - start, 1))
'''], timeout=30)
        self.assertTrue(phone.stdout.startswith('closed'), f'the phone was not refused: {phone.stdout}')
        time.sleep(0.5)
        state = self.state()
        self.assertEqual((state.get('status'), state.get('phone')), ('Not connected', '0.0.0.0'))


if __name__ == '__main__':
    unittest.main()
