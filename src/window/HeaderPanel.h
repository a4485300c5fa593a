// The current-conditions panel: the condition picture with the error icon over
// it, and the labels of place (with the felt temperature at the end of its
// line), description, temperature, wind, pressure, humidity, cloud cover and
// precipitation at their places.
#pragma once

#include "OmniBar.h"
#include "PanelTexts.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>

#include <initializer_list>

class QLabel;

class THeaderPanel : public TOmniBar
{
    Q_OBJECT

public:
    static constexpr int kIconSize = 64;
    static constexpr int kErrorIconSize = 16;
    // Between a label's right end and the next column.
    static constexpr int kColumnGap = 8;

    THeaderPanel(TThemeController *theme, QWidget *parent = nullptr);

    QLabel *WeatherIcon() const { return FIcon; }
    QLabel *ErrorIcon() const { return FErrorIcon; }
    QLabel *Label(const QString &name) const;
    QList<QLabel *> Labels() const;
    // A label's whole text, also where it is shown shortened.
    QString FullText(QLabel *label) const { return FTexts.value(label); }
    QString LocationText() const { return FullText(FLocationLabel); }

    // Every text, hint and the temperature's colour. While a refresh runs the
    // description is kept for its end.
    void ShowTexts(const TPanelTexts &texts);
    // Empties every value label; the place stays.
    void ClearValues();
    // The condition's picture, scaled to the icon's size unless it was made
    // for it at the panel's density; a null image keeps the previous one.
    void ShowConditionPicture(const QImage &image);
    void ShowApplicationPicture();
    // The error icon with its hint, or none.
    void ShowError(const QString &hint);
    void HideError();
    // While a refresh runs the description says so; afterwards it shows what
    // it showed before unless new texts came.
    void SetRefreshing(bool refreshing);
    bool Refreshing() const { return FRefreshing; }

    // The bar's new colours, and the labels' colours made readable on them.
    void UpdateTheme() override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    enum TColumn { cFull, cLeft, cMiddle, cRight, cTopRight };
    struct TLabelPlace {
        QLabel *Label;
        TColumn Column;
        int Y;
    };

    QLabel *MakeLabel(const char *name, const QColor &color, int points, const QString &accessibleName);
    void SetText(QLabel *label, const QString &text);
    void PlaceLabels();
    int Widest(std::initializer_list<QLabel *> labels) const;

    QLabel *FIcon;
    QLabel *FErrorIcon;
    QLabel *FLocationLabel, *FDescriptionLabel, *FTempLabel, *FWindLabel, *FPressureLabel, *FHumidityLabel, *FCloudLabel, *FPrecipitationLabel;
    QLabel *FFeelLabel;
    QList<TLabelPlace> FPlaces;
    QHash<QLabel *, QString> FTexts; // whole, before a text is shortened to fit
    QHash<QLabel *, QColor> FPreferredColours; // each label's own, before the theme's bar is seen
    bool FRefreshing = false;
    QString FDescBeforeRefresh;
};
