// Settings values as the main window registers them, and small helpers for
// driving the preferences dialog.
#pragma once

#include "AppSettings.h"
#include "LayoutManagerValues.h"
#include "PrefsDialog.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

// The nine values with their defaults, as the main window holds them.
struct TSettingsValues {
    TLayoutManagerValues Values;
    TSettingsValues() { RegisterDefaults(Values); }
    void Set(const char *name, const QVariant &value) { Values.SetValueByName(QLatin1String(name), value); }
    QVariant Get(const char *name) const { return Values.GetValueByName(QLatin1String(name)); }
};

// Clicks a check box or radio button on its indicator: the middle of a wide
// one lies beyond its text, where a click does nothing.
inline void ClickButton(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

// Replaces the location text as a user would: select all, type.
inline void TypeLocation(Tdlg_nb_Prefs &dialog, const QString &text)
{
    dialog.FLocationEdit->setFocus();
    dialog.FLocationEdit->selectAll();
    QTest::keyClick(dialog.FLocationEdit, Qt::Key_Delete);
    QTest::keyClicks(dialog.FLocationEdit, text);
}
