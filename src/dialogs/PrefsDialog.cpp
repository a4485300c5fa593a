#include "PrefsDialog.h"

#include "AppSettings.h"
#include "LangConsts.h"
#include "LangController.h"
#include "LanguageChoice.h"
#include "LangMan.h"
#include "LayoutManagerValues.h"
#include "LinkLabel.h"
#include "LocationSelector.h"
#include "Mnemonic.h"
#include "OmniBar.h"
#include "ProgramVersion.h"
#include "PlaceCoordinates.h"
#include "RefreshMinutesBox.h"
#include "ServiceAttribution.h"
#include "ThemeController.h"
#include "Zelto_OWM.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

constexpr int kClientWidth = 499;
constexpr int kClientHeight = 448;
constexpr int kHeaderHeight = 49;
constexpr int kLogoBandHeight = 63;
constexpr int kBarHeight = 41;
constexpr int kIconSize = 32;
constexpr int kTitlePoints = 12;
constexpr int kLogoHeight = 36;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kMargin = 13;
constexpr int kLocationWidth = 350;
constexpr int kKeyWidth = 343;
constexpr char kApiKeyPage[] = "/appid#get";
const QColor kTitleColor(255, 255, 255);
const QColor kRightsColor(192, 192, 192);
const QColor kLocationMessageColor(176, 32, 32);

QString StripColon(QString text)
{
    text = text.trimmed();
    if (text.endsWith(u':'))
        text.chop(1);
    return text.trimmed();
}

} // namespace

Tdlg_nb_Prefs::Tdlg_nb_Prefs(TLocationSearch search, QWidget *parent)
    : QDialog(parent)
    , FSearch(std::move(search))
    , FServiceWebBase(QString::fromLatin1(kDefaultWebBase))
{
    setObjectName(QStringLiteral("dlg_nb_Prefs"));
    setWindowTitle(QStringLiteral("Preferences"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    FTheme = new TThemeController(this);
    BuildHeader();
    BuildBody();
    BuildFooter();
    SetTabOrder();

    FWatcher = new QFutureWatcher<TLookupResult>(this);
    connect(FWatcher, &QFutureWatcher<TLookupResult>::finished, this, &Tdlg_nb_Prefs::SearchDone);

    FLangCtrl = new TLangController(this);
    FLangCtrl->OnLanguageChanged = [this](TLangController *) { LanguageChanged(); };
    FillLanguages();
    LanguageChanged();
    FTheme->Loaded();
    FLangCtrl->Loaded();

    // A fixed frame, large enough for the texts of any language.
    const QSize hint = sizeHint();
    setFixedSize(std::max(hint.width(), kClientWidth), std::max(hint.height(), kClientHeight));
    FLocationEdit->setFocus();
}

Tdlg_nb_Prefs::~Tdlg_nb_Prefs()
{
    CancelSearch();
}

void Tdlg_nb_Prefs::BuildHeader()
{
    FHeader = new TOmniBar(this);
    FHeader->setObjectName(QStringLiteral("pHeader"));
    FHeader->SetMoveMode(mmNone);
    FHeader->SetThemeController(FTheme);
    FHeader->setFixedHeight(kHeaderHeight);

    const TVersionRecord &version = ProgramVersion();
    FIcon = new TLinkLabel(FHeader);
    FIcon->setObjectName(QStringLiteral("iApp"));
    FIcon->setFocusPolicy(Qt::NoFocus);
    // The main window's picture (it falls back to the application's).
    const QIcon appIcon = parentWidget() ? parentWidget()->window()->windowIcon() : QApplication::windowIcon();
    FIcon->setPixmap(appIcon.isNull() ? ProgramPicture(kIconSize) : appIcon.pixmap(kIconSize, kIconSize));
    FIcon->setFixedSize(kIconSize, kIconSize);

    FTitle = new TLinkLabel(FHeader);
    FTitle->setObjectName(QStringLiteral("lTitle"));
    FTitle->setText(QStringLiteral("%1 %2 %3").arg(version.CompanyName, version.ProductName, version.FileVersion));
    QFont titleFont = FTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSize(kTitlePoints);
    FTitle->setFont(titleFont);
    QPalette titlePalette = FTitle->palette();
    titlePalette.setColor(QPalette::WindowText, kTitleColor);
    FTitle->setPalette(titlePalette);

    FRights = new TLinkLabel(FHeader);
    FRights->setObjectName(QStringLiteral("lRights"));
    FRights->setFocusPolicy(Qt::NoFocus);
    FRights->setText(version.LegalCopyright);
    QPalette rightsPalette = FRights->palette();
    rightsPalette.setColor(QPalette::WindowText, kRightsColor);
    FRights->setPalette(rightsPalette);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(0);
    texts->addWidget(FTitle);
    texts->addWidget(FRights);
    auto *layout = new QHBoxLayout(FHeader);
    layout->setContentsMargins(7, 6, 7, 4);
    layout->setSpacing(11);
    layout->addWidget(FIcon, 0, Qt::AlignTop);
    layout->addLayout(texts, 1);

    const QUrl maker(QString::fromLatin1(kMakerWebSite));
    for (TLinkLabel *link : {FIcon, FTitle, FRights})
        connect(link, &TLinkLabel::Clicked, this, [this, maker] { OpenUrl(maker); });
}

void Tdlg_nb_Prefs::BuildBody()
{
    FLocationLabel = new QLabel(QStringLiteral("&Location:"), this);
    FLocationLabel->setObjectName(QStringLiteral("lLoc"));
    FLocationEdit = new QLineEdit(this);
    FLocationEdit->setObjectName(QStringLiteral("eLoc"));
    FLocationEdit->setPlaceholderText(QStringLiteral("Enter city name"));
    FLocationEdit->setToolTip(QStringLiteral("Enter city name"));
    FLocationEdit->setMinimumWidth(kLocationWidth);
    FLocationEdit->installEventFilter(this);
    FLocStateAction = FLocationEdit->addAction(LocationStateIcon(lsNotSearched), QLineEdit::LeadingPosition);
    FLocStateAction->setObjectName(QStringLiteral("bLocState"));
    connect(FLocStateAction, &QAction::triggered, this, [this] { Search(); });
    connect(FLocationEdit, &QLineEdit::textEdited, this, &Tdlg_nb_Prefs::LocationEdited);
    FLocationLabel->setBuddy(FLocationEdit);

    FSearchButton = new QPushButton(QStringLiteral("&Search"), this);
    FSearchButton->setObjectName(QStringLiteral("bSearch"));
    connect(FSearchButton, &QPushButton::clicked, this, [this] { Search(); });

    FLocationMessageLabel = new QLabel(this);
    FLocationMessageLabel->setObjectName(QStringLiteral("lLocMessage"));
    FLocationMessageLabel->setWordWrap(true);
    QPalette messagePalette = FLocationMessageLabel->palette();
    messagePalette.setColor(QPalette::WindowText, kLocationMessageColor);
    FLocationMessageLabel->setPalette(messagePalette);
    FBusy = new QProgressBar(this);
    FBusy->setObjectName(QStringLiteral("pbSearch"));
    FBusy->setRange(0, 0);
    FBusy->setTextVisible(false);
    FBusy->setMaximumHeight(FLocationMessageLabel->sizeHint().height());
    FBusy->hide();

    FUnitsGroup = new QGroupBox(QStringLiteral(" &Units "), this);
    FUnitsGroup->setObjectName(QStringLiteral("rgU"));
    FMetricRadio = new QRadioButton(QStringLiteral("&Metric"), FUnitsGroup);
    FMetricRadio->setObjectName(QStringLiteral("rbMetric"));
    FImperialRadio = new QRadioButton(QStringLiteral("&Imperial"), FUnitsGroup);
    FImperialRadio->setObjectName(QStringLiteral("rbImperial"));
    FUnits = new QButtonGroup(this);
    FUnits->addButton(FMetricRadio, 0);
    FUnits->addButton(FImperialRadio, 1);
    FMetricRadio->setChecked(true);
    auto *units = new QGridLayout(FUnitsGroup);
    units->addWidget(FMetricRadio, 0, 0);
    units->addWidget(FImperialRadio, 0, 1);

    FIntervalLabel = new QLabel(QStringLiteral("&Refresh interval [min]"), this);
    FIntervalLabel->setObjectName(QStringLiteral("lWRI"));
    FIntervalSpin = new TRefreshMinutesBox(this);
    FIntervalSpin->setObjectName(QStringLiteral("seWRI"));
    FIntervalSpin->setValue(kDefaultRefreshMinutes);
    FIntervalLabel->setBuddy(FIntervalSpin);
    FIntervalMessageLabel = new QLabel(this);
    FIntervalMessageLabel->setObjectName(QStringLiteral("lWRIMessage"));
    FIntervalMessageLabel->setWordWrap(true);
    FIntervalMessageLabel->setPalette(messagePalette);
    FIntervalMessageLabel->hide();
    connect(FIntervalSpin, &TRefreshMinutesBox::ValidityChanged, this, &Tdlg_nb_Prefs::RefreshValidityChanged);
    FDaysLabel = new QLabel(QStringLiteral("&Forecast [days]"), this);
    FDaysLabel->setObjectName(QStringLiteral("lFD"));
    FDaysSpin = new QSpinBox(this);
    FDaysSpin->setObjectName(QStringLiteral("eFD"));
    FDaysSpin->setRange(kMinDays, kMaxDays);
    FDaysSpin->setValue(kFreeKeyDays);
    FDaysLabel->setBuddy(FDaysSpin);
    FLanguageLabel = new QLabel(QStringLiteral("L&anguage:"), this);
    FLanguageLabel->setObjectName(QStringLiteral("lLang"));
    FLanguageCombo = new QComboBox(this);
    FLanguageCombo->setObjectName(QStringLiteral("cbLang"));
    FLanguageLabel->setBuddy(FLanguageCombo);

    FOnTopCheck = new QCheckBox(QStringLiteral("Always On &Top"), this);
    FOnTopCheck->setObjectName(QStringLiteral("cbxTMW"));
    FStartupCheck = new QCheckBox(QStringLiteral("Ru&n at startup"), this);
    FStartupCheck->setObjectName(QStringLiteral("cbxStartup"));
    FUpdatesCheck = new QCheckBox(QStringLiteral("Check for Up&dates"), this);
    FUpdatesCheck->setObjectName(QStringLiteral("cbxUC"));
    FOwnPicturesCheck = new QCheckBox(QStringLiteral("Use built-in &weather pictures"), this);
    FOwnPicturesCheck->setObjectName(QStringLiteral("cbxOP"));
    FTrayTempCheck = new QCheckBox(QStringLiteral("Temperature in the tra&y"), this);
    FTrayTempCheck->setObjectName(QStringLiteral("cbxTT"));

    FKeyLabel = new QLabel(QStringLiteral("API &key:"), this);
    FKeyLabel->setObjectName(QStringLiteral("lKey"));
    FKeyEdit = new QLineEdit(this);
    FKeyEdit->setObjectName(QStringLiteral("eOWMKey"));
    // Hidden as a password is, and kept out of any undo or drag.
    FKeyEdit->setEchoMode(QLineEdit::Password);
    FKeyEdit->setMinimumWidth(kKeyWidth - kButtonHeight);
    FKeyLabel->setBuddy(FKeyEdit);
    FShowKeyButton = new QToolButton(this);
    FShowKeyButton->setObjectName(QStringLiteral("bShowKey"));
    FShowKeyButton->setIcon(ShowKeyIcon());
    FShowKeyButton->setCheckable(true);
    FShowKeyButton->setFocusPolicy(Qt::StrongFocus);
    FShowKeyButton->setToolTip(QStringLiteral("Show API key"));
    connect(FShowKeyButton, &QToolButton::toggled, this, [this](bool shown) {
        FKeyEdit->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    });
    FGetKeyButton = new QPushButton(QStringLiteral("&Get API Key"), this);
    FGetKeyButton->setObjectName(QStringLiteral("bGetKey"));
    connect(FGetKeyButton, &QPushButton::clicked, this,
            [this] { OpenUrl(QUrl(FServiceWebBase + QString::fromLatin1(kApiKeyPage))); });
    FPaidCheck = new QCheckBox(QStringLiteral("&Paid subscription"), this);
    FPaidCheck->setObjectName(QStringLiteral("cbxPaid"));
    connect(FPaidCheck, &QCheckBox::toggled, this, &Tdlg_nb_Prefs::PaidChanged);
    BuildServiceChoice();
    PaidChanged();

    auto *grid = new QGridLayout;
    grid->setContentsMargins(kMargin, 18, kMargin, 8);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(1, 1);
    int row = 0;
    grid->addWidget(FLocationLabel, row, 0);
    grid->addWidget(FLocationEdit, row, 1);
    grid->addWidget(FSearchButton, row, 2);
    ++row;
    auto *message = new QHBoxLayout;
    message->addWidget(FLocationMessageLabel, 1);
    message->addWidget(FBusy, 1);
    grid->addLayout(message, row, 1, 1, 2);
    grid->setRowMinimumHeight(row, FLocationMessageLabel->sizeHint().height());
    ++row;
    grid->addWidget(FUnitsGroup, row, 0, 1, 3);
    ++row;
    auto *numbers = new QHBoxLayout;
    numbers->setContentsMargins(7, 6, 0, 6);
    numbers->addWidget(FIntervalLabel);
    numbers->addWidget(FIntervalSpin);
    numbers->addSpacing(24);
    numbers->addWidget(FDaysLabel);
    numbers->addWidget(FDaysSpin);
    numbers->addStretch(1);
    grid->addLayout(numbers, row, 0, 1, 3);
    ++row;
    grid->addWidget(FIntervalMessageLabel, row, 0, 1, 3);
    ++row;
    grid->addWidget(FLanguageLabel, row, 0);
    grid->addWidget(FLanguageCombo, row, 1, Qt::AlignLeft);
    for (QCheckBox *box : {FOnTopCheck, FStartupCheck, FUpdatesCheck, FOwnPicturesCheck, FTrayTempCheck})
        grid->addWidget(box, ++row, 0, 1, 3);
    ++row;
    grid->setRowMinimumHeight(row, 12);
    ++row;
    grid->addWidget(FServiceLabel, row, 0);
    grid->addWidget(FServiceCombo, row, 1, Qt::AlignLeft);
    ++row;
    grid->addWidget(FAttribution, row, 1, 1, 2);
    ++row;
    grid->addWidget(FKeyLabel, row, 0);
    auto *key = new QHBoxLayout;
    key->setSpacing(2);
    key->addWidget(FKeyEdit, 1);
    key->addWidget(FShowKeyButton);
    grid->addLayout(key, row, 1);
    grid->addWidget(FGetKeyButton, row, 2);
    ++row;
    grid->addWidget(FPaidCheck, row, 1);
    ++row;
    grid->setRowStretch(row, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FHeader);
    layout->addLayout(grid, 1);
}

void Tdlg_nb_Prefs::BuildFooter()
{
    FLogo = new TLinkLabel(this);
    FLogo->setObjectName(QStringLiteral("iService"));
    FLogo->setPixmap(ServiceLogo(kLogoHeight));
    FLogo->setAlignment(Qt::AlignCenter);
    FLogo->setFixedHeight(kLogoBandHeight);
    connect(FLogo, &TLinkLabel::Clicked, this, [this] {
        const QString site = AttributionSite(Service());
        OpenUrl(QUrl(site.isEmpty() ? FServiceWebBase : site));
    });

    FOkButton = new QPushButton(QStringLiteral("&OK"), this);
    FOkButton->setObjectName(QStringLiteral("bOK"));
    FOkButton->setDefault(true);
    FCancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    FCancelButton->setObjectName(QStringLiteral("bCancel"));
    for (QPushButton *button : {FOkButton, FCancelButton})
        button->setMinimumSize(kButtonWidth, kButtonHeight);
    connect(FOkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(FCancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("pBottom"));
    bar->setFixedHeight(kBarHeight);
    auto *buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addStretch(1);
    buttons->addWidget(FOkButton);
    buttons->addWidget(FCancelButton);

    auto *layout = static_cast<QVBoxLayout *>(this->layout());
    layout->addWidget(FLogo);
    layout->addWidget(bar);
}

void Tdlg_nb_Prefs::SetTabOrder()
{
    const QList<QWidget *> order{FTitle,  FLocationEdit,    FSearchButton, FMetricRadio, FImperialRadio, FIntervalSpin, FDaysSpin,     FLanguageCombo, FOnTopCheck,
                                 FStartupCheck, FUpdatesCheck, FOwnPicturesCheck, FTrayTempCheck, FServiceCombo, FAttribution, FKeyEdit, FShowKeyButton, FGetKeyButton, FPaidCheck, FLogo, FOkButton, FCancelButton};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

void Tdlg_nb_Prefs::LanguageChanged()
{
    // Names a screen reader announces: the visible text, or the label's.
    FTitle->setAccessibleName(FTitle->text());
    FIcon->setAccessibleName(FTitle->text());
    FRights->setAccessibleName(FRights->text());
    FLocationEdit->setAccessibleName(StripColon(WithoutMnemonic(FLocationLabel->text())));
    const QString search = WithoutMnemonic(FSearchButton->text());
    FSearchButton->setAccessibleName(search);
    FLocStateAction->setText(search);
    for (QObject *object : FLocStateAction->associatedObjects()) {
        if (auto *widget = qobject_cast<QWidget *>(object); widget && widget != FLocationEdit)
            widget->setAccessibleName(search);
    }
    FUnitsGroup->setAccessibleName(WithoutMnemonic(FUnitsGroup->title()).trimmed());
    for (QAbstractButton *button : std::initializer_list<QAbstractButton *>{
             FMetricRadio, FImperialRadio, FOnTopCheck, FStartupCheck, FUpdatesCheck, FOwnPicturesCheck, FTrayTempCheck, FGetKeyButton, FPaidCheck, FOkButton, FCancelButton})
        button->setAccessibleName(WithoutMnemonic(button->text()));
    FIntervalSpin->setAccessibleName(WithoutMnemonic(FIntervalLabel->text()));
    FIntervalSpin->setSpecialValueText(FRefreshOffText);
    FIntervalMessageLabel->setText(FWrongRefreshText);
    FDaysSpin->setAccessibleName(WithoutMnemonic(FDaysLabel->text()));
    FLanguageCombo->setItemText(0, FSystemLanguageText);
    FLanguageCombo->setAccessibleName(StripColon(WithoutMnemonic(FLanguageLabel->text())));
    FKeyEdit->setAccessibleName(StripColon(WithoutMnemonic(FKeyLabel->text())));
    FShowKeyButton->setAccessibleName(FShowKeyButton->toolTip());
    FServiceCombo->setItemText(0, FOwmServiceText);
    FServiceCombo->setItemText(1, FOpenMeteoServiceText);
    FServiceCombo->setAccessibleName(StripColon(WithoutMnemonic(FServiceLabel->text())));
    ServiceChanged();
    FBusy->setAccessibleName(FSearchingText);
    FLocationMessageLabel->setAccessibleName(StripColon(WithoutMnemonic(FLocationLabel->text())));
    SetLocationState(FLocationState);
    if (FSearching)
        SetLocationMessage(FSearchingText);
}

void Tdlg_nb_Prefs::FillLanguages()
{
    FLanguageCombo->clear();
    FLanguageCombo->addItem(FSystemLanguageText, QString());
    for (int i = 0; i < FLangCtrl->LanguagesCount(); ++i)
        FLanguageCombo->addItem(FLangCtrl->LanguageNames(i), FLangCtrl->LanguageCodes(i));
}

void Tdlg_nb_Prefs::LoadValues(const TLayoutManagerValues &values, bool stayOnTop)
{
    const TAppSettings settings = ReadSettings(values);
    (IsImperial(settings.Units) ? FImperialRadio : FMetricRadio)->setChecked(true);
    // The stored text as it stands, even when empty.
    FLocationEdit->setText(values.GetValueByName(QLatin1String(kLocationName)).toString());
    FLocationId = settings.LocationId;
    FIdText = FLocationEdit->text();
    FStoredRefresh = settings.RefreshMinutes;
    FIntervalSpin->setValue(TRefreshMinutesBox::Showable(settings.RefreshMinutes));
    FShownRefresh = FIntervalSpin->value();
    FDaysSpin->setValue(settings.ForecastDays);
    FStoredLanguage = settings.Language;
    const QString language = ChosenLanguageCode(settings.Language);
    int languageIndex = FLanguageCombo->findData(language);
    if (languageIndex < 0) {
        // A language whose files are gone stays chosen, under its code.
        FLanguageCombo->addItem(language, language);
        languageIndex = FLanguageCombo->count() - 1;
    }
    FLanguageCombo->setCurrentIndex(languageIndex);
    FShownLanguage = languageIndex;
    FOnTopCheck->setChecked(stayOnTop);
    FStartupCheck->setChecked(settings.RunAtStartup);
    FUpdatesCheck->setChecked(settings.CheckForUpdates);
    FOwnPicturesCheck->setChecked(settings.OwnPictures);
    FTrayTempCheck->setChecked(settings.TrayTemperature);
    FKeyEdit->setText(settings.ApiKey);
    FPaidCheck->setChecked(settings.Paid);
    FHasCoordinates = settings.HasCoordinates;
    FLatitude = settings.Latitude;
    FLongitude = settings.Longitude;
    FServiceCombo->setCurrentIndex(FServiceCombo->findData(static_cast<uint>(settings.Service)));
    // Open-Meteo's days are as stored; OpenWeatherMap's free key keeps its five.
    ServiceChanged();
    FDaysSpin->setValue(settings.ForecastDays);
    PaidChanged();
    SetLocationMessage(QString());
    SetLocationState(FLocationId >= 0 ? lsFound : lsNotSearched);
}

void Tdlg_nb_Prefs::StoreValues(TLayoutManagerValues &values, bool &stayOnTop) const
{
    values.SetValueByName(QLatin1String(kUnitsName), FUnits->checkedId() > 0 ? 1 : kMetricUnits);
    const QString location = FLocationEdit->text();
    if (!location.trimmed().isEmpty())
        values.SetValueByName(QLatin1String(kLocationName), location);
    // A place typed over the one the id belongs to is asked for by name: the
    // old id would bring the old place's weather, and its name would then
    // replace the typed one.
    // Its coordinates likewise: the new place is located by its name.
    if (!location.trimmed().isEmpty() && location.trimmed() != FIdText.trimmed()) {
        values.SetValueByName(QLatin1String(kLocationIdName), static_cast<qlonglong>(kNoLocationId));
        ClearCoordinates(values);
    } else {
        // A place picked from Open-Meteo has no OpenWeatherMap id: -1 asks by name.
        values.SetValueByName(QLatin1String(kLocationIdName), static_cast<qlonglong>(FLocationId));
        // A picked place without coordinates must not keep the last place's.
        if (FHasCoordinates)
            StoreCoordinates(values, FLatitude, FLongitude);
        else
            ClearCoordinates(values);
    }
    values.SetValueByName(QLatin1String(kServiceName), ServiceWord(Service()));
    // An interval the spin edit cannot show (a hand-edited 5 or 5000) stays as
    // stored unless the user changes it.
    values.SetValueByName(QLatin1String(kRefreshIntervalName),
                          FIntervalSpin->value() == FShownRefresh ? FStoredRefresh : FIntervalSpin->value());
    values.SetValueByName(QLatin1String(kForecastDaysName), FDaysSpin->value());
    // A stored text that names no language stays as it is unless the user picks one.
    values.SetValueByName(QLatin1String(kLanguageName), FLanguageCombo->currentIndex() == FShownLanguage
                                                             ? FStoredLanguage
                                                             : FLanguageCombo->currentData().toString());
    values.SetValueByName(QLatin1String(kRunAtStartupName), FStartupCheck->isChecked());
    values.SetValueByName(QLatin1String(kCheckForUpdatesName), FUpdatesCheck->isChecked());
    values.SetValueByName(QLatin1String(kOwnPicturesName), FOwnPicturesCheck->isChecked());
    values.SetValueByName(QLatin1String(kTrayTemperatureName), FTrayTempCheck->isChecked());
    values.SetValueByName(QLatin1String(kApiKeyName), FKeyEdit->text());
    values.SetValueByName(QLatin1String(kPaidName), FPaidCheck->isChecked());
    stayOnTop = FOnTopCheck->isChecked();
}

void Tdlg_nb_Prefs::FocusApiKey()
{
    FKeyEdit->setFocus(Qt::OtherFocusReason);
}

void Tdlg_nb_Prefs::SetUpdateChecksOffered(bool offered)
{
    FUpdatesCheck->setVisible(offered);
}

QString Tdlg_nb_Prefs::RefreshMessage() const
{
    return FIntervalMessageLabel->isHidden() ? QString() : FIntervalMessageLabel->text();
}

void Tdlg_nb_Prefs::RefreshValidityChanged(bool valid)
{
    FIntervalMessageLabel->setVisible(!valid);
}

void Tdlg_nb_Prefs::PaidChanged()
{
    // Open-Meteo gives every day without a subscription; OpenWeatherMap's free
    // key gives five.
    const bool allDays = Service() == wsOpenMeteo || FPaidCheck->isChecked();
    FDaysSpin->setEnabled(allDays);
    if (!allDays)
        FDaysSpin->setValue(kFreeKeyDays);
}

void Tdlg_nb_Prefs::BuildServiceChoice()
{
    FServiceLabel = new QLabel(QStringLiteral("Ser&vice:"), this);
    FServiceLabel->setObjectName(QStringLiteral("lService"));
    FServiceCombo = new QComboBox(this);
    FServiceCombo->setObjectName(QStringLiteral("cbService"));
    FServiceCombo->addItem(FOwmServiceText, static_cast<uint>(wsOwm));
    FServiceCombo->addItem(FOpenMeteoServiceText, static_cast<uint>(wsOpenMeteo));
    FServiceLabel->setBuddy(FServiceCombo);
    FAttribution = new TLinkLabel(this);
    FAttribution->setObjectName(QStringLiteral("lAttribution"));
    FAttribution->setFocusPolicy(Qt::NoFocus);
    // The row keeps its height, so the fixed frame fits either service.
    FAttribution->setText(QStringLiteral("X"));
    FAttribution->setMinimumHeight(FAttribution->sizeHint().height());
    connect(FAttribution, &TLinkLabel::Clicked, this, [this] {
        const QString site = AttributionSite(Service());
        if (!site.isEmpty())
            OpenUrl(QUrl(site));
    });
    connect(FServiceCombo, &QComboBox::currentIndexChanged, this, [this] {
        ServiceChanged();
        PaidChanged();
    });
}

TWeatherService Tdlg_nb_Prefs::Service() const
{
    return FServiceCombo != nullptr && FServiceCombo->currentData().toUInt() == wsOpenMeteo ? wsOpenMeteo : wsOwm;
}

QString Tdlg_nb_Prefs::AttributionText() const
{
    return FAttribution->text();
}

void Tdlg_nb_Prefs::ServiceChanged()
{
    const TWeatherService service = Service();
    // The key and its kind are OpenWeatherMap's alone; they stay as typed.
    const bool keyed = service == wsOwm;
    for (QWidget *widget : std::initializer_list<QWidget *>{FKeyLabel, FKeyEdit, FShowKeyButton, FGetKeyButton, FPaidCheck})
        widget->setEnabled(keyed);
    const QString credit = ServiceAttribution(service);
    FAttribution->setText(credit);
    FAttribution->setToolTip(AttributionSite(service));
    FAttribution->setAccessibleName(credit);
    FAttribution->setCursor(credit.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
    FLogo->setPixmap(ServiceLogo(kLogoHeight, service));
    FLogo->setAccessibleName(ServiceDisplayName(service));
    FLogo->setToolTip(credit);
}

void Tdlg_nb_Prefs::LocationEdited()
{
    // The id stays: until a new search, the requests still ask by it.
    SetLocationState(lsNotSearched);
    if (!FSearching)
        SetLocationMessage(QString());
}

void Tdlg_nb_Prefs::SetLocationState(TLocationState state)
{
    FLocationState = state;
    FLocStateAction->setIcon(LocationStateIcon(state));
    const QString text = state == lsFound ? FFoundText : state == lsNotFound ? FNotFoundText : FNotSearchedText;
    FLocStateAction->setToolTip(text);
    FLocationEdit->setAccessibleDescription(text);
}

void Tdlg_nb_Prefs::SetLocationMessage(const QString &text)
{
    FLocationMessageLabel->setText(text);
    // A reason that wraps gets the lines it needs; the fixed frame grows for
    // one longer than the room it keeps, rather than letting it run under the
    // units below.
    layout()->activate();
    FLocationMessageLabel->setMinimumHeight(text.isEmpty() ? 0 : FLocationMessageLabel->heightForWidth(FLocationMessageLabel->width()));
    layout()->activate();
    const int needed = layout()->minimumSize().height();
    if (needed > height())
        setFixedHeight(needed);
}

QString Tdlg_nb_Prefs::LocationMessage() const
{
    return FLocationMessageLabel->text();
}

void Tdlg_nb_Prefs::SetBusy(bool busy)
{
    FBusy->setVisible(busy);
    FSearchButton->setEnabled(!busy);
    FLocStateAction->setEnabled(!busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool Tdlg_nb_Prefs::Search()
{
    if (FSearching) {
        QApplication::beep();
        return false;
    }
    const QString location = FLocationEdit->text();
    if (location.trimmed().isEmpty())
        return false;
    FReq = TRequestRecord();
    FReq.Key = FKeyEdit->text().trimmed();
    FReq.KeyType = FPaidCheck->isChecked() ? ktPaid : ktFree;
    FReq.LocationName = location;
    FReq.Service = Service();
    // Open-Meteo names the places in the language the user reads.
    if (FReq.Service == wsOpenMeteo) {
        const QString language = GlobalLangManager().LanguageCode();
        FReq.Lang = language.isEmpty() ? QString::fromLatin1(kRequestLanguage) : language.toLower();
    }

    FSearching = true;
    FCancel = std::make_shared<std::atomic<bool>>(false);
    SetBusy(true);
    SetLocationMessage(FSearchingText);
    // The worker holds its own copies: it may outlive this dialog.
    const TLocationSearch search = FSearch;
    const TRequestRecord request = FReq;
    const TCancelFlag cancel = FCancel;
    FWatcher->setFuture(QtConcurrent::run([search, request, cancel] {
        return RunLocationSearch(search, request, cancel);
    }));
    return true;
}

void Tdlg_nb_Prefs::CancelSearch()
{
    if (!FSearching)
        return;
    FCancel->store(true);
    FSearching = false;
    SetBusy(false);
    SetLocationMessage(QString());
}

void Tdlg_nb_Prefs::SearchDone()
{
    if (!FSearching)
        return;
    const TLookupResult result = FWatcher->result();
    FSearching = false;
    SetBusy(false);
    SetLocationMessage(QString());
    if (!result.Ok || result.Cities.isEmpty()) {
        // Nothing to pick from: the text stays for the user to mend.
        SetLocationState(lsNotFound);
        SetLocationMessage(NoLocationText(lc_NoLocFound, result.Ok ? QString() : result.ErrorMessage));
        emit SearchFinished();
        return;
    }
    FCities = result.Cities;
    FSelector = new Tdld_nb_LS(FCities, this);
    FSelector->setAttribute(Qt::WA_DeleteOnClose);
    connect(FSelector, &QDialog::finished, this, &Tdlg_nb_Prefs::ApplyChoice);
    FSelector->open();
    emit SearchFinished();
}

void Tdlg_nb_Prefs::ApplyChoice(int result)
{
    if (result != QDialog::Accepted || !FSelector)
        return;
    const int index = FSelector->SelectedIndex();
    FLocationId = -1;
    if (index < 0 || index >= FCities.size()) {
        SetLocationState(lsNotFound);
        SetLocationMessage(lc_NoLocFound);
        return;
    }
    const TCity &city = FCities.at(index);
    // An id of Open-Meteo's place search is no OpenWeatherMap city id.
    FLocationId = FReq.Service == wsOwm ? city.ID : kNoLocationId;
    FLocationEdit->setText(city.Name + QStringLiteral(", ") + city.Country);
    FIdText = FLocationEdit->text();
    // A search answer without coordinates gives 0, 0: no place to keep.
    FHasCoordinates = KnownCoordinates(city.Lat, city.Lon);
    FLatitude = city.Lat;
    FLongitude = city.Lon;
    SetLocationMessage(QString());
    SetLocationState(lsFound);
}

bool Tdlg_nb_Prefs::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the location runs the search instead of confirming the dialog.
    if (watched == FLocationEdit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            Search();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tdlg_nb_Prefs::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the screen.
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void Tdlg_nb_Prefs::done(int result)
{
    // A wrong interval is told and kept for the user to mend, not confirmed.
    if (result == QDialog::Accepted && !FIntervalSpin->IsValid()) {
        FIntervalMessageLabel->show();
        FIntervalSpin->setFocus(Qt::OtherFocusReason);
        return;
    }
    // A search still running is abandoned: its result is not wanted any more.
    CancelSearch();
    if (FSelector)
        FSelector->reject();
    QDialog::done(result);
}

void Tdlg_nb_Prefs::OpenUrl(const QUrl &url) const
{
    if (FOpenUrl)
        FOpenUrl(url);
    else
        QDesktopServices::openUrl(url);
}
