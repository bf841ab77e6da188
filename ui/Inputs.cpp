#include "ui/Inputs.h"

#include "runtime/Format.h"

#include <array>

namespace ui {
namespace {

// A text with every digit written as 0: texts that differ only in their digits are equally
// wide once each digit is measured as the font's widest.
std::string Shape(std::string text) {
    for (char& c : text)
        if (c >= '1' && c <= '9')
            c = '0';
    return text;
}

class Collector : public optics::ReadoutSink {
public:
    explicit Collector(TextShapes& shapes) : shapes_(shapes) {}
    void SetReadout(std::string_view label, const std::string& text) override {
        shapes_[std::string(label)].insert(Shape(text));
    }

private:
    TextShapes& shapes_;
};

} // namespace

TextShapes ReachableShapes() {
    TextShapes shapes;
    for (const Input* input : kInputs)
        for (const int end : {0, input->top}) {
            const double value = end + input->offset;
            // An optic's focal length stays within the digits of the slider's ends: 6000 mm at
            // x2.0 of the longest, 252 mm at x0.63 of the shortest.
            shapes[input->label].insert(Shape(runtime::Format(value, input->mask) + input->suffix));
        }
    for (const Optic* optic : kOptics)
        shapes["StatusText"].insert(optic->status);

    // Every result grows or shrinks steadily with each input it depends on, so its longest
    // texts come from the corners of those inputs' box, with each optic in or out.
    Collector sink(shapes);
    using Calculation = void (*)(optics::OpticsValues&, optics::ReadoutSink&);
    const std::pair<Calculation, std::array<const Input*, 4>> calculations[] = {
        {&optics::PerformCalculations, {&kAperture, &kFocalLength, &kEFL, &kAFOV}},
        {&optics::PerformCalculations1, {&kAperture, &kFocalLength, &kEFL1, &kAFOV1}},
    };
    for (const auto& [calculate, inputs] : calculations)
        for (const double factor : {1.0, kBarlow.onFactor, kReducer.onFactor})
            for (unsigned corner = 0; corner < 1u << inputs.size(); ++corner) {
                optics::OpticsValues values;
                for (std::size_t i = 0; i < inputs.size(); ++i)
                    values.*inputs[i]->property =
                        inputs[i]->offset + ((corner >> i) & 1u ? inputs[i]->top : 0);
                values.FocalLength *= factor;
                calculate(values, sink);
            }
    return shapes;
}

} // namespace ui
