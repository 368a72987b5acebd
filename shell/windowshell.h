#pragma once

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QMenu;
QT_END_NAMESPACE

// What both windows set up alike once their application object exists.
namespace WindowShell {

// After the QApplication: the settings identity both windows share (ProgramIdentity) and the
// desktop entry's name, without which Wayland derives the window's id from the domain and no
// desktop entry matches.
void setUpApplication(const char *desktopFileName);

// The language switch: its catalogue folders (beside the program in the build tree, in share/
// once installed), the program's catalogue, the switch's actions in menu and the language last
// chosen, read from ProgramIdentity::LanguageKey.
void setUpLanguages(QMenu *menu);

// Keeps the current language under ProgramIdentity::LanguageKey for the next start.
void storeLanguage();

} // namespace WindowShell
