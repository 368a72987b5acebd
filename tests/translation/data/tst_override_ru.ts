<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<!-- Registered last by the tests, so its text must win over the switch's own catalogue. -->
<context>
    <name>QtTranslationSwitch</name>
    <message>
        <source>English</source>
        <translation>Английский (из каталога программы)</translation>
    </message>
</context>
</TS>
