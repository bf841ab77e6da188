#pragma once

#include <string>
#include <string_view>

namespace optics {

// The optics value set of the main window, in declaration order. Inputs are written by the
// window's handlers; results are written only by the two calculations below.
struct OpticsValues {
    double Aperture = 0;    // mm
    double FocalLength = 0; // mm, including a Barlow or reducer factor while one is on
    double EFL = 0;         // eyepiece 1 focal length, mm
    double AFOV = 0;        // eyepiece 1 apparent field, degrees
    double TFOV = 0;        // eyepiece 1 true field, minutes of arc
    double Magnification = 0;
    double FNumber = 0;
    double ExitPupil = 0;       // mm
    std::string BarlowConstant; // "Normal" while the Barlow is off
    std::string RCConstant;     // "Normal" while the reducer is off
    double AFOV1 = 0;
    double EFL1 = 0;
    double ExitPupil1 = 0;
    double Magnification1 = 0;
    double TFOV1 = 0;
};

// The state word of an optic that is out of the light path.
inline constexpr const char* kNormal = "Normal";
// The factors of the two optics on their way into the light path.
inline constexpr double kBarlowOn = 2.0, kReducerOn = 0.63;

// Where the calculations put their read-out texts, keyed by label name. The window writes
// them into its labels; tests keep them in a map.
class ReadoutSink {
public:
    virtual void SetReadout(std::string_view label, const std::string& text) = 0;

protected:
    ~ReadoutSink() = default;
};

namespace labels {
inline constexpr std::string_view FNumberText = "FNumberText";
inline constexpr std::string_view MagnificationText = "MagnificationText";
inline constexpr std::string_view TFOVText = "TFOVText";
inline constexpr std::string_view ExitText = "ExitText";
inline constexpr std::string_view MagnificationText1 = "MagnificationText1";
inline constexpr std::string_view TFOVText1 = "TFOVText1";
inline constexpr std::string_view ExitText1 = "ExitText1";
} // namespace labels

// Focal ratio and eyepiece 1: magnification, true field, exit pupil.
void PerformCalculations(OpticsValues& values, ReadoutSink& sink);
// Focal ratio and eyepiece 2.
void PerformCalculations1(OpticsValues& values, ReadoutSink& sink);

} // namespace optics
