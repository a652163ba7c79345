"""A phone that is not on a local network is refused, seen across a real network: the server runs
in a network namespace of its own (198.51.100.1/24) and the phone in another (203.0.113.2/24),
joined by a virtual cable; once the PC joins the phone's network, the phone is taken. Needs root
for the namespaces; elsewhere the suite reports itself skipped (exit code 77)."""
import os
import subprocess
import sys
import time
import unittest

from harness import BIN, RUN, WORK, run, wait_until

SERVER_NS, PHONE_NS = f'palvenor-server-{os.getpid()}', f'palvenor-phone-{os.getpid()}'
SERVER_ADDRESS = '198.51.100.1'
# A Wine prefix and a display of their own, both started inside the server's namespace: the
# fixture's wineserver, already running outside, holds its sockets in the machine's own, and an X
# server's abstract socket is seen only from the namespace it was started in.
NS_STATE = os.path.join(WORK, 'netns-state')
FIXTURE = os.path.join(os.path.dirname(RUN), 'wine-fixture.sh')


def ip(*arguments):
    return subprocess.run(['ip'] + list(arguments), capture_output=True, text=True)


def in_namespace(namespace, command, timeout=60):
    return run(['ip', 'netns', 'exec', namespace] + command, timeout=timeout, stderr=subprocess.STDOUT)


def wine_in_server_namespace(*arguments, timeout=60):
    return in_namespace(SERVER_NS, [RUN, NS_STATE] + list(arguments), timeout=timeout)


class LocalNetworkTest(unittest.TestCase):
    def setUp(self):
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
        self.addCleanup(in_namespace, SERVER_NS, [FIXTURE, 'stop', NS_STATE])
        prepared = in_namespace(SERVER_NS, [FIXTURE, 'start', NS_STATE], timeout=300)
        self.assertEqual(prepared.returncode, 0, f'no Wine in the namespace: {prepared.stdout}')
        self.server = subprocess.Popen(['ip', 'netns', 'exec', SERVER_NS, RUN, NS_STATE,
                                        os.path.join(BIN, 'PalvenorServer.exe')],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(self.stop_server)

    def stop_server(self):
        if self.server.poll() is None:
            self.server.kill()
            self.server.wait(10)

    def state(self):
        result = wine_in_server_namespace(os.path.join(BIN, 'probe.exe'), 'state')
        return dict(line.split('=', 1) for line in result.stdout.splitlines() if '=' in line)

    def connect_from_phone(self):
        """How the server answered a phone in the phone's namespace: closed, or still open."""
        return in_namespace(PHONE_NS, ['python3', '-c', f'''
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
'''], timeout=30).stdout

    def test_a_phone_beyond_the_local_networks_is_refused_until_the_pc_joins_its_network(self):
        started = wait_until(lambda: self.server.poll() is not None
                             or self.state().get('computer', 'Unknown') != 'Unknown', 60, interval=1)
        self.assertIsNone(self.server.poll(), 'the server ended in its namespace')
        self.assertTrue(started, 'the server did not start in its namespace')
        phone = self.connect_from_phone()
        self.assertTrue(phone.startswith('closed'), f'the phone was not refused: {phone}')
        time.sleep(0.5)
        state = self.state()
        self.assertEqual((state.get('status'), state.get('phone')), ('Not connected', '0.0.0.0'))

        # The PC joins the phone's network after start-up; nobody opens the status window.
        self.assertEqual(ip('-n', SERVER_NS, 'address', 'add', '203.0.113.1/24', 'dev', 'pv-server').returncode, 0)
        self.assertTrue(self.connect_from_phone().startswith('open'), 'the phone on the joined network was refused')


if __name__ == '__main__':
    result = unittest.main(exit=False).result
    # ctest counts exit code 77 as skipped, never as passed.
    sys.exit(77 if result.skipped and not result.failures and not result.errors else 0 if result.wasSuccessful() else 1)
