#pragma once

#include "ui/tform1.h"

#include <memory>

namespace kelvo {

// Creates the main window, then the nine windows it uses in their start-up
// order, as children of the main window. The main window's creation handler
// has run; showing it opens the list. The accounting mode of "Servis" is kept
// beside `executable`.
std::unique_ptr<TForm1> createProgramWindows(const MainWindowServices& services, const QString& executable);

} // namespace kelvo
