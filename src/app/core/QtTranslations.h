// Qt's own texts (the buttons of a question box, a text field's menu) in the
// program's language.
#pragma once

#include <QString>

// Qt's translations folder, where the distribution installs its catalogues.
QString QtTranslationsFolder();

// Replaces the Qt catalogue loaded before with the `qtbase` catalogue of the
// language `code` from `folder`. False, Qt's texts then being English, when
// the folder holds none for the language.
bool LoadQtTranslations(const QString &code, const QString &folder = QtTranslationsFolder());
