<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>ChannelStateView</name>
    <message>
        <location filename="../meascatalogue.cpp" line="21"/>
        <source>Acceleration</source>
        <translation>Ускорение</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="22"/>
        <location filename="../meascatalogue.cpp" line="30"/>
        <location filename="../meascatalogue.cpp" line="42"/>
        <source>m/s²</source>
        <translation>м/с²</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="23"/>
        <source>Velocity</source>
        <translation>Скорость</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="24"/>
        <source>mm/s</source>
        <translation>мм/с</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="25"/>
        <source>Diplacement</source>
        <translation>Перемещение</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="26"/>
        <source>Gap</source>
        <translation>Зазор</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="26"/>
        <location filename="../meascatalogue.cpp" line="40"/>
        <source>V</source>
        <translation>В</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="27"/>
        <source>Rotation speed</source>
        <translation>Частота вращения</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="28"/>
        <source>rpm</source>
        <translation>об/мин</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="29"/>
        <source>Amplitude of Acceleration</source>
        <translation>Амплитуда ускорения</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="31"/>
        <source>Phase of Acceleration</source>
        <translation>Фаза ускорения</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="32"/>
        <location filename="../meascatalogue.cpp" line="36"/>
        <location filename="../meascatalogue.cpp" line="39"/>
        <source>°</source>
        <translation>°</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="33"/>
        <source>Amplitude of Velocity</source>
        <translation>Амплитуда скорости</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="34"/>
        <location filename="../meascatalogue.cpp" line="44"/>
        <source>m/s</source>
        <translation>м/с</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="35"/>
        <source>Phase of Velocity</source>
        <translation>Фаза скорости</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="37"/>
        <source>Amplitude of Prox Displacement</source>
        <translation>Амплитуда перемещения (вихретоковый датчик)</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="38"/>
        <source>Phase of Prox Displacement</source>
        <translation>Фаза перемещения (вихретоковый датчик)</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="40"/>
        <source>DC</source>
        <translation>Постоянная составляющая</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="41"/>
        <source>RMS of Acceleration</source>
        <translation>СКЗ ускорения</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="43"/>
        <source>RMS of Velocity</source>
        <translation>СКЗ скорости</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="45"/>
        <source>PRM of Prox Displacement</source>
        <translation>PRM перемещения (вихретоковый датчик)</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="46"/>
        <source>Max Average Deviation</source>
        <translation>Максимальное среднее отклонение</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="51"/>
        <source>µm</source>
        <translation>мкм</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="113"/>
        <source>Valid data</source>
        <translation>Достоверные данные</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="115"/>
        <source>Short circuit</source>
        <translation>Короткое замыкание</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="117"/>
        <source>Open circuit</source>
        <translation>Обрыв цепи</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="119"/>
        <source>No valid data</source>
        <translation>Нет достоверных данных</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="144"/>
        <source>№</source>
        <translation>№</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="146"/>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="148"/>
        <source>F</source>
        <translation>F</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="150"/>
        <source>A</source>
        <translation>A</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="152"/>
        <source>D</source>
        <translation>D</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="154"/>
        <source>Base</source>
        <translation>База</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="156"/>
        <source>Delta</source>
        <translation>Дельта</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="158"/>
        <source>FS %</source>
        <translation>% ПШ</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="160"/>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="171"/>
        <source>Channel number/Measurement number</source>
        <translation>Номер канала/Номер измерения</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="180"/>
        <source>Baseline value in full-scale percent</source>
        <translation>Базовое значение в процентах полной шкалы</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="183"/>
        <source>Baseline deviation in full-scale percent</source>
        <translation>Отклонение от базового значения в процентах полной шкалы</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="185"/>
        <source>Full-scale percent</source>
        <translation>Процент полной шкалы</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="187"/>
        <source>Measurement value</source>
        <translation>Измеренное значение</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="196"/>
        <source>Green - False</source>
        <translation>Зелёный - ложь</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="197"/>
        <source>Red - True</source>
        <translation>Красный - истина</translation>
    </message>
    <message>
        <location filename="../meascatalogue.cpp" line="198"/>
        <source>Off - Z</source>
        <translation>Не горит - Z</translation>
    </message>
</context>
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
