#!/usr/bin/env bash
# iCalendar files through the real menu and file dialogs: a file as Google Calendar writes it
# (a weekly series with one day moved and one cancelled, a timed event with a place) is in the
# data file at once and on the calendar; the export, read with an independent parser
# (python3-icalendar), holds the same notes, timed ones at their instants, and the almanac of the
# year asked for. Screenshots go to $SORVEL_SHOTS when it is set.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}
install_copy "$bin"
printf '[SorvelSetting]\r\nVersion=1.2\r\nTop=50\r\nLeft=50\r\n' >"$prog/sorvel.ini"
printf '<+Sorvel>\0<-Sorvel>\0' >"$prog/Sorvel.dat"
"$write_state" "$prog/SorvelSt.dat" 2001 8
/usr/bin/python3 -c "import icalendar" || fail "python3-icalendar is missing; scripts/install-deps.sh installs it"
shot() { [[ -n "${SORVEL_SHOTS:-}" ]] && { mkdir -p "$SORVEL_SHOTS"; import -window root "$SORVEL_SHOTS/$1.png"; }; return 0; }
# The weekly meeting on Mondays from 6 August: 13 August moved to Thursday 16th 15:00, 27 August
# cancelled.
printf '%s\r\n' 'BEGIN:VCALENDAR' 'PRODID:-//Example Corp//Calendar 70.9054//EN' 'VERSION:2.0' \
  'CALSCALE:GREGORIAN' 'METHOD:PUBLISH' 'X-WR-CALNAME:仕事' 'X-WR-TIMEZONE:Asia/Tokyo' \
  'BEGIN:VTIMEZONE' 'TZID:Asia/Tokyo' 'X-LIC-LOCATION:Asia/Tokyo' 'BEGIN:STANDARD' 'TZOFFSETFROM:+0900' \
  'TZOFFSETTO:+0900' 'TZNAME:JST' 'DTSTART:19700101T000000' 'END:STANDARD' 'END:VTIMEZONE' \
  'BEGIN:VEVENT' 'DTSTART;VALUE=DATE:20010810' 'DTEND;VALUE=DATE:20010811' 'DTSTAMP:20010801T000000Z' \
  'UID:e1@example.com' 'DESCRIPTION:' 'LOCATION:' 'SEQUENCE:0' 'STATUS:CONFIRMED' 'SUMMARY:花火大会' 'TRANSP:TRANSPARENT' 'END:VEVENT' \
  'BEGIN:VEVENT' 'DTSTART:20010820T010000Z' 'DTEND:20010820T020000Z' 'DTSTAMP:20010801T000000Z' 'UID:e2@example.com' \
  'DESCRIPTION:' 'LOCATION:駅前歯科' 'SEQUENCE:0' 'STATUS:CONFIRMED' 'SUMMARY:Dentist' 'TRANSP:OPAQUE' 'END:VEVENT' \
  'BEGIN:VEVENT' 'DTSTART;TZID=Asia/Tokyo:20010806T093000' 'DTEND;TZID=Asia/Tokyo:20010806T103000' \
  'RRULE:FREQ=WEEKLY;WKST=SU;COUNT=4;BYDAY=MO' 'DTSTAMP:20010801T000000Z' 'UID:w1@example.com' \
  'DESCRIPTION:' 'LOCATION:' 'SEQUENCE:0' 'STATUS:CONFIRMED' 'SUMMARY:定例' 'TRANSP:OPAQUE' 'END:VEVENT' \
  'BEGIN:VEVENT' 'DTSTART;TZID=Asia/Tokyo:20010816T150000' 'DTEND;TZID=Asia/Tokyo:20010816T160000' \
  'DTSTAMP:20010801T000000Z' 'UID:w1@example.com' 'RECURRENCE-ID;TZID=Asia/Tokyo:20010813T093000' \
  'DESCRIPTION:' 'LOCATION:' 'SEQUENCE:1' 'STATUS:CONFIRMED' 'SUMMARY:定例' 'TRANSP:OPAQUE' 'END:VEVENT' \
  'BEGIN:VEVENT' 'DTSTART;TZID=Asia/Tokyo:20010827T093000' 'DTEND;TZID=Asia/Tokyo:20010827T103000' \
  'DTSTAMP:20010801T000000Z' 'UID:w1@example.com' 'RECURRENCE-ID;TZID=Asia/Tokyo:20010827T093000' \
  'SEQUENCE:1' 'STATUS:CANCELLED' 'SUMMARY:定例' 'TRANSP:OPAQUE' 'END:VEVENT' \
  'BEGIN:VEVENT' 'DTSTART;VALUE=DATE:20010825' 'DTSTAMP:20010801T000000Z' 'UID:e3@example.com' \
  'SUMMARY:旅行\, 準備' 'DESCRIPTION:荷物\nパスポート' 'END:VEVENT' \
  'END:VCALENDAR' >"$E2E_TMP/in.ics"
start_xvfb
TZ=Asia/Tokyo start_sorvel
main=$(wait_window '^Sorvel$' 60) || fail "calendar window not shown"
sleep 0.5

# 予定の読み込みと書き出し(&I) → iCalendarファイルを読み込む(&I)...
press "$main" space; sleep 0.5; xdotool key i; sleep 0.5
shot submenu
xdotool key i
dialog=$(wait_window '^iCalendarファイルを読み込む$' 10) || fail "the open dialog did not open"
sleep 0.5; xdotool windowfocus --sync "$dialog"; sleep 0.3
xdotool type --delay 20 "$E2E_TMP/in.ics"; xdotool key Return
range=$(wait_window '^iCalendarファイルの読み込み$' 10) || fail "the range dialog did not open"
# The series repeats in 2001: its years, from the first field.
press "$range" ctrl+a; xdotool type 2001; xdotool key Tab ctrl+a; xdotool type 2001; xdotool key Return
msg=$(wait_window '^メッセージ$' 10) || fail "no message after the import"
sleep 0.3
shot import_message
press "$msg" Return
sleep 0.5
python3 - "$prog/Sorvel.dat" <<'PY' || fail "the imported notes are not in the data file"
import re, sys
data = open(sys.argv[1], 'rb').read()
notes = []
for block in re.findall(rb'<\+M03>\r\n(.*?)<-M03>', data, re.S):
    f = dict(re.findall(rb'<\+S(\d\d)>\r\n<\+DA>(.*?)<-DA><-S\1>', block, re.S))
    notes.append((int(f[b'01']), int(f[b'02']), int(f[b'03']), f[b'05'].decode('cp932'), f[b'04'].decode('cp932')))
# The series on 6 and 20 August, its moved day on the 16th, nothing on the 13th or the cancelled
# 27th; on the 20th the 09:30 meeting above the 10:00 dentist.
want = [(2001, 8, 6, '09:30 定例', ''), (2001, 8, 10, '花火大会', ''), (2001, 8, 16, '15:00 定例', ''),
        (2001, 8, 20, '09:30 定例', ''), (2001, 8, 20, '10:00 Dentist', '場所：駅前歯科'),
        (2001, 8, 25, '旅行, 準備', '荷物\r\nパスポート')]
if notes != want: sys.exit(f'notes {notes}')
PY
shot calendar_after_import
# The calendar redrew at once: the days with notes (6, 10, 16, 20, 25 August) are in the note
# colour; the days beside them (9, 21), the moved day (13) and the cancelled one (27) are not.
note_cells "$main" 1,2 5,2 4,3 1,4 6,4 '!4,2' '!2,4' '!1,3' '!1,5' || fail "the imported notes are not shown on the calendar"

# → iCalendarファイルに書き出す(&E)..., national holidays of 2001 too.
press "$main" space; sleep 0.5; xdotool key i; sleep 0.3; xdotool key e
choice=$(wait_window '^iCalendarファイルへの書き出し$' 10) || fail "the export dialog did not open"
# The check box has the focus, then the two years; then the almanac's check box and its years.
press "$choice" space Tab ctrl+a; xdotool type 2001; xdotool key Tab ctrl+a; xdotool type 2001
xdotool key Tab space Tab ctrl+a; xdotool type 2001; xdotool key Tab ctrl+a; xdotool type 2001; sleep 0.3
shot export_dialog
xdotool key Return
dialog=$(wait_window '^iCalendarファイルに書き出す$' 10) || fail "the save dialog did not open"
sleep 0.5; xdotool windowfocus --sync "$dialog"; sleep 0.3
xdotool type --delay 20 "$E2E_TMP/out"; xdotool key Return
for _ in $(seq 50); do [[ -s "$E2E_TMP/out.ics" ]] && break; sleep 0.1; done
grep -q "$prog/libsorvel-ical.so" "/proc/$pid/maps" || fail "the export did not go through libsorvel-ical.so"
/usr/bin/python3 - "$E2E_TMP/out.ics" <<'PY' || fail "the exported file does not hold the notes"
import sys, datetime, icalendar
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
notes, national, almanac = [], 0, {}
for ev in cal.walk('VEVENT'):
    if ev.get('X-SORVEL-ALMANAC'):
        day = ev.decoded('DTSTART')
        if day.year != 2001 or ev.decoded('DTEND') != day + datetime.timedelta(days=1):
            sys.exit(f'almanac event on {day}')
        almanac.setdefault(str(ev.get('CATEGORIES').to_ical().decode()), []).append(str(ev.get('SUMMARY')))
        continue
    if ev.get('X-SORVEL-NATIONAL'):
        national += 1
        continue
    start, end = ev.decoded('DTSTART'), ev.decoded('DTEND')
    if isinstance(start, datetime.datetime):
        # Timed notes: an hour in Japan's zone, at their instant.
        if ev['DTSTART'].params.get('TZID') != 'Asia/Tokyo' or end - start != datetime.timedelta(hours=1):
            sys.exit(f'timed event {ev.to_ical()}')
        start = start.astimezone(datetime.timezone.utc).isoformat()
    notes.append((str(start), str(ev.get('SUMMARY')), str(ev.get('DESCRIPTION', '')), str(ev.get('LOCATION', ''))))
want = [('2001-08-06T00:30:00+00:00', '定例', '', ''),
        ('2001-08-10', '花火大会', '', ''),
        ('2001-08-16T06:00:00+00:00', '定例', '', ''),
        ('2001-08-20T00:30:00+00:00', '定例', '', ''),
        ('2001-08-20T01:00:00+00:00', 'Dentist', '場所：駅前歯科', '駅前歯科'),
        ('2001-08-25', '旅行, 準備', '荷物\nパスポート', '')]
if sorted(notes) != want: sys.exit(f'notes {sorted(notes)}')
if [tz['TZID'] for tz in cal.walk('VTIMEZONE')] != ['Asia/Tokyo']: sys.exit('no VTIMEZONE of Asia/Tokyo')
# 2001: 14 holidays, 4 substitute holidays (12 February, 30 April, 24 September, 24 December)
# and one citizens' holiday (4 May).
if national != 19: sys.exit(f'{national} national holidays')
# The almanac of 2001: a 六曜 every day, 24 節気, the first days of 12 or 13 old months with
# 閏4月 among them (it began on 23 May 2001), and the 雑節 that come once or twice a year.
counts = {k: len(v) for k, v in almanac.items()}
if counts.get('六曜') != 365 or counts.get('二十四節気') != 24: sys.exit(f'almanac {counts}')
if counts.get('旧暦') not in (12, 13) or '旧暦 閏4月1日' not in almanac['旧暦']: sys.exit(f'old months {almanac.get("旧暦")}')
z = almanac.get('雑節', [])
want = {'節分': 1, '彼岸入り': 2, '社日': 2, '彼岸明け': 2, '八十八夜': 1, '入梅': 1, '半夏生': 1,
        '二百十日': 1, '二百二十日': 1, '土用入り': 4}
if {k: z.count(k) for k in want} != want or z.count('土用の丑の日') < 4: sys.exit(f'雑節 {z}')
PY
kill "$pid"; wait_exit "$pid" 10 || fail "SIGTERM did not end the program"
echo "ical: ok"
