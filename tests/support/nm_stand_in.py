#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""NetworkManager's stand-in for the tests: python3-dbusmock's template on the bus that
DBUS_SYSTEM_BUS_ADDRESS names, with what the template lacks (a Metered property on devices,
profiles of dialled kinds, a refusal).

    nm_stand_in.py bus SOCKET            start a private bus there; prints "ADDRESS PID"
    nm_stand_in.py start                 start the stand-in; prints its pid
    nm_stand_in.py device IFACE METERED  a device of that link, or its NMMetered changed
    nm_stand_in.py profile TYPE ID [TIMESTAMP]   a connection profile; prints its path
    nm_stand_in.py refuse REASON         ActivateConnection answers an error with that text
    nm_stand_in.py fail REASON           ActivateConnection accepts, then the activation ends
                                         at once for that NMActiveConnectionStateReason
    nm_stand_in.py calls                 ActivateConnection and DeactivateConnection calls
"""

import sys

import dbus

from bus_stand_in import connect, serve, start_bus

NM = 'org.freedesktop.NetworkManager'
NM_PATH = '/org/freedesktop/NetworkManager'
DEVICE = NM + '.Device'
MOCK = 'org.freedesktop.DBus.Mock'


def bus():
    return connect('DBUS_SYSTEM_BUS_ADDRESS')


def mock(path=NM_PATH):
    return dbus.Interface(bus().get_object(NM, path), MOCK)


def start():
    serve('DBUS_SYSTEM_BUS_ADDRESS', NM, '--system', '-t', 'networkmanager')


def device(iface, metered):
    path = NM_PATH + '/Devices/' + iface
    value = dbus.UInt32(int(metered))
    manager = dbus.Interface(bus().get_object(NM, NM_PATH), NM)
    if path in [str(p) for p in manager.GetDevices()]:
        mock().SetProperty(path, DEVICE, 'Metered', dbus.UInt32(value, variant_level=1))
        return
    mock().AddEthernetDevice(iface, iface, 100)
    mock(path).AddProperty(DEVICE, 'Metered', value)
    # The template sends DeviceAdded before the property exists: announce the device again.
    mock().EmitSignal(NM, 'DeviceAdded', 'o', [dbus.ObjectPath(path)])


def profile(kind, name, timestamp='0'):
    settings = dbus.Interface(bus().get_object(NM, NM_PATH + '/Settings'), NM + '.Settings')
    print(settings.AddConnection(dbus.Dictionary({
        'connection': dbus.Dictionary({'id': name, 'type': kind,
                                       'timestamp': dbus.UInt64(int(timestamp)),
                                       'autoconnect': False}, signature='sv'),
        kind: dbus.Dictionary({}, signature='sv')}, signature='sa{sv}')))


def refuse(reason):
    mock().AddMethod(NM, 'ActivateConnection', 'ooo', 'o',
                     f'raise dbus.exceptions.DBusException({reason!r}, '
                     f"name='{NM}.UnknownDevice')")


def fail(reason):
    # As when no agent holds the PIN: the end follows the answer without waiting.
    active = NM_PATH + '/ActiveConnection/failing'
    mock().AddObject(active, NM + '.Connection.Active', {'State': dbus.UInt32(1)}, [])
    mock().AddMethod(NM, 'ActivateConnection', 'ooo', 'o', f"""
from gi.repository import GLib
def end():
    for state in (3, 4):  # deactivating, deactivated
        objects[{active!r}].EmitSignal('{NM}.Connection.Active', 'StateChanged', 'uu',
                                       [dbus.UInt32(state), dbus.UInt32({int(reason)})])
GLib.idle_add(end)
ret = dbus.ObjectPath({active!r})
""")


def calls():
    for method in ('ActivateConnection', 'DeactivateConnection'):
        for _, args in mock().GetMethodCalls(method):
            print(method, *[str(a) for a in args])


COMMANDS = {'bus': start_bus, 'start': start, 'device': device, 'profile': profile,
            'refuse': refuse, 'fail': fail, 'calls': calls}

if __name__ == '__main__':
    COMMANDS[sys.argv[1]](*sys.argv[2:])
