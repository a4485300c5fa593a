#pragma once

#include <QString>
#include <QtGlobal>

// The language code of a Windows language identifier (LANGID), as language
// files name their language, or an empty text for an identifier not known.
QString LanguageCodeOfLangId(quint16 langId);

// Whether some LANGID gives this code (letter case ignored).
bool IsKnownLanguageCode(const QString &code);

// The user's language as a language-file code: the language of the default
// locale, kept only when it is one of the codes above; else an empty text.
QString GetUserLanguageCode();
