#pragma once

// What the window system lets a program do with its own windows.
namespace WindowSystem {

// True where a program may place its windows and keep them above the others (X11, Windows);
// false under Wayland, which leaves both to the compositor. The first call that answers
// false says so in one line on standard error; later calls are silent.
bool placesWindows();

} // namespace WindowSystem
