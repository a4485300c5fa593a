// The moon as it looks at a given time: a stock full-moon picture with the
// unlit part painted black, optionally the Apollo 11 landing site as a red dot,
// optionally turned by quarter turns; also handed out as an icon with a mask.
#pragma once

#include "astro_types.h"

#include <QIcon>
#include <QImage>
#include <QObject>
#include <QSize>

enum TMoonSize { ms64, ms32, ms16 };
enum TMoonStyle { msClassic, msColor };
enum TRotate { rot_none, rot_90, rot_180, rot_270 };
// Placement in a parent, kept for the host that lays the picture out.
enum class TMoonAlign { None, Top, Bottom, Left, Right, Client };

class TMoon : public QObject {
    Q_OBJECT
    Q_PROPERTY(TMoonAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(TMoonSize MoonSize READ MoonSize WRITE SetMoonSize)
    Q_PROPERTY(double Date READ Date WRITE SetDate)
    Q_PROPERTY(QImage Picture READ Picture NOTIFY PictureChanged)
    Q_PROPERTY(QIcon Icon READ Icon)
    Q_PROPERTY(TRotate Rotation READ Rotation WRITE SetRotation)
    Q_PROPERTY(bool ShowApollo11 READ ShowApollo11 WRITE SetShowApollo11)
    Q_PROPERTY(TMoonStyle MoonStyle READ MoonStyle WRITE SetMoonStyle)
public:
    explicit TMoon(QObject *owner = nullptr);
    ~TMoon() override;

    TMoonAlign Align() const { return F_Align; }
    void SetAlign(TMoonAlign value) { F_Align = value; }

    TMoonSize MoonSize() const { return FMoonSize; }
    void SetMoonSize(TMoonSize value);

    TDateTime Date() const { return FDate; }
    void SetDate(TDateTime value);
    bool DateChanged() const { return FDateChanged; }

    // The drawn picture; it cannot be assigned from outside.
    const QImage &Picture() const { return FBMP; }

    // Rebuilt on every read, at the icon size (see SetIconSize).
    QIcon Icon();

    // The icon's picture at one of the moon sizes, transparent outside the
    // disc as the mask says: what a host draws at a higher pixel density.
    QImage MaskedPicture(TMoonSize size) const;

    TRotate Rotation() const { return FRotate; }
    void SetRotation(TRotate value);

    bool ShowApollo11() const { return FApollo; }
    void SetShowApollo11(bool value);

    TMoonStyle MoonStyle() const { return FStyle; }
    void SetMoonStyle(TMoonStyle value);

    int Width() const { return FMaxWidth; }
    int Height() const { return FMaxHeight; }

    // Phase angle 0..360: 180 at new moon, falling to 0 at full moon while
    // waxing, then from 360 back down to 180.
    long double Angle() const { return FAngle; }

    // The standard icon size of the desktop; 32×32 unless the host says otherwise.
    static QSize IconSize();
    static void SetIconSize(QSize size);

signals:
    // The picture was drawn anew.
    void PictureChanged();

private:
    void Redraw();

    TMoonAlign F_Align = TMoonAlign::None;
    QImage FBMP;
    int FMaxWidth = 0;
    int FMaxHeight = 0;
    TMoonSize FMoonSize = ms64;
    long double FAngle = 0;
    TDateTime FDate = 0;
    bool FDateChanged = false;
    QIcon FIcon;
    TRotate FRotate = rot_none;
    bool FApollo = true;
    TDateTime FApolloDate = 0;
    TMoonStyle FStyle = msClassic;
};
