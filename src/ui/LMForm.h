// A window that remembers itself: it owns a layout manager, restores its place,
// size and state when first shown, saves its entry when a move or resize ends
// and everything when it closes for good, and follows display changes.
#pragma once

#include "LayoutManager.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <memory>

class QScreen;

class TLMForm : public QWidget
{
    Q_OBJECT
    // Read by the layout manager: a form with this property is layout-managed.
    Q_PROPERTY(bool LayoutReadOnly READ LayoutReadOnly WRITE SetLayoutReadOnly)

public:
    // A move or resize counts as ended when no further step follows within this time.
    static constexpr int kMoveSettleMs = 400;

    // The initial size is applied (and shrunk to the work area) before the form is
    // centred, as a form's own size would be.
    explicit TLMForm(QWidget *parent = nullptr, QSize initialSize = QSize(), Qt::WindowFlags flags = {});
    ~TLMForm() override;

    // The first layout-managed form made; further forms share its storage.
    static TLMForm *MainForm();
    static void SetMainForm(TLMForm *form);

    TLayoutManager &LayoutManager() { return *FLayoutManager; }
    // Sets the manager's storage; forms made later take it from the main form.
    void SetLayoutStorage(std::shared_ptr<ILayoutManagerStorage> storage);
    std::shared_ptr<ILayoutManagerStorage> LayoutStorage() const { return FLayoutManager->SharedStorage(); }

    bool LayoutControl() const { return FLayoutControl; }
    void SetLayoutControl(bool value);
    TLayoutManagerControlOptions LayoutOptions() const { return FLayoutOptions; }
    void SetLayoutOptions(TLayoutManagerControlOptions value);
    bool LayoutReadOnly() const { return FLayoutReadOnly; }
    void SetLayoutReadOnly(bool value);

    qint64 UniqueId() const { return FUniqueId; }
    bool Closing() const { return FClosing; }
    bool Restored() const { return FRestored; }
    bool DPIChanging() const { return FDPIChanging; }
    bool Moving() const { return FMoving; }
    // The monitor of the last show or move, -1 before the first show.
    int Monitor() const { return FMonitor; }

    // Shrinks the form to the work area, then centres it on `form` or, without
    // one, on the work area of its screen.
    void CenterTo(QWidget *form = nullptr);
    void CenterToDesktop();
    // An index outside the monitors centres on the work area.
    void CenterToMonitor(int monitor);

    // Puts the form wholly on a screen's work area (the one it overlaps most,
    // else the primary one) at no less than its minimum size; a maximised or
    // minimised form is left to the window system.
    void KeepOnScreen();

    // What the screens' change signals lead to; public so the window system's
    // reports can be replayed.
    void DisplaySettingsChanged();
    void MonitorDpiChanged();

    void setVisible(bool visible) override;

signals:
    // The stored layout was applied (at the first show).
    void OnAfterRestore(TLayoutManager *Sender);

protected:
    bool event(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    // The work area of the screen the form is on (the primary one before it is placed).
    QRect WorkArea() const;

    // The save owed at destruction after a show, unless closing, deleteLater() or
    // the end of the event loop saved already. Sections are named after the
    // most-derived class, which is whole only in its own destructor: a form that
    // is deleted directly calls this first thing in its destructor (the base
    // classes call it for forms of their own class, and warn when it was missed).
    void SaveLayoutBeforeDestroy();

private:
    void UserMoveStep();
    void UserMoveEnded();
    void RestoreOwnEntryKeepingState();
    void SaveEverything();
    bool SaveOwed() const;
    void WatchScreens();
    void ScreenOfWindowChanged(QScreen *screen);

    std::unique_ptr<TLayoutManager> FLayoutManager;
    bool FLayoutControl = false;
    TLayoutManagerControlOptions FLayoutOptions = kDefaultFormLayoutOptions;
    bool FLayoutReadOnly = false;
    qint64 FUniqueId = 0;
    bool FClosing = false;
    bool FRestored = false;
    bool FShown = false;
    bool FSavedAtEnd = false;
    bool FDPIChanging = false;
    bool FMoving = false;
    bool FApplyingLayout = false; // moves made by a restore are not the user's
    int FMonitor = -1;
    const QMetaObject *FShownClass = nullptr; // the class the form was shown as
    qreal FLastDpi = 0;
    QPointer<QScreen> FWatchedScreen;
    QTimer FMoveSettle;
};
