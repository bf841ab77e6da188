#include "ui/Inputs.h"

#include "runtime/Format.h"

namespace ui {
namespace {

class Collector : public optics::ReadoutSink {
public:
    explicit Collector(std::map<std::string, std::set<std::string>, std::less<>>& texts)
        : texts_(texts) {}
    void SetReadout(std::string_view label, const std::string& text) override {
        texts_[std::string(label)].insert(text);
    }

private:
    std::map<std::string, std::set<std::string>, std::less<>>& texts_;
};

} // namespace

std::map<std::string, std::set<std::string>, std::less<>> ReachableTexts() {
    std::map<std::string, std::set<std::string>, std::less<>> texts;
    for (const Input* input : kInputs)
        for (const int end : {0, input->top}) {
            const double value = end + input->offset;
            texts[input->label].insert(runtime::Format(value, input->mask) + input->suffix);
            if (input != &kFocalLength)
                continue;
            for (const Optic* optic : kOptics)
                texts[input->label].insert(
                    runtime::Format(value * optic->onFactor, kOpticFocalLengthMask) +
                    input->suffix);
        }
    for (const Optic* optic : kOptics)
        texts["StatusText"].insert(optic->status);

    // Every result grows or shrinks steadily with each input, so its longest texts come from
    // the corners of the inputs' box, with each optic in or out.
    Collector sink(texts);
    const auto corners = [&](double factor) {
        for (unsigned corner = 0; corner < 1u << std::size(kInputs); ++corner) {
            optics::OpticsValues values;
            for (std::size_t i = 0; i < std::size(kInputs); ++i) {
                const Input& input = *kInputs[i];
                values.*input.property = input.offset + ((corner >> i) & 1u ? input.top : 0);
            }
            values.FocalLength *= factor;
            optics::PerformCalculations(values, sink);
            optics::PerformCalculations1(values, sink);
        }
    };
    corners(1.0);
    for (const Optic* optic : kOptics)
        corners(optic->onFactor);
    return texts;
}

} // namespace ui
