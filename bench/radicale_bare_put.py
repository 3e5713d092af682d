#!/usr/bin/env python3
# Radicale's own cost per upload, with no sync engine: a private Radicale on loopback (storage in
# /dev/shm), one connection, PUT of new events one after another, the time of each 500 printed.
# The sync benchmark's uploads to Radicale compare with this.   python3 bench/radicale_bare_put.py 2000
import http.client, base64, time, sys, subprocess, tempfile, socket, shutil
d = tempfile.mkdtemp(dir="/dev/shm")
open(d+"/users","w").write("u:p\n")
s = socket.socket(); s.bind(("127.0.0.1",0)); port = s.getsockname()[1]; s.close()
open(d+"/config","w").write(f"[server]\nhosts = 127.0.0.1:{port}\n[auth]\ntype = htpasswd\nhtpasswd_filename = {d}/users\nhtpasswd_encryption = plain\n[storage]\nfilesystem_folder = {d}/storage\n[rights]\ntype = owner_only\n[logging]\nlevel = warning\n")
p = subprocess.Popen(["/usr/bin/python3","-m","radicale","--config",d+"/config"])
time.sleep(3)
auth = "Basic " + base64.b64encode(b"u:p").decode()
c = http.client.HTTPConnection("127.0.0.1", port)
c.request("MKCALENDAR", "/u/cal/", headers={"Authorization": auth}); r = c.getresponse(); r.read()
N = int(sys.argv[1]); t0 = time.time(); last = t0
for i in range(N):
    body = f"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//y//EN\r\nBEGIN:VEVENT\r\nUID:u{i}@x\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:2020{1+i%12:02d}{1+i%28:02d}\r\nSUMMARY:note {i}\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"
    c.request("PUT", f"/u/cal/u{i}.ics", body=body.encode(), headers={"Authorization": auth, "Content-Type": "text/calendar", "If-None-Match": "*"})
    r = c.getresponse(); r.read()
    if (i+1) % 500 == 0:
        now = time.time(); print(f"{i+1} events: the last 500 took {now-last:.1f} s ({(now-last)/500*1000:.0f} ms each)"); last = now
print(f"total {time.time()-t0:.1f} s for {N}")
p.terminate(); p.wait()
shutil.rmtree(d)
