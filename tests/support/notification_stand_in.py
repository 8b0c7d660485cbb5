#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The desktop's notification service for the tests: python3-dbusmock's template on the bus that
DBUS_SESSION_BUS_ADDRESS names.

    notification_stand_in.py bus SOCKET   start a private bus there; prints "ADDRESS PID"
    notification_stand_in.py start        start the stand-in; prints its pid
    notification_stand_in.py calls        the Notify calls, one a line: app name, replaced id,
                                          icon, summary, body, desktop entry, timeout, tab-separated
"""

import sys

import dbus

from bus_stand_in import connect, serve, start_bus

NAME = 'org.freedesktop.Notifications'
VARIABLE = 'DBUS_SESSION_BUS_ADDRESS'


def start():
    serve(VARIABLE, NAME, '-t', 'notification_daemon')


def calls():
    mock = dbus.Interface(connect(VARIABLE).get_object(NAME, '/org/freedesktop/Notifications'),
                          'org.freedesktop.DBus.Mock')
    for _, (app, replaced, icon, summary, body, _, hints, timeout) in mock.GetMethodCalls('Notify'):
        print(app, replaced, icon, summary, body, hints.get('desktop-entry', ''), timeout, sep='\t')


COMMANDS = {'bus': start_bus, 'start': start, 'calls': calls}

if __name__ == '__main__':
    COMMANDS[sys.argv[1]](*sys.argv[2:])
