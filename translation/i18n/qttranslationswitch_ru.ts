<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>QtTranslationSwitch</name>
    <message>
        <location filename="../qttranslationswitch.cpp" line="135"/>
        <source>System</source>
        <translation>Системный</translation>
    </message>
    <message>
        <location filename="../qttranslationswitch.cpp" line="136"/>
        <source>Set system language</source>
        <translation>Установить язык системы</translation>
    </message>
    <message>
        <location filename="../qttranslationswitch.cpp" line="137"/>
        <source>Russian</source>
        <translation>Русский</translation>
    </message>
    <message>
        <location filename="../qttranslationswitch.cpp" line="138"/>
        <source>Set russian language</source>
        <translation>Установить русский язык</translation>
    </message>
    <message>
        <location filename="../qttranslationswitch.cpp" line="139"/>
        <source>English</source>
        <translation>Английский</translation>
    </message>
    <message>
        <location filename="../qttranslationswitch.cpp" line="140"/>
        <source>Set english language</source>
        <translation>Установить английский язык</translation>
    </message>
</context>
</TS>
