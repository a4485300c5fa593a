#include "UpdateQuestion.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

TEST(UpdateQuestionBox, AsksWithTheTitleAndOpensOnYes)
{
    const QUrl site(QStringLiteral("https://maker.example/nimbrel"));
    const struct {
        QMessageBox::StandardButton answer;
        QUrl address;
        bool yes;
        bool opened;
    } cases[] = {
        {QMessageBox::Yes, site, true, true},
        {QMessageBox::No, site, false, false},
        {QMessageBox::Yes, QUrl(QStringLiteral("file:///usr/bin/true")), true, false},
        {QMessageBox::Yes, QUrl(), true, false},
    };
    for (const auto &c : cases) {
        QString title;
        QString text;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            box->button(c.answer)->click();
        });
        QList<QUrl> opened;
        const bool yes = AskToOpenUpdate(QStringLiteral("Nimbrel"), QStringLiteral("New version 2.0 is available.\nDo you want to download it?"),
                                         c.address, [&](const QUrl &url) {
                                             opened << url;
                                             return true;
                                         });
        EXPECT_EQ(yes, c.yes);
        EXPECT_EQ(title, QStringLiteral("Nimbrel"));
        EXPECT_EQ(text, QStringLiteral("New version 2.0 is available.\nDo you want to download it?"));
        EXPECT_EQ(opened, c.opened ? QList<QUrl>{c.address} : QList<QUrl>{}) << c.address.toString().toStdString();
    }
}

TEST(UpdateQuestionText, VersionInPlaceAndLineBreak)
{
    const TUpdateQuestionTexts english{QStringLiteral("New version %s is available."),
                                       QStringLiteral("Do you want to download it?")};
    EXPECT_EQ(UpdateQuestionText(QStringLiteral("2.5.0.1"), english),
              QStringLiteral("New version 2.5.0.1 is available.\nDo you want to download it?"));
    // A page's version brings no markup or control characters into the box.
    EXPECT_EQ(UpdateQuestionText(QStringLiteral("<img src=x>2.6\r\n"), english),
              QStringLiteral("New version img src=x2.6 is available.\nDo you want to download it?"));
    const TUpdateQuestionTexts czech{QStringLiteral("Nová verze %s je k dispozici."), QStringLiteral("Stáhnout?")};
    EXPECT_EQ(UpdateQuestionText(QStringLiteral("3.0"), czech), QStringLiteral("Nová verze 3.0 je k dispozici.\nStáhnout?"));
}

} // namespace
