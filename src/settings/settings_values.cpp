// The parts of the settings record that touch no system call, so the core
// builds without Windows as well.
#include "base/constants.h"
#include "settings/settings.h"

Settings::Settings(const SettingsDefaults& defaults)
    : battleLanguage(defaults.battleLanguage),
      screenshotFolder(defaults.screenshotFolder),
      dateFormat(defaultDateFormat),
      timeFormat(defaultTimeFormat),
      imageFormat(defaultImageFormat),
      chatMessages(defaults.chatMessages)
{
}

bool Settings::differsFrom(const Settings& o) const
{
    return clicksPeriod.get() != o.clicksPeriod.get() || battleLanguage != o.battleLanguage ||
           screenshotFolder != o.screenshotFolder || dateFormat != o.dateFormat || timeFormat != o.timeFormat ||
           imageFormat != o.imageFormat || jpegQuality != o.jpegQuality || beepOnSave != o.beepOnSave ||
           chatMessages != o.chatMessages || screenshotKey != o.screenshotKey ||
           serverButtonCount != o.serverButtonCount;
}
