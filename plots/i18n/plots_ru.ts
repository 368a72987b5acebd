<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>PlotExport</name>
    <message>
        <location filename="../plotexport.cpp" line="33"/>
        <source>Cannot write the image</source>
        <translation>Не удаётся записать изображение</translation>
    </message>
</context>
</TS>
