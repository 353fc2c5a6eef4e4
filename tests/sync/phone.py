#!/usr/bin/python3
"""The phone of the sync tests: a plain CalDAV client (python3-caldav) that makes, changes and deletes
events in one collection as a phone's calendar does.

usage: phone.py COLLECTION_URL USER PASSWORD OP...
  put FILE            save the event of an iCalendar file (new or replacing its UID's event)
  replace UID FILE    replace the data of the event UID, at its own address
  summary UID TEXT    change the summary of the event UID, nothing else
  delete UID          delete the event UID
  dump                print every object as UID, a tab, its data with line breaks as \\n
"""
import sys

import caldav


def main(argv):
    url, user, password, ops = argv[1], argv[2], argv[3], argv[4:]
    client = caldav.DAVClient(url, username=user or None, password=password or None)
    calendar = caldav.Calendar(client=client, url=url)
    i = 0
    while i < len(ops):
        op = ops[i]
        if op == "put":
            with open(ops[i + 1], encoding="utf-8") as f:
                calendar.save_event(f.read())
            i += 2
        elif op == "replace":
            event = calendar.event_by_uid(ops[i + 1])
            with open(ops[i + 2], encoding="utf-8") as f:
                event.data = f.read()
            event.save()
            i += 3
        elif op == "summary":
            event = calendar.event_by_uid(ops[i + 1])
            event.vobject_instance.vevent.summary.value = ops[i + 2]
            event.save()
            i += 3
        elif op == "delete":
            calendar.event_by_uid(ops[i + 1]).delete()
            i += 2
        elif op == "dump":
            for event in calendar.events():
                event.load()
                uid = event.vobject_instance.vevent.uid.value
                print(uid + "\t" + event.data.replace("\r", "").replace("\n", "\\n"))
            i += 1
        else:
            sys.exit("unknown operation " + op)


if __name__ == "__main__":
    main(sys.argv)
