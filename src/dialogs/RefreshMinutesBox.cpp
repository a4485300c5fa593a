#include "RefreshMinutesBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace {

// "1440" and a digit more: longer input is no interval anyone means.
constexpr int kMaxDigits = 5;

} // namespace

TRefreshMinutesBox::TRefreshMinutesBox(QWidget *parent)
    : QSpinBox(parent)
{
    setRange(kOff, kMaxMinutes);
    connect(lineEdit(), &QLineEdit::textChanged, this, &TRefreshMinutesBox::TextChanged);
}

bool TRefreshMinutesBox::IsValid() const
{
    QString text = lineEdit()->text();
    int pos = 0;
    return validate(text, pos) == QValidator::Acceptable;
}

int TRefreshMinutesBox::Showable(int minutes)
{
    if (minutes <= kOff)
        return kOff;
    return std::clamp(minutes, kMinMinutes, kMaxMinutes);
}

QValidator::State TRefreshMinutesBox::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos);
    const QString text = input.trimmed();
    const QString off = specialValueText();
    if (!off.isEmpty() && text.compare(off, Qt::CaseInsensitive) == 0)
        return QValidator::Acceptable;
    if (text.isEmpty() || (!off.isEmpty() && off.startsWith(text, Qt::CaseInsensitive)))
        return QValidator::Intermediate;
    if (text.size() > kMaxDigits)
        return QValidator::Invalid;
    for (const QChar c : text) {
        if (!c.isDigit())
            return QValidator::Invalid;
    }
    const int minutes = text.toInt();
    // 1 to 9 and more than a day are kept as typed, to be told, not cut.
    return minutes == kOff || (minutes >= kMinMinutes && minutes <= kMaxMinutes) ? QValidator::Acceptable
                                                                               : QValidator::Intermediate;
}

int TRefreshMinutesBox::valueFromText(const QString &text) const
{
    const QString trimmed = text.trimmed();
    if (!specialValueText().isEmpty() && trimmed.compare(specialValueText(), Qt::CaseInsensitive) == 0)
        return kOff;
    return trimmed.toInt();
}

void TRefreshMinutesBox::stepBy(int steps)
{
    // Between "off" and the shortest interval there is nothing to stop at.
    int next = value() + steps * singleStep();
    if (value() == kOff && steps > 0)
        next = std::max(next, kMinMinutes);
    else if (next < kMinMinutes)
        next = kOff;
    setValue(std::min(next, kMaxMinutes));
    selectAll();
}

void TRefreshMinutesBox::focusOutEvent(QFocusEvent *event)
{
    // The spin box would put its last value back without a word; the wrong
    // text stays for the user to see beside the message.
    if (!IsValid()) {
        QApplication::sendEvent(lineEdit(), event);
        QWidget::focusOutEvent(event);
        return;
    }
    QSpinBox::focusOutEvent(event);
}

void TRefreshMinutesBox::keyPressEvent(QKeyEvent *event)
{
    // Enter on a wrong number goes to the dialog, which refuses to confirm it.
    if (!IsValid() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->ignore();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

void TRefreshMinutesBox::TextChanged()
{
    const bool valid = IsValid();
    if (valid == FValid)
        return;
    FValid = valid;
    emit ValidityChanged(valid);
}
