#pragma once

#include "journalevent.h"
#include "journallocation.h"
#include "journalretention.h"
#include "trendblock.h"
#include <QCoreApplication>

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <memory>

QT_BEGIN_NAMESPACE
class QSqlQuery;
QT_END_NAMESPACE

// One trend tier: its interval, and how many intervals one stored block holds. Each block of a
// tier spans whole intervals of the next coarser one, so a roll-up reads a single block.
struct TrendTier
{
    int intervalS;
    int slotCount;
};

// A journal in an SQLite file or a PostgreSQL database, used from one thread at a time.
class JournalStore
{
    Q_DECLARE_TR_FUNCTIONS(JournalStore)

public:
    enum class Access { ReadOnly, ReadWrite };
    static constexpr int SchemaVersion = 3;
    // Schema 2 adds an index and the lease's program, which only writers read, and schema 3 the
    // hour tier: a reader still reads schema 1 and 2 as they are, only slower.
    static constexpr int OldestReadable = 1;
    // A writer on another host that has not written for this long counts as gone.
    static constexpr qint64 LeaseTimeoutMs = 15000;
    static const QVector<TrendTier> &tiers();
    // How many of tiers() this journal holds: an older schema lacks the coarsest.
    int tierCount() const;

    JournalStore();
    ~JournalStore();
    JournalStore(const JournalStore &) = delete;
    JournalStore &operator=(const JournalStore &) = delete;

    // Opens, and for ReadWrite creates or migrates, the journal. Refuses with *error naming
    // the journal and the reason a file that is not a journal, a damaged one, or a newer one.
    bool open(const JournalLocation &location, Access access, QString *error);
    void close();
    bool isOpen() const;
    const JournalLocation &location() const { return m_location; }
    bool isPostgres() const { return m_location.type == JournalLocation::Type::PostgreSQL; }
    QSqlDatabase database() const;
    // The last error of the database, with the journal named, for messages.
    QString lastError() const;

    // Takes the writer's lease of an installation. Refused (false, *error names the holder's
    // host and start time) while another writer holds it, and then *held is set if given; a
    // database failure leaves it false. *uncleanEndMs is set to the time of the last write
    // when the previous writer ended without releasing it, else 0.
    bool claim(const QString &installation, qint64 nowMs, qint64 *uncleanEndMs, QString *error,
               bool *held = nullptr);
    // Writes events and intervals in one transaction and renews the lease of the installation
    // (if claimed); release ends the lease as a clean stop does.
    bool write(const QVector<JournalEvent> &events, const QVector<TrendInterval> &intervals,
               qint64 nowMs, bool release = false);

    // Deletes what the retention no longer keeps; false on a database error.
    bool prune(const JournalRetention &retention, qint64 nowMs);
    // Runs the database's own integrity check; *report says what is wrong.
    bool check(QString *report);
    int schemaVersion() const { return m_version; }

    // A measurement's series id, or 0 for one never recorded.
    qint64 seriesId(const QString &installation, int node, int channel, int slot, quint32 measType,
                    bool create);
    // Writes a whole block of a tier, replacing what was there (used by roll-ups and by
    // generators of large journals).
    bool putBlock(int tier, qint64 series, qint64 blockStartMs, const QByteArray &data);

private:
    bool fail(QString *error, const QString &reason) const;
    bool validate(QString *reason, int *version);
    bool createSchema(QString *error);
    bool migrate(int from, QString *error);
    bool rollUpTier(int tier, QString *reason);
    bool sqliteFileOk(QString *error);
    bool insertEvent(const JournalEvent &event);
    bool mergeIntervals(const QVector<TrendInterval> &intervals);
    bool begin();
    bool exec(QSqlQuery &q);

    JournalLocation m_location;
    QString m_connection;
    Access m_access = Access::ReadOnly;
    int m_version = 0;
    QString m_claimed; // the installation whose lease this store holds
    qint64 m_claimStartMs = 0;
    QHash<QString, qint64> m_seriesCache;
    // The newest block of each tier and series as last committed, so a write need not read
    // and unpack again what it wrote a moment ago; and what the open transaction wrote.
    struct CachedBlock
    {
        qint64 start = 0;
        TrendBlock block{1, 1};
    };
    using BlockKey = QPair<int, qint64>; // tier, series
    QHash<BlockKey, CachedBlock> m_blockCache;
    QHash<BlockKey, CachedBlock> m_blocksWritten;
    QString m_lastError;
    std::unique_ptr<QSqlQuery> m_insert;
    std::unique_ptr<QSqlQuery> m_putBlock;
};
