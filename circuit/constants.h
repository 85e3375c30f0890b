// Constants that the circuit layer shares with the engine.
#pragma once

namespace feldan {

// 2π exactly as the engine has always used it (π = 3.1415926535897): Fo and every analysis
// frequency turn into omega with this value, so the results keep their bits.
inline constexpr double TwoPi = 6.2831853071794;

}  // namespace feldan
