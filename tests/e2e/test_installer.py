"""The installer as a Windows user meets it: a silent install, an install over a running copy and
a silent uninstall, in the test prefix, with a stand-in netsh.exe that records the firewall rules."""
import os
import shutil
import subprocess
import unittest

from harness import (RUN, STATE, WORK, ServerTest, probe, shortcut_path, wait_until, window_state, windows_path,
                     wine)

INSTALLER = os.environ['PALVENOR_INSTALLER']
DRIVE_C = os.path.join(STATE, 'prefix', 'drive_c')
FOLDER = os.path.join(DRIVE_C, 'Program Files', 'Palvenor Server')
INSTALLED = 'C:\\Program Files\\Palvenor Server\\PalvenorServer.exe'
START_MENU = os.path.join(DRIVE_C, 'ProgramData', 'Microsoft', 'Windows', 'Start Menu', 'Programs',
                          'Palvenor Server.lnk')
UNINSTALL_KEY = 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Palvenor Server'


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
            raise AssertionError('the installed server did not start')

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
        wine(['reg', 'delete', UNINSTALL_KEY, '/f'])
        self.env = dict(os.environ, PALVENOR_NETSH_RECORD=windows_path(self.record))

    def netsh(self):
        with open(self.record) as f:
            return f.read().splitlines()

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
        self.assertEqual(wine([INSTALLER, '/S'], timeout=120, env=self.env).returncode, 0)
        for name in ('PalvenorServer.exe', 'Uninstall.exe'):
            self.assertTrue(os.path.exists(os.path.join(FOLDER, name)), name)
        self.assertEqual(self.target_of(START_MENU), {'target': INSTALLED, 'arguments': ''})
        self.assertEqual(self.target_of(shortcut_path())['target'], INSTALLED, 'no start at log-on')
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

        running = InstalledServer()
        self.servers.append(running)
        self.assertEqual(wine([INSTALLER, '/S', '/NOAUTOSTART'], timeout=120, env=self.env).returncode, 0)
        self.assertTrue(running.ended(0), 'the running copy was not asked to quit before the files were replaced')
        self.assertTrue(os.path.exists(os.path.join(FOLDER, 'PalvenorServer.exe')))
        self.assertFalse(os.path.exists(shortcut_path()), 'still started at log-on')

        running = InstalledServer()
        self.servers.append(running)
        open(self.record, 'w').close()
        # The uninstaller hands over to a copy of itself and returns at once; that copy removes the
        # folder last.
        self.assertEqual(wine([os.path.join(FOLDER, 'Uninstall.exe'), '/S'], timeout=120, env=self.env).returncode, 0)
        gone = wait_until(lambda: not os.path.exists(FOLDER), 60)
        self.assertTrue(gone, f'left behind: {os.listdir(FOLDER) if os.path.exists(FOLDER) else ""}')
        self.assertTrue(running.ended(5), 'the running copy was not asked to quit')
        self.assertIsNone(window_state())
        for left in (START_MENU, shortcut_path()):
            self.assertFalse(os.path.exists(left), left)
        self.assertIsNone(self.uninstall_entry())
        self.assertEqual(self.netsh(), [rule('delete', 'TCP'), rule('delete', 'UDP')])


if __name__ == '__main__':
    unittest.main()
