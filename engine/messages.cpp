#include "engine/messages.h"

#include <array>

namespace feldan {

namespace {

struct MessageRow {
    MessageId id;
    std::string_view russian;
    std::string_view english;
};

// One row per identifier, in the order of MessageId. "%s" stands for the message's value, "%u"
// for the code point of its first character and "%p" for its place. The
// Russian texts pad their lines with blanks, which centre them in the message box; the texts
// of conversion and arithmetic errors have always been English.
constexpr std::array<MessageRow, 21> Texts = {{
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
    {Field::Cs, "в поле Сs(пФ)", "in the field Cs(pF)"},
    {Field::Rd, "в поле Rd(Ом)", "in the field Rd(Ohm)"},
    {Field::Df, "в поле Полоса dF (Гц)", "in the field Band dF (Hz)"},
    {Field::Level, "в поле Уровень АЧХ (дБ)", "in the field Level (dB)"},
    {Field::Ck, "в поле Сk(пФ)", "in the field Ck(pF)"},
}};

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
    ReplaceFirst(text, "%s", message.value);
    return text;
}

}  // namespace feldan
