#!/usr/bin/python3
"""A tray of our own for the end-to-end tests, on the session bus of
DBUS_SESSION_BUS_ADDRESS, and the hand that works it.

  sni.py watcher [LOG]     serves org.kde.StatusNotifierWatcher with a host registered,
                           and org.freedesktop.Notifications, which appends the summary
                           and body of each notification to LOG, until killed
  sni.py item              prints the registered item's bus name; status 1 when none is
  sni.py menu              prints the item's menu, one visible entry a line, a submenu's
                           entries indented by two spaces under it
  sni.py labels            the same with each entry's label as dbusmenu sends it, then a
                           tab and the text a host shows for it
  sni.py click LABEL...    sends "clicked" to the entry reached through these labels
  sni.py icon              prints a digest of the icon the item shows now
  sni.py activate          a left click on the item (Activate)
  sni.py secondary         a middle click on the item (SecondaryActivate)
  sni.py mutter-read MIME  reads the Clipboard through Mutter's remote desktop API and
                           writes it to standard output; status 1 when Mutter has no
                           selection or will not give it
"""
import hashlib
import os
import sys
import time

import dbus
import dbus.service

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"
PROPERTIES = "org.freedesktop.DBus.Properties"
INTROSPECTION = """<node>
 <interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
  <signal name="StatusNotifierHostRegistered"/>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
 </interface>
 <interface name="org.freedesktop.DBus.Properties">
  <method name="Get">
   <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/>
  </method>
  <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
 </interface>
</node>"""


class Watcher(dbus.service.Object):
    """Keeps the items that register, and drops each one whose owner leaves the bus."""

    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.bus = bus
        self.items = []
        bus.add_signal_receiver(self.owner_changed, "NameOwnerChanged",
                                "org.freedesktop.DBus")

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item names either its bus name or, alone, its object path.
        name = sender if service.startswith("/") else service
        path = service if service.startswith("/") else "/StatusNotifierItem"
        entry = name + path
        if entry not in self.items:
            self.items.append(entry)
            self.StatusNotifierItemRegistered(entry)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, item):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemUnregistered(self, item):
        pass

    @dbus.service.signal(WATCHER, signature="")
    def StatusNotifierHostRegistered(self):
        pass

    def owner_changed(self, name, old, new):
        if new:
            return
        for entry in [e for e in self.items if e.split("/")[0] in (name, old)]:
            self.items.remove(entry)
            self.StatusNotifierItemUnregistered(entry)

    # Written out, since dbus-python leaves properties out of what it tells: Qt asks for
    # IsStatusNotifierHostRegistered through an interface built from this.
    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": True,
            "ProtocolVersion": dbus.Int32(0),
        }


NOTIFICATIONS = "org.freedesktop.Notifications"


class Notifications(dbus.service.Object):
    """A desktop's notification server, which writes down what it is asked to show."""

    def __init__(self, bus, log):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.log = log
        self.last = 0

    @dbus.service.method(NOTIFICATIONS, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        self.last += 1
        with open(self.log, "a", encoding="utf-8") as log:
            log.write("%s\t%s\n" % (summary, body.replace("\n", "\\n")))
        return dbus.UInt32(self.last)

    @dbus.service.method(NOTIFICATIONS, out_signature="as")
    def GetCapabilities(self):
        return ["body"]

    @dbus.service.method(NOTIFICATIONS, out_signature="ssss")
    def GetServerInformation(self):
        return ("sni.py", "Pagelift tests", "1", "1.2")

    @dbus.service.method(NOTIFICATIONS, in_signature="u")
    def CloseNotification(self, number):
        pass


def serve_watcher(log):
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus)
    notifications = Notifications(bus, log or os.devnull)
    # The names go with the objects that hold them. The host's comes first, so that an
    # item that sees the watcher also sees a host.
    watcher.names = [
        dbus.service.BusName("org.kde.StatusNotifierHost-%d" % os.getpid(), bus),
        dbus.service.BusName(WATCHER, bus, do_not_queue=True),
        dbus.service.BusName(NOTIFICATIONS, bus, do_not_queue=True),
    ]
    watcher.notifications = notifications
    watcher.StatusNotifierHostRegistered()
    GLib.MainLoop().run()


def the_item(bus):
    items = bus.get_object(WATCHER, "/StatusNotifierWatcher").Get(
        WATCHER, "RegisteredStatusNotifierItems", dbus_interface=PROPERTIES)
    if not items:
        sys.exit("no item is registered")
    name, _, path = str(items[0]).partition("/")
    return bus.get_object(name, "/" + path)


def item_property(item, name):
    return item.Get(ITEM, name, dbus_interface=PROPERTIES)


def the_menu(bus):
    item = the_item(bus)
    return bus.get_object(item.bus_name, item_property(item, "Menu"))


def menu_layout(menu, parent=0):
    """The layout from `parent` down, after telling the item that it is about to show, as
    a host does before it shows a menu (the item may then change its entries)."""
    menu.AboutToShow(parent, dbus_interface=MENU)
    return menu.GetLayout(parent, -1, ["label", "visible", "enabled", "type"], dbus_interface=MENU)[1]


def label_of(props):
    # dbusmenu writes a mnemonic as "_" and a real underscore as "__".
    return str(props.get("label", "")).replace("__", "\0").replace("_", "").replace("\0", "_")


def print_menu(menu, layout, depth=0, raw=False):
    for child in layout[2]:
        if child[1].get("visible", True) and child[1].get("type", "") != "separator":
            shown = label_of(child[1])
            print("  " * depth + (str(child[1].get("label", "")) + "\t" + shown if raw else shown))
            if child[2]:
                print_menu(menu, menu_layout(menu, child[0]), depth + 1, raw)


def click(bus, labels):
    menu = the_menu(bus)
    layout = menu_layout(menu)
    for depth, label in enumerate(labels):
        entries = [c for c in layout[2] if label_of(c[1]) == label and c[1].get("visible", True)]
        if not entries:
            sys.exit("no entry %r in the menu" % label)
        if not entries[0][1].get("enabled", True):
            sys.exit("the entry %r is greyed" % label)
        layout = entries[0]
        if depth + 1 < len(labels):
            layout = menu_layout(menu, layout[0])
    menu.Event(layout[0], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(time.time()),
               dbus_interface=MENU)


def print_icon(bus):
    item = the_item(bus)
    pixmaps = item_property(item, "IconPixmap")
    digest = hashlib.sha256()
    for width, height, data in pixmaps:
        digest.update(b"%dx%d:" % (width, height) + bytes(data))
    print(str(item_property(item, "IconName")) or digest.hexdigest()[:16])


def mutter_read(bus, mime):
    desktop = bus.get_object("org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop")
    path = desktop.CreateSession(dbus_interface="org.gnome.Mutter.RemoteDesktop")
    session = dbus.Interface(bus.get_object("org.gnome.Mutter.RemoteDesktop", path),
                             "org.gnome.Mutter.RemoteDesktop.Session")
    try:
        session.Start()
        session.EnableClipboard({})
        try:
            fd = session.SelectionRead(mime).take()
        except dbus.DBusException as error:
            sys.exit("Mutter gives no selection: %s" % error.get_dbus_message())
        # Mutter hands over a pipe that does not wait for its data.
        os.set_blocking(fd, True)
        with os.fdopen(fd, "rb") as source:
            while chunk := source.read(1 << 20):
                sys.stdout.buffer.write(chunk)
    finally:
        session.Stop()


def main():
    command, arguments = sys.argv[1], sys.argv[2:]
    if command == "watcher":
        return serve_watcher(arguments[0] if arguments else None)
    bus = dbus.SessionBus()
    if command == "item":
        print(the_item(bus).bus_name)
    elif command in ("menu", "labels"):
        menu = the_menu(bus)
        print_menu(menu, menu_layout(menu), raw=command == "labels")
    elif command == "click":
        click(bus, arguments)
    elif command == "icon":
        print_icon(bus)
    elif command in ("activate", "secondary"):
        method = "Activate" if command == "activate" else "SecondaryActivate"
        the_item(bus).get_dbus_method(method, ITEM)(dbus.Int32(8), dbus.Int32(8))
    elif command == "mutter-read":
        mutter_read(bus, arguments[0])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    try:
        main()
    except dbus.DBusException as error:
        sys.exit("%s: %s" % (error.get_dbus_name(), error.get_dbus_message()))
