// The sync engine against a scripted CalDAV server: carrying a plan out both ways (the cells of
// the decision are the plan's own table), edits that keep the server's event, addresses that are
// no calendar, conflicts, preconditions, refused tokens, damaged state, interruptions and failures.
#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "platform/files.h"
#include "platform/text.h"
#include "support/caldav_stub.h"
#include "sync/caldav_sync.h"

using namespace sorvel;

namespace {

// The program's side: its lists, the state file beside its data file.
struct Desk {
    CalDavStub& stub;
    QNetworkAccessManager network;
    TDateMemoList memos;
    THolidayList rules;
    QTemporaryDir dir;
    QString statePath = dir.filePath(QStringLiteral("Sorvel.dat.sync"));
    std::optional<QString> password = QStringLiteral("secret");
    QString url = stub.url();
    int timeoutMs = kDavTimeoutMs;

    explicit Desk(CalDavStub& s) : stub(s) {}

    void note(int date, const std::string& caption) {
        memos.push_back(std::make_unique<TDateMemo>(TDateMemo{date / 10000, date / 100 % 100, date % 100, "", caption}));
    }
    TDateMemo* find(const std::string& caption) {
        for (auto& m : memos)
            if (m->caption == caption) return m.get();
        return nullptr;
    }
    void drop(const std::string& caption) {
        std::erase_if(memos, [&](const auto& m) { return m->caption == caption; });
    }
    // Notes as "yyyymmdd caption" and rule names, sorted.
    std::vector<std::string> contents() const {
        std::vector<std::string> out;
        char date[16];
        for (const auto& m : memos) {
            std::snprintf(date, sizeof date, "%04d%02d%02d ", m->year, m->month, m->day);
            out.push_back(date + m->caption);
        }
        for (const auto& r : rules) out.push_back(cp932ToUtf8(r->name));
        std::sort(out.begin(), out.end());
        return out;
    }

    SyncResult sync(const std::function<void(CalDavSync&)>& whileRunning = {}) {
        CalDavSync engine(&network);
        SyncSnapshot snapshot;
        for (const auto& m : memos) snapshot.memos.push_back(*m);
        for (const auto& r : rules) snapshot.rules.push_back(*r);
        SyncResult got;
        bool ended = false;
        QEventLoop loop;
        QObject::connect(&engine, &CalDavSync::finished, &loop, [&](const SyncResult& r) {
            got = r;
            ended = true;
            loop.quit();
        });
        if (whileRunning) whileRunning(engine);
        engine.start({QUrl(url), QStringLiteral("taro"), timeoutMs}, password, std::move(snapshot), statePath);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_TRUE(ended);
        if (got.status == SyncStatus::Ok) {
            applySyncResult(got, memos, rules);
            if (got.stateChanged) {
                EXPECT_TRUE(saveSyncState(statePath, got.state));
            }
        }
        return got;
    }
};

std::string pathOf(const CalDavStub& stub, const std::string& summary) {
    for (const auto& [path, item] : stub.items)
        if (item.data.find("\r\nSUMMARY:" + summary + "\r\n") != std::string::npos) return path;
    ADD_FAILURE() << "no event " << summary;
    return {};
}

// The server's event at path with another summary, as a phone rewrites it.
void rename(CalDavStub& stub, const std::string& path, const std::string& from, const std::string& to) {
    std::string data = stub.items.at(path).data;
    const std::size_t at = data.find("SUMMARY:" + from + "\r\n");
    data.replace(at, 8 + from.size(), "SUMMARY:" + to);
    stub.put(path, data);
}

using List = std::vector<std::string>;
const std::string kFounding = "\x91\x6e\x97\xa7\x8b\x4c\x94\x4f\x93\xfa";  // 創立記念日

// Both sides after a first sync: two notes of ours, a rule of ours, an event of the phone's.
void firstSync(Desk& desk, CalDavStub& stub) {
    desk.note(20261208, "meeting");
    desk.note(20261209, "dentist");
    desk.rules.push_back(std::make_unique<THolidaySet>(THolidaySet{2, 0, 5, 20, 3, 3, 3, kFounding}));
    stub.addEvent("p1", "20261210", "movie");
    const SyncResult r = desk.sync();
    ASSERT_EQ(r.status, SyncStatus::Ok) << r.message.toStdString();
    EXPECT_EQ(r.message, QString());
    EXPECT_EQ(desk.contents(), (List{"20261208 meeting", "20261209 dentist", "20261210 movie", "創立記念日"}));
    EXPECT_EQ(stub.summaries(), (List{"dentist", "meeting", "movie", "創立記念日"}));
    EXPECT_EQ(stub.puts, 3);
}

// A phone's timed event in its zone, with a place, categories and an alarm.
const std::string visit =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\nBEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0100\r\nDTSTART:19701025T030000\r\nEND:STANDARD\r\n"
    "END:VTIMEZONE\r\nBEGIN:VEVENT\r\nUID:v1\r\nDTSTAMP:20261201T000000Z\r\n"
    "DTSTART;TZID=Europe/Berlin:20261211T100000\r\nDTEND;TZID=Europe/Berlin:20261211T110000\r\nSUMMARY:visit\r\n"
    "LOCATION:HQ\r\nCATEGORIES:WORK\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:visit\r\nTRIGGER:-PT15M\r\n"
    "END:VALARM\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

const QString notCalendar =
    QStringLiteral("このアドレスはカレンダーではありません。「カレンダーを探す」で選んでください。");

// Whether the server's event at path has the line.
void has(CalDavStub& s, const std::string& path, const std::string& line) {
    EXPECT_TRUE(s.items.count(path) && s.items.at(path).data.find(line + "\r\n") != std::string::npos)
        << path << " " << line;
}

}  // namespace

TEST(CalDavSync, ChangesOnEitherSideReachTheOtherAndNothingIsLost) {
    struct Case {
        const char* name;
        std::function<void(Desk&, CalDavStub&)> change;
        List local;  // both sides hold these afterwards; the server by summary
        bool conflict = false;
    };
    const Case cases[] = {
        {"timed note added here (a timed event, its time out of the summary)",
         [](Desk& d, CalDavStub&) { d.note(20261211, "10:00 gym"); },
         {"20261208 meeting", "20261209 dentist", "20261210 movie", "20261211 10:00 gym"}},
        {"added there with a time zone (its daylight saving time's RRULE no repetition)", [](Desk&, CalDavStub& s) {
             s.put("/cal/z1.ics", "BEGIN:VCALENDAR\r\nBEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:DAYLIGHT\r\n"
                                  "TZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nDTSTART:19810329T020000\r\nRRULE:FREQ=YEARLY\r\n"
                                  "END:DAYLIGHT\r\nEND:VTIMEZONE\r\nBEGIN:VEVENT\r\nUID:z1\r\nDTSTART;VALUE=DATE:20261212\r\n"
                                  "SUMMARY:concert\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"); },
         {"20261208 meeting", "20261209 dentist", "20261210 movie", "20261212 concert"}},
        {"changed here", [](Desk& d, CalDavStub&) { d.find("meeting")->caption = "meeting moved"; },
         {"20261208 meeting moved", "20261209 dentist", "20261210 movie"}},
        {"changed on both sides",
         [](Desk& d, CalDavStub& s) {
             d.find("meeting")->caption = "meeting A";
             rename(s, pathOf(s, "meeting"), "meeting", "meeting B");
         },
         {"20261208 meeting A", "20261208 meeting B", "20261209 dentist", "20261210 movie"}, true},
        {"changed there while we upload (412)",
         [](Desk& d, CalDavStub& s) {
             d.find("meeting")->caption = "meeting A";
             const std::string path = pathOf(s, "meeting");
             s.beforeRequest = [&s, path, once = true](const std::string& method, const std::string& p) mutable {
                 if (method != "PUT" || p != path || !once) return;
                 once = false;
                 rename(s, path, "meeting", "meeting B");
             };
         },
         {"20261208 meeting A", "20261208 meeting B", "20261209 dentist", "20261210 movie"}, true},
        {"token no longer taken",
         [](Desk&, CalDavStub& s) {
             s.refuseTokens = true;
             s.addEvent("q1", "20261212", "concert");
         },
         {"20261208 meeting", "20261209 dentist", "20261210 movie", "20261212 concert"}},
        {"state file damaged",
         [](Desk& d, CalDavStub&) {
             ASSERT_TRUE(atomicReplace(d.statePath, "SorvelSync 1\ncollection\thttp://x/\ntok"));
             d.note(20261211, "gym");
         },
         {"20261208 meeting", "20261209 dentist", "20261210 movie", "20261211 gym"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CalDavStub stub;
        Desk desk(stub);
        firstSync(desk, stub);
        c.change(desk, stub);
        const SyncResult r = desk.sync();
        ASSERT_EQ(r.status, SyncStatus::Ok) << r.message.toStdString();
        List want = c.local;
        want.push_back("創立記念日");
        EXPECT_EQ(desk.contents(), want);
        List server;
        for (const std::string& n : want)
            server.push_back(n.size() > 9 && n[8] == ' ' ? n.substr(n.size() > 15 && n[11] == ':' ? 15 : 9) : n);
        std::sort(server.begin(), server.end());
        EXPECT_EQ(stub.summaries(), server);
        EXPECT_EQ(r.message, c.conflict ? QStringLiteral("こちらとサーバーの両方で変更された予定があったため、"
                                                         "両方を残しました：2026年12月8日")
                                        : QString());
        // Once both sides agree, another sync changes nothing on either.
        const int puts = stub.puts;
        stub.refuseTokens = false;
        const SyncResult again = desk.sync();
        EXPECT_EQ(again.status, SyncStatus::Ok);
        EXPECT_EQ(stub.puts, puts);
        EXPECT_EQ(desk.contents(), want);
        EXPECT_EQ(stub.summaries(), server);
    }
}

TEST(CalDavSync, WhatServersDoToEventsAndAddressesLosesNothing) {
    struct Case {
        const char* name;
        std::function<void(Desk&, CalDavStub&)> arrange;  // after a first sync of p and q (one day) and a note
        SyncStatus status;
        QString message;
        std::function<void(Desk&, CalDavStub&)> check;
    };
    const Case cases[] = {
        {"a fetched timed event edited here keeps its zone, place, alarm and categories",
         [&](Desk& d, CalDavStub& s) {
             s.put("/cal/v1.ics", visit);
             ASSERT_EQ(d.sync().status, SyncStatus::Ok);
             for (auto& m : d.memos)
                 if (m->caption.ends_with(" visit")) m->caption += "2";
         },
         SyncStatus::Ok, {}, [&](Desk&, CalDavStub& s) {
             for (const char* line : {"SUMMARY:visit2", "DTSTART;TZID=Europe/Berlin:20261211T100000", "LOCATION:HQ",
                                      "CATEGORIES:WORK", "BEGIN:VALARM", "TRIGGER:-PT15M"})
                 has(s, "/cal/v1.ics", line);
         }},
        {"the home collection as the address", [](Desk& d, CalDavStub& s) {
             d.url = s.root() + "home/";
             d.note(20261209, "new");
         },
         SyncStatus::NotCalendar, notCalendar, [](Desk&, CalDavStub& s) { EXPECT_EQ(s.puts, 1); }},
        {"the server's root as the address", [](Desk& d, CalDavStub& s) {
             d.url = s.root();
             d.note(20261209, "new");
         },
         SyncStatus::NotCalendar, notCalendar, [](Desk&, CalDavStub& s) { EXPECT_EQ(s.puts, 1); }},
        {"the password box cancelled", [](Desk& d, CalDavStub&) {
             d.password.reset();
             d.network.clearAccessCache();  // a new run: no credentials held
             d.note(20261209, "new");
         },
         SyncStatus::Cancelled, {},
         [](Desk&, CalDavStub& s) { EXPECT_EQ(s.puts, 1); }},
        {"q edited and p deleted on their day", [](Desk& d, CalDavStub&) {
             d.find("q")->text = "new";
             d.drop("p");
         },
         SyncStatus::Ok, {}, [&](Desk&, CalDavStub& s) {
             has(s, "/cal/q.ics", "DESCRIPTION:new");
             EXPECT_EQ(s.items.count("/cal/p.ics"), 0u);
         }},
        {"the calendar emptied and made again", [](Desk&, CalDavStub& s) {
             s.items.clear();
             s.refuseTokens = true;
         },
         SyncStatus::Ok,
         QStringLiteral("サーバーのカレンダーが空になったか作り直されていたため、こちらの予定は消さずにすべてサーバーへ送りました"),
         [](Desk& d, CalDavStub& s) {
             EXPECT_EQ(d.contents(), (List{"20261205 p", "20261205 q", "20261208 meeting"}));
             EXPECT_EQ(s.summaries(), (List{"meeting", "p", "q"}));
         }},
        {"a token answered with 500", [](Desk&, CalDavStub& s) {
             s.refuseTokens = true;
             s.tokenStatus = 500;
             s.addEvent("c1", "20261212", "concert");
         },
         SyncStatus::Ok, {}, [](Desk& d, CalDavStub&) {
             EXPECT_EQ(d.contents(), (List{"20261205 p", "20261205 q", "20261208 meeting", "20261212 concert"}));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CalDavStub stub;
        Desk desk(stub);
        stub.addEvent("p", "20261205", "p");
        stub.addEvent("q", "20261205", "q");
        desk.note(20261208, "meeting");
        ASSERT_EQ(desk.sync().status, SyncStatus::Ok);
        c.arrange(desk, stub);
        const SyncResult r = desk.sync();
        EXPECT_EQ(r.status, c.status) << r.message.toStdString();
        EXPECT_EQ(r.message, c.message);
        c.check(desk, stub);
    }
}

TEST(CalDavSync, ASyncEndedInTheMiddleIsFinishedByTheNextWithEveryNoteOnce) {
    CalDavStub stub;
    Desk desk(stub);
    for (int i = 0; i < 120; ++i) desk.note(20270101 + i % 28, std::string("n").append(std::to_string(i)));
    const SyncResult cut = desk.sync([&](CalDavSync& engine) {
        stub.beforeRequest = [&](const std::string& method, const std::string&) {
            if (method == "PUT" && stub.puts == 70) engine.cancel();
        };
    });
    EXPECT_EQ(cut.status, SyncStatus::Cancelled);
    EXPECT_EQ(cut.message, QString());
    stub.beforeRequest = nullptr;
    EXPECT_LT(stub.items.size(), 120u);
    EXPECT_EQ(desk.sync().status, SyncStatus::Ok);
    EXPECT_EQ(stub.items.size(), 120u);
    EXPECT_EQ(desk.memos.size(), 120u);
    EXPECT_EQ(stub.puts, 120);  // not one note sent twice
}

TEST(CalDavSync, NotesBeforeTheReformTravelAsTheirGregorianDaysAndComeBackToTheirDays) {
    CalDavStub stub;
    Desk desk(stub);
    desk.note(17000229, "julian leap day");
    desk.note(16000301, "march");
    desk.note(10102, "year zero");  // 31 December of year 0, Gregorian
    const SyncResult r = desk.sync();
    ASSERT_EQ(r.status, SyncStatus::Ok);
    EXPECT_EQ(r.message, QStringLiteral("1件の予定は日付が暦にないか、iCalendarの日付（グレゴリオ暦の1年から9999年）で"
                                        "表せないため同期の対象外です"));
    EXPECT_EQ(desk.memos.size(), 3u);
    EXPECT_NE(stub.items.at(pathOf(stub, "julian leap day")).data.find("\r\nDTSTART;VALUE=DATE:17000311\r\n"),
              std::string::npos);
    EXPECT_NE(stub.items.at(pathOf(stub, "march")).data.find("\r\nDTSTART;VALUE=DATE:16000311\r\n"), std::string::npos);
    // Another desk with nothing of its own gets both on their days.
    Desk other(stub);
    ASSERT_EQ(other.sync().status, SyncStatus::Ok);
    EXPECT_EQ(other.contents(), (List{"16000301 march", "17000229 julian leap day"}));
}

TEST(CalDavSync, EventsTheNotesCannotHoldStayOnTheServerAndAreCountedOnceAndAZonedOneOffComesIn) {
    CalDavStub stub;
    Desk desk(stub);
    const std::string todo =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nUID:t1\r\nSUMMARY:buy milk\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    const std::string weekly = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:w1\r\nDTSTART;VALUE=DATE:20261207\r\n"
                               "RRULE:FREQ=WEEKLY\r\nSUMMARY:yoga\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    // A one-off event as a phone in Europe writes it: its zone's summer time repeats, the event
    // does not (10:00 in Berlin, winter time; the note has the hour of this machine's zone).
    const std::string berlin =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
        "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nTZNAME:CEST\r\nDTSTART:19700329T020000\r\n"
        "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
        "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nTZNAME:CET\r\nDTSTART:19701025T030000\r\n"
        "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
        "BEGIN:VEVENT\r\nUID:b1\r\nDTSTAMP:20261201T000000Z\r\nDTSTART;TZID=Europe/Berlin:20261211T100000\r\n"
        "DTEND;TZID=Europe/Berlin:20261211T110000\r\nSUMMARY:call\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    stub.put("/cal/t1.ics", todo);
    stub.put("/cal/w1.ics", weekly);
    stub.put("/cal/b1.ics", berlin);
    stub.addEvent("p1", "20261210", "movie");
    const SyncResult r = desk.sync();
    EXPECT_EQ(r.status, SyncStatus::Ok);
    EXPECT_EQ(r.message, QStringLiteral("2件の繰り返し予定は同期の対象外です"));
    const List got = desk.contents();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], "20261210 movie");
    EXPECT_TRUE(got[1].starts_with("2026121") && got[1].ends_with(":00 call")) << got[1];
    EXPECT_EQ(stub.items.at("/cal/t1.ics").data, todo);
    EXPECT_EQ(stub.items.at("/cal/w1.ics").data, weekly);
    const SyncResult again = desk.sync();
    EXPECT_EQ(again.message, QString());
    EXPECT_EQ(again.unsupported, 2u);
    EXPECT_EQ(stub.items.size(), 4u);
}

TEST(CalDavSync, FailuresSayWhatWentWrongChangeNothingAndTheNextSyncWorks) {
    using Fault = CalDavStub::Fault;
    struct Case {
        const char* name;
        std::function<void(Desk&, CalDavStub&)> arrange;
        SyncStatus status;
        QString message;
    };
    const Case cases[] = {
        {"wrong password", [](Desk& d, CalDavStub&) { d.password = QStringLiteral("wrong"); }, SyncStatus::AuthFailed,
         QStringLiteral("認証に失敗しました")},
        {"wrong password, Digest",
         [](Desk& d, CalDavStub& s) {
             s.digest = true;
             d.password = QStringLiteral("wrong");
         },
         SyncStatus::AuthFailed, QStringLiteral("認証に失敗しました")},
        {"5xx", [](Desk&, CalDavStub& s) { s.failStatus = 503; }, SyncStatus::ServerError,
         QStringLiteral("サーバー 127.0.0.1 がエラーを返しました（503）")},
        {"garbage XML", [](Desk&, CalDavStub& s) { s.reportFault = Fault::Garbage; }, SyncStatus::BadResponse,
         QStringLiteral("サーバー 127.0.0.1 の応答を読み取れませんでした")},
        {"response cut in the middle", [](Desk&, CalDavStub& s) { s.reportFault = Fault::Cut; },
         SyncStatus::BadResponse, QStringLiteral("サーバー 127.0.0.1 の応答を読み取れませんでした")},
        {"no answer", [](Desk& d, CalDavStub& s) {
             s.reportFault = Fault::Silent;
             d.timeoutMs = 300;
         },
         SyncStatus::Timeout, QStringLiteral("サーバー 127.0.0.1 から30秒間応答がありませんでした")},
        {"response over 64 MB", [](Desk&, CalDavStub& s) { s.reportFault = Fault::Huge; }, SyncStatus::TooLarge,
         QStringLiteral("サーバー 127.0.0.1 の応答が大きすぎます（64MBまで）")},
        {"unreachable", [](Desk& d, CalDavStub&) { d.url = QStringLiteral("http://127.0.0.1:1/cal/"); },
         SyncStatus::Unreachable, QStringLiteral("サーバー 127.0.0.1 に接続できませんでした")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CalDavStub stub;
        Desk desk(stub);
        desk.note(20261208, "meeting");
        stub.addEvent("p1", "20261210", "movie");
        c.arrange(desk, stub);
        const SyncResult r = desk.sync();
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.message, c.message);
        EXPECT_TRUE(r.memosToAdd.empty());
        EXPECT_EQ(desk.contents(), (List{"20261208 meeting"}));
        EXPECT_LE(stub.authChallenges, 2);  // one challenge answered, no loop

        CalDavStub healthy;
        Desk again(healthy);
        healthy.addEvent("p1", "20261210", "movie");
        again.statePath = desk.statePath;
        again.memos = std::move(desk.memos);
        EXPECT_EQ(again.sync().status, SyncStatus::Ok);
        EXPECT_EQ(again.contents(), (List{"20261208 meeting", "20261210 movie"}));
    }
}

TEST(CalDavSync, AStateFileThatCannotBeSavedIsSaidWithWhatTheSyncSays) {
    // Seven notes: six go up at once, the seventh once the first of them is answered.
    struct Case {
        const char* name;
        bool failAfterASave;  // a save while uploading, then a server failure
        SyncStatus status;
        QString first;
    };
    const Case cases[] = {
        {"the save at the end", false, SyncStatus::Ok, {}},
        {"a save while uploading, then a failure", true, SyncStatus::ServerError,
         QStringLiteral("サーバー 127.0.0.1 がエラーを返しました（503）\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CalDavStub stub;
        Desk desk(stub);
        const QString folder = desk.dir.filePath(QStringLiteral("gone"));
        desk.statePath = folder + QStringLiteral("/Sorvel.dat.sync");
        for (int i = 0; i < 7; ++i) desk.note(20261201 + i, std::string("n").append(std::to_string(i)));
        int seen = 0;
        if (c.failAfterASave)
            stub.beforeRequest = [&](const std::string& method, const std::string&) {
                if (method != "PUT") return;
                if (++seen == 1) QThread::msleep(1100);  // its answer is due a save of the state file
                if (seen == 7) stub.failStatus = 503;
            };
        const SyncResult r = desk.sync([&](CalDavSync& engine) {
            // The folder is back by the time the program saves what the sync gives it.
            QObject::connect(&engine, &CalDavSync::finished, [&] { QDir().mkpath(folder); });
        });
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.message,
                  c.first + desk.statePath + QStringLiteral("\nが作成できませんでした。\nフォルダがありません。"));
    }
}

TEST(CalDavSync, ADigestChallengeIsAnswered) {
    CalDavStub stub;
    stub.digest = true;
    Desk desk(stub);
    desk.note(20261208, "meeting");
    stub.addEvent("p1", "20261210", "movie");
    const SyncResult r = desk.sync();
    ASSERT_EQ(r.status, SyncStatus::Ok) << r.message.toStdString();
    EXPECT_EQ(r.uploaded, 1u);
    EXPECT_EQ(stub.summaries(), (List{"meeting", "movie"}));
    EXPECT_EQ(desk.contents(), (List{"20261208 meeting", "20261210 movie"}));
}

TEST(CalDavSync, AnUntrustedCertificateIsRefusedBeforeAnyRequestGoesOut) {
    ASSERT_TRUE(QSslSocket::supportsSsl());
    const auto tls = CalDavStub::selfSigned();
    ASSERT_TRUE(tls) << "the openssl command makes the server's certificate";
    CalDavStub stub(tls);
    Desk desk(stub);
    desk.note(20261208, "meeting");
    const SyncResult r = desk.sync();
    EXPECT_EQ(r.status, SyncStatus::TlsFailed);
    EXPECT_EQ(r.message, QStringLiteral("サーバー 127.0.0.1 の証明書を確認できなかったため、接続しませんでした"));
    EXPECT_EQ(stub.requests, 0);
    EXPECT_EQ(stub.puts, 0);
    EXPECT_TRUE(r.memosToAdd.empty());
}
