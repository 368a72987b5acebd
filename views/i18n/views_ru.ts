<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>ChannelStateView</name>
    <message>
        <location filename="../channelstateview.ui" line="45"/>
        <source>№</source>
        <translation>№</translation>
    </message>
    <message>
        <location filename="../channelstateview.ui" line="50"/>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <location filename="../channelstateview.ui" line="55"/>
        <source>F</source>
        <translation>F</translation>
    </message>
    <message>
        <location filename="../channelstateview.ui" line="60"/>
        <source>A</source>
        <translation>A</translation>
    </message>
    <message>
        <location filename="../channelstateview.ui" line="65"/>
        <source>D</source>
        <translation>D</translation>
    </message>
    <message>
        <location filename="../channelstateview.ui" line="70"/>
        <source>Base</source>
        <translation>База</translation>
    </message>
    <message>
        <location filename="../channelstateview.ui" line="75"/>
        <source>Delta</source>
        <translation>Дельта</translation>
    </message>
    <message>
        <location filename="../channelstateview.ui" line="80"/>
        <source>FS %</source>
        <translation>% ПШ</translation>
    </message>
    <message>
        <location filename="../channelstateview.ui" line="85"/>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <location filename="../channelstateview.cpp" line="208"/>
        <source>no state</source>
        <translation>нет состояния</translation>
    </message>
    <message>
        <location filename="../channelstateview.cpp" line="210"/>
        <source>No state of this channel arrived: its registers could not be read or it has no valid data</source>
        <translation>Состояние канала не поступило: его регистры не читаются или нет достоверных данных</translation>
    </message>
</context>
<context>
    <name>EventsStateView</name>
    <message>
        <location filename="../eventsstateview.ui" line="17"/>
        <source>Events</source>
        <translation>События</translation>
    </message>
    <message>
        <location filename="../eventsstateview.ui" line="42"/>
        <source>№</source>
        <translation>№</translation>
    </message>
    <message>
        <location filename="../eventsstateview.ui" line="47"/>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <location filename="../eventsstateview.ui" line="55"/>
        <source>Name</source>
        <translation>Название</translation>
    </message>
    <message>
        <location filename="../eventsstateview.ui" line="50"/>
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
        <location filename="../relaystateview.ui" line="36"/>
        <source>№</source>
        <translation>№</translation>
    </message>
    <message>
        <location filename="../relaystateview.ui" line="41"/>
        <source>En</source>
        <translation>Вкл</translation>
    </message>
    <message>
        <location filename="../relaystateview.ui" line="46"/>
        <source>Fault</source>
        <translation>Неиспр.</translation>
    </message>
    <message>
        <location filename="../relaystateview.ui" line="51"/>
        <source>PhysState</source>
        <translation>ФизСост</translation>
    </message>
    <message>
        <location filename="../relaystateview.ui" line="56"/>
        <source>LogicState</source>
        <translation>ЛогСост</translation>
    </message>
</context>
</TS>
