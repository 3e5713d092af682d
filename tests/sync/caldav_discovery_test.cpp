// Finding the calendars behind an address: the PROPFIND answers read, then the walk from a
// server's address through the principal and the calendar home against the scripted server.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QSslSocket>
#include <QTimer>

#include "support/caldav_stub.h"
#include "sync/caldav_discovery.h"

namespace sorvel {
void PrintTo(const DavResource& r, std::ostream* os) {
    *os << r.href.toString().toStdString() << (r.collection ? " collection" : "") << (r.calendar ? " calendar" : "")
        << (r.events ? " events" : "") << " '" << r.displayName.toStdString() << "' principal "
        << (r.principal ? r.principal->toString().toStdString() : "-") << " home "
        << (r.calendarHome ? r.calendarHome->toString().toStdString() : "-");
}
}  // namespace sorvel

using namespace sorvel;

namespace {

QByteArray multistatus(const std::string& inner) {
    return QByteArray::fromStdString("<?xml version=\"1.0\"?>\n<d:multistatus xmlns:d=\"DAV:\" "
                                     "xmlns:c=\"urn:ietf:params:xml:ns:caldav\">" + inner + "</d:multistatus>");
}
std::string response(const std::string& href, const std::string& props) {
    return "<d:response><d:href>" + href + "</d:href><d:propstat><d:prop>" + props +
           "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>";
}
const std::string kCalendarType = "<d:resourcetype><d:collection/><c:calendar/></d:resourcetype>";

}  // namespace

TEST(Discovery, PropfindAnswersAreReadWithHrefsResolvedAndOnly200Properties) {
    const QUrl base("http://dav.example/dav/taro/");
    // href, collection, calendar, events, display name, principal, calendar home
    using Resources = std::vector<DavResource>;
    const std::optional<QUrl> none;
    struct Case {
        const char* name;
        QByteArray body;
        std::optional<Resources> want;
    };
    const Case cases[] = {
        {"calendar holding events, relative href",
         multistatus(response("cal/", kCalendarType +
                                          "<d:displayname>家族</d:displayname><c:supported-calendar-component-set>"
                                          "<c:comp name=\"VTODO\"/><c:comp name=\"VEVENT\"/>"
                                          "</c:supported-calendar-component-set>")),
         Resources{{QUrl("http://dav.example/dav/taro/cal/"), true, true, true, QStringLiteral("家族"), none, none}}},
        {"task list only, absolute href",
         multistatus(response("https://other.example/tasks/",
                              kCalendarType + "<c:supported-calendar-component-set><c:comp name=\"VTODO\"/>"
                                              "</c:supported-calendar-component-set>")),
         Resources{{QUrl("https://other.example/tasks/"), true, true, false, {}, none, none}}},
        {"principal relative to the base",
         multistatus(response("/dav/taro/",
                              "<d:current-user-principal><d:href>../../principals/taro/</d:href>"
                              "</d:current-user-principal>")),
         Resources{{base, false, false, true, {}, QUrl("http://dav.example/principals/taro/"), none}}},
        {"calendar home on another port",
         multistatus(response("/principals/taro/",
                              "<c:calendar-home-set><d:href>http://dav.example:8443/home/</d:href>"
                              "</c:calendar-home-set>")),
         Resources{{QUrl("http://dav.example/principals/taro/"),
                    false,
                    false,
                    true,
                    {},
                    none,
                    QUrl("http://dav.example:8443/home/")}}},
        {"a 404 propstat says nothing",
         multistatus("<d:response><d:href>/x/</d:href><d:propstat><d:prop><d:displayname>X</d:displayname></d:prop>"
                     "<d:status>HTTP/1.1 200 OK</d:status></d:propstat><d:propstat><d:prop>" +
                     kCalendarType +
                     "<c:supported-calendar-component-set/></d:prop><d:status>HTTP/1.1 404 Not Found</d:status>"
                     "</d:propstat></d:response>"),
         Resources{{QUrl("http://dav.example/x/"), false, false, true, QStringLiteral("X"), none, none}}},
        {"the status before its properties, other prefixes (as Xandikos writes them)",
         "<ns0:multistatus xmlns:ns0=\"DAV:\" xmlns:ns1=\"urn:ietf:params:xml:ns:caldav\"><ns0:response>"
         "<ns0:href>/user/calendars/todo/</ns0:href><ns0:propstat><ns0:status>HTTP/1.1 200 OK</ns0:status><ns0:prop>"
         "<ns0:resourcetype><ns0:collection /><ns1:calendar /></ns0:resourcetype><ns1:supported-calendar-component-set>"
         "<ns1:comp name=\"VTODO\" /></ns1:supported-calendar-component-set></ns0:prop></ns0:propstat></ns0:response>"
         "</ns0:multistatus>",
         Resources{{QUrl("http://dav.example/user/calendars/todo/"), true, true, false, {}, none, none}}},
        {"no resources", multistatus(""), Resources{}},
        {"not XML", "HTTP error page", std::nullopt},
        {"cut off", multistatus(response("/x/", kCalendarType)).chopped(30), std::nullopt},
        {"another root", "<d:error xmlns:d=\"DAV:\"><d:response><d:href>/x/</d:href></d:response></d:error>",
         std::nullopt},
        {"multistatus outside DAV:", "<multistatus xmlns=\"urn:other\"/>", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parsePropfind(c.body, base), c.want);
    }
}

TEST(Discovery, FromTheServersAddressToItsEventCalendarsOrAMessage) {
    ASSERT_TRUE(QSslSocket::supportsSsl());
    const auto tls = CalDavStub::selfSigned();
    ASSERT_TRUE(tls) << "the openssl command makes the server's certificate";
    using Calendars = std::vector<std::pair<std::string, QString>>;  // path, name
    const Calendars both{{"home/family/", QStringLiteral("家族")}, {"home/work/", QStringLiteral("work")}};
    struct Case {
        const char* name;
        std::string path;
        bool digest = false, https = false;
        QString password = QStringLiteral("secret");
        Calendars want;
        QString error;
        int failStatus = 0;
        bool homeElsewhere = false;  // the principal names a home on another host name of the server
    };
    const Case cases[] = {
        {"server address", "", false, false, QStringLiteral("secret"), both, {}},
        {"server address, Digest", "", true, false, QStringLiteral("secret"), both, {}},
        {"a calendar's own address", "home/family/", false, false, QStringLiteral("secret"),
         {{"home/family/", QStringLiteral("家族")}}, {}},
        {"a task list's address", "home/tasks/", false, false, QStringLiteral("secret"), {},
         QStringLiteral("このアドレスにカレンダーが見つかりません")},
        {"wrong password", "", false, false, QStringLiteral("wrong"), {}, QStringLiteral("認証に失敗しました")},
        {"wrong password, Digest", "", true, false, QStringLiteral("wrong"), {}, QStringLiteral("認証に失敗しました")},
        {"untrusted certificate", "", false, true, QStringLiteral("secret"), {},
         QStringLiteral("サーバー 127.0.0.1 の証明書を確認できなかったため、接続しませんでした")},
        {"server error", "", false, false, QStringLiteral("secret"), {},
         QStringLiteral("サーバー 127.0.0.1 がエラーを返しました（503）"), 503},
        // The password goes to the host the user named only: "localhost" asks for it in vain.
        {"a home on another host", "", false, false, QStringLiteral("secret"), {}, QStringLiteral("認証に失敗しました"), 0,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CalDavStub stub(c.https ? tls : std::nullopt);
        stub.digest = c.digest;
        stub.failStatus = c.failStatus;
        if (c.homeElsewhere)
            stub.dav["/principals/taro/"] = "<c:calendar-home-set><d:href>" +
                                            stub.root().replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost"))
                                                .toStdString() +
                                            "home/</d:href></c:calendar-home-set>";
        QNetworkAccessManager network;
        CalDavDiscovery discovery(&network);
        std::optional<DiscoveryResult> got;
        QEventLoop loop;
        discovery.start(QUrl(stub.root() + QString::fromStdString(c.path)), QStringLiteral("taro"), c.password,
                        [&](DiscoveryResult r) {
                            got = std::move(r);
                            loop.quit();
                        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        loop.exec();
        ASSERT_TRUE(got);
        std::vector<CalendarChoice> want;
        for (const auto& [path, name] : c.want) want.push_back({QUrl(stub.root() + QString::fromStdString(path)), name});
        EXPECT_EQ(got->calendars, want);
        EXPECT_EQ(got->error, c.error);
        EXPECT_LE(stub.authChallenges, 2);
        if (c.https) {
            EXPECT_EQ(stub.requests, 0);
        }
    }
}
