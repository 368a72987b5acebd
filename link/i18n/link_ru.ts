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
        <location filename="../orvo_icpconnection.cpp" line="221"/>
        <location filename="../orvo_icpconnection.cpp" line="230"/>
        <source>Cannot setup connection to module</source>
        <translation>Не удалось установить соединение с модулем</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="245"/>
        <source>Cannot read device mode</source>
        <translation>Не удалось прочитать режим устройства</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="247"/>
        <source>Device is not in work mode</source>
        <translation>Устройство не в рабочем режиме</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="292"/>
        <location filename="../orvo_icpconnection.cpp" line="406"/>
        <source>No connection parameters given</source>
        <translation>Не заданы параметры соединения</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="325"/>
        <source>Module connection lost</source>
        <translation>Потеряна связь с модулем</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="342"/>
        <source>Cannot read device information</source>
        <translation>Не удалось прочитать сведения об устройстве</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="360"/>
        <source>Unsupported device type</source>
        <translation>Неподдерживаемый тип устройства</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="451"/>
        <source>No configuration to write</source>
        <translation>Нет конфигурации для записи</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="546"/>
        <source>Open connection</source>
        <translation>Открытие соединения</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="551"/>
        <source>Close connection</source>
        <translation>Закрытие соединения</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="556"/>
        <source>Read module configuration</source>
        <translation>Чтение конфигурации модуля</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="561"/>
        <source>Write module configuration</source>
        <translation>Запись конфигурации модуля</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="566"/>
        <source>Restart module</source>
        <translation>Перезапуск модуля</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="571"/>
        <source>Read waveform</source>
        <translation>Чтение осциллограммы</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="576"/>
        <source>Read spectr</source>
        <translation>Чтение спектра</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="581"/>
        <source>Read device info</source>
        <translation>Чтение сведений об устройстве</translation>
    </message>
    <message>
        <location filename="../orvo_icpconnection.cpp" line="586"/>
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
</TS>
