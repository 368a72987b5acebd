<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>CapturePlot</name>
    <message>
        <location filename="../captureplot.cpp" line="203"/>
        <source>%1, peak %2 at %3</source>
        <translation>%1, пик %2 в точке %3</translation>
    </message>
    <message>
        <location filename="../captureplot.cpp" line="322"/>
        <source>channel %1 %2</source>
        <translation>канал %1 %2</translation>
    </message>
    <message>
        <location filename="../captureplot.cpp" line="197"/>
        <source>Channel %1 (not live)</source>
        <translation>Канал %1 (не текущий)</translation>
    </message>
    <message>
        <location filename="../captureplot.cpp" line="190"/>
        <source>Channel %1: %2</source>
        <translation>Канал %1: %2</translation>
    </message>
    <message>
        <location filename="../captureplot.cpp" line="198"/>
        <source>Channel %1 (older capture)</source>
        <translation>Канал %1 (прежний съём)</translation>
    </message>
    <message>
        <location filename="../captureplot.cpp" line="199"/>
        <source>Channel %1</source>
        <translation>Канал %1</translation>
    </message>
    <message>
        <location filename="../captureplot.cpp" line="395"/>
        <source>Value (point format, no unit known)</source>
        <translation>Значение (формат точек, единица неизвестна)</translation>
    </message>
    <message>
        <location filename="../captureplot.cpp" line="397"/>
        <source>Waveform</source>
        <translation>Осциллограмма</translation>
    </message>
    <message>
        <location filename="../captureplot.cpp" line="397"/>
        <source>Sample index (no sampling rate known)</source>
        <translation>Номер отсчёта (частота дискретизации неизвестна)</translation>
    </message>
    <message>
        <location filename="../captureplot.cpp" line="398"/>
        <source>Sample %1</source>
        <translation>Отсчёт %1</translation>
    </message>
    <message>
        <location filename="../captureplot.cpp" line="400"/>
        <source>Spectrum</source>
        <translation>Спектр</translation>
    </message>
    <message>
        <location filename="../captureplot.cpp" line="400"/>
        <source>Line index (no line spacing known)</source>
        <translation>Номер линии (шаг по частоте неизвестен)</translation>
    </message>
    <message>
        <location filename="../captureplot.cpp" line="400"/>
        <source>Line %1</source>
        <translation>Линия %1</translation>
    </message>
</context>
<context>
    <name>ConfigFieldModel</name>
    <message>
        <location filename="../configfieldmodel.cpp" line="19"/>
        <source>Node id of the module (1 to 32 in status datagrams)</source>
        <translation>Номер узла модуля (от 1 до 32 в датаграммах состояния)</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="21"/>
        <source>Register value that stands for 100 % of full scale</source>
        <translation>Значение регистра, соответствующее 100 % шкалы</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="30"/>
        <source>No channel active</source>
        <translation>Нет активных каналов</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="31"/>
        <source>Active channels: %1</source>
        <translation>Активные каналы: %1</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="36"/>
        <source>Channel %1 takes part in spectrum capture</source>
        <translation>Канал %1 участвует в съёме спектров</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="37"/>
        <source>Channel %1 has no spectra</source>
        <translation>Канал %1 без спектров</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="44"/>
        <source>unknown type</source>
        <translation>неизвестный тип</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="48"/>
        <source>Channel %1, slot %2: %3</source>
        <translation>Канал %1, ячейка %2: %3</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="49"/>
        <source>Channel %1, slot %2: %3 in %4</source>
        <translation>Канал %1, ячейка %2: %3 в %4</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="56"/>
        <source>Name of relay %1</source>
        <translation>Имя реле %1</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="58"/>
        <source>Relay %1 in use</source>
        <translation>Реле %1 используется</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="59"/>
        <source>Relay %1 not in use</source>
        <translation>Реле %1 не используется</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="93"/>
        <location filename="../configfieldmodel.cpp" line="96"/>
        <source>(none)</source>
        <translation>(нет)</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="137"/>
        <source>Field</source>
        <translation>Поле</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="139"/>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="141"/>
        <source>Meaning</source>
        <translation>Смысл</translation>
    </message>
    <message>
        <location filename="../configfieldmodel.cpp" line="143"/>
        <source>In the file</source>
        <translation>В файле</translation>
    </message>
</context>
<context>
    <name>ConfigurationDialog</name>
    <message>
        <location filename="../configurationdialog.cpp" line="21"/>
        <source>Configuration</source>
        <translation>Конфигурация</translation>
    </message>
    <message>
        <location filename="../configurationdialog.cpp" line="28"/>
        <source>Compare with file...</source>
        <translation>Сравнить с файлом...</translation>
    </message>
    <message>
        <location filename="../configurationdialog.cpp" line="43"/>
        <source>The module&apos;s configuration, node id %1</source>
        <translation>Конфигурация модуля, номер узла %1</translation>
    </message>
    <message>
        <location filename="../configurationdialog.cpp" line="46"/>
        <source>No configuration has been read from the module yet</source>
        <translation>Конфигурация модуля ещё не прочитана</translation>
    </message>
    <message>
        <location filename="../configurationdialog.cpp" line="63"/>
        <source>%1 cannot be compared: %2</source>
        <translation>%1 нельзя сравнить: %2</translation>
    </message>
    <message>
        <location filename="../configurationdialog.cpp" line="68"/>
        <source>%1 holds the same configuration as the module</source>
        <translation>В %1 та же конфигурация, что и в модуле</translation>
    </message>
    <message>
        <location filename="../configurationdialog.cpp" line="70"/>
        <source>Fields that differ between the module and %1</source>
        <translation>Поля, в которых модуль и %1 различаются</translation>
    </message>
</context>
<context>
    <name>ImageSizeDialog</name>
    <message>
        <location filename="../imagesizedialog.cpp" line="12"/>
        <source>Export PNG</source>
        <translation>Экспорт PNG</translation>
    </message>
    <message>
        <location filename="../imagesizedialog.cpp" line="16"/>
        <source> px</source>
        <translation> пикс.</translation>
    </message>
    <message>
        <location filename="../imagesizedialog.cpp" line="22"/>
        <source>&amp;Width:</source>
        <translation>&amp;Ширина:</translation>
    </message>
    <message>
        <location filename="../imagesizedialog.cpp" line="23"/>
        <source>&amp;Height:</source>
        <translation>&amp;Высота:</translation>
    </message>
</context>
<context>
    <name>ModuleController</name>
    <message>
        <location filename="../modulecontroller.cpp" line="64"/>
        <source>Load configuration</source>
        <translation>Загрузка конфигурации</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="65"/>
        <source>The module did not take the configuration</source>
        <translation>Модуль не принял конфигурацию</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="67"/>
        <source>Configuration written and committed</source>
        <translation>Конфигурация записана и применена</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="68"/>
        <source>Writing the configuration failed</source>
        <translation>Не удалось записать конфигурацию</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="73"/>
        <location filename="../modulecontroller.cpp" line="417"/>
        <source>Boot loader</source>
        <translation>Загрузчик</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="74"/>
        <location filename="../modulecontroller.cpp" line="88"/>
        <source>The module refused the request</source>
        <translation>Модуль отклонил запрос</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="80"/>
        <source>The module runs its boot loader and does not measure until it is restarted</source>
        <translation>Модуль работает в загрузчике и не измеряет до перезапуска</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="87"/>
        <location filename="../modulecontroller.cpp" line="426"/>
        <source>Test mode</source>
        <translation>Тестовый режим</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="177"/>
        <source>Cannot connect to %1: %2</source>
        <translation>Не удаётся подключиться к %1: %2</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="189"/>
        <source>Identification (service connection)</source>
        <translation>Идентификация (сервисное соединение)</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="190"/>
        <source>The module is in %1 and does not measure; Restart brings it back to work mode</source>
        <translation>Модуль в режиме «%1» и не измеряет; перезапуск вернёт его в рабочий режим</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="201"/>
        <source>Restart (service connection)</source>
        <translation>Перезапуск (сервисное соединение)</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="203"/>
        <source>The restart failed: %1</source>
        <translation>Перезапуск не удался: %1</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="211"/>
        <source>Connection</source>
        <translation>Соединение</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="237"/>
        <source>Channel %1 state</source>
        <translation>Состояние канала %1</translation>
    </message>
    <message numerus="yes">
        <location filename="../modulecontroller.cpp" line="238"/>
        <source>No state arrived within %n s: its registers could not be read or it has no valid data</source>
        <translation>
            <numerusform>Состояние не поступило за %n с: регистры канала не читаются или нет достоверных данных</numerusform>
            <numerusform>Состояние не поступило за %n с: регистры канала не читаются или нет достоверных данных</numerusform>
            <numerusform>Состояние не поступило за %n с: регистры канала не читаются или нет достоверных данных</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="278"/>
        <source>%1, channel %2, type %3</source>
        <translation>%1, канал %2, тип %3</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="282"/>
        <source>%1, channel %2, id %3</source>
        <translation>%1, канал %2, номер %3</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="294"/>
        <source>No spectrum delivered: a transfer failed or its answer did not match the request</source>
        <translation>Спектр не получен: передача не удалась или ответ не совпал с запросом</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="296"/>
        <source>No waveform delivered: a transfer failed or its answer did not match the request</source>
        <translation>Осциллограмма не получена: передача не удалась или ответ не совпал с запросом</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="329"/>
        <source>%1: done</source>
        <translation>%1: выполнено</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="330"/>
        <source>%1: failed</source>
        <translation>%1: ошибка</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="331"/>
        <source>%1: failed: %2</source>
        <translation>%1: ошибка: %2</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="373"/>
        <source>Cannot read the configuration from the module</source>
        <translation>Не удаётся прочитать конфигурацию из модуля</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="375"/>
        <source>Cannot write %1</source>
        <translation>Не удаётся записать %1</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="355"/>
        <location filename="../modulecontroller.cpp" line="376"/>
        <source>Save configuration</source>
        <translation>Сохранение конфигурации</translation>
    </message>
    <message>
        <location filename="../modulecontroller.cpp" line="378"/>
        <source>Configuration saved to %1</source>
        <translation>Конфигурация сохранена в %1</translation>
    </message>
</context>
<context>
    <name>ModuleSession</name>
    <message>
        <location filename="../modulesession.cpp" line="57"/>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <location filename="../modulesession.cpp" line="161"/>
        <source>The module did not come back after the restart</source>
        <translation>Модуль не ответил после перезапуска</translation>
    </message>
</context>
<context>
    <name>ModuleWindow</name>
    <message>
        <location filename="../modulewindow.ui" line="9"/>
        <location filename="../moduleheader.cpp" line="91"/>
        <source>Orvo module inspector</source>
        <translation>Инспектор модуля Orvo</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="16"/>
        <source>Module</source>
        <translation>Модуль</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="32"/>
        <location filename="../moduleheader.cpp" line="21"/>
        <source>Not connected</source>
        <translation>Нет подключения</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="42"/>
        <source>Type:</source>
        <translation>Тип:</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="56"/>
        <source>Address:</source>
        <translation>Адрес:</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="70"/>
        <source>Identification:</source>
        <translation>Идентификация:</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="84"/>
        <source>Mode:</source>
        <translation>Режим:</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="135"/>
        <location filename="../modulewindow.ui" line="198"/>
        <source>Export CSV...</source>
        <translation>Экспорт CSV...</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="142"/>
        <location filename="../modulewindow.ui" line="205"/>
        <source>Export PNG...</source>
        <translation>Экспорт PNG...</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="149"/>
        <location filename="../modulewindow.ui" line="212"/>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="167"/>
        <source>Spectrum &amp;type:</source>
        <translation>&amp;Тип спектра:</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="178"/>
        <source>Type 0</source>
        <translation>Тип 0</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="183"/>
        <source>Type 1</source>
        <translation>Тип 1</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="231"/>
        <source>&amp;Module</source>
        <translation>&amp;Модуль</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="249"/>
        <source>&amp;View</source>
        <translation>&amp;Вид</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="253"/>
        <source>&amp;Point format</source>
        <translation>&amp;Формат точек</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="263"/>
        <source>&amp;Language</source>
        <translation>&amp;Язык</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="273"/>
        <source>Operation log</source>
        <translation>Журнал операций</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="283"/>
        <source>Show waveform and spectrum reads</source>
        <translation>Показывать чтения осциллограмм и спектров</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="308"/>
        <source>&amp;Connect...</source>
        <translation>&amp;Подключиться...</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="311"/>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="316"/>
        <source>&amp;Disconnect</source>
        <translation>&amp;Отключиться</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="321"/>
        <source>&amp;Reconnect</source>
        <translation>П&amp;ереподключиться</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="324"/>
        <source>F5</source>
        <translation>F5</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="329"/>
        <source>&amp;Save configuration...</source>
        <translation>&amp;Сохранить конфигурацию...</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="332"/>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="337"/>
        <source>&amp;Load configuration...</source>
        <translation>&amp;Загрузить конфигурацию...</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="342"/>
        <source>Re&amp;start</source>
        <translation>Пере&amp;запустить</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="347"/>
        <source>&amp;Boot loader</source>
        <translation>&amp;Загрузчик</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="352"/>
        <source>Show &amp;configuration...</source>
        <translation>Показать &amp;конфигурацию...</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="357"/>
        <source>&amp;Test mode</source>
        <translation>&amp;Тестовый режим</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="362"/>
        <source>&amp;Quit</source>
        <translation>В&amp;ыход</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="365"/>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="373"/>
        <source>32-bit IEEE &amp;float</source>
        <translation>32-битное число с плавающей точкой IEEE (&amp;float)</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="381"/>
        <source>&amp;Signed 32-bit integer</source>
        <translation>32-битное целое со &amp;знаком</translation>
    </message>
    <message>
        <location filename="../modulewindow.ui" line="389"/>
        <source>&amp;Unsigned 32-bit integer</source>
        <translation>32-битное целое &amp;без знака</translation>
    </message>
    <message>
        <location filename="../moduledialogs.cpp" line="12"/>
        <source>Module configuration (*.cfg);;All files (*)</source>
        <translation>Конфигурация модуля (*.cfg);;Все файлы (*)</translation>
    </message>
    <message>
        <location filename="../moduledialogs.cpp" line="15"/>
        <source>Save configuration</source>
        <translation>Сохранение конфигурации</translation>
    </message>
    <message>
        <location filename="../moduledialogs.cpp" line="18"/>
        <location filename="../modulewindow.cpp" line="384"/>
        <source>Load configuration</source>
        <translation>Загрузка конфигурации</translation>
    </message>
    <message>
        <location filename="../moduledialogs.cpp" line="21"/>
        <location filename="../modulewindow.cpp" line="441"/>
        <source>Export CSV</source>
        <translation>Экспорт CSV</translation>
    </message>
    <message>
        <location filename="../moduledialogs.cpp" line="22"/>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation>Файлы CSV (*.csv);;Все файлы (*)</translation>
    </message>
    <message>
        <location filename="../moduledialogs.cpp" line="24"/>
        <location filename="../modulewindow.cpp" line="441"/>
        <source>Export PNG</source>
        <translation>Экспорт PNG</translation>
    </message>
    <message>
        <location filename="../moduledialogs.cpp" line="25"/>
        <source>PNG images (*.png);;All files (*)</source>
        <translation>Изображения PNG (*.png);;Все файлы (*)</translation>
    </message>
    <message>
        <location filename="../modulewindow.cpp" line="309"/>
        <source>Module node id %1:</source>
        <translation>Модуль, узел %1:</translation>
    </message>
    <message>
        <location filename="../modulewindow.cpp" line="310"/>
        <source>Relay node id %1:</source>
        <translation>Реле, узел %1:</translation>
    </message>
    <message>
        <location filename="../modulewindow.cpp" line="359"/>
        <source>unknown</source>
        <translation>неизвестен</translation>
    </message>
    <message>
        <location filename="../modulewindow.cpp" line="360"/>
        <source>%1 (node id %2)</source>
        <translation>%1 (узел %2)</translation>
    </message>
    <message>
        <location filename="../modulewindow.cpp" line="175"/>
        <source>The configuration was not saved: %1</source>
        <translation>Конфигурация не сохранена: %1</translation>
    </message>
    <message>
        <location filename="../modulewindow.cpp" line="385"/>
        <source>%1 was not loaded: %2</source>
        <translation>%1 не загружен: %2</translation>
    </message>
    <message>
        <location filename="../modulewindow.cpp" line="389"/>
        <source>Write the configuration from %1 to the module at %2 and commit it?

The module takes the new configuration over at once. The file is for node id %3.</source>
        <translation>Записать конфигурацию из %1 в модуль %2 и применить её?

Модуль сразу перейдёт на новую конфигурацию. Файл предназначен для узла %3.</translation>
    </message>
    <message>
        <location filename="../modulewindow.cpp" line="402"/>
        <source>Restart the module at %1?

It is not in work mode. The inspector restarts it through a service connection and connects again once it answers in work mode.</source>
        <translation>Перезапустить модуль %1?

Он не в рабочем режиме. Инспектор перезапустит его через сервисное соединение и подключится снова, когда модуль ответит в рабочем режиме.</translation>
    </message>
    <message>
        <location filename="../modulewindow.cpp" line="405"/>
        <source>Restart the module at %1?

It stops measuring and closes the connection; the inspector waits 8 seconds and connects again.</source>
        <translation>Перезапустить модуль %1?

Модуль прекратит измерения и закроет соединение; инспектор подождёт 8 секунд и подключится снова.</translation>
    </message>
    <message>
        <location filename="../modulewindow.cpp" line="414"/>
        <source>Start the boot loader of the module at %1?

The module stops measuring and stays in its boot loader until it is restarted or given new firmware; the inspector disconnects.</source>
        <translation>Запустить загрузчик модуля %1?

Модуль прекратит измерения и останется в загрузчике до перезапуска или записи новой прошивки; инспектор отключится.</translation>
    </message>
    <message>
        <location filename="../modulewindow.cpp" line="424"/>
        <source>Put the module at %1 into test mode?

The module stops measuring until it is restarted.</source>
        <translation>Перевести модуль %1 в тестовый режим?

Модуль прекратит измерения до перезапуска.</translation>
    </message>
    <message>
        <location filename="../modulewindow.cpp" line="443"/>
        <source>%1 was not written: %2</source>
        <translation>%1 не записан: %2</translation>
    </message>
    <message>
        <location filename="../moduleheader.cpp" line="26"/>
        <source>Connecting to %1...</source>
        <translation>Подключение к %1...</translation>
    </message>
    <message>
        <location filename="../moduleheader.cpp" line="36"/>
        <source>Connected</source>
        <translation>Подключено</translation>
    </message>
    <message>
        <location filename="../moduleheader.cpp" line="75"/>
        <source>Not measuring: %1 (mode %2)</source>
        <translation>Не измеряет: %1 (режим %2)</translation>
    </message>
    <message>
        <location filename="../moduleheader.cpp" line="79"/>
        <source>%1. The module is in %2: Restart brings it back to work mode.</source>
        <translation>%1. Модуль в режиме «%2»: перезапуск вернёт его в рабочий режим.</translation>
    </message>
    <message>
        <location filename="../moduleheader.cpp" line="85"/>
        <source>Restarting the module...</source>
        <translation>Перезапуск модуля...</translation>
    </message>
    <message numerus="yes">
        <location filename="../moduleheader.cpp" line="42"/>
        <source>Connection lost: %1. Last values shown. Reconnecting in %n s.</source>
        <translation>
            <numerusform>Соединение потеряно: %1. Показаны последние значения. Переподключение через %n с.</numerusform>
            <numerusform>Соединение потеряно: %1. Показаны последние значения. Переподключение через %n с.</numerusform>
            <numerusform>Соединение потеряно: %1. Показаны последние значения. Переподключение через %n с.</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../moduleheader.cpp" line="32"/>
        <source>Connected, not measuring: the module is in %1</source>
        <translation>Соединение есть, но модуль не измеряет: режим «%1»</translation>
    </message>
    <message>
        <location filename="../moduleheader.cpp" line="45"/>
        <source>Connection lost: %1. Last values shown. Reconnecting now...</source>
        <translation>Соединение потеряно: %1. Показаны последние значения. Переподключение...</translation>
    </message>
    <message>
        <location filename="../moduleheader.cpp" line="55"/>
        <source>measurement module, ICP inputs</source>
        <translation>измерительный модуль, входы ICP</translation>
    </message>
    <message>
        <location filename="../moduleheader.cpp" line="58"/>
        <source>measurement module, proximity probe inputs</source>
        <translation>измерительный модуль, входы датчиков перемещения</translation>
    </message>
    <message>
        <location filename="../moduleheader.cpp" line="61"/>
        <source>relay module</source>
        <translation>релейный модуль</translation>
    </message>
    <message>
        <location filename="../moduleheader.cpp" line="66"/>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <location filename="../moduleheader.cpp" line="74"/>
        <source>Work mode</source>
        <translation>Рабочий режим</translation>
    </message>
    <message>
        <location filename="../moduleheader.cpp" line="91"/>
        <source>%1 - Orvo module inspector</source>
        <translation>%1 - инспектор модуля Orvo</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../main.cpp" line="17"/>
        <source>Connects to one Orvo measurement or relay module over Modbus TCP and shows its channels, relays, waveforms and spectra live, with its configuration and service actions. Without --host it asks for the address.</source>
        <translation>Подключается к одному измерительному или релейному модулю Orvo по Modbus TCP и показывает в реальном времени его каналы, реле, осциллограммы и спектры, с конфигурацией и сервисными командами. Без --host запрашивает адрес.</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="25"/>
        <source>Address of the module (IP address or host name).</source>
        <translation>Адрес модуля (IP-адрес или имя узла).</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="29"/>
        <source>TCP port of the module&apos;s Modbus server. Default: the last port that connected, else 502.</source>
        <translation>TCP-порт сервера Modbus модуля. По умолчанию последний порт, к которому удалось подключиться, иначе 502.</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="42"/>
        <source>unexpected argument %1</source>
        <translation>лишний аргумент %1</translation>
    </message>
</context>
</TS>
