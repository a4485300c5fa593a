#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

constexpr char kQtCatalogue[] = "qtbase";
constexpr char kCatalogueSeparator[] = "_";

std::unique_ptr<QTranslator> &InstalledTranslator()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

QString QtTranslationsFolder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool LoadQtTranslations(const QString &code, const QString &folder)
{
    std::unique_ptr<QTranslator> &installed = InstalledTranslator();
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    if (code.isEmpty())
        return false;
    // By locale, so "pt" finds the Brazilian catalogue and "zh" the simplified one.
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(code), QLatin1String(kQtCatalogue), QLatin1String(kCatalogueSeparator), folder))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}
