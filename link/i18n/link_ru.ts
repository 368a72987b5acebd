<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>OpenConnectionDialog</name>
    <message>
        <location filename="../dialog/openconnectiondialog.cpp" line="61"/>
        <source>Connect to module</source>
        <translation>Подключение к модулю</translation>
    </message>
    <message>
        <location filename="../dialog/openconnectiondialog.cpp" line="62"/>
        <source>Module &amp;address:</source>
        <translation>&amp;Адрес модуля:</translation>
    </message>
    <message>
        <location filename="../dialog/openconnectiondialog.cpp" line="63"/>
        <source>IP address or host name</source>
        <translation>IP-адрес или имя узла</translation>
    </message>
    <message>
        <location filename="../dialog/openconnectiondialog.cpp" line="64"/>
        <source>IPv4 or IPv6 address, or host name of the module</source>
        <translation>Адрес IPv4 или IPv6 либо имя узла модуля</translation>
    </message>
    <message>
        <location filename="../dialog/openconnectiondialog.cpp" line="65"/>
        <source>&amp;Port:</source>
        <translation>&amp;Порт:</translation>
    </message>
    <message>
        <location filename="../dialog/openconnectiondialog.cpp" line="66"/>
        <source>TCP port of the module&apos;s Modbus server</source>
        <translation>TCP-порт сервера Modbus модуля</translation>
    </message>
</context>
<context>
    <name>Orvo_ICPConnection</name>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="225"/>
        <location filename="../orvo_icpconnection.cpp" line="234"/>
        <source>Cannot setup connection to module</source>
        <translation>Не удалось установить соединение с модулем</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="249"/>
        <source>Cannot read device mode</source>
        <translation>Не удалось прочитать режим устройства</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="251"/>
        <source>Device is not in work mode</source>
        <translation>Устройство не в рабочем режиме</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="296"/>
        <location filename="../orvo_icpconnection.cpp" line="409"/>
        <source>No connection parameters given</source>
        <translation>Не заданы параметры соединения</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="329"/>
        <source>Module connection lost</source>
        <translation>Потеряна связь с модулем</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="346"/>
        <source>Cannot read device information</source>
        <translation>Не удалось прочитать сведения об устройстве</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="364"/>
        <source>Unsupported device type</source>
        <translation>Неподдерживаемый тип устройства</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="454"/>
        <source>No configuration to write</source>
        <translation>Нет конфигурации для записи</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="549"/>
        <source>Open connection</source>
        <translation>Открытие соединения</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="554"/>
        <source>Close connection</source>
        <translation>Закрытие соединения</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="559"/>
        <source>Read module configuration</source>
        <translation>Чтение конфигурации модуля</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="564"/>
        <source>Write module configuration</source>
        <translation>Запись конфигурации модуля</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="569"/>
        <source>Restart module</source>
        <translation>Перезапуск модуля</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="574"/>
        <source>Read waveform</source>
        <translation>Чтение осциллограммы</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="579"/>
        <source>Read spectr</source>
        <translation>Чтение спектра</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="584"/>
        <source>Read device info</source>
        <translation>Чтение сведений об устройстве</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="589"/>
        <source>Wait...</source>
        <translation>Ожидание...</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="193"/>
        <source>unknown host %1</source>
        <translation>неизвестный узел %1</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="193"/>
        <source>connection refused</source>
        <translation>в соединении отказано</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="196"/>
        <source>timed out</source>
        <translation>истекло время ожидания</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="199"/>
        <source>host unreachable</source>
        <translation>узел недоступен</translation>
    </message>
</context>
<context>
    <name>ServiceConnection</name>
    <message>
        <location filename="../serviceconnection.cpp" line="41"/>
        <source>boot loader</source>
        <translation>загрузчик</translation>
    </message>
    <message>
        <location filename="../serviceconnection.cpp" line="43"/>
        <source>work mode</source>
        <translation>рабочий режим</translation>
    </message>
    <message>
        <location filename="../serviceconnection.cpp" line="45"/>
        <source>test mode</source>
        <translation>тестовый режим</translation>
    </message>
    <message>
        <location filename="../serviceconnection.cpp" line="47"/>
        <source>unknown mode %1</source>
        <translation>неизвестный режим %1</translation>
    </message>
    <message>
        <location filename="../serviceconnection.cpp" line="65"/>
        <source>Cannot setup connection to module</source>
        <translation>Не удалось установить соединение с модулем</translation>
    </message>
    <message>
        <location filename="../serviceconnection.cpp" line="70"/>
        <source>Cannot setup connection to module: %1</source>
        <translation>Не удалось установить соединение с модулем: %1</translation>
    </message>
    <message>
        <location filename="../serviceconnection.cpp" line="91"/>
        <source>Cannot read device information</source>
        <translation>Не удалось прочитать сведения об устройстве</translation>
    </message>
    <message>
        <location filename="../serviceconnection.cpp" line="104"/>
        <source>Cannot read device mode</source>
        <translation>Не удалось прочитать режим устройства</translation>
    </message>
    <message>
        <location filename="../serviceconnection.cpp" line="120"/>
        <source>Cannot write the restart request: %1</source>
        <translation>Не удалось записать запрос перезапуска: %1</translation>
    </message>
    <message>
        <location filename="../serviceconnection.cpp" line="137"/>
        <source>The module came back in %1, not in work mode</source>
        <translation>Модуль вернулся в режиме «%1», а не в рабочем режиме</translation>
    </message>
    <message>
        <location filename="../serviceconnection.cpp" line="138"/>
        <source>The module did not come back after the restart: %1</source>
        <translation>Модуль не вернулся после перезапуска: %1</translation>
    </message>
</context>
</TS>
