#include "optics/Optics.h"

#include "runtime/Format.h"

namespace optics {
namespace {

// One eyepiece's results, stored before each text is written: later steps read the stored
// magnification, never a recomputed one.
struct Eyepiece {
    const double& focalLength;
    const double& apparentField;
    double& magnification;
    double& trueField;
    double& exitPupil;
    std::string_view magnificationLabel;
    std::string_view trueFieldLabel;
    std::string_view exitLabel;
};

void Calculate(OpticsValues& v, const Eyepiece& e, ReadoutSink& sink) {
    using runtime::Format;
    v.FNumber = v.FocalLength / v.Aperture;
    sink.SetReadout(labels::FNumberText, "ƒ = " + Format(v.FNumber, "###.0"));

    e.magnification = v.FocalLength / e.focalLength;
    sink.SetReadout(e.magnificationLabel, "x " + Format(e.magnification, "###"));

    e.trueField = (60.0 * e.apparentField) / e.magnification;
    sink.SetReadout(e.trueFieldLabel, Format(e.trueField, "###.0") + "'");

    e.exitPupil = v.Aperture / e.magnification;
    sink.SetReadout(e.exitLabel, Format(e.exitPupil, "##.0"));
}

} // namespace

void PerformCalculations(OpticsValues& v, ReadoutSink& sink) {
    Calculate(v,
              {v.EFL, v.AFOV, v.Magnification, v.TFOV, v.ExitPupil, labels::MagnificationText,
               labels::TFOVText, labels::ExitText},
              sink);
}

void PerformCalculations1(OpticsValues& v, ReadoutSink& sink) {
    Calculate(v,
              {v.EFL1, v.AFOV1, v.Magnification1, v.TFOV1, v.ExitPupil1, labels::MagnificationText1,
               labels::TFOVText1, labels::ExitText1},
              sink);
}

} // namespace optics
