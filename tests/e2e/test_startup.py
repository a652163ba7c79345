"""The real program's start-up, command line, single-instance rule and window, from outside."""
import os
import signal
import socket
import time
import unittest

from harness import EXIT_COMMAND, PORT, QUIT_REQUEST, WM_COMMAND, ServerTest, probe, shortcut_path, wait_until

WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, WM_CLOSE = 0x0218, 0x0012, 0x0010


def remove_shortcut():
    if os.path.exists(shortcut_path()):
        os.remove(shortcut_path())


class StartupTest(ServerTest):
    def setUp(self):
        super().setUp()
        remove_shortcut()

    def tearDown(self):
        super().tearDown()
        remove_shortcut()

    def test_labels_at_start_up(self):
        self.server('first')
        state = self.assertState({'status': 'Not connected', 'phone': '0.0.0.0', 'advertisement': 'Registered',
                                  'visible': '0', 'checked': '0'})
        self.assertEqual(state['computer'], socket.gethostname())
        self.assertRegex(state['local'], r'^\d+\.\d+\.\d+\.\d+$')

    def test_advertisement_outcomes_and_a_server_that_still_serves(self):
        refused = {'standin_result': -65537}
        cases = (('bonjour-refused-windows-registers', dict(refused, windows_service=(9506, 0)), 'Registered', '0'),
                 ('both-refuse', dict(refused, windows_service=(87,)), 'Failed', '1'),
                 ('windows-fails-later', dict(refused, windows_service=(9506, 1460)), 'Failed', '1'),
                 ('no-library-windows-refuses', {'library': False, 'windows_service': (87,)}, 'Failed', '1'))
        for name, options, label, visible in cases:
            with self.subTest(name):
                server = self.server(name, **options)
                self.assertState({'advertisement': label, 'visible': visible})
                if name.startswith('no-library'):
                    self.assertNotIn('call\n', server.registration(), 'a library beside the program was run')
                phone = self.phone()
                self.assertState({'status': 'Connected', 'phone': '127.0.0.1'})
                phone.close()
                self.assertState({'status': 'Not connected'})
                server.stop()

    def test_a_port_held_by_another_program_is_shown_and_tried_again_until_free(self):
        for kind in (socket.SOCK_STREAM, socket.SOCK_DGRAM):
            with self.subTest(kind=kind), socket.socket(socket.AF_INET, kind) as other:
                other.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)  # past earlier tests' TIME_WAIT
                other.bind(('0.0.0.0', PORT))
                if kind == socket.SOCK_STREAM:
                    other.listen()
                server = self.server(f'port-{kind}')
                self.assertState({'status': 'Port 4026 is in use by another program'})
                if kind == socket.SOCK_DGRAM:
                    with self.assertRaises(OSError, msg='listened while the input port was taken'):
                        socket.create_connection(('127.0.0.1', PORT), timeout=2).close()
                self.assertNotIn('call\n', server.registration(), 'advertised while the port was taken')
                other.close()
                self.assertState({'status': 'Not connected', 'advertisement': 'Registered'}, timeout=15)
                self.connected_phone().close()
                server.stop()

    def test_a_resume_from_sleep_advertises_anew(self):
        server = self.server('resume')
        self.assertState({'advertisement': 'Registered'})
        probe('post', WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0)
        self.assertTrue(wait_until(lambda: server.registration().count('call\n') == 2, 10),
                        f'not registered again: {server.registration()}')
        record = server.registration()
        self.assertLess(record.index('deallocate=filled\n'), record.rindex('call\n'), 'not withdrawn first')
        self.assertState({'advertisement': 'Registered'})
        self.connected_phone()

    def test_the_window_speaks_the_users_language(self):
        for language, status in (('de_DE.UTF-8', 'Nicht verbunden'), ('ja_JP.UTF-8', '未接続')):
            with self.subTest(language):
                server = self.server(language, language=language)
                self.assertState({'status': status})
                server.stop()

    def test_a_second_start_shows_the_running_copys_window_where_options_do_not_say_otherwise(self):
        first = self.server('first')
        for arguments in (['-autostart'], ['-noautostart']):
            self.assertEqual(first.run(arguments), 0)
        self.assertState({'visible': '0'})
        for arguments in ([], ['-showui']):
            with self.subTest(arguments=arguments):
                self.assertEqual(first.run(arguments), 0)
                self.assertState({'visible': '1', 'hint': '1'})
                probe('post', WM_CLOSE, 0, 0)
                self.assertState({'visible': '0', 'hint': '0'})
        self.assertIsNone(first.process.poll(), 'the first copy ended')

    def test_a_copy_started_while_the_last_one_ends_runs(self):
        # Windows' DNS-SD service takes most of a second to withdraw the first copy's advertisement,
        # which the copy waits for after its window has gone; stopped then, it stays in that state.
        first = self.server('first', start=False, library=False, windows_service=(9506, 0))
        first.env['PALVENOR_DNSAPI_DEREGISTER_MS'] = '900'
        first.start()
        probe('post', QUIT_REQUEST, 0, 0)
        self.assertEqual(probe('wait-gone', 5000).returncode, 0)
        os.kill(first.process.pid, signal.SIGSTOP)
        try:
            second = self.server('second', start=False).start(wait=False)
            time.sleep(2)
        finally:
            os.kill(first.process.pid, signal.SIGCONT)
        self.assertEqual(first.exit_code(), 0)
        self.assertEqual(probe('wait-window', 10000).returncode, 0, 'the new copy ended unseen')
        self.assertIsNone(second.process.poll())

    def test_quit_ends_the_running_copy(self):
        first = self.server('first')
        self.assertEqual(first.run(['-quit']), 0)
        self.assertEqual(first.exit_code(), 0)
        self.assertEqual(probe('wait-gone', 5000).returncode, 0)
        self.assertEqual(first.run(['-quit']), 0, '-quit with no copy running')

    def test_the_command_line_reaches_the_options(self):
        # How an option matches is proven natively; here, that the real program examines each
        # argument cut to its buffer, and nothing after -noautostart.
        cases = [(['--SHOWUI'], '1'), (['x' * 593 + '-showui'], '0'), (['-noautostart', '-showui'], '0')]
        for arguments, visible in cases:
            with self.subTest(arguments=[a[:20] for a in arguments]):
                server = self.server('options', *arguments)
                self.assertState({'visible': visible})
                server.stop()

    def test_quit_and_uninstall_in_one_argument_acts_as_quit(self):
        first = self.server('first')
        open(shortcut_path(), 'w').close()
        self.assertEqual(first.run(['-quit-uninstall']), 0)
        self.assertEqual(first.exit_code(), 0)
        self.assertTrue(os.path.exists(shortcut_path()), 'the shortcut was deleted')

    def test_autostart_options_create_and_delete_the_shortcut(self):
        first = self.server('first')
        self.assertEqual(first.run(['-autostart']), 0, 'a second copy still creates the shortcut')
        self.assertTrue(os.path.exists(shortcut_path()))
        self.assertState({'checked': '0'})  # the running copy's box keeps its state
        self.assertEqual(first.run(['-noautostart']), 0)
        self.assertFalse(os.path.exists(shortcut_path()))
        self.assertEqual(first.run(['-autostart', '-quit']), 0)
        self.assertTrue(os.path.exists(shortcut_path()))
        self.assertEqual(first.exit_code(), 0)
        second = self.server('second')
        self.assertState({'checked': '1'}, timeout=5)
        self.assertEqual(second.run(['-uninstall']), 0)
        self.assertFalse(os.path.exists(shortcut_path()))
        self.assertEqual(second.exit_code(), 0)

    def test_any_file_of_the_shortcuts_name_checks_the_box(self):
        with open(shortcut_path(), 'w') as f:
            f.write('not a shortcut')
        self.server('first')
        self.assertState({'checked': '1'})

    def test_exit_command_ends_the_program_with_code_zero(self):
        server = self.server('first')
        probe('post', WM_COMMAND, EXIT_COMMAND, 0)
        self.assertEqual(server.exit_code(), 0)
        self.assertEqual(probe('wait-gone', 5000).returncode, 0)

    def test_quit_request_message_ends_the_program(self):
        server = self.server('first')
        probe('post', QUIT_REQUEST, 0, 0)
        self.assertEqual(server.exit_code(), 0)


if __name__ == '__main__':
    unittest.main()
