#include "ForecastListAccessible.h"

#include "ForecastList.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace {

// A cell's lines as one phrase: blank lines go, the others are joined.
QString SpokenText(const QString &text)
{
    QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines.join(QStringLiteral(", "));
}

// A day's row (column -1) or one of its cells. It reads the list as it is
// now, so it stays right when the rows are replaced.
class TForecastItemAccessible : public QAccessibleInterface
{
public:
    TForecastItemAccessible(TForecastList *list, int row, int column)
        : FList(list), FRow(row), FColumn(column)
    {
    }

    bool isValid() const override { return FList && FRow < FList->RowCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return FList ? FList->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override { return IsRow() && isValid() ? kForecastColumnCount : 0; }
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return IsRow() ? QAccessible::ListItem : QAccessible::StaticText; }
    QAccessible::State state() const override;

private:
    bool IsRow() const { return FColumn < 0; }

    QPointer<TForecastList> FList;
    int FRow;
    int FColumn;
};

// The interfaces of rows and cells, made once per place and kept as Qt
// expects of interfaces without an object of their own.
QAccessibleInterface *ItemAt(TForecastList *list, int row, int column)
{
    static QHash<QPair<QObject *, QPair<int, int>>, QAccessible::Id> ids;
    const auto key = qMakePair(static_cast<QObject *>(list), qMakePair(row, column));
    const auto found = ids.constFind(key);
    if (found != ids.constEnd()) {
        if (QAccessibleInterface *known = QAccessible::accessibleInterface(*found))
            return known;
    }
    QAccessibleInterface *made = new TForecastItemAccessible(list, row, column);
    ids.insert(key, QAccessible::registerAccessibleInterface(made));
    // A list made later at the same address must not meet these.
    QObject::connect(list, &QObject::destroyed, [key] {
        const QAccessible::Id id = ids.take(key);
        QAccessible::deleteAccessibleInterface(id);
    });
    return made;
}

class TForecastListAccessible : public QAccessibleWidget
{
public:
    explicit TForecastListAccessible(TForecastList *list)
        : QAccessibleWidget(list, QAccessible::List)
    {
    }

    int childCount() const override { return List()->RowCount(); }

    QAccessibleInterface *child(int index) const override
    {
        return index >= 0 && index < childCount() ? ItemAt(List(), index, -1) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (ItemAt(List(), i, -1) == child)
                return i;
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        const int row = List()->RowAt(List()->mapFromGlobal(QPoint(x, y)));
        return row >= 0 ? child(row) : nullptr;
    }

private:
    TForecastList *List() const { return static_cast<TForecastList *>(widget()); }
};

QAccessibleInterface *TForecastItemAccessible::parent() const
{
    if (!FList)
        return nullptr;
    return IsRow() ? QAccessible::queryAccessibleInterface(FList.data()) : ItemAt(FList, FRow, -1);
}

QAccessibleInterface *TForecastItemAccessible::child(int index) const
{
    return index >= 0 && index < childCount() ? ItemAt(FList, FRow, index) : nullptr;
}

int TForecastItemAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (int i = 0; i < childCount(); ++i)
        if (ItemAt(FList, FRow, i) == child)
            return i;
    return -1;
}

QAccessibleInterface *TForecastItemAccessible::childAt(int x, int y) const
{
    if (!isValid() || !IsRow())
        return nullptr;
    const int column = FList->ColumnAt(FList->mapFromGlobal(QPoint(x, y)));
    return column >= 0 && FList->RowAt(FList->mapFromGlobal(QPoint(x, y))) == FRow ? child(column) : nullptr;
}

QString TForecastItemAccessible::text(QAccessible::Text t) const
{
    if (!isValid() || t != QAccessible::Name)
        return {};
    if (!IsRow())
        return SpokenText(FList->CellText(FRow, FColumn));
    QStringList cells;
    for (int c = 0; c < kForecastColumnCount; ++c)
        cells << SpokenText(FList->CellText(FRow, c));
    cells.removeAll(QString());
    return cells.join(QStringLiteral("; "));
}

QRect TForecastItemAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect local = IsRow() ? FList->CellRect(FRow, 0).united(FList->CellRect(FRow, kForecastColumnCount - 1))
                                : FList->CellRect(FRow, FColumn);
    return QRect(FList->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State TForecastItemAccessible::state() const
{
    QAccessible::State state;
    if (!isValid())
        return state;
    const QRect visible = FList->rect();
    const QRect cell = FList->CellRect(FRow, 0);
    state.invisible = !FList->isVisible();
    state.offscreen = !visible.intersects(cell);
    if (IsRow()) {
        state.selectable = true;
        state.selected = FList->CurrentRow() == FRow;
        state.focusable = true;
        state.focused = state.selected && FList->hasFocus();
    }
    return state;
}

QAccessibleInterface *ForecastListFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("TForecastList"))
        return nullptr;
    auto *list = qobject_cast<TForecastList *>(object);
    return list != nullptr ? new TForecastListAccessible(list) : nullptr;
}

} // namespace

void InstallForecastListAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(ForecastListFactory);
        return true;
    }();
    (void)installed;
}
