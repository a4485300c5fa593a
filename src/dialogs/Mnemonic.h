// Texts with a mnemonic ("&Search": Alt+S) as a screen reader should say them.
#pragma once

#include <QString>

// The text without its "&" markers; "&&" stands for one "&".
QString WithoutMnemonic(const QString &text);
