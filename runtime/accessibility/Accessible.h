#pragma once

#include <QString>

// How the controls present themselves to screen readers, through Qt's own accessibility, the
// same on every platform: sliders by the quantity they show, labels as text, on/off buttons
// as check boxes, panels as groups. Where the desktop has a bus of its own (AT-SPI on Linux),
// runtime/linux/ adds what only that bus can carry.
namespace runtime {

// Puts the adapters in place. Called by each control's constructor, before anything can ask:
// Qt asks for a widget's interface as early as its first text change and keeps the answer.
void InstallAccessibleFactory();

// The widget property that holds what was last announced on a control, read back as its
// accessible description.
inline constexpr char kAnnouncementProperty[] = "miravaneAnnouncement";

// A shown text as a screen reader should speak it: units in words ("25 millimetres",
// "50 degrees", "37.5 minutes"), where speech would drop the signs or spell them out.
QString Spoken(const QString& shown);

} // namespace runtime
