"""The installer as a Windows user meets it: a silent install, an install over a running copy, one
over a copy that will not quit, one into a folder of the user's choice, folders it refuses, and a
silent uninstall, in the test prefix, with a stand-in netsh.exe that records the firewall rules."""
import glob
import os
import shutil
import signal
import subprocess
import time
import unittest

from harness import (BIN, RUN, STATE, WORK, ServerTest, probe, shortcut_path, wait_until, window_state, windows_path,
                     wine)

INSTALLER = os.environ['PALVENOR_INSTALLER']
DRIVE_C = os.path.join(STATE, 'prefix', 'drive_c')
FOLDER = os.path.join(DRIVE_C, 'Program Files', 'Palvenor Server')
INSTALLED = 'C:\\Program Files\\Palvenor Server\\PalvenorServer.exe'
START_MENU = os.path.join(DRIVE_C, 'ProgramData', 'Microsoft', 'Windows', 'Start Menu', 'Programs',
                          'Palvenor Server.lnk')
UNINSTALL_KEY = 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Palvenor Server'
SETTINGS_KEY = 'HKLM\\Software\\Quorvane\\Palvenor Server'


def rule(verb, protocol):
    text = f'advfirewall firewall {verb} rule name="Palvenor Server ({protocol})"'
    if verb == 'add':
        text += (f' dir=in action=allow program="{INSTALLED}" protocol={protocol} localport=4026'
                 ' remoteip=localsubnet profile=private,domain')
    return text


class InstalledServer:
    """The installed program, started as the Start-menu shortcut would; stopped in tear-down."""

    def __init__(self):
        self.process = subprocess.Popen([RUN, STATE, INSTALLED], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        if probe('wait-window', 30000).returncode != 0:
            self.stop()
            raise AssertionError(f'the installed server did not start (exit code {self.process.returncode}: 0 when '
                                 'another copy, whose window is gone, still holds the semaphore)')

    def ended(self, timeout):
        try:
            self.process.wait(timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(10)


class InstallerTest(ServerTest):
    def setUp(self):
        super().setUp()
        self.record = os.path.join(WORK, 'netsh.txt')
        os.makedirs(WORK, exist_ok=True)
        for leftover in (self.record, START_MENU, shortcut_path()):
            if os.path.exists(leftover):
                os.remove(leftover)
        shutil.rmtree(FOLDER, ignore_errors=True)
        for key in (UNINSTALL_KEY, SETTINGS_KEY, SETTINGS_KEY.replace('HKLM', 'HKCU')):
            wine(['reg', 'delete', key, '/f'])
        # The setup runs from a download folder, its working folder, where a web page may have
        # dropped programs named as the ones it runs.
        self.downloads = os.path.join(WORK, 'Downloads')
        self.planted = os.path.join(WORK, 'planted.txt')
        shutil.rmtree(self.downloads, ignore_errors=True)
        os.makedirs(self.downloads)
        shutil.copy(os.path.join(BIN, 'standin', 'netsh.exe'), self.downloads)
        if os.path.exists(self.planted):
            os.remove(self.planted)
        self.env = dict(os.environ, PALVENOR_NETSH_RECORD=windows_path(self.record),
                        PALVENOR_PLANTED_RECORD=windows_path(self.planted))

    def tearDown(self):
        probe('post', 0x0403, 0, 0)  # a copy the installer started again
        probe('wait-gone', 10000)
        super().tearDown()

    def install(self, *arguments, folder=None):
        # NSIS takes /D= last and unquoted, so a folder with spaces goes through cmd's own line.
        command = [INSTALLER, '/S'] + list(arguments)
        if folder:
            command = ['cmd', '/c', ' '.join([windows_path(INSTALLER), '/S'] + list(arguments) + ['/D=' + folder])]
        code = wine(command, timeout=120, env=self.env, cwd=self.downloads).returncode
        self.assertFalse(os.path.exists(self.planted), 'a program planted in the working folder ran')
        return code

    def lines(self, record):
        if not os.path.exists(record):
            return []
        with open(record) as f:
            return f.read().splitlines()

    def netsh(self):
        return self.lines(self.record)

    def uninstall_entry(self):
        result = wine(['reg', 'query', UNINSTALL_KEY])
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) == 3 and parts[1].startswith('REG_'):
                values[parts[0]] = parts[2]
        return values

    def target_of(self, shortcut):
        result = probe('shortcut', windows_path(shortcut))
        self.assertEqual(result.returncode, 0, f'{shortcut} cannot be read')
        return dict(line.split('=', 1) for line in result.stdout.splitlines() if '=' in line)

    def test_install_over_a_running_copy_then_uninstall_leaves_nothing(self):
        self.assertEqual(self.install(), 0)
        for name in ('PalvenorServer.exe', 'Uninstall.exe'):
            self.assertTrue(os.path.exists(os.path.join(FOLDER, name)), name)
        self.assertEqual(self.target_of(START_MENU), {'target': INSTALLED, 'arguments': ''})
        self.assertFalse(os.path.exists(shortcut_path()), "the installer's own account was given the start at log-on")
        entry = self.uninstall_entry()
        self.assertIsNotNone(entry, 'no Apps & Features entry')
        self.assertEqual({k: entry.get(k) for k in ('DisplayName', 'DisplayVersion', 'Publisher', 'DisplayIcon',
                                                      'UninstallString', 'QuietUninstallString')},
                         {'DisplayName': 'Palvenor Server', 'DisplayVersion': '1.0.0', 'Publisher': 'Quorvane',
                          'DisplayIcon': f'"{INSTALLED}",0',
                          'UninstallString': '"C:\\Program Files\\Palvenor Server\\Uninstall.exe"',
                          'QuietUninstallString': '"C:\\Program Files\\Palvenor Server\\Uninstall.exe" /S'})
        self.assertGreater(int(entry['EstimatedSize'], 16), 100, 'EstimatedSize in KiB')
        self.assertEqual([line for line in self.netsh() if ' add ' in line], [rule('add', 'TCP'), rule('add', 'UDP')])

        # The user's first start applies the installer's choice.
        running = InstalledServer()
        self.servers.append(running)
        self.assertTrue(wait_until(lambda: os.path.exists(shortcut_path()), 10), 'no start at log-on')
        self.assertEqual(self.target_of(shortcut_path())['target'], INSTALLED)
        self.assertTrue(wait_until(lambda: (window_state() or {}).get('visible') == '1', 10),
                        'the first start after the installer showed no window')

        self.assertEqual(self.install('/NOAUTOSTART'), 0)
        self.assertTrue(running.ended(0), 'the running copy was not asked to quit before the files were replaced')
        self.assertTrue(os.path.exists(os.path.join(FOLDER, 'PalvenorServer.exe')))
        self.assertIsNotNone(wait_until(window_state, 30), 'the copy that ran before does not run again')
        self.assertTrue(wait_until(lambda: not os.path.exists(shortcut_path()), 10), 'still started at log-on')
        self.assertEqual(window_state()['visible'], '0', 'an upgrade showed the window')

        open(self.record, 'w').close()
        # A Startup shortcut nobody may write (Windows reads it as read-only) goes too.
        with open(shortcut_path(), 'w') as f:
            f.write('a shortcut')
        os.chmod(shortcut_path(), 0o444)
        # The uninstaller hands over to a copy of itself and returns at once; that copy removes the
        # folder last.
        self.assertEqual(wine([os.path.join(FOLDER, 'Uninstall.exe'), '/S'], timeout=120, env=self.env).returncode, 0)
        gone = wait_until(lambda: not os.path.exists(FOLDER), 60)
        self.assertTrue(gone, f'left behind: {os.listdir(FOLDER) if os.path.exists(FOLDER) else ""}')
        self.assertIsNone(window_state(), 'the running copy was not asked to quit')
        for left in (START_MENU, shortcut_path()):
            self.assertFalse(os.path.exists(left), left)
        self.assertIsNone(self.uninstall_entry())
        self.assertEqual(self.netsh(), [rule('delete', 'TCP'), rule('delete', 'UDP')])

    def setup_log(self):
        log = glob.glob(os.path.join(DRIVE_C, 'users', '*', 'Temp', 'Palvenor Server setup.log'))
        self.assertEqual(len(log), 1, 'no log in the temporary folder')
        return self.lines(log[0])

    def test_a_nested_folder_in_program_files_is_created_kept_at_the_upgrade_and_removed(self):
        top = os.path.join(DRIVE_C, 'Program Files', 'Palvenor Nested')
        nested = os.path.join(top, 'Deeper', 'Palvenor Server')
        shutil.rmtree(top, ignore_errors=True)
        self.addCleanup(shutil.rmtree, top, True)
        self.assertEqual(self.install(folder='C:\\Program Files\\Palvenor Nested\\Deeper\\Palvenor Server'), 0)
        self.assertIn('folder created with its rights, from C:\\Program Files\\Palvenor Nested', self.setup_log())
        self.assertTrue(os.path.exists(os.path.join(nested, 'PalvenorServer.exe')))
        # Without /D= the upgrade goes where the earlier install is: no second copy.
        self.assertEqual(self.install(), 0)
        self.assertIn('rights of the folder set again: 1', self.setup_log())
        self.assertFalse(os.path.exists(FOLDER), 'a second copy in the default folder')
        self.assertEqual(wine([os.path.join(nested, 'Uninstall.exe'), '/S'], timeout=120, env=self.env).returncode, 0)
        self.assertTrue(wait_until(lambda: not os.path.exists(top), 60), 'the folders the setup created stay')

    def test_a_folder_outside_program_files_or_one_not_its_own_is_refused_and_left_alone(self):
        foreign = os.path.join(DRIVE_C, 'Program Files', 'Palvenor Foreign')
        outside = os.path.join(DRIVE_C, 'PalvenorOutside')
        cases = [('outside Program Files', outside, 'C:\\PalvenorOutside', [], 'the folder is outside Program Files'),
                 ('an empty folder a user made', foreign, 'C:\\Program Files\\Palvenor Foreign', [],
                  'the folder exists already'),
                 ('a folder of the user\'s files', foreign, 'C:\\Program Files\\Palvenor Foreign',
                  ['letter.txt', 'IPHLPAPI.DLL'], 'the folder exists already'),
                 ('a library planted beside the installed program', FOLDER, None, ['version.dll'],
                  'the folder holds a file the setup did not install: version.dll')]
        for name, folder, target, files, reason in cases:
            with self.subTest(name):
                for made in (foreign, outside):
                    shutil.rmtree(made, ignore_errors=True)
                    self.addCleanup(shutil.rmtree, made, True)
                if folder == FOLDER:
                    self.assertEqual(self.install(), 0)
                    probe('post', 0x0403, 0, 0)
                    probe('wait-gone', 10000)
                os.makedirs(folder, exist_ok=True)
                for file in files:
                    with open(os.path.join(folder, file), 'w') as f:
                        f.write('the user\'s own')
                before = sorted(os.listdir(folder))
                if os.path.exists(self.record):
                    os.remove(self.record)
                self.assertEqual(self.install(folder=target), 3)
                self.assertEqual(sorted(os.listdir(folder)), before)
                self.assertEqual(self.netsh(), [], 'the install went on')
                self.assertIn(f': {reason}', '\n'.join(self.setup_log()))

    def test_a_folder_made_while_the_setup_waits_for_a_running_copy_is_refused(self):
        raced = os.path.join(DRIVE_C, 'Program Files', 'PalvenorRaced')
        shutil.rmtree(raced, ignore_errors=True)
        self.addCleanup(shutil.rmtree, raced, True)
        self.server('waited-for')
        # The running copy holds the setup's wait, as a standard user's copy may, while the folder is made.
        self.assertEqual(subprocess.run(['pkill', '-STOP', '-f', 'PalvenorServer[.]exe']).returncode, 0)
        try:
            setup = subprocess.Popen([RUN, STATE, 'cmd', '/c',
                                      f'{windows_path(INSTALLER)} /S /D=C:\\Program Files\\PalvenorRaced'],
                                     env=self.env, cwd=self.downloads, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
            time.sleep(3)
            os.makedirs(raced)
            open(os.path.join(raced, 'version.dll'), 'w').close()
        finally:
            subprocess.run(['pkill', '-CONT', '-f', 'PalvenorServer[.]exe'])
        self.assertEqual(setup.wait(120), 3)
        self.assertEqual(sorted(os.listdir(raced)), ['version.dll'], 'installed beside the planted library')
        self.assertIn('not installed in C:\\Program Files\\PalvenorRaced: the folder exists already', self.setup_log())

    def test_an_upgrade_stops_when_another_users_copy_holds_the_program(self):
        self.assertEqual(self.install(), 0)
        installed = os.path.join(FOLDER, 'PalvenorServer.exe')
        before = os.stat(installed).st_mtime_ns
        # Another signed-in user's copy: neither its window nor its marker is seen from this session,
        # but it holds the program open.
        holder = subprocess.Popen([RUN, STATE, os.path.join(BIN, 'probe.exe'), 'hold', INSTALLED, '60000'],
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.addCleanup(holder.wait, 10)
        self.addCleanup(holder.kill)
        self.assertEqual(holder.stdout.readline().strip(), 'held')
        open(self.record, 'w').close()
        self.assertEqual(self.install(), 2)
        self.assertEqual(os.stat(installed).st_mtime_ns, before, 'the program was replaced')
        self.assertEqual(self.netsh(), [], 'the install went on')
        log = glob.glob(os.path.join(DRIVE_C, 'users', '*', 'Temp', 'Palvenor Server setup.log'))
        self.assertIn('the program cannot be replaced: a copy still runs it', self.lines(log[0]))

    def test_an_upgrade_over_a_copy_that_will_not_quit_replaces_nothing(self):
        self.assertEqual(self.install(), 0)
        installed = os.path.join(FOLDER, 'PalvenorServer.exe')
        before = os.stat(installed).st_mtime_ns
        running = InstalledServer()
        self.servers.append(running)
        hung = [int(pid) for pid in subprocess.run(['pgrep', '-f', 'Palvenor Server.PalvenorServer.exe'],
                                                   capture_output=True, text=True).stdout.split()]
        self.assertTrue(hung, 'the running copy was not found')
        for pid in hung:
            os.kill(pid, signal.SIGSTOP)
        try:
            open(self.record, 'w').close()
            self.assertEqual(self.install(), 2)
        finally:
            for pid in hung:
                os.kill(pid, signal.SIGCONT)
        self.assertEqual(os.stat(installed).st_mtime_ns, before, 'the program was replaced under its running copy')
        self.assertEqual(self.netsh(), [], 'the install went on')
        self.assertFalse(running.ended(0))
        log = glob.glob(os.path.join(DRIVE_C, 'users', '*', 'Temp', 'Palvenor Server setup.log'))
        self.assertEqual(len(log), 1, 'no log in the temporary folder')
        self.assertIn('a running copy did not quit within 15 seconds', self.lines(log[0]))


if __name__ == '__main__':
    unittest.main()
