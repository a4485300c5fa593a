// Asks the user whether to get the new version, and opens its address on "yes".
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

using TUrlOpener = std::function<bool(const QUrl &address)>;

// A yes/no box titled `title` with `question`; "yes" hands `address` to
// `opener` (the desktop's browser by default). True when the user said yes.
// An address that is no web address is never opened.
bool AskToOpenUpdate(const QString &title, const QString &question, const QUrl &address,
                     const TUrlOpener &opener = TUrlOpener());
