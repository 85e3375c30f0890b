<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru_RU">
<context>
    <name>feldan::InfoWindow</name>
    <message>
        <source>ВЕРСИЯ </source>
        <translation>VERSION </translation>
    </message>
    <message>
        <source>Алгоритм, дизайн:</source>
        <translation>Algorithm, design:</translation>
    </message>
    <message>
        <source>Авторы Feldan</source>
        <translation>The Feldan authors</translation>
    </message>
    <message>
        <source>Математика, программирование: </source>
        <translation>Mathematics, programming: </translation>
    </message>
    <message>
        <source>Разработчики Feldan</source>
        <translation>The Feldan developers</translation>
    </message>
    <message>
        <source>Со всеми вопросами обращаться по E-mail:</source>
        <translation>Questions? Please write to</translation>
    </message>
    <message>
        <source>через трекер задач проекта Feldan</source>
        <translation>the Feldan project&apos;s issue tracker</translation>
    </message>
    <message>
        <source>Информация о программе </source>
        <translation>About Feldan</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>feldan::MainWindow</name>
    <message>
        <source>файлы данных по кварцам (*.fdn);;все файлы (*)</source>
        <translation>Crystal design files (*.fdn);;All files (*)</translation>
    </message>
    <message>
        <source>файлы данных кварца (*.fdn)</source>
        <translation>Crystal design files (*.fdn)</translation>
    </message>
    <message>
        <source>3-х кристальный</source>
        <translation>3-crystal</translation>
    </message>
    <message>
        <source>4-х кристальный</source>
        <translation>4-crystal</translation>
    </message>
    <message>
        <source>6-ти кристальный</source>
        <translation>6-crystal</translation>
    </message>
    <message>
        <source>8-ми кристальный</source>
        <translation>8-crystal</translation>
    </message>
    <message>
        <source>4CW</source>
        <translation>4CW</translation>
    </message>
    <message>
        <source>6CW</source>
        <translation>6CW</translation>
    </message>
    <message>
        <source>8CW</source>
        <translation>8CW</translation>
    </message>
    <message>
        <source>Баттерворта dA=3 dB</source>
        <translation>Butterworth dA=3 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0,044 dB</source>
        <translation>Chebyshev dA=0.044 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0,099 dB</source>
        <translation>Chebyshev dA=0.099 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0,177 dB</source>
        <translation>Chebyshev dA=0.177 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0,28 dB</source>
        <translation>Chebyshev dA=0.28 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0.044 dB</source>
        <translation>Chebyshev dA=0.044 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0.099 dB</source>
        <translation>Chebyshev dA=0.099 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0.177 dB</source>
        <translation>Chebyshev dA=0.177 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0.28 дБ</source>
        <translation>Chebyshev dA=0.28 dB</translation>
    </message>
    <message>
        <source>6-х кристальный</source>
        <translation>6-crystal</translation>
    </message>
    <message>
        <source>8-х кристальный</source>
        <translation>8-crystal</translation>
    </message>
    <message>
        <source>Баттерворта dA=3 дб</source>
        <translation>Butterworth dA=3 dB</translation>
    </message>
    <message>
        <source>Расчёт кварцевых фильтров</source>
        <translation>Crystal Filter Calculator</translation>
    </message>
    <message>
        <source>&amp;Файл</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Открыть</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>&amp;Сохранить</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>&amp;Печать</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>&amp;Выход</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;Расчет</source>
        <translation>&amp;Calculate</translation>
    </message>
    <message>
        <source>&amp;Инфо</source>
        <translation>&amp;Info</translation>
    </message>
    <message>
        <source>&amp;График</source>
        <translation>C&amp;hart</translation>
    </message>
    <message>
        <source>&amp;Наложения</source>
        <translation>&amp;Overlay</translation>
    </message>
    <message>
        <source>&amp;Легенда</source>
        <translation>&amp;Legend</translation>
    </message>
    <message>
        <source>&amp;Очистить</source>
        <translation>&amp;Clear</translation>
    </message>
    <message>
        <source>&amp;Язык / Language</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>Данные резонатора</source>
        <translation>Crystal data</translation>
    </message>
    <message>
        <source>Fo(кГц) =</source>
        <translation>Fo(kHz) =</translation>
    </message>
    <message>
        <source>Ld(мГн) =</source>
        <translation>Ld(mH) =</translation>
    </message>
    <message>
        <source>Сs(пФ) =</source>
        <translation>Cs(pF) =</translation>
    </message>
    <message>
        <source>Rd(Ом) =</source>
        <translation>Rd(Ohm) =</translation>
    </message>
    <message>
        <source>Сk(пФ) =</source>
        <translation>Ck(pF) =</translation>
    </message>
    <message>
        <source>Данные фильтра</source>
        <translation>Filter data</translation>
    </message>
    <message>
        <source>Порядок фильтра :</source>
        <translation>Filter type:</translation>
    </message>
    <message>
        <source>Тип АЧХ :</source>
        <translation>Response:</translation>
    </message>
    <message>
        <source>Полоса dF (Гц) =</source>
        <translation>Band dF (Hz) =</translation>
    </message>
    <message>
        <source>Уровень АЧХ (дБ) =</source>
        <translation>Level (dB) =</translation>
    </message>
    <message>
        <source>Частота кварца</source>
        <translation>Crystal frequency</translation>
    </message>
    <message>
        <source>Индуктивность кварца</source>
        <translation>Crystal motional inductance</translation>
    </message>
    <message>
        <source>Статическая емкость кварца</source>
        <translation>Crystal static capacitance</translation>
    </message>
    <message>
        <source>Активное сопротивление кварца</source>
        <translation>Crystal motional resistance</translation>
    </message>
    <message>
        <source>Емкость коррекции</source>
        <translation>Correction capacitance</translation>
    </message>
    <message>
        <source>Принтер не может начать печать</source>
        <translation>The printer cannot start printing.</translation>
    </message>
    <message>
        <source>Расстройка относительно Fo (кГц)</source>
        <translation>Detuning from Fo (kHz)</translation>
    </message>
    <message>
        <source>дБ</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>Затухание (дБ)</source>
        <translation>Attenuation (dB)</translation>
    </message>
    <message>
        <source>Групповая задержка (мкс)</source>
        <translation>Group delay (µs)</translation>
    </message>
    <message>
        <source>мкс</source>
        <translation>µs</translation>
    </message>
    <message>
        <source>Возвратные потери (дБ)</source>
        <translation>Return loss (dB)</translation>
    </message>
    <message>
        <source>Входное сопротивление (Ом)</source>
        <translation>Input impedance (Ohm)</translation>
    </message>
    <message>
        <source>Ом</source>
        <translation>Ohm</translation>
    </message>
    <message>
        <source>Задержка</source>
        <translation>Delay</translation>
    </message>
    <message>
        <source>Re Zвх</source>
        <translation>Re Zin</translation>
    </message>
    <message>
        <source>Im Zвх</source>
        <translation>Im Zin</translation>
    </message>
    <message>
        <source>рисунок PNG (*.png);;рисунок SVG (*.svg);;таблица CSV (*.csv)</source>
        <translation>PNG picture (*.png);;SVG picture (*.svg);;CSV table (*.csv)</translation>
    </message>
    <message>
        <source>Вид сохраняется в файл PNG, SVG или CSV: укажите расширение .png, .svg или .csv</source>
        <translation>A view is saved as a PNG, SVG or CSV file: give the name the extension .png, .svg or .csv</translation>
    </message>
    <message>
        <source>документ PDF (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>Отчёт не удалось составить</source>
        <translation>The report could not be drawn</translation>
    </message>
    <message>
        <source>Отчёт о расчёте фильтра</source>
        <translation>Filter design report</translation>
    </message>
    <message>
        <source>Исходные данные</source>
        <translation>Design inputs</translation>
    </message>
    <message>
        <source>Детали схемы</source>
        <translation>Parts of the schematic</translation>
    </message>
    <message>
        <source>%1: %2 пФ</source>
        <translation>%1: %2 pF</translation>
    </message>
    <message>
        <source>%1: Lm %2 мГн, Cm %3 фФ, Rm %4 Ом, C0 %5 пФ</source>
        <translation>%1: Lm %2 mH, Cm %3 fF, Rm %4 Ohm, C0 %5 pF</translation>
    </message>
    <message>
        <source>, подстройка %1 пФ</source>
        <translation>, trim %1 pF</translation>
    </message>
    <message>
        <source>Нагрузка на входе и выходе: %1 Ом</source>
        <translation>Termination at input and output: %1 Ohm</translation>
    </message>
    <message>
        <source>Схема не рассчитана</source>
        <translation>The schematic has not been designed</translation>
    </message>
    <message>
        <source>Результат расчёта</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Расчет не выполнен</source>
        <translation>No calculation yet</translation>
    </message>
    <message>
        <source>Полоса пропускания</source>
        <translation>Pass band</translation>
    </message>
    <message>
        <source>Групповая задержка</source>
        <translation>Group delay</translation>
    </message>
    <message>
        <source>&amp;Экспорт вида…</source>
        <translation>E&amp;xport view…</translation>
    </message>
    <message>
        <source>Отч&amp;ёт…</source>
        <translation>&amp;Report…</translation>
    </message>
    <message>
        <source>&amp;Анализ</source>
        <translation>&amp;Analysis</translation>
    </message>
    <message>
        <source>&amp;Полоса пропускания</source>
        <translation>&amp;Pass band</translation>
    </message>
    <message>
        <source>&amp;Широкая полоса</source>
        <translation>&amp;Wide band</translation>
    </message>
    <message>
        <source>&amp;Групповая задержка</source>
        <translation>&amp;Group delay</translation>
    </message>
    <message>
        <source>&amp;Возвратные потери</source>
        <translation>&amp;Return loss</translation>
    </message>
    <message>
        <source>&amp;Входное сопротивление</source>
        <translation>&amp;Input impedance</translation>
    </message>
    <message>
        <source>Детали для сборки</source>
        <translation>Parts to solder</translation>
    </message>
    <message>
        <source>Деталь</source>
        <translation>Part</translation>
    </message>
    <message>
        <source>По расчёту</source>
        <translation>As designed</translation>
    </message>
    <message>
        <source>Ставить</source>
        <translation>To solder</translation>
    </message>
</context>
<context>
    <name>feldan::PartsList</name>
    <message>
        <source>%1 Ом</source>
        <translation>%1 Ohm</translation>
    </message>
    <message>
        <source>%1 пФ</source>
        <translation>%1 pF</translation>
    </message>
    <message>
        <source>%1 (подстроено)</source>
        <translation>%1 (tuned)</translation>
    </message>
    <message>
        <source>%1 + %2 пФ параллельно</source>
        <translation>%1 + %2 pF in parallel</translation>
    </message>
    <message>
        <source>Rin (вход и выход)</source>
        <translation>Rin (input and output)</translation>
    </message>
    <message>
        <source>ZQ%1</source>
        <translation>ZQ%1</translation>
    </message>
    <message>
        <source>%1, fs %2 кГц</source>
        <translation>%1, fs %2 kHz</translation>
    </message>
    <message>
        <source>подстроечный %1 пФ (подстроено)</source>
        <translation>trim %1 pF (tuned)</translation>
    </message>
    <message>
        <source>подстроечный %1 пФ</source>
        <translation>trim %1 pF</translation>
    </message>
    <message>
        <source>L-цепь к %1 Ом</source>
        <translation>L network to %1 Ohm</translation>
    </message>
    <message>
        <source>L %1 мкГн, C %2 пФ у фильтра</source>
        <translation>L %1 uH, C %2 pF at the filter</translation>
    </message>
    <message>
        <source>L %1 мкГн, C %2 пФ у источника</source>
        <translation>L %1 uH, C %2 pF at the source</translation>
    </message>
    <message>
        <source>или трансформатор</source>
        <translation>or a transformer</translation>
    </message>
    <message>
        <source>N2/N1 = %1 (N1 к %2 Ом)</source>
        <translation>N2/N1 = %1 (N1 to %2 Ohm)</translation>
    </message>
    <message>
        <source>Схема не рассчитана</source>
        <translation>The schematic has not been designed</translation>
    </message>
</context>
<context>
    <name>feldan::QtDialogService</name>
    <message>
        <source>Сохранить изменения в «%1»?</source>
        <translation>Save the changes to &quot;%1&quot;?</translation>
    </message>
</context>
<context>
    <name>feldan::ResponseChart</name>
    <message>
        <source>Расстройка относительно Fo (кГц)</source>
        <translation>Detuning from Fo (kHz)</translation>
    </message>
    <message>
        <source>Затухание (дБ)</source>
        <translation>Attenuation (dB)</translation>
    </message>
    <message>
        <source>АЧХ%1</source>
        <translation>Curve %1</translation>
    </message>
    <message>
        <source>дБ</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>%1: %2 %3</source>
        <translation>%1: %2 %3</translation>
    </message>
    <message>
        <source>%1 кГц</source>
        <translation>%1 kHz</translation>
    </message>
    <message>
        <source>Расчёт</source>
        <translation>Designed</translation>
    </message>
    <message>
        <source>Подстройка</source>
        <translation>Tuned</translation>
    </message>
</context>
<context>
    <name>feldan::Schematic</name>
    <message>
        <source>Схема 3-х кристального фильтра</source>
        <translation>Schematic of the 3-crystal filter</translation>
    </message>
    <message>
        <source>Схема 4-кристального фильтра</source>
        <translation>Schematic of the 4-crystal filter</translation>
    </message>
    <message>
        <source>Схема 6-ти кристального фильтра</source>
        <translation>Schematic of the 6-crystal filter</translation>
    </message>
    <message>
        <source>Схема 8-ми кристального фильтра</source>
        <translation>Schematic of the 8-crystal filter</translation>
    </message>
    <message>
        <source>Схема 4-х кристального телеграфного фильтра</source>
        <translation>Schematic of the 4-crystal CW filter</translation>
    </message>
    <message>
        <source>Схема 6-ти кристального телеграфного фильтра</source>
        <translation>Schematic of the 6-crystal CW filter</translation>
    </message>
    <message>
        <source>Схема 8-ми кристального телеграфного фильтра</source>
        <translation>Schematic of the 8-crystal CW filter</translation>
    </message>
    <message>
        <source>кварцевые фильтры</source>
        <translation>crystal filters</translation>
    </message>
</context>
<context>
    <name>feldan::TuningPanel</name>
    <message>
        <source>1 %</source>
        <translation>1 %</translation>
    </message>
    <message>
        <source>0,1 %</source>
        <translation>0.1 %</translation>
    </message>
    <message>
        <source>до следующего E12</source>
        <translation>to the next E12 value</translation>
    </message>
    <message>
        <source>до следующего E24</source>
        <translation>to the next E24 value</translation>
    </message>
    <message>
        <source>до следующего E96</source>
        <translation>to the next E96 value</translation>
    </message>
    <message>
        <source>Подстройка</source>
        <translation>Tuning</translation>
    </message>
    <message>
        <source>Подс&amp;тройка</source>
        <translation>&amp;Tuning</translation>
    </message>
    <message>
        <source>Шаг:</source>
        <translation>Step:</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Вернуть значения до последнего изменения (Ctrl+Z)</source>
        <translation>Back to the values before the last change (Ctrl+Z)</translation>
    </message>
    <message>
        <source>Сбросить</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Вернуть все детали к значениям расчёта или округления</source>
        <translation>Every part back to its designed or rounded value</translation>
    </message>
    <message>
        <source>Ом</source>
        <translation>Ohm</translation>
    </message>
    <message>
        <source>пФ</source>
        <translation>pF</translation>
    </message>
    <message>
        <source>Нечего подстраивать: %1</source>
        <translation>Nothing to tune: %1</translation>
    </message>
    <message>
        <source>%1: «%2» — не число больше нуля; осталось %3</source>
        <translation>%1: “%2” is not a number above zero; %3 is kept</translation>
    </message>
    <message>
        <source>dF = %1 Гц (расчёт %2)</source>
        <translation>dF = %1 Hz (designed %2)</translation>
    </message>
    <message>
        <source>Амин = %1 дБ (расчёт %2)</source>
        <translation>Amin = %1 dB (designed %2)</translation>
    </message>
    <message>
        <source>Пик: %1 кГц (расчёт %2)</source>
        <translation>Peak: %1 kHz (designed %2)</translation>
    </message>
</context>
</TS>
