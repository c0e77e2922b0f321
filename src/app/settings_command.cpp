// "Change settings": the settings sheet, with the bar following a new count.
#include "app/application.h"
#include "app/main_window.h"
#include "settings/settings_sheet.h"

void showSettings(Application& app)
{
    showSettingsSheet(app.mainWindow, [&app] { updateServerButtons(app); });
}
