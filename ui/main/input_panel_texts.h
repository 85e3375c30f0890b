// The texts of the input panel's lists and displays, as data: Russian, marked for lupdate, and
// translated where they are shown.
#pragma once

#include <QtGlobal>
#include <array>

#include "engine/design.h"

namespace feldan::input_texts {

// The window's own texts are Russian; Qt's translation system gives their English. The lists
// are marked for lupdate here and translated where they are shown.
inline const std::array<const char*, FilterTypeCount> TopologyItems = {
    QT_TRANSLATE_NOOP("feldan::InputPanel", "3-х кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "4-х кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "6-ти кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "8-ми кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "4CW"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "6CW"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "8CW"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "2-х кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "5-ти кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "7-ми кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "9-ти кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "10-ти кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "11-ти кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "12-ти кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "10CW"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "12CW"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "QER-4, 6 кварцев"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "QER-5, 7 кварцев"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "QER-6, 8 кварцев"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "QER-7, 9 кварцев"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "QER-8, 10 кварцев"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "QER-9, 11 кварцев"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "QER-10, 12 кварцев"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "QER-11, 13 кварцев"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "QER-12, 14 кварцев")};
inline const std::array<const char*, ResponseTypeCount> ResponseItems = {
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Баттерворта dA=3 дБ"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Чебышева dA=0,044 дБ"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Чебышева dA=0,099 дБ"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Чебышева dA=0,177 дБ"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Чебышева dA=0,28 дБ"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Чебышева, dA по выбору…"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Бесселя"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Лежандра"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Гаусса"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Гаусса до 6 дБ"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Гаусса до 12 дБ"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Линейная фаза 0,05°"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Линейная фаза 0,5°"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Кона: все конденсаторы равны")};

// What each response is for, in the status bar over its list entry.
inline const char* const ChebyshevHint = QT_TRANSLATE_NOOP(
    "feldan::InputPanel",
    "Крутые скаты ценой малой неравномерности в полосе; dF — полоса неравномерности");
inline const std::array<const char*, ResponseTypeCount> ResponseHints = {
    QT_TRANSLATE_NOOP("feldan::InputPanel",
                      "Плоская вершина без неравномерности, умеренные скаты: 3 дБ на краях полосы"),
    ChebyshevHint,
    ChebyshevHint,
    ChebyshevHint,
    ChebyshevHint,
    QT_TRANSLATE_NOOP("feldan::InputPanel",
                      "Неравномерность dA от 0,01 до 3 дБ по выбору: чем больше, тем круче "
                      "скаты; dF — полоса неравномерности"),
    QT_TRANSLATE_NOOP("feldan::InputPanel",
                      "Плоская групповая задержка, малый звон: для телеграфа и данных; пологие "
                      "скаты; dF по уровню −3 дБ; концы с разными нагрузками"),
    QT_TRANSLATE_NOOP("feldan::InputPanel",
                      "Без неравномерности, но круче Баттерворта: самые крутые скаты из "
                      "монотонных; dF по уровню −3 дБ; концы с разными нагрузками"),
    QT_TRANSLATE_NOOP("feldan::InputPanel",
                      "Без выброса и звона: для телеграфа и данных; самые пологие скаты; "
                      "dF по уровню −3 дБ; 3–10 кристаллов"),
    QT_TRANSLATE_NOOP("feldan::InputPanel",
                      "Гауссова до −6 дБ, дальше круче: почти без звона, скаты лучше; dF по "
                      "уровню −3 дБ; 3–10 кристаллов"),
    QT_TRANSLATE_NOOP("feldan::InputPanel",
                      "Гауссова до −12 дБ, дальше круче: немного звона, скаты ещё лучше; dF по "
                      "уровню −3 дБ; 3–10 кристаллов"),
    QT_TRANSLATE_NOOP("feldan::InputPanel",
                      "Плоская задержка по всей полосе (фаза в пределах 0,05°): для данных; "
                      "скаты круче Бесселя; dF по уровню −3 дБ; 2–10 кристаллов"),
    QT_TRANSLATE_NOOP("feldan::InputPanel",
                      "Плоская задержка (фаза в пределах 0,5°), скаты ещё круче; dF по уровню "
                      "−3 дБ; 2–10 кристаллов"),
    QT_TRANSLATE_NOOP("feldan::InputPanel",
                      "Все конденсаторы связи одного номинала, нагрузка для самой ровной "
                      "вершины; dF по уровню −3 дБ от вершины; 3–12 кристаллов, ровная вершина "
                      "только до 4")};

// What the response display shows after a choice: the ripple with a decimal point; the ripple as
// typed for Chebyshev of any ripple. The entries after it read as in the list.
inline const std::array<const char*, int(ResponseType::Chebyshev)> ResponseNames = {
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Баттерворта dA=3 дБ"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Чебышева dA=0.044 дБ"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Чебышева dA=0.099 дБ"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Чебышева dA=0.177 дБ"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Чебышева dA=0.28 дБ"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Чебышева dA=%1 дБ")};

// What the topology display shows after a design file is opened: the list's words, but "6-х"
// and "8-х" where the list has "6-ти" and "8-ми". The entries beyond the classic ones read as
// in the list.
inline const std::array<const char*, ClassicFilterTypeCount> OpenedTopologyNames = {
    QT_TRANSLATE_NOOP("feldan::InputPanel", "3-х кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "4-х кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "6-х кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "8-х кристальный"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "4CW"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "6CW"),
    QT_TRANSLATE_NOOP("feldan::InputPanel", "8CW")};

// The displays before any choice.
inline const char* const StartTopologyName =
    QT_TRANSLATE_NOOP("feldan::InputPanel", "4-х кристальный");
inline const char* const StartResponseName =
    QT_TRANSLATE_NOOP("feldan::InputPanel", "Баттерворта dA=3 дБ");

}  // namespace feldan::input_texts
