#include "engine/messages.h"

#include <array>
#include <utility>

namespace feldan {

namespace {

// One row per identifier, in the order of MessageId. "%s" stands for the message's value.
constexpr std::array<std::pair<MessageId, std::string_view>, 38> Texts = {{
    {MessageId::None, ""},
    {MessageId::MissingData, " Необходимо задать все данные для расчета ! "},
    {MessageId::ZeroRd, " Активное сопротивление должно быть\n            отлично от нуля ! "},
    {MessageId::ZeroResistance,
     " Активное сопротивление должно быть\n           отлично от нуля !!! "},
    {MessageId::NoSolution, " Решение невозможно ! "},
    {MessageId::MissingLevel, " Задайте уровень АЧХ ! "},
    {MessageId::BadLevel, " Уровень АЧХ задан не корректно ! "},
    {MessageId::BandLimit,
     "При заданном уровне АЧХ полоса пропускания\n        превысила пределы +/-30кГц.\n  "
     "Проверьте правильность исходных данных."},
    {MessageId::BadFilterType, " Тип фильтра задан не корректно ! "},
    {MessageId::BadResponseType, " Тип АЧХ задан не корректно ! "},
    {MessageId::NotAFloat, "'%s' is not a valid floating point value"},
    {MessageId::NotAnInteger, "'%s' is not a valid integer value"},
    {MessageId::DivisionByZero, "Floating point division by zero"},
    {MessageId::InvalidOperation, "Invalid floating point operation"},
    {MessageId::Overflow, "Floating point overflow"},
    {MessageId::FileTooLarge, "файл слишком велик"},
    {MessageId::TouchstoneNotANumber, "«%s» — не число"},
    {MessageId::TouchstoneColumns, "в строке данных должно быть %s чисел"},
    {MessageId::TouchstoneOption, "непонятное слово «%s» в строке параметров"},
    {MessageId::TouchstoneParameter, "файл содержит параметры %s, а нужны S-параметры"},
    {MessageId::TouchstoneReference, "опорное сопротивление должно быть положительным числом"},
    {MessageId::TouchstoneKeyword, "ключевое слово %s не поддерживается"},
    {MessageId::TouchstonePorts, "число портов %s, а читаются файлы с одним или двумя портами"},
    {MessageId::TouchstoneOrder, "частота меньше, чем в предыдущей строке"},
    {MessageId::TouchstoneCount, "обещано частот: %s, а в файле их другое число"},
    {MessageId::TouchstoneNoData, "в файле нет данных"},
    {MessageId::TouchstoneTooManyPoints, "слишком много точек"},
    {MessageId::CsvColumnMissing, "в заголовке нет столбца %s"},
    {MessageId::CsvFieldCount, "в строке должно быть столько же полей, сколько в заголовке (%s)"},
    {MessageId::CsvNotANumber, "«%s» — не число"},
    {MessageId::CsvValueRange, "значение в столбце %s должно быть положительным"},
    {MessageId::CsvQuote, "кавычки не закрыты"},
    {MessageId::FitNoResonance, "в развёртке нет последовательного резонанса с его склонами"},
    {MessageId::FitNotConverged, "подгонка не сошлась за %s итераций"},
    {MessageId::FitPoor, "модель не описывает измерение (невязка %s дБ): проверьте оснастку"},
    {MessageId::FitMagnitudesOnly,
     "фаза измерения не описывается моделью, подогнаны только амплитуды: кварц на активной "
     "плате или в неучтённой оснастке?"},
    {MessageId::G3uurNoShift, "по этим частотам динамическая ёмкость не получается положительной"},
    {MessageId::PickTooFew, "кварцев с подобранной моделью меньше, чем %s"},
}};

}  // namespace

std::string_view MessageText(MessageId id) {
    for (const auto& [rowId, text] : Texts) {
        if (rowId == id) return text;
    }
    return {};
}

std::string MessageText(const Message& message) {
    std::string text(MessageText(message.id));
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, message.value);
    if (message.file.empty()) return text;
    std::string where = "«" + message.file + "»";
    if (message.line > 0) where += ", строка " + std::to_string(message.line);
    return where + ": " + text;
}

}  // namespace feldan
