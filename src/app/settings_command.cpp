// "Change settings": the settings sheet, with the bar following a new count.
#include "app/application.h"
#include "app/main_window.h"
#include "app/server_bar.h"
#include "settings/settings_sheet.h"

void showSettings(Application& app)
{
    showSettingsSheet(app.mainWindow, [&app] {
        if (updateServerButtons(app))
            layoutMainWindow(app);
    });
}
