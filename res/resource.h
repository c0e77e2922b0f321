// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_ZELVARA 131
#define IDR_SAVED_SOUND 132

#define IDS_LANGUAGE 300
#define IDS_VERSION 301
#define IDS_SETTINGS_TITLE 303
#define IDS_CHANGE_SETTINGS 304
#define IDS_CLICK_LEFT 307
#define IDS_CLICK_RIGHT 308
#define IDS_GET_URL 309
#define IDS_OPEN_URL 310
#define IDS_CLICKING 311
#define IDS_SELECT_FOLDER 312
#define IDS_SCREENSHOT_FOLDER 313
#define IDS_DESCRIPTION 314
#define IDS_CHAT_FIRST 315
#define IDS_CHAT_LAST 324
#define IDS_ONLINE_HELP 325
#define IDS_BATTLE_LOADED 326
#define IDS_SOURCE_NOTE 327
