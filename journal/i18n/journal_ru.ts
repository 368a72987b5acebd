<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>JournalLocation</name>
    <message>
        <location filename="../journallocation.cpp" line="16"/>
        <source>not a PostgreSQL address: expected postgresql://[user@]host[:port]/database</source>
        <translation>не адрес PostgreSQL: ожидается postgresql://[пользователь@]хост[:порт]/база</translation>
    </message>
    <message>
        <location filename="../journallocation.cpp" line="24"/>
        <source>a password does not belong in the journal address; put it into ~/.pgpass or the file PGPASSFILE names</source>
        <translation>пароль не указывают в адресе журнала; запишите его в ~/.pgpass или в файл, названный в PGPASSFILE</translation>
    </message>
    <message>
        <location filename="../journallocation.cpp" line="31"/>
        <source>the PostgreSQL address takes no options after the database name</source>
        <translation>в адресе PostgreSQL после имени базы не допускаются параметры</translation>
    </message>
    <message>
        <location filename="../journallocation.cpp" line="37"/>
        <source>the PostgreSQL address names no database: postgresql://[user@]host[:port]/database</source>
        <translation>в адресе PostgreSQL не указана база: postgresql://[пользователь@]хост[:порт]/база</translation>
    </message>
    <message>
        <location filename="../journallocation.cpp" line="44"/>
        <source>the port must be 1 to 65535</source>
        <translation>порт должен быть от 1 до 65535</translation>
    </message>
    <message>
        <location filename="../journallocation.cpp" line="63"/>
        <source>the journal is empty: give a file or postgresql://[user@]host[:port]/database</source>
        <translation>журнал не указан: укажите файл или postgresql://[пользователь@]хост[:порт]/база</translation>
    </message>
</context>
<context>
    <name>JournalOptions</name>
    <message>
        <location filename="../journaloptions.cpp" line="28"/>
        <source>the settings key &quot;%1&quot;</source>
        <translation>ключ настроек &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../journaloptions.cpp" line="46"/>
        <source>Record into the journal JOURNAL: an SQLite file, or postgresql://[user@]host[:port]/database (the password from ~/.pgpass or PGPASSFILE). Default: the settings key &quot;journal&quot;, else journal.sqlite in the user&apos;s data folder.</source>
        <translation>Записывать в журнал JOURNAL: файл SQLite или postgresql://[пользователь@]хост[:порт]/база (пароль берётся из ~/.pgpass или PGPASSFILE). По умолчанию: ключ настроек &quot;journal&quot;, иначе journal.sqlite в папке данных пользователя.</translation>
    </message>
    <message>
        <location filename="../journaloptions.cpp" line="52"/>
        <source>Record nothing.</source>
        <translation>Ничего не записывать.</translation>
    </message>
    <message>
        <location filename="../journaloptions.cpp" line="55"/>
        <source>Name the installation NAME in the journal (default: the host name, a colon and the listening port).</source>
        <translation>Называть установку в журнале именем NAME (по умолчанию: имя хоста, двоеточие и порт приёма).</translation>
    </message>
    <message>
        <location filename="../journaloptions.cpp" line="65"/>
        <source>Keep the journal&apos;s parts this long, for example seconds=24h,minutes=30d,ten-minutes=2y,events=2y (the defaults); parts not named keep theirs. Default: the settings key &quot;journalKeep&quot;.</source>
        <translation>Хранить части журнала столько, например seconds=24h,minutes=30d,ten-minutes=2y,events=2y (по умолчанию); неназванные части хранятся как по умолчанию. По умолчанию: ключ настроек &quot;journalKeep&quot;.</translation>
    </message>
    <message>
        <location filename="../journaloptions.cpp" line="85"/>
        <source>--journal and --no-journal exclude each other</source>
        <translation>--journal и --no-journal исключают друг друга</translation>
    </message>
    <message>
        <location filename="../journaloptions.cpp" line="90"/>
        <source>--installation needs a name</source>
        <translation>для --installation нужно имя</translation>
    </message>
    <message>
        <location filename="../journaloptions.cpp" line="38"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>JournalQuery</name>
    <message>
        <location filename="../journalquery.cpp" line="260"/>
        <source>there is no event %1</source>
        <translation>события %1 нет</translation>
    </message>
    <message>
        <location filename="../journalquery.cpp" line="266"/>
        <source>event %1 is no alarm</source>
        <translation>событие %1 не является тревогой</translation>
    </message>
    <message>
        <location filename="../journalquery.cpp" line="270"/>
        <source>event %1 was acknowledged by %2 at %3</source>
        <translation>событие %1 уже квитировано пользователем %2 в %3</translation>
    </message>
    <message>
        <location filename="../journalquery.cpp" line="290"/>
        <source>cannot acknowledge: %1</source>
        <translation>не удаётся квитировать: %1</translation>
    </message>
</context>
<context>
    <name>JournalRetention</name>
    <message>
        <location filename="../journalretention.cpp" line="59"/>
        <source>no retention given</source>
        <translation>срок хранения не задан</translation>
    </message>
    <message>
        <location filename="../journalretention.cpp" line="70"/>
        <source>%1: not seconds=, minutes=, ten-minutes= or events=</source>
        <translation>%1: ожидается seconds=, minutes=, ten-minutes= или events=</translation>
    </message>
    <message>
        <location filename="../journalretention.cpp" line="83"/>
        <source>%1: a length of up to 100 years, such as 24h, 30d or 2y</source>
        <translation>%1: нужен срок не более 100 лет, например 24h, 30d или 2y</translation>
    </message>
</context>
<context>
    <name>JournalStore</name>
    <message>
        <location filename="../journalstore.cpp" line="180"/>
        <location filename="../journalstore.cpp" line="196"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="206"/>
        <source>no journal there</source>
        <translation>журнала там нет</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="209"/>
        <source>cannot create its folder: %1</source>
        <translation>не удаётся создать его папку: %1</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="219"/>
        <source>not a file</source>
        <translation>это не файл</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="227"/>
        <source>not a journal (not an SQLite database); left as it is</source>
        <translation>это не журнал (не база SQLite); оставлен как есть</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="238"/>
        <source>no journal given</source>
        <translation>журнал не указан</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="252"/>
        <source>Qt&apos;s %1 driver is not installed</source>
        <translation>драйвер Qt для %1 не установлен</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="270"/>
        <source>cannot open: %1</source>
        <translation>не удаётся открыть: %1</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="323"/>
        <source>damaged or not a journal (%1); left as it is</source>
        <translation>повреждён или не является журналом (%1); оставлен как есть</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="330"/>
        <source>not a journal (an SQLite database of something else); left as it is</source>
        <translation>это не журнал (база SQLite другого назначения); оставлен как есть</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="335"/>
        <source>no journal there yet</source>
        <translation>журнала там пока нет</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="343"/>
        <source>damaged (%1); left as it is</source>
        <translation>повреждён (%1); оставлен как есть</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="353"/>
        <source>not a journal (no journal schema); left as it is</source>
        <translation>это не журнал (нет схемы журнала); оставлен как есть</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="357"/>
        <location filename="../journalstore.cpp" line="478"/>
        <source>written by a newer version (schema %1, this program knows up to %2); left as it is</source>
        <translation>записан более новой версией (схема %1, эта программа знает схемы до %2); оставлен как есть</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="365"/>
        <source>an older journal (schema %1); recording into it once updates it</source>
        <translation>журнал старой версии (схема %1); первая запись в него его обновит</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="424"/>
        <location filename="../journalstore.cpp" line="439"/>
        <location filename="../journalstore.cpp" line="450"/>
        <source>cannot create the journal: %1</source>
        <translation>не удаётся создать журнал: %1</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="463"/>
        <location filename="../journalstore.cpp" line="474"/>
        <location filename="../journalstore.cpp" line="501"/>
        <source>cannot update the journal: %1</source>
        <translation>не удаётся обновить журнал: %1</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="486"/>
        <source>cannot update schema %1</source>
        <translation>не удаётся обновить схему %1</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="489"/>
        <location filename="../journalstore.cpp" line="496"/>
        <source>cannot update schema %1: %2</source>
        <translation>не удаётся обновить схему %1: %2</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="619"/>
        <source>installation &quot;%1&quot; is being recorded by %2 (process %3) since %4</source>
        <translation>установку &quot;%1&quot; уже записывает %2 (процесс %3) с %4</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="624"/>
        <source>installation &quot;%1&quot; is being recorded by %2 (process %3, %4) since %5</source>
        <translation>установку &quot;%1&quot; уже записывает %2 (процесс %3, %4) с %5</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="741"/>
        <source>another writer took over this installation</source>
        <translation>запись этой установки перехватила другая программа</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="997"/>
        <source>table %1 is missing</source>
        <translation>нет таблицы %1</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="1003"/>
        <source>column %1.%2 is missing</source>
        <translation>нет столбца %1.%2</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="1019"/>
        <source>index %1 is missing</source>
        <translation>нет индекса %1</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="1030"/>
        <source>%1 events without a kind or time</source>
        <translation>событий без вида или времени: %1</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="1036"/>
        <source>%1 acknowledgements of no alarm</source>
        <translation>квитирований без тревоги: %1</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="1039"/>
        <source>%1 trend blocks of no measurement</source>
        <translation>блоков тренда без измерения: %1</translation>
    </message>
    <message>
        <location filename="../journalstore.cpp" line="1042"/>
        <source>%1 trend blocks of no tier</source>
        <translation>блоков тренда без уровня: %1</translation>
    </message>
</context>
<context>
    <name>JournalWorker</name>
    <message>
        <location filename="../journalworker.cpp" line="213"/>
        <source>cannot write: %1</source>
        <translation>не удаётся записать: %1</translation>
    </message>
</context>
</TS>
