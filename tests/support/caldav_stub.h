#pragma once
// A scripted CalDAV server on loopback for the sync's tests: one calendar collection at
// /cal/ kept in memory, with the requests the sync makes (PROPFIND, REPORT sync-collection,
// calendar-query and calendar-multiget, GET, PUT, DELETE and their preconditions) and faults to
// order. It reads our own request bodies with plain text searches. It asks for Basic or Digest
// credentials, can speak TLS with a certificate of the test's, and answers the PROPFIND that
// looks for calendars from a small tree: / -> principal /principals/taro/ -> home /home/.
#include <algorithm>
#include <functional>
#include <set>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTcpSocket>
#include <QUrl>

class CalDavStub : public QObject {
public:
    struct Item {
        std::string etag, data;
    };
    std::map<std::string, Item> items;  // path -> event
    std::string user = "taro", password = "secret";
    bool offerToken = true;    // else only a ctag
    bool refuseTokens = false;  // every stored token answered 403 valid-sync-token
    int tokenStatus = 403;      // the status of that answer
    int failStatus = 0;         // every request answered with this status
    enum class Fault { None, Garbage, Cut, Silent, Huge } reportFault = Fault::None;  // REPORT answers
    std::function<void(const std::string& method, const std::string& path)> beforeRequest;
    int authChallenges = 0, puts = 0, requests = 0;  // requests: every one read, whatever its answer
    bool digest = false;  // ask for Digest (qop auth, MD5) instead of Basic
    // The discovery PROPFIND's answer: path -> its properties; a Depth 1 request adds the paths below.
    std::map<std::string, std::string> dav = {
        {"/", "<d:current-user-principal><d:href>/principals/taro/</d:href></d:current-user-principal>"},
        {"/principals/taro/", "<c:calendar-home-set><d:href>/home/</d:href></c:calendar-home-set>"},
        {"/home/", "<d:resourcetype><d:collection/></d:resourcetype>"},
        {"/home/family/", "<d:resourcetype><d:collection/><c:calendar/></d:resourcetype><d:displayname>家族</d:displayname>"
                          "<c:supported-calendar-component-set><c:comp name=\"VTODO\"/><c:comp name=\"VEVENT\"/>"
                          "</c:supported-calendar-component-set>"},
        {"/home/tasks/", "<d:resourcetype><d:collection/><c:calendar/></d:resourcetype><d:displayname>やること</d:displayname>"
                         "<c:supported-calendar-component-set><c:comp name=\"VTODO\"/></c:supported-calendar-component-set>"},
        {"/home/work/", "<d:resourcetype><d:collection/><c:calendar/></d:resourcetype>"},
    };

    // With a TLS configuration (local certificate and key) it serves https.
    explicit CalDavStub(const std::optional<QSslConfiguration>& tls = std::nullopt) {
        if (tls) {
            auto ssl = std::make_unique<QSslServer>();
            ssl->setSslConfiguration(*tls);
            server_ = std::move(ssl);
        } else {
            server_ = std::make_unique<QTcpServer>();
        }
        server_->listen(QHostAddress::LocalHost);
        // Each accepted connection (after the handshake under TLS) is announced here; newConnection
        // is not emitted by QSslServer.
        QObject::connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* s = server_->nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString root() const {
        return QStringLiteral("%1://127.0.0.1:%2/").arg(QLatin1String(qobject_cast<QSslServer*>(server_.get()) ? "https" : "http")).arg(server_->serverPort());
    }
    QString url() const { return root() + QStringLiteral("cal/"); }

    // A self-signed certificate for 127.0.0.1 made now with the openssl command; none when that failed.
    static std::optional<QSslConfiguration> selfSigned() {
        QTemporaryDir dir;
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"), {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                                                  "/CN=127.0.0.1", "-keyout", dir.filePath("key.pem"), "-out", dir.filePath("cert.pem")});
        if (!openssl.waitForFinished(60000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0) return {};
        QFile keyFile(dir.filePath("key.pem")), certFile(dir.filePath("cert.pem"));
        if (!keyFile.open(QIODevice::ReadOnly) || !certFile.open(QIODevice::ReadOnly)) return {};
        const QSslKey key(keyFile.readAll(), QSsl::Rsa);
        const QSslCertificate cert(certFile.readAll());
        if (key.isNull() || cert.isNull()) return {};
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.setLocalCertificate(cert);
        config.setPrivateKey(key);
        return config;
    }

    // An all-day event of one day, as a phone writes it.
    void addEvent(const std::string& name, const std::string& date, const std::string& summary) {
        put("/cal/" + name + ".ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\nBEGIN:VEVENT\r\nUID:" +
                                         name + "@phone\r\nDTSTAMP:20261201T000000Z\r\nDTSTART;VALUE=DATE:" + date +
                                         "\r\nSUMMARY:" + summary + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    }
    void put(const std::string& path, const std::string& data) {
        items[path] = {"\"e" + std::to_string(++seq_) + "\"", data};
        log_.push_back(path);
    }
    void remove(const std::string& path) {
        items.erase(path);
        log_.push_back(path);
    }
    // Every event's SUMMARY, sorted, read with a plain search.
    std::vector<std::string> summaries() const {
        std::vector<std::string> out;
        static const std::regex summary("\r\nSUMMARY:([^\r]*)\r\n");
        for (const auto& [path, item] : items) {
            std::smatch m;
            if (std::regex_search(item.data, m, summary)) out.push_back(m[1]);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    void serve(QTcpSocket* s) {
        QByteArray& in = pending_[s];
        in += s->readAll();
        for (;;) {
            const qsizetype head = in.indexOf("\r\n\r\n");
            if (head < 0) return;
            const QByteArray header = in.left(head);
            static const QRegularExpression lengthRe(QStringLiteral("(?i)\r\ncontent-length: *(\\d+)"));
            const auto lm = lengthRe.match(QString::fromLatin1(header));
            const int length = lm.hasMatch() ? lm.captured(1).toInt() : 0;
            if (in.size() < head + 4 + length) return;
            const std::string body = in.mid(head + 4, length).toStdString();
            in.remove(0, head + 4 + length);
            answer(s, header.toStdString(), body);
        }
    }

    static std::string headerValue(const std::string& header, const std::string& name) {
        const std::regex re("\r\n" + name + ": *([^\r]*)", std::regex::icase);
        std::smatch m;
        return std::regex_search(header, m, re) ? std::string(m[1]) : std::string();
    }

    void reply(QTcpSocket* s, int status, const std::string& body, const std::string& extra = {}) {
        std::string out = "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " + std::to_string(body.size()) +
                          "\r\n" + extra + "\r\n" + body;
        s->write(out.data(), static_cast<qint64>(out.size()));
    }

    static std::string multistatus(const std::string& inner, const std::string& token = {}) {
        return "<?xml version=\"1.0\"?>\n<d:multistatus xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\" "
               "xmlns:cs=\"http://calendarserver.org/ns/\">" +
               inner + (token.empty() ? "" : "<d:sync-token>" + token + "</d:sync-token>") + "</d:multistatus>";
    }
    static std::string xmlEscape(const std::string& s) {
        std::string out;
        for (char c : s) out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
        return out;
    }
    static std::string member(const std::string& path, const Item& item, bool data) {
        return "<d:response><d:href>" + path + "</d:href><d:propstat><d:prop><d:getetag>" + xmlEscape(item.etag) +
               "</d:getetag>" + (data ? "<c:calendar-data>" + xmlEscape(item.data) + "</c:calendar-data>" : "") +
               "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>";
    }
    std::string token() const { return "http://stub/sync/" + std::to_string(log_.size()); }

    static std::string md5(const std::string& text) {
        return QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Md5).toHex().toStdString();
    }
    // Basic, or Digest checked the RFC 7616 way: HA1 = MD5(user:realm:password), HA2 = MD5(method:uri),
    // response = MD5(HA1:nonce:nc:cnonce:qop:HA2).
    bool authorized(const std::string& method, const std::string& target, const std::string& auth) const {
        if (!digest) return auth == "Basic " + QByteArray::fromStdString(user + ":" + password).toBase64().toStdString();
        if (auth.rfind("Digest ", 0) != 0) return false;
        std::map<std::string, std::string> f;
        static const std::regex field("(\\w+)=(?:\"([^\"]*)\"|([^,\\s]*))");
        for (auto it = std::sregex_iterator(auth.begin() + 7, auth.end(), field); it != std::sregex_iterator(); ++it)
            f[(*it)[1]] = (*it)[2].matched ? (*it)[2] : (*it)[3];
        const std::string ha1 = md5(user + ":stub:" + password), ha2 = md5(method + ":" + f["uri"]);
        return f["username"] == user && f["realm"] == "stub" && f["nonce"] == kNonce && f["uri"] == target &&
               f["qop"] == "auth" && !f["cnonce"].empty() &&
               f["response"] == md5(ha1 + ":" + kNonce + ":" + f["nc"] + ":" + f["cnonce"] + ":auth:" + ha2);
    }

    void answer(QTcpSocket* s, const std::string& header, const std::string& body) {
        ++requests;
        const std::string method = header.substr(0, header.find(' '));
        const std::size_t p = header.find(' ') + 1;
        const std::string target = header.substr(p, header.find(' ', p) - p);
        const std::string path = QUrl::fromPercentEncoding(QByteArray::fromStdString(target)).toStdString();
        if (!authorized(method, target, headerValue(header, "Authorization"))) {
            ++authChallenges;
            return reply(s, 401, "", digest ? "WWW-Authenticate: Digest realm=\"stub\", nonce=\"" + kNonce +
                                                  "\", qop=\"auth\", algorithm=MD5\r\n"
                                            : "WWW-Authenticate: Basic realm=\"stub\"\r\n");
        }
        if (beforeRequest) beforeRequest(method, path);
        if (failStatus) return reply(s, failStatus, "down");
        if (method == "PROPFIND" && body.find("current-user-principal") != std::string::npos) {
            std::string inner;
            const bool deep = headerValue(header, "Depth") == "1";
            for (const auto& [at, props] : dav)
                if (at == path || (deep && at.size() > path.size() && at.rfind(path, 0) == 0))
                    inner += "<d:response><d:href>" + at + "</d:href><d:propstat><d:prop>" + props +
                             "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>";
            return inner.empty() ? reply(s, 404, "") : reply(s, 207, multistatus(inner));
        }
        if (method == "PROPFIND") {
            std::string props = "<cs:getctag>c" + std::to_string(log_.size()) + "</cs:getctag>";
            if (offerToken) props += "<d:sync-token>" + token() + "</d:sync-token>";
            const auto other = dav.find(path);
            props += other != dav.end() ? other->second : kCalendarType;
            return reply(s, 207, multistatus("<d:response><d:href>" + path + "</d:href><d:propstat><d:prop>" + props +
                                             "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>"));
        }
        if (method == "REPORT") {
            if (reportFault == Fault::Garbage) return reply(s, 207, "<d:multistatus xmlns:d=\"DAV:\"><d:response><oops");
            if (reportFault == Fault::Silent) return;
            if (reportFault == Fault::Cut) {
                const std::string out = "HTTP/1.1 207 X\r\nContent-Length: 5000\r\n\r\n<?xml version=\"1.0\"?><d:multistatus";
                s->write(out.data(), static_cast<qint64>(out.size()));
                s->flush();
                s->disconnectFromHost();
                return;
            }
            if (reportFault == Fault::Huge) {
                const std::string out = "HTTP/1.1 207 X\r\nContent-Length: 70000000\r\n\r\n" + std::string(70000, ' ');
                s->write(out.data(), static_cast<qint64>(out.size()));
                return;
            }
            std::string inner;
            if (body.find("sync-collection") != std::string::npos) {
                std::smatch m;
                std::regex_search(body, m, std::regex("<d:sync-token>([^<]*)</d:sync-token>"));
                const std::string since = m[1];
                std::size_t from = 0;
                if (!since.empty()) {
                    if (refuseTokens || since.rfind("http://stub/sync/", 0) != 0)
                        return reply(s, tokenStatus, "<d:error xmlns:d=\"DAV:\"><d:valid-sync-token/></d:error>");
                    from = std::stoul(since.substr(17));
                }
                std::set<std::string> changed(log_.begin() + static_cast<std::ptrdiff_t>(from), log_.end());
                for (const std::string& c : changed) {
                    const auto it = items.find(c);
                    inner += it != items.end() ? member(c, it->second, false)
                                               : "<d:response><d:href>" + c + "</d:href><d:status>HTTP/1.1 404 Not Found</d:status></d:response>";
                }
                return reply(s, 207, multistatus(inner, token()));
            }
            const bool multiget = body.find("calendar-multiget") != std::string::npos;
            if (multiget) {
                static const std::regex href("<d:href>([^<]*)</d:href>");
                for (auto it = std::sregex_iterator(body.begin(), body.end(), href); it != std::sregex_iterator(); ++it) {
                    const std::string h = QUrl::fromPercentEncoding(QByteArray::fromStdString((*it)[1])).toStdString();
                    const auto i = items.find(h);
                    if (i != items.end()) inner += member(h, i->second, true);
                }
            } else {
                for (const auto& [h, item] : items) inner += member(h, item, false);
            }
            return reply(s, 207, multistatus(inner));
        }
        const auto it = items.find(path);
        const std::string ifMatch = headerValue(header, "If-Match"), ifNone = headerValue(header, "If-None-Match");
        if (method == "GET") return it == items.end() ? reply(s, 404, "") : reply(s, 200, it->second.data, "ETag: " + it->second.etag + "\r\n");
        if ((!ifMatch.empty() && (it == items.end() || it->second.etag != ifMatch)) || (ifNone == "*" && it != items.end()))
            return reply(s, 412, "");
        if (method == "PUT") {
            ++puts;
            put(path, body);
            return reply(s, it == items.end() ? 201 : 204, "", "ETag: " + items[path].etag + "\r\n");
        }
        if (method == "DELETE") {
            if (it == items.end()) return reply(s, 404, "");
            remove(path);
            return reply(s, 204, "");
        }
        reply(s, 405, "");
    }

    inline static const std::string kCalendarType =
        "<d:resourcetype><d:collection/><c:calendar/></d:resourcetype>"
        "<c:supported-calendar-component-set><c:comp name=\"VEVENT\"/></c:supported-calendar-component-set>";
    inline static const std::string kNonce = "dcd98b7102dd2f0e8b11d0f600bfb0c093";
    std::unique_ptr<QTcpServer> server_;
    std::map<QTcpSocket*, QByteArray> pending_;
    std::vector<std::string> log_;  // paths changed, in order; a token is a place in it
    int seq_ = 0;
};
