// The language the user chose in the preferences ([Settings] LNG): empty for
// "System", which follows the environment, else a language file's code.
#pragma once

#include <QLocale>
#include <QString>

class TLanguageManager;

// The language spoken when neither the choice nor the environment has files.
inline constexpr char kFallbackLanguageCode[] = "en";

// The stored choice as a code, trimmed and in lower case; empty (System) for
// a text that is no plain language code ("de", "pt_br"), which could
// otherwise widen the language file search.
QString ChosenLanguageCode(const QString &stored);

// The language to load: the chosen one when the manager finds files of it,
// else the environment's when it does, else English.
QString LanguageToLoad(const TLanguageManager &manager, const QString &chosen);

// The locale that writes a language's dates (month and day names): the
// system's own when it speaks that language, so its region stays, else the
// language's main locale; the system's for a code no locale knows. No code
// (no language loaded) is English, as the built-in texts are.
QLocale LanguageLocale(const QString &code, const QLocale &system);
