// The program's icon, drawn from the SVG built into the program.
#pragma once

#include <QIcon>

namespace feldan {

QIcon ProgramIcon();

}  // namespace feldan
