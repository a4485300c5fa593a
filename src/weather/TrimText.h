#pragma once

#include <QString>

// Removes leading and trailing spaces and control characters (everything up to
// and including U+0020), the trimming the service's texts get.
QString TrimControl(const QString &text);
