<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>ChannelStateView</name>
    <message>
        <location filename="../meascatalogue.cpp" line="22"/>
        <source>Acceleration</source>
        <translation>Ускорение</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="23"/>
        <location filename="../meascatalogue.cpp" line="31"/>
        <location filename="../meascatalogue.cpp" line="43"/>
        <source>m/s²</source>
        <translation>м/с²</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="24"/>
        <source>Velocity</source>
        <translation>Скорость</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="25"/>
        <source>mm/s</source>
        <translation>мм/с</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="26"/>
        <source>Diplacement</source>
        <translation>Перемещение</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="27"/>
        <source>Gap</source>
        <translation>Зазор</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="27"/>
        <location filename="../meascatalogue.cpp" line="41"/>
        <source>V</source>
        <translation>В</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="28"/>
        <source>Rotation speed</source>
        <translation>Частота вращения</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="29"/>
        <source>rpm</source>
        <translation>об/мин</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="30"/>
        <source>Amplitude of Acceleration</source>
        <translation>Амплитуда ускорения</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="32"/>
        <source>Phase of Acceleration</source>
        <translation>Фаза ускорения</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="33"/>
        <location filename="../meascatalogue.cpp" line="37"/>
        <location filename="../meascatalogue.cpp" line="40"/>
        <source>°</source>
        <translation>°</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="34"/>
        <source>Amplitude of Velocity</source>
        <translation>Амплитуда скорости</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="35"/>
        <location filename="../meascatalogue.cpp" line="45"/>
        <source>m/s</source>
        <translation>м/с</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="36"/>
        <source>Phase of Velocity</source>
        <translation>Фаза скорости</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="38"/>
        <source>Amplitude of Prox Displacement</source>
        <translation>Амплитуда перемещения (вихретоковый датчик)</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="39"/>
        <source>Phase of Prox Displacement</source>
        <translation>Фаза перемещения (вихретоковый датчик)</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="41"/>
        <source>DC</source>
        <translation>Постоянная составляющая</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="42"/>
        <source>RMS of Acceleration</source>
        <translation>СКЗ ускорения</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="44"/>
        <source>RMS of Velocity</source>
        <translation>СКЗ скорости</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="46"/>
        <source>PRM of Prox Displacement</source>
        <translation>PRM перемещения (вихретоковый датчик)</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="47"/>
        <source>Max Average Deviation</source>
        <translation>Максимальное среднее отклонение</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="52"/>
        <source>µm</source>
        <translation>мкм</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="121"/>
        <source>Valid data</source>
        <translation>Достоверные данные</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="123"/>
        <source>Short circuit</source>
        <translation>Короткое замыкание</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="125"/>
        <source>Open circuit</source>
        <translation>Обрыв цепи</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="127"/>
        <source>No valid data</source>
        <translation>Нет достоверных данных</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="153"/>
        <source>Channel number/Measurement number</source>
        <translation>Номер канала/Номер измерения</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="162"/>
        <source>Baseline value in full-scale percent</source>
        <translation>Базовое значение в процентах полной шкалы</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="165"/>
        <source>Baseline deviation in full-scale percent</source>
        <translation>Отклонение от базового значения в процентах полной шкалы</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="167"/>
        <source>Full-scale percent</source>
        <translation>Процент полной шкалы</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="169"/>
        <source>Measurement value</source>
        <translation>Измеренное значение</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="178"/>
        <source>Green - False</source>
        <translation>Зелёный - ложь</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="179"/>
        <source>Red - True</source>
        <translation>Красный - истина</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="180"/>
        <source>Off - Z</source>
        <translation>Не горит - Z</translation>
    </message>
</context>
<context>
    <name>ConfigFile</name>
    <message>
        <location filename="../configfile.cpp" line="85"/>
        <source>%1 is not a regular file</source>
        <translation>%1 не является обычным файлом</translation>
    </message>
    <message>
        <location filename="../configfile.cpp" line="90"/>
        <source>The file holds %1 bytes; a module configuration has exactly %2</source>
        <translation>В файле %1 байт; конфигурация модуля занимает ровно %2</translation>
    </message>
    <message>
        <location filename="../configfile.cpp" line="94"/>
        <source>This is not a module configuration: %1</source>
        <translation>Это не конфигурация модуля: %1</translation>
    </message>
</context>
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
