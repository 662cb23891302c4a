#pragma once
// The program's icon: a borehole with a receiver and the S wave it records,
// drawn by code at the sizes a desktop asks for.

#include <QIcon>

namespace talvex {

QIcon programIcon();

} // namespace talvex
