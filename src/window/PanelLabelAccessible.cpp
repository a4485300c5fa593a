#include "PanelLabelAccessible.h"

#include "HeaderPanel.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace {

class TPanelLabelAccessible : public QAccessibleWidget
{
public:
    TPanelLabelAccessible(QLabel *label, THeaderPanel *panel)
        : QAccessibleWidget(label, QAccessible::StaticText), FPanel(panel)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const QString name = widget()->accessibleName();
        const QString value = FPanel->FullText(static_cast<QLabel *>(widget())).trimmed();
        // Texts such as "Pressure: 1012 hPa" carry their label already.
        if (value.isEmpty() || value.startsWith(name, Qt::CaseInsensitive))
            return value.isEmpty() ? name : value;
        return name.isEmpty() ? value : name + QStringLiteral(": ") + value;
    }

private:
    THeaderPanel *FPanel;
};

QAccessibleInterface *PanelLabelFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("QLabel"))
        return nullptr;
    auto *label = qobject_cast<QLabel *>(object);
    auto *panel = label != nullptr ? qobject_cast<THeaderPanel *>(label->parentWidget()) : nullptr;
    // Asked for while the panel is still being built, so the pictures are
    // told apart rather than the values looked up.
    if (panel == nullptr || label == panel->WeatherIcon() || label == panel->ErrorIcon())
        return nullptr;
    return new TPanelLabelAccessible(label, panel);
}

} // namespace

void InstallPanelLabelAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(PanelLabelFactory);
        return true;
    }();
    (void)installed;
}
