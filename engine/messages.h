// The warnings of a calculation, exactly as the user sees them. Lines are separated by '\r';
// the spaces after a line break centre the next line in the message box.
#pragma once

namespace feldan {

inline constexpr const char* MissingDataText = " Необходимо задать все данные для расчета ! ";
// Rd typed as the single character "0".
inline constexpr const char* ZeroRdText =
    " Активное сопротивление должно быть\r            отлично от нуля ! ";
// A zero source, load or motional resistance found after the conversion.
inline constexpr const char* ZeroResistanceText =
    " Активное сопротивление должно быть\r           отлично от нуля !!! ";
inline constexpr const char* NoSolutionText = " Решение невозможно ! ";
inline constexpr const char* MissingLevelText = " Задайте уровень АЧХ ! ";
inline constexpr const char* BadLevelText = " Уровень АЧХ задан не корректно ! ";
inline constexpr const char* BandLimitText =
    "При заданном уровне АЧХ полоса пропускания\r        превысила пределы +/-30кГц.\r  "
    "Проверьте правильность исходных данных.";
// A selection that no topology or response answers to (a design file may carry any number).
inline constexpr const char* BadFilterTypeText = " Тип фильтра задан не корректно ! ";
inline constexpr const char* BadResponseTypeText = " Тип АЧХ задан не корректно ! ";

}  // namespace feldan
