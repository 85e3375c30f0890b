<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru_RU">
<context>
    <name>feldan::AnalysisViews</name>
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
        <source>Сопротивление портов анализатора, Ом (0 — нагрузки самой схемы):</source>
        <translation>Resistance of the analyser&apos;s ports, Ohm (0: the circuit&apos;s own terminations):</translation>
    </message>
    <message>
        <source>расчёт</source>
        <translation>design</translation>
    </message>
    <message>
        <source>Измерение без калибровки или с шумом искажает отклик во времени: он показан по измеренному S21 как есть</source>
        <translation>A sweep without calibration, or a noisy one, distorts the response in time: it is shown from the measured S21 as it is</translation>
    </message>
    <message>
        <source>Групповая задержка (мс)</source>
        <translation>Group delay (ms)</translation>
    </message>
    <message>
        <source>мс</source>
        <translation>ms</translation>
    </message>
</context>
<context>
    <name>feldan::ChartOverlays</name>
    <message>
        <source>Набор кварцев не выбран: выберите его в окне «Кварцы».</source>
        <translation>No set of crystals is chosen: choose one in the &quot;Crystals&quot; window.</translation>
    </message>
    <message>
        <source>равные кварцы</source>
        <translation>equal crystals</translation>
    </message>
    <message>
        <source>набор без подстройки</source>
        <translation>set untrimmed</translation>
    </message>
    <message>
        <source>набор с подстройкой</source>
        <translation>set trimmed</translation>
    </message>
</context>
<context>
    <name>feldan::CrystalImport</name>
    <message>
        <source>измерения кварцев (*.s2p *.s1p);;все файлы (*)</source>
        <translation>crystal measurements (*.s2p *.s1p);;all files (*)</translation>
    </message>
    <message>
        <source>G3UUR: в поле %1 «%2» — нужно %3 число.</source>
        <translation>G3UUR: in the field %1 &quot;%2&quot; — a %3 number is needed.</translation>
    </message>
    <message>
        <source>неотрицательное</source>
        <translation>non-negative</translation>
    </message>
    <message>
        <source>положительное</source>
        <translation>positive</translation>
    </message>
    <message>
        <source>G3UUR: f2 и C2 задаются вместе.</source>
        <translation>G3UUR: f2 and C2 are given together.</translation>
    </message>
    <message>
        <source>списки кварцев (*.csv);;все файлы (*)</source>
        <translation>crystal lists (*.csv);;all files (*)</translation>
    </message>
    <message>
        <source>В строке %1 не заданы fs, Lm и Rm: заполните её или удалите.</source>
        <translation>Row %1 has no fs, Lm and Rm: fill it in or remove it.</translation>
    </message>
    <message>
        <source>списки кварцев (*.csv)</source>
        <translation>crystal lists (*.csv)</translation>
    </message>
</context>
<context>
    <name>feldan::CrystalMeasure</name>
    <message>
        <source>Измерить…</source>
        <translation>Measure…</translation>
    </message>
    <message>
        <source>Измерить кварц на NanoVNA и добавить его в таблицу</source>
        <translation>Measure a crystal on the NanoVNA and add it to the table</translation>
    </message>
    <message>
        <source>Следующий (F3)</source>
        <translation>Next (F3)</translation>
    </message>
    <message>
        <source>Измерить следующий кварц с теми же настройками</source>
        <translation>Measure the next crystal with the same settings</translation>
    </message>
    <message>
        <source>По эталону…</source>
        <translation>From a reference…</translation>
    </message>
    <message>
        <source>Найти поправку частоты прибора по кварцу с известной частотой fs</source>
        <translation>Find the analyser&apos;s frequency correction from a crystal of known fs</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Частота fs эталонного кварца, Гц:</source>
        <translation>fs of the reference crystal, Hz:</translation>
    </message>
    <message>
        <source>Подключение к %1…</source>
        <translation>Connecting to %1…</translation>
    </message>
    <message>
        <source>Развёртка</source>
        <translation>Sweep</translation>
    </message>
    <message>
        <source>Поиск резонанса</source>
        <translation>Searching for the resonance</translation>
    </message>
    <message>
        <source>Уточнение</source>
        <translation>Zooming in</translation>
    </message>
    <message>
        <source>Усреднение</source>
        <translation>Averaging</translation>
    </message>
    <message>
        <source>%1: %2 кГц ± %3 Гц, сканов %4</source>
        <translation>%1: %2 kHz ± %3 Hz, %4 scans</translation>
    </message>
    <message>
        <source>Поправка по эталону: %1 ppm; с ней будут измеряться следующие кварцы.</source>
        <translation>Correction from the reference: %1 ppm; the next crystals will be measured with it.</translation>
    </message>
    <message>
        <source>Поправка по эталону: %1 ppm; измеренные здесь раньше кварцы (%2) пересчитаны с ней по своим развёрткам, следующие будут измеряться с ней.</source>
        <translation>Correction from the reference: %1 ppm; the crystals measured here before it (%2) were fitted again with it from their sweeps, and the next will be measured with it.</translation>
    </message>
    <message>
        <source>Измерение отменено.</source>
        <translation>Measurement cancelled.</translation>
    </message>
    <message>
        <source>Кварц не добавлен.</source>
        <translation>No crystal added.</translation>
    </message>
    <message>
        <source>Кварц %1</source>
        <translation>Crystal %1</translation>
    </message>
    <message>
        <source>Добавлен «%1»: fs = %2 Гц. F3 — следующий кварц.</source>
        <translation>Added “%1”: fs = %2 Hz. F3 measures the next crystal.</translation>
    </message>
</context>
<context>
    <name>feldan::CrystalPlot</name>
    <message>
        <source>измерение</source>
        <translation>measurement</translation>
    </message>
    <message>
        <source>модель</source>
        <translation>model</translation>
    </message>
    <message>
        <source>Частота, кГц</source>
        <translation>Frequency, kHz</translation>
    </message>
    <message>
        <source>|S|, дБ</source>
        <translation>|S|, dB</translation>
    </message>
</context>
<context>
    <name>feldan::CrystalSet</name>
    <message>
        <source>Использовать в расчёте</source>
        <translation>Use in the calculation</translation>
    </message>
    <message>
        <source>Подстройка кварцев</source>
        <translation>Trim the crystals</translation>
    </message>
    <message>
        <source>Выбрать лучшие %1</source>
        <translation>Pick the best %1</translation>
    </message>
    <message>
        <source>Расчёт ведётся по набору из %1 кварцев.</source>
        <translation>The calculation uses the set of %1 crystals.</translation>
    </message>
    <message>
        <source>В наборе %1 кварцев, а схеме нужно %2: выберите набор заново.</source>
        <translation>The set holds %1 crystals, the topology needs %2: pick the set again.</translation>
    </message>
    <message>
        <source>Расчёт ведётся с одинаковыми кварцами из полей окна.</source>
        <translation>The calculation uses equal crystals from the fields of the window.</translation>
    </message>
    <message>
        <source>по разбросу fs</source>
        <translation>by fs spread</translation>
    </message>
    <message>
        <source>по отклику</source>
        <translation>by the response</translation>
    </message>
    <message>
        <source>По разбросу fs: кварцы с самыми близкими частотами. По отклику: набор и места кварцев, с которыми собранный фильтр ближе всего к расчёту (с полосой, подстройками и паразитными модами).</source>
        <translation>By fs spread: the crystals of the closest frequencies. By the response: the set and the positions of the crystals that bring the filter as built closest to the design (with its band, its trims and the unwanted modes).</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Идёт выбор по отклику…</source>
        <translation>Picking by the response…</translation>
    </message>
    <message>
        <source>Выбор по отклику прерван.</source>
        <translation>The pick by the response was stopped.</translation>
    </message>
    <message>
        <source>Таблица изменилась во время выбора: выберите заново.</source>
        <translation>The table changed during the pick: pick again.</translation>
    </message>
    <message>
        <source>Перебраны все наборы: %1.</source>
        <translation>Every set searched: %1.</translation>
    </message>
    <message>
        <source>Просмотрено наборов заменами от соседних по fs: %1.</source>
        <translation>Sets searched by swaps from neighbours in fs: %1.</translation>
    </message>
    <message>
        <source>По отклику: %1.
По разбросу fs было бы: %2.
%3</source>
        <translation>By the response: %1.
By fs spread it would be: %2.
%3</translation>
    </message>
</context>
<context>
    <name>feldan::CrystalTable</name>
    <message>
        <source>Название</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>fs (Гц)</source>
        <translation>fs (Hz)</translation>
    </message>
    <message>
        <source>Lm (мГн)</source>
        <translation>Lm (mH)</translation>
    </message>
    <message>
        <source>Cm (фФ)</source>
        <translation>Cm (fF)</translation>
    </message>
    <message>
        <source>Rm (Ом)</source>
        <translation>Rm (Ω)</translation>
    </message>
    <message>
        <source>C0 (пФ)</source>
        <translation>C0 (pF)</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Q</translation>
    </message>
    <message>
        <source>Ошибка подгонки (дБ)</source>
        <translation>Fit error (dB)</translation>
    </message>
    <message>
        <source>Ct (пФ)</source>
        <translation>Ct (pF)</translation>
    </message>
    <message>
        <source>Набор</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>Строка %1, столбец «%2»: «%3» — нужно %4 число.</source>
        <translation>Row %1, column &quot;%2&quot;: &quot;%3&quot; — a %4 number is needed.</translation>
    </message>
    <message>
        <source>неотрицательное</source>
        <translation>non-negative</translation>
    </message>
    <message>
        <source>положительное</source>
        <translation>positive</translation>
    </message>
    <message>
        <source>Нет развёртки, по которой подогнать: %1</source>
        <translation>No sweep to fit from: %1</translation>
    </message>
</context>
<context>
    <name>feldan::CrystalWindow</name>
    <message>
        <source>Название</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Кварцы</source>
        <translation>Crystals</translation>
    </message>
    <message>
        <source>Добавить измерения…</source>
        <translation>Add measurements…</translation>
    </message>
    <message>
        <source>G3UUR…</source>
        <translation>G3UUR…</translation>
    </message>
    <message>
        <source>Открыть список…</source>
        <translation>Open list…</translation>
    </message>
    <message>
        <source>Сохранить список…</source>
        <translation>Save list…</translation>
    </message>
    <message>
        <source>Добавить</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Оснастка</source>
        <translation>Fixture</translation>
    </message>
    <message>
        <source>Сопротивление источника и нагрузки оснастки, Ом:</source>
        <translation>Source and load resistance of the fixture, Ohm:</translation>
    </message>
    <message>
        <source>f0, Гц (кварц один)</source>
        <translation>f0, Hz (crystal alone)</translation>
    </message>
    <message>
        <source>f1, Гц (с C1)</source>
        <translation>f1, Hz (with C1)</translation>
    </message>
    <message>
        <source>C1, пФ</source>
        <translation>C1, pF</translation>
    </message>
    <message>
        <source>f2, Гц (с C2; можно пусто)</source>
        <translation>f2, Hz (with C2; may be empty)</translation>
    </message>
    <message>
        <source>C2, пФ (можно пусто)</source>
        <translation>C2, pF (may be empty)</translation>
    </message>
    <message>
        <source>C0, пФ</source>
        <translation>C0, pF</translation>
    </message>
    <message>
        <source>Rm, Ом</source>
        <translation>Rm, Ohm</translation>
    </message>
    <message>
        <source>Подогнать заново</source>
        <translation>Refit</translation>
    </message>
    <message>
        <source>Подогнать выбранные кварцы заново по сохранённым развёрткам</source>
        <translation>Fit the selected crystals again from the sweeps they keep</translation>
    </message>
</context>
<context>
    <name>feldan::DesignDocument</name>
    <message>
        <source>Детали: по расчёту</source>
        <translation>Parts: as designed</translation>
    </message>
    <message>
        <source>Детали: округлённые до %1</source>
        <translation>Parts: rounded to %1</translation>
    </message>
    <message>
        <source>, подстроено: %1</source>
        <translation>, tuned: %1</translation>
    </message>
</context>
<context>
    <name>feldan::DiagnosisWindow</name>
    <message>
        <source>Нечего сравнивать: %1</source>
        <translation>Nothing to compare: %1</translation>
    </message>
    <message>
        <source>Подбираю детали по развёртке…</source>
        <translation>Fitting the parts to the sweep…</translation>
    </message>
    <message>
        <source>%1 пФ</source>
        <translation>%1 pF</translation>
    </message>
    <message>
        <source>%1 Гц</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>%1 Ом</source>
        <translation>%1 Ohm</translation>
    </message>
    <message>
        <source>Что построено (по %1):</source>
        <translation>What was built (from %1):</translation>
    </message>
    <message>
        <source>%1: %2 пФ, подобрано %3 пФ (%4 %, ±%5 %)</source>
        <translation>%1: %2 pF, fitted %3 pF (%4 %, ±%5 %)</translation>
    </message>
    <message>
        <source>ZQ%1: %2 Гц (±%3 Гц)</source>
        <translation>ZQ%1: %2 Hz (±%3 Hz)</translation>
    </message>
    <message>
        <source>Что построено</source>
        <translation>What was built</translation>
    </message>
    <message>
        <source>Измеренный фильтр не открыт</source>
        <translation>No measured filter is open</translation>
    </message>
    <message>
        <source>Измерение: %1</source>
        <translation>Measurement: %1</translation>
    </message>
    <message>
        <source>Порты измерения:</source>
        <translation>Measured between:</translation>
    </message>
    <message>
        <source>как в файле (%1 Ом)</source>
        <translation>the file&apos;s ports (%1 Ohm)</translation>
    </message>
    <message>
        <source>через нагрузки расчёта (%1 Ом)</source>
        <translation>the design&apos;s terminations (%1 Ohm)</translation>
    </message>
    <message>
        <source>через нагрузки расчёта</source>
        <translation>the design&apos;s terminations</translation>
    </message>
    <message>
        <source>Подобрать</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Применить к расчёту</source>
        <translation>Apply to the design</translation>
    </message>
    <message>
        <source>Подставить найденные значения деталей и кварцев как подстройку: дальше — от того, что построено</source>
        <translation>Take the fitted parts and crystals as tuned values: carry on from what was built</translation>
    </message>
    <message>
        <source>Обратное прочтение (вход и выход поменяны)</source>
        <translation>Mirrored reading (input and output swapped)</translation>
    </message>
    <message>
        <source>Деталь</source>
        <translation>Part</translation>
    </message>
    <message>
        <source>Расчёт</source>
        <translation>Design</translation>
    </message>
    <message>
        <source>Подобрано</source>
        <translation>Fitted</translation>
    </message>
    <message>
        <source>Отклонение</source>
        <translation>Deviation</translation>
    </message>
    <message>
        <source>Точность</source>
        <translation>Bound</translation>
    </message>
    <message>
        <source>Измерение</source>
        <translation>Measurement</translation>
    </message>
    <message>
        <source>Подобранный фильтр</source>
        <translation>Fitted filter</translation>
    </message>
    <message>
        <source>Расстройка, кГц</source>
        <translation>Detuning, kHz</translation>
    </message>
    <message>
        <source>|S21|, дБ</source>
        <translation>|S21|, dB</translation>
    </message>
</context>
<context>
    <name>feldan::DialogService</name>
    <message>
        <source>&amp;Сохранить</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>&amp;Не сохранять</source>
        <translation>&amp;Don&apos;t save</translation>
    </message>
    <message>
        <source>&amp;Отмена</source>
        <translation>&amp;Cancel</translation>
    </message>
</context>
<context>
    <name>feldan::FileCommands</name>
    <message>
        <source>файлы данных по кварцам и проекты (*.fdn *.feldan);;файлы данных по кварцам (*.fdn);;проекты Feldan (*.feldan);;все файлы (*)</source>
        <translation>crystal design files and projects (*.fdn *.feldan);;crystal design files (*.fdn);;Feldan projects (*.feldan);;all files (*)</translation>
    </message>
    <message>
        <source>файлы данных кварца (*.fdn)</source>
        <translation>Crystal design files (*.fdn)</translation>
    </message>
    <message>
        <source>проекты Feldan (*.feldan)</source>
        <translation>Feldan projects (*.feldan)</translation>
    </message>
    <message>
        <source>В файл .fdn записаны только данные расчёта; таблица кварцев, набор, округление, подстройка и согласование в нём не хранятся. Сохраните проект .feldan, чтобы сохранить и их.</source>
        <translation>Only the design data went into the .fdn file; it does not keep the table of crystals, the set, the rounding, the tuning and the matching. Save a .feldan project to keep them too.</translation>
    </message>
    <message>
        <source>без имени</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>В файл .fdn записаны только данные расчёта; «Точно по заданию», таблица кварцев, набор, округление, подстройка и согласование в нём не хранятся. Сохраните проект .feldan, чтобы сохранить и их.</source>
        <translation>Only the design data went into the .fdn file; «Exact to the request», the crystal table, the set, the rounding, the tuning and the matching are not kept there. Save the .feldan project to keep them as well.</translation>
    </message>
    <message>
        <source>Фильтр %1 не помещается в файл .fdn: он хранит только семь классических схем и пять характеристик. Сохранить его как проект (.feldan)?</source>
        <translation>The filter %1 does not fit a .fdn file, which holds only the seven classic topologies and five responses. Save it as a project (.feldan)?</translation>
    </message>
    <message>
        <source>Сохранить как &amp;проект…</source>
        <translation>Save as &amp;project…</translation>
    </message>
</context>
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
    <name>feldan::InputPanel</name>
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
        <source>Баттерворта dA=3 дБ</source>
        <translation>Butterworth dA=3 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0,044 дБ</source>
        <translation>Chebyshev dA=0.044 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0,099 дБ</source>
        <translation>Chebyshev dA=0.099 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0,177 дБ</source>
        <translation>Chebyshev dA=0.177 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0,28 дБ</source>
        <translation>Chebyshev dA=0.28 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0.044 дБ</source>
        <translation>Chebyshev dA=0.044 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0.099 дБ</source>
        <translation>Chebyshev dA=0.099 dB</translation>
    </message>
    <message>
        <source>Чебышева dA=0.177 дБ</source>
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
        <source>В расчёте набор кварцев %1 (окно «Кварцы»): поля Fo, Ld, Cs и Rd не используются</source>
        <translation>The design takes the crystal set %1 (the Crystals window): the fields Fo, Ld, Cs and Rd are not used</translation>
    </message>
    <message>
        <source>Расчёт: точно по заданию</source>
        <translation>Design: exact to the request</translation>
    </message>
    <message>
        <source>Расчёт: классический</source>
        <translation>Design: classic</translation>
    </message>
    <message>
        <source>&amp;Точно по заданию</source>
        <translation>E&amp;xact to the request</translation>
    </message>
    <message>
        <source>2-х кристальный</source>
        <translation>2-crystal</translation>
    </message>
    <message>
        <source>5-ти кристальный</source>
        <translation>5-crystal</translation>
    </message>
    <message>
        <source>7-ми кристальный</source>
        <translation>7-crystal</translation>
    </message>
    <message>
        <source>9-ти кристальный</source>
        <translation>9-crystal</translation>
    </message>
    <message>
        <source>10-ти кристальный</source>
        <translation>10-crystal</translation>
    </message>
    <message>
        <source>11-ти кристальный</source>
        <translation>11-crystal</translation>
    </message>
    <message>
        <source>12-ти кристальный</source>
        <translation>12-crystal</translation>
    </message>
    <message>
        <source>10CW</source>
        <translation>10CW</translation>
    </message>
    <message>
        <source>12CW</source>
        <translation>12CW</translation>
    </message>
    <message>
        <source>Чебышева, dA по выбору…</source>
        <translation>Chebyshev, dA of your choice…</translation>
    </message>
    <message>
        <source>Плоская вершина без неравномерности, умеренные скаты: 3 дБ на краях полосы</source>
        <translation>A flat top without ripple, moderate skirts: 3 dB down at the band edges</translation>
    </message>
    <message>
        <source>Крутые скаты ценой малой неравномерности в полосе; dF — полоса неравномерности</source>
        <translation>Steeper skirts for a small ripple in the band; dF is the ripple band</translation>
    </message>
    <message>
        <source>Неравномерность dA от 0,01 до 3 дБ по выбору: чем больше, тем круче скаты; dF — полоса неравномерности</source>
        <translation>A ripple dA of your choice, 0.01 to 3 dB: the more, the steeper the skirts; dF is the ripple band</translation>
    </message>
    <message>
        <source>Чебышева dA=%1 дБ</source>
        <translation>Chebyshev dA=%1 dB</translation>
    </message>
    <message>
        <source>Бесселя</source>
        <translation>Bessel</translation>
    </message>
    <message>
        <source>Лежандра</source>
        <translation>Legendre</translation>
    </message>
    <message>
        <source>Плоская групповая задержка, малый звон: для телеграфа и данных; пологие скаты; dF по уровню −3 дБ; концы с разными нагрузками</source>
        <translation>A flat group delay and little ringing, for CW and data; gentle skirts; dF at −3 dB; the two ends take different terminations</translation>
    </message>
    <message>
        <source>Без неравномерности, но круче Баттерворта: самые крутые скаты из монотонных; dF по уровню −3 дБ; концы с разными нагрузками</source>
        <translation>No ripple, yet steeper than Butterworth: the steepest skirts of the monotonic responses; dF at −3 dB; the two ends take different terminations</translation>
    </message>
    <message>
        <source>Гаусса</source>
        <translation>Gaussian</translation>
    </message>
    <message>
        <source>Гаусса до 6 дБ</source>
        <translation>Gaussian to 6 dB</translation>
    </message>
    <message>
        <source>Гаусса до 12 дБ</source>
        <translation>Gaussian to 12 dB</translation>
    </message>
    <message>
        <source>Линейная фаза 0,05°</source>
        <translation>Linear phase 0.05°</translation>
    </message>
    <message>
        <source>Линейная фаза 0,5°</source>
        <translation>Linear phase 0.5°</translation>
    </message>
    <message>
        <source>Без выброса и звона: для телеграфа и данных; самые пологие скаты; dF по уровню −3 дБ; 3–10 кристаллов</source>
        <translation>No overshoot and no ringing: for CW and data; the gentlest skirts; dF at −3 dB; 3 to 10 crystals</translation>
    </message>
    <message>
        <source>Гауссова до −6 дБ, дальше круче: почти без звона, скаты лучше; dF по уровню −3 дБ; 3–10 кристаллов</source>
        <translation>Gaussian down to −6 dB, steeper beyond: hardly any ringing, better skirts; dF at −3 dB; 3 to 10 crystals</translation>
    </message>
    <message>
        <source>Гауссова до −12 дБ, дальше круче: немного звона, скаты ещё лучше; dF по уровню −3 дБ; 3–10 кристаллов</source>
        <translation>Gaussian down to −12 dB, steeper beyond: a little ringing, better skirts still; dF at −3 dB; 3 to 10 crystals</translation>
    </message>
    <message>
        <source>Плоская задержка по всей полосе (фаза в пределах 0,05°): для данных; скаты круче Бесселя; dF по уровню −3 дБ; 2–10 кристаллов</source>
        <translation>Flat delay over the whole band (the phase within 0.05°): for data; steeper skirts than Bessel; dF at −3 dB; 2 to 10 crystals</translation>
    </message>
    <message>
        <source>Плоская задержка (фаза в пределах 0,5°), скаты ещё круче; dF по уровню −3 дБ; 2–10 кристаллов</source>
        <translation>Flat delay (the phase within 0.5°), steeper skirts still; dF at −3 dB; 2 to 10 crystals</translation>
    </message>
    <message>
        <source>Ширина на заданном уровне = dF с учётом Cs и Rd кварца</source>
        <translation>Width at the level = dF, allowing for the crystal&apos;s Cs and Rd</translation>
    </message>
    <message>
        <source>; достижимо до %1 Гц</source>
        <translation>; reachable up to %1 Hz</translation>
    </message>
    <message>
        <source>QER-4, 6 кварцев</source>
        <translation>QER-4, 6 crystals</translation>
    </message>
    <message>
        <source>QER-5, 7 кварцев</source>
        <translation>QER-5, 7 crystals</translation>
    </message>
    <message>
        <source>QER-6, 8 кварцев</source>
        <translation>QER-6, 8 crystals</translation>
    </message>
    <message>
        <source>QER-7, 9 кварцев</source>
        <translation>QER-7, 9 crystals</translation>
    </message>
    <message>
        <source>QER-8, 10 кварцев</source>
        <translation>QER-8, 10 crystals</translation>
    </message>
    <message>
        <source>QER-9, 11 кварцев</source>
        <translation>QER-9, 11 crystals</translation>
    </message>
    <message>
        <source>QER-10, 12 кварцев</source>
        <translation>QER-10, 12 crystals</translation>
    </message>
    <message>
        <source>QER-11, 13 кварцев</source>
        <translation>QER-11, 13 crystals</translation>
    </message>
    <message>
        <source>QER-12, 14 кварцев</source>
        <translation>QER-12, 14 crystals</translation>
    </message>
    <message>
        <source>C(пФ) =</source>
        <translation>C(pF) =</translation>
    </message>
    <message>
        <source>Ёмкость всех конденсаторов связи: расчёт строится вокруг неё, полоса выходит своя (поле dF не действует); пусто — расчёт по dF</source>
        <translation>The value of every coupling capacitor: the design is built around it and makes its own band (the dF field does not apply); empty: designed to dF</translation>
    </message>
    <message>
        <source>Кона: все конденсаторы равны</source>
        <translation>Cohn: all capacitors equal</translation>
    </message>
    <message>
        <source>Все конденсаторы связи одного номинала, нагрузка для самой ровной вершины; dF по уровню −3 дБ от вершины; 3–12 кристаллов, ровная вершина только до 4</source>
        <translation>Every coupling capacitor one value, the termination for the flattest top; dF at −3 dB below the top; 3–12 crystals, a flat top only up to 4</translation>
    </message>
</context>
<context>
    <name>feldan::MainMenu</name>
    <message>
        <source>&amp;Файл</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Новый</source>
        <translation>&amp;New</translation>
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
        <source>Сохранить к&amp;ак…</source>
        <translation>Save &amp;As…</translation>
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
        <source>&amp;Экспорт вида…</source>
        <translation>Export &amp;view…</translation>
    </message>
    <message>
        <source>Отч&amp;ёт…</source>
        <translation>&amp;Report…</translation>
    </message>
    <message>
        <source>&amp;Кварцы…</source>
        <translation>&amp;Crystals…</translation>
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
        <source>Вх&amp;одное сопротивление</source>
        <translation>&amp;Input impedance</translation>
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
        <source>&amp;Сравнить кварцы</source>
        <translation>Compare c&amp;rystals</translation>
    </message>
    <message>
        <source>&amp;Сборка</source>
        <translation>&amp;Build</translation>
    </message>
    <message>
        <source>&amp;Стандартные номиналы…</source>
        <translation>&amp;Standard values…</translation>
    </message>
    <message>
        <source>Со&amp;гласование…</source>
        <translation>&amp;Matching…</translation>
    </message>
    <message>
        <source>&amp;Допуски…</source>
        <translation>&amp;Tolerance…</translation>
    </message>
    <message>
        <source>&amp;Язык / Language</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>Анализируемая с&amp;хема</source>
        <translation>A&amp;nalysed circuit</translation>
    </message>
    <message>
        <source>Виды показывают схему расчёта АЧХ с её нагрузками, а не схему для сборки</source>
        <translation>The views show the circuit of the pass-band calculation with its terminations, not the circuit as built</translation>
    </message>
    <message>
        <source>Виды показывают фильтр между портами этого сопротивления, как его видит анализатор</source>
        <translation>The views show the filter between ports of this resistance, as an analyser sees it</translation>
    </message>
    <message>
        <source>Сопротивление по&amp;ртов…</source>
        <translation>P&amp;ort resistance…</translation>
    </message>
    <message>
        <source>П&amp;ереходная характеристика</source>
        <translation>Step respons&amp;e</translation>
    </message>
    <message>
        <source>Огибающая на выходе, когда на вход подана несущая в центре полосы</source>
        <translation>The output envelope when a carrier at the middle of the band is switched on at the input</translation>
    </message>
    <message>
        <source>И&amp;мпульсная характеристика</source>
        <translation>Impu&amp;lse response</translation>
    </message>
    <message>
        <source>Манипу&amp;ляция</source>
        <translation>Ke&amp;yed carrier</translation>
    </message>
    <message>
        <source>Точки телеграфа или один импульс через фильтр: задержка, скругление и хвосты</source>
        <translation>Morse dots or one pulse through the filter: the delay, the rounding and the tails</translation>
    </message>
    <message>
        <source>Параметры манипуля&amp;ции…</source>
        <translation>Keying &amp;details…</translation>
    </message>
</context>
<context>
    <name>feldan::MainWindow</name>
    <message>
        <source>Расчёт кварцевых фильтров</source>
        <translation>Crystal Filter Calculator</translation>
    </message>
    <message>
        <source>Принтер не может начать печать</source>
        <translation>The printer cannot start printing.</translation>
    </message>
</context>
<context>
    <name>feldan::MeasureDialog</name>
    <message>
        <source>Измерить кварц</source>
        <translation>Measure a crystal</translation>
    </message>
    <message>
        <source>Обновить</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Порт прибора:</source>
        <translation>Analyser port:</translation>
    </message>
    <message>
        <source>Оснастка (кварц последовательно между портами 1 и 2), Ом:</source>
        <translation>Fixture (crystal in series between ports 1 and 2), Ω:</translation>
    </message>
    <message>
        <source>Номинал кварца, кГц:</source>
        <translation>Nominal frequency, kHz:</translation>
    </message>
    <message>
        <source>Поправка частоты прибора, ppm:</source>
        <translation>Analyser frequency correction, ppm:</translation>
    </message>
    <message>
        <source>Поправка: прибор, показывающий f, на самом деле измеряет f·(1 + ppm·10⁻⁶). Для подбора набора важны только разности частот, поэтому её можно оставить нулевой.</source>
        <translation>Correction: an analyser that shows f really measures f·(1 + ppm·10⁻⁶). Matching a set needs only the differences of frequency, so it may stay zero.</translation>
    </message>
    <message>
        <source>Измерить</source>
        <translation>Measure</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Выберите порт прибора или введите его путь.</source>
        <translation>Choose the analyser&apos;s port or type its path.</translation>
    </message>
    <message>
        <source>Сопротивление оснастки — нужно положительное число.</source>
        <translation>Fixture resistance: a positive number is needed.</translation>
    </message>
    <message>
        <source>Номинал кварца — нужно положительное число килогерц.</source>
        <translation>Nominal frequency: a positive number of kilohertz is needed.</translation>
    </message>
    <message>
        <source>Поправка — нужно число ppm меньше 1000 по модулю.</source>
        <translation>Correction: a number of ppm below 1000 in magnitude is needed.</translation>
    </message>
    <message>
        <source> (NanoVNA V2 / LiteVNA)</source>
        <translation> (NanoVNA V2 / LiteVNA)</translation>
    </message>
</context>
<context>
    <name>feldan::MeasuredOverlay</name>
    <message>
        <source>&amp;Измеренный фильтр…</source>
        <translation>&amp;Measured filter…</translation>
    </message>
    <message>
        <source>С&amp;двинуть к центру расчёта</source>
        <translation>S&amp;hift to the design&apos;s centre</translation>
    </message>
    <message>
        <source>&amp;Убрать измеренный</source>
        <translation>Remo&amp;ve measured filter</translation>
    </message>
    <message>
        <source>%1, сдвиг %2 Гц</source>
        <translation>%1, shifted by %2 Hz</translation>
    </message>
    <message>
        <source>измерения фильтра (*.s2p);;все файлы (*)</source>
        <translation>filter measurements (*.s2p);;all files (*)</translation>
    </message>
    <message>
        <source>Файл %1 не прочитан: %2</source>
        <translation>The file %1 was not read: %2</translation>
    </message>
    <message>
        <source>Файл %1 описывает один порт: для измеренного фильтра нужен файл .s2p с его S21</source>
        <translation>The file %1 describes one port: a measured filter needs a .s2p file with its S21</translation>
    </message>
    <message>
        <source>В измерении %1 |S21| не спадает на 3 дБ ниже пика по обе стороны: центр его полосы не найти, сдвига нет</source>
        <translation>In the measurement %1, |S21| does not fall 3 dB below its peak on both sides: its pass band has no centre, so it is not shifted</translation>
    </message>
    <message>
        <source>Пере&amp;нормировать к нагрузкам схемы</source>
        <translation>Renormali&amp;se to the design&apos;s terminations</translation>
    </message>
    <message>
        <source>Измерение пересчитывается к сопротивлению нагрузок схемы, как если бы фильтр измеряли между ними</source>
        <translation>The measurement is recalculated for the design&apos;s terminations, as if the filter had been measured between them</translation>
    </message>
    <message>
        <source>, принято S12=S21, S22=S11</source>
        <translation>, assuming S12=S21, S22=S11</translation>
    </message>
    <message>
        <source>расчёт</source>
        <translation>design</translation>
    </message>
    <message>
        <source>центр, кГц</source>
        <translation>centre, kHz</translation>
    </message>
    <message>
        <source>плоскостность, дБ</source>
        <translation>flatness, dB</translation>
    </message>
    <message>
        <source>Сдвиг центров: %1 Гц</source>
        <translation>Shift of the centres: %1 Hz</translation>
    </message>
    <message>
        <source>пик, дБ</source>
        <translation>peak, dB</translation>
    </message>
    <message>
        <source>−%1 дБ</source>
        <translation>−%1 dB</translation>
    </message>
    <message>
        <source>ширина полосы, Гц</source>
        <translation>band width, Hz</translation>
    </message>
    <message>
        <source>Совместить пи&amp;ки</source>
        <translation>Align pea&amp;ks</translation>
    </message>
    <message>
        <source>Измеренная АЧХ поднимается или опускается так, чтобы её пик совпал с пиком расчёта: сравнивается форма, а не потери</source>
        <translation>The measured response is raised or lowered until its peak meets the design&apos;s: the shapes are compared, not the losses</translation>
    </message>
    <message>
        <source>, пик совмещён (%1 дБ)</source>
        <translation>, peak aligned (%1 dB)</translation>
    </message>
    <message>
        <source>Порт прибора ещё не выбран: измерьте кварц в окне «Кварцы» (Измерить…), и порт запомнится.</source>
        <translation>No analyser port chosen yet: measure a crystal in the Crystals window (Measure…) and the port is remembered.</translation>
    </message>
    <message>
        <source>Фильтр не рассчитывается: сначала рассчитайте его.</source>
        <translation>The filter cannot be calculated: calculate it first.</translation>
    </message>
    <message>
        <source>с прибора</source>
        <translation>from the device</translation>
    </message>
    <message>
        <source>С при&amp;бора</source>
        <translation>&amp;From the device</translation>
    </message>
    <message>
        <source>Снимать АЧХ фильтра прибором раз в секунду и показывать её поверх расчёта, пока команда не будет снята</source>
        <translation>Sweep the filter with the analyser every second and lay it over the design until the command is switched off</translation>
    </message>
    <message>
        <source>Файл %1: для измеренного фильтра нужно хотя бы 3 точки, а в нём %2</source>
        <translation>File %1: a measured filter needs at least 3 points, and it holds %2</translation>
    </message>
    <message>
        <source>расчёт, порты %1 Ом</source>
        <translation>design, %1 Ohm ports</translation>
    </message>
    <message>
        <source>&amp;Что построено…</source>
        <translation>What did I &amp;build…</translation>
    </message>
    <message>
        <source>Найти по измерению, что стоит в фильтре: каждый конденсатор, уход каждого кварца, Rm</source>
        <translation>Find from the measurement what the filter holds: each capacitor, each crystal&apos;s offset, Rm</translation>
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
    <message>
        <source>Rвх (вход и выход)</source>
        <translation>Rin (input and output)</translation>
    </message>
    <message>
        <source>%1 + %2</source>
        <translation>%1 + %2</translation>
    </message>
    <message>
        <source>Rвх</source>
        <translation>Rin</translation>
    </message>
    <message>
        <source>Rвых</source>
        <translation>Rout</translation>
    </message>
    <message>
        <source>L-цепь входа к %1 Ом</source>
        <translation>Input L network to %1 Ohm</translation>
    </message>
    <message>
        <source>L-цепь выхода к %1 Ом</source>
        <translation>Output L network to %1 Ohm</translation>
    </message>
</context>
<context>
    <name>feldan::QtDialogService</name>
    <message>
        <source>Сохранить изменения в «%1»?</source>
        <translation>Save the changes to &quot;%1&quot;?</translation>
    </message>
    <message>
        <source> точек</source>
        <translation> pixels</translation>
    </message>
    <message>
        <source>&amp;Ширина рисунка:</source>
        <translation>Picture &amp;width:</translation>
    </message>
    <message>
        <source>&amp;Высота рисунка:</source>
        <translation>Picture &amp;height:</translation>
    </message>
    <message>
        <source>&amp;Скорость точек, слов/мин:</source>
        <translation>&amp;Speed of the dots, words a minute:</translation>
    </message>
    <message>
        <source>&amp;Импульс вместо точек (0 — точки):</source>
        <translation>One &amp;pulse instead of dots (0: dots):</translation>
    </message>
    <message>
        <source> мс</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>&amp;Фронты (0 — прямоугольные):</source>
        <translation>&amp;Edges (0: rectangular):</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Ханна</source>
        <translation>Hann</translation>
    </message>
    <message>
        <source>Кайзера</source>
        <translation>Kaiser</translation>
    </message>
    <message>
        <source>&amp;Окно рисунка:</source>
        <translation>&amp;Window of the picture:</translation>
    </message>
    <message>
        <source>&amp;Бета окна Кайзера:</source>
        <translation>Kaiser window&apos;s &amp;beta:</translation>
    </message>
    <message>
        <source>&amp;Неравномерность dA, дБ (от 0,01 до 3):</source>
        <translation>&amp;Ripple dA, dB (0.01 to 3):</translation>
    </message>
</context>
<context>
    <name>feldan::ReportWriter</name>
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
    <message>
        <source>расчёт</source>
        <translation>design</translation>
    </message>
    <message>
        <source>Переходная характеристика</source>
        <translation>Step response</translation>
    </message>
    <message>
        <source> мс</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>задержка до 50 %</source>
        <translation>delay to 50 %</translation>
    </message>
    <message>
        <source>фронт 10–90 %</source>
        <translation>rise 10–90 %</translation>
    </message>
    <message>
        <source>выброс</source>
        <translation>overshoot</translation>
    </message>
    <message>
        <source> %</source>
        <translation> %</translation>
    </message>
    <message>
        <source>спад до −20 дБ после отпускания</source>
        <translation>decay to −20 dB after key-up</translation>
    </message>
    <message>
        <source>спад до −40 дБ после отпускания</source>
        <translation>decay to −40 dB after key-up</translation>
    </message>
    <message>
        <source>Нагрузка на входе %1 Ом, на выходе %2 Ом</source>
        <translation>Termination %1 Ohm at the input, %2 Ohm at the output</translation>
    </message>
    <message>
        <source>Что построено</source>
        <translation>What was built</translation>
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
        <translation>Tuning</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
</context>
<context>
    <name>feldan::RoundingWindow</name>
    <message>
        <source>Фильтр не рассчитывается: %1</source>
        <translation>The filter does not calculate: %1</translation>
    </message>
    <message>
        <source>Округлённый фильтр: %1</source>
        <translation>The rounded filter: %1</translation>
    </message>
    <message>
        <source>%1 пФ</source>
        <translation>%1 pF</translation>
    </message>
    <message>
        <source>%1 + %2 пФ</source>
        <translation>%1 + %2 pF</translation>
    </message>
    <message>
        <source>Rвх</source>
        <translation>Rin</translation>
    </message>
    <message>
        <source>%1 Ом</source>
        <translation>%1 Ohm</translation>
    </message>
    <message>
        <source>Идеальная</source>
        <translation>Ideal</translation>
    </message>
    <message>
        <source>Округлённая</source>
        <translation>Rounded</translation>
    </message>
    <message>
        <source>Согласованная</source>
        <translation>Matched</translation>
    </message>
    <message>
        <source>%1 Гц</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>%1 дБ</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>L = %1 мкГн</source>
        <translation>L = %1 µH</translation>
    </message>
    <message>
        <source>C = %1 → %2 пФ</source>
        <translation>C = %1 → %2 pF</translation>
    </message>
    <message>
        <source>C = %1 пФ</source>
        <translation>C = %1 pF</translation>
    </message>
    <message>
        <source>Вход: последовательно %1, параллельно %2 со стороны фильтра</source>
        <translation>Input: series %1, shunt %2 on the filter side</translation>
    </message>
    <message>
        <source>Вход: последовательно %1, параллельно %2 со стороны источника %3 Ом</source>
        <translation>Input: series %1, shunt %2 on the side of the %3 Ohm source</translation>
    </message>
    <message>
        <source>Выход: последовательно %1, параллельно %2 со стороны фильтра</source>
        <translation>Output: series %1, shunt %2 on the filter side</translation>
    </message>
    <message>
        <source>Выход: последовательно %1, параллельно %2 со стороны нагрузки %3 Ом</source>
        <translation>Output: series %1, shunt %2 on the side of the %3 Ohm load</translation>
    </message>
    <message>
        <source>Или широкополосный трансформатор: N2/N1 = %1 (N1 на стороне %2 Ом, N2 на стороне фильтра %3 Ом)</source>
        <translation>Or a broadband transformer: N2/N1 = %1 (N1 on the %2 Ohm side, N2 on the side of the filter&apos;s %3 Ohm)</translation>
    </message>
    <message>
        <source>Стандартные номиналы и согласование</source>
        <translation>Standard values and matching</translation>
    </message>
    <message>
        <source>Стандартные номиналы</source>
        <translation>Standard values</translation>
    </message>
    <message>
        <source>Два параллельно, если один отличается более чем на</source>
        <translation>Two in parallel when one alone is more off than</translation>
    </message>
    <message>
        <source>Подобрать сопротивление нагрузки</source>
        <translation>Refit the termination</translation>
    </message>
    <message>
        <source>Округлить его до E24</source>
        <translation>Round it to E24</translation>
    </message>
    <message>
        <source>Подбор минимизирует среднеквадратичную разницу в дБ с идеальной АЧХ в её полосе пропускания.</source>
        <translation>The refit minimises the RMS difference in dB from the ideal response over the ideal pass band.</translation>
    </message>
    <message>
        <source>Использовать для собранного фильтра</source>
        <translation>Use for the built filter</translation>
    </message>
    <message>
        <source>Согласование</source>
        <translation>Matching</translation>
    </message>
    <message>
        <source>Сопротивление тракта, Ом:</source>
        <translation>System resistance, Ohm:</translation>
    </message>
    <message>
        <source>Показать АЧХ с согласующими цепями</source>
        <translation>Show the response with the matching networks</translation>
    </message>
    <message>
        <source>Элемент</source>
        <translation>Part</translation>
    </message>
    <message>
        <source>Номинал</source>
        <translation>Nominal</translation>
    </message>
    <message>
        <source>Стандартный</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Из двух параллельно</source>
        <translation>Two in parallel</translation>
    </message>
    <message>
        <source>Полоса</source>
        <translation>Band width</translation>
    </message>
    <message>
        <source>Амин</source>
        <translation>Amin</translation>
    </message>
    <message>
        <source>Неравномерность</source>
        <translation>Ripple</translation>
    </message>
    <message>
        <source>Пик от Fo</source>
        <translation>Peak from Fo</translation>
    </message>
    <message>
        <source>С согласованием</source>
        <translation>Matched</translation>
    </message>
    <message>
        <source>Расстройка относительно Fo (кГц)</source>
        <translation>Detuning from Fo (kHz)</translation>
    </message>
    <message>
        <source>Затухание (дБ)</source>
        <translation>Attenuation (dB)</translation>
    </message>
    <message>
        <source>C = %1 → %2 + %3 пФ</source>
        <translation>C = %1 → %2 + %3 pF</translation>
    </message>
    <message>
        <source>Плоскостность</source>
        <translation>Flatness</translation>
    </message>
    <message>
        <source>Rвых</source>
        <translation>Rout</translation>
    </message>
    <message>
        <source>Или широкополосные трансформаторы (N1 на стороне %1 Ом): на входе N2/N1 = %2 (к %3 Ом фильтра), на выходе N2/N1 = %4 (к %5 Ом)</source>
        <translation>Or broadband transformers (N1 on the %1 Ohm side): at the input N2/N1 = %2 (to the filter&apos;s %3 Ohm), at the output N2/N1 = %4 (to %5 Ohm)</translation>
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
    <message>
        <source>Схема %1-кристального телеграфного фильтра</source>
        <translation>Schematic of the %1-crystal CW filter</translation>
    </message>
    <message>
        <source>Схема %1-кристального фильтра</source>
        <translation>Schematic of the %1-crystal filter</translation>
    </message>
    <message>
        <source>Ck уже в конденсаторах схемы: отдельно его не ставят</source>
        <translation>Ck is already in the schematic&apos;s capacitors: it is not fitted on its own</translation>
    </message>
    <message>
        <source>; на входе Rвх∥%1, на выходе Rвых∥%2</source>
        <translation>; Rin∥%1 at the input, Rout∥%2 at the output</translation>
    </message>
    <message>
        <source>; Ck уже в её конденсаторах</source>
        <translation>; Ck is already in its capacitors</translation>
    </message>
    <message>
        <source>Rвх</source>
        <translation>Rin</translation>
    </message>
    <message>
        <source>Rвых</source>
        <translation>Rout</translation>
    </message>
</context>
<context>
    <name>feldan::TimeViews</name>
    <message>
        <source>Время (мс)</source>
        <translation>Time (ms)</translation>
    </message>
    <message>
        <source>мс</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Огибающая, доля установившейся</source>
        <translation>Envelope, share of the settled level</translation>
    </message>
    <message>
        <source>Импульсная характеристика огибающей (1/мс)</source>
        <translation>Impulse response of the envelope (1/ms)</translation>
    </message>
    <message>
        <source>1/мс</source>
        <translation>1/ms</translation>
    </message>
    <message>
        <source>Огибающая, доля несущей</source>
        <translation>Envelope, share of the carrier</translation>
    </message>
    <message>
        <source>Манипуляция</source>
        <translation>Keying</translation>
    </message>
    <message>
        <source>выброс, %</source>
        <translation>overshoot, %</translation>
    </message>
    <message>
        <source>задержка, мс</source>
        <translation>delay, ms</translation>
    </message>
    <message>
        <source>фронт, мс</source>
        <translation>rise, ms</translation>
    </message>
    <message>
        <source>−20 дБ, мс</source>
        <translation>−20 dB, ms</translation>
    </message>
    <message>
        <source>−40 дБ, мс</source>
        <translation>−40 dB, ms</translation>
    </message>
    <message>
        <source>провал, дБ</source>
        <translation>gap, dB</translation>
    </message>
    <message>
        <source>спад после отпускания</source>
        <translation>decay after key-up</translation>
    </message>
</context>
<context>
    <name>feldan::ToleranceWindow</name>
    <message>
        <source>Фильтр не рассчитывается: %1</source>
        <translation>The filter does not calculate: %1</translation>
    </message>
    <message>
        <source>Идёт расчёт…</source>
        <translation>Running…</translation>
    </message>
    <message>
        <source>Проект изменён после расчёта: результаты устарели.</source>
        <translation>The project changed after the run: the results are stale.</translation>
    </message>
    <message>
        <source>Полоса</source>
        <translation>Band width</translation>
    </message>
    <message>
        <source>Гц</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>Неравномерность</source>
        <translation>Ripple</translation>
    </message>
    <message>
        <source>дБ</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>Амин</source>
        <translation>Amin</translation>
    </message>
    <message>
        <source>Выход годных: %1 % (%2 испытаний, не рассчитались: %3)</source>
        <translation>Yield: %1 % (%2 trials, failed to calculate: %3)</translation>
    </message>
    <message>
        <source>Расчёт прерван.</source>
        <translation>The run was cancelled.</translation>
    </message>
    <message>
        <source>Допуски (Монте-Карло)</source>
        <translation>Tolerance (Monte Carlo)</translation>
    </message>
    <message>
        <source>Испытаний:</source>
        <translation>Trials:</translation>
    </message>
    <message>
        <source>Допуск конденсаторов, ±%:</source>
        <translation>Capacitor tolerance, ±%:</translation>
    </message>
    <message>
        <source>Распределение:</source>
        <translation>Distribution:</translation>
    </message>
    <message>
        <source>равномерное</source>
        <translation>uniform</translation>
    </message>
    <message>
        <source>нормальное (допуск = 3σ)</source>
        <translation>normal (tolerance = 3σ)</translation>
    </message>
    <message>
        <source>Разброс fs кварцев (σ), Гц:</source>
        <translation>Crystal fs spread (σ), Hz:</translation>
    </message>
    <message>
        <source>Разброс Rm кварцев (σ), %:</source>
        <translation>Crystal Rm spread (σ), %:</translation>
    </message>
    <message>
        <source>Начальное число:</source>
        <translation>Seed:</translation>
    </message>
    <message>
        <source>Годен: полоса в пределах ±%:</source>
        <translation>Pass: band width within ±%:</translation>
    </message>
    <message>
        <source>Годен: неравномерность не более +дБ:</source>
        <translation>Pass: ripple at most + dB:</translation>
    </message>
    <message>
        <source>Пуск</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>мин.</source>
        <translation>min</translation>
    </message>
    <message>
        <source>5 %</source>
        <translation>5 %</translation>
    </message>
    <message>
        <source>медиана</source>
        <translation>median</translation>
    </message>
    <message>
        <source>95 %</source>
        <translation>95 %</translation>
    </message>
    <message>
        <source>макс.</source>
        <translation>max</translation>
    </message>
    <message>
        <source>Полоса, Гц</source>
        <translation>Band width, Hz</translation>
    </message>
    <message>
        <source>Неравномерность, дБ</source>
        <translation>Ripple, dB</translation>
    </message>
    <message>
        <source>Амин, дБ</source>
        <translation>Amin, dB</translation>
    </message>
    <message>
        <source>Номинал</source>
        <translation>Nominal</translation>
    </message>
    <message>
        <source>5…95 %</source>
        <translation>5…95 %</translation>
    </message>
    <message>
        <source>Расстройка относительно Fo (кГц)</source>
        <translation>Detuning from Fo (kHz)</translation>
    </message>
    <message>
        <source>Затухание (дБ)</source>
        <translation>Attenuation (dB)</translation>
    </message>
    <message>
        <source>Плоскостность, дБ</source>
        <translation>Flatness, dB</translation>
    </message>
    <message>
        <source>Плоскостность</source>
        <translation>Flatness</translation>
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
    <message>
        <source>Rвх</source>
        <translation>Rin</translation>
    </message>
    <message>
        <source>Rвых</source>
        <translation>Rout</translation>
    </message>
    <message>
        <source>Гц</source>
        <translation>Hz</translation>
    </message>
</context>
<context>
    <name>feldan::ViewExporter</name>
    <message>
        <source>рисунок PNG (*.png);;рисунок SVG (*.svg);;таблица CSV (*.csv)</source>
        <translation>PNG picture (*.png);;SVG picture (*.svg);;CSV table (*.csv)</translation>
    </message>
    <message>
        <source>Вид сохраняется в файл PNG, SVG или CSV: укажите расширение .png, .svg или .csv</source>
        <translation>A view is saved as a PNG, SVG or CSV file: give the name the extension .png, .svg or .csv</translation>
    </message>
</context>
</TS>
