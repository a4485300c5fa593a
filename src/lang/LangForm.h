#pragma once

#include <QString>

class QObject;
class TLanguageManager;

// Applies the property texts of one class to `owner` and the objects below it.
// A key "Class.component.Property" names a child by its objectName ("self" is
// the owner), may pass through sub-objects ("lv.Columns[1].Caption",
// "Memo.Lines.Text", "lTemp.Font.Name") and ends in a property name that maps
// to the Qt property of the widget kind (Caption, Text, Hint, Title, TextHint,
// ShortCut, Items[n] …) or names a Qt property directly. The class name
// defaults to the owner's. With `onlyComponent`, other components are left
// alone. Keys that fail are reported in the manager's LastError, the others
// still apply; true when none failed.
bool LangVCL(TLanguageManager &manager, QObject *owner, const QString &asClassName = QString(),
             QObject *onlyComponent = nullptr);
bool LangForm(TLanguageManager &manager, QObject *owner, const QString &asClassName = QString(),
              QObject *onlyComponent = nullptr);
