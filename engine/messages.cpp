#include "engine/messages.h"

#include <array>
#include <cerrno>

namespace feldan {

namespace {

struct MessageRow {
    MessageId id;
    std::string_view russian;
    std::string_view english;
};

// One row per identifier, in the order of MessageId. "%s" stands for the message's value, "%u"
// for the code point of its first character, "%p" for its place and "%e" for the words of the
// errno code the value holds. The
// Russian texts pad their lines with blanks, which centre them in the message box; the texts
// of conversion and arithmetic errors have always been English.
constexpr std::array<MessageRow, 91> Texts = {{
    {MessageId::None, "", ""},
    {MessageId::MissingData, " Необходимо задать все данные для расчета ! ",
     "Please fill in all the data for the calculation."},
    {MessageId::ZeroRd, " Активное сопротивление должно быть\n            отлично от нуля ! ",
     "The motional resistance Rd\nmust not be zero."},
    {MessageId::ZeroResistance,
     " Активное сопротивление должно быть\n           отлично от нуля !!! ",
     "The source, load and motional resistances\nmust not be zero."},
    {MessageId::NoSolution, " Решение невозможно ! ", "The circuit has no solution."},
    {MessageId::MissingLevel, " Задайте уровень АЧХ ! ", "Please enter the response level."},
    {MessageId::BadLevel, " Уровень АЧХ задан не корректно ! ",
     "The response level must be below 0 dB."},
    {MessageId::BandLimit,
     "При заданном уровне АЧХ полоса пропускания\n        превысила пределы +/-30кГц.\n  "
     "Проверьте правильность исходных данных.",
     "At the given response level the pass band\nwent beyond the limits of +/-30 kHz.\n"
     "Please check the input data."},
    {MessageId::BadFilterType, " Тип фильтра задан не корректно ! ",
     "The filter type is not valid."},
    {MessageId::BadResponseType, " Тип АЧХ задан не корректно ! ",
     "The response type is not valid."},
    {MessageId::NotAFloat, "'%s' is not a valid floating point value",
     "'%s' is not a valid floating point value"},
    {MessageId::NotAnInteger, "'%s' is not a valid integer value",
     "'%s' is not a valid integer value"},
    {MessageId::DivisionByZero, "Floating point division by zero",
     "Floating point division by zero"},
    {MessageId::InvalidOperation, "Invalid floating point operation",
     "Invalid floating point operation"},
    {MessageId::Overflow, "Floating point overflow", "Floating point overflow"},
    {MessageId::FileFilterTypeRange, " Тип фильтра в файле должен быть от 1 до 7 ! ",
     "The filter type in the file must be from 1 to 7."},
    {MessageId::FileResponseTypeRange, " Тип АЧХ в файле должен быть от 1 до 5 ! ",
     "The response type in the file must be from 1 to 5."},
    {MessageId::FileTooLarge, " Файл слишком велик для файла данных по кварцам ! ",
     "The file is too large to be a crystal design file."},
    {MessageId::ControlCharacter, " Управляющий символ с кодом %s %p нельзя записать в файл ! ",
     "The control character with code %s %p cannot be saved."},
    {MessageId::BrokenText, " Текст %p содержит неверную последовательность байтов ! ",
     "The text %p holds an invalid byte sequence."},
    {MessageId::NotInWindows1251,
     " Символ «%s» (%u) %p нельзя записать в кодировке Windows-1251 ! ",
     "The character \"%s\" (%u) %p cannot be written in the Windows-1251 encoding."},
    {MessageId::ReadFileTooLarge, "файл слишком велик", "the file is too large"},
    {MessageId::TouchstoneNotANumber, "«%s» — не число", "\"%s\" is not a number"},
    {MessageId::TouchstoneColumns, "в строке данных должно быть %s чисел",
     "a line of data must hold %s numbers"},
    {MessageId::TouchstoneOption, "непонятное слово «%s» в строке параметров",
     "the word \"%s\" of the option line is not understood"},
    {MessageId::TouchstoneParameter, "файл содержит параметры %s, а нужны S-параметры",
     "the file holds %s parameters, S-parameters are needed"},
    {MessageId::TouchstoneReference, "опорное сопротивление должно быть положительным числом",
     "the reference resistance must be a positive number"},
    {MessageId::TouchstoneKeyword, "ключевое слово %s не поддерживается",
     "the keyword %s is not supported"},
    {MessageId::TouchstonePorts, "число портов %s, а читаются файлы с одним или двумя портами",
     "the file has %s ports; files of one or two ports are read"},
    {MessageId::TouchstoneOrder, "частота меньше, чем в предыдущей строке",
     "the frequency is lower than on the line before"},
    {MessageId::TouchstoneCount, "обещано частот: %s, а в файле их другое число",
     "the file promises %s frequencies and holds another number"},
    {MessageId::TouchstoneNoData, "в файле нет данных", "the file holds no data"},
    {MessageId::TouchstoneTooManyPoints, "слишком много точек", "too many points"},
    {MessageId::CsvColumnMissing, "в заголовке нет столбца %s", "the header has no column %s"},
    {MessageId::CsvFieldCount, "в строке должно быть столько же полей, сколько в заголовке (%s)",
     "a row must have as many fields as the header (%s)"},
    {MessageId::CsvNotANumber, "«%s» — не число", "\"%s\" is not a number"},
    {MessageId::CsvValueRange, "значение в столбце %s должно быть положительным",
     "the value in the column %s must be positive"},
    {MessageId::CsvQuote, "кавычки не закрыты", "a quotation mark is not closed"},
    {MessageId::FitNoResonance, "в развёртке нет последовательного резонанса с его склонами",
     "the sweep does not hold the series resonance with its skirts"},
    {MessageId::FitNotConverged, "подгонка не сошлась за %s итераций",
     "the fit did not converge in %s iterations"},
    {MessageId::FitPoor, "модель не описывает измерение (невязка %s дБ): проверьте оснастку",
     "the model does not describe the measurement (residual %s dB): check the fixture"},
    {MessageId::FitMagnitudesOnly,
     "фаза измерения не описывается моделью, подогнаны только амплитуды: кварц на активной "
     "плате или в неучтённой оснастке?",
     "the phase of the measurement does not fit the model, so only the magnitudes were fitted: "
     "is the crystal on an active board or in a fixture not accounted for?"},
    {MessageId::G3uurNoShift, "по этим частотам динамическая ёмкость не получается положительной",
     "these frequencies give no positive motional capacitance"},
    {MessageId::PickTooFew, "кварцев с подобранной моделью меньше, чем %s",
     "fewer than %s crystals have a fitted model"},
    {MessageId::PickNoQer,
     "выбор по отклику пока не берёт лестницы QER: выберите по разбросу fs и поставьте по краям "
     "самые близкие пары",
     "the pick by the response does not take QER ladders yet: pick by fs spread and put the "
     "closest pairs at the ends"},
    {MessageId::CrystalSetCount, "для этой схемы в наборе должно быть кварцев: %s",
     "the set must hold %s crystals for this topology"},
    {MessageId::CrystalSetValue, "у кварца %s набора нет положительных Lm, Cm и Rm",
     "crystal %s of the set has no positive Lm, Cm and Rm"},
    {MessageId::CrystalTrimImpossible,
     "кварц %s не подтянуть последовательным конденсатором к наибольшей fs набора",
     "no series capacitor lifts crystal %s to the highest fs of the set"},
    {MessageId::ProjectNotJson, "это не JSON (%s)", "this is not JSON (%s)"},
    {MessageId::ProjectNotProject, "это не проект Feldan", "this is not a Feldan project"},
    {MessageId::ProjectVersion, "версия формата %s новее, чем читает программа",
     "the format version %s is newer than this program reads"},
    {MessageId::ProjectEntry, "нет записи %s или она не того типа",
     "the entry %s is missing or of the wrong type"},
    {MessageId::ProjectValue, "недопустимое значение записи %s",
     "the entry %s has a value not allowed"},
    {MessageId::ExactBandTooWide,
     "с этими кварцами эта схема даёт полосу не шире %s Гц: для более широкой частота контуров "
     "ушла бы за параллельный резонанс кварца",
     "with these crystals this topology reaches no band wider than %s Hz: a wider one would "
     "tune the meshes past the crystals' parallel resonance"},
    {MessageId::ExactBandTooNarrow,
     "с этими кварцами эта схема даёт полосу не уже %s Гц: потери кварцев сами нагружают "
     "крайние контуры сильнее, чем нужно для более узкой",
     "with these crystals this topology reaches no band narrower than %s Hz: the crystals' own "
     "loss loads the end meshes more than a narrower one allows"},
    {MessageId::ExactNoBand,
     "с этими кварцами эта схема точно не рассчитывается: потери кварцев требуют полосы шире, "
     "чем допускает их статическая ёмкость",
     "no exact design of this topology with these crystals: their loss needs a wider band than "
     "their static capacitance allows"},
    {MessageId::ExactNotConverged, "точный расчёт полосы не сошёлся за %s расчётов",
     "the exact design did not converge in %s designs"},
    {MessageId::ExactLevelInRipple,
     "для точного расчёта уровень АЧХ должен быть ниже неравномерности прототипа (%s дБ) хотя "
     "бы на 0,01 дБ",
     "for an exact design the response level must lie at least 0.01 dB below the prototype's "
     "ripple (%s dB)"},
    {MessageId::ExactWidthJumps,
     "полоса на этом уровне меняется скачком в промежутке %s Гц: там появляется пик "
     "неравномерности; задайте полосу вне промежутка или другой уровень",
     "the width at this level jumps across %s Hz, where a ripple peak appears: ask for a band "
     "outside that gap, or another level"},
    {MessageId::BadRipple,
     "неравномерность Чебышева «%s» дБ вне допустимых пределов: задайте от 0,01 до 3 дБ",
     "the Chebyshev ripple of %s dB is out of range: give 0.01 to 3 dB"},
    {MessageId::BadCk, "лестнице CW нужна ёмкость Ck больше нуля: задайте Ck в пикофарадах",
     "a CW ladder needs a Ck above zero: give Ck in picofarads"},
    {MessageId::FileNeedsProject,
     "фильтр %s не помещается в файл .fdn, который хранит только семь классических схем и пять "
     "характеристик: сохраните его как проект (.feldan)",
     "the filter %s does not fit a .fdn file, which holds only the seven classic topologies and "
     "five responses: save it as a project (.feldan)"},
    {MessageId::ResponseOrder,
     "эта характеристика есть в таблицах только для фильтров из %s кристаллов: выберите другую "
     "схему или другую характеристику",
     "the tables hold this response only for %s crystals: choose another topology or another "
     "response"},
    {MessageId::CohnPlainOnly,
     "равные конденсаторы Кона ставятся только в простую лестницу: выберите лестницу без Ck "
     "или другую характеристику",
     "Cohn's equal capacitors go only into a plain ladder: choose a ladder without Ck or "
     "another response"},
    {MessageId::BadCapacitor,
     "ёмкость связи «%s» пФ не годится: задайте число пикофарад больше нуля и не больше 10 нФ",
     "the coupling capacitor of %s pF will not do: give a number of picofarads above zero and "
     "not over 10 nF"},
    {MessageId::BandUnknown, "Расчет не нашёл полосы фильтра",
     "Calculate found no band of the filter"},
    {MessageId::TransientTooLong,
     "переходная характеристика этого фильтра требует больше частот, чем берёт расчёт",
     "the transient of this filter would need more frequencies than a sweep takes"},
    {MessageId::TransientNoCentre,
     "частоты не охватывают середину полосы с обеих сторон: переходную характеристику не "
     "построить",
     "the frequencies do not reach both sides of the middle of the band: no transient can be "
     "drawn"},
    {MessageId::TransientNothingPassed, "фильтр ничего не пропускает в середине полосы",
     "the filter passes nothing in the middle of its band"},
    {MessageId::CautionWidth,
     "полоса вышла %s Гц, дальше 10 % от dF: попробуйте «Точно по заданию»",
     "the band came out at %s Hz, over 10 % off dF: try «Exact to the request»"},
    {MessageId::CautionCapacitor,
     "ёмкость %s пФ не собрать (от 1 пФ до 10 нФ): попробуйте «Точно по заданию»",
     "the capacitor %s pF cannot be built (1 pF to 10 nF): try «Exact to the request»"},
    {MessageId::CautionTermination,
     "нагрузку %s Ом не собрать (от 5 Ом до 20 кОм): попробуйте «Точно по заданию»",
     "a termination of %s Ohm cannot be built (5 Ohm to 20 kOhm): try «Exact to the request»"},
    {MessageId::CautionTrim,
     "подстроечная ёмкость %s пФ больше 1 нФ: этот кварц почти не подтянуть, возьмите другой",
     "the trim %s pF is over 1 nF: this crystal hardly moves; take another"},
    {MessageId::CautionCohnRipple,
     "с равными конденсаторами связи вершина этой лестницы неровна на %s дБ при любой нагрузке: "
     "для ровной вершины возьмите QER, у которой сдвоенные крайние кварцы это исправляют",
     "with all its coupling capacitors equal this ladder's top varies by %s dB whatever its "
     "termination: for a flat top take a QER ladder, whose doubled end crystals cure it"},
    {MessageId::VnaPortClosed, "связь с прибором прервалась: порт закрыт или прибор отключён",
     "the connection to the device broke off: the port closed or the device was unplugged"},
    {MessageId::VnaTimeout, "прибор перестал отвечать на команду «%s»",
     "the device stopped answering the command \"%s\""},
    {MessageId::VnaScanLine,
     "строка ответа «%s» — не частота и четыре числа S11 и S21: помеха на линии или другая "
     "прошивка",
     "the line \"%s\" of the answer is not a frequency and the four numbers of S11 and S21: "
     "noise on the line or another firmware"},
    {MessageId::VnaNoPrompt, "ответ на команду «%s» не закончился приглашением «ch>»",
     "the answer to the command \"%s\" did not end with the prompt \"ch>\""},
    {MessageId::VnaBusy, "порт занят другой программой: закройте её и повторите",
     "another program holds the port: close it and try again"},
    {MessageId::VnaNotAnalyser,
     "на этом порту не анализатор: нет ни приглашения «ch>» текстовой консоли NanoVNA, ни ответа "
     "NanoVNA V2 или LiteVNA, или непонятный ответ на info",
     "this port is not an analyser: neither the prompt \"ch>\" of the NanoVNA text shell nor the "
     "answer of a NanoVNA V2 or LiteVNA, or an answer to info it does not give"},
    {MessageId::VnaNoPermission,
     "нет прав на порт: добавьте пользователя в группу dialout (sudo usermod -aG dialout $USER) "
     "и войдите в систему заново",
     "no permission to open the port: add the user to the group dialout (sudo usermod -aG "
     "dialout $USER) and log in again"},
    {MessageId::VnaFirmwareUpdate,
     "прибор в режиме обновления прошивки: выключите его и включите обычным образом",
     "the device is in its firmware update mode: switch it off and on again the usual way"},
    {MessageId::VnaOpenFailed, "порт не открывается: %e", "the port cannot be opened: %e"},
    {MessageId::VnaShortScan, "развёртка прибора вернула меньше точек, чем запрошено: %s",
     "the device's scan gave back fewer points than asked for: %s"},
    {MessageId::VnaCancelled, "измерение прервано", "the measurement was stopped"},
    {MessageId::VnaNoCrystal,
     "в полосе %s Гц вокруг заданной частоты нет резонанса: проверьте кварц, оснастку и частоту",
     "no resonance stands out in the %s Hz around the given frequency: check the crystal, the "
     "fixture and the frequency"},
    {MessageId::VnaAnswerTooLong, "ответ на команду «%s» длиннее, чем бывает",
     "the answer to the command \"%s\" is longer than any it has"},
    {MessageId::VnaBadRecord,
     "запись %s из потока измерений прибора испорчена: помеха на линии или другая прошивка",
     "record %s of the device's measurements is garbled: noise on the line or another firmware"},
    {MessageId::DiagnosisNoBand,
     "в развёртке нет полосы расчёта (%s Гц): снимите фильтр в диапазоне его полосы",
     "the sweep holds no band of the design (%s Hz): sweep the filter over its band"},
    {MessageId::DiagnosisNotConverged,
     "подгонка не сошлась: невязка %s дБ, схема не описывает измерение; значения не приводятся",
     "the fit did not converge: the residual is %s dB, the schematic does not describe the "
     "measurement; no values are given"},
    {MessageId::FileUnreadable, "%e", "%e"},
}};

struct FieldRow {
    Field field;
    std::string_view russian;
    std::string_view english;
};

// The fields by the labels the window gives them in each language.
constexpr std::array<FieldRow, 7> FieldNames = {{
    {Field::Fo, "в поле Fo(кГц)", "in the field Fo(kHz)"},
    {Field::Ld, "в поле Ld(мГн)", "in the field Ld(mH)"},
    {Field::Cs, "в поле Cs(пФ)", "in the field Cs(pF)"},
    {Field::Rd, "в поле Rd(Ом)", "in the field Rd(Ohm)"},
    {Field::Df, "в поле Полоса dF (Гц)", "in the field Band dF (Hz)"},
    {Field::Level, "в поле Уровень АЧХ (дБ)", "in the field Level (dB)"},
    {Field::Ck, "в поле Ck(пФ)", "in the field Ck(pF)"},
}};

// The labels of the fields, as the rules name them.
constexpr std::array<FieldRow, 7> FieldLabels = {{
    {Field::Fo, "Fo(кГц)", "Fo(kHz)"},
    {Field::Ld, "Ld(мГн)", "Ld(mH)"},
    {Field::Cs, "Cs(пФ)", "Cs(pF)"},
    {Field::Rd, "Rd(Ом)", "Rd(Ohm)"},
    {Field::Df, "Полоса dF (Гц)", "Band dF (Hz)"},
    {Field::Level, "Уровень АЧХ (дБ)", "Level (dB)"},
    {Field::Ck, "Ck(пФ)", "Ck(pF)"},
}};

struct RuleRow {
    MessageId id;
    Field field;  // Field::None: any field
    std::string_view russian;
    std::string_view english;
};

// What a field must hold, added under a conversion or arithmetic fault that names the field; "%l"
// stands for the field's label. The fault's own words stay first, as they always were.
constexpr std::array<RuleRow, 9> Rules = {{
    {MessageId::NotAFloat, Field::None,
     "В поле %l нужно число: цифры и не больше одной запятой или точки",
     "The field %l takes a number: digits with at most one decimal comma or point"},
    {MessageId::InvalidOperation, Field::Fo, "%l должна быть больше 0", "%l must be above 0"},
    {MessageId::DivisionByZero, Field::Fo, "%l должна быть больше 0", "%l must be above 0"},
    {MessageId::InvalidOperation, Field::Ld, "%l должна быть больше 0", "%l must be above 0"},
    {MessageId::DivisionByZero, Field::Ld, "%l должна быть больше 0", "%l must be above 0"},
    {MessageId::InvalidOperation, Field::Df, "%l должна быть больше 0", "%l must be above 0"},
    {MessageId::DivisionByZero, Field::Df, "%l должна быть больше 0", "%l must be above 0"},
    {MessageId::Overflow, Field::Fo, "%l должна быть от 1 до 1000000",
     "%l must be from 1 to 1000000"},
    {MessageId::NoSolution, Field::Fo, "%l должна быть от 1 до 1000000",
     "%l must be from 1 to 1000000"},
}};

struct ErrnoRow {
    int code;
    std::string_view russian;
    std::string_view english;
};

// Why a file or a port cannot be opened or read.
constexpr std::array<ErrnoRow, 17> ErrnoWords = {{
    {ENOENT, "нет такого файла или устройства", "there is no such file or device"},
    {ENOTDIR, "неверное имя файла: папки на пути нет",
     "the name is wrong: a folder on its way is missing"},
    {ENAMETOOLONG, "слишком длинное имя файла", "the name is too long"},
    {EINVAL, "неверное имя файла", "the name is not valid"},
    {EILSEQ, "неверное имя файла", "the name is not valid"},
    {ELOOP, "неверное имя файла: ссылки ведут по кругу",
     "the name is not valid: its links go round"},
    {EMFILE, "открыто слишком много файлов", "too many files are open"},
    {ENFILE, "открыто слишком много файлов", "too many files are open"},
    {EACCES, "нет прав на чтение", "no permission to read it"},
    {EPERM, "нет прав на чтение", "no permission to read it"},
    {EISDIR, "это папка, а не файл", "it is a folder, not a file"},
    {EBUSY, "файл занят", "it is in use"},
    {ENODEV, "нет такого устройства", "there is no such device"},
    {ENXIO, "нет такого устройства", "there is no such device"},
    {EIO, "ошибка ввода-вывода", "an input or output error"},
    {ENOMEM, "не хватает памяти", "not enough memory"},
    {ETIMEDOUT, "время ожидания истекло", "the wait timed out"},
}};

std::string ErrnoText(const std::string& value, Language language) {
    const bool english = language == Language::English;
    int code = 0;
    for (const char c : value) {
        if (c < '0' || c > '9' || code > 100000) return value;
        code = code * 10 + (c - '0');
    }
    for (const ErrnoRow& row : ErrnoWords) {
        if (row.code == code) return std::string(english ? row.english : row.russian);
    }
    return (english ? "system error " : "системная ошибка ") + value;
}

std::string RuleText(const Message& message, Language language) {
    if (message.field == Field::None) return {};
    const bool english = language == Language::English;
    for (const RuleRow& row : Rules) {
        if (row.id != message.id || (row.field != Field::None && row.field != message.field))
            continue;
        std::string text(english ? row.english : row.russian);
        for (const FieldRow& label : FieldLabels) {
            if (label.field == message.field) {
                const std::size_t at = text.find("%l");
                if (at != std::string::npos)
                    text.replace(at, 2, english ? label.english : label.russian);
            }
        }
        return text;
    }
    return {};
}

std::string PlaceText(const Message& message, Language language) {
    const bool english = language == Language::English;
    for (const FieldRow& row : FieldNames) {
        if (row.field == message.field) return std::string(english ? row.english : row.russian);
    }
    const std::string line = std::to_string(message.line);
    return english ? "in line " + line + " of the file" : "в строке " + line + " файла";
}

// "U+0401" for the first character of a UTF-8 text; the text a file refuses is always whole
// characters, so a broken sequence shows as far as it goes.
std::string CodePointText(std::string_view text) {
    if (text.empty()) return "U+0000";
    const auto lead = static_cast<unsigned char>(text[0]);
    const int trailing = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t code = trailing == 0 ? lead : lead & (0x3F >> trailing);
    for (int k = 1; k <= trailing && k < int(text.size()); ++k)
        code = (code << 6) | (static_cast<unsigned char>(text[std::size_t(k)]) & 0x3F);
    // At least four hexadecimal digits, as "U+%04X" writes them.
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string digits;
    for (int count = 0; code != 0 || count < 4; ++count, code >>= 4)
        digits.insert(digits.begin(), Hex[code & 0xF]);
    return "U+" + digits;
}

void ReplaceFirst(std::string& text, std::string_view placeholder, const std::string& with) {
    const std::size_t at = text.find(placeholder);
    if (at != std::string::npos) text.replace(at, placeholder.size(), with);
}

}  // namespace

std::string_view MessageText(MessageId id, Language language) {
    for (const MessageRow& row : Texts) {
        if (row.id == id) return language == Language::English ? row.english : row.russian;
    }
    return {};
}

std::string MessageText(const Message& message, Language language) {
    std::string text(MessageText(message.id, language));
    // The place and the code point first: the value is the user's text and may hold a '%'.
    if (text.find("%p") != std::string::npos)
        ReplaceFirst(text, "%p", PlaceText(message, language));
    if (text.find("%u") != std::string::npos)
        ReplaceFirst(text, "%u", CodePointText(message.value));
    if (text.find("%e") != std::string::npos)
        ReplaceFirst(text, "%e", ErrnoText(message.value, language));
    ReplaceFirst(text, "%s", message.value);
    if (const std::string rule = RuleText(message, language); !rule.empty()) text += "\n" + rule;
    if (message.file.empty()) return text;
    const bool english = language == Language::English;
    std::string where = english ? message.file : "«" + message.file + "»";
    if (message.line > 0)
        where += (english ? ", line " : ", строка ") + std::to_string(message.line);
    return where + ": " + text;
}

}  // namespace feldan
