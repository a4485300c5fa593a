// Pictures of the preferences dialog and the location selector for the
// documentation: the dialogs filled as a user would see them, a search run
// against the stand-in service, each window grabbed into a PNG file.
#include "AppSettings.h"
#include "LangMan.h"
#include "LayoutManagerValues.h"
#include "LocationSelector.h"
#include "PrefsDialog.h"
#include "ThemeManager.h"
#include "OpenMeteoClient.h"
#include "Zelto_OWM.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>

namespace {

constexpr int kWaitMs = 15000;

bool WaitFor(const std::function<bool()> &condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > kWaitMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

bool Grab(QWidget &window, const QString &file)
{
    QApplication::processEvents();
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "dialog-shots: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("Saved %s\n", qPrintable(file));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Grabs the preferences dialog and the location selector."));
    parser.addHelpOption();
    const QCommandLineOption serviceOption(QStringLiteral("service"),
                                           QStringLiteral("The stand-in service's address."), QStringLiteral("URL"));
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("Folder of the pictures."),
                                       QStringLiteral("DIR"), QStringLiteral("docs"));
    const QCommandLineOption langOption(QStringLiteral("lang"), QStringLiteral("Language code."),
                                        QStringLiteral("CODE"), QStringLiteral("en"));
    parser.addOptions({serviceOption, outOption, langOption});
    parser.process(app);
    if (!parser.isSet(serviceOption)) {
        std::fprintf(stderr, "dialog-shots: --service is needed (the stand-in's address)\n");
        return 2;
    }
    const QString service = parser.value(serviceOption);
    const QDir out(parser.value(outOption));
    QDir().mkpath(out.path());

    GlobalLangManager().SetLanguageCode(parser.value(langOption));
    TThemeManager::Instance().SetThemePreset(tpGraphite);

    TLayoutManagerValues values;
    RegisterDefaults(values);
    values.SetValueByName(QLatin1String(kApiKeyName), QStringLiteral("demo"));
    values.SetValueByName(QLatin1String(kLocationName), QStringLiteral("Prague, CZ"));
    values.SetValueByName(QLatin1String(kLocationIdName), static_cast<qlonglong>(3067696));

    Tdlg_nb_Prefs dialog(ClientLocationSearch(TOwmClient(service, service), TOpenMeteoClient(service, service)));
    dialog.SetOpenUrl([](const QUrl &) {});
    dialog.LoadValues(values, true);
    dialog.show();
    if (!WaitFor([&] { return dialog.isVisible(); }) || !Grab(dialog, out.filePath(QStringLiteral("preferences-dialog.png"))))
        return 1;

    dialog.FLocationEdit->setText(QStringLiteral("London"));
    dialog.Search();
    if (!WaitFor([&] { return dialog.Selector() != nullptr && dialog.Selector()->isVisible(); })) {
        std::fprintf(stderr, "dialog-shots: the search gave no selector: %s\n", qPrintable(dialog.LocationMessage()));
        return 1;
    }
    return Grab(*dialog.Selector(), out.filePath(QStringLiteral("location-selector.png"))) ? 0 : 1;
}
