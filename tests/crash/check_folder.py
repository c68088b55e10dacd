#!/usr/bin/python3
"""What a kill of crash_saver left in its folder, read with parsers of our own.

    check_folder.py <folder> <notes> <state.json> <driver log> [<driver's pid>]
    check_folder.py --summary <state.json>

The driver's log says how far it got: still starting, changing the notes and settings for
generation G ("saving G"), running the save commands ("writing G"), or done ("saved G"). Every
file must then hold one whole generation: the one it held before G while G is only being
changed, that one or G while G is written, exactly G once it is saved. The state file carries
each file's generation from one check to the next, and the figures for the summary. The
formulas are crash_saver.cpp's; change them together.
"""

import json
import os
import re
import sys
import xml.etree.ElementTree as ElementTree


def note_text(note, generation):
    unit = "note %d generation %d " % (note, generation)
    repeats = 1 + (note * 7 + generation * 131) % 300
    parts = []
    for i in range(repeats):
        parts.append(unit)
        if i % 8 == 7 and i + 1 < repeats:
            parts.append("\r\n")
    return "".join(parts).encode("ascii")


def note_place(note, generation):
    return ((note * 37 + generation * 53) % 480, (note * 23 + generation * 29) % 300,
            128 + (note * 5 + generation * 11) % 64, 128 + (note * 3 + generation * 17) % 64)


class Fault(Exception):
    pass


def require(condition, message):
    if not condition:
        raise Fault(message)


def read_log(path):
    """The phase the driver was in when it died, and the first generation it started."""
    phase, generation, first = "start-up", None, None
    with open(path, encoding="ascii", errors="replace") as log:
        for line in log:
            words = line.split()
            if words[:1] == ["FAILED"]:
                raise Fault("the driver reported: " + line.strip())
            if len(words) == 2 and words[0] in ("saving", "writing", "saved"):
                phase, generation = words[0], int(words[1])
                if first is None:
                    first = generation
    return phase, generation, first


def allowed(before, phase, generation, first):
    """The generations a file may hold: `before` is the one it held when the run started."""
    if phase == "start-up":
        return {before}
    if phase == "saved":
        return {generation}
    old = before if generation == first else generation - 1
    return {old} if phase == "saving" else {old, generation}


def check_notes(folder, count, expected):
    generations = {}
    for note in range(1, count + 1):
        name = "vornnote%04d.txt" % note
        with open(os.path.join(folder, "vornnotes", name), "rb") as file:
            text = file.read()
        match = re.match(rb"note (\d+) generation (\d+) ", text)
        require(match is not None and int(match.group(1)) == note,
                "%s does not begin with its note's text (%d bytes: %r)" % (name, len(text),
                                                                           text[:60]))
        generation = int(match.group(2))
        require(text == note_text(note, generation),
                "%s is no whole text of generation %d (%d bytes, %d expected; ends %r)" %
                (name, generation, len(text), len(note_text(note, generation)), text[-40:]))
        require(generation in expected(note),
                "%s holds generation %d, expected one of %s" %
                (name, generation, sorted(expected(note))))
        generations[note] = generation
    return generations


NOTE_ATTRIBUTES = ["id", "left", "top", "width", "height", "minimized", "systemnote", "chat",
                   "readonly", "ontop", "color", "fontsize", "fontcolor", "fontname"]


def check_index(path, count, expected):
    with open(path, "rb") as file:
        data = file.read()
    require(data.startswith(b'<?xml version="1.0" encoding="ISO-8859-1" standalone="yes" ?>\r\n'),
            "vornnotes.xml does not start with its declaration")
    require(data.endswith(b"</vorn>\r\n"), "vornnotes.xml does not end with </vorn> CR LF")
    require(b"\n" not in data.replace(b"\r\n", b""), "vornnotes.xml has a line break not CR LF")
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as error:
        raise Fault("vornnotes.xml is not well-formed: %s" % error)
    require(root.tag == "vorn" and not root.attrib, "vornnotes.xml: the root is not <vorn>")
    require((root.text or "").strip() == "", "vornnotes.xml: text inside <vorn>")
    places = {}
    for element in root:
        require(element.tag == "note", "vornnotes.xml: element <%s>" % element.tag)
        require(list(element.attrib) == NOTE_ATTRIBUTES,
                "vornnotes.xml: a note's attributes are %s" % list(element.attrib))
        require(len(element) == 0 and (element.tail or "").strip() == "",
                "vornnotes.xml: content in or after a note")
        values = element.attrib
        try:
            numbers = {name: int(values[name])
                       for name in NOTE_ATTRIBUTES[:5] + NOTE_ATTRIBUTES[10:13]}
        except ValueError:
            raise Fault("vornnotes.xml: a number attribute is no number: %s" % values)
        for name in NOTE_ATTRIBUTES[5:10]:
            require(values[name] == "0", "vornnotes.xml: %s=%r" % (name, values[name]))
        require(0 <= numbers["color"] <= 0xFFFFFF and numbers["fontsize"] > 0
                and values["fontname"] != "", "vornnotes.xml: a note's look is off: %s" % values)
        require(numbers["id"] not in places, "vornnotes.xml: note %d twice" % numbers["id"])
        places[numbers["id"]] = tuple(numbers[name] for name in ("left", "top", "width", "height"))
    require(sorted(places) == list(range(1, count + 1)),
            "vornnotes.xml holds the notes %s, not 1..%d" % (sorted(places), count))
    # Written whole: every record of one and the same generation.
    candidates = [g for g in expected if all(places[n] == note_place(n, g) for n in places)]
    require(len(candidates) == 1,
            "vornnotes.xml: the note places are of no one generation of %s" % sorted(expected))
    return candidates[0]


def check_ini(path, expected):
    with open(path, "rb") as file:
        data = file.read()
    require(data.endswith(b"\r\n"), "vorn.ini does not end with CR LF")
    lines = data[:-2].split(b"\r\n")
    require(all(b"\r" not in line and b"\n" not in line for line in lines),
            "vorn.ini has a line break not CR LF")
    sections, section = {}, None
    for line in lines:
        text = line.decode("latin-1")
        if text.startswith("["):
            require(re.fullmatch(r"\[\w+\]", text) and text[1:-1] not in sections,
                    "vorn.ini: section line %r" % text)
            section = sections.setdefault(text[1:-1], {})
            continue
        key, equals, value = text.partition("=")
        require(section is not None and equals and re.fullmatch(r"\w+", key)
                and key not in section, "vorn.ini: line %r" % text)
        section[key] = value
    require(list(sections) == ["Booleans", "Integers", "Strings"],
            "vorn.ini has the sections %s" % list(sections))
    title = re.fullmatch(r"g(\d+) \$id\$", sections["Strings"].get("sNotesTitle", ""))
    require(title is not None, "vorn.ini: sNotesTitle=%r" % sections["Strings"].get("sNotesTitle"))
    generation = int(title.group(1))
    require(generation in expected,
            "vorn.ini holds generation %d, expected one of %s" % (generation, sorted(expected)))
    require(sections["Booleans"].get("bSnapGrid") == ("1" if generation % 2 == 0 else "0")
            and sections["Integers"].get("iGridX") == str(1 + generation % 50),
            "vorn.ini: the settings of generation %d do not go together" % generation)
    return generation


def leftovers(folder, count, pid):
    """The temporary files of interrupted writes: those of the killed driver and those of
    earlier runs. Fails on any other file the program does not own."""
    owned = {"vorn.ini", "vornnotes.xml", "addrbook.txt", "vornnotes"}
    notes = {"vornnote%04d.txt" % note for note in range(1, count + 1)}
    last, earlier = 0, 0
    for folder_path, expected in ((folder, owned), (os.path.join(folder, "vornnotes"), notes)):
        for name in os.listdir(folder_path):
            if name in expected:
                continue
            match = re.fullmatch(r"(.+)\.tmp(\d+)-\d+", name)
            require(match is not None and match.group(1) in expected,
                    "unexpected file %s" % os.path.join(folder_path, name))
            if match.group(2) == pid:
                last += 1
            else:
                earlier += 1
    return last, earlier


def check(folder, count, state_path, log_path, pid):
    state = {"notes": None, "index": None, "ini": None, "kills": 0, "start-up": 0, "saving": 0,
             "writing": 0, "saved": 0, "mixed": 0, "index_behind": 0, "files": 0,
             "last_temporaries": 0, "earlier_temporaries": 0}
    if os.path.exists(state_path):
        with open(state_path) as file:
            state = json.load(file)
    phase, generation, first = read_log(log_path)
    fresh = state["notes"] is None
    require(not fresh or phase == "saved" and generation == 1,
            "the first run did not end with generation 1 saved")
    before = state["notes"] or {}

    notes = check_notes(folder, count,
                        lambda note: allowed(before.get(str(note)), phase, generation, first))
    index = check_index(os.path.join(folder, "vornnotes.xml"), count,
                        allowed(state["index"], phase, generation, first))
    ini = check_ini(os.path.join(folder, "vorn.ini"),
                    allowed(state["ini"], phase, generation, first))
    # The saves run texts, index, settings, index: no file is ahead of one written before it.
    require(ini <= index <= min(notes.values()),
            "saved out of order: settings %d, index %d, oldest text %d" %
            (ini, index, min(notes.values())))
    with open(os.path.join(folder, "addrbook.txt"), "rb") as file:
        require(file.read() == b"", "addrbook.txt is not the empty book of the first start")
    state["last_temporaries"], state["earlier_temporaries"] = leftovers(folder, count, pid)
    # Start-up removes what killed runs left; a kill during start-up may come before that.
    require(phase == "start-up" or state["earlier_temporaries"] == 0,
            "%d temporary files of earlier runs survived a start-up" % state["earlier_temporaries"])

    state.update(notes={str(note): g for note, g in notes.items()}, index=index, ini=ini)
    state["files"] += count + 3
    if not fresh:
        state["kills"] += 1
        state[phase] += 1
        state["mixed"] += len(set(notes.values())) > 1
        state["index_behind"] += index < min(notes.values())
    with open(state_path, "w") as file:
        json.dump(state, file)


def summary(state_path):
    with open(state_path) as file:
        state = json.load(file)
    print("runs killed: %d: while starting %d, while changing the notes %d, while the save"
          " commands ran %d, between generations %d" %
          (state["kills"], state["start-up"], state["saving"], state["writing"], state["saved"]))
    print("kills that left note files of two generations: %d; new texts with the old index: %d"
          % (state["mixed"], state["index_behind"]))
    print("files checked: %d; generations saved: %d" % (state["files"], state["index"]))
    print("temporary files of interrupted writes in the folder: %d of the last kill, %d of"
          " earlier runs left by a kill during start-up" %
          (state["last_temporaries"], state["earlier_temporaries"]))


def main():
    if sys.argv[1:2] == ["--summary"] and len(sys.argv) == 3:
        summary(sys.argv[2])
        return 0
    if len(sys.argv) not in (5, 6):
        print(__doc__, file=sys.stderr)
        return 64
    try:
        pid = sys.argv[5] if len(sys.argv) == 6 else None
        check(sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], pid)
    except (Fault, OSError) as error:
        print("CHECK FAILED: %s" % error)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
