"""A phone against the real program: connection, heartbeats, input, disconnects, takeovers."""
import os
import socket
import subprocess
import tempfile
import time
import unittest

from harness import (BIN, RUN, STATE, DISCONNECT_COMMAND, EXIT_COMMAND, PORT, WM_COMMAND, ServerTest, connection_ends, datagram, move,
                     pointer, probe)


class PhoneTest(ServerTest):
    def assert_moves(self, dx, dy, expected, source='127.0.0.1'):
        # Wine's idea of the pointer is stale (the top left corner) until an injected move, so
        # a first move wakes it and a second brings it to the middle, away from the edges.
        start = pointer()
        for _ in range(10):
            move(1, 1)
            time.sleep(0.25)
            if pointer() != start:
                break
        self.assertNotEqual(pointer(), start, 'the server does not act on the phone\'s moves')
        x, y = pointer()
        move((640 - x) // 2, (512 - y) // 2)
        time.sleep(0.3)
        before = pointer()
        move(dx, dy, source=source)
        time.sleep(0.5)
        after = pointer()
        self.assertEqual((after[0] - before[0], after[1] - before[1]), expected)

    def assert_not_acted_on(self, source='127.0.0.1'):
        start = pointer()
        move(5, 5, source=source)
        datagram(5, 1, source=source)
        time.sleep(0.6)
        self.assertEqual(pointer(), start)

    def test_connect_shows_the_phone_and_its_input_moves_the_pointer(self):
        self.server('server')
        self.connected_phone()
        self.assert_moves(3, -4, (6, -8))

    def test_a_browsers_request_leaves_the_phone_connected_and_served(self):
        self.server('server')
        self.connected_phone()
        for request in (b'GET / HTTP/1.1\r\nHost: 127.0.0.1:4026\r\n\r\n', bytes([0x16, 0x03, 0x01, 0x00, 0x2f])):
            browser = socket.create_connection(('127.0.0.1', PORT), timeout=5)
            self.sockets.append(browser)
            browser.sendall(request)
            self.assertTrue(connection_ends(browser, 3), f'{request[:4]} was not closed')
        self.assertState({'status': 'Connected', 'phone': '127.0.0.1'})
        self.assert_moves(3, 4, (6, 8))

    def test_datagrams_from_another_host_are_dropped(self):
        self.server('server')
        self.connected_phone()
        self.assert_moves(1, 1, (2, 2))  # the phone's own input is acted on
        self.assert_not_acted_on(source='127.0.0.2')

    def test_typed_text_arrives_in_a_real_edit_control(self):
        self.server('server')
        self.connected_phone()
        target = probe_in_background('type-target', 4000)
        time.sleep(1.5)
        for unit in 'Palvenor 4026!':
            datagram(13, ord(unit))
        self.assertIn('typed=Palvenor 4026!', target.result(30))

    def test_heartbeat_every_five_seconds_of_silence(self):
        self.server('server')
        accepted = time.monotonic()  # the silence counts from the accept, before the phone shows
        phone = self.connected_phone()
        for beat in (1, 2):
            phone.settimeout(8)
            data = b''
            while len(data) < 16:
                data += phone.recv(16 - len(data))
            elapsed = time.monotonic() - accepted
            self.assertEqual(data, bytes(16))
            self.assertGreater(elapsed, beat * 5 - 0.8)
            self.assertLess(elapsed, beat * 5 + 1.5)

    def test_phone_closing_or_resetting_ends_the_connection(self):
        self.server('server')
        for reset in (False, True):
            with self.subTest(reset=reset):
                phone = self.connected_phone()
                if reset:
                    phone.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, (1).to_bytes(4, 'little') * 2)
                phone.close()
                self.assertState({'status': 'Not connected', 'phone': '0.0.0.0'})
                self.assert_not_acted_on()

    def test_tray_disconnect_ends_the_phones_connection(self):
        self.server('server')
        phone = self.connected_phone()
        probe('post', WM_COMMAND, DISCONNECT_COMMAND, 0)
        self.assertTrue(connection_ends(phone, 5))
        self.assertState({'status': 'Not connected', 'phone': '0.0.0.0'})

    def test_exit_with_a_phone_connected(self):
        server = self.server('server')
        phone = self.connected_phone()
        probe('post', WM_COMMAND, EXIT_COMMAND, 0)
        self.assertTrue(connection_ends(phone, 5))
        self.assertEqual(server.exit_code(), 0)


def probe_in_background(*arguments):
    """Starts the probe; its result() gives what it printed."""
    output = tempfile.TemporaryFile(mode='w+')
    process = subprocess.Popen([RUN, STATE, os.path.join(BIN, 'probe.exe')] + [str(a) for a in arguments],
                               stdout=output, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)

    def result(timeout):
        process.wait(timeout)
        output.seek(0)
        return output.read()
    process.result = result
    return process


if __name__ == '__main__':
    unittest.main()
