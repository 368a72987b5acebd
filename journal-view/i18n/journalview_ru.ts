<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AlarmModel</name>
    <message>
        <location filename="../alarmmodel.cpp" line="14"/>
        <source>Alert</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="16"/>
        <source>Danger</source>
        <translation>Опасность</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="18"/>
        <source>Failure</source>
        <translation>Отказ</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="22"/>
        <source>Relay fault</source>
        <translation>Неисправность реле</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="51"/>
        <source>%1, %2, %3</source>
        <translation>%1, %2, %3</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="52"/>
        <source>active</source>
        <translation>активна</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="52"/>
        <source>cleared</source>
        <translation>снята</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="53"/>
        <source>unacknowledged</source>
        <translation>не квитирована</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="53"/>
        <source>acknowledged</source>
        <translation>квитирована</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="77"/>
        <source>Cleared at %1</source>
        <translation>Снята в %1</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="95"/>
        <source>relay %1</source>
        <translation>реле %1</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="107"/>
        <source>%1 at %2</source>
        <translation>%1 в %2</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="120"/>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="122"/>
        <source>Since</source>
        <translation>С момента</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="124"/>
        <source>Installation</source>
        <translation>Установка</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="126"/>
        <source>Node</source>
        <translation>Узел</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="128"/>
        <source>Channel</source>
        <translation>Канал</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="130"/>
        <source>Measurement</source>
        <translation>Измерение</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="132"/>
        <source>Unit</source>
        <translation>Ед. изм.</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="134"/>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="136"/>
        <source>Raised in 24 h</source>
        <translation>Срабатываний за 24 ч</translation>
    </message>
    <message>
        <location filename="../alarmmodel.cpp" line="138"/>
        <source>Acknowledged</source>
        <translation>Квитирование</translation>
    </message>
</context>
<context>
    <name>EventModel</name>
    <message>
        <location filename="../eventmodel.cpp" line="95"/>
        <source>Id</source>
        <translation>№</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="97"/>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="99"/>
        <source>Installation</source>
        <translation>Установка</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="101"/>
        <source>Node</source>
        <translation>Узел</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="103"/>
        <source>Channel</source>
        <translation>Канал</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="105"/>
        <source>Slot</source>
        <translation>Измерение №</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="107"/>
        <source>Relay</source>
        <translation>Реле</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="109"/>
        <source>Kind</source>
        <translation>Вид</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="111"/>
        <source>From</source>
        <translation>Было</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="113"/>
        <source>To</source>
        <translation>Стало</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="115"/>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="117"/>
        <source>Unit</source>
        <translation>Ед. изм.</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="119"/>
        <source>Detail</source>
        <translation>Подробности</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="121"/>
        <source>Acknowledged by</source>
        <translation>Квитировал</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="123"/>
        <source>Acknowledged at</source>
        <translation>Время квитирования</translation>
    </message>
    <message>
        <location filename="../eventmodel.cpp" line="125"/>
        <source>Comment</source>
        <translation>Комментарий</translation>
    </message>
</context>
<context>
    <name>HistoryFilter</name>
    <message>
        <location filename="../historyfilter.cpp" line="58"/>
        <source>from %1 to %2</source>
        <translation>с %1 по %2</translation>
    </message>
    <message>
        <location filename="../historyfilter.cpp" line="59"/>
        <source>the start</source>
        <translation>начала</translation>
    </message>
    <message>
        <location filename="../historyfilter.cpp" line="62"/>
        <source>all times until %1</source>
        <translation>всё время до %1</translation>
    </message>
    <message>
        <location filename="../historyfilter.cpp" line="64"/>
        <source>installation %1</source>
        <translation>установка %1</translation>
    </message>
    <message>
        <location filename="../historyfilter.cpp" line="66"/>
        <source>node %1</source>
        <translation>узел %1</translation>
    </message>
    <message>
        <location filename="../historyfilter.cpp" line="68"/>
        <source>channel %1</source>
        <translation>канал %1</translation>
    </message>
    <message>
        <location filename="../historyfilter.cpp" line="73"/>
        <source>kinds %1</source>
        <translation>виды %1</translation>
    </message>
    <message>
        <location filename="../historyfilter.cpp" line="76"/>
        <source>unacknowledged alarms only</source>
        <translation>только неквитированные тревоги</translation>
    </message>
    <message>
        <location filename="../historyfilter.cpp" line="78"/>
        <source>alarms only</source>
        <translation>только тревоги</translation>
    </message>
    <message>
        <location filename="../historyfilter.cpp" line="80"/>
        <source>containing &quot;%1&quot;</source>
        <translation>содержит «%1»</translation>
    </message>
</context>
<context>
    <name>JournalViewWorker</name>
    <message>
        <location filename="../journalviewworker.cpp" line="163"/>
        <location filename="../journalviewworker.cpp" line="226"/>
        <source>the journal is not open</source>
        <translation>журнал не открыт</translation>
    </message>
</context>
<context>
    <name>JournalWindow</name>
    <message>
        <location filename="../journalwindow.cpp" line="61"/>
        <location filename="../journalwindow.cpp" line="91"/>
        <location filename="../journalwindow.cpp" line="661"/>
        <source>Acknowledge</source>
        <translation>Квитирование</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="62"/>
        <source>Comment on the acknowledgement:</source>
        <translation>Комментарий к квитированию:</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="92"/>
        <source>The alarms of %1 were not acknowledged: %2</source>
        <translation>Тревоги журнала %1 не квитированы: %2</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="98"/>
        <source>Exported to %1</source>
        <translation>Экспортировано в %1</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="100"/>
        <location filename="../journalwindow.cpp" line="377"/>
        <location filename="../journalwindow.cpp" line="399"/>
        <location filename="../journalwindow.cpp" line="407"/>
        <source>Export CSV</source>
        <translation>Экспорт в CSV</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="101"/>
        <location filename="../journalwindow.cpp" line="408"/>
        <location filename="../journalwindow.cpp" line="420"/>
        <source>Cannot write %1: %2</source>
        <translation>Не удаётся записать %1: %2</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="122"/>
        <source>Journal %1</source>
        <translation>Журнал %1</translation>
    </message>
    <message numerus="yes">
        <location filename="../journalwindow.cpp" line="124"/>
        <source>%n event(s)</source>
        <translation>
            <numerusform>%n событие</numerusform>
            <numerusform>%n события</numerusform>
            <numerusform>%n событий</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../journalwindow.cpp" line="125"/>
        <source>The newest %n events only</source>
        <translation>
            <numerusform>Только последнее %n событие</numerusform>
            <numerusform>Только последние %n события</numerusform>
            <numerusform>Только последние %n событий</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="148"/>
        <location filename="../journalwindow.cpp" line="383"/>
        <source>Export PDF</source>
        <translation>Экспорт в PDF</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="149"/>
        <source>Cannot write %1</source>
        <translation>Не удаётся записать %1</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="153"/>
        <source>Cannot read the history: %1</source>
        <translation>Не удаётся прочитать историю: %1</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="170"/>
        <source>Cannot read the trend: %1</source>
        <translation>Не удаётся прочитать тренд: %1</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="378"/>
        <location filename="../journalwindow.cpp" line="400"/>
        <source>CSV files (*.csv)</source>
        <translation>Файлы CSV (*.csv)</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="384"/>
        <source>PDF files (*.pdf)</source>
        <translation>Файлы PDF (*.pdf)</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="411"/>
        <location filename="../journalwindow.cpp" line="419"/>
        <source>Export PNG</source>
        <translation>Экспорт PNG</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="412"/>
        <source>PNG images (*.png)</source>
        <translation>Изображения PNG (*.png)</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="429"/>
        <source>Orvo Journal View - %1</source>
        <translation>Orvo Journal View - %1</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="430"/>
        <source>Alarm summary</source>
        <translation>Сводка тревог</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="431"/>
        <source>Event history</source>
        <translation>История событий</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="432"/>
        <source>Trends</source>
        <translation>Тренды</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="433"/>
        <source>Check measurements to show them. Drag to zoom, right click to zoom out, wheel to zoom, middle button to pan. A double click on an event in the history shows its measurement here.</source>
        <translation>Отметьте измерения, чтобы показать их. Протяните мышью для увеличения, правый щелчок — назад, колесо — масштаб, средняя кнопка — сдвиг. Двойной щелчок по событию в истории показывает здесь его измерение.</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="438"/>
        <source>Export PNG...</source>
        <translation>Экспорт PNG...</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="439"/>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="444"/>
        <location filename="../journalwindow.cpp" line="470"/>
        <source>Acknowledge...</source>
        <translation>Квитировать...</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="445"/>
        <source>Time:</source>
        <translation>Время:</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="446"/>
        <source>All</source>
        <translation>Всё время</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="446"/>
        <source>Last hour</source>
        <translation>Последний час</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="447"/>
        <source>Last 24 hours</source>
        <translation>Последние 24 часа</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="447"/>
        <source>Last 7 days</source>
        <translation>Последние 7 дней</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="448"/>
        <source>Last 30 days</source>
        <translation>Последние 30 дней</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="448"/>
        <source>From - to</source>
        <translation>С - по</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="451"/>
        <source>From:</source>
        <translation>С:</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="452"/>
        <source>To:</source>
        <translation>По:</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="453"/>
        <source>Installation:</source>
        <translation>Установка:</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="454"/>
        <source>Node:</source>
        <translation>Узел:</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="455"/>
        <location filename="../journalwindow.cpp" line="457"/>
        <location filename="../journalwindow.cpp" line="459"/>
        <source>all</source>
        <translation>все</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="456"/>
        <source>Channel:</source>
        <translation>Канал:</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="458"/>
        <source>Kind:</source>
        <translation>Вид:</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="460"/>
        <source>Alarms only</source>
        <translation>Только тревоги</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="461"/>
        <source>Unacknowledged only</source>
        <translation>Только неквитированные</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="462"/>
        <source>Search the texts</source>
        <translation>Поиск по тексту</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="463"/>
        <source>&amp;Journal</source>
        <translation>&amp;Журнал</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="679"/>
        <source>Event %1 belongs to no measurement: no trend to show</source>
        <translation>Событие %1 не относится к измерению: тренда нет</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="437"/>
        <location filename="../journalwindow.cpp" line="464"/>
        <source>Export CSV...</source>
        <translation>Экспорт в CSV...</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="465"/>
        <source>Print...</source>
        <translation>Печать...</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="466"/>
        <source>Export PDF...</source>
        <translation>Экспорт в PDF...</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="467"/>
        <source>&amp;Quit</source>
        <translation>&amp;Выход</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="468"/>
        <source>&amp;Edit</source>
        <translation>&amp;Правка</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="469"/>
        <source>&amp;Copy</source>
        <translation>&amp;Копировать</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="471"/>
        <source>&amp;Language</source>
        <translation>&amp;Язык</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="497"/>
        <source>Live: %1</source>
        <translation>В реальном времени: %1</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="502"/>
        <source>Opening %1...</source>
        <translation>Открывается %1...</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="505"/>
        <source>Not live, what is shown may be old; reconnecting every 5 s: %1</source>
        <translation>Нет связи, показанное может быть устаревшим; повтор каждые 5 с: %1</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="510"/>
        <source>Journal</source>
        <translation>Журнал</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="511"/>
        <source>Cannot read the journal %1: %2</source>
        <translation>Не удаётся прочитать журнал %1: %2</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="539"/>
        <source>Alarms: %1 active, %2 unacknowledged</source>
        <translation>Тревоги: активных %1, неквитированных %2</translation>
    </message>
    <message>
        <location filename="../journalwindow.cpp" line="662"/>
        <source>Select the alarms not yet acknowledged first.</source>
        <translation>Сначала выберите ещё не квитированные тревоги.</translation>
    </message>
</context>
<context>
    <name>MeasurementModel</name>
    <message>
        <location filename="../measurementmodel.cpp" line="55"/>
        <source>Node %1, channel %2, %3</source>
        <translation>Узел %1, канал %2, %3</translation>
    </message>
    <message>
        <location filename="../measurementmodel.cpp" line="73"/>
        <source>(no installation)</source>
        <translation>(без установки)</translation>
    </message>
    <message>
        <location filename="../measurementmodel.cpp" line="75"/>
        <source>Node %1</source>
        <translation>Узел %1</translation>
    </message>
    <message>
        <location filename="../measurementmodel.cpp" line="77"/>
        <source>Channel %1</source>
        <translation>Канал %1</translation>
    </message>
    <message>
        <location filename="../measurementmodel.cpp" line="86"/>
        <source>%1: type %2</source>
        <translation>%1: тип %2</translation>
    </message>
    <message>
        <location filename="../measurementmodel.cpp" line="87"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location filename="../measurementmodel.cpp" line="88"/>
        <source>%1: %2, %3</source>
        <translation>%1: %2, %3</translation>
    </message>
</context>
<context>
    <name>TrendPlot</name>
    <message>
        <location filename="../trendplot.cpp" line="395"/>
        <source>Local time</source>
        <translation>Местное время</translation>
    </message>
    <message>
        <location filename="../trendplot.cpp" line="396"/>
        <source>Min - max, mean</source>
        <translation>Минимум - максимум, среднее</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../main.cpp" line="21"/>
        <source>Shows the plant journal that the viewer and orvo-recorder write: the alarms that are active or not yet acknowledged, every recorded event with filters, CSV and PDF export and printing, and the trends of the measurements from two years down to one second. The journal is opened read-only; only an acknowledgement writes.</source>
        <translation>Показывает журнал установки, который ведут программа просмотра и orvo-recorder: активные и неквитированные тревоги, все записанные события с отбором, экспортом в CSV и PDF и печатью, а также тренды измерений от двух лет до одной секунды. Журнал открывается только для чтения; пишет в него только квитирование.</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="31"/>
        <source>The journal: a file, or postgresql://[user@]host[:port]/database (password from ~/.pgpass or PGPASSFILE). Default: the last one shown, else the viewer&apos;s (the settings key &quot;journal&quot;, else its file).</source>
        <translation>Журнал: файл или postgresql://[пользователь@]хост[:порт]/база (пароль из ~/.pgpass или PGPASSFILE). По умолчанию: последний показанный, иначе журнал просмотрщика (ключ настроек &quot;journal&quot;, иначе его файл).</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="44"/>
        <source>unexpected argument %1</source>
        <translation>лишний аргумент %1</translation>
    </message>
</context>
</TS>
