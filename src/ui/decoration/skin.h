#pragma once
// The program's look. The skin library of the Windows program cannot run here, so the look
// is a Qt style sheet carried inside the program: white windows and pop-ups, the side bar's
// green accent, flat buttons. apply_skin lays it over every window of the program whether or
// not a skin library is loaded; a loaded skin library is also handed the style sheet as its
// skin description, and nothing is called in one that is not loaded (base 0).

#include <QString>

#include "decoration/memory_library.h"

namespace zarvex {

// The embedded style sheet; empty if the resource is missing from the build.
QString skin_style_sheet();

// Applies the look to the running application (nothing without a QApplication) and, when
// `library` is loaded, makes its three skin calls with `value`.
void apply_skin(const MemoryLibrary& library, int value = 6);

}  // namespace zarvex
