#!/usr/bin/env bash
# A whole user session with the built program on a desktop with a system tray (Xvfb, openbox,
# trayer), in a fresh VORN_HOME, driven through xdotool as a person would: the welcome note, new
# notes from F4 and from the tray icon, typing and Ctrl+S, rolling up, dragging with edge and note
# snapping, resizing, the note and tray menus, the control panel, find, delete and undelete, exit,
# and a second start that brings every note back as it was left. Each step checks the files on
# disk and the windows' geometry. Screenshots go to $VORN_SHOTS (a new folder by default).
#
#   user_session.sh <vorn program>
set -euo pipefail
vorn=$1
source "$(dirname "$0")/desktop.sh"
start_desktop 340 399 trayer xwininfo import

shots=${VORN_SHOTS:-}
[ -n "$shots" ] || shots=$(mktemp -d /tmp/vorn-shots.XXXXXX)
mkdir -p "$shots"
rm -f "$shots"/[0-9][0-9]-*.png "$shots/failure.png" # a folder kept from an earlier run
echo "screenshots in $shots"

home="$work/home"
notes="$home/vornnotes"
index="$home/vornnotes.xml"
log="$work/vorn.log"
started=$SECONDS
mkdir -p "$home"
# Notes snap to each other as well as to the screen edges; the panel, when shown, stays clear of
# the notes. No identity yet, so the first start is a first start.
printf '[Booleans]\r\nbSnapNotes=1\r\n[Integers]\r\niLastX=860\r\niLastY=40\r\n' >"$home/vorn.ini"

vornpid=
start_vorn() {
    VORN_HOME="$home" XDG_CONFIG_HOME="$work/config" USERNAME=tester "$vorn" >>"$log" 2>&1 &
    vornpid=$!
    pids+=("$vornpid")
}

# ---- reporting ---------------------------------------------------------------------------------

step_name=
step() {
    step_name="step $1: $2"
}
ok() {
    echo "$step_name ... ok${1:+ ($1)}"
}
# The program's windows, the notes folder and the index, for a failure report.
show_state() {
    local w
    echo "--- the program's visible windows (id, left, top, width, height, name):"
    for w in $(program_windows); do
        echo "$w $(geometry "$w") $(xdotool getwindowname "$w" 2>/dev/null || true)"
    done
    echo "--- $notes:"
    ls -l "$notes" 2>/dev/null || true
    echo "--- vornnotes.xml:"
    cat "$home/vornnotes.xml" 2>/dev/null || true
    echo "--- the window manager: $(xprop -root _NET_SUPPORTING_WM_CHECK 2>&1)"
    cat "$work/openbox.log" 2>/dev/null || true
    echo "--- the program's log:"
    cat "$log" 2>/dev/null || true
}
# Also from inside $(...): all of it goes to stderr, and the exit status ends the script.
fail() {
    {
        echo "$step_name ... FAILED: $*"
        screenshot "$shots/failure.png"
        show_state
    } >&2
    exit 1
}
# Errors the sanitizers found end the session; leaks in system libraries at exit do not.
check_log() {
    if grep -E 'ERROR: AddressSanitizer|runtime error:' "$log" >/dev/null; then
        fail "the sanitizers reported an error"
    fi
}

# ---- windows -----------------------------------------------------------------------------------

program_windows() {
    xdotool search --onlyvisible --pid "$vornpid" 2>/dev/null || true
}
is_override() {
    xwininfo -id "$1" 2>/dev/null | grep 'Override Redirect State: yes' >/dev/null
}
# Notes are the program's managed windows of the utility type; dialogs and the panel are not.
note_windows() {
    local w
    for w in $(program_windows); do
        is_override "$w" && continue
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep UTILITY >/dev/null && echo "$w"
    done
    return 0
}
# The program's dialogs (message boxes, questions, find, file dialogs).
dialog_windows() {
    local w
    for w in $(program_windows); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep DIALOG >/dev/null && echo "$w"
    done
    return 0
}
# A popup menu: an override-redirect window of the program wider than a tray icon (a menu of one
# entry is not much higher than one).
popup_window() {
    local w width
    for w in $(program_windows); do
        is_override "$w" || continue
        read -r _ _ width _ <<<"$(geometry "$w")"
        [ "${width:-0}" -gt 64 ] && { echo "$w"; return 0; }
    done
    return 0
}
has_popup() { [ -n "$(popup_window)" ]; }
no_popup() { [ -z "$(popup_window)" ]; }
# Waits for a window to have "<left> <top> <width> <height>"; fails the step with what it has.
expect_geometry() {
    local w=$1 want=$2 what=$3
    poll 10 eval '[ "$(geometry "$w")" = "$want" ]' ||
        fail "$what: expected $want, found '$(geometry "$w")'"
}
# Activates a window (which raises it) and waits until the window manager says it is active.
activate() {
    local w=$1
    for _ in 1 2 3; do
        timeout 5 xdotool windowactivate --sync "$w" >/dev/null 2>&1 || true
        poll 3 eval '[ "$(xdotool getactivewindow 2>/dev/null)" = "$w" ]' && { sleep 0.2; return 0; }
    done
    fail "window $w could not be activated"
}
# A new note window: one not among the given ones, of the given size.
new_note_window() {
    local size=$1 w g
    shift
    for w in $(note_windows); do
        case " $* " in *" $w "*) continue ;; esac
        g=$(geometry "$w")
        [ "${g#* * }" = "$size" ] && { echo "$w"; return 0; }
    done
    return 0
}
# Two clicks on one spot closer in time than the double-click interval make a double click; this
# waits that out, so that the next click is one of its own.
settle() {
    sleep 0.7
}

# Drags a note by the point <offset> px right of its title bar's left end until its left top
# would be at <left>, <top>.
drag_title() {
    local w=$1 offset=$2 left=$3 top=$4 x y
    activate "$w"
    read -r x y _ <<<"$(geometry "$w")"
    xdotool mousemove $((x + offset)) $((y + 8)) mousedown 1 \
        mousemove $((x + offset + 20)) $((y + 18)) sleep 0.1 \
        mousemove $(((x + left) / 2 + offset)) $(((y + top) / 2 + 8)) sleep 0.1 \
        mousemove $((left + offset + 1)) $((top + 9)) sleep 0.1 \
        mousemove $((left + offset)) $((top + 8)) sleep 0.2 mouseup 1
    settle
}
# Double click on a note's title bar, <offset> px right of its left end.
double_click_title() {
    local w=$1 offset=$2 x y
    activate "$w"
    read -r x y _ <<<"$(geometry "$w")"
    xdotool mousemove $((x + offset)) $((y + 8)) click --repeat 2 --delay 80 1
    settle
}
# Gives the body of a note the keyboard focus with a click into it.
click_body() {
    local w=$1 x y
    activate "$w"
    read -r x y _ <<<"$(geometry "$w")"
    xdotool mousemove $((x + 60)) $((y + 60)) click 1
    sleep 0.3
}
# Ctrl held while the key goes down and up: the program acts on the key's release.
ctrl_key() {
    xdotool keydown ctrl key "$1" keyup ctrl
}

# Opens a popup menu with a command, tried again while none shows (a busy machine may drop or
# delay the first); prints the popup's window.
open_popup() {
    local popup=
    for _ in 1 2 3; do
        "$@"
        if poll 4 has_popup; then
            sleep 0.3 # the menu takes the keyboard as it shows
            popup_window
            return 0
        fi
        xdotool key Escape
        settle
    done
    fail "no popup menu opened with: $*"
}
note_menu() { # the note menu by a click in the menu box of the title bar
    local x y
    activate "$1"
    read -r x y _ <<<"$(geometry "$1")"
    xdotool mousemove $((x + 8)) $((y + 8)) click 1
}
tray_menu() { # a right click on the docked tray icon
    # shellcheck disable=SC2086
    xdotool mousemove $icon click 3
}
# Opens one of the panel's main menus by its Alt key. A click on the current tab first makes sure
# the panel has the keyboard; a key that misses the menu finds no text field there.
panel_menu() {
    local panel x y
    panel=$(panel_window)
    activate "$panel"
    read -r x y _ <<<"$(geometry "$panel")"
    xdotool mousemove $((x + 30)) $((y + 30)) click 1
    sleep 0.3
    xdotool key "alt+$1"
}

# ---- the panel and the files --------------------------------------------------------------------

panel_window() {
    xdotool search --onlyvisible --name '^Vorn v2.04b$' 2>/dev/null | head -1 || true
}
panel_shown() { case "$(panel_state)" in IsViewable*) return 0 ;; esac; return 1; }
panel_hidden() { ! panel_shown; }
# A click on the hide button, at the right end of the panel's bottom bar.
hide_panel() {
    local panel x y
    panel=$(panel_window)
    activate "$panel"
    read -r x y _ <<<"$(geometry "$panel")"
    xdotool mousemove $((x + 350)) $((y + 280)) click 1
    poll 10 panel_hidden || fail "the hide button left the panel $(panel_state)"
}

# The attribute <name> of note <id> in an index file.
attr() {
    grep -a -o "<note id=\"$1\" [^>]*" "$3" | grep -o " $2=\"[^\"]*\"" | cut -d'"' -f2
}
# The values of these attributes in note <id>'s record in the index, one blank between them.
record() {
    local id=$1 name values=()
    shift
    for name in "$@"; do values+=("$(attr "$id" "$name" "$index")"); done
    echo "${values[*]}"
}
# Note <id>'s record has these values: <id> <attributes> <values>, each list as one word.
expect_record() {
    local found
    # shellcheck disable=SC2086
    found=$(record "$1" $2)
    [ "$found" = "$3" ] || fail "note $1's record has $2 = $found, expected $3"
}
# The file's bytes are exactly these (printf format).
has_bytes() {
    [ -f "$1" ] && cmp -s "$1" <(printf "$2")
}
# The file begins with these bytes (printf format).
starts_with() {
    local want
    want=$(printf "$2"; echo .)
    want=${want%.}
    [ -f "$1" ] && [ "$(head -c ${#want} "$1")" = "$want" ]
}
show_bytes() {
    if [ -f "$1" ]; then od -c "$1" | head -20; else echo "($1 does not exist)"; fi
}
inode() {
    stat -c %i "$1" 2>/dev/null || true
}

# ---- 1 -----------------------------------------------------------------------------------------
step 1 "first start and the welcome note"
start_tray
start_vorn
icon=
docked() {
    icon=$(tray_icon)
    # grep reads to the end: an early exit would fail the pipe under pipefail
    [ -n "$icon" ] && xwininfo -root -tree | grep -i '"vorn"' >/dev/null
}
poll 30 docked || fail "no tray icon was docked"
poll 20 eval '[ -n "$(new_note_window "400 200")" ]' || fail "no 400 x 200 welcome note appeared"
declare -A win
win[1]=$(new_note_window "400 200")
expect_geometry "${win[1]}" "440 300 400 200" "the welcome note is not centred"
[ "$(note_windows | wc -l)" = 1 ] || fail "more than the welcome note at the first start"
panel_hidden || fail "with a tray the panel is hidden at start, found: $(panel_state)"
starts_with "$notes/vornnote0001.txt" 'Welcome to Vorn v2.04b\r\n\r\n[F2] opens Control Panel ' ||
    { show_bytes "$notes/vornnote0001.txt"; fail "vornnote0001.txt does not hold the welcome text"; }
grep -a -c $'\r$' "$notes/vornnote0001.txt" | grep -x 10 >/dev/null ||
    fail "the welcome text does not have its 11 lines with CR LF"
welcome=$(cat "$notes/vornnote0001.txt")
screenshot "$shots/01-welcome.png"
ok "icon at $icon"

# ---- 2 -----------------------------------------------------------------------------------------
step 2 "F4 in a note and a double click on the tray icon create notes"
click_body "${win[1]}"
xdotool key F4
poll 10 eval '[ -n "$(new_note_window "128 128" "${win[1]}")" ]' ||
    fail "F4 in the welcome note made no new 128 x 128 note window"
win[2]=$(new_note_window "128 128" "${win[1]}")
poll 5 test -f "$notes/vornnote0002.txt" || fail "F4 made no vornnote0002.txt"
[ -s "$notes/vornnote0002.txt" ] && fail "the new note's file is not empty"
# shellcheck disable=SC2086
xdotool mousemove $icon click --repeat 2 --delay 100 1
poll 10 eval '[ -n "$(new_note_window "128 128" "${win[1]}" "${win[2]}")" ]' ||
    fail "the tray icon's double click made no new note window"
win[3]=$(new_note_window "128 128" "${win[1]}" "${win[2]}")
poll 5 test -f "$notes/vornnote0003.txt" || fail "the double click made no vornnote0003.txt"
[ "$(note_windows | wc -l)" = 3 ] || fail "expected 3 note windows"
[ "$(ls "$notes" | wc -l)" = 3 ] || fail "expected 3 note files"
screenshot "$shots/02-new-notes.png"
ok "note 2 at $(geometry "${win[2]}"), note 3 at $(geometry "${win[3]}")"

# ---- 3 -----------------------------------------------------------------------------------------
step 3 "typing into a note and Ctrl+S"
click_body "${win[2]}"
xdotool type --delay 30 "Shopping list"
xdotool key Return
xdotool type --delay 30 "pears and plums"
ctrl_key s
poll 10 has_bytes "$notes/vornnote0002.txt" 'Shopping list\r\npears and plums' ||
    { show_bytes "$notes/vornnote0002.txt"; fail "Ctrl+S did not save the typed text"; }
screenshot "$shots/03-typed.png"
ok

# ---- 4 -----------------------------------------------------------------------------------------
step 4 "roll-up by a double click on the title bar, and back"
double_click_title "${win[1]}" 200
expect_geometry "${win[1]}" "440 300 17 17" "rolled up, the welcome note"
screenshot "$shots/04-rolled-up.png"
double_click_title "${win[1]}" 8
expect_geometry "${win[1]}" "440 300 400 200" "rolled down again, the welcome note"
ok

# ---- 5 -----------------------------------------------------------------------------------------
step 5 "drag with edge and note snapping, resize with the grip"
# The new notes came at random places, and a note snaps to any note edge near its own: first
# they go where no edge lies near the places used below.
for attempt in 1 2 3; do
    drag_title "${win[3]}" 60 1000 560
    drag_title "${win[2]}" 60 660 600
    [ "$(geometry "${win[3]}")" = "1000 560 128 128" ] &&
        [ "$(geometry "${win[2]}")" = "660 600 128 128" ] && break
    [ "$attempt" = 3 ] && fail "notes 2 and 3 did not stay at 660,600 and 1000,560"
done
# 5 px from the left edge rests on it
drag_title "${win[1]}" 200 5 104
expect_geometry "${win[1]}" "0 104 400 200" "dropped 5 px from the left edge, the welcome note"
# 3 px right and 3 px below the welcome note's right end: against it, tops aligned. A note's
# neighbour starts on its last column.
drag_title "${win[2]}" 60 402 107
expect_geometry "${win[2]}" "399 104 128 128" "dropped beside the welcome note, note 2"
# The grip to 180 x 198: the bottom snaps to the welcome note's bottom.
activate "${win[2]}"
xdotool mousemove $((399 + 128 - 6)) $((104 + 128 - 6)) mousedown 1 \
    mousemove $((399 + 150)) $((104 + 150)) sleep 0.1 \
    mousemove $((399 + 180 - 6)) $((104 + 198 - 6)) sleep 0.2 mouseup 1
expect_geometry "${win[2]}" "399 104 180 200" "resized with the grip to 180 x 198, note 2"
screenshot "$shots/05-snapped.png"
ok

# ---- 6 -----------------------------------------------------------------------------------------
step 6 "the note menu from the menu box"
popup=$(open_popup note_menu "${win[1]}")
read -r x y _ <<<"$(geometry "$popup")"
[ "$x $y" = "8 112" ] || fail "the note menu is at $x,$y, not at the menu box (8,112)"
screenshot "$shots/06-note-menu.png"
xdotool key Escape
poll 5 no_popup || fail "Escape did not close the note menu"
settle
# read-only for the welcome note, by the menu's accelerator
open_popup note_menu "${win[1]}" >/dev/null
xdotool key r
poll 5 no_popup || fail "the read-only entry did not close the menu"
# A read-only note takes no typing: what Ctrl+S writes is the text as it was.
before=$(inode "$notes/vornnote0001.txt")
click_body "${win[1]}"
xdotool type --delay 30 "XYZ"
ctrl_key s
poll 10 eval '[ "$(inode "$notes/vornnote0001.txt")" != "$before" ]' ||
    fail "Ctrl+S in the read-only note wrote nothing"
[ "$(cat "$notes/vornnote0001.txt")" = "$welcome" ] ||
    { show_bytes "$notes/vornnote0001.txt"; fail "the read-only note took typing"; }
settle
# stay-on-top for note 3: the window manager is told
open_popup note_menu "${win[3]}" >/dev/null
xdotool key t
poll 10 eval 'xprop -id "${win[3]}" _NET_WM_STATE | grep _NET_WM_STATE_ABOVE >/dev/null' ||
    fail "stay-on-top from the menu did not reach the window manager"
ok "menu at 8,112; note 1 read-only, note 3 on top"

# ---- 7 -----------------------------------------------------------------------------------------
step 7 "the tray menu"
popup=$(open_popup tray_menu)
read -r x y w h <<<"$(geometry "$popup")"
read -r icon_x _ <<<"$icon"
[ "$x" -le "$icon_x" ] && [ "$icon_x" -le $((x + w)) ] && [ "$y" -le 40 ] ||
    fail "the tray menu is at $x,$y ${w}x$h, not by the icon at $icon"
screenshot "$shots/07-tray-menu.png"
# "Save now" writes the index with the places, sizes and flags of the last steps.
xdotool key s
saved() {
    [ "$(record 1 left top width height readonly)" = "0 104 400 200 -1" ] &&
        [ "$(record 2 left top width height)" = "399 104 180 200" ] &&
        [ "$(record 3 left top ontop)" = "1000 560 -1" ]
}
poll 10 saved || fail "the tray menu's save did not write the notes' places and flags"
poll 5 no_popup || fail "the tray menu stayed open"
cp "$index" "$work/index-saved.xml"
ok

# ---- 8 -----------------------------------------------------------------------------------------
step 8 "F2 shows the control panel, its hide button hides it"
click_body "${win[2]}"
xdotool key F2
poll 10 panel_shown || fail "F2 in a note did not show the panel"
[ "$(panel_state)" = "IsViewable 860 40" ] || fail "the panel is not at its stored place: $(panel_state)"
screenshot "$shots/08-panel.png"
hide_panel
# hiding saves the settings, the identity of the first start included
poll 5 eval 'tr -d "\r" <"$home/vorn.ini" | grep -x "sIdentity=tester" >/dev/null' ||
    fail "hiding the panel did not save the settings"
ok

# ---- 9 -----------------------------------------------------------------------------------------
step 9 "find across notes"
double_click_title "${win[2]}" 90
expect_geometry "${win[2]}" "399 104 17 17" "rolled up, note 2"
click_body "${win[1]}"
xdotool key F2
poll 10 panel_shown || fail "F2 did not show the panel again"
open_popup panel_menu s >/dev/null
xdotool key f
find_dialog() { xdotool search --onlyvisible --name '^查找$' 2>/dev/null | head -1 || true; }
poll 10 eval '[ -n "$(find_dialog)" ]' || fail "Search > Find did not open the find dialog"
finder=$(find_dialog)
activate "$finder"
# Not case-sensitive unless asked: the rolled-up note holding "plums" comes down.
xdotool type --delay 30 "PLUMS"
xdotool key Return
expect_geometry "${win[2]}" "399 104 180 200" "found by its word, note 2"
screenshot "$shots/09-found.png"
dialogs=$(dialog_windows | wc -l)
activate "$finder"
xdotool key ctrl+a
xdotool type --delay 30 "zebra"
xdotool key Return
poll 10 eval '[ "$(dialog_windows | wc -l)" -gt "$dialogs" ]' ||
    fail "searching a word no note holds showed no message"
screenshot "$shots/09-not-found.png"
message=$(dialog_windows | grep -v -x "$finder" | head -1 || true)
activate "$message"
xdotool key Return
poll 10 eval '[ "$(dialog_windows | wc -l)" = "$dialogs" ]' || fail "the message did not close"
activate "$finder"
xdotool key Escape
poll 10 eval '[ -z "$(find_dialog)" ]' || fail "Escape did not close the find dialog"
ok

# ---- 10 ----------------------------------------------------------------------------------------
step 10 "delete with Ctrl+F4 and undelete"
click_body "${win[3]}"
xdotool type --delay 30 "Call the plumber"
ctrl_key F4
poll 10 eval '[ -n "$(dialog_windows)" ]' || fail "Ctrl+F4 did not ask"
screenshot "$shots/10-delete-question.png"
activate "$(dialog_windows | head -1)"
xdotool key y
poll 10 test -f "$notes/vornnote0003.~txt" || fail "the deleted note's file is not vornnote0003.~txt"
[ -f "$notes/vornnote0003.txt" ] && fail "vornnote0003.txt is still there"
poll 10 eval '[ -z "$(geometry "${win[3]}")" ] || ! xdotool search --onlyvisible --pid "$vornpid" | grep -x "${win[3]}" >/dev/null' ||
    fail "the deleted note's window is still shown"
# deleting saved the text it had not saved yet
has_bytes "$notes/vornnote0003.~txt" 'Call the plumber' ||
    { show_bytes "$notes/vornnote0003.~txt"; fail "the deleted note's typed text was not saved"; }
# File > Undelete: the third entry of the file menu, then the deleted file in the file dialog.
open_popup panel_menu f >/dev/null
xdotool key Down Down Return
opener() { xdotool search --onlyvisible --name '^导入文本文件$' 2>/dev/null | head -1 || true; }
poll 10 eval '[ -n "$(opener)" ]' || fail "File > Undelete did not open a file dialog"
screenshot "$shots/10-undelete-dialog.png"
activate "$(opener)"
xdotool type --delay 20 "vornnote0003.~txt"
xdotool key Return
poll 10 test -f "$notes/vornnote0003.txt" || fail "undelete did not bring vornnote0003.txt back"
[ -f "$notes/vornnote0003.~txt" ] && fail "vornnote0003.~txt is still there"
has_bytes "$notes/vornnote0003.txt" 'Call the plumber' || fail "the undeleted file lost its text"
poll 10 eval '[ -n "$(new_note_window "128 128" "${win[1]}" "${win[2]}")" ]' ||
    fail "undelete showed no window for the note"
win[3]=$(new_note_window "128 128" "${win[1]}" "${win[2]}")
expect_geometry "${win[3]}" "1000 560 128 128" "undeleted, note 3"
xprop -id "${win[3]}" _NET_WM_STATE | grep _NET_WM_STATE_ABOVE >/dev/null ||
    fail "the undeleted note is no longer on top"
screenshot "$shots/10-undeleted.png"
hide_panel
ok

# ---- 11 ----------------------------------------------------------------------------------------
step 11 "exit through the tray menu"
# Note 2 gets a new colour, font colour and font, and text that is not saved before the exit;
# note 3 is rolled up.
click_body "${win[2]}"
xdotool key F10
xdotool key F12
ctrl_key F11
font_dialog() { xdotool search --onlyvisible --name '^字体$' 2>/dev/null | head -1 || true; }
poll 10 eval '[ -n "$(font_dialog)" ]' || fail "Ctrl+F11 did not open the font dialog"
activate "$(font_dialog)"
# the family field has the keyboard; Alt+S goes to the size
xdotool type --delay 30 "DejaVu Serif"
xdotool key alt+s ctrl+a
xdotool type --delay 30 "14"
sleep 0.3
screenshot "$shots/11-font-dialog.png"
xdotool key Return
poll 10 eval '[ -z "$(font_dialog)" ]' || fail "Return did not close the font dialog"
click_body "${win[2]}"
xdotool key ctrl+End
xdotool type --delay 30 " and figs"
double_click_title "${win[3]}" 60
expect_geometry "${win[3]}" "1000 560 17 17" "rolled up, note 3"
declare -A place
for id in 1 2 3; do place[$id]=$(geometry "${win[$id]}"); done
screenshot "$shots/11-before-exit.png"
open_popup tray_menu >/dev/null
xdotool key x
poll 60 eval '! kill -0 "$vornpid" 2>/dev/null' || fail "the program did not end after the tray's exit"
wait "$vornpid" || true
check_log
has_bytes "$notes/vornnote0002.txt" 'Shopping list\r\npears and plums and figs' ||
    { show_bytes "$notes/vornnote0002.txt"; fail "the text typed before the exit was not saved"; }
[ "$(cat "$notes/vornnote0001.txt")" = "$welcome" ] || fail "the welcome note's file changed"
has_bytes "$notes/vornnote0003.txt" 'Call the plumber' || fail "note 3's file changed"
flags="left top width height minimized readonly ontop"
expect_record 1 "$flags" "0 104 400 200 0 -1 0"
expect_record 2 "$flags fontname fontsize" "399 104 180 200 0 0 0 DejaVu Serif 14"
expect_record 3 "$flags" "1000 560 128 128 -1 0 -1"
[ "$(attr 2 color "$index")" != "$(attr 2 color "$work/index-saved.xml")" ] ||
    fail "F10 did not give note 2 a new colour"
[ "$(attr 2 fontcolor "$index")" != "$(attr 2 fontcolor "$work/index-saved.xml")" ] ||
    fail "F12 did not give note 2 a new font colour"
for id in 1 2 3; do cp "$notes/vornnote000$id.txt" "$work/text$id"; done
cp "$index" "$work/index-exit.xml"
ok "ended after $((SECONDS - started)) s of session"

# ---- 12 ----------------------------------------------------------------------------------------
step 12 "a second start restores every note"
start_vorn
poll 30 eval '[ "$(note_windows | wc -l)" -ge 3 ]' || fail "the second start did not show the 3 notes"
sleep 0.5
[ "$(note_windows | wc -l)" = 3 ] || fail "the second start shows more than the 3 notes"
poll 30 docked || fail "no tray icon at the second start"
for id in 1 2 3; do
    want=${place[$id]}
    win[$id]=
    for w in $(note_windows); do
        [ "$(geometry "$w")" = "$want" ] && win[$id]=$w
    done
    [ -n "${win[$id]}" ] || fail "no note window at note $id's place and size $want"
    above=$(xprop -id "${win[$id]}" _NET_WM_STATE | grep -c _NET_WM_STATE_ABOVE || true)
    [ "$above" = "$([ "$id" = 3 ] && echo 1 || echo 0)" ] || fail "note $id's stay-on-top state was not restored"
done
[ ! -e "$notes/vornnote0004.txt" ] || fail "the second start made another welcome note"
screenshot "$shots/12-restored.png"
# Each window holds its file's text: Ctrl+S writes the same bytes again.
for id in 1 2 3; do
    before=$(inode "$notes/vornnote000$id.txt")
    activate "${win[$id]}"
    [ "$id" = 3 ] || click_body "${win[$id]}" # note 3 is rolled up: the window takes the keys
    ctrl_key s
    poll 10 eval '[ "$(inode "$notes/vornnote000$id.txt")" != "$before" ]' ||
        fail "Ctrl+S in note $id wrote nothing"
    cmp -s "$work/text$id" "$notes/vornnote000$id.txt" ||
        { show_bytes "$notes/vornnote000$id.txt"; fail "note $id's window does not hold the text it had"; }
done
# Ending again writes the index from the windows: colour, font, flags, place and size are those
# they came back with.
open_popup tray_menu >/dev/null
xdotool key x
poll 60 eval '! kill -0 "$vornpid" 2>/dev/null' || fail "the program did not end after the tray's exit"
wait "$vornpid" || true
check_log
diff "$work/index-exit.xml" "$index" ||
    fail "the notes' records differ from the first session's"
ok "whole session $((SECONDS - started)) s"
