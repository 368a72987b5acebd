#pragma once

#include <QHash>
#include <QProcess>
#include <QStringList>
#include <QVector>

// Reads a journal back the way a user does: through orvo-journal-tool and its CSV.
namespace JournalTool {

struct Result
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline Result run(const QString &tool, const QStringList &arguments, int timeoutMs = 60000)
{
    QProcess process;
    process.start(tool, arguments);
    Result result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = "orvo-journal-tool did not finish";
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// RFC 4180 fields: quoted where they hold a comma, a quote or a line break.
inline QVector<QStringList> parseCsv(const QString &text)
{
    QVector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            row << field;
            field.clear();
            rows << row;
            row.clear();
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}

using Row = QHash<QString, QString>;

// Every event of the journal as column name -> text; empty with *error set on failure.
inline QVector<Row> events(const QString &tool, const QString &journal, QString *error,
                           const QStringList &more = {})
{
    const Result result =
        run(tool, QStringList{QStringLiteral("--journal"), journal, QStringLiteral("events"),
                              QStringLiteral("--format"), QStringLiteral("csv")} +
                      more);
    QVector<Row> out;
    if (result.exitCode != 0) {
        *error = QString::fromUtf8(result.err);
        return out;
    }
    const QVector<QStringList> rows = parseCsv(QString::fromUtf8(result.out));
    if (rows.isEmpty()) {
        *error = QStringLiteral("no header");
        return out;
    }
    const QStringList header = rows.first();
    for (int i = 1; i < rows.size(); ++i) {
        Row row;
        for (int c = 0; c < header.size() && c < rows[i].size(); ++c)
            row.insert(header[c], rows[i][c]);
        out << row;
    }
    return out;
}

} // namespace JournalTool
