#pragma once
#include <QIcon>

// The program's icon, compiled into the program.
QIcon ProgramIcon();
