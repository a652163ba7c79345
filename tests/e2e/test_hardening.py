"""What a network can throw at the real server: datagrams of every size, garbage and floods on
the TCP connection, half-open connections, resets, bursts of connection attempts, phones that
never send anything, and a soak of many connections. Through all of it the server keeps serving
the current phone, never crashes or hangs, and gives back what each connection took."""
import os
import random
import socket
import threading
import time
import unittest

from harness import PORT, ServerTest, datagram, move, pointer, wait_until


def process_figures(pid):
    with open(f'/proc/{pid}/status') as f:
        rss = int(next(line for line in f if line.startswith('VmRSS:')).split()[1])
    return {'threads': len(os.listdir(f'/proc/{pid}/task')), 'sockets': sum(
        1 for fd in os.listdir(f'/proc/{pid}/fd') if os.readlink(f'/proc/{pid}/fd/{fd}').startswith('socket:')),
        'rss_kib': rss}


def connect_quietly():
    """A phone connection, retried while the server's backlog of one is full."""
    for _ in range(50):
        try:
            return socket.create_connection(('127.0.0.1', PORT), timeout=5)
        except OSError:
            time.sleep(0.05)
    raise AssertionError('the server stopped accepting connections')


class HardeningTest(ServerTest):
    def assert_served(self):
        """The current phone's moves still reach the pointer."""
        start = pointer()
        self.assertTrue(wait_until(lambda: move(1, 1) or time.sleep(0.25) or pointer() != start, 10, interval=0),
                        'the server no longer acts on the phone\'s input')

    def test_datagrams_of_every_size_and_garbage(self):
        server = self.server('server')
        self.connected_phone()
        for size in range(0, 2001):
            datagram(size=size)  # zero bytes: a 16-byte one is a packet of type 0, which does nothing
        rng = random.Random(4026)
        for _ in range(2000):
            size = rng.choice([15, 16, 17, rng.randrange(0, 2001)])
            payload = bytearray(rng.randbytes(size))
            if size == 16:
                payload[0] = 0x7F  # a type beyond the table, so garbage never presses a key
            with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
                s.sendto(bytes(payload), ('127.0.0.1', PORT))
        self.assertState({'status': 'Connected'})
        self.assert_served()
        self.assertIsNone(server.process.poll())

    def test_garbage_and_floods_on_the_tcp_connection(self):
        server = self.server('server')
        phone = self.connected_phone()
        rng = random.Random(16)
        phone.settimeout(120)
        for _ in range(64):
            phone.sendall(rng.randbytes(16384))  # a megabyte of anything
        self.assertState({'status': 'Connected'})
        self.assertEqual(phone.recv(16), bytes(16), 'no heartbeat after the flood went quiet')
        self.assert_served()
        self.assertIsNone(server.process.poll())

    def test_a_device_that_keeps_sending_is_judged_while_it_sends(self):
        self.server('server')
        device = self.phone()
        stop = threading.Event()

        def stream():  # 64 KB blocks that start like no browser, until told to stop
            block = bytes(range(256)) * 256
            try:
                while not stop.is_set():
                    device.sendall(block)
            except OSError:
                pass
        sender = threading.Thread(target=stream)
        sender.start()
        try:
            self.assertState({'status': 'Connected', 'phone': '127.0.0.1'}, timeout=5)
            self.assertTrue(sender.is_alive(), 'judged only once the device stopped sending')
        finally:
            stop.set()
            sender.join(30)
        self.assert_served()

    def test_half_open_connection_ends_like_a_close(self):
        self.server('server')
        phone = self.connected_phone()
        phone.shutdown(socket.SHUT_WR)
        self.assertState({'status': 'Not connected'})
        self.connected_phone()
        self.assert_served()

    def test_resets_and_silent_phones(self):
        server = self.server('server')
        for _ in range(20):
            phone = connect_quietly()
            phone.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, (1).to_bytes(4, 'little') * 2)
            phone.close()
            time.sleep(0.05)
        silent = [self.phone() for _ in range(5)]
        self.assertState({'status': 'Connected'})
        silent[-1].settimeout(7)
        self.assertEqual(silent[-1].recv(32), bytes(16))
        self.assertIsNone(server.process.poll())

    def test_hundred_simultaneous_connection_attempts(self):
        server = self.server('server')
        attempts = []
        for _ in range(100):
            s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            s.setblocking(False)
            s.connect_ex(('127.0.0.1', PORT))
            attempts.append(s)
            self.sockets.append(s)
        time.sleep(3)
        self.assertIsNone(server.process.poll())
        # Whichever phone connected last is served; a new phone takes over from it.
        last = self.connected_phone()
        time.sleep(0.5)
        self.assert_served()
        last.settimeout(7)
        self.assertEqual(last.recv(32), bytes(16))

    def test_soak_gives_back_what_connections_took(self):
        server = self.server('server')
        pid = server.process.pid
        # One full cycle first, so that what a first connection sets up for good is part of the baseline.
        phone = self.connected_phone()
        self.assert_served()
        phone.close()
        self.assertState({'status': 'Not connected'})
        time.sleep(2)
        baseline = process_figures(pid)

        for cycle in range(1000):
            phone = connect_quietly()
            time.sleep(0.01)
            phone.close()
        self.assertState({'status': 'Not connected'}, timeout=30)
        held = []
        for _ in range(100):
            held.append(connect_quietly())
            time.sleep(0.01)
        self.assertState({'status': 'Connected'}, timeout=30)
        for phone in held:
            phone.close()
        self.assertState({'status': 'Not connected'}, timeout=30)
        time.sleep(3)  # the last monitors' threads end after their final report

        after = process_figures(pid)
        print(f'\nsoak: before {baseline}, after {after}')
        self.assertLessEqual(after['threads'], baseline['threads'])
        self.assertLessEqual(after['sockets'], baseline['sockets'])
        self.assertLess(after['rss_kib'], baseline['rss_kib'] + 4096)
        self.connected_phone()
        self.assert_served()


if __name__ == '__main__':
    unittest.main()
