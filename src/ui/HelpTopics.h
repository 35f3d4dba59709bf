#pragma once

// The help context number of each page of the main window, for the F1 key: "System" 100,
// "Setup" 200, "Display" 300, "Misc." 400, "RTC" 600; any other page index opens the contents
// (kHelpContents).
int HelpContextOfPage(int pageIndex);
