#include <gtest/gtest.h>

#include <string>

#include "engine/messages.h"

namespace feldan {
namespace {

bool HasCyrillic(const std::string& text) {
    // Every Cyrillic letter is a UTF-8 sequence starting with 0xD0 or 0xD1.
    for (unsigned char c : text) {
        if (c == 0xD0 || c == 0xD1) return true;
    }
    return false;
}

std::string Placeholders(std::string_view text) {
    std::string found;
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1))
        found += text.substr(at, 2);
    return found;
}

TEST(MessageText, EveryMessageHasEnglishWordsWithTheSamePlaceholders) {
    const std::pair<MessageId, MessageId> ranges[] = {
        {MessageId::MissingData, MessageId::ProjectValue},
        {MessageId::BandUnknown, MessageId::TransientNothingPassed},
        {MessageId::VnaPortClosed, MessageId::FileUnreadable},
    };
    for (const auto& [first, last] : ranges) {
        for (int id = int(first); id <= int(last); ++id) {
            SCOPED_TRACE(id);
            const std::string_view russian = MessageText(MessageId(id));
            const std::string_view english = MessageText(MessageId(id), Language::English);
            EXPECT_FALSE(russian.empty());
            EXPECT_FALSE(english.empty());
            EXPECT_FALSE(HasCyrillic(std::string(english))) << english;
            EXPECT_EQ(Placeholders(english), Placeholders(russian));
            // English lines carry no blanks that pad them for a centred Russian box.
            EXPECT_NE(english.front(), ' ');
            EXPECT_NE(english.back(), ' ');
        }
    }
    EXPECT_EQ(MessageText(MessageId::None, Language::English), "");
}

TEST(MessageText, ValuesAndPlacesInBothLanguages) {
    struct Case {
        Message message;
        std::string russian;
        std::string english;
    };
    const Case cases[] = {
        {{MessageId::MissingData, ""},
         " Необходимо задать все данные для расчета ! ",
         "Please fill in all the data for the calculation."},
        {{MessageId::NotAFloat, "1,2e"},
         "'1,2e' is not a valid floating point value",
         "'1,2e' is not a valid floating point value"},
        {{MessageId::NotInWindows1251, "😀", Field::Ck},
         " Символ «😀» (U+1F600) в поле Ck(пФ) нельзя записать в кодировке Windows-1251 ! ",
         "The character \"😀\" (U+1F600) in the field Ck(pF) cannot be written in the "
         "Windows-1251 encoding."},
        {{MessageId::ControlCharacter, "26", Field::None, 6},
         " Управляющий символ с кодом 26 в строке 6 файла нельзя записать в файл ! ",
         "The control character with code 26 in line 6 of the file cannot be saved."},
        // Why a file or a port cannot be opened is said in words of the language, not the
        // runtime library's.
        {FileMessage(MessageId::FileUnreadable, "2", "absent.s2p"),
         "«absent.s2p»: нет такого файла или устройства",
         "absent.s2p: there is no such file or device"},
        {FileMessage(MessageId::FileUnreadable, "13", "a.feldan"), "«a.feldan»: нет прав на чтение",
         "a.feldan: no permission to read it"},
        {FileMessage(MessageId::VnaOpenFailed, "2", "/dev/ttyACM9"),
         "«/dev/ttyACM9»: порт не открывается: нет такого файла или устройства",
         "/dev/ttyACM9: the port cannot be opened: there is no such file or device"},
        {FileMessage(MessageId::VnaOpenFailed, "9999", "/dev/ttyACM9"),
         "«/dev/ttyACM9»: порт не открывается: системная ошибка 9999",
         "/dev/ttyACM9: the port cannot be opened: system error 9999"},
        // A value is the user's text: a placeholder inside it stays as typed.
        {{MessageId::NotAnInteger, "%p%u"},
         "'%p%u' is not a valid integer value",
         "'%p%u' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.english);
        EXPECT_EQ(MessageText(c.message), c.russian);
        EXPECT_EQ(MessageText(c.message, Language::English), c.english);
    }
}

}  // namespace
}  // namespace feldan
