#include "ConditionPictureSource.h"
#include "WeatherIcons.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ConditionPictureSource, OwnPicturesForOpenMeteoAlwaysForOpenWeatherMapByChoice)
{
    const struct {
        TWeatherService Service;
        bool Chosen;
        bool Own;
    } cases[] = {
        {wsOwm, true, true},
        {wsOwm, false, false},
        {wsOpenMeteo, true, true},
        {wsOpenMeteo, false, true}, // the service has no pictures to download
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.Service << " " << c.Chosen);
        EXPECT_EQ(UsesOwnPictures(c.Service, c.Chosen), c.Own);
    }
}

TEST(ConditionPictureSource, OwnDrawingsOrTheDownloadedFileAsItIs)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = IconFilePath(folder.path(), QStringLiteral("10d.png"));
    QImage downloaded(50, 50, QImage::Format_ARGB32);
    downloaded.fill(Qt::red);
    ASSERT_TRUE(downloaded.save(file));

    // Own: drawn at the density, whatever lies in the folder.
    const QImage own = ConditionPicture(true, QStringLiteral("10d.png"), file, 64, 2.0);
    EXPECT_EQ(own.size(), QSize(128, 128));
    EXPECT_DOUBLE_EQ(own.devicePixelRatio(), 2.0);
    EXPECT_TRUE(ConditionPicture(true, QStringLiteral("xyz.png"), file, 64, 1.0).isNull());

    // Downloaded: the file as it came, the size and density left to the window.
    const QImage fetched = ConditionPicture(false, QStringLiteral("10d.png"), file, 64, 2.0);
    EXPECT_EQ(fetched.size(), QSize(50, 50));
    EXPECT_DOUBLE_EQ(fetched.devicePixelRatio(), 1.0);
    EXPECT_EQ(fetched.pixel(25, 25), QColor(Qt::red).rgb());
    EXPECT_TRUE(
        ConditionPicture(false, QStringLiteral("13n.png"), IconFilePath(folder.path(), QStringLiteral("13n.png")), 64, 1.0)
            .isNull());
    EXPECT_TRUE(ConditionPicture(false, QStringLiteral("13n.png"), QString(), 64, 1.0).isNull());
}
