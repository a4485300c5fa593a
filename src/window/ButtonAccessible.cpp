#include "ButtonAccessible.h"

#include "OmniBar.h"

#include <QAccessibleWidget>

namespace {

class TButtonAccessible : public QAccessibleWidget
{
public:
    explicit TButtonAccessible(TOmniBar *bar)
        : QAccessibleWidget(bar, QAccessible::Button)
    {
    }

    QStringList actionNames() const override
    {
        return {Bar()->DropDownMenu() ? showMenuAction() : pressAction()};
    }

    void doAction(const QString &actionName) override
    {
        TOmniBar *bar = Bar();
        if (!bar->isEnabled())
            return;
        if (actionName == showMenuAction() && bar->DropDownMenu())
            bar->PopupDropdownMenu();
        else if (actionName == pressAction())
            emit bar->OnClick(bar);
    }

private:
    TOmniBar *Bar() const { return static_cast<TOmniBar *>(widget()); }
};

QAccessibleInterface *ButtonFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("TOmniBar"))
        return nullptr;
    auto *bar = qobject_cast<TOmniBar *>(object);
    return bar != nullptr && bar->ButtonMode() ? new TButtonAccessible(bar) : nullptr;
}

} // namespace

void InstallButtonAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(ButtonFactory);
        return true;
    }();
    (void)installed;
}
