<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../mainwindow.cpp" line="192"/>
        <source>The journal is not recording: %1</source>
        <translation>Журнал не ведётся: %1</translation>
    </message>
    <message>
        <location filename="../mainwindow.cpp" line="395"/>
        <source>Module node id %1:</source>
        <translation>Модуль, узел %1:</translation>
    </message>
    <message>
        <location filename="../mainwindow.cpp" line="396"/>
        <source>Relay node id %1:</source>
        <translation>Реле, узел %1:</translation>
    </message>
    <message>
        <location filename="../mainwindow.cpp" line="441"/>
        <source>Cannot listen on UDP port %1: %2</source>
        <translation>Не удаётся принимать данные на UDP-порту %1: %2</translation>
    </message>
    <message>
        <location filename="../mainwindow.cpp" line="462"/>
        <source>No node has reported since %1</source>
        <translation>Ни один узел не присылал данных с %1</translation>
    </message>
    <message>
        <location filename="../mainwindow.ui" line="72"/>
        <source>&amp;Open connection...</source>
        <translation>&amp;Открыть соединение...</translation>
    </message>
    <message>
        <location filename="../mainwindow.ui" line="75"/>
        <source>Open connection</source>
        <translation>Открыть соединение</translation>
    </message>
    <message>
        <location filename="../mainwindow.ui" line="78"/>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <location filename="../mainwindow.ui" line="87"/>
        <source>&amp;Close connection</source>
        <translation>&amp;Закрыть соединение</translation>
    </message>
    <message>
        <location filename="../mainwindow.ui" line="90"/>
        <source>Close connection</source>
        <translation>Закрыть соединение</translation>
    </message>
    <message>
        <location filename="../mainwindow.ui" line="93"/>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <location filename="../mainwindow.ui" line="105"/>
        <source>Open RS485 connection</source>
        <translation>Открыть соединение RS485</translation>
    </message>
    <message>
        <location filename="../mainwindow.ui" line="108"/>
        <source>Ctrl+D</source>
        <translation>Ctrl+D</translation>
    </message>
    <message>
        <location filename="../mainwindow.ui" line="27"/>
        <source>&amp;Language</source>
        <translation>&amp;Язык</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../main.cpp" line="21"/>
        <source>Shows the status of Orvo_ICP measurement and relay nodes reporting on UDP port 49153.</source>
        <translation>Показывает состояние измерительных и релейных узлов Orvo_ICP, передающих данные на UDP-порт 49153.</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="28"/>
        <source>Listen on UDP port PORT instead of 49153.</source>
        <translation>Принимать данные на UDP-порту PORT вместо 49153.</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="40"/>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>лишний аргумент «%1»</translation>
    </message>
</context>
</TS>
