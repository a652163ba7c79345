"""A phone against the real program, wired as it ships: its connection shows, its input moves the
pointer, and a browser's connection leaves it served. The connection's and the input's own
behaviour is proven in-process (app_tests)."""
import socket
import time
import unittest

from harness import PORT, ServerTest, connection_ends, move, pointer


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


if __name__ == '__main__':
    unittest.main()
