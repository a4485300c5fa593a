// One run of the applet window in this process, with a throw-away settings
// folder (also the configuration folder, so start at logon lands there) and a
// settings file that points the window at a service address with a key.
#pragma once

#include "AppSettings.h"
#include "LayoutManagerINIStorage.h"
#include "LayoutManagerValues.h"
#include "LayoutManagerWinCryptCipherer.h"
#include "MainWindow.h"
#include "StartUp.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TWindowRun
{
public:
    static constexpr int kWaitMs = 15000;

    TWindowRun()
    {
        FSavedConfig = qgetenv("XDG_CONFIG_HOME");
        FHadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(ConfigFolder()));
    }
    ~TWindowRun()
    {
        Close();
        if (FHadConfig)
            qputenv("XDG_CONFIG_HOME", FSavedConfig);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    TWindowRun(const TWindowRun &) = delete;
    TWindowRun &operator=(const TWindowRun &) = delete;

    QString ConfigFolder() const { return FFolder.path() + QStringLiteral("/config"); }
    QString SettingsFile() const { return ConfigFolder() + QStringLiteral("/Zelto/Nimbrel/nimbrel.ini"); }
    QString DataFolder() const { return QFileInfo(SettingsFile()).absolutePath() + QLatin1Char('/'); }
    QString AutostartFile() const { return ConfigFolder() + QStringLiteral("/autostart/nimbrel.desktop"); }

    // The service section, the key enciphered as the program stores it, and
    // further [Settings] values as they stand in the file.
    void WriteSettings(const QString &service, const QString &key,
                       const QMap<QString, QString> &values = QMap<QString, QString>())
    {
        QDir().mkpath(DataFolder());
        TLayoutManagerINIStorage storage(SettingsFile());
        storage.Open(false);
        storage.WriteString(QLatin1String(kServiceSection), QLatin1String(kApiBaseKey), service);
        storage.WriteString(QLatin1String(kServiceSection), QLatin1String(kWebBaseKey), service);
        const QString settings = TLayoutManagerValues::kDefaultSection;
        TLayoutManagerWinCryptCipherer cipherer;
        storage.WriteString(settings, QLatin1String(kApiKeyName),
                            cipherer.EncryptText(key, QLatin1String(kApiKeyPassword)));
        for (auto value = values.cbegin(); value != values.cend(); ++value)
            storage.WriteString(settings, value.key(), value.value());
        storage.Close();
    }

    // A further entry of the service section (read at start, never written).
    void WriteServiceValue(const QString &name, const QString &value)
    {
        TLayoutManagerINIStorage storage(SettingsFile());
        storage.Open(false);
        storage.WriteString(QLatin1String(kServiceSection), name, value);
        storage.Close();
    }

    // A setting as the file holds it now.
    QString StoredText(const QString &section, const QString &name) const
    {
        TLayoutManagerINIStorage storage(SettingsFile());
        return storage.ReadString(section, name, QStringLiteral("<missing>"));
    }

    Twnd_nb_Main &Open()
    {
        FStorage = std::make_shared<TLayoutManagerINIStorage>(SettingsFile());
        TWindowStart start;
        start.ExecutablePath = QStringLiteral(NIMBREL_EXECUTABLE);
        start.SettingsFile = SettingsFile();
        start.LanguageCode = QStringLiteral("en");
        start.ApiBase = ReadServiceAddress(*FStorage, QLatin1String(kApiBaseKey));
        start.WebBase = ReadServiceAddress(*FStorage, QLatin1String(kWebBaseKey));
        start.TimeoutSeconds = ReadServiceTimeout(*FStorage);
        start.CaFile = ReadServiceCaFile(*FStorage);
        start.UseTray = false;
        FWindow = std::make_unique<Twnd_nb_Main>(start, FStorage, std::make_shared<TLayoutManagerWinCryptCipherer>());
        FWindow->show();
        return *FWindow;
    }

    Twnd_nb_Main &Window() { return *FWindow; }

    bool WaitForRefreshEnd()
    {
        return QTest::qWaitFor([this] { return !FWindow->RefreshCycle().IsRefreshing(); }, kWaitMs);
    }

    // Closes the window as the user would, then lets the settings reach the file.
    void Close()
    {
        if (!FWindow)
            return;
        FWindow->close();
        FWindow.reset();
        FStorage.reset();
    }

private:
    QTemporaryDir FFolder;
    QByteArray FSavedConfig;
    bool FHadConfig = false;
    std::shared_ptr<TLayoutManagerINIStorage> FStorage;
    std::unique_ptr<Twnd_nb_Main> FWindow;
};
