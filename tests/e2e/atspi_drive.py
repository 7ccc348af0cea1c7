"""Drives Pagequill through the accessibility tree (AT-SPI), as a screen reader would.

Run inside dbus-run-session with Debian's python3-pyatspi:
    dbus-run-session -- /usr/bin/python3 atspi_drive.py PAGEQUILL_BINARY
Pagequill's environment (DISPLAY, TEMP, PAGEQUILL_HOME, ...) is inherited. Prints one line per
check and exits 0 when every check passed.
"""
import os
import re
import subprocess
import sys
import time

import pyatspi

failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)


def wait(condition, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        try:
            value = condition()
        except Exception:  # the tree changes under us while the program works
            value = None
        if value:
            return value
        time.sleep(0.2)
    return None


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == name:
            return app
    return None


def find(root, role, name):
    return pyatspi.findDescendant(
        root, lambda a: a is not None and a.getRole() == role and a.name == name)


def states(acc):
    return acc.getState()


def sensitive(acc):
    return states(acc).contains(pyatspi.STATE_SENSITIVE)


def press(acc):
    action = acc.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("press", "click", "activate"):
            return action.doAction(i)
    return action.doAction(0)


def main():
    program = subprocess.Popen([sys.argv[1]])
    # A loaded machine can take a while to start the program and its accessibility bridge.
    app = wait(lambda: application("pagequill"), 60)
    check(app is not None, "pagequill is in the accessibility tree")
    if app is None:
        print("     the program's status: %r" % program.poll(), flush=True)
        program.kill()
        return 1
    # The main window after the splash: its Edit tab enabled once the home page is ready.
    edit = wait(lambda: (lambda t: t if t is not None and sensitive(t) else None)(
        find(app, pyatspi.ROLE_PAGE_TAB, "Edit")), 40)
    check(edit is not None, "page tab Edit, enabled once the home page is ready")
    browse = find(app, pyatspi.ROLE_PAGE_TAB, "Browse")
    check(browse is not None and states(browse).contains(pyatspi.STATE_SELECTED),
          "page tab Browse, selected")

    labels = ["Back", "Forward", "Home", "Refresh", "Go", "Cut", "Copy", "Paste", "Bold",
              "Italic", "Underline", "Undo", "Redo", "Preview", "Publish"]
    buttons = {name: find(app, pyatspi.ROLE_PUSH_BUTTON, name) for name in labels}
    for name in labels:
        check(buttons[name] is not None, "push button " + name)
    for name in ["Close", "Minimise", "Maximise", "Restore", "Help"]:
        if name in ("Maximise", "Restore"):
            continue
        check(find(app, pyatspi.ROLE_PUSH_BUTTON, name) is not None, "window image " + name)
    check(find(app, pyatspi.ROLE_PUSH_BUTTON, "Maximise") is not None
          or find(app, pyatspi.ROLE_PUSH_BUTTON, "Restore") is not None,
          "window image Maximise or Restore")
    # The title picture is heard as the program's name, never as a control's name.
    check(find(app, pyatspi.ROLE_IMAGE, "Pagequill") is not None, "title picture named Pagequill")
    check(find(app, pyatspi.ROLE_IMAGE, "Image1") is None, "no picture named Image1")
    # GTK 3 gives its one-line text entries the role "text" with the single-line state.
    address = find(app, pyatspi.ROLE_ENTRY, "Address") or find(app, pyatspi.ROLE_TEXT, "Address")
    check(address is not None and states(address).contains(pyatspi.STATE_EDITABLE)
          and states(address).contains(pyatspi.STATE_SINGLE_LINE), "text entry Address")
    if any(buttons[n] is None for n in labels) or address is None or edit is None:
        program.kill()
        return 1
    check(not sensitive(buttons["Back"]), "Back insensitive before any other page")
    check(sensitive(buttons["Go"]), "Go sensitive")

    # Follow a link of the page, then go back and forward with the buttons.
    home = os.environ["PAGEQUILL_HOME"]
    about = home.rsplit("/", 1)[0] + "/about.htm"
    link = wait(lambda: find(app, pyatspi.ROLE_LINK, "About us"))
    check(link is not None, "the page's link About us")
    if link is not None:
        press(link)
    check(wait(lambda: address.queryText().getText(0, -1) == about) is not None,
          "the link's page is shown in the address box")
    check(wait(lambda: sensitive(buttons["Back"])) is not None, "Back becomes sensitive")
    edit = wait(lambda: (lambda t: t if sensitive(t) else None)(find(app, pyatspi.ROLE_PAGE_TAB, "Edit")))
    press(buttons["Back"])
    check(wait(lambda: address.queryText().getText(0, -1) == home) is not None, "Back returns home")
    check(wait(lambda: sensitive(buttons["Forward"])) is not None, "Forward becomes sensitive")
    edit = wait(lambda: (lambda t: t if sensitive(t) else None)(find(app, pyatspi.ROLE_PAGE_TAB, "Edit")))
    press(buttons["Forward"])
    check(wait(lambda: address.queryText().getText(0, -1) == about) is not None, "Forward goes on again")
    edit = wait(lambda: (lambda t: t if sensitive(t) else None)(find(app, pyatspi.ROLE_PAGE_TAB, "Edit")))

    # The Edit tab: the layout notice is a dialog with its caption and an OK button.
    press(edit)
    notice = wait(lambda: find(app, pyatspi.ROLE_DIALOG, "Layout may differ")
                  or find(app, pyatspi.ROLE_ALERT, "Layout may differ"))
    check(notice is not None, "dialog Layout may differ")
    if notice is not None:
        ok = find(notice, pyatspi.ROLE_PUSH_BUTTON, "OK")
        check(ok is not None, "its button OK")
        if ok is not None:
            press(ok)
    check(wait(lambda: states(find(app, pyatspi.ROLE_PAGE_TAB, "Edit")).contains(pyatspi.STATE_SELECTED))
          is not None, "pressing Edit selects the Edit tab")
    check(wait(lambda: states(buttons["Publish"]).contains(pyatspi.STATE_SHOWING)) is not None,
          "Publish is showing on the Edit tab")
    check(not states(buttons["Back"]).contains(pyatspi.STATE_SHOWING), "Back is hidden on the Edit tab")
    check(wait(lambda: find(app, pyatspi.ROLE_LABEL, "Changes to this page can be published"))
          is not None, "the edit status bar's sentence is a label")
    press(find(app, pyatspi.ROLE_PAGE_TAB, "Browse"))
    check(wait(lambda: states(find(app, pyatspi.ROLE_PAGE_TAB, "Browse")).contains(pyatspi.STATE_SELECTED))
          is not None, "pressing Browse returns")

    # Help opens the user guide in a window of its own.
    press(find(app, pyatspi.ROLE_PUSH_BUTTON, "Help"))
    check(wait(lambda: find(app, pyatspi.ROLE_FRAME, "Pagequill Help")) is not None,
          "Help opens the window Pagequill Help")

    # Every control the user guide names (written <b class="control">) is there by that name,
    # so that the guide and the program cannot drift apart unnoticed.
    guide = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "help",
                         "website", "using.htm")
    with open(guide, encoding="utf-8") as f:
        named = sorted(set(re.findall(r'<b class="control">([^<]+)</b>', f.read())))
    check(len(named) > 0, "the user guide names its controls")
    for name in named:
        check(pyatspi.findDescendant(app, lambda a: a is not None and a.name == name) is not None,
              "the guide's control " + name)

    # Close ends the program.
    press(find(app, pyatspi.ROLE_PUSH_BUTTON, "Close"))
    try:
        code = program.wait(20)
    except subprocess.TimeoutExpired:
        program.kill()
        code = None
    check(code == 0, "Close ends the program with status 0 (got %r)" % code)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
