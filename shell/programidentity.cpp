#include "programidentity.h"

#include "orvoversion.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

namespace ProgramIdentity {

const char *const Organisation = "Keldor";
const char *const SettingsApplication = "Orvo_ICP View";
const char *const LanguageKey = "lang";
const char *const CatalogueName = "orvo_zovIzid";
const char *const TranslationsFolder = "translations";

void setUp(const char *program)
{
    // Before the application object exists, so every settings object of the program is INI.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QCoreApplication::setApplicationName(QString::fromLatin1(program));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVO_VERSION));
    QCoreApplication::setOrganizationName(QLatin1String(Organisation));
    QCoreApplication::setOrganizationDomain(QStringLiteral("keldor.example"));
}

void useSystemLanguage()
{
    QCoreApplication *app = QCoreApplication::instance();
    const QString programDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    auto *translator = new QTranslator(app);
    for (const char *dir : {TranslationsFolder, ORVO_INSTALLED_TRANSLATIONS}) {
        if (translator->load(QLocale::system(), QLatin1String(CatalogueName), QStringLiteral("_"),
                             programDir + QLatin1String(dir))) {
            QCoreApplication::installTranslator(translator);
            return;
        }
    }
    delete translator;
}

void useWindowSettings()
{
    QCoreApplication::setApplicationName(QLatin1String(SettingsApplication));
}

} // namespace ProgramIdentity
