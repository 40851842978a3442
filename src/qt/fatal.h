#pragma once

namespace qtui {

// From here on a fatal error of Qt (no display to open, the display lost
// mid-game) ends the program with one plain line on standard error and
// status 1, instead of Qt's advice to reinstall and an abort. Qt's other
// messages are held back until displayOpened(), since a start that fails
// would only repeat the same news in the words of Qt's plugins.
void reportFatalErrorsPlainly();

// The application has its display: the held-back messages go out as usual.
void displayOpened();

} // namespace qtui
