#pragma once
// The tray's own icons, drawn by make_tray_icons.py: 16 x 16 pixels, 16 colours, each the
// 318 bytes of a one-image .ico file.
#include <string>

namespace kv {

constexpr int kTrayFrames = 2;

// The static icon: the key cap.
const std::string& TrayIconImage();
// The icon while Keyvane is paused: the cap greyed, with a pause sign.
const std::string& TrayPausedImage();
// The animation frames, 0 and 1 (the cap, and the cap lit); another number gives frame 0.
const std::string& TrayFrameImage(int frame);

}  // namespace kv
