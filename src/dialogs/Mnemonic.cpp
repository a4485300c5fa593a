#include "Mnemonic.h"

QString WithoutMnemonic(const QString &text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&') {
            if (i + 1 >= text.size())
                break;
            ++i; // the marked letter, or the second "&" of "&&"
        }
        plain += text.at(i);
    }
    return plain;
}
