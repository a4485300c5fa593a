// Bodies a hostile peer sends, shared by the tests and the benchmark.
#pragma once

#include "EntityBomb.h"
#include "ServiceResponse.h"

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

#include <vector>

constexpr int kDeepNesting = 100000;

inline QByteArray Encoded(const QByteArray &utf8, QStringConverter::Encoding encoding, bool withBom)
{
    QStringEncoder encoder(encoding, withBom ? QStringConverter::Flag::WriteBom
                                             : QStringConverter::Flag::Default);
    return encoder.encode(QString::fromUtf8(utf8));
}

// The tests' entity bomb with only its DOCTYPE hidden from a byte scan: in
// UTF-7 "<" is "+ADw-"; in ISO-2022-JP an escape back to ASCII can sit
// inside the keyword.
inline QByteArray BombWithHiddenDoctype(const QByteArray &encoding, const QByteArray &hiddenDoctype)
{
    QByteArray bomb = ManyReferenceEntityDocument();
    bomb.replace("<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>");
    bomb.replace("<!DOCTYPE", hiddenDoctype);
    return bomb;
}

// `depth` elements inside a current weather root, closed or left open.
inline QByteArray Nested(int depth, bool closed)
{
    QByteArray body("<current>");
    body.reserve(depth * 7 + 32);
    for (int i = 0; i < depth; ++i)
        body += "<a>";
    if (closed) {
        for (int i = 0; i < depth; ++i)
            body += "</a>";
        body += "</current>";
    }
    return body;
}

inline QByteArray Repeated(const QByteArray &head, const QByteArray &piece, int count,
                           const QByteArray &tail)
{
    QByteArray body = head;
    body.reserve(head.size() + piece.size() * count + tail.size());
    for (int i = 0; i < count; ++i)
        body += piece;
    return body + tail;
}

// Which request a case is sent to.
enum class TAsk { Current, Forecast, Find };

inline const TExpectedAnswer &ExpectedAnswer(TAsk ask)
{
    return ask == TAsk::Current ? kCurrentWeatherAnswer
                                : ask == TAsk::Forecast ? kForecastAnswer : kLocationsAnswer;
}

// One hostile or broken answer and the message it must end with.
struct THostileCase {
    const char *name;
    TAsk ask;
    int status;
    QByteArray body;
    QString message;
    bool prefix = false; // the message starts with `message` (a position follows)
};

inline std::vector<THostileCase> HostileCases()
{
    const QByteArray bomb = ManyReferenceEntityDocument();
    const QString doctype = QStringLiteral("DOCTYPE declarations are not accepted (line 2, column 1)");
    const QString tooDeep = QStringLiteral("Elements nest deeper than 64 levels");
    const QByteArray htmlPage = "<html><head><title>502 Bad Gateway</title></head>"
                                "<body><h1>Bad Gateway</h1></body></html>";
    const QByteArray longLine(5000, 'z');
    const QString cutLongLine = QString(kMaxBodyMessageLength, QLatin1Char('z')) + QStringLiteral("…");
    using E = QStringConverter;
    return {
        // Entity expansion in every encoding a parser reads by itself.
        {"doctype_utf8", TAsk::Current, 200, bomb, doctype},
        {"doctype_utf16le_bom", TAsk::Current, 200, Encoded(bomb, E::Utf16LE, true), doctype},
        {"doctype_utf16be_bom", TAsk::Current, 200, Encoded(bomb, E::Utf16BE, true), doctype},
        {"doctype_utf16le", TAsk::Current, 200, Encoded(bomb, E::Utf16LE, false), doctype},
        {"doctype_utf32le_bom", TAsk::Current, 200, Encoded(bomb, E::Utf32LE, true), doctype},
        {"doctype_utf32be_bom", TAsk::Current, 200, Encoded(bomb, E::Utf32BE, true), doctype},
        {"doctype_utf32be", TAsk::Forecast, 200, Encoded(bomb, E::Utf32BE, false), doctype},
        {"doctype_utf7", TAsk::Current, 200, BombWithHiddenDoctype("UTF-7", "+ADw-!DOCTYPE"), doctype},
        {"doctype_iso2022jp", TAsk::Find, 200,
         BombWithHiddenDoctype("ISO-2022-JP", "<!DOC\x1B(BTYPE"), doctype},
        // Nesting that would keep the document object model busy for minutes.
        {"nested_unclosed", TAsk::Current, 200, Nested(kDeepNesting, false), tooDeep, true},
        {"nested_closed", TAsk::Forecast, 200, Nested(kDeepNesting, true), tooDeep, true},
        // Shapes that grow the document object model far beyond the body.
        {"many_attributes", TAsk::Current, 200,
         Repeated("<current><a", " b=\"\"", 200000, "/></current>"),
         QStringLiteral("An element has more than 64 attributes (line 1, column 10)")},
        {"many_elements", TAsk::Current, 200, Repeated("<current>", "<a b=\"1\"/>", 300000, "</current>"),
         QStringLiteral("The document has more than 20000 nodes"), true},
        {"unknown_encoding", TAsk::Current, 200,
         "<?xml version=\"1.0\" encoding=\"x-martian\"?><current/>",
         QStringLiteral("Encoding 'x-martian' is not supported (line 1, column 31)")},
        {"invalid_utf8", TAsk::Current, 200, "<current>\n <city name=\"\xFF\"/></current>",
         QStringLiteral("Encountered incorrectly encoded content (line 2, column 14)")},
        // Pages that are no answer to the request.
        {"html_502", TAsk::Current, 502, htmlPage, QStringLiteral("The service answered HTTP 502")},
        {"html_200", TAsk::Current, 200, htmlPage, QStringLiteral("Bad format")},
        {"foreign_root", TAsk::Current, 200, "<weatherdata><forecast/></weatherdata>",
         QStringLiteral("Bad format")},
        {"foreign_root_search", TAsk::Find, 200, "<current><list/></current>", QStringLiteral("Bad format")},
        {"weather_document_with_503", TAsk::Forecast, 503, "<weatherdata/>",
         QStringLiteral("The service answered HTTP 503")},
        // The service's own error answers keep their texts, whatever the status.
        {"invalid_key_401", TAsk::Current, 401,
         R"({"cod":401, "message": "Invalid API key. Please see https://example.org/faq#error401 for more info."})",
         QStringLiteral("Invalid API key")},
        {"city_not_found_404", TAsk::Forecast, 404, R"({"cod":"404","message":"city not found"})",
         QStringLiteral("city not found")},
        {"message_not_last", TAsk::Current, 404, R"({"message":"city not found","cod":"404"})",
         QStringLiteral("city not found")},
        // Messages taken from bodies are one short line.
        {"json_without_message", TAsk::Current, 500, "{\"detail\":\"" + longLine + "\"}",
         QStringLiteral("{\"detail\":\"") + QString(kMaxBodyMessageLength - 11, QLatin1Char('z'))
             + QStringLiteral("…")},
        {"failed_long_line", TAsk::Current, 200, "Request failed: " + longLine,
         QStringLiteral("Request failed: ") + QString(kMaxBodyMessageLength - 16, QLatin1Char('z'))
             + QStringLiteral("…")},
        {"failed_many_lines", TAsk::Find, 200, "\r\n Request failed\r\nat line two\n",
         QStringLiteral("Request failed…")},
        {"forecast_error_body", TAsk::Forecast, 200, "<weatherdata>Error: " + longLine,
         QStringLiteral("<weatherdata>Error: ") + QString(kMaxBodyMessageLength - 20, QLatin1Char('z'))
             + QStringLiteral("…")},
        {"long_json_message", TAsk::Current, 400, "{\"message\":\"" + longLine + "\"}", cutLongLine},
        // An empty message still shows that the service refused.
        {"empty_json_message", TAsk::Current, 401, R"({"cod":401,"message":""})",
         QStringLiteral(R"({"cod":401,"message":""})")},
        {"json_cut_after_message", TAsk::Current, 401, R"({"cod":401,"message":)",
         QStringLiteral(R"({"cod":401,"message":)")},
        {"empty_body_404", TAsk::Current, 404, QByteArray(), QStringLiteral("No data received")},
    };
}
