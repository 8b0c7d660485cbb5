# SPDX-License-Identifier: GPL-3.0-or-later
"""What the stand-ins of bus services share: a private bus, and python3-dbusmock serving a name on
the bus an environment variable names."""

import os
import subprocess
import sys
import time

import dbus


def connect(variable):
    return dbus.bus.BusConnection(os.environ[variable])


def start_bus(socket):
    # Root's session configuration: no policy to write, and only root runs the tests.
    out = subprocess.check_output(
        ['dbus-daemon', '--session', '--fork', '--nosyslog', '--print-address=1',
         '--print-pid=1', '--address=unix:path=' + socket], text=True).split()
    print(out[0], out[1])


def serve(variable, name, *arguments):
    """Starts python3-dbusmock with these arguments; prints its pid once it owns the name."""
    server = subprocess.Popen([sys.executable, '-m', 'dbusmock', *arguments],
                              stdout=subprocess.DEVNULL, start_new_session=True)
    for _ in range(100):
        try:
            if connect(variable).name_has_owner(name):
                print(server.pid)
                return
        except dbus.DBusException:
            pass
        time.sleep(0.1)
    sys.exit('the stand-in did not come up')
