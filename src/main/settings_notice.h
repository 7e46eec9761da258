#pragma once

namespace parvex {

class TFmain;

/// Once the event loop runs and the window is up, tells once through the window's message
/// dialog that the settings file could not be read (naming the kept copy), and that the
/// settings could not be saved when writing the defaults at start failed.
void ShowSettingsNoticeWhenShown(TFmain& Window);

} // namespace parvex
