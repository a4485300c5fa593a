// Texts with a mnemonic ("&Search": Alt+S) as a screen reader should say them.
#pragma once

#include <QString>

// The text without its "&" markers; "&&" stands for one "&", and a letter
// added in parentheses for the mnemonic ("設定(&S)") goes whole.
QString WithoutMnemonic(const QString &text);
