#!/usr/bin/python3
"""A calculator as a person uses it, on a desktop of its own.

    desktop_test.py PROGRAM VANTERO DESKTOP_ENTRY WORK_FOLDER

Run by tools/desktop_test.sh, which gives it an X server, a window manager, a
D-Bus session and the accessibility bus. Starts the real program, presses
real keys and clicks with xdotool, reads the windows through the
accessibility tree (pyatspi) and looks at the screen. The figures it expects
come from the command line program VANTERO, which runs the same calculation and
writes the same design report.
"""

import os
import re
import subprocess
import sys
import time

import pyatspi

PROGRAM, VANTERO, ENTRY, WORK = map(os.path.abspath, sys.argv[1:5])
# The program starts in a folder of projects, which the file dialog shows.
PROJECTS = os.path.join(WORK, "projetos")
NAME = os.path.basename(PROGRAM)
SHOTS = os.environ.get("VANTERO_DESKTOP_SHOTS")
# The caption of the application's error box: the program's file name, first
# letter unchanged and the rest in lower case.
BOX_TITLE = NAME[:1] + NAME[1:].lower()
POWER = "Balanço de Potência(Km)"
RISE_TIME = "Balanço de Tempo de Subida (Km)"
BIT_RATE = "Taxa de transmissão de dados (Mbits/s)"
REPORT_ENTRY = "Relatório de projeto (PDF)..."
BAD_NUMBER = "1,5"
BAD_NUMBER_MESSAGE = f'"{BAD_NUMBER}" não é um número válido.'

failures = []


class Failed(Exception):
    pass


def check(condition, what):
    print(("ok: " if condition else "FAIL: ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


def wait_for(probe, what, timeout=10.0):
    """The first true value of probe(), tried until `timeout` seconds pass."""
    end = time.monotonic() + timeout
    while True:
        try:
            value = probe()
        except Exception:  # an object that went away while it was read
            value = None
        if value:
            return value
        if time.monotonic() > end:
            raise Failed(f"timed out waiting for {what}")
        time.sleep(0.05)


# The keyboard, the mouse and the screen.

def xdo(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True,
                          text=True).stdout


def key(*keys):
    xdo("key", "--delay", 60, *keys)


def type_text(text):
    xdo("type", "--delay", 40, text)


def click(accessible):
    x, y, w, h = extents(accessible)
    xdo("mousemove", x + w // 2, y + h // 2, "click", 1)


def window_id(title):
    """The X window of the program with exactly this title, if it is shown."""
    pattern = "".join("\\" + c if c in "\\^$.|?*+()[]{}" else c for c in title)
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{pattern}$"],
                           capture_output=True, text=True).stdout.split()
    return int(found[0]) if found else None


def geometry(window):
    """x, y, width, height of a window's own area, on the screen."""
    info = subprocess.run(["xwininfo", "-id", str(window)], check=True, capture_output=True,
                          text=True).stdout
    fields = {}
    for line in info.splitlines():
        name, _, value = line.strip().partition(":")
        fields[name] = value.strip()
    return (int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
            int(fields["Width"]), int(fields["Height"]))


def framed(window):
    """x, y, width, height of a window with the frame the window manager
    draws around it."""
    out = subprocess.run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"], check=True,
                         capture_output=True, text=True).stdout
    left, right, top, bottom = (int(n) for n in out.split("=", 1)[1].split(","))
    x, y, w, h = geometry(window)
    return x - left, y - top, w + left + right, h + top + bottom


def stacking():
    """The program's windows from the bottom of the stack to the top."""
    out = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"], check=True,
                         capture_output=True, text=True).stdout
    return [int(w, 16) for w in out.split("#", 1)[1].replace(",", " ").split()]


def pixels(area):
    x, y, w, h = area
    return subprocess.run(["import", "-silent", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}",
                           "+repage", "rgb:-"], check=True, capture_output=True).stdout


def screenshot(name, areas):
    """A picture of the part of the screen that holds `areas`, for the README."""
    if not SHOTS:
        return
    left = min(a[0] for a in areas)
    top = min(a[1] for a in areas)
    right = max(a[0] + a[2] for a in areas)
    bottom = max(a[1] + a[3] for a in areas)
    os.makedirs(SHOTS, exist_ok=True)
    path = os.path.join(SHOTS, name)
    subprocess.run(["import", "-silent", "-window", "root", "-crop",
                    f"{right - left}x{bottom - top}+{left}+{top}", "+repage", path], check=True)
    print(f"wrote {path}")


def intersect(a, b):
    return (a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and
            a[1] < b[1] + b[3] and b[1] < a[1] + a[3])


# The accessibility tree.

def has(accessible, state):
    return accessible.getState().contains(state)


def showing(accessible):
    return has(accessible, pyatspi.STATE_SHOWING)


def extents(accessible):
    box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def text(accessible):
    return accessible.queryText().getText(0, -1)


def every(root, role, name=None, only_showing=True):
    def wanted(a):
        return (a is not None and a.getRole() == role and (name is None or a.name == name)
                and (not only_showing or showing(a)))
    return pyatspi.findAllDescendants(root, wanted)


def one(root, role, name=None):
    found = every(root, role, name)
    if not found:
        raise Failed(f"no {pyatspi.Role(role)} \"{name}\" shown")
    return found[0]


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == f"vantero-{NAME}":
            return app
    return None


def windows(app, role, name=None):
    return [w for w in app if w is not None and w.getRole() == role and showing(w)
            and (name is None or w.name == name)]


def focused(root):
    return pyatspi.findDescendant(root, lambda a: a is not None and
                                  has(a, pyatspi.STATE_FOCUSED))


def field_texts(root, leave_out=()):
    """What the window shows: every field's text and every label's and
    button's caption, in the order of the tree."""
    shown = []
    for a in every(root, pyatspi.ROLE_TEXT, only_showing=False):
        if a.name not in leave_out:
            shown.append(f"field {a.name}: {text(a)}")
    for role in (pyatspi.ROLE_LABEL, pyatspi.ROLE_PUSH_BUTTON):
        shown += [f"{pyatspi.Role(role)} {a.name}" for a in every(root, role, only_showing=False)]
    return shown


def expected_results():
    """The results the command line gives for the initial figures, by name."""
    out = subprocess.run([VANTERO, NAME], check=True, capture_output=True, text=True).stdout
    return dict(line.split("\t", 1) for line in out.splitlines())


def error_box(app):
    """The program's error box, once it is up."""
    boxes = windows(app, pyatspi.ROLE_ALERT, BOX_TITLE) + windows(app, pyatspi.ROLE_DIALOG,
                                                                  BOX_TITLE)
    return boxes[0] if boxes else None


def box_message(box):
    return " ".join(a.name for a in every(box, pyatspi.ROLE_LABEL) if a.name)


# What a person does.

def enter_right_after_start(frame):
    """The focus starts in the first field of the page shown; Enter runs OK."""
    start = wait_for(lambda: focused(frame), "the keyboard focus")
    # The page shown comes first in the window, before the results.
    first = every(frame, pyatspi.ROLE_TEXT)[0]
    check(start == first, f"the focus starts in the first field of the page shown: "
          f"\"{start.name}\" ({pyatspi.Role(start.getRole())})")
    key("Return")
    power = one(frame, pyatspi.ROLE_TEXT, POWER)
    wait_for(lambda: text(power).strip(), "the results of OK")
    expected = expected_results()
    check_results(frame, expected, "Enter right after start computes the initial figures")
    return start.name, expected


def check_results(frame, expected, what):
    shown = {
        "powerDistance": text(one(frame, pyatspi.ROLE_TEXT, POWER)),
        "maximumDistance": text(one(frame, pyatspi.ROLE_TEXT, expected["distanceCaption"])),
        "verdict": expected["verdict"] if every(frame, pyatspi.ROLE_LABEL,
                                                expected["verdict"]) else None,
    }
    if "riseTimeDistance" in expected:
        shown["riseTimeDistance"] = text(one(frame, pyatspi.ROLE_TEXT, RISE_TIME))
    wanted = {name: expected[name] for name in shown}
    check(shown == wanted, f"{what}: {shown}" + ("" if shown == wanted else f" != {wanted}"))


def open_lists(frame, expected):
    """Enter and Esc in an open list; Enter in a closed list runs OK."""
    lists = every(frame, pyatspi.ROLE_COMBO_BOX)
    if not lists:
        print("ok: no drop-down list in this window")
        return
    chosen = lists[0]
    for _ in range(10):
        now = focused(frame)
        if now is not None and (now == chosen or pyatspi.findAncestor(now, lambda a: a == chosen)):
            break
        key("Tab")
        time.sleep(0.1)
    else:
        raise Failed(f"Tab never reached the list \"{chosen.name}\"")
    check(chosen.name != text(chosen[1]), f"the list is named by its group: \"{chosen.name}\"")
    items = [item.name for item in chosen[0]]
    power = one(frame, pyatspi.ROLE_TEXT, POWER)
    before = field_texts(frame)

    key("alt+Down")
    wait_for(lambda: has(chosen, pyatspi.STATE_EXPANDED), "the list to open")
    key("Down", "Return")
    wait_for(lambda: not has(chosen, pyatspi.STATE_EXPANDED), "the list to close")
    picked = text(chosen[1])
    after = field_texts(frame)
    check(picked == items[1], f"Enter in the open list picks the highlighted item \"{picked}\"")
    check(after != before and text(power) == expected["powerDistance"],
          "the pick runs the list's change event and not OK "
          f"({[k for k in after if k not in before]} now)")

    key("alt+Down")
    wait_for(lambda: has(chosen, pyatspi.STATE_EXPANDED), "the list to open again")
    key("Down", "Escape")
    wait_for(lambda: not has(chosen, pyatspi.STATE_EXPANDED), "Esc to close the list")
    check(text(chosen[1]) == picked and field_texts(frame) == after,
          "Esc closes the open list and changes nothing")

    key("Return")
    wait_for(lambda: text(power) != expected["powerDistance"], "OK from the closed list")
    check(True, f"Enter in the closed list runs OK: {POWER} {text(power)}")

    key("alt+Down")
    wait_for(lambda: has(chosen, pyatspi.STATE_EXPANDED), "the list to open once more")
    key("Up", "Return")
    wait_for(lambda: not has(chosen, pyatspi.STATE_EXPANDED), "the list to close")
    key("Return")
    wait_for(lambda: text(power) == expected["powerDistance"], "OK on the first item again")


def retype(field, typed):
    click(field)
    wait_for(lambda: has(field, pyatspi.STATE_FOCUSED), f"the focus in \"{field.name}\"")
    key("ctrl+a")
    type_text(typed)
    wait_for(lambda: text(field) == typed, f"\"{typed}\" in \"{field.name}\"")


def bad_number(app, frame, first_field):
    """A text that is not a number changes no result; its box, alone."""
    field = one(frame, pyatspi.ROLE_TEXT, first_field)
    typed_before = text(field)
    retype(field, BAD_NUMBER)
    before = field_texts(frame, leave_out=(first_field,))
    key("Return")
    box = wait_for(lambda: error_box(app), "the error box")
    check(box_message(box) == BAD_NUMBER_MESSAGE, f"the error box says: {box_message(box)}")
    after = field_texts(frame, leave_out=(first_field,))
    check(after == before, "a bad number leaves every result as it was" +
          ("" if after == before else f": {[k for k in after if k not in before]} now"))
    alone = pixels(geometry(wait_for(lambda: window_id(BOX_TITLE), "the box's window")))
    key("Return")
    wait_for(lambda: not error_box(app), "the box to go")
    wait_for(lambda: has(field, pyatspi.STATE_FOCUSED), "the focus back in the bad field")
    check(True, f"the field \"{first_field}\" has the focus again")
    retype(field, typed_before)
    return alone


def box_above_the_dialog(app, frame, alone):
    """A message box comes up above the always-on-top fibre dialog."""
    click(one(frame, pyatspi.ROLE_PAGE_TAB, "Fibra"))
    fibre_button = wait_for(lambda: one(frame, pyatspi.ROLE_PUSH_BUTTON, "..."), "\"...\"")
    if not has(fibre_button, pyatspi.STATE_ENABLED):
        click(one(frame, pyatspi.ROLE_RADIO_BUTTON, "Fibra Multimodo"))
        wait_for(lambda: has(fibre_button, pyatspi.STATE_ENABLED), "\"...\" enabled")
    click(fibre_button)
    dialog = wait_for(lambda: windows(app, pyatspi.ROLE_DIALOG, "Fibra Multimodo"),
                      "the multimode fibre dialog")[0]
    bandwidth = one(dialog, pyatspi.ROLE_TEXT)
    retype(bandwidth, BAD_NUMBER)
    before = field_texts(frame)
    click(one(frame, pyatspi.ROLE_PUSH_BUTTON, "OK"))
    box = wait_for(lambda: error_box(app), "the error box over the dialog")
    check(box_message(box) == BAD_NUMBER_MESSAGE, f"the box over the dialog says: "
          f"{box_message(box)}")

    dialog_window = wait_for(lambda: window_id("Fibra Multimodo"), "the dialog's window")
    box_window = wait_for(lambda: window_id(BOX_TITLE), "the box's window")
    main_window = wait_for(lambda: window_id(frame.name), "the main window")
    order = stacking()
    check(order.index(box_window) > order.index(dialog_window) > order.index(main_window),
          "the stack from the top: the box, the dialog, the main window")
    box_area, dialog_area = geometry(box_window), geometry(dialog_window)
    check(intersect(box_area, dialog_area), f"the box {box_area} and the dialog {dialog_area} "
          "overlap on the screen")
    check(pixels(box_area) == alone, "on the screen the box looks as it does alone: nothing "
          "covers it")
    screenshot(f"{NAME}-caixa-sobre-dialogo.png",
               [framed(main_window), framed(dialog_window), framed(box_window)])
    after = field_texts(frame)
    check(after == before, "a bad number in the dialog leaves every result as it was")

    key("Return")
    wait_for(lambda: not error_box(app), "the box to go")
    wait_for(lambda: has(bandwidth, pyatspi.STATE_FOCUSED), "the focus in the dialog's field")
    key("Escape")
    wait_for(lambda: not windows(app, pyatspi.ROLE_DIALOG, "Fibra Multimodo"),
             "Esc to put the dialog away")
    check(text(bandwidth) == "100", "Esc in the dialog brings back its value 100")
    click(one(frame, pyatspi.ROLE_RADIO_BUTTON, "Fibra Monomodo"))


def esc_does_nothing(app, frame, first_field):
    click(one(frame, pyatspi.ROLE_PAGE_TAB, "Sistema"))
    field = wait_for(lambda: every(frame, pyatspi.ROLE_TEXT), "a field on \"Sistema\"")[0]
    click(field)
    before = field_texts(frame)
    key("Escape")
    time.sleep(0.3)
    check(showing(frame) and field_texts(frame) == before and not error_box(app),
          "Esc in the main window does nothing")


def menu_entry(frame, name):
    """Opens the menu "Arquivo" with the keyboard and picks `name` in it."""
    key("alt+a")
    item = wait_for(lambda: every(frame, pyatspi.ROLE_MENU_ITEM, name),
                    f"\"{name}\" in the menu \"Arquivo\"")[0]
    for _ in range(10):
        if has(item, pyatspi.STATE_SELECTED) or has(item, pyatspi.STATE_FOCUSED):
            break
        key("Down")
        time.sleep(0.1)
    else:
        raise Failed(f"the keyboard never reached \"{name}\"")
    key("Return")


def save_dialog(app):
    return wait_for(lambda: [d for d in windows(app, pyatspi.ROLE_DIALOG)
                             if d.name != "Fibra Multimodo"], "the save dialog")[0]


def pdf_text(pdf):
    """The text of a PDF file, its dates left out."""
    out = subprocess.run(["pdftotext", pdf, "-"], check=True, capture_output=True,
                         text=True).stdout
    return re.sub(r"\d\d/\d\d/\d{4}", "(data)", out)


def design_report(app, frame):
    """"Relatório de projeto (PDF)..." after a changed bit rate: the same report
    as the command line's for the same figures, but for its date."""
    click(one(frame, pyatspi.ROLE_PAGE_TAB, "Sistema"))
    retype(wait_for(lambda: every(frame, pyatspi.ROLE_TEXT, BIT_RATE), "the bit rate's field")[0],
           "20")
    menu_entry(frame, REPORT_ENTRY)
    dialog = save_dialog(app)
    name = wait_for(lambda: focused(dialog) if focused(dialog) is not None and
                    focused(dialog).getRole() == pyatspi.ROLE_TEXT else None,
                    "the file name's field")
    check(text(name) == f"{NAME}.pdf", f"the report's dialog \"{dialog.name}\" proposes "
          f"\"{text(name)}\"")
    report = os.path.join(WORK, "relatorio")
    key("ctrl+a")
    type_text(report)
    key("Return")
    wait_for(lambda: not [d for d in windows(app, pyatspi.ROLE_DIALOG) if d.name == dialog.name],
             "the report's dialog to close")
    written = wait_for(lambda: os.path.exists(report + ".pdf") and report + ".pdf",
                       "the report, \".pdf\" added to its name")
    expected = os.path.join(WORK, "vantero.pdf")
    subprocess.run([VANTERO, NAME, "--set", "bitRate=20", "--report", expected], check=True,
                   capture_output=True)
    shown, wanted = pdf_text(written), pdf_text(expected)
    check(shown == wanted and "Taxa de transmissão de dados (Mbits/s) 20" in " ".join(
        shown.split()), f"the report is the command line's for bitRate=20 "
          f"({len(shown.splitlines())} lines of text)")
    check(not error_box(app), "no box after the report")


def save_as(app, frame):
    """"Salvar Como..." in a file dialog in Portuguese; the window's new name."""
    menu_entry(frame, "Salvar Como...")
    dialog = save_dialog(app)
    labels = [a.name for a in every(dialog, pyatspi.ROLE_LABEL)]
    check(dialog.name == "Salvar como" and "Procurar em:" in labels
          and "&Nome do arquivo:".replace("&", "") in labels,
          f"the save dialog speaks Portuguese: \"{dialog.name}\", {labels}")
    screenshot(f"{NAME}-salvar-como.png", [framed(window_id(dialog.name))])
    project = os.path.join(PROJECTS, "projeto")
    wait_for(lambda: focused(dialog) is not None and
             focused(dialog).getRole() == pyatspi.ROLE_TEXT, "the file name's field")
    type_text(project)
    key("Return")
    wait_for(lambda: not [d for d in windows(app, pyatspi.ROLE_DIALOG)
                          if d.name == "Salvar como"], "the save dialog to close")
    saved = [f for f in os.listdir(PROJECTS) if f.startswith("projeto.")]
    check(len(saved) == 1, f"the project file is saved: {saved}")
    title = f"VANTERO [ {os.path.join(PROJECTS, saved[0])} ]" if saved else None
    named = wait_for(lambda: frame.name == title, f"the window's name to become {title}",
                     timeout=3) if title else False
    check(named, f"after \"Salvar Como...\" the window is named \"{frame.name}\"")


def desktop_identity(frame):
    window = wait_for(lambda: window_id(frame.name), "the main window")
    out = subprocess.run(["xprop", "-id", str(window), "WM_CLASS",
                          "_NET_WM_ICON"], check=True, capture_output=True, text=True).stdout
    wm_class = out.splitlines()[0].split("=", 1)[1].replace('"', "").replace(" ", "").split(",")
    with open(ENTRY, encoding="utf-8") as entry:
        startup = [line.split("=", 1)[1].strip() for line in entry
                   if line.startswith("StartupWMClass=")]
    check(wm_class == [NAME, f"vantero-{NAME}"] and startup == [wm_class[1]],
          f"the window class {wm_class} is the entry's StartupWMClass {startup}")
    check("Icon (" in out, "the window shows an icon")


def abort(process, frame):
    names = [b.name for b in every(frame, pyatspi.ROLE_PUSH_BUTTON)]
    check("Sair" in names and "Cancelar" not in names,
          "the abort button is named \"Sair\" after the first OK")
    key("alt+s")
    try:
        status = process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        status = None
    check(status == 0, f"\"&Sair\" ends the program (status {status})")


def main():
    os.makedirs(PROJECTS)
    subprocess.run([VANTERO, NAME, "--save", os.path.join(PROJECTS, "exemplo")], check=True,
                   capture_output=True)
    log = open(os.path.join(WORK, f"{NAME}.log"), "w")
    process = subprocess.Popen([PROGRAM], cwd=PROJECTS, stdout=log, stderr=subprocess.STDOUT)
    try:
        app = wait_for(application, f"{NAME} on the accessibility bus", timeout=20)
        frame = wait_for(lambda: windows(app, pyatspi.ROLE_FRAME), "the main window")[0]
        wait_for(lambda: has(frame, pyatspi.STATE_ACTIVE), "the main window to be active")
        first_field, expected = enter_right_after_start(frame)
        open_lists(frame, expected)
        alone = bad_number(app, frame, first_field)
        box_above_the_dialog(app, frame, alone)
        esc_does_nothing(app, frame, first_field)
        design_report(app, frame)
        save_as(app, frame)
        desktop_identity(frame)
        abort(process, frame)
    except (Failed, subprocess.CalledProcessError) as failure:
        check(False, str(failure))
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
    if failures:
        log.close()
        with open(os.path.join(WORK, f"{NAME}.log")) as output:
            sys.stdout.write(output.read())
    print(f"{NAME}: {len(failures)} failed" if failures else f"{NAME}: all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
