// Asks the user whether to get the new version, and opens its address on "yes".
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

using TUrlOpener = std::function<bool(const QUrl &address)>;

// The question's two texts in the user's language: the first with "%s" where
// the version goes. Read when the question is asked, so a language chosen
// meanwhile counts.
struct TUpdateQuestionTexts {
    QString Available;
    QString DownloadQuery;
};
using TUpdateQuestionTextSource = std::function<TUpdateQuestionTexts()>;

// The available text with the version in place, a line break, the query. The
// version comes from a page on the network: it brings no markup or control
// characters into the box.
QString UpdateQuestionText(const QString &newVersion, const TUpdateQuestionTexts &texts);

// A yes/no box titled `title` with `question`; "yes" hands `address` to
// `opener` (the desktop's browser by default). True when the user said yes.
// An address that is no web address is never opened.
bool AskToOpenUpdate(const QString &title, const QString &question, const QUrl &address,
                     const TUrlOpener &opener = TUrlOpener());
