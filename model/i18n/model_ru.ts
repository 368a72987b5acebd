<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>SettingsCheck</name>
    <message>
        <location filename="../settingscheck.cpp" line="12"/>
        <source>node_id is %1, expected %2 to %3</source>
        <translation>node_id равен %1, ожидается от %2 до %3</translation>
    </message>
    <message>
        <location filename="../settingscheck.cpp" line="17"/>
        <source>channel_mask is 0x%1, has bits beyond the fourth channel</source>
        <translation>channel_mask равен 0x%1: установлены биты за четвёртым каналом</translation>
    </message>
    <message>
        <location filename="../settingscheck.cpp" line="24"/>
        <source>channels[%1].meas[%2].type is %3, expected 0 to %4</source>
        <translation>channels[%1].meas[%2].type равен %3, ожидается от 0 до %4</translation>
    </message>
</context>
</TS>
