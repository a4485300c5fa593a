#include "EntityBomb.h"
#include "LocationParameter.h"
#include "ServiceResponse.h"
#include "TrimText.h"

#include <gtest/gtest.h>

#include <QDomDocument>

namespace {

struct CheckCase {
    const char *name;
    QByteArray body;
    bool checkError;
    bool ok;
    // Exact message, or, when `parserMessage` is set, a parser message that
    // must carry line and column.
    QString message;
    bool parserMessage = false;
};

std::ostream &operator<<(std::ostream &out, const CheckCase &c)
{
    return out << c.name;
}

class ResponseChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(ResponseChecks, JudgesBodyInOrder)
{
    const CheckCase &c = GetParam();
    TRequestRecord request;
    request.Failure.Message = QStringLiteral("left over");
    QDomDocument document;
    const bool ok = CheckServiceResponse(c.body, 0, c.checkError ? kForecastAnswer : kCurrentWeatherAnswer,
                                         request, document);
    EXPECT_EQ(ok, c.ok);
    if (c.parserMessage) {
        EXPECT_TRUE(request.Failure.Message.contains(QLatin1String("line"))) << request.Failure.Message.toStdString();
        EXPECT_TRUE(request.Failure.Message.contains(QLatin1String("column"))) << request.Failure.Message.toStdString();
    } else if (!c.ok) {
        EXPECT_EQ(request.Failure.Message.toStdString(), c.message.toStdString());
    }
    if (c.ok) {
        EXPECT_FALSE(document.documentElement().isNull());
    }
}

const QByteArray kHtmlServerError =
    "<html>\r\n<head><title>500 Internal Server Error</title></head>\r\n"
    "<body><h1>Internal Server Error</h1><br></body></html>\r\n";

INSTANTIATE_TEST_SUITE_P(
    Bodies, ResponseChecks,
    ::testing::Values(
        CheckCase{"empty", QByteArray(), false, false, QStringLiteral("No data received")},
        CheckCase{"invalid_key_in_json",
                  R"({"cod":401, "message": "Invalid API key. Please see the FAQ for more info."})",
                  false, false, QStringLiteral("Invalid API key")},
        CheckCase{"invalid_key_anywhere", "<current>Invalid API key</current>", false, false,
                  QStringLiteral("Invalid API key")},
        CheckCase{"json_message_no_blank", R"({"cod":"404","message":"city not found"})", false,
                  false, QStringLiteral("city not found")},
        CheckCase{"json_message_blank_and_newline", "{\"cod\":\"404\",\"message\": \"city not found\"}\r\n",
                  false, false, QStringLiteral("city not found")},
        CheckCase{"json_without_message", " {\"cod\":\"500\"} \n", false, false, QString(), true},
        CheckCase{"json_without_message_trimmed", "{\"cod\":\"500\"} \n", false, false,
                  QStringLiteral("{\"cod\":\"500\"}")},
        CheckCase{"blank_before_brace_goes_to_xml", R"( {"cod":"404","message":"city not found"})",
                  false, false, QString(), true},
        CheckCase{"failed_anywhere", "\n  Request failed: upstream timeout \n", false, false,
                  QStringLiteral("Request failed: upstream timeout")},
        CheckCase{"error_checked_for_forecast", "<weatherdata><x>Error</x></weatherdata>\n", true,
                  false, QStringLiteral("<weatherdata><x>Error</x></weatherdata>")},
        CheckCase{"error_ignored_for_current", "<current><x>Error</x></current>", false,
                  true, QString()},
        CheckCase{"html_error_page", kHtmlServerError, false, false, QString(), true},
        CheckCase{"malformed_xml", "<current><city></current>", false, false, QString(), true},
        CheckCase{"no_root_element", "<?xml version=\"1.0\"?>\n<!-- nothing -->", false, false,
                  QString(), true},
        CheckCase{"root_without_children", "<current/>", false, true, QString()},
        CheckCase{"check_text_stops_at_zero_byte", QByteArray("<current/>\0Invalid API key", 26),
                  false, false, QString(), true}),
    [](const ::testing::TestParamInfo<CheckCase> &param) { return std::string(param.param.name); });

TEST(ResponseChecks, DoctypeIsRefusedBeforeParsing)
{
    TRequestRecord request;
    QDomDocument document;
    EXPECT_FALSE(CheckServiceResponse(ManyReferenceEntityDocument(), 0, kCurrentWeatherAnswer, request,
                                      document));
    EXPECT_EQ(request.Failure.Message.toStdString(),
              "DOCTYPE declarations are not accepted (line 2, column 1)");
    EXPECT_TRUE(document.documentElement().isNull());
}

TEST(ResponseChecks, DoctypeInUtf16IsRefusedToo)
{
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
                                        "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>");
    QByteArray body("\xFF\xFE", 2);
    body.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    QDomDocument document;
    QString message;
    EXPECT_FALSE(LoadXmlDocument(body, document, message));
    EXPECT_TRUE(message.startsWith(QLatin1String("DOCTYPE"))) << message.toStdString();
}

TEST(ExtractJsonMessage, TakesTheMessageMember)
{
    struct {
        const char *text;
        const char *expected;
    } const cases[] = {
        {R"({"cod":"404","message":"city not found"})", "city not found"},
        {R"({"cod":"404","message": "city not found"})", "city not found"},
        {R"({"cod":"400","message":"Nothing to geocode"})", "Nothing to geocode"},
        {R"({"cod":"500"})", R"({"cod":"500"})"},
        {R"({"message":})", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ExtractJsonMessage(QString::fromUtf8(c.text)).toStdString(), c.expected) << c.text;
}

TEST(ExtractJsonMessage, ScanOfBrokenJsonTakesAtMost1024Characters)
{
    const QString longMessage(3000, QLatin1Char('x'));
    const QString text = QStringLiteral("{\"message\":\"") + longMessage + QStringLiteral("\"");
    // 1024 characters are taken; the last of them is dropped as if it were the brace.
    EXPECT_EQ(ExtractJsonMessage(text), QString(1023, QLatin1Char('x')));
}

// The scan of a broken body never starts or ends its message with half a pair.
TEST(ExtractJsonMessage, ScanNeverCutsASurrogatePair)
{
    EXPECT_EQ(ExtractJsonMessage(QStringLiteral("{\"message\":\U0001F600abc}")), QStringLiteral("abc"));
    const QString text = QStringLiteral("{\"message\":\"") + QString(1022, QLatin1Char('x'))
                         + QStringLiteral("\U0001F600\U0001F600\"");
    const QString message = ExtractJsonMessage(text);
    EXPECT_FALSE(message.isEmpty());
    for (const QChar c : message)
        EXPECT_FALSE(c.isSurrogate());
}

// A place name with line breaks would add lines to the cache index and draw
// over the panel: no text of an answer keeps a control character.
TEST(LoadXmlDocument, AnswersLoseTheirControlCharacters)
{
    const QByteArray body("<current><city name=\"Prague&#10;[Service]&#13;&#x7F;x\"><country>C&#9;Z</country></city>"
                          "<weather value=\"clear&#x85;sky\"/></current>");
    QDomDocument document;
    QString message;
    ASSERT_TRUE(LoadXmlDocument(body, document, message)) << message.toStdString();
    const QDomElement city = document.documentElement().firstChildElement(QStringLiteral("city"));
    EXPECT_EQ(city.attribute(QStringLiteral("name")), QStringLiteral("Prague [Service] x"));
    EXPECT_EQ(city.firstChildElement(QStringLiteral("country")).text(), QStringLiteral("C Z"));
    EXPECT_EQ(document.documentElement().firstChildElement(QStringLiteral("weather")).attribute(QStringLiteral("value")),
              QStringLiteral("clearsky"));
}

TEST(TrimText, CutsKeepPairsWholeAndControlsGoFromServiceTexts)
{
    const QString pair = QStringLiteral("\U0001F600");
    const QString text = QStringLiteral("a") + pair + QStringLiteral("b");
    const struct {
        qsizetype From, Length;
        QString Expected;
    } cuts[] = {
        {0, 4, text}, {1, 2, pair}, {2, 2, QStringLiteral("b")}, {0, 2, QStringLiteral("a")},
        {0, -1, text}, {5, 3, QString()},
    };
    for (const auto &c : cuts)
        EXPECT_EQ(MidWholeCharacters(text, c.From, c.Length), c.Expected) << c.From << "," << c.Length;

    EXPECT_EQ(WithoutControlCharacters(QStringLiteral("Prague\n[Service]\r\n\tx\x01\x7F\u0085y\u2028z")),
              QStringLiteral("Prague [Service]   xy z"));
}

TEST(LocationParameter, ChoosesIdOrEncodedName)
{
    struct {
        std::int64_t id;
        const char *name;
        const char *expected;
    } const cases[] = {
        {0, "Prague", "id=0"},
        {3067696, "", "id=3067696"},
        {-1, " New York ", "q=New+York"},
        {-1, "\tPrague,CZ\r\n", "q=Prague%2CCZ"},
        {-1, "Plzeň", "q=Plze%C5%88"},
        {-1, "São Paulo", "q=S%C3%A3o+Paulo"},
        {-1, "a!$'()*-.@_Z09", "q=a!$'()*-.@_Z09"},
        {-1, "a&b=c/d?e#f%g+h", "q=a%26b%3Dc%2Fd%3Fe%23f%25g%2Bh"},
        {-1, "東京", "q=%E6%9D%B1%E4%BA%AC"},
        {-1, "", "q="},
    };
    for (const auto &c : cases) {
        TRequestRecord request;
        request.LocationID = c.id;
        request.LocationName = QString::fromUtf8(c.name);
        EXPECT_EQ(BuildLocationParameter(request).toStdString(), c.expected) << c.name;
    }
}

} // namespace
