#include "LocationSelector.h"

#include "DateTimeConv.h"
#include "LangController.h"
#include "Mnemonic.h"

#include <QApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

constexpr int kClientWidth = 688;
constexpr int kClientHeight = 283;
constexpr int kBarHeight = 41;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kBarMargin = 8;

// The widths are the usual ones; a column whose texts are narrower gives room
// down to its least width, and one whose texts are wider (a long date format)
// grows to show them, so that the six columns fit the window when they can.
struct TColumn {
    const char *caption;
    int width;
    int leastWidth;
    Qt::Alignment alignment;
};

constexpr std::array<TColumn, 6> kColumns{{
    {"Area Name", 220, 120, Qt::AlignLeft | Qt::AlignVCenter},
    {"Country", 220, 80, Qt::AlignLeft | Qt::AlignVCenter},
    {"Latitude", 100, 100, Qt::AlignRight | Qt::AlignVCenter},
    {"Longitude", 100, 100, Qt::AlignRight | Qt::AlignVCenter},
    {"Sunrise", 120, 120, Qt::AlignLeft | Qt::AlignVCenter},
    {"Sunset", 120, 120, Qt::AlignLeft | Qt::AlignVCenter},
}};

QString DecimalText(const QLocale &locale, double value)
{
    return locale.toString(value, 'g', QLocale::FloatingPointShortest);
}

// A search that gives no sun times (Open-Meteo's) leaves them 0: shown empty.
QString DateTimeText(const QLocale &locale, TDateTime value)
{
    return value == 0 ? QString() : locale.toString(QDateTimeFromDateTime(value), QLocale::ShortFormat);
}

// The name with its region ("Springfield, Illinois"), where the search gave one.
QString AreaText(const TCity &city)
{
    const QString region = city.Region.trimmed();
    return region.isEmpty() || region == city.Name.trimmed() ? city.Name : city.Name + QStringLiteral(", ") + region;
}

// The country's name with its code ("Germany (DE)"), or the code alone.
QString CountryText(const TCity &city)
{
    const QString name = city.CountryName.trimmed();
    if (name.isEmpty())
        return city.Country;
    return city.Country.trimmed().isEmpty() ? name : name + QStringLiteral(" (") + city.Country + u')';
}

// The main window when no owner is given: the first shown top-level window.
QWidget *OwnerOrMainWindow(QWidget *owner)
{
    if (owner)
        return owner;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowType() == Qt::Window)
            return widget;
    }
    return nullptr;
}

} // namespace

Tdld_nb_LS::Tdld_nb_LS(const TCities &cities, QWidget *owner)
    : QDialog(OwnerOrMainWindow(owner))
    , FLocList(new QTreeWidget(this))
    , FOk(new QPushButton(QStringLiteral("&OK"), this))
    , FCancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(QStringLiteral("dld_nb_LS"));
    setWindowTitle(QStringLiteral("Location Selector"));
    setSizeGripEnabled(true);
    resize(kClientWidth, kClientHeight);

    FLocList->setObjectName(QStringLiteral("LocList"));
    FLocList->setRootIsDecorated(false);
    FLocList->setItemsExpandable(false);
    FLocList->setUniformRowHeights(true);
    FLocList->setSelectionMode(QAbstractItemView::SingleSelection);
    FLocList->setSelectionBehavior(QAbstractItemView::SelectRows);
    FLocList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FLocList->setAllColumnsShowFocus(true);
    FLocList->setColumnCount(static_cast<int>(kColumns.size()));
    auto *header = new QTreeWidgetItem;
    for (int i = 0; i < static_cast<int>(kColumns.size()); ++i) {
        header->setText(i, QString::fromLatin1(kColumns[i].caption));
        header->setTextAlignment(i, kColumns[i].alignment);
    }
    FLocList->setHeaderItem(header);
    FLocList->header()->setSectionsClickable(false);
    FLocList->header()->setSectionsMovable(false);
    // The inactive selection keeps the active colours, so the chosen row stays
    // plain to see while the focus is on the buttons.
    QPalette palette = FLocList->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    FLocList->setPalette(palette);

    const QLocale locale;
    for (const TCity &city : cities) {
        auto *row = new QTreeWidgetItem(FLocList);
        row->setText(0, AreaText(city));
        row->setText(1, CountryText(city));
        row->setText(2, DecimalText(locale, city.Lat));
        row->setText(3, DecimalText(locale, city.Lon));
        row->setText(4, DateTimeText(locale, city.Sunrise));
        row->setText(5, DateTimeText(locale, city.Sunset));
        for (int i = 0; i < static_cast<int>(kColumns.size()); ++i)
            row->setTextAlignment(i, kColumns[i].alignment);
    }

    FOk->setObjectName(QStringLiteral("bOK"));
    FCancel->setObjectName(QStringLiteral("bCancel"));
    // As wide as their texts where a language needs more than the usual width.
    for (QPushButton *button : {FOk, FCancel}) {
        button->setMinimumWidth(kButtonWidth);
        button->setFixedHeight(kButtonHeight);
    }
    FOk->setEnabled(false);
    FOk->setDefault(true);

    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("pBottom"));
    bar->setFixedHeight(kBarHeight);
    auto *barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(kBarMargin, 0, kBarMargin, 0);
    barLayout->addStretch(1);
    barLayout->addWidget(FOk);
    barLayout->addWidget(FCancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FLocList, 1);
    layout->addWidget(bar);

    connect(FLocList, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (SelectedIndex() >= 0)
            FOk->setEnabled(true); // stays enabled from now on
    });
    connect(FLocList, &QTreeWidget::doubleClicked, this, &Tdld_nb_LS::ConfirmWhenSelected);
    FLocList->viewport()->installEventFilter(this);
    connect(FOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(FLocList, FOk);
    setTabOrder(FOk, FCancel);

    if (FLocList->topLevelItemCount() > 0) {
        FLocList->setCurrentItem(FLocList->topLevelItem(0));
        FLocList->topLevelItem(0)->setSelected(true);
    }
    FLocList->setFocus();

    FLangCtrl = new TLangController(this);
    // The widths follow the headers' texts, so they are set once the language is.
    FLangCtrl->OnLanguageChanged = [this](TLangController *) {
        UpdateAccessibleNames();
        FitColumns();
    };
    UpdateAccessibleNames();
    FitColumns();
    FLangCtrl->Loaded();
}

int Tdld_nb_LS::SelectedIndex() const
{
    const QList<QTreeWidgetItem *> selected = FLocList->selectedItems();
    return selected.isEmpty() ? -1 : FLocList->indexOfTopLevelItem(selected.first());
}

void Tdld_nb_LS::ConfirmWhenSelected()
{
    if (SelectedIndex() >= 0)
        accept();
}

bool Tdld_nb_LS::eventFilter(QObject *watched, QEvent *event)
{
    // A press below the last row would clear the selection; a double click
    // there confirms the row still selected.
    if (watched == FLocList->viewport()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!FLocList->indexAt(mouse->position().toPoint()).isValid()) {
            if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton)
                ConfirmWhenSelected();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tdld_nb_LS::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the owner form.
    if (QWidget *owner = parentWidget()) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->window()->frameGeometry().center());
        move(frame.topLeft());
    }
}

void Tdld_nb_LS::FitColumns()
{
    const bool empty = FLocList->topLevelItemCount() == 0;
    for (int i = 0; i < static_cast<int>(kColumns.size()); ++i) {
        // The texts and the header's caption, whichever is wider.
        FLocList->resizeColumnToContents(i);
        const int fitting = std::max(FLocList->columnWidth(i), FLocList->header()->sectionSizeHint(i));
        const int width = fitting > kColumns[i].width || empty ? std::max(fitting, kColumns[i].width)
                                                               : std::max(fitting, kColumns[i].leastWidth);
        FLocList->setColumnWidth(i, width);
    }
}

void Tdld_nb_LS::UpdateAccessibleNames()
{
    FLocList->setAccessibleName(windowTitle());
    FOk->setAccessibleName(WithoutMnemonic(FOk->text()));
    FCancel->setAccessibleName(WithoutMnemonic(FCancel->text()));
}

TLocationChoice SelectLocation(const TCities &cities, QWidget *owner)
{
    Tdld_nb_LS dialog(cities, owner);
    TLocationChoice choice;
    if (dialog.exec() == QDialog::Accepted) {
        choice.Confirmed = true;
        choice.Index = dialog.SelectedIndex();
    }
    return choice;
}
