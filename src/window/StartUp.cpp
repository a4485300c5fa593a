#include "StartUp.h"

#include "HintWrap.h"
#include "AppSettings.h"
#include "LangConsts.h"
#include "LangMan.h"
#include "LanguageChoice.h"
#include "LayoutManagerINIStorage.h"
#include "LayoutManagerValues.h"
#include "LayoutManagerWinCryptCipherer.h"
#include "MainWindow.h"
#include "PortableDrive.h"
#include "QtTranslations.h"
#include "SettingsLocation.h"
#include "SingleInstance.h"
#include "TerminationSignals.h"
#include "TrayIcon.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QLoggingCategory>
#include <QUrl>

#include <cstdio>
#include <memory>

namespace {

// What the start found: the language and its files, the window's first texts.
// Silent unless asked for (QT_LOGGING_RULES="nimbrel.start.info=true").
Q_LOGGING_CATEGORY(lcStart, "nimbrel.start", QtWarningMsg)

} // namespace

QString ReadServiceAddress(ILayoutManagerStorage &storage, const QString &key)
{
    const QString text = storage.ReadString(QLatin1String(kServiceSection), key, QString()).trimmed();
    if (text.isEmpty())
        return QString();
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
        !url.host().isEmpty())
        return text;
    std::fprintf(stderr, "nimbrel: [%s] %s=%s is not an http or https address; the default is used\n",
                 kServiceSection, key.toUtf8().constData(), text.toUtf8().constData());
    return QString();
}

int ReadServiceTimeout(ILayoutManagerStorage &storage)
{
    const QString text =
        storage.ReadString(QLatin1String(kServiceSection), QLatin1String(kTimeoutKey), QString()).trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const int seconds = text.toInt(&ok);
    if (ok && seconds >= 1 && seconds <= kLongestTimeoutSeconds)
        return seconds;
    std::fprintf(stderr, "nimbrel: [%s] %s=%s is not a number of seconds from 1 to %d; the default is used\n",
                 kServiceSection, kTimeoutKey, text.toUtf8().constData(), kLongestTimeoutSeconds);
    return 0;
}

QString ReadServiceCaFile(ILayoutManagerStorage &storage)
{
    const QString path =
        storage.ReadString(QLatin1String(kServiceSection), QLatin1String(kCaFileKey), QString()).trimmed();
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    std::fprintf(stderr, "nimbrel: [%s] %s=%s is not an absolute path; only the system's certificates are trusted\n",
                 kServiceSection, kCaFileKey, path.toUtf8().constData());
    return QString();
}

QString InitLanguage(TLanguageManager &manager, const QString &chosen)
{
    manager.SetLanguageCode(LanguageToLoad(manager, chosen));
    const QString code =
        manager.LanguageCode().isEmpty() ? QString::fromLatin1(kFallbackLanguageCode) : manager.LanguageCode();
    ResetTexts();
    LoadTexts(manager);
    LoadQtTranslations(code);
    return code;
}

int RunNimbrel(QApplication &app, const TRunHooks &hooks)
{
    // Where the settings live is decided first; the file itself is not read yet.
    const QString executable = QCoreApplication::applicationFilePath();
    const QString settingsFile = SettingsFileName(executable, IsPortableDrive(executable));

    TSingleInstance instance(QString::fromLatin1(kInstanceIdentifier));
    if (instance.ActivatePreviousInstance())
        return 0; // the running copy raises its window; nothing is read or written here
    QuitOnTerminationSignals(app);

    QLocale::setDefault(QLocale::system());
    TWindowStart start;
    start.ExecutablePath = executable;
    start.SettingsFile = settingsFile;
    auto storage = std::make_shared<TLayoutManagerINIStorage>(settingsFile);
    const QString chosenLanguage =
        storage->ReadString(TLayoutManagerValues::kDefaultSection, QLatin1String(kLanguageName), QString());
    start.LanguageCode = InitLanguage(GlobalLangManager(), chosenLanguage);
    qCInfo(lcStart).noquote() << "language" << start.LanguageCode << "(" + GlobalLangManager().LanguageName() + ")"
                              << "from" << GlobalLangManager().ActiveFiles().join(QStringLiteral(", "));
    start.UseTray = TTrayIcon::Available();

    start.ApiBase = ReadServiceAddress(*storage, QLatin1String(kApiBaseKey));
    start.WebBase = ReadServiceAddress(*storage, QLatin1String(kWebBaseKey));
    start.OpenMeteoBase = ReadServiceAddress(*storage, QLatin1String(kOpenMeteoBaseKey));
    start.GeocodingBase = ReadServiceAddress(*storage, QLatin1String(kGeocodingBaseKey));
    start.TimeoutSeconds = ReadServiceTimeout(*storage);
    // A settings file that is no regular file (or a link to a device) is neither
    // read nor written; the program runs on its defaults and says so now.
    if (!storage->LastError().isEmpty())
        std::fprintf(stderr, "nimbrel: %s; running on default settings, which are not saved\n",
                     storage->LastError().toUtf8().constData());
    start.CaFile = ReadServiceCaFile(*storage);

    app.setApplicationDisplayName(Twnd_nb_Main::kApplicationTitle);
    app.setQuitOnLastWindowClosed(false); // the window's own close ends the program
    app.installEventFilter(new THintWrap(&app));

    Twnd_nb_Main window(start, storage, std::make_shared<TLayoutManagerWinCryptCipherer>());
    QObject::connect(&instance, &TSingleInstance::ActivationRequested, &window, &Twnd_nb_Main::BringToFront);
    QObject::connect(&window, &Twnd_nb_Main::Closed, &app, &QCoreApplication::quit);
    if (hooks.WindowCreated)
        hooks.WindowCreated(window);
    window.show();
    qCInfo(lcStart).noquote() << "window" << window.windowTitle();
    qCInfo(lcStart).noquote() << "day names from"
                              << (window.NamesSource().isEmpty() ? QStringLiteral("none") : window.NamesSource());
    const int code = app.exec();
    if (!window.LayoutManager().LastError().isEmpty())
        std::fprintf(stderr, "nimbrel: the settings were not saved: %s\n",
                     window.LayoutManager().LastError().toUtf8().constData());
    return code;
}
