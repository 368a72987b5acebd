#include "journalstore.h"

#include "journalformat.h"
#include "trendblock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSysInfo>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <signal.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

const char ApplicationId[] = "orvo-journal";

// Where an alarm summary finds the return of an item to quiet: one seek per alarm, where an
// index without the installation and the state walked every later row of the item.
const QString QuietIndex =
    QStringLiteral("CREATE INDEX journal_events_quiet ON journal_events "
                   "(node, kind, channel, slot, relay, installation, id) WHERE alarm = 0");

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("orvo-journal-%1").arg(++counter);
}

bool processRuns(qint64 pid)
{
    if (pid <= 0)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// Creates the folders of a journal that do not exist yet, readable by their owner only: a
// journal tells when a plant ran and failed.
bool makeFolder(const QString &dir, QString *reason)
{
    QStringList missing;
    QFileInfo info(dir);
    while (!info.exists() && !info.isRoot() && !info.filePath().isEmpty()) {
        missing.prepend(info.absoluteFilePath());
        info.setFile(info.absolutePath());
    }
    for (const QString &path : qAsConst(missing)) {
        if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) {
            *reason = QString::fromLocal8Bit(strerror(errno));
            return false;
        }
    }
    return true;
}

// The parameters of an alarm: the new state is abnormal (1), quiet (0), or neither (null).
QVariant alarmState(const JournalEvent &event)
{
    using Journal::Kind;
    switch (event.kind) {
    case Kind::Failure:
    case Kind::Alert:
    case Kind::Danger:
        if (event.to == QLatin1String("true"))
            return 1;
        if (event.to == QLatin1String("false"))
            return 0;
        return QVariant(QVariant::Int);
    case Kind::ChannelStatus:
        return event.to == QLatin1String("Valid data") ? 0 : 1;
    case Kind::RelayFault:
        return event.to == QLatin1String("1") ? 1 : 0;
    default:
        return QVariant(QVariant::Int);
    }
}

// What turns schema to - 1 into schema to. A new journal is created at the newest schema at
// once, so each entry here goes with the same change in createSchema().
struct SchemaStep
{
    int to;
    QStringList (*statements)(bool postgres);
    // A tier this step fills from the next finer one, or -1.
    int rollUpTier = -1;
};

const QVector<SchemaStep> &schemaSteps()
{
    static const QVector<SchemaStep> steps{
        // The program that holds a lease, so a refused second writer can say which one it is,
        // and the alarm summary's index of returns to quiet in place of the item index.
        {2,
         [](bool) {
             return QStringList{
                 QStringLiteral(
                     "ALTER TABLE journal_writers ADD COLUMN program TEXT NOT NULL DEFAULT ''"),
                 QStringLiteral("DROP INDEX journal_events_item"), QuietIndex};
         }},
        // Hours in blocks of a week, so that two years read a hundred blocks, not seven hundred.
        {3, [](bool) { return QStringList(); }, 3},
    };
    return steps;
}

// The name a writer gives itself in its lease: the program file, as a user starts it.
QString programName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

} // namespace

const QVector<TrendTier> &JournalStore::tiers()
{
    // 1 s in blocks of a minute, 1 min in blocks of an hour, 10 min in blocks of a day, 1 h in
    // blocks of a week.
    static const QVector<TrendTier> list{{1, 60}, {60, 60}, {600, 144}, {3600, 168}};
    return list;
}

int JournalStore::tierCount() const
{
    return m_version >= 3 ? tiers().size() : 3;
}

JournalStore::JournalStore() = default;

JournalStore::~JournalStore()
{
    close();
}

QSqlDatabase JournalStore::database() const
{
    return m_connection.isEmpty() ? QSqlDatabase() : QSqlDatabase::database(m_connection, false);
}

bool JournalStore::isOpen() const
{
    return !m_connection.isEmpty() && database().isOpen();
}

void JournalStore::close()
{
    m_seriesCache.clear();
    m_blockCache.clear();
    m_blocksWritten.clear();
    m_insert.reset();
    m_putBlock.reset();
    if (m_connection.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
    m_version = 0;
}

QString JournalStore::lastError() const
{
    const QString reason = m_lastError.isEmpty() ? database().lastError().text() : m_lastError;
    return JournalStore::tr("%1: %2").arg(m_location.display(), reason);
}

bool JournalStore::exec(QSqlQuery &q)
{
    if (q.exec())
        return true;
    m_lastError = q.lastError().text();
    if (m_lastError.trimmed().isEmpty())
        m_lastError = database().lastError().text();
    return false;
}

bool JournalStore::fail(QString *error, const QString &reason) const
{
    if (error)
        *error = JournalStore::tr("%1: %2").arg(m_location.display(), reason);
    return false;
}

bool JournalStore::sqliteFileOk(QString *error)
{
    const QString path = m_location.path;
    QFileInfo info(path);
    if (!info.exists()) {
        if (m_access == Access::ReadOnly)
            return fail(error, JournalStore::tr("no journal there"));
        QString reason;
        if (!makeFolder(info.absolutePath(), &reason))
            return fail(error, JournalStore::tr("cannot create its folder: %1").arg(reason));
        const int fd =
            ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0 && errno != EEXIST)
            return fail(error, QString::fromLocal8Bit(strerror(errno)));
        if (fd >= 0)
            ::close(fd);
        return true;
    }
    if (!info.isFile())
        return fail(error, JournalStore::tr("not a file"));
    if (info.size() == 0)
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    if (file.read(16) != QByteArray("SQLite format 3\0", 16))
        return fail(error,
                    JournalStore::tr("not a journal (not an SQLite database); left as it is"));
    return true;
}

bool JournalStore::open(const JournalLocation &location, Access access, QString *error)
{
    close();
    m_location = location;
    m_access = access;
    const bool postgres = location.type == JournalLocation::Type::PostgreSQL;
    if (location.type == JournalLocation::Type::None)
        return fail(error, JournalStore::tr("no journal given"));
    if (!postgres && !sqliteFileOk(error))
        return false;

    m_connection = nextConnectionName();
    QSqlDatabase db = QSqlDatabase::addDatabase(
        postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), m_connection);
    // No handle may outlive the connection that close() removes.
    auto refuse = [&](const QString &reason) {
        db = QSqlDatabase();
        close();
        return fail(error, reason);
    };
    if (!db.isValid()) {
        return refuse(JournalStore::tr("Qt's %1 driver is not installed")
                          .arg(postgres ? "PostgreSQL" : "SQLite"));
    }
    if (postgres) {
        db.setHostName(location.host);
        db.setPort(location.port);
        if (!location.user.isEmpty())
            db.setUserName(location.user);
        db.setDatabaseName(location.database);
        // Short enough for a stop that flushes within its few seconds.
        db.setConnectOptions(QStringLiteral("connect_timeout=3"));
    } else {
        db.setDatabaseName(location.path);
        db.setConnectOptions(access == Access::ReadOnly
                                 ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                                 : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    }
    if (!db.open()) {
        return refuse(JournalStore::tr("cannot open: %1").arg(db.lastError().text()));
    }

    QString reason;
    int version = 0;
    const bool accepted = validate(&reason, &version);
    if (!accepted)
        return refuse(reason);
    QSqlQuery q(db);
    if (!postgres) {
        // A trend of two years reads hundreds of blocks spread over a file of gigabytes: mapped
        // and cached, they are not copied page by page out of the kernel on every query.
        q.exec(QStringLiteral("PRAGMA mmap_size=2147418112"));
        q.exec(QStringLiteral("PRAGMA cache_size=-32768"));
    }
    if (!postgres && access == Access::ReadWrite) {
        // Trend blocks of a few kilobytes waste less of larger pages; only a new file can
        // still choose, and only before WAL mode.
        if (version == 0)
            q.exec(QStringLiteral("PRAGMA page_size=16384"));
    } else if (postgres && access == Access::ReadOnly) {
        q.exec(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"));
    }
    q.finish();
    bool ok = true;
    if (version == 0)
        ok = createSchema(error);
    else if (version < SchemaVersion && access == Access::ReadWrite)
        ok = migrate(version, error);
    if (!ok) {
        db = QSqlDatabase();
        close();
        return false;
    }
    if (!postgres && access == Access::ReadWrite) {
        // Only now, once it is a journal of this schema: this writes to the file, which a
        // migration that failed must leave as it was.
        q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
        q.finish();
    }
    // A reader leaves an older journal as it is.
    m_version = version == 0 || access == Access::ReadWrite ? SchemaVersion : version;
    return true;
}

bool JournalStore::validate(QString *reason, int *version)
{
    QSqlDatabase db = database();
    QSqlQuery q(db);
    const bool postgres = isPostgres();
    if (!postgres && !q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        // A damaged or foreign file fails here, before anything is written to it.
        *reason = JournalStore::tr("damaged or not a journal (%1); left as it is")
                      .arg(q.lastError().text());
        return false;
    }
    const QStringList tables = db.tables();
    if (!tables.contains(QStringLiteral("journal_meta"))) {
        if (!postgres && !tables.isEmpty()) {
            *reason = JournalStore::tr(
                "not a journal (an SQLite database of something else); left as it is");
            return false;
        }
        if (m_access == Access::ReadOnly) {
            *reason = JournalStore::tr("no journal there yet");
            return false;
        }
        *version = 0;
        return true;
    }
    QString application;
    if (!q.exec(QStringLiteral("SELECT key, value FROM journal_meta"))) {
        *reason = JournalStore::tr("damaged (%1); left as it is").arg(q.lastError().text());
        return false;
    }
    while (q.next()) {
        if (q.value(0).toString() == QLatin1String("application"))
            application = q.value(1).toString();
        else if (q.value(0).toString() == QLatin1String("schema"))
            *version = q.value(1).toInt();
    }
    if (application != QLatin1String(ApplicationId) || *version < 1) {
        *reason = JournalStore::tr("not a journal (no journal schema); left as it is");
        return false;
    }
    if (*version > SchemaVersion) {
        *reason = JournalStore::tr("written by a newer version (schema %1, this program knows up "
                                   "to %2); left as it is")
                      .arg(*version)
                      .arg(SchemaVersion);
        return false;
    }
    if (*version < OldestReadable && m_access == Access::ReadOnly) {
        *reason =
            JournalStore::tr("an older journal (schema %1); recording into it once updates it")
                .arg(*version);
        return false;
    }
    return true;
}

bool JournalStore::begin()
{
    QSqlDatabase db = database();
    if (isPostgres())
        return db.transaction();
    // Immediate: two writers on one file queue here instead of failing at their first write.
    QSqlQuery q(db);
    return q.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

bool JournalStore::createSchema(QString *error)
{
    const bool pg = isPostgres();
    const QString serial = pg ? QStringLiteral("BIGSERIAL PRIMARY KEY")
                              : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    const QString real = pg ? QStringLiteral("DOUBLE PRECISION") : QStringLiteral("REAL");
    const QString blob = pg ? QStringLiteral("BYTEA") : QStringLiteral("BLOB");
    const QStringList statements{
        QStringLiteral("CREATE TABLE journal_meta (key TEXT PRIMARY KEY, value TEXT NOT NULL)"),
        QStringLiteral(
            "CREATE TABLE journal_events (id %1, time_ms BIGINT NOT NULL, "
            "installation TEXT NOT NULL, node INTEGER NOT NULL, channel INTEGER NOT NULL, "
            "slot INTEGER NOT NULL, relay INTEGER NOT NULL, kind TEXT NOT NULL, "
            "from_state TEXT NOT NULL, to_state TEXT NOT NULL, value %2, unit TEXT NOT NULL, "
            "detail TEXT NOT NULL, alarm INTEGER, ref_id BIGINT)")
            .arg(serial, real),
        QStringLiteral("CREATE INDEX journal_events_time ON journal_events (time_ms)"),
        QStringLiteral("CREATE INDEX journal_events_node ON journal_events (node, time_ms)"),
        QuietIndex,
        // Where an alarm summary looks for the return of a node.
        QStringLiteral("CREATE INDEX journal_events_heard ON journal_events (node, id) "
                       "WHERE kind = 'node-heard'"),
        // An alarm is acknowledged once, even by two users at the same moment.
        QStringLiteral("CREATE UNIQUE INDEX journal_events_ack ON journal_events (ref_id) "
                       "WHERE ref_id IS NOT NULL"),
        QStringLiteral("CREATE TABLE journal_series (id %1, installation TEXT NOT NULL, "
                       "node INTEGER NOT NULL, channel INTEGER NOT NULL, slot INTEGER NOT NULL, "
                       "meas_type BIGINT NOT NULL, "
                       "UNIQUE (installation, node, channel, slot, meas_type))")
            .arg(serial),
        QStringLiteral(
            "CREATE TABLE journal_trend (tier INTEGER NOT NULL, series BIGINT NOT NULL, "
            "start_ms BIGINT NOT NULL, data %1 NOT NULL, PRIMARY KEY (tier, series, start_ms))")
            .arg(blob),
        QStringLiteral(
            "CREATE TABLE journal_writers (installation TEXT PRIMARY KEY, host TEXT NOT NULL, "
            "pid BIGINT NOT NULL, started_ms BIGINT NOT NULL, last_write_ms BIGINT NOT NULL, "
            "active INTEGER NOT NULL, program TEXT NOT NULL DEFAULT '')"),
    };
    QSqlDatabase db = database();
    if (!begin())
        return fail(error,
                    JournalStore::tr("cannot create the journal: %1").arg(db.lastError().text()));
    QSqlQuery q(db);
    // Two writers starting on an empty database at once: the second waits here and then
    // finds the journal the first one created.
    if (pg)
        q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(1869771375)"));
    if (db.tables().contains(QStringLiteral("journal_meta"))) {
        db.commit();
        m_version = SchemaVersion;
        return true;
    }
    for (const QString &statement : statements) {
        if (!q.exec(statement)) {
            const QString reason = q.lastError().text();
            db.rollback();
            return fail(error, JournalStore::tr("cannot create the journal: %1").arg(reason));
        }
    }
    q.prepare(QStringLiteral("INSERT INTO journal_meta (key, value) VALUES (?, ?), (?, ?)"));
    q.addBindValue(QStringLiteral("application"));
    q.addBindValue(QString::fromLatin1(ApplicationId));
    q.addBindValue(QStringLiteral("schema"));
    q.addBindValue(QString::number(SchemaVersion));
    if (!q.exec() || !db.commit()) {
        const QString reason = q.lastError().text();
        db.rollback();
        return fail(error, JournalStore::tr("cannot create the journal: %1").arg(reason));
    }
    m_version = SchemaVersion;
    return true;
}

bool JournalStore::migrate(int from, QString *error)
{
    // All steps in one transaction: a journal is never left half migrated, and one that
    // cannot be migrated stays as it was.
    QSqlDatabase db = database();
    if (!begin())
        return fail(error,
                    JournalStore::tr("cannot update the journal: %1").arg(db.lastError().text()));
    QSqlQuery q(db);
    auto abandon = [&](const QString &reason) {
        q.finish();
        db.rollback();
        return fail(error, reason);
    };
    if (isPostgres())
        q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(1869771375)"));
    // Another writer may have migrated it while this one waited for the transaction.
    if (!q.exec(QStringLiteral("SELECT value FROM journal_meta WHERE key = 'schema'")) || !q.next())
        return abandon(JournalStore::tr("cannot update the journal: %1").arg(q.lastError().text()));
    const int current = q.value(0).toInt();
    q.finish();
    if (current > SchemaVersion)
        return abandon(JournalStore::tr("written by a newer version (schema %1, this program "
                                        "knows up to %2); left as it is")
                           .arg(current)
                           .arg(SchemaVersion));
    for (int version = qMax(from, current); version < SchemaVersion; ++version) {
        const auto step = std::find_if(schemaSteps().cbegin(), schemaSteps().cend(),
                                       [&](const SchemaStep &s) { return s.to == version + 1; });
        if (step == schemaSteps().cend())
            return abandon(JournalStore::tr("cannot update schema %1").arg(version));
        for (const QString &statement : step->statements(isPostgres())) {
            if (!q.exec(statement))
                return abandon(JournalStore::tr("cannot update schema %1: %2")
                                   .arg(version)
                                   .arg(q.lastError().text()));
        }
        QString reason;
        if (step->rollUpTier >= 0 && !rollUpTier(step->rollUpTier, &reason))
            return abandon(
                JournalStore::tr("cannot update schema %1: %2").arg(version).arg(reason));
    }
    q.prepare(QStringLiteral("UPDATE journal_meta SET value = ? WHERE key = 'schema'"));
    q.addBindValue(QString::number(SchemaVersion));
    if (!q.exec() || !db.commit())
        return abandon(JournalStore::tr("cannot update the journal: %1").arg(q.lastError().text()));
    return true;
}

bool JournalStore::rollUpTier(int tier, QString *reason)
{
    const TrendTier fineTier = tiers()[tier - 1];
    const TrendTier coarseTier = tiers()[tier];
    const int ratio = coarseTier.intervalS / fineTier.intervalS;
    const qint64 coarseMs = qint64(coarseTier.intervalS) * 1000;
    QSqlQuery q(database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT DISTINCT series FROM journal_trend WHERE tier = ?"));
    q.addBindValue(tier - 1);
    if (!q.exec()) {
        *reason = q.lastError().text();
        return false;
    }
    QVector<qint64> seriesList;
    while (q.next())
        seriesList << q.value(0).toLongLong();
    q.finish();
    for (qint64 series : qAsConst(seriesList)) {
        // Read whole before writing, so the scan never meets the rows it adds.
        q.prepare(QStringLiteral("SELECT start_ms, data FROM journal_trend WHERE tier = ? AND "
                                 "series = ? ORDER BY start_ms"));
        q.addBindValue(tier - 1);
        q.addBindValue(series);
        if (!q.exec()) {
            *reason = q.lastError().text();
            return false;
        }
        QVector<QPair<qint64, QByteArray>> rows;
        while (q.next())
            rows.append({q.value(0).toLongLong(), q.value(1).toByteArray()});
        q.finish();
        TrendBlock fine(fineTier.intervalS, fineTier.slotCount);
        TrendBlock coarse(coarseTier.intervalS, coarseTier.slotCount);
        // No block yet: nothing to write before the first.
        qint64 coarseStart = std::numeric_limits<qint64>::min();
        auto flush = [&] {
            if (coarseStart != std::numeric_limits<qint64>::min() &&
                !putBlock(tier, series, coarseStart, coarse.encode())) {
                *reason = m_lastError;
                return false;
            }
            coarse = TrendBlock(coarseTier.intervalS, coarseTier.slotCount);
            return true;
        };
        for (const auto &row : qAsConst(rows)) {
            // A block that does not decode is left to check to report, not carried upwards.
            if (!fine.decode(row.second))
                continue;
            for (int first = 0; first < fine.slotCount(); first += ratio) {
                const TrendRecord r = fine.aggregate(first, ratio);
                if (r.count == 0)
                    continue;
                const qint64 t = row.first + qint64(first) * fineTier.intervalS * 1000;
                const qint64 start = coarse.blockStart(t);
                if (start != coarseStart) {
                    if (!flush())
                        return false;
                    coarseStart = start;
                }
                coarse.set(int((t - start) / coarseMs), r);
            }
        }
        if (!flush())
            return false;
    }
    return true;
}

bool JournalStore::claim(const QString &installation, qint64 nowMs, qint64 *uncleanEndMs,
                         QString *error, bool *held)
{
    *uncleanEndMs = 0;
    if (held)
        *held = false;
    QSqlDatabase db = database();
    if (!begin())
        return fail(error, db.lastError().text());
    QSqlQuery q(db);
    if (isPostgres())
        q.exec(QStringLiteral("LOCK TABLE journal_writers IN SHARE ROW EXCLUSIVE MODE"));
    q.prepare(QStringLiteral("SELECT host, pid, started_ms, last_write_ms, active, program "
                             "FROM journal_writers WHERE installation = ?"));
    q.addBindValue(installation);
    if (!q.exec()) {
        const QString reason = q.lastError().text();
        db.rollback();
        return fail(error, reason);
    }
    const QString host = QSysInfo::machineHostName();
    const qint64 pid = QCoreApplication::applicationPid();
    if (q.next() && q.value(4).toInt() != 0) {
        const QString holder = q.value(0).toString();
        const qint64 holderPid = q.value(1).toLongLong();
        const qint64 lastWrite = q.value(3).toLongLong();
        const bool recent = nowMs - lastWrite < LeaseTimeoutMs;
        // On this host a writer whose process is gone is gone at once, so a restart right
        // after a crash records again.
        const bool alive = holder == host ? processRuns(holderPid) && recent : recent;
        if (holder == host && holderPid == pid && m_claimStartMs != 0 &&
            q.value(2).toLongLong() == m_claimStartMs) {
            // This writer again, back after the journal failed: the lease is still its own.
            q.finish();
            m_claimed = installation;
            return db.commit() || fail(error, db.lastError().text());
        }
        if (alive) {
            db.rollback();
            if (held)
                *held = true;
            const QString program = q.value(5).toString();
            const QString since = JournalFormat::time(q.value(2).toLongLong());
            // A lease taken before writers named their program says less.
            if (program.isEmpty())
                return fail(error, JournalStore::tr("installation \"%1\" is being recorded by %2 "
                                                    "(process %3) since %4")
                                       .arg(installation, holder)
                                       .arg(holderPid)
                                       .arg(since));
            return fail(error, JournalStore::tr("installation \"%1\" is being recorded by %2 "
                                                "(process %3, %4) since %5")
                                   .arg(installation, holder)
                                   .arg(holderPid)
                                   .arg(program, since));
        }
        *uncleanEndMs = lastWrite;
        JournalEvent stop;
        stop.kind = Journal::Kind::RecordingStopped;
        stop.timeMs = lastWrite;
        stop.installation = installation;
        stop.detail = QStringLiteral("unclean");
        if (!insertEvent(stop)) {
            const QString reason = database().lastError().text();
            db.rollback();
            return fail(error, reason);
        }
    }
    q.finish();
    q.prepare(
        isPostgres()
            ? QStringLiteral("INSERT INTO journal_writers (installation, host, pid, started_ms, "
                             "last_write_ms, active, program) VALUES (?, ?, ?, ?, ?, 1, ?) "
                             "ON CONFLICT (installation) DO UPDATE SET host = excluded.host, "
                             "pid = excluded.pid, started_ms = excluded.started_ms, "
                             "last_write_ms = excluded.last_write_ms, active = 1, "
                             "program = excluded.program")
            : QStringLiteral("INSERT OR REPLACE INTO journal_writers (installation, host, pid, "
                             "started_ms, last_write_ms, active, program) "
                             "VALUES (?, ?, ?, ?, ?, 1, ?)"));
    q.addBindValue(installation);
    q.addBindValue(host);
    q.addBindValue(pid);
    q.addBindValue(nowMs);
    q.addBindValue(nowMs);
    q.addBindValue(programName());
    if (!q.exec() || !db.commit()) {
        const QString reason = q.lastError().text();
        db.rollback();
        return fail(error, reason);
    }
    m_claimed = installation;
    m_claimStartMs = nowMs;
    return true;
}

bool JournalStore::insertEvent(const JournalEvent &event)
{
    // Prepared once per connection: a batch of a busy second holds thousands of rows.
    if (!m_insert) {
        m_insert = std::make_unique<QSqlQuery>(database());
        if (!m_insert->prepare(
                QStringLiteral("INSERT INTO journal_events (time_ms, installation, node, channel, "
                               "slot, relay, kind, "
                               "from_state, to_state, value, unit, detail, alarm, ref_id) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))) {
            m_lastError = m_insert->lastError().text();
            m_insert.reset();
            return false;
        }
    }
    QSqlQuery &q = *m_insert;
    q.addBindValue(event.timeMs);
    q.addBindValue(event.installation);
    q.addBindValue(event.node);
    q.addBindValue(event.channel);
    q.addBindValue(event.slot);
    q.addBindValue(event.relay);
    q.addBindValue(Journal::kindName(event.kind));
    q.addBindValue(event.from.isNull() ? QString(QLatin1String("")) : event.from);
    q.addBindValue(event.to.isNull() ? QString(QLatin1String("")) : event.to);
    q.addBindValue(event.hasValue ? QVariant(double(event.value)) : QVariant(QVariant::Double));
    q.addBindValue(event.unit.isNull() ? QString(QLatin1String("")) : event.unit);
    q.addBindValue(event.detail.isNull() ? QString(QLatin1String("")) : event.detail);
    q.addBindValue(alarmState(event));
    q.addBindValue(event.kind == Journal::Kind::Acknowledged ? QVariant(event.id)
                                                             : QVariant(QVariant::LongLong));
    return exec(q);
}

bool JournalStore::write(const QVector<JournalEvent> &events,
                         const QVector<TrendInterval> &intervals, qint64 nowMs, bool release)
{
    QSqlDatabase db = database();
    m_lastError.clear();
    if (!begin())
        return false;
    // Ids of series created in a transaction that is rolled back must not stay known.
    auto rollback = [&] {
        db.rollback();
        m_seriesCache.clear();
        m_blockCache.clear();
        m_blocksWritten.clear();
        return false;
    };
    for (const JournalEvent &event : events) {
        if (!insertEvent(event)) {
            return rollback();
        }
    }
    if (!mergeIntervals(intervals)) {
        return rollback();
    }
    if (!m_claimed.isEmpty()) {
        // Renewing the lease also tells whether this writer still holds it.
        QSqlQuery q(db);
        q.prepare(
            QStringLiteral("UPDATE journal_writers SET last_write_ms = ?, active = ? "
                           "WHERE installation = ? AND host = ? AND pid = ? AND started_ms = ?"));
        q.addBindValue(nowMs);
        q.addBindValue(release ? 0 : 1);
        q.addBindValue(m_claimed);
        q.addBindValue(QSysInfo::machineHostName());
        q.addBindValue(QCoreApplication::applicationPid());
        q.addBindValue(m_claimStartMs);
        if (!exec(q) || q.numRowsAffected() != 1) {
            if (m_lastError.isEmpty())
                m_lastError = JournalStore::tr("another writer took over this installation");
            return rollback();
        }
    }
    if (!db.commit()) {
        return rollback();
    }
    for (auto it = m_blocksWritten.begin(); it != m_blocksWritten.end(); ++it) {
        const auto cached = m_blockCache.find(it.key());
        if (cached == m_blockCache.end() || it->start >= cached->start)
            m_blockCache.insert(it.key(), std::move(it.value()));
    }
    m_blocksWritten.clear();
    if (release)
        m_claimed.clear();
    return true;
}

qint64 JournalStore::seriesId(const QString &installation, int node, int channel, int slot,
                              quint32 measType, bool create)
{
    const QString key = QStringLiteral("%1\x1f%2\x1f%3\x1f%4\x1f%5")
                            .arg(installation)
                            .arg(node)
                            .arg(channel)
                            .arg(slot)
                            .arg(measType);
    const auto cached = m_seriesCache.constFind(key);
    if (cached != m_seriesCache.constEnd())
        return *cached;
    QSqlQuery q(database());
    const QString select =
        QStringLiteral("SELECT id FROM journal_series WHERE installation = ? AND "
                       "node = ? AND channel = ? AND slot = ? AND meas_type = ?");
    auto bind = [&] {
        q.addBindValue(installation);
        q.addBindValue(node);
        q.addBindValue(channel);
        q.addBindValue(slot);
        q.addBindValue(qint64(measType));
    };
    q.prepare(select);
    bind();
    if (q.exec() && q.next()) {
        const qint64 id = q.value(0).toLongLong();
        m_seriesCache.insert(key, id);
        return id;
    }
    if (!create)
        return 0;
    q.prepare(
        QStringLiteral("INSERT INTO journal_series (installation, node, channel, slot, meas_type) "
                       "VALUES (?, ?, ?, ?, ?)"));
    bind();
    if (!exec(q))
        return 0;
    q.prepare(select);
    bind();
    if (!q.exec() || !q.next())
        return 0;
    // Not cached: the transaction that created it may still be rolled back.
    return q.value(0).toLongLong();
}

bool JournalStore::putBlock(int tier, qint64 series, qint64 blockStartMs, const QByteArray &data)
{
    // Whoever writes a block directly knows better than the cache.
    m_blockCache.remove({tier, series});
    if (!m_putBlock) {
        m_putBlock = std::make_unique<QSqlQuery>(database());
        if (!m_putBlock->prepare(QStringLiteral(
                "INSERT INTO journal_trend (tier, series, start_ms, data) VALUES (?, ?, ?, ?) "
                "ON CONFLICT (tier, series, start_ms) DO UPDATE SET data = excluded.data"))) {
            m_lastError = m_putBlock->lastError().text();
            m_putBlock.reset();
            return false;
        }
    }
    QSqlQuery &q = *m_putBlock;
    q.addBindValue(tier);
    q.addBindValue(series);
    q.addBindValue(blockStartMs);
    q.addBindValue(data);
    return exec(q);
}

bool JournalStore::mergeIntervals(const QVector<TrendInterval> &intervals)
{
    const QVector<TrendTier> &tierList = tiers();
    // series -> tier -> block start -> block, loaded once per write.
    struct Key
    {
        int tier;
        qint64 series;
        qint64 start;
        bool operator<(const Key &o) const
        {
            return std::tie(tier, series, start) < std::tie(o.tier, o.series, o.start);
        }
    };
    QMap<Key, TrendBlock> blocks;
    QSqlQuery load(database());
    load.prepare(QStringLiteral(
        "SELECT data FROM journal_trend WHERE tier = ? AND series = ? AND start_ms = ?"));
    auto blockFor = [&](int tier, qint64 series, qint64 timeMs, qint64 *start) -> TrendBlock * {
        TrendBlock shape(tierList[tier].intervalS, tierList[tier].slotCount);
        *start = shape.blockStart(timeMs);
        const Key key{tier, series, *start};
        auto it = blocks.find(key);
        if (it != blocks.end())
            return &it.value();
        const auto cached = m_blockCache.constFind({tier, series});
        if (cached != m_blockCache.constEnd() && cached->start == *start)
            return &blocks.insert(key, cached->block).value();
        load.addBindValue(tier);
        load.addBindValue(series);
        load.addBindValue(*start);
        if (!exec(load))
            return nullptr;
        if (load.next())
            shape.decode(load.value(0).toByteArray());
        load.finish();
        return &blocks.insert(key, shape).value();
    };

    // Touched intervals per tier and series, rolled up tier by tier.
    QMap<std::pair<qint64, int>, QVector<qint64>> touched; // (series, tier) -> interval starts
    for (const TrendInterval &interval : intervals) {
        int tier = 0;
        while (tier < tierList.size() && tierList[tier].intervalS != interval.intervalS)
            ++tier;
        if (tier == tierList.size() || interval.count == 0)
            continue;
        const qint64 series = seriesId(interval.installation, interval.node, interval.channel,
                                       interval.slot, interval.measType, true);
        if (series == 0)
            return false;
        qint64 start = 0;
        TrendBlock *block = blockFor(tier, series, interval.startMs, &start);
        if (!block)
            return false;
        const int slot = int((interval.startMs - start) / (qint64(interval.intervalS) * 1000));
        TrendRecord r;
        // Replaced, not merged: an interval written again after a failed commit counts once.
        r.count = interval.count;
        r.min = interval.min;
        r.max = interval.max;
        r.sum = interval.sum;
        r.last = interval.last;
        r.valid = interval.valid;
        block->set(slot, r);
        touched[{series, tier}].append(interval.startMs);
    }
    for (int tier = 0; tier + 1 < tierList.size(); ++tier) {
        const qint64 coarseMs = qint64(tierList[tier + 1].intervalS) * 1000;
        const int ratio = tierList[tier + 1].intervalS / tierList[tier].intervalS;
        for (auto it = touched.begin(); it != touched.end(); ++it) {
            if (it.key().second != tier)
                continue;
            const qint64 series = it.key().first;
            QVector<qint64> coarseStarts;
            for (qint64 t : qAsConst(it.value())) {
                const qint64 c = t - ((t % coarseMs) + coarseMs) % coarseMs;
                if (coarseStarts.isEmpty() || coarseStarts.last() != c)
                    coarseStarts.append(c);
            }
            std::sort(coarseStarts.begin(), coarseStarts.end());
            coarseStarts.erase(std::unique(coarseStarts.begin(), coarseStarts.end()),
                               coarseStarts.end());
            for (qint64 c : qAsConst(coarseStarts)) {
                qint64 fineStart = 0;
                TrendBlock *fine = blockFor(tier, series, c, &fineStart);
                qint64 coarseBlockStart = 0;
                TrendBlock *coarse = blockFor(tier + 1, series, c, &coarseBlockStart);
                if (!fine || !coarse)
                    return false;
                const int first = int((c - fineStart) / (qint64(tierList[tier].intervalS) * 1000));
                coarse->set(int((c - coarseBlockStart) / coarseMs), fine->aggregate(first, ratio));
                touched[{series, tier + 1}].append(c);
            }
        }
    }
    for (auto it = blocks.constBegin(); it != blocks.constEnd(); ++it) {
        if (!putBlock(it.key().tier, it.key().series, it.key().start, it.value().encode()))
            return false;
        // In order of start: the newest block of a tier and series is kept last.
        m_blocksWritten[{it.key().tier, it.key().series}] = {it.key().start, it.value()};
    }
    return true;
}

bool JournalStore::prune(const JournalRetention &retention, qint64 nowMs)
{
    m_blockCache.clear();
    QSqlDatabase db = database();
    if (!begin())
        return false;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM journal_events WHERE time_ms < ?"));
    q.addBindValue(nowMs - retention.eventsMs);
    bool ok = q.exec();
    for (int tier = 0; ok && tier < tierCount(); ++tier) {
        const TrendBlock shape(tiers()[tier].intervalS, tiers()[tier].slotCount);
        // A block goes when its last interval is older than the tier keeps.
        q.prepare(QStringLiteral("DELETE FROM journal_trend WHERE tier = ? AND start_ms <= ?"));
        q.addBindValue(tier);
        q.addBindValue(nowMs - retention.keepMs(tier) - shape.spanMs());
        ok = q.exec();
    }
    if (!ok || !db.commit()) {
        db.rollback();
        return false;
    }
    return true;
}

bool JournalStore::check(QString *report)
{
    QSqlDatabase db = database();
    QSqlQuery q(db);
    QStringList problems;
    if (!isPostgres()) {
        // The server keeps its own pages whole; a file may not be.
        if (!q.exec(QStringLiteral("PRAGMA integrity_check"))) {
            *report = lastError();
            return false;
        }
        while (q.next()) {
            if (q.value(0).toString() != QLatin1String("ok"))
                problems << q.value(0).toString();
        }
        q.finish();
    }

    // What this schema creates; a database edited by hand may lack some of it. Indexes that
    // a later schema adds beside these are no damage.
    // A reader may hold a journal of schema 1, which lacks what schema 2 added.
    const bool schema1 = m_version < 2;
    const std::pair<const char *, QStringList> tables[] = {
        {"journal_meta", {"key", "value"}},
        {"journal_events",
         {"id", "time_ms", "installation", "node", "channel", "slot", "relay", "kind", "from_state",
          "to_state", "value", "unit", "detail", "alarm", "ref_id"}},
        {"journal_series", {"id", "installation", "node", "channel", "slot", "meas_type"}},
        {"journal_trend", {"tier", "series", "start_ms", "data"}},
        {"journal_writers",
         QStringList{"installation", "host", "pid", "started_ms", "last_write_ms", "active"}
             << (schema1 ? QStringList() : QStringList{"program"})},
    };
    const char *const indexes[] = {"journal_events_time", "journal_events_node",
                                   schema1 ? "journal_events_item" : "journal_events_quiet",
                                   "journal_events_heard", "journal_events_ack"};
    const QStringList present = db.tables();
    for (const auto &table : tables) {
        const QString name = QLatin1String(table.first);
        if (!present.contains(name)) {
            problems << JournalStore::tr("table %1 is missing").arg(name);
            continue;
        }
        const QSqlRecord record = db.record(name);
        for (const QString &column : table.second) {
            if (record.indexOf(column) < 0)
                problems << JournalStore::tr("column %1.%2 is missing").arg(name, column);
        }
    }
    if (!q.exec(isPostgres() ? QStringLiteral("SELECT indexname FROM pg_indexes "
                                              "WHERE schemaname = current_schema()")
                             : QStringLiteral("SELECT name FROM sqlite_master "
                                              "WHERE type = 'index'"))) {
        *report = lastError();
        return false;
    }
    QStringList presentIndexes;
    while (q.next())
        presentIndexes << q.value(0).toString();
    q.finish();
    for (const char *index : indexes) {
        if (!presentIndexes.contains(QLatin1String(index)))
            problems << JournalStore::tr("index %1 is missing").arg(QLatin1String(index));
    }
    if (!problems.isEmpty()) {
        // The content checks below would only fail on what is missing.
        *report = problems.join(QLatin1Char('\n'));
        return false;
    }

    // The content, as far as one pass over an index or a table tells.
    const std::pair<QString, const char *> counts[] = {
        {QStringLiteral("SELECT count(*) FROM journal_events WHERE kind = '' OR time_ms IS NULL"),
         QT_TR_NOOP("%1 events without a kind or time")},
        {QStringLiteral("SELECT count(*) FROM journal_events a WHERE a.ref_id IS NOT NULL AND "
                        // Older than every event kept: pruned, not lost.
                        "a.ref_id >= (SELECT MIN(id) FROM journal_events) AND NOT EXISTS (SELECT 1 "
                        "FROM journal_events e WHERE e.id = a.ref_id "
                        "AND e.alarm = 1)"),
         QT_TR_NOOP("%1 acknowledgements of no alarm")},
        {QStringLiteral("SELECT count(*) FROM journal_trend t WHERE NOT EXISTS "
                        "(SELECT 1 FROM journal_series s WHERE s.id = t.series)"),
         QT_TR_NOOP("%1 trend blocks of no measurement")},
        {QStringLiteral("SELECT count(*) FROM journal_trend WHERE tier < 0 OR tier >= %1")
             .arg(tierCount()),
         QT_TR_NOOP("%1 trend blocks of no tier")},
    };
    for (const auto &count : counts) {
        if (!q.exec(count.first) || !q.next()) {
            *report = lastError();
            return false;
        }
        const qint64 n = q.value(0).toLongLong();
        if (n != 0)
            problems << JournalStore::tr(count.second).arg(n);
        q.finish();
    }
    *report = problems.isEmpty() ? QStringLiteral("ok") : problems.join(QLatin1Char('\n'));
    return problems.isEmpty();
}
