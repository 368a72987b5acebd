#pragma once

#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

QT_BEGIN_NAMESPACE
class QAction;
class QActionGroup;
QT_END_NAMESPACE

class TranslationEntry;

// The process-wide chooser of the interface language. It offers the System, Russian and English
// menu actions and, on every change, reloads all registered translation files for the chosen
// locale. Windows follow through the framework's language-change event; the switch only
// retranslates its own actions. It reads and writes no settings: the holder stores language().
class QtTranslationSwitch : public QObject
{
    Q_OBJECT

public:
    static QtTranslationSwitch *instance();
    ~QtTranslationSwitch() override;

    // A relative dir is taken relative to the program file's folder, not the working directory.
    // Registers the framework's ("qt") and the switch's own catalogue; each call appends both.
    // A file missing from dir is looked for in fallbackDirs (relative ones alike), in order;
    // the framework's catalogue last of all in the framework's own translations folder.
    void setTranslationsDir(const QString &dir, const QStringList &fallbackDirs = QStringList());
    // An empty dir means the default directory, with its fallbacks, as it is at the time of
    // this call; an explicit dir has none.
    void addTranslation(const QString &baseName, const QString &dir = QString());

    QList<QAction *> actions() const;
    QString language() const;
    QLocale locale() const;
    void retranslate();

    // The registered files in load order, for tests and diagnostics (which file each translator
    // loaded, or whether it stayed empty).
    const std::vector<std::unique_ptr<TranslationEntry>> &translationEntries() const
    {
        return entries;
    }

public slots:
    void setLanguage(QString name);

private slots:
    void onLanguageChanged(QAction *act);

private:
    explicit QtTranslationSwitch(QObject *parent = nullptr);

    QString currentLanguage;
    QString translationsDir;
    QStringList translationsFallbackDirs;
    QActionGroup *actionGroup = nullptr;
    QAction *systemAction = nullptr;
    QAction *russianAction = nullptr;
    QAction *englishAction = nullptr;
    std::vector<std::unique_ptr<TranslationEntry>> entries;
};
