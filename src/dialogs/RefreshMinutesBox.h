// The refresh interval's spin box: "off" (0, no automatic refresh) or 10 to
// 1440 minutes. A number outside that stays as typed and is told, instead of
// being cut or reverted silently; the dialog refuses to confirm it.
#pragma once

#include <QSpinBox>

class TRefreshMinutesBox : public QSpinBox
{
    Q_OBJECT
public:
    static constexpr int kOff = 0;
    static constexpr int kMinMinutes = 10;
    static constexpr int kMaxMinutes = 1440;

    explicit TRefreshMinutesBox(QWidget *parent = nullptr);

    // Whether the text stands for "off" or an interval in range.
    bool IsValid() const;
    // A stored interval as the box shows it: 0 and 10 to 1440 as they are,
    // anything else the nearest of those.
    static int Showable(int minutes);

signals:
    void ValidityChanged(bool valid);

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    int valueFromText(const QString &text) const override;
    void stepBy(int steps) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void TextChanged();

    bool FValid = true;
};
