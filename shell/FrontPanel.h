#pragma once
// The pictures of the main window: the device's front panel (a JPEG decoded with libjpeg),
// the three LEDs and the alarm mark. They are built into the program, so the window never
// depends on files next to it.
#include <QImage>

#include <cstddef>
#include <string>

// Decodes a baseline or progressive JPEG held in memory into an RGB image; a null image when
// the data is not a JPEG libjpeg can read (never ends the program).
QImage DecodeJpeg(const unsigned char *data, std::size_t size);

// A picture built into the program ("front-panel.jpg", "led-lan.png", "led-wlan.png",
// "led-power.png", "alarm.png", "module-icon.png"), decoded; a null image for an unknown name.
QImage ShellPicture(const std::string &name);

// The raw bytes of a built-in picture (size 0 for an unknown name).
struct ShellPictureData {
    const unsigned char *data = nullptr;
    std::size_t size = 0;
};
ShellPictureData ShellPictureBytes(const std::string &name);
