// "Change settings": the settings sheet, and the bar following a new count.
#include "app/application.h"
#include "app/main_window.h"

void showSettings(Application&)
{
}
