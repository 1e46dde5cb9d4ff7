#!/usr/bin/python3
"""A stand-in progress application for tests.

Owns the progress application's name on the bus at ADDRESS and exports its method;
each call is appended to LOG as "caller reserved" before the answer goes back, so a
caller that waited for the answer finds its call logged. MODE: "answer" answers at once,
"hang" answers only after 30 s, "fail" answers with an error.

usage: fake_progress_app.py ADDRESS LOG MODE SERVICE PATH INTERFACE METHOD
"""
import sys
import time

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib


def progress_app_class(interface, method, log, mode):
    def handler(self, caller, reserved):
        with open(log, "a") as f:
            f.write(f"{caller} {reserved}\n")
        if mode == "hang":
            time.sleep(30)
        if mode == "fail":
            raise dbus.exceptions.DBusException("refused", name="se.tellvara.Test.Refused")

    handler.__name__ = method
    members = {method: dbus.service.method(interface, in_signature="tt", out_signature="")(handler)}
    return type(dbus.service.Object)("ProgressApp", (dbus.service.Object,), members)


def main():
    address, log, mode, service, path, interface, method = sys.argv[1:8]
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(address)
    name = dbus.service.BusName(service, bus, do_not_queue=True)
    app = progress_app_class(interface, method, log, mode)(bus, path)
    print("ready", flush=True)
    GLib.MainLoop().run()
    del app, name


if __name__ == "__main__":
    main()
