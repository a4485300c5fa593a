#include "test_client_support.h"

#include "Fixture.h"
#include "LocationSearch.h"
#include "ServiceResponse.h"
#include "XmlValues.h"
#include "Zelto_OWM.h"

#include <gtest/gtest.h>

#include <QDomDocument>

namespace {

class LocationsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(peer.Started());
        request.Key = QStringLiteral("k");
        request.LocationName = QStringLiteral("London");
        request.Lang = QStringLiteral("en");
    }

    bool Find(TCities &cities)
    {
        const TOwmClient client(peer.BaseUrl(), peer.BaseUrl());
        return client.FindLocations(request, cities);
    }

    // Two cities the search had found before.
    static TCities Earlier()
    {
        TCities earlier(2);
        earlier[0].ID = 1;
        earlier[0].Name = QStringLiteral("Earlier");
        earlier[1].ID = 2;
        return earlier;
    }

    ServedBody peer;
    TRequestRecord request;
};

struct QueryCase {
    const char *name;
    const char *locationName;
    std::int64_t locationId;
    const char *lang;
    const char *target;
};

class LocationsQueryTest : public LocationsTest, public ::testing::WithParamInterface<QueryCase>
{
};

TEST_P(LocationsQueryTest, SearchesByTheTrimmedEncodedName)
{
    const QueryCase &c = GetParam();
    peer.Serve("<cities><list/></cities>");
    request.LocationName = QString::fromUtf8(c.locationName);
    request.LocationID = c.locationId;
    request.Lang = QString::fromLatin1(c.lang);
    TCities cities;
    ASSERT_TRUE(Find(cities));
    EXPECT_EQ(peer.LastTarget(), QString::fromLatin1(c.target));
}

INSTANTIATE_TEST_SUITE_P(
    Locations, LocationsQueryTest,
    ::testing::Values(
        QueryCase{"SpaceInside", " New York\t", 5128581, "en",
                  "/data/2.5/find?APPID=k&q=New+York&type=like&mode=xml&lang=en"},
        QueryCase{"EmptyLang", "Prague,CZ", -1, "",
                  "/data/2.5/find?APPID=k&q=Prague%2CCZ&type=like&mode=xml&lang="},
        QueryCase{"OutsideAscii", "Zürich", 0, "de",
                  "/data/2.5/find?APPID=k&q=Z%C3%BCrich&type=like&mode=xml&lang=de"}),
    [](const ::testing::TestParamInfo<QueryCase> &param) { return param.param.name; });

struct OutcomeCase {
    const char *name;
    const char *body;
    bool ok;
    const char *message;
    int cities; // -1: the earlier cities are kept
};

class LocationsOutcomeTest : public LocationsTest, public ::testing::WithParamInterface<OutcomeCase>
{
};

TEST_P(LocationsOutcomeTest, KeepsTheCitiesUnlessACityListCame)
{
    const OutcomeCase &c = GetParam();
    peer.Serve(c.body);
    request.Failure.Message = QStringLiteral("left from before");
    TCities cities = Earlier();
    EXPECT_EQ(Find(cities), c.ok);
    EXPECT_EQ(request.Failure.Message, QString::fromLatin1(c.message));
    if (c.cities < 0) {
        ASSERT_EQ(cities.size(), 2);
        EXPECT_EQ(cities[0].Name, QStringLiteral("Earlier"));
    } else {
        EXPECT_EQ(cities.size(), c.cities);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Locations, LocationsOutcomeTest,
    ::testing::Values(
        OutcomeCase{"EmptyList", "<cities><count>0</count><list/></cities>", true, "", 0},
        OutcomeCase{"NoList", "<cities><count>0</count></cities>", false, "Bad format", -1},
        // Only the forecast treats "Error" in a body as a failure.
        OutcomeCase{"ErrorInsideDocument", "<cities><list><Error/></list></cities>", true, "", 0},
        OutcomeCase{"InvalidKey",
                    "{\"cod\":401, \"message\": \"Invalid API key. Please see the FAQ for more info.\"}",
                    false, "Invalid API key", -1},
        OutcomeCase{"NothingReceived", "", false, "No data received", -1}),
    [](const ::testing::TestParamInfo<OutcomeCase> &param) { return param.param.name; });

TEST(LocationsParser, MalformedCityIdStopsTheSearchWithTheCitiesBeforeIt)
{
    QDomDocument document;
    QString error;
    ASSERT_TRUE(LoadXmlDocument(ReadFixture(QStringLiteral("find_bad_id.xml")), document, error));
    TCities cities(2);
    EXPECT_THROW(ParseLocations(document.documentElement(), cities), EConvertError);
    ASSERT_EQ(cities.size(), 1);
    EXPECT_EQ(cities[0].ID, 2643743);
}

TEST_F(LocationsTest, MalformedCityIdLeavesTheClientWithoutMessage)
{
    peer.ServeFile(QStringLiteral("find_bad_id.xml"));
    request.Failure.Message = QStringLiteral("left from before");
    TCities cities = Earlier();
    EXPECT_THROW(Find(cities), EConvertError);
    EXPECT_TRUE(request.Failure.Message.isEmpty());
}

} // namespace
