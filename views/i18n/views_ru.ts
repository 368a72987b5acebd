<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>EventsStateView</name>
    <message>
        <location filename="../ui_eventsstateview.h" line="52"/>
        <source>Events</source>
        <translation>События</translation>
    </message>
    <message>
        <location filename="../ui_eventsstateview.h" line="54"/>
        <source>№</source>
        <translation>№</translation>
    </message>
    <message>
        <location filename="../ui_eventsstateview.h" line="56"/>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <location filename="../ui_eventsstateview.h" line="58"/>
        <source>Name</source>
        <translation>Название</translation>
    </message>
    <message>
        <location filename="../ui_eventsstateview.h" line="60"/>
        <source>Red - active, off - inactive</source>
        <translation>Красный - активно, не горит - неактивно</translation>
    </message>
</context>
<context>
    <name>KQTableCopyAction</name>
    <message>
        <location filename="../kqtablecopyaction.cpp" line="60"/>
        <source>&amp;Copy</source>
        <translation>&amp;Копировать</translation>
    </message>
    <message>
        <location filename="../kqtablecopyaction.cpp" line="61"/>
        <source>Copy selected text</source>
        <translation>Копировать выделенный текст</translation>
    </message>
</context>
<context>
    <name>RelayStateView</name>
    <message>
        <location filename="../ui_relaystateview.h" line="51"/>
        <source>№</source>
        <translation>№</translation>
    </message>
    <message>
        <location filename="../ui_relaystateview.h" line="53"/>
        <source>En</source>
        <translation>Вкл</translation>
    </message>
    <message>
        <location filename="../ui_relaystateview.h" line="55"/>
        <source>Fault</source>
        <translation>Неиспр.</translation>
    </message>
    <message>
        <location filename="../ui_relaystateview.h" line="57"/>
        <source>PhysState</source>
        <translation>ФизСост</translation>
    </message>
    <message>
        <location filename="../ui_relaystateview.h" line="59"/>
        <source>LogicState</source>
        <translation>ЛогСост</translation>
    </message>
</context>
</TS>
