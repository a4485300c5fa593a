#include "Mnemonic.h"

#include <QRegularExpression>

QString WithoutMnemonic(const QString &text)
{
    // Japanese and Chinese captions carry their letter in parentheses
    // ("設定(&S)"), which a screen reader should not spell out.
    static const QRegularExpression kAddedLetter(QStringLiteral("\\(&[^&]\\)"));
    const QString marked = QString(text).remove(kAddedLetter);
    QString plain;
    plain.reserve(marked.size());
    for (qsizetype i = 0; i < marked.size(); ++i) {
        if (marked.at(i) == u'&') {
            if (i + 1 >= marked.size())
                break;
            ++i; // the marked letter, or the second "&" of "&&"
        }
        plain += marked.at(i);
    }
    return plain;
}
