#include "HourlyViewAccessible.h"

#include "HourlyView.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace {

// One hour of the view. It reads the view as it is now, so it stays right
// when another day is shown.
class THourAccessible : public QAccessibleInterface
{
public:
    THourAccessible(THourlyView *view, int hour) : FView(view), FHour(hour) {}

    bool isValid() const override { return FView && FHour < FView->HourCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return FView ? FView->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override
    {
        return FView ? QAccessible::queryAccessibleInterface(FView.data()) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return isValid() && t == QAccessible::Name ? FView->Day().Hours[FHour].AccessibleText : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = FView->ColumnRect(FHour);
        return QRect(FView->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        state.invisible = !FView->isVisible();
        state.offscreen = !FView->rect().intersects(FView->ColumnRect(FHour));
        state.selectable = true;
        state.focusable = true;
        state.selected = FView->CurrentHour() == FHour;
        state.focused = state.selected && FView->hasFocus();
        return state;
    }

private:
    QPointer<THourlyView> FView;
    int FHour;
};

// Made once per place and kept, as Qt expects of interfaces without an object.
QAccessibleInterface *HourAt(THourlyView *view, int hour)
{
    static QHash<QPair<QObject *, int>, QAccessible::Id> ids;
    const auto key = qMakePair(static_cast<QObject *>(view), hour);
    const auto found = ids.constFind(key);
    if (found != ids.constEnd()) {
        if (QAccessibleInterface *known = QAccessible::accessibleInterface(*found))
            return known;
    }
    QAccessibleInterface *made = new THourAccessible(view, hour);
    ids.insert(key, QAccessible::registerAccessibleInterface(made));
    // A view made later at the same address must not meet these.
    QObject::connect(view, &QObject::destroyed, [key] {
        const QAccessible::Id id = ids.take(key);
        QAccessible::deleteAccessibleInterface(id);
    });
    return made;
}

class THourlyViewAccessible : public QAccessibleWidget
{
public:
    explicit THourlyViewAccessible(THourlyView *view) : QAccessibleWidget(view, QAccessible::List) {}

    int childCount() const override { return View()->HourCount(); }
    QAccessibleInterface *child(int index) const override
    {
        return index >= 0 && index < childCount() ? HourAt(View(), index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (HourAt(View(), i) == child)
                return i;
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const int hour = View()->HourAt(View()->mapFromGlobal(QPoint(x, y)));
        return hour >= 0 ? child(hour) : nullptr;
    }

private:
    THourlyView *View() const { return static_cast<THourlyView *>(widget()); }
};

QAccessibleInterface *HourlyViewFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("THourlyView"))
        return nullptr;
    auto *view = qobject_cast<THourlyView *>(object);
    return view != nullptr ? new THourlyViewAccessible(view) : nullptr;
}

} // namespace

void InstallHourlyViewAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(HourlyViewFactory);
        return true;
    }();
    (void)installed;
}
