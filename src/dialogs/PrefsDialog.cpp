#include "PrefsDialog.h"

#include "AppSettings.h"
#include "LangConsts.h"
#include "LangController.h"
#include "LanguageChoice.h"
#include "LayoutManagerValues.h"
#include "LinkLabel.h"
#include "LocationSelector.h"
#include "Mnemonic.h"
#include "OmniBar.h"
#include "ProgramVersion.h"
#include "RefreshMinutesBox.h"
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
    eLoc->setFocus();
}

Tdlg_nb_Prefs::~Tdlg_nb_Prefs()
{
    CancelSearch();
}

void Tdlg_nb_Prefs::BuildHeader()
{
    FHeader = new TOmniBar(this);
    FHeader->setObjectName(QStringLiteral("pHeader"));
    FHeader->SetShowCaption(false);
    FHeader->SetBorder(false);
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
    lLoc = new QLabel(QStringLiteral("&Location:"), this);
    lLoc->setObjectName(QStringLiteral("lLoc"));
    eLoc = new QLineEdit(this);
    eLoc->setObjectName(QStringLiteral("eLoc"));
    eLoc->setPlaceholderText(QStringLiteral("Enter city name"));
    eLoc->setToolTip(QStringLiteral("Enter city name"));
    eLoc->setMinimumWidth(kLocationWidth);
    eLoc->installEventFilter(this);
    FLocStateAction = eLoc->addAction(LocationStateIcon(lsNotSearched), QLineEdit::LeadingPosition);
    FLocStateAction->setObjectName(QStringLiteral("bLocState"));
    connect(FLocStateAction, &QAction::triggered, this, [this] { Search(); });
    connect(eLoc, &QLineEdit::textEdited, this, &Tdlg_nb_Prefs::LocationEdited);
    lLoc->setBuddy(eLoc);

    bSearch = new QPushButton(QStringLiteral("&Search"), this);
    bSearch->setObjectName(QStringLiteral("bSearch"));
    connect(bSearch, &QPushButton::clicked, this, [this] { Search(); });

    lLocMessage = new QLabel(this);
    lLocMessage->setObjectName(QStringLiteral("lLocMessage"));
    lLocMessage->setWordWrap(true);
    QPalette messagePalette = lLocMessage->palette();
    messagePalette.setColor(QPalette::WindowText, kLocationMessageColor);
    lLocMessage->setPalette(messagePalette);
    FBusy = new QProgressBar(this);
    FBusy->setObjectName(QStringLiteral("pbSearch"));
    FBusy->setRange(0, 0);
    FBusy->setTextVisible(false);
    FBusy->setMaximumHeight(lLocMessage->sizeHint().height());
    FBusy->hide();

    rgU = new QGroupBox(QStringLiteral(" &Units "), this);
    rgU->setObjectName(QStringLiteral("rgU"));
    rbMetric = new QRadioButton(QStringLiteral("&Metric"), rgU);
    rbMetric->setObjectName(QStringLiteral("rbMetric"));
    rbImperial = new QRadioButton(QStringLiteral("&Imperial"), rgU);
    rbImperial->setObjectName(QStringLiteral("rbImperial"));
    FUnits = new QButtonGroup(this);
    FUnits->addButton(rbMetric, 0);
    FUnits->addButton(rbImperial, 1);
    rbMetric->setChecked(true);
    auto *units = new QGridLayout(rgU);
    units->addWidget(rbMetric, 0, 0);
    units->addWidget(rbImperial, 0, 1);

    lWRI = new QLabel(QStringLiteral("&Refresh interval [min]"), this);
    lWRI->setObjectName(QStringLiteral("lWRI"));
    seWRI = new TRefreshMinutesBox(this);
    seWRI->setObjectName(QStringLiteral("seWRI"));
    seWRI->setValue(kDefaultRefreshMinutes);
    lWRI->setBuddy(seWRI);
    lWRIMessage = new QLabel(this);
    lWRIMessage->setObjectName(QStringLiteral("lWRIMessage"));
    lWRIMessage->setWordWrap(true);
    lWRIMessage->setPalette(messagePalette);
    lWRIMessage->hide();
    connect(seWRI, &TRefreshMinutesBox::ValidityChanged, this, &Tdlg_nb_Prefs::RefreshValidityChanged);
    lFD = new QLabel(QStringLiteral("&Forecast [days]"), this);
    lFD->setObjectName(QStringLiteral("lFD"));
    eFD = new QSpinBox(this);
    eFD->setObjectName(QStringLiteral("eFD"));
    eFD->setRange(kMinDays, kMaxDays);
    eFD->setValue(kFreeKeyDays);
    lFD->setBuddy(eFD);
    lLang = new QLabel(QStringLiteral("L&anguage:"), this);
    lLang->setObjectName(QStringLiteral("lLang"));
    cbLang = new QComboBox(this);
    cbLang->setObjectName(QStringLiteral("cbLang"));
    lLang->setBuddy(cbLang);

    cbxTMW = new QCheckBox(QStringLiteral("Always On &Top"), this);
    cbxTMW->setObjectName(QStringLiteral("cbxTMW"));
    cbxStartup = new QCheckBox(QStringLiteral("Ru&n at startup"), this);
    cbxStartup->setObjectName(QStringLiteral("cbxStartup"));
    cbxUC = new QCheckBox(QStringLiteral("Check for Up&dates"), this);
    cbxUC->setObjectName(QStringLiteral("cbxUC"));

    lKey = new QLabel(QStringLiteral("API &key:"), this);
    lKey->setObjectName(QStringLiteral("lKey"));
    eOWMKey = new QLineEdit(this);
    eOWMKey->setObjectName(QStringLiteral("eOWMKey"));
    // Hidden as a password is, and kept out of any undo or drag.
    eOWMKey->setEchoMode(QLineEdit::Password);
    eOWMKey->setMinimumWidth(kKeyWidth - kButtonHeight);
    lKey->setBuddy(eOWMKey);
    bShowKey = new QToolButton(this);
    bShowKey->setObjectName(QStringLiteral("bShowKey"));
    bShowKey->setIcon(ShowKeyIcon());
    bShowKey->setCheckable(true);
    bShowKey->setFocusPolicy(Qt::StrongFocus);
    bShowKey->setToolTip(QStringLiteral("Show API key"));
    connect(bShowKey, &QToolButton::toggled, this, [this](bool shown) {
        eOWMKey->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    });
    bGetKey = new QPushButton(QStringLiteral("&Get API Key"), this);
    bGetKey->setObjectName(QStringLiteral("bGetKey"));
    connect(bGetKey, &QPushButton::clicked, this,
            [this] { OpenUrl(QUrl(FServiceWebBase + QString::fromLatin1(kApiKeyPage))); });
    cbxPaid = new QCheckBox(QStringLiteral("&Paid subscription"), this);
    cbxPaid->setObjectName(QStringLiteral("cbxPaid"));
    connect(cbxPaid, &QCheckBox::toggled, this, &Tdlg_nb_Prefs::PaidChanged);
    PaidChanged();

    auto *grid = new QGridLayout;
    grid->setContentsMargins(kMargin, 18, kMargin, 8);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(1, 1);
    int row = 0;
    grid->addWidget(lLoc, row, 0);
    grid->addWidget(eLoc, row, 1);
    grid->addWidget(bSearch, row, 2);
    ++row;
    auto *message = new QHBoxLayout;
    message->addWidget(lLocMessage, 1);
    message->addWidget(FBusy, 1);
    grid->addLayout(message, row, 1, 1, 2);
    grid->setRowMinimumHeight(row, lLocMessage->sizeHint().height());
    ++row;
    grid->addWidget(rgU, row, 0, 1, 3);
    ++row;
    auto *numbers = new QHBoxLayout;
    numbers->setContentsMargins(7, 6, 0, 6);
    numbers->addWidget(lWRI);
    numbers->addWidget(seWRI);
    numbers->addSpacing(24);
    numbers->addWidget(lFD);
    numbers->addWidget(eFD);
    numbers->addStretch(1);
    grid->addLayout(numbers, row, 0, 1, 3);
    ++row;
    grid->addWidget(lWRIMessage, row, 0, 1, 3);
    ++row;
    grid->addWidget(lLang, row, 0);
    grid->addWidget(cbLang, row, 1, Qt::AlignLeft);
    for (QCheckBox *box : {cbxTMW, cbxStartup, cbxUC})
        grid->addWidget(box, ++row, 0, 1, 3);
    ++row;
    grid->setRowMinimumHeight(row, 12);
    ++row;
    grid->addWidget(lKey, row, 0);
    auto *key = new QHBoxLayout;
    key->setSpacing(2);
    key->addWidget(eOWMKey, 1);
    key->addWidget(bShowKey);
    grid->addLayout(key, row, 1);
    grid->addWidget(bGetKey, row, 2);
    ++row;
    grid->addWidget(cbxPaid, row, 1);
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
    connect(FLogo, &TLinkLabel::Clicked, this, [this] { OpenUrl(QUrl(FServiceWebBase)); });

    bOK = new QPushButton(QStringLiteral("&OK"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);
    bCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    for (QPushButton *button : {bOK, bCancel})
        button->setMinimumSize(kButtonWidth, kButtonHeight);
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("pBottom"));
    bar->setFixedHeight(kBarHeight);
    auto *buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addStretch(1);
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);

    auto *layout = static_cast<QVBoxLayout *>(this->layout());
    layout->addWidget(FLogo);
    layout->addWidget(bar);
}

void Tdlg_nb_Prefs::SetTabOrder()
{
    const QList<QWidget *> order{FTitle,  eLoc,    bSearch, rbMetric, rbImperial, seWRI, eFD,     cbLang, cbxTMW,
                                 cbxStartup, cbxUC, eOWMKey, bShowKey, bGetKey, cbxPaid, FLogo, bOK, bCancel};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

void Tdlg_nb_Prefs::LanguageChanged()
{
    // Names a screen reader announces: the visible text, or the label's.
    FTitle->setAccessibleName(FTitle->text());
    FIcon->setAccessibleName(FTitle->text());
    FRights->setAccessibleName(FRights->text());
    eLoc->setAccessibleName(StripColon(WithoutMnemonic(lLoc->text())));
    const QString search = WithoutMnemonic(bSearch->text());
    bSearch->setAccessibleName(search);
    FLocStateAction->setText(search);
    for (QObject *object : FLocStateAction->associatedObjects()) {
        if (auto *widget = qobject_cast<QWidget *>(object); widget && widget != eLoc)
            widget->setAccessibleName(search);
    }
    rgU->setAccessibleName(WithoutMnemonic(rgU->title()).trimmed());
    for (QAbstractButton *button : std::initializer_list<QAbstractButton *>{
             rbMetric, rbImperial, cbxTMW, cbxStartup, cbxUC, bGetKey, cbxPaid, bOK, bCancel})
        button->setAccessibleName(WithoutMnemonic(button->text()));
    seWRI->setAccessibleName(WithoutMnemonic(lWRI->text()));
    seWRI->setSpecialValueText(FRefreshOffText);
    lWRIMessage->setText(FWrongRefreshText);
    eFD->setAccessibleName(WithoutMnemonic(lFD->text()));
    cbLang->setItemText(0, FSystemLanguageText);
    cbLang->setAccessibleName(StripColon(WithoutMnemonic(lLang->text())));
    eOWMKey->setAccessibleName(StripColon(WithoutMnemonic(lKey->text())));
    bShowKey->setAccessibleName(bShowKey->toolTip());
    FLogo->setAccessibleName(QStringLiteral("OpenWeatherMap"));
    FBusy->setAccessibleName(FSearchingText);
    lLocMessage->setAccessibleName(StripColon(WithoutMnemonic(lLoc->text())));
    SetLocationState(FLocationState);
    if (FSearching)
        SetLocationMessage(FSearchingText);
}

void Tdlg_nb_Prefs::FillLanguages()
{
    cbLang->clear();
    cbLang->addItem(FSystemLanguageText, QString());
    for (int i = 0; i < FLangCtrl->LanguagesCount(); ++i)
        cbLang->addItem(FLangCtrl->LanguageNames(i), FLangCtrl->LanguageCodes(i));
}

void Tdlg_nb_Prefs::LoadValues(const TLayoutManagerValues &values, bool stayOnTop)
{
    const TAppSettings settings = ReadSettings(values);
    (IsImperial(settings.Units) ? rbImperial : rbMetric)->setChecked(true);
    // The stored text as it stands, even when empty.
    eLoc->setText(values.GetValueByName(QLatin1String(kLocationName)).toString());
    FLocationId = settings.LocationId;
    FIdText = eLoc->text();
    FStoredRefresh = settings.RefreshMinutes;
    seWRI->setValue(TRefreshMinutesBox::Showable(settings.RefreshMinutes));
    FShownRefresh = seWRI->value();
    eFD->setValue(settings.ForecastDays);
    FStoredLanguage = settings.Language;
    const QString language = ChosenLanguageCode(settings.Language);
    int languageIndex = cbLang->findData(language);
    if (languageIndex < 0) {
        // A language whose files are gone stays chosen, under its code.
        cbLang->addItem(language, language);
        languageIndex = cbLang->count() - 1;
    }
    cbLang->setCurrentIndex(languageIndex);
    FShownLanguage = languageIndex;
    cbxTMW->setChecked(stayOnTop);
    cbxStartup->setChecked(settings.RunAtStartup);
    cbxUC->setChecked(settings.CheckForUpdates);
    eOWMKey->setText(settings.ApiKey);
    cbxPaid->setChecked(settings.Paid);
    PaidChanged();
    SetLocationMessage(QString());
    SetLocationState(FLocationId >= 0 ? lsFound : lsNotSearched);
}

void Tdlg_nb_Prefs::StoreValues(TLayoutManagerValues &values, bool &stayOnTop) const
{
    values.SetValueByName(QLatin1String(kUnitsName), FUnits->checkedId() > 0 ? 1 : kMetricUnits);
    const QString location = eLoc->text();
    if (!location.trimmed().isEmpty())
        values.SetValueByName(QLatin1String(kLocationName), location);
    // A place typed over the one the id belongs to is asked for by name: the
    // old id would bring the old place's weather, and its name would then
    // replace the typed one.
    if (!location.trimmed().isEmpty() && location.trimmed() != FIdText.trimmed())
        values.SetValueByName(QLatin1String(kLocationIdName), static_cast<qlonglong>(kNoLocationId));
    else if (FLocationId >= 0)
        values.SetValueByName(QLatin1String(kLocationIdName), static_cast<qlonglong>(FLocationId));
    // An interval the spin edit cannot show (a hand-edited 5 or 5000) stays as
    // stored unless the user changes it.
    values.SetValueByName(QLatin1String(kRefreshIntervalName),
                          seWRI->value() == FShownRefresh ? FStoredRefresh : seWRI->value());
    values.SetValueByName(QLatin1String(kForecastDaysName), eFD->value());
    // A stored text that names no language stays as it is unless the user picks one.
    values.SetValueByName(QLatin1String(kLanguageName), cbLang->currentIndex() == FShownLanguage
                                                             ? FStoredLanguage
                                                             : cbLang->currentData().toString());
    values.SetValueByName(QLatin1String(kRunAtStartupName), cbxStartup->isChecked());
    values.SetValueByName(QLatin1String(kCheckForUpdatesName), cbxUC->isChecked());
    values.SetValueByName(QLatin1String(kApiKeyName), eOWMKey->text());
    values.SetValueByName(QLatin1String(kPaidName), cbxPaid->isChecked());
    stayOnTop = cbxTMW->isChecked();
}

void Tdlg_nb_Prefs::FocusApiKey()
{
    eOWMKey->setFocus(Qt::OtherFocusReason);
}

void Tdlg_nb_Prefs::SetUpdateChecksOffered(bool offered)
{
    cbxUC->setVisible(offered);
}

QString Tdlg_nb_Prefs::RefreshMessage() const
{
    return lWRIMessage->isHidden() ? QString() : lWRIMessage->text();
}

void Tdlg_nb_Prefs::RefreshValidityChanged(bool valid)
{
    lWRIMessage->setVisible(!valid);
}

void Tdlg_nb_Prefs::PaidChanged()
{
    const bool paid = cbxPaid->isChecked();
    eFD->setEnabled(paid);
    if (!paid)
        eFD->setValue(kFreeKeyDays);
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
    eLoc->setAccessibleDescription(text);
}

void Tdlg_nb_Prefs::SetLocationMessage(const QString &text)
{
    lLocMessage->setText(text);
    // A reason that wraps gets the lines it needs; the fixed frame grows for
    // one longer than the room it keeps, rather than letting it run under the
    // units below.
    layout()->activate();
    lLocMessage->setMinimumHeight(text.isEmpty() ? 0 : lLocMessage->heightForWidth(lLocMessage->width()));
    layout()->activate();
    const int needed = layout()->minimumSize().height();
    if (needed > height())
        setFixedHeight(needed);
}

QString Tdlg_nb_Prefs::LocationMessage() const
{
    return lLocMessage->text();
}

void Tdlg_nb_Prefs::SetBusy(bool busy)
{
    FBusy->setVisible(busy);
    bSearch->setEnabled(!busy);
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
    const QString location = eLoc->text();
    if (location.trimmed().isEmpty())
        return false;
    FReq = TRequestRecord();
    FReq.Key = eOWMKey->text().trimmed();
    FReq.KeyType = cbxPaid->isChecked() ? ktPaid : ktFree;
    FReq.LocationName = location;

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
    FLocationId = city.ID;
    eLoc->setText(city.Name + QStringLiteral(", ") + city.Country);
    FIdText = eLoc->text();
    SetLocationMessage(QString());
    SetLocationState(lsFound);
}

bool Tdlg_nb_Prefs::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the location runs the search instead of confirming the dialog.
    if (watched == eLoc && event->type() == QEvent::KeyPress) {
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
    if (result == QDialog::Accepted && !seWRI->IsValid()) {
        lWRIMessage->show();
        seWRI->setFocus(Qt::OtherFocusReason);
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
