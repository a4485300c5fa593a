// The preferences dialog's choice of weather service: what applies to which
// service, the place kept across a switch, the search of the chosen service,
// and the credit Open-Meteo's terms ask for.
#include "EditPreferences.h"
#include "LangConsts.h"
#include "LocationSelector.h"
#include "PrefsTestSupport.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>
#include <mutex>

namespace {

// A search that answers at once with one place and notes what it was asked.
struct TAskedSearch {
    struct TState {
        std::mutex Mutex;
        QList<TRequestRecord> Asked;
    };
    std::shared_ptr<TState> State = std::make_shared<TState>();
    TCity Answer;

    TLocationSearch Search() const
    {
        return [state = State, answer = Answer](TRequestRecord &request, TCities &cities, const TCancelFlag &) {
            std::lock_guard<std::mutex> lock(state->Mutex);
            state->Asked.append(request);
            cities = {answer};
            return true;
        };
    }
    QList<TRequestRecord> Asked() const
    {
        std::lock_guard<std::mutex> lock(State->Mutex);
        return State->Asked;
    }
};

TCity Springfield()
{
    TCity city;
    city.ID = 4250542; // an id of Open-Meteo's search, no OpenWeatherMap city id
    city.Name = QStringLiteral("Springfield");
    city.Country = QStringLiteral("US");
    city.CountryName = QStringLiteral("United States");
    city.Region = QStringLiteral("Illinois");
    city.Lat = 39.80172;
    city.Lon = -89.64371;
    return city;
}

class PrefsServiceTest : public ::testing::Test
{
protected:
    std::unique_ptr<Tdlg_nb_Prefs> Open(const TLocationSearch &search = TLocationSearch())
    {
        auto dialog = std::make_unique<Tdlg_nb_Prefs>(search);
        dialog->SetOpenUrl([this](const QUrl &url) { opened.append(url); });
        dialog->LoadValues(settings.Values, false);
        dialog->show();
        return dialog;
    }

    static void Choose(Tdlg_nb_Prefs &dialog, TWeatherService service)
    {
        dialog.FServiceCombo->setCurrentIndex(dialog.FServiceCombo->findData(static_cast<uint>(service)));
        ASSERT_EQ(dialog.Service(), service);
    }

    TAppSettings Stored(const Tdlg_nb_Prefs &dialog)
    {
        bool onTop = false;
        dialog.StoreValues(settings.Values, onTop);
        return ReadSettings(settings.Values);
    }

    TSettingsValues settings;
    QList<QUrl> opened;
};

} // namespace

TEST_F(PrefsServiceTest, TheKeyFieldsAndTheDayLimitFollowTheChosenService)
{
    const auto dialog = Open();
    ASSERT_EQ(dialog->FServiceCombo->count(), 2);
    EXPECT_EQ(dialog->FServiceCombo->itemText(0), QStringLiteral("OpenWeatherMap (API key)"));
    EXPECT_EQ(dialog->FServiceCombo->itemText(1), QStringLiteral("Open-Meteo (no key)"));
    EXPECT_EQ(dialog->Service(), wsOwm); // a file without WS keeps OpenWeatherMap

    struct Step {
        TWeatherService service;
        bool paid;
        bool keyFields;
        bool allDays;
    };
    const Step steps[] = {
        {wsOwm, false, true, false},
        {wsOpenMeteo, false, false, true},
        {wsOpenMeteo, true, false, true},
        {wsOwm, true, true, true},
        {wsOwm, false, true, false},
    };
    for (const Step &step : steps) {
        Choose(*dialog, step.service);
        dialog->FPaidCheck->setChecked(step.paid);
        const std::string what = std::to_string(step.service) + (step.paid ? " paid" : " free");
        for (QWidget *widget : std::initializer_list<QWidget *>{dialog->FKeyEdit, dialog->FShowKeyButton,
                                                                 dialog->FGetKeyButton, dialog->FPaidCheck})
            EXPECT_EQ(widget->isEnabled(), step.keyFields) << what << " " << widget->objectName().toStdString();
        EXPECT_EQ(dialog->FDaysSpin->isEnabled(), step.allDays) << what;
        if (step.allDays) {
            dialog->FDaysSpin->setValue(16);
            EXPECT_EQ(dialog->FDaysSpin->value(), 16) << what;
        } else {
            EXPECT_EQ(dialog->FDaysSpin->value(), Tdlg_nb_Prefs::kFreeKeyDays) << what;
        }
    }
}

TEST_F(PrefsServiceTest, TheChoiceIsStoredAndReadBackWithOpenMeteosDaysAndTheKeyKept)
{
    settings.Set(kApiKeyName, QStringLiteral("kept-key"));
    {
        const auto dialog = Open();
        Choose(*dialog, wsOpenMeteo);
        dialog->FDaysSpin->setValue(12);
        const TAppSettings stored = Stored(*dialog);
        EXPECT_EQ(settings.Get(kServiceName).toString(), QStringLiteral("openmeteo"));
        EXPECT_EQ(stored.Service, wsOpenMeteo);
        EXPECT_EQ(stored.ForecastDays, 12);
        EXPECT_EQ(stored.ApiKey, QStringLiteral("kept-key")); // for a switch back
    }
    const auto reopened = Open();
    EXPECT_EQ(reopened->Service(), wsOpenMeteo);
    EXPECT_EQ(reopened->FDaysSpin->value(), 12);
    EXPECT_FALSE(reopened->FKeyEdit->isEnabled());
    Choose(*reopened, wsOwm);
    EXPECT_EQ(Stored(*reopened).Service, wsOwm);
    EXPECT_EQ(settings.Get(kServiceName).toString(), QStringLiteral("owm"));
}

TEST_F(PrefsServiceTest, SwitchingServicesKeepsThePlaceAndATypedPlaceLosesItsCoordinates)
{
    settings.Set(kLocationName, QStringLiteral("Prague, CZ"));
    settings.Set(kLocationIdName, 3067696);
    StoreCoordinates(settings.Values, 50.0880, 14.4208);
    {
        const auto dialog = Open();
        Choose(*dialog, wsOpenMeteo);
        const TAppSettings stored = Stored(*dialog);
        EXPECT_EQ(stored.Location, QStringLiteral("Prague, CZ"));
        EXPECT_EQ(stored.LocationId, 3067696);
        ASSERT_TRUE(stored.HasCoordinates);
        EXPECT_NEAR(stored.Latitude, 50.0880, 1e-4);
        // The refresh then asks for these coordinates, with no place search.
        EXPECT_TRUE(BuildRequest(stored).HasCoordinates);
    }
    const auto dialog = Open();
    TypeLocation(*dialog, QStringLiteral("Brno, CZ"));
    const TAppSettings typed = Stored(*dialog);
    EXPECT_EQ(typed.Location, QStringLiteral("Brno, CZ"));
    EXPECT_EQ(typed.LocationId, kNoLocationId);
    EXPECT_FALSE(typed.HasCoordinates); // located by its name at the next refresh
}

TEST_F(PrefsServiceTest, TheSearchAsksTheChosenServiceAndAPickedPlaceKeepsWhereItIs)
{
    TAskedSearch search;
    search.Answer = Springfield();
    const auto dialog = Open(search.Search());
    Choose(*dialog, wsOpenMeteo);
    TypeLocation(*dialog, QStringLiteral("Springfield"));
    ASSERT_TRUE(dialog->Search());
    ASSERT_TRUE(Eventually([&] { return dialog->Selector() && dialog->Selector()->isVisible(); }));
    ASSERT_EQ(search.Asked().size(), 1);
    EXPECT_EQ(search.Asked().at(0).Service, wsOpenMeteo);
    EXPECT_FALSE(search.Asked().at(0).Lang.isEmpty());

    // The list names the region and the country for this service's places.
    QTreeWidget *list = dialog->Selector()->LocList();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Springfield, Illinois"));
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("United States (US)"));
    EXPECT_TRUE(list->topLevelItem(0)->text(4).isEmpty()); // no sun times from this search
    list->setCurrentItem(list->topLevelItem(0));
    QTest::mouseClick(dialog->Selector()->OkButton(), Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return dialog->Selector() == nullptr; }));

    settings.Set(kLocationIdName, 2643743); // an OpenWeatherMap id of the old place
    const TAppSettings stored = Stored(*dialog);
    EXPECT_EQ(stored.Location, QStringLiteral("Springfield, US"));
    // The search's id is no OpenWeatherMap id: that service asks by name.
    EXPECT_EQ(stored.LocationId, kNoLocationId);
    ASSERT_TRUE(stored.HasCoordinates);
    EXPECT_NEAR(stored.Latitude, 39.80172, 1e-4);
    EXPECT_NEAR(stored.Longitude, -89.64371, 1e-4);

    // OpenWeatherMap's search is asked as before, its id kept.
    Choose(*dialog, wsOwm);
    TypeLocation(*dialog, QStringLiteral("Springfield"));
    ASSERT_TRUE(dialog->Search());
    ASSERT_TRUE(Eventually([&] { return dialog->Selector() && dialog->Selector()->isVisible(); }));
    EXPECT_EQ(search.Asked().at(1).Service, wsOwm);
    dialog->Selector()->LocList()->setCurrentItem(dialog->Selector()->LocList()->topLevelItem(0));
    QTest::mouseClick(dialog->Selector()->OkButton(), Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return dialog->Selector() == nullptr; }));
    EXPECT_EQ(Stored(*dialog).LocationId, 4250542);
}

// A place picked from an answer without coordinates does not keep the last
// place's: they would bring that place's weather under the new name.
TEST_F(PrefsServiceTest, APlacePickedWithoutCoordinatesDropsTheLastPlaces)
{
    settings.Set(kLocationName, QStringLiteral("Prague, CZ"));
    StoreCoordinates(settings.Values, 50.0880, 14.4208);
    TAskedSearch search;
    search.Answer = Springfield();
    search.Answer.Lat = 0;
    search.Answer.Lon = 0;
    const auto dialog = Open(search.Search());
    Choose(*dialog, wsOpenMeteo);
    TypeLocation(*dialog, QStringLiteral("Springfield"));
    ASSERT_TRUE(dialog->Search());
    ASSERT_TRUE(Eventually([&] { return dialog->Selector() && dialog->Selector()->isVisible(); }));
    dialog->Selector()->LocList()->setCurrentItem(dialog->Selector()->LocList()->topLevelItem(0));
    QTest::mouseClick(dialog->Selector()->OkButton(), Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return dialog->Selector() == nullptr; }));
    const TAppSettings stored = Stored(*dialog);
    EXPECT_EQ(stored.Location, QStringLiteral("Springfield, US"));
    EXPECT_FALSE(stored.HasCoordinates);
}

TEST_F(PrefsServiceTest, OpenMeteoIsCreditedWithALinkAndTheLogoShowsTheServiceInUse)
{
    const auto dialog = Open();
    auto *logo = dialog->findChild<QLabel *>(QStringLiteral("iService"));
    ASSERT_NE(logo, nullptr);
    EXPECT_TRUE(dialog->AttributionText().isEmpty());
    EXPECT_EQ(logo->accessibleName(), QStringLiteral("OpenWeatherMap"));
    const QImage owmLogo = logo->pixmap().toImage();

    Choose(*dialog, wsOpenMeteo);
    EXPECT_EQ(dialog->AttributionText(), lc_OpenMeteoAttribution);
    EXPECT_EQ(logo->accessibleName(), QStringLiteral("Open-Meteo"));
    EXPECT_NE(logo->pixmap().toImage(), owmLogo);
    auto *credit = dialog->findChild<QLabel *>(QStringLiteral("lAttribution"));
    ASSERT_NE(credit, nullptr);
    EXPECT_TRUE(credit->isVisible());
    QTest::mouseClick(credit, Qt::LeftButton);
    QTest::mouseClick(logo, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened.at(0), QUrl(QStringLiteral("https://open-meteo.com/")));
    EXPECT_EQ(opened.at(1), QUrl(QStringLiteral("https://open-meteo.com/")));

    Choose(*dialog, wsOwm);
    EXPECT_TRUE(dialog->AttributionText().isEmpty());
    QTest::mouseClick(credit, Qt::LeftButton); // nothing to open
    EXPECT_EQ(opened.size(), 2);
}

TEST(PrefsServiceKey, OnlyOpenWeatherMapWantsAKey)
{
    const struct {
        const char *service;
        const char *key;
        bool missing;
    } cases[] = {
        {"owm", "", true}, {"owm", "abc", false}, {"openmeteo", "", false}, {"", " ", true},
    };
    for (const auto &c : cases) {
        TSettingsValues settings;
        settings.Set(kServiceName, QString::fromLatin1(c.service));
        settings.Set(kApiKeyName, QString::fromLatin1(c.key));
        EXPECT_EQ(ApiKeyMissing(settings.Values), c.missing) << c.service << "/" << c.key;
    }
}
