// The screenshot key's action, on the user-interface thread.
#pragma once

struct Application;

// Starts a screenshot of the Flash player window of the current browser
// host. Dropped, not queued, when there is no host, no player window even
// after one more search, or a screenshot still under way.
void takeScreenshot(Application& app);
