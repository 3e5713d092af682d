#!/usr/bin/python3
"""An independent CalDAV client for the end-to-end tests (python3-caldav).

The server comes from CALDAV_URL, CALDAV_USER and CALDAV_PASSWORD.
  mkcal <id> <name>           creates the calendar <id> of the user; prints its address
  list <calendar>             prints each event as "YYYY-MM-DD<TAB>summary<TAB>uid", sorted
  add <calendar> <date> <summary> <uid>
                              adds an all-day event (date as YYYY-MM-DD)
  berlin <calendar> <summary> <uid>
                              adds a one-off event at 10:00 on 22 August 2001 in Europe/Berlin,
                              with the zone's summer-time rules, a place, categories and an
                              alarm, as a phone in Europe writes it
  props <calendar> <uid>      prints the event's SUMMARY, DTSTART's TZID and time, LOCATION,
                              CATEGORIES and number of alarms, one "NAME=value" a line
  remake <id> <name>          deletes the calendar <id> and makes it again; prints its address
  rename <calendar> <uid> <summary>
                              changes the summary of the event <uid>
"""
import datetime
import os
import sys
import uuid

import caldav
import icalendar


def client():
    return caldav.DAVClient(os.environ["CALDAV_URL"], username=os.environ["CALDAV_USER"],
                            password=os.environ["CALDAV_PASSWORD"])


def calendar(address):
    return caldav.Calendar(client=client(), url=address)


def events(cal):
    rows = []
    for item in cal.objects(load_objects=True) if hasattr(cal, "objects") else cal.events():
        for ev in icalendar.Calendar.from_ical(item.data).walk("VEVENT"):
            start = ev.decoded("DTSTART")
            if isinstance(start, datetime.datetime):
                start = start.date()
            rows.append((start.isoformat(), str(ev.get("SUMMARY", "")), str(ev.get("UID"))))
    return sorted(rows)


def main(argv):
    cmd = argv[1]
    if cmd == "mkcal":
        cal = client().principal().make_calendar(name=argv[3], cal_id=argv[2])
        print(cal.url)
    elif cmd == "list":
        for row in events(calendar(argv[2])):
            print("\t".join(row))
    elif cmd == "add":
        day = datetime.date.fromisoformat(argv[3])
        text = "\r\n".join([
            "BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//e2e//caldav_client//EN",
            "BEGIN:VEVENT", "UID:" + argv[5],
            "DTSTAMP:20010101T000000Z",
            "DTSTART;VALUE=DATE:" + day.strftime("%Y%m%d"),
            "DTEND;VALUE=DATE:" + (day + datetime.timedelta(days=1)).strftime("%Y%m%d"),
            "SUMMARY:" + argv[4], "END:VEVENT", "END:VCALENDAR", ""])
        calendar(argv[2]).save_event(text)
    elif cmd == "berlin":
        text = "\r\n".join([
            "BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//e2e//caldav_client//EN",
            "BEGIN:VTIMEZONE", "TZID:Europe/Berlin",
            "BEGIN:DAYLIGHT", "TZOFFSETFROM:+0100", "TZOFFSETTO:+0200", "TZNAME:CEST",
            "DTSTART:19700329T020000", "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU", "END:DAYLIGHT",
            "BEGIN:STANDARD", "TZOFFSETFROM:+0200", "TZOFFSETTO:+0100", "TZNAME:CET",
            "DTSTART:19701025T030000", "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU", "END:STANDARD",
            "END:VTIMEZONE",
            "BEGIN:VEVENT", "UID:" + argv[4], "DTSTAMP:20010101T000000Z",
            "DTSTART;TZID=Europe/Berlin:20010822T100000", "DTEND;TZID=Europe/Berlin:20010822T110000",
            "SUMMARY:" + argv[3], "LOCATION:本社", "CATEGORIES:仕事",
            "BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:" + argv[3], "TRIGGER:-PT15M", "END:VALARM",
            "END:VEVENT", "END:VCALENDAR", ""])
        calendar(argv[2]).save_event(text)
    elif cmd == "props":
        cal = icalendar.Calendar.from_ical(calendar(argv[2]).event_by_uid(argv[3]).data)
        for ev in cal.walk("VEVENT"):
            start = ev["DTSTART"]
            print("SUMMARY=" + str(ev.get("SUMMARY", "")))
            print("DTSTART=" + str(start.params.get("TZID", "")) + " " + start.dt.strftime("%Y%m%dT%H%M%S"))
            print("LOCATION=" + str(ev.get("LOCATION", "")))
            print("CATEGORIES=" + ",".join(str(c) for c in ev["CATEGORIES"].cats) if "CATEGORIES" in ev else "CATEGORIES=")
            print("VALARM=%d" % len(ev.walk("VALARM")))
    elif cmd == "remake":
        principal = client().principal()
        principal.calendar(cal_id=argv[2]).delete()
        print(principal.make_calendar(name=argv[3], cal_id=argv[2]).url)
    elif cmd == "rename":
        ev = calendar(argv[2]).event_by_uid(argv[3])
        cal = icalendar.Calendar.from_ical(ev.data)
        for vevent in cal.walk("VEVENT"):
            vevent["SUMMARY"] = icalendar.vText(argv[4])
        ev.data = cal.to_ical().decode()
        ev.save()
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
