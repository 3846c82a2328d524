'''dbusmock's NetworkManager that can be made slow: after SetDelay(ms) on the mock
interface, every call but those of the mock interface is answered ms milliseconds after it
came in. The calls wait side by side, as NetworkManager's own would, and the mock's steering
calls answer at once.'''

import dbus
import dbus.service
from gi.repository import GLib
from dbusmock.templates.networkmanager import *  # noqa: F401,F403 (the template's names)
from dbusmock.templates import networkmanager as _template

MOCK_IFACE = 'org.freedesktop.DBus.Mock'

# The module is read twice by dbusmock: the delay and the original dispatcher live on the
# class, so that both readings share them.
if not hasattr(dbus.service.Object, '_undelayed_message_cb'):
    dbus.service.Object._undelayed_message_cb = dbus.service.Object._message_cb
    dbus.service.Object._delay_ms = 0

    def _delayed_message_cb(self, connection, message):
        delay = dbus.service.Object._delay_ms
        if delay <= 0 or message.get_interface() == MOCK_IFACE:
            self._undelayed_message_cb(connection, message)
            return

        def answer():
            self._undelayed_message_cb(connection, message)
            return False

        GLib.timeout_add(delay, answer)

    dbus.service.Object._message_cb = _delayed_message_cb


@dbus.service.method(MOCK_IFACE, in_signature='u', out_signature='')
def SetDelay(_self, delay_ms):
    '''Answers every later call but the mock's own after delay_ms milliseconds.'''
    dbus.service.Object._delay_ms = int(delay_ms)


def load(mock, parameters):
    _template.load(mock, parameters)
