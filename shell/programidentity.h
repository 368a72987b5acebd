#pragma once

// The names a program of the project gives itself. Every --version line has one shape,
// "<program> <version>", because each program first names itself after its file; a window
// program switches to the settings identity both windows share once the command line is read.
namespace ProgramIdentity {

// Before any application object exists: INI settings, organisation, domain, the project's
// version and the program's own name, so --version, --help and usage errors need nothing more.
void setUp(const char *program);

// The settings file both windows keep their state in, and their shared top-level keys.
extern const char *const Organisation;        // "Keldor"
extern const char *const SettingsApplication; // "Orvo_ICP View"
extern const char *const LanguageKey;         // "lang"

// The program's catalogue of its own texts, one per language in the folder "translations"
// beside the program (in the build tree) or under share/ once installed.
extern const char *const CatalogueName;      // "orvo_zovIzid"
extern const char *const TranslationsFolder; // "translations"

// For a program without a window: its messages in the language of the system's locale, as far
// as the catalogue has them. Once the application object exists.
void useSystemLanguage();

// For a window program, after the command line was read and before the first settings object:
// names the shared settings file.
void useWindowSettings();

} // namespace ProgramIdentity
