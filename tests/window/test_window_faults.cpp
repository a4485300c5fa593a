// The faults an applet meets, against the running window: a service that
// stalls, drips, breaks off, floods, or answers with something else than
// weather, and on the machine's side settings and data files that are broken or
// cannot be written. In each case the program keeps running, says why where the
// user should know, loses no setting and recovers at the next good answer.
#include "DayNames.h"
#include "ForecastList.h"
#include "HeaderPanel.h"
#include "LangConsts.h"
#include "LangMan.h"
#include "StandIn.h"
#include "TitleBar.h"
#include "WaitFor.h"
#include "WindowRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <memory>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Short enough that the stalling and dripping cases cost seconds, long
// enough for a loaded machine to answer the good ones.
const QString kTimeoutSeconds = QStringLiteral("3");
const QString kKey = QStringLiteral("demo-key");

QString Text(Twnd_nb_Main &window, const char *label)
{
    return window.Header()->FullText(window.Header()->Label(QLatin1String(label)));
}

// The error icon's hint: its first line says why, a second may say what to do.
QString Hint(Twnd_nb_Main &window)
{
    return window.Header()->ErrorIcon()->toolTip().section(QLatin1Char('\n'), 0, 0);
}

QMap<QString, QString> PanelTexts(Twnd_nb_Main &window)
{
    QMap<QString, QString> texts;
    for (QLabel *label : window.Header()->Labels())
        texts.insert(label->objectName(), window.Header()->FullText(label));
    return texts;
}

// Settings a user changed from their defaults; every one must survive a fault.
const QMap<QString, QString> kChangedSettings = {
    {QStringLiteral("U"), QStringLiteral("1")},
    {QStringLiteral("WFD"), QStringLiteral("3")},
    {QStringLiteral("WRI"), QStringLiteral("45")},
    {QStringLiteral("CFU"), QStringLiteral("0")},
    {QStringLiteral("RAS"), QStringLiteral("0")},
    // The service's own pictures: their downloads meet the faults too.
    {QStringLiteral("OP"), QStringLiteral("0")},
};

void ExpectSettingsKept(const TWindowRun &run)
{
    for (auto value = kChangedSettings.cbegin(); value != kChangedSettings.cend(); ++value)
        EXPECT_EQ(run.StoredText(QStringLiteral("Settings"), value.key()), value.value()) << value.key().toStdString();
    EXPECT_EQ(TLayoutManagerWinCryptCipherer().DecryptText(run.StoredText(QStringLiteral("Settings"),
                                                                          QLatin1String(kApiKeyName)),
                                                           QLatin1String(kApiKeyPassword)),
              kKey);
}

bool Refresh(TWindowRun &run)
{
    run.Window().RefreshWeather();
    return run.WaitForRefreshEnd();
}

struct TServiceFaultCase {
    const char *Mode;
    const char *Path; // the request paths struck; empty: every API request
    const char *Hint; // the error icon's hint, as a whole pattern
};

} // namespace

// Each fault first meets a window that has no weather yet (the panel says
// why), then one that has (the panel keeps its data, the icon says why); the
// stand-in heals after each, and the next refresh shows fresh weather.
TEST(WindowFaults, ServiceFaultsAreReportedAndTheNextGoodAnswerRecovers)
{
    const TServiceFaultCase cases[] = {
        {"stall", "", "Data load failed: The service did not answer in time"},
        {"drip", "", "Data load failed: The service did not answer in time"},
        {"close", "", "Data load failed: Premature end of document\\. \\(line \\d+, column \\d+\\)"},
        {"huge", "", "Data load failed: The service's answer is larger than 4 MiB"},
        {"entities", "", "Data load failed: DOCTYPE declarations are not accepted \\(line 2, column 1\\)"},
        {"bad-utf8", "", "Data load failed: Encountered incorrectly encoded content \\(line \\d+, column \\d+\\)"},
        {"html-503", "", "Data load failed: The service answered HTTP 503"},
        {"json-429", "",
         "Data load failed: Too many requests to the service \\(Your account is temporary blocked due to "
         "exceeding of requests limitation of your subscription type\\..*"},
        // The current weather arrives, the forecast does not: nothing of it is shown.
        {"json-429", "/data/2.5/forecast",
         "Data load failed: Too many requests to the service \\(Your account is temporary blocked.*"},
    };
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    for (const TServiceFaultCase &fault : cases) {
        SCOPED_TRACE(std::string(fault.Mode) + " " + fault.Path);
        const QRegularExpression hint(QRegularExpression::anchoredPattern(QString::fromUtf8(fault.Hint)));
        TWindowRun run;
        run.WriteSettings(service.Base(), kKey, kChangedSettings);
        run.WriteServiceValue(QLatin1String(kTimeoutKey), kTimeoutSeconds);

        ASSERT_TRUE(service.SetFault(QString::fromLatin1(fault.Mode), QString::fromLatin1(fault.Path)));
        Twnd_nb_Main &window = run.Open();
        ASSERT_TRUE(run.WaitForRefreshEnd());
        EXPECT_FALSE(window.HasWeather());
        EXPECT_FALSE(window.Header()->ErrorIcon()->isHidden());
        EXPECT_TRUE(hint.match(Hint(window)).hasMatch()) << Hint(window).toStdString();
        EXPECT_EQ(Text(window, "lDesc"), Hint(window));
        EXPECT_TRUE(Text(window, "lTemp").isEmpty());
        EXPECT_EQ(window.RefreshCycle().TimerIntervalMs(), kRetryIntervalMs);

        ASSERT_TRUE(service.SetFault(QStringLiteral("none")));
        ASSERT_TRUE(Refresh(run));
        ASSERT_TRUE(window.HasWeather()) << Hint(window).toStdString();
        EXPECT_TRUE(window.Header()->ErrorIcon()->isHidden());
        EXPECT_TRUE(Text(window, "lTemp").endsWith(QLatin1Char('F'))) << Text(window, "lTemp").toStdString();
        EXPECT_EQ(window.ForecastList()->Rows().size(), 3);

        const QMap<QString, QString> shown = PanelTexts(window);
        const int rows = window.ForecastList()->Rows().size();
        ASSERT_TRUE(service.SetFault(QString::fromLatin1(fault.Mode), QString::fromLatin1(fault.Path)));
        ASSERT_TRUE(Refresh(run));
        EXPECT_FALSE(window.Header()->ErrorIcon()->isHidden());
        EXPECT_TRUE(hint.match(Hint(window)).hasMatch()) << Hint(window).toStdString();
        EXPECT_EQ(PanelTexts(window), shown);
        EXPECT_EQ(window.ForecastList()->Rows().size(), rows);

        ASSERT_TRUE(service.SetFault(QStringLiteral("none")));
        ASSERT_TRUE(Refresh(run));
        EXPECT_TRUE(window.Header()->ErrorIcon()->isHidden());

        run.Close();
        ExpectSettingsKept(run);
        EXPECT_EQ(run.StoredText(QStringLiteral("Settings"), QStringLiteral("WL")), QStringLiteral("Prague, CZ"));
    }
}

// Pictures that fail to arrive (a proxy's error page, a download cut short)
// are no reason to withhold the weather; none is written half, and the next
// refresh fetches them.
TEST(WindowFaults, IconFaultsLeaveTheWeatherAndAreFetchedAtTheNextRefresh)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    for (const char *mode : {"html-503", "close"}) {
        SCOPED_TRACE(mode);
        TWindowRun run;
        run.WriteSettings(service.Base(), kKey, {{QLatin1String(kOwnPicturesName), QStringLiteral("0")}});
        run.WriteServiceValue(QLatin1String(kTimeoutKey), kTimeoutSeconds);
        ASSERT_TRUE(service.SetFault(QString::fromLatin1(mode), QStringLiteral("/img/")));
        Twnd_nb_Main &window = run.Open();
        ASSERT_TRUE(run.WaitForRefreshEnd());
        EXPECT_TRUE(window.HasWeather());
        EXPECT_TRUE(window.Header()->ErrorIcon()->isHidden());
        // The pictures are asked for after the weather is shown.
        ASSERT_TRUE(Eventually([&] { return window.WeatherFetch()->PicturesInFlight().isEmpty(); }));
        EXPECT_EQ(QDir(run.DataFolder()).entryList({QStringLiteral("*.png")}, QDir::Files), QStringList());

        ASSERT_TRUE(service.SetFault(QStringLiteral("none")));
        ASSERT_TRUE(Refresh(run));
        EXPECT_TRUE(Eventually(
            [&] { return !QDir(run.DataFolder()).entryList({QStringLiteral("*.png")}, QDir::Files).isEmpty(); }));
    }
}

// A settings file cut off in the middle of a line (a crash of another
// program, a full disk while copying it): what stands before the cut is read
// and written back, the broken line is dropped.
TEST(WindowFaults, SettingsFileCutInTheMiddleOfALine)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    const char *const cuts[] = {"WR", "WRI=4", "[Sett"};
    for (const char *cut : cuts) {
        SCOPED_TRACE(cut);
        TWindowRun run;
        run.WriteSettings(service.Base(), kKey, {{QStringLiteral("U"), QStringLiteral("1")},
                                                 {QStringLiteral("WFD"), QStringLiteral("3")}});
        QFile file(run.SettingsFile());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(QByteArray("\n") + cut); // no line break after it
        file.close();

        Twnd_nb_Main &window = run.Open();
        ASSERT_TRUE(run.WaitForRefreshEnd());
        EXPECT_TRUE(window.HasWeather()) << Hint(window).toStdString();
        EXPECT_TRUE(Text(window, "lTemp").endsWith(QLatin1Char('F')));
        EXPECT_EQ(window.ForecastList()->Rows().size(), 3);
        run.Close();
        EXPECT_EQ(run.StoredText(QStringLiteral("Settings"), QStringLiteral("U")), QStringLiteral("1"));
        EXPECT_EQ(run.StoredText(QStringLiteral("Settings"), QStringLiteral("WFD")), QStringLiteral("3"));
        EXPECT_EQ(TLayoutManagerWinCryptCipherer().DecryptText(
                      run.StoredText(QStringLiteral("Settings"), QLatin1String(kApiKeyName)),
                      QLatin1String(kApiKeyPassword)),
                  kKey);
    }
}

// A day-names file of ten lines instead of 366: the days it names show their
// names, every other day the fallback, and the clock line its date alone.
TEST(WindowFaults, DayNamesFileOfTenLines)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    TWindowRun run;
    run.WriteSettings(service.Base(), kKey, {{QStringLiteral("WFD"), QStringLiteral("16")}});
    QStringList lines;
    for (int day = 1; day <= 10; ++day)
        lines << QStringLiteral("01%1=Name%2").arg(day, 2, 10, QLatin1Char('0')).arg(day);
    QFile names(run.DataFolder() + QStringLiteral("nimbrel.dat"));
    ASSERT_TRUE(names.open(QIODevice::WriteOnly));
    names.write(lines.join(QLatin1Char('\n')).toUtf8());
    names.close();

    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    ASSERT_TRUE(window.HasWeather());
    EXPECT_EQ(window.Names().size(), 10);
    const int today = DayNameIndex(QDate::currentDate());
    EXPECT_EQ(window.TitleBar()->DateLabel()->text().contains(QStringLiteral(" - ")), today <= 10)
        << window.TitleBar()->DateLabel()->text().toStdString();
    for (const TForecastRow &row : window.ForecastList()->Rows()) {
        const int index = DayNameIndex(row.Date);
        const QString expected =
            index <= 10 ? QStringLiteral("Name%1").arg(index) : QStringLiteral("Day %1").arg(row.Date.dayOfYear());
        EXPECT_TRUE(row.DateText.contains(expected)) << row.DateText.toStdString();
    }
}

namespace {

// The program itself, started offscreen with settings of its own, for the
// faults that need a process of their own (a file-size limit, a folder the
// program may not write) and a report at its end.
class TProgramRun
{
public:
    static constexpr int kWaitMs = 20000;

    TProgramRun()
    {
        QDir().mkpath(Runtime());
        QFile::setPermissions(Runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir().mkpath(DataFolder());
    }
    ~TProgramRun()
    {
        if (FProcess.state() != QProcess::NotRunning) {
            FProcess.kill();
            FProcess.waitForFinished();
        }
    }

    QString Runtime() const { return FRoot.path() + QStringLiteral("/run"); }
    QString DataFolder() const { return FRoot.path() + QStringLiteral("/config/Zelto/Nimbrel/"); }
    QString SettingsFile() const
    {
        return DataFolder() + QStringLiteral("nimbrel.ini");
    }

    void WriteSettings(const QString &service, const QMap<QString, QString> &values)
    {
        TLayoutManagerINIStorage storage(SettingsFile());
        storage.Open(false);
        storage.WriteString(QLatin1String(kServiceSection), QLatin1String(kApiBaseKey), service);
        storage.WriteString(QLatin1String(kServiceSection), QLatin1String(kWebBaseKey), service);
        storage.WriteString(QLatin1String(kServiceSection), QLatin1String(kTimeoutKey), kTimeoutSeconds);
        storage.WriteString(QStringLiteral("Settings"), QLatin1String(kApiKeyName),
                            TLayoutManagerWinCryptCipherer().EncryptText(kKey, QLatin1String(kApiKeyPassword)));
        for (auto value = values.cbegin(); value != values.cend(); ++value)
            storage.WriteString(QStringLiteral("Settings"), value.key(), value.value());
        storage.Close();
    }

    QByteArray SettingsBytes() const
    {
        QFile file(SettingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // `fileSizeLimit` >= 0: no file the program writes may grow past it, as on
    // a full disk (the write fails instead of the process being signalled).
    void Start(long fileSizeLimit = -1)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), FRoot.path() + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), Runtime());
        environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":nimbrel-fault-test"));
        // Says when a refresh's weather is shown, and so stored for the end.
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("nimbrel.refresh.info=true"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        FProcess.setProcessEnvironment(environment);
        FProcess.setProgram(QStringLiteral(NIMBREL_EXECUTABLE));
        if (fileSizeLimit >= 0) {
            FProcess.setChildProcessModifier([fileSizeLimit] {
                signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
                setrlimit(RLIMIT_FSIZE, &limit);
            });
        }
        FProcess.start();
    }

    bool Running() { return FProcess.state() == QProcess::Running; }

    // Ends the program as a logout would; false when it did not end in order.
    bool Terminate()
    {
        if (FProcess.state() == QProcess::NotRunning)
            return false;
        ::kill(FProcess.processId(), SIGTERM);
        if (!FProcess.waitForFinished(kWaitMs))
            return false;
        FErrors += FProcess.readAllStandardError();
        return FProcess.exitStatus() == QProcess::NormalExit && FProcess.exitCode() == 0;
    }

    QString Errors()
    {
        FErrors += FProcess.readAllStandardError();
        return QString::fromUtf8(FErrors);
    }

private:
    QTemporaryDir FRoot;
    QProcess FProcess;
    QByteArray FErrors;
};

// The stand-in's log shows the program's requests: a refresh asks for the
// pictures last.
bool WaitForPictureRequests(TStandIn &service)
{
    return QTest::qWaitFor([&] { return service.Log().contains(QStringLiteral("GET /img/w/")); },
                           TProgramRun::kWaitMs);
}

// The pictures are asked for before the weather reaches the window; a
// logout before that point rightly keeps the place the file had.
bool WaitForWeatherShown(TProgramRun &program)
{
    return QTest::qWaitFor([&] { return program.Errors().contains(QStringLiteral("nimbrel.refresh: weather shown")); },
                           TProgramRun::kWaitMs);
}

} // namespace

// Settings that cannot be written as usual. A read-only folder with a file
// the user may write: the file is written in place. A read-only folder and
// file, or a full disk: the program runs and shows the weather, says at its end
// that the settings were not saved, and the file stays as it was; pictures that
// cannot be written are left out, never written empty.
TEST(WindowFaults, SettingsThatCannotBeWrittenAreKeptAsTheyWere)
{
    enum class TCause { ReadOnlyFolder, ReadOnlyFolderAndFile, FullDisk };
    const struct {
        TCause Cause;
        const char *Name;
    } causes[] = {
        {TCause::ReadOnlyFolder, "read-only folder"},
        {TCause::ReadOnlyFolderAndFile, "read-only folder and file"},
        {TCause::FullDisk, "full disk"},
    };
    for (const auto &cause : causes) {
        SCOPED_TRACE(cause.Name);
        if (cause.Cause != TCause::FullDisk && geteuid() == 0)
            continue; // permissions do not bind root
        TStandIn service;
        ASSERT_TRUE(service.WaitUntilListening());
        TProgramRun program;
        program.WriteSettings(service.Base(), kChangedSettings);
        const QByteArray before = program.SettingsBytes();
        const QFile::Permissions folderWritable = QFile::permissions(program.DataFolder());
        const QFile::Permissions fileWritable = QFile::permissions(program.SettingsFile());
        const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner;
        if (cause.Cause != TCause::FullDisk) {
            ASSERT_TRUE(QFile::setPermissions(program.DataFolder(), readOnly));
        }
        if (cause.Cause == TCause::ReadOnlyFolderAndFile) {
            ASSERT_TRUE(QFile::setPermissions(program.SettingsFile(), QFile::ReadOwner));
        }
        program.Start(cause.Cause == TCause::FullDisk ? 0 : -1);

        ASSERT_TRUE(WaitForPictureRequests(service)) << program.Errors().toStdString();
        ASSERT_TRUE(WaitForWeatherShown(program)) << program.Errors().toStdString();
        EXPECT_TRUE(program.Running()) << program.Errors().toStdString();
        EXPECT_TRUE(program.Terminate()) << program.Errors().toStdString();
        QFile::setPermissions(program.DataFolder(), folderWritable);
        QFile::setPermissions(program.SettingsFile(), fileWritable);
        EXPECT_EQ(QDir(program.DataFolder()).entryList({QStringLiteral("*.png")}, QDir::Files), QStringList());
        if (cause.Cause == TCause::ReadOnlyFolder) {
            EXPECT_FALSE(program.Errors().contains(QStringLiteral("not saved"))) << program.Errors().toStdString();
            TLayoutManagerINIStorage saved(program.SettingsFile());
            for (auto value = kChangedSettings.cbegin(); value != kChangedSettings.cend(); ++value)
                EXPECT_EQ(saved.ReadString(QStringLiteral("Settings"), value.key(), QString()), value.value());
            EXPECT_EQ(saved.ReadString(QStringLiteral("Settings"), QStringLiteral("WL"), QString()),
                      QStringLiteral("Prague, CZ"));
        } else {
            EXPECT_TRUE(program.Errors().contains(QStringLiteral("nimbrel: the settings were not saved: Cannot write ")))
                << program.Errors().toStdString();
            EXPECT_EQ(program.SettingsBytes(), before);
        }
    }
}

// A language file that starts with a byte-order mark and holds bytes that are
// no UTF-8: the program runs in that language, its good texts in place and the
// broken ones shown with replacement marks, never cut or dropped.
TEST(WindowFaults, LanguageFileWithAMarkAndInvalidBytes)
{
    TStandIn service;
    ASSERT_TRUE(service.WaitUntilListening());
    QTemporaryDir install;
    QDir().mkpath(install.path() + QStringLiteral("/Langs"));
    QFile language(install.path() + QStringLiteral("/Langs/Nimbrel.eo.lng"));
    ASSERT_TRUE(language.open(QIODevice::WriteOnly));
    language.write("\xEF\xBB\xBF[Language File]\r\nLanguageName=Esperant\xF4\r\n[Constants]\r\n"
                   "lc_ConnFail=\xFF\xC0\xAF""Echec\r\nlc_Pressure=Pression\r\n\x80\x81=\xC3\r\n");
    language.close();

    TLanguageManager &manager = GlobalLangManager();
    const QString programFolder = manager.ProgramFolder();
    const QString code = manager.LanguageCode();
    const QString chosenFolder = manager.Folder();
    struct TRestore {
        std::function<void()> Undo;
        ~TRestore() { Undo(); }
    } restore{[&] {
        manager.SetProgramFolder(programFolder);
        manager.SetFolder(chosenFolder);
        manager.SetLanguageCode(code);
        ResetTexts();
        LoadTexts(manager);
    }};
    manager.SetProgramFolder(install.path() + QLatin1Char('/'));
    manager.SetFolder(QString()); // the program folder's Langs, not a folder chosen before
    manager.SetLanguageCode(QStringLiteral("eo"));
    ASSERT_EQ(manager.LanguageCode(), QStringLiteral("eo")) << manager.LastError().toStdString();
    ResetTexts();
    LoadTexts(manager);

    TWindowRun run;
    run.WriteSettings(service.Base(), kKey, {{QStringLiteral("LNG"), QStringLiteral("eo")}});
    run.WriteServiceValue(QLatin1String(kTimeoutKey), kTimeoutSeconds);
    ASSERT_TRUE(service.SetFault(QStringLiteral("html-503")));
    Twnd_nb_Main &window = run.Open();
    ASSERT_TRUE(run.WaitForRefreshEnd());
    EXPECT_EQ(Hint(window), QStringLiteral("\uFFFD\uFFFD\uFFFDEchec: The service answered HTTP 503"));

    ASSERT_TRUE(service.SetFault(QStringLiteral("none")));
    ASSERT_TRUE(Refresh(run));
    ASSERT_TRUE(window.HasWeather());
    EXPECT_TRUE(Text(window, "lPres").startsWith(QStringLiteral("Pression: "))) << Text(window, "lPres").toStdString();
    EXPECT_TRUE(Text(window, "lHum").startsWith(QStringLiteral("Humidity: "))) << Text(window, "lHum").toStdString();
}
