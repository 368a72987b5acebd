#include "windowshell.h"

#include "programidentity.h"
#include "qttranslationswitch.h"

#include <QGuiApplication>
#include <QMenu>
#include <QSettings>

namespace WindowShell {

void setUpApplication(const char *desktopFileName)
{
    ProgramIdentity::useWindowSettings();
    QGuiApplication::setDesktopFileName(QString::fromLatin1(desktopFileName));
}

void setUpLanguages(QMenu *menu)
{
    QtTranslationSwitch *languages = QtTranslationSwitch::instance();
    languages->setTranslationsDir(QLatin1String(ProgramIdentity::TranslationsFolder),
                                  {QStringLiteral(ORVO_INSTALLED_TRANSLATIONS)});
    menu->addActions(languages->actions());
    languages->addTranslation(QLatin1String(ProgramIdentity::CatalogueName));
    languages->setLanguage(
        QSettings().value(QLatin1String(ProgramIdentity::LanguageKey), QString()).toString());
}

void storeLanguage()
{
    QSettings().setValue(QLatin1String(ProgramIdentity::LanguageKey),
                         QtTranslationSwitch::instance()->language());
}

} // namespace WindowShell
