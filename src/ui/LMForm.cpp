#include "LMForm.h"

#include "ScreenFit.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace {

QPointer<TLMForm> GMainForm;

QScreen *ScreenOrPrimary(const QWidget *widget)
{
    QScreen *screen = widget->screen();
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

} // namespace

TLMForm::TLMForm(QWidget *parent, QSize initialSize, Qt::WindowFlags flags)
    : QWidget(parent, flags | Qt::Window)
    , FLayoutManager(std::make_unique<TLayoutManager>(this))
    , FUniqueId(QDateTime::currentMSecsSinceEpoch())
{
    connect(FLayoutManager.get(), &TLayoutManager::OnAfterRestore, this, &TLMForm::OnAfterRestore);

    FMoveSettle.setSingleShot(true);
    FMoveSettle.setInterval(kMoveSettleMs);
    connect(&FMoveSettle, &QTimer::timeout, this, &TLMForm::UserMoveEnded);

    if (initialSize.isValid())
        resize(initialSize);

    if (!GMainForm)
        GMainForm = this;
    else if (GMainForm->LayoutStorage()) {
        SetLayoutStorage(GMainForm->LayoutStorage());
        SetLayoutReadOnly(GMainForm->LayoutReadOnly());
    }

    CenterTo(nullptr);

    // The main window is usually destroyed after the event loop has ended; save
    // while it is still whole.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!FSavedAtEnd)
            SaveEverything();
    });
    connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        connect(screen, &QScreen::geometryChanged, this, &TLMForm::DisplaySettingsChanged);
        DisplaySettingsChanged();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, &TLMForm::DisplaySettingsChanged);
    for (QScreen *screen : QGuiApplication::screens())
        connect(screen, &QScreen::geometryChanged, this, &TLMForm::DisplaySettingsChanged);
}

TLMForm::~TLMForm()
{
    SaveLayoutBeforeDestroy();
    if (SaveOwed())
        qWarning("%s was deleted without SaveLayoutBeforeDestroy() in its destructor; "
                 "its layout was not saved",
                 FShownClass->className());
    FClosing = true;
    FMoveSettle.stop();
    if (GMainForm == this)
        GMainForm = nullptr;
}

TLMForm *TLMForm::MainForm()
{
    return GMainForm;
}

void TLMForm::SetMainForm(TLMForm *form)
{
    GMainForm = form;
}

void TLMForm::SetLayoutStorage(std::shared_ptr<ILayoutManagerStorage> storage)
{
    FLayoutManager->SetStorage(std::move(storage));
}

void TLMForm::SetLayoutControl(bool value)
{
    if (FLayoutControl == value)
        return;
    FLayoutControl = value;
    if (value)
        FLayoutManager->Add(this, QStringList(), FLayoutOptions);
    else
        FLayoutManager->Delete(this);
}

void TLMForm::SetLayoutOptions(TLayoutManagerControlOptions value)
{
    FLayoutOptions = value;
    if (FLayoutControl)
        FLayoutManager->SetOptions(this, value);
}

void TLMForm::SetLayoutReadOnly(bool value)
{
    FLayoutReadOnly = value;
    FLayoutManager->SetReadOnly(value);
}

QRect TLMForm::WorkArea() const
{
    const QScreen *screen = ScreenOrPrimary(this);
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, width(), height());
}

void TLMForm::CenterTo(QWidget *form)
{
    const QRect area = WorkArea();
    // A form never starts larger than the work area it is centred in.
    const int w = std::min(width(), area.width());
    const int h = std::min(height(), area.height());
    if (w != width() || h != height())
        resize(w, h);
    if (form != nullptr)
        move(form->x() + (form->width() - w) / 2, form->y() + (form->height() - h) / 2);
    else
        move(area.left() + (area.width() - w) / 2, area.top() + (area.height() - h) / 2);
}

void TLMForm::CenterToDesktop()
{
    const QScreen *screen = ScreenOrPrimary(this);
    if (screen == nullptr)
        return;
    const QRect desktop = screen->virtualGeometry();
    move(desktop.left() + (desktop.width() - width()) / 2, desktop.top() + (desktop.height() - height()) / 2);
}

void TLMForm::CenterToMonitor(int monitor)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (monitor < 0 || monitor >= screens.size()) {
        CenterTo(nullptr);
        return;
    }
    const QRect area = screens[monitor]->availableGeometry();
    const int w = std::min(width(), area.width());
    const int h = std::min(height(), area.height());
    if (w != width() || h != height())
        resize(w, h);
    move(area.left() + (area.width() - w) / 2, area.top() + (area.height() - h) / 2);
}

void TLMForm::setVisible(bool visible)
{
    if (visible && !FRestored) {
        FRestored = true;
        if (FLayoutControl) {
            FApplyingLayout = true;
            FLayoutManager->Restore();
            FApplyingLayout = false;
        }
        // A stored place may be on a monitor that is gone.
        KeepOnScreen();
    }
    QWidget::setVisible(visible);
    if (visible && isVisible()) {
        FSavedAtEnd = false;
        FShownClass = metaObject();
        if (!FShown) {
            FShown = true;
            FMonitor = FLayoutManager->Displays().MonitorOf(this);
            WatchScreens();
        }
    }
}

void TLMForm::WatchScreens()
{
    QWindow *handle = windowHandle();
    if (handle == nullptr)
        return;
    connect(handle, &QWindow::screenChanged, this, &TLMForm::ScreenOfWindowChanged, Qt::UniqueConnection);
    ScreenOfWindowChanged(handle->screen());
}

void TLMForm::ScreenOfWindowChanged(QScreen *screen)
{
    if (FWatchedScreen)
        disconnect(FWatchedScreen, &QScreen::logicalDotsPerInchChanged, this, nullptr);
    FWatchedScreen = screen;
    if (screen == nullptr)
        return;
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, [this](qreal dpi) {
        if (dpi != FLastDpi) {
            FLastDpi = dpi;
            MonitorDpiChanged();
        }
    });
    const qreal dpi = screen->logicalDotsPerInch();
    const bool changed = FLastDpi > 0 && dpi != FLastDpi;
    FLastDpi = dpi;
    if (changed)
        MonitorDpiChanged();
}

void TLMForm::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    UserMoveStep();
}

void TLMForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    UserMoveStep();
}

void TLMForm::UserMoveStep()
{
    if (!FShown || FApplyingLayout || FClosing || !isVisible())
        return;
    FMoving = true;
    FMoveSettle.start();
    const int monitor = FLayoutManager->Displays().MonitorOf(this);
    FMonitor = monitor;
}

void TLMForm::UserMoveEnded()
{
    FMoving = false;
    if (FLayoutControl && FShown && !FClosing)
        FLayoutManager->Save(this);
}

void TLMForm::RestoreOwnEntryKeepingState()
{
    const TLayoutManagerControlOptions options = FLayoutManager->Options(this);
    const Qt::WindowStates states = windowState();
    FLayoutManager->SetOptions(this, options & ~TLayoutManagerControlOptions(loState));
    FApplyingLayout = true;
    FLayoutManager->Restore(this);
    // Placing a maximised window may drop the state on some platforms; keep it.
    if (windowState() != states)
        setWindowState(states);
    FApplyingLayout = false;
    FLayoutManager->SetOptions(this, options);
}

void TLMForm::KeepOnScreen()
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
        return;
    const QRect fitted = FitOnScreens(geometry(), minimumSize(), ScreenWorkAreas(), PrimaryScreenIndex());
    if (fitted != geometry())
        setGeometry(fitted);
}

void TLMForm::DisplaySettingsChanged()
{
    if (FLayoutControl && FShown && !FDPIChanging && !FMoving && !FClosing)
        RestoreOwnEntryKeepingState();
    if (FShown && !FClosing)
        KeepOnScreen();
}

void TLMForm::MonitorDpiChanged()
{
    FDPIChanging = true;
    if (FLayoutControl && FShown && !FMoving && !FClosing)
        RestoreOwnEntryKeepingState();
    FDPIChanging = false;
}

bool TLMForm::event(QEvent *event)
{
    // Both happen while the whole form still exists, whatever its class overrides.
    if (event->type() == QEvent::DeferredDelete) {
        SaveLayoutBeforeDestroy();
    } else if (event->type() == QEvent::Close) {
        const bool handled = QWidget::event(event);
        if (event->isAccepted()) {
            if (testAttribute(Qt::WA_DeleteOnClose))
                FClosing = true;
            SaveEverything();
        }
        return handled;
    }
    return QWidget::event(event);
}

void TLMForm::SaveEverything()
{
    if (!FLayoutControl || !FShown)
        return;
    FMoveSettle.stop();
    FMoving = false;
    FSavedAtEnd = true;
    FLayoutManager->Save();
}

bool TLMForm::SaveOwed() const
{
    return FLayoutControl && FShown && !FSavedAtEnd && !FLayoutManager->ReadOnly();
}

void TLMForm::SaveLayoutBeforeDestroy()
{
    if (!SaveOwed() || metaObject() != FShownClass)
        return;
    FClosing = true;
    SaveEverything();
}
