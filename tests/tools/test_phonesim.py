"""The phone simulator as its users run it: what it puts on the wire, and how it refuses bad
arguments. The native build talks to this test's own sockets on loopback port 4026, standing in
for the server."""
import os
import socket
import struct
import subprocess
import threading
import unittest

PHONESIM = os.environ['PHONESIM']


def run(*arguments, stdin=None):
    return subprocess.run([PHONESIM] + list(arguments), input=stdin, capture_output=True, text=True, timeout=30)


class Wire:
    """Collects the datagrams sent to UDP port 4026 and answers a TCP connection on 4026."""

    def __enter__(self):
        self.udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.udp.bind(('127.0.0.1', 4026))
        self.udp.settimeout(0.5)
        self.tcp = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.tcp.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.tcp.bind(('127.0.0.1', 4026))
        self.tcp.listen(1)
        return self

    def packets(self):
        found = []
        try:
            while True:
                data = self.udp.recv(4096)
                found.append(struct.unpack('>4i', data) if len(data) == 16 else len(data))
        except socket.timeout:
            return found

    def __exit__(self, *_):
        self.udp.close()
        self.tcp.close()


class PhonesimTest(unittest.TestCase):
    def test_commands_become_the_phones_packets(self):
        with Wire() as wire:
            result = run('--no-connect', '--settle', '0', 'move', '3', '-4', 'click', '1', 'wheel', '120',
                         'hwheel', '-120', 'keydown', '123', 'keyup', '123', 'text', 'a\u00e9\U0001F600',
                         'packet', '99', '1', '2', '3', 'datagram', '17')
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(wire.packets(), [
                (6, 3, 0, 0), (7, -4, 0, 0), (5, 1, 0, 0), (4, 1, 0, 0), (10, 120, 0, 0), (14, -120, 0, 0),
                (2, 123, 0, 0), (1, 123, 0, 0), (13, 0x61, 0, 0), (13, 0xE9, 0, 0), (13, 0xD83D, 0, 0),
                (13, 0xDE00, 0, 0), (99, 1, 2, 3), 17])

    def test_script_on_standard_input(self):
        with Wire() as wire:
            result = run('--no-connect', '--settle', '0', stdin='# a comment\nmove 1 1\n\npress 0\nrelease 0\n')
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(wire.packets(), [(6, 1, 0, 0), (7, 1, 0, 0), (5, 0, 0, 0), (4, 0, 0, 0)])

    def test_heartbeats_are_printed_with_their_time(self):
        with Wire() as wire:
            def server():
                connection, _ = wire.tcp.accept()
                connection.sendall(bytes(32))
                connection.close()
            thread = threading.Thread(target=server)
            thread.start()
            result = run('--settle', '0', '--hold', '1')
            thread.join()
            self.assertEqual(result.returncode, 0, result.stderr)
            lines = result.stdout.split('\n')
            self.assertRegex(lines[0], r'^0\.000 connected$')
            self.assertEqual(sum(1 for line in lines if line.endswith(' heartbeat')), 2)
            self.assertRegex(result.stdout, r'\d+\.\d{3} closed')

    def test_bad_arguments_get_a_usage_error_and_send_nothing(self):
        with Wire() as wire:
            for arguments in (['--no-connect', 'move', '1'], ['--no-connect', 'move', 'x', '1'],
                              ['--no-connect', 'fly'], ['--no-connect', 'click', '99999999999'],
                              ['--host', 'not-an-address'], ['--hold'], ['--bogus'],
                              ['--no-connect', 'move', '1', '1', 'datagram', '70000']):
                with self.subTest(arguments=arguments):
                    result = run(*arguments)
                    self.assertEqual(result.returncode, 2)
                    self.assertIn('usage: phonesim', result.stderr)
            self.assertEqual(wire.packets(), [], 'a refused command line sent something')

    def test_no_server_is_a_clear_failure(self):
        result = run('--host', '127.0.0.1', 'move', '1', '1')
        self.assertEqual(result.returncode, 1)
        self.assertIn('cannot connect', result.stderr)


if __name__ == '__main__':
    unittest.main()
