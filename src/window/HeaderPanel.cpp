#include "HeaderPanel.h"

#include "AppIcon.h"
#include "BarTextColours.h"
#include "LangConsts.h"
#include "PanelLabelAccessible.h"
#include "WindowLook.h"

#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>

#include <algorithm>

namespace {

// Places inside the 67-pixel header.
constexpr int kIconX = 3, kIconY = 2;
constexpr int kErrorX = 9, kErrorY = 8;
constexpr int kLeftColumn = 73;
constexpr int kMiddleColumn = 232;
constexpr int kRightColumn = 349;
constexpr int kLocY = 2, kDescY = 21, kTempY = 36, kWindY = 51, kCloudY = 37;
constexpr int kTempWidth = 64;
// The felt temperature stands at the right end of the place's line, where the
// place leaves room; the place is shortened first.
constexpr int kFeelGap = 12;
constexpr int kFeelY = 4;

const QColor kErrorRed(208, 32, 32);

// The width a label needs for a text, as the label itself measures it.
int TextWidth(const QLabel &label, const QString &text)
{
    return label.fontMetrics().boundingRect(QRect(), Qt::TextSingleLine, text).width();
}

QImage DrawErrorPicture(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1.0));
    painter.setBrush(kErrorRed);
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
    const qreal mid = size / 2.0, stroke = size / 7.0;
    painter.setPen(QPen(Qt::white, stroke, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(mid, size * 0.24), QPointF(mid, size * 0.56));
    painter.drawPoint(QPointF(mid, size * 0.76));
    return image;
}

} // namespace

THeaderPanel::THeaderPanel(TThemeController *theme, QWidget *parent)
    : TOmniBar(parent)
    , FIcon(new QLabel(this))
    , FErrorIcon(new QLabel(this))
{
    setObjectName(QStringLiteral("Header"));
    InstallPanelLabelAccessibility();
    SetMoveMode(mmForm);
    SetThemeController(theme);

    FIcon->setObjectName(QStringLiteral("iWeather"));
    FIcon->setGeometry(kIconX, kIconY, kIconSize, kIconSize);
    FIcon->setAlignment(Qt::AlignCenter);
    FIcon->setAccessibleName(lc_WeatherForecast);
    ShowApplicationPicture();

    FErrorIcon->setObjectName(QStringLiteral("iError"));
    FErrorIcon->setGeometry(kErrorX, kErrorY, kErrorIconSize, kErrorIconSize);
    FErrorIcon->setPixmap(QPixmap::fromImage(DrawErrorPicture(kErrorIconSize)));
    FErrorIcon->setAccessibleName(lc_Error);
    FErrorIcon->hide();

    using namespace WindowLook;
    FLocationLabel = MakeLabel("lLoc", kWhite, kLocationPoints, QStringLiteral("Location"));
    FDescriptionLabel = MakeLabel("lDesc", kDescriptionColour, kLabelPoints, QStringLiteral("Weather"));
    FTempLabel = MakeLabel("lTemp", kMildColour, kLabelPoints, lc_Temp);
    FWindLabel = MakeLabel("lWind", kWhite, kLabelPoints, lc_Wind);
    FPressureLabel = MakeLabel("lPres", kDetailColour, kLabelPoints, lc_Pressure);
    FHumidityLabel = MakeLabel("lHum", kDetailColour, kLabelPoints, lc_Humidity);
    FCloudLabel = MakeLabel("lCloud", kDetailColour, kLabelPoints, lc_CloudCover);
    FPrecipitationLabel = MakeLabel("lPrec", kDetailColour, kLabelPoints, lc_Precipitations);
    FFeelLabel = MakeLabel("lFeel", kDetailColour, kLabelPoints, FillText(lc_FeelsLike, QString()).trimmed());
    FWindLabel->setFont(Font(kLabelPoints, false));
    for (QLabel *label : {FPressureLabel, FHumidityLabel, FCloudLabel, FPrecipitationLabel, FFeelLabel})
        label->setFont(Font(kLabelPoints, false));

    FPlaces = {
        {FLocationLabel, cFull, kLocY},     {FDescriptionLabel, cFull, kDescY},    {FTempLabel, cLeft, kTempY},
        {FWindLabel, cLeft, kWindY},   {FPressureLabel, cMiddle, kTempY},  {FHumidityLabel, cMiddle, kWindY},
        {FCloudLabel, cRight, kCloudY}, {FPrecipitationLabel, cRight, kWindY}, {FFeelLabel, cTopRight, kFeelY},
    };
    FErrorIcon->raise();
}

QLabel *THeaderPanel::MakeLabel(const char *name, const QColor &color, int points,
                                const QString &accessibleName)
{
    auto *label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    WindowLook::StyleLabel(*label, color, points, true);
    label->setAccessibleName(accessibleName);
    FPreferredColours.insert(label, color);
    ColourLabelOnBar(*label, color, *this);
    return label;
}

QLabel *THeaderPanel::Label(const QString &name) const
{
    for (const TLabelPlace &place : FPlaces)
        if (place.Label->objectName() == name)
            return place.Label;
    return nullptr;
}

QList<QLabel *> THeaderPanel::Labels() const
{
    QList<QLabel *> labels;
    for (const TLabelPlace &place : FPlaces)
        labels << place.Label;
    return labels;
}

void THeaderPanel::SetText(QLabel *label, const QString &text)
{
    // The whole text stays in the accessible description and, when it had to
    // be shortened, in the hint.
    FTexts.insert(label, text);
    label->setAccessibleDescription(text);
}

void THeaderPanel::ShowTexts(const TPanelTexts &texts)
{
    SetText(FLocationLabel, texts.Loc);
    if (FRefreshing)
        FDescBeforeRefresh = texts.Desc;
    else
        SetText(FDescriptionLabel, texts.Desc);
    SetText(FTempLabel, texts.Temp);
    SetText(FWindLabel, texts.Wind);
    SetText(FPressureLabel, texts.Pres);
    SetText(FHumidityLabel, texts.Hum);
    SetText(FCloudLabel, texts.Cloud);
    SetText(FPrecipitationLabel, texts.Prec);
    SetText(FFeelLabel, texts.Feel);
    FPreferredColours.insert(FTempLabel, texts.TempColour);
    ColourLabelOnBar(*FTempLabel, texts.TempColour, *this);
    FIcon->setToolTip(texts.IconHint);
    FIcon->setAccessibleDescription(texts.IconHint);
    PlaceLabels();
}

void THeaderPanel::UpdateTheme()
{
    TOmniBar::UpdateTheme();
    for (auto it = FPreferredColours.cbegin(); it != FPreferredColours.cend(); ++it)
        ColourLabelOnBar(*it.key(), it.value(), *this);
}

void THeaderPanel::ClearValues()
{
    for (QLabel *label : {FTempLabel, FFeelLabel, FWindLabel, FPressureLabel, FHumidityLabel, FCloudLabel, FPrecipitationLabel})
        SetText(label, QString());
    if (FRefreshing)
        FDescBeforeRefresh.clear();
    else
        SetText(FDescriptionLabel, QString());
    PlaceLabels();
}

void THeaderPanel::ShowConditionPicture(const QImage &image)
{
    if (image.isNull())
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize device = QSize(kIconSize, kIconSize) * ratio;
    QPixmap picture = QPixmap::fromImage(
        image.size() == device ? image : image.scaled(device, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture.setDevicePixelRatio(ratio);
    FIcon->setPixmap(picture);
}

void THeaderPanel::ShowApplicationPicture()
{
    const qreal ratio = devicePixelRatioF();
    QPixmap picture = QPixmap::fromImage(DrawApplicationPicture(qRound(kIconSize * ratio)));
    picture.setDevicePixelRatio(ratio);
    FIcon->setPixmap(picture);
}

void THeaderPanel::ShowError(const QString &hint)
{
    FErrorIcon->setToolTip(hint);
    FErrorIcon->setAccessibleDescription(hint);
    FErrorIcon->show();
    FErrorIcon->raise();
}

void THeaderPanel::HideError()
{
    FErrorIcon->hide();
}

void THeaderPanel::SetRefreshing(bool refreshing)
{
    if (refreshing == FRefreshing)
        return;
    FRefreshing = refreshing;
    if (refreshing) {
        FDescBeforeRefresh = FullText(FDescriptionLabel);
        SetText(FDescriptionLabel, lc_Refreshing);
    } else {
        SetText(FDescriptionLabel, FDescBeforeRefresh);
    }
    PlaceLabels();
}

void THeaderPanel::resizeEvent(QResizeEvent *event)
{
    TOmniBar::resizeEvent(event);
    PlaceLabels();
}

int THeaderPanel::Widest(std::initializer_list<QLabel *> labels) const
{
    int widest = 0;
    for (QLabel *label : labels)
        widest = std::max(widest, TextWidth(*label, FullText(label)));
    return widest;
}

void THeaderPanel::PlaceLabels()
{
    // The columns stand at their usual places; where the desktop's font is
    // wider they move left as far as the column before leaves room, and only
    // what still does not fit is shortened (its hint keeps it whole).
    const int right = width() - kColumnGap;
    const int widestMiddle = Widest({FPressureLabel, FHumidityLabel});
    const int leftEnd = kLeftColumn + std::max(kTempWidth, Widest({FWindLabel}));
    int rightX = std::min(kRightColumn, right - Widest({FCloudLabel, FPrecipitationLabel}));
    int middleX = std::min(kMiddleColumn, rightX - kColumnGap - widestMiddle);
    middleX = std::max(middleX, std::min(kMiddleColumn, leftEnd + kColumnGap));
    rightX = std::max(rightX, std::min(kRightColumn, middleX + widestMiddle + kColumnGap));
    const int feelWidth = std::min(Widest({FFeelLabel}), right - kLeftColumn);

    for (const TLabelPlace &place : FPlaces) {
        QLabel *label = place.Label;
        int x = kLeftColumn, limit = right;
        switch (place.Column) {
        case cFull:
            if (label == FLocationLabel && feelWidth > 0)
                limit = right - feelWidth - kFeelGap;
            break;
        case cTopRight: x = right - feelWidth; break;
        case cLeft: limit = middleX - kColumnGap; break;
        case cMiddle: x = middleX; limit = rightX - kColumnGap; break;
        case cRight: x = rightX; break;
        }
        const int room = label == FTempLabel ? std::max(kTempWidth, limit - x) : std::max(0, limit - x);
        const QString text = FullText(label);
        const QString shown =
            TextWidth(*label, text) <= room ? text : label->fontMetrics().elidedText(text, Qt::ElideRight, room);
        label->setText(shown);
        label->setToolTip(label == FDescriptionLabel ? text : (shown == text ? QString() : text));
        const int w = label == FTempLabel ? std::max(kTempWidth, label->sizeHint().width())
                                     : std::min(room, label->sizeHint().width());
        label->setGeometry(x, place.Y, std::min(w, room), label->sizeHint().height());
    }
}
