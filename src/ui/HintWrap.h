// Hints (tooltips) broken into lines of a readable width: a service's long
// message would otherwise show as one line across most of the screen.
#pragma once

#include <QObject>
#include <QString>

class QFontMetrics;

// About as many characters as a comfortable line of reading holds.
inline constexpr int kReadableHintCharacters = 60;

// The widest line a hint may take in `metrics`' font.
int ReadableHintWidth(const QFontMetrics &metrics);

// `text` with each of its lines wider than `maxWidth` broken at blanks into
// lines no wider than that; a single word wider than `maxWidth` keeps a line of
// its own. The text's own line breaks stay; the words keep their order.
QString WrapHint(const QString &text, const QFontMetrics &metrics, int maxWidth);

// Installed on the application, shows every plain widget hint wrapped to the
// readable width; the widgets keep their hints as set.
class THintWrap : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
