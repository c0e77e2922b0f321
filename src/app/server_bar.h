// The row of numbered battle-server buttons in the middle of the bar.
#pragma once
#include <cstddef>

struct Application;
namespace Gui {
class Button;
}

inline constexpr std::size_t maximumServerButtons = 99;
// Makes as many buttons as the settings ask for. True when the row changed,
// so the caller lays the window out again.
bool updateServerButtons(Application& app);
void selectServerButton(Application& app, Gui::Button* button);
