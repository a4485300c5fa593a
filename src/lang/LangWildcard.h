#pragma once

#include <QString>

// Wildcard matching of language-file masks and message patterns: "*" stands for
// any run of characters, "?" for exactly one; letters compare ignoring case;
// the whole text must match. Runs in time proportional to pattern × text at
// worst, whatever the pattern (no backtracking blow-up).
bool WildcardMatch(const QString &pattern, const QString &text);

// Rewrites `message`, which must match `pattern`, into `translation`: the
// wildcards of both are paired from the right, the last wildcard of the
// translation receiving the text matched by the last wildcard of the pattern,
// and so on. Of several ways to match, the one where the right-hand wildcards
// take the shortest text is used. Pattern text left unpaired at the left goes
// in place of the translation's first wildcard; translation wildcards without
// a partner stay empty. A translation without wildcards is returned as is.
// False, with `result` untouched, when the message does not match.
bool TranslateByPattern(const QString &pattern, const QString &translation,
                        const QString &message, QString &result);
