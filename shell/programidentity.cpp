#include "programidentity.h"

#include "orvoversion.h"

#include <QCoreApplication>
#include <QSettings>

namespace ProgramIdentity {

const char *const Organisation = "Keldor";
const char *const SettingsApplication = "Orvo_ICP View";
const char *const LanguageKey = "lang";

void setUp(const char *program)
{
    // Before the application object exists, so every settings object of the program is INI.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QCoreApplication::setApplicationName(QString::fromLatin1(program));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVO_VERSION));
    QCoreApplication::setOrganizationName(QLatin1String(Organisation));
    QCoreApplication::setOrganizationDomain(QStringLiteral("keldor.example"));
}

void useWindowSettings()
{
    QCoreApplication::setApplicationName(QLatin1String(SettingsApplication));
}

} // namespace ProgramIdentity
