#!/usr/bin/env bash
# What a screen reader is told (AT-SPI on a private session bus): the calendar's name holds the
# month shown and today, its description today's notes, and each day is a cell that names its
# date; in the settings dialog every text and number field has a name of its own.
source "$(dirname "$0")/lib.sh"
bin=${1:?path of the sorvel binary}
write_state=${2:?path of sorvel_write_state}
prepare_copy "$bin" "$write_state" '[SorvelSetting]\r\nVersion=1.2\r\nTop=100\r\nLeft=150\r\n[YoteiSet]\r\nYoDisp=0\r\n[LayoutSet]\r\nDisp=0\r\n'
y=$(date +%Y) m=$(date +%-m) d=$(date +%-d)
write_notes "$prog/Sorvel.dat" "$y $m $d screenreader"
start_xvfb
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_TMP/log-atspi" 2>&1 &
E2E_PIDS+=($!)
sleep 1
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 start_sorvel
main=$(wait_window '^Sorvel$' 60) || fail "calendar window not shown"
sleep 2

weekday=$(LC_ALL=C date +%w)
names=(日 月 火 水 木 金 土)
expected="${y}年${m}月、今日は${m}月${d}日（${names[$weekday]}）、予定 1件"
/usr/bin/python3 - "$expected" "$y年$m月$d日" <<'PY' || fail "the calendar is not described as expected"
import sys, pyatspi
expected, today = sys.argv[1], sys.argv[2]
apps = [a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == 'Sorvel']
if not apps: sys.exit('no Sorvel on the accessibility bus')
calendar = apps[0].getChildAtIndex(0)
print(calendar.getRoleName(), repr(calendar.name), repr(calendar.description))
cells = [calendar.getChildAtIndex(i) for i in range(calendar.childCount)]
todays = [c.name for c in cells if c.name.startswith(today + '(')]
print('cells', len(cells), todays)
ok = (calendar.name == expected and calendar.description == '今日の予定：screenreader' and 28 <= len(cells) <= 31
      and all(c.getRoleName() == 'table cell' for c in cells) and len(todays) == 1 and '今日' in todays[0]
      and 'screenreader' in todays[0])
sys.exit(0 if ok else 1)
PY

press "$main" space
sleep 0.5
xdotool key s                                    # 設定(&S)
wait_window '^Sorvelの設定$' 20 >/dev/null || fail "the settings dialog did not open"
sleep 1
/usr/bin/python3 <<'PY' || fail "a field of the settings dialog has no name of its own"
import sys, pyatspi
app = [a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == 'Sorvel'][0]
dialog = [w for w in app if w.name == 'Sorvelの設定'][0]
fields = []
def walk(node):
    for child in node:
        if child is None: continue
        # The editor inside a spin box or a combo box is read as that box.
        if child.getRoleName() in ('text', 'password text', 'spin button') and node.getRoleName() not in ('spin button', 'combo box'):
            fields.append(child)
        walk(child)
walk(dialog)
names = [f.name for f in fields]
print(len(fields), [(f.getRoleName(), f.parent.getRoleName(), f.name) for f in fields])
needed = {'サーバーのアドレス', '一度に表示する月の数', 'ユーザー名', 'パスワード', '表示年', '表示月', 'くっつく距離（ドット）'}
group_titles = {'全般', '表示年月'}
sys.exit(0 if needed <= set(names) and all(n and n not in group_titles for n in names) else 1)
PY
kill "$pid"; wait_exit "$pid" 10 || fail "the program did not end"
echo "accessibility: ok"
