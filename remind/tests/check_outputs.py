#!/usr/bin/env python3
"""Reads the calendar and the task XML that dvx_remind_emit writes, with a
real iCalendar parser and a real XML parser. Usage: check_outputs.py EMIT DIR"""
import datetime
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

import icalendar

emit, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)


def emitted(kind):
    path = os.path.join(work, kind + ".out")
    subprocess.run([emit, kind, path], check=True)
    with open(path, "rb") as f:
        return f.read()


def check_calendar(data):
    check(data.endswith(b"\r\n"), "calendar ends with CR LF")
    lines = data[:-2].split(b"\r\n")
    for n, line in enumerate(lines):
        check(b"\n" not in line and b"\r" not in line, "bare line break in line %d" % n)
        check(len(line) <= 75, "line %d is %d octets" % (n, len(line)))
        try:
            line.decode("utf-8")  # a fold inside a character would fail here
        except UnicodeDecodeError:
            check(False, "line %d splits a UTF-8 sequence" % n)
    check(any(l.startswith(b" ") for l in lines), "some line is folded")
    check(max(len(l) for l in lines) == 75, "folds use the whole 75 octets")
    # Lenient parsers read unescaped separators too; stricter calendars
    # split a value at them, so the escapes are checked as written.
    unfolded = data.replace(b"\r\n ", b"").decode("utf-8").split("\r\n")
    check("SUMMARY:域名到期: a\\,b\\;c\\\\d.com" in unfolded, "escaped summary as written")
    cal = icalendar.Calendar.from_ical(data)
    check(str(cal["VERSION"]) == "2.0", "VERSION")
    events = [c for c in cal.walk("VEVENT")]
    want = {
        "example.com": datetime.date(2027, 3, 4),
        "中文域名很长很长的名字中文域名很长很长的名字中文域名很长很长的名字.中国": datetime.date(2027, 12, 31),
        "a,b;c\\d.com": datetime.date(2026, 2, 28),
        "x.com": datetime.date(2028, 2, 29),
    }
    got = {}
    uids = {}
    for ev in events:
        summary = str(ev["SUMMARY"])
        check(summary.startswith("域名到期: "), "summary " + summary)
        domain = summary[len("域名到期: "):]
        start = ev.decoded("DTSTART")
        end = ev.decoded("DTEND")
        check(type(start) is datetime.date, "all-day start for " + domain)
        check(end - start == datetime.timedelta(days=1), "one day for " + domain)
        got[domain] = start
        uids[domain] = str(ev["UID"])
        triggers = sorted(a.decoded("TRIGGER") for a in ev.walk("VALARM"))
        check(triggers == [datetime.timedelta(days=-30), datetime.timedelta(days=-7)],
              "alarms of %s: %r" % (domain, triggers))
        for a in ev.walk("VALARM"):
            check(str(a["ACTION"]) == "DISPLAY" and str(a["DESCRIPTION"]) == summary, "alarm text")
        check("DTSTAMP" in ev, "DTSTAMP")
    check(got == want, "events %r" % got)
    check(len(set(uids.values())) == len(uids), "UIDs unique")
    reg = [str(ev.get("DESCRIPTION")) for ev in events if str(ev["SUMMARY"]).endswith("a,b;c\\d.com")]
    check(reg == ["注册商: semi;colon\\back,comma"], "escaped registrar %r" % reg)
    reg = [str(ev.get("DESCRIPTION")) for ev in events if str(ev["SUMMARY"]).endswith("x.com")]
    check(reg == ["注册商: " + "r" * 200], "long registrar unfolded %r" % reg)
    return uids


first = check_calendar(emitted("calendar"))
again = check_calendar(emitted("calendar-again"))
check(first == again, "UIDs stable across exports")

ns = {"t": "http://schemas.microsoft.com/windows/2004/02/mit/task"}
raw = emitted("task")
check(raw.startswith(b"\xff\xfe"), "UTF-16 byte-order mark")
task = ET.fromstring(raw)
check(task.get("version") == "1.2", "schema 1.2")


def text(path):
    node = task.find(path, ns)
    return None if node is None else node.text


exe = 'C:\\Program Files\\A&B <x> "q"\\程序\\domivex.exe'
expect = {
    "t:Triggers/t:CalendarTrigger/t:ScheduleByDay/t:DaysInterval": "1",
    "t:Triggers/t:LogonTrigger/t:UserId": "PC\\用户",
    "t:Triggers/t:LogonTrigger/t:Delay": "PT2M",
    "t:Settings/t:StartWhenAvailable": "true",
    "t:Settings/t:ExecutionTimeLimit": "PT1H",
    "t:Settings/t:DisallowStartIfOnBatteries": "false",
    "t:Settings/t:StopIfGoingOnBatteries": "false",
    "t:Principals/t:Principal/t:LogonType": "InteractiveToken",
    "t:Principals/t:Principal/t:RunLevel": "LeastPrivilege",
    "t:Actions/t:Exec/t:Command": exe,
    "t:Actions/t:Exec/t:Arguments": "--check",
    "t:Actions/t:Exec/t:WorkingDirectory": exe[: exe.rindex("\\")],
}
for path, value in expect.items():
    check(text(path) == value, "%s is %r" % (path, text(path)))
start = text("t:Triggers/t:CalendarTrigger/t:StartBoundary") or ""
check(start.endswith("T09:00:00"), "daily at 09:00: " + start)
check(task.find("t:Actions", ns).get("Context") == task.find("t:Principals/t:Principal", ns).get("id"),
      "the action runs as the principal")

for f in failures:
    print("FAIL:", f)
print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
