#include "app/server_bar.h"

#include <algorithm>
#include <string>

#include "app/application.h"
#include "app/main_window.h"
#include "settings/settings.h"

bool updateServerButtons(Application& app)
{
    const std::size_t count = app.serverButtons.size();
    // A hand-edited file may ask for billions of buttons; the bar holds as
    // many as the settings sheet allows.
    const std::size_t target = std::min<std::size_t>(Settings::instance()->serverButtonCount, maximumServerButtons);
    if (target == count)
        return false;
    // Each new button is made where the bar with all of them puts it; the
    // caller's layout then moves only those that were there before.
    const std::optional<BarLayout> bar = mainWindowBar(app, target);
    for (std::size_t k = count + 1; k <= target; ++k) {
        const RECT place = bar ? inclusiveRect(bar->serverButtons[k - 1]) : RECT{0, 0, -1, 19};
        app.serverButtons.push_back(
            std::make_unique<Gui::Button>(app.mainWindow, place, std::to_wstring(k), static_cast<int>(k), false));
    }
    while (app.serverButtons.size() > target) {
        if (app.serverButtons.back().get() == app.selectedServerButton)
            app.selectedServerButton = nullptr;
        app.serverButtons.pop_back();
    }
    return true;
}

void selectServerButton(Application& app, Gui::Button* button)
{
    if (app.selectedServerButton)
        app.selectedServerButton->setChecked(false);
    button->setChecked(true);
    app.selectedServerButton = button;
}
